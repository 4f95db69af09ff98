// The number field presentation: an item's integer shown and typed as decimal
// text in an edit-text control, checked against the item's range; the
// SetNumber factory.
#include <cstdint>

#include "FieldText.h"
#include "toolbox/dialogs.h"
#include "toolbox/quickdraw.h"
#include "toolbox/system.h"
#include "toolbox/text.h"
#include "velkui/presentations.h"

namespace velkui {

namespace {

constexpr SInt32 kMaxValues = 31;
constexpr SInt16 kBeepTicks = 10;
constexpr SInt16 kFontAndJustification = kControlUseFontMask | kControlUseJustMask;

// Presentation error codes.
enum : int { kErrSelectString = 5, kErrValueRange = 7, kErrShowNoControl = 1 };

/// The number a length-prefixed text spells; the empty text gives 0.
SInt32 TextToNumber(const unsigned char* text) {
  SInt32 n = 0;
  if (text[0] != 0) StringToNum(text, &n);
  return n;
}

/// Two's-complement arithmetic of the platform's 32-bit integers: wraps
/// instead of overflowing.
SInt32 Wrapped(int64_t n) { return static_cast<SInt32>(static_cast<uint32_t>(n)); }

}  // namespace

UINumber::UINumber(UIItem* inItem, SInt16 inItemNo, SInt32 inStep, SInt32 inFlags, SInt32 count,
                   SInt32* list, UInt32 inSignature)
    : UIControl(inItem, inItemNo, inSignature),
      step(inStep),
      flags(inFlags),
      valueCount(0),
      values{},
      keyFilter(NewControlKeyFilterUPP(UIFilter)) {
  SetControlReference(control, inItemNo + UISystem::GetCurrentBaseNumber());
  SetControlData(control, kControlEntireControl, kControlEditTextKeyFilterTag, sizeof(keyFilter),
                 &keyFilter);
  if (count > 0 && count <= kMaxValues && list != nullptr) {
    valueCount = count;
    for (SInt32 i = 0; i < count; ++i) values[i] = list[i];
  }
}

UINumber::~UINumber() {
  // Take the filter off a control that still carries it, so that no key
  // reaches a released procedure handle.
  ControlKeyFilterUPP installed = nullptr;
  if (GetControlData(control, kControlEntireControl, kControlEditTextKeyFilterTag,
                     sizeof(installed), &installed, nullptr) == noErr &&
      installed == keyFilter) {
    ControlKeyFilterUPP none = nullptr;
    SetControlData(control, kControlEntireControl, kControlEditTextKeyFilterTag, sizeof(none),
                   &none);
  }
  DisposeControlKeyFilterUPP(keyFilter);
}

SInt16 UINumber::KindOf(SInt32 bits) {
  if (!(bits & kNumberAllowLeadingZero)) return 1;
  return (bits & kNumberAllowMinus) ? 3 : 2;
}

Boolean UINumber::CheckItemType() { return 1; }

SInt16 UINumber::IsNumberField() {
  if (system != nullptr) system->numberField = itemNo;
  return KindOf(flags);
}

void UINumber::GetValue() {
  if (control == nullptr) return;  // no text to read: the value stays
  Str255 text;
  fieldtext::Read(control, text);
  SInt32 n = TextToNumber(text);
  if (AllowsBlank()) Registry().emptyText = n == 0;
  Registry().value = n;
}

void UINumber::SetValue() {
  if (kind.kind != kControlKindEditText) return;
  const UIObject& r = Registry();
  if (!AllowsBlank() && (r.value < r.min || r.value > r.max)) item->ErrorMessage(kErrValueRange);
  if (AllowsBlank() && r.value == 0) return;
  Str255 digits;
  NumToString(r.value, digits);
  fieldtext::Clear(control);
  fieldtext::SetStyle(control, kFontAndJustification);
  fieldtext::Write(control, digits);
  FocusRedrawAndShow();
}

/// Focuses the field unless it has the focus already (a new focus selects
/// the whole text), invalidates its rectangle, and shows it or hides it
/// (dropping the window's focus) per the registry's visible flag.
void UINumber::FocusRedrawAndShow() {
  WindowRef window = GetControlOwner(control);
  ControlRef focused = nullptr;
  GetKeyboardFocus(window, &focused);
  if (focused == nullptr || GetControlReference(focused) != GetControlReference(control))
    SetKeyboardFocus(window, control, kControlFocusNextPart);
  else
    ActivateControl(control);
  Rect rect;
  GetControlBounds(control, &rect);
  InvalWindowRect(window, &rect);
  if (Registry().visible) {
    ShowControl(control);
    ActivateControl(control);
  } else {
    HideControl(control);
    ClearKeyboardFocus(window);
    DeactivateControl(control);
  }
}

void UINumber::SetStatus() {
  Show();
  Hilite();
  MenuAdjust();
  if (Registry().emptyText && AllowsBlank())
    fieldtext::Clear(control);
  else
    SetValue();
}

void UINumber::Show() {
  controlID = ControlID{signature, itemNo};
  if (GetControlByID(UISystem::GetCurrentDialogPtr(), &controlID, &control) != noErr)
    control = nullptr;
  if (control == nullptr) return item->ErrorMessage(kErrShowNoControl);
  if (Registry().visible) {
    ShowControl(control);
    ActivateControl(control);
  } else {
    HideControl(control);
    DeactivateControl(control);
  }
}

Boolean UINumber::EmptyString() {
  Str255 text;
  fieldtext::Read(control, text);
  if (AllowsBlank()) Registry().emptyText = text[0] == 0;
  return UIEmulate::EmptyString(item);
}

void UINumber::ClearString() {
  if (AllowsBlank()) UIEmulate::ClearString(item);
  fieldtext::Clear(control);
}

void UINumber::SelectString() {
  if (kind.kind != kControlKindEditText) return item->ErrorMessage(kErrSelectString);
  if (system != nullptr) {
    system->focusNumber = static_cast<SInt16>(itemNo + system->GetBaseNumber());
    system->focusItem = nullptr;
  }
  // Writing the text back puts the caret after it; a text too long to read
  // whole is left as it is rather than cut.
  Str255 text;
  if (fieldtext::Read(control, text)) fieldtext::Write(control, text);
  FocusRedrawAndShow();
}

/// Judges the whole text, as GetValue reads it, so that the value checked is
/// the value stored.
Boolean UINumber::CheckNumberField() {
  if (control == nullptr) return 0;  // no text to judge
  Str255 text;
  fieldtext::Read(control, text);
  if (AllowsBlank() && text[0] == 0) return 0;
  const UIObject& r = Registry();
  SInt32 n = TextToNumber(text);
  if (n >= r.min && n <= r.max) return 0;
  if (n < r.min) n = r.min;
  if (n > r.max) n = r.max;
  UISystem* owner = system != nullptr ? system : UISystem::GetCurrentSystem();
  if (owner != nullptr && owner->errorAlert != 0) {
    Str255 corrected, min, max;
    NumToString(n, corrected);
    NumToString(r.min, min);
    NumToString(r.max, max);
    ParamText(text, corrected, min, max);
    StopAlert(owner->errorAlert, nullptr);
    ParamText(nullptr, nullptr, nullptr, nullptr);
  }
  item->Assign(n);
  if (owner != nullptr) owner->Auto(itemNo);
  SysBeep(kBeepTicks);
  return 1;
}

void UINumber::Append(SInt32 v, Boolean wrap) {
  const UIObject& r = Registry();
  SInt32 n = 0;
  if (valueCount == 0) {
    if (step == 0) return;  // nothing to step by
    // step + step × ((step × v) ÷ step), wrapping like the platform's integers.
    int64_t product = Wrapped(int64_t(step) * v);
    n = Wrapped(int64_t(step) + int64_t(step) * Wrapped(product / step));
    if (n < r.min) n = wrap ? r.max : r.min;
    if (n > r.max) n = wrap ? r.min : r.max;
  } else {
    const SInt32 m = valueCount;
    SInt32 i = 0;
    while (i < m && v > values[i]) ++i;
    if (v < 0)
      n = i > 0 ? values[i - 1] : (wrap ? values[m - 1] : values[0]);
    else if (i == m)
      n = wrap ? values[0] : values[m - 1];
    else if (i == m - 1)
      n = (v == values[m - 1] && wrap) ? values[0] : values[m - 1];
    else
      n = v == values[i] ? values[i + 1] : values[i];
  }
  item->Assign(n);
}

// ---------------------------------------------------------------- factory

void UIItem::SetNumber(SInt16 itemNo, SInt32 step, SInt32 flags, SInt32 count, SInt32* values,
                       UInt32 signature) {
  MakePresentation<UINumber>(itemNo, step, flags, count, values, signature);
}

}  // namespace velkui
