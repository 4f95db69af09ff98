// Tests of the menu service and of popup buttons' menus.
#include "WindowFixture.h"

namespace {

using namespace windowtest;
using toolbox::host::MenuEntrySpec;

class MenusTest : public WindowTest {};

TEST_F(MenusTest, EntriesEnableDisableAndHide) {
  MenuRef menu = NewMenu(1, PString("Paper"));
  for (const char* text : {"Plain", "Photo", "Matte"}) AppendMenuItemText(menu, PString(text));
  EXPECT_EQ(CountMenuItems(menu), 3);
  DisableMenuItem(menu, 2);
  EXPECT_FALSE(IsMenuItemEnabled(menu, 2));
  EXPECT_TRUE(IsMenuItemEnabled(menu, 1));
  MenuItemAttributes attributes = 0;
  ASSERT_EQ(GetMenuItemAttributes(menu, 2, &attributes), noErr);
  EXPECT_EQ(attributes, kMenuItemAttrDisabled) << "a disabled entry reports the disabled bit";

  EXPECT_EQ(ChangeMenuItemAttributes(menu, 3, 0x20, 0), noErr);
  GetMenuItemAttributes(menu, 3, &attributes);
  EXPECT_EQ(attributes, 0x20u);
  EXPECT_TRUE(IsMenuItemEnabled(menu, 3)) << "hiding an entry does not disable it";
  ChangeMenuItemAttributes(menu, 3, 0, 0x20);
  GetMenuItemAttributes(menu, 3, &attributes);
  EXPECT_EQ(attributes, 0u);

  EXPECT_EQ(ChangeMenuItemAttributes(menu, 4, 0x20, 0), paramErr) << "no entry 4";
  EXPECT_EQ(ChangeMenuItemAttributes(menu, 0, 0x20, 0), paramErr);
  EnableMenuItem(menu, 99);  // ignored
  DisableMenuItem(menu, 0);
  EXPECT_FALSE(IsMenuItemEnabled(menu, 1)) << "entry 0 disables the whole menu";
  DisposeMenu(menu);
}

TEST_F(MenusTest, TextsInsertAndDeleteAndOnlyLiveMenusAreValid) {
  MenuRef menu = NewMenu(1, PString(""));
  EXPECT_TRUE(IsValidMenu(menu));
  AppendMenuItemText(menu, PString("B"));
  InsertMenuItemText(menu, PString("A"), 0);
  AppendMenuItemText(menu, PString("C"));
  DeleteMenuItem(menu, 2);
  Str255 text;
  GetMenuItemText(menu, 1, text);
  EXPECT_EQ(FromPascal(text), "A");
  GetMenuItemText(menu, 2, text);
  EXPECT_EQ(FromPascal(text), "C");
  SetMenuItemText(menu, 2, PString("D"));
  GetMenuItemText(menu, 2, text);
  EXPECT_EQ(FromPascal(text), "D");
  GetMenuItemText(menu, 3, text);
  EXPECT_EQ(text[0], 0) << "no entry 3";
  DisposeMenu(menu);
  EXPECT_FALSE(IsValidMenu(menu)) << "a disposed menu is no longer valid";
  int notAMenu = 0;
  EXPECT_FALSE(IsValidMenu(reinterpret_cast<MenuRef>(&notAMenu)));
  EXPECT_FALSE(IsValidMenu(nullptr));
  EXPECT_EQ(CountMenuItems(reinterpret_cast<MenuRef>(&notAMenu)), 0);
}

TEST_F(MenusTest, PopupButtonOwnsItsMenuAndTakesItsSizeAsRange) {
  ControlRef popup = AddPopup(1, {{"A"}, {"B", false}, {"C", true, true}}, 2);
  MenuRef menu = GetControlPopupMenuHandle(popup);
  ASSERT_TRUE(IsValidMenu(menu));
  EXPECT_EQ(GetControlMinimum(popup), 1);
  EXPECT_EQ(GetControlMaximum(popup), 3);
  MenuRef viaTag = nullptr;
  ASSERT_EQ(GetControlData(popup, 0, Code("mhan"), sizeof(viaTag), &viaTag, nullptr), noErr);
  EXPECT_EQ(viaTag, menu);
  std::vector<MenuEntrySpec> entries = toolbox::host::MenuEntries(popup);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_FALSE(entries[1].enabled);
  EXPECT_TRUE(entries[2].hidden);

  MenuRef other = NewMenu(2, PString(""));
  AppendMenuItemText(other, PString("Only"));
  SetControlPopupMenuHandle(popup, other);
  EXPECT_FALSE(IsValidMenu(menu)) << "the replaced menu is freed with the popup's ownership";
  EXPECT_EQ(GetControlMaximum(popup), 1);
  EXPECT_EQ(GetControlValue(popup), 1) << "the value is clamped to the new menu";
  EXPECT_EQ(GetControlPopupMenuHandle(Add(Code("cbox"), 2, Rect{0, 0, 10, 10})), nullptr);
}

}  // namespace
