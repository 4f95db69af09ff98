// Radio groups, sliders and little arrows driven through the host face as a
// user would: clicks, drags and held arrows, with a dependent item following.
#include <cstdlib>
#include <functional>

#include "FaultSweep.h"
#include "toolbox/host.h"
#include "toolbox/resources.h"
#include "velkui/presentations.h"

namespace {

using namespace velkui;
namespace host = toolbox::host;

constexpr UInt32 kSig = FOUR_CHAR_CODE("TRAK");
enum : SInt16 { kBase = 100, kRadio = 20, kSlider = 30, kArrows, kWideArrows, kFollower };

const char* const kLayout = R"({"window":{"width":240,"height":220,"base":100},"controls":[
  {"kind":"rdio","id":"TRAK:20","bounds":[10,10,30,200]}, {"kind":"rdio","id":"TRAK:21","bounds":[32,10,52,200]},
  {"kind":"rdio","id":"TRAK:22","bounds":[54,10,74,200]}, {"kind":"rdio","id":"TRAK:24","bounds":[98,10,118,200]},
  {"kind":"sldr","id":"TRAK:30","bounds":[130,10,150,210],"max":100,"value":40},
  {"kind":"larr","id":"TRAK:31","bounds":[160,10,184,24],"max":10,"value":5},
  {"kind":"larr","id":"TRAK:32","bounds":[160,40,184,54],"min":-32768,"max":32767},
  {"kind":"sldr","id":"TRAK:33","bounds":[190,10,210,210],"max":100}]})";

using Factory = void (UIItem::*)(SInt16, UInt32);

/// An item bound on Resume by its factory; counts what the system tells it and,
/// following another item, records each value it sees with what its own
/// control showed then and the resource file current then.
struct Tracked : UIItem {
  static inline UInt32 keys = 0;  ///< a hit on a key-0 item is never read back
  Tracked(SInt32 min, SInt32 max, Factory f, SInt16 n, UIItem* inFollow = nullptr)
      : UIItem(++keys, min, max), factory(f), number(n), follow(inFollow) {}
  void Resume() override { (this->*factory)(number, kSig); }
  void Dependency() override {
    if (follow) AppendDependency(follow);
  }
  void TouchSelf() override { ++touches; }
  void SetSelf() override { ++changes; }
  void ChangedOther() override {
    seen.push_back(follow->object->value);
    shown.push_back(GetControlValue(static_cast<UIControl*>(presentation)->control));
    resFiles.push_back(CurResFile());
    Assign(follow->object->value);
  }
  Factory factory;
  SInt16 number;
  UIItem* follow;
  int touches = 0, changes = 0;
  std::vector<SInt32> seen, shown, resFiles;
};

struct Pane : UISystem {
  void New() override {
    radio = new Tracked(0, 4, &UIItem::SetRadio, kRadio);
    slider = new Tracked(-32768, 32767, &UIItem::SetSlider, kSlider);
    arrows = new Tracked(-32768, 32767, &UIItem::SetLittleArrow, kArrows);
    wide = new Tracked(-32768, 32767, &UIItem::SetLittleArrow, kWideArrows);
    follower = new Tracked(0, 100, &UIItem::SetControl, kFollower, slider);
  }
  Tracked *radio, *slider, *arrows, *wide, *follower;
};

class TrackingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = host::LoadLayoutText(kLayout, "", nullptr);
    sys = NewIPP([]() -> void* { return static_cast<UISystem*>(new Pane); });
    StartIPP(sys);
    ResumeIPP(sys, kBase, window);
  }
  void TearDown() override {
    SuspendIPP(sys);
    EndIPP(sys);
    FreeIPP(sys);
    host::DestroyWindow(window);
  }
  Pane& P() { return *static_cast<Pane*>(static_cast<UISystem*>(sys)); }
  ControlRef C(SInt16 number) { return host::FindControl(window, "TRAK", number); }
  /// A hit as the print dialog delivers it: ActionIPP, then ThreadIPP; answers the hit.
  SInt16 Hit(SInt16 hit) {
    ActionIPP(sys, &hit);
    SInt16 copy = hit;
    ThreadIPP(sys, &copy);
    return hit;
  }
  /// Per button 20, 21, 22, 24: `probe` of the control as '0' or '1'.
  std::string Buttons(std::function<int(ControlRef)> probe) {
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
  for (auto [n, expected] : {std::pair{19, 1}, {20, 0}, {23, 0}, {24, 0}, {25, -1}})
    EXPECT_EQ(P().radio->CompareItemNo(SInt16(n)), expected) << "item number " << n;
  P().radio->EnDisableItem(2, 0);
  EXPECT_EQ(Buttons(IsControlEnabled), "1011") << "entry 2 is the button for value 1";
  EXPECT_EQ(host::Click(C(21)), 0) << "a dimmed button takes no click";
  P().radio->Hilite(255);
  EXPECT_EQ(Buttons(IsControlEnabled), "0000");
  P().radio->Hilite(0);
  EXPECT_EQ(Buttons(IsControlEnabled), "1011");
  P().radio->SetRange(2, 4);
  EXPECT_EQ(P().radio->object->value, 2) << "a value below the new range takes its minimum";
}

