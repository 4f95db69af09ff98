// Luminance of sRGB pixels through two tables: decode to 16-bit linear, encode back.
#include "Grey.h"

#include <cmath>
#include <vector>

namespace monx {
namespace {

// Weights of the sRGB (Rec. 709) primaries in luminance, in 1/32768; they add up to 32768.
constexpr std::uint32_t kRed = 6967, kGreen = 23436, kBlue = 2365;

double DecodeSrgb(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }
double EncodeSrgb(double v) {
  return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
}

struct Tables {
  std::uint32_t linear[256];
  std::vector<std::uint8_t> encode = std::vector<std::uint8_t>(65536);
  Tables() {
    for (int i = 0; i < 256; ++i) linear[i] = std::uint32_t(std::lround(DecodeSrgb(i / 255.0) * 65535.0));
    for (int i = 0; i < 65536; ++i)
      encode[std::size_t(i)] = std::uint8_t(std::lround(EncodeSrgb(i / 65535.0) * 255.0));
  }
};

const Tables& TheTables() {
  static const Tables tables;
  return tables;
}

}  // namespace

void RgbToGrey(const std::uint8_t* src, std::uint8_t* dst, std::size_t width) {
  const Tables& t = TheTables();
  for (std::size_t x = 0; x < width; ++x, src += 3) {
    std::uint32_t y = (t.linear[src[0]] * kRed + t.linear[src[1]] * kGreen +
                       t.linear[src[2]] * kBlue + 16384) >> 15;
    dst[x] = t.encode[y];
  }
}

void OverWhite(const std::uint8_t* colour, std::size_t colourStep, const std::uint8_t* alpha,
               std::uint8_t* dst, std::size_t width) {
  for (std::size_t x = 0; x < width; ++x, colour += colourStep, dst += 3) {
    std::uint32_t a = alpha[4 * x + 3];
    for (int c = 0; c < 3; ++c) dst[c] = std::uint8_t((colour[c] * a + 255 * (255 - a) + 127) / 255);
  }
}

}  // namespace monx
