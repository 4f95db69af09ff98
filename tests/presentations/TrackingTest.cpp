// Radio groups, sliders and little arrows driven through the host face as a
// user would: clicks, drags and held arrows, with a dependent item following.
#include <cstdlib>
#include <functional>
#include <string>

#include "FaultSweep.h"
#include "toolbox/host.h"
#include "toolbox/resources.h"
#include "velkui/presentations.h"

namespace {

using namespace velkui;
namespace host = toolbox::host;

constexpr UInt32 kSig = FOUR_CHAR_CODE("TRAK");
constexpr SInt16 kBase = 100;
enum : SInt16 { kRadio = 20, kSlider = 30, kArrows, kWideArrows, kFollower, kBigRadio = 40 };

/// Radio buttons 20, 21, 22 and 24 (23 is missing), 40 to 79 far off the pane;
/// a slider, a follower slider, little arrows on 0..10 and on the full 16 bits.
std::string Layout() {
  std::string c = R"({"kind":"sldr","id":"TRAK:30","bounds":[130,10,150,210],"max":100,"value":40},
    {"kind":"larr","id":"TRAK:31","bounds":[160,10,184,24],"max":10,"value":5},
    {"kind":"larr","id":"TRAK:32","bounds":[160,40,184,54],"min":-32768,"max":32767},
    {"kind":"sldr","id":"TRAK:33","bounds":[190,10,210,210],"max":100})";
  auto button = [&](int id, int top, int left) {
    c += R"(,{"kind":"rdio","id":"TRAK:)" + std::to_string(id) + R"(","title":"Value )" +
         std::to_string(id % 20) + R"(","bounds":[)" + std::to_string(top) + "," +
         std::to_string(left) + "," + std::to_string(top + 20) + "," + std::to_string(left + 150) + "]}";
  };
  for (int k : {0, 1, 2, 4}) button(kRadio + k, 10 + 22 * k, 10);
  for (int k = 0; k < 40; ++k) button(kBigRadio + k, 10, 9000);
  return R"({"window":{"title":"tracking","width":240,"height":220,"base":100},"controls":[)" + c + "]}";
}

/// An item that binds itself on Resume and counts what the system tells it.
struct Tracked : UIItem {
  static inline UInt32 keys = 0;  ///< a hit on a key-0 item is never read back
  Tracked(SInt32 min, SInt32 max, std::function<void(Tracked&)> inBind, UIItem* inFollow = nullptr)
      : UIItem(++keys, min, max), bind(std::move(inBind)), follow(inFollow) {}
  void Resume() override { bind(*this); }
  void Dependency() override {
    if (follow) AppendDependency(follow);
  }
  void TouchSelf() override { ++touches; }
  void SetSelf() override { ++changes; }
  /// Records the followed value, what its own control showed then and the resource file.
  void ChangedOther() override {
    seen.push_back(follow->object->value);
    shown.push_back(GetControlValue(static_cast<UIControl*>(presentation)->control));
    resFiles.push_back(CurResFile());
    Assign(follow->object->value);
  }
  std::function<void(Tracked&)> bind;
  UIItem* follow;
  int touches = 0, changes = 0;
  std::vector<SInt32> seen, shown, resFiles;
};

struct Pane : UISystem {
  void New() override {
    radio = new Tracked(0, 4, [](Tracked& i) { i.SetRadio(kRadio, kSig); });
    bigRadio = new Tracked(0, 39, [](Tracked& i) { i.SetRadio(kBigRadio, kSig); });
    slider = new Tracked(-32768, 32767, [](Tracked& i) { i.SetSlider(kSlider, kSig); });
    arrows = new Tracked(-32768, 32767, [](Tracked& i) { i.SetLittleArrow(kArrows, kSig); });
    wide = new Tracked(-32768, 32767, [](Tracked& i) { i.SetLittleArrow(kWideArrows, kSig); });
    follower = new Tracked(0, 100, [](Tracked& i) { i.SetControl(kFollower, kSig); }, slider);
  }
  Tracked *radio, *bigRadio, *slider, *arrows, *wide, *follower;
};

class TrackingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    window = host::LoadLayoutText(Layout(), "", &error);
    ASSERT_NE(window, nullptr) << error;
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
  std::string Buttons() {
    std::string on;
    for (SInt16 n : {20, 21, 22, 24}) on += std::to_string(GetControlValue(C(n)));
    return on;
  }
  WindowRef window = nullptr;
  void* sys = nullptr;
};

TEST_F(TrackingTest, RadioHitOnAnyButtonGivesThatButtonsValue) {
  for (auto [button, value, on] : {std::tuple{22, 2, "0010"}, {24, 4, "0001"}, {20, 0, "1000"}}) {
    SCOPED_TRACE(button);
    EXPECT_EQ(Hit(host::Click(C(button))), kBase + kRadio) << "the hit becomes the first button";
    EXPECT_EQ(P().radio->object->value, value);
    EXPECT_EQ(Buttons(), on) << "the hit button alone is on";
  }
  P().radio->Assign(3);
  Hit(0);
  EXPECT_EQ(Buttons(), "0000") << "value 3 has no button: every button off";
  P().radio->GetValue();
  EXPECT_EQ(P().radio->object->value, 0) << "no button on reads as 0";
  for (auto [n, expected] : {std::pair{19, 1}, {20, 0}, {23, 0}, {24, 0}, {25, -1}})
    EXPECT_EQ(P().radio->CompareItemNo(SInt16(n)), expected) << "item number " << n;
}

