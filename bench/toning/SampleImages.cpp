// Tones a sample photograph with a few records into PNG files, for looking at the output.
#include "SampleImages.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "velkui/toning.h"

namespace toning_bench {
namespace {

struct Rgb {
  int width = 0;
  int height = 0;
  std::vector<UInt8> pixels;  ///< 3 bytes a pixel, red first
};

bool ReadPng(const std::string& path, Rgb* image) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
  png.format = PNG_FORMAT_RGB;
  image->width = int(png.width);
  image->height = int(png.height);
  image->pixels.resize(PNG_IMAGE_SIZE(png));
  bool ok = png_image_finish_read(&png, nullptr, image->pixels.data(), 0, nullptr) != 0;
  png_image_free(&png);
  return ok;
}

bool WritePng(const std::string& path, const Rgb& image) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = png_uint_32(image.width);
  png.height = png_uint_32(image.height);
  png.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, nullptr) != 0;
}

struct Sample {
  const char* name;
  MonxInfo info;
};

const Sample kSamples[] = {
    {"neutral", {0, 0, 180, 0, 0, 0, 0, 0, 0}},
    {"sepia", {30, 60, 180, 0, 0, 0, 0, 0, 0}},
    {"cool", {-40, -60, 200, 0, 10, 0, 0, 0, 0}},
    {"warm-bright", {75, 20, 160, 15, 0, 10, 0, 0, 0}},
    {"faded", {10, 30, 180, 0, -25, 0, 0, -50, 1}},
    {"hard", {-10, 45, 240, -10, 25, -25, 25, 0, 0}},
};

/// Lays the RGB image out in a pixel format (4-byte pad bytes set to 0x77).
std::vector<UInt8> ToFormat(const Rgb& rgb, SInt32 format, int step, int r, int g, int b) {
  std::vector<UInt8> out(size_t(rgb.width) * rgb.height * step, 0x77);
  for (size_t p = 0; p < size_t(rgb.width) * rgb.height; ++p) {
    out[p * step + r] = rgb.pixels[p * 3];
    out[p * step + g] = rgb.pixels[p * 3 + 1];
    out[p * step + b] = rgb.pixels[p * 3 + 2];
  }
  return out;
}

}  // namespace

int WriteSamples(const std::string& input, const std::string& outputDir) {
  Rgb rgb;
  if (!ReadPng(input, &rgb)) {
    std::fprintf(stderr, "cannot read %s\n", input.c_str());
    return 1;
  }
  struct Layout {
    SInt32 format, bits;
    int step, r, g, b;
  };
  const Layout layouts[] = {{kMonxFormatRGB, 24, 3, 0, 1, 2}, {kMonxFormatBGR, 24, 3, 2, 1, 0},
                            {kMonxFormatXRGB, 32, 4, 1, 2, 3}, {kMonxFormatBGRX, 32, 4, 2, 1, 0}};
  for (const Sample& sample : kSamples) {
    std::vector<UInt8> first;
    for (const Layout& l : layouts) {
      std::vector<UInt8> source = ToFormat(rgb, l.format, l.step, l.r, l.g, l.b);
      std::vector<UInt8> output(source.size(), 0);
      MonxImageDesc desc = {rgb.width, rgb.height, l.bits, l.format, rgb.width * l.step, 0, 0, 0};
      UIHdl* handle = nullptr;
      SInt32 result = UICreateMonx(&desc, source.data(), &handle);
      if (result == kMonxNoErr) result = UIProcMonx(handle, &sample.info, &desc, output.data());
      UIDeleteMonx(handle);
      if (result != kMonxNoErr) {
        std::fprintf(stderr, "%s: engine result %d\n", sample.name, int(result));
        return 1;
      }
      Rgb toned{rgb.width, rgb.height, std::vector<UInt8>(rgb.pixels.size())};
      for (size_t p = 0; p < size_t(rgb.width) * rgb.height; ++p) {
        toned.pixels[p * 3] = output[p * l.step + l.r];
        toned.pixels[p * 3 + 1] = output[p * l.step + l.g];
        toned.pixels[p * 3 + 2] = output[p * l.step + l.b];
      }
      if (first.empty()) {
        first = toned.pixels;
        std::string path = outputDir + "/" + sample.name + ".png";
        if (!WritePng(path, toned)) {
          std::fprintf(stderr, "cannot write %s\n", path.c_str());
          return 1;
        }
        std::printf("wrote %s\n", path.c_str());
      } else if (first != toned.pixels) {
        std::fprintf(stderr, "%s: format %d differs from RGB\n", sample.name, int(l.format));
        return 1;
      }
    }
  }
  return 0;
}

}  // namespace toning_bench
