// The entry functions through which a plug-in drives its panes, and DebugNum.
#include "toolbox/system.h"
#include "toolbox/text.h"
#include "velkui/items.h"

namespace velkui {

namespace {

UISystem* AsSystem(void* sys) { return static_cast<UISystem*>(sys); }

/// The item with relative number *itemNo in `sys`; null for a null pointer or 0.
UIItem* ItemOf(void* sys, const SInt16* itemNo) {
  if (sys == nullptr || itemNo == nullptr) return nullptr;
  return AsSystem(sys)->GetItem(*itemNo);
}

}  // namespace

void* NewIPP(UISystemFactory factory) {
  if (factory == nullptr) return nullptr;
  void* made = nullptr;
  try {
    made = factory();
  } catch (...) {
    return nullptr;  // the plug-in's allocation failed: no system
  }
  if (made != nullptr) AsSystem(made)->NewIPP();
  return made;
}

void FreeIPP(void* sys) {
  if (sys == nullptr) return;
  UISystem* system = AsSystem(sys);
  try {
    system->FreeIPP();
  } catch (...) {
    delete system;  // everything it held is released; the handle is gone either way
    throw;
  }
  delete system;
}

void StartIPP(void* sys) {
  if (sys != nullptr) AsSystem(sys)->StartIPP();
}

void ResumeIPP(void* sys, SInt32 baseNumber, WindowRef window) {
  if (sys == nullptr) return;
  auto narrowed = static_cast<SInt16>(static_cast<UInt16>(static_cast<UInt32>(baseNumber)));
  AsSystem(sys)->ResumeIPP(narrowed, window);
}

void ActionIPP(void* sys, SInt16* ioItemHit) {
  if (sys != nullptr && ioItemHit != nullptr) AsSystem(sys)->ActionIPP(ioItemHit);
}

void ThreadIPP(void* sys, SInt16* ioItemHit) {
  if (sys != nullptr) AsSystem(sys)->ThreadIPP(ioItemHit);
}

void SuspendIPP(void* sys) {
  if (sys != nullptr) AsSystem(sys)->SuspendIPP();
}

void EndIPP(void* sys) {
  if (sys != nullptr) AsSystem(sys)->EndIPP();
}

void SetCurrentIPP(void* sys) { UISystem::curSystem = AsSystem(sys); }

void* GetCurrentIPP(void*) { return UISystem::GetCurrentSystem(); }

Boolean GetItemInfo(UInt32 key, SInt16* outItemNo, SInt16* outMin, SInt16* outMax) {
  UISystem* system = UISystem::GetCurrentSystem();
  SInt16 itemNo = system != nullptr ? system->GetItemNo(key) : 0;
  if (outItemNo != nullptr) *outItemNo = itemNo;
  if (itemNo == 0) return 0;
  UIItem* item = system->GetItem(static_cast<SInt16>(itemNo - system->GetBaseNumber()));
  if (item == nullptr) return 0;
  if (outMin != nullptr) *outMin = static_cast<SInt16>(item->object->min);
  if (outMax != nullptr) *outMax = static_cast<SInt16>(item->object->max);
  return 1;
}

void GetRangeIPP(void* sys, SInt16* itemNo, SInt16* list, SInt16 from, SInt16 to) {
  if (list == nullptr) return;
  list[0] = 0;
  if (UIItem* item = ItemOf(sys, itemNo)) item->GetRange(from, to, list);
}

Boolean GetShowIPP(void* sys, SInt16* itemNo) {
  UIItem* item = ItemOf(sys, itemNo);
  return item != nullptr && item->object->visible && item->object->active ? 1 : 0;
}

void GetRegistry(UInt32 key, void* out) {
  if (UISystem* system = UISystem::GetCurrentSystem()) system->GetRegistry(key, out);
}

void SetRegistry(UInt32 key, SInt32 sizeCode, void* in) {
  if (UISystem* system = UISystem::GetCurrentSystem()) system->SetRegistry(key, sizeCode, in);
}

void DebugNum(SInt32 number) {
  Str255 text;
  NumToString(number, text);
  DebugStr(text);
}

}  // namespace velkui
