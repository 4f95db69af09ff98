// monx through its command line: formats, resolution, presets and options against the engine's bytes.
#include <gtest/gtest.h>

#include <cmath>

#include "MonxRunner.h"
#include "Settings.h"

using monx::Image;
using monx::ReadImage;
using monx::WriteImage;
using namespace monx_test;

namespace {

void ExpectSameBytes(const std::vector<std::uint8_t>& want, const Image& got) {
  ASSERT_EQ(want.size(), got.pixels.size()) << "output has the wrong number of bytes";
  std::size_t wrong = 0, first = 0;
  for (std::size_t i = 0; i < want.size(); ++i)
    if (want[i] != got.pixels[i] && wrong++ == 0) first = i;
  EXPECT_EQ(wrong, 0u) << "first difference at byte " << first << ": expected "
                       << int(want[first]) << ", got " << int(got.pixels[first]);
}

MonxInfo PresetInfo(const char* name) { return monx::FindPreset(name)->info; }

TEST(MonxRoundTrip, NeutralPngKeepsGreyLevelsSizeAndResolution) {
  ScratchDir dir;
  Image in = GreyPattern(37, 23, 300);
  WriteImage(dir / "in.png", in);
  RunResult run = RunMonx({"--preset", "neutral", dir / "in.png", dir / "out.png"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "") << "a successful single run prints nothing";
  Image out = ReadImage(dir / "out.png");
  EXPECT_EQ(out.info.width, 37);
  EXPECT_EQ(out.info.height, 23);
  ASSERT_EQ(out.info.channels, 3) << "toned output is RGB";
  EXPECT_NEAR(out.info.dpi.xDpi, 300, 0.01) << "resolution kept";
  std::vector<std::uint8_t> want;
  for (std::uint8_t v : in.pixels) want.insert(want.end(), 3, v);
  ExpectSameBytes(want, out);
}

TEST(MonxRoundTrip, NeutralKeepColourLeavesRgbBytesUnchanged) {
  ScratchDir dir;
  Image in = RgbPattern(40, 30);
  WriteImage(dir / "in.png", in);
  RunResult run = RunMonx({"--keep-colour", dir / "in.png", dir / "out.png"});
  ASSERT_EQ(run.code, 0) << run.err;
  ExpectSameBytes(in.pixels, ReadImage(dir / "out.png"));
}

TEST(MonxRoundTrip, JpegKeepsSizeResolutionAndLooks) {
  ScratchDir dir;
  Image in = Uniform(64, 48, {0, 0, 0});
  in.info.dpi = {200, 200};
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      std::uint8_t* p = in.Row(y) + 3 * x;
      p[0] = std::uint8_t(x * 4), p[1] = std::uint8_t(y * 5), p[2] = 128;
    }
  monx::JpegOptions best;
  best.quality = 98;
  WriteImage(dir / "in.jpg", in, best);
  RunResult run = RunMonx({"--keep-colour", "-q", "98", dir / "in.jpg", dir / "out.jpg"});
  ASSERT_EQ(run.code, 0) << run.err;
  Image out = ReadImage(dir / "out.jpg");
  ASSERT_EQ(out.pixels.size(), in.pixels.size());
  EXPECT_NEAR(out.info.dpi.xDpi, 200, 0.01);
  double error = 0;
  for (std::size_t i = 0; i < in.pixels.size(); ++i)
    error += std::abs(int(in.pixels[i]) - int(out.pixels[i]));
  EXPECT_LT(error / double(in.pixels.size()), 2.5) << "mean difference after two JPEG passes";
}

TEST(MonxRoundTrip, OutputFormatFollowsTheExtension) {
  ScratchDir dir;
  WriteImage(dir / "in.png", GreyPattern(20, 20, 72));
  WriteImage(dir / "in.jpg", RgbPattern(20, 20, 72));
  ASSERT_EQ(RunMonx({dir / "in.png", dir / "out.JPEG"}).code, 0);
  ASSERT_EQ(RunMonx({dir / "in.jpg", dir / "out.png"}).code, 0);
  EXPECT_EQ(Slurp(dir / "out.JPEG").substr(0, 3), "\xFF\xD8\xFF") << ".JPEG writes JPEG";
  EXPECT_EQ(Slurp(dir / "out.png").substr(0, 4), "\x89PNG") << ".png writes PNG";
  EXPECT_NEAR(ReadImage(dir / "out.png").info.dpi.xDpi, 72, 0.01) << "JPEG dpi carried into PNG";
}

TEST(MonxRoundTrip, EveryPresetGivesExactlyTheEnginesBytes) {
  ScratchDir dir;
  Image in = GreyPattern(64, 16);  // all 256 levels
  WriteImage(dir / "in.png", in);
  for (const monx::Preset& preset : monx::Presets()) {
    SCOPED_TRACE(preset.name);
    std::string out = dir / (std::string(preset.name) + ".png");
    RunResult run = RunMonx({"--preset", preset.name, dir / "in.png", out});
    ASSERT_EQ(run.code, 0) << run.err;
    ExpectSameBytes(EngineTone(in, preset.info), ReadImage(out));
  }
}

TEST(MonxRoundTrip, FieldOptionsOverrideThePreset) {
  ScratchDir dir;
  Image in = GreyPattern(64, 16);
  WriteImage(dir / "in.png", in);
  RunResult run = RunMonx({"--preset", "sepia", "--tone", "240", "--colour-x", "-10",
                           "--color-y=-20", "-b", "-5", "--white-shift", "1", "--density=-50",
                           dir / "in.png", dir / "out.png"});
  ASSERT_EQ(run.code, 0) << run.err;
  MonxInfo want = PresetInfo("sepia");
  want.tone = 240, want.colorX = -10, want.colorY = -20, want.brightness = -5;
  want.whiteShift = 1, want.density = -50;
  ExpectSameBytes(EngineTone(in, want), ReadImage(dir / "out.png"));
}

TEST(MonxRoundTrip, KeepColourTonesEachChannelThroughTheEngine) {
  ScratchDir dir;
  Image in = RgbPattern(50, 20);
  WriteImage(dir / "in.png", in);
  RunResult run = RunMonx({"--preset", "selenium", "--keep-colour", dir / "in.png", dir / "out.png"});
  ASSERT_EQ(run.code, 0) << run.err;
  ExpectSameBytes(EngineTone(in, PresetInfo("selenium")), ReadImage(dir / "out.png"));
}

TEST(MonxRoundTrip, ColourBecomesGreyByLuminanceInLinearLight) {
  struct Row {
    std::uint8_t r, g, b;
  };
  const std::vector<Row> colours = {{255, 0, 0},   {0, 255, 0},     {0, 0, 255},  {255, 255, 255},
                                    {0, 0, 0},     {90, 90, 90},    {200, 200, 200},
                                    {255, 128, 0}, {30, 60, 200}};
  Image in = Uniform(int(colours.size()), 1, {0, 0, 0});
  for (std::size_t i = 0; i < colours.size(); ++i) {
    in.pixels[3 * i] = colours[i].r, in.pixels[3 * i + 1] = colours[i].g;
    in.pixels[3 * i + 2] = colours[i].b;
  }
  ScratchDir dir;
  WriteImage(dir / "in.png", in);
  ASSERT_EQ(RunMonx({dir / "in.png", dir / "out.png"}).code, 0);
  Image out = ReadImage(dir / "out.png");
  auto decode = [](int v) {
    double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const Row& c = colours[i];
    double y = 0.2126 * decode(c.r) + 0.7152 * decode(c.g) + 0.0722 * decode(c.b);
    double encoded = y <= 0.0031308 ? 12.92 * y : 1.055 * std::pow(y, 1 / 2.4) - 0.055;
    int want = int(std::lround(encoded * 255));
    SCOPED_TRACE(std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b));
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(out.pixels[3 * i + k], want, 1) << "channel " << k;
  }
  EXPECT_EQ(out.pixels[3 * 5], 90) << "a grey pixel keeps its level exactly";
  EXPECT_EQ(out.pixels[3 * 6], 200) << "a grey pixel keeps its level exactly";
}

