// Command-line mistakes answered in the tool's own words, standard input and
// output, and the package installed to a prefix of its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "ImageIo.h"
#include "MonxRunner.h"

using namespace monx_test;

namespace {

struct Refusal {
  std::vector<std::string> args;  ///< "IN" and "DIR" stand for a photo and a folder of photos
  int code;
  std::string says;
};

TEST(CommandLine, MistakesAreRefusedInTheToolsOwnWords) {
  ScratchDir dir;
  monx::WriteImage(dir / "in.png", RgbPattern(8, 8));
  std::filesystem::create_directory(dir / "photos");
  for (const char* name : {"a.png", "b.png", "c.png"}) monx::WriteImage(dir / "photos/" + name, GreyPattern(4, 4));
  const std::vector<Refusal> refusals = {
      {{"-dash.jpg", "out.jpg"}, 64, "write ./-dash.jpg, or put -- before"},
      {{"--contrast", "abc", "IN", "o.png"}, 64, "--contrast abc: not a whole number; accepted values: -25 to 25"},
      {{"-d", "5", "IN", "o.png"}, 64, "--density 5 is out of range; accepted values: -50 to 0"},
      {{"--tone", "170", "IN", "o.png"}, 64, "accepted values: 140, 160, 180, 200, 220 or 240"},
      {{"-q", "0", "IN", "o.jpg"}, 64, "--quality 0 is out of range; accepted values: 1 to 100"},
      {{"--jobs", "2x", "IN", "DIR/"}, 64, "--jobs 2x: not a whole number; accepted values: 1 to 64"},
      {{"IN", "o.png", "-q"}, 64, "-q: needs a value"},
      {{"--sepia", "IN", "o.png"}, 64, "--sepia: no such option"},
      {{"--keep-colour", "IN", "o.png"}, 64, "is now --per-channel"},
      {{"--format", "tiff", "IN", "DIR/"}, 64, "--format tiff: accepted values: png or jpeg"},
      {{"sheet", "--tile", "big", "IN", "s.png"}, 64, "--tile big: not a whole number; accepted values: 32 to 2048"},
      {{"sheet", "--steps", "40", "IN", "s.png"}, 64, "--steps 40 is out of range; accepted values: 2 to 16"},
      {{"DIR", "DIR"}, 64, "is the input folder"},
      {{"-", "IN", "DIR/"}, 64, "holds one photo"},
      {{"IN"}, 64, "give an INPUT and an OUTPUT"},
      {{"missing.png", "o.png"}, 66, "missing.png: cannot read"},
      {{"--", "-missing.png", "o.png"}, 66, "-missing.png: cannot read"},  // after --, a file name
  };
  for (const Refusal& refusal : refusals) {
    std::vector<std::string> args;
    std::string shown;
    for (const std::string& arg : refusal.args) {
      std::string real = arg == "IN" ? dir / "in.png" : arg == "DIR" ? dir / "photos" : arg;
      if (arg == "DIR/") real = dir / "out/";
      if (arg == "o.png" || arg == "o.jpg" || arg == "s.png" || arg == "out.jpg") real = dir / arg;
      args.push_back(real);
      shown += arg + " ";
    }
    SCOPED_TRACE(shown);
    RunResult run = RunMonx(args);
    EXPECT_EQ(run.code, refusal.code) << run.err;
    EXPECT_NE(run.err.find(refusal.says), std::string::npos) << run.err;
    // One line, no parser jargon, nothing written.
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.find("Could not convert"), std::string::npos);
  }
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"in.png", "photos"}));
  EXPECT_EQ(dir.List("photos"), (std::vector<std::string>{"a.png", "b.png", "c.png"}));
}

TEST(CommandLine, DashReadsStandardInputAndWritesStandardOutput) {
  ScratchDir dir;
  monx::WriteImage(dir / "in.jpg", RgbPattern(40, 30));
  // Standard output takes the input's format unless --format says otherwise.
  const std::vector<std::pair<std::string, monx::FileType>> cases = {
      {"", monx::FileType::kJpeg}, {"--format png", monx::FileType::kPng}};
  for (const auto& [format, type] : cases) {
    SCOPED_TRACE(format);
    std::string command = std::string(MONX_PATH) + " --preset cool " + format + " - - <'" +
                          dir / "in.jpg" + "' >'" + dir / "out" + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto reader = monx::OpenImage(dir / "out");
    EXPECT_EQ(reader->type(), type);
    EXPECT_EQ(reader->info().width, 40);
  }
}

TEST(CommandLine, InstalledToAnyPrefixTheToolRunsAndPkgConfigNamesThePrefix) {
  ScratchDir prefix;
  std::string install = "cmake --install '" + std::string(VELKUI_BINARY_DIR) + "' --prefix '" +
                        prefix.path() + "' >/dev/null";
  ASSERT_EQ(std::system(install.c_str()), 0);
  for (const char* tool : {"monx", "paneshot"}) {
    SCOPED_TRACE(tool);
    std::string run = "env -u LD_LIBRARY_PATH '" + prefix / "bin/" + tool + "' --help >/dev/null";
    EXPECT_EQ(std::system(run.c_str()), 0);
  }
  std::string query = "PKG_CONFIG_PATH='" + prefix / "lib/pkgconfig" +
                      "' pkg-config --variable=prefix velkui >'" + prefix / "answer" + "'";
  ASSERT_EQ(std::system(query.c_str()), 0);
  EXPECT_EQ(Slurp(prefix / "answer"), prefix.path() + "\n");
}

}  // namespace
