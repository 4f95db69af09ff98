// Internal pieces of the toning engine: curve shaping, colour target, byte tables, pixel paths.
#pragma once

#include "velkui/toning.h"

namespace velkui {

/// Curve types; each selects one block of four cubic rows.
enum ProcType {
  kProcShadow = 0,
  kProcHighlight = 1,
  kProcDensity = 2,
  kProcBrightness = 3,
  kProcContrast = 4,
  kProcWhiteShift = 5,
};

/// Bends count entries of curve toward the cubic rows of block `type`, lower
/// row on [0, split], upper row on (split, 1], by amount / (amount > 0 ?
/// maxAmount : minAmount). Entries outside [0, 1] and an amount of 0 are left.
void Proc(double* curve, SInt32 count, double split, SInt32 amount, SInt32 minAmount,
          SInt32 maxAmount, ProcType type);

/// The quadratic and linear coefficients of the red, green and blue channel
/// curves that carry the mid grey to the colour at (px, py) on the circle.
void CalcCircleCoeff(double lightness, SInt32 px, SInt32 py, double* quadRed, double* quadGreen,
                     double* quadBlue, double* linRed, double* linGreen, double* linBlue);

/// Fills the handle's three channel curves from a validated record.
void BuildChannelCurves(UIHdl* handle, const MonxInfo* info);

/// The per-channel output bytes, one per source byte.
struct ByteTables {
  UInt8 red[256];
  UInt8 green[256];
  UInt8 blue[256];
};

/// The stored output byte for a channel curve value: the low 8 bits of the
/// truncation of value * 255 + 0.5.
UInt8 CurveByte(double value);

/// The bytes the per-pixel formula gives for each entry of the handle's curves.
void BuildByteTables(const UIHdl& handle, ByteTables* tables);

/// Which per-pixel loop maps the image.
enum class PixelPath {
  kAuto,    ///< the fastest the processor supports
  kScalar,  ///< the portable unrolled byte-table loop
  kVector,  ///< byte permutes over 512-bit registers (needs AVX-512 VBMI)
};

/// True when this processor can run PixelPath::kVector.
bool VectorPathAvailable();

/// Maps height rows of width pixels from source to output through the tables.
/// Only the colour bytes of each pixel are written. kVector without processor
/// support falls back to the scalar loop.
void MapPixels(const MonxImageDesc& image, const UInt8* source, UInt8* output,
               const ByteTables& tables, PixelPath path);

/// The whole pipeline of internal_UIProcMonx with a chosen pixel path.
void ToneImage(UIHdl* handle, const MonxInfo* info, void* output, PixelPath path);

}  // namespace velkui
