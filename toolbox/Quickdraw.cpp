// QuickDraw and window services over Cairo image surfaces: ports, windows,
// invalidation, drawing, text measurement, pictures, offscreen worlds.
#include "toolbox/quickdraw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>

#include "toolbox/memory.h"
#include "toolbox/resources.h"
#include "core/Journal.h"
#include "core/Painter.h"
#include "core/Picture.h"
#include "core/Records.h"
#include "core/Strings.h"



using namespace toolbox::internal;


namespace {

/// A Cairo context on the current port, or null when there is none.
cairo_t* PortContext(GrafPtr port) {
  if (!port) return nullptr;
  cairo_surface_flush(port->surface);
  return cairo_create(port->surface);
}

void Finish(GrafPtr port, cairo_t* cr) {
  cairo_destroy(cr);
  cairo_surface_flush(port->surface);
}

void SetColor(cairo_t* cr, const RGBColor& c) {
  cairo_set_source_rgb(cr, c.red / 65535.0, c.green / 65535.0, c.blue / 65535.0);
}

void FillRect(const Rect* r, bool useFore) {
  GrafPtr port = CurrentPort();
  if (!port || !r) return;
  cairo_t* cr = PortContext(port);
  SetColor(cr, useFore ? port->fore : port->back);
  cairo_rectangle(cr, r->left, r->top, r->right - r->left, r->bottom - r->top);
  cairo_fill(cr);
  Finish(port, cr);
}

std::string RectText(const Rect& r) {
  return std::to_string(r.top) + "," + std::to_string(r.left) + "," + std::to_string(r.bottom) +
         "," + std::to_string(r.right);
}

GrafPtr PortOfBitMap(const BitMap* map) {
  if (!map) return nullptr;
  // Bitmaps are only handed out by ports, so the port is the record holding it.
  auto* port = reinterpret_cast<GrafPtr>(reinterpret_cast<char*>(const_cast<BitMap*>(map)) -
                                         offsetof(OpaqueGrafPtr, bitmap));
  return IsLivePort(port) ? port : nullptr;
}

/// A pattern of `surface` whose `from` rectangle lands on `to` in the port.
cairo_pattern_t* ScaledPattern(cairo_surface_t* surface, const Rect& from, const Rect& to) {
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
  cairo_matrix_t m;
  cairo_matrix_init_translate(&m, from.left, from.top);
  cairo_matrix_scale(&m, double(from.right - from.left) / (to.right - to.left),
                     double(from.bottom - from.top) / (to.bottom - to.top));
  cairo_matrix_translate(&m, -to.left, -to.top);
  cairo_pattern_set_matrix(pattern, &m);
  return pattern;
}

struct ThemeState {
  RGBColor fore;
  RGBColor back;
};
std::set<ThemeState*>& LiveThemeStates() {
  static auto* states = new std::set<ThemeState*>;
  return *states;
}

}  // namespace

