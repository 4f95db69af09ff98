// monx: command-line toning of photographs; parses arguments and runs one of the modes.
#include <cstdio>
#include <filesystem>
#include <new>

#include <CLI/CLI.hpp>

#include "AtomicFile.h"
#include "Batch.h"
#include "Help.h"
#include "Settings.h"
#include "Sheet.h"
#include "ToneFile.h"
#include "ToolError.h"

namespace fs = std::filesystem;

namespace monx {
namespace {

/// The toning options of one (sub)command: a preset and single-field overrides.
struct ToningArgs {
  std::string preset = "neutral";
  int values[9] = {};
  CLI::Option* options[9] = {};
  CLI::Option* presetOption = nullptr;

  void AddTo(CLI::App& app) {
    presetOption = app.add_option("-p,--preset", preset);
    for (std::size_t i = 0; i < Fields().size(); ++i) {
      const ToningField& field = Fields()[i];
      std::string names = std::string("-") + field.shortName + ",--" + field.option;
      if (field.alias) names += std::string(",--") + field.alias;
      options[i] = app.add_option(names, values[i]);
    }
  }

  /// The preset with the given fields changed; throws ToolError for an unknown preset.
  MonxInfo Info() const {
    const Preset* found = FindPreset(preset);
    if (!found)
      throw ToolError(kExitUsage, "--preset " + preset + ": no such preset (see monx --list-presets)");
    MonxInfo info = found->info;
    for (const auto& [member, value] : Overrides()) info.*member = value;
    return info;
  }

  /// The fields given on the command line.
  std::vector<FieldValue> Overrides() const {
    std::vector<FieldValue> given;
    for (std::size_t i = 0; i < Fields().size(); ++i)
      if (options[i]->count() > 0) given.push_back({Fields()[i].member, values[i]});
    return given;
  }
};

struct Arguments {
  bool help = false;
  bool version = false;
  bool listPresets = false;
  bool keepColour = false;
  bool fastJpeg = false;
  int quality = 90;
  int jobs = 2;
  std::string format;
  std::string progress = "auto";
  ToningArgs toning;
  std::vector<std::string> paths;

