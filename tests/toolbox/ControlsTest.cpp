// Tests of the control service: lookup, values and limits, embedding,
// visibility, activity, data tags, focus, procedure handles, the journal.

#include "WindowFixture.h"

namespace {

using namespace windowtest;

using ControlsTest = WindowTest;

TEST_F(ControlsTest, LookupEmbeddingAndItemNumbers) {
  ControlRef pane = Add(Code("upan"), 1, Rect{0, 0, 100, 100});
  ControlRef inner = Add(Code("cbox"), 2, Rect{10, 10, 30, 90}, pane);
  ControlID id{Code("TEST"), 2}, other{Code("TEST"), 3};
  ControlRef found = nullptr;
  EXPECT_EQ(GetControlByID(window, &id, &found), noErr);
  EXPECT_EQ(found, inner) << "a control embedded in a user pane must be found";
  EXPECT_EQ(GetControlByID(window, &other, &found), errUnknownControl);
  EXPECT_EQ(found, nullptr) << "no control with the ID gives null";

  ControlRef group = AddRadioGroup(5, 3, 1);
  UInt16 count = 0;
  EXPECT_EQ(CountSubControls(group, &count), noErr);
  EXPECT_EQ(count, 3);
  ControlRef button = nullptr, parent = nullptr;
  EXPECT_EQ(GetIndexedSubControl(group, 2, &button), noErr);
  EXPECT_EQ(GetSuperControl(button, &parent), noErr);
  EXPECT_EQ(parent, group);
  EXPECT_EQ(GetIndexedSubControl(group, 4, &button), paramErr);
  EXPECT_EQ(button, nullptr) << "sub-control positions run from 1 to the count";
  toolbox::host::SetItemBase(window, 100);
  EXPECT_EQ(toolbox::host::ItemNumber(inner), 102);
  GetIndexedSubControl(group, 2, &button);
  EXPECT_EQ(toolbox::host::ItemNumber(button), 105) << "a group's buttons report the group";
  EXPECT_EQ(GetControlMaximum(group), 3) << "a group's range is 0 to its button count";
  SetControlValue(group, 2);
  EXPECT_EQ(GetControlValue(button), 1) << "group value and buttons stay in step";
  SetControlValue(group, 0);
  EXPECT_EQ(GetControlValue(button), 0) << "value 0: no button on";
}

TEST_F(ControlsTest, ValuesAreClampedAndLimitsPullEachOtherAlong) {
  struct { const char* what; SInt32 min, max, set, expect32; SInt16 expect16; } cases[] = {
      {"below the minimum", 0, 100, -5, 0, 0},  {"above the maximum", 0, 100, 500, 100, 100},
      {"32-bit value", 0, 100000, 70000, 70000, SInt16(70000)}, {"negative range", -50, -10, -20, -20, -20},
  };
  ControlRef slider = Add(Code("sldr"), 1, Rect{10, 10, 30, 190});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetControl32BitMinimum(slider, c.min);
    SetControl32BitMaximum(slider, c.max);
    SetControl32BitValue(slider, c.set);
    EXPECT_EQ(GetControl32BitValue(slider), c.expect32);
    EXPECT_EQ(GetControlValue(slider), c.expect16) << "the 16-bit call gives the low 16 bits";
  }
  SetControl32BitMinimum(slider, 0);
  SetControl32BitMaximum(slider, 10);
  SetControl32BitValue(slider, 9);
  SetControlMaximum(slider, 5);
  EXPECT_EQ(GetControlValue(slider), 5) << "lowering the maximum clamps the value";
  SetControlMinimum(slider, 8);
  EXPECT_EQ(GetControlMaximum(slider), 8) << "the maximum never falls below the minimum";
}

TEST_F(ControlsTest, EmbeddedControlsFollowTheirParentsVisibilityAndActivity) {
  ControlRef pane = Add(Code("upan"), 1, Rect{5, 5, 60, 100});
  ControlRef box = Add(Code("cbox"), 2, Rect{10, 10, 30, 90}, pane);
  HideControl(pane);
  HideControl(pane);
  EXPECT_FALSE(IsControlVisible(box)) << "an embedded control follows its parent";
  EXPECT_EQ(toolbox::host::JournalOf("inval"), std::vector<std::string>{"test 5,5,60,100"})
      << "hiding a hidden control does nothing";
  ShowControl(pane);
  EXPECT_TRUE(IsControlVisible(box));
  DeactivateControl(pane);
  EXPECT_FALSE(IsControlActive(box) || IsControlEnabled(box));
  ActivateControl(pane);
  HiliteControl(box, kControlInactivePart);
  EXPECT_TRUE(IsControlActive(box));
  EXPECT_FALSE(IsControlEnabled(box)) << "hilite 255 dims the control";
}

