// The painter's port drawing behind the QuickDraw calls: rectangles, lines,
// text, copies between ports (plain and through a mask), pictures.
#include <cairo.h>

#include <cmath>
#include <string>

#include "core/Painter.h"
#include "core/Picture.h"

namespace toolbox {
namespace internal {
namespace {

/// A Cairo context on the port, or null when there is none.
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

}  // namespace

void FlushPort(GrafPtr port) { cairo_surface_flush(port->surface); }

void FillPortRect(GrafPtr port, const Rect& r, const RGBColor& colour) {
  cairo_t* cr = PortContext(port);
  SetColor(cr, colour);
  cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
  cairo_fill(cr);
  Finish(port, cr);
}

void FramePortRect(GrafPtr port, const Rect& r, const RGBColor& colour) {
  cairo_t* cr = PortContext(port);
  SetColor(cr, colour);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, r.left + 0.5, r.top + 0.5, r.right - r.left - 1, r.bottom - r.top - 1);
  cairo_stroke(cr);
  Finish(port, cr);
}

void StrokePortLine(GrafPtr port, Point from, Point to, const RGBColor& colour) {
  cairo_t* cr = PortContext(port);
  SetColor(cr, colour);
  cairo_set_line_width(cr, 1);
  cairo_move_to(cr, from.h + 0.5, from.v + 0.5);
  cairo_line_to(cr, to.h + 0.5, to.v + 0.5);
  cairo_stroke(cr);
  Finish(port, cr);
}

void DrawPortText(GrafPtr port, const std::string& text, Point at, SInt16 size,
                  const RGBColor& colour) {
  UseFonts();
  cairo_t* cr = PortContext(port);
  SetColor(cr, colour);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_move_to(cr, at.h, at.v);
  cairo_show_text(cr, text.c_str());
  Finish(port, cr);
}

void CopyPortBits(GrafPtr from, GrafPtr to, const Rect& srcRect, const Rect& dstRect) {
  double sw = srcRect.right - srcRect.left, sh = srcRect.bottom - srcRect.top;
  double dw = dstRect.right - dstRect.left, dh = dstRect.bottom - dstRect.top;
  cairo_surface_flush(from->surface);
  cairo_t* cr = PortContext(to);
  cairo_rectangle(cr, dstRect.left, dstRect.top, dw, dh);
  cairo_clip(cr);
  cairo_translate(cr, dstRect.left, dstRect.top);
  cairo_scale(cr, dw / sw, dh / sh);
  cairo_set_source_surface(cr, from->surface, -srcRect.left, -srcRect.top);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  Finish(to, cr);
}

void CopyPortMask(GrafPtr from, GrafPtr through, GrafPtr to, const Rect& srcRect,
                  const Rect& maskRect, const Rect& dstRect) {
  int mw = maskRect.right - maskRect.left, mh = maskRect.bottom - maskRect.top;
  double dw = dstRect.right - dstRect.left, dh = dstRect.bottom - dstRect.top;
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
      int sx = x + maskRect.left, sy = y + maskRect.top;
      UInt32 p = (sx >= 0 && sy >= 0 && sx < pw && sy < ph)
                     ? *reinterpret_cast<const UInt32*>(m + sy * mstride + sx * 4)
                     : 0xFFFFFFFFu;
      int lum = (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
      a[y * astride + x] = UInt8(255 - lum);
    }
  cairo_surface_mark_dirty(alpha);
  cairo_surface_flush(from->surface);
  cairo_pattern_t* source = ScaledPattern(from->surface, srcRect, dstRect);
  cairo_pattern_t* coverage = ScaledPattern(alpha, Rect{0, 0, SInt16(mh), SInt16(mw)}, dstRect);
  cairo_t* cr = PortContext(to);
  cairo_rectangle(cr, dstRect.left, dstRect.top, dw, dh);
  cairo_clip(cr);
  cairo_set_source(cr, source);
  cairo_mask(cr, coverage);
  cairo_pattern_destroy(source);
  cairo_pattern_destroy(coverage);
  Finish(to, cr);
  cairo_surface_destroy(alpha);
}

void DrawPortPicture(GrafPtr port, PicHandle picture, const Rect& dst) {
  cairo_t* cr = PortContext(port);
  PaintPicture(cr, picture, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top);
  Finish(port, cr);
}

}  // namespace internal
}  // namespace toolbox
