// The journal writer: toolbox services append what happened (beeps, alerts,
// draws, invalidations); the host face reads it back (not installed).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace toolbox {
namespace internal {

/// Appends one entry of `kind` ("debug", "beep", "alert", "inval", "draw" ...).
void Record(const std::string& kind, const std::string& text);
/// Every entry as (kind, text), oldest first.
std::vector<std::pair<std::string, std::string>> JournalEntries();
void ClearJournalEntries();

}  // namespace internal
}  // namespace toolbox
