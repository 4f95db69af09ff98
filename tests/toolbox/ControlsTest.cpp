// Tests of the control service: lookup, values and limits, embedding,
// visibility, activity, data tags, focus, procedure handles, image wells.
#include <cstring>

#include "WindowFixture.h"

namespace {

using namespace windowtest;

class ControlsTest : public WindowTest {};

TEST_F(ControlsTest, GetControlByIDFindsEmbeddedControlsAndRefusesUnknownOnes) {
  ControlRef pane = Add(Code("upan"), 1, Rect{0, 0, 100, 100});
  ControlRef inner = Add(Code("cbox"), 2, Rect{10, 10, 30, 90}, pane);
  ControlID id{Code("TEST"), 2};
  ControlRef found = nullptr;
  EXPECT_EQ(GetControlByID(window, &id, &found), noErr);
  EXPECT_EQ(found, inner) << "a control embedded in a user pane must be found";

  ControlID other{Code("TEST"), 3};
  found = inner;
  EXPECT_EQ(GetControlByID(window, &other, &found), errUnknownControl);
  EXPECT_EQ(found, nullptr) << "no control with the ID gives null";
  ControlID wrongSignature{Code("XXXX"), 2};
  EXPECT_EQ(GetControlByID(window, &wrongSignature, &found), errUnknownControl);

  int bogus = 0;
  EXPECT_EQ(GetControlByID(reinterpret_cast<WindowRef>(&bogus), &id, &found), errInvalidWindowRef)
      << "a made-up window is refused, not followed";
  EXPECT_EQ(GetControlByID(window, nullptr, &found), paramErr);
}

TEST_F(ControlsTest, KindBoundsOwnerAndParentReadBack) {
  ControlRef group = AddRadioGroup(5, 3, 1);
  ControlKind kind{};
  ASSERT_EQ(GetControlKind(group, &kind), noErr);
  EXPECT_EQ(kind.signature, Code("appl"));
  EXPECT_EQ(kind.kind, Code("rgrp"));
  Rect r;
  GetControlBounds(group, &r);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.bottom, 70);
  EXPECT_EQ(GetControlOwner(group), window);

  UInt16 count = 0;
  EXPECT_EQ(CountSubControls(group, &count), noErr);
  EXPECT_EQ(count, 3);
  ControlRef button = nullptr, parent = nullptr;
  EXPECT_EQ(GetIndexedSubControl(group, 2, &button), noErr);
  EXPECT_EQ(GetSuperControl(button, &parent), noErr);
  EXPECT_EQ(parent, group);
  for (UInt16 index : {UInt16(0), UInt16(4)}) {
    SCOPED_TRACE(index);
    button = group;
    EXPECT_EQ(GetIndexedSubControl(group, index, &button), paramErr);
    EXPECT_EQ(button, nullptr) << "sub-control positions run from 1 to the count";
  }
  EXPECT_EQ(GetControlKind(nullptr, &kind), errUnknownControl);
}

struct ValueCase {
  const char* what;
  SInt32 min, max, set;
  SInt32 expect32;
  SInt16 expect16;
};

TEST_F(ControlsTest, ValuesAreClampedToTheRangeAndReadAs16BitsByTheClassicCalls) {
  const ValueCase cases[] = {
      {"inside", 0, 100, 42, 42, 42},
      {"below the minimum", 0, 100, -5, 0, 0},
      {"above the maximum", 0, 100, 500, 100, 100},
      {"32-bit value", 0, 100000, 70000, 70000, SInt16(70000)},
      {"negative range", -50, -10, -20, -20, -20},
  };
  ControlRef slider = Add(Code("sldr"), 1, Rect{10, 10, 30, 190});
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.what);
    SetControl32BitMinimum(slider, c.min);
    SetControl32BitMaximum(slider, c.max);
    SetControl32BitValue(slider, c.set);
    EXPECT_EQ(GetControl32BitValue(slider), c.expect32);
    EXPECT_EQ(GetControlValue(slider), c.expect16) << "the 16-bit call gives the low 16 bits";
  }
}

