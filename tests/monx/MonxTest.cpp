// monx through its command line: formats, resolution, presets and options against the engine's
// bytes; what a photo carries besides its grey levels (orientation, EXIF, colour profile,
// transparency); batch mode and contact sheets; standard input and output, the manual, and the
// package installed to a prefix. Inputs are made here, byte by byte where it matters.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "MonxRunner.h"
#include "Orientation.h"
#include "Settings.h"

using monx::Image;
using monx::ReadImage;
using monx::WriteImage;
using testing::HasSubstr;
using namespace monx_test;

namespace {

MonxInfo PresetInfo(const char* name) { return monx::FindPreset(name)->info; }

/// Each grey level repeated as an RGB pixel.
Bytes GreyAsRgb(const Bytes& levels) {
  Bytes rgb;
  for (std::uint8_t v : levels) rgb.insert(rgb.end(), 3, v);
  return rgb;
}

/// Tests of one run of the tool or a few, in a scratch folder of their own.
class Monx : public ::testing::Test {
 protected:
  /// Runs monx with `args` (then `output`, when given), expecting success and exactly
  /// `err` on the error stream; returns what was written to `output` or out.png.
  Image Run(std::vector<std::string> args, const std::string& output = "", const std::string& err = "") {
    if (!output.empty()) args.push_back(dir / output);
    RunResult run = RunMonx(args);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, err);
    return ReadImage(dir / (output.empty() ? "out.png" : output));
  }
  /// Tones in.png into out.png with `options`.
  Image Tone(std::vector<std::string> options, const std::string& err = "") {
    options.insert(options.end(), {dir / "in.png", dir / "out.png"});
    return Run(options, "", err);
  }
  ScratchDir dir;
};

TEST_F(Monx, PerChannelTonesEachChannelThroughTheEngine) {
  Image in = RgbPattern(50, 20);
  WriteImage(dir / "in.png", in);
  EXPECT_EQ(Tone({"--per-channel"}).pixels, in.pixels);  // neutral: unchanged
  EXPECT_EQ(Tone({"--preset", "selenium", "--per-channel"}).pixels, EngineTone(in, PresetInfo("selenium")));
}

TEST_F(Monx, OutputFormatFollowsTheExtensionOrFormatOnStandardOutput) {
  std::string sample = std::string(VELKUI_SOURCE_DIR) + "/examples/photos/coffee.png";
  WriteImage(dir / "in.jpg", RgbPattern(20, 20, 72));
  Image photo = Run({"--preset", "cyanotype", sample}, "out.JPEG");
  EXPECT_NEAR(Run({dir / "in.jpg"}, "out.png").info.dpi.xDpi, 72, 0.01) << "JPEG dpi carried into PNG";
  EXPECT_EQ(Slurp(dir / "out.JPEG").substr(0, 3), "\xFF\xD8\xFF") << ".JPEG writes JPEG";
  EXPECT_EQ(Slurp(dir / "out.png").substr(0, 4), "\x89PNG") << ".png writes PNG";
  EXPECT_EQ(photo.info.width, 600) << "the sample photograph keeps its size";
  EXPECT_EQ(photo.info.height, 400);
  // "-" reads standard input and writes standard output, in the input's format unless --format says.
  for (const auto& [format, type] : {std::pair{"", monx::FileType::kJpeg}, {"--format png", monx::FileType::kPng}}) {
    SCOPED_TRACE(format);
    std::string command = std::string(MONX_PATH) + " --preset cool " + format + " - - <'" + dir / "in.jpg" +
                          "' >'" + dir / "out" + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto reader = monx::OpenImage(dir / "out");
    EXPECT_EQ(reader->type(), type);
    EXPECT_EQ(reader->info().width, 20);
  }
}

TEST_F(Monx, EveryPresetAndFieldOptionGivesExactlyTheEnginesBytes) {
  Image in = GreyPattern(37, 23, 300);  // all 256 levels, rows of an odd length
  WriteImage(dir / "in.png", in);
  Image out = Tone({"--preset", "neutral"});  // a successful single run prints nothing
  EXPECT_EQ(out.info.width, 37);
  EXPECT_EQ(out.info.height, 23);
  EXPECT_NEAR(out.info.dpi.xDpi, 300, 0.01) << "resolution kept";
  EXPECT_EQ(out.pixels, GreyAsRgb(in.pixels));  // toned output is RGB; neutral keeps grey levels
  for (const monx::Preset& preset : monx::Presets()) {
    SCOPED_TRACE(preset.name);
    EXPECT_EQ(Tone({"--preset", preset.name}).pixels, EngineTone(in, preset.info));
  }
  SCOPED_TRACE("field options override the preset");
  MonxInfo want = PresetInfo("sepia");
  want.tone = 240, want.colorX = -10, want.colorY = -20, want.brightness = -5;
  want.whiteShift = 1, want.density = -50;
  EXPECT_EQ(Tone({"--preset", "sepia", "--tone", "240", "--colour-x", "-10", "--color-y=-20", "-b", "-5",
                  "--white-shift", "1", "--density=-50"}).pixels,
            EngineTone(in, want));
}

