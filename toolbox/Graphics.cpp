// Bitmap graphics over Cairo: bitmap contexts on caller memory (converted to
// Cairo's pixel form around each drawing), images over data providers,
// pictures, and drawing contexts on ports.
#include "toolbox/graphics.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "core/Picture.h"
#include "core/Records.h"

using namespace toolbox::internal;

struct CGColorSpace {
  int references = 1;
};

struct CGDataProvider {
  int references = 1;
  void* info = nullptr;
  const void* data = nullptr;
  size_t size = 0;
  CGDataProviderReleaseDataCallback release = nullptr;
};

/// Pixel layout shared by bitmap contexts and images.
struct PixelLayout {
  size_t width = 0;
  size_t height = 0;
  size_t bytesPerRow = 0;
  CGBitmapInfo info = 0;
};

struct CGContext {
  int references = 1;
  GrafPtr port = nullptr;  // port contexts draw straight into the port
  PixelLayout layout;      // bitmap contexts
  unsigned char* data = nullptr;
  std::vector<unsigned char> own;  // memory when the caller gave none
  CGColorSpaceRef space = nullptr;
};

struct CGImage {
  int references = 1;
  PixelLayout layout;
  CGDataProviderRef provider = nullptr;
  CGColorSpaceRef space = nullptr;
};

struct QDPict {
  cairo_surface_t* image = nullptr;
  Rect frame{0, 0, 0, 0};
  double hRes = 72;
  double vRes = 72;
};

namespace {


template <class T>
T* Track(T* object) {
  LiveGraphics().insert(object);
  return object;
}

template <class T>
bool Known(const T* object) {
  return object && LiveGraphics().count(object);
}

template <class T>
T* Retain(T* object) {
  if (Known(object)) ++object->references;
  return object;
}

/// Drops a reference; true when it was the last and the object must go.
template <class T>
bool DropReference(T* object) {
  if (!Known(object) || --object->references > 0) return false;
  LiveGraphics().erase(object);
  return true;
}

bool SupportedLayout(size_t bitsPerComponent, size_t bitsPerPixel, CGBitmapInfo info) {
  CGBitmapInfo alpha = info & kCGBitmapAlphaInfoMask;
  CGBitmapInfo order = info & kCGBitmapByteOrderMask;
  return bitsPerComponent == 8 && bitsPerPixel == 32 && alpha >= 1 && alpha <= 6 &&
         (order == kCGBitmapByteOrderDefault || order == kCGBitmapByteOrder32Little ||
          order == kCGBitmapByteOrder32Big);
}

bool AlphaFirst(CGBitmapInfo info) {
  CGBitmapInfo alpha = info & kCGBitmapAlphaInfoMask;
  return alpha == 2 || alpha == 4 || alpha == 6;
}

/// The pixel as 0xAARRGGBB, premultiplied, as Cairo keeps it.
UInt32 ReadPixel(const unsigned char* p, CGBitmapInfo info) {
  UInt32 v = (info & kCGBitmapByteOrderMask) == kCGBitmapByteOrder32Little
                 ? UInt32(p[0]) | UInt32(p[1]) << 8 | UInt32(p[2]) << 16 | UInt32(p[3]) << 24
                 : UInt32(p[0]) << 24 | UInt32(p[1]) << 16 | UInt32(p[2]) << 8 | UInt32(p[3]);
  UInt32 a, rgb;
  if (AlphaFirst(info)) {
    a = v >> 24;
    rgb = v & 0xFFFFFF;
  } else {
    a = v & 0xFF;
    rgb = v >> 8;
  }
  CGBitmapInfo alpha = info & kCGBitmapAlphaInfoMask;
  if (alpha == kCGImageAlphaNoneSkipFirst || alpha == kCGImageAlphaNoneSkipLast) a = 0xFF;
  if (alpha == kCGImageAlphaFirst || alpha == kCGImageAlphaLast) {
    auto mul = [&](UInt32 c) { return (c * a + 127) / 255; };
    rgb = mul(rgb >> 16) << 16 | mul((rgb >> 8) & 0xFF) << 8 | mul(rgb & 0xFF);
  }
  return a << 24 | rgb;
}

void WritePixel(unsigned char* p, UInt32 argb, CGBitmapInfo info) {
  UInt32 a = argb >> 24, rgb = argb & 0xFFFFFF;
  CGBitmapInfo alpha = info & kCGBitmapAlphaInfoMask;
  if ((alpha == kCGImageAlphaFirst || alpha == kCGImageAlphaLast) && a != 0 && a != 0xFF) {
    auto unmul = [&](UInt32 c) { return std::min<UInt32>(255, (c * 255 + a / 2) / a); };
    rgb = unmul(rgb >> 16) << 16 | unmul((rgb >> 8) & 0xFF) << 8 | unmul(rgb & 0xFF);
  }
  UInt32 v = AlphaFirst(info) ? (a << 24 | rgb) : (rgb << 8 | a);
  if ((info & kCGBitmapByteOrderMask) == kCGBitmapByteOrder32Little) {
    for (int i = 0; i < 4; ++i) p[i] = UInt8(v >> (8 * i));
  } else {
    for (int i = 0; i < 4; ++i) p[i] = UInt8(v >> (24 - 8 * i));
  }
}

/// A Cairo copy of pixels in `layout` at `data`.
cairo_surface_t* Import(const PixelLayout& layout, const unsigned char* data) {
  cairo_surface_t* s =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(layout.width), int(layout.height));
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) return s;
  cairo_surface_flush(s);
  unsigned char* out = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  // Pad byte first, big-endian (x R G B): the bitmaps of previews drawn at
  // every change, read without the general per-pixel decision.
  const bool padFirst = layout.info == kCGImageAlphaNoneSkipFirst;
  for (size_t y = 0; y < layout.height; ++y) {
    auto* o = reinterpret_cast<UInt32*>(out + y * size_t(stride));
    const unsigned char* p = data + y * layout.bytesPerRow;
    for (size_t x = 0; x < layout.width; ++x, p += 4)
      o[x] = padFirst ? 0xFF000000u | UInt32(p[1]) << 16 | UInt32(p[2]) << 8 | p[3]
                      : ReadPixel(p, layout.info);
  }
  cairo_surface_mark_dirty(s);
  return s;
}

