// The presentation interface and the emulated presentation over the registry object.
#include "../support/Blocks.h"

namespace velkui {

namespace {

/// Menu entry k is bit k - 1 of the 64-bit mask; entries outside 1..64 have none.
UInt64 EntryBit(SInt32 entry) {
  return entry >= 1 && entry <= 64 ? UInt64(1) << (entry - 1) : 0;
}

/// Inactive is hilite 255, taken as 16 bits.
constexpr SInt16 kInactiveHilite = 255;
constexpr SInt16 kWholeText = 32767;

}  // namespace

VELKUI_DEFINE_BLOCK_ALLOCATED(UIEmulate)

UIEmulate UIEmulate::emulate(nullptr, 0);
Boolean UIEmulate::inAction = 0;

UIEmulate::UIEmulate(UIItem* inItem, SInt16 inItemNo)
    : item(inItem), system(UISystem::GetCurrentSystem()), itemNo(inItemNo) {}

UIEmulate::~UIEmulate() {}

// ---------------------------------------------------------------- virtual interface

void UIEmulate::GetValue() {}
void UIEmulate::SetValue() {}
void UIEmulate::SetStatus() {}
void UIEmulate::Show(Boolean show) { Show(item, show); }
void UIEmulate::Hilite(SInt16 hilite) { Hilite(item, hilite); }
void UIEmulate::SetRange(SInt32 min, SInt32 max) { SetRange(item, min, max); }
void UIEmulate::GetRange(SInt32 from, SInt32 to, SInt16* list) { GetRange(item, from, to, list); }
void UIEmulate::SetRefCon(SInt32 refCon) { SetRefCon(item, refCon); }
void UIEmulate::MenuAdjust(SInt64 mask) { MenuAdjust(item, mask); }
void UIEmulate::SetMONXPreviewParam(MonxInfo info) { SetMONXPreviewParam(item, info); }
void UIEmulate::EnDisableItem(SInt16 entry, Boolean enable) { EnDisableItem(item, entry, enable); }
void UIEmulate::ShowHideMenuItem(UInt16 entry, Boolean show, Boolean alsoEnable) {
  ShowHideMenuItem(item, entry, show, alsoEnable);
}
Boolean UIEmulate::IsEnableItem(SInt16 entry) { return IsEnableItem(item, entry); }
void UIEmulate::SetLevelPicture(SInt16 level) { SetLevelPicture(item, level); }
void UIEmulate::GetTitle(unsigned char* title) { GetTitle(item, title); }
void UIEmulate::SetTitle(unsigned char* title) { SetTitle(item, title); }
Boolean UIEmulate::EmptyString() { return EmptyString(item); }
void UIEmulate::ClearString() { ClearString(item); }
void UIEmulate::SelectString() { SelectString(item); }
Boolean UIEmulate::CheckNumberField() { return 0; }
SInt16 UIEmulate::IsNumberField() { return 0; }
void UIEmulate::Action(SInt16*) {}

SInt16 UIEmulate::CompareItemNo(SInt16 n) {
  if (itemNo == n) return 0;
  return itemNo > n ? -1 : 1;
}

// ---------------------------------------------------------------- emulated behaviour

void UIEmulate::Show(UIItem* target, Boolean show) {
  if (target != nullptr) target->object->visible = show;
}

void UIEmulate::Hilite(UIItem* target, SInt16 hilite) {
  if (target != nullptr) target->object->active = hilite != kInactiveHilite ? 1 : 0;
}

void UIEmulate::SetRange(UIItem* target, SInt32 min, SInt32 max) {
  if (target == nullptr) return;
  target->object->min = min;
  target->object->max = max;
  target->object->menuMask = ~UInt64(0);
}

void UIEmulate::GetRange(UIItem* target, SInt32 from, SInt32 to, SInt16* list) {
  if (list == nullptr) return;
  UInt64 mask = target != nullptr ? target->object->menuMask : 0;
  // From 0 (or below) the walk starts at bit 0, so entry i is tested against bit i.
  UInt64 test = from >= 1 ? EntryBit(from) : 1;
  SInt16 count = 0;
  for (SInt64 i = from; i <= SInt64(to) && test != 0; ++i, test <<= 1) {
    if ((mask & test) != 0) list[1 + count++] = static_cast<SInt16>(i);
  }
  list[0] = count;
}

void UIEmulate::SetRefCon(UIItem*, SInt32) {}

void UIEmulate::MenuAdjust(UIItem* target, SInt64 mask) {
  if (target != nullptr) target->object->menuMask = static_cast<UInt64>(mask);
}

void UIEmulate::SetMONXPreviewParam(UIItem* target, MonxInfo info) {
  if (target != nullptr) target->object->monxParams = info;
}

void UIEmulate::EnDisableItem(UIItem* target, SInt16 entry, Boolean enable) {
  if (target == nullptr) return;
  UInt64 bit = EntryBit(entry);
  target->object->menuMask &= ~bit;
  if (enable != 0) target->object->menuMask |= bit;
}

void UIEmulate::ShowHideMenuItem(UIItem* target, UInt16 entry, Boolean show,
                                 Boolean alsoEnable) {
  if (alsoEnable == 0 || target == nullptr) return;
  UInt64 bit = EntryBit(entry);
  target->object->menuMask &= ~bit;
  if (show != 0) target->object->menuMask |= bit;
}

Boolean UIEmulate::IsEnableItem(UIItem* target, SInt16 entry) {
  if (target == nullptr) return 0;
  return (target->object->menuMask & EntryBit(entry)) != 0 ? 1 : 0;
}

void UIEmulate::SetLevelPicture(UIItem*, SInt16) {}
void UIEmulate::GetTitle(UIItem*, unsigned char*) {}
void UIEmulate::SetTitle(UIItem*, unsigned char*) {}

Boolean UIEmulate::EmptyString(UIItem* target) {
  return target != nullptr ? target->object->emptyText : 0;
}

void UIEmulate::ClearString(UIItem* target) {
  if (target != nullptr) target->object->emptyText = 1;
}

void UIEmulate::SelectString(UIItem* target) {
  UISystem* focus = TargetSystem();
  if (focus == nullptr) return;
  focus->focusNumber = 0;
  focus->focusItem = target;
  focus->selStart = 0;
  focus->selEnd = kWholeText;
}

// ---------------------------------------------------------------- requests to the system

UISystem* UIEmulate::TargetSystem() const {
  return system != nullptr ? system : UISystem::GetCurrentSystem();
}

void UIEmulate::Update() {
  if (item == nullptr) return;
  if (system != nullptr) system->AppendUpdate(item);
  else item->Update();
}

void UIEmulate::EventCancel() {
  if (UISystem* target = TargetSystem()) target->EventCancel();
}

void UIEmulate::SetError(SInt16 alertId) {
  if (UISystem* target = TargetSystem()) target->SetError(alertId);
}

void UIEmulate::ErrorAlert(SInt16 index) {
  if (UISystem* target = TargetSystem()) target->ErrorAlert(index);
}

}  // namespace velkui
