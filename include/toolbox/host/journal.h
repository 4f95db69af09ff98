// Host face of the toolbox journal: every observable side effect that has no
// state of its own (debug messages, beeps, alerts, invalidations, control draws)
// is appended here, for tests to read and the workbench to print.
#pragma once

#include <string>
#include <vector>

#include "toolbox/types.h"

namespace toolbox {
namespace host {

struct JournalEntry {
  std::string kind;  ///< "debug", "beep", "alert", "inval", "draw", ...
  std::string text;  ///< what happened, in plain words
};

/// Appends an entry. Toolbox services call this; hosts may too.
TOOLBOX_EXPORT void Record(const std::string& kind, const std::string& text);
/// A copy of every entry since the last ClearJournal, oldest first.
TOOLBOX_EXPORT std::vector<JournalEntry> Journal();
/// Entries of one kind, texts only, oldest first.
TOOLBOX_EXPORT std::vector<std::string> JournalOf(const std::string& kind);
/// The journal as text, one "kind: text" line per entry.
TOOLBOX_EXPORT std::string JournalText();
TOOLBOX_EXPORT void ClearJournal();

}  // namespace host
}  // namespace toolbox