TEST(MonxRoundTrip, SixteenBitPngIsScaledToEightBitsWithANote) {
  ScratchDir dir;
  Image grey = GreyPattern(32, 8);
  Write16BitGreyPng(dir / "in.png", grey);
  RunResult run = RunMonx({dir / "in.png", dir / "out.png"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "monx: note: " + (dir / "in.png") + ": 16-bit PNG converted to 8 bits per channel\n");
  std::vector<std::uint8_t> want;
  for (std::uint8_t v : grey.pixels) want.insert(want.end(), 3, v);
  ExpectSameBytes(want, ReadImage(dir / "out.png"));
}

TEST(MonxRoundTrip, TransparentPalettePngTonesItsColoursWithANote) {
  // Palette entries: black, white, pure red, mid grey; the transparency chunk makes
  // white and red partly see-through, which used to turn rows into alpha bytes.
  const std::vector<std::uint8_t> colours = {0, 0, 0, 255, 255, 255, 255, 0, 0, 128, 128, 128};
  const std::vector<std::uint8_t> indices = {0, 1, 2, 3, 3, 2, 1, 0};
  for (bool transparent : {false, true}) {
    SCOPED_TRACE(transparent ? "with transparency" : "opaque");
    ScratchDir dir;
    WritePalettePng(dir / "in.png", 4, 2, colours, indices,
                    transparent ? std::vector<std::uint8_t>{255, 0, 128} : std::vector<std::uint8_t>{});
    RunResult run = RunMonx({dir / "in.png", dir / "out.png"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, transparent ? "monx: note: " + (dir / "in.png") + ": transparency dropped\n" : "");
    // Red's luminance is 0.2126 of white in linear light, 127 once encoded as sRGB.
    const std::uint8_t grey[] = {0, 255, 127, 128};
    std::vector<std::uint8_t> want;
    for (std::uint8_t index : indices) want.insert(want.end(), 3, grey[index]);
    ExpectSameBytes(want, ReadImage(dir / "out.png"));
  }
}

TEST(MonxRoundTrip, JpegWithUnknownJfifVersionIsRead) {
  ScratchDir dir;
  WriteImage(dir / "in.jpg", RgbPattern(16, 16));
  std::string jpeg = Slurp(dir / "in.jpg");
  std::size_t at = jpeg.find(std::string("JFIF\0", 5));
  ASSERT_NE(at, std::string::npos);
  jpeg[at + 5] = 2;  // version 2.01: only the metadata is unusual
  WriteText(dir / "in.jpg", jpeg);
  RunResult run = RunMonx({dir / "in.jpg", dir / "out.png"});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
}

TEST(MonxRoundTrip, OutputNameNearTheLengthLimitIsWritten) {
  ScratchDir dir;
  WriteImage(dir / "in.png", GreyPattern(4, 4));
  std::string name = std::string(251, 'n') + ".png";  // 255 bytes, the most a name may have
  RunResult run = RunMonx({dir / "in.png", dir / name});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"in.png", name}));
}

TEST(MonxRoundTrip, SamplePhotographTonesAndKeepsItsSize) {
  ScratchDir dir;
  std::string sample = std::string(VELKUI_SOURCE_DIR) + "/examples/photos/coffee.png";
  RunResult run = RunMonx({"--preset", "cyanotype", sample, dir / "coffee.jpg"});
  ASSERT_EQ(run.code, 0) << run.err;
  Image out = ReadImage(dir / "coffee.jpg");
  EXPECT_EQ(out.info.width, 600);
  EXPECT_EQ(out.info.height, 400);
}

TEST(MonxHelp, ManualAndPresetListNameEveryFieldAndPreset) {
  RunResult help = RunMonx({"--help"});
  RunResult list = RunMonx({"--list-presets"});
  ASSERT_EQ(help.code, 0);
  ASSERT_EQ(list.code, 0);
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

}  // namespace
