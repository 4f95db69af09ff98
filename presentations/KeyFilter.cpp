// The key filter of number fields: which keys and pastes may reach the text,
// applied by the filter itself, with the action of the field's item run live.
#include <string>

#include "FieldText.h"
#include "toolbox/memory.h"
#include "toolbox/quickdraw.h"
#include "toolbox/scrap.h"
#include "toolbox/system.h"
#include "velkui/presentations.h"

namespace velkui {

namespace {

constexpr SInt16 kBeepTicks = 10;
/// The escape key: its virtual key code 0x35 in the high byte, as key events carry it.
constexpr SInt16 kEscapeKeyCode = 0x3500;
/// More pasted bytes than a number can sensibly have.
constexpr Size kMaxPaste = 100;

enum : UInt8 {
  kEnter = 0x03,
  kBackspace = 0x08,
  kTab = 0x09,
  kReturn = 0x0D,
  kLeftArrow = 0x1C,
  kRightArrow = 0x1D,
};

/// What the filter does with a key: swallow it or let the control have it.
constexpr ControlKeyFilterResult kSwallow = kControlKeyFilterBlockKey;
constexpr ControlKeyFilterResult kPass = kControlKeyFilterPassKey;

/// A field being typed into: its control, item number and the text a key makes.
struct Typing {
  ControlRef control;
  UISystem* system;
  SInt16 hit;        ///< absolute item number, from the control's reference value
  SInt16 relative;   ///< relative item number in the current system
  Rect bounds;
  Str255 text;       ///< the text before the key
  ControlEditTextSelectionRec sel;
  std::string made;  ///< the text after the key
  SInt16 advance = 0;  ///< caret after the key: selection start + advance

