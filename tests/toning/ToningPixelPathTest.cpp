// Property tests: both pixel paths against the per-pixel formula, random records and geometries.
#include <gtest/gtest.h>

#include <random>

#include "ToningTestSupport.h"

using namespace toning_test;
using velkui::PixelPath;

namespace {

MonxInfo RandomRecord(std::mt19937& rng) {
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
  static const SInt32 tones[] = {140, 160, 180, 200, 220, 240};
  return {pick(-75, 75), pick(-75, 75), tones[pick(0, 5)], pick(-25, 25), pick(-25, 25),
          pick(-25, 25), pick(-25, 25), pick(-50, 0),      pick(0, 1)};
}

/// A picture of random bytes: width, height and padding chosen so that whole
/// vectors, masked tails and row padding all occur; now and then rows overlap.
Picture RandomPicture(const Format& format, std::mt19937& rng) {
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
  const int widths[] = {1, 2, 3, 5, 21, 22, 43, 63, 64, 65, 127, 129, 191, pick(1, 400)};
  SInt32 width = widths[pick(0, 13)];
  SInt32 height = pick(1, 6);
  SInt32 rowBytes = width * format.step + pick(0, 13);
  if (pick(0, 9) == 0) rowBytes = pick(1, width * format.step);
  Picture picture(format, width, height, rowBytes);
  for (UInt8& b : picture.source) b = UInt8(rng());
  for (UInt8& b : picture.output) b = UInt8(rng());
  picture.before = picture.output;
  return picture;
}

const char* PathName(PixelPath path) {
  return path == PixelPath::kAuto ? "UIProcMonx" : path == PixelPath::kScalar ? "scalar" : "vector";
}

/// Tones through the public call (kAuto) or the chosen internal path.
void ToneWith(PixelPath path, UIHdl* handle, const MonxInfo& info, const MonxImageDesc& desc, UInt8* out) {
  if (path == PixelPath::kAuto) {
    ASSERT_EQ(kMonxNoErr, UIProcMonx(handle, &info, &desc, out));
  } else {
    velkui::ToneImage(handle, &info, out, path);
  }
}

class ToningPixelPaths : public ::testing::TestWithParam<PixelPath> {};

TEST_P(ToningPixelPaths, MatchThePerPixelFormulaForRandomRecords) {
  if (GetParam() == PixelPath::kVector && !velkui::VectorPathAvailable()) {
    GTEST_SKIP() << "this processor has no AVX-512 VBMI";
  }
  std::mt19937 rng(20261205);
  for (int trial = 0; trial < 400; ++trial) {
    const Format& format = AllFormats()[size_t(trial) % AllFormats().size()];
    MonxInfo info = RandomRecord(rng);
    Picture picture = RandomPicture(format, rng);
    SCOPED_TRACE(std::string(format.name) + " " + Describe(info) + " width " +
                 std::to_string(picture.desc.width) + " height " +
                 std::to_string(picture.desc.height) + " rowBytes " +
                 std::to_string(picture.desc.rowBytes));
    UIHdl* handle = nullptr;
    ASSERT_EQ(kMonxNoErr, UICreateMonx(&picture.desc, picture.source.data(), &handle));
    ToneWith(GetParam(), handle, info, picture.desc, picture.output.data());
    const std::vector<UInt8> expected = ReferenceOutput(*handle, picture);
    long at = FirstDifference(expected, picture.output);
    EXPECT_EQ(-1, at) << "first wrong byte; expected " << (at >= 0 ? int(expected[size_t(at)]) : 0)
                      << " got " << (at >= 0 ? int(picture.output[size_t(at)]) : 0);
    UIDeleteMonx(handle);
    if (HasFailure()) return;
  }
}

TEST_P(ToningPixelPaths, NeverWriteOutsideTheColourBytes) {
  // Guard bytes before and after the image, in every format and odd widths.
  std::mt19937 rng(7);
  for (const Format& format : AllFormats()) {
    for (SInt32 width : {1, 3, 15, 16, 17, 21, 22, 63, 65, 100}) {
      SCOPED_TRACE(std::string(format.name) + " width " + std::to_string(width));
      const SInt32 rowBytes = width * format.step + 3;
      const size_t guard = 128;
      const size_t image = size_t(2) * rowBytes + size_t(width) * format.step;
      std::vector<UInt8> source(image + 2 * guard), output(image + 2 * guard, 0xEE);
      for (UInt8& b : source) b = UInt8(rng());
      MonxImageDesc desc = {width, 3, format.bits, format.code, rowBytes, 0, 0, 0};
      UIHdl* handle = nullptr;
      ASSERT_EQ(kMonxNoErr, UICreateMonx(&desc, source.data() + guard, &handle));
      MonxInfo info = RandomRecord(rng);
      ToneWith(GetParam(), handle, info, desc, output.data() + guard);
      for (size_t i = 0; i < output.size(); ++i) {
        bool colour = false;
        if (i >= guard && i < guard + image) {
          size_t inRow = (i - guard) % size_t(rowBytes);
          size_t offset = inRow % size_t(format.step);
          colour = inRow < size_t(width) * format.step && int(offset) != format.pad;
        }
        if (!colour) {
          ASSERT_EQ(0xEE, int(output[i])) << "byte " << i << " written";
        }
      }
      UIDeleteMonx(handle);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, ToningPixelPaths,
                         ::testing::Values(PixelPath::kAuto, PixelPath::kScalar, PixelPath::kVector),
                         [](const ::testing::TestParamInfo<PixelPath>& info) {
                           return std::string(PathName(info.param));
                         });

TEST(ToningByteTables, HoldTheBytesOfTheFormula) {
  std::mt19937 rng(3);
  UInt8 pixel[3] = {};
  MonxImageDesc desc = {1, 1, 24, kMonxFormatRGB, 3, 0, 0, 0};
  UIHdl* handle = nullptr;
  ASSERT_EQ(kMonxNoErr, UICreateMonx(&desc, pixel, &handle));
  for (int trial = 0; trial < 50; ++trial) {
    MonxInfo info = RandomRecord(rng);
    velkui::BuildChannelCurves(handle, &info);
    velkui::ByteTables tables;
    velkui::BuildByteTables(*handle, &tables);
    for (int i = 0; i < 256; ++i) {
      ASSERT_EQ(UInt8(int(handle->redTable[i] * 255.0 + 0.5)), tables.red[i]) << Describe(info);
      ASSERT_EQ(UInt8(int(handle->greenTable[i] * 255.0 + 0.5)), tables.green[i]);
      ASSERT_EQ(UInt8(int(handle->blueTable[i] * 255.0 + 0.5)), tables.blue[i]);
      ASSERT_GE(handle->redTable[i], -0.0003) << "curve below its documented range";
      ASSERT_LE(handle->blueTable[i], 1.0) << "curve above its documented range";
    }
  }
  UIDeleteMonx(handle);
}

}  // namespace
