// Tests of the toolbox control presentation from the host's side: binding to
// the layout's controls, what the controls hold after ResumeIPP and after hits,
// menu entries, ranges, and the presentation error codes.
#include <tuple>

#include "FaultSweep.h"
#include "PaneFixture.h"

namespace {

using namespace panetest;

std::vector<ItemPlan> EveryKind() {
  std::vector<ItemPlan> plan;
  for (SInt16 n = kCheckBox; n <= kWideCustom; ++n) plan.push_back(ItemPlan{n});
  return plan;
}

bool MenuEntryEnabled(ControlRef popup, MenuItemIndex entry) {
  return IsMenuItemEnabled(GetControlPopupMenuHandle(popup), entry);
}

class ControlPresentationTest : public PaneTest {
 protected:
  /// Items bound to controls without a value report 8 at every flush; start clean.
  void ForgetErrors() {
    for (auto& entry : Pane().made) entry.second->errors.clear();
  }
};

struct BindCase {
  SInt16 control;
  SInt32 min, max, value;
};

TEST_F(ControlPresentationTest, DefaultRangeItemsTakeRangeValueAndVisibilityFromTheirControl) {
  Show(EveryKind());
  const BindCase cases[] = {
      {kCheckBox, 0, 1, 1},   {kRadioButton, 0, 1, 0}, {kPopup, 1, 5, 2},
      {kCustom, 0, 10, 3},    {kArrows, 0, 20, 5},     {kBevel, 0, 1, 0},
      {kSlider, 0, 100, 40},  {kRadioGroup, 1, 3, 2},
  };
  for (const BindCase& c : cases) {
    SCOPED_TRACE(c.control);
    EXPECT_EQ(R(c.control).min, c.min);
    EXPECT_EQ(R(c.control).max, c.max);
    EXPECT_EQ(R(c.control).value, c.value) << "the unset value is read from the control";
    EXPECT_EQ(R(c.control).menuMask, ~UInt64(0)) << "taking the range enables every entry";
    EXPECT_EQ(Item(c.control).errors, std::vector<int>()) << "binding reports nothing";
  }
  EXPECT_EQ(R(kUserPane).min, kDefaultMin) << "a user pane is no value kind: range kept";
  EXPECT_EQ(R(kStaticText).value, kDefaultMin);
  EXPECT_EQ(R(kFarSlider).visible, 0) << "left edge 8192 counts as hidden";
  EXPECT_EQ(R(kNearSlider).visible, 1) << "8191 stays visible";
  EXPECT_FALSE(IsControlVisible(Control(kFarSlider))) << "ResumeIPP applied the status";
  EXPECT_TRUE(IsControlVisible(Control(kNearSlider)));
}

TEST_F(ControlPresentationTest, HitsReadTheControlsBackIntoTheRegistry) {
  Show(EveryKind());
  SInt16 hit = toolbox::host::Click(Control(kCheckBox));
  EXPECT_EQ(hit, kBase + kCheckBox);
  EXPECT_EQ(Hit(hit), hit);
  EXPECT_EQ(R(kCheckBox).value, 0) << "the toggled check box";
  EXPECT_EQ(GetControlValue(Control(kCheckBox)), 0) << "Action writes the same value back";

  ControlRef third = nullptr;
  GetIndexedSubControl(Control(kRadioGroup), 3, &third);
  Hit(toolbox::host::Click(third));
  EXPECT_EQ(R(kRadioGroup).value, 3);

  Hit(toolbox::host::ChoosePopupEntry(Control(kPopup), 4));
  EXPECT_EQ(R(kPopup).value, 4);

  Hit(toolbox::host::DragSlider(Control(kSlider), {10, 55}));
  EXPECT_EQ(R(kSlider).value, 55);

  Hit(toolbox::host::HoldLittleArrows(Control(kArrows), kControlUpButtonPart, 3));
  EXPECT_EQ(R(kArrows).value, 8);
}

TEST_F(ControlPresentationTest, ShowHiliteRefConAndTitleReachTheControl) {
  Show(EveryKind());
  Item(kSlider).Show(0);
  EXPECT_EQ(R(kSlider).visible, 0);
  EXPECT_FALSE(IsControlVisible(Control(kSlider)));
  Item(kSlider).Show(1);
  EXPECT_TRUE(IsControlVisible(Control(kSlider)));

  // A push button and a user pane are left alone (the pane silently: see the error table).
  const std::pair<SInt16, SInt16> dims[] = {
      {kSlider, 255}, {kStaticText, 255}, {kCheckBox, 255}, {kPushButton, 0}, {kUserPane, 0}};
  for (auto [n, dimmed] : dims) {
    SCOPED_TRACE(n);
    Item(n).Hilite(255);
    EXPECT_EQ(GetControlHilite(Control(n)), dimmed);
    Item(n).Hilite(0);
    EXPECT_EQ(GetControlHilite(Control(n)), 0);
  }

  toolbox::host::ClearJournal();
  Item(kBevel).SetRefCon(1234);
  EXPECT_EQ(GetControlReference(Control(kBevel)), 1234);
  EXPECT_EQ(toolbox::host::JournalOf("draw"), std::vector<std::string>{"bevl PRES/8"});
  unsigned char title[256] = {5, 'T', 'i', 't', 'l', 'e'};
  Item(kCheckBox).SetTitle(title);
  unsigned char back[256] = {};
  Item(kCheckBox).GetTitle(back);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(back + 1), back[0]), "Title");
}

