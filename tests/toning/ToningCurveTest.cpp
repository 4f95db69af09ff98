// Tests of the toning curves: their sums against a separate computation, Proc's rules, the
// reference table of output levels, colour positions, held extremes.
#include <array>
#include <numeric>
#include <vector>

#include "ToningTestSupport.h"

using namespace toning_test;

namespace {

constexpr std::array<UInt8, 7> kLevels = {0, 32, 64, 128, 192, 224, 255};
using Levels = std::array<int, 7>;
using Rgb = std::array<int, 3>;

enum { kColorX, kColorY, kTone, kBrightness, kContrast, kShadow, kHighlight, kDensity, kWhite };

MonxInfo With(int field, SInt32 value) { MonxInfo info = kNeutral; return Field(info, field) = value, info; }

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

/// The engine record after toning a 1 x 1 picture (the smallest geometry the
/// engine takes: one pixel, rowBytes 1) with `info`: its channel curves.
UIHdl CurvesOf(const MonxInfo& info) {
  UInt8 pixel[3] = {}, out[3] = {};
  const MonxImageDesc desc = {1, 1, 24, kMonxFormatRGB, 1, 0, 0, 0};
  UIHdl* handle = nullptr;
  EXPECT_EQ(kMonxNoErr, UICreateMonx(&desc, pixel, &handle));
  EXPECT_EQ(kMonxNoErr, UIProcMonx(handle, &info, &desc, out)) << Describe(info);
  const UIHdl curves = *handle;
  UIDeleteMonx(handle);
  return curves;
}

/// The output bytes of level `i` in the red, green and blue curves.
Rgb BytesAt(const UIHdl& c, int i) { return {Byte(c.redTable[i]), Byte(c.greenTable[i]), Byte(c.blueTable[i])}; }

// The pixel paths give the curves' bytes in every format (ToningPixelPathTest),
// so the reference levels and the rules below are checked on the curves.
TEST(ToningCurves, RecordsGiveTheReferenceLevels) {
  for (const CurveRow& row : kTable) {
    SCOPED_TRACE(row.setting);
    const UIHdl curves = CurvesOf(row.info);
    for (size_t i = 0; i < kLevels.size(); ++i) {
      Rgb expected{row.red[i], row.red[i], row.red[i]};
      if (int(i) == row.at) expected = {row.red[i], row.green, row.blue};
      EXPECT_EQ(expected, BytesAt(curves, kLevels[i])) << "level " << int(kLevels[i]);
    }
  }
}

TEST(ToningRanges, NeutralIsTheIdentityShadowAndHighlightKeepToTheirLevelsBlackStaysZero) {
  const UIHdl neutral = CurvesOf(kNeutral);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ((Rgb{i, i, i}), BytesAt(neutral, i)) << "the neutral record changed level " << i;
  }
  // Levels below 61 are shadowTone's own, levels from 192 up highlightTone's.
  for (SInt32 amount : {-25, 13}) {
    const UIHdl shadow = CurvesOf(With(kShadow, amount)), highlight = CurvesOf(With(kHighlight, amount));
    for (int i = 0; i < 256; ++i) {
      SCOPED_TRACE(testing::Message() << "amount " << amount << ", level " << i);
      EXPECT_TRUE(i < 61 || BytesAt(shadow, i) == BytesAt(neutral, i)) << "changed by shadowTone";
      EXPECT_TRUE(i >= 192 || BytesAt(highlight, i) == BytesAt(neutral, i)) << "changed by highlightTone";
    }
  }
  for (SInt32 tone : {140, 160, 180, 200, 220, 240}) {
    EXPECT_EQ(0.0, CurvesOf(With(kTone, tone)).redTable[0]) << "level 0 stays exactly 0 for tone " << tone;
  }
}

TEST(ToningColour, CirclePositionsCastMidGreyAndHoldBlackAndWhite) {
  struct Row { int field; SInt32 value; Rgb mid; };
  for (Row row : {Row{kColorX, 75, {161, 116, 129}}, Row{kColorX, -75, {88, 138, 127}},
                  Row{kColorY, 75, {138, 127, 94}}, Row{kColorY, -75, {113, 129, 162}}}) {
    SCOPED_TRACE(Describe(With(row.field, row.value)));
    const UIHdl curves = CurvesOf(With(row.field, row.value));
    EXPECT_EQ(row.mid, BytesAt(curves, 128)) << "level 128";
    EXPECT_EQ((Rgb{0, 0, 0}), BytesAt(curves, 0)) << "black moved";
    EXPECT_EQ((Rgb{255, 255, 255}), BytesAt(curves, 255)) << "white moved";
  }
  // Single extremes keep black and white (above and in the curve table); combined ones may not.
  MonxInfo both = With(kBrightness, -25);
  both.contrast = -25;
  EXPECT_EQ(252, BytesAt(CurvesOf(both), 255)[0]) << "brightness -25 and contrast -25 map 255 to 252";
}

