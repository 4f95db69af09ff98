// Colour to grey by luminance, computed in linear light.
#pragma once

#include <cstddef>
#include <cstdint>

namespace monx {

/// Turns `width` RGB pixels into grey: sRGB decoded to linear light, weighted
/// 0.2126 red, 0.7152 green, 0.0722 blue, encoded back. dst may equal src
/// (the grey row is written over the front of the RGB row).
void RgbToGrey(const std::uint8_t* src, std::uint8_t* dst, std::size_t width);

}  // namespace monx
