// monx contact sheets: size from the documented layout, toned tiles, refusals.
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
      // 7 presets, 4 columns, 2 rows of 64 x 48 tiles.
      {"all presets, landscape", 64, 48, {"--tile", "64"}, 40 + 4 * 64 + 3 * 16,
       40 + 34 + 2 * (48 + 56) + 16},
      // 6 tone values in 3 columns; a 100 x 50 photo scaled to 80 x 40.
      {"vary tone", 100, 50, {"--tile", "80", "--vary", "tone", "--columns", "3"},
       40 + 3 * 80 + 2 * 16, 40 + 34 + 2 * (40 + 56) + 16},
      // Portrait 30 x 60 scaled to 20 x 40; two presets side by side.
      {"portrait, two presets", 30, 60, {"--tile", "40", "--presets", "neutral,sepia"},
       40 + 2 * 20 + 16, 40 + 34 + 40 + 56},
      // A photo smaller than the tile is not enlarged; 5 contrast steps, 3 + 2 by default.
      {"small photo", 20, 10, {"--vary", "contrast", "--steps", "5"}, 40 + 3 * 20 + 2 * 16,
       40 + 34 + 2 * (10 + 56) + 16},
      // Six tone values fill two rows of three by default.
      {"tone, default columns", 20, 20, {"--vary", "tone"}, 40 + 3 * 20 + 2 * 16,
       40 + 34 + 2 * (20 + 56) + 16},
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

TEST(MonxSheet, EachTileShowsThePhotoTonedWithItsPreset) {
  ScratchDir dir;
  Image grey = Uniform(64, 64, {100});
  WriteImage(dir / "in.png", grey);
  RunResult run = RunMonx({"sheet", "--tile", "64", "--presets", "neutral,sepia,cyanotype",
                           dir / "in.png", dir / "sheet.png"});
  ASSERT_EQ(run.code, 0) << run.err;
  Image sheet = ReadImage(dir / "sheet.png");
  const char* names[] = {"neutral", "sepia", "cyanotype"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(names[i]);
    std::vector<std::uint8_t> want = EngineTone(Uniform(1, 1, {100}), monx::FindPreset(names[i])->info);
    int x = 20 + i * (64 + 16) + 32, y = 20 + 34 + 32;  // centre of tile i
    const std::uint8_t* got = sheet.Row(y) + 3 * x;
    EXPECT_EQ(std::vector<std::uint8_t>(got, got + 3), want);
  }
}

TEST(MonxSheet, SixteenBitPhotoIsNotedAndAnInputIsNeverReplaced) {
  ScratchDir dir;
  Write16BitGreyPng(dir / "in.png", GreyPattern(20, 10));
  std::string photo = Slurp(dir / "in.png");
  RunResult run = RunMonx({"sheet", dir / "in.png", dir / "sheet.png"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "monx: note: " + (dir / "in.png") + ": 16-bit PNG converted to 8 bits per channel\n");
  run = RunMonx({"sheet", dir / "in.png", dir / "in.png"});
  EXPECT_EQ(run.code, 64);
  EXPECT_NE(run.err.find((dir / "in.png") + ": is the input file; choose another output name"),
            std::string::npos) << run.err;
  EXPECT_EQ(Slurp(dir / "in.png"), photo) << "the photograph is still there, byte for byte";
}

TEST(MonxSheet, RefusesWhatItCannotDraw) {
  ScratchDir dir;
  WriteImage(dir / "in.png", GreyPattern(16, 16));
  WriteImage(dir / "tall.png", GreyPattern(4, 2048));
  std::string sixteen = "neutral";
  for (int i = 1; i < 16; ++i) sixteen += ",sepia";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"sheet", dir / "in.png", dir / "sheet.jpg"},
       (dir / "sheet.jpg") + ": a contact sheet is a PNG; the name must end in .png"},
      {{"sheet", "--vary", "sparkle", dir / "in.png", dir / "sheet.png"},
       "--vary sparkle: no such field"},
      {{"sheet", "--presets", "neutral,chrome", dir / "in.png", dir / "sheet.png"},
       "--presets: no preset called chrome"},
      {{"sheet", "--tile", "8", dir / "in.png", dir / "sheet.png"},
       "--tile 8 is out of range; accepted values: 32 to 2048"},
      {{"sheet", "--preset", "sepia", "--density", "5", dir / "in.png", dir / "sheet.png"},
       "--density 5 is out of range; accepted values: -50 to 0"},
      {{"sheet", "--preset", "sepia", dir / "in.png", dir / "sheet.png"},
       "sheet: --preset goes with --vary; to choose the presets shown, use --presets NAME,NAME..."},
      {{"sheet", "--columns", "-1", dir / "in.png", dir / "sheet.png"},
       "--columns -1 is out of range; accepted values: 0 to 64"},
      // 16 rows of 2048 + 56 pixels, 16 apart, with margins and title: 33978 high.
      {{"sheet", "--tile", "2048", "--columns", "1", "--presets", sixteen, dir / "tall.png",
        dir / "sheet.png"},
       "the sheet would be 44 x 33978 pixels, more than 32767 a side; use a smaller --tile or "
       "fewer tiles"},
      {{"sheet", dir / "missing.png", dir / "sheet.png"},
       (dir / "missing.png") + ": cannot read: No such file or directory"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(message);
    RunResult run = RunMonx(args);
    EXPECT_NE(run.code, 0);
    EXPECT_EQ(run.err, "monx: " + message + "\n");
  }
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"in.png", "tall.png"}));
}

}  // namespace
