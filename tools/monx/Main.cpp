// monx: command-line toning of photographs; parses arguments and runs one of the modes.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
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

/// `text` as a whole number; a ToolError naming the option and its accepted values otherwise.
int Number(const std::string& option, const std::string& text, const std::string& accepted) {
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || std::isspace(static_cast<unsigned char>(text[0])) ||
      errno == ERANGE || value < INT_MIN || value > INT_MAX)
    throw ToolError(kExitUsage, option + " " + (text.empty() ? "\"\"" : text) +
                                    ": not a whole number; accepted values: " + accepted);
  return int(value);
}

/// `text` as a number from low to high.
int NumberIn(const char* option, const std::string& text, int low, int high) {
  std::string accepted = std::to_string(low) + " to " + std::to_string(high);
  int value = Number(option, text, accepted);
  if (value < low || value > high)
    throw ToolError(kExitUsage, std::string(option) + " " + text +
                                    " is out of range; accepted values: " + accepted);
  return value;
}

/// The toning options of one (sub)command: a preset and single-field overrides.
struct ToningArgs {
  std::string preset = "neutral";
  std::string values[9];
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
    for (std::size_t i = 0; i < Fields().size(); ++i) {
      const ToningField& field = Fields()[i];
      if (options[i]->count() > 0)
        given.push_back({field.member, Number(std::string("--") + field.option, values[i], field.accepted)});
    }
    return given;
  }
};

struct Arguments {
  bool help = false;
  bool version = false;
  bool listPresets = false;
  bool keepColour = false;
  bool perChannel = false;
  bool strip = false;
  bool fastJpeg = false;
  std::string quality = "90";
  std::string jobs = "2";
  std::string format;
  std::string progress = "auto";
  ToningArgs toning;
  std::vector<std::string> paths;

  bool sheetHelp = false;
  bool sheetKeepColour = false;
  bool sheetPerChannel = false;
  ToningArgs sheetToning;
  std::string vary;
  std::string steps = "5";
  std::string presets;
  std::string tile = "240";
  std::string columns = "0";
  std::vector<std::string> sheetPaths;
};

