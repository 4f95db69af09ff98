// What the PNG and JPEG targets share: the input is opened as a file in memory,
// handed to monx's reader, and its rows are read top to bottom (up to a few
// million pixels, so a header announcing a huge image costs no more time than
// the reader itself spends on it). A small image is also turned upright by its
// EXIF orientation. Bad data must end in a ToolError, nothing else.
#pragma once

#include <cstdio>

#include "Fuzz.h"
#include "Orientation.h"
#include "ToolError.h"

namespace fuzz {

template <class Open>
void ReadImage(const uint8_t* data, size_t size, Open open) {
  if (size == 0) return;  // fmemopen refuses an empty buffer
  std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  FUZZ_CHECK(file != nullptr);
  try {
    std::unique_ptr<monx::RowReader> reader = open(file);
    const monx::ImageInfo& info = reader->info();
    FUZZ_CHECK(info.width > 0 && info.height > 0);
    FUZZ_CHECK(info.channels == 1 || info.channels == 3 || info.channels == 4);
    monx::Image image{info, {}, reader->metadata(), reader->notes()};
    const size_t kMaxBytes = size_t(1) << 22;
    int rows = int(std::min<size_t>(size_t(info.height), kMaxBytes / info.RowBytes()));
    image.pixels.resize(size_t(rows) * info.RowBytes());
    for (int y = 0; y < rows; ++y) reader->ReadRows(image.Row(y), 0, 1);
    int orientation = monx::OrientationOf(image.metadata.exif);
    FUZZ_CHECK(orientation >= 1 && orientation <= 8);
    monx::UprightExif(image.metadata.exif, orientation);
    monx::IsRgbProfile(image.metadata.icc);
    if (rows == info.height && image.pixels.size() <= (size_t(1) << 20))
      monx::Upright(image, orientation);
  } catch (const monx::ToolError& error) {
    FUZZ_CHECK(error.what()[0] != '\0');
  }
}

}  // namespace fuzz