TEST_F(Monx, ColourBecomesGreyByLuminanceInLinearLight) {
  const Bytes colours = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0,
                         0,   90, 90, 90, 200, 200, 200, 255, 128, 0, 30, 60, 200};
  Image in = Uniform(int(colours.size() / 3), 1, {0, 0, 0});
  in.pixels = colours;
  WriteImage(dir / "in.png", in);
  Image out = Tone({});
  auto decode = [](int v) {
    double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  for (std::size_t i = 0; i < colours.size(); i += 3) {
    const std::uint8_t* c = &colours[i];
    double y = 0.2126 * decode(c[0]) + 0.7152 * decode(c[1]) + 0.0722 * decode(c[2]);
    double encoded = y <= 0.0031308 ? 12.92 * y : 1.055 * std::pow(y, 1 / 2.4) - 0.055;
    SCOPED_TRACE(std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]));
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(out.pixels[i + k], std::lround(encoded * 255), 1) << "channel " << k;
  }
  EXPECT_EQ(out.pixels[3 * 5], 90) << "a grey pixel keeps its level exactly";
  EXPECT_EQ(out.pixels[3 * 6], 200) << "a grey pixel keeps its level exactly";
}

TEST_F(Monx, UnusualInputsAreReadWithANote) {
  Image grey = GreyPattern(32, 8);
  Write16BitGreyPng(dir / "in.png", grey);
  std::string note = "monx: note: " + (dir / "in.png") + ": 16-bit PNG converted to 8 bits per channel\n";
  EXPECT_EQ(Tone({}, note).pixels, GreyAsRgb(grey.pixels));

  // Palette entries: black, white, pure red, mid grey; the transparency chunk makes
  // white and red partly see-through, which used to turn rows into alpha bytes.
  const Bytes colours = {0, 0, 0, 255, 255, 255, 255, 0, 0, 128, 128, 128};
  const Bytes indices = {0, 1, 2, 3, 3, 2, 1, 0};
  // Red's luminance is 0.2126 of white in linear light, 127 once encoded as sRGB.
  const std::uint8_t level[] = {0, 255, 127, 128}, alpha[] = {255, 0, 128, 255};
  for (bool transparent : {false, true}) {
    SCOPED_TRACE(transparent ? "palette with transparency" : "opaque palette");
    WritePng(dir / "in.png", 4, 2, 8, 3, indices, colours, transparent ? Bytes{255, 0, 128} : Bytes{});
    // Transparency is kept: RGBA out, the alpha as the chunk gives it (index 3 has none).
    Bytes want;
    for (std::uint8_t i : indices) {
      want.insert(want.end(), 3, level[i]);
      if (transparent) want.push_back(alpha[i]);
    }
    EXPECT_EQ(Tone({}).pixels, want);
  }

  // A JPEG with an unknown JFIF version is read without a word.
  WriteImage(dir / "in.jpg", RgbPattern(16, 16));
  std::string jpeg = Slurp(dir / "in.jpg");
  std::size_t at = jpeg.find(std::string("JFIF\0", 5));
  ASSERT_NE(at, std::string::npos);
  jpeg[at + 5] = 2;  // version 2.01: only the metadata is unusual
  WriteText(dir / "in.jpg", jpeg);
  Run({dir / "in.jpg"}, "out.png");
}

TEST(MonxHelp, ManualAndPresetListNameEveryFieldAndPreset) {
  RunResult help = RunMonx({"--help"}), list = RunMonx({"--list-presets"});
  ASSERT_TRUE(help.code == 0 && list.code == 0) << help.err << list.err;
  for (const monx::ToningField& field : monx::Fields())
    EXPECT_NE(help.out.find(std::string("--") + field.option), std::string::npos) << field.option;
  for (const monx::Preset& preset : monx::Presets()) {
    EXPECT_NE(help.out.find(preset.name), std::string::npos) << preset.name;
    EXPECT_NE(list.out.find(preset.name), std::string::npos) << preset.name;
  }
  EXPECT_NE(help.out.find("EXIT STATUS"), std::string::npos);
  EXPECT_NE(list.out.find("sepia              22       52  160"), std::string::npos)
      << "values of a preset on its line:\n" << list.out;
}