void Export(cairo_surface_t* s, const PixelLayout& layout, unsigned char* data) {
  cairo_surface_flush(s);
  const unsigned char* in = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (size_t y = 0; y < layout.height; ++y)
    for (size_t x = 0; x < layout.width; ++x)
      WritePixel(data + y * layout.bytesPerRow + x * 4,
                 *reinterpret_cast<const UInt32*>(in + y * size_t(stride) + x * 4), layout.info);
}

/// Runs `draw` with a Cairo context on the context's pixels and the height
/// that turns bitmap coordinates (y up) into Cairo's (y down).
template <class Draw>
void WithCairo(CGContextRef context, Draw draw) {
  if (!Known(context)) return;
  if (context->port) {
    if (!IsLivePort(context->port)) return;
    cairo_t* cr = cairo_create(context->port->surface);
    draw(cr, double(context->port->bounds.bottom - context->port->bounds.top));
    cairo_destroy(cr);
    cairo_surface_flush(context->port->surface);
    return;
  }
  cairo_surface_t* s = Import(context->layout, context->data);
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    cairo_t* cr = cairo_create(s);
    draw(cr, double(context->layout.height));
    cairo_destroy(cr);
    Export(s, context->layout, context->data);
  }
  cairo_surface_destroy(s);
}

/// Paints `image` scaled into the bitmap-coordinate rectangle, upright.
void PaintInto(cairo_t* cr, double height, CGRect rect, cairo_surface_t* image) {
  int iw = cairo_image_surface_get_width(image), ih = cairo_image_surface_get_height(image);
  if (iw <= 0 || ih <= 0 || rect.size.width <= 0 || rect.size.height <= 0) return;
  double top = height - rect.origin.y - rect.size.height;
  cairo_rectangle(cr, rect.origin.x, top, rect.size.width, rect.size.height);
  cairo_clip(cr);
  cairo_translate(cr, rect.origin.x, top);
  cairo_scale(cr, rect.size.width / iw, rect.size.height / ih);
  cairo_set_source_surface(cr, image, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_paint(cr);
}

}  // namespace


