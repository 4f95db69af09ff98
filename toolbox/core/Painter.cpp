// The painter: draws windows and controls into their ports with Cairo and
// DejaVu Sans, measures text with the same font, writes ports as PNG.
#include "core/Painter.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "core/Picture.h"
#include "core/Strings.h"
#include "toolbox/memory.h"

using namespace toolbox::internal;

namespace {

constexpr double kTextSize = 12;
constexpr double kInk = 0.1;      // text
constexpr double kFrame = 0.45;   // outlines
constexpr double kAccent[3] = {0.18, 0.42, 0.85};

struct Box {
  double x, y, w, h;
};

Box BoxOf(ControlRef c) {
  const Rect& r = c->bounds;
  return Box{double(r.left), double(r.top), double(r.right - r.left), double(r.bottom - r.top)};
}

void Grey(cairo_t* cr, double level) { cairo_set_source_rgb(cr, level, level, level); }
void Accent(cairo_t* cr) { cairo_set_source_rgb(cr, kAccent[0], kAccent[1], kAccent[2]); }

void Font(cairo_t* cr) {
  UseFonts();
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, kTextSize);
}

/// Baseline that centres a line of text vertically in a box.
double CentredBaseline(const Box& b) { return std::floor(b.y + b.h / 2 + 4.5); }

void Text(cairo_t* cr, const std::string& text, double x, double baseline) {
  Font(cr);
  Grey(cr, kInk);
  cairo_move_to(cr, x, baseline);
  cairo_show_text(cr, text.c_str());
}

