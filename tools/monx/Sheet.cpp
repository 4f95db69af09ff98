// Contact sheet rendering with Cairo: thumbnail once, tone per tile, label under each.
#include "Sheet.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include "Grey.h"
#include "Orientation.h"
#include "Settings.h"
#include "ToolError.h"
#include "Toner.h"

namespace monx {
namespace {

struct Tile {
  MonxInfo info;
  std::string title;
  std::string detail;
};

std::vector<Tile> TilesOf(const SheetOptions& options) {
  std::vector<Tile> tiles;
  if (!options.vary.empty()) {
    const ToningField* field = FindField(options.vary);
    if (!field) {
      std::string names;
      for (const ToningField& f : Fields()) names += (names.empty() ? "" : ", ") + std::string(f.option);
      throw ToolError(kExitUsage, "--vary " + options.vary + ": no such field; accepted: " + names);
    }
    for (int value : SpreadOf(*field, options.steps)) {
      MonxInfo info = options.base;
      info.*field->member = value;
      tiles.push_back({info, std::string(field->option) + " " + std::to_string(value),
                       DescribeChanges(info)});
    }
    return tiles;
  }
  std::vector<std::string> names = options.presets;
  if (names.empty())
    for (const Preset& preset : Presets()) names.push_back(preset.name);
  for (const std::string& name : names) {
    const Preset* preset = FindPreset(name);
    if (!preset) throw ToolError(kExitUsage, "--presets: no preset called " + name);
    MonxInfo info = preset->info;
    for (const auto& [member, value] : options.overrides) info.*member = value;
    tiles.push_back({info, preset->name, DescribeChanges(info)});
  }
  return tiles;
}

/// Sums of one channel over [y0, y1) x [x0, x1), divided by the area.
std::uint8_t BoxAverage(const Image& image, int c, int x0, int x1, int y0, int y1) {
  std::uint64_t sum = 0;
  int channels = image.info.channels;
  for (int y = y0; y < y1; ++y) {
    const std::uint8_t* row = image.Row(y);
    for (int x = x0; x < x1; ++x) sum += row[x * channels + c];
  }
  std::uint64_t area = std::uint64_t(x1 - x0) * std::uint64_t(y1 - y0);
  return std::uint8_t((sum + area / 2) / area);
}

// Cairo's RGB24 pixel: 0xXXRRGGBB in native byte order.
std::uint32_t Pack(const std::uint8_t* rgb) {
  return (std::uint32_t(rgb[0]) << 16) | (std::uint32_t(rgb[1]) << 8) | rgb[2];
}

void PaintTile(cairo_t* cr, const Image& toned, int left, int top) {
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, toned.info.width, toned.info.height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    throw ToolError(kExitSoftware, "cannot draw the contact sheet: out of memory");
  }
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < toned.info.height; ++y) {
    auto* out = reinterpret_cast<std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
    for (int x = 0; x < toned.info.width; ++x) out[x] = Pack(toned.Row(y) + 3 * x);
  }
  cairo_surface_mark_dirty(surface);
  cairo_set_source_surface(cr, surface, left, top);
  cairo_paint(cr);
  cairo_surface_destroy(surface);
}

/// Draws `text` centred on `centreX` at baseline `y`, shrunk to fit `width`.
void CentredText(cairo_t* cr, const std::string& text, double size, double centreX, double y,
                 double width) {
  cairo_set_font_size(cr, size);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  if (extents.x_advance > width) {
    cairo_set_font_size(cr, size * width / extents.x_advance);
    cairo_text_extents(cr, text.c_str(), &extents);
  }
  cairo_move_to(cr, centreX - extents.x_advance / 2, y);
  cairo_show_text(cr, text.c_str());
}

/// Splits "a 1  b 2  c 3" at the double space nearest its middle when it is too wide.
std::vector<std::string> DetailLines(cairo_t* cr, const std::string& text, double width) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  std::size_t best = std::string::npos;
  if (extents.x_advance > width)
    for (std::size_t at = text.find("  "); at != std::string::npos; at = text.find("  ", at + 2))
      if (best == std::string::npos || std::abs(long(at) - long(text.size() / 2)) <
                                            std::abs(long(best) - long(text.size() / 2)))
        best = at;
  if (best == std::string::npos) return {text};
  return {text.substr(0, best), text.substr(best + 2)};
}

