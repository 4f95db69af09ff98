// The contact sheet: one photograph under a grid of toning settings, labelled, as one PNG.
#pragma once

#include <string>
#include <vector>

#include "ImageIo.h"
#include "ToneFile.h"
#include "Settings.h"
#include "velkui/toning.h"

namespace monx {

struct SheetOptions {
  MonxInfo base{0, 0, 180, 0, 0, 0, 0, 0, 0};  ///< settings of every tile except the varied field
  std::string vary;                  ///< field option to range over; empty: one tile per preset
  int steps = 5;                     ///< tiles of a varied field with many values
  std::vector<std::string> presets;  ///< presets to show; empty: all
  std::vector<FieldValue> overrides; ///< fields set on every preset tile
  int tile = 240;                    ///< longest side of a tile in pixels
  int columns = 0;                   ///< 0: up to 4, rows evenly filled
  bool perChannel = false;          ///< tone each colour channel instead of the grey
  JpegOptions jpeg;
};

/// Layout of a sheet, in pixels.
struct SheetLayout {
  static constexpr int kMargin = 20;      ///< around the whole sheet
  static constexpr int kGap = 16;         ///< between tiles
  static constexpr int kTitleHeight = 34; ///< file name strip at the top
  static constexpr int kLabelHeight = 56; ///< a name and up to two lines of values
  static constexpr int kMinCell = 220;    ///< narrowest cell: room for a readable label
  int columns = 0;
  int rows = 0;
  int cellWidth = 0;   ///< the scaled photo's width
  int cellHeight = 0;  ///< the scaled photo's height
  int Width() const { return 2 * kMargin + columns * cellWidth + (columns - 1) * kGap; }
  int Height() const {
    return 2 * kMargin + kTitleHeight + rows * (cellHeight + kLabelHeight) + (rows - 1) * kGap;
  }
};

/// Renders the sheet of `input` into `output` (.png) through a temporary file;
/// conversions made while reading the photo go to `notes`. Throws ToolError,
/// also when `output` is the input file.
void MakeSheet(const std::string& input, const std::string& output, const SheetOptions& options,
               const NoteSink& notes);

/// A copy of `image` scaled to fit a `side` square: down by area averaging, or
/// up (pixels repeated) when its longest side is under `least`, to `least`.
Image Thumbnail(const Image& image, int side, int least = 0);

}  // namespace monx