extern "C" {

CGColorSpaceRef CGColorSpaceCreateDeviceRGB(void) { return Track(new CGColorSpace); }
CGColorSpaceRef CGColorSpaceRetain(CGColorSpaceRef space) { return Retain(space); }
void CGColorSpaceRelease(CGColorSpaceRef space) {
  if (DropReference(space)) delete space;
}

CGDataProviderRef CGDataProviderCreateWithData(void* info, const void* data, size_t size,
                                               CGDataProviderReleaseDataCallback release) {
  if (!data) return nullptr;
  auto* provider = new CGDataProvider;
  provider->info = info;
  provider->data = data;
  provider->size = size;
  provider->release = release;
  return Track(provider);
}

CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider) { return Retain(provider); }

void CGDataProviderRelease(CGDataProviderRef provider) {
  if (!DropReference(provider)) return;
  if (provider->release) provider->release(provider->info, provider->data, provider->size);
  delete provider;
}

CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height,
                                   size_t bitsPerComponent, size_t bytesPerRow,
                                   CGColorSpaceRef space, CGBitmapInfo info) {
  if (!Known(space) || !SupportedLayout(bitsPerComponent, 32, info)) return nullptr;
  if (width == 0 || height == 0 || width > 32767 || height > 32767) return nullptr;
  if (bytesPerRow == 0 && !data) bytesPerRow = width * 4;
  if (bytesPerRow < width * 4) return nullptr;
  auto* context = new CGContext;
  context->layout = PixelLayout{width, height, bytesPerRow, info};
  if (data) {
    context->data = static_cast<unsigned char*>(data);
  } else {
    context->own.assign(bytesPerRow * height, 0);
    context->data = context->own.data();
  }
  context->space = CGColorSpaceRetain(space);
  return Track(context);
}

void* CGBitmapContextGetData(CGContextRef c) {
  return Known(c) && !c->port ? c->data : nullptr;
}
size_t CGBitmapContextGetWidth(CGContextRef c) { return Known(c) ? c->layout.width : 0; }
size_t CGBitmapContextGetHeight(CGContextRef c) { return Known(c) ? c->layout.height : 0; }
size_t CGBitmapContextGetBitsPerComponent(CGContextRef c) {
  return Known(c) && !c->port ? 8 : 0;
}
size_t CGBitmapContextGetBitsPerPixel(CGContextRef c) { return Known(c) && !c->port ? 32 : 0; }
size_t CGBitmapContextGetBytesPerRow(CGContextRef c) {
  return Known(c) ? c->layout.bytesPerRow : 0;
}

CGContextRef CGContextRetain(CGContextRef context) { return Retain(context); }

void CGContextRelease(CGContextRef context) {
  if (!DropReference(context)) return;
  CGColorSpaceRelease(context->space);
  delete context;
}

void CGContextClearRect(CGContextRef context, CGRect rect) {
  WithCairo(context, [&](cairo_t* cr, double height) {
    cairo_rectangle(cr, rect.origin.x, height - rect.origin.y - rect.size.height,
                    rect.size.width, rect.size.height);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
  });
}

void CGContextDrawImage(CGContextRef context, CGRect rect, CGImageRef image) {
  if (!Known(image)) return;
  cairo_surface_t* pixels =
      Import(image->layout, static_cast<const unsigned char*>(image->provider->data));
  if (cairo_surface_status(pixels) == CAIRO_STATUS_SUCCESS)
    WithCairo(context, [&](cairo_t* cr, double height) { PaintInto(cr, height, rect, pixels); });
  cairo_surface_destroy(pixels);
}

void CGContextFlush(CGContextRef context) {
  if (Known(context) && context->port && IsLivePort(context->port))
    cairo_surface_flush(context->port->surface);
}

CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent,
                         size_t bitsPerPixel, size_t bytesPerRow, CGColorSpaceRef space,
                         CGBitmapInfo info, CGDataProviderRef provider, const CGFloat* decode,
                         bool shouldInterpolate, CGColorRenderingIntent intent) {
  if (!Known(provider) || !Known(space) || !SupportedLayout(bitsPerComponent, bitsPerPixel, info))
    return nullptr;
  if (width == 0 || height == 0 || bytesPerRow < width * 4 || provider->size < bytesPerRow * height)
    return nullptr;
  auto* image = new CGImage;
  image->layout = PixelLayout{width, height, bytesPerRow, info};
  image->provider = CGDataProviderRetain(provider);
  image->space = CGColorSpaceRetain(space);
  return Track(image);
}

CGImageRef CGImageRetain(CGImageRef image) { return Retain(image); }

void CGImageRelease(CGImageRef image) {
  if (!DropReference(image)) return;
  CGDataProviderRelease(image->provider);
  CGColorSpaceRelease(image->space);
  delete image;
}

QDPictRef QDPictCreateWithProvider(CGDataProviderRef provider) {
  if (!Known(provider)) return nullptr;
  PictureParts info;
  if (!ParsePictureData(static_cast<const uint8_t*>(provider->data), provider->size, &info) ||
      info.png.size() < 24 || PictureDataFromPNG(info.png, nullptr).empty())
    return nullptr;
  // Decoded once, at the PNG's own pixel size (IHDR width and height).
  auto be32 = [&](size_t at) {
    return int(UInt32(info.png[at]) << 24 | UInt32(info.png[at + 1]) << 16 |
               UInt32(info.png[at + 2]) << 8 | UInt32(info.png[at + 3]));
  };
  int w = std::clamp(be32(16), 1, 32767), h = std::clamp(be32(20), 1, 32767);
  auto* picture = new QDPict;
  picture->frame = info.frame;
  picture->hRes = info.hRes;
  picture->vRes = info.vRes;
  picture->image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(picture->image);
  PaintPNG(cr, info.png, 0, 0, w, h);
  cairo_destroy(cr);
  return Track(picture);
}

void QDPictRelease(QDPictRef picture) {
  if (!Known(picture)) return;
  LiveGraphics().erase(picture);
  cairo_surface_destroy(picture->image);
  delete picture;
}

CGRect QDPictGetBounds(QDPictRef picture) {
  if (!Known(picture)) return CGRect{{0, 0}, {0, 0}};
  const Rect& f = picture->frame;
  return CGRect{{double(f.left), double(f.top)},
                {double(f.right - f.left), double(f.bottom - f.top)}};
}

void QDPictGetResolution(QDPictRef picture, CGFloat* xRes, CGFloat* yRes) {
  bool known = Known(picture);
  if (xRes) *xRes = known ? picture->hRes : 0;
  if (yRes) *yRes = known ? picture->vRes : 0;
}

OSStatus QDPictDrawToCGContext(CGContextRef context, CGRect rect, QDPictRef picture) {
  if (!Known(context) || !Known(picture)) return paramErr;
  WithCairo(context, [&](cairo_t* cr, double height) { PaintInto(cr, height, rect, picture->image); });
  return noErr;
}

OSStatus QDBeginCGContext(CGrafPtr port, CGContextRef* context) {
  if (!context) return paramErr;
  *context = nullptr;
  if (!IsLivePort(port)) return paramErr;
  auto* made = new CGContext;
  made->port = port;
  made->layout.width = size_t(port->bounds.right - port->bounds.left);
  made->layout.height = size_t(port->bounds.bottom - port->bounds.top);
  *context = Track(made);
  return noErr;
}

OSStatus QDEndCGContext(CGrafPtr port, CGContextRef* context) {
  if (!context || !Known(*context) || (*context)->port != port) return paramErr;
  CGContextRelease(*context);
  *context = nullptr;
  return noErr;
}

}  // extern "C"
