// QuickDraw and window services: ports, windows, invalidation, drawing, text
// measurement, pictures, offscreen worlds and theme backgrounds.
#pragma once

#include "toolbox/types.h"
#include "toolbox/windows_fwd.h"

struct RGBColor {
  UInt16 red;
  UInt16 green;
  UInt16 blue;
};

/// A pixel map as CopyBits and CopyMask see it. Only ports hand these out
/// (GetPortBitMapForCopyBits); the toolbox knows each one's port.
struct BitMap {
  Ptr baseAddr;
  SInt16 rowBytes;
  Rect bounds;
};

typedef SInt32 Fixed;  ///< 16.16 fixed point

/// A picture: the block holds the picture data of the resource service (see
/// toolbox/host/resources.h: size, frame in points, 'PNGf', resolutions in dpi,
/// the PNG's length and bytes), big-endian as on the original platform. Only
/// the first two fields are declared; read the rest with the host face's
/// ParsePictureData.
struct Picture {
  SInt16 picSize;
  Rect picFrame;
};
typedef Picture* PicPtr;
typedef PicPtr* PicHandle;

enum : SInt16 { srcCopy = 0, srcOr = 1 };
enum : UInt32 { kThemeBrushDialogBackgroundActive = 1 };
typedef SInt32 ThemeBrush;
typedef struct OpaqueThemeDrawingState* ThemeDrawingState;
typedef UInt32 GWorldFlags;

