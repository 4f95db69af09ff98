// The picture unit: picture data written from PNG and read back, picture
// handles made, decoded and painted with Cairo.
#include "core/Picture.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "toolbox/memory.h"

namespace toolbox {
namespace internal {
namespace {

void PutBE(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
}

void PutBEAt(std::vector<uint8_t>& data, size_t at, UInt32 value, int bytes) {
  for (int i = 0; i < bytes; ++i) data[at + size_t(i)] = uint8_t(value >> (8 * (bytes - 1 - i)));
}

uint32_t GetBE32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

/// Dots per inch of a pHYs figure in pixels per metre. A whole number of
/// dots per inch is stored rounded to whole pixels per metre (144 dpi as 5669,
/// which reads back as 143.99): a figure within that rounding of a whole dpi
/// is that dpi, so a 144-dpi picture is exactly twice its frame in pixels.
double DotsPerInch(uint32_t pixelsPerMetre) {
  const double dpi = pixelsPerMetre * 0.0254;
  const double whole = std::floor(dpi + 0.5);
  return std::fabs(dpi - whole) <= 0.5 * 0.0254 ? whole : dpi;
}

/// Dots per inch from a PNG's pHYs chunk; 72 when it has none or no unit.
void PngResolution(const std::vector<uint8_t>& png, double* hRes, double* vRes) {
  *hRes = *vRes = 72;
  for (size_t at = 8; at + 12 <= png.size();) {
    uint32_t length = GetBE32(&png[at]);
    if (length > png.size() - at - 12) return;
    if (std::memcmp(&png[at + 4], "pHYs", 4) == 0 && length >= 9 && png[at + 16] == 1) {
      uint32_t x = GetBE32(&png[at + 8]), y = GetBE32(&png[at + 12]);
      if (x && y) {
        *hRes = DotsPerInch(x);
        *vRes = DotsPerInch(y);
      }
      return;
    }
    if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) return;  // pHYs comes before the data
    at += 12 + length;
  }
}

SInt16 Points(uint32_t pixels, double dpi) {
  return SInt16(std::min(32767.0, std::floor(pixels * 72.0 / dpi + 0.5)));
}

struct PngReader {
  const unsigned char* data;
  size_t size;
  size_t at;
};

cairo_status_t ReadPng(void* closure, unsigned char* out, unsigned int length) {
  auto* reader = static_cast<PngReader*>(closure);
  if (reader->size - reader->at < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, reader->data + reader->at, length);
  reader->at += length;
  return CAIRO_STATUS_SUCCESS;
}

/// PNG bytes decoded, or null when they cannot be.
cairo_surface_t* DecodePNG(const std::vector<uint8_t>& png) {
  PngReader reader{png.data(), png.size(), 0};
  cairo_surface_t* image = cairo_image_surface_create_from_png_stream(ReadPng, &reader);
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(image);
    return nullptr;
  }
  return image;
}

bool ParseHandle(PicHandle picture, PictureParts* parts) {
  Handle h = reinterpret_cast<Handle>(picture);
  if (!h || !*h) return false;
  Size size = GetHandleSize(h);
  return size > 0 && ParsePictureData(reinterpret_cast<const uint8_t*>(*h), size_t(size), parts);
}

}  // namespace

std::vector<uint8_t> PictureDataFromPNG(const std::vector<uint8_t>& png, std::string* error) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (png.size() < 33 || std::memcmp(png.data(), kSignature, 8) != 0 ||
      std::memcmp(&png[12], "IHDR", 4) != 0) {
    if (error) *error = "not a PNG file";
    return {};
  }
  uint32_t width = GetBE32(&png[16]), height = GetBE32(&png[20]);
  double hRes, vRes;
  PngResolution(png, &hRes, &vRes);
  std::vector<uint8_t> out;
  uint32_t total = uint32_t(26 + png.size());
  PutBE(out, total & 0xFFFF, 2);
  for (SInt16 v : {SInt16(0), SInt16(0), Points(height, vRes), Points(width, hRes)})
    PutBE(out, uint16_t(v), 2);
  PutBE(out, FOUR_CHAR_CODE("PNGf"), 4);
  PutBE(out, uint32_t(std::lround(hRes * 65536)), 4);
  PutBE(out, uint32_t(std::lround(vRes * 65536)), 4);
  PutBE(out, uint32_t(png.size()), 4);
  out.insert(out.end(), png.begin(), png.end());
  return out;
}

