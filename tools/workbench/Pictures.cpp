// Pictures of a session: a snapshot compared with a stored PNG, and the filmstrip of all snapshots.
#include "Pictures.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "Session.h"
#include "toolbox/host/render.h"
#include "toolbox/host/windows.h"

namespace workbench {

namespace {

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

Surface LoadPNG(const std::string& path) {
  Surface surface(cairo_image_surface_create_from_png(path.c_str()), &cairo_surface_destroy);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return {nullptr, &cairo_surface_destroy};
  cairo_surface_flush(surface.get());
  return surface;
}

UInt32 PixelOf(cairo_surface_t* surface, int h, int v) {
  const unsigned char* row =
      cairo_image_surface_get_data(surface) + v * cairo_image_surface_get_stride(surface);
  return reinterpret_cast<const uint32_t*>(row)[h] & 0xFFFFFF;
}

std::string Size(int width, int height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

}  // namespace

std::optional<Mismatch> Session::CheckSnapshot(const std::string& path) {
  Surface stored = LoadPNG(path);
  if (!stored) return Mismatch{"the stored snapshot " + path, "no readable PNG there"};
  toolbox::host::RenderWindow(window_);
  const int width = toolbox::host::WindowWidth(window_), height = toolbox::host::WindowHeight(window_);
  const int storedWidth = cairo_image_surface_get_width(stored.get());
  const int storedHeight = cairo_image_surface_get_height(stored.get());
  if (width != storedWidth || height != storedHeight)
    return Mismatch{"a window of " + Size(storedWidth, storedHeight), Size(width, height)};
  long differing = 0;
  int firstH = -1, firstV = -1;
  for (int v = 0; v < height; ++v) {
    for (int h = 0; h < width; ++h) {
      const UInt32 drawn = toolbox::host::PixelAt(window_, SInt16(h), SInt16(v)) & 0xFFFFFF;
      if (drawn == PixelOf(stored.get(), h, v)) continue;
      if (differing++ == 0) firstH = h, firstV = v;
    }
  }
  if (differing == 0) return std::nullopt;
  char where[80];
  std::snprintf(where, sizeof where, "%ld pixels differ, the first at (%d, %d)", differing, firstH,
                firstV);
  return Mismatch{"the pixels of " + path, where};
}

bool WriteFilmstrip(const std::vector<Frame>& frames, const std::string& path, std::string* error) {
  constexpr double kScale = 0.75;
  constexpr int kGap = 16, kCaption = 40, kColumns = 3;
  std::vector<Surface> pictures;
  int cellWidth = 0, cellHeight = 0;
  for (const Frame& frame : frames) {
    pictures.push_back(LoadPNG(frame.path));
    if (!pictures.back()) {
      *error = "cannot read " + frame.path;
      return false;
    }
    cellWidth = std::max(cellWidth, int(cairo_image_surface_get_width(pictures.back().get()) * kScale));
    cellHeight = std::max(cellHeight, int(cairo_image_surface_get_height(pictures.back().get()) * kScale));
  }
  cellWidth += kGap;
  cellHeight += kGap + kCaption;
  const int columns = std::min<int>(kColumns, int(frames.size()));
  const int rows = (int(frames.size()) + kColumns - 1) / kColumns;
  Surface strip(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kGap + columns * cellWidth,
                                           kGap + rows * cellHeight),
                &cairo_surface_destroy);
  cairo_t* cr = cairo_create(strip.get());
  cairo_set_source_rgb(cr, 0.16, 0.16, 0.18);
  cairo_paint(cr);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  for (size_t i = 0; i < frames.size(); ++i) {
    const int x = kGap + int(i % kColumns) * cellWidth, y = kGap + int(i / kColumns) * cellHeight;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, kScale, kScale);
    cairo_set_source_surface(cr, pictures[i].get(), 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    const int captionTop = y + cellHeight - kGap - kCaption;
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
    cairo_set_font_size(cr, 13);
    cairo_move_to(cr, x, captionTop + 16);
    cairo_show_text(cr, (std::to_string(i + 1) + ". " + frames[i].name).c_str());
    cairo_set_source_rgb(cr, 0.75, 0.75, 0.78);
    cairo_set_font_size(cr, 11);
    cairo_move_to(cr, x, captionTop + 33);
    cairo_show_text(cr, frames[i].caption.c_str());
  }
  cairo_destroy(cr);
  if (cairo_surface_write_to_png(strip.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace workbench
