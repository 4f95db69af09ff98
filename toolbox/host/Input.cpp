// Host face of user input: clicks, popup choices, slider drags, little arrows,
// keys through the key filter into the field's own editing, and pastes.
#include "toolbox/host/input.h"

#include <algorithm>

#include "toolbox/scrap.h"
#include "core/Records.h"


using namespace toolbox::internal;

namespace {

constexpr size_t kMaxText = 32767;

bool TakesInput(ControlRef c) { return IsLiveControl(c) && EffectivelyVisible(c) && !Dimmed(c); }

std::string ScrapText() {
  ScrapRef scrap = nullptr;
  Size size = 0;
  UInt32 text = FOUR_CHAR_CODE("TEXT");
  if (GetCurrentScrap(&scrap) != noErr || GetScrapFlavorSize(scrap, text, &size) != noErr ||
      size <= 0)
    return "";
  std::string bytes(size_t(size), '\0');
  if (GetScrapFlavorData(scrap, text, &size, bytes.data()) != noErr) return "";
  bytes.resize(size_t(std::max<Size>(size, 0)));
  return bytes;
}

/// Replaces the selection by `insert`; false when nothing changed.
bool ReplaceSelection(ControlRef f, const std::string& insert) {
  size_t start = size_t(f->selStart), end = size_t(f->selEnd);
  if (start == end && insert.empty()) return false;
  if (f->text.size() - (end - start) + insert.size() > kMaxText) return false;
  f->text.replace(start, end - start, insert);
  f->selStart = f->selEnd = SInt16(start + insert.size());
  return true;
}

bool Backspace(ControlRef f, bool forward) {
  if (f->selStart == f->selEnd) {
    if (!forward && f->selStart == 0) return false;
    if (forward && size_t(f->selEnd) >= f->text.size()) return false;
    if (forward)
      ++f->selEnd;
    else
      --f->selStart;
  }
  return ReplaceSelection(f, "");
}

void MoveCaret(ControlRef f, int direction) {
  SInt16 at = direction < 0 ? f->selStart : f->selEnd;
  if (f->selStart == f->selEnd)
    at = SInt16(std::clamp<int>(at + direction, 0, int(f->text.size())));
  f->selStart = f->selEnd = at;
}

/// The field's own handling of a key its filter let through; true when the
/// text changed.
bool Edit(WindowRef window, ControlRef f, SInt16 character, EventModifiers modifiers) {
  if (modifiers & cmdKey)
    return (character == 'v' || character == 'V') && ReplaceSelection(f, ScrapText());
  switch (character) {
    case 0x09:
      if (modifiers & shiftKey)
        ReverseKeyboardFocus(window);
      else
        AdvanceKeyboardFocus(window);
      return false;
    case 0x08:
      return Backspace(f, false);
    case 0x7F:
      return Backspace(f, true);
    case 0x1C:
      MoveCaret(f, -1);
      return false;
    case 0x1D:
      MoveCaret(f, 1);
      return false;
    default:
      if (UInt8(character) < 0x20) return false;
      return ReplaceSelection(f, std::string(1, char(character)));
  }
}

/// Position of a radio button among its group's buttons, from 1.
SInt32 ButtonPosition(ControlRef group, ControlRef button) {
  SInt32 k = 0;
  for (auto& child : group->children) {
    if (child->kind != kControlKindRadioButton) continue;
    ++k;
    if (child.get() == button) return k;
  }
  return 0;
}

}  // namespace

namespace toolbox {
namespace host {

SInt16 Click(ControlRef c) {
  if (!TakesInput(c)) return 0;
  switch (c->kind) {
    case kControlKindCheckBox:
      StoreValue(c, c->value == 0 ? 1 : 0);
      break;
    case kControlKindRadioButton:
      if (c->parent && c->parent->kind == kControlKindRadioGroup)
        StoreValue(c->parent, ButtonPosition(c->parent, c));
      else
        StoreValue(c, 1);
      break;
    case kControlKindBevelButton:
      if (c->minimum == 0 && c->maximum == 1) StoreValue(c, 1 - c->value);
      break;
    case kControlKindEditText:
    case kControlKindEditUnicodeText:
      SetKeyboardFocus(c->owner, c, kControlFocusNextPart);
      break;
    default:
      break;
  }
  return ItemNumberOf(c);
}

SInt16 ChoosePopupEntry(ControlRef c, SInt16 entry) {
  if (!TakesInput(c) || c->kind != kControlKindPopupButton || !IsValidMenu(c->menu)) return 0;
  MenuItemAttributes attributes = 0;
  if (GetMenuItemAttributes(c->menu, MenuItemIndex(entry), &attributes) != noErr) return 0;
  if (!IsMenuItemEnabled(c->menu, MenuItemIndex(entry)) || (attributes & kMenuItemAttrHidden))
    return 0;
  StoreValue(c, entry);
  return ItemNumberOf(c);
}

SInt16 DragSlider(ControlRef c, const std::vector<SInt32>& values) {
  if (!TakesInput(c) || c->kind != kControlKindSlider) return 0;
  c->hilite = kControlIndicatorPart;
  for (SInt32 v : values) {
    StoreValue(c, v);
    if (c->action) InvokeControlActionUPP(c, kControlIndicatorPart, c->action);
    if (!IsLiveControl(c)) return 0;
  }
  c->hilite = 0;
  return ItemNumberOf(c);
}

SInt16 HoldLittleArrows(ControlRef c, ControlPartCode part, int repeats) {
  if (!TakesInput(c) || c->kind != kControlKindLittleArrows) return 0;
  if (part != kControlUpButtonPart && part != kControlDownButtonPart) return 0;
  c->hilite = part;
  for (int i = 0; i < repeats; ++i) {
    if (c->action)
      InvokeControlActionUPP(c, part, c->action);
    else
      StoreValue(c, c->value + (part == kControlUpButtonPart ? 1 : -1));
    if (!IsLiveControl(c)) return 0;
  }
  c->hilite = 0;
  return ItemNumberOf(c);
}

SInt16 TypeKey(WindowRef window, char character, SInt16 keyCode, EventModifiers modifiers) {
  if (!IsLiveWindow(window) || !TakesInput(window->focus)) return 0;
  ControlRef field = window->focus;
  SInt16 key = keyCode;
  SInt16 ch = SInt16(UInt8(character));
  EventModifiers mods = modifiers;
  if (field->keyFilter &&
      InvokeControlKeyFilterUPP(field, &key, &ch, &mods, field->keyFilter) ==
          kControlKeyFilterBlockKey)
    return 0;
  if (!IsLiveControl(field)) return 0;
  return Edit(window, field, ch, mods) ? ItemNumberOf(field) : 0;
}

SInt16 TypeText(WindowRef window, const std::string& text) {
  SInt16 last = 0;
  for (char ch : text)
    if (SInt16 item = TypeKey(window, ch)) last = item;
  return last;
}

SInt16 Paste(WindowRef window) { return TypeKey(window, 'v', 0x0900, cmdKey); }

}  // namespace host
}  // namespace toolbox
