// Temporary-file-and-rename output, with removal of leftovers on failure or signal.
#include "AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

#include "ToolError.h"

namespace monx {
namespace {

// Temporary files being written, for the signal handler: it may only read these
// pointers and call unlink(), which is async-signal-safe.
constexpr int kSlots = 64;
std::atomic<const char*> gTempFiles[kSlots];

int Register(const char* path) {
  for (int i = 0; i < kSlots; ++i) {
    const char* expected = nullptr;
    if (gTempFiles[i].compare_exchange_strong(expected, path)) return i;
  }
  return -1;  // more writes at once than slots: still correct, just not cleaned on a signal
}

void Unregister(int slot) {
  if (slot >= 0) gTempFiles[slot].store(nullptr);
}

extern "C" void RemoveTempFilesAndDie(int sig) {
  for (auto& slot : gTempFiles) {
    const char* path = slot.load();
    if (path) unlink(path);
  }
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

// The permissions an ordinary new file would get: 0666 less the umask.
mode_t NewFileMode() {
  static std::once_flag once;
  static mode_t mode = 0644;
  std::call_once(once, [] {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  });
  return mode;
}

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {
  NewFileMode();
  // Shortened so that the temporary name stays within the 255-byte name limit.
  temp_ = FolderOf(target_) + "." + NameOf(target_).substr(0, 200) + ".monx-XXXXXX";
  int fd = mkstemp(temp_.data());
  if (fd < 0)
    throw ToolError(kExitCantCreate, target_ + ": cannot write: " + std::strerror(errno));
  slot_ = Register(temp_.c_str());
  file_ = fdopen(fd, "wb");
  if (!file_) {
    int error = errno;
    close(fd);
    Abandon();
    throw ToolError(kExitCantCreate, target_ + ": cannot write: " + std::strerror(error));
  }
}

AtomicFile::~AtomicFile() {
  if (file_ || slot_ >= 0) Abandon();
}

void AtomicFile::Abandon() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  unlink(temp_.c_str());
  Unregister(slot_);
  slot_ = -1;
}

void AtomicFile::Commit() {
  int error = 0;
  errno = 0;
  if (std::fflush(file_) != 0 || std::ferror(file_)) error = errno ? errno : EIO;
  if (!error && fchmod(fileno(file_), NewFileMode()) != 0) error = errno;
  if (std::fclose(file_) != 0 && !error) error = errno;
  file_ = nullptr;
  if (!error && std::rename(temp_.c_str(), target_.c_str()) != 0) error = errno;
  if (error) {
    Abandon();
    throw ToolError(kExitCantCreate, target_ + ": cannot write: " + std::strerror(error));
  }
  Unregister(slot_);
  slot_ = -1;
}

void AtomicFile::InstallSignalCleanup() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) std::signal(sig, RemoveTempFilesAndDie);
  // Past a file size limit, a write then fails with EFBIG and is reported like
  // any other write error, instead of the signal killing the process mid-file.
  std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace monx
