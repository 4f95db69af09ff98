// Monochrome toning engine: image and parameter records, engine handle, result codes, entry points.
#pragma once

#include "toolbox/types.h"
#include "velkui/export.h"

/// Describes the source pixels and the output buffer, which share one layout.
/// Eight consecutive signed 32-bit fields (32 bytes).
struct MonxImageDesc {
  SInt32 width;         ///< pixels per row, > 0
  SInt32 height;        ///< rows, > 0
  SInt32 bitsPerPixel;  ///< 24 for the 3-byte formats, 32 for the 4-byte formats
  SInt32 format;        ///< a kMonxFormat code, optionally with kMonxFormatIgnoredBit
  SInt32 rowBytes;      ///< distance between row starts, source and output alike, > 0
  SInt32 reserved1;     ///< unused, copied into the handle
  SInt32 reserved2;     ///< unused, copied into the handle
  SInt32 reserved3;     ///< unused, copied into the handle
};

/// Toning parameters: nine consecutive signed 32-bit fields (36 bytes).
/// The neutral record {0, 0, 180, 0, 0, 0, 0, 0, 0} leaves every colour byte as it is.
struct MonxInfo {
  SInt32 colorX;         ///< -75..75, position on the colour circle (a*)
  SInt32 colorY;         ///< -75..75, position on the colour circle (b*)
  SInt32 tone;           ///< 140, 160, 180, 200, 220 or 240: tone exponent in 1/180
  SInt32 brightness;     ///< -25..25
  SInt32 contrast;       ///< -25..25
  SInt32 shadowTone;     ///< -25..25, reshapes levels 0..60
  SInt32 highlightTone;  ///< -25..25, reshapes levels 192..255
  SInt32 density;        ///< -50..0, raises the darkest tones
  SInt32 whiteShift;     ///< 0 or 1: 1 draws white as level 245
};

/// Accepted values of a MonxInfo field: min to max in steps of `step`.
struct MonxRange {
  SInt32 min;
  SInt32 max;
  SInt32 step;
};

inline constexpr MonxRange kMonxColorRange{-75, 75, 1};       ///< colorX, colorY
inline constexpr MonxRange kMonxToneRange{140, 240, 20};      ///< tone
inline constexpr MonxRange kMonxAdjustRange{-25, 25, 1};      ///< brightness to highlightTone
inline constexpr MonxRange kMonxDensityRange{-50, 0, 1};      ///< density
inline constexpr MonxRange kMonxWhiteShiftRange{0, 1, 1};     ///< whiteShift

/// The ranges of the nine MonxInfo fields, in record order.
inline constexpr MonxRange kMonxFieldRanges[9] = {
    kMonxColorRange,  kMonxColorRange,  kMonxToneRange,    kMonxAdjustRange,    kMonxAdjustRange,
    kMonxAdjustRange, kMonxAdjustRange, kMonxDensityRange, kMonxWhiteShiftRange};

/// The record that leaves every colour byte as it is.
inline constexpr MonxInfo kMonxNeutralInfo{0, 0, 180, 0, 0, 0, 0, 0, 0};

/// Whether `value` is one of the values `range` accepts.
constexpr bool MonxAccepts(const MonxRange& range, SInt32 value) {
  return value >= range.min && value <= range.max && (value - range.min) % range.step == 0;
}

/// The engine record for one source image. Callers hold a pointer to it and
/// never look inside; it is declared here so that the library's own code and
/// its tests can.
struct UIHdl {
  Handle handle;          ///< the memory handle of this very record
  MonxInfo lastInfo;      ///< record of the last successful processing; zero at creation
  MonxImageDesc image;    ///< descriptor given at creation; processing uses its geometry
  const void* source;     ///< first source pixel given at creation (not copied)
  double redTable[256];   ///< channel curves of the last processing, unit scale
  double greenTable[256];
  double blueTable[256];
};

/// Result codes (all fit in 16 bits).
enum : SInt32 {
  kMonxNoErr = 0,
  kMonxErrImage = 4,       ///< UICreateMonx: the descriptor fails the image check
  kMonxErrProcImage = 6,   ///< UIProcMonx: the descriptor fails the image check
  kMonxErrMemory = 7,      ///< UICreateMonx: the record cannot be allocated
  kMonxErrHandle = 12,     ///< the handle pointer is null
  kMonxErrArgument = 13,   ///< another required pointer is null
  kMonxErrParam = 80,      ///< a MonxInfo field is outside its accepted values
};

/// Pixel format codes and the modifier bit the engine ignores.
enum : SInt32 {
  kMonxFormatRGB = 1,   ///< red, green, blue (24 bits)
  kMonxFormatBGR = 2,   ///< blue, green, red (24 bits)
  kMonxFormatXRGB = 4,  ///< pad, red, green, blue (32 bits)
  kMonxFormatBGRX = 8,  ///< blue, green, red, pad (32 bits)
  kMonxFormatIgnoredBit = 0x00080000,
};

extern "C" {

/// Creates an engine for one source image. Checks, in order: null image,
/// source or outHandle gives 13; a bad descriptor gives 4; an allocation
/// failure gives 7 and leaves *outHandle untouched. On success stores the new
/// handle in *outHandle and returns 0. The source pixels are not copied.
VELKUI_EXPORT SInt32 UICreateMonx(const MonxImageDesc* image, const void* source,
                                  UIHdl** outHandle);

/// Tones the handle's source image into output with the record. Checks, in
/// order: null handle 12; null image, output, info 13; bad descriptor 6; a
/// field out of range 80. Geometry and format come from the creation
/// descriptor; `image` serves the check only. Only the three colour bytes of
/// each pixel are written. A rejected call changes nothing.
VELKUI_EXPORT SInt32 UIProcMonx(UIHdl* handle, const MonxInfo* info, const MonxImageDesc* image,
                                void* output);

/// Stores in *changed 0 when the record equals the last processed one, else 1.
/// Null handle 12; null info or changed 13.
VELKUI_EXPORT SInt32 UIJudgeMonx(UIHdl* handle, const MonxInfo* info, UInt32* changed);

/// Frees the engine record; always returns 0. A null handle does nothing.
VELKUI_EXPORT SInt32 UIDeleteMonx(UIHdl* handle);

}  // extern "C"

/// The toning pipeline behind UIProcMonx, for a validated handle and record:
/// fills the handle's channel curves and writes the output image. Returns 0
/// (and does nothing when a pointer is null).
VELKUI_EXPORT SInt32 internal_UIProcMonx(UIHdl* handle, const MonxInfo* info, void* output);

/// 1 when all nine fields of the two records are equal, else 0 (also when a
/// pointer is null).
VELKUI_EXPORT SInt32 internal_UIJudgeMonx(const MonxInfo* a, const MonxInfo* b);
