// Test helpers for the monx tool: a scratch folder, running the tool, making test images.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include "ImageIo.h"
#include "velkui/toning.h"

namespace monx_test {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

/// What one run of the tool produced.
struct RunResult {
  int code = -1;
  std::string out, err;
};

/// A fresh folder removed with everything in it at the end of the test.
class ScratchDir {
 public:
  ScratchDir() : path_((fs::temp_directory_path() / "monx-test-XXXXXX").string()) {
    if (!mkdtemp(path_.data())) throw std::runtime_error("mkdtemp failed");
  }
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }
  /// Names of every entry (hidden ones included) of `sub` ("" for the folder itself), sorted.
  std::vector<std::string> List(const std::string& sub = "") const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(sub.empty() ? path_ : path_ + "/" + sub, error))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

/// The whole file as bytes, or empty; and a file written with `text`.
inline std::string Slurp(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

/// Cuts a file down to `keep` bytes.
inline void Truncate(const std::string& path, long keep) { fs::resize_file(path, std::uintmax_t(keep)); }

/// Runs the built tool with `args` (each passed as one argument); `shellSetup`
/// runs first in the same shell (such as "ulimit -f 4;").
inline RunResult RunMonx(const std::vector<std::string>& args, const std::string& shellSetup = "") {
  auto quote = [](const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
  };
  ScratchDir capture;
  std::string command = shellSetup + quote(MONX_PATH);
  for (const std::string& arg : args) command += " " + quote(arg);
  command += " >" + quote(capture / "out") + " 2>" + quote(capture / "err") + " </dev/null";
  int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), Slurp(capture / "out"),
          Slurp(capture / "err")};
}

/// A uniform image of one colour (1, 3 or 4 channels).
inline monx::Image Uniform(int width, int height, Bytes colour) {
  monx::Image image;
  image.info = {width, height, int(colour.size()), {}};
  for (int i = 0; i < width * height; ++i)
    image.pixels.insert(image.pixels.end(), colour.begin(), colour.end());
  return image;
}

/// A test pattern of 1 or 3 channels that differ, each with every level present when
/// there are 256 or more pixels.
inline monx::Image Pattern(int width, int height, int channels, double dpi) {
  monx::Image image = Uniform(width, height, Bytes(std::size_t(channels)));
  image.info.dpi = {dpi, dpi};
  for (std::size_t i = 0; i < image.pixels.size(); ++i)  // pixel k, channel c: k * (7, 5 or 3)
    image.pixels[i] = std::uint8_t(i / std::size_t(channels) * (7 - 2 * (i % std::size_t(channels))) % 256);
  return image;
}
inline monx::Image GreyPattern(int width, int height, double dpi = 0) { return Pattern(width, height, 1, dpi); }
inline monx::Image RgbPattern(int width, int height, double dpi = 0) { return Pattern(width, height, 3, dpi); }

/// The engine's own output for packed RGB pixels (grey pixels are expanded first).
inline Bytes EngineTone(const monx::Image& image, const MonxInfo& info) {
  Bytes rgb;
  for (std::uint8_t v : image.pixels) rgb.insert(rgb.end(), image.info.channels == 1 ? 3 : 1, v);
  Bytes out(rgb.size());
  MonxImageDesc desc{image.info.width, image.info.height, 24, kMonxFormatRGB, image.info.width * 3,
                     0, 0, 0};
  UIHdl* handle = nullptr;
  if (UICreateMonx(&desc, rgb.data(), &handle) != kMonxNoErr ||
      UIProcMonx(handle, &info, &desc, out.data()) != kMonxNoErr)
    throw std::runtime_error("engine refused a test record");
  UIDeleteMonx(handle);
  return out;
}

