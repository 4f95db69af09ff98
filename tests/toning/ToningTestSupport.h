// Helpers for the toning tests: records, formats, images with guard bytes, a per-pixel reference.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toning/MonxInternal.h"
#include "velkui/toning.h"

namespace toning_test {

constexpr MonxInfo kNeutral = {0, 0, 180, 0, 0, 0, 0, 0, 0};

/// One pixel format as the tests see it.
struct Format {
  SInt32 code;  ///< as given to the engine, possibly with the ignored bit
  SInt32 bits;
  int step;
  int red, green, blue;  ///< byte offsets in a pixel
  int pad;               ///< offset of the pad byte, or -1
  const char* name;
};

inline const std::vector<Format>& AllFormats() {
  static const std::vector<Format> formats = {
      {kMonxFormatRGB, 24, 3, 0, 1, 2, -1, "RGB"},
      {kMonxFormatBGR, 24, 3, 2, 1, 0, -1, "BGR"},
      {kMonxFormatXRGB, 32, 4, 1, 2, 3, 0, "XRGB"},
      {kMonxFormatBGRX, 32, 4, 2, 1, 0, 3, "BGRX"},
      {kMonxFormatRGB | kMonxFormatIgnoredBit, 24, 3, 0, 1, 2, -1, "RGB+ignored bit"},
      {kMonxFormatBGR | kMonxFormatIgnoredBit, 24, 3, 2, 1, 0, -1, "BGR+ignored bit"},
      {kMonxFormatXRGB | kMonxFormatIgnoredBit, 32, 4, 1, 2, 3, 0, "XRGB+ignored bit"},
      {kMonxFormatBGRX | kMonxFormatIgnoredBit, 32, 4, 2, 1, 0, 3, "BGRX+ignored bit"},
  };
  return formats;
}

/// Source and output buffers of one geometry; the output is filled with a
/// pattern so that bytes the engine must not write can be checked afterwards.
struct Picture {
  Picture(const Format& f, SInt32 width, SInt32 height, SInt32 rowBytes) : format(f) {
    desc = {width, height, f.bits, f.code, rowBytes, 0, 0, 0};
    size_t bytes = size_t(height - 1) * size_t(rowBytes) + size_t(width) * size_t(f.step);
    source.assign(bytes, 0);
    output.resize(bytes);
    for (size_t i = 0; i < bytes; ++i) output[i] = UInt8(0x5A ^ (i * 37));
    before = output;
  }
  UInt8* Pixel(std::vector<UInt8>& bytes, SInt32 x, SInt32 y) {
    return bytes.data() + size_t(y) * size_t(desc.rowBytes) + size_t(x) * size_t(format.step);
  }
  void SetGrey(SInt32 x, SInt32 y, UInt8 level) {
    UInt8* p = Pixel(source, x, y);
    p[format.red] = p[format.green] = p[format.blue] = level;
  }
  Format format;
  MonxImageDesc desc;
  std::vector<UInt8> source;
  std::vector<UInt8> output;
  std::vector<UInt8> before;  ///< the output as it was before processing
};

/// The per-pixel formula, straight from the channel curves, written in image
/// order into a copy of the untouched output.
inline std::vector<UInt8> ReferenceOutput(const UIHdl& handle, Picture& picture) {
  std::vector<UInt8> expected = picture.before;
  const Format& f = picture.format;
  for (SInt32 y = 0; y < picture.desc.height; ++y) {
    for (SInt32 x = 0; x < picture.desc.width; ++x) {
      const UInt8* s = picture.Pixel(picture.source, x, y);
      UInt8* d = picture.Pixel(expected, x, y);
      d[f.red] = UInt8(int(handle.redTable[s[f.red]] * 255.0 + 0.5));
      d[f.green] = UInt8(int(handle.greenTable[s[f.green]] * 255.0 + 0.5));
      d[f.blue] = UInt8(int(handle.blueTable[s[f.blue]] * 255.0 + 0.5));
    }
  }
  return expected;
}

inline std::string Describe(const MonxInfo& i) {
  return "{" + std::to_string(i.colorX) + ", " + std::to_string(i.colorY) + ", " +
         std::to_string(i.tone) + ", " + std::to_string(i.brightness) + ", " +
         std::to_string(i.contrast) + ", " + std::to_string(i.shadowTone) + ", " +
         std::to_string(i.highlightTone) + ", " + std::to_string(i.density) + ", " +
         std::to_string(i.whiteShift) + "}";
}

/// Index of the first differing byte, or -1.
inline long FirstDifference(const std::vector<UInt8>& a, const std::vector<UInt8>& b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] != b[i]) return long(i);
  }
  return a.size() == b.size() ? -1 : long(a.size() < b.size() ? a.size() : b.size());
}

}  // namespace toning_test
