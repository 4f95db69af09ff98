// Host face of layout files: builds a window and its controls from JSON.
#include "toolbox/host/layout.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "toolbox/host/render.h"
#include "toolbox/host/windows.h"
#include "toolbox/memory.h"

using nlohmann::json;

namespace toolbox {
namespace host {
namespace {

/// A layout mistake, with where it is ("controls[3].bounds").
struct LayoutError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

template <class T>
T Number(const json& node, const char* key, T fallback, const std::string& where) {
  if (!node.contains(key)) return fallback;
  const json& v = node.at(key);
  if (!v.is_number_integer()) throw LayoutError(where + "." + key + ": expected an integer");
  long long n = v.get<long long>();
  if (n < std::numeric_limits<T>::min() || n > std::numeric_limits<T>::max())
    throw LayoutError(where + "." + key + ": out of range");
  return T(n);
}

bool Flag(const json& node, const char* key, bool fallback, const std::string& where) {
  if (!node.contains(key)) return fallback;
  if (!node.at(key).is_boolean()) throw LayoutError(where + "." + key + ": expected true or false");
  return node.at(key).get<bool>();
}

std::string Text(const json& node, const char* key, const std::string& where) {
  if (!node.contains(key)) return "";
  if (!node.at(key).is_string()) throw LayoutError(where + "." + key + ": expected a string");
  return node.at(key).get<std::string>();
}

OSType Code(const std::string& text, const std::string& where) {
  OSType code = KindCode(text);
  if (!code) throw LayoutError(where + ": \"" + text + "\" is not four characters");
  return code;
}

ControlID ParseID(const json& node, const std::string& where) {
  if (!node.contains("id")) return ControlID{0, 0};
  const json& id = node.at("id");
  if (id.is_string()) {
    std::string s = id.get<std::string>();
    size_t colon = s.find(':');
    if (colon != 4) throw LayoutError(where + ".id: expected \"SIGN:number\"");
    try {
      size_t used = 0;
      long n = std::stol(s.substr(5), &used);
      if (used != s.size() - 5) throw std::invalid_argument("trailing");
      return ControlID{Code(s.substr(0, 4), where + ".id"), SInt32(n)};
    } catch (const std::logic_error&) {
      throw LayoutError(where + ".id: expected \"SIGN:number\"");
    }
  }
  if (id.is_object())
    return ControlID{Code(Text(id, "signature", where + ".id"), where + ".id.signature"),
                     Number<SInt32>(id, "id", 0, where + ".id")};
  throw LayoutError(where + ".id: expected \"SIGN:number\" or {signature, id}");
}

Rect ParseBounds(const json& node, const std::string& where) {
  if (!node.contains("bounds") || !node.at("bounds").is_array() || node.at("bounds").size() != 4)
    throw LayoutError(where + ".bounds: expected [top, left, bottom, right]");
  SInt16 v[4];
  for (size_t i = 0; i < 4; ++i) {
    const json& n = node.at("bounds")[i];
    if (!n.is_number_integer() || n.get<long long>() < -32768 || n.get<long long>() > 32767)
      throw LayoutError(where + ".bounds[" + std::to_string(i) + "]: expected a 16-bit integer");
    v[i] = SInt16(n.get<long long>());
  }
  return Rect{v[0], v[1], v[2], v[3]};
}

std::vector<MenuEntrySpec> ParseMenu(const json& node, const std::string& where) {
  std::vector<MenuEntrySpec> entries;
  if (!node.contains("menu")) return entries;
  if (!node.at("menu").is_array()) throw LayoutError(where + ".menu: expected a list");
  for (size_t i = 0; i < node.at("menu").size(); ++i) {
    const json& e = node.at("menu")[i];
    std::string at = where + ".menu[" + std::to_string(i) + "]";
    if (e.is_string()) {
      entries.push_back({e.get<std::string>(), true, false});
    } else if (e.is_object()) {
      entries.push_back({Text(e, "text", at), Flag(e, "enabled", true, at), Flag(e, "hidden", false, at)});
    } else {
      throw LayoutError(at + ": expected a string or {text, enabled, hidden}");
    }
  }
  return entries;
}

/// Holds a picture until a control takes it over.
struct PictureHolder {
  PicHandle picture = nullptr;
  ~PictureHolder() {
    if (picture) DisposeHandle(reinterpret_cast<Handle>(picture));
  }
};

void AddControls(WindowRef window, ControlRef parent, const json& list, const std::string& where,
                 const std::string& baseDir);

void AddOne(WindowRef window, ControlRef parent, const json& node, const std::string& where,
            const std::string& baseDir) {
  if (!node.is_object()) throw LayoutError(where + ": expected an object");
  ControlSpec spec;
  if (!node.contains("kind")) throw LayoutError(where + ".kind: missing");
  spec.kind = Code(Text(node, "kind", where), where + ".kind");
  spec.id = ParseID(node, where);
  spec.bounds = ParseBounds(node, where);
  spec.title = Text(node, "title", where);
  spec.value = Number<SInt32>(node, "value", 0, where);
  spec.minimum = Number<SInt32>(node, "min", 0, where);
  spec.maximum = Number<SInt32>(node, "max", 0, where);
  spec.visible = Flag(node, "visible", true, where);
  spec.active = Flag(node, "active", true, where);
  spec.hilite = Number<SInt16>(node, "hilite", 0, where);
  spec.item = Number<SInt16>(node, "item", 0, where);
  spec.text = Text(node, "text", where);
  spec.titleWidth = Number<SInt16>(node, "titleWidth", 0, where);
  spec.menu = ParseMenu(node, where);
  spec.pictureResource = Number<SInt16>(node, "pictureResource", 0, where);
  PictureHolder holder;
  if (node.contains("picture")) {
    std::string path = Text(node, "picture", where);
    if (!path.empty() && path[0] != '/' && !baseDir.empty()) path = baseDir + "/" + path;
    double dpi = node.contains("dpi") && node.at("dpi").is_number() ? node.at("dpi").get<double>() : 0;
    std::string why;
    holder.picture = MakePictureFromPNG(path, dpi, &why);
    if (!holder.picture) throw LayoutError(where + ".picture: " + why);
    spec.picture = holder.picture;
  }
  ControlRef control = AddControl(window, parent, spec);
  if (!control) throw LayoutError(where + ": cannot be embedded here");
  if (spec.kind == kControlKindImageWell) holder.picture = nullptr;  // the control owns it now
  if (node.contains("controls")) AddControls(window, control, node.at("controls"), where + ".controls", baseDir);
}

void AddControls(WindowRef window, ControlRef parent, const json& list, const std::string& where,
                 const std::string& baseDir) {
  if (!list.is_array()) throw LayoutError(where + ": expected a list");
  for (size_t i = 0; i < list.size(); ++i)
    AddOne(window, parent, list[i], where + "[" + std::to_string(i) + "]", baseDir);
}

WindowRef Build(const json& doc, const std::string& baseDir) {
  if (!doc.is_object() || !doc.contains("window") || !doc.at("window").is_object())
    throw LayoutError("window: missing");
  const json& w = doc.at("window");
  SInt16 width = Number<SInt16>(w, "width", 0, "window");
  SInt16 height = Number<SInt16>(w, "height", 0, "window");
  WindowRef window = MakeWindow(Text(w, "title", "window"), width, height);
  if (!window) throw LayoutError("window: width and height must be 1 to 8192");
  try {
    SetItemBase(window, Number<SInt16>(w, "base", 0, "window"));
    if (doc.contains("controls")) AddControls(window, nullptr, doc.at("controls"), "controls", baseDir);
  } catch (...) {
    DestroyWindow(window);
    throw;
  }
  return window;
}

}  // namespace

WindowRef LoadLayoutText(const std::string& text, const std::string& baseDir, std::string* error) {
  try {
    return Build(json::parse(text), baseDir);
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return nullptr;
  }
}

WindowRef LoadLayout(const std::string& path, std::string* error) {
  std::ifstream in(path);
  if (!in) {
    if (error) *error = path + ": cannot open";
    return nullptr;
  }
  std::stringstream text;
  text << in.rdbuf();
  size_t slash = path.find_last_of('/');
  std::string baseDir = slash == std::string::npos ? "." : path.substr(0, slash);
  std::string why;
  WindowRef window = LoadLayoutText(text.str(), baseDir, &why);
  if (!window && error) *error = path + ": " + why;
  return window;
}

}  // namespace host
}  // namespace toolbox
