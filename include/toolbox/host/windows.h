// Host face of the window and control services: building windows and controls
// of every kind by code, dialog item numbers, and reading back what happened.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "toolbox/controls.h"
#include "toolbox/menus.h"
#include "toolbox/types.h"

namespace toolbox {
namespace host {

/// One entry of a popup button's menu.
struct MenuEntrySpec {
  std::string text;
  bool enabled = true;
  bool hidden = false;  ///< attribute kMenuItemAttrHidden
};

/// Everything a control is made from. Kinds: 'push', 'bevl', 'cbox', 'rdio',
/// 'rgrp', 'popb', 'etxt', 'eutx', 'stxt', 'larr', 'sldr', 'upan', 'well',
/// 'cdef' (any other four-character code is drawn as a labelled frame).
struct ControlSpec {
  OSType kind = 0;
  ControlID id{0, 0};
  Rect bounds{0, 0, 0, 0};  ///< window coordinates
  std::string title;
  SInt32 value = 0;
  SInt32 minimum = 0;
  SInt32 maximum = 0;  ///< popup buttons and radio groups: set from their entries
  bool visible = true;
  bool active = true;
  ControlPartCode hilite = 0;
  SInt16 item = 0;        ///< dialog item number; 0: the ID number plus the window's base
  std::string text;       ///< edit and static text
  SInt16 titleWidth = 0;  ///< popup label width; 0: measured from the title
  std::vector<MenuEntrySpec> menu;  ///< popup buttons
  PicHandle picture = nullptr;      ///< image wells: taken over, freed with the control
  SInt16 pictureResource = 0;       ///< image wells: a 'PICT' resource id instead
};

/// A window of `width` x `height` pixels with an empty root control.
/// Null when the size is not 1..8192 either way.
TOOLBOX_EXPORT WindowRef MakeWindow(const std::string& title, SInt16 width, SInt16 height);
/// Frees the window with all its controls, menus and pictures it owns.
TOOLBOX_EXPORT void DestroyWindow(WindowRef window);
/// Adds a control embedded in `parent` (null: the window's root). Check boxes
/// and radio buttons get range 0..1 (check boxes 0..2 when maximum is 2), popup
/// buttons 1..entries, radio groups 0..buttons (buttons are added later with
/// this group as parent and keep the group's value in step). Null for an
/// unknown window or a parent of another window or one that embeds nothing
/// (only the root, user panes and radio groups embed).
TOOLBOX_EXPORT ControlRef AddControl(WindowRef window, ControlRef parent, const ControlSpec& spec);
/// Dialog item numbers of the window's controls are their ID numbers plus this.
TOOLBOX_EXPORT void SetItemBase(WindowRef window, SInt16 base);
TOOLBOX_EXPORT SInt16 ItemBase(WindowRef window);
/// The dialog item number a hit on this control reports (0: none).
TOOLBOX_EXPORT SInt16 ItemNumber(ControlRef control);
/// Every control of the window in embedding order (root excluded).
TOOLBOX_EXPORT std::vector<ControlRef> Controls(WindowRef window);
/// The control with that signature and number, or null.
TOOLBOX_EXPORT ControlRef FindControl(WindowRef window, const std::string& signature, SInt32 id);
TOOLBOX_EXPORT std::string WindowTitle(WindowRef window);
TOOLBOX_EXPORT SInt16 WindowWidth(WindowRef window);
TOOLBOX_EXPORT SInt16 WindowHeight(WindowRef window);
/// Rectangles invalidated since the last ClearInvalid, oldest first.
TOOLBOX_EXPORT std::vector<Rect> InvalidRects(WindowRef window);
TOOLBOX_EXPORT void ClearInvalid(WindowRef window);
/// The edit or static text of a control.
TOOLBOX_EXPORT std::string ControlText(ControlRef control);
/// Entries of a popup button's menu as they are now.
TOOLBOX_EXPORT std::vector<MenuEntrySpec> MenuEntries(ControlRef control);
/// Live objects, for leak checks.
TOOLBOX_EXPORT size_t LiveWindows();
TOOLBOX_EXPORT size_t LiveProcedureHandles();
/// "cbox" for 'cbox'; and back (0 unless exactly four characters).
TOOLBOX_EXPORT std::string KindName(OSType code);
TOOLBOX_EXPORT OSType KindCode(const std::string& name);

}  // namespace host
}  // namespace toolbox
