// GetRegistry and SetRegistry with any key, any size code and any bytes, on a
// pane of three bound items. The caller's buffers are exactly as large as the
// size code says, so a read or write past them is caught. After each write the
// object exists, carries the size code, and reads back what was written.
#include <memory>
#include <vector>

#include "Fuzz.h"
#include "velkui/items.h"

namespace {

using namespace velkui;

constexpr UInt32 kBoundKeys[] = {1, 2, 0x514C5459};  // 'QLTY'

class Pane : public UISystem {
 public:
  void New() override {
    new UIItem(kBoundKeys[0], 0, 100);
    new UIItem(kBoundKeys[1], -5, 5);
    new UIItem(kBoundKeys[2], -32768, 32767);
  }
};

void* MakePane() { return static_cast<UISystem*>(new Pane); }

UInt32 PickKey(fuzz::Reader& in) {
  uint8_t choice = in.Byte();
  if (choice >= 0xC0) return in.Word();
  const UInt32 keys[] = {0, kBoundKeys[0], kBoundKeys[1], kBoundKeys[2], 0xFFFFFFFF, 7};
  return keys[choice % 6];
}

/// Bytes a value of this size code occupies; `length` gives the string's length byte.
size_t FormBytes(SInt16 code, uint8_t length) {
  if (code == kSizeString) return length + 1u;
  return code == kSizeShort ? 2 : code == kSizeLong || code == kSizeFloat ? 4 : 0;
}

std::vector<uint8_t> Read(UInt32 key) {
  UIObject* object = static_cast<UISystem*>(GetCurrentIPP(nullptr))->FindObject(key);
  size_t bytes = object == nullptr ? 0 : FormBytes(object->sizeCode, 255);
  std::unique_ptr<uint8_t[]> out(new uint8_t[bytes]);
  GetRegistry(key, out.get());
  if (bytes > 0 && object != nullptr && object->sizeCode == kSizeString) bytes = out[0] + 1;
  return std::vector<uint8_t>(out.get(), out.get() + bytes);
}

void Write(fuzz::Reader& in, UISystem& pane) {
  UInt32 key = PickKey(in);
  SInt32 sizeCode = SInt32(in.Word());
  auto code = SInt16(UInt16(UInt32(sizeCode)));
  bool null = in.Byte() == 0xFF;
  uint8_t length = in.Byte();
  std::string value = in.Bytes(FormBytes(code, length));
  if (code == kSizeString) value.insert(value.begin(), char(length));
  value.resize(FormBytes(code, length));
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[value.size()]);  // exactly as large as the value
  std::memcpy(buffer.get(), value.data(), value.size());
  SetRegistry(key, sizeCode, null ? nullptr : buffer.get());
  if (key == 0) return;
  UIObject* object = pane.FindObject(key);
  FUZZ_CHECK(object != nullptr && object->key == key);
  FUZZ_CHECK(object->sizeCode == code);
  if (null) return;
  std::vector<uint8_t> back = Read(key);
  bool unbound = object->item == nullptr;
  if (code == kSizeString || (unbound && (code == kSizeShort || code == kSizeLong)))
    FUZZ_CHECK(back == std::vector<uint8_t>(value.begin(), value.end()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Run run;
  auto* pane = static_cast<UISystem*>(NewIPP(&MakePane));
  FUZZ_CHECK(pane != nullptr);
  fuzz::Reader in(data, size);
  for (int step = 0; step < 64 && !in.Empty(); ++step) {
    uint8_t op = in.Byte() % 3;
    if (op == 0) Write(in, *pane);
    if (op == 1) Read(PickKey(in));
    if (op == 2) {
      SInt16 itemNo = 0, min = 0, max = 0;
      UInt32 key = PickKey(in);
      FUZZ_CHECK(GetItemInfo(key, &itemNo, &min, &max) == (pane->GetItemNo(key) != 0));
    }
  }
  FreeIPP(pane);
  return 0;
}