TEST_F(TrackingTest, RadioMenuAdjustDimsButtons) {
  auto enabled = [&] {
    std::string e;
    for (SInt16 n : {20, 21, 22, 24}) e += IsControlEnabled(C(n)) ? '1' : '0';
    return e;
  };
  P().radio->EnDisableItem(2, 0);
  EXPECT_EQ(enabled(), "1011") << "entry 2 is the button for value 1";
  EXPECT_EQ(host::Click(C(21)), 0) << "a dimmed button takes no click";
  P().radio->Hilite(255);
  EXPECT_EQ(enabled(), "0000");
  P().radio->Hilite(0);
  EXPECT_EQ(enabled(), "1011");
  P().bigRadio->Hilite(255);
  for (SInt16 k = 0; k < 40; ++k)
    EXPECT_EQ(IsControlEnabled(C(kBigRadio + k)), k >= 32) << "only the first 32 buttons are adjusted";
  P().radio->SetRange(2, 4);
  EXPECT_EQ(P().radio->object->value, 2) << "a value below the new range takes its minimum";
}

TEST_F(TrackingTest, SliderDragUpdatesDependentsLiveUnderItsResourceFile) {
  Tracked& slider = *P().slider;
  SInt16 captured = host::CreateResourceFile("captured");
  slider.SetSlider(kSlider, kSig);
  SInt16 later = host::CreateResourceFile("later");
  SInt16 answer = host::DragSlider(C(kSlider), {0, 10, 20, 20, 35, 50, 120});
  EXPECT_EQ(P().follower->seen, (std::vector<SInt32>{0, 10, 20, 35, 50, 100}))
      << "one action cycle per step that moved the thumb";
  EXPECT_EQ(P().follower->shown, (std::vector<SInt32>{0, 0, 10, 20, 35, 50}))
      << "each step's refresh reached the dependent's control before the next step";
  EXPECT_EQ(P().follower->resFiles, std::vector<SInt32>(6, captured));
  EXPECT_EQ(CurResFile(), later) << "the resource file is restored after each step";
  int changes = slider.changes;
  EXPECT_EQ(Hit(answer), kBase + kSlider);
  EXPECT_EQ(slider.changes, changes) << "the hit that ends tracking changes nothing more";
  EXPECT_EQ(GetControlValue(C(kFollower)), 100);
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
    SInt16 answer = host::HoldLittleArrows(C(control), part, repeats);
    EXPECT_EQ(item.object->value, end);
    EXPECT_EQ(GetControlValue(C(control)), end);
    EXPECT_EQ(item.touches, repeats) << "one action cycle per repeat";
    EXPECT_EQ(item.changes, std::abs(end - start)) << "a repeat at the end changes nothing";
    Hit(answer);
    EXPECT_EQ(item.changes, std::abs(end - start));
  }
  P().arrows->touches = 0;
  InvokeControlActionUPP(C(kArrows), kControlIndicatorPart, GetControlAction(C(kArrows)));
  EXPECT_EQ(P().arrows->touches, 1) << "another part runs the cycle on the unchanged value";
  EXPECT_EQ(P().arrows->object->value, 0);
}

TEST_F(TrackingTest, ProceduresAreReleasedAndTheRecordKept) {
  auto* slider = static_cast<UISlider*>(P().slider->presentation);
  P().slider->SetRefCon(7);
  EXPECT_EQ(GetControlReference(C(kSlider)), SRefCon(&slider->record)) << "the record stays";
  EXPECT_EQ(slider->record.dialogItemNo, kBase + kSlider);
  size_t live = host::LiveProcedureHandles();
  for (int i = 0; i < 3; ++i) P().slider->SetSlider(kSlider, kSig);
  EXPECT_EQ(host::LiveProcedureHandles(), live) << "rebinding disposes of the former procedure";
  SuspendIPP(sys);
  EXPECT_EQ(host::LiveProcedureHandles(), live - 3) << "slider and two little arrows";
}

TEST_F(TrackingTest, FactoriesFailingToAllocateLeaveNoPresentation) {
  using Factory = void (UIItem::*)(SInt16, UInt32);
  for (auto [name, factory, item, number] :
       {std::tuple{"SetRadio", Factory(&UIItem::SetRadio), P().radio, kRadio},
        {"SetSlider", Factory(&UIItem::SetSlider), P().slider, kSlider},
        {"SetLittleArrow", Factory(&UIItem::SetLittleArrow), P().arrows, kArrows}}) {
    SCOPED_TRACE(name);
    size_t live = host::LiveProcedureHandles();
    int fired = testing_support::SweepAllocationFailures([&](testing_support::FaultRun& run) {
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
    });
    EXPECT_GT(fired, 0);
  }
}

TEST_F(TrackingTest, RenderedPaneShowsTheDrag) {
  const std::string dir = VELKUI_BINARY_DIR;
  Hit(host::Click(C(21)));
  host::RenderWindow(window);
  ASSERT_TRUE(host::SaveWindowPNG(window, dir + "/tracking-before.png", nullptr));
  UInt32 thumbBefore = host::PixelAt(window, 90, 140);
  host::DragSlider(C(kSlider), {50, 70, 90});
  Hit(host::Click(C(24)));
  host::RenderWindow(window);
  ASSERT_TRUE(host::SaveWindowPNG(window, dir + "/tracking-after.png", nullptr));
  EXPECT_NE(host::PixelAt(window, 90, 140), thumbBefore) << "the thumb left 40 for 90";
}

}  // namespace