extern "C" {

// ------------------------------------------------------------------- windows

/// The window's port. Null for a null or unknown window.
TOOLBOX_EXPORT CGrafPtr GetWindowPort(WindowRef window);
/// Makes the window's port current. Unknown windows leave the port unchanged.
TOOLBOX_EXPORT void SetPortWindowPort(WindowRef window);
/// The window a port belongs to; null for offscreen worlds.
TOOLBOX_EXPORT WindowRef GetWindowFromPort(CGrafPtr port);
/// The window's dialog record (every window has one).
TOOLBOX_EXPORT DialogRef GetDialogFromWindow(WindowRef window);
/// The window of a dialog record.
TOOLBOX_EXPORT WindowRef GetDialogWindow(DialogRef dialog);
/// The port of a dialog's window.
TOOLBOX_EXPORT CGrafPtr GetDialogPort(DialogRef dialog);
/// Adds `bounds` (window coordinates) to the window's invalid region and records
/// "inval" in the journal: "<window title> t,l,b,r". paramErr for a null rect,
/// errInvalidWindowRef (-5600) for an unknown window.
TOOLBOX_EXPORT OSStatus InvalWindowRect(WindowRef window, const Rect* bounds);
/// Removes nothing but records "valid"; the invalid region is cleared by the host.
TOOLBOX_EXPORT OSStatus ValidWindowRect(WindowRef window, const Rect* bounds);

// --------------------------------------------------------------------- ports

TOOLBOX_EXPORT void GetPort(GrafPtr* port);
TOOLBOX_EXPORT void SetPort(GrafPtr port);
/// The current port and (always null) device.
TOOLBOX_EXPORT void GetGWorld(CGrafPtr* port, GDHandle* gdh);
TOOLBOX_EXPORT void SetGWorld(CGrafPtr port, GDHandle gdh);
/// The port's rectangle: (0, 0, height, width).
TOOLBOX_EXPORT Rect* GetPortBounds(CGrafPtr port, Rect* rect);
/// The port's pixels for CopyBits and CopyMask; null for an unknown port.
TOOLBOX_EXPORT const BitMap* GetPortBitMapForCopyBits(CGrafPtr port);

/// An offscreen world of `bounds`' size, 32 bits per pixel, filled white.
/// Depth other than 0 or 32: paramErr. Size above 8192 either way: memFullErr.
TOOLBOX_EXPORT OSErr NewGWorld(GWorldPtr* world, SInt16 depth, const Rect* bounds, void* cTable,
                               GDHandle device, GWorldFlags flags);
/// Frees a world; the current port falls back to none if it was the world.
TOOLBOX_EXPORT void DisposeGWorld(GWorldPtr world);

// ------------------------------------------------------------------- drawing

TOOLBOX_EXPORT void RGBForeColor(const RGBColor* color);
TOOLBOX_EXPORT void RGBBackColor(const RGBColor* color);
TOOLBOX_EXPORT void GetForeColor(RGBColor* color);
TOOLBOX_EXPORT void GetBackColor(RGBColor* color);
/// Fills with the back colour, frames and fills with the fore colour, in the
/// current port's coordinates.
TOOLBOX_EXPORT void EraseRect(const Rect* r);
TOOLBOX_EXPORT void FrameRect(const Rect* r);
TOOLBOX_EXPORT void PaintRect(const Rect* r);
TOOLBOX_EXPORT void MoveTo(SInt16 h, SInt16 v);
TOOLBOX_EXPORT void LineTo(SInt16 h, SInt16 v);
/// Draws the string with its baseline at the pen and moves the pen past it.
TOOLBOX_EXPORT void DrawString(ConstStr255Param s);
/// Text size of the current port (points; default 12). Fonts are all DejaVu Sans.
TOOLBOX_EXPORT void TextSize(SInt16 size);
TOOLBOX_EXPORT void TextFont(SInt16 font);
/// Width in pixels of a length-prefixed string in the current port's text size
/// (12 without a port), measured with DejaVu Sans as it is drawn.
TOOLBOX_EXPORT SInt16 StringWidth(ConstStr255Param s);
/// Width of `length` bytes of text.
TOOLBOX_EXPORT SInt16 TextWidth(const void* text, SInt16 first, SInt16 length);

/// Copies pixels between ports' bitmaps, scaling `src` to `dst`.
TOOLBOX_EXPORT void CopyBits(const BitMap* src, const BitMap* dst, const Rect* srcRect,
                             const Rect* dstRect, SInt16 mode, void* maskRgn);
/// Copies `src` to `dst` through `mask`: black mask pixels copy the source,
/// white ones leave the destination, greys blend.
TOOLBOX_EXPORT void CopyMask(const BitMap* src, const BitMap* mask, const BitMap* dst,
                             const Rect* srcRect, const Rect* maskRect, const Rect* dstRect);

// ------------------------------------------------------------------ pictures

/// The 'PICT' resource `id` (through the resource service); null when missing.
TOOLBOX_EXPORT PicHandle GetPicture(SInt16 id);
/// Draws the picture scaled into `dst` of the current port. Nothing for a null
/// handle, a block that is not a picture, or PNG bytes that do not decode.
TOOLBOX_EXPORT void DrawPicture(PicHandle picture, const Rect* dst);
/// Frees a picture made by the host (not one from the resource service).
TOOLBOX_EXPORT void KillPicture(PicHandle picture);

// --------------------------------------------------------------- rectangles

TOOLBOX_EXPORT void SetRect(Rect* r, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom);
TOOLBOX_EXPORT void OffsetRect(Rect* r, SInt16 dh, SInt16 dv);
TOOLBOX_EXPORT void InsetRect(Rect* r, SInt16 dh, SInt16 dv);
TOOLBOX_EXPORT Boolean EqualRect(const Rect* a, const Rect* b);
TOOLBOX_EXPORT Boolean EmptyRect(const Rect* r);

// --------------------------------------------------------------- theme state

/// Saves the current port's colours; dispose with DisposeThemeDrawingState or
/// SetThemeDrawingState(state, true).
TOOLBOX_EXPORT OSStatus GetThemeDrawingState(ThemeDrawingState* state);
TOOLBOX_EXPORT OSStatus SetThemeDrawingState(ThemeDrawingState state, Boolean disposeNow);
TOOLBOX_EXPORT OSStatus DisposeThemeDrawingState(ThemeDrawingState state);
/// Sets the port's back colour to the brush's colour: brush 1 is the dialog
/// background (0xECEC each). Other brushes: white.
TOOLBOX_EXPORT OSStatus SetThemeBackground(ThemeBrush brush, SInt16 depth, Boolean isColorDevice);

}  // extern "C"

enum : OSStatus { errInvalidWindowRef = -5600 };
