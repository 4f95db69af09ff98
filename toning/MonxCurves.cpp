// The toning curves: tone curve from the record, colour-circle channel curves.
#include <cmath>

#include "MonxInternal.h"

namespace velkui {
namespace {

constexpr int kCurveSize = 256;

/// Cubic rows (c3, c2, c1, c0): six blocks in ProcType order, four rows each:
/// positive lower, positive upper, negative lower, negative upper.
constexpr double coeff_t[24][4] = {
    {0.9631, -1.8606, 1.8977, 0.0},  // shadow
    {0.9631, -1.8606, 1.8977, 0.0},
    {-0.9551, 1.8544, 0.1006, 0.0},
    {-0.9551, 1.8544, 0.1006, 0.0},
    {-1.0175, 0.9372, 1.1909, 0.0},  // highlight
    {4.3528, -11.956, 11.02, -2.4163},
    {0.9806, -0.8906, 0.8059, 0.0},
    {-6.2314, 16.601, -12.807, 3.4372},
    {-0.0824, 0.3291, 0.0303, 0.7232},  // density
    {-0.0824, 0.3291, 0.0303, 0.7232},
    {-0.0824, 0.3291, 0.0303, 0.7232},
    {-0.0824, 0.3291, 0.0303, 0.7232},
    {-1.5101, 0.3422, 1.9059, 0.0},  // brightness
    {1.3267, -3.7487, 3.6008, -0.1787},
    {1.5101, -0.3422, 0.0941, 0.0},
    {-1.3267, 3.7487, -1.6008, 0.1787},
    {2.9941, 0.3343, 0.0833, 0.0},  // contrast
    {-2.9941, -0.3343, 0.0833, 0.9167},
    {0.0, 0.0, 0.5, 0.251},
    {0.0, 0.0, 0.5, 0.251},
    {0.0, 0.0, 0.9608, 0.0},  // white shift
    {0.0, 0.0, 0.9608, 0.0},
    {0.0, 0.0, 0.9608, 0.0},
    {0.0, 0.0, 0.9608, 0.0},
};

/// CIE XYZ (D50 white) to linear RGB, rows red, green, blue.
constexpr double mtx[3][3] = {
    {3.134198998, -1.617273149, -0.490662776},
    {-0.978773813, 1.916271777, 0.033500278},
    {0.071894963, -0.229042573, 1.405325194},
};

constexpr double kPi = 3.14159265358979;
constexpr double kBrightnessSplit = 0.502;
constexpr double kContrastSplit = 0.5;
constexpr double kHighlightSplit = 0.6349;
constexpr double kContrastLowCorner = 0.2;
constexpr double kContrastHighCorner = 0.8;
constexpr double kShadowRange = 60.0;
constexpr double kHighlightBase = 192.0;
constexpr double kHighlightRange = 63.0;
constexpr double kToneThreshold = 1e-7;
constexpr double kToneUnit = 180.0;
constexpr double kTargetLightness = 55.0;
constexpr double kWhiteX = 0.9643;
constexpr double kWhiteY = 1.0;
constexpr double kWhiteZ = 0.8251;
constexpr double kEncodingExponent = 0.45454545454545453;
constexpr double kMidGrey = 0.512;
constexpr double kMidGreyComplement = 0.488;

double Cubic(const double* row, double x) {
  return row[0] * x * x * x + row[1] * x * x + row[2] * x + row[3];
}

void Clamp(double* curve, double low, double high) {
  for (int i = 0; i < kCurveSize; ++i) {
    if (curve[i] < low) curve[i] = low;
    if (curve[i] > high) curve[i] = high;
  }
}

void Scale(double* curve, double factor) {
  for (int i = 0; i < kCurveSize; ++i) curve[i] = curve[i] * factor;
}

void ContrastUp(double* curve, SInt32 n) {
  const double* lower = coeff_t[4 * kProcContrast];
  const double* upper = coeff_t[4 * kProcContrast + 1];
  for (int i = 0; i < kCurveSize; ++i) {
    double x = curve[i];
    double y = x;
    if (x >= 0.0 && x <= kContrastSplit) {
      y = Cubic(lower, x);
    } else if (x > kContrastSplit && x <= 1.0) {
      double t = 1.0 - x;
      y = upper[0] * t * t * t + upper[1] * t * t + upper[2] * x + upper[3];
    }
    curve[i] = x + n * (y - x) / double(kMonxAdjustRange.max);
  }
}

void ContrastDown(double* curve, SInt32 n) {
  const double* line = coeff_t[4 * kProcContrast + 2];
  const double highWidth = 1.0 - kContrastHighCorner;
  for (int i = 0; i < kCurveSize; ++i) {
    double x = curve[i];
    double m = Cubic(line, x);
    double d = x + n * (m - x) / double(kMonxAdjustRange.min);
    if (x < kContrastLowCorner) {
      double a = std::asin((kContrastLowCorner - x) / kContrastLowCorner);
      double w = 2.0 * a / kPi;
      curve[i] = d * (1.0 - w * w);
    } else if (x < kContrastHighCorner) {
      curve[i] = d;
    } else {
      double a = std::asin((x - kContrastHighCorner) / highWidth);
      double w = 2.0 * a / kPi;
      curve[i] = d + (1.0 - d) * (w * w);
    }
  }
}

void Contrast(double* curve, SInt32 n) {
  if (n > 0) ContrastUp(curve, n);
  if (n < 0) ContrastDown(curve, n);
}

void Shadow(double* curve, SInt32 amount) {
  for (int i = 0; i < kCurveSize; ++i) curve[i] = curve[i] / kShadowRange;
  Proc(curve, kCurveSize, 0.0, amount, kMonxAdjustRange.min, kMonxAdjustRange.max,
       kProcShadow);
  Scale(curve, kShadowRange);
  Clamp(curve, 0.0, 255.0);
}

void Highlight(double* curve, SInt32 amount) {
  for (int i = 0; i < kCurveSize; ++i) curve[i] = (curve[i] - kHighlightBase) / kHighlightRange;
  Proc(curve, kCurveSize, kHighlightSplit, amount, kMonxAdjustRange.min, kMonxAdjustRange.max,
       kProcHighlight);
  for (int i = 0; i < kCurveSize; ++i) curve[i] = curve[i] * kHighlightRange + kHighlightBase;
  Clamp(curve, 0.0, 255.0);
}

void Tone(double* curve, SInt32 tone) {
  if (tone != 180) {
    double exponent = tone / kToneUnit;
    for (int i = 0; i < kCurveSize; ++i) {
      if (curve[i] > kToneThreshold) curve[i] = std::exp(exponent * std::log(curve[i]));
    }
  }
  Clamp(curve, 0.0, 1.0);
}

/// Steps 1 to 10: the 256-entry tone curve on the unit scale.
void BuildToneCurve(double* curve, const MonxInfo& info) {
  for (int i = 0; i < kCurveSize; ++i) curve[i] = i / 255.0;
  Proc(curve, kCurveSize, kBrightnessSplit, info.brightness, kMonxAdjustRange.min,
       kMonxAdjustRange.max, kProcBrightness);
  Clamp(curve, 0.0, 1.0);
  Contrast(curve, info.contrast);
  Scale(curve, 255.0);
  Clamp(curve, 0.0, 255.0);
  Shadow(curve, info.shadowTone);
  Highlight(curve, info.highlightTone);
  for (int i = 0; i < kCurveSize; ++i) curve[i] = curve[i] / 255.0;
  Proc(curve, kCurveSize, 0.0, info.density, kMonxDensityRange.min, kMonxDensityRange.max,
       kProcDensity);
  Clamp(curve, 0.0, 1.0);
  Proc(curve, kCurveSize, 0.0, info.whiteShift, 0, 1, kProcWhiteShift);
  Clamp(curve, 0.0, 1.0);
  Tone(curve, info.tone);
}

/// The encoded target of one channel turned into its quadratic coefficient.
double ChannelQuad(double linear) {
  double e = std::pow(linear, kEncodingExponent);
  double d = e - kMidGrey;
  if (e > 1.0) d = kMidGreyComplement;
  if (e < 0.0) d = -kMidGrey;
  return d / (kMidGrey * kMidGrey - kMidGrey);
}

}  // namespace

void Proc(double* curve, SInt32 count, double split, SInt32 amount, SInt32 minAmount,
          SInt32 maxAmount, ProcType type) {
  if (amount == 0) return;
  const double* lower = coeff_t[4 * type + (amount > 0 ? 0 : 2)];
  const double* upper = coeff_t[4 * type + (amount > 0 ? 1 : 3)];
  SInt32 divisor = amount > 0 ? maxAmount : minAmount;
  for (SInt32 i = 0; i < count; ++i) {
    double x = curve[i];
    double y = x;
    if (x >= 0.0 && x <= split) {
      y = Cubic(lower, x);
    } else if (x > split && x <= 1.0) {
      y = Cubic(upper, x);
    }
    curve[i] = x + (y - x) * amount / divisor;
  }
}

void CalcCircleCoeff(double lightness, SInt32 px, SInt32 py, double* quadRed, double* quadGreen,
                     double* quadBlue, double* linRed, double* linGreen, double* linBlue) {
  double fy = (lightness + 16.0) / 116.0;
  double fx = fy + ((px * 20.0) / 75.0) / 500.0;
  double fz = fy + ((py * 20.0) / 75.0) / -200.0;
  double xyz[3] = {fx * fx * fx * kWhiteX, fy * fy * fy * kWhiteY, fz * fz * fz * kWhiteZ};
  double quad[3];
  for (int c = 0; c < 3; ++c) {
    double linear = mtx[c][0] * xyz[0] + mtx[c][1] * xyz[1] + mtx[c][2] * xyz[2];
    quad[c] = ChannelQuad(linear);
  }
  *quadRed = quad[0];
  *quadGreen = quad[1];
  *quadBlue = quad[2];
  *linRed = 1.0 - quad[0];
  *linGreen = 1.0 - quad[1];
  *linBlue = 1.0 - quad[2];
}

void BuildChannelCurves(UIHdl* handle, const MonxInfo* info) {
  double curve[kCurveSize];
  BuildToneCurve(curve, *info);
  double qR, qG, qB, lR, lG, lB;
  CalcCircleCoeff(kTargetLightness, info->colorX, info->colorY, &qR, &qG, &qB, &lR, &lG, &lB);
  for (int i = 0; i < kCurveSize; ++i) {
    double v = curve[i];
    handle->redTable[i] = qR * v * v + lR * v;
    handle->greenTable[i] = qG * v * v + lG * v;
    handle->blueTable[i] = qB * v * v + lB * v;
  }
}

}  // namespace velkui
