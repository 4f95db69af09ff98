// Settings files: a pane's registry as JSON, checked as a whole before any of it is applied.
//
//   { "pane": "Monochrome photo",
//     "settings": { "papr": {"short": 2}, "tone": {"long": 180},
//                   "0x00000101": {"string": "My paper"} } }
//
// Keys are their four characters when all are printable, else "0x" and eight
// hexadecimal digits. Each value names its size code: "none" (null),
// "short", "long", "float" (numbers) or "string" (at most 255 bytes).
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "toolbox/types.h"

namespace velkui {
class UIRegistry;
}

namespace workbench {

/// "qual" for 'qual'; "0x00000001" when a byte is not printable.
std::string KeyName(UInt32 key);
/// Back from either form; false for anything else.
bool ParseKey(const std::string& text, UInt32* key);

/// One setting, checked and ready to write with SetRegistry.
struct Setting {
  UInt32 key = 0;
  SInt16 sizeCode = 0;
  SInt32 number = 0;   ///< short and long
  float real = 0;      ///< float
  std::string text;    ///< string, without its length byte
};

/// Every object of the registry (keys in alphabetical order).
nlohmann::json RegistryToJson(const velkui::UIRegistry& registry, const std::string& pane);
/// A settings file's text: one line per setting.
std::string SettingsText(const nlohmann::json& file);
/// Checks every entry against the registry: the key must exist there, the value
/// fit its form and lie within the object's range. Throws SessionError naming
/// the first key refused.
std::vector<Setting> CheckSettings(const nlohmann::json& file, const velkui::UIRegistry& registry);
/// The registry value of `key` as text: a number, or the string in quotes.
std::string RegistryText(const velkui::UIRegistry& registry, UInt32 key);

}  // namespace workbench