TEST_F(ControlsTest, ChangingALimitPullsTheValueAndTheOtherLimitAlong) {
  ControlSpec spec;
  spec.minimum = 0;
  spec.maximum = 10;
  spec.value = 9;
  ControlRef arrows = Add(Code("larr"), 1, Rect{10, 10, 30, 24}, nullptr, spec);
  SetControlMaximum(arrows, 5);
  EXPECT_EQ(GetControlValue(arrows), 5) << "lowering the maximum clamps the value";
  SetControlMinimum(arrows, 8);
  EXPECT_EQ(GetControlMinimum(arrows), 8);
  EXPECT_EQ(GetControlMaximum(arrows), 8) << "the maximum never falls below the minimum";
  EXPECT_EQ(GetControlValue(arrows), 8);
}

TEST_F(ControlsTest, RadioGroupValueAndItsButtonsStayInStep) {
  ControlRef group = AddRadioGroup(1, 3, 2);
  EXPECT_EQ(GetControlMinimum(group), 0);
  EXPECT_EQ(GetControlMaximum(group), 3) << "a group's range is 0 to its button count";
  auto buttonValues = [&] {
    std::vector<SInt16> values;
    for (UInt16 i = 1; i <= 3; ++i) {
      ControlRef b = nullptr;
      GetIndexedSubControl(group, i, &b);
      values.push_back(GetControlValue(b));
    }
    return values;
  };
  EXPECT_EQ(buttonValues(), (std::vector<SInt16>{0, 1, 0}));
  SetControlValue(group, 3);
  EXPECT_EQ(buttonValues(), (std::vector<SInt16>{0, 0, 1}));
  SetControlValue(group, 0);
  EXPECT_EQ(buttonValues(), (std::vector<SInt16>{0, 0, 0})) << "value 0: no button on";
}

TEST_F(ControlsTest, HidingAnEmbedderHidesItsControlsAndInvalidatesItsRectangle) {
  ControlRef pane = Add(Code("upan"), 1, Rect{5, 5, 60, 100});
  ControlRef box = Add(Code("cbox"), 2, Rect{10, 10, 30, 90}, pane);
  HideControl(pane);
  EXPECT_FALSE(IsControlVisible(box)) << "an embedded control follows its parent";
  ASSERT_EQ(toolbox::host::InvalidRects(window).size(), 1u);
  EXPECT_EQ(toolbox::host::JournalOf("inval"), std::vector<std::string>{"test 5,5,60,100"});
  ShowControl(pane);
  EXPECT_TRUE(IsControlVisible(box));
  HideControl(pane);
  HideControl(pane);
  EXPECT_EQ(toolbox::host::InvalidRects(window).size(), 2u) << "hiding a hidden control does nothing";
}

TEST_F(ControlsTest, InactiveOrHilite255MeansDimmed) {
  ControlRef pane = Add(Code("upan"), 1, Rect{5, 5, 60, 100});
  ControlRef box = Add(Code("cbox"), 2, Rect{10, 10, 30, 90}, pane);
  EXPECT_TRUE(IsControlEnabled(box));
  DeactivateControl(pane);
  EXPECT_FALSE(IsControlActive(box));
  EXPECT_FALSE(IsControlEnabled(box));
  ActivateControl(pane);
  HiliteControl(box, kControlInactivePart);
  EXPECT_TRUE(IsControlActive(box));
  EXPECT_FALSE(IsControlEnabled(box)) << "hilite 255 dims the control";
  EXPECT_EQ(GetControlHilite(box), kControlInactivePart);
  HiliteControl(box, 0);
  EXPECT_TRUE(IsControlEnabled(box));
}

TEST_F(ControlsTest, TextTagIsCutToTheBufferButReportsItsFullSize) {
  ControlRef field = Add(Code("etxt"), 1, Rect{10, 10, 30, 190});
  const char text[] = "123456";
  ASSERT_EQ(SetControlData(field, 0, Code("text"), 6, text), noErr);
  char buffer[4] = {};
  Size actual = 0;
  EXPECT_EQ(GetControlData(field, 0, Code("text"), 4, buffer, &actual), noErr);
  EXPECT_EQ(std::string(buffer, 4), "1234");
  EXPECT_EQ(actual, 6);
  EXPECT_EQ(SetControlData(field, 0, Code("text"), 0, nullptr), noErr) << "size 0 empties";
  EXPECT_EQ(toolbox::host::ControlText(field), "");
}

