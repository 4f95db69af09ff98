// The pane behind the page: its thread, the jobs it runs, alerts answered by a person.
#include "PaneHost.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "Runner.h"
#include "Script.h"
#include "Settings.h"
#include "toolbox/host/dialogs.h"
#include "toolbox/host/journal.h"
#include "toolbox/host/render.h"
#include "toolbox/host/windows.h"
#include "velkui/items.h"

namespace workbench {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

/// A request refused before it reaches the pane, with the status it answers.
struct Refusal {
  int status;
  std::string message;
};

const std::set<std::string> kPageVerbs = {"click",  "choose",  "type",   "paste",
                                          "key",    "drag",    "hold",   "suspend",
                                          "resume", "preset",  "load-settings",
                                          "save-settings"};
constexpr size_t kJournalLines = 400;  ///< the journal's tail the page shows

long long ModificationTime(const std::string& path) {
  std::error_code error;
  const auto time = fs::last_write_time(path, error);
  return error ? 0 : static_cast<long long>(time.time_since_epoch().count());
}

std::string IdText(ControlRef control) {
  ControlID id{0, 0};
  GetControlID(control, &id);
  if (id.signature == 0) return "";
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) text += char((id.signature >> shift) & 0xFF);
  return text + ":" + std::to_string(id.id);
}

/// A radio button's place in its group (1-based), or 0.
int GroupIndex(ControlRef parent, ControlRef button) {
  UInt16 count = 0;
  CountSubControls(parent, &count);
  for (UInt16 i = 1; i <= count; ++i) {
    ControlRef sub = nullptr;
    if (GetIndexedSubControl(parent, i, &sub) == noErr && sub == button) return i;
  }
  return 0;
}

/// Keeps the last lines of a transcript.
json Tail(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  const size_t from = lines.size() > kJournalLines ? lines.size() - kJournalLines : 0;
  return json{{"total", lines.size()},
              {"lines", std::vector<std::string>(lines.begin() + long(from), lines.end())}};
}

}  // namespace

struct PaneHost::Job {
  std::function<void()> work;
  bool refresh = true;  ///< the state and picture are made anew after it
  bool done = false;
  int status = 200;
  std::string error;
};

PaneHost::PaneHost(const PaneSource& source, const PaneFolders& folders)
    : source_(source), folders_(folders) {
  folders_.start = fs::weakly_canonical(fs::absolute(folders.start)).string();
  toolbox::host::SetAlertHandler(
      [this](const std::string& kind, const std::string& text) { return AskAlert(kind, text); });
  thread_ = std::thread([this] { Loop(); });
  const Reply opened = Submit([this] { Open(""); });
  if (opened.status != 200) {
    const std::string why = opened.body.value("error", std::string("the pane cannot run"));
    Stop();  // the thread ends before the exception leaves
    throw SessionError(why);
  }
}

PaneHost::~PaneHost() { Stop(); }

void PaneHost::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return;
    stopping_ = true;
    alertWaiting_ = false;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
  toolbox::host::SetAlertHandler(nullptr);
  for (const std::string& copy : copiesMade_) fs::remove(copy);
}

// ---------------------------------------------------------------- requests

Reply PaneHost::State() {
  std::lock_guard<std::mutex> lock(mutex_);
  json body = state_;
  body["rebuilt"] = Rebuilt();  // the file may change between requests
  if (alertWaiting_) body["alert"] = alert_;
  return {200, body};
}

Reply PaneHost::Input(const std::string& line) {
  Command command;
  try {
    std::istringstream in(line);
    const std::vector<Command> commands = ParseScript(in, "input");
    if (commands.size() != 1) throw Refusal{400, "one input line is expected"};
    command = commands[0];
    if (kPageVerbs.count(command.verb) == 0)
      throw Refusal{400, "'" + command.verb + "' is not an input the page can give"};
    if (command.verb == "load-settings" || command.verb == "save-settings")
      command.args[0] = Resolve(command.args[0]);
    if (command.verb == "preset") {
      const std::string& name = command.args[0];
      if (folders_.presets.empty() || name.find_first_of("/\\") != std::string::npos ||
          name.empty() || name[0] == '.' || !fs::is_regular_file(fs::path(folders_.presets) / (name + ".json")))
        throw Refusal{400, "no preset '" + name + "'"};
    }
  } catch (const ScriptError& e) {
    Reply reply = State();
    reply.status = 400;
    reply.body["error"] = e.what();
    return reply;
  } catch (const Refusal& refusal) {
    Reply reply = State();
    reply.status = refusal.status;
    reply.body["error"] = refusal.message;
    return reply;
  }
  return Submit([this, command, line] {
    if (!session_) throw SessionError("no pane runs");
    RunOptions options;
    options.name = "input";
    options.presetsDir = folders_.presets;
    std::ostringstream report;
    RunScript(*session_, {command}, options, report);
    if (recording_) recorded_.push_back(command.text);
  });
}

