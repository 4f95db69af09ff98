// What a photo carries besides its grey levels: camera orientation, EXIF, colour
// profile, transparency. Inputs are made here, byte by byte where it matters.
#include <gtest/gtest.h>

#include <cstring>

#include "ImageIo.h"
#include "MonxRunner.h"
#include "Orientation.h"

using namespace monx_test;

namespace {

// A TIFF stream, little-endian, whose first IFD holds one entry: orientation 6
// (the camera was turned a quarter clockwise; the stored rows are the scene's columns).
const Bytes kExifOrientation6 = {
    'I', 'I', 42, 0, 8, 0, 0, 0,                     // header, IFD at offset 8
    1, 0,                                            // one entry
    0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0,        // 0x0112 SHORT x1 = 6
    0, 0, 0, 0};                                     // no next IFD

/// An RGB profile header of `size` bytes: size, "RGB " colour space, "acsp" signature.
Bytes FakeRgbProfile(std::size_t size) {
  Bytes icc(size, 0x5A);
  for (int i = 0; i < 4; ++i) icc[std::size_t(i)] = std::uint8_t(size >> (24 - 8 * i));
  std::memcpy(&icc[16], "RGB ", 4);
  std::memcpy(&icc[36], "acsp", 4);
  return icc;
}

/// 48 x 32, stored left half dark, right half light.
monx::Image SidewaysPhoto() {
  monx::Image image = Uniform(48, 32, {40, 40, 40});
  for (int y = 0; y < 32; ++y)
    for (int x = 24; x < 48; ++x) std::memset(image.Row(y) + 3 * x, 220, 3);
  return image;
}

int Level(const monx::Image& image, int x, int y) { return image.Row(y)[3 * x]; }

TEST(Metadata, OrientedJpegComesOutUprightWithExifAndProfileKept) {
  ScratchDir dir;
  Bytes icc = FakeRgbProfile(600);
  WriteText(dir / "in.jpg", JpegBytes(SidewaysPhoto(), false, kExifOrientation6, icc));
  for (const std::string name : {"out.jpg", "out.png"}) {
    SCOPED_TRACE(name);
    RunResult run = RunMonx({dir / "in.jpg", dir / name});
    ASSERT_EQ(run.code, 0) << run.err;
    monx::Image out = monx::ReadImage(dir / name);
    // Turned a quarter clockwise: 32 wide, 48 high; the stored left half is now on top.
    ASSERT_EQ(out.info.width, 32);
    ASSERT_EQ(out.info.height, 48);
    EXPECT_LT(Level(out, 16, 4), 80);
    EXPECT_GT(Level(out, 16, 44), 180);
    EXPECT_EQ(monx::OrientationOf(out.metadata.exif), 1);
    EXPECT_FALSE(out.metadata.exif.empty());
    // libpng refuses a profile whose body is not a real one; JPEG keeps the bytes.
    if (name == "out.jpg") { EXPECT_EQ(out.metadata.icc, icc) << "JPEG keeps the profile"; }
  }
  RunResult stripped = RunMonx({"--strip", dir / "in.jpg", dir / "bare.jpg"});
  ASSERT_EQ(stripped.code, 0) << stripped.err;
  monx::Image bare = monx::ReadImage(dir / "bare.jpg");
  EXPECT_EQ(bare.info.width, 32);
  EXPECT_TRUE(bare.metadata.Empty());
}

TEST(Metadata, EveryOrientationTurnsTheSamePixelToTheTopLeft) {
  // A 3 x 2 image with distinct pixels; (0,0) of the upright image per orientation.
  monx::Image image = Uniform(3, 2, {0});
  for (int i = 0; i < 6; ++i) image.pixels[std::size_t(i)] = std::uint8_t(i);
  const int topLeft[9] = {0, 0, 2, 5, 3, 0, 3, 5, 2};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    monx::Image up = monx::Upright(image, orientation);
    EXPECT_EQ(up.info.width, orientation >= 5 ? 2 : 3);
    EXPECT_EQ(up.pixels[0], topLeft[orientation]);
  }
}

TEST(Metadata, TransparencyKeptInPngAndLaidOverWhiteInJpeg) {
  ScratchDir dir;
  monx::Image in = Uniform(20, 20, {200, 40, 40, 255});
  for (int x = 0; x < 20; ++x) {
    in.Row(0)[4 * x + 3] = 0;  // top row transparent, its colour black
    std::memset(in.Row(0) + 4 * x, 0, 3);
    in.Row(1)[4 * x + 3] = 128;
  }
  monx::WriteImage(dir / "in.png", in);
  RunResult run = RunMonx({"--preset", "sepia", dir / "in.png", dir / "out.png"});
  ASSERT_EQ(run.code, 0) << run.err;
  monx::Image png = monx::ReadImage(dir / "out.png");
  ASSERT_EQ(png.info.channels, 4);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(png.Row(y)[4 * x + 3], in.Row(y)[4 * x + 3]);
  EXPECT_NE(png.Row(5)[0], png.Row(5)[2]);  // toned: a cast, not grey

  run = RunMonx({"--preset", "sepia", dir / "in.png", dir / "out.jpg"});
  ASSERT_EQ(run.code, 0) << run.err;
  monx::Image jpeg = monx::ReadImage(dir / "out.jpg");
  ASSERT_EQ(jpeg.info.channels, 3);
  EXPECT_GT(jpeg.Row(0)[30], 245);  // transparent black shows as the white beneath
  EXPECT_LT(jpeg.Row(10)[30], 200);
}

}  // namespace
