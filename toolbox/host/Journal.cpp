// The toolbox journal: a process-wide, thread-safe list of side effects.
#include "toolbox/host/journal.h"

#include <mutex>

namespace toolbox {
namespace host {
namespace {

struct JournalState {
  std::mutex mutex;
  std::vector<JournalEntry> entries;
};

JournalState& State() {
  static JournalState* state = new JournalState;  // lives until exit, never destroyed
  return *state;
}

}  // namespace

void Record(const std::string& kind, const std::string& text) {
  JournalState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.entries.push_back({kind, text});
}

std::vector<JournalEntry> Journal() {
  JournalState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.entries;
}

std::vector<std::string> JournalOf(const std::string& kind) {
  std::vector<std::string> texts;
  for (const JournalEntry& e : Journal())
    if (e.kind == kind) texts.push_back(e.text);
  return texts;
}

std::string JournalText() {
  std::string out;
  for (const JournalEntry& e : Journal()) out += e.kind + ": " + e.text + "\n";
  return out;
}

void ClearJournal() {
  JournalState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.entries.clear();
}

}  // namespace host
}  // namespace toolbox
