// Menu service: the menus of popup buttons, their entries' text, enabled state
// and attributes.
#pragma once

#include "toolbox/types.h"
#include "toolbox/windows_fwd.h"

typedef SInt16 MenuID;
typedef UInt16 MenuItemIndex;
typedef UInt32 MenuItemAttributes;

enum : MenuItemAttributes {
  kMenuItemAttrDisabled = 1u << 0,
  kMenuItemAttrHidden = 1u << 5,  ///< 0x20: the entry is not shown
};

extern "C" {

/// A new empty menu. Null when the title is null.
TOOLBOX_EXPORT MenuRef NewMenu(MenuID id, ConstStr255Param title);
/// Frees a menu. Unknown menus are ignored. A popup button's menu belongs to the
/// popup and is freed with it.
TOOLBOX_EXPORT void DisposeMenu(MenuRef menu);
/// True for a live menu made by this toolbox; false for null or anything else.
TOOLBOX_EXPORT Boolean IsValidMenu(MenuRef menu);
TOOLBOX_EXPORT MenuID GetMenuID(MenuRef menu);
/// Appends an enabled, shown entry with the text (no metacharacters).
TOOLBOX_EXPORT void AppendMenuItemText(MenuRef menu, ConstStr255Param text);
/// Inserts after entry `afterItem` (0: at the top).
TOOLBOX_EXPORT void InsertMenuItemText(MenuRef menu, ConstStr255Param text,
                                       MenuItemIndex afterItem);
TOOLBOX_EXPORT void DeleteMenuItem(MenuRef menu, MenuItemIndex item);
/// Number of entries; 0 for an invalid menu.
TOOLBOX_EXPORT UInt16 CountMenuItems(MenuRef menu);
/// Entry 1..count; entry 0 means the whole menu. Other numbers are ignored.
TOOLBOX_EXPORT void EnableMenuItem(MenuRef menu, MenuItemIndex item);
TOOLBOX_EXPORT void DisableMenuItem(MenuRef menu, MenuItemIndex item);
/// Enabled entry (and whole menu enabled). False for an invalid entry.
TOOLBOX_EXPORT Boolean IsMenuItemEnabled(MenuRef menu, MenuItemIndex item);
/// Sets then clears attribute bits of an entry. paramErr for an invalid menu or
/// entry. kMenuItemAttrDisabled mirrors the enabled state.
TOOLBOX_EXPORT OSStatus ChangeMenuItemAttributes(MenuRef menu, MenuItemIndex item,
                                                 MenuItemAttributes setTheseAttributes,
                                                 MenuItemAttributes clearTheseAttributes);
/// The entry's attributes, kMenuItemAttrDisabled set when it is disabled.
/// paramErr for an invalid menu or entry, or a null result pointer.
TOOLBOX_EXPORT OSStatus GetMenuItemAttributes(MenuRef menu, MenuItemIndex item,
                                              MenuItemAttributes* outAttributes);
/// Entry text as a length-prefixed string; empty for an invalid entry.
TOOLBOX_EXPORT void GetMenuItemText(MenuRef menu, MenuItemIndex item, Str255 text);
TOOLBOX_EXPORT void SetMenuItemText(MenuRef menu, MenuItemIndex item, ConstStr255Param text);

}  // extern "C"
