// Host face of user input: clicks, popup choices, slider drags, little arrows
// held, keys typed and pastes, delivered as a print dialog would. Each call
// answers the dialog item number the dialog reports for it (0: none); the host
// then calls ActionIPP and ThreadIPP with it.
#pragma once

#include <string>
#include <vector>

#include "toolbox/controls.h"
#include "toolbox/types.h"

namespace toolbox {
namespace host {

/// A click on a control. Hidden or inactive (dimmed) controls take none and
/// answer 0. Check boxes toggle (mixed becomes off); radio buttons turn on (in a
/// radio group: the group's value becomes the button's position, the others
/// turn off); bevel buttons with range 0..1 toggle; edit text takes the focus;
/// popup buttons answer without a change (use ChoosePopupEntry); little arrows
/// and sliders: use HoldLittleArrows / DragSlider. Push buttons, static text,
/// user panes, image wells: only the item number.
TOOLBOX_EXPORT SInt16 Click(ControlRef control);
/// Chooses entry `entry` (1-based) of a popup button: its value becomes the
/// entry. Disabled, hidden or missing entries: no change, 0.
TOOLBOX_EXPORT SInt16 ChoosePopupEntry(ControlRef control, SInt16 entry);
/// Drags a slider's thumb through `values` (each clamped to the range): for
/// every one the value is set and the action procedure, if any, is called with
/// part kControlIndicatorPart (129). Answers the item number when done.
TOOLBOX_EXPORT SInt16 DragSlider(ControlRef control, const std::vector<SInt32>& values);
/// Holds an arrow of little arrows for `repeats` steps (part 20 up, 21 down):
/// each step calls the action procedure with the part, or, without one, steps
/// the value by one within the range. The part is highlighted while held.
TOOLBOX_EXPORT SInt16 HoldLittleArrows(ControlRef control, ControlPartCode part, int repeats);
/// A key typed into the focused field of `window`. The field's key filter,
/// if installed, sees it first (it may change the key); when it blocks the key
/// the answer is 0. A passed key gets the field's own editing: printable
/// characters replace the selection, backspace (0x08) deletes, left and right
/// arrows (0x1C, 0x1D) move the caret, tab (0x09) moves the focus to the next
/// field, return (0x0D) and enter (0x03) do nothing. Answers the field's item
/// number when its text changed, else 0. `keyCode` is passed to the filter as
/// the event carries it (the virtual key code in the high byte: escape 0x3500).
TOOLBOX_EXPORT SInt16 TypeKey(WindowRef window, char character, SInt16 keyCode = 0,
                              EventModifiers modifiers = 0);
/// Types each character in turn; answers the last non-zero answer.
TOOLBOX_EXPORT SInt16 TypeText(WindowRef window, const std::string& text);
/// Command-V into the focused field: the key filter sees character 'v' with
/// cmdKey; when it passes the key, the scrap's 'TEXT' replaces the selection.
TOOLBOX_EXPORT SInt16 Paste(WindowRef window);

}  // namespace host
}  // namespace toolbox
