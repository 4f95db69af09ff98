// The painter: every control kind drawn with Cairo and DejaVu Sans into its
// window's port, the QuickDraw calls' drawing, text measured with the same
// font, windows saved as PNG (not installed).
#pragma once

#include <string>
#include <vector>

#include "core/Records.h"

namespace toolbox {
namespace internal {

/// The background colour of windows (0xEC each channel).
constexpr double kWindowGrey = 0xEC / 255.0;

/// Paints one control (and its embedded controls) into its window's port, or
/// nothing when it is hidden. Calls user pane draw procedures with the window's
/// port current.
void PaintControl(ControlRef control);
/// Erases the window to its background and paints every control.
void PaintWindow(WindowRef window);
/// The popup's label width (measured from its title when not set).
SInt16 PopupLabelWidth(ControlRef control);

/// Call before any text drawing: arranges for the font caches to be freed at exit.
void UseFonts();
/// Text measured with the fonts as drawn.
double TextWidthPixels(const std::string& text, double size);

/// Port drawing for the QuickDraw calls; arguments are checked by the caller.
void FlushPort(GrafPtr port);
void FillPortRect(GrafPtr port, const Rect& r, const RGBColor& colour);
/// A one-pixel outline inside the rectangle.
void FramePortRect(GrafPtr port, const Rect& r, const RGBColor& colour);
void StrokePortLine(GrafPtr port, Point from, Point to, const RGBColor& colour);
/// Text in DejaVu Sans with its baseline starting at `at`.
void DrawPortText(GrafPtr port, const std::string& text, Point at, SInt16 size,
                  const RGBColor& colour);
/// Copies `srcRect` of one port scaled onto `dstRect` of another (sizes > 0).
void CopyPortBits(GrafPtr from, GrafPtr to, const Rect& srcRect, const Rect& dstRect);
/// As CopyPortBits through a mask port: black copies, white keeps the
/// destination, greys blend.
void CopyPortMask(GrafPtr from, GrafPtr mask, GrafPtr to, const Rect& srcRect,
                  const Rect& maskRect, const Rect& dstRect);
/// Draws a picture scaled into `dst`; nothing when it is no picture.
void DrawPortPicture(GrafPtr port, PicHandle picture, const Rect& dst);

/// Paints the window at `scale` times its size (text and lines drawn sharp, not
/// enlarged) and appends it as PNG to *png; scale 1 paints the window's own port.
/// False with a reason when the image cannot be made.
bool EncodeWindowPNG(WindowRef window, double scale, std::vector<unsigned char>* png,
                     std::string* error);
/// The same painting, as bytes R, G, B, A row by row (width and height: the
/// window's times `scale`, rounded).
bool CopyWindowRGBA(WindowRef window, double scale, std::vector<unsigned char>* rgba,
                    std::string* error);
/// Writes the window's pixels as a PNG file; false with a reason.
bool WritePortPNG(WindowRef window, const std::string& path, std::string* error);
/// The window's pixel at h, v (ARGB, premultiplied as stored).
UInt32 PortPixel(WindowRef window, SInt16 h, SInt16 v);

}  // namespace internal
}  // namespace toolbox