/// A record and its red, green and blue curve sums (the 256 entries added in index order).
struct CurveSums { MonxInfo info; std::array<double, 3> sums; };

// Computed by a separate implementation of the pipeline, written in another
// language from the formulas and constants alone. Every table row, constant
// and matrix entry that can reach a curve enters at least one of these sums:
// a slip in the ninth digit of a matrix entry moves a sum by about 1e-8, while
// a different but valid order of operations moves it by less than 1e-12.
const CurveSums kSums[] = {
    {{0, 0, 180, 0, 0, 0, 0, 0, 0}, {128.00813791632282, 128.00387006310729, 127.99350965376564}},
    {{0, 0, 180, 25, 0, 0, 0, 0, 0}, {180.8980678616131, 180.89519305972149, 180.88821434633297}},
    {{0, 0, 180, -25, 0, 0, 0, 0, 0}, {75.112784276764074, 75.10991533331169, 75.102950841553593}},
    {{0, 0, 180, 0, 25, 0, 0, 0, 0}, {128.00497370434567, 128.00236529216215, 127.9960332520034}},
    {{0, 0, 180, 0, -25, 0, 0, 0, 0}, {128.24619853864723, 128.2406275865373, 128.22710384488869}},
    {{0, 0, 180, 0, 0, 25, 0, 0, 0}, {128.98815650682837, 128.98381036681798, 128.97325991269275}},
    {{0, 0, 180, 0, 0, -25, 0, 0, 0}, {127.01518304278451, 127.01099906801061, 127.00084227743142}},
    {{0, 0, 180, 0, 0, 0, 25, 0, 0}, {130.05254775759295, 130.04845056918779, 130.03850445649746}},
    {{0, 0, 180, 0, 0, 0, -25, 0, 0}, {126.01140344534384, 126.00698640363214, 125.99626383237612}},
    {{0, 0, 180, 0, 0, 0, 0, -50, 0}, {211.86803236097538, 211.86454585549825, 211.85608220361232}},
    {{0, 0, 180, 0, 0, 0, 0, 0, 1}, {122.99083553264092, 122.98641159736336, 122.97567229166054}},
    {{0, 0, 140, 0, 0, 0, 0, 0, 0}, {143.9444059446831, 143.94002224633681, 143.92938061762928}},
    {{0, 0, 240, 0, 0, 0, 0, 0, 0}, {109.79373475011789, 109.78974401510001, 109.78005632288755}},
    {{75, 0, 180, 0, 0, 0, 0, 0, 0}, {149.72719998053589, 119.72021668354496, 128.56530686169972}},
    {{-75, 0, 180, 0, 0, 0, 0, 0, 0}, {101.2175019240788, 134.56263781248433, 127.48803324229813}},
    {{0, 75, 180, 0, 0, 0, 0, 0, 0}, {134.36903692253748, 127.54900266665841, 105.56641548455278}},
    {{0, -75, 180, 0, 0, 0, 0, 0, 0}, {118.13426304629688, 128.62985011402077, 150.74468775248477}},
    {{57, -72, 200, 17, -19, -25, -25, -14, 0}, {174.62698975632827, 156.91473244864579, 189.96237442546376}},
    {{-30, 45, 160, -8, 12, 7, -13, -33, 1}, {168.6178729952077, 177.45090279776704, 158.4817354246629}},
    {{75, 75, 220, -25, -25, 25, 25, -50, 1}, {213.48289651533739, 170.01188456817295, 154.29201350757697}},
};

TEST(ToningFormula, ChannelCurvesAgreeWithASeparateComputation) {
  for (const CurveSums& row : kSums) {
    const UIHdl curves = CurvesOf(row.info);
    const double* channels[3] = {curves.redTable, curves.greenTable, curves.blueTable};
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(row.sums[size_t(c)], std::accumulate(channels[c], channels[c] + 256, 0.0), 1e-11)
          << Describe(row.info) << ", channel " << "RGB"[c];
    }
  }
}

TEST(ToningFormula, ProcLeavesTheCurveForNoAmountNoCountAndOutsideTheUnitRange) {
  const std::vector<double> ramp = {-0.5, -1e-9, 0.0, 0.1, 0.5, 0.9, 1.0, 1.0 + 1e-9, 1.5};
  for (auto [count, amount] : {std::pair<SInt32, SInt32>{9, 0}, {0, 25}, {-1, 25}, {9, 25}, {9, -25}}) {
    SCOPED_TRACE(testing::Message() << "count " << count << ", amount " << amount);
    std::vector<double> curve = ramp;
    velkui::Proc(curve.data(), count, 0.502, amount, -25, 25, velkui::kProcBrightness);
    // Entries outside 0..1 stay; so does 0.0 itself: the lower row's constant is 0.
    for (size_t i = 0; i < ramp.size(); ++i) {
      EXPECT_EQ(count > 0 && amount != 0 && i > 2 && i < 7, ramp[i] != curve[i]) << "entry " << ramp[i];
    }
  }
}

}  // namespace