Reply PaneHost::Answer(int item) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!alertWaiting_) {
    json body = state_;
    body["error"] = "no alert waits for an answer";
    return {409, body};
  }
  answer_ = item;
  alertWaiting_ = false;
  changed_.notify_all();
  std::shared_ptr<Job> job = running_;
  if (!job) return {200, state_};
  return WaitFor(lock, job);
}

Reply PaneHost::Reload() {
  return Submit([this] { DoReload(); });
}

Reply PaneHost::Record(bool on) {
  return Submit([this, on] {
    if (on) recorded_.clear();
    recording_ = on;
  });
}

std::string PaneHost::Script() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string text = "# A session recorded in the page of velkui-workbench (" +
                     state_.value("pane", std::string()) + ").\n";
  for (const std::string& line : recorded_) text += line + "\n";
  return text;
}

PictureRegion PaneHost::Pixels(int scale, int have) {
  if (scale != 1 && scale != 2) return {};
  bool drawn = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lastScale_ = scale;  // drawn with every change from now on
    drawn = pictureScale_ == scale || alertWaiting_;
  }
  if (!drawn) Submit([this, scale] { Draw(scale, frame_); }, false);
  std::lock_guard<std::mutex> lock(mutex_);
  PictureRegion region;
  if (picture_.empty() || pictureScale_ != scale) return region;
  region.frame = pictureFrame_;
  if (have == pictureFrame_) return region;
  const bool step = have == pictureFrame_ - 1;
  region.x = step ? changedBox_[0] : 0, region.y = step ? changedBox_[1] : 0;
  region.width = step ? changedBox_[2] : pictureWidth_, region.height = step ? changedBox_[3] : pictureHeight_;
  region.rgba.resize(size_t(region.width) * region.height * 4);
  for (int row = 0; row < region.height; ++row)
    std::copy_n(picture_.begin() + (long(region.y + row) * pictureWidth_ + region.x) * 4, region.width * 4,
                region.rgba.begin() + long(row) * region.width * 4);
  return region;
}

std::vector<unsigned char> PaneHost::Png(int scale) {
  std::vector<unsigned char> png;
  Submit([this, scale, &png] {
    if (session_) toolbox::host::WindowPNG(session_->Window(), scale, &png, nullptr);
  }, false);
  return png;
}

// ---------------------------------------------------------------- the pane's thread

Reply PaneHost::Submit(std::function<void()> work, bool refresh) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (alertWaiting_ || stopping_) {
    json body = state_;
    if (alertWaiting_) body["alert"] = alert_;
    body["error"] = stopping_ ? "the workbench is closing" : "an alert waits for its answer";
    return {409, body};
  }
  auto job = std::make_shared<Job>();
  job->work = std::move(work);
  job->refresh = refresh;
  jobs_.push_back(job);
  changed_.notify_all();
  return WaitFor(lock, job);
}

Reply PaneHost::WaitFor(std::unique_lock<std::mutex>& lock, const std::shared_ptr<Job>& job) {
  changed_.wait(lock, [&] { return job->done || alertWaiting_ || stopping_; });
  Reply reply{job->done ? job->status : 200, state_};
  if (alertWaiting_) reply.body["alert"] = alert_;
  if (job->done && !job->error.empty()) reply.body["error"] = job->error;
  return reply;
}

void PaneHost::Loop() {
  for (;;) {
    std::shared_ptr<Job> job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
      if (stopping_) {
        for (auto& waiting : jobs_) waiting->done = true, waiting->status = 503;
        break;
      }
      job = jobs_.front();
      jobs_.pop_front();
      running_ = job;
    }
    int status = 200;
    std::string error;
    try {
      job->work();
    } catch (const ScriptError& e) {
      status = 409, error = e.what();
    } catch (const SessionError& e) {
      status = 409, error = e.what();
    } catch (const std::exception& e) {
      status = 500, error = std::string("the pane threw: ") + e.what();
    }
    if (job->refresh) Refresh();
    std::lock_guard<std::mutex> lock(mutex_);
    job->done = true, job->status = status, job->error = error;
    running_ = nullptr;
    changed_.notify_all();
  }
  changed_.notify_all();
  session_.reset();  // the pane's lifecycle ends on the thread that ran it
}

