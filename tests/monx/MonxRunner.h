// Test helpers for the monx tool: a scratch folder, running the tool, making test images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ImageIo.h"
#include "velkui/toning.h"

namespace monx_test {

using Bytes = std::vector<std::uint8_t>;

/// What one run of the tool produced.
struct RunResult {
  int code = -1;
  std::string out, err;
};

/// A fresh folder removed with everything in it at the end of the test.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }
  /// Names of every entry (hidden ones included) of `sub` ("" for the folder itself), sorted.
  std::vector<std::string> List(const std::string& sub = "") const;

 private:
  std::string path_;
};

/// Runs the built tool with `args` (each passed as one argument); `shellSetup`
/// runs first in the same shell (such as "ulimit -f 4;").
RunResult RunMonx(const std::vector<std::string>& args, const std::string& shellSetup = "");

/// A test pattern of 1 or 3 channels that differ, each with every level present when
/// there are 256 or more pixels.
monx::Image Pattern(int width, int height, int channels, double dpi);
inline monx::Image GreyPattern(int width, int height, double dpi = 0) { return Pattern(width, height, 1, dpi); }
inline monx::Image RgbPattern(int width, int height, double dpi = 0) { return Pattern(width, height, 3, dpi); }
/// A uniform image of one colour (1, 3 or 4 channels).
monx::Image Uniform(int width, int height, Bytes colour);

/// The engine's own output for packed RGB pixels (grey pixels are expanded first).
Bytes EngineTone(const monx::Image& image, const MonxInfo& info);

/// Writes a PNG with libpng: `depth` bits, PNG colour type `colourType` (0 grey,
/// 3 palette), rows packed in `data`; a palette of RGB triples and its alphas.
void WritePng(const std::string& path, int width, int height, int depth, int colourType,
              const Bytes& data, const Bytes& palette = {}, const Bytes& alpha = {});
/// Writes a 16-bit grey PNG whose levels are `level * 257 + 100` (8-bit level + noise).
void Write16BitGreyPng(const std::string& path, const monx::Image& grey8);
/// Writes a grey PNG whose header claims width x height and whose data ends early.
void WritePngHeaderOnly(const std::string& path, int width, int height, bool interlaced);
/// A JPEG of `image` made with libjpeg (4 channels: CMYK), with an EXIF and an ICC
/// marker when given.
std::string JpegBytes(const monx::Image& image, bool progressive = false, const Bytes& exif = {},
                      const Bytes& icc = {});
/// Writes a small progressive JPEG whose header then claims width x height.
void WriteProgressiveJpegClaiming(const std::string& path, int width, int height);
/// Cuts a file down to `keep` bytes.
void Truncate(const std::string& path, long keep);
/// The whole file as bytes, or empty; and a file written with `text`.
std::string Slurp(const std::string& path);
void WriteText(const std::string& path, const std::string& text);

}  // namespace monx_test