TEST_F(ControlPresentationTest, PopupEntriesFollowTheItem) {
  Show(EveryKind());
  ForgetErrors();
  MenuRef menu = GetControlPopupMenuHandle(Control(kPopup));
  MenuItemAttributes attributes = 0;
  Item(kPopup).ShowHideMenuItem(2, 0, 0);
  GetMenuItemAttributes(menu, 2, &attributes);
  EXPECT_EQ(attributes, kMenuItemAttrHidden);
  EXPECT_EQ(R(kPopup).menuMask, ~UInt64(0)) << "without also-enable the mask is untouched";
  Item(kPopup).ShowHideMenuItem(2, 0, 1);
  EXPECT_FALSE(MenuEntryEnabled(Control(kPopup), 2)) << "also-enable disables it too";
  EXPECT_EQ(Presentation(kPopup)->disabledEntry, 2);
  Item(kPopup).ShowHideMenuItem(2, 1, 1);
  GetMenuItemAttributes(menu, 2, &attributes);
  EXPECT_EQ(attributes, 0u) << "shown and enabled again";

  toolbox::host::ClearJournal();
  Item(kPopup).EnDisableItem(3, 0);
  for (MenuItemIndex e = 1; e <= 5; ++e) {
    SCOPED_TRACE(e);
    EXPECT_EQ(MenuEntryEnabled(Control(kPopup), e), e != 3);
  }
  EXPECT_EQ(toolbox::host::JournalOf("draw"), std::vector<std::string>{"popb PRES/3"})
      << "MenuAdjust redraws the popup";
  Item(kPopup).EnDisableItem(3, 1);
  EXPECT_TRUE(MenuEntryEnabled(Control(kPopup), 3));
  Item(kPopup).MenuAdjust(SInt32(0x5));
  EXPECT_EQ(R(kPopup).max, 5) << "R max follows the entry count";
  for (MenuItemIndex e = 1; e <= 5; ++e) {
    SCOPED_TRACE(e);
    EXPECT_EQ(MenuEntryEnabled(Control(kPopup), e), e == 1 || e == 3);
  }

  Item(kWidePopup).MenuAdjust64(SInt64(0));
  EXPECT_FALSE(MenuEntryEnabled(Control(kWidePopup), 64));
  EXPECT_TRUE(MenuEntryEnabled(Control(kWidePopup), 65)) << "entry 65 is beyond the mask";
  EXPECT_FALSE(MenuEntryEnabled(Control(kWidePopup), 66)) << "66 was disabled by the layout";
  EXPECT_EQ(R(kWidePopup).max, 70);

  SetControlPopupMenuHandle(Control(kPopup), nullptr);
  toolbox::host::ClearJournal();
  Item(kPopup).EnDisableItem(2, 0);
  EXPECT_EQ(toolbox::host::JournalOf("draw"), std::vector<std::string>())
      << "without a menu: nothing redrawn";
  EXPECT_EQ(R(kPopup).max, 5) << "R max is kept without a menu";
  EXPECT_EQ(Item(kPopup).errors, std::vector<int>());
}