JpegOptions JpegOf(const Arguments& a) {
  JpegOptions jpeg;
  jpeg.quality = NumberIn("--quality", a.quality, 1, 100);
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

/// The old name of --per-channel promised what the mode does not do.
void RefuseKeepColour(bool given) {
  if (given)
    throw ToolError(kExitUsage, "--keep-colour is now --per-channel, named for what it does: each "
                                "colour channel through its own curve, a colour effect rather than "
                                "a toned print (see monx --help)");
}

int RunSheet(const Arguments& a) {
  RefuseKeepColour(a.sheetKeepColour);
  if (a.sheetPaths.size() != 2)
    throw ToolError(kExitUsage, "sheet needs an INPUT and an OUTPUT.png (see monx --help)");
  CheckNotEmpty(a.sheetPaths);
  SheetOptions options;
  options.steps = NumberIn("--steps", a.steps, 2, 16);
  options.columns = NumberIn("--columns", a.columns, 0, 64);
  options.tile = NumberIn("--tile", a.tile, 32, 2048);
  options.base = a.sheetToning.Info();
  CheckRecord(options.base);
  // Without --vary the tiles are the presets themselves; a base preset would be ignored.
  if (a.vary.empty() && a.sheetToning.presetOption->count() > 0)
    throw ToolError(kExitUsage, "sheet: --preset goes with --vary; to choose the presets shown, "
                                "use --presets NAME,NAME...");
  options.vary = a.vary;
  options.overrides = a.sheetToning.Overrides();
  for (std::size_t start = 0; !a.presets.empty() && start <= a.presets.size();) {
    std::size_t comma = std::min(a.presets.find(',', start), a.presets.size());
    options.presets.push_back(a.presets.substr(start, comma - start));
    start = comma + 1;
  }
  options.perChannel = a.sheetPerChannel;
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
  RefuseKeepColour(a.keepColour);
  if (a.paths.size() < 2)
    throw ToolError(kExitUsage, "give an INPUT and an OUTPUT (see monx --help)");
  CheckNotEmpty(a.paths);
  MonxInfo info = a.toning.Info();
  CheckRecord(info);
  BatchOptions options;
  options.tone.perChannel = a.perChannel;
  options.tone.strip = a.strip;
  options.tone.jpeg = JpegOf(a);
  options.format = FormatOf(a.format);
  options.progress = ProgressOf(a.progress);
  options.jobs = NumberIn("--jobs", a.jobs, 1, 64);
  Toner toner(info);
  std::vector<std::string> inputs(a.paths.begin(), a.paths.end() - 1);
  const std::string& output = a.paths.back();
  if (IsBatch(inputs, output)) {
    std::error_code ignored;
    if (IsStdStream(output) || std::count(inputs.begin(), inputs.end(), "-") > 0)
      throw ToolError(kExitUsage, "- (standard input or output) holds one photo; it does not go "
                                  "with batch mode");
    for (const std::string& input : inputs)
      if (fs::is_directory(input, ignored) && fs::equivalent(input, output, ignored))
        throw ToolError(kExitUsage, output + ": is the input folder; the toned photos would "
                                             "replace the originals, so choose another folder");
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
  // Standard output ("-") takes --format, or else the input's format.
  if (options.format && FileTypeOfName(output) && *options.format != *FileTypeOfName(output))
    throw ToolError(kExitUsage, "--format " + a.format + " disagrees with the output name " +
                                    output + " (one photo is written as its name says)");
  if (IsStdStream(output)) options.tone.format = options.format;
  ToneFile(inputs[0], output, toner, options.tone, PrintNote);
  return kExitOk;
}

void Describe(CLI::App& app, Arguments& a) {
  // A repeated option counts as corrected: the last value wins.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  // Unknown options are collected and refused in the tool's own words.
  app.allow_extras();
  app.set_help_flag();
  app.add_flag("-h,--help", a.help);
  app.add_flag("--version", a.version);
  app.add_flag("--list-presets", a.listPresets);
  app.add_flag("--keep-colour,--keep-color", a.keepColour);
  app.add_flag("--per-channel", a.perChannel);
  app.add_flag("--strip", a.strip);
  app.add_flag("--fast-jpeg", a.fastJpeg);
  app.add_option("-q,--quality", a.quality);
  app.add_option("-j,--jobs", a.jobs);
  app.add_option("--format", a.format);
  app.add_option("--progress", a.progress);
  a.toning.AddTo(app);
  app.add_option("paths", a.paths);

  CLI::App* sheet = app.add_subcommand("sheet");
  sheet->allow_extras();
  sheet->set_help_flag();
  sheet->add_flag("-h,--help", a.sheetHelp);
  sheet->add_flag("--keep-colour,--keep-color", a.sheetKeepColour);
  sheet->add_flag("--per-channel", a.sheetPerChannel);
  sheet->add_option("--vary", a.vary);
  sheet->add_option("--steps", a.steps);
  sheet->add_option("--presets", a.presets);
  sheet->add_option("--tile", a.tile);
  sheet->add_option("--columns", a.columns);
  a.sheetToning.AddTo(*sheet);
  sheet->add_option("paths", a.sheetPaths);
}

/// Refuses a file name that begins with '-': it would be read as options
/// ("-dash.jpg" as -d with "ash.jpg").
void CheckDashNames(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--") return;
    if (arg.size() < 2 || arg[0] != '-') continue;
    std::error_code ignored;
    if (FileTypeOfName(arg) || fs::exists(arg, ignored))
      throw ToolError(kExitUsage, arg + ": a name beginning with '-' is read as options; write ./" +
                                      arg + ", or put -- before the file names");
  }
}

/// The option that lacks its value: the last option-like argument.
std::string OptionMissingValue(int argc, char** argv) {
  for (int i = argc - 1; i > 0; --i)
    if (argv[i][0] == '-' && argv[i][1] != '\0') return argv[i];
  return "an option";
}

void CheckNoExtras(const CLI::App& app) {
  for (const std::string& extra : app.remaining())
    throw ToolError(kExitUsage, extra + ": no such option (see monx --help)");
}

int Run(int argc, char** argv) {
  CLI::App app;
  Arguments a;
  Describe(app, a);
  CheckDashNames(argc, argv);
  // Everything after "--" is a file name, even when it begins with '-'.
  int options = int(std::find(argv, argv + argc, std::string("--")) - argv);
  try {
    app.parse(options, argv);
  } catch (const CLI::ArgumentMismatch&) {
    throw ToolError(kExitUsage, OptionMissingValue(argc, argv) + ": needs a value (see monx --help)");
  } catch (const CLI::ParseError& e) {
    throw ToolError(kExitUsage, std::string(e.what()) + " (see monx --help)");
  }
  CheckNoExtras(app);
  CheckNoExtras(*app.get_subcommand("sheet"));
  std::vector<std::string>& paths = app.got_subcommand("sheet") ? a.sheetPaths : a.paths;
  for (int i = options + 1; i < argc; ++i) paths.push_back(argv[i]);
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
