// Reading and writing the text, selection and style of an edit-text control,
// shared by the number field and its key filter.
#pragma once

#include <algorithm>

#include "toolbox/controls.h"

namespace velkui {
namespace fieldtext {

/// Longest text a field holds: what a length-prefixed string can carry.
constexpr SInt16 kMaxLength = 255;

/// The field's text as a length-prefixed string into `out` (256 bytes), cut
/// to its first `limit` bytes. False when the control has no text (empty
/// `out`) or holds more than `limit` bytes.
inline bool Read(ControlRef control, unsigned char* out, SInt16 limit = kMaxLength) {
  Size actual = 0;
  out[0] = 0;
  if (GetControlData(control, kControlEntireControl, kControlEditTextTextTag, limit, out + 1,
                     &actual) != noErr)
    return false;
  out[0] = static_cast<unsigned char>(std::clamp<Size>(actual, 0, limit));
  return actual <= limit;
}

/// Replaces the field's text by a length-prefixed string.
inline void Write(ControlRef control, const unsigned char* text) {
  SetControlData(control, kControlEntireControl, kControlEditTextTextTag, text[0], text + 1);
}

/// Empties the field.
inline void Clear(ControlRef control) {
  SetControlData(control, kControlEntireControl, kControlEditTextTextTag, 0, nullptr);
}

/// The selection, ordered and within a text of `length` bytes.
inline ControlEditTextSelectionRec Selection(ControlRef control, SInt16 length) {
  ControlEditTextSelectionRec sel{0, 0};
  GetControlData(control, kControlEntireControl, kControlEditTextSelectionTag, sizeof(sel), &sel,
                 nullptr);
  sel.selStart = std::clamp<SInt16>(sel.selStart, 0, length);
  sel.selEnd = std::clamp<SInt16>(sel.selEnd, sel.selStart, length);
  return sel;
}

/// A caret (empty selection) at `at`.
inline void SetCaret(ControlRef control, SInt16 at) {
  ControlEditTextSelectionRec sel{at, at};
  SetControlData(control, kControlEntireControl, kControlEditTextSelectionTag, sizeof(sel), &sel);
}

/// Sets the style record with `flags` given, font 0 and justification 0 (the
/// system default: left to right); the other fields are unused.
inline void SetStyle(ControlRef control, SInt16 flags) {
  ControlFontStyleRec style{};
  style.flags = flags;
  SetControlData(control, kControlEntireControl, kControlFontStyleTag, sizeof(style), &style);
}

}  // namespace fieldtext
}  // namespace velkui
