// Colour to grey by luminance, computed in linear light.
#pragma once

#include <cstddef>
#include <cstdint>

namespace monx {

/// Turns `width` RGB pixels into grey: sRGB decoded to linear light, weighted
/// 0.2126 red, 0.7152 green, 0.0722 blue, encoded back. dst may equal src
/// (the grey row is written over the front of the RGB row).
void RgbToGrey(const std::uint8_t* src, std::uint8_t* dst, std::size_t width);

/// Lays `width` pixels over white: the colour comes from `colour` (pixels
/// `colourStep` bytes apart, RGB first), the alpha from the RGBA row `alpha`;
/// writes packed RGB into dst, which may equal `colour` when colourStep is 3.
void OverWhite(const std::uint8_t* colour, std::size_t colourStep, const std::uint8_t* alpha,
               std::uint8_t* dst, std::size_t width);

}  // namespace monx