TEST(MonxInstall, InstalledToAnyPrefixTheToolRunsAndPkgConfigNamesThePrefix) {
  ScratchDir prefix;
  std::string install =
      "cmake --install '" + std::string(VELKUI_BINARY_DIR) + "' --prefix '" + prefix.path() + "' >/dev/null";
  ASSERT_EQ(std::system(install.c_str()), 0);
  for (const char* tool : {"monx", "paneshot"}) {
    std::string run = "env -u LD_LIBRARY_PATH '" + prefix / "bin/" + tool + "' --help >/dev/null";
    EXPECT_EQ(std::system(run.c_str()), 0) << tool;
  }
  std::string query = "PKG_CONFIG_PATH='" + prefix / "lib/pkgconfig" + "' pkg-config --variable=prefix velkui >'" +
                      prefix / "answer" + "'";
  ASSERT_EQ(std::system(query.c_str()), 0);
  EXPECT_EQ(Slurp(prefix / "answer"), prefix.path() + "\n");
}

// A TIFF stream, little-endian: orientation 6 (the camera was turned a quarter
// clockwise; the stored rows are the scene's columns) and, in the EXIF sub-IFD,
// the stored pixel width 48 (LONG) and height 32 (SHORT).
const Bytes kExifOrientation6 = {
    'I', 'I', 42, 0, 8, 0, 0, 0,                     // header, IFD at offset 8
    2, 0,                                            // two entries
    0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0,        // 0x0112 SHORT x1 = 6
    0x69, 0x87, 4, 0, 1, 0, 0, 0, 38, 0, 0, 0,       // 0x8769 EXIF sub-IFD at 38
    0, 0, 0, 0,                                      // no next IFD
    2, 0,                                            // two entries
    0x02, 0xA0, 4, 0, 1, 0, 0, 0, 48, 0, 0, 0,       // 0xA002 pixel width LONG = 48
    0x03, 0xA0, 3, 0, 1, 0, 0, 0, 32, 0, 0, 0,       // 0xA003 pixel height SHORT = 32
    0, 0, 0, 0};

/// The value of a one-component little-endian entry `tag` of `format` in a TIFF
/// stream, found by its 8-byte entry head; -1 if absent.
long EntryValue(const Bytes& tiff, std::uint16_t tag, std::uint8_t format) {
  const Bytes head = {std::uint8_t(tag), std::uint8_t(tag >> 8), format, 0, 1, 0, 0, 0};
  auto at = std::search(tiff.begin(), tiff.end(), head.begin(), head.end());
  if (tiff.end() - at < 12) return -1;
  return at[8] | at[9] << 8 | (format == 4 ? at[10] << 16 | at[11] << 24 : 0);
}

/// An RGB profile header of `size` bytes: size, "RGB " colour space, "acsp" signature.
Bytes FakeRgbProfile(std::size_t size) {
  Bytes icc(size, 0x5A);
  for (int i = 0; i < 4; ++i) icc[std::size_t(i)] = std::uint8_t(size >> (24 - 8 * i));
  std::memcpy(&icc[16], "RGB ", 4);
  std::memcpy(&icc[36], "acsp", 4);
  return icc;
}

/// 48 x 32, stored left half dark, right half light.
Image SidewaysPhoto() {
  Image image = Uniform(48, 32, {40, 40, 40});
  for (int y = 0; y < 32; ++y)
    for (int x = 24; x < 48; ++x) std::memset(image.Row(y) + 3 * x, 220, 3);
  return image;
}

int Level(const Image& image, int x, int y) { return image.Row(y)[3 * x]; }

TEST_F(Monx, OrientedJpegComesOutUprightWithExifAndProfileKept) {
  Bytes icc = FakeRgbProfile(600);
  WriteText(dir / "in.jpg", JpegBytes(SidewaysPhoto(), false, kExifOrientation6, icc));
  for (const std::string name : {"out.jpg", "out.png"}) {
    SCOPED_TRACE(name);
    Image out = Run({dir / "in.jpg"}, name);
    // Turned a quarter clockwise: 32 wide, 48 high; the stored left half is now on top.
    ASSERT_EQ(out.info.width, 32);
    ASSERT_EQ(out.info.height, 48);
    EXPECT_LT(Level(out, 16, 4), 80);
    EXPECT_GT(Level(out, 16, 44), 180);
    EXPECT_EQ(monx::OrientationOf(out.metadata.exif), 1);
    EXPECT_EQ(std::pair(EntryValue(out.metadata.exif, 0xA002, 4), EntryValue(out.metadata.exif, 0xA003, 3)),
              std::pair(32L, 48L)) << "the recorded width and height follow the turn";
    // libpng refuses a profile whose body is not a real one; JPEG keeps the bytes.
    if (name == "out.jpg") { EXPECT_EQ(out.metadata.icc, icc) << "JPEG keeps the profile"; }
  }
  Image bare = Run({"--strip", dir / "in.jpg"}, "bare.jpg");
  EXPECT_EQ(bare.info.width, 32);
  EXPECT_TRUE(bare.metadata.Empty());
}

