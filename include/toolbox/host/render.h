// Host face of drawing: a window rendered with Cairo (DejaVu Sans), saved as
// PNG or read pixel by pixel, and pictures made from PNG files.
#pragma once

#include <string>
#include <vector>

#include "toolbox/quickdraw.h"
#include "toolbox/types.h"

namespace toolbox {
namespace host {

/// Erases the window to its grey background (0xECECEC) and draws every
/// visible control; user panes through their draw procedures, image wells with
/// their picture; inactive controls (or hilite 255) at 35% strength.
TOOLBOX_EXPORT void RenderWindow(WindowRef window);
/// RenderWindow, then the window's pixels into a PNG file.
TOOLBOX_EXPORT bool SaveWindowPNG(WindowRef window, const std::string& path, std::string* error);
/// RenderWindow at `scale` (1 to 4) times the window's size, as PNG bytes: 2 for
/// high-density screens, with text and lines drawn sharp rather than enlarged.
/// False and *error for a dead window, a scale out of range or no memory.
TOOLBOX_EXPORT bool WindowPNG(WindowRef window, double scale, std::vector<unsigned char>* png,
                              std::string* error);
/// The same as bytes R, G, B, A, row by row, for showing without decoding
/// (a browser canvas takes them as they are); the size is the window's times `scale`.
TOOLBOX_EXPORT bool WindowRGBA(WindowRef window, double scale, std::vector<unsigned char>* rgba,
                               std::string* error);
/// The window's pixel (h, v) as 0xAARRGGBB, as drawn last; 0 outside it.
TOOLBOX_EXPORT UInt32 PixelAt(WindowRef window, SInt16 h, SInt16 v);
/// A picture handle (picture data of the resource service) from PNG bytes;
/// `dpi` > 0 sets the resolution, 0 keeps the PNG's own (72 when it has none).
/// Null (and *error) when the bytes are no PNG or memory runs out.
TOOLBOX_EXPORT PicHandle MakePictureFromPNGBytes(const std::vector<unsigned char>& png,
                                                 double dpi, std::string* error);
TOOLBOX_EXPORT PicHandle MakePictureFromPNG(const std::string& path, double dpi,
                                            std::string* error);
/// A picture of one colour (0xRRGGBB), width x height pixels (72 dpi).
TOOLBOX_EXPORT PicHandle MakeSolidPicture(SInt16 width, SInt16 height, UInt32 rgb);

}  // namespace host
}  // namespace toolbox
