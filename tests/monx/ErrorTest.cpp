// Bad input through monx's command line: one clear line, the documented exit code, nothing written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>


#include "MonxRunner.h"

using monx::WriteImage;
using namespace monx_test;

namespace {

/// "@name" in arguments and messages stands for a file in the test's scratch folder.
std::string Expand(const std::string& text, const ScratchDir& dir) {
  std::string out;
  for (char c : text) out += c == '@' ? dir.path() + "/" : std::string(1, c);
  return out;
}

struct ErrorCase {
  const char* what;
  std::function<void(const ScratchDir&)> setup;
  std::vector<std::string> args;
  int code;
  std::string message;  ///< the whole line after "monx: ", or its start when it ends in "..."
};

/// A photo-sized pattern cut to `percent` of its file.
void WriteTruncated(const std::string& path, long percent) {
  WriteImage(path, RgbPattern(64, 64));
  Truncate(path, long(Slurp(path).size()) * percent / 100);
}

void GreyIn(const ScratchDir& d) { WriteImage(d / "in.png", GreyPattern(4, 4)); }

/// A PNG header claiming 100000 x 100000 pixels, followed by a little data.
void HugePngIn(const ScratchDir& d) { WritePngHeaderOnly(d / "in.png", 100000, 100000, false); }

const std::vector<ErrorCase>& Cases() {
  const std::string cutJpeg = "@in.jpg: truncated JPEG: the file ends before the image data does";
  const std::string cutPng = "@in.png: truncated PNG: the file ends before the image data does";
  static const std::vector<ErrorCase> cases = {
      {"missing input", nullptr, {"@missing.png", "@out.png"}, 66,
       "@missing.png: cannot read: No such file or directory"},
      {"input path through a file",
       [](const ScratchDir& d) { WriteImage(d / "file.png", GreyPattern(4, 4)); },
       {"@file.png/in.png", "@out.png"}, 66, "@file.png/in.png: cannot read: Not a directory"},
      {"text file", [](const ScratchDir& d) { WriteText(d / "in.png", "not a photograph\n"); },
       {"@in.png", "@out.png"}, 65, "@in.png: not a PNG or JPEG image"},
      {"empty file", [](const ScratchDir& d) { WriteText(d / "in.jpg", ""); },
       {"@in.jpg", "@out.png"}, 65, "@in.jpg: empty file, not an image"},
      {"truncated JPEG, an earlier output kept",
       [](const ScratchDir& d) {
         WriteTruncated(d / "in.jpg", 80);
         WriteText(d / "out.jpg", "the photographer's earlier print");
       },
       {"@in.jpg", "@out.jpg"}, 65, cutJpeg},
      {"JPEG cut inside its header", [](const ScratchDir& d) { WriteTruncated(d / "in.jpg", 5); },
       {"@in.jpg", "@out.jpg"}, 65, cutJpeg},
      {"truncated PNG", [](const ScratchDir& d) { WriteTruncated(d / "in.png", 60); },
       {"@in.png", "@out.png"}, 65, cutPng},
      {"huge PNG, streamed: its data runs out", HugePngIn, {"@in.png", "@out.png"}, 65, cutPng},
      {"huge interlaced PNG",
       [](const ScratchDir& d) { WritePngHeaderOnly(d / "in.png", 100000, 100000, true); },
       {"@in.png", "@out.png"}, 65, cutPng},
      {"huge PNG for a contact sheet", HugePngIn, {"sheet", "@in.png", "@sheet.png"}, 65, cutPng},
      {"huge progressive JPEG, decoded whole",
       [](const ScratchDir& d) { WriteProgressiveJpegClaiming(d / "in.jpg", 65000, 65000); },
       {"@in.jpg", "@out.jpg"}, 65, "@in.jpg: 65000 x 65000 pixels is too large to hold in memory here"},
      {"CMYK JPEG", [](const ScratchDir& d) { WriteCmykJpeg(d / "in.jpg", 16, 16); },
       {"@in.jpg", "@out.jpg"}, 65, "@in.jpg: CMYK JPEG is not supported; convert it to RGB or grey first"},
      {"unknown preset", nullptr, {"--preset", "chrome", "@in.png", "@out.png"}, 64,
       "--preset chrome: no such preset (see monx --list-presets)"},
      {"output folder missing", GreyIn, {"@in.png", "@nowhere/out.png"}, 73,
       "@nowhere/out.png: cannot write: No such file or directory"},
      {"output of unknown type", GreyIn, {"@in.png", "@out.tif"}, 64,
       "@out.tif: the name must end in .png, .jpg or .jpeg"},
      {"output over its input", GreyIn, {"@in.png", "@in.png"}, 64,
       "@in.png: is the input file; choose another output name"},
      {"contact sheet over its input", GreyIn, {"sheet", "@in.png", "@in.png"}, 64,
       "@in.png: is the input file; choose another output name"},
      {"several inputs into an image name",
       [](const ScratchDir& d) {
         WriteImage(d / "a.png", GreyPattern(4, 4));
         WriteImage(d / "b.png", GreyPattern(4, 4));
       },
       {"@a.png", "@b.png", "@c.png"}, 64,
       "@c.png: batch mode tones into a folder, and this names an image; end it with / for a "
       "folder of that name"},
      {"format against the output name", GreyIn, {"--format", "png", "@in.png", "@out.jpg"}, 64,
       "--format png disagrees with the output name @out.jpg (one photo is written as its name says)"},
      {"quality out of range", nullptr, {"-q", "0", "@in.png", "@out.jpg"}, 64,
       "--quality 0 is out of range; accepted values: 1 to 100"},
      {"one path only", nullptr, {"@in.png"}, 64, "give an INPUT and an OUTPUT (see monx --help)"},
      {"empty output name", GreyIn, {"@in.png", ""}, 64, "an empty file name was given (see monx --help)"},
      {"folder without photos",
       [](const ScratchDir& d) {
         std::filesystem::create_directory(d / "empty");
         WriteText(d / "empty/readme.txt", "nothing to tone");
       },
       {"@empty", "@out"}, 66, "@empty: no .png, .jpg or .jpeg files to tone"},
      {"contact sheet as JPEG", GreyIn, {"sheet", "@in.png", "@sheet.jpg"}, 64,
       "@sheet.jpg: a contact sheet is a PNG; the name must end in .png"},
      {"sheet varying an unknown field", GreyIn, {"sheet", "--vary", "sparkle", "@in.png", "@sheet.png"},
       64, "--vary sparkle: no such field; accepted: colour-x, colour-y, tone, brightness, contrast, shadow, highlight, density, white-shift"},
      {"sheet of an unknown preset", GreyIn,
       {"sheet", "--presets", "neutral,chrome", "@in.png", "@sheet.png"}, 64,
       "--presets: no preset called chrome"},
      {"sheet tile too small", GreyIn, {"sheet", "--tile", "8", "@in.png", "@sheet.png"}, 64,
       "--tile 8 is out of range; accepted values: 32 to 2048"},
      {"sheet field value out of range", GreyIn,
       {"sheet", "--preset", "sepia", "--density", "5", "@in.png", "@sheet.png"}, 64,
       "--density 5 is out of range; accepted values: -50 to 0"},
      {"sheet with --preset", GreyIn, {"sheet", "--preset", "sepia", "@in.png", "@sheet.png"}, 64,
       "sheet: --preset goes with --vary; to choose the presets shown, use --presets NAME,NAME..."},
      {"sheet columns negative", GreyIn, {"sheet", "--columns", "-1", "@in.png", "@sheet.png"}, 64,
       "--columns -1 is out of range; accepted values: 0 to 64"},
      // 16 rows of 2048 + 56 pixels, 16 apart, with margins and title: 33978 high.
      {"sheet too tall", [](const ScratchDir& d) { WriteImage(d / "tall.png", GreyPattern(4, 2048)); },
       {"sheet", "--tile", "2048", "--columns", "1", "--presets",
        "neutral,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia,"
        "sepia,sepia",
        "@tall.png", "@sheet.png"},
       64,
       "the sheet would be 260 x 33978 pixels, more than 32767 a side; use a smaller --tile or fewer tiles"},
      {"unknown option", nullptr, {"--sparkle", "@in.png", "@out.png"}, 64, "..."},
      {"value not a number", nullptr, {"--tone", "dark", "@in.png", "@out.png"}, 64, "..."},
  };
  return cases;
}

TEST(MonxErrors, EachBadInputGivesOneLineTheExitCodeAndNoOutput) {
  for (const ErrorCase& c : Cases()) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    if (c.setup) c.setup(dir);
    std::vector<std::string> before = dir.List();
    std::vector<std::string> contents;
    for (const std::string& name : before) contents.push_back(Slurp(dir / name));
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(Expand(arg, dir));
    RunResult run = RunMonx(args);
    EXPECT_EQ(run.code, c.code) << run.err;
    std::string message = Expand(c.message, dir);
    if (message == "...")
      EXPECT_EQ(run.err.rfind("monx: ", 0), 0u) << run.err;
    else
      EXPECT_EQ(run.err, "monx: " + message + "\n");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "one line: " << run.err;
    EXPECT_EQ(dir.List(), before) << "no output and no temporary file left behind";
    for (std::size_t i = 0; i < before.size() && i < contents.size(); ++i)
      EXPECT_EQ(Slurp(dir / before[i]), contents[i]) << before[i] << " changed";
  }
}