TEST(Metadata, EveryOrientationTurnsTheSamePixelToTheTopLeft) {
  // A 3 x 2 image with distinct pixels; (0,0) of the upright image per orientation.
  Image image = Uniform(3, 2, {0});
  for (int i = 0; i < 6; ++i) image.pixels[std::size_t(i)] = std::uint8_t(i);
  const int topLeft[9] = {0, 0, 2, 5, 3, 0, 3, 5, 2};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    Image up = monx::Upright(image, orientation);
    EXPECT_EQ(up.info.width, orientation >= 5 ? 2 : 3);
    EXPECT_EQ(up.pixels[0], topLeft[orientation]);
  }
}

TEST_F(Monx, TransparencyKeptInPngAndLaidOverWhiteInJpeg) {
  Image in = Uniform(20, 20, {200, 40, 40, 255});
  for (int x = 0; x < 20; ++x) {
    in.Row(0)[4 * x + 3] = 0;  // top row transparent, its colour black
    std::memset(in.Row(0) + 4 * x, 0, 3);
    in.Row(1)[4 * x + 3] = 128;
  }
  WriteImage(dir / "in.png", in);
  Image png = Tone({"--preset", "sepia"});
  ASSERT_EQ(png.info.channels, 4);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(png.Row(y)[4 * x + 3], in.Row(y)[4 * x + 3]);
  EXPECT_NE(png.Row(5)[0], png.Row(5)[2]);  // toned: a cast, not grey

  Image jpeg = Run({"--preset", "sepia", dir / "in.png"}, "out.jpg");
  ASSERT_EQ(jpeg.info.channels, 3);
  EXPECT_GT(jpeg.Row(0)[30], 245);  // transparent black shows as the white beneath
  EXPECT_LT(jpeg.Row(10)[30], 200);
}

TEST_F(Monx, FolderWithABadFileTonesTheGoodOnesAndFails) {
  std::filesystem::create_directory(dir / "in");
  Image grey = GreyPattern(30, 20, 150);
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
  Image a = ReadImage(dir / "out/a.png");
  EXPECT_EQ(a.pixels, EngineTone(grey, PresetInfo("sepia")));
  EXPECT_EQ(a.info.dpi.xDpi, ReadImage(dir / "in/a.png").info.dpi.xDpi) << "resolution kept";
}

TEST_F(Monx, FormatOptionChangesExtensionsAndTheProgressBarFitsTheLine) {
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

TEST_F(Monx, ClashingOutputsAreSkippedAndNothingIsOverwritten) {
  for (const char* sub : {"x", "y"}) std::filesystem::create_directory(dir / sub);
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

TEST_F(Monx, SheetSizeFollowsTilesColumnsAndThePhotosProportions) {
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
  for (SheetCase c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    WriteImage(dir / "in.png", GreyPattern(c.width, c.height));
    c.args.push_back(dir / "in.png");
    Image sheet = Run(c.args, "sheet.png");
    EXPECT_EQ(sheet.info.width, c.sheetWidth);
    EXPECT_EQ(sheet.info.height, c.sheetHeight);
  }
}

TEST_F(Monx, EachTileShowsThePhotoTonedWithItsPresetAndA16BitPhotoIsNoted) {
  Write16BitGreyPng(dir / "in.png", Uniform(64, 64, {100}));
  Image sheet = Run({"sheet", "--tile", "64", "--presets", "neutral,sepia,cyanotype", dir / "in.png"}, "sheet.png",
                    "monx: note: " + (dir / "in.png") + ": 16-bit PNG converted to 8 bits per channel\n");
  const char* names[] = {"neutral", "sepia", "cyanotype"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(names[i]);
    const std::uint8_t* got = sheet.Row(20 + 34 + 32) + 3 * (20 + i * (220 + 16) + 110);  // centre of cell i
    EXPECT_EQ(Bytes(got, got + 3), EngineTone(Uniform(1, 1, {100}), PresetInfo(names[i])));
  }
}

}  // namespace
