// Radio buttons, sliders and little arrows driven through the host face as a
// user would: clicks, drags and held arrows, with a dependent item following.
#include "PaneFixture.h"
#include "toolbox/resources.h"

namespace {

using namespace panetest;
namespace host = toolbox::host;

/// Radio buttons 20, 21, 22 and 24 (range 0 to 4), the tracked slider with its
/// follower (range 0 to 100), little arrows on 0..10 and on the full 16 bits.
class TrackingTest : public PaneTest {
 protected:
  void SetUp() override {
    auto with = [](void (UIItem::*factory)(SInt16, UInt32)) {
      return [factory](RecordingItem& i) { i.factory = factory; };
    };
    Show({{kRadio, 0, 4, with(&UIItem::SetRadio)}, {kTrackSlider, kDefaultMin, kDefaultMax, with(&UIItem::SetSlider)},
          {kSmallArrows, kDefaultMin, kDefaultMax, with(&UIItem::SetLittleArrow)},
          {kWideArrows, kDefaultMin, kDefaultMax, with(&UIItem::SetLittleArrow)}, {kFollower, 0, 100}});
    Item(kFollower).AppendDependency(&Item(kTrackSlider));
  }
  /// Per button 20, 21, 22, 24: `probe` of the control as '0' or '1'.
  template <class Probe> std::string Buttons(Probe probe) {
    std::string s;
    for (SInt16 n : {20, 21, 22, 24}) s += char('0' + probe(Control(n)));
    return s;
  }
};

TEST_F(TrackingTest, RadioGroupTakesTheHitButtonsValueAndDimsButtons) {
  for (auto [button, value, on] : {std::tuple{22, 2, "0010"}, {24, 4, "0001"}, {20, 0, "1000"}}) {
    SCOPED_TRACE(button);
    EXPECT_EQ(Hit(host::Click(Control(button))), kBase + kRadio) << "the hit becomes the first button";
    EXPECT_EQ(R(kRadio).value, value);
    EXPECT_EQ(Buttons(GetControlValue), on) << "the hit button alone is on";
  }
  Item(kRadio).Assign(3);
  Hit(0);
  EXPECT_EQ(Buttons(GetControlValue), "0000") << "value 3 has no button: every button off";
  Item(kRadio).GetValue();
  EXPECT_EQ(R(kRadio).value, 0) << "no button on reads as 0";
  Item(kRadio).EnDisableItem(2, 0);
  EXPECT_EQ(Buttons(IsControlEnabled), "1011") << "entry 2 is the button for value 1";
  Item(kRadio).Hilite(255);
  EXPECT_EQ(Buttons(IsControlEnabled), "0000");
  Item(kRadio).SetRange(2, 4);
  EXPECT_EQ(R(kRadio).value, 2) << "a value below the new range takes its minimum";
}

TEST_F(TrackingTest, SliderDragUpdatesTheDependentAtEveryStepUnderItsResourceFile) {
  // Each value the dependent sees, with what its control shows then, and the resource file.
  std::vector<std::pair<SInt32, SInt32>> seen;
  int resFile = 0;
  Item(kFollower).onChangedOther = [&] {
    seen.push_back({R(kTrackSlider).value, GetControlValue(Control(kFollower))});
    resFile = CurResFile();
    Item(kFollower).Assign(R(kTrackSlider).value);
  };
  SInt16 captured = host::CreateResourceFile("captured");
  Item(kTrackSlider).SetSlider(kTrackSlider, kSignature);
  SInt16 later = host::CreateResourceFile("later");
  Item(kTrackSlider).changes = 0;
  EXPECT_EQ(Hit(host::DragSlider(Control(kTrackSlider), {0, 10, 20, 20, 35, 50, 120})), kBase + kTrackSlider);
  // The refresh of one step reached the control before the next step.
  EXPECT_EQ(seen, (std::vector<std::pair<SInt32, SInt32>>{{0, 0}, {10, 0}, {20, 10}, {35, 20}, {50, 35}, {100, 50}}));
  EXPECT_EQ(Item(kTrackSlider).changes, 6) << "one change per step that moved the thumb, none at the end";
  EXPECT_EQ(std::pair(resFile, int(CurResFile())), std::pair(int(captured), int(later)))
      << "each step runs under the resource file of the binding; the former one is restored";
  CloseResFile(later), CloseResFile(captured);
}

TEST_F(TrackingTest, LittleArrowsStepEachRepeatAndStopAtTheEnds) {
  for (auto [control, start, part, repeats, end, moved] :
       {std::tuple{kSmallArrows, 8, 20, 5, 10, 2}, {kSmallArrows, 2, 21, 4, 0, 2},
        {kWideArrows, 32765, 20, 4, 32767, 2}, {kWideArrows, -32767, 21, 3, -32768, 1}}) {
    SCOPED_TRACE(testing::Message() << start << " part " << part << " x" << repeats);
    RecordingItem& item = Item(control);
    item.Assign(start);
    Hit(0);
    item.touches = item.changes = 0;
    Hit(host::HoldLittleArrows(Control(control), SInt16(part), repeats));
    EXPECT_EQ(item.object->value, end);
    EXPECT_EQ(item.touches, repeats + 1) << "one action cycle per repeat, then the final hit";
    EXPECT_EQ(item.changes, moved) << "a repeat at the end changes nothing";
  }
  RecordingItem& arrows = Item(kSmallArrows);
  arrows.touches = arrows.changes = 0;
  InvokeControlActionUPP(Control(kSmallArrows), kControlIndicatorPart, GetControlAction(Control(kSmallArrows)));
  EXPECT_EQ(std::pair(arrows.touches, arrows.changes), std::pair(1, 0))
      << "another part runs the cycle on the unchanged value";
}

TEST_F(TrackingTest, FactoriesReleaseTheirProceduresAlsoWhenAllocationFails) {
  for (SInt16 control : {kRadio, kTrackSlider, kSmallArrows}) {
    SCOPED_TRACE(control);
    SweepFactory(Item(control), [&] { Item(control).Bind(); });
  }
  Item(kTrackSlider).SetRefCon(7);
  EXPECT_EQ(GetControlReference(Control(kTrackSlider)),
            SRefCon(&static_cast<UISlider*>(Item(kTrackSlider).presentation)->record))
      << "SetRefCon leaves the tracking record in place";
}

}  // namespace
