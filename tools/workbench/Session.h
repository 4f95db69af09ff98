// The session engine: one plug-in pane shown in its window, driven by input as a
// print dialog drives it, observed and checked. It knows nothing of scripts or
// command lines, so every front end (script runner, page) shares it.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "toolbox/controls.h"
#include "toolbox/types.h"

namespace workbench {

/// A request the session cannot carry out; the message says what and why.
class SessionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Where the pane comes from. Empty layout or resources: the plug-in's own.
struct PaneSource {
  std::string plugin;
  std::string layout;
  std::string resources;
};

/// One expectation. Kinds and their arguments:
///   registry KEY VALUE     value of the registry object (number, or text)
///   value ID N             the control's value
///   text ID TEXT           the control's edit or static text
///   visible ID yes|no      shown or hidden
///   active ID yes|no       enabled or dimmed
///   menu ID N...           enabled, not hidden entries of a popup (none: empty)
///   beep [N]               beeps since the last input (N: exactly; none: at least one)
///   no-beep                no beep since the last input
///   alert TEXT             an alert since the last input whose text holds TEXT
///   no-alert               no alert since the last input
///   snapshot PATH          the window drawn equals the stored PNG
///   refused PATH TEXT      loading settings PATH is refused with a message holding TEXT
struct Expectation {
  std::string kind;
  std::vector<std::string> args;
};

/// What an expectation found when it did not hold.
struct Mismatch {
  std::string expected;
  std::string found;
};

class Session {
 public:
  /// Loads the plug-in, opens its resource folder, builds its window and runs
  /// NewIPP, StartIPP and ResumeIPP. Throws SessionError, leaving nothing behind.
  /// `loadFrom`, when given, is the file loaded in place of the plug-in (a copy
  /// of it); paths are still found beside the plug-in.
  explicit Session(const PaneSource& source, const std::string& loadFrom = "");
  /// Runs the rest of the lifecycle (SuspendIPP if shown, EndIPP, FreeIPP) and
  /// releases the window, the resource folder and the plug-in.
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Input. Each answers the hit the dialog reported after ActionIPP (0: none).
  SInt16 Click(const std::string& control);
  /// A popup entry or a radio group's button, by number or by its text.
  SInt16 Choose(const std::string& control, const std::string& entry);
  SInt16 Type(const std::string& text);
  SInt16 Paste(const std::string& text);
  /// backspace, escape, tab, return, enter, left, right.
  SInt16 Key(const std::string& name);
  SInt16 Drag(const std::string& control, const std::vector<SInt32>& values);
  /// arrow: "up" or "down".
  SInt16 Hold(const std::string& control, const std::string& arrow, int repeats);
  void Suspend();
  void Resume();
  bool Shown() const { return shown_; }

  /// Saves the window as PNG.
  void Snapshot(const std::string& path);
  /// Checks an expectation; nothing when it holds.
  std::optional<Mismatch> Check(const Expectation& expectation);

  /// The registry as settings (see Settings.h).
  nlohmann::json SaveSettings();
  /// Checks every setting first, then applies them all and lets the pane react;
  /// throws SessionError naming the key when one is refused (nothing applied).
  void LoadSettings(const nlohmann::json& settings);

  /// Writes a line of the caller's into the transcript (e.g. the input given).
  void Note(const std::string& line);
  /// Everything noted and journalled so far, one line each.
  std::string Transcript();
  std::string PaneName() const { return name_; }
  WindowRef Window() const { return window_; }
  /// Blocks the pane still held after FreeIPP, or "" (filled by the destructor's
  /// steps; call Close() first to see it).
  std::string Close();

 private:
  ControlRef Find(const std::string& control) const;
  SInt16 Deliver(SInt16 hit);
  void BeginInput();
  /// Notes every registry value that differs from `before` (settings form).
  void NoteChanges(const nlohmann::json& before);
  void FlushJournal();
  std::optional<Mismatch> CheckControl(const Expectation& e);
  std::optional<Mismatch> CheckJournal(const Expectation& e);
  std::optional<Mismatch> CheckSnapshot(const std::string& path);
  std::optional<Mismatch> CheckRefused(const Expectation& e);
  void Release();

  void* library_ = nullptr;
  void* pane_ = nullptr;
  WindowRef window_ = nullptr;
  SInt16 resFile_ = 0;
  SInt16 base_ = 0;
  bool shown_ = false;
  bool closed_ = false;
  std::string name_;
  std::vector<std::string> transcript_;
  size_t handles_ = 0;
  size_t pointers_ = 0;
  size_t journalTaken_ = 0;  ///< journal entries already in the transcript
};

}  // namespace workbench