SInt16 PaneHost::AskAlert(const std::string& kind, const std::string& text) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (stopping_) return 1;
  alertWaiting_ = true;
  alert_ = json{{"kind", kind}, {"text", text}, {"buttons", {"OK", "Cancel"}}};
  changed_.notify_all();
  changed_.wait(lock, [&] { return !alertWaiting_ || stopping_; });
  alertWaiting_ = false;
  return stopping_ ? SInt16(1) : SInt16(answer_);
}

void PaneHost::Open(const std::string& loadFrom) {
  const long long time = ModificationTime(source_.plugin);
  session_ = std::make_unique<Session>(source_, loadFrom);
  std::lock_guard<std::mutex> lock(mutex_);
  pluginTime_ = time;
}

void PaneHost::DoReload() {
  if (!session_) throw SessionError("no pane runs");
  const json settings = session_->SaveSettings();
  const bool shown = session_->Shown();
  const std::string leaks = session_->Close();
  transcriptBefore_ += session_->Transcript() + (leaks.empty() ? "" : "# warning: " + leaks + "\n") +
                       "# the plug-in reloaded\n";
  session_.reset();
  // A shared object is loaded once per name, so the rebuilt one is loaded from a copy.
  const std::string previous = copiesMade_.empty() ? "" : copiesMade_.back();
  const std::string copy = (fs::temp_directory_path() /
                            ("velkui-workbench-" + std::to_string(getpid()) + "-" +
                             std::to_string(++copies_) + "-" + fs::path(source_.plugin).filename().string()))
                               .string();
  try {
    fs::copy_file(source_.plugin, copy, fs::copy_options::overwrite_existing);
    copiesMade_.push_back(copy);
    Open(copy);
  } catch (const std::exception& e) {
    Open(previous);  // the plug-in as it ran before
    throw SessionError(std::string("the rebuilt plug-in cannot run (") + e.what() +
                       "); the previous one runs again");
  }
  try {
    session_->LoadSettings(settings);
  } catch (const SessionError& e) {
    throw SessionError(std::string("reloaded, but the settings could not be carried over: ") + e.what());
  }
  if (!shown) session_->Suspend();
}

// ---------------------------------------------------------------- state

std::string PaneHost::Resolve(const std::string& file) const {
  if (file.empty()) throw Refusal{400, "no file name given"};
  if (fs::path(file).extension() != ".json")
    throw Refusal{400, "settings files end in .json: '" + file + "'"};
  const fs::path start(folders_.start);
  const fs::path given(file);
  const fs::path full = fs::weakly_canonical(given.is_absolute() ? given : start / given);
  const auto [end, inside] = std::mismatch(start.begin(), start.end(), full.begin(), full.end());
  if (end != start.end() || full == start)
    throw Refusal{403, "'" + file + "' is outside the folder the workbench was started in (" +
                           folders_.start + ")"};
  return full.string();
}

bool PaneHost::Rebuilt() const {
  const long long now = ModificationTime(source_.plugin);
  return now != 0 && now != pluginTime_;
}

json PaneHost::Controls() const {
  json controls = json::array();
  for (ControlRef c : toolbox::host::Controls(session_->Window())) {
    ControlKind kind{};
    GetControlKind(c, &kind);
    Rect r{};
    GetControlBounds(c, &r);
    Str255 title{};
    GetControlTitle(c, title);
    json control{{"id", IdText(c)},
                 {"kind", toolbox::host::KindName(kind.kind)},
                 {"bounds", {r.top, r.left, r.bottom, r.right}},
                 {"value", GetControl32BitValue(c)},
                 {"min", GetControl32BitMinimum(c)},
                 {"max", GetControl32BitMaximum(c)},
                 {"visible", bool(IsControlVisible(c))},
                 {"active", bool(IsControlActive(c))},
                 {"title", std::string(reinterpret_cast<const char*>(title + 1), title[0])}};
    if (kind.kind == kControlKindEditText || kind.kind == kControlKindEditUnicodeText ||
        kind.kind == kControlKindStaticText)
      control["text"] = toolbox::host::ControlText(c);
    if (kind.kind == kControlKindPopupButton) {
      json menu = json::array();
      for (const auto& entry : toolbox::host::MenuEntries(c))
        menu.push_back({{"text", entry.text}, {"enabled", entry.enabled}, {"hidden", entry.hidden}});
      control["menu"] = menu;
    }
    ControlRef parent = nullptr;
    if (GetSuperControl(c, &parent) == noErr && parent != nullptr) {
      GetControlKind(parent, &kind);
      if (kind.kind == kControlKindRadioGroup) {
        control["group"] = IdText(parent);
        control["index"] = GroupIndex(parent, c);
      }
    }
    controls.push_back(control);
  }
  return controls;
}