TEST_F(ControlsTest, SelectionIsClampedToTheText) {
  ControlRef field = Add(Code("etxt"), 1, Rect{10, 10, 30, 190});
  SetControlData(field, 0, Code("text"), 3, "abc");
  ControlEditTextSelectionRec sel{1, 32767};
  ASSERT_EQ(SetControlData(field, 0, Code("sele"), sizeof(sel), &sel), noErr);
  ControlEditTextSelectionRec back{};
  ASSERT_EQ(GetControlData(field, 0, Code("sele"), sizeof(back), &back, nullptr), noErr);
  EXPECT_EQ(back.selStart, 1);
  EXPECT_EQ(back.selEnd, 3) << "an end past the text stops at its length";
  EXPECT_EQ(SetControlData(field, 0, Code("sele"), 2, &sel), errDataSizeMismatch);
}

struct TagCase {
  const char* kind;
  const char* tag;
  OSErr expected;
};

TEST_F(ControlsTest, TagsAreOfferedOnlyByTheKindsThatHaveThem) {
  const TagCase cases[] = {
      {"etxt", "fltr", noErr}, {"eutx", "sele", noErr}, {"stxt", "text", noErr},
      {"cbox", "text", errDataNotSupported}, {"upan", "draw", noErr},
      {"etxt", "draw", errDataNotSupported}, {"popb", "mhan", noErr},
      {"sldr", "mhan", errDataNotSupported}, {"sldr", "font", noErr},
      {"push", "zzzz", errDataNotSupported},
  };
  for (const TagCase& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " " + c.tag);
    ControlRef control = Add(toolbox::host::KindCode(c.kind), 1, Rect{0, 0, 20, 20});
    Size size = -1;
    EXPECT_EQ(GetControlDataSize(control, 0, toolbox::host::KindCode(c.tag), &size), c.expected);
  }
}

TEST_F(ControlsTest, FontStyleRecordRoundTrips) {
  ControlRef field = Add(Code("etxt"), 1, Rect{10, 10, 30, 190});
  ControlFontStyleRec style{};
  style.flags = 0x41;
  style.just = teFlushRight;
  ASSERT_EQ(sizeof(style), 24u);
  ASSERT_EQ(SetControlData(field, 0, Code("font"), sizeof(style), &style), noErr);
  ControlFontStyleRec back{};
  ASSERT_EQ(GetControlData(field, 0, Code("font"), sizeof(back), &back, nullptr), noErr);
  EXPECT_EQ(back.flags, 0x41);
  EXPECT_EQ(back.just, teFlushRight);
}

ControlKeyFilterResult PassAll(ControlRef, SInt16*, SInt16*, EventModifiers*) {
  return kControlKeyFilterPassKey;
}
void NoAction(ControlRef, ControlPartCode) {}

TEST_F(ControlsTest, ProcedureHandlesAreCountedAndTheirTagsHoldThem) {
  size_t before = toolbox::host::LiveProcedureHandles();
  ControlKeyFilterUPP filter = NewControlKeyFilterUPP(PassAll);
  ControlActionUPP action = NewControlActionUPP(NoAction);
  EXPECT_EQ(toolbox::host::LiveProcedureHandles(), before + 2);

  ControlRef field = Add(Code("etxt"), 1, Rect{10, 10, 30, 190});
  EXPECT_EQ(SetControlData(field, 0, Code("fltr"), 4, &filter), errDataSizeMismatch)
      << "a 4-byte buffer cannot hold a procedure handle on this platform";
  ASSERT_EQ(SetControlData(field, 0, Code("fltr"), sizeof(filter), &filter), noErr);
  ControlKeyFilterUPP back = nullptr;
  ASSERT_EQ(GetControlData(field, 0, Code("fltr"), sizeof(back), &back, nullptr), noErr);
  EXPECT_EQ(back, filter) << "the whole pointer is kept";
  EXPECT_EQ(SetControlData(field, 0, Code("fltr"), 2, &filter), errDataSizeMismatch);

  ControlRef slider = Add(Code("sldr"), 2, Rect{40, 10, 60, 190});
  SetControlAction(slider, action);
  EXPECT_EQ(GetControlAction(slider), action);

  DisposeControlKeyFilterUPP(filter);
  DisposeControlActionUPP(action);
  DisposeControlActionUPP(action);  // a second dispose is ignored
  EXPECT_EQ(toolbox::host::LiveProcedureHandles(), before);
  EXPECT_EQ(NewControlActionUPP(nullptr), nullptr);
}