void CentredText(cairo_t* cr, const std::string& text, const Box& b) {
  double width = TextWidthPixels(text, kTextSize);
  Text(cr, text, std::floor(b.x + (b.w - width) / 2), CentredBaseline(b));
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

/// Fills then outlines the current path.
void FillAndFrame(cairo_t* cr, double fill) {
  Grey(cr, fill);
  cairo_fill_preserve(cr);
  Grey(cr, kFrame);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

bool Pressed(ControlRef c) { return c->hilite != 0 && c->hilite != kControlInactivePart; }

void PaintPushButton(cairo_t* cr, ControlRef c, const Box& b) {
  RoundedRect(cr, b.x + 0.5, b.y + 0.5, b.w - 1, b.h - 1, std::min(5.0, b.h / 3));
  FillAndFrame(cr, Pressed(c) ? 0.75 : 0.98);
  CentredText(cr, c->title, b);
}

void PaintBevelButton(cairo_t* cr, ControlRef c, const Box& b) {
  cairo_rectangle(cr, b.x + 0.5, b.y + 0.5, b.w - 1, b.h - 1);
  FillAndFrame(cr, (c->value != 0 || Pressed(c)) ? 0.78 : 0.95);
  Grey(cr, 1);
  cairo_move_to(cr, b.x + 1.5, b.y + b.h - 1.5);
  cairo_line_to(cr, b.x + 1.5, b.y + 1.5);
  cairo_line_to(cr, b.x + b.w - 1.5, b.y + 1.5);
  cairo_stroke(cr);
  CentredText(cr, c->title, b);
}

void PaintCheckBox(cairo_t* cr, ControlRef c, const Box& b) {
  double top = std::floor(b.y + (b.h - 12) / 2);
  cairo_rectangle(cr, b.x + 1.5, top + 0.5, 12, 12);
  if (c->value == 0) {
    FillAndFrame(cr, 1);
  } else {
    Accent(cr);
    cairo_fill(cr);
    Grey(cr, 1);
    cairo_set_line_width(cr, 2);
    if (c->value == kControlCheckBoxMixedValue) {
      cairo_move_to(cr, b.x + 4.5, top + 6.5);
      cairo_line_to(cr, b.x + 10.5, top + 6.5);
    } else {
      cairo_move_to(cr, b.x + 4, top + 6.5);
      cairo_line_to(cr, b.x + 6.5, top + 9.5);
      cairo_line_to(cr, b.x + 11, top + 3.5);
    }
    cairo_stroke(cr);
  }
  Text(cr, c->title, b.x + 19, CentredBaseline(b));
}

void PaintRadioButton(cairo_t* cr, ControlRef c, const Box& b) {
  double cy = std::floor(b.y + b.h / 2) + 0.5;
  cairo_arc(cr, b.x + 7.5, cy, 6, 0, 2 * M_PI);
  if (c->value == 0) {
    FillAndFrame(cr, 1);
  } else {
    Accent(cr);
    cairo_fill(cr);
    Grey(cr, 1);
    cairo_arc(cr, b.x + 7.5, cy, 2.5, 0, 2 * M_PI);
    cairo_fill(cr);
  }
  Text(cr, c->title, b.x + 19, CentredBaseline(b));
}

void Triangle(cairo_t* cr, double cx, double cy, double size, bool up) {
  double dy = up ? -size / 2 : size / 2;
  cairo_move_to(cr, cx - size, cy - dy);
  cairo_line_to(cr, cx + size, cy - dy);
  cairo_line_to(cr, cx, cy + dy);
  cairo_close_path(cr);
  Grey(cr, 0.25);
  cairo_fill(cr);
}

void PaintPopupButton(cairo_t* cr, ControlRef c, const Box& b) {
  double label = std::min<double>(PopupLabelWidth(c), b.w);
  if (label > 0) Text(cr, c->title, b.x, CentredBaseline(b));
  Box menu{b.x + label, b.y, b.w - label, b.h};
  RoundedRect(cr, menu.x + 0.5, menu.y + 0.5, menu.w - 1, menu.h - 1, std::min(4.0, b.h / 3));
  FillAndFrame(cr, Pressed(c) ? 0.8 : 1);
  std::string entry;
  if (c->menu && c->value >= 1 && size_t(c->value) <= c->menu->entries.size())
    entry = c->menu->entries[size_t(c->value - 1)].text;
  cairo_save(cr);
  cairo_rectangle(cr, menu.x, menu.y, std::max(0.0, menu.w - 18), menu.h);
  cairo_clip(cr);
  Text(cr, entry, menu.x + 7, CentredBaseline(menu));
  cairo_restore(cr);
  Triangle(cr, menu.x + menu.w - 10, std::floor(menu.y + menu.h / 2) + 0.5, 4, false);
}

void PaintEditText(cairo_t* cr, ControlRef c, const Box& b) {
  bool focused = c->owner && c->owner->focus == c;
  cairo_rectangle(cr, b.x + 0.5, b.y + 0.5, b.w - 1, b.h - 1);
  FillAndFrame(cr, 1);
  if (focused) {
    Accent(cr);
    cairo_set_line_width(cr, 2);
    cairo_rectangle(cr, b.x - 1, b.y - 1, b.w + 2, b.h + 2);
    cairo_stroke(cr);
  }
  cairo_save(cr);
  cairo_rectangle(cr, b.x + 2, b.y + 1, b.w - 4, b.h - 2);
  cairo_clip(cr);
  double x = b.x + 4;
  double start = x + TextWidthPixels(c->text.substr(0, size_t(c->selStart)), kTextSize);
  double end = x + TextWidthPixels(c->text.substr(0, size_t(c->selEnd)), kTextSize);
  if (focused && end > start) {
    cairo_set_source_rgb(cr, 0.7, 0.82, 1.0);
    cairo_rectangle(cr, start, b.y + 3, end - start, b.h - 6);
    cairo_fill(cr);
  }
  Text(cr, c->text, x, CentredBaseline(b));
  if (focused && end <= start) {
    Grey(cr, kInk);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, std::floor(start) + 0.5, b.y + 3);
    cairo_line_to(cr, std::floor(start) + 0.5, b.y + b.h - 3);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

/// Static text wraps at word boundaries inside its box, top-aligned.
void PaintStaticText(cairo_t* cr, ControlRef c, const Box& b) {
  const std::string& text = c->text.empty() ? c->title : c->text;
  std::string line, word;
  double baseline = b.y + 12;
  auto flush = [&] {
    Text(cr, line, b.x, baseline);
    baseline += 15;
    line.clear();
  };
  for (size_t i = 0; i <= text.size(); ++i) {
    char ch = i < text.size() ? text[i] : ' ';
    if (ch != ' ' && ch != '\n') {
      word += ch;
      continue;
    }
    std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && TextWidthPixels(candidate, kTextSize) > b.w) {
      flush();
      candidate = word;
    }
    line = candidate;
    word.clear();
    if (ch == '\n') flush();
  }
  if (!line.empty()) flush();
}

void PaintLittleArrows(cairo_t* cr, ControlRef c, const Box& b) {
  double half = std::floor(b.h / 2);
  double cx = b.x + b.w / 2;
  cairo_rectangle(cr, b.x + 0.5, b.y + 0.5, b.w - 1, half);
  FillAndFrame(cr, c->hilite == kControlUpButtonPart ? 0.75 : 0.97);
  cairo_rectangle(cr, b.x + 0.5, b.y + half + 0.5, b.w - 1, b.h - half - 1);
  FillAndFrame(cr, c->hilite == kControlDownButtonPart ? 0.75 : 0.97);
  Triangle(cr, cx, b.y + half / 2 + 0.5, 3.5, true);
  Triangle(cr, cx, b.y + half + (b.h - half) / 2 + 0.5, 3.5, false);
}

void PaintSlider(cairo_t* cr, ControlRef c, const Box& b) {
  double span = double(c->maximum) - double(c->minimum);
  double fraction = span > 0 ? (double(c->value) - c->minimum) / span : 0;
  bool vertical = b.h > b.w;
  double length = (vertical ? b.h : b.w) - 14;
  double along = 7 + fraction * length;
  double tx = vertical ? b.x + b.w / 2 : b.x + along;
  double ty = vertical ? b.y + b.h - along : b.y + b.h / 2;
  if (vertical)
    RoundedRect(cr, tx - 2, b.y + 7, 4, length, 2);
  else
    RoundedRect(cr, b.x + 7, ty - 2, length, 4, 2);
  Grey(cr, 0.7);
  cairo_fill(cr);
  Accent(cr);
  if (vertical)
    cairo_rectangle(cr, tx - 2, ty, 4, b.y + b.h - 7 - ty);
  else
    cairo_rectangle(cr, b.x + 7, ty - 2, along - 7, 4);
  cairo_fill(cr);
  cairo_arc(cr, tx, ty, 6.5, 0, 2 * M_PI);
  FillAndFrame(cr, 1);
}

void PaintImageWell(cairo_t* cr, ControlRef c, const Box& b) {
  cairo_rectangle(cr, b.x + 0.5, b.y + 0.5, b.w - 1, b.h - 1);
  FillAndFrame(cr, 1);
  PicHandle picture = nullptr;
  if (c->content.contentType == kControlContentPictHandle) picture = c->content.u.picture;
  if (c->content.contentType == kControlContentPictRes) picture = GetPicture(c->content.u.resID);
  if (!picture) return;
  Rect frame;
  bool known = PictureFrame(picture, &frame);
  double pw = known ? frame.right - frame.left : b.w;
  double ph = known ? frame.bottom - frame.top : b.h;
  double room_w = b.w - 8, room_h = b.h - 8;
  double scale = (pw > 0 && ph > 0) ? std::min(room_w / pw, room_h / ph) : 1;
  double w = pw * scale, h = ph * scale;
  PaintPicture(cr, picture, b.x + (b.w - w) / 2, b.y + (b.h - h) / 2, w, h);
}

void PaintCustom(cairo_t* cr, ControlRef c, const Box& b) {
  double dash = 3;
  cairo_set_dash(cr, &dash, 1, 0);
  cairo_rectangle(cr, b.x + 0.5, b.y + 0.5, b.w - 1, b.h - 1);
  FillAndFrame(cr, 0.97);
  cairo_set_dash(cr, nullptr, 0, 0);
  CentredText(cr, c->title.empty() ? FourCC(c->kind) : c->title, b);
}

void PaintKind(cairo_t* cr, ControlRef c) {
  Box b = BoxOf(c);
  switch (c->kind) {
    case kControlKindPushButton: return PaintPushButton(cr, c, b);
    case kControlKindBevelButton: return PaintBevelButton(cr, c, b);
    case kControlKindCheckBox: return PaintCheckBox(cr, c, b);
    case kControlKindRadioButton: return PaintRadioButton(cr, c, b);
    case kControlKindPopupButton: return PaintPopupButton(cr, c, b);
    case kControlKindEditText:
    case kControlKindEditUnicodeText: return PaintEditText(cr, c, b);
    case kControlKindStaticText: return PaintStaticText(cr, c, b);
    case kControlKindLittleArrows: return PaintLittleArrows(cr, c, b);
    case kControlKindSlider: return PaintSlider(cr, c, b);
    case kControlKindImageWell: return PaintImageWell(cr, c, b);
    case kControlKindRadioGroup:
    case kControlKindUserPane:
    case kControlKindRoot: return;
    default: return PaintCustom(cr, c, b);
  }
}

/// Calls the user pane's draw procedure with the window's port current.
void RunDrawProcedure(ControlRef c) {
  if (!c->drawProc) return;
  GrafPtr saved = CurrentPort();
  SetPort(c->owner->port.get());
  InvokeControlUserPaneDrawUPP(c, kControlEntireControl, c->drawProc);
  SetPort(saved);
}

void PaintTree(ControlRef c) {
  if (!c->visible) return;
  cairo_t* cr = cairo_create(c->owner->port->surface);
  bool dimmed = Dimmed(c);
  if (dimmed) cairo_push_group(cr);
  PaintKind(cr, c);
  if (dimmed) {
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, 0.35);
  }
  cairo_destroy(cr);
  cairo_surface_flush(c->owner->port->surface);
  if (c->kind == kControlKindUserPane) RunDrawProcedure(c);
  for (auto& child : c->children) PaintTree(child.get());
}

}  // namespace

