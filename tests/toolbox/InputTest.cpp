// Tests of input delivery: clicks, slider drags, little arrows,
// typed keys through the key filter and the field's own editing, pastes.
#include "WindowFixture.h"

namespace {

using namespace windowtest;
using toolbox::host::Click;

/// Calls of the action procedure: part and the value already set.
std::vector<std::pair<SInt16, SInt32>> gSeen;
void Record(ControlRef c, ControlPartCode part) { gSeen.push_back({part, GetControl32BitValue(c)}); }

class InputTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    toolbox::host::SetItemBase(window, 10);
    gSeen.clear();
  }
};

TEST_F(InputTest, ClicksToggleReportTheirItemNumberAndSkipHiddenOrDimmedControls) {
  ControlSpec mixed;
  mixed.maximum = 2;
  mixed.value = 2;
  ControlRef box = Add(Code("cbox"), 1, Rect{10, 10, 30, 150});
  ControlRef tri = Add(Code("cbox"), 2, Rect{40, 10, 60, 150}, nullptr, mixed);
  EXPECT_EQ(Click(box), 11) << "ID number 1 + base 10";
  EXPECT_EQ(GetControlValue(box), 1);
  Click(box);
  EXPECT_EQ(GetControlValue(box), 0);
  Click(tri);
  EXPECT_EQ(GetControlValue(tri), 0) << "a mixed check box turns off";
  HideControl(box);
  EXPECT_EQ(Click(box), 0);
  ShowControl(box);
  HiliteControl(box, kControlInactivePart);
  EXPECT_EQ(Click(box), 0);
  EXPECT_EQ(GetControlValue(box), 0) << "nothing changed";
  ControlRef group = AddRadioGroup(3, 3, 1);
  ControlRef third = nullptr;
  GetIndexedSubControl(group, 3, &third);
  EXPECT_EQ(Click(third), 13) << "a button in a group reports the group's item number";
  EXPECT_EQ(GetControlValue(group), 3);
}

TEST_F(InputTest, SlidersCallTheActionProcedureForEveryValueAndArrowsLeaveItTheStep) {
  ControlSpec spec;
  spec.maximum = 100;
  ControlRef slider = Add(Code("sldr"), 5, Rect{10, 10, 30, 190}, nullptr, spec);
  ControlActionUPP action = NewControlActionUPP(Record);
  SetControlAction(slider, action);
  EXPECT_EQ(toolbox::host::DragSlider(slider, {10, 20, 150}), 15);
  std::vector<std::pair<SInt16, SInt32>> dragged{{129, 10}, {129, 20}, {129, 100}};
  EXPECT_EQ(gSeen, dragged) << "each step is seen with the value already set, clamped";
  EXPECT_EQ(GetControlHilite(slider), 0);

  gSeen.clear();
  spec.maximum = 10;
  spec.value = 9;
  ControlRef arrows = Add(Code("larr"), 6, Rect{40, 10, 60, 24}, nullptr, spec);
  EXPECT_EQ(toolbox::host::HoldLittleArrows(arrows, kControlUpButtonPart, 3), 16);
  EXPECT_EQ(GetControlValue(arrows), 10) << "without an action procedure: one step each, clamped";
  SetControlAction(arrows, action);
  toolbox::host::HoldLittleArrows(arrows, kControlDownButtonPart, 2);
  std::vector<std::pair<SInt16, SInt32>> expected{{21, 10}, {21, 10}};
  EXPECT_EQ(gSeen, expected) << "with one, the procedure alone changes the value";
  EXPECT_EQ(toolbox::host::HoldLittleArrows(arrows, 129, 1), 0) << "only the arrows are held";
  DisposeControlActionUPP(action);
}

std::vector<SInt16> gKeys;  ///< what the key filter saw
bool gBlock = false;        ///< whether it blocks them

ControlKeyFilterResult Filter(ControlRef, SInt16*, SInt16* ch, EventModifiers*) {
  gKeys.push_back(*ch);
  return gBlock ? kControlKeyFilterBlockKey : kControlKeyFilterPassKey;
}

TEST_F(InputTest, KeysAndPastesPassTheFilterIntoTheFieldsOwnEditing) {
  ControlRef field = Add(Code("etxt"), 7, Rect{10, 10, 30, 150});
  ControlRef next = Add(Code("etxt"), 8, Rect{40, 10, 60, 150});
  EXPECT_EQ(toolbox::host::TypeKey(window, '1'), 0) << "no focused field takes no key";
  ControlKeyFilterUPP filter = NewControlKeyFilterUPP(Filter);
  SetControlData(field, 0, Code("fltr"), sizeof(filter), &filter);
  gKeys.clear(), gBlock = false;
  EXPECT_EQ(Click(field), 17) << "a click focuses the field";
  EXPECT_EQ(toolbox::host::TypeText(window, "129"), 17);
  EXPECT_EQ(toolbox::host::ControlText(field), "129");
  toolbox::host::TypeKey(window, 0x1C);  // caret left
  toolbox::host::TypeKey(window, 0x08);  // delete the 2
  EXPECT_EQ(toolbox::host::ControlText(field), "19");
  EXPECT_EQ(toolbox::host::TypeKey(window, 0x0D), 0) << "return changes no text";
  EXPECT_EQ(gKeys, (std::vector<SInt16>{'1', '2', '9', 0x1C, 0x08, 0x0D}));

  gBlock = true;
  EXPECT_EQ(toolbox::host::TypeKey(window, '5'), 0) << "a blocked key answers no item";
  EXPECT_EQ(toolbox::host::ControlText(field), "19");

  toolbox::host::TypeKey(window, 0x09);
  gBlock = false;
  toolbox::host::TypeKey(window, 0x09);
  ControlRef focus = nullptr;
  GetKeyboardFocus(window, &focus);
  EXPECT_EQ(focus, next) << "tab moves to the next field";
  EXPECT_EQ(toolbox::host::TypeKey(window, 'x'), 18);

  // A paste replaces the selection with the scrap's text when the filter passes command-V.
  SetControlData(next, 0, Code("text"), 4, "1299");
  ControlEditTextSelectionRec sel{1, 3};
  SetControlData(next, 0, Code("sele"), sizeof(sel), &sel);
  toolbox::host::SetScrapText("55");
  EXPECT_EQ(toolbox::host::Paste(window), 18);
  EXPECT_EQ(toolbox::host::ControlText(next), "1559");
  SetKeyboardFocus(window, field, kControlFocusNextPart);
  gKeys.clear(), gBlock = true;
  EXPECT_EQ(toolbox::host::Paste(window), 0);
  EXPECT_EQ(gKeys, std::vector<SInt16>{'v'}) << "the filter sees command-V as 'v'";
  toolbox::host::ClearScrap();
  DisposeControlKeyFilterUPP(filter);
}

}  // namespace