TEST_F(ControlsTest, ReferenceValueHoldsAnAddress) {
  ControlRef box = Add(Code("cbox"), 1, Rect{10, 10, 30, 190});
  int record = 0;
  SetControlReference(box, reinterpret_cast<SRefCon>(&record));
  EXPECT_EQ(reinterpret_cast<int*>(GetControlReference(box)), &record);
  SetControlReference(box, -7);
  EXPECT_EQ(SInt16(GetControlReference(box)), -7);
}

TEST_F(ControlsTest, TitlesAreLengthPrefixed) {
  ControlRef box = Add(Code("cbox"), 1, Rect{10, 10, 30, 190});
  SetControlTitle(box, PString("Borderless"));
  Str255 title;
  GetControlTitle(box, title);
  EXPECT_EQ(FromPascal(title), "Borderless");
  GetControlTitle(nullptr, title);
  EXPECT_EQ(title[0], 0) << "an unknown control has an empty title";
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
  EXPECT_EQ(sel.selStart, 0);
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
  SetKeyboardFocus(window, second, kControlFocusNextPart);
  ClearKeyboardFocus(window);
  GetKeyboardFocus(window, &focus);
  EXPECT_EQ(focus, nullptr);
}

TEST_F(ControlsTest, ImageWellContentRoundTripsAndOtherKindsRefuse) {
  ControlRef well = Add(Code("well"), 1, Rect{10, 10, 60, 60});
  ControlRef pane = Add(Code("upan"), 2, Rect{10, 70, 60, 120});
  ControlButtonContentInfo info{};
  info.contentType = kControlContentPictRes;
  info.u.resID = 2001;
  ASSERT_EQ(SetImageWellContentInfo(well, &info), noErr);
  ControlButtonContentInfo back{};
  ASSERT_EQ(GetImageWellContentInfo(well, &back), noErr);
  EXPECT_EQ(back.contentType, kControlContentPictRes);
  EXPECT_EQ(back.u.resID, 2001);
  EXPECT_EQ(GetImageWellContentInfo(pane, &back), errDataNotSupported)
      << "a user pane is no image well";
  EXPECT_EQ(GetImageWellContentInfo(nullptr, &back), errUnknownControl);
}

TEST_F(ControlsTest, Draw1ControlAndInvalWindowRectAreJournaled) {
  ControlRef box = Add(Code("cbox"), 4, Rect{10, 10, 30, 190});
  Draw1Control(box);
  Draw1Control(nullptr);
  EXPECT_EQ(toolbox::host::JournalOf("draw"), std::vector<std::string>{"cbox TEST/4"});
  Rect r{1, 2, 3, 4};
  EXPECT_EQ(InvalWindowRect(window, &r), noErr);
  EXPECT_EQ(InvalWindowRect(window, nullptr), paramErr);
  EXPECT_EQ(toolbox::host::JournalOf("inval"), std::vector<std::string>{"test 1,2,3,4"});
}

TEST_F(ControlsTest, DialogRecordAndPortLeadBackToTheWindow) {
  DialogRef dialog = GetDialogFromWindow(window);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetDialogWindow(dialog), window);
  CGrafPtr port = GetWindowPort(window);
  EXPECT_EQ(GetDialogPort(dialog), port);
  EXPECT_EQ(GetWindowFromPort(port), window);
  Rect bounds;
  GetPortBounds(port, &bounds);
  EXPECT_EQ(bounds.right, 200);
  EXPECT_EQ(bounds.bottom, 120);
}

TEST_F(ControlsTest, ItemNumbersAddTheWindowBase) {
  ControlRef box = Add(Code("cbox"), 4, Rect{10, 10, 30, 190});
  ControlRef group = AddRadioGroup(6, 2, 1);
  ControlRef button = nullptr;
  GetIndexedSubControl(group, 2, &button);
  toolbox::host::SetItemBase(window, 100);
  EXPECT_EQ(toolbox::host::ItemNumber(box), 104);
  EXPECT_EQ(toolbox::host::ItemNumber(button), 106) << "a group's buttons report the group";
}

}  // namespace
