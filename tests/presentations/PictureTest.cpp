// The picture presentation: a series of pictures drawn through their masks
// into a user pane, or switched in an image well, chosen by the item's value.
#include <cstdlib>

#include "FaultSweep.h"
#include "PicturePane.h"

namespace picturepane {
namespace {

/// Colours of the series' discs, and the backdrop their masks must hide.
constexpr UInt32 kDisc[] = {0xFF286EC8, 0xFF28A050, 0xFFD2781E};
constexpr UInt32 kBackdrop = 0xFFFF00FF;

class PictureTest : public PicturePaneTest {
 protected:
  void ShowPicture(SInt16 n, SInt16 base) {
    Show({{1, 3, [=](UIItem& i) { i.SetPicture(n, base, kSig); }, nullptr}});
  }
  void SetValue(SInt32 value) {
    Item(0).Assign(value);
    SInt16 hit = 0;
    ThreadIPP(sys, &hit);
  }
  bool Anywhere(SInt16 n, UInt32 colour) { return !Filled(n, colour) && !NoneOf(n, colour); }
  bool NoneOf(SInt16 n, UInt32 colour) {
    Rect b;
    GetControlBounds(Control(n), &b);
    for (SInt16 v = b.top; v < b.bottom; ++v)
      for (SInt16 h = b.left; h < b.right; ++h)
        if (Pixel(h, v) == colour) return false;
    return true;
  }
};

TEST_F(PictureTest, DrawnSeriesFollowsTheValueThroughItsMask) {
  ShowPicture(kSmall, kSeries);
  toolbox::host::RenderWindow(window);
  for (SInt32 value : {2, 3, 1}) {
    SCOPED_TRACE(value);
    SetValue(value);
    EXPECT_EQ(Pixel(15, 244), kDisc[value - 1]) << "the disc of the value's picture";
    EXPECT_EQ(Pixel(10, 220), kBackground) << "the background where the mask is clear";
    EXPECT_TRUE(NoneOf(kSmall, kBackdrop)) << "the mask let the backdrop through";
  }
  SetValue(0);  // picture 1999 does not exist: the pane keeps what it showed
  EXPECT_EQ(Pixel(15, 244), kDisc[0]);
  SetValue(3);
  toolbox::host::RenderWindow(window);  // the host draws through the draw procedure
  EXPECT_EQ(Pixel(15, 244), kDisc[2]);
  if (const char* dir = std::getenv("VELKUI_SNAPSHOTS"))
    toolbox::host::SaveWindowPNG(window, std::string(dir) + "/masked-picture.png", nullptr);
}

TEST_F(PictureTest, PictureWithoutMaskIsDrawnScaledIntoThePane) {
  ShowPicture(kSmall, kPhoto);
  EXPECT_FALSE(Anywhere(kSmall, kBackground));
  EXPECT_TRUE(Anywhere(kSmall, Pixel(12, 222)));
}

TEST_F(PictureTest, ImageWellShowsAndReportsTheValuesResource) {
  ShowPicture(kWell, kSeries);
  SetValue(3);
  ControlButtonContentInfo content;
  ASSERT_EQ(GetImageWellContentInfo(Control(kWell), &content), noErr);
  EXPECT_EQ(content.u.resID, kSeries + 2);
  content.u.resID = kSeries + 1;
  SetImageWellContentInfo(Control(kWell), &content);
  Item(0).GetValue();
  EXPECT_EQ(Item(0).object->value, 2);
}

TEST_F(PictureTest, ControlForgetsTheDestroyedPresentation) {
  ShowPicture(kSmall, kSeries);
  Item(0).SetControl();
  EXPECT_EQ(GetControlReference(Control(kSmall)), 0);
  toolbox::host::RenderWindow(window);
  EXPECT_TRUE(Filled(kSmall, kBackground));
}

TEST_F(PictureTest, FailedAllocationsLeaveNothingBehind) {
  ShowPicture(kSmall, kSeries);
  Item(0).SetPicture(kSmall, kSeries, kSig);  // the update queue keeps a block from now on
  Item(0).SetControl();
  toolbox::host::RenderWindow(window);
  const std::vector<size_t> live = LiveObjects();
  testing_support::SweepAllocationFailures([&](testing_support::FaultRun& run) {
    run.Arm();
    try {
      Item(0).SetPicture(kSmall, kSeries, kSig);
      Item(0).object->value = Item(0).object->value == 1 ? 2 : 1;
      Item(0).Update();  // draws the picture at once
    } catch (const LException& e) {
      EXPECT_EQ(e.GetErrorCode(), kNilPointerErr);
    }
    run.Disarm();
    Item(0).SetControl();
    EXPECT_EQ(LiveObjects(), live);
  });
}

}  // namespace
}  // namespace picturepane
