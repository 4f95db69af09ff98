// Batch toning: a shared work list, worker threads, a progress bar, a summary line.
#include "Batch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include <unistd.h>

#include "ToolError.h"

namespace fs = std::filesystem;

namespace monx {
namespace {

using Clock = std::chrono::steady_clock;

std::string Clock2(double seconds) {
  long s = long(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}

/// The progress bar and every other line the batch prints on standard error,
/// serialised so that lines never interleave and the bar is redrawn below them.
class Reporter {
 public:
  Reporter(std::size_t total, bool showBar) : total_(total), showBar_(showBar) {}

  void Started(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    current_ = name;
    DrawBar();
  }

  void Finished() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++done_;
    DrawBar();
  }

  void Line(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    ClearBar();
    std::fprintf(stderr, "monx: %s\n", text.c_str());
    DrawBar();
  }

  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    ClearBar();
  }

  double Elapsed() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

 private:
  void ClearBar() {
    if (showBar_) std::fprintf(stderr, "\r\033[K");
  }

  void DrawBar() {
    if (!showBar_) return;
    constexpr int kWidth = 24;
    int filled = total_ ? int(kWidth * done_ / total_) : kWidth;
    std::string bar(std::size_t(filled), '#');
    bar.resize(kWidth, '-');
    double elapsed = Elapsed();
    std::string left = done_ ? Clock2(elapsed / double(done_) * double(total_ - done_)) : "?:??";
    std::string name = current_.size() > 32 ? "..." + current_.substr(current_.size() - 29) : current_;
    std::fprintf(stderr, "\r\033[K[%s] %zu/%zu  %s  %s elapsed, %s left", bar.c_str(), done_,
                 total_, name.c_str(), Clock2(elapsed).c_str(), left.c_str());
    std::fflush(stderr);
  }

  std::mutex mutex_;
  std::size_t total_;
  std::size_t done_ = 0;
  bool showBar_;
  std::string current_;
  Clock::time_point start_ = Clock::now();
};

bool IsImageName(const fs::path& path) {
  std::string name = path.filename().string();
  return !name.empty() && name[0] != '.' && FileTypeOfName(name).has_value();
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (IsImageName(it->path()) && !it->is_directory()) files.push_back(it->path().string());
  if (error) throw ToolError(kExitNoInput, folder + ": cannot list: " + error.message());
  std::sort(files.begin(), files.end());
  return files;
}

std::string OutputName(const std::string& input, const std::optional<FileType>& format) {
  fs::path path(input);
  if (!format) return path.filename().string();
  return path.stem().string() + (*format == FileType::kPng ? ".png" : ".jpg");
}

bool ShowBar(ProgressMode mode) {
  if (mode == ProgressMode::kAuto) return isatty(STDERR_FILENO) != 0;
  return mode == ProgressMode::kAlways;
}

}  // namespace

std::vector<std::string> ExpandInputs(const std::vector<std::string>& inputs) {
  std::vector<std::string> files;
  for (const std::string& input : inputs) {
    std::error_code error;
    if (fs::is_directory(input, error)) {
      auto listed = ListFolder(input);
      files.insert(files.end(), listed.begin(), listed.end());
    } else {
      files.push_back(input);  // a missing file is reported when its turn comes
    }
  }
  return files;
}

int RunBatch(const std::vector<std::string>& inputs, const std::string& folder,
             const Toner& toner, const BatchOptions& options) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder))
    throw ToolError(kExitCantCreate, folder + ": cannot make the output folder: " +
                                         (error ? error.message() : "not a folder"));
  // Two inputs with one output name would overwrite each other: the later ones fail.
  std::vector<std::string> outputs;
  std::vector<std::string> clash(inputs.size());
  std::map<std::string, std::string> firstInputOf;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    outputs.push_back((fs::path(folder) / OutputName(inputs[i], options.format)).string());
    auto [it, fresh] = firstInputOf.emplace(outputs[i], inputs[i]);
    if (!fresh) clash[i] = it->second;
  }

  Reporter reporter(inputs.size(), ShowBar(options.progress));
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> failed{0};
  auto work = [&] {
    for (std::size_t i = next++; i < inputs.size(); i = next++) {
      reporter.Started(fs::path(inputs[i]).filename().string());
      try {
        if (!clash[i].empty())
          throw ToolError(kExitUsage, inputs[i] + ": skipped, its output " + outputs[i] +
                                          " is written from " + clash[i]);
        ToneFile(inputs[i], outputs[i], toner, options.tone,
                 [&](const std::string& note) { reporter.Line("note: " + note); });
      } catch (const ToolError& e) {
        ++failed;
        reporter.Line(e.what());
      } catch (const std::exception& e) {
        ++failed;
        reporter.Line(inputs[i] + ": " + e.what());
      }
      reporter.Finished();
    }
  };
  int jobs = std::max(1, std::min<int>(options.jobs, int(inputs.size())));
  std::vector<std::thread> workers;
  for (int j = 1; j < jobs; ++j) workers.emplace_back(work);
  work();
  for (auto& worker : workers) worker.join();
  reporter.Close();

  std::size_t good = inputs.size() - failed;
  std::fprintf(stderr, "monx: toned %zu of %zu photo%s into %s in %.1f s%s\n", good,
               inputs.size(), inputs.size() == 1 ? "" : "s", folder.c_str(), reporter.Elapsed(),
               failed ? (", " + std::to_string(failed.load()) + " failed").c_str() : "");
  return failed ? kExitSomeFailed : kExitOk;
}

}  // namespace monx
