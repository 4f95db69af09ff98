// Tests of the curve arithmetic: channel curves against separately computed values, Proc's rules.
#include <array>
#include <vector>

#include "ToningTestSupport.h"

using namespace toning_test;

namespace {

struct CurveSums {
  MonxInfo info;
  std::array<double, 3> sums;  ///< red, green, blue: the 256 entries added in index order
};

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
    {{57, -72, 200, 17, -19, -25, -25, -14, 0},
     {174.62698975632827, 156.91473244864579, 189.96237442546376}},
    {{-30, 45, 160, -8, 12, 7, -13, -33, 1},
     {168.6178729952077, 177.45090279776704, 158.4817354246629}},
    {{75, 75, 220, -25, -25, 25, 25, -50, 1},
     {213.48289651533739, 170.01188456817295, 154.29201350757697}},
};

TEST(ToningFormula, ChannelCurvesAgreeWithASeparateComputation) {
  UInt8 pixel[3] = {}, out[3] = {};
  const MonxImageDesc desc = {1, 1, 24, kMonxFormatRGB, 3, 0, 0, 0};
  UIHdl* handle = nullptr;
  ASSERT_EQ(kMonxNoErr, UICreateMonx(&desc, pixel, &handle));
  for (const CurveSums& row : kSums) {
    ASSERT_EQ(kMonxNoErr, UIProcMonx(handle, &row.info, &desc, out)) << Describe(row.info);
    const double* curves[3] = {handle->redTable, handle->greenTable, handle->blueTable};
    for (int c = 0; c < 3; ++c) {
      double sum = 0.0;
      for (int i = 0; i < 256; ++i) sum += curves[c][i];
      EXPECT_NEAR(row.sums[size_t(c)], sum, 1e-11) << Describe(row.info) << ", channel " << "RGB"[c];
    }
  }
  for (SInt32 tone : {140, 160, 180, 200, 220, 240}) {
    MonxInfo info = kNeutral;
    info.tone = tone;
    ASSERT_EQ(kMonxNoErr, UIProcMonx(handle, &info, &desc, out));
    EXPECT_EQ(0.0, handle->redTable[0]) << "level 0 stays exactly 0 for tone " << tone;
  }
  UIDeleteMonx(handle);
}

TEST(ToningFormula, ProcLeavesTheCurveForNoAmountNoCountAndOutsideTheUnitRange) {
  const std::vector<double> ramp = {-0.5, -1e-9, 0.0, 0.1, 0.5, 0.9, 1.0, 1.0 + 1e-9, 1.5};
  const SInt32 count = SInt32(ramp.size());
  struct Case { const char* what; SInt32 count, amount; };
  for (Case c : {Case{"amount 0", count, 0}, Case{"count 0", 0, 25}, Case{"count -1", -1, 25}}) {
    std::vector<double> curve = ramp;
    velkui::Proc(curve.data(), c.count, 0.502, c.amount, -25, 25, velkui::kProcBrightness);
    EXPECT_EQ(ramp, curve) << c.what;
  }
  for (SInt32 amount : {-25, 25}) {
    std::vector<double> curve = ramp;
    velkui::Proc(curve.data(), count, 0.502, amount, -25, 25, velkui::kProcBrightness);
    // Entries outside 0..1 stay; so does 0.0 itself: the lower row's constant is 0.
    for (size_t i = 0; i < ramp.size(); ++i) {
      EXPECT_EQ(i <= 2 || i >= 7, ramp[i] == curve[i]) << "entry " << ramp[i] << ", amount " << amount;
    }
  }
}

TEST(ToningFormula, ProcWeighsByTheLimitOnTheAmountsSide) {
  // Full weight reaches the row's cubic; a fifth of the limit moves a fifth of the way.
  const double x = 0.5;
  const double darker = -0.9551 * x * x * x + 1.8544 * x * x + 0.1006 * x;  // shadow, negative
  for (SInt32 amount : {-25, -5}) {
    double curve[1] = {x};
    velkui::Proc(curve, 1, 0.0, amount, -25, 25, velkui::kProcShadow);
    EXPECT_NEAR(x + (darker - x) * amount / -25.0, curve[0], 1e-15) << "shadow " << amount;
  }
  // With split 0 the lower row serves level 0 alone: density -50 lifts black to its constant.
  double black[1] = {0.0};
  velkui::Proc(black, 1, 0.0, -50, -50, 0, velkui::kProcDensity);
  EXPECT_NEAR(0.7232, black[0], 1e-15);
  // White shift 1 scales every entry by 0.9608.
  const std::vector<double> levels = {0.0, 0.25, 0.5, 1.0};
  std::vector<double> curve = levels;
  velkui::Proc(curve.data(), 4, 0.0, 1, 0, 1, velkui::kProcWhiteShift);
  for (size_t i = 0; i < curve.size(); ++i) {
    EXPECT_NEAR(0.9608 * levels[i], curve[i], 1e-15) << "white shift of " << levels[i];
  }
}

}  // namespace
