// The pane behind the page: one session on a thread of its own, driven by script
// lines, waiting for a person's answer when the pane shows an alert.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "Session.h"

namespace workbench {

/// What the page may do with settings and presets.
struct PaneFolders {
  std::string start;    ///< settings files are read and written only inside this folder
  std::string presets;  ///< NAME.json presets; empty: none offered
};

/// A request's outcome as the page gets it: an HTTP status and a JSON body
/// (the pane's state, with "error" when the request was refused).
struct Reply {
  int status = 200;
  nlohmann::json body;
};

/// Part of the pane as drawn: the rectangle x, y, width, height (pixels of the
/// drawn picture) with its bytes R, G, B, A row by row.
struct PictureRegion {
  int frame = 0;  ///< the state's frame it shows
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<unsigned char> rgba;
};

/// Every call of the session runs on the host's own thread, one at a time, in the
/// order asked: the toolbox and the pane are not shared between threads.
/// Requests made while an alert waits for its answer are refused (409), except
/// the state and the answer itself.
class PaneHost {
 public:
  /// Starts the thread and opens the pane on it; throws SessionError when the
  /// pane cannot run.
  PaneHost(const PaneSource& source, const PaneFolders& folders);
  /// Closes the pane (answering a waiting alert with its default item) and ends the thread.
  ~PaneHost();
  PaneHost(const PaneHost&) = delete;
  PaneHost& operator=(const PaneHost&) = delete;

  /// The state as after the last request: pane, controls, registry, journal...
  Reply State();
  /// One script line of an input (click, choose, type, paste, key, drag, hold,
  /// suspend, resume, preset, load-settings, save-settings); 400 when it does not
  /// parse or names a file outside the start folder, 409 when the pane refused it.
  Reply Input(const std::string& line);
  /// The answer (item number) to the alert on show.
  Reply Answer(int item);
  /// Frees the pane, loads the plug-in's shared object again, makes and resumes a
  /// new pane and carries the settings over.
  Reply Reload();
  /// Starts recording input lines (dropping an earlier recording) or stops.
  Reply Record(bool on);
  /// The lines recorded, as a script for the scripted mode.
  std::string Script();
  /// The pane drawn at `scale` (1 or 2) as after the last request: what changed
  /// since frame `have` when that is the frame before (nothing when it is this
  /// one), else all of it. Width 0 and no frame when it cannot be drawn.
  PictureRegion Pixels(int scale, int have);
  /// The pane drawn at `scale` as PNG; empty when it cannot be drawn now.
  std::vector<unsigned char> Png(int scale);

 private:
  struct Job;
  Reply Submit(std::function<void()> work, bool refresh = true);
  void Stop();
  Reply WaitFor(std::unique_lock<std::mutex>& lock, const std::shared_ptr<Job>& job);
  void Loop();
  SInt16 AskAlert(const std::string& kind, const std::string& text);
  void RunLine(const std::string& line);
  void DoReload();
  void Open(const std::string& loadFrom);
  /// Builds the state and the pictures after a job (pane thread).
  void Refresh();
  /// Draws the pane at `scale` as the picture of `frame` and notes what changed (pane thread).
  void Draw(int scale, int frame);
  nlohmann::json Controls() const;
  nlohmann::json Registry() const;
  std::string Resolve(const std::string& file) const;
  bool Rebuilt() const;  ///< with mutex_ held

  PaneSource source_;
  PaneFolders folders_;
  std::unique_ptr<Session> session_;
  std::string transcriptBefore_;  ///< journal of panes freed by a reload
  long long pluginTime_ = 0;      ///< modification time of the shared object loaded (mutex_)
  int copies_ = 0;
  std::vector<std::string> copiesMade_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::shared_ptr<Job>> jobs_;
  std::shared_ptr<Job> running_;
  bool stopping_ = false;
  nlohmann::json state_;
  std::vector<unsigned char> picture_;  ///< the pane drawn at pictureScale_ (RGBA)
  int pictureScale_ = 0;                ///< 0: none drawn
  int pictureFrame_ = 0;
  int pictureWidth_ = 0, pictureHeight_ = 0;
  int changedBox_[4] = {0, 0, 0, 0};  ///< x, y, width, height differing from the frame before
  int frame_ = 0;  ///< written on the pane's thread only
  int lastScale_ = 1;  ///< the scale the page asked for last
  bool alertWaiting_ = false;
  nlohmann::json alert_;
  int answer_ = 1;
  bool recording_ = false;
  std::vector<std::string> recorded_;
  std::thread thread_;
};

}  // namespace workbench
