// The EXIF orientation of a photo: reading it, turning the pixels upright, and
// the EXIF block to carry into an upright output.
#pragma once

#include <cstdint>
#include <vector>

#include "ImageIo.h"

namespace monx {

/// The orientation (1 to 8) recorded in an EXIF block (a TIFF stream); 1 when
/// the block is empty, unreadable or has none.
int OrientationOf(const std::vector<std::uint8_t>& exif);

/// The EXIF block of the photo once its pixels are turned upright from
/// `orientation`: orientation 1, the recorded pixel width and height swapped for
/// 5 to 8, and no thumbnail (it shows the untoned photo the old way round).
/// Empty when the block cannot be read.
std::vector<std::uint8_t> UprightExif(const std::vector<std::uint8_t>& exif, int orientation);

/// The pixels of `image` turned and mirrored so that a photo stored with
/// `orientation` shows the right way up (width and height swap for 5 to 8).
Image Upright(const Image& image, int orientation);

/// True when an ICC profile describes RGB colour.
bool IsRgbProfile(const std::vector<std::uint8_t>& icc);

}  // namespace monx
