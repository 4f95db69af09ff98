// Batch toning: a shared work list, worker threads, a progress bar, a summary line.
#include "Batch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <mutex>
#include <thread>

#include <sys/ioctl.h>
#include <sys/stat.h>
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
    double elapsed = Elapsed();
    std::string left = done_ ? Clock2(elapsed / double(done_) * double(total_ - done_)) : "?:??";
    std::string count = " " + std::to_string(done_) + "/" + std::to_string(total_) + "  ";
    std::string tail = "  " + Clock2(elapsed) + " elapsed, " + left + " left";
    // The line must fit the terminal: a wrapped line could not be redrawn in place.
    // The bar gives up width first, down to 8, so that 16 characters of the name show.
    std::size_t room = TerminalColumns() - 1;
    std::size_t fixed = count.size() + tail.size() + 2;
    std::size_t width = room > fixed + 16 ? std::min<std::size_t>(24, room - fixed - 16) : 0;
    width = std::max<std::size_t>(width, 8);
    std::size_t filled = total_ ? width * done_ / total_ : width;
    std::string bar = "[" + std::string(filled, '#') + std::string(width - filled, '-') + "]";
    std::size_t used = bar.size() + count.size() + tail.size();
    std::size_t nameRoom = room > used ? room - used : 0;
    std::string name = current_;
    if (name.size() > nameRoom) {
      std::size_t from = nameRoom > 8 ? name.size() - (nameRoom - 3) : name.size();
      while (from < name.size() && (static_cast<unsigned char>(name[from]) & 0xC0) == 0x80) ++from;
      name = from < name.size() ? "..." + name.substr(from) : std::string();
    }
    std::string line = bar + count + name + tail;
    if (line.size() > room) line.resize(room);
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
  }

  /// Width of the terminal on standard error (80 when it does not say).
  static std::size_t TerminalColumns() {
    winsize size {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col >= 20) return size.ws_col;
    return 80;
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

/// Device and inode of an existing file, the identity behind all its names.
std::optional<std::pair<dev_t, ino_t>> IdentityOf(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return std::make_pair(st.st_dev, st.st_ino);
}

/// For each output, the input other than its own that it names (the same file
/// under any name), or "" when there is none.
std::vector<std::string> OutputsOverInputs(const std::vector<std::string>& inputs,
                                           const std::vector<std::string>& outputs) {
  std::map<std::pair<dev_t, ino_t>, std::size_t> inputAt;
  for (std::size_t i = 0; i < inputs.size(); ++i)
    if (auto id = IdentityOf(inputs[i])) inputAt.emplace(*id, i);
  std::vector<std::string> found(outputs.size());
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    auto id = IdentityOf(outputs[i]);
    auto it = id ? inputAt.find(*id) : inputAt.end();
    if (it != inputAt.end() && IdentityOf(inputs[i]) != id)
      found[i] = inputs[it->second];
  }
  return found;
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

  // An output that is another input would destroy a photo not yet toned: that one fails.
  std::vector<std::string> overwrites = OutputsOverInputs(inputs, outputs);

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
        if (!overwrites[i].empty())
          throw ToolError(kExitUsage, inputs[i] + ": skipped, its output " + outputs[i] +
                                          " is the input " + overwrites[i]);
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
