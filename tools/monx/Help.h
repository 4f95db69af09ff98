// The text of `monx --help` and `monx --list-presets`.
#pragma once

#include <string>

namespace monx {

/// The manual page, option list and preset names taken from the field and preset tables.
std::string ManualText();

/// One line per preset with all nine values and a description.
std::string PresetTable();

}  // namespace monx
