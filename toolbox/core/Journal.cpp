// The journal writer: a process-wide, thread-safe list of side effects.
#include "core/Journal.h"

#include <mutex>

namespace toolbox {
namespace internal {
namespace {

struct JournalState {
  std::mutex mutex;
  std::vector<std::pair<std::string, std::string>> entries;
};

JournalState& State() {
  static JournalState* state = new JournalState;  // lives until exit, never destroyed
  return *state;
}

}  // namespace

void Record(const std::string& kind, const std::string& text) {
  JournalState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.entries.emplace_back(kind, text);
}

std::vector<std::pair<std::string, std::string>> JournalEntries() {
  JournalState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.entries;
}

void ClearJournalEntries() {
  JournalState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.entries.clear();
}

}  // namespace internal
}  // namespace toolbox
