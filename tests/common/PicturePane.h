// A pane for the picture and preview presentations: user panes and an image
// well, the example picture resources, and items bound by a function of each.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "toolbox/host.h"
#include "velkui/interpreter.h"
#include "velkui/presentations.h"

namespace picturepane {

using namespace velkui;

constexpr UInt32 kSig = FOUR_CHAR_CODE("PICS");
constexpr SInt16 kBase = 100;
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

/// One item: its range, how the pane's Resume binds it, what New does to it.
struct Plan {
  SInt32 min, max;
  std::function<void(UIItem&)> bind, setup;
};

inline std::vector<Plan>& NextPlans() {
  static std::vector<Plan> plans;
  return plans;
}

class PictureSystem : public UISystem {
 public:
  void New() override {
    for (const Plan& p : NextPlans()) {
      items.push_back(new UIItem(0, p.min, p.max));
      if (p.setup) p.setup(*items.back());
    }
  }
  void Resume() override {
    for (size_t i = 0; i < items.size(); ++i) NextPlans()[i].bind(*items[i]);
  }
  std::vector<UIItem*> items;  ///< owned by the system
};

class PicturePaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    resFile = toolbox::host::OpenResourceFolder(VELKUI_SOURCE_DIR "/examples/resources", &error);
    ASSERT_GT(resFile, 0) << error;
    window = toolbox::host::LoadLayoutText(kLayout, VELKUI_SOURCE_DIR "/examples/layouts", &error);
    ASSERT_NE(window, nullptr) << error;
  }
  void Show(std::vector<Plan> plans) {
    NextPlans() = std::move(plans);
    sys = NewIPP([]() -> void* { return static_cast<UISystem*>(new PictureSystem); });
    ASSERT_NE(sys, nullptr);
    StartIPP(sys);
    ResumeIPP(sys, kBase, window);
  }
  void TearDown() override {
    if (sys) {
      SuspendIPP(sys);
      EndIPP(sys);
      FreeIPP(sys);
    }
    toolbox::host::DestroyWindow(window);
    toolbox::host::ResetResources();
  }
  /// A fresh pane, as a new test would get.
  void Reset() {
    TearDown();
    sys = nullptr;
    SetUp();
  }
  UIItem& Item(size_t i) { return *static_cast<PictureSystem*>(static_cast<UISystem*>(sys))->items.at(i); }
  ControlRef Control(SInt16 n) { return toolbox::host::FindControl(window, "PICS", n); }
  UInt32 Pixel(SInt16 h, SInt16 v) { return toolbox::host::PixelAt(window, h, v); }
  /// True when every pixel of the control's rectangle is `colour`.
  bool Filled(SInt16 n, UInt32 colour) {
    Rect b;
    GetControlBounds(Control(n), &b);
    for (SInt16 v = b.top; v < b.bottom; ++v)
      for (SInt16 h = b.left; h < b.right; ++h)
        if (Pixel(h, v) != colour) return false;
    return true;
  }
  /// Live objects whose count must come back after a presentation is gone.
  std::vector<size_t> LiveObjects() {
    return {toolbox::host::LiveGraphicsObjects(), toolbox::host::LiveProcedureHandles(),
            toolbox::host::LoadedResources()};
  }

  SInt16 resFile = 0;
  WindowRef window = nullptr;
  void* sys = nullptr;
};

}  // namespace picturepane