TEST_F(TrackingTest, SliderDragUpdatesDependentsLiveUnderItsResourceFile) {
  SInt16 captured = host::CreateResourceFile("captured");
  P().slider->SetSlider(kSlider, kSig);
  SInt16 later = host::CreateResourceFile("later");
  SInt16 answer = host::DragSlider(C(kSlider), {0, 10, 20, 20, 35, 50, 120});
  EXPECT_EQ(P().follower->seen, (std::vector<SInt32>{0, 10, 20, 35, 50, 100}))
      << "one action cycle per step that moved the thumb";
  EXPECT_EQ(P().follower->shown, (std::vector<SInt32>{0, 0, 10, 20, 35, 50}))
      << "each step's refresh reached the dependent's control before the next step";
  EXPECT_EQ(P().follower->resFiles, std::vector<SInt32>(6, captured));
  EXPECT_EQ(CurResFile(), later) << "the former resource file is restored";
  int changes = P().slider->changes;
  EXPECT_EQ(Hit(answer), kBase + kSlider);
  EXPECT_EQ(P().slider->changes, changes) << "the hit that ends tracking changes nothing more";
  CloseResFile(later);
  CloseResFile(captured);
}

TEST_F(TrackingTest, LittleArrowsStepEachRepeatAndStopAtTheEnds) {
  struct Case { SInt16 control; SInt32 start; ControlPartCode part; int repeats; SInt32 end; };
  for (auto [control, start, part, repeats, end] : {Case{kArrows, 5, 20, 1, 6}, {kArrows, 8, 20, 5, 10},
           {kArrows, 2, 21, 4, 0}, {kWideArrows, 32765, 20, 4, 32767}, {kWideArrows, -32767, 21, 3, -32768}}) {
    SCOPED_TRACE(std::to_string(start) + (part == 20 ? " up x" : " down x") + std::to_string(repeats));
    Tracked& item = control == kArrows ? *P().arrows : *P().wide;
    item.Assign(start);
    Hit(0);
    item.touches = item.changes = 0;
    Hit(host::HoldLittleArrows(C(control), part, repeats));
    EXPECT_EQ(item.object->value, end);
    EXPECT_EQ(GetControlValue(C(control)), end);
    EXPECT_EQ(item.touches, repeats + 1) << "one action cycle per repeat, then the final hit";
    EXPECT_EQ(item.changes, std::abs(end - start)) << "a repeat at the end changes nothing";
  }
  P().arrows->touches = 0;
  InvokeControlActionUPP(C(kArrows), kControlIndicatorPart, GetControlAction(C(kArrows)));
  EXPECT_EQ(P().arrows->touches, 1) << "another part runs the cycle on the unchanged value";
  EXPECT_EQ(P().arrows->object->value, 0);
}

TEST_F(TrackingTest, FactoriesReleaseTheirProceduresAlsoWhenAllocationFails) {
  for (auto [factory, item, number] : {std::tuple{Factory(&UIItem::SetRadio), P().radio, kRadio},
                                       {Factory(&UIItem::SetSlider), P().slider, kSlider},
                                       {Factory(&UIItem::SetLittleArrow), P().arrows, kArrows}}) {
    SCOPED_TRACE(number);
    size_t live = host::LiveProcedureHandles();
    EXPECT_GT(testing_support::SweepAllocationFailures([&](testing_support::FaultRun& run) {
      bool threw = false;
      run.Arm();
      try {
        (item->*factory)(number, kSig);
      } catch (const LException&) {
        threw = true;
      }
      run.Disarm();
      EXPECT_EQ(item->presentation == nullptr, threw) << "a failed factory leaves no presentation";
      if (threw) (item->*factory)(number, kSig);
      Hit(0);
      EXPECT_EQ(host::LiveProcedureHandles(), live);
    }), 0);
  }
  auto* slider = static_cast<UISlider*>(P().slider->presentation);
  P().slider->SetRefCon(7);
  EXPECT_EQ(GetControlReference(C(kSlider)), SRefCon(&slider->record)) << "the record stays";
  size_t live = host::LiveProcedureHandles();
  SuspendIPP(sys);
  EXPECT_EQ(host::LiveProcedureHandles(), live - 3) << "slider and two little arrows";
}

}  // namespace
