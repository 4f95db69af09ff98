// Test helpers for the monx tool: a scratch folder, running the tool, making test images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ImageIo.h"
#include "velkui/toning.h"

namespace monx_test {

/// What one run of the tool produced.
struct RunResult {
  int code = -1;
  std::string out;
  std::string err;
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

/// A grey test pattern with every level present when there are 256 or more pixels.
monx::Image GreyPattern(int width, int height, double dpi = 0);
/// An RGB test pattern whose channels differ.
monx::Image RgbPattern(int width, int height, double dpi = 0);
/// A uniform image of one colour (1 or 3 channels).
monx::Image Uniform(int width, int height, std::vector<std::uint8_t> colour);

/// The engine's own output for packed RGB pixels (grey pixels are expanded first).
std::vector<std::uint8_t> EngineTone(const monx::Image& image, const MonxInfo& info);

/// Writes a 16-bit grey PNG whose levels are `level * 257 + 100` (8-bit level + noise).
void Write16BitGreyPng(const std::string& path, const monx::Image& grey8);
/// Writes the header and a little image data of a grey PNG that claims to be width x height.
void WritePngHeaderOnly(const std::string& path, int width, int height, bool interlaced);
/// Writes an 8-bit palette PNG of `colours` (RGB triples) whose pixels are
/// `indices`; with `alpha`, a transparency chunk gives each entry that alpha.
void WritePalettePng(const std::string& path, int width, int height,
                     const std::vector<std::uint8_t>& colours,
                     const std::vector<std::uint8_t>& indices,
                     const std::vector<std::uint8_t>& alpha);
/// Writes a small progressive JPEG whose header then claims width x height.
void WriteProgressiveJpegClaiming(const std::string& path, int width, int height);
/// Writes a small CMYK JPEG.
void WriteCmykJpeg(const std::string& path, int width, int height);
/// Cuts a file down to `keep` bytes.
void Truncate(const std::string& path, long keep);
/// The whole file as bytes, or empty.
std::string Slurp(const std::string& path);
void WriteText(const std::string& path, const std::string& text);

}  // namespace monx_test