json PaneHost::Registry() const {
  static const std::map<std::string, int> kCodes = {
      {"none", velkui::kSizeNone},   {"short", velkui::kSizeShort}, {"long", velkui::kSizeLong},
      {"float", velkui::kSizeFloat}, {"string", velkui::kSizeString}};
  json rows = json::array();
  const json settings = session_->SaveSettings()["settings"];
  for (const auto& [key, entry] : settings.items()) {
    const std::string size = entry.begin().key();
    rows.push_back({{"key", key}, {"size", size}, {"code", kCodes.at(size)}, {"value", entry.begin().value()}});
  }
  return rows;
}

void PaneHost::Refresh() {
  json state{{"pane", session_ ? session_->PaneName() : ""},
             {"running", session_ != nullptr},
             {"recording", recording_},
             {"recorded", recorded_.size()},
             {"start", folders_.start}};
  json presets = json::array();
  std::error_code error;
  if (!folders_.presets.empty())
    for (const auto& entry : fs::directory_iterator(folders_.presets, error))
      if (entry.path().extension() == ".json") presets.push_back(entry.path().stem().string());
  std::sort(presets.begin(), presets.end());
  state["presets"] = presets;
  if (session_) {
    WindowRef window = session_->Window();
    state["shown"] = session_->Shown();
    state["width"] = toolbox::host::WindowWidth(window);
    state["height"] = toolbox::host::WindowHeight(window);
    state["controls"] = Controls();
    state["registry"] = Registry();
    state["beeps"] = toolbox::host::JournalOf("beep").size();
    state["alerts"] = toolbox::host::JournalOf("alert");
    state["journal"] = Tail(transcriptBefore_ + session_->Transcript());
  }
  int scale = 1;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    scale = lastScale_;
  }
  Draw(scale, ++frame_);  // the picture first: a page that sees the frame finds it drawn
  std::lock_guard<std::mutex> lock(mutex_);
  state["frame"] = frame_;
  state["rebuilt"] = Rebuilt();
  state_ = state;
}

void PaneHost::Draw(int scale, int frame) {
  std::vector<unsigned char> rgba;
  if (session_) toolbox::host::WindowRGBA(session_->Window(), scale, &rgba, nullptr);
  const int width = session_ ? toolbox::host::WindowWidth(session_->Window()) * scale : 0;
  const int height = width > 0 ? int(rgba.size() / 4 / size_t(width)) : 0;
  std::lock_guard<std::mutex> lock(mutex_);
  int box[4] = {width, height, -1, -1};  // left, top, right, bottom of the pixels that differ
  const bool comparable = pictureScale_ == scale && pictureWidth_ == width && picture_.size() == rgba.size();
  for (int y = 0; comparable && y < height; ++y) {
    const size_t row = size_t(y) * width * 4;
    if (std::equal(rgba.begin() + long(row), rgba.begin() + long(row) + width * 4, picture_.begin() + long(row)))
      continue;
    for (int x = 0; x < width; ++x)
      if (!std::equal(&rgba[row + x * 4], &rgba[row + x * 4] + 4, &picture_[row + x * 4]))
        box[0] = std::min(box[0], x), box[2] = std::max(box[2], x), box[1] = std::min(box[1], y), box[3] = y;
  }
  if (!comparable) box[0] = box[1] = 0, box[2] = width - 1, box[3] = height - 1;
  changedBox_[0] = box[2] < 0 ? 0 : box[0], changedBox_[1] = box[3] < 0 ? 0 : box[1];
  changedBox_[2] = box[2] < 0 ? 0 : box[2] - box[0] + 1, changedBox_[3] = box[3] < 0 ? 0 : box[3] - box[1] + 1;
  picture_ = std::move(rgba);
  pictureScale_ = scale, pictureFrame_ = frame, pictureWidth_ = width, pictureHeight_ = height;
}

}  // namespace workbench
