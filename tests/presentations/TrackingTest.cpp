// Radio groups, sliders and little arrows driven through the host face as a
// user would: clicks, drags and held arrows, with a dependent item following.
#include "FaultSweep.h"
#include "toolbox/host.h"
#include "toolbox/resources.h"
#include "velkui/presentations.h"

namespace {

using namespace velkui;
namespace host = toolbox::host;

constexpr UInt32 kSig = FOUR_CHAR_CODE("TRAK");
enum : SInt16 { kBase = 100, kRadio = 20, kSlider = 30, kArrows, kWideArrows, kFollower };

/// Radio buttons 20, 21, 22 and 24 (23 is missing), a slider and its follower,
/// little arrows on 0..10 and on the full 16 bits.
const char* const kLayout = R"({"window":{"width":240,"height":220,"base":100},"controls":[
  {"kind":"rdio","id":"TRAK:20","bounds":[10,10,30,200]}, {"kind":"rdio","id":"TRAK:21","bounds":[32,10,52,200]},
  {"kind":"rdio","id":"TRAK:22","bounds":[54,10,74,200]}, {"kind":"rdio","id":"TRAK:24","bounds":[98,10,118,200]},
  {"kind":"sldr","id":"TRAK:30","bounds":[130,10,150,210],"max":100,"value":40},
  {"kind":"sldr","id":"TRAK:33","bounds":[190,10,210,210],"max":100},
  {"kind":"larr","id":"TRAK:31","bounds":[160,10,184,24],"max":10,"value":5},
  {"kind":"larr","id":"TRAK:32","bounds":[160,40,184,54],"min":-32768,"max":32767}]})";

/// An item bound on Resume by its factory; counts what the system tells it and,
/// following another item, records each value it sees with what its own
/// control showed then, and the resource file current then.
struct Tracked : UIItem {
  static inline UInt32 keys = 0;  ///< a hit on a key-0 item is never read back
  Tracked(SInt32 min, SInt32 max, void (UIItem::*f)(SInt16, UInt32), SInt16 n, UIItem* inFollow = nullptr)
      : UIItem(++keys, min, max), factory(f), number(n), follow(inFollow) {}
  void Resume() override { (this->*factory)(number, kSig); }
  void TouchSelf() override { ++touches; }
  void SetSelf() override { ++changes; }
  void ChangedOther() override {
    seen.push_back({follow->object->value, GetControlValue(static_cast<UIControl*>(presentation)->control)});
    resFile = CurResFile();
    Assign(follow->object->value);
  }
  void (UIItem::*factory)(SInt16, UInt32);
  SInt16 number;
  UIItem* follow;
  int touches = 0, changes = 0, resFile = 0;
  std::vector<std::pair<SInt32, SInt32>> seen;
};

struct Pane : UISystem {
  void New() override {
    radio = new Tracked(0, 4, &UIItem::SetRadio, kRadio);
    slider = new Tracked(-32768, 32767, &UIItem::SetSlider, kSlider);
    arrows = new Tracked(-32768, 32767, &UIItem::SetLittleArrow, kArrows);
    wide = new Tracked(-32768, 32767, &UIItem::SetLittleArrow, kWideArrows);
    follower = new Tracked(0, 100, &UIItem::SetControl, kFollower, slider);
    follower->AppendDependency(slider);
  }
  Tracked *radio, *slider, *arrows, *wide, *follower;
};

class TrackingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = host::LoadLayoutText(kLayout, "", nullptr);
    sys = NewIPP([]() -> void* { return static_cast<UISystem*>(new Pane); });
    ResumeIPP(sys, kBase, window);
  }
  void TearDown() override { FreeIPP(sys), host::DestroyWindow(window); }
  Pane& P() { return *static_cast<Pane*>(static_cast<UISystem*>(sys)); }
  ControlRef C(SInt16 number) { return host::FindControl(window, "TRAK", number); }
  /// A hit as the print dialog delivers it: ActionIPP, then ThreadIPP; answers the hit.
  SInt16 Hit(SInt16 hit) {
    ActionIPP(sys, &hit);
    ThreadIPP(sys, &hit);
    return hit;
  }
  /// Per button 20, 21, 22, 24: `probe` of the control as '0' or '1'.
  template <class Probe>
  std::string Buttons(Probe probe) {
    std::string s;
    for (SInt16 n : {20, 21, 22, 24}) s += char('0' + probe(C(n)));
    return s;
  }
  WindowRef window = nullptr;
  void* sys = nullptr;
};

