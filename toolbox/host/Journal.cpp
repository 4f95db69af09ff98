// The journal as the host reads it: entries, entries of one kind, plain text.
#include "toolbox/host/journal.h"

#include "core/Journal.h"

namespace toolbox {
namespace host {

void Record(const std::string& kind, const std::string& text) { internal::Record(kind, text); }

std::vector<JournalEntry> Journal() {
  std::vector<JournalEntry> out;
  for (auto& [kind, text] : internal::JournalEntries()) out.push_back({kind, text});
  return out;
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

void ClearJournal() { internal::ClearJournalEntries(); }

}  // namespace host
}  // namespace toolbox
