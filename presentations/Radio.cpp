// The radio group presentation: one item shown on radio buttons that sit on
// consecutive item numbers, one button per value of the item's range; the
// SetRadio factory.
#include <algorithm>

#include "velkui/presentations.h"

namespace velkui {

namespace {

constexpr ControlPartCode kActivePart = 0;
constexpr ControlPartCode kInactivePart = 255;
/// Buttons beyond this many are left as they are by MenuAdjust (the menu
/// mask it reads them from had 32 bits).
constexpr SInt32 kAdjustedButtons = 32;

}  // namespace

UIRadio::UIRadio(UIItem* inItem, SInt16 inItemNo, UInt32 inSignature)
    : UIControl(inItem, inItemNo, inSignature) {}

UIRadio::~UIRadio() {}

bool UIRadio::VisitButton(SInt32 value) {
  controlID = ControlID{signature, SInt32(itemNo) + (value - Registry().min)};
  control = nullptr;
  WindowRef window = UISystem::GetCurrentDialogPtr();
  if (window == nullptr || GetControlByID(window, &controlID, &control) != noErr) {
    control = nullptr;
    return false;
  }
  GetControlKind(control, &kind);
  return true;
}

template <class Visit>
void UIRadio::ForEachButton(SInt32 last, Visit visit) {
  for (SInt32 v = Registry().min; v <= last; ++v)
    if (VisitButton(v)) visit(v);
}

void UIRadio::GetValue() {
  SInt32 on = 0;
  ForEachButton(Registry().max, [&](SInt32 v) {
    if (GetControlValue(control) != 0) on = v;
  });
  Registry().value = on;
}

void UIRadio::SetValue() {
  const SInt32 value = Registry().value;
  ForEachButton(Registry().max, [&](SInt32 v) { SetControlValue(control, v == value ? 1 : 0); });
}

void UIRadio::Show() {
  const bool visible = Registry().visible != 0;
  ForEachButton(Registry().max, [&](SInt32) {
    if (visible)
      ShowControl(control);
    else
      HideControl(control);
  });
}

void UIRadio::Hilite() { MenuAdjust(); }

void UIRadio::MenuAdjust() {
  const UIObject& r = Registry();
  const SInt32 last = std::min<SInt32>(r.max, r.min + kAdjustedButtons - 1);
  ForEachButton(last, [&](SInt32 v) {
    const bool enabled = ((r.menuMask >> (v - r.min)) & 1) != 0 && r.active != 0;
    HiliteControl(control, enabled ? kActivePart : kInactivePart);
  });
}

void UIRadio::EnDisableItem(SInt16 entry, Boolean enable) {
  UIEmulate::EnDisableItem(item, entry, enable);
  MenuAdjust();
}

void UIRadio::SetRange(SInt32 min, SInt32 max) {
  UIEmulate::SetRange(item, min, max);
  MenuAdjust();
  const UIObject& r = Registry();
  if (r.value < r.min)
    item->Assign(r.min);
  else if (r.value > r.max)
    item->Assign(r.max);
}

void UIRadio::Action(SInt16* ioItemHit) {
  const SInt16 base = system != nullptr ? system->GetBaseNumber() : 0;
  const SInt16 first = SInt16(itemNo + base);
  Registry().value = SInt32(*ioItemHit - first) + Registry().min;
  SetValue();
  *ioItemHit = first;
}

SInt16 UIRadio::CompareItemNo(SInt16 n) {
  const UIObject& r = Registry();
  if (n < itemNo) return 1;
  if (SInt32(n) > SInt32(itemNo) + (r.max - r.min)) return -1;
  return 0;
}

void UIItem::SetRadio(SInt16 itemNo, UInt32 signature) {
  MakePresentation<UIRadio>(itemNo, signature);
}

}  // namespace velkui
