// Tests of the bitmap graphics calls: bitmap contexts on caller memory in the
// padded xRGB layout, pictures and images drawn upright, port contexts,
// provider release and reference counts.
#include <cstring>

#include "WindowFixture.h"
#include "toolbox/graphics.h"
#include "toolbox/memory.h"

namespace {

using namespace windowtest;

constexpr CGBitmapInfo kXRGB = kCGImageAlphaNoneSkipFirst;

class RenderGraphicsTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    objectsBefore_ = toolbox::host::LiveGraphicsObjects();
    space = CGColorSpaceCreateDeviceRGB();
  }
  void TearDown() override {
    CGColorSpaceRelease(space);
    EXPECT_EQ(toolbox::host::LiveGraphicsObjects(), objectsBefore_) << "graphics objects leaked";
    WindowTest::TearDown();
  }
  /// The picture data of a solid picture, as a 'PICT' resource holds it.
  std::vector<unsigned char> PictureBytes(SInt16 w, SInt16 h, UInt32 rgb) {
    PicHandle pic = toolbox::host::MakeSolidPicture(w, h, rgb);
    std::vector<unsigned char> bytes(*reinterpret_cast<Handle>(pic),
                                     *reinterpret_cast<Handle>(pic) +
                                         GetHandleSize(reinterpret_cast<Handle>(pic)));
    KillPicture(pic);
    return bytes;
  }
  CGColorSpaceRef space = nullptr;

 private:
  size_t objectsBefore_ = 0;
};

TEST_F(RenderGraphicsTest, PictureDrawsIntoPaddedXRGBRowsBottomUp) {
  std::vector<unsigned char> pict = PictureBytes(4, 4, 0xFF0000);
  CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, pict.data(), pict.size(), nullptr);
  QDPictRef picture = QDPictCreateWithProvider(provider);
  ASSERT_NE(picture, nullptr);
  std::vector<unsigned char> pixels(16 * 4, 0xAB);  // 3 pixels wide, rows of 16 bytes
  CGContextRef context = CGBitmapContextCreate(pixels.data(), 3, 4, 8, 16, space, kXRGB);
  ASSERT_NE(context, nullptr);
  CGContextClearRect(context, CGRect{{0, 0}, {3, 4}});
  EXPECT_EQ(pixels[0], 0) << "cleared";
  EXPECT_EQ(pixels[12], 0xAB) << "bytes past the last pixel of a row are not touched";
  ASSERT_EQ(QDPictDrawToCGContext(context, CGRect{{0, 0}, {3, 2}}, picture), noErr);
  const unsigned char* bottom = pixels.data() + 3 * 16;
  EXPECT_EQ(std::vector<unsigned char>(bottom + 1, bottom + 4), (std::vector<unsigned char>{0xFF, 0, 0}))
      << "y = 0 is the bottom row: red there";
  EXPECT_EQ(pixels[1], 0) << "the top row is outside the rectangle";
  EXPECT_EQ(CGBitmapContextGetBytesPerRow(context), 16u);
  EXPECT_EQ(CGBitmapContextGetBitsPerPixel(context), 32u);
  EXPECT_EQ(CGBitmapContextGetData(context), pixels.data());
  CGContextRelease(context);
  QDPictRelease(picture);
  CGDataProviderRelease(provider);
}

TEST_F(RenderGraphicsTest, PictureBoundsAndResolutionComeFromItsData) {
  std::vector<unsigned char> solid = PictureBytes(100, 50, 0);
  toolbox::host::PictureInfo info;
  ASSERT_TRUE(toolbox::host::ParsePictureData(solid.data(), solid.size(), &info));
  PicHandle pic = toolbox::host::MakePictureFromPNGBytes(info.png, 144, nullptr);
  ASSERT_NE(pic, nullptr);
  Handle h = reinterpret_cast<Handle>(pic);
  CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, *h, size_t(GetHandleSize(h)), nullptr);
  QDPictRef picture = QDPictCreateWithProvider(provider);
  ASSERT_NE(picture, nullptr);
  CGRect bounds = QDPictGetBounds(picture);
  EXPECT_EQ(bounds.size.width, 50) << "100 pixels at 144 dpi are 50 points";
  EXPECT_EQ(bounds.size.height, 25);
  CGFloat x = 0, y = 0;
  QDPictGetResolution(picture, &x, &y);
  EXPECT_EQ(x, 144);
  EXPECT_EQ(y, 144);
  QDPictRelease(picture);
  CGDataProviderRelease(provider);
  KillPicture(pic);
}

int gReleases = 0;
void CountRelease(void* info, const void*, size_t size) {
  ++gReleases;
  EXPECT_EQ(size, 8u);
}

TEST_F(RenderGraphicsTest, ImagesDrawUprightInAPortContextAndReleaseTheirProviderLast) {
  // A 1 x 2 image: top pixel red, bottom pixel blue, xRGB.
  unsigned char data[8] = {0, 0xFF, 0, 0, 0, 0, 0, 0xFF};
  gReleases = 0;
  CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, data, sizeof(data), CountRelease);
  CGImageRef image = CGImageCreate(1, 2, 8, 32, 4, space, kXRGB, provider, nullptr, false,
                                   kCGRenderingIntentDefault);
  ASSERT_NE(image, nullptr);
  CGDataProviderRelease(provider);
  EXPECT_EQ(gReleases, 0) << "the image still holds the provider";
  CGContextRef context = nullptr;
  ASSERT_EQ(QDBeginCGContext(GetWindowPort(window), &context), noErr);
  // Port 200 x 120: the rectangle at y = 100 from the bottom is rows 0..19 from the top.
  CGContextDrawImage(context, CGRect{{10, 100}, {20, 20}}, image);
  CGContextFlush(context);
  ASSERT_EQ(QDEndCGContext(GetWindowPort(window), &context), noErr);
  EXPECT_EQ(context, nullptr);
  EXPECT_EQ(toolbox::host::PixelAt(window, 15, 2), 0xFFFF0000u) << "the image's top row on top";
  EXPECT_EQ(toolbox::host::PixelAt(window, 15, 17), 0xFF0000FFu);
  EXPECT_EQ(toolbox::host::PixelAt(window, 15, 30), 0xFFFFFFFFu) << "nothing below the rectangle";
  CGImageRelease(image);
  EXPECT_EQ(gReleases, 1) << "released once, after its last reference";
}

TEST_F(RenderGraphicsTest, ImpossibleGeometriesAreRefused) {
  unsigned char data[64] = {};
  EXPECT_EQ(CGBitmapContextCreate(data, 4, 4, 8, 12, space, kXRGB), nullptr) << "row too short";
  EXPECT_EQ(CGBitmapContextCreate(data, 4, 4, 16, 32, space, kXRGB), nullptr) << "16 bits";
  EXPECT_EQ(CGBitmapContextCreate(data, 4, 4, 8, 16, space, kCGImageAlphaNone), nullptr);
  EXPECT_EQ(CGBitmapContextCreate(data, 4, 4, 8, 16, nullptr, kXRGB), nullptr) << "no colour space";
  CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, data, 16, nullptr);
  EXPECT_EQ(CGImageCreate(4, 4, 8, 32, 16, space, kXRGB, provider, nullptr, false, 0), nullptr)
      << "the provider holds too few bytes";
  EXPECT_EQ(QDPictCreateWithProvider(provider), nullptr) << "zeros are no picture";
  CGDataProviderRelease(provider);
  CGContextRef context = nullptr;
  EXPECT_EQ(QDBeginCGContext(nullptr, &context), paramErr);
}

}  // namespace