  bool sheetHelp = false;
  bool sheetKeepColour = false;
  ToningArgs sheetToning;
  std::string vary;
  int steps = 5;
  std::string presets;
  int tile = 240;
  int columns = 0;
  std::vector<std::string> sheetPaths;
};

void CheckRange(const char* option, int value, int low, int high) {
  if (value < low || value > high)
    throw ToolError(kExitUsage, std::string(option) + " " + std::to_string(value) +
                                    " is out of range; accepted values: " + std::to_string(low) +
                                    " to " + std::to_string(high));
}

JpegOptions JpegOf(const Arguments& a) {
  CheckRange("--quality", a.quality, 1, 100);
  JpegOptions jpeg;
  jpeg.quality = a.quality;
  jpeg.fastDct = a.fastJpeg;
  jpeg.fancyUpsampling = !a.fastJpeg;
  return jpeg;
}

/// Throws ToolError (usage) when a path argument is empty, as "" on a command line gives.
void CheckNotEmpty(const std::vector<std::string>& paths) {
  for (const std::string& path : paths)
    if (path.empty()) throw ToolError(kExitUsage, "an empty file name was given (see monx --help)");
}

void PrintNote(const std::string& note) { std::fprintf(stderr, "monx: note: %s\n", note.c_str()); }

int RunSheet(const Arguments& a) {
  if (a.sheetPaths.size() != 2)
    throw ToolError(kExitUsage, "sheet needs an INPUT and an OUTPUT.png (see monx --help)");
  CheckNotEmpty(a.sheetPaths);
  CheckRange("--steps", a.steps, 2, 16);
  CheckRange("--columns", a.columns, 0, 64);
  SheetOptions options;
  options.base = a.sheetToning.Info();
  CheckRecord(options.base);
  // Without --vary the tiles are the presets themselves; a base preset would be ignored.
  if (a.vary.empty() && a.sheetToning.presetOption->count() > 0)
    throw ToolError(kExitUsage, "sheet: --preset goes with --vary; to choose the presets shown, "
                                "use --presets NAME,NAME...");
  options.vary = a.vary;
  options.steps = a.steps;
  options.overrides = a.sheetToning.Overrides();
  for (std::size_t start = 0; !a.presets.empty() && start <= a.presets.size();) {
    std::size_t comma = std::min(a.presets.find(',', start), a.presets.size());
    options.presets.push_back(a.presets.substr(start, comma - start));
    start = comma + 1;
  }
  options.tile = a.tile;
  options.columns = a.columns;
  options.keepColour = a.sheetKeepColour;
  options.jpeg = JpegOf(a);
  MakeSheet(a.sheetPaths[0], a.sheetPaths[1], options, PrintNote);
  return kExitOk;
}

std::optional<FileType> FormatOf(const std::string& name) {
  if (name.empty()) return std::nullopt;
  if (name == "png") return FileType::kPng;
  if (name == "jpeg" || name == "jpg") return FileType::kJpeg;
  throw ToolError(kExitUsage, "--format " + name + ": accepted values: png or jpeg");
}

ProgressMode ProgressOf(const std::string& name) {
  if (name == "auto") return ProgressMode::kAuto;
  if (name == "always") return ProgressMode::kAlways;
  if (name == "never") return ProgressMode::kNever;
  throw ToolError(kExitUsage, "--progress " + name + ": accepted values: auto, always or never");
}

bool IsBatch(const std::vector<std::string>& inputs, const std::string& output) {
  std::error_code ignored;
  return inputs.size() > 1 || fs::is_directory(inputs[0], ignored) ||
         fs::is_directory(output, ignored) || output.back() == '/';
}

int RunTone(const Arguments& a) {
  if (a.paths.size() < 2)
    throw ToolError(kExitUsage, "give an INPUT and an OUTPUT (see monx --help)");
  CheckNotEmpty(a.paths);
  MonxInfo info = a.toning.Info();
  CheckRecord(info);
  BatchOptions options;
  options.tone.keepColour = a.keepColour;
  options.tone.jpeg = JpegOf(a);
  options.format = FormatOf(a.format);
  options.progress = ProgressOf(a.progress);
  CheckRange("--jobs", a.jobs, 1, 64);
  options.jobs = a.jobs;
  Toner toner(info);
  std::vector<std::string> inputs(a.paths.begin(), a.paths.end() - 1);
  const std::string& output = a.paths.back();
  if (IsBatch(inputs, output)) {
    std::error_code ignored;
    if (output.back() != '/' && !fs::exists(output, ignored) && FileTypeOfName(output))
      throw ToolError(kExitUsage, output + ": batch mode tones into a folder, and this names an "
                                           "image; end it with / for a folder of that name");
    options.tone.overlap = false;  // the workers already keep the cores busy
    std::vector<std::string> files = ExpandInputs(inputs);
    if (files.empty())
      throw ToolError(kExitNoInput, inputs[0] + ": no .png, .jpg or .jpeg files to tone");
    return RunBatch(files, output, toner, options);
  }
  // One photo: the output's name sets the format; a --format that disagrees is a mistake.
  if (options.format && FileTypeOfName(output) && *options.format != *FileTypeOfName(output))
    throw ToolError(kExitUsage, "--format " + a.format + " disagrees with the output name " +
                                    output + " (one photo is written as its name says)");
  ToneFile(inputs[0], output, toner, options.tone, PrintNote);
  return kExitOk;
}

void Describe(CLI::App& app, Arguments& a) {
  app.set_help_flag();
  app.add_flag("-h,--help", a.help);
  app.add_flag("--version", a.version);
  app.add_flag("--list-presets", a.listPresets);
  app.add_flag("--keep-colour,--keep-color", a.keepColour);
  app.add_flag("--fast-jpeg", a.fastJpeg);
  app.add_option("-q,--quality", a.quality);
  app.add_option("-j,--jobs", a.jobs);
  app.add_option("--format", a.format);
  app.add_option("--progress", a.progress);
  a.toning.AddTo(app);
  app.add_option("paths", a.paths);

  CLI::App* sheet = app.add_subcommand("sheet");
  sheet->set_help_flag();
  sheet->add_flag("-h,--help", a.sheetHelp);
  sheet->add_flag("--keep-colour,--keep-color", a.sheetKeepColour);
  sheet->add_option("--vary", a.vary);
  sheet->add_option("--steps", a.steps);
  sheet->add_option("--presets", a.presets);
  sheet->add_option("--tile", a.tile);
  sheet->add_option("--columns", a.columns);
  a.sheetToning.AddTo(*sheet);
  sheet->add_option("paths", a.sheetPaths);
}

int Run(int argc, char** argv) {
  CLI::App app;
  Arguments a;
  Describe(app, a);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    throw ToolError(kExitUsage, std::string(e.what()) + " (see monx --help)");
  }
  if (a.help || a.sheetHelp) {
    std::fputs(ManualText().c_str(), stdout);
    return kExitOk;
  }
  if (a.version) {
    std::puts("monx 0.1.0");
    return kExitOk;
  }
  if (a.listPresets) {
    std::fputs(PresetTable().c_str(), stdout);
    return kExitOk;
  }
  if (app.got_subcommand("sheet")) return RunSheet(a);
  return RunTone(a);
}

}  // namespace
}  // namespace monx

int main(int argc, char** argv) {
  monx::AtomicFile::InstallSignalCleanup();
  try {
    return monx::Run(argc, argv);
  } catch (const monx::ToolError& e) {
    std::fprintf(stderr, "monx: %s\n", e.what());
    return e.code();
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "monx: out of memory\n");
    return monx::kExitSoftware;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "monx: %s\n", e.what());
    return monx::kExitSoftware;
  }
}
