// EXIF orientation through libexif; the pixel turns are plain index arithmetic.
#include "Orientation.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include <libexif/exif-data.h>

namespace monx {
namespace {

const unsigned char kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};

struct ExifFree {
  void operator()(ExifData* data) const { exif_data_unref(data); }
};
using ExifPtr = std::unique_ptr<ExifData, ExifFree>;

/// The block parsed as it is: libexif neither adds the entries the standard
/// requires nor drops tags it does not know.
ExifPtr Parse(const std::vector<std::uint8_t>& exif) {
  if (exif.empty()) return nullptr;
  ExifPtr data(exif_data_new());
  if (!data) return nullptr;
  exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
  exif_data_unset_option(data.get(), EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
  std::vector<unsigned char> block(kExifHeader, kExifHeader + sizeof kExifHeader);
  block.insert(block.end(), exif.begin(), exif.end());
  exif_data_load_data(data.get(), block.data(), unsigned(block.size()));
  return data;
}

ExifEntry* OrientationEntry(ExifData* data) {
  ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
  if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || entry->size < 2)
    return nullptr;
  return entry;
}

/// Width and height recorded in the EXIF sub-IFD swap places when the pixels
/// turn a quarter; each value keeps its entry's format (SHORT or LONG).
void SwapPixelDimensions(ExifData* data) {
  ExifContent* exif = data->ifd[EXIF_IFD_EXIF];
  ExifEntry* x = exif_content_get_entry(exif, EXIF_TAG_PIXEL_X_DIMENSION);
  ExifEntry* y = exif_content_get_entry(exif, EXIF_TAG_PIXEL_Y_DIMENSION);
  const ExifByteOrder order = exif_data_get_byte_order(data);
  auto readable = [](const ExifEntry* e) {
    return e && e->components == 1 &&
           ((e->format == EXIF_FORMAT_SHORT && e->size >= 2) ||
            (e->format == EXIF_FORMAT_LONG && e->size >= 4));
  };
  if (!readable(x) || !readable(y)) return;
  auto get = [order](const ExifEntry* e) -> std::uint32_t {
    return e->format == EXIF_FORMAT_SHORT ? exif_get_short(e->data, order)
                                          : exif_get_long(e->data, order);
  };
  auto set = [order](ExifEntry* e, std::uint32_t v) {
    if (e->format == EXIF_FORMAT_LONG)
      exif_set_long(e->data, order, v);
    else if (v <= 0xFFFF)
      exif_set_short(e->data, order, ExifShort(v));
  };
  const std::uint32_t width = get(x), height = get(y);
  set(x, height);
  set(y, width);
}

}  // namespace

int OrientationOf(const std::vector<std::uint8_t>& exif) {
  ExifPtr data = Parse(exif);
  ExifEntry* entry = data ? OrientationEntry(data.get()) : nullptr;
  if (!entry) return 1;
  int value = exif_get_short(entry->data, exif_data_get_byte_order(data.get()));
  return value >= 1 && value <= 8 ? value : 1;
}

std::vector<std::uint8_t> UprightExif(const std::vector<std::uint8_t>& exif, int orientation) {
  ExifPtr data = Parse(exif);
  if (!data) return {};
  if (ExifEntry* entry = OrientationEntry(data.get()))
    exif_set_short(entry->data, exif_data_get_byte_order(data.get()), 1);
  if (orientation >= 5 && orientation <= 8) SwapPixelDimensions(data.get());
  if (data->data) {  // libexif's default allocator is malloc's
    std::free(data->data);
    data->data = nullptr;
    data->size = 0;
  }
  unsigned char* saved = nullptr;
  unsigned int size = 0;
  exif_data_save_data(data.get(), &saved, &size);
  std::vector<std::uint8_t> result;
  if (saved && size > sizeof kExifHeader && std::memcmp(saved, kExifHeader, sizeof kExifHeader) == 0)
    result.assign(saved + sizeof kExifHeader, saved + size);
  std::free(saved);
  return result;
}

Image Upright(const Image& image, int orientation) {
  if (orientation <= 1 || orientation > 8) return image;
  const int w = image.info.width, h = image.info.height, c = image.info.channels;
  const bool swap = orientation >= 5;
  Image out;
  out.info = image.info;
  out.metadata = image.metadata;
  out.notes = image.notes;
  if (swap) {
    std::swap(out.info.width, out.info.height);
    std::swap(out.info.dpi.xDpi, out.info.dpi.yDpi);
  }
  out.pixels.resize(image.pixels.size());
  for (int v = 0; v < out.info.height; ++v) {
    std::uint8_t* dst = out.Row(v);
    for (int u = 0; u < out.info.width; ++u, dst += c) {
      int x = u, y = v;
      switch (orientation) {
        // The stored pixel (x, y) shown at (u, v) once upright.
        case 2: x = w - 1 - u; break;                 // stored mirrored left to right
        case 3: x = w - 1 - u; y = h - 1 - v; break;  // stored upside down
        case 4: y = h - 1 - v; break;                 // stored mirrored top to bottom
        case 5: x = v; y = u; break;                  // stored transposed
        case 6: x = v; y = h - 1 - u; break;          // shown after a quarter turn clockwise
        case 7: x = w - 1 - v; y = h - 1 - u; break;  // stored transversed
        case 8: x = w - 1 - v; y = u; break;          // shown after a quarter turn anticlockwise
      }
      std::memcpy(dst, image.Row(y) + std::size_t(x) * std::size_t(c), std::size_t(c));
    }
  }
  return out;
}

bool IsRgbProfile(const std::vector<std::uint8_t>& icc) {
  // The colour space signature sits at bytes 16 to 19 of the profile header.
  return icc.size() >= 20 && std::memcmp(icc.data() + 16, "RGB ", 4) == 0;
}

}  // namespace monx
