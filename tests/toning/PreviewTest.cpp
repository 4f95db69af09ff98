// The toning preview presentation: the pane shows the engine's output for the
// decoded picture, redraws only when it must, and survives set-up failures.
#include <cstdlib>
#include <cstring>

#include "FaultSweep.h"
#include "PicturePane.h"

namespace picturepane {
namespace {

class PreviewTest : public PicturePaneTest {
 protected:
  /// A preview of `picture` on control `n`, with `info` set before the pane is shown.
  void ShowPreview(SInt16 n, SInt16 picture, MonxInfo info, bool visible = true) {
    Show({{1, 3, [=](UIItem& i) { i.SetMONXPreview(n, picture, kSig); },
           [=](UIItem& i) { i.SetMONXPreviewParam(info); i.Show(visible); }}});
  }
  UIMONXPreview& Preview() { return *dynamic_cast<UIMONXPreview*>(Item(0).presentation); }
  /// The engine's output for `info` over the preview's own source bitmap.
  std::vector<UInt8> Toned(MonxInfo info) {
    const MONXPreviewRef& ref = Preview().ref;
    std::vector<UInt8> out(size_t(ref.image.rowBytes) * size_t(ref.image.height));
    UIHdl* engine = nullptr;
    EXPECT_EQ(UICreateMonx(&ref.image, ref.sourceData, &engine), 0);
    EXPECT_EQ(UIProcMonx(engine, &info, &ref.image, out.data()), 0);
    UIDeleteMonx(engine);
    return out;
  }
  /// Counts pane pixels that differ from pad-first pixels `bitmap` (1:1 at the pane's corner).
  int Mismatches(const std::vector<UInt8>& bitmap) {
    const MonxImageDesc& d = Preview().ref.image;
    int wrong = 0;
    for (SInt32 y = 0; y < d.height; ++y)
      for (SInt32 x = 0; x < d.width; ++x) {
        const UInt8* p = &bitmap[size_t(y * d.rowBytes + x * 4)];
        UInt32 want = 0xFF000000u | UInt32(p[1]) << 16 | UInt32(p[2]) << 8 | p[3];
        wrong += Pixel(SInt16(10 + x), SInt16(10 + y)) != want;
      }
    return wrong;
  }
};

TEST_F(PreviewTest, PaneShowsEngineOutputUnderEachRecord) {
  ShowPreview(kPane, kPhoto, kNeutral);
  const MONXPreviewRef& ref = Preview().ref;
  ASSERT_EQ(ref.image.width, 300);
  ASSERT_EQ(ref.image.format, kMonxFormatXRGB);
  auto source = static_cast<const UInt8*>(ref.sourceData);
  EXPECT_EQ(Mismatches({source, source + ref.image.rowBytes * ref.image.height}), 0)
      << "a neutral record must reproduce the picture";
  const MonxInfo records[] = {{40, 60, 200, 5, 10, -5, 5, -10, 0},
                              {-75, -20, 140, -10, 25, 10, -25, -50, 1}, {0, 75, 160, 0, 0, 0, 0, 0, 0}};
  for (const MonxInfo& info : records) {
    SCOPED_TRACE(info.colorX);
    Item(0).SetMONXPreviewParam(info);
    EXPECT_EQ(Mismatches(Toned(info)), 0);
    if (const char* dir = std::getenv("VELKUI_SNAPSHOTS"))
      toolbox::host::SaveWindowPNG(window, std::string(dir) + "/preview" + std::to_string(info.colorX) + ".png", nullptr);
  }
}

TEST_F(PreviewTest, RedrawsOnlyWhenItMust) {
  ShowPreview(kPane, kPhoto, {30, 30, 180, 0, 0, 0, 0, 0, 0});
  MONXPreviewRef& ref = Preview().ref;
  const size_t bytes = size_t(ref.image.rowBytes) * size_t(ref.image.height);
  std::memset(ref.previewBuffer, 0x11, bytes);
  Item(0).Update();  // a partial draw, parameters unchanged
  EXPECT_EQ(static_cast<UInt8*>(ref.previewBuffer)[1], 0x11) << "toned again without a change";
  toolbox::host::RenderWindow(window);  // the host's draw: part 0, a full redraw
  EXPECT_NE(static_cast<UInt8*>(ref.previewBuffer)[1], 0x11) << "a full redraw must tone";
  EXPECT_EQ(static_cast<UInt8*>(ref.previewBuffer)[0], 0x11) << "the pad byte was written";
}

TEST_F(PreviewTest, HiddenLowMissingAndWellPanesStayBlank) {
  struct Case { SInt16 control, picture; bool visible, setUp; } cases[] = {
      {kPane, kPhoto, false, true}, {kLow, kPhoto, true, true}, {kPane, 7000, true, false},
      {kWell, kPhoto, true, false}, {kMissing, kPhoto, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    ShowPreview(c.control, c.picture, kNeutral, c.visible);
    EXPECT_EQ(Preview().ref.engine != nullptr, c.setUp);
    Item(0).SetMONXPreviewParam(kNeutral);
    toolbox::host::RenderWindow(window);
    const bool pane = c.control == kPane || c.control == kLow;
    EXPECT_TRUE(!pane || Filled(c.control, kBackground));
    Reset();
  }
}

TEST_F(PreviewTest, PictureAt144DpiGivesTwiceItsFrameScaledIntoThePane) {
  ShowPreview(kThumb, kScaledPhoto, kNeutral);
  toolbox::host::RenderWindow(window);
  EXPECT_EQ(Preview().ref.image.width, 600);
  EXPECT_EQ(Preview().ref.image.height, 400);
  EXPECT_EQ(Preview().ref.image.rowBytes % 16, 0);
  EXPECT_NE(Pixel(350, 255), kBackground);
  EXPECT_EQ(Pixel(298, 255), kBackground);
}

TEST_F(PreviewTest, SetUpFailuresLeaveABlankPaneAndNoLeak) {
  ShowPreview(kPane, kPhoto, kNeutral);
  Item(0).SetMONXPreview(kPane, kPhoto, kSig);  // the update queue keeps a block from now on
  Item(0).SetControl();
  toolbox::host::RenderWindow(window);  // loads the image well's picture for good
  const std::vector<size_t> live = LiveObjects();
  testing_support::SweepAllocationFailures([&](testing_support::FaultRun& run) {
    toolbox::host::RenderWindow(window);
    run.Arm();
    try {
      Item(0).SetMONXPreview(kPane, kPhoto, kSig);
    } catch (const LException& e) {
      EXPECT_EQ(e.GetErrorCode(), kNilPointerErr);
    }
    run.Disarm();
    Item(0).SetMONXPreviewParam(kNeutral);
    auto* made = dynamic_cast<UIMONXPreview*>(Item(0).presentation);
    EXPECT_TRUE((made != nullptr && made->drawProc != nullptr) || Filled(kPane, kBackground));
    Item(0).SetControl();
    EXPECT_EQ(LiveObjects(), live);
  });
}

}  // namespace
}  // namespace picturepane
