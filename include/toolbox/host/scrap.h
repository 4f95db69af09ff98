// Host face of the scrap: what the user copied before pasting.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolbox/types.h"

namespace toolbox {
namespace host {

/// Replaces the scrap's contents with one 'TEXT' flavour holding these bytes.
TOOLBOX_EXPORT void SetScrapText(const std::string& text);
/// Adds or replaces one flavour.
TOOLBOX_EXPORT void SetScrapFlavor(FourCharCode flavor, const std::vector<uint8_t>& data);
/// The 'TEXT' flavour ("" when none).
TOOLBOX_EXPORT std::string ScrapText();
/// Empties the scrap.
TOOLBOX_EXPORT void ClearScrap();

}  // namespace host
}  // namespace toolbox
