// A pane for the picture and preview presentations: user panes and an image
// well, the example picture resources, and items bound by a function of each.
#pragma once

#include <functional>
#include <vector>

#include "FaultSweep.h"
#include "toolbox/host.h"
#include "velkui/interpreter.h"
#include "velkui/presentations.h"

namespace picturepane {

using namespace velkui;

constexpr UInt32 kSig = FOUR_CHAR_CODE("PICS");
constexpr SInt16 kPhoto = 128, kScaledPhoto = 129, kSeries = 2000;
/// Control numbers: a 300 x 200 pane at (10, 10), a 48 x 48 pane, an image
/// well, a pane reaching below its parent pane, a 105 x 70 pane, none.
enum : SInt16 { kPane = 1, kSmall, kWell, kParent, kLow, kThumb, kMissing = 40 };
constexpr MonxInfo kNeutral = {0, 0, 180, 0, 0, 0, 0, 0, 0};
constexpr UInt32 kBackground = 0xFFECECEC;

const char* const kLayout = R"({"window": {"title": "pics", "width": 420, "height": 300},
  "controls": [
    {"kind": "upan", "id": "PICS:1", "bounds": [10, 10, 210, 310]},
    {"kind": "upan", "id": "PICS:2", "bounds": [220, 10, 268, 58]},
    {"kind": "well", "id": "PICS:3", "bounds": [220, 70, 276, 126], "picture": "swatch.png"},
    {"kind": "upan", "id": "PICS:4", "bounds": [220, 140, 260, 260], "controls": [
      {"kind": "upan", "id": "PICS:5", "bounds": [230, 150, 280, 250]}]},
    {"kind": "upan", "id": "PICS:6", "bounds": [220, 300, 290, 405]}]})";

/// A pane of one item (range 1 to 3).
class PictureSystem : public UISystem {
 public:
  void New() override {
    item = new UIItem(0, 1, 3);
    if (setup) setup(*item);
  }
  void Resume() override { bind(*item); }
  static inline std::function<void(UIItem&)> setup, bind;  ///< in New; in Resume
  UIItem* item = nullptr;                                  ///< owned by the system
};

class PicturePaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_GT(toolbox::host::OpenResourceFolder(VELKUI_SOURCE_DIR "/examples/resources", &error), 0)
        << error;
    window = toolbox::host::LoadLayoutText(kLayout, VELKUI_SOURCE_DIR "/examples/layouts", &error);
    ASSERT_NE(window, nullptr) << error;
  }
  void Show(std::function<void(UIItem&)> setup, std::function<void(UIItem&)> bind) {
    PictureSystem::setup = std::move(setup);
    PictureSystem::bind = std::move(bind);
    sys = NewIPP([]() -> void* { return static_cast<UISystem*>(new PictureSystem); });
    ASSERT_NE(sys, nullptr);
    StartIPP(sys);
    ResumeIPP(sys, 100, window);
  }
  void TearDown() override {
    if (sys) SuspendIPP(sys), EndIPP(sys), FreeIPP(sys);
    toolbox::host::DestroyWindow(window);
    toolbox::host::ResetResources();
  }
  UIItem& Item() { return *static_cast<PictureSystem*>(static_cast<UISystem*>(sys))->item; }
  ControlRef Control(SInt16 n) { return toolbox::host::FindControl(window, "PICS", n); }
  UInt32 Pixel(SInt16 h, SInt16 v) { return toolbox::host::PixelAt(window, h, v); }
  /// The share of the control's pixels that are `colour`: 1 all, 0 none.
  double Share(SInt16 n, UInt32 colour) {
    Rect b;
    GetControlBounds(Control(n), &b);
    int same = 0;
    for (SInt16 v = b.top; v < b.bottom; ++v)
      for (SInt16 h = b.left; h < b.right; ++h) same += Pixel(h, v) == colour;
    return double(same) / ((b.bottom - b.top) * (b.right - b.left));
  }
  /// Fails each allocation of `make` (a factory call) in turn; `check` judges
  /// the pane; once the presentation is removed no object may be left.
  template <class Make, class Check>
  void SweepFactory(Make make, Check check) {
    make();  // the update queue keeps a block from now on
    Item().SetControl();
    using namespace toolbox::host;
    auto live = [] { return std::vector<size_t>{LiveGraphicsObjects(), LiveProcedureHandles(), LoadedResources()}; };
    const std::vector<size_t> before = live();
    testing_support::SweepAllocationFailures([&](testing_support::FaultRun& run) {
      RenderWindow(window);
      run.Arm();
      try { make(); } catch (const LException& e) { EXPECT_EQ(e.GetErrorCode(), kNilPointerErr); }
      run.Disarm();
      check();
      Item().SetControl();
      EXPECT_EQ(live(), before);
    });
  }

  WindowRef window = nullptr;
  void* sys = nullptr;
};

}  // namespace picturepane
