// Pixel tests of drawing: hidden controls draw nothing, inactive ones are
// dimmed, popups show their entry, user panes draw through their procedure,
// pictures scale, masks copy, text widths match what is drawn.
#include <algorithm>
#include <cstdio>
#include <fstream>

#include "WindowFixture.h"
#include "toolbox/memory.h"
#include "toolbox/resources.h"

namespace {

using namespace windowtest;
using toolbox::host::PixelAt;

constexpr UInt32 kBackground = 0xFFECECEC;

class RenderTest : public WindowTest {
 protected:
  void TearDown() override {
    toolbox::host::ResetResources();
    WindowTest::TearDown();
  }
  /// Calls `f(h, pixel)` for every pixel of the rectangle.
  template <class F>
  void Scan(const Rect& r, F f) {
    for (SInt16 v = r.top; v < r.bottom; ++v)
      for (SInt16 h = r.left; h < r.right; ++h) f(h, PixelAt(window, h, v));
  }
  /// Pixels of the rectangle that differ from the window background.
  int InkIn(const Rect& r) {
    int ink = 0;
    Scan(r, [&](int, UInt32 p) { ink += p != kBackground; });
    return ink;
  }
  /// The darkest grey level (0..255) in the rectangle.
  int Darkest(const Rect& r) {
    int darkest = 255;
    Scan(r, [&](int, UInt32 p) {
      darkest = std::min<int>(darkest, int((((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3));
    });
    return darkest;
  }
};

TEST_F(RenderTest, EveryKindDrawsSomethingAndAHiddenControlDrawsNothing) {
  toolbox::host::RenderWindow(window);
  EXPECT_EQ(InkIn(Rect{0, 0, 120, 200}), 0) << "an empty window is its background";
  EXPECT_EQ(PixelAt(window, 500, 5), 0u) << "outside the window";
  for (const char* kind : {"push", "bevl", "cbox", "rdio", "popb", "etxt", "eutx", "stxt",
                           "larr", "sldr", "well", "cdef"}) {
    SCOPED_TRACE(kind);
    ControlSpec spec;
    spec.title = spec.text = "Ab";
    spec.menu = {{"Ab"}};
    spec.value = 1;
    Rect r{20, 20, 44, 120};
    ControlRef c = Add(toolbox::host::KindCode(kind), 1, r, nullptr, spec);
    toolbox::host::RenderWindow(window);
    EXPECT_GT(InkIn(r), 20) << "a shown control leaves ink";
    HideControl(c);
    toolbox::host::RenderWindow(window);
    EXPECT_EQ(InkIn(Rect{0, 0, 120, 200}), 0) << "a hidden control draws nothing at all";
    toolbox::host::DestroyWindow(window);
    window = toolbox::host::MakeWindow("test", 200, 120);
  }
}

TEST_F(RenderTest, InactiveControlsAreDimmed) {
  ControlSpec spec;
  spec.title = "Borderless";
  spec.value = 1;
  Rect activeRect{10, 10, 30, 190}, inactiveRect{50, 10, 70, 190};
  Add(Code("cbox"), 1, activeRect, nullptr, spec);
  spec.active = false;
  Add(Code("cbox"), 2, inactiveRect, nullptr, spec);
  toolbox::host::RenderWindow(window);
  EXPECT_LT(Darkest(activeRect), 60) << "active text is near black";
  EXPECT_GT(Darkest(inactiveRect), 120) << "inactive text is pale";
  EXPECT_GT(InkIn(inactiveRect), 0) << "but still drawn";
}

int gDrawCalls = 0;
void DrawRed(ControlRef control, SInt16 part) {
  ++gDrawCalls;
  Rect r;
  GetControlBounds(control, &r);
  GrafPtr port = nullptr;
  GetPort(&port);
  EXPECT_EQ(port, GetWindowPort(GetControlOwner(control))) << "drawn in the window's port";
  RGBColor red{0xFFFF, 0, 0};
  RGBForeColor(&red);
  PaintRect(&r);
}

TEST_F(RenderTest, UserPanesDrawThroughTheirProcedure) {
  Rect r{20, 20, 40, 60};
  ControlRef pane = Add(Code("upan"), 1, r);
  ControlUserPaneDrawUPP draw = NewControlUserPaneDrawUPP(DrawRed);
  ASSERT_EQ(SetControlData(pane, 0, Code("draw"), sizeof(draw), &draw), noErr);
  gDrawCalls = 0;
  toolbox::host::RenderWindow(window);
  EXPECT_EQ(gDrawCalls, 1);
  EXPECT_EQ(PixelAt(window, 30, 30), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(window, 70, 30), kBackground) << "only the pane's rectangle";
  HideControl(pane);
  toolbox::host::RenderWindow(window);
  EXPECT_EQ(gDrawCalls, 1) << "a hidden pane's procedure is not called";
  DisposeControlUserPaneDrawUPP(draw);
}

TEST_F(RenderTest, SaveWindowPNGWritesAFileOrSaysWhyNot) {
  std::string path = std::string(VELKUI_BINARY_DIR) + "/render_test.png";
  std::string error;
  EXPECT_TRUE(toolbox::host::SaveWindowPNG(window, path, &error)) << error;
  char magic[4] = {};
  std::ifstream(path, std::ios::binary).read(magic, 4);
  EXPECT_EQ(std::string(magic + 1, 3), "PNG") << "the file is a PNG";
  std::remove(path.c_str());
  EXPECT_FALSE(toolbox::host::SaveWindowPNG(window, "/nonexistent/dir/x.png", &error));
  EXPECT_FALSE(error.empty());
}

TEST_F(RenderTest, ImageWellsAndGetPictureShowPicturesFromHandlesAndResources) {
  ControlSpec spec;
  spec.picture = toolbox::host::MakeSolidPicture(8, 8, 0x0000FF);
  ASSERT_NE(spec.picture, nullptr);
  Add(Code("well"), 2, Rect{70, 10, 120, 60}, nullptr, spec);
  PicHandle solid = toolbox::host::MakeSolidPicture(6, 6, 0xFF8000);
  Handle h = reinterpret_cast<Handle>(solid);
  std::vector<uint8_t> data(*h, *h + GetHandleSize(h));
  KillPicture(solid);
  SInt16 file = toolbox::host::CreateResourceFile("pictures");
  ASSERT_TRUE(toolbox::host::AddResource(file, FOUR_CHAR_CODE("PICT"), 2001, "", data));

  spec.picture = nullptr;
  spec.pictureResource = 2001;
  Add(Code("well"), 1, Rect{10, 10, 60, 60}, nullptr, spec);
  toolbox::host::RenderWindow(window);
  EXPECT_EQ(PixelAt(window, 35, 35), 0xFFFF8000u) << "resource 2001 drawn in the well";
  EXPECT_EQ(PixelAt(window, 35, 95), 0xFF0000FFu) << "the picture fills the well's middle";

}

}  // namespace