TEST_F(TrackingTest, RadioGroupTakesTheHitButtonsValueAndDimsButtons) {
  for (auto [button, value, on] : {std::tuple{22, 2, "0010"}, {24, 4, "0001"}, {20, 0, "1000"}}) {
    SCOPED_TRACE(button);
    EXPECT_EQ(Hit(host::Click(C(button))), kBase + kRadio) << "the hit becomes the first button";
    EXPECT_EQ(P().radio->object->value, value);
    EXPECT_EQ(Buttons(GetControlValue), on) << "the hit button alone is on";
  }
  P().radio->Assign(3);
  Hit(0);
  EXPECT_EQ(Buttons(GetControlValue), "0000") << "value 3 has no button: every button off";
  P().radio->GetValue();
  EXPECT_EQ(P().radio->object->value, 0) << "no button on reads as 0";
  P().radio->EnDisableItem(2, 0);
  EXPECT_EQ(Buttons(IsControlEnabled), "1011") << "entry 2 is the button for value 1";
  P().radio->Hilite(255);
  EXPECT_EQ(Buttons(IsControlEnabled), "0000");
  P().radio->SetRange(2, 4);
  EXPECT_EQ(P().radio->object->value, 2) << "a value below the new range takes its minimum";
}

TEST_F(TrackingTest, SliderDragUpdatesTheDependentAtEveryStepUnderItsResourceFile) {
  SInt16 captured = host::CreateResourceFile("captured");
  P().slider->SetSlider(kSlider, kSig);
  SInt16 later = host::CreateResourceFile("later");
  EXPECT_EQ(Hit(host::DragSlider(C(kSlider), {0, 10, 20, 20, 35, 50, 120})), kBase + kSlider);
  // Each value the dependent saw, with what its control showed then: the
  // refresh of one step reached the control before the next step.
  EXPECT_EQ(P().follower->seen, (std::vector<std::pair<SInt32, SInt32>>{
                                    {0, 0}, {10, 0}, {20, 10}, {35, 20}, {50, 35}, {100, 50}}));
  EXPECT_EQ(P().slider->changes, 6) << "one change per step that moved the thumb, none at the end";
  EXPECT_EQ(std::pair(P().follower->resFile, int(CurResFile())), std::pair(int(captured), int(later)))
      << "each step runs under the resource file of the binding; the former one is restored";
  CloseResFile(later), CloseResFile(captured);
}

TEST_F(TrackingTest, LittleArrowsStepEachRepeatAndStopAtTheEnds) {
  for (auto [control, start, part, repeats, end, moved] :
       {std::tuple{kArrows, 8, 20, 5, 10, 2}, {kArrows, 2, 21, 4, 0, 2},
        {kWideArrows, 32765, 20, 4, 32767, 2}, {kWideArrows, -32767, 21, 3, -32768, 1}}) {
    SCOPED_TRACE(testing::Message() << start << " part " << part << " x" << repeats);
    Tracked& item = control == kArrows ? *P().arrows : *P().wide;
    item.Assign(start);
    Hit(0);
    item.touches = item.changes = 0;
    Hit(host::HoldLittleArrows(C(control), SInt16(part), repeats));
    EXPECT_EQ(item.object->value, end);
    EXPECT_EQ(item.touches, repeats + 1) << "one action cycle per repeat, then the final hit";
    EXPECT_EQ(item.changes, moved) << "a repeat at the end changes nothing";
  }
  P().arrows->touches = P().arrows->changes = 0;
  InvokeControlActionUPP(C(kArrows), kControlIndicatorPart, GetControlAction(C(kArrows)));
  EXPECT_EQ(std::pair(P().arrows->touches, P().arrows->changes), std::pair(1, 0))
      << "another part runs the cycle on the unchanged value";
}

TEST_F(TrackingTest, FactoriesReleaseTheirProceduresAlsoWhenAllocationFails) {
  for (Tracked* item : {P().radio, P().slider, P().arrows}) {
    SCOPED_TRACE(item->number);
    size_t live = host::LiveProcedureHandles();
    EXPECT_GT(testing_support::SweepAllocationFailures([&](testing_support::FaultRun& run) {
      bool threw = false;
      run.Arm();
      try {
        item->Resume();
      } catch (const LException&) {
        threw = true;
      }
      run.Disarm();
      EXPECT_EQ(item->presentation == nullptr, threw) << "a failed factory leaves no presentation";
      if (threw) item->Resume();
      Hit(0);
      EXPECT_EQ(host::LiveProcedureHandles(), live);
    }), 0);
  }
  P().slider->SetRefCon(7);
  EXPECT_EQ(GetControlReference(C(kSlider)), SRefCon(&static_cast<UISlider*>(P().slider->presentation)->record))
      << "SetRefCon leaves the tracking record in place";
}

}  // namespace
