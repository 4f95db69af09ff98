// Property tests: both pixel paths against the per-pixel formula, random records and geometries.
#include <random>

#include "ToningTestSupport.h"

using namespace toning_test;

namespace {

int Pick(std::mt19937& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

MonxInfo RandomRecord(std::mt19937& rng) {
  return {Pick(rng, -75, 75), Pick(rng, -75, 75), 140 + 20 * Pick(rng, 0, 5), Pick(rng, -25, 25),
          Pick(rng, -25, 25), Pick(rng, -25, 25), Pick(rng, -25, 25),         Pick(rng, -50, 0),
          Pick(rng, 0, 1)};
}

/// A picture of random bytes: width, height and padding chosen so that whole
/// vectors, masked tails and row padding all occur; now and then rows overlap.
Picture RandomPicture(const Format& format, std::mt19937& rng) {
  const int widths[] = {1, 2, 3, 5, 21, 22, 43, 63, 64, 65, 127, 129, 191, Pick(rng, 1, 400)};
  SInt32 width = widths[Pick(rng, 0, 13)], height = Pick(rng, 1, 6);
  SInt32 rowBytes = width * format.step + Pick(rng, 0, 13);
  if (Pick(rng, 0, 9) == 0) rowBytes = Pick(rng, 1, width * format.step);
  Picture picture(format, width, height, rowBytes);
  for (UInt8& b : picture.source) b = UInt8(rng());
  for (UInt8& b : picture.output) b = UInt8(rng());
  picture.before = picture.output;
  return picture;
}

// The expected output is the untouched one with only the colour bytes set: a
// byte written before or after the image, in row padding or in a pad byte fails.
TEST_P(ToningPaths, MatchThePerPixelFormulaForRandomRecordsAndWriteNothingElse) {
  if (GetParam() == PixelPath::kVector && !velkui::VectorPathAvailable()) {
    GTEST_SKIP() << "this processor has no AVX-512 VBMI";
  }
  std::mt19937 rng(20261205);
  for (int trial = 0; trial < 400 && !HasFailure(); ++trial) {
    const Format& format = AllFormats()[size_t(trial) % AllFormats().size()];
    MonxInfo info = RandomRecord(rng);
    Picture picture = RandomPicture(format, rng);
    const MonxImageDesc& d = picture.desc;
    SCOPED_TRACE(format.name + " " + Describe(info) + " width " + std::to_string(d.width) +
                 " height " + std::to_string(d.height) + " rowBytes " + std::to_string(d.rowBytes));
    UIHdl* handle = nullptr;
    ASSERT_EQ(kMonxNoErr, UICreateMonx(&d, picture.Src(), &handle));
    ToneWith(GetParam(), handle, info, d, picture.Out());
    // The byte tables hold the formula's bytes: the output matches it pixel for pixel.
    const std::vector<UInt8> expected = ReferenceOutput(*handle, picture);
    long at = FirstDifference(expected, picture.output);
    EXPECT_EQ(-1, at) << "first wrong byte; expected " << (at >= 0 ? int(expected[size_t(at)]) : 0)
                      << " got " << (at >= 0 ? int(picture.output[size_t(at)]) : 0);
    for (int i = 0; i < 256; ++i) {
      EXPECT_TRUE(handle->redTable[i] >= -0.0003 && handle->blueTable[i] <= 1.0)
          << "curve entry " << i << " outside its documented range";
    }
    UIDeleteMonx(handle);
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, ToningPaths,
                         ::testing::Values(PixelPath::kAuto, PixelPath::kScalar, PixelPath::kVector),
                         [](const auto& info) { return std::string(PathName(info.param)); });

}  // namespace
