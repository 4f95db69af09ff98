// Tests of the toning curves: the reference table of output levels, colour positions, held extremes.
#include <array>

#include "ToningTestSupport.h"

using namespace toning_test;

namespace {

constexpr std::array<UInt8, 7> kLevels = {0, 32, 64, 128, 192, 224, 255};
using Levels = std::array<int, 7>;
using Rgb = std::array<int, 3>;

enum { kColorX, kColorY, kTone, kBrightness, kContrast, kShadow, kHighlight, kDensity, kWhite };

MonxInfo With(int field, SInt32 value) {
  MonxInfo info = kNeutral;
  Field(info, field) = value;
  return info;
}

/// The output of the reference levels. Green and blue follow red except where
/// the neutral circle's tiny cast sits on a rounding boundary: at level index
/// `at` they are `green` and `blue`.
struct CurveRow { const char* setting; MonxInfo info; Levels red; int at = -1, green = 0, blue = 0; };

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
    {"whiteShift 1", With(kWhite, 1), {0, 31, 62, 123, 184, 215, 245}, 2, 61, 61},
    {"tone 140", With(kTone, 140), {0, 51, 87, 149, 205, 231, 255}, 4, 205, 204},
    {"tone 240", With(kTone, 240), {0, 16, 40, 102, 175, 215, 255}},
};

/// Tones a picture through a fresh engine record and the given path.
void Tone(Picture& picture, const MonxInfo& info, PixelPath path = PixelPath::kAuto) {
  UIHdl* handle = nullptr;
  ASSERT_EQ(kMonxNoErr, UICreateMonx(&picture.desc, picture.source.data(), &handle));
  ToneWith(path, handle, info, picture.desc, picture.output.data());
  UIDeleteMonx(handle);
}

/// A one-row grey ramp of the reference levels.
Picture GreyRamp(const Format& format) {
  Picture picture(format, SInt32(kLevels.size()), 1, SInt32(kLevels.size()) * format.step);
  for (size_t x = 0; x < kLevels.size(); ++x) picture.SetGrey(SInt32(x), 0, kLevels[x]);
  return picture;
}

/// Byte `offset` of each ramp pixel in `bytes`.
Levels Channel(Picture& picture, int offset, std::vector<UInt8>& bytes) {
  Levels levels{};
  for (SInt32 x = 0; x < 7; ++x) levels[size_t(x)] = picture.Pixel(bytes, x, 0)[offset];
  return levels;
}

Rgb ColourOf(Picture& picture, SInt32 x) {
  const UInt8* p = picture.Pixel(picture.output, x, 0);
  return {p[picture.format.red], p[picture.format.green], p[picture.format.blue]};
}

TEST_P(ToningPaths, EveryFormatGivesTheReferenceLevels) {
  for (const Format& format : AllFormats()) {
    for (const CurveRow& row : kTable) {
      SCOPED_TRACE(format.name + ", " + row.setting + ", " + PathName(GetParam()));
      Picture picture = GreyRamp(format);
      Tone(picture, row.info, GetParam());
      Levels green = row.red, blue = row.red;
      if (row.at >= 0) green[size_t(row.at)] = row.green, blue[size_t(row.at)] = row.blue;
      EXPECT_EQ(row.red, Channel(picture, format.red, picture.output)) << "red";
      EXPECT_EQ(green, Channel(picture, format.green, picture.output)) << "green";
      EXPECT_EQ(blue, Channel(picture, format.blue, picture.output)) << "blue";
      if (format.pad >= 0) {
        EXPECT_EQ(Channel(picture, format.pad, picture.before),
                  Channel(picture, format.pad, picture.output)) << "pad bytes were written";
      }
    }
  }
}

TEST(ToningColour, CirclePositionsCastMidGreyAndHoldBlackAndWhite) {
  struct Row { int field; SInt32 value; Rgb mid; };
  const Row rows[] = {{kColorX, 75, {161, 116, 129}}, {kColorX, -75, {88, 138, 127}},
                      {kColorY, 75, {138, 127, 94}},  {kColorY, -75, {113, 129, 162}}};
  for (const Format& format : AllFormats()) {
    for (const Row& row : rows) {
      SCOPED_TRACE(format.name + " " + Describe(With(row.field, row.value)));
      Picture picture = GreyRamp(format);
      Tone(picture, With(row.field, row.value));
      EXPECT_EQ(row.mid, ColourOf(picture, 3)) << "level 128";
      EXPECT_EQ((Rgb{0, 0, 0}), ColourOf(picture, 0)) << "black moved";
      EXPECT_EQ((Rgb{255, 255, 255}), ColourOf(picture, 6)) << "white moved";
    }
  }
  // Single extremes keep black and white (above and in the curve table);
  // combined ones may not.
  MonxInfo info = With(kBrightness, -25);
  info.contrast = -25;
  Picture picture = GreyRamp(AllFormats()[0]);
  Tone(picture, info);
  EXPECT_EQ(252, ColourOf(picture, 6)[0]) << "brightness -25 and contrast -25 map 255 to 252";
}

/// Full 0..255 grey ramp, toned, red channel per level.
std::vector<UInt8> RedOfEveryLevel(const MonxInfo& info) {
  Picture picture(AllFormats()[0], 256, 1, 256 * 3);
  for (int x = 0; x < 256; ++x) picture.SetGrey(x, 0, UInt8(x));
  Tone(picture, info);
  std::vector<UInt8> red;
  for (int x = 0; x < 256; ++x) red.push_back(picture.output[size_t(x) * 3]);
  return red;
}

TEST(ToningRanges, ShadowAndHighlightStayInsideTheirLevels) {
  const std::vector<UInt8> neutral = RedOfEveryLevel(kNeutral);
  for (SInt32 amount : {-25, 13}) {
    SCOPED_TRACE(amount);
    std::vector<UInt8> shadow = RedOfEveryLevel(With(kShadow, amount));
    std::vector<UInt8> highlight = RedOfEveryLevel(With(kHighlight, amount));
    // Levels below 61 are shadowTone's own, levels from 192 up highlightTone's.
    std::copy(neutral.begin(), neutral.begin() + 61, shadow.begin());
    std::copy(neutral.begin() + 192, neutral.end(), highlight.begin() + 192);
    EXPECT_EQ(-1, FirstDifference(neutral, shadow)) << "level changed by shadowTone";
    EXPECT_EQ(-1, FirstDifference(neutral, highlight)) << "level changed by highlightTone";
  }
}

TEST(ToningRanges, NeutralRecordIsTheIdentityOnEveryByte) {
  for (const Format& format : AllFormats()) {
    SCOPED_TRACE(format.name);
    // Every combination of levels appears: 256 pixels per row, channel values shifted.
    Picture picture(format, 256, 2, 256 * format.step + 5);
    std::vector<UInt8> expected = picture.before;
    for (SInt32 y = 0; y < 2; ++y) {
      for (SInt32 x = 0; x < 256; ++x) {
        UInt8 *p = picture.Pixel(picture.source, x, y), *e = picture.Pixel(expected, x, y);
        e[format.red] = p[format.red] = UInt8(x);
        e[format.green] = p[format.green] = UInt8(x + 85 * (y + 1));
        e[format.blue] = p[format.blue] = UInt8(255 - x + 31 * y);
      }
    }
    Tone(picture, kNeutral);
    EXPECT_EQ(-1, FirstDifference(expected, picture.output)) << "first differing byte";
  }
}

}  // namespace