extern "C" {

CGrafPtr GetWindowPort(WindowRef window) {
  return IsLiveWindow(window) ? window->port.get() : nullptr;
}

void SetPortWindowPort(WindowRef window) {
  if (IsLiveWindow(window)) SetPort(window->port.get());
}

WindowRef GetWindowFromPort(CGrafPtr port) { return IsLivePort(port) ? port->window : nullptr; }

DialogRef GetDialogFromWindow(WindowRef window) {
  return IsLiveWindow(window) ? &window->dialog : nullptr;
}

WindowRef GetDialogWindow(DialogRef dialog) {
  if (!dialog) return nullptr;
  WindowRef window = reinterpret_cast<WindowRef>(reinterpret_cast<char*>(dialog) -
                                                 offsetof(OpaqueWindowPtr, dialog));
  return IsLiveWindow(window) ? window : nullptr;
}

CGrafPtr GetDialogPort(DialogRef dialog) { return GetWindowPort(GetDialogWindow(dialog)); }

OSStatus InvalWindowRect(WindowRef window, const Rect* bounds) {
  if (!IsLiveWindow(window)) return errInvalidWindowRef;
  if (!bounds) return paramErr;
  window->invalid.push_back(*bounds);
  toolbox::internal::Record("inval", window->title + " " + RectText(*bounds));
  return noErr;
}

OSStatus ValidWindowRect(WindowRef window, const Rect* bounds) {
  if (!IsLiveWindow(window)) return errInvalidWindowRef;
  if (!bounds) return paramErr;
  toolbox::internal::Record("valid", window->title + " " + RectText(*bounds));
  return noErr;
}

void GetPort(GrafPtr* port) {
  if (port) *port = CurrentPort();
}

void SetPort(GrafPtr port) {
  // Null is remembered too: a caller restoring "no port" gets exactly that.
  if (port == nullptr || IsLivePort(port)) SetCurrentPort(port);
}

void GetGWorld(CGrafPtr* port, GDHandle* gdh) {
  if (port) *port = CurrentPort();
  if (gdh) *gdh = nullptr;
}

void SetGWorld(CGrafPtr port, GDHandle gdh) { SetPort(port); }

Rect* GetPortBounds(CGrafPtr port, Rect* rect) {
  if (!rect) return rect;
  *rect = IsLivePort(port) ? port->bounds : Rect{0, 0, 0, 0};
  return rect;
}

const BitMap* GetPortBitMapForCopyBits(CGrafPtr port) {
  if (!IsLivePort(port)) return nullptr;
  cairo_surface_flush(port->surface);
  return &port->bitmap;
}

OSErr NewGWorld(GWorldPtr* world, SInt16 depth, const Rect* bounds, void* cTable,
                GDHandle device, GWorldFlags flags) {
  if (!world || !bounds) return paramErr;
  *world = nullptr;
  if (depth != 0 && depth != 32) return paramErr;
  int width = bounds->right - bounds->left;
  int height = bounds->bottom - bounds->top;
  if (width <= 0 || height <= 0) return paramErr;
  if (width > 8192 || height > 8192) return memFullErr;
  std::unique_ptr<OpaqueGrafPtr> port = MakePort(SInt16(width), SInt16(height), nullptr);
  if (!port) return memFullErr;
  *world = port.release();
  return noErr;
}

void DisposeGWorld(GWorldPtr world) {
  if (IsLivePort(world) && !world->window) delete world;
}

void RGBForeColor(const RGBColor* color) {
  if (GrafPtr port = CurrentPort(); port && color) port->fore = *color;
}
void RGBBackColor(const RGBColor* color) {
  if (GrafPtr port = CurrentPort(); port && color) port->back = *color;
}
void GetForeColor(RGBColor* color) {
  if (!color) return;
  GrafPtr port = CurrentPort();
  *color = port ? port->fore : RGBColor{0, 0, 0};
}
void GetBackColor(RGBColor* color) {
  if (!color) return;
  GrafPtr port = CurrentPort();
  *color = port ? port->back : RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
}

void EraseRect(const Rect* r) { FillRect(r, false); }
void PaintRect(const Rect* r) { FillRect(r, true); }

void FrameRect(const Rect* r) {
  GrafPtr port = CurrentPort();
  if (!port || !r) return;
  cairo_t* cr = PortContext(port);
  SetColor(cr, port->fore);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, r->left + 0.5, r->top + 0.5, r->right - r->left - 1, r->bottom - r->top - 1);
  cairo_stroke(cr);
  Finish(port, cr);
}

void MoveTo(SInt16 h, SInt16 v) {
  if (GrafPtr port = CurrentPort()) port->pen = Point{v, h};
}

void LineTo(SInt16 h, SInt16 v) {
  GrafPtr port = CurrentPort();
  if (!port) return;
  cairo_t* cr = PortContext(port);
  SetColor(cr, port->fore);
  cairo_set_line_width(cr, 1);
  cairo_move_to(cr, port->pen.h + 0.5, port->pen.v + 0.5);
  cairo_line_to(cr, h + 0.5, v + 0.5);
  cairo_stroke(cr);
  Finish(port, cr);
  port->pen = Point{v, h};
}