void DrawLabel(cairo_t* cr, const Tile& tile, int left, int top, int width) {
  double centre = left + width / 2.0;
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_source_rgb(cr, 0.12, 0.12, 0.12);
  CentredText(cr, tile.title, 14, centre, top + 19, width);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 11);
  cairo_set_source_rgb(cr, 0.38, 0.38, 0.38);
  double y = top + 35;
  for (const std::string& line : DetailLines(cr, tile.detail, width)) {
    CentredText(cr, line, 11, centre, y, width);
    y += 14;
  }
}

/// Draws the title strip, shrunk to fit `width` (a small photo makes a narrow sheet).
void DrawTitle(cairo_t* cr, const std::string& title, double width) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 16);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, title.c_str(), &extents);
  if (extents.x_advance > width) cairo_set_font_size(cr, 16 * width / extents.x_advance);
  cairo_set_source_rgb(cr, 0.12, 0.12, 0.12);
  cairo_move_to(cr, SheetLayout::kMargin, SheetLayout::kMargin + 17);
  cairo_show_text(cr, title.c_str());
}

Image Tone(const Image& thumb, const MonxInfo& info) {
  Toner toner(info);
  Image toned;
  toned.info = thumb.info;
  toned.info.channels = 3;
  toned.pixels.resize(toned.info.RowBytes() * std::size_t(toned.info.height));
  if (thumb.info.channels == 3) {
    toner.ToneRgb(thumb.pixels.data(), toned.pixels.data(), thumb.info.width, thumb.info.height);
  } else {
    for (int y = 0; y < thumb.info.height; ++y)
      toner.ToneGrey(thumb.Row(y), toned.Row(y), std::size_t(thumb.info.width));
  }
  return toned;
}

Image SurfaceToImage(cairo_surface_t* surface) {
  Image image;
  image.info.width = cairo_image_surface_get_width(surface);
  image.info.height = cairo_image_surface_get_height(surface);
  image.info.channels = 3;
  image.pixels.resize(image.info.RowBytes() * std::size_t(image.info.height));
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < image.info.height; ++y) {
    auto* in = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
    std::uint8_t* out = image.Row(y);
    for (int x = 0; x < image.info.width; ++x, out += 3) {
      out[0] = std::uint8_t(in[x] >> 16);
      out[1] = std::uint8_t(in[x] >> 8);
      out[2] = std::uint8_t(in[x]);
    }
  }
  return image;
}

/// An RGBA photo laid over white, as it would show on paper.
void FlattenOverWhite(Image& image) {
  if (image.info.channels != 4) return;
  for (int y = 0; y < image.info.height; ++y)
    OverWhite(image.Row(y), 4, image.Row(y), image.pixels.data() + std::size_t(y) * std::size_t(image.info.width) * 3,
              std::size_t(image.info.width));
  image.info.channels = 3;
  image.pixels.resize(image.info.RowBytes() * std::size_t(image.info.height));
}

void ToGrey(Image& image) {
  if (image.info.channels != 3) return;
  for (int y = 0; y < image.info.height; ++y)
    RgbToGrey(image.Row(y), image.pixels.data() + std::size_t(y) * std::size_t(image.info.width),
              std::size_t(image.info.width));
  image.info.channels = 1;
  image.pixels.resize(image.info.RowBytes() * std::size_t(image.info.height));
}

}  // namespace

Image Thumbnail(const Image& image, int side, int least) {
  const ImageInfo& in = image.info;
  int longest = std::max(in.width, in.height);
  double scale = std::min(1.0, double(side) / double(longest));
  if (longest < least) scale = double(std::min(least, side)) / double(longest);
  Image thumb;
  thumb.info = in;
  thumb.info.width = std::max(1, int(std::lround(in.width * scale)));
  thumb.info.height = std::max(1, int(std::lround(in.height * scale)));
  thumb.pixels.resize(thumb.info.RowBytes() * std::size_t(thumb.info.height));
  for (int y = 0; y < thumb.info.height; ++y) {
    int y0 = int(std::int64_t(y) * in.height / thumb.info.height);
    int y1 = std::max(y0 + 1, int(std::int64_t(y + 1) * in.height / thumb.info.height));
    for (int x = 0; x < thumb.info.width; ++x) {
      int x0 = int(std::int64_t(x) * in.width / thumb.info.width);
      int x1 = std::max(x0 + 1, int(std::int64_t(x + 1) * in.width / thumb.info.width));
      for (int c = 0; c < in.channels; ++c)
        thumb.Row(y)[x * in.channels + c] = BoxAverage(image, c, x0, x1, y0, y1);
    }
  }
  return thumb;
}

