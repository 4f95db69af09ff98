// The picture unit: the data a 'PICT' resource or picture handle holds in this
// toolbox (a frame in points, a resolution and PNG bytes), how it is made from
// PNG, read back, decoded and painted (not installed).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "toolbox/quickdraw.h"

typedef struct _cairo cairo_t;

namespace toolbox {
namespace internal {

/// Picture data, byte layout (big-endian):
///   0  size (low 16 bits)    2  frame top, left, bottom, right (points)
///   10 'PNGf'                14 horizontal, 18 vertical resolution (16.16 dpi)
///   22 PNG length            26 PNG bytes
struct PictureParts {
  Rect frame{};
  double hRes = 72;
  double vRes = 72;
  std::vector<uint8_t> png;
};

/// Picture data for a PNG file's bytes: the frame is the pixel size at the
/// PNG's own resolution (72 dpi when it states none). Empty, with a reason in
/// `error`, when the bytes are no PNG.
std::vector<uint8_t> PictureDataFromPNG(const std::vector<uint8_t>& png, std::string* error);
/// Reads picture data; false when it is none. `parts` may be null.
bool ParsePictureData(const uint8_t* data, size_t size, PictureParts* parts);
/// Rewrites the frame and resolutions of picture data for `dpi`.
void SetPictureResolution(std::vector<uint8_t>& data, double dpi);
/// A picture handle made from PNG bytes (at `dpi` when > 0); null with a
/// reason when the bytes are no PNG or memory runs out.
PicHandle NewPictureFromPNG(const std::vector<uint8_t>& png, double dpi, std::string* error);
/// A PNG of one colour (0xRRGGBB).
std::vector<uint8_t> SolidPNG(SInt16 width, SInt16 height, UInt32 rgb);

/// The frame of a picture handle; false when the block is no picture.
bool PictureFrame(PicHandle picture, Rect* frame);
/// Draws PNG bytes scaled into the rectangle x, y, w, h on `cr`; false when
/// they cannot be decoded.
bool PaintPNG(cairo_t* cr, const std::vector<uint8_t>& png, double x, double y, double w, double h);
/// Draws a picture handle scaled into the rectangle; false when it is no picture.
bool PaintPicture(cairo_t* cr, PicHandle picture, double x, double y, double w, double h);

}  // namespace internal
}  // namespace toolbox
