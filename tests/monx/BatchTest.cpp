// monx batch mode: folders and lists of photos, bad files among good ones, the summary line.
#include <gtest/gtest.h>

#include <filesystem>

#include "MonxRunner.h"
#include "Settings.h"

using monx::ReadImage;
using monx::WriteImage;
using namespace monx_test;

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

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
  EXPECT_TRUE(Contains(run.err, "monx: " + (dir / "in/c.jpg") + ": truncated JPEG")) << run.err;
  EXPECT_TRUE(Contains(run.err, "monx: toned 2 of 3 photos into " + (dir / "out") + " in "))
      << run.err;
  EXPECT_TRUE(Contains(run.err, ", 1 failed\n")) << run.err;
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
  EXPECT_TRUE(Contains(run.err, "] 2/2 ")) << "progress bar counts the photos: " << run.err;
  EXPECT_TRUE(Contains(run.err, "toned 2 of 2 photos")) << run.err;
  // Each redraw starts with a carriage return; without a terminal the line is 80 wide.
  std::size_t start = 0;
  for (std::size_t end; (end = run.err.find_first_of("\r\n", start)) != std::string::npos; start = end + 1) {
    std::string line = run.err.substr(start, end - start);
    if (line.rfind("\033[K", 0) == 0) line.erase(0, 3);
    EXPECT_LT(line.size(), 80u) << line;
  }
  EXPECT_TRUE(Contains(run.err, "...")) << "the long name is shortened: " << run.err;
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
  EXPECT_TRUE(Contains(run.err, (dir / "y/a.png") + ": skipped")) << run.err;
  EXPECT_EQ(ReadImage(dir / "out/a.png").pixels, EngineTone(GreyPattern(8, 8), monx::NeutralInfo()))
      << "two inputs with one output name: the first input's result stays";

  // x/a.png would be written to y/a.png, the second input.
  run = RunMonx({dir / "x/a.png", dir / "y/a.png", dir / "y"});
  EXPECT_EQ(run.code, 1) << run.err;
  EXPECT_TRUE(Contains(run.err, (dir / "x/a.png") + ": skipped, its output " + (dir / "y/a.png") +
                                    " is the input " + (dir / "y/a.png")))
      << run.err;
  EXPECT_EQ(Slurp(dir / "y/a.png"), kept) << "the other input is untouched";
}

}  // namespace