void MakeSheet(const std::string& input, const std::string& output, const SheetOptions& options,
               const NoteSink& notes) {
  if (FileTypeOfName(output) != FileType::kPng)
    throw ToolError(kExitUsage, output + ": a contact sheet is a PNG; the name must end in .png");
  if (options.tile < 32 || options.tile > 2048)
    throw ToolError(kExitUsage, "--tile " + std::to_string(options.tile) +
                                    " is out of range; accepted values: 32 to 2048");
  std::vector<Tile> tiles = TilesOf(options);
  for (const Tile& tile : tiles) CheckRecord(tile.info);

  Image photo = ReadImage(input, options.jpeg);
  CheckNotSameFile(input, output);
  for (const std::string& note : photo.notes) notes(input + ": " + note);
  photo = Upright(photo, OrientationOf(photo.metadata.exif));
  const bool colour = photo.info.channels != 1;
  FlattenOverWhite(photo);
  if (!options.perChannel) ToGrey(photo);
  Image thumb = Thumbnail(photo, options.tile, SheetLayout::kMinCell);
  // Say what was done to the photo besides the toning each label names.
  std::string done = !colour ? "grey photo" : options.perChannel ? "each colour channel toned"
                                                                 : "colour made grey, then toned";
  for (Tile& tile : tiles)
    if (tile.detail == "no change")
      tile.detail = colour && !options.perChannel ? "grey, no toning" : "unchanged";

  SheetLayout layout;
  layout.cellWidth = std::max(thumb.info.width, int(SheetLayout::kMinCell));
  layout.cellHeight = thumb.info.height;
  int count = int(tiles.size());
  // By default at most four across, with the rows as evenly filled as that allows.
  int balanced = (count + (count + 3) / 4 - 1) / ((count + 3) / 4);
  layout.columns = std::clamp(options.columns > 0 ? options.columns : balanced, 1, count);
  layout.rows = (count + layout.columns - 1) / layout.columns;
  // Cairo draws on surfaces up to 32767 pixels a side.
  constexpr long kMaxSide = 32767;
  long width = 2L * SheetLayout::kMargin + long(layout.columns) * layout.cellWidth +
               long(layout.columns - 1) * SheetLayout::kGap;
  long height = 2L * SheetLayout::kMargin + SheetLayout::kTitleHeight +
                long(layout.rows) * (layout.cellHeight + SheetLayout::kLabelHeight) +
                long(layout.rows - 1) * SheetLayout::kGap;
  if (width > kMaxSide || height > kMaxSide)
    throw ToolError(kExitUsage, "the sheet would be " + std::to_string(width) + " x " +
                                    std::to_string(height) + " pixels, more than " +
                                    std::to_string(kMaxSide) +
                                    " a side; use a smaller --tile or fewer tiles");

  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, layout.Width(), layout.Height());
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0.96, 0.96, 0.95);
  cairo_paint(cr);
  std::string name = std::filesystem::path(input).filename().string();
  DrawTitle(cr, name + "  \u00b7  " + std::to_string(photo.info.width) + " \u00d7 " +
                    std::to_string(photo.info.height) + "  \u00b7  " + done,
            layout.Width() - 2 * SheetLayout::kMargin);
  Image sheet;
  try {
    for (int i = 0; i < count; ++i) {
      int left = SheetLayout::kMargin + (i % layout.columns) * (layout.cellWidth + SheetLayout::kGap);
      int top = SheetLayout::kMargin + SheetLayout::kTitleHeight +
                (i / layout.columns) *
                    (layout.cellHeight + SheetLayout::kLabelHeight + SheetLayout::kGap);
      PaintTile(cr, Tone(thumb, tiles[std::size_t(i)].info),
                left + (layout.cellWidth - thumb.info.width) / 2, top);
      DrawLabel(cr, tiles[std::size_t(i)], left, top + layout.cellHeight, layout.cellWidth);
    }
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
      throw ToolError(kExitSoftware, std::string("cannot draw the contact sheet: ") +
                                         cairo_status_to_string(cairo_status(cr)));
    sheet = SurfaceToImage(surface);
  } catch (...) {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    throw;
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  // Release the font caches Cairo and fontconfig keep for the life of the process.
  cairo_debug_reset_static_data();
  FcFini();
  WriteImage(output, sheet);
}

}  // namespace monx