TEST(MonxErrors, OutOfRangeValueNamesTheOptionAndItsAcceptedValues) {
  const std::vector<std::vector<std::string>> cases = {
      {"--colour-x", "76", "--colour-x 76 is out of range; accepted values: -75 to 75"},
      {"--tone", "170", "--tone 170 is out of range; accepted values: 140, 160, 180, 200, 220 or 240"},
      {"--brightness", "26", "--brightness 26 is out of range; accepted values: -25 to 25"},
      {"--density", "1", "--density 1 is out of range; accepted values: -50 to 0"},
      {"--white-shift", "2", "--white-shift 2 is out of range; accepted values: 0 or 1"},
  };
  ScratchDir dir;
  WriteImage(dir / "in.png", GreyPattern(4, 4));
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    RunResult run = RunMonx({c[0] + "=" + c[1], dir / "in.png", dir / "out.png"});
    EXPECT_EQ(run.code, 64);
    EXPECT_EQ(run.err, "monx: " + c[2] + "\n");
  }
  EXPECT_EQ(dir.List(), std::vector<std::string>{"in.png"});
}

TEST(MonxErrors, WriteFailureSaysWhyAndLeavesNoTemporaryFile) {
  ScratchDir dir;
  WriteImage(dir / "in.png", RgbPattern(300, 300));
  for (const char* name : {"out.png", "out.jpg"}) {
    SCOPED_TRACE(name);
    // The shell's file size limit (in blocks of 512 or 1024 bytes) stops the output early.
    RunResult run = RunMonx({"-q", "100", dir / "in.png", dir / name}, "ulimit -f 2; ");
    EXPECT_EQ(run.code, 73);
    EXPECT_EQ(run.err, "monx: " + (dir / name) + ": cannot write: File too large\n");
    EXPECT_EQ(dir.List(), std::vector<std::string>{"in.png"});
  }
}

}  // namespace
