// Tests of the toolbox control presentation from the host's side: binding to
// the layout's controls, what the controls hold after ResumeIPP and after hits,
// menu entries, ranges, and the presentation error codes.
#include <tuple>

#include "PaneFixture.h"

namespace {

using namespace panetest;
namespace host = toolbox::host;
using Ints = std::vector<int>;
using Strings = std::vector<std::string>;

class ControlPresentationTest : public PaneTest {
 protected:
  /// Per entry 1 to `count` of the popup's menu: '1' enabled, '0' disabled.
  std::string Entries(SInt16 popup, MenuItemIndex count = 5) {
    std::string flags;
    for (MenuItemIndex e = 1; e <= count; ++e)
      flags += IsMenuItemEnabled(GetControlPopupMenuHandle(Control(popup)), e) ? '1' : '0';
    return flags;
  }
};

/// An item on every control of the layout (default range) and one on a control that is missing.
class EveryKindTest : public ControlPresentationTest {
 protected:
  void SetUp() override {
    std::vector<ItemPlan> plan;
    for (SInt16 n = kCheckBox; n <= kWideCustom; ++n) plan.push_back(ItemPlan{n});
    plan.push_back({kMissing, 0, 10});
    Show(plan);
  }
  /// Items bound to controls without a value report 8 at every flush; start clean.
  void ForgetErrors() {
    for (auto& entry : Pane().made) entry.second->errors.clear();
  }
  /// Per button of the radio group: '1' dimmed, '0' not.
  std::string Dimmed() {
    std::string flags;
    for (UInt16 i = 1; i <= 3; ++i) {
      ControlRef button = nullptr;
      GetIndexedSubControl(Control(kRadioGroup), i, &button);
      flags += GetControlHilite(button) == 255 ? '1' : '0';
    }
    return flags;
  }
};

TEST_F(EveryKindTest, DefaultRangeItemsTakeRangeValueAndVisibilityFromTheirControlAndHitsReadItBack) {
  for (auto [n, min, max, value] : {std::tuple<SInt16, int, int, int>{kCheckBox, 0, 1, 1},
                                    {kRadioButton, 0, 1, 0}, {kPopup, 1, 5, 2}, {kCustom, 0, 10, 3},
                                    {kArrows, 0, 20, 5}, {kBevel, 0, 1, 0}, {kSlider, 0, 100, 40},
                                    {kRadioGroup, 1, 3, 2}}) {
    SCOPED_TRACE(n);
    EXPECT_EQ((Ints{min, max, value}), (Ints{R(n).min, R(n).max, R(n).value}))
        << "the range, and the unset value read from the control";
    EXPECT_EQ(R(n).menuMask, ~UInt64(0)) << "taking the range enables every entry";
    EXPECT_EQ(Item(n).errors, Ints()) << "binding reports nothing";
  }
  EXPECT_EQ((Ints{kDefaultMin, kDefaultMin}), (Ints{R(kUserPane).min, R(kStaticText).value}))
      << "a user pane and static text are no value kinds: range and unset value kept";
  EXPECT_EQ((Ints{0, 1, 0, 1}), (Ints{R(kFarSlider).visible, R(kNearSlider).visible,
                                      IsControlVisible(Control(kFarSlider)), IsControlVisible(Control(kNearSlider))}))
      << "left edge 8192 counts as hidden, 8191 stays visible; ResumeIPP applied the status";

  Item(kCheckBox).onSetSelf = [&] { Item(kArrows).Assign(12); };
  SInt16 hit = host::Click(Control(kCheckBox));
  EXPECT_EQ(hit, kBase + kCheckBox);
  EXPECT_EQ(Hit(hit), hit);
  EXPECT_EQ(R(kCheckBox).value, 0) << "the toggled check box";
  EXPECT_EQ(GetControlValue(Control(kArrows)), 12) << "what the change hook assigned is shown";
  ControlRef third = nullptr;
  GetIndexedSubControl(Control(kRadioGroup), 3, &third);
  Hit(host::Click(third));
  Hit(host::ChoosePopupEntry(Control(kPopup), 4));
  Hit(host::DragSlider(Control(kSlider), {10, 55}));
  Hit(host::HoldLittleArrows(Control(kArrows), kControlUpButtonPart, 3));
  EXPECT_EQ((Ints{3, 4, 55, 15}), (Ints{R(kRadioGroup).value, R(kPopup).value, R(kSlider).value, R(kArrows).value}))
      << "radio group, popup, slider, little arrows";
}

TEST_F(EveryKindTest, ShowHiliteRefConAndMenuEntriesReachTheControl) {
  Item(kSlider).Show(0);
  EXPECT_EQ((Ints{0, 0}), (Ints{R(kSlider).visible, IsControlVisible(Control(kSlider))}));
  Item(kSlider).Show(1);
  EXPECT_TRUE(IsControlVisible(Control(kSlider)));
  // A push button and a user pane are left alone (the pane silently: see the error table).
  for (auto [n, dimmed] : {std::pair<SInt16, int>{kSlider, 255}, {kStaticText, 255},
                           {kCheckBox, 255}, {kPushButton, 0}, {kUserPane, 0}}) {
    SCOPED_TRACE(n);
    Item(n).Hilite(255);
    EXPECT_EQ(GetControlHilite(Control(n)), dimmed);
    Item(n).Hilite(0);
    EXPECT_EQ(GetControlHilite(Control(n)), 0);
  }
  host::ClearJournal();
  Item(kBevel).SetRefCon(1234);
  EXPECT_EQ(GetControlReference(Control(kBevel)), 1234);
  EXPECT_EQ(host::JournalOf("draw"), Strings{"bevl PRES/8"});

  ForgetErrors();
  MenuRef menu = GetControlPopupMenuHandle(Control(kPopup));
  MenuItemAttributes ofEntry2 = 0;  // as the menu holds them
  auto attributes = [&] { return GetMenuItemAttributes(menu, 2, &ofEntry2), ofEntry2; };
  Item(kPopup).ShowHideMenuItem(2, 0, 0);
  EXPECT_EQ(attributes(), kMenuItemAttrHidden);
  EXPECT_EQ(R(kPopup).menuMask, ~UInt64(0)) << "without also-enable the mask is untouched";
  Item(kPopup).ShowHideMenuItem(2, 0, 1);
  EXPECT_EQ(Entries(kPopup), "10111") << "also-enable disables it too";
  EXPECT_EQ(Presentation(kPopup)->disabledEntry, 2);
  Item(kPopup).ShowHideMenuItem(2, 1, 1);
  EXPECT_EQ(attributes(), 0u) << "shown again";
  EXPECT_EQ(Entries(kPopup), "11111") << "and enabled again";
  host::ClearJournal();
  Item(kPopup).EnDisableItem(3, 0);
  EXPECT_EQ(Entries(kPopup), "11011");
  EXPECT_EQ(host::JournalOf("draw"), Strings{"popb PRES/3"}) << "MenuAdjust redraws the popup";
  Item(kPopup).EnDisableItem(3, 1);
  EXPECT_EQ(Entries(kPopup), "11111");
  Item(kPopup).MenuAdjust(SInt32(0x5));
  EXPECT_EQ(Entries(kPopup), "10100");
  Item(kWidePopup).MenuAdjust64(SInt64(0));
  EXPECT_EQ(Entries(kWidePopup, 66).substr(63), "010")
      << "entry 64 follows the mask, 65 is beyond it, 66 was disabled by the layout";
  EXPECT_EQ(R(kWidePopup).max, 70);
  SetControlPopupMenuHandle(Control(kPopup), nullptr);
  host::ClearJournal();
  Item(kPopup).EnDisableItem(2, 0);
  EXPECT_EQ(host::JournalOf("draw"), Strings()) << "without a menu: nothing redrawn";
  EXPECT_EQ(R(kPopup).max, 5) << "R max is kept without a menu";
  EXPECT_EQ(Item(kPopup).errors, Ints());

  host::ClearJournal();
  Item(kRadioGroup).MenuAdjust(SInt32(-1));
  EXPECT_EQ(host::JournalOf("draw"), Strings{"rgrp PRES/10"})
      << "the group is redrawn even when no button was disabled yet";
  EXPECT_EQ(Dimmed(), "000") << "nothing dimmed before any disable";
  Item(kRadioGroup).EnDisableItem(2, 0);
  EXPECT_EQ(Dimmed(), "010");
  Item(kRadioGroup).EnDisableItem(2, 1);
  EXPECT_EQ(Dimmed(), "010") << "nothing here re-enables buttons";
}

TEST_F(EveryKindTest, SetRangeClampsThroughTheItemJudgingTheOldControlValue) {
  SetControlValue(Control(kSlider), 9);
  Item(kSlider).SetRange(1, 5);
  EXPECT_EQ(R(kSlider).value, 5) << "9 above the new maximum assigns 5";
  EXPECT_EQ((Ints{1, 5}), (Ints{GetControlMinimum(Control(kSlider)), GetControlMaximum(Control(kSlider))}));
  Hit(0);
  EXPECT_EQ(GetControlValue(Control(kSlider)), 5);
  Item(kSlider).SetRange(6, 8);
  EXPECT_EQ(R(kSlider).value, 6) << "5 below the new minimum assigns 6";

  for (SInt16 shown : {1, 3, 5}) {
    SetControlMaximum(Control(kArrows), 20), SetControlValue(Control(kArrows), shown);
    R(kArrows).value = 4;
    Item(kArrows).SetRange(1, 5);
    EXPECT_EQ(R(kArrows).value, 4) << shown << " inside 1..5, limits included, assigns nothing";
  }

  ForgetErrors();
  Item(kUserPane).SetRange(2, 4);
  EXPECT_EQ(Item(kUserPane).errors, Ints{17});
  EXPECT_EQ(R(kUserPane).max, 4) << "the registry keeps the new range all the same";
}

TEST_F(EveryKindTest, OperationsTheControlCannotServeReportTheirCodes) {
  EXPECT_EQ(Item(kMissing).errors, (Ints{8, 1, 2, 8}))
      << "ResumeIPP: the factory's flush (SetValue), then SetStatus (Show, Hilite, SetValue)";
  R(kWideCustom).min = 0, R(kWideCustom).max = 65535, R(kWideCustom).value = 32768;
  const std::tuple<const char*, SInt16, std::function<void(UIItem&)>, Ints> cases[] = {
      {"EmptyString", kCheckBox, [](UIItem& i) { EXPECT_EQ(i.EmptyString(), 0); }, {3}},
      {"ClearString", kCheckBox, [](UIItem& i) { i.ClearString(); }, {4}},
      {"SelectString", kCheckBox, [](UIItem& i) { i.SelectString(); }, {5}},
      {"GetValue of a user pane", kUserPane, [](UIItem& i) { i.GetValue(); }, {6}},
      {"SetValue of a user pane", kUserPane, [](UIItem& i) { i.SetValue(); }, {8}},
      {"SetRefCon of static text", kStaticText, [](UIItem& i) { i.SetRefCon(3); }, {13}},
      {"SetRefCon of a push button", kPushButton, [](UIItem& i) { i.SetRefCon(1); }, {13}},
      {"SetRange of a push button", kPushButton, [](UIItem& i) { i.SetRange(0, 1); }, {17}},
      {"Hilite of a user pane", kUserPane, [](UIItem& i) { i.Hilite(255); }, {}},
      {"SetStatus of a push button", kPushButton, [](UIItem& i) { i.SetStatus(); }, {8}},
      {"SetValue beyond 16 bits", kWideCustom, [](UIItem& i) { i.SetValue(); }, {}},
      {"SetValue out of range", kWideCustom, [](UIItem& i) { i.object->value = 70000, i.SetValue(); }, {7}},
      {"no control: GetValue", kMissing, [](UIItem& i) { i.GetValue(); }, {6}},
      {"no control: SetRefCon", kMissing, [](UIItem& i) { i.SetRefCon(1); }, {13}},
      {"no control: SetRange", kMissing, [](UIItem& i) { i.SetRange(0, 5); }, {17}},
      {"no control: Show", kMissing, [](UIItem& i) { i.Show(1); }, {1}},
  };
  for (const auto& [what, control, op, codes] : cases) {
    SCOPED_TRACE(what);
    Item(control).errors.clear();
    op(Item(control));
    EXPECT_EQ(Item(control).errors, codes);
  }
  EXPECT_EQ(GetControlReference(Control(kPushButton)), 0) << "the push button kept its reference";
  EXPECT_EQ(GetControl32BitValue(Control(kWideCustom)), -32768) << "32768 truncated; 70000 not written";
  ASSERT_NE(Presentation(kMissing), nullptr) << "construction succeeds without a control";
  EXPECT_EQ(Presentation(kMissing)->control, nullptr);
  EXPECT_EQ(Presentation(kMissing)->CheckItemType(), 0);
}

TEST_F(ControlPresentationTest, ResumeCopiesThePresetLookIntoTheControls) {
  Show({
      ItemPlan{kArrows, 0, 10, [](RecordingItem& i) { i.object->value = 7; }},
      ItemPlan{kSlider, 0, 100, [](RecordingItem& i) { i.Show(0); }},
      ItemPlan{kCheckBox, 0, 1, [](RecordingItem& i) { i.Hilite(255); }},
      ItemPlan{kStaticText, kDefaultMin, kDefaultMax, [](RecordingItem& i) { i.Hilite(255); }},
      ItemPlan{kPopup, 1, 5, [](RecordingItem& i) { i.EnDisableItem(3, 0), i.object->value = 4; }},
      ItemPlan{kUserPane},
      ItemPlan{kCustom, 4, 4},
  });
  EXPECT_EQ(R(kArrows).max, 10) << "the plug-in's range is kept";
  EXPECT_EQ(GetControlValue(Control(kArrows)), 7) << "the registry value is copied into the control";
  EXPECT_FALSE(IsControlVisible(Control(kSlider))) << "a preset range keeps the preset visibility";
  EXPECT_EQ(GetControlValue(Control(kSlider)), 0) << "the preset value (the minimum) is written";
  EXPECT_EQ((Ints{255, 255}), (Ints{GetControlHilite(Control(kCheckBox)), GetControlHilite(Control(kStaticText))}))
      << "an inactive item dims its control, static text as well";
  EXPECT_EQ(GetControlValue(Control(kPopup)), 4);
  EXPECT_EQ(Entries(kPopup), "11011") << "entries follow the preset mask";
  // CheckItemType wants a value kind with a range (not a single value).
  EXPECT_EQ((Ints{1, 0, 0}), (Ints{Presentation(kSlider)->CheckItemType(), Presentation(kUserPane)->CheckItemType(),
                                   Presentation(kCustom)->CheckItemType()}));
}

/// A subclass that records which of its replacements run.
#define TRACED(op) void op() override { calls.push_back(#op); }
struct TracingControl : UIControl {
  TracingControl(UIItem* item, SInt16 itemNo, UInt32 signature) : UIControl(item, itemNo, signature) {}
  TRACED(GetValue) TRACED(SetValue) TRACED(Show) TRACED(Hilite) TRACED(MenuAdjust)
  static inline Strings calls;
};

TEST_F(ControlPresentationTest, OperationsReachTheSubclassesReplacementsAndFailedFactoriesLeaveNothing) {
  Show({ItemPlan{kSlider}});
  RecordingItem& item = Item(kSlider);
  item.SetControl();
  R(kSlider).min = kDefaultMin, R(kSlider).max = kDefaultMax, R(kSlider).value = kDefaultMin;
  SetControlValue(Control(kSlider), 77);
  TracingControl::calls.clear();
  item.MakePresentation<TracingControl>(kSlider, kSignature);
  EXPECT_EQ(TracingControl::calls, Strings()) << "binding reads the value with the base version";
  EXPECT_EQ(R(kSlider).value, 77);
  Hit(0);
  EXPECT_EQ(TracingControl::calls, Strings{"SetValue"}) << "the factory's flush";

  TracingControl::calls.clear();
  item.SetStatus(), item.Show(0), item.Hilite(255), item.MenuAdjust(SInt32(0));
  item.EnDisableItem(2, 0), item.ShowHideMenuItem(2, 0, 1);
  EXPECT_EQ(TracingControl::calls, (Strings{"Show", "Hilite", "MenuAdjust", "SetValue", "Show", "Hilite",
                                            "MenuAdjust", "MenuAdjust", "MenuAdjust"}))
      << "SetStatus: Show, Hilite, MenuAdjust, SetValue; then Show, Hilite, MenuAdjust, and MenuAdjust "
         "for EnDisableItem and ShowHideMenuItem";

  // The factory failing to allocate leaves the item without presentation.
  SweepFactory(item, [&] { item.Bind(); });
  SuspendIPP(sys);  // no window shown: the emulated presentation is the factory's only allocation
  item.Bind();
  SweepFactory(item, [&] { item.Bind(); }, true);
}

}  // namespace