TEST_F(ControlPresentationTest, RadioGroupRedrawsAndDimsTheButtonLastDisabled) {
  Show(EveryKind());
  ControlRef group = Control(kRadioGroup);
  auto hilites = [&] {
    std::vector<SInt16> h;
    for (UInt16 i = 1; i <= 3; ++i) {
      ControlRef b = nullptr;
      GetIndexedSubControl(group, i, &b);
      h.push_back(GetControlHilite(b));
    }
    return h;
  };
  toolbox::host::ClearJournal();
  Item(kRadioGroup).MenuAdjust(SInt32(-1));
  EXPECT_EQ(toolbox::host::JournalOf("draw"), std::vector<std::string>{"rgrp PRES/10"})
      << "the group is redrawn even when no button was disabled yet";
  EXPECT_EQ(hilites(), (std::vector<SInt16>{0, 0, 0})) << "nothing dimmed before any disable";
  Item(kRadioGroup).EnDisableItem(2, 0);
  EXPECT_EQ(hilites(), (std::vector<SInt16>{0, 255, 0}));
  Item(kRadioGroup).EnDisableItem(2, 1);
  EXPECT_EQ(hilites(), (std::vector<SInt16>{0, 255, 0})) << "nothing here re-enables buttons";
}

TEST_F(ControlPresentationTest, SetRangeClampsThroughTheItemJudgingTheOldControlValue) {
  Show(EveryKind());
  SetControlValue(Control(kSlider), 9);
  Item(kSlider).SetRange(1, 5);
  EXPECT_EQ(R(kSlider).value, 5) << "9 above the new maximum assigns 5";
  EXPECT_EQ(GetControlMinimum(Control(kSlider)), 1);
  EXPECT_EQ(GetControlMaximum(Control(kSlider)), 5);
  Hit(0);
  EXPECT_EQ(GetControlValue(Control(kSlider)), 5);

  for (SInt16 shown : {1, 3, 5}) {
    SetControlMaximum(Control(kArrows), 20);
    SetControlValue(Control(kArrows), shown);
    R(kArrows).value = 4;
    Item(kArrows).SetRange(1, 5);
    EXPECT_EQ(R(kArrows).value, 4) << shown << " inside 1..5, limits included, assigns nothing";
  }

  ForgetErrors();
  Item(kUserPane).SetRange(2, 4);
  EXPECT_EQ(Item(kUserPane).errors, std::vector<int>{17});
  EXPECT_EQ(R(kUserPane).max, 4) << "the registry keeps the new range all the same";
}

TEST_F(ControlPresentationTest, SetValueTruncatesTo16BitsAndRefusesOutOfRange) {
  Show({ItemPlan{kWideCustom, 0, 65535}});
  R(kWideCustom).value = 32768;
  Item(kWideCustom).SetValue();
  EXPECT_EQ(GetControl32BitValue(Control(kWideCustom)), -32768);
  R(kWideCustom).value = 70000;
  Item(kWideCustom).SetValue();
  EXPECT_EQ(GetControl32BitValue(Control(kWideCustom)), -32768) << "out of range: control kept";
  EXPECT_EQ(Item(kWideCustom).errors, std::vector<int>{7});
}

struct ErrorCase {
  const char* what;
  SInt16 control;
  std::function<void(UIItem&)> op;
  std::vector<int> codes;
};

TEST_F(ControlPresentationTest, OperationsTheControlCannotServeReportTheirCodes) {
  Show(EveryKind());
  const ErrorCase cases[] = {
      {"EmptyString", kCheckBox, [](UIItem& i) { EXPECT_EQ(i.EmptyString(), 0); }, {3}},
      {"ClearString", kCheckBox, [](UIItem& i) { i.ClearString(); }, {4}},
      {"SelectString", kCheckBox, [](UIItem& i) { i.SelectString(); }, {5}},
      {"GetValue of a user pane", kUserPane, [](UIItem& i) { i.GetValue(); }, {6}},
      {"SetValue of a user pane", kUserPane, [](UIItem& i) { i.SetValue(); }, {8}},
      {"SetRefCon of static text", kStaticText, [](UIItem& i) { i.SetRefCon(3); }, {13}},
      {"SetRefCon of a push button", kPushButton,
       [this](UIItem& i) {
         i.SetRefCon(1);
         EXPECT_EQ(GetControlReference(Control(kPushButton)), 0);
       },
       {13}},
      {"SetRange of a push button", kPushButton, [](UIItem& i) { i.SetRange(0, 1); }, {17}},
      {"Hilite of a user pane", kUserPane, [](UIItem& i) { i.Hilite(255); }, {}},
      {"SetStatus of a push button", kPushButton, [](UIItem& i) { i.SetStatus(); }, {8}},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingItem& item = Item(c.control);
    item.errors.clear();
    c.op(item);
    EXPECT_EQ(item.errors, c.codes);
  }
}

