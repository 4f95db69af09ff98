// Tests of the bitmap graphics calls: bitmap contexts on caller memory in the
// padded xRGB layout, pictures and images drawn upright, provider release.

#include "WindowFixture.h"
#include "toolbox/graphics.h"
#include "toolbox/memory.h"

namespace {

using namespace windowtest;

constexpr CGBitmapInfo kXRGB = kCGImageAlphaNoneSkipFirst;

class RenderGraphicsTest : public WindowTest {
 protected:
  void TearDown() override {
    CGColorSpaceRelease(space);
    WindowTest::TearDown();
  }
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
};

TEST_F(RenderGraphicsTest, PictureDrawsIntoPaddedXRGBRowsBottomUp) {
  PicHandle pic = toolbox::host::MakeSolidPicture(4, 4, 0xFF0000);
  Handle h = reinterpret_cast<Handle>(pic);
  CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, *h, size_t(GetHandleSize(h)), nullptr);
  QDPictRef picture = QDPictCreateWithProvider(provider);
  ASSERT_NE(picture, nullptr);
  std::vector<unsigned char> pixels(16 * 4, 0xAB);  // 3 pixels wide, rows of 16 bytes
  CGContextRef context = CGBitmapContextCreate(pixels.data(), 3, 4, 8, 16, space, kXRGB);
  ASSERT_NE(context, nullptr);
  CGContextClearRect(context, CGRect{{0, 0}, {3, 4}});
  EXPECT_EQ(pixels[12], 0xAB) << "bytes past the last pixel of a row are not touched";
  ASSERT_EQ(QDPictDrawToCGContext(context, CGRect{{0, 0}, {3, 2}}, picture), noErr);
  const unsigned char* bottom = pixels.data() + 3 * 16;
  EXPECT_EQ(std::vector<unsigned char>(bottom + 1, bottom + 4), (std::vector<unsigned char>{0xFF, 0, 0}))
      << "y = 0 is the bottom row: red there";
  EXPECT_EQ(pixels[1], 0) << "the top row is outside the rectangle";
  CGContextRelease(context);
  QDPictRelease(picture);
  CGDataProviderRelease(provider);
  KillPicture(pic);
  EXPECT_EQ(CGBitmapContextCreate(pixels.data(), 4, 4, 8, 12, space, kXRGB), nullptr) << "row too short";
  EXPECT_EQ(CGBitmapContextCreate(pixels.data(), 4, 4, 8, 16, nullptr, kXRGB), nullptr) << "no colour space";
}

int gReleases = 0;
void CountRelease(void*, const void*, size_t) { ++gReleases; }

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
  ASSERT_EQ(QDEndCGContext(GetWindowPort(window), &context), noErr);
  EXPECT_EQ(toolbox::host::PixelAt(window, 15, 2), 0xFFFF0000u) << "the image's top row on top";
  EXPECT_EQ(toolbox::host::PixelAt(window, 15, 17), 0xFF0000FFu);
  CGImageRelease(image);
  EXPECT_EQ(gReleases, 1) << "released once, after its last reference";
}

}  // namespace