namespace toolbox {
namespace internal {

namespace {

/// Font caches of Cairo and fontconfig are process-wide; they are emptied at
/// exit so that leak checkers see only what the program itself kept.
void ReleaseFontCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

}  // namespace

void UseFonts() {
  static bool registered = (std::atexit(ReleaseFontCaches), true);
  static_cast<void>(registered);
}

double TextWidthPixels(const std::string& text, double size) {
  UseFonts();
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* cr = cairo_create(scratch);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  cairo_destroy(cr);
  cairo_surface_destroy(scratch);
  return extents.x_advance;
}


SInt16 PopupLabelWidth(ControlRef c) {
  if (c->titleWidth > 0) return c->titleWidth;
  if (c->title.empty()) return 0;
  return SInt16(std::ceil(TextWidthPixels(c->title, kTextSize)) + 8);
}

void PaintControl(ControlRef c) {
  if (!IsLiveControl(c) || !c->owner || !EffectivelyVisible(c)) return;
  if (c->kind != kControlKindRoot) {
    cairo_t* cr = cairo_create(c->owner->port->surface);
    Grey(cr, kWindowGrey);
    Box b = BoxOf(c);
    cairo_rectangle(cr, b.x, b.y, b.w, b.h);
    cairo_fill(cr);
    cairo_destroy(cr);
  }
  PaintTree(c);
}

void PaintWindow(WindowRef window) {
  cairo_t* cr = cairo_create(window->port->surface);
  Grey(cr, kWindowGrey);
  cairo_paint(cr);
  cairo_destroy(cr);
  PaintTree(window->root.get());
}

}  // namespace internal
}  // namespace toolbox

