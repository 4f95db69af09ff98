// Menu service: menus with entries that have text, an enabled state and
// attributes; the popup buttons of the control service hold them.
#include "toolbox/menus.h"

#include <algorithm>
#include <set>

#include "core/Records.h"
#include "core/Strings.h"

using namespace toolbox::internal;

namespace {

std::set<MenuRef>& LiveMenus() {
  static auto* menus = new std::set<MenuRef>;  // lives until exit
  return *menus;
}

/// The entry, or null for an invalid menu or entry number.
OpaqueMenuRef::Entry* EntryOf(MenuRef menu, MenuItemIndex item) {
  if (!IsValidMenu(menu) || item < 1 || item > menu->entries.size()) return nullptr;
  return &menu->entries[item - 1];
}

}  // namespace

extern "C" {

MenuRef NewMenu(MenuID id, ConstStr255Param title) {
  if (!title) return nullptr;
  auto* menu = new OpaqueMenuRef;
  menu->id = id;
  menu->title = PascalToString(title);
  LiveMenus().insert(menu);
  return menu;
}

void DisposeMenu(MenuRef menu) {
  if (LiveMenus().erase(menu)) delete menu;
}

Boolean IsValidMenu(MenuRef menu) { return menu && LiveMenus().count(menu) != 0; }

MenuID GetMenuID(MenuRef menu) { return IsValidMenu(menu) ? menu->id : 0; }

void AppendMenuItemText(MenuRef menu, ConstStr255Param text) {
  if (IsValidMenu(menu) && text) menu->entries.push_back({PascalToString(text), true, 0});
}

void InsertMenuItemText(MenuRef menu, ConstStr255Param text, MenuItemIndex afterItem) {
  if (!IsValidMenu(menu) || !text) return;
  size_t at = std::min<size_t>(afterItem, menu->entries.size());
  menu->entries.insert(menu->entries.begin() + long(at), {PascalToString(text), true, 0});
}

void DeleteMenuItem(MenuRef menu, MenuItemIndex item) {
  if (EntryOf(menu, item)) menu->entries.erase(menu->entries.begin() + (item - 1));
}

UInt16 CountMenuItems(MenuRef menu) {
  return IsValidMenu(menu) ? UInt16(menu->entries.size()) : 0;
}

void EnableMenuItem(MenuRef menu, MenuItemIndex item) {
  if (item == 0 && IsValidMenu(menu)) menu->enabled = true;
  if (OpaqueMenuRef::Entry* entry = EntryOf(menu, item)) entry->enabled = true;
}

void DisableMenuItem(MenuRef menu, MenuItemIndex item) {
  if (item == 0 && IsValidMenu(menu)) menu->enabled = false;
  if (OpaqueMenuRef::Entry* entry = EntryOf(menu, item)) entry->enabled = false;
}

Boolean IsMenuItemEnabled(MenuRef menu, MenuItemIndex item) {
  if (item == 0) return IsValidMenu(menu) && menu->enabled;
  OpaqueMenuRef::Entry* entry = EntryOf(menu, item);
  return entry && entry->enabled && menu->enabled;
}

OSStatus ChangeMenuItemAttributes(MenuRef menu, MenuItemIndex item, MenuItemAttributes set,
                                  MenuItemAttributes clear) {
  OpaqueMenuRef::Entry* entry = EntryOf(menu, item);
  if (!entry) return paramErr;
  if (set & kMenuItemAttrDisabled) entry->enabled = false;
  if (clear & kMenuItemAttrDisabled) entry->enabled = true;
  entry->attributes = (entry->attributes | set) & ~clear & ~kMenuItemAttrDisabled;
  return noErr;
}

OSStatus GetMenuItemAttributes(MenuRef menu, MenuItemIndex item, MenuItemAttributes* out) {
  OpaqueMenuRef::Entry* entry = EntryOf(menu, item);
  if (!entry || !out) return paramErr;
  *out = entry->attributes | (entry->enabled ? 0u : MenuItemAttributes(kMenuItemAttrDisabled));
  return noErr;
}

void GetMenuItemText(MenuRef menu, MenuItemIndex item, Str255 text) {
  if (!text) return;
  OpaqueMenuRef::Entry* entry = EntryOf(menu, item);
  StringToPascal(entry ? entry->text : std::string(), text);
}

void SetMenuItemText(MenuRef menu, MenuItemIndex item, ConstStr255Param text) {
  if (OpaqueMenuRef::Entry* entry = EntryOf(menu, item); entry && text)
    entry->text = PascalToString(text);
}

}  // extern "C"
