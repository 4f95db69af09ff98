// Pixel tests of drawing: inactive controls are dimmed, user panes draw through
// their procedure, image wells show pictures, windows save as PNG. That every kind
// leaves ink when shown and none when hidden is checked on the sample layout.
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
  /// The darkest grey level (0..255) in the rectangle; 255 when it is all background.
  int Darkest(const Rect& r) {
    int darkest = 255;
    for (SInt16 v = r.top; v < r.bottom; ++v)
      for (SInt16 h = r.left; h < r.right; ++h) {
        UInt32 p = PixelAt(window, h, v);
        int grey = int((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) / 3;
        if (p != kBackground) darkest = std::min(darkest, grey);
      }
    return darkest;
  }
};

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
  int inactive = Darkest(inactiveRect);
  EXPECT_TRUE(inactive > 120 && inactive < 255) << inactive << ": inactive text is pale but still drawn";
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