  /// Reads text, selection and rectangle; false when the text is too long to edit.
  bool Read() {
    GetControlBounds(control, &bounds);
    bool whole = fieldtext::Read(control, text);
    sel = fieldtext::Selection(control, text[0]);
    return whole;
  }
  std::string Before() const { return std::string(text + 1, text + 1 + sel.selStart); }
  std::string After() const { return std::string(text + 1 + sel.selEnd, text + 1 + text[0]); }
  /// The new text fits a length-prefixed string and the field's width.
  bool Fits() const {
    if (made.size() > size_t(fieldtext::kMaxLength)) return false;
    Str255 pascal;
    ToPascal(pascal);
    return StringWidth(pascal) <= bounds.right - bounds.left;
  }
  void ToPascal(unsigned char* out) const {
    out[0] = static_cast<unsigned char>(made.size());
    made.copy(reinterpret_cast<char*>(out + 1), made.size());
  }
};

ControlKeyFilterResult Reject() {
  SysBeep(kBeepTicks);
  return kSwallow;
}

/// Writes the new text with the caret after the edit, redraws the field, then
/// runs the hit of the field's item and the refresh through the current system.
ControlKeyFilterResult Accept(Typing& t) {
  Str255 pascal;
  t.ToPascal(pascal);
  fieldtext::Write(t.control, pascal);
  fieldtext::SetCaret(t.control, static_cast<SInt16>(t.sel.selStart + t.advance));
  fieldtext::SetStyle(t.control, kControlUseJustMask);
  InvalWindowRect(GetControlOwner(t.control), &t.bounds);
  SInt16 hit = t.hit;
  t.system->ActionIPP(&hit);
  if (UISystem* current = UISystem::GetCurrentSystem()) current->ThreadIPP(&hit);
  return kSwallow;
}

/// Judges a typed character by the field's kind (0: no number field).
bool Allowed(UInt8 ch, SInt16 kind, SInt16 selStart) {
  if (kind == 0) return true;
  if ((ch >= '1' && ch <= '9') || ch == kBackspace) return true;
  if (ch == '0') return !(kind == 1 && selStart == 0);
  if (ch == '-') return kind == 3 && selStart == 0;
  return false;
}

/// Builds the text a typed character makes and judges it.
ControlKeyFilterResult TypeCharacter(Typing& t, UInt8 ch) {
  if (ch == kTab || ch == kLeftArrow || ch == kRightArrow) return kPass;
  if (!t.Read()) return Reject();
  if (ch == kBackspace) {
    if (t.sel.selStart == t.sel.selEnd && t.sel.selStart > 0) {
      --t.sel.selStart;
      t.advance = 0;
    }
    t.made = t.Before() + t.After();
  } else {
    t.made = t.Before() + char(ch) + t.After();
    t.advance = 1;
    if (!t.Fits()) return Reject();
  }
  if (!Allowed(ch, t.system->IsNumberField(t.relative), t.sel.selStart)) return Reject();
  return Accept(t);
}

/// The pasted bytes a field of that kind takes at selection start `at`.
bool PasteAllowed(const std::string& bytes, SInt16 kind, SInt16 at) {
  if (bytes.size() > size_t(kMaxPaste)) return false;
  if (kind == 1 && at == 0 && bytes[0] == '0') return false;
  size_t first = (kind == 3 && at == 0 && bytes[0] == '-') ? 1 : 0;
  for (size_t i = first; i < bytes.size(); ++i)
    if (bytes[i] < '0' || bytes[i] > '9') return false;
  return true;
}

/// Bytes of text the scrap holds; 0 when none.
Size ScrapTextSize(ScrapRef& scrap) {
  Size size = 0;
  if (GetCurrentScrap(&scrap) != noErr ||
      GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size) != noErr)
    return 0;
  return size > 0 ? size : 0;
}

/// The scrap's text, copied through a pointer block; false when the block
/// cannot be had.
bool CopyScrapText(ScrapRef scrap, Size size, std::string& out) {
  Ptr buffer = NewPtr(size + 1);
  if (buffer == nullptr) return false;
  if (GetScrapFlavorData(scrap, kScrapFlavorTypeText, &size, buffer) == noErr && size > 0)
    out.assign(buffer, size_t(size));
  DisposePtr(buffer);
  return true;
}

/// Command-V: the scrap's text replaces the selection when every byte is
/// allowed. An empty scrap swallows the key silently.
ControlKeyFilterResult PasteScrap(Typing& t) {
  ScrapRef scrap = nullptr;
  Size size = ScrapTextSize(scrap);
  if (size == 0) return kSwallow;
  UIItem* item = t.system->GetItem(t.relative);
  if (item == nullptr) return kSwallow;
  SInt16 kind = item->IsNumberField();
  std::string pasted;
  if (!CopyScrapText(scrap, size, pasted) || pasted.empty() || !t.Read() ||
      !PasteAllowed(pasted, kind, t.sel.selStart))
    return Reject();
  t.made = t.Before() + pasted + t.After();
  t.advance = static_cast<SInt16>(pasted.size());
  if (!t.Fits()) return Reject();
  return Accept(t);
}

/// The filter's work; exceptions of the hooks and the refresh pass through.
ControlKeyFilterResult Filter(ControlRef control, SInt16* keyCode, SInt16* charCode,
                              EventModifiers* modifiers) {
  UISystem* system = UISystem::GetCurrentSystem();
  if (system == nullptr || keyCode == nullptr || charCode == nullptr || modifiers == nullptr)
    return kPass;
  Typing t{};
  t.control = control;
  t.system = system;
  t.hit = static_cast<SInt16>(GetControlReference(control));
  t.relative = static_cast<SInt16>(t.hit - system->GetBaseNumber());
  if (system->CheckNumberField(t.relative)) return kPass;
  const UInt8 ch = static_cast<UInt8>(*charCode);
  if (*modifiers & cmdKey) return (ch == 'v' || ch == 'V') ? PasteScrap(t) : kPass;
  if (ch == kReturn || ch == kEnter || *keyCode == kEscapeKeyCode) return kPass;
  return TypeCharacter(t, ch);
}

}  // namespace

/// The control service calls the filter from its own event handling, where
/// no exception may arrive: a hook or a refresh that fails (out of memory)
/// ends the key there. What the key changed so far stays consistent: the text
/// and the registry value were written before, and a failed refresh leaves
/// an empty update queue after refreshing everything queued.
ControlKeyFilterResult UIFilter(ControlRef control, SInt16* keyCode, SInt16* charCode,
                                EventModifiers* modifiers) {
  try {
    return Filter(control, keyCode, charCode, modifiers);
  } catch (...) {
    return kSwallow;
  }
}

}  // namespace velkui
