// Helpers for the toning tests: records, formats, images with guard bytes, a per-pixel reference.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "toning/MonxInternal.h"
#include "velkui/toning.h"

namespace toning_test {

using velkui::PixelPath;
constexpr MonxInfo kNeutral = {0, 0, 180, 0, 0, 0, 0, 0, 0};

/// One pixel format as the tests see it.
struct Format {
  SInt32 code;  ///< as given to the engine, possibly with the ignored bit
  SInt32 bits;
  int step, red, green, blue;  ///< bytes per pixel; byte offsets in a pixel
  int pad;                     ///< offset of the pad byte, or -1
  std::string name;
};

/// The four formats, then each again with the bit the engine ignores.
inline const std::vector<Format>& AllFormats() {
  static const std::vector<Format> formats = [] {
    std::vector<Format> f = {{kMonxFormatRGB, 24, 3, 0, 1, 2, -1, "RGB"},
                             {kMonxFormatBGR, 24, 3, 2, 1, 0, -1, "BGR"},
                             {kMonxFormatXRGB, 32, 4, 1, 2, 3, 0, "XRGB"},
                             {kMonxFormatBGRX, 32, 4, 2, 1, 0, 3, "BGRX"}};
    for (size_t i = 0; i < 4; ++i) f.push_back(f[i]), f.back().code |= kMonxFormatIgnoredBit;
    for (size_t i = 4; i < 8; ++i) f[i].name += "+ignored bit";
    return f;
  }();
  return formats;
}

/// Source and output buffers of one geometry, each with kGuard bytes before
/// and after the image. The output is filled with a pattern so that bytes the
/// engine must not write (guards, pad bytes, row padding) can be checked after.
struct Picture {
  static constexpr size_t kGuard = 64;
  Picture(const Format& f, SInt32 width, SInt32 height, SInt32 rowBytes) : format(f) {
    desc = {width, height, f.bits, f.code, rowBytes, 0, 0, 0};
    size_t bytes = size_t(height - 1) * size_t(rowBytes) + size_t(width) * size_t(f.step) + 2 * kGuard;
    source.assign(bytes, 0);
    output.resize(bytes);
    for (size_t i = 0; i < bytes; ++i) output[i] = UInt8(0x5A ^ (i * 37));
    before = output;
  }
  UInt8* Src() { return source.data() + kGuard; }
  UInt8* Out() { return output.data() + kGuard; }
  UInt8* Pixel(std::vector<UInt8>& bytes, SInt32 x, SInt32 y) {
    return bytes.data() + kGuard + size_t(y) * size_t(desc.rowBytes) + size_t(x) * size_t(format.step);
  }
  Format format;
  MonxImageDesc desc;
  std::vector<UInt8> source, output;
  std::vector<UInt8> before;  ///< the output as it was before processing
};

/// The stored byte of a curve value, as the per-pixel formula gives it.
inline UInt8 Byte(double curve) { return UInt8(int(curve * 255.0 + 0.5)); }

/// The per-pixel formula, straight from the channel curves, written in image
/// order into a copy of the untouched output.
inline std::vector<UInt8> ReferenceOutput(const UIHdl& handle, Picture& picture) {
  std::vector<UInt8> expected = picture.before;
  const Format& f = picture.format;
  for (SInt32 y = 0; y < picture.desc.height; ++y) {
    for (SInt32 x = 0; x < picture.desc.width; ++x) {
      const UInt8* s = picture.Pixel(picture.source, x, y);
      UInt8* d = picture.Pixel(expected, x, y);
      d[f.red] = Byte(handle.redTable[s[f.red]]);
      d[f.green] = Byte(handle.greenTable[s[f.green]]);
      d[f.blue] = Byte(handle.blueTable[s[f.blue]]);
    }
  }
  return expected;
}

inline SInt32& Field(MonxInfo& info, int field) { return reinterpret_cast<SInt32*>(&info)[field]; }

inline std::string Describe(MonxInfo info) {
  std::string text = "{";
  for (int i = 0; i < 9; ++i) text += (i ? ", " : "") + std::to_string(Field(info, i));
  return text + "}";
}

/// Index of the first differing byte, or -1.
inline long FirstDifference(const std::vector<UInt8>& a, const std::vector<UInt8>& b) {
  if (a == b) return -1;
  return long(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

inline const char* PathName(PixelPath path) {
  return path == PixelPath::kAuto ? "UIProcMonx" : path == PixelPath::kScalar ? "scalar" : "vector";
}

/// Tones through the public call (kAuto) or the chosen internal path.
inline void ToneWith(PixelPath path, UIHdl* handle, const MonxInfo& info, const MonxImageDesc& desc, UInt8* out) {
  if (path != PixelPath::kAuto) return velkui::ToneImage(handle, &info, out, path);
  ASSERT_EQ(kMonxNoErr, UIProcMonx(handle, &info, &desc, out));
}

/// Tests run once per pixel path: the public call, the scalar and the vector loop.
class ToningPaths : public ::testing::TestWithParam<PixelPath> {};

}  // namespace toning_test
