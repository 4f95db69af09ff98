// Bad input and command-line mistakes: one line in the tool's own words, the documented exit
// code, nothing written and nothing changed.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "MonxRunner.h"

using monx::WriteImage;
using namespace monx_test;

namespace {

struct ErrorCase {
  std::vector<std::string> args;  ///< "@name" stands for a file in the scratch folder
  int code;
  std::string message;  ///< the whole line after "monx: "
  std::string shellSetup = "";
};

const std::string kCutJpeg = ": truncated JPEG: the file ends before the image data does";
const std::string kCutPng = ": truncated PNG: the file ends before the image data does";

const std::vector<ErrorCase> kCases = {
    {{"@missing.png", "@out.png"}, 66, "@missing.png: cannot read: No such file or directory"},
    {{"--", "-missing.png", "@o.png"}, 66, "-missing.png: cannot read: No such file or directory"},
    {{"@in.png/in.png", "@out.png"}, 66, "@in.png/in.png: cannot read: Not a directory"},
    {{"@text.png", "@out.png"}, 65, "@text.png: not a PNG or JPEG image"},
    {{"@empty.jpg", "@out.png"}, 65, "@empty.jpg: empty file, not an image"},
    {{"@cut.jpg", "@out.jpg"}, 65, "@cut.jpg" + kCutJpeg},  // the earlier out.jpg is kept
    {{"@head.jpg", "@out.jpg"}, 65, "@head.jpg" + kCutJpeg},
    {{"@cut.png", "@out.png"}, 65, "@cut.png" + kCutPng},
    {{"@huge.png", "@out.png"}, 65, "@huge.png" + kCutPng},  // streamed: its data runs out
    {{"@hugei.png", "@out.png"}, 65, "@hugei.png" + kCutPng},
    {{"sheet", "@huge.png", "@sheet.png"}, 65, "@huge.png" + kCutPng},
    {{"@huge.jpg", "@out.jpg"}, 65, "@huge.jpg: 65000 x 65000 pixels is too large to hold in memory here"},
    {{"@cmyk.jpg", "@out.jpg"}, 65, "@cmyk.jpg: CMYK JPEG is not supported; convert it to RGB or grey first"},
    {{"@empty", "@out"}, 66, "@empty: no .png, .jpg or .jpeg files to tone"},
    {{"@in.png", "@nowhere/out.png"}, 73, "@nowhere/out.png: cannot write: No such file or directory"},
    {{"-q", "100", "@rgb.png", "@out.png"}, 73, "@out.png: cannot write: File too large", "ulimit -f 2; "},
    {{"-q", "100", "@rgb.png", "@out.jpg"}, 73, "@out.jpg: cannot write: File too large", "ulimit -f 2; "},
    {{"--preset", "chrome", "@in.png", "@out.png"}, 64, "--preset chrome: no such preset (see monx --list-presets)"},
    {{"@in.png", "@out.tif"}, 64, "@out.tif: the name must end in .png, .jpg or .jpeg"},
    {{"@in.png", "@in.png"}, 64, "@in.png: is the input file; choose another output name"},
    {{"sheet", "@in.png", "@in.png"}, 64, "@in.png: is the input file; choose another output name"},
    {{"@photos/a.png", "@photos/b.png", "@c.png"}, 64,
     "@c.png: batch mode tones into a folder, and this names an image; end it with / for a folder of that name"},
    {{"@photos", "@photos"}, 64,
     "@photos: is the input folder; the toned photos would replace the originals, so choose another folder"},
    {{"-", "@in.png", "@out/"}, 64, "- (standard input or output) holds one photo; it does not go with batch mode"},
    {{"--format", "png", "@in.png", "@out.jpg"}, 64,
     "--format png disagrees with the output name @out.jpg (one photo is written as its name says)"},
    {{"--format", "tiff", "@in.png", "@out/"}, 64, "--format tiff: accepted values: png or jpeg"},
    {{"@in.png"}, 64, "give an INPUT and an OUTPUT (see monx --help)"},
    {{"@in.png", ""}, 64, "an empty file name was given (see monx --help)"},
    {{"-dash.jpg", "@out.jpg"}, 64,
     "-dash.jpg: a name beginning with '-' is read as options; write ./-dash.jpg, or put -- before the file names"},
    {{"--sepia", "@in.png", "@o.png"}, 64, "--sepia: no such option (see monx --help)"},
    {{"@in.png", "@o.png", "-q"}, 64, "-q: needs a value (see monx --help)"},
    {{"--keep-colour", "@in.png", "@o.png"}, 64,
     "--keep-colour is now --per-channel, named for what it does: each colour channel through its own "
     "curve, a colour effect rather than a toned print (see monx --help)"},
    {{"--tone", "dark", "@in.png", "@o.png"}, 64,
     "--tone dark: not a whole number; accepted values: 140, 160, 180, 200, 220 or 240"},
    {{"--contrast", "abc", "@in.png", "@o.png"}, 64, "--contrast abc: not a whole number; accepted values: -25 to 25"},
    {{"--jobs", "2x", "@in.png", "@out/"}, 64, "--jobs 2x: not a whole number; accepted values: 1 to 64"},
    {{"-q", "0", "@in.png", "@out.jpg"}, 64, "--quality 0 is out of range; accepted values: 1 to 100"},
    {{"-d", "5", "@in.png", "@o.png"}, 64, "--density 5 is out of range; accepted values: -50 to 0"},
    {{"--density=1", "@in.png", "@o.png"}, 64, "--density 1 is out of range; accepted values: -50 to 0"},
    {{"--colour-x=76", "@in.png", "@o.png"}, 64, "--colour-x 76 is out of range; accepted values: -75 to 75"},
    {{"--tone=170", "@in.png", "@o.png"}, 64,
     "--tone 170 is out of range; accepted values: 140, 160, 180, 200, 220 or 240"},
    {{"--brightness=26", "@in.png", "@o.png"}, 64, "--brightness 26 is out of range; accepted values: -25 to 25"},
    {{"--white-shift=2", "@in.png", "@o.png"}, 64, "--white-shift 2 is out of range; accepted values: 0 or 1"},
    {{"sheet", "@in.png", "@sheet.jpg"}, 64, "@sheet.jpg: a contact sheet is a PNG; the name must end in .png"},
    {{"sheet", "--vary", "sparkle", "@in.png", "@sheet.png"}, 64,
     "--vary sparkle: no such field; accepted: colour-x, colour-y, tone, brightness, contrast, shadow, "
     "highlight, density, white-shift"},
    {{"sheet", "--presets", "neutral,chrome", "@in.png", "@sheet.png"}, 64, "--presets: no preset called chrome"},
    {{"sheet", "--tile", "8", "@in.png", "@sheet.png"}, 64, "--tile 8 is out of range; accepted values: 32 to 2048"},
    {{"sheet", "--tile", "big", "@in.png", "@s.png"}, 64,
     "--tile big: not a whole number; accepted values: 32 to 2048"},
    {{"sheet", "--steps", "40", "@in.png", "@s.png"}, 64, "--steps 40 is out of range; accepted values: 2 to 16"},
    {{"sheet", "--preset", "sepia", "--density", "5", "@in.png", "@sheet.png"}, 64,
     "--density 5 is out of range; accepted values: -50 to 0"},
    {{"sheet", "--preset", "sepia", "@in.png", "@sheet.png"}, 64,
     "sheet: --preset goes with --vary; to choose the presets shown, use --presets NAME,NAME..."},
    {{"sheet", "--columns", "-1", "@in.png", "@sheet.png"}, 64,
     "--columns -1 is out of range; accepted values: 0 to 64"},
    // 16 rows of 2048 + 56 pixels, 16 apart, with margins and title: 33978 high.
    {{"sheet", "--tile", "2048", "--columns", "1", "--presets",
      "neutral,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia,sepia",
      "@tall.png", "@sheet.png"},
     64, "the sheet would be 260 x 33978 pixels, more than 32767 a side; use a smaller --tile or fewer tiles"},
};

/// Every file and folder under the scratch folder with a hash of its bytes.
std::map<std::string, std::size_t> Snapshot(const ScratchDir& dir) {
  std::map<std::string, std::size_t> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
    files[entry.path().string()] = std::hash<std::string>()(Slurp(entry.path().string()));
  return files;
}

TEST(MonxErrors, EachMistakeGivesOneLineTheExitCodeAndChangesNothing) {
  ScratchDir dir;
  auto at = [&](std::string text) {
    for (std::size_t i; (i = text.find('@')) != std::string::npos;) text.replace(i, 1, dir.path() + "/");
    return text;
  };
  WriteImage(dir / "in.png", GreyPattern(4, 4));
  WriteImage(dir / "rgb.png", RgbPattern(300, 300));
  WriteImage(dir / "tall.png", GreyPattern(4, 2048));
  std::filesystem::create_directory(dir / "photos");
  std::filesystem::create_directory(dir / "empty");
  for (const auto& [name, text] : {std::pair{"text.png", "not a photograph\n"}, {"empty.jpg", ""},
                                   {"out.jpg", "the photographer's earlier print"}, {"empty/readme.txt", "none"}})
    WriteText(dir / name, text);
  for (const auto& [name, percent] : {std::pair{"cut.jpg", 80}, {"head.jpg", 5}, {"cut.png", 60}}) {
    WriteImage(dir / name, RgbPattern(64, 64));  // cut to a share of its file
    Truncate(dir / name, long(Slurp(dir / name).size()) * percent / 100);
  }
  WritePngHeaderOnly(dir / "huge.png", 100000, 100000, false);
  WritePngHeaderOnly(dir / "hugei.png", 100000, 100000, true);
  WriteProgressiveJpegClaiming(dir / "huge.jpg", 65000, 65000);
  WriteText(dir / "cmyk.jpg", JpegBytes(Uniform(16, 16, {120, 120, 120, 120})));
  for (const char* name : {"a.png", "b.png", "c.png"}) WriteImage(dir / "photos/" + name, GreyPattern(4, 4));
  for (const ErrorCase& c : kCases) {
    std::vector<std::string> args;
    std::string shown;
    for (const std::string& arg : c.args) args.push_back(at(arg)), shown += arg + " ";
    SCOPED_TRACE(shown);
    const auto before = Snapshot(dir);
    RunResult run = RunMonx(args, c.shellSetup);
    EXPECT_EQ(run.code, c.code) << run.err;
    EXPECT_EQ(run.err, "monx: " + at(c.message) + "\n");
    EXPECT_TRUE(Snapshot(dir) == before) << "no output, no temporary file, no input changed";
  }
}

}  // namespace
