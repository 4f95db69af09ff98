// An output file written under a temporary name in the same folder and renamed into place.
#pragma once

#include <cstdio>
#include <string>

namespace monx {

/// Until Commit() succeeds the target is untouched; a failed or abandoned write
/// removes its temporary file (also when the process is interrupted by a signal).
class AtomicFile {
 public:
  /// Creates the temporary file beside `target`; throws ToolError (cannot create).
  explicit AtomicFile(std::string target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  std::FILE* file() const { return file_; }
  /// Flushes, closes and renames the temporary file onto the target; throws ToolError.
  void Commit();

  /// Removes temporary files of unfinished writes when SIGINT, SIGTERM or SIGHUP arrives;
  /// ignores SIGXFSZ so that exceeding a file size limit is an ordinary write error.
  static void InstallSignalCleanup();

 private:
  void Abandon();

  std::string target_;
  std::string temp_;
  std::FILE* file_ = nullptr;
  int slot_ = -1;
};

}  // namespace monx