void DrawString(ConstStr255Param s) {
  GrafPtr port = CurrentPort();
  if (!port || !s) return;
  std::string text = PascalToString(s);
  UseFonts();
  cairo_t* cr = PortContext(port);
  SetColor(cr, port->fore);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, port->textSize);
  cairo_move_to(cr, port->pen.h, port->pen.v);
  cairo_show_text(cr, text.c_str());
  Finish(port, cr);
  port->pen.h = SInt16(port->pen.h + std::lround(TextWidthPixels(text, port->textSize)));
}

void TextSize(SInt16 size) {
  if (GrafPtr port = CurrentPort()) port->textSize = size > 0 ? size : 12;
}
void TextFont(SInt16 font) {
  if (GrafPtr port = CurrentPort()) port->textFont = font;
}

SInt16 StringWidth(ConstStr255Param s) {
  if (!s) return 0;
  GrafPtr port = CurrentPort();
  return SInt16(std::lround(TextWidthPixels(PascalToString(s), port ? port->textSize : 12)));
}

SInt16 TextWidth(const void* text, SInt16 first, SInt16 length) {
  if (!text || length <= 0 || first < 0) return 0;
  GrafPtr port = CurrentPort();
  std::string s(static_cast<const char*>(text) + first, size_t(length));
  return SInt16(std::lround(TextWidthPixels(s, port ? port->textSize : 12)));
}

void CopyBits(const BitMap* src, const BitMap* dst, const Rect* srcRect, const Rect* dstRect,
              SInt16 mode, void* maskRgn) {
  GrafPtr from = PortOfBitMap(src);
  GrafPtr to = PortOfBitMap(dst);
  if (!from || !to || !srcRect || !dstRect) return;
  double sw = srcRect->right - srcRect->left, sh = srcRect->bottom - srcRect->top;
  double dw = dstRect->right - dstRect->left, dh = dstRect->bottom - dstRect->top;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  cairo_surface_flush(from->surface);
  cairo_t* cr = PortContext(to);
  cairo_rectangle(cr, dstRect->left, dstRect->top, dw, dh);
  cairo_clip(cr);
  cairo_translate(cr, dstRect->left, dstRect->top);
  cairo_scale(cr, dw / sw, dh / sh);
  cairo_set_source_surface(cr, from->surface, -srcRect->left, -srcRect->top);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  Finish(to, cr);
}

