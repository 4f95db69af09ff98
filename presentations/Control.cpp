// The toolbox control presentation: binding an item to a control by ID and
// mirroring the registry object into it; the SetControl factory.
#include "toolbox/menus.h"
#include "velkui/presentations.h"

namespace velkui {

namespace {

constexpr SInt32 kDefaultMin = -32768;
constexpr SInt32 kDefaultMax = 32767;
constexpr SInt32 kUnsetValue = -32768;
constexpr ControlPartCode kActivePart = 0;
constexpr ControlPartCode kInactivePart = 255;
constexpr MenuItemAttributes kHiddenEntry = 0x20;
constexpr SInt32 kMaskedEntries = 64;

// Presentation error codes.
enum : int {
  kErrShowNoControl = 1,
  kErrHiliteNoControl = 2,
  kErrEmptyString = 3,
  kErrClearString = 4,
  kErrSelectString = 5,
  kErrGetValueKind = 6,
  kErrValueRange = 7,
  kErrSetValueKind = 8,
  kErrRefConKind = 13,
  kErrRangeKind = 17,
};

bool MaskBit(UInt64 mask, SInt32 entry) { return (mask >> (entry - 1)) & 1; }

}  // namespace

bool UIControl::IsValueKind(OSType k) {
  switch (k) {
    case kControlKindCheckBox:
    case kControlKindRadioButton:
    case kControlKindPopupButton:
    case kControlKindEditText:
    case kControlKindEditUnicodeText:
    case kControlKindCustom:
    case kControlKindLittleArrows:
    case kControlKindBevelButton:
    case kControlKindSlider:
    case kControlKindRadioGroup:
      return true;
    default:
      return false;
  }
}

UIControl::UIControl(UIItem* inItem, SInt16 inItemNo, UInt32 inSignature)
    : UIEmulate(inItem, inItemNo),
      kind{0, 0},
      control(nullptr),
      bounds{0, 0, 0, 0},
      controlID{inSignature, inItemNo},
      disabledEntry(0),
      signature(inSignature) {
  WindowRef window = system != nullptr ? system->GetDialog() : nullptr;
  if (window != nullptr && GetControlByID(window, &controlID, &control) != noErr) control = nullptr;
  if (control != nullptr) {
    GetControlKind(control, &kind);
    GetControlBounds(control, &bounds);
  }
  BindRangeAndVisibility();
  UIObject& r = Registry();
  if (r.value == kUnsetValue && HasValueKind() && r.max != r.min) UIControl::GetValue();
}

UIControl::~UIControl() {}

/// Takes range and visibility from the control when the registry range is the default.
void UIControl::BindRangeAndVisibility() {
  UIObject& r = Registry();
  if (r.min != kDefaultMin || r.max != kDefaultMax || !HasValueKind()) return;
  SInt32 min = GetControlMinimum(control);
  SInt32 max = GetControlMaximum(control);
  if (kind.kind == kControlKindRadioGroup) {
    UInt16 count = 0;
    CountSubControls(control, &count);
    min = 1;
    max = count;
  } else if (kind.kind == kControlKindPopupButton) {
    // A popup embeds no controls here; its entries are what it counts.
    min = 1;
    max = CountMenuItems(GetControlPopupMenuHandle(control));
  }
  UIEmulate::SetRange(item, min, max);
  UIEmulate::Show(item, bounds.left < 8192);
}

void UIControl::GetValue() {
  if (!HasValueKind()) return item->ErrorMessage(kErrGetValueKind);
  Registry().value = GetControlValue(control);
}

void UIControl::SetValue() {
  if (!HasValueKind()) return item->ErrorMessage(kErrSetValueKind);
  const UIObject& r = Registry();
  if (r.value < r.min || r.value > r.max) return item->ErrorMessage(kErrValueRange);
  SetControlValue(control, SInt16(r.value));
}

void UIControl::SetStatus() {
  Show();
  Hilite();
  MenuAdjust();
  SetValue();
}

void UIControl::Show(Boolean show) {
  UIEmulate::Show(item, show);
  Show();
}

void UIControl::Hilite(SInt16 hilite) {
  UIEmulate::Hilite(item, hilite);
  Hilite();
}

void UIControl::MenuAdjust(SInt64 mask) {
  UIEmulate::MenuAdjust(item, mask);
  MenuAdjust();
}

void UIControl::Show() {
  if (control == nullptr) return item->ErrorMessage(kErrShowNoControl);
  if (Registry().visible)
    ShowControl(control);
  else
    HideControl(control);
}

void UIControl::Hilite() {
  if (control != nullptr && (IsValueKind(kind.kind) || kind.kind == kControlKindStaticText)) {
    HiliteControl(control, Registry().active ? kActivePart : kInactivePart);
  } else if (control == nullptr && kind.kind != kControlKindUserPane) {
    item->ErrorMessage(kErrHiliteNoControl);
  }
}

void UIControl::MenuAdjust() {
  if (control == nullptr) return;
  if (kind.kind == kControlKindPopupButton) AdjustPopupMenu();
  if (kind.kind == kControlKindRadioGroup) AdjustRadioGroup();
}

/// Enables entry i of the popup's menu when bit i - 1 of the mask is set, for
/// the first 64 entries; the registry maximum follows the entry count.
void UIControl::AdjustPopupMenu() {
  MenuRef menu = nullptr;
  if (GetControlData(control, kControlEntireControl, kControlPopupButtonMenuHandleTag,
                     sizeof(menu), &menu, nullptr) != noErr ||
      menu == nullptr || !IsValidMenu(menu))
    return;
  SInt16 count = SInt16(CountMenuItems(menu));
  UIObject& r = Registry();
  r.max = count;
  for (SInt32 entry = 1; entry <= count && entry <= kMaskedEntries; ++entry) {
    if (MaskBit(r.menuMask, entry))
      EnableMenuItem(menu, MenuItemIndex(entry));
    else
      DisableMenuItem(menu, MenuItemIndex(entry));
  }
  Draw1Control(control);
}

/// Dims the button last disabled; index 0 (none yet) finds no button.
void UIControl::AdjustRadioGroup() {
  ControlRef button = nullptr;
  if (disabledEntry > 0 && GetIndexedSubControl(control, UInt16(disabledEntry), &button) == noErr)
    HiliteControl(button, kInactivePart);
  Draw1Control(control);
}

void UIControl::EnDisableItem(SInt16 entry, Boolean enable) {
  UIEmulate::EnDisableItem(item, entry, enable);
  if (!enable) disabledEntry = entry;
  MenuAdjust();
}

void UIControl::ShowHideMenuItem(UInt16 entry, Boolean show, Boolean alsoEnable) {
  if (alsoEnable) {
    UIEmulate::ShowHideMenuItem(item, entry, show, alsoEnable);
    if (!show) disabledEntry = SInt16(entry);
    MenuAdjust();
  }
  if (MenuRef menu = GetControlPopupMenuHandle(control)) {
    if (show)
      ChangeMenuItemAttributes(menu, entry, 0, kHiddenEntry);
    else
      ChangeMenuItemAttributes(menu, entry, kHiddenEntry, 0);
  }
}

void UIControl::SetRange(SInt32 min, SInt32 max) {
  UIEmulate::SetRange(item, min, max);
  if (!HasValueKind()) return item->ErrorMessage(kErrRangeKind);
  SInt32 shown = GetControlValue(control);
  SetControlMinimum(control, SInt16(min));
  SetControlMaximum(control, SInt16(max));
  const UIObject& r = Registry();
  if (shown < r.min)
    item->Assign(min);
  else if (shown > r.max)
    item->Assign(max);
}

void UIControl::SetRefCon(SInt32 refCon) {
  if (!HasValueKind()) return item->ErrorMessage(kErrRefConKind);
  SetControlReference(control, refCon);
  Draw1Control(control);
}

void UIControl::GetTitle(unsigned char* title) { GetControlTitle(control, title); }
void UIControl::SetTitle(unsigned char* title) { SetControlTitle(control, title); }

Boolean UIControl::EmptyString() {
  item->ErrorMessage(kErrEmptyString);
  return 0;
}

void UIControl::ClearString() { item->ErrorMessage(kErrClearString); }
void UIControl::SelectString() { item->ErrorMessage(kErrSelectString); }

void UIControl::Action(SInt16*) {
  if (control != nullptr && kind.kind == kControlKindCheckBox)
    SetControlValue(control, GetControlValue(control));
}

Boolean UIControl::CheckItemType() {
  const UIObject& r = Registry();
  return HasValueKind() && r.max != r.min;
}

// ---------------------------------------------------------------- factories

void UIItem::SetControl(SInt16 itemNo, UInt32 signature) {
  MakePresentation<UIControl>(itemNo, signature);
}

}  // namespace velkui
