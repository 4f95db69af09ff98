// monx through its command line: formats, resolution, presets and options against the engine's
// bytes, standard input and output, the manual, and the package installed to a prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "MonxRunner.h"
#include "Settings.h"

using monx::Image;
using monx::ReadImage;
using monx::WriteImage;
using namespace monx_test;

namespace {

void ExpectSameBytes(const Bytes& want, const Image& got) {
  ASSERT_EQ(want.size(), got.pixels.size()) << "output has the wrong number of bytes";
  auto [first, _] = std::mismatch(want.begin(), want.end(), got.pixels.begin());
  EXPECT_TRUE(first == want.end()) << "first difference at byte " << first - want.begin() << ": expected "
                                   << int(*first) << ", got " << int(got.pixels[first - want.begin()]);
}

MonxInfo PresetInfo(const char* name) { return monx::FindPreset(name)->info; }

/// Each grey level repeated as an RGB pixel.
Bytes GreyAsRgb(const Bytes& levels) {
  Bytes rgb;
  for (std::uint8_t v : levels) rgb.insert(rgb.end(), 3, v);
  return rgb;
}

/// Tones the scratch folder's in.png into out.png with `options`, expecting success
/// and exactly `err` on the error stream; returns what was written.
Image Tone(const ScratchDir& dir, std::vector<std::string> options, const std::string& err = "") {
  options.insert(options.end(), {dir / "in.png", dir / "out.png"});
  RunResult run = RunMonx(options);
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, err);
  return ReadImage(dir / "out.png");
}

TEST(MonxRoundTrip, PerChannelTonesEachChannelThroughTheEngine) {
  ScratchDir dir;
  Image in = RgbPattern(50, 20);
  WriteImage(dir / "in.png", in);
  ExpectSameBytes(in.pixels, Tone(dir, {"--per-channel"}));  // neutral: unchanged
  ExpectSameBytes(EngineTone(in, PresetInfo("selenium")), Tone(dir, {"--preset", "selenium", "--per-channel"}));
}

TEST(MonxRoundTrip, OutputFormatFollowsTheExtensionOrFormatOnStandardOutput) {
  ScratchDir dir;
  std::string sample = std::string(VELKUI_SOURCE_DIR) + "/examples/photos/coffee.png";
  WriteImage(dir / "in.jpg", RgbPattern(20, 20, 72));
  ASSERT_EQ(RunMonx({"--preset", "cyanotype", sample, dir / "out.JPEG"}).code, 0);
  ASSERT_EQ(RunMonx({dir / "in.jpg", dir / "out.png"}).code, 0);
  EXPECT_EQ(Slurp(dir / "out.JPEG").substr(0, 3), "\xFF\xD8\xFF") << ".JPEG writes JPEG";
  EXPECT_EQ(Slurp(dir / "out.png").substr(0, 4), "\x89PNG") << ".png writes PNG";
  EXPECT_NEAR(ReadImage(dir / "out.png").info.dpi.xDpi, 72, 0.01) << "JPEG dpi carried into PNG";
  Image photo = ReadImage(dir / "out.JPEG");
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

TEST(MonxRoundTrip, EveryPresetAndFieldOptionGivesExactlyTheEnginesBytes) {
  ScratchDir dir;
  Image in = GreyPattern(37, 23, 300);  // all 256 levels, rows of an odd length
  WriteImage(dir / "in.png", in);
  Image out = Tone(dir, {"--preset", "neutral"});  // a successful single run prints nothing
  EXPECT_EQ(out.info.width, 37);
  EXPECT_EQ(out.info.height, 23);
  EXPECT_NEAR(out.info.dpi.xDpi, 300, 0.01) << "resolution kept";
  ExpectSameBytes(GreyAsRgb(in.pixels), out);  // toned output is RGB; neutral keeps grey levels
  for (const monx::Preset& preset : monx::Presets()) {
    SCOPED_TRACE(preset.name);
    ExpectSameBytes(EngineTone(in, preset.info), Tone(dir, {"--preset", preset.name}));
  }
  SCOPED_TRACE("field options override the preset");
  MonxInfo want = PresetInfo("sepia");
  want.tone = 240, want.colorX = -10, want.colorY = -20, want.brightness = -5;
  want.whiteShift = 1, want.density = -50;
  ExpectSameBytes(EngineTone(in, want),
                  Tone(dir, {"--preset", "sepia", "--tone", "240", "--colour-x", "-10", "--color-y=-20",
                             "-b", "-5", "--white-shift", "1", "--density=-50"}));
}

TEST(MonxRoundTrip, ColourBecomesGreyByLuminanceInLinearLight) {
  const Bytes colours = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0,
                         0,   90, 90, 90, 200, 200, 200, 255, 128, 0, 30, 60, 200};
  Image in = Uniform(int(colours.size() / 3), 1, {0, 0, 0});
  in.pixels = colours;
  ScratchDir dir;
  WriteImage(dir / "in.png", in);
  Image out = Tone(dir, {});
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

TEST(MonxRoundTrip, UnusualInputsAreReadWithANote) {
  ScratchDir dir;
  Image grey = GreyPattern(32, 8);
  Write16BitGreyPng(dir / "in.png", grey);
  std::string note = "monx: note: " + (dir / "in.png") + ": 16-bit PNG converted to 8 bits per channel\n";
  ExpectSameBytes(GreyAsRgb(grey.pixels), Tone(dir, {}, note));

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
    ExpectSameBytes(want, Tone(dir, {}));
  }

  // A JPEG with an unknown JFIF version is read without a word.
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

TEST(MonxHelp, ManualAndPresetListNameEveryFieldAndPreset) {
  RunResult help = RunMonx({"--help"}), list = RunMonx({"--list-presets"});
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

}  // namespace