void CopyMask(const BitMap* src, const BitMap* mask, const BitMap* dst, const Rect* srcRect,
              const Rect* maskRect, const Rect* dstRect) {
  GrafPtr from = PortOfBitMap(src);
  GrafPtr through = PortOfBitMap(mask);
  GrafPtr to = PortOfBitMap(dst);
  if (!from || !through || !to || !srcRect || !maskRect || !dstRect) return;
  int mw = maskRect->right - maskRect->left, mh = maskRect->bottom - maskRect->top;
  double sw = srcRect->right - srcRect->left, sh = srcRect->bottom - srcRect->top;
  double dw = dstRect->right - dstRect->left, dh = dstRect->bottom - dstRect->top;
  if (mw <= 0 || mh <= 0 || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  // The mask's darkness becomes coverage: black copies, white keeps the destination.
  cairo_surface_t* alpha = cairo_image_surface_create(CAIRO_FORMAT_A8, mw, mh);
  cairo_surface_flush(through->surface);
  cairo_surface_flush(alpha);
  const unsigned char* m = cairo_image_surface_get_data(through->surface);
  int mstride = cairo_image_surface_get_stride(through->surface);
  int pw = cairo_image_surface_get_width(through->surface);
  int ph = cairo_image_surface_get_height(through->surface);
  unsigned char* a = cairo_image_surface_get_data(alpha);
  int astride = cairo_image_surface_get_stride(alpha);
  for (int y = 0; y < mh; ++y)
    for (int x = 0; x < mw; ++x) {
      int sx = x + maskRect->left, sy = y + maskRect->top;
      UInt32 p = (sx >= 0 && sy >= 0 && sx < pw && sy < ph)
                     ? *reinterpret_cast<const UInt32*>(m + sy * mstride + sx * 4)
                     : 0xFFFFFFFFu;
      int lum = (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
      a[y * astride + x] = UInt8(255 - lum);
    }
  cairo_surface_mark_dirty(alpha);
  cairo_surface_flush(from->surface);
  cairo_pattern_t* source = ScaledPattern(from->surface, *srcRect, *dstRect);
  cairo_pattern_t* coverage = ScaledPattern(alpha, Rect{0, 0, SInt16(mh), SInt16(mw)}, *dstRect);
  cairo_t* cr = PortContext(to);
  cairo_rectangle(cr, dstRect->left, dstRect->top, dw, dh);
  cairo_clip(cr);
  cairo_set_source(cr, source);
  cairo_mask(cr, coverage);
  cairo_pattern_destroy(source);
  cairo_pattern_destroy(coverage);
  Finish(to, cr);
  cairo_surface_destroy(alpha);
}

PicHandle GetPicture(SInt16 id) {
  return reinterpret_cast<PicHandle>(GetResource(FOUR_CHAR_CODE("PICT"), id));
}

void DrawPicture(PicHandle picture, const Rect* dst) {
  GrafPtr port = CurrentPort();
  if (!port || !dst) return;
  cairo_t* cr = PortContext(port);
  PaintPicture(cr, picture, dst->left, dst->top, dst->right - dst->left, dst->bottom - dst->top);
  Finish(port, cr);
}

void KillPicture(PicHandle picture) {
  if (picture) DisposeHandle(reinterpret_cast<Handle>(picture));
}

void SetRect(Rect* r, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom) {
  if (r) *r = Rect{top, left, bottom, right};
}
void OffsetRect(Rect* r, SInt16 dh, SInt16 dv) {
  if (!r) return;
  r->left = SInt16(r->left + dh);
  r->right = SInt16(r->right + dh);
  r->top = SInt16(r->top + dv);
  r->bottom = SInt16(r->bottom + dv);
}
void InsetRect(Rect* r, SInt16 dh, SInt16 dv) {
  if (!r) return;
  r->left = SInt16(r->left + dh);
  r->right = SInt16(r->right - dh);
  r->top = SInt16(r->top + dv);
  r->bottom = SInt16(r->bottom - dv);
}
Boolean EqualRect(const Rect* a, const Rect* b) {
  return a && b && a->top == b->top && a->left == b->left && a->bottom == b->bottom &&
         a->right == b->right;
}
Boolean EmptyRect(const Rect* r) { return !r || r->bottom <= r->top || r->right <= r->left; }

OSStatus GetThemeDrawingState(ThemeDrawingState* state) {
  if (!state) return paramErr;
  RGBColor fore, back;
  GetForeColor(&fore);
  GetBackColor(&back);
  auto* saved = new ThemeState{fore, back};
  LiveThemeStates().insert(saved);
  *state = reinterpret_cast<ThemeDrawingState>(saved);
  return noErr;
}

OSStatus SetThemeDrawingState(ThemeDrawingState state, Boolean disposeNow) {
  auto* saved = reinterpret_cast<ThemeState*>(state);
  if (!LiveThemeStates().count(saved)) return paramErr;
  RGBForeColor(&saved->fore);
  RGBBackColor(&saved->back);
  if (disposeNow) DisposeThemeDrawingState(state);
  return noErr;
}

OSStatus DisposeThemeDrawingState(ThemeDrawingState state) {
  auto* saved = reinterpret_cast<ThemeState*>(state);
  if (!LiveThemeStates().erase(saved)) return paramErr;
  delete saved;
  return noErr;
}

OSStatus SetThemeBackground(ThemeBrush brush, SInt16 depth, Boolean isColorDevice) {
  UInt16 level = brush == ThemeBrush(kThemeBrushDialogBackgroundActive) ? 0xECEC : 0xFFFF;
  RGBColor color{level, level, level};
  RGBBackColor(&color);
  return noErr;
}

}  // extern "C"
