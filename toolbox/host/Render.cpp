// Rendering as the host asks for it: windows painted, saved as PNG, read
// pixel by pixel; pictures made from PNG files and bytes.
#include "toolbox/host/render.h"

#include <fstream>
#include <iterator>

#include "core/Painter.h"
#include "core/Picture.h"

namespace toolbox {
namespace host {

void RenderWindow(WindowRef window) {
  if (internal::IsLiveWindow(window)) internal::PaintWindow(window);
}

bool SaveWindowPNG(WindowRef window, const std::string& path, std::string* error) {
  if (!internal::IsLiveWindow(window)) {
    if (error) *error = "not a window";
    return false;
  }
  internal::PaintWindow(window);
  return internal::WritePortPNG(window, path, error);
}

namespace {

bool CanScale(WindowRef window, double scale, std::string* error) {
  if (internal::IsLiveWindow(window) && scale >= 1 && scale <= 4) return true;
  if (error) *error = internal::IsLiveWindow(window) ? "scale out of range 1..4" : "not a window";
  return false;
}

}  // namespace

bool WindowPNG(WindowRef window, double scale, std::vector<unsigned char>* png,
               std::string* error) {
  if (!CanScale(window, scale, error)) return false;
  png->clear();
  return internal::EncodeWindowPNG(window, scale, png, error);
}

bool WindowRGBA(WindowRef window, double scale, std::vector<unsigned char>* rgba,
                std::string* error) {
  return CanScale(window, scale, error) && internal::CopyWindowRGBA(window, scale, rgba, error);
}

UInt32 PixelAt(WindowRef window, SInt16 h, SInt16 v) {
  if (!internal::IsLiveWindow(window) || h < 0 || v < 0 || h >= window->width ||
      v >= window->height)
    return 0;
  return internal::PortPixel(window, h, v);
}

PicHandle MakePictureFromPNGBytes(const std::vector<unsigned char>& png, double dpi,
                                  std::string* error) {
  return internal::NewPictureFromPNG(png, dpi, error);
}

PicHandle MakePictureFromPNG(const std::string& path, double dpi, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = path + ": cannot open";
    return nullptr;
  }
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  std::string why;
  PicHandle picture = MakePictureFromPNGBytes(bytes, dpi, &why);
  if (!picture && error) *error = path + ": " + why;
  return picture;
}

PicHandle MakeSolidPicture(SInt16 width, SInt16 height, UInt32 rgb) {
  return MakePictureFromPNGBytes(internal::SolidPNG(width, height, rgb), 0, nullptr);
}

}  // namespace host
}  // namespace toolbox
