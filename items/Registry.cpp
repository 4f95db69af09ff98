// Registry objects and the keyed registry with its size-coded reads and writes.
#include <cmath>
#include <cstring>

#include "../support/Blocks.h"

namespace velkui {

using internal::DebugText;
using internal::DisposePointerArray;
using internal::NewPointerArray;

namespace {

constexpr SInt32 kUnsetMin = -32768;
constexpr SInt32 kUnsetMax = 32767;
constexpr SInt32 kNeutralTone = 180;

/// A float truncated toward zero; values beyond 32 bits saturate, NaN gives 0.
SInt32 TruncateFloat(float number) {
  if (std::isnan(number)) return 0;
  if (number >= 2147483648.0f) return 0x7FFFFFFF;
  if (number <= -2147483648.0f) return SInt32(-0x7FFFFFFF - 1);
  return static_cast<SInt32>(number);
}

/// The caller's number of size code 2, 3 or 6 as a 32-bit value.
SInt32 ReadNumber(SInt16 code, const void* in) {
  if (code == kSizeShort) {
    SInt16 number;
    std::memcpy(&number, in, sizeof number);
    return number;
  }
  if (code == kSizeFloat) {
    float number;
    std::memcpy(&number, in, sizeof number);
    return TruncateFloat(number);
  }
  SInt32 number;
  std::memcpy(&number, in, sizeof number);
  return number;
}

}  // namespace

VELKUI_DEFINE_BLOCK_ALLOCATED(UIObject)
VELKUI_DEFINE_BLOCK_ALLOCATED(RegistryComparator)
VELKUI_DEFINE_BLOCK_ALLOCATED(UIRegistry)

// ---------------------------------------------------------------- objects

UIObject::UIObject(UInt32 inKey, UIItem* inItem, SInt32 inMin, SInt32 inMax)
    : key(inKey),
      sizeCode(kSizeShort),
      value(inMin),
      min(inMin),
      max(inMax),
      menuMask(~UInt64(0)),
      visible(1),
      active(1),
      emptyText(0),
      item(inItem),
      text(nullptr),
      monxParams{0, 0, kNeutralTone, 0, 0, 0, 0, 0, 0} {
  if (key == 0) return;
  if (UISystem* system = UISystem::GetCurrentSystem()) system->AppendToRegistry(this);
}

UIObject::~UIObject() {
  if (text == nullptr) return;
  text->~LStr255();
  internal::FreeBlock(text);
}

void UIObject::Assign(SInt32 newValue) {
  if (item != nullptr) item->Assign(newValue);
  else value = newValue;
}

void UIObject::Assign(ConstStringPtr newText) {
  // The string lives in an interpreter block, so running out of memory is
  // reported as 'nilP' like every other interpreter allocation.
  if (text == nullptr) text = new (internal::AllocateBlock(sizeof(LStr255))) LStr255;
  text->Assign(newText);
}

void UIObject::Get(unsigned char* out) const {
  if (out == nullptr) return;
  LString::CopyPStr(text ? text->ConstTextPtr() : nullptr, out, sizeof(Str255));
}

SInt32 RegistryComparator::CompareToKey(const void* inItem, UInt32, const void* inKey) const {
  UInt32 entry = (*static_cast<UIObject* const*>(inItem))->key;
  UInt32 key = *static_cast<const UInt32*>(inKey);
  return entry == key ? 0 : (entry < key ? -1 : 1);
}

// ---------------------------------------------------------------- registry

UIRegistry::UIRegistry() : changedKey(0), objects(nullptr) {
  objects = NewPointerArray(new RegistryComparator);
}

UIRegistry::~UIRegistry() {
  UIObject* object = nullptr;
  for (SInt32 index = 1; objects->FetchItemAt(index, &object); ++index) delete object;
  DisposePointerArray(objects);
}

void UIRegistry::Append(UIObject* object) {
  if (object != nullptr) objects->AddItem(&object);  // a null entry would break every look-up
}

UIObject* UIRegistry::Find(UInt32 key) const {
  SInt32 index = objects->FetchIndexOfKey(&key);
  UIObject* object = nullptr;
  if (index == 0 || !objects->FetchItemAt(index, &object)) return nullptr;
  return object;
}

void UIRegistry::Get(UInt32 key, void* out) const {
  if (key == 0) return;
  const UIObject* object = Find(key);
  if (object == nullptr) {
    DebugText(" not found registry");
    return;
  }
  if (out == nullptr) return;
  switch (object->sizeCode) {
    case kSizeShort: {
      SInt16 number = static_cast<SInt16>(object->value);
      std::memcpy(out, &number, sizeof number);
      break;
    }
    case kSizeLong:
      std::memcpy(out, &object->value, sizeof object->value);
      break;
    case kSizeFloat: {
      float number = static_cast<float>(object->value);
      std::memcpy(out, &number, sizeof number);
      break;
    }
    case kSizeString:
      object->Get(static_cast<unsigned char*>(out));
      break;
    default:
      break;  // no data, or a form nothing converts to
  }
}

void UIRegistry::Set(UInt32 key, SInt32 sizeCode, void* in) {
  if (key == 0) return;
  UIObject* object = Find(key);
  if (object == nullptr) {
    UIObject* made = new UIObject(key, nullptr, kUnsetMin, kUnsetMax);
    object = Find(key);
    if (object == nullptr) {
      // Entered into the current system's registry, or into none at all.
      UISystem* current = UISystem::GetCurrentSystem();
      if (current == nullptr || current->registry == nullptr) delete made;
      DebugText(" can't make registry");
      return;
    }
  }
  changedKey = key;
  auto code = static_cast<SInt16>(static_cast<UInt16>(static_cast<UInt32>(sizeCode)));
  object->sizeCode = code;
  switch (code) {
    case kSizeNone:
      break;
    case kSizeShort:
    case kSizeLong:
    case kSizeFloat:
      if (in != nullptr) object->Assign(ReadNumber(code, in));
      break;
    case kSizeString:
      if (in != nullptr) object->Assign(static_cast<ConstStringPtr>(in));
      break;
    default:
      DebugText(" not understand size");
      break;
  }
}

}  // namespace velkui