TEST_F(ControlPresentationTest, AnItemWithoutItsControlReportsEveryOperation) {
  Show({ItemPlan{kMissing, 0, 10}});
  RecordingItem& item = Item(kMissing);
  ASSERT_NE(Presentation(kMissing), nullptr) << "construction succeeds without a control";
  EXPECT_EQ(Presentation(kMissing)->control, nullptr);
  EXPECT_EQ(item.errors, (std::vector<int>{8, 1, 2, 8}))
      << "ResumeIPP: the factory's flush (SetValue), then SetStatus (Show, Hilite, SetValue)";
  item.errors.clear();
  item.GetValue();
  item.SetRefCon(1);
  item.SetRange(0, 5);
  item.Show(1);
  EXPECT_EQ(item.errors, (std::vector<int>{6, 13, 17, 1}));
  EXPECT_EQ(Presentation(kMissing)->CheckItemType(), 0);
}

TEST_F(ControlPresentationTest, FactoryWithoutWindowOrItemNumberMakesNoControlPresentation) {
  Show({ItemPlan{kSlider}});
  RecordingItem& item = Item(kSlider);
  auto queued = [&] { return Pane().updates->GetCount(); };
  ASSERT_EQ(queued(), 0u) << "ResumeIPP ends with a flush";
  item.SetControl(0, kSignature);
  EXPECT_EQ(item.presentation, nullptr) << "item number 0 leaves no presentation";
  item.SetControl(0, kSignature);
  EXPECT_EQ(item.presentation, nullptr);
  EXPECT_EQ(queued(), 0u) << "removing a presentation requests no update";
  SuspendIPP(sys);
  item.SetControl(kSlider, kSignature);
  ASSERT_NE(item.presentation, nullptr);
  EXPECT_EQ(dynamic_cast<UIControl*>(item.presentation), nullptr)
      << "with no window shown the factory makes an emulated presentation";
  EXPECT_EQ(queued(), 0u) << "an emulated presentation requests no update";
  ResumeIPP(sys, kBase, window);
  EXPECT_NE(Presentation(kSlider), nullptr);
  item.SetControl(kSlider, kSignature);
  EXPECT_EQ(queued(), 1u) << "a toolbox presentation queues its item for the next flush";
}

TEST_F(ControlPresentationTest, FactoryFailingToAllocateLeavesTheItemWithoutPresentation) {
  Show({ItemPlan{kSlider}});
  RecordingItem& item = Item(kSlider);
  for (bool emulated : {false, true}) {
    SCOPED_TRACE(emulated ? "emulated presentation, no window shown" : "toolbox presentation");
    if (emulated) SuspendIPP(sys);
    testing_support::SweepAllocationFailures([&](testing_support::FaultRun& run) {
      bool threw = false;
      run.Arm();
      try {
        item.SetControl(kSlider, kSignature);
      } catch (const LException& e) {
        threw = true;
        EXPECT_TRUE(e.GetErrorCode() == kNilPointerErr || (!emulated && e.GetErrorCode() == memFullErr))
            << "code " << e.GetErrorCode();
      }
      run.Disarm();
      if (emulated) {
        EXPECT_EQ(threw, run.Fired()) << "the only allocation is the presentation itself";
      } else if (!run.Fired()) {
        EXPECT_FALSE(threw) << "nothing failed, nothing thrown";
      }
      EXPECT_EQ(item.presentation == nullptr, threw) << "a failed factory leaves no presentation";
      if (emulated) {
        item.SetControl();
        return;
      }
      if (threw) {
        item.SetControl(kSlider, kSignature);  // back to one presentation for the block count
      } else {
        EXPECT_NE(Presentation(kSlider), nullptr) << "a recovered failure still binds";
      }
      Hit(0);  // the flush empties the update queue the factory filled
    });
  }
}

