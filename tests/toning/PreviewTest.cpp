// The toning preview presentation: the pane shows the engine's output for the
// decoded picture, redraws only when it must, and survives set-up failures.
#include <cstring>
#include <tuple>

#include "PicturePane.h"

namespace picturepane {
namespace {

class PreviewTest : public PicturePaneTest {
 protected:
  /// A preview of the photograph on the large pane, the neutral record set before the pane is shown.
  void ShowPreview() {
    Show([](UIItem& i) { i.SetMONXPreviewParam(kNeutral); }, [](UIItem& i) { i.SetMONXPreview(kPane, kPhoto, kSig); });
  }
  MONXPreviewRef& Ref() { return dynamic_cast<UIMONXPreview&>(*Item().presentation).ref; }
  /// Pane pixels (1:1 from the pane's corner) unlike the engine's output for
  /// `info` over the preview's source bitmap.
  int Mismatches(const MonxInfo& info) {
    const MonxImageDesc& d = Ref().image;
    std::vector<UInt8> bitmap(size_t(d.rowBytes * d.height));
    UIHdl* engine = nullptr;
    EXPECT_EQ(UICreateMonx(&d, Ref().sourceData, &engine), 0);
    EXPECT_EQ(UIProcMonx(engine, &info, &d, bitmap.data()), 0);
    UIDeleteMonx(engine);
    int wrong = 0;
    for (SInt32 y = 0; y < d.height; ++y)
      for (SInt32 x = 0; x < d.width; ++x) {
        const UInt8* p = &bitmap[y * d.rowBytes + x * 4];
        wrong += Pixel(SInt16(10 + x), SInt16(10 + y)) != (0xFF000000u | p[1] << 16 | p[2] << 8 | p[3]);
      }
    return wrong;
  }
};

TEST_F(PreviewTest, PaneShowsEngineOutputUnderEachRecordTonedOnlyByFullRedraws) {
  ShowPreview();
  ASSERT_EQ(std::pair(Ref().image.width, Ref().image.format), (std::pair<SInt32, SInt32>(300, kMonxFormatXRGB)))
      << "300 wide, XRGB";
  EXPECT_EQ(Mismatches(kNeutral), 0);
  for (const MonxInfo& info : {MonxInfo{40, 60, 200, 5, 10, -5, 5, -10, 0},
                               MonxInfo{-75, -20, 140, -10, 25, 10, -25, -50, 1}}) {
    SCOPED_TRACE(info.colorX);
    Item().SetMONXPreviewParam(info);
    EXPECT_EQ(Mismatches(info), 0);
  }
  // A record set while hidden is toned by the first update once shown again.
  const MonxInfo late{0, 0, 220, 10, -10, 0, 0, -20, 0};
  Item().Show(false);
  Item().SetMONXPreviewParam(late);
  Item().Show(true);
  Item().Update();
  EXPECT_EQ(Mismatches(late), 0);
  auto* preview = static_cast<UInt8*>(Ref().previewBuffer);
  std::memset(preview, 0x11, size_t(Ref().image.rowBytes * Ref().image.height));
  Item().Update();  // a partial draw, parameters unchanged
  EXPECT_EQ(preview[1], 0x11) << "toned again without a change";
  toolbox::host::RenderWindow(window);  // the host's draw: part 0
  EXPECT_NE(preview[1], 0x11) << "a full redraw must tone";
  EXPECT_EQ(preview[0], 0x11) << "the pad byte was written";
  Item().SetControl();  // the presentation goes: the control forgets its record
  EXPECT_EQ(GetControlReference(Control(kPane)), 0);
}

TEST_F(PreviewTest, HiddenLowAndUnpicturedPanesStayBlankOthersInactiveA144DpiPictureIsScaled) {
  ShowPreview();
  struct Case { SInt16 control, picture; bool visible, setUp; } cases[] = {
      {kPane, kPhoto, false, true}, {kLow, kPhoto, true, true}, {kPane, 7000, true, false},
      {kWell, kPhoto, true, false}, {kMissing, kPhoto, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    Item().SetMONXPreview(c.control, c.picture, kSig);
    Item().Show(c.visible);
    EXPECT_EQ(Ref().engine != nullptr, c.setUp);
    toolbox::host::RenderWindow(window);  // the draw procedure, part 0
    Item().SetMONXPreviewParam(kNeutral);
    EXPECT_TRUE((c.control != kPane && c.control != kLow) || Share(c.control, kBackground) == 1);
  }
  // A picture at 144 dpi gives twice its frame in pixels, scaled into the pane.
  Item().SetMONXPreview(kThumb, kScaledPhoto, kSig);
  Item().SetMONXPreviewParam(kNeutral);
  EXPECT_EQ(std::tuple(600, 400, 2400), std::tuple(Ref().image.width, Ref().image.height, Ref().image.rowBytes));
  EXPECT_LT(Share(kThumb, kBackground), 0.01);
}

TEST_F(PreviewTest, SetUpFailuresLeaveABlankPaneAndNoLeak) {
  ShowPreview();
  SweepFactory([&] { Item().SetMONXPreview(kPane, kPhoto, kSig); }, [&] {
    Item().SetMONXPreviewParam(kNeutral);
    auto* made = dynamic_cast<UIMONXPreview*>(Item().presentation);
    EXPECT_TRUE((made != nullptr && made->drawProc != nullptr) || Share(kPane, kBackground) == 1);
  });
}

}  // namespace
}  // namespace picturepane
