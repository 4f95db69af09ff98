// The painter: every control kind drawn with Cairo and DejaVu Sans into its
// window's port, text measured with the same font, windows saved as PNG
// (not installed).
#pragma once

#include <string>

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

/// Writes the window's pixels as a PNG file; false with a reason.
bool WritePortPNG(WindowRef window, const std::string& path, std::string* error);
/// The window's pixel at h, v (ARGB, premultiplied as stored).
UInt32 PortPixel(WindowRef window, SInt16 h, SInt16 v);

}  // namespace internal
}  // namespace toolbox