/// Writes a PNG with libpng: `depth` bits, PNG colour type `colourType` (0 grey,
/// 3 palette), rows packed in `data`; a palette of RGB triples and its alphas.
inline void WritePng(const std::string& path, int width, int height, int depth, int colourType,
                     const Bytes& data, const Bytes& palette = {}, const Bytes& alpha = {}) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), depth, colourType,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> colours;
  for (std::size_t i = 0; i + 2 < palette.size(); i += 3)
    colours.push_back({palette[i], palette[i + 1], palette[i + 2]});
  if (!colours.empty()) png_set_PLTE(png, info, colours.data(), int(colours.size()));
  if (!alpha.empty()) png_set_tRNS(png, info, alpha.data(), int(alpha.size()), nullptr);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) png_write_row(png, data.data() + data.size() / height * y);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

/// Writes a 16-bit grey PNG whose levels are `level * 257 + 100` (8-bit level + noise).
inline void Write16BitGreyPng(const std::string& path, const monx::Image& grey8) {
  Bytes data;
  for (std::uint8_t v : grey8.pixels) {
    unsigned level = v * 257u + (v < 255 ? 100u : 0u);
    data.insert(data.end(), {std::uint8_t(level >> 8), std::uint8_t(level)});  // big-endian
  }
  WritePng(path, grey8.info.width, grey8.info.height, 16, PNG_COLOR_TYPE_GRAY, data);
}

/// Writes a grey PNG whose header claims width x height and whose data ends early.
inline void WritePngHeaderOnly(const std::string& path, int width, int height, bool interlaced) {
  WritePng(path, 64, 64, 8, PNG_COLOR_TYPE_GRAY, Bytes(64 * 64));
  std::string png = Slurp(path);
  png.resize(png.size() - 12);  // no end chunk
  // The header chunk: length, type at 12, width at 16, height at 20, interlace at 28, CRC at 29.
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) png[at + std::size_t(i)] = char(v >> (24 - 8 * i));
  };
  put32(16, std::uint32_t(width)), put32(20, std::uint32_t(height));
  png[28] = char(interlaced);
  put32(29, std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17)));
  WriteText(path, png);
}

/// A JPEG of `image` made with libjpeg (4 channels: CMYK), with an EXIF and an ICC
/// marker when given.
inline std::string JpegBytes(const monx::Image& image, bool progressive = false, const Bytes& exif = {},
                             const Bytes& icc = {}) {
  jpeg_compress_struct c{};
  jpeg_error_mgr errors{};
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = JDIMENSION(image.info.width);
  c.image_height = JDIMENSION(image.info.height);
  c.input_components = image.info.channels;
  c.in_color_space = image.info.channels == 4 ? JCS_CMYK : image.info.channels == 3 ? JCS_RGB : JCS_GRAYSCALE;
  jpeg_set_defaults(&c);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  if (!exif.empty()) {
    Bytes app1 = {'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), exif.begin(), exif.end());
    jpeg_write_marker(&c, JPEG_APP0 + 1, app1.data(), unsigned(app1.size()));
  }
  if (!icc.empty()) jpeg_write_icc_profile(&c, icc.data(), unsigned(icc.size()));
  for (int y = 0; y < image.info.height; ++y) {
    JSAMPROW row = const_cast<JSAMPROW>(image.Row(y));
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  std::string data(reinterpret_cast<char*>(buffer), size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return data;
}

/// Writes a small progressive JPEG whose header then claims width x height.
inline void WriteProgressiveJpegClaiming(const std::string& path, int width, int height) {
  std::string data = JpegBytes(Uniform(16, 16, {120, 120, 120}), true);
  // Markers after the 2-byte start: FF, code, 2-byte length; the frame header (SOF2)
  // holds precision, then height and width, big-endian.
  std::size_t at = 2;
  while (at + 9 < data.size() && (unsigned char)data[at + 1] != 0xC2)
    at += 2 + ((unsigned char)data[at + 2] << 8 | (unsigned char)data[at + 3]);
  if (at + 9 >= data.size()) throw std::runtime_error("libjpeg wrote no progressive frame header");
  data[at + 5] = char(height >> 8), data[at + 6] = char(height & 0xFF);
  data[at + 7] = char(width >> 8), data[at + 8] = char(width & 0xFF);
  WriteText(path, data);
}

}  // namespace monx_test