TEST_F(ControlPresentationTest, ResumeCopiesThePresetLookIntoTheControls) {
  Show({
      ItemPlan{kArrows, 0, 10, [](RecordingItem& i) { i.object->value = 7; }},
      ItemPlan{kSlider, 0, 100, [](RecordingItem& i) { i.Show(0); }},
      ItemPlan{kCheckBox, 0, 1, [](RecordingItem& i) { i.Hilite(255); }},
      ItemPlan{kStaticText, kDefaultMin, kDefaultMax, [](RecordingItem& i) { i.Hilite(255); }},
      ItemPlan{kPopup, 1, 5,
               [](RecordingItem& i) {
                 i.EnDisableItem(3, 0);
                 i.object->value = 4;
               }},
      ItemPlan{kUserPane},
      ItemPlan{kCustom, 4, 4},
  });
  EXPECT_EQ(R(kArrows).max, 10) << "the plug-in's range is kept";
  EXPECT_EQ(GetControlValue(Control(kArrows)), 7) << "the registry value is copied into the control";
  EXPECT_FALSE(IsControlVisible(Control(kSlider))) << "a preset range keeps the preset visibility";
  EXPECT_EQ(GetControlValue(Control(kSlider)), 0) << "the preset value (the minimum) is written";
  EXPECT_EQ(GetControlHilite(Control(kCheckBox)), 255) << "an inactive item dims its control";
  EXPECT_EQ(GetControlHilite(Control(kStaticText)), 255) << "static text is dimmed as well";
  EXPECT_EQ(GetControlValue(Control(kPopup)), 4);
  for (MenuItemIndex e = 1; e <= 5; ++e) {
    SCOPED_TRACE(e);
    EXPECT_EQ(MenuEntryEnabled(Control(kPopup), e), e != 3) << "entries follow the preset mask";
  }
  // CheckItemType wants a value kind with a range.
  EXPECT_EQ(Presentation(kSlider)->CheckItemType(), 1);
  EXPECT_EQ(Presentation(kUserPane)->CheckItemType(), 0);
  EXPECT_EQ(Presentation(kCustom)->CheckItemType(), 0) << "a single-value range";
}

TEST_F(ControlPresentationTest, AHitsChangeHookReachesTheOtherControls) {
  Show(EveryKind());
  MenuRef menu = GetControlPopupMenuHandle(Control(kPopup));
  Item(kCheckBox).onSetSelf = [&] {
    Item(kSlider).Show(0);
    Item(kPopup).ShowHideMenuItem(4, 0, 0);
    Item(kArrows).Assign(12);
  };
  ASSERT_EQ(GetControlValue(Control(kArrows)), 5);
  Hit(toolbox::host::Click(Control(kCheckBox)));
  EXPECT_FALSE(IsControlVisible(Control(kSlider)));
  MenuItemAttributes attributes = 0;
  GetMenuItemAttributes(menu, 4, &attributes);
  EXPECT_EQ(attributes & kMenuItemAttrHidden, kMenuItemAttrHidden) << "entry 4 hidden";
  EXPECT_EQ(GetControlValue(Control(kArrows)), 12) << "the assigned value reaches its control";
}

/// A subclass that records which of its replacements run.
class TracingControl : public UIControl {
 public:
  TracingControl(UIItem* item, SInt16 itemNo, UInt32 signature)
      : UIControl(item, itemNo, signature) {}
  void GetValue() override { calls.push_back("GetValue"); }
  void SetValue() override { calls.push_back("SetValue"); }
  void Show() override { calls.push_back("Show"); }
  void Hilite() override { calls.push_back("Hilite"); }
  void MenuAdjust() override { calls.push_back("MenuAdjust"); }
  static std::vector<std::string> calls;
};
std::vector<std::string> TracingControl::calls;

TEST_F(ControlPresentationTest, OperationsReachTheSubclassesReplacements) {
  using Calls = std::vector<std::string>;
  Show({ItemPlan{kSlider, kDefaultMin, kDefaultMax}});
  RecordingItem& item = Item(kSlider);
  item.SetControl();
  R(kSlider).min = kDefaultMin;
  R(kSlider).max = kDefaultMax;
  R(kSlider).value = kDefaultMin;
  SetControlValue(Control(kSlider), 77);
  TracingControl::calls.clear();
  item.MakePresentation<TracingControl>(kSlider, kSignature);
  EXPECT_EQ(TracingControl::calls, Calls()) << "binding reads the value with the base version";
  EXPECT_EQ(R(kSlider).value, 77);
  Hit(0);
  EXPECT_EQ(TracingControl::calls, Calls{"SetValue"}) << "the factory's flush";

  const std::tuple<const char*, std::function<void()>, Calls> cases[] = {
      {"SetStatus", [&] { item.SetStatus(); }, {"Show", "Hilite", "MenuAdjust", "SetValue"}},
      {"Show", [&] { item.Show(0); }, {"Show"}},
      {"Hilite", [&] { item.Hilite(255); }, {"Hilite"}},
      {"MenuAdjust", [&] { item.MenuAdjust(SInt32(0)); }, {"MenuAdjust"}},
      {"EnDisableItem", [&] { item.EnDisableItem(2, 0); }, {"MenuAdjust"}},
      {"ShowHideMenuItem", [&] { item.ShowHideMenuItem(2, 0, 1); }, {"MenuAdjust"}},
  };
  for (const auto& [what, op, expected] : cases) {
    SCOPED_TRACE(what);
    TracingControl::calls.clear();
    op();
    EXPECT_EQ(TracingControl::calls, expected);
  }
}

}  // namespace
