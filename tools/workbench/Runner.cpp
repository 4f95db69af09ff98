// Runs a parsed script on a session: each line to one session call, failures reported by line.
#include "Runner.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "Session.h"
#include "Settings.h"

namespace workbench {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

std::string Within(const std::string& dir, const std::string& path) {
  return fs::path(path).is_absolute() || dir.empty() ? path : (fs::path(dir) / path).string();
}

std::string PngName(const std::string& name) {
  return fs::path(name).extension() == ".png" ? name : name + ".png";
}

nlohmann::json ReadJson(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw SessionError("cannot read " + path);
  try {
    return nlohmann::json::parse(in);
  } catch (const nlohmann::json::exception& e) {
    throw SessionError(path + " is not JSON: " + e.what());
  }
}

void WriteJson(const std::string& path, const nlohmann::json& json) {
  if (fs::path(path).has_parent_path()) fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path);
  out << SettingsText(json);
  if (!out) throw SessionError("cannot write " + path);
}

class Run {
 public:
  Run(Session& session, const RunOptions& options, std::ostream& report)
      : session_(session), options_(options), report_(report) {}

  void Do(const Command& c);
  RunResult result;

 private:
  void Input(const Command& c);
  void Expect(const Command& c);
  void Snapshot(const Command& c);

  Session& session_;
  const RunOptions& options_;
  std::ostream& report_;
  std::string lastInput_ = "as opened";
  bool started_ = false;
  Clock::time_point start_;
};

void Run::Do(const Command& c) {
  session_.Note("> " + c.text);
  if (c.verb == "expect") return Expect(c);
  if (c.verb == "snapshot") return Snapshot(c);
  if (c.verb == "save-settings" || c.verb == "save-preset") {
    const std::string path = c.verb == "save-preset"
                                 ? Within(options_.presetsDir, c.args[0] + ".json")
                                 : Within(options_.outputDir, c.args[0]);
    return WriteJson(path, session_.SaveSettings());
  }
  Input(c);
}

void Run::Input(const Command& c) {
  if (!started_) start_ = Clock::now(), started_ = true;
  ++result.inputs;
  lastInput_ = c.text;
  const auto& a = c.args;
  if (c.verb == "click") session_.Click(a[0]);
  else if (c.verb == "choose") session_.Choose(a[0], a[1]);
  else if (c.verb == "type") session_.Type(a[0]);
  else if (c.verb == "paste") session_.Paste(a[0]);
  else if (c.verb == "key") session_.Key(a[0]);
  else if (c.verb == "hold") session_.Hold(a[0], a[1], std::stoi(a[2]));
  else if (c.verb == "suspend") session_.Suspend();
  else if (c.verb == "resume") session_.Resume();
  else if (c.verb == "load-settings") session_.LoadSettings(ReadJson(Within(options_.outputDir, a[0])));
  else if (c.verb == "preset") session_.LoadSettings(ReadJson(Within(options_.presetsDir, a[0] + ".json")));
  else if (c.verb == "drag") {
    std::vector<SInt32> values;
    for (size_t i = 1; i < a.size(); ++i) values.push_back(std::stoi(a[i]));
    session_.Drag(a[0], values);
  }
}

void Run::Snapshot(const Command& c) {
  fs::create_directories(options_.outputDir.empty() ? "." : options_.outputDir);
  const std::string path = Within(options_.outputDir, PngName(c.args[0]));
  session_.Snapshot(path);
  result.frames.push_back({c.args[0], path, c.args.size() > 1 ? c.args[1] : lastInput_});
  if (started_) result.seconds = std::chrono::duration<double>(Clock::now() - start_).count();
}

void Run::Expect(const Command& c) {
  Expectation e{c.kind, c.args};
  if (c.kind == "snapshot") {
    e.args[0] = Within(options_.scriptDir, PngName(c.args[0]));
    if (options_.updateSnapshots) {
      session_.Snapshot(e.args[0]);
      report_ << options_.name << ":" << c.line << ": stored " << e.args[0] << "\n";
      return;
    }
  } else if (c.kind == "refused-preset") {
    e = Expectation{"refused", {Within(options_.presetsDir, c.args[0] + ".json"), c.args[1]}};
  } else if (c.kind == "refused") {
    e.args[0] = Within(options_.scriptDir, c.args[0]);
  }
  const auto mismatch = session_.Check(e);
  if (!mismatch) return;
  ++result.failures;
  session_.Note("  FAILED: expected " + mismatch->expected + ", found " + mismatch->found);
  report_ << options_.name << ":" << c.line << ": expectation failed: " << c.text << "\n"
          << "  expected: " << mismatch->expected << "\n"
          << "  found:    " << mismatch->found << "\n";
}

}  // namespace

RunResult RunScript(Session& session, const std::vector<Command>& commands,
                    const RunOptions& options, std::ostream& report) {
  Run run(session, options, report);
  for (const Command& c : commands) {
    try {
      run.Do(c);
    } catch (const SessionError& e) {
      throw ScriptError(options.name + ":" + std::to_string(c.line) + ": " + c.text + ": " + e.what());
    } catch (const std::exception& e) {
      throw ScriptError(options.name + ":" + std::to_string(c.line) + ": " + c.text +
                        ": the pane threw: " + e.what());
    }
  }
  return run.result;
}

}  // namespace workbench
