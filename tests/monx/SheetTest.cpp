// monx contact sheets: size from the documented layout and toned tiles (refusals are in ErrorTest).
#include <gtest/gtest.h>

#include "MonxRunner.h"
#include "Settings.h"

using monx::Image;
using monx::ReadImage;
using monx::WriteImage;
using namespace monx_test;

namespace {

struct SheetCase {
  const char* what;
  int width, height;  ///< of the photo
  std::vector<std::string> options;
  int sheetWidth, sheetHeight;  ///< worked out by hand from the manual's formula
};

TEST(MonxSheet, SizeFollowsTilesColumnsAndThePhotosProportions) {
  const std::vector<SheetCase> cases = {
      // 7 presets, 4 columns, 2 rows of 64 x 48 tiles in cells 220 wide (the narrowest).
      {"all presets, landscape", 64, 48, {"--tile", "64"}, 40 + 4 * 220 + 3 * 16,
       40 + 34 + 2 * (48 + 56) + 16},
      // 6 tone values in 3 columns; a 100 x 50 photo scaled to 80 x 40.
      {"vary tone", 100, 50, {"--tile", "80", "--vary", "tone", "--columns", "3"},
       40 + 3 * 220 + 2 * 16, 40 + 34 + 2 * (40 + 56) + 16},
      // Portrait 30 x 60 scaled to 20 x 40; two presets side by side.
      {"portrait, two presets", 30, 60, {"--tile", "40", "--presets", "neutral,sepia"},
       40 + 2 * 220 + 16, 40 + 34 + 40 + 56},
      // A photo under 220 pixels is enlarged to 220 x 110; 5 contrast steps, 3 + 2 by default.
      {"small photo", 20, 10, {"--vary", "contrast", "--steps", "5"}, 40 + 3 * 220 + 2 * 16,
       40 + 34 + 2 * (110 + 56) + 16},
      // Six tone values fill two rows of three by default.
      {"tone, default columns", 20, 20, {"--vary", "tone"}, 40 + 3 * 220 + 2 * 16,
       40 + 34 + 2 * (220 + 56) + 16},
  };
  for (const SheetCase& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    WriteImage(dir / "in.png", GreyPattern(c.width, c.height));
    std::vector<std::string> args = {"sheet"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.insert(args.end(), {dir / "in.png", dir / "sheet.png"});
    RunResult run = RunMonx(args);
    ASSERT_EQ(run.code, 0) << run.err;
    Image sheet = ReadImage(dir / "sheet.png");
    EXPECT_EQ(sheet.info.width, c.sheetWidth);
    EXPECT_EQ(sheet.info.height, c.sheetHeight);
  }
}

TEST(MonxSheet, EachTileShowsThePhotoTonedWithItsPresetAndA16BitPhotoIsNoted) {
  ScratchDir dir;
  Write16BitGreyPng(dir / "in.png", Uniform(64, 64, {100}));
  RunResult run = RunMonx({"sheet", "--tile", "64", "--presets", "neutral,sepia,cyanotype",
                           dir / "in.png", dir / "sheet.png"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "monx: note: " + (dir / "in.png") + ": 16-bit PNG converted to 8 bits per channel\n");
  Image sheet = ReadImage(dir / "sheet.png");
  const char* names[] = {"neutral", "sepia", "cyanotype"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(names[i]);
    std::vector<std::uint8_t> want = EngineTone(Uniform(1, 1, {100}), monx::FindPreset(names[i])->info);
    int x = 20 + i * (220 + 16) + 110, y = 20 + 34 + 32;  // centre of cell i
    const std::uint8_t* got = sheet.Row(y) + 3 * x;
    EXPECT_EQ(std::vector<std::uint8_t>(got, got + 3), want);
  }
}

}  // namespace
