// monx on many photos: batch mode (folders and lists, bad files among good ones, the summary
// line) and contact sheets (size from the documented layout, toned tiles).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "MonxRunner.h"
#include "Settings.h"

using monx::Image;
using testing::HasSubstr;
using monx::ReadImage;
using monx::WriteImage;
using namespace monx_test;

namespace {

TEST(MonxBatch, FolderWithABadFileTonesTheGoodOnesAndFails) {
  ScratchDir dir;
  std::filesystem::create_directory(dir / "in");
  monx::Image grey = GreyPattern(30, 20, 150);
  WriteImage(dir / "in/a.png", grey);
  WriteImage(dir / "in/b.jpg", RgbPattern(30, 20));
  WriteImage(dir / "in/c.jpg", RgbPattern(64, 64));
  Truncate(dir / "in/c.jpg", 800);
  WriteText(dir / "in/notes.txt", "not a photo, not picked up");
  RunResult run = RunMonx({"--preset", "sepia", dir / "in", dir / "out"});
  EXPECT_EQ(run.code, 1) << run.err;
  EXPECT_THAT(run.err, HasSubstr("monx: " + (dir / "in/c.jpg") + ": truncated JPEG"));
  EXPECT_THAT(run.err, HasSubstr("monx: toned 2 of 3 photos into " + (dir / "out") + " in "));
  EXPECT_THAT(run.err, HasSubstr(", 1 failed\n"));
  EXPECT_EQ(dir.List("out"), (std::vector<std::string>{"a.png", "b.jpg"}))
      << "good photos written, nothing for the bad one, no temporary files";
  monx::Image a = ReadImage(dir / "out/a.png");
  EXPECT_EQ(a.pixels, EngineTone(grey, monx::FindPreset("sepia")->info));
  EXPECT_EQ(a.info.dpi.xDpi, ReadImage(dir / "in/a.png").info.dpi.xDpi) << "resolution kept";
}

TEST(MonxBatch, FormatOptionChangesExtensionsAndTheProgressBarFitsTheLine) {
  ScratchDir dir;
  std::string name = "a photograph with a name much longer than any terminal line could hold "
                     "beside the bar, the count and the times";
  WriteImage(dir / (name + ".png"), GreyPattern(8, 8));
  WriteImage(dir / "b.jpg", RgbPattern(8, 8));
  RunResult run = RunMonx(
      {"--format", "jpeg", "--progress", "always", dir / (name + ".png"), dir / "b.jpg", dir / "out/"});
  ASSERT_EQ(run.code, 0) << "all good exits zero: " << run.err;
  EXPECT_EQ(dir.List("out"), (std::vector<std::string>{name + ".jpg", "b.jpg"}));
  EXPECT_THAT(run.err, HasSubstr("] 2/2 ")) << "progress bar counts the photos";
  EXPECT_THAT(run.err, HasSubstr("toned 2 of 2 photos"));
  // Each redraw starts with a carriage return; without a terminal the line is 80 wide.
  std::size_t start = 0;
  for (std::size_t end; (end = run.err.find_first_of("\r\n", start)) != std::string::npos; start = end + 1) {
    std::string line = run.err.substr(start, end - start);
    if (line.rfind("\033[K", 0) == 0) line.erase(0, 3);
    EXPECT_LT(line.size(), 80u) << line;
  }
  EXPECT_THAT(run.err, HasSubstr("...")) << "the long name is shortened";
}

TEST(MonxBatch, ClashingOutputsAreSkippedAndNothingIsOverwritten) {
  ScratchDir dir;
  std::filesystem::create_directories(dir / "x");
  std::filesystem::create_directories(dir / "y");
  WriteImage(dir / "x/a.png", GreyPattern(8, 8));
  WriteImage(dir / "y/a.png", RgbPattern(8, 8));
  std::string kept = Slurp(dir / "y/a.png");

  RunResult run = RunMonx({dir / "x/a.png", dir / "y/a.png", dir / "out"});
  EXPECT_EQ(run.code, 1) << run.err;
  EXPECT_THAT(run.err, HasSubstr((dir / "y/a.png") + ": skipped"));
  EXPECT_EQ(ReadImage(dir / "out/a.png").pixels, EngineTone(GreyPattern(8, 8), monx::NeutralInfo()))
      << "two inputs with one output name: the first input's result stays";

  // x/a.png would be written to y/a.png, the second input.
  run = RunMonx({dir / "x/a.png", dir / "y/a.png", dir / "y"});
  EXPECT_EQ(run.code, 1) << run.err;
  EXPECT_THAT(run.err, HasSubstr((dir / "x/a.png") + ": skipped, its output " + (dir / "y/a.png") +
                                    " is the input " + (dir / "y/a.png")));
  EXPECT_EQ(Slurp(dir / "y/a.png"), kept) << "the other input is untouched";
}

struct SheetCase {
  int width, height;  ///< of the photo
  std::vector<std::string> args;
  int sheetWidth, sheetHeight;  ///< worked out by hand from the manual's formula
};

TEST(MonxSheet, SizeFollowsTilesColumnsAndThePhotosProportions) {
  const std::vector<SheetCase> cases = {
      // 7 presets, 4 columns, 2 rows of 64 x 48 tiles in cells 220 wide (the narrowest).
      {64, 48, {"sheet", "--tile", "64"}, 40 + 4 * 220 + 3 * 16, 40 + 34 + 2 * (48 + 56) + 16},
      // 6 tone values in 3 columns; a 100 x 50 photo scaled to 80 x 40.
      {100, 50, {"sheet", "--tile", "80", "--vary", "tone", "--columns", "3"}, 40 + 3 * 220 + 2 * 16,
       40 + 34 + 2 * (40 + 56) + 16},
      // Portrait 30 x 60 scaled to 20 x 40; two presets side by side.
      {30, 60, {"sheet", "--tile", "40", "--presets", "neutral,sepia"}, 40 + 2 * 220 + 16, 40 + 34 + 40 + 56},
      // A photo under 220 pixels is enlarged to 220 x 110; 5 contrast steps, 3 + 2 by default.
      {20, 10, {"sheet", "--vary", "contrast", "--steps", "5"}, 40 + 3 * 220 + 2 * 16, 40 + 34 + 2 * (110 + 56) + 16},
      // Six tone values fill two rows of three by default.
      {20, 20, {"sheet", "--vary", "tone"}, 40 + 3 * 220 + 2 * 16, 40 + 34 + 2 * (220 + 56) + 16},
  };
  ScratchDir dir;
  for (SheetCase c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    WriteImage(dir / "in.png", GreyPattern(c.width, c.height));
    c.args.insert(c.args.end(), {dir / "in.png", dir / "sheet.png"});
    RunResult run = RunMonx(c.args);
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
