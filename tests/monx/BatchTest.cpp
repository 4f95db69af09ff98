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

TEST(MonxBatch, ListedPhotosWithAMissingOneIntoANewFolder) {
  ScratchDir dir;
  WriteImage(dir / "a.png", GreyPattern(8, 8));
  WriteImage(dir / "b.png", GreyPattern(8, 8));
  RunResult run = RunMonx({"--jobs", "1", dir / "a.png", dir / "gone.png", dir / "b.png",
                           dir / "toned/deeper"});
  EXPECT_EQ(run.code, 1) << run.err;
  EXPECT_TRUE(Contains(run.err, (dir / "gone.png") + ": cannot read: No such file or directory"))
      << run.err;
  EXPECT_EQ(dir.List("toned/deeper"), (std::vector<std::string>{"a.png", "b.png"}));
}

TEST(MonxBatch, FormatOptionChangesExtensionsAndAllGoodExitsZero) {
  ScratchDir dir;
  WriteImage(dir / "a.png", GreyPattern(8, 8));
  WriteImage(dir / "b.jpg", RgbPattern(8, 8));
  RunResult run =
      RunMonx({"--format", "jpeg", "--progress", "always", dir / "a.png", dir / "b.jpg", dir / "out/"});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(dir.List("out"), (std::vector<std::string>{"a.jpg", "b.jpg"}));
  EXPECT_TRUE(Contains(run.err, "] 2/2 ")) << "progress bar counts the photos: " << run.err;
  EXPECT_TRUE(Contains(run.err, "toned 2 of 2 photos")) << run.err;
}

TEST(MonxBatch, TwoInputsWithOneOutputNameDoNotOverwriteEachOther) {
  ScratchDir dir;
  std::filesystem::create_directories(dir / "x");
  std::filesystem::create_directories(dir / "y");
  WriteImage(dir / "x/a.png", GreyPattern(8, 8));
  WriteImage(dir / "y/a.png", RgbPattern(8, 8));
  RunResult run = RunMonx({dir / "x/a.png", dir / "y/a.png", dir / "out"});
  EXPECT_EQ(run.code, 1) << run.err;
  EXPECT_TRUE(Contains(run.err, (dir / "y/a.png") + ": skipped")) << run.err;
  EXPECT_EQ(ReadImage(dir / "out/a.png").pixels,
            EngineTone(GreyPattern(8, 8), monx::NeutralInfo()))
      << "the first input's result stays";
}

TEST(MonxBatch, FolderWithoutPhotosIsAnError) {
  ScratchDir dir;
  std::filesystem::create_directory(dir / "empty");
  WriteText(dir / "empty/readme.txt", "nothing to tone");
  RunResult run = RunMonx({dir / "empty", dir / "out"});
  EXPECT_EQ(run.code, 66);
  EXPECT_EQ(run.err, "monx: " + (dir / "empty") + ": no .png, .jpg or .jpeg files to tone\n");
  EXPECT_EQ(dir.List(), std::vector<std::string>{"empty"}) << "no output folder made";
}

}  // namespace
