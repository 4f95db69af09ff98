// Bitmap graphics: bitmap contexts over caller memory, images over data
// providers, pictures decoded for drawing, and drawing contexts on ports.
// Coordinates are the bitmap kind: origin at the bottom left, y upward.
#pragma once

#include "toolbox/quickdraw.h"
#include "toolbox/types.h"
#include "toolbox/windows_fwd.h"

typedef double CGFloat;

struct CGPoint {
  CGFloat x;
  CGFloat y;
};
struct CGSize {
  CGFloat width;
  CGFloat height;
};
struct CGRect {
  CGPoint origin;
  CGSize size;
};

typedef struct CGContext* CGContextRef;
typedef struct CGColorSpace* CGColorSpaceRef;
typedef struct CGDataProvider* CGDataProviderRef;
typedef struct CGImage* CGImageRef;
typedef struct QDPict* QDPictRef;
typedef UInt32 CGBitmapInfo;
typedef SInt32 CGColorRenderingIntent;

/// Called when the last reference to a provider goes: info, data, size.
typedef void (*CGDataProviderReleaseDataCallback)(void* info, const void* data, size_t size);

/// Alpha layouts (low 5 bits of CGBitmapInfo) and byte orders.
enum : CGBitmapInfo {
  kCGImageAlphaNone = 0,
  kCGImageAlphaPremultipliedLast = 1,   ///< R G B A
  kCGImageAlphaPremultipliedFirst = 2,  ///< A R G B
  kCGImageAlphaLast = 3,
  kCGImageAlphaFirst = 4,
  kCGImageAlphaNoneSkipLast = 5,   ///< R G B x
  kCGImageAlphaNoneSkipFirst = 6,  ///< x R G B
  kCGBitmapAlphaInfoMask = 0x1F,
  kCGBitmapByteOrderDefault = 0,
  kCGBitmapByteOrder32Little = 2u << 12,  ///< the 32-bit pixel stored little-endian
  kCGBitmapByteOrder32Big = 4u << 12,
  kCGBitmapByteOrderMask = 0x7000,
};

enum : CGColorRenderingIntent { kCGRenderingIntentDefault = 0 };

extern "C" {

/// Colour spaces: only device RGB. Released by CGColorSpaceRelease.
TOOLBOX_EXPORT CGColorSpaceRef CGColorSpaceCreateDeviceRGB(void);
TOOLBOX_EXPORT CGColorSpaceRef CGColorSpaceRetain(CGColorSpaceRef space);
TOOLBOX_EXPORT void CGColorSpaceRelease(CGColorSpaceRef space);

/// A provider over `size` bytes at `data`, not copied; `release` (may be null)
/// is called when the last reference goes. Null for null data.
TOOLBOX_EXPORT CGDataProviderRef CGDataProviderCreateWithData(
    void* info, const void* data, size_t size, CGDataProviderReleaseDataCallback release);
TOOLBOX_EXPORT CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider);
TOOLBOX_EXPORT void CGDataProviderRelease(CGDataProviderRef provider);

/// A bitmap context drawing into `data` (rows of `bytesPerRow` bytes, row 0 at
/// the top of the picture). 8 bits per component and 32 bits per pixel only,
/// with any of the alpha layouts above except kCGImageAlphaNone. Null data: the
/// context allocates (zeroed) memory of its own. Null when the geometry is
/// impossible (row too short, zero size, other depths) or no colour space.
TOOLBOX_EXPORT CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height,
                                                  size_t bitsPerComponent, size_t bytesPerRow,
                                                  CGColorSpaceRef space, CGBitmapInfo info);
TOOLBOX_EXPORT void* CGBitmapContextGetData(CGContextRef context);
TOOLBOX_EXPORT size_t CGBitmapContextGetWidth(CGContextRef context);
TOOLBOX_EXPORT size_t CGBitmapContextGetHeight(CGContextRef context);
TOOLBOX_EXPORT size_t CGBitmapContextGetBitsPerComponent(CGContextRef context);
TOOLBOX_EXPORT size_t CGBitmapContextGetBitsPerPixel(CGContextRef context);
TOOLBOX_EXPORT size_t CGBitmapContextGetBytesPerRow(CGContextRef context);
TOOLBOX_EXPORT CGContextRef CGContextRetain(CGContextRef context);
TOOLBOX_EXPORT void CGContextRelease(CGContextRef context);
/// Sets the rectangle's pixels to zero (transparent black).
TOOLBOX_EXPORT void CGContextClearRect(CGContextRef context, CGRect rect);
/// Draws the image scaled into the rectangle, upright.
TOOLBOX_EXPORT void CGContextDrawImage(CGContextRef context, CGRect rect, CGImageRef image);
TOOLBOX_EXPORT void CGContextFlush(CGContextRef context);

/// An image of the provider's pixels in the same layouts as bitmap contexts
/// (8 bits per component, 32 per pixel). Keeps a reference to the provider.
/// Null when the provider holds fewer than bytesPerRow x height bytes or the
/// layout is not supported.
TOOLBOX_EXPORT CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent,
                                        size_t bitsPerPixel, size_t bytesPerRow,
                                        CGColorSpaceRef space, CGBitmapInfo info,
                                        CGDataProviderRef provider, const CGFloat* decode,
                                        bool shouldInterpolate, CGColorRenderingIntent intent);
TOOLBOX_EXPORT CGImageRef CGImageRetain(CGImageRef image);
TOOLBOX_EXPORT void CGImageRelease(CGImageRef image);

/// A picture read from a provider holding picture data (a 'PICT' resource of
/// this toolbox). Null when the bytes are no picture.
TOOLBOX_EXPORT QDPictRef QDPictCreateWithProvider(CGDataProviderRef provider);
TOOLBOX_EXPORT void QDPictRelease(QDPictRef picture);
/// The picture's frame in points: origin (left, top), size (width, height).
TOOLBOX_EXPORT CGRect QDPictGetBounds(QDPictRef picture);
/// Dots per inch of the picture's pixels.
TOOLBOX_EXPORT void QDPictGetResolution(QDPictRef picture, CGFloat* xRes, CGFloat* yRes);
/// Draws the picture scaled into the rectangle. paramErr for null arguments.
TOOLBOX_EXPORT OSStatus QDPictDrawToCGContext(CGContextRef context, CGRect rect,
                                              QDPictRef picture);

/// A drawing context on a port: (0, 0) is the bottom left of the port. End
/// with QDEndCGContext, which releases it and nulls *context.
TOOLBOX_EXPORT OSStatus QDBeginCGContext(CGrafPtr port, CGContextRef* context);
TOOLBOX_EXPORT OSStatus QDEndCGContext(CGrafPtr port, CGContextRef* context);

}  // extern "C"
