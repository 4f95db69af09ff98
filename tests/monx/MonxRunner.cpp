// Test helpers for the monx tool: scratch folders, tool runs, test images.
#include "MonxRunner.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/wait.h>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

namespace fs = std::filesystem;

namespace monx_test {

ScratchDir::ScratchDir() {
  std::string pattern = (fs::temp_directory_path() / "monx-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::vector<std::string> ScratchDir::List(const std::string& sub) const {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(sub.empty() ? path_ : path_ + "/" + sub, error))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

namespace {

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

RunResult RunMonx(const std::vector<std::string>& args, const std::string& shellSetup) {
  ScratchDir capture;
  std::string command = shellSetup + Quote(MONX_PATH);
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " >" + Quote(capture / "out") + " 2>" + Quote(capture / "err") + " </dev/null";
  int status = std::system(command.c_str());
  RunResult result;
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = Slurp(capture / "out");
  result.err = Slurp(capture / "err");
  return result;
}

monx::Image Uniform(int width, int height, std::vector<std::uint8_t> colour) {
  monx::Image image;
  image.info = {width, height, int(colour.size()), {}};
  for (int i = 0; i < width * height; ++i)
    image.pixels.insert(image.pixels.end(), colour.begin(), colour.end());
  return image;
}

monx::Image GreyPattern(int width, int height, double dpi) {
  monx::Image image = Uniform(width, height, {0});
  image.info.dpi = {dpi, dpi};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.Row(y)[x] = std::uint8_t((y * width + x) * 7 % 256);
  return image;
}

monx::Image RgbPattern(int width, int height, double dpi) {
  monx::Image image = Uniform(width, height, {0, 0, 0});
  image.info.dpi = {dpi, dpi};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = image.Row(y) + 3 * x;
      p[0] = std::uint8_t(x * 5 % 256);
      p[1] = std::uint8_t(y * 9 % 256);
      p[2] = std::uint8_t((x + y) * 3 % 256);
    }
  return image;
}

std::vector<std::uint8_t> EngineTone(const monx::Image& image, const MonxInfo& info) {
  std::vector<std::uint8_t> rgb;
  for (std::size_t i = 0; i < image.pixels.size(); ++i)
    rgb.insert(rgb.end(), image.info.channels == 1 ? 3 : 1, image.pixels[i]);
  std::vector<std::uint8_t> out(rgb.size());
  MonxImageDesc desc{image.info.width, image.info.height, 24, kMonxFormatRGB,
                     image.info.width * 3, 0, 0, 0};
  UIHdl* handle = nullptr;
  if (UICreateMonx(&desc, rgb.data(), &handle) != kMonxNoErr ||
      UIProcMonx(handle, &info, &desc, out.data()) != kMonxNoErr)
    throw std::runtime_error("engine refused a test record");
  UIDeleteMonx(handle);
  return out;
}

void Write16BitGreyPng(const std::string& path, const monx::Image& grey8) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(grey8.info.width), png_uint_32(grey8.info.height), 16,
               PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(std::size_t(grey8.info.width) * 2);
  for (int y = 0; y < grey8.info.height; ++y) {
    for (int x = 0; x < grey8.info.width; ++x) {
      unsigned level = grey8.Row(y)[x] * 257u + (grey8.Row(y)[x] < 255 ? 100u : 0u);
      row[std::size_t(2 * x)] = png_byte(level >> 8);  // PNG stores 16-bit samples big-endian
      row[std::size_t(2 * x + 1)] = png_byte(level & 0xFF);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

namespace {

void AppendChunk(std::string& png, const char* type, const std::string& data) {
  auto put32 = [&](std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) png += char((v >> shift) & 0xFF);
  };
  put32(std::uint32_t(data.size()));
  std::string body = std::string(type, 4) + data;
  png += body;
  put32(std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

}  // namespace

void WritePngHeaderOnly(const std::string& path, int width, int height, bool interlaced) {
  std::string header;
  for (int v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) header += char((unsigned(v) >> shift) & 0xFF);
  header += std::string("\x08\x00\x00\x00", 4) + char(interlaced ? 1 : 0);  // 8-bit grey
  std::string zeros(4096, '\0');
  std::vector<Bytef> packed(compressBound(uLong(zeros.size())));
  uLongf size = uLongf(packed.size());
  compress(packed.data(), &size, reinterpret_cast<const Bytef*>(zeros.data()), uLong(zeros.size()));
  std::string png = "\x89PNG\r\n\x1a\n";
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", std::string(reinterpret_cast<char*>(packed.data()), size));
  WriteText(path, png);  // no more data and no end chunk
}

void WritePalettePng(const std::string& path, int width, int height,
                     const std::vector<std::uint8_t>& colours,
                     const std::vector<std::uint8_t>& indices,
                     const std::vector<std::uint8_t>& alpha) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_PALETTE,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (std::size_t i = 0; i + 2 < colours.size(); i += 3)
    palette.push_back({colours[i], colours[i + 1], colours[i + 2]});
  png_set_PLTE(png, info, palette.data(), int(palette.size()));
  if (!alpha.empty()) png_set_tRNS(png, info, alpha.data(), int(alpha.size()), nullptr);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y)
    png_write_row(png, indices.data() + std::size_t(y) * std::size_t(width));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

namespace {

/// A JPEG of uniform samples, compressed in memory.
std::string CompressJpeg(int width, int height, int components, J_COLOR_SPACE space, bool progressive) {
  jpeg_compress_struct c{};
  jpeg_error_mgr errors{};
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = JDIMENSION(width);
  c.image_height = JDIMENSION(height);
  c.input_components = components;
  c.in_color_space = space;
  jpeg_set_defaults(&c);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(std::size_t(width * components), 120);
  for (int y = 0; y < height; ++y) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  std::string data(reinterpret_cast<char*>(buffer), size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return data;
}

}  // namespace

void WriteProgressiveJpegClaiming(const std::string& path, int width, int height) {
  std::string data = CompressJpeg(16, 16, 3, JCS_RGB, true);
  // Markers after the 2-byte start: FF, code, 2-byte length; the frame header (SOF2)
  // holds precision, then height and width, big-endian.
  for (std::size_t at = 2; at + 9 < data.size();
       at += 2 + ((unsigned char)data[at + 2] << 8 | (unsigned char)data[at + 3])) {
    if ((unsigned char)data[at + 1] != 0xC2) continue;
    data[at + 5] = char(height >> 8), data[at + 6] = char(height & 0xFF);
    data[at + 7] = char(width >> 8), data[at + 8] = char(width & 0xFF);
    break;
  }
  WriteText(path, data);
}

void WriteCmykJpeg(const std::string& path, int width, int height) {
  WriteText(path, CompressJpeg(width, height, 4, JCS_CMYK, false));
}

void Truncate(const std::string& path, long keep) { fs::resize_file(path, std::uintmax_t(keep)); }

}  // namespace monx_test
