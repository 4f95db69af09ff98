// Tests of the menu service and of popup buttons' menus.
#include "WindowFixture.h"

namespace {

using namespace windowtest;

class MenusTest : public WindowTest {};

TEST_F(MenusTest, EntriesEnableDisableHideAndEditTheirTexts) {
  MenuRef menu = NewMenu(1, PString("Paper"));
  for (const char* text : {"Plain", "Photo", "Matte"}) AppendMenuItemText(menu, PString(text));
  DisableMenuItem(menu, 2);
  EXPECT_FALSE(IsMenuItemEnabled(menu, 2));
  EXPECT_EQ(ChangeMenuItemAttributes(menu, 3, 0x20, 0), noErr);
  EXPECT_TRUE(IsMenuItemEnabled(menu, 3)) << "hiding an entry does not disable it";
  EXPECT_EQ(ChangeMenuItemAttributes(menu, 4, 0x20, 0), paramErr) << "no entry 4";
  InsertMenuItemText(menu, PString("A"), 0);
  DeleteMenuItem(menu, 2);
  Str255 text;
  GetMenuItemText(menu, 2, text);
  EXPECT_EQ(FromPascal(text), "Photo");
  DisableMenuItem(menu, 0);
  EXPECT_FALSE(IsMenuItemEnabled(menu, 1)) << "entry 0 disables the whole menu";
  DisposeMenu(menu);
  EXPECT_FALSE(IsValidMenu(menu)) << "a disposed menu is no longer valid";
  EXPECT_FALSE(IsValidMenu(nullptr));
}

TEST_F(MenusTest, PopupButtonOwnsItsMenuTakesItsSizeAsRangeAndSkipsDisabledAndHiddenChoices) {
  ControlRef popup = AddPopup(4, {{"A"}, {"B", false}, {"C", true, true}, {"D"}}, 1);
  MenuRef menu = GetControlPopupMenuHandle(popup);
  ASSERT_TRUE(IsValidMenu(menu));
  EXPECT_EQ(GetControlMaximum(popup), 4);
  std::vector<toolbox::host::MenuEntrySpec> entries = toolbox::host::MenuEntries(popup);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_TRUE(!entries[1].enabled && entries[2].hidden);
  toolbox::host::SetItemBase(window, 10);
  struct Case { SInt16 entry, answer, value; } cases[] = {{1, 14, 1}, {4, 14, 4}, {2, 0, 4}, {3, 0, 4}, {5, 0, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    EXPECT_EQ(toolbox::host::ChoosePopupEntry(popup, c.entry), c.answer);
    EXPECT_EQ(GetControlValue(popup), c.value);
  }
  MenuRef other = NewMenu(2, PString(""));
  AppendMenuItemText(other, PString("Only"));
  SetControlPopupMenuHandle(popup, other);
  EXPECT_FALSE(IsValidMenu(menu)) << "the replaced menu is freed with the popup's ownership";
  EXPECT_EQ(GetControlMaximum(popup), 1);
  EXPECT_EQ(GetControlValue(popup), 1) << "the value is clamped to the new menu";
}

}  // namespace
