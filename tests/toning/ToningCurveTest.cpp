// Tests of the toning curves: the reference table of output levels, colour positions, held extremes.
#include <gtest/gtest.h>

#include <array>

#include "ToningTestSupport.h"

using namespace toning_test;
using velkui::PixelPath;

namespace {

constexpr std::array<UInt8, 7> kLevels = {0, 32, 64, 128, 192, 224, 255};

struct CurveRow {
  const char* setting;
  MonxInfo info;
  std::array<UInt8, 7> red;
};

MonxInfo With(int field, SInt32 value) {
  MonxInfo info = kNeutral;
  reinterpret_cast<SInt32*>(&info)[field] = value;
  return info;
}

enum Field { kColorX, kColorY, kTone, kBrightness, kContrast, kShadow, kHighlight, kDensity, kWhite };

const CurveRow kTable[] = {
    {"neutral", kNeutral, {0, 32, 64, 128, 192, 224, 255}},
    {"brightness 25", With(kBrightness, 25), {0, 62, 121, 217, 248, 253, 255}},
    {"brightness -25", With(kBrightness, -25), {0, 2, 7, 39, 136, 195, 255}},
    {"contrast 25", With(kContrast, 25), {0, 6, 23, 129, 233, 250, 255}},
    {"contrast -25", With(kContrast, -25), {0, 75, 96, 128, 160, 181, 255}},
    {"shadowTone 25", With(kShadow, 25), {0, 38, 64, 128, 192, 224, 255}},
    {"shadowTone -25", With(kShadow, -25), {0, 26, 64, 128, 192, 224, 255}},
    {"highlightTone 25", With(kHighlight, 25), {0, 32, 64, 128, 192, 237, 255}},
    {"highlightTone -25", With(kHighlight, -25), {0, 32, 64, 128, 192, 211, 255}},
    {"density -50", With(kDensity, -50), {184, 187, 191, 207, 229, 242, 255}},
    {"whiteShift 1", With(kWhite, 1), {0, 31, 62, 123, 184, 215, 245}},
    {"tone 140", With(kTone, 140), {0, 51, 87, 149, 205, 231, 255}},
    {"tone 240", With(kTone, 240), {0, 16, 40, 102, 175, 215, 255}},
};

/// Green and blue follow red except where the neutral circle's tiny cast sits
/// on a rounding boundary.
std::array<UInt8, 7> GreenOf(const CurveRow& row) {
  std::array<UInt8, 7> green = row.red;
  if (std::string(row.setting) == "whiteShift 1") green[2] = 61;
  return green;
}

std::array<UInt8, 7> BlueOf(const CurveRow& row) {
  std::array<UInt8, 7> blue = GreenOf(row);
  if (std::string(row.setting) == "tone 140") blue[4] = 204;
  return blue;
}

const char* PathName(PixelPath path) {
  return path == PixelPath::kAuto ? "UIProcMonx" : path == PixelPath::kScalar ? "scalar" : "vector";
}

/// Tones a picture through the public call (kAuto) or a chosen internal path.
void Tone(Picture& picture, const MonxInfo& info, PixelPath path, UIHdl** keep = nullptr) {
  UIHdl* handle = nullptr;
  ASSERT_EQ(kMonxNoErr, UICreateMonx(&picture.desc, picture.source.data(), &handle));
  if (path == PixelPath::kAuto) {
    ASSERT_EQ(kMonxNoErr, UIProcMonx(handle, &info, &picture.desc, picture.output.data()));
  } else {
    velkui::ToneImage(handle, &info, picture.output.data(), path);
  }
  if (keep) {
    *keep = handle;
  } else {
    UIDeleteMonx(handle);
  }
}

/// A one-row grey ramp of the reference levels.
Picture GreyRamp(const Format& format) {
  Picture picture(format, SInt32(kLevels.size()), 1, SInt32(kLevels.size()) * format.step);
  for (size_t x = 0; x < kLevels.size(); ++x) picture.SetGrey(SInt32(x), 0, kLevels[x]);
  return picture;
}

void ExpectChannel(Picture& picture, int offset, const std::array<UInt8, 7>& expected,
                   const char* channel) {
  for (size_t x = 0; x < kLevels.size(); ++x) {
    EXPECT_EQ(int(expected[x]), int(picture.Pixel(picture.output, SInt32(x), 0)[offset]))
        << channel << " of source level " << int(kLevels[x]);
  }
}

class ToningCurveTable : public ::testing::TestWithParam<PixelPath> {};

TEST_P(ToningCurveTable, EveryFormatGivesTheReferenceLevels) {
  for (const Format& format : AllFormats()) {
    for (const CurveRow& row : kTable) {
      SCOPED_TRACE(std::string(format.name) + ", " + row.setting + ", " + PathName(GetParam()));
      Picture picture = GreyRamp(format);
      Tone(picture, row.info, GetParam());
      ExpectChannel(picture, format.red, row.red, "red");
      ExpectChannel(picture, format.green, GreenOf(row), "green");
      ExpectChannel(picture, format.blue, BlueOf(row), "blue");
      if (format.pad >= 0) {
        for (SInt32 x = 0; x < SInt32(kLevels.size()); ++x) {
          EXPECT_EQ(picture.Pixel(picture.before, x, 0)[format.pad],
                    picture.Pixel(picture.output, x, 0)[format.pad])
              << "pad byte of pixel " << x << " was written";
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, ToningCurveTable,
                         ::testing::Values(PixelPath::kAuto, PixelPath::kScalar, PixelPath::kVector),
                         [](const ::testing::TestParamInfo<PixelPath>& info) {
                           return std::string(PathName(info.param));
                         });

struct ColourRow {
  MonxInfo info;
  UInt8 red, green, blue;
};

TEST(ToningColour, CirclePositionsCastMidGreyAndHoldBlackAndWhite) {
  const ColourRow rows[] = {
      {With(kColorX, 75), 161, 116, 129},
      {With(kColorX, -75), 88, 138, 127},
      {With(kColorY, 75), 138, 127, 94},
      {With(kColorY, -75), 113, 129, 162},
  };
  for (const Format& format : AllFormats()) {
    for (const ColourRow& row : rows) {
      SCOPED_TRACE(std::string(format.name) + " " + Describe(row.info));
      Picture picture = GreyRamp(format);
      Tone(picture, row.info, PixelPath::kAuto);
      const UInt8* mid = picture.Pixel(picture.output, 3, 0);
      EXPECT_EQ(int(row.red), int(mid[format.red])) << "red of level 128";
      EXPECT_EQ(int(row.green), int(mid[format.green])) << "green of level 128";
      EXPECT_EQ(int(row.blue), int(mid[format.blue])) << "blue of level 128";
      const UInt8* black = picture.Pixel(picture.output, 0, 0);
      const UInt8* white = picture.Pixel(picture.output, 6, 0);
      for (int offset : {format.red, format.green, format.blue}) {
        EXPECT_EQ(0, int(black[offset])) << "black moved at byte " << offset;
        EXPECT_EQ(255, int(white[offset])) << "white moved at byte " << offset;
      }
    }
  }
}

TEST(ToningExtremes, EverySingleExtremeKeepsBlackAndWhiteCombinedOnesMayNot) {
  const MonxInfo extremes[] = {
      With(kColorX, -75),     With(kColorX, 75),     With(kColorY, -75),
      With(kColorY, 75),      With(kTone, 140),      With(kTone, 240),
      With(kBrightness, -25), With(kBrightness, 25), With(kContrast, -25),
      With(kContrast, 25),    With(kShadow, -25),    With(kShadow, 25),
      With(kHighlight, -25),  With(kHighlight, 25),
  };
  for (const MonxInfo& info : extremes) {
    SCOPED_TRACE(Describe(info));
    Picture picture = GreyRamp(AllFormats()[0]);
    Tone(picture, info, PixelPath::kAuto);
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(0, int(picture.output[c])) << "black moved in channel " << c;
      EXPECT_EQ(255, int(picture.output[6 * 3 + c])) << "white moved in channel " << c;
    }
  }
  MonxInfo info = With(kBrightness, -25);
  info.contrast = -25;
  Picture picture = GreyRamp(AllFormats()[0]);
  Tone(picture, info, PixelPath::kAuto);
  EXPECT_EQ(252, int(picture.output[6 * 3])) << "combined, brightness -25 and contrast -25 map 255 to 252";
}

/// Full 0..255 grey ramp, toned, red channel per level.
std::array<UInt8, 256> RedOfEveryLevel(const MonxInfo& info) {
  Picture picture(AllFormats()[0], 256, 1, 256 * 3);
  for (int x = 0; x < 256; ++x) picture.SetGrey(x, 0, UInt8(x));
  Tone(picture, info, PixelPath::kAuto);
  std::array<UInt8, 256> red{};
  for (int x = 0; x < 256; ++x) red[size_t(x)] = picture.output[size_t(x) * 3];
  return red;
}

TEST(ToningRanges, ShadowAndHighlightStayInsideTheirLevels) {
  const std::array<UInt8, 256> neutral = RedOfEveryLevel(kNeutral);
  for (SInt32 amount : {-25, 13}) {
    const std::array<UInt8, 256> shadow = RedOfEveryLevel(With(kShadow, amount));
    const std::array<UInt8, 256> highlight = RedOfEveryLevel(With(kHighlight, amount));
    for (int level = 61; level < 256; ++level) {
      EXPECT_EQ(neutral[size_t(level)], shadow[size_t(level)])
          << "shadowTone " << amount << " changed level " << level;
    }
    for (int level = 0; level < 192; ++level) {
      EXPECT_EQ(neutral[size_t(level)], highlight[size_t(level)])
          << "highlightTone " << amount << " changed level " << level;
    }
  }
}

TEST(ToningRanges, NeutralRecordIsTheIdentityOnEveryByte) {
  for (const Format& format : AllFormats()) {
    SCOPED_TRACE(format.name);
    // Every combination of levels appears: 256 pixels per row, channel values shifted.
    Picture picture(format, 256, 2, 256 * format.step + 5);
    for (SInt32 y = 0; y < 2; ++y) {
      for (SInt32 x = 0; x < 256; ++x) {
        UInt8* p = picture.Pixel(picture.source, x, y);
        p[format.red] = UInt8(x);
        p[format.green] = UInt8(x + 85 * (y + 1));
        p[format.blue] = UInt8(255 - x + 31 * y);
      }
    }
    Tone(picture, kNeutral, PixelPath::kAuto);
    std::vector<UInt8> expected = picture.before;
    for (SInt32 y = 0; y < 2; ++y) {
      for (SInt32 x = 0; x < 256; ++x) {
        for (int offset : {format.red, format.green, format.blue}) {
          picture.Pixel(expected, x, y)[offset] = picture.Pixel(picture.source, x, y)[offset];
        }
      }
    }
    EXPECT_EQ(-1, FirstDifference(expected, picture.output)) << "first differing byte";
  }
}

TEST(ToningRanges, LevelZeroStaysZeroForEveryTone) {
  for (SInt32 tone : {140, 160, 180, 200, 220, 240}) {
    UIHdl* handle = nullptr;
    Picture picture = GreyRamp(AllFormats()[0]);
    Tone(picture, With(kTone, tone), PixelPath::kAuto, &handle);
    EXPECT_EQ(0.0, handle->redTable[0]) << "tone " << tone;
    UIDeleteMonx(handle);
  }
}

}  // namespace