bool ParsePictureData(const uint8_t* data, size_t size, PictureParts* parts) {
  if (!data || size < 26 || GetBE32(data + 10) != FOUR_CHAR_CODE("PNGf")) return false;
  uint32_t length = GetBE32(data + 22);
  if (length > size - 26) return false;
  if (parts) {
    auto s16 = [&](size_t at) { return SInt16(uint16_t((data[at] << 8) | data[at + 1])); };
    parts->frame = Rect{s16(2), s16(4), s16(6), s16(8)};
    parts->hRes = SInt32(GetBE32(data + 14)) / 65536.0;
    parts->vRes = SInt32(GetBE32(data + 18)) / 65536.0;
    parts->png.assign(data + 26, data + 26 + length);
  }
  return true;
}

void SetPictureResolution(std::vector<uint8_t>& data, double dpi) {
  PictureParts info;
  if (!ParsePictureData(data.data(), data.size(), &info)) return;
  double pw = (info.frame.right - info.frame.left) * info.hRes / 72.0;
  double ph = (info.frame.bottom - info.frame.top) * info.vRes / 72.0;
  PutBEAt(data, 6, UInt32(SInt16(std::lround(ph * 72 / dpi))), 2);
  PutBEAt(data, 8, UInt32(SInt16(std::lround(pw * 72 / dpi))), 2);
  PutBEAt(data, 14, UInt32(std::lround(dpi * 65536)), 4);
  PutBEAt(data, 18, UInt32(std::lround(dpi * 65536)), 4);
}

PicHandle NewPictureFromPNG(const std::vector<uint8_t>& png, double dpi, std::string* error) {
  std::string why;
  std::vector<uint8_t> data = PictureDataFromPNG(png, &why);
  if (data.empty()) {
    if (error) *error = why.empty() ? "not a PNG image" : why;
    return nullptr;
  }
  if (dpi > 0) SetPictureResolution(data, dpi);
  Handle h = NewHandle(Size(data.size()));
  if (!h) {
    if (error) *error = "out of memory";
    return nullptr;
  }
  std::memcpy(*h, data.data(), data.size());
  return reinterpret_cast<PicHandle>(h);
}

std::vector<uint8_t> SolidPNG(SInt16 width, SInt16 height, UInt32 rgb) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max<int>(width, 1),
                                                  std::max<int>(height, 1));
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0);
  cairo_paint(cr);
  cairo_destroy(cr);
  std::vector<uint8_t> png;
  cairo_surface_write_to_png_stream(
      s,
      [](void* closure, const unsigned char* data, unsigned int length) {
        auto* out = static_cast<std::vector<uint8_t>*>(closure);
        out->insert(out->end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
      },
      &png);
  cairo_surface_destroy(s);
  return png;
}

bool PictureFrame(PicHandle picture, Rect* frame) {
  PictureParts parts;
  if (!ParseHandle(picture, &parts)) return false;
  if (frame) *frame = parts.frame;
  return true;
}

bool PaintPNG(cairo_t* cr, const std::vector<uint8_t>& png, double x, double y, double w, double h) {
  cairo_surface_t* image = DecodePNG(png);
  if (!image) return false;
  int iw = cairo_image_surface_get_width(image);
  int ih = cairo_image_surface_get_height(image);
  if (iw > 0 && ih > 0 && w > 0 && h > 0) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, w / iw, h / ih);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  cairo_surface_destroy(image);
  return true;
}

bool PaintPicture(cairo_t* cr, PicHandle picture, double x, double y, double w, double h) {
  PictureParts parts;
  return ParseHandle(picture, &parts) && PaintPNG(cr, parts.png, x, y, w, h);
}

}  // namespace internal
}  // namespace toolbox
