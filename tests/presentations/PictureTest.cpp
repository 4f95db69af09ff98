// The picture presentation: a series of pictures drawn through their masks
// into a user pane, or switched in an image well, chosen by the item's value.
#include "PicturePane.h"

namespace picturepane {
namespace {

/// Colours of the series' discs; their masks must hide the magenta backdrop.
constexpr UInt32 kDisc[] = {0xFF286EC8, 0xFF28A050, 0xFFD2781E}, kBackdrop = 0xFFFF00FF;

class PictureTest : public PicturePaneTest {
 protected:
  void ShowPicture(SInt16 n, SInt16 base) {
    Show(nullptr, [=](UIItem& i) { i.SetPicture(n, base, kSig); });
  }
  /// The item's update: a drawn picture is drawn at once.
  void SetValue(SInt32 value) { Item().object->value = value, Item().Update(); }
};

TEST_F(PictureTest, DrawnSeriesFollowsTheValueThroughItsMaskAPhotographFillsThePane) {
  ShowPicture(kSmall, kSeries);
  const RGBColor red = {0xFFFF, 0, 0};  // what the pane held before: cleared by the drawing
  Rect area;
  SetPortWindowPort(window);
  RGBForeColor(&red);
  PaintRect(GetControlBounds(Control(kSmall), &area));
  const size_t worlds = toolbox::host::LiveGraphicsWorlds();
  const RGBColor blue = {0, 0, 0xFFFF};  // the port's background, restored after each drawing
  RGBBackColor(&blue);
  for (SInt32 value : {2, 3, 1}) {
    SCOPED_TRACE(value);
    SetValue(value);
    EXPECT_EQ(Pixel(15, 244), kDisc[value - 1]) << "the disc of the value's picture";
    EXPECT_EQ(Pixel(10, 220), kBackground) << "the background where the mask is clear";
    EXPECT_EQ(Share(kSmall, kBackdrop), 0) << "the mask let the backdrop through";
    EXPECT_EQ(toolbox::host::LiveGraphicsWorlds(), worlds) << "the drawing's worlds are given back";
    RGBColor back;
    GetBackColor(&back);
    EXPECT_EQ(back.blue - back.red, 0xFFFF) << "the port's background is restored";
  }
  SetValue(0);  // picture 1999 does not exist: the pane keeps what it showed
  EXPECT_EQ(Pixel(15, 244), kDisc[0]);
  SetValue(3);
  toolbox::host::RenderWindow(window);  // the host draws through the draw procedure
  EXPECT_EQ(Pixel(15, 244), kDisc[2]);
  Item().SetControl();  // the control forgets the procedure and the record
  EXPECT_EQ(GetControlReference(Control(kSmall)), 0);
  toolbox::host::RenderWindow(window);
  EXPECT_EQ(Share(kSmall, kBackground), 1);

  Item().SetPicture(kSmall, kPhoto, kSig);  // a picture without mask is drawn scaled into the pane
  SetValue(1);
  EXPECT_EQ(Share(kSmall, kBackground), 0);
  EXPECT_LT(Share(kSmall, Pixel(12, 222)), 0.5) << "one colour is no photograph";
}

TEST_F(PictureTest, ImageWellShowsAndReportsTheValuesResource) {
  ShowPicture(kWell, kSeries);
  SetValue(3);
  ControlButtonContentInfo content;
  ASSERT_EQ(GetImageWellContentInfo(Control(kWell), &content), noErr);
  EXPECT_EQ(content.u.resID, kSeries + 2);
  content.u.resID = kSeries + 1;
  SetImageWellContentInfo(Control(kWell), &content);
  Item().GetValue();
  EXPECT_EQ(Item().object->value, 2);
}

TEST_F(PictureTest, FailedAllocationsLeaveNothingBehind) {
  ShowPicture(kSmall, kSeries);
  SweepFactory([&] {
    Item().SetPicture(kSmall, kSeries, kSig);
    SetValue(Item().object->value == 1 ? 2 : 1);
  }, [] {});
}

}  // namespace
}  // namespace picturepane
