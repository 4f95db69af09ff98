// Settings files: the registry to JSON and back, every entry checked before any is applied.
#include "Settings.h"

#include <cstdio>

#include "Session.h"
#include "velkui/items.h"

namespace workbench {

namespace {

using nlohmann::json;

const struct {
  const char* name;
  SInt16 code;
} kSizeNames[] = {{"none", velkui::kSizeNone},   {"short", velkui::kSizeShort},
                  {"long", velkui::kSizeLong},   {"float", velkui::kSizeFloat},
                  {"string", velkui::kSizeString}};

const char* SizeName(SInt16 code) {
  for (const auto& size : kSizeNames)
    if (size.code == code) return size.name;
  return nullptr;
}

std::vector<const velkui::UIObject*> Objects(const velkui::UIRegistry& registry) {
  std::vector<const velkui::UIObject*> objects;
  velkui::UIObject* object = nullptr;
  for (SInt32 index = 1; registry.objects->FetchItemAt(index, &object); ++index)
    objects.push_back(object);
  return objects;
}

std::string ObjectText(const velkui::UIObject& object) {
  unsigned char buffer[256];
  object.Get(buffer);
  return std::string(reinterpret_cast<const char*>(buffer + 1), buffer[0]);
}

[[noreturn]] void Refuse(const std::string& key, const std::string& why) {
  throw SessionError("setting '" + key + "': " + why + "; nothing applied");
}

std::string Range(const velkui::UIObject& object) {
  return std::to_string(object.min) + ".." + std::to_string(object.max);
}

/// Checks one entry's value against its object and form.
Setting CheckOne(const std::string& name, const json& entry, const velkui::UIObject& object) {
  if (!entry.is_object() || entry.size() != 1)
    Refuse(name, "the value must be one of {\"short\": n}, {\"long\": n}, {\"float\": x}, "
                 "{\"string\": \"...\"}, {\"none\": null}");
  Setting setting;
  setting.key = object.key;
  const std::string form = entry.begin().key();
  const json& value = entry.begin().value();
  bool known = false;
  for (const auto& size : kSizeNames)
    if (form == size.name) setting.sizeCode = size.code, known = true;
  if (!known) Refuse(name, "unknown size code '" + form + "'");
  if (setting.sizeCode == velkui::kSizeNone) return setting;
  if (setting.sizeCode == velkui::kSizeString) {
    if (!value.is_string()) Refuse(name, "a string value must be text");
    setting.text = value.get<std::string>();
    if (setting.text.size() > 255) Refuse(name, "the text is longer than 255 bytes");
    return setting;
  }
  if (!value.is_number()) Refuse(name, "a " + form + " value must be a number");
  const double number = value.get<double>();
  if (setting.sizeCode != velkui::kSizeFloat && number != static_cast<double>(static_cast<long long>(number)))
    Refuse(name, "a " + form + " value must be a whole number");
  const double stored = setting.sizeCode == velkui::kSizeFloat ? static_cast<SInt32>(number) : number;
  if (stored < object.min || stored > object.max)
    Refuse(name, "value " + value.dump() + " is out of range " + Range(object));
  setting.number = static_cast<SInt32>(stored);
  setting.real = static_cast<float>(number);
  return setting;
}

}  // namespace

std::string KeyName(UInt32 key) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((key >> shift) & 0xFF);
    if (c < 0x20 || c > 0x7E) {
      char hex[11];
      std::snprintf(hex, sizeof hex, "0x%08X", key);
      return hex;
    }
    text += c;
  }
  return text;
}

bool ParseKey(const std::string& text, UInt32* key) {
  if (text.size() == 4) {
    *key = 0;
    for (char c : text) *key = (*key << 8) | static_cast<unsigned char>(c);
    return true;
  }
  if (text.size() != 10 || text.compare(0, 2, "0x") != 0) return false;
  if (text.find_first_not_of("0123456789abcdefABCDEF", 2) != std::string::npos) return false;
  *key = static_cast<UInt32>(std::stoul(text.substr(2), nullptr, 16));
  return true;
}

json RegistryToJson(const velkui::UIRegistry& registry, const std::string& pane) {
  json settings = json::object();
  for (const velkui::UIObject* object : Objects(registry)) {
    const char* form = SizeName(object->sizeCode);
    if (form == nullptr) continue;  // a form no file can hold
    json value;
    if (object->sizeCode == velkui::kSizeString) value = ObjectText(*object);
    else if (object->sizeCode != velkui::kSizeNone) value = object->value;
    settings[KeyName(object->key)] = json{{form, value}};
  }
  return json{{"pane", pane}, {"settings", settings}};
}

std::string SettingsText(const json& file) {
  std::string text = "{ \"pane\": " + file.value("pane", json("")).dump() + ",\n  \"settings\": {";
  const char* separator = "\n";
  for (const auto& [key, value] : file["settings"].items()) {
    text += separator + std::string("    ") + json(key).dump() + ": " + value.dump();
    separator = ",\n";
  }
  return text + " } }\n";
}

std::vector<Setting> CheckSettings(const json& file, const velkui::UIRegistry& registry) {
  if (!file.is_object() || !file.contains("settings") || !file["settings"].is_object())
    throw SessionError("settings: no \"settings\" object; nothing applied");
  std::vector<Setting> checked;
  for (const auto& [name, entry] : file["settings"].items()) {
    UInt32 key = 0;
    if (!ParseKey(name, &key)) Refuse(name, "a key is four characters or 0x and eight hex digits");
    const velkui::UIObject* object = registry.Find(key);
    if (object == nullptr) Refuse(name, "unknown key: the pane has no such setting");
    checked.push_back(CheckOne(name, entry, *object));
  }
  return checked;
}

std::string RegistryText(const velkui::UIRegistry& registry, UInt32 key) {
  const velkui::UIObject* object = registry.Find(key);
  if (object == nullptr) throw SessionError("no registry key '" + KeyName(key) + "'");
  if (object->sizeCode == velkui::kSizeString) return "\"" + ObjectText(*object) + "\"";
  return std::to_string(object->value);
}

}  // namespace workbench