namespace toolbox {
namespace internal {

bool WritePortPNG(WindowRef window, const std::string& path, std::string* error) {
  cairo_status_t status = cairo_surface_write_to_png(window->port->surface, path.c_str());
  if (status != CAIRO_STATUS_SUCCESS) {
    if (error) *error = path + ": " + cairo_status_to_string(status);
    return false;
  }
  return true;
}

namespace {

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::vector<unsigned char>*>(closure)->insert(
      static_cast<std::vector<unsigned char>*>(closure)->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

/// Paints the window at `scale` into an image surface and hands it to `use`:
/// the port's own surface at scale 1, else a larger one with a device scale,
/// lent to the port while it is painted (the drawing calls reach the port only
/// through Cairo, so every control and draw procedure draws at the higher
/// resolution).
bool PaintScaled(WindowRef window, double scale,
                 const std::function<cairo_status_t(cairo_surface_t*)>& use, std::string* error) {
  cairo_surface_t* own = window->port->surface;
  cairo_surface_t* target = own;
  if (scale != 1) {
    target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(std::lround(window->width * scale)),
                                        int(std::lround(window->height * scale)));
    cairo_surface_set_device_scale(target, scale, scale);
    window->port->surface = target;
  }
  cairo_status_t status = cairo_surface_status(target);
  if (status == CAIRO_STATUS_SUCCESS) {
    PaintWindow(window);
    cairo_surface_flush(target);
    status = use(target);
  }
  window->port->surface = own;
  if (target != own) cairo_surface_destroy(target);
  if (status != CAIRO_STATUS_SUCCESS && error) *error = cairo_status_to_string(status);
  return status == CAIRO_STATUS_SUCCESS;
}

}  // namespace

bool EncodeWindowPNG(WindowRef window, double scale, std::vector<unsigned char>* png,
                     std::string* error) {
  return PaintScaled(window, scale, [png](cairo_surface_t* s) {
    return cairo_surface_write_to_png_stream(s, AppendBytes, png);
  }, error);
}

bool CopyWindowRGBA(WindowRef window, double scale, std::vector<unsigned char>* rgba,
                    std::string* error) {
  return PaintScaled(window, scale, [rgba](cairo_surface_t* s) {
    const int width = cairo_image_surface_get_width(s), height = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    rgba->resize(size_t(width) * height * 4);
    unsigned char* out = rgba->data();
    for (int y = 0; y < height; ++y) {
      const UInt32* row = reinterpret_cast<const UInt32*>(data + size_t(y) * stride);
      for (int x = 0; x < width; ++x, out += 4) {  // windows are opaque: no alpha to undo
        out[0] = (row[x] >> 16) & 0xFF, out[1] = (row[x] >> 8) & 0xFF, out[2] = row[x] & 0xFF;
        out[3] = 0xFF;
      }
    }
    return CAIRO_STATUS_SUCCESS;
  }, error);
}

UInt32 PortPixel(WindowRef window, SInt16 h, SInt16 v) {
  cairo_surface_t* s = window->port->surface;
  cairo_surface_flush(s);
  const unsigned char* row = cairo_image_surface_get_data(s) + v * cairo_image_surface_get_stride(s);
  return *reinterpret_cast<const UInt32*>(row + h * 4);
}

}  // namespace internal
}  // namespace toolbox
