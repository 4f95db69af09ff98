// velkui-workbench: runs a plug-in's pane, alone or through a session script.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "Pictures.h"
#include "Runner.h"
#include "Script.h"
#include "Server.h"
#include "Session.h"
#include "Settings.h"

namespace {

namespace fs = std::filesystem;
using namespace workbench;

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitError = 3;

const char kUsage[] =
    "usage: velkui-workbench PLUGIN.so [SCRIPT] [options]\n"
    "Runs the pane of a plug-in (see include/velkui/workbench.h) through its whole\n"
    "lifecycle. Without a script it saves a picture of the pane as shown.\n"
    "  --layout FILE       the pane's layout instead of the plug-in's own\n"
    "  --resources DIR     the pane's resource folder instead of the plug-in's own\n"
    "  -o, --output DIR    where snapshots go (default: the current folder)\n"
    "  --presets DIR       folder of NAME.json presets (default: presets/ beside the script)\n"
    "  --settings FILE     settings loaded before the script runs\n"
    "  --save-settings FILE  the registry saved when the script is done\n"
    "  --filmstrip FILE    all snapshots side by side, captioned, as one PNG\n"
    "  --journal FILE      the session's journal as text (- for standard output)\n"
    "  --update-snapshots  'expect snapshot' stores the window instead of comparing\n"
    "  --time              print the time from the first input to the last snapshot\n"
    "  --serve [ADDRESS:]PORT  serve a page to try the pane by hand in a browser\n"
    "                      (127.0.0.1 unless an address is given; port 0: any free one);\n"
    "                      settings files stay inside the current folder\n";

struct Arguments {
  std::string plugin, script, layout, resources, output, presets, settings, saveSettings,
      filmstrip, journal, serve;
  bool update = false, time = false, help = false;
};

/// The tool's own words for what the command line got wrong.
std::string UsageWords(const CLI::ParseError& e) {
  const std::string what = e.what();
  const size_t colon = what.find(':');
  const std::string before = what.substr(0, colon);
  const std::string after =
      colon == std::string::npos ? "" : what.substr(what.find_first_not_of(' ', colon + 1));
  if (dynamic_cast<const CLI::ExtrasError*>(&e))
    return (after.rfind('-', 0) == 0 ? "unknown option: " : "too many arguments: ") + after;
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) return "option " + before + " needs a value";
  return what;
}

void WriteText(const std::string& path, const std::string& text) {
  if (path == "-") {
    std::fputs(text.c_str(), stdout);
    return;
  }
  std::ofstream out(path);
  out << text;
  if (!out) throw SessionError("cannot write " + path);
}

nlohmann::json ReadSettings(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw SessionError("cannot read settings " + path);
  try {
    return nlohmann::json::parse(in);
  } catch (const nlohmann::json::exception& e) {
    throw SessionError(path + " is not JSON: " + e.what());
  }
}

int RunSession(const Arguments& a, const std::vector<Command>& commands) {
  Session session({a.plugin, a.layout, a.resources});
  if (!a.settings.empty()) session.LoadSettings(ReadSettings(a.settings));
  RunOptions options;
  options.name = a.script.empty() ? "(no script)" : a.script;
  options.scriptDir = a.script.empty() ? "." : fs::path(a.script).parent_path().string();
  options.outputDir = a.output.empty() ? "." : a.output;
  options.presetsDir = !a.presets.empty() ? a.presets : (fs::path(options.scriptDir) / "presets").string();
  options.updateSnapshots = a.update;
  std::vector<Command> script = commands;
  if (a.script.empty()) script.push_back({0, "snapshot pane", "snapshot", "", {"pane"}});
  RunResult result;
  try {
    result = RunScript(session, script, options, std::cerr);
  } catch (const ScriptError&) {
    session.Close();  // the journal up to the failing line helps to find out why
    if (!a.journal.empty()) WriteText(a.journal, session.Transcript());
    throw;
  }
  if (!a.saveSettings.empty()) WriteText(a.saveSettings, SettingsText(session.SaveSettings()));
  const std::string leaks = session.Close();
  if (!a.journal.empty()) WriteText(a.journal, session.Transcript());
  if (!leaks.empty()) std::fprintf(stderr, "velkui-workbench: warning: %s\n", leaks.c_str());
  if (!a.filmstrip.empty() && !result.frames.empty()) {
    std::string why;
    if (!WriteFilmstrip(result.frames, a.filmstrip, &why)) throw SessionError(why);
  }
  if (a.script.empty()) std::printf("%s: %s\n", session.PaneName().c_str(), result.frames[0].path.c_str());
  if (a.time)
    std::printf("session: %d inputs, %zu snapshots, %.3f s from the first input to the last snapshot\n",
                result.inputs, result.frames.size(), result.seconds);
  if (result.failures > 0) {
    std::fprintf(stderr, "%s: %d expectation%s failed\n", options.name.c_str(), result.failures,
                 result.failures == 1 ? "" : "s");
    return kExitFailed;
  }
  return kExitOk;
}

int ServePane(const Arguments& a) {
  if (!a.script.empty()) throw ScriptError("--serve runs no script; record one in the page");
  ServeOptions options;
  std::string why;
  if (!ParseServeAddress(a.serve, &options.address, &options.port, &why)) throw ScriptError(why);
  options.source = {a.plugin, a.layout, a.resources};
  options.folders.start = fs::current_path().string();
  options.folders.presets = a.presets;
  Serve(options);
  return kExitOk;
}

int Run(int argc, char** argv) {
  CLI::App app;
  Arguments a;
  app.set_help_flag();
  app.add_flag("-h,--help", a.help);
  app.add_option("plugin", a.plugin);
  app.add_option("script", a.script);
  app.add_option("--layout", a.layout);
  app.add_option("--resources", a.resources);
  app.add_option("-o,--output", a.output);
  app.add_option("--presets", a.presets);
  app.add_option("--settings", a.settings);
  app.add_option("--save-settings", a.saveSettings);
  app.add_option("--filmstrip", a.filmstrip);
  app.add_option("--journal", a.journal);
  app.add_flag("--update-snapshots", a.update);
  app.add_flag("--time", a.time);
  app.add_option("--serve", a.serve);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "velkui-workbench: %s (see velkui-workbench --help)\n", UsageWords(e).c_str());
    return kExitUsage;
  }
  if (a.help) return std::fputs(kUsage, stdout), kExitOk;
  if (a.plugin.empty()) {
    std::fprintf(stderr, "velkui-workbench: no plug-in given\n%s", kUsage);
    return kExitUsage;
  }
  std::vector<Command> commands;
  try {
    if (!a.script.empty()) {
      std::ifstream in(a.script);
      if (!in) throw ScriptError("cannot read script " + a.script);
      commands = ParseScript(in, a.script);
    }
    if (!a.serve.empty()) return ServePane(a);
    return RunSession(a, commands);
  } catch (const ScriptError& e) {
    std::fprintf(stderr, "velkui-workbench: %s\n", e.what());
    return kExitUsage;
  } catch (const SessionError& e) {
    std::fprintf(stderr, "velkui-workbench: %s\n", e.what());
    return kExitError;
  }
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velkui-workbench: %s\n", e.what());
    return kExitError;
  }
}