TEST_F(ControlsTest, DataTagsCutClampCheckTheirSizesAndExistOnlyForTheirKinds) {
  ControlRef field = Add(Code("etxt"), 1, Rect{10, 10, 30, 190});
  ASSERT_EQ(SetControlData(field, 0, Code("text"), 6, "123456"), noErr);
  char buffer[4] = {};
  Size actual = 0;
  EXPECT_EQ(GetControlData(field, 0, Code("text"), 4, buffer, &actual), noErr);
  EXPECT_EQ(std::string(buffer, 4), "1234");
  EXPECT_EQ(actual, 6) << "the text is cut to the buffer but reports its full size";
  SetControlData(field, 0, Code("text"), 3, "abc");
  ControlEditTextSelectionRec sel{1, 32767}, back{};
  ASSERT_EQ(SetControlData(field, 0, Code("sele"), sizeof(sel), &sel), noErr);
  ASSERT_EQ(GetControlData(field, 0, Code("sele"), sizeof(back), &back, nullptr), noErr);
  EXPECT_EQ(back.selEnd, 3) << "an end past the text stops at its length";
  EXPECT_EQ(SetControlData(field, 0, Code("sele"), 2, &sel), errDataSizeMismatch);

  const struct { const char* kind; const char* tag; OSErr expected; } cases[] = {
      {"etxt", "fltr", noErr}, {"eutx", "sele", noErr}, {"stxt", "text", noErr}, {"upan", "draw", noErr},
      {"popb", "mhan", noErr}, {"cbox", "text", errDataNotSupported}, {"etxt", "draw", errDataNotSupported},
      {"sldr", "mhan", errDataNotSupported}, {"push", "zzzz", errDataNotSupported},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " " + c.tag);
    ControlRef control = Add(toolbox::host::KindCode(c.kind), 1, Rect{0, 0, 20, 20});
    Size size = -1;
    EXPECT_EQ(GetControlDataSize(control, 0, toolbox::host::KindCode(c.tag), &size), c.expected);
  }
  ControlButtonContentInfo info{};
  EXPECT_EQ(GetImageWellContentInfo(field, &info), errDataNotSupported) << "only wells have content";
}

ControlKeyFilterResult PassAll(ControlRef, SInt16*, SInt16*, EventModifiers*) {
  return kControlKeyFilterPassKey;
}

TEST_F(ControlsTest, ProcedureHandlesAreCountedAndHeldWhole) {
  size_t before = toolbox::host::LiveProcedureHandles();
  ControlKeyFilterUPP filter = NewControlKeyFilterUPP(PassAll);
  EXPECT_EQ(toolbox::host::LiveProcedureHandles(), before + 1);
  ControlRef field = Add(Code("etxt"), 1, Rect{10, 10, 30, 190});
  EXPECT_EQ(SetControlData(field, 0, Code("fltr"), 4, &filter), errDataSizeMismatch)
      << "a 4-byte buffer cannot hold a procedure handle on this platform";
  ASSERT_EQ(SetControlData(field, 0, Code("fltr"), sizeof(filter), &filter), noErr);
  ControlKeyFilterUPP back = nullptr;
  ASSERT_EQ(GetControlData(field, 0, Code("fltr"), sizeof(back), &back, nullptr), noErr);
  EXPECT_EQ(back, filter) << "the whole pointer is kept";
  DisposeControlKeyFilterUPP(filter);
  DisposeControlKeyFilterUPP(filter);  // a second dispose is ignored
  EXPECT_EQ(toolbox::host::LiveProcedureHandles(), before);
}

TEST_F(ControlsTest, FocusGoesOnlyToShownActiveEditText) {
  ControlRef first = Add(Code("etxt"), 1, Rect{10, 10, 30, 90});
  ControlRef second = Add(Code("eutx"), 2, Rect{40, 10, 60, 90});
  ControlRef box = Add(Code("cbox"), 3, Rect{70, 10, 90, 90});
  SetControlData(second, 0, Code("text"), 4, "1234");
  ASSERT_EQ(SetKeyboardFocus(window, second, kControlFocusNextPart), noErr);
  ControlRef focus = nullptr;
  GetKeyboardFocus(window, &focus);
  EXPECT_EQ(focus, second);
  ControlEditTextSelectionRec sel{};
  GetControlData(second, 0, Code("sele"), sizeof(sel), &sel, nullptr);
  EXPECT_EQ(sel.selEnd, 4) << "focusing selects the whole text";
  EXPECT_EQ(SetKeyboardFocus(window, box, kControlFocusNextPart), errControlDoesntSupportFocus);
  HideControl(first);
  EXPECT_EQ(SetKeyboardFocus(window, first, kControlFocusNextPart), errControlHiddenOrDisabled);
  ShowControl(first);
  EXPECT_EQ(AdvanceKeyboardFocus(window), noErr);
  GetKeyboardFocus(window, &focus);
  EXPECT_EQ(focus, first) << "advancing past the last field wraps to the first";
  DeactivateControl(first);
  GetKeyboardFocus(window, &focus);
  EXPECT_EQ(focus, nullptr) << "a deactivated field loses the focus";
}

TEST_F(ControlsTest, DrawsAndInvalidationsAreJournaled) {
  ControlRef box = Add(Code("cbox"), 4, Rect{10, 10, 30, 190});
  Draw1Control(box);
  Draw1Control(nullptr);
  EXPECT_EQ(toolbox::host::JournalOf("draw"), std::vector<std::string>{"cbox TEST/4"});
  Rect r{1, 2, 3, 4};
  EXPECT_EQ(InvalWindowRect(window, &r), noErr);
  EXPECT_EQ(toolbox::host::JournalOf("inval"), std::vector<std::string>{"test 1,2,3,4"});
}

}  // namespace
