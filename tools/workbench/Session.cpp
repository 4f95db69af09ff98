// The session engine: loading a plug-in, its lifecycle, input delivered as a print dialog does.
#include "Session.h"

#include <dlfcn.h>

#include <filesystem>
#include <fstream>

#include "Settings.h"
#include "toolbox/host/input.h"
#include "toolbox/host/journal.h"
#include "toolbox/host/layout.h"
#include "toolbox/host/memory.h"
#include "toolbox/host/render.h"
#include "toolbox/host/resources.h"
#include "toolbox/host/scrap.h"
#include "toolbox/host/windows.h"
#include "toolbox/resources.h"
#include "velkui/interpreter.h"
#include "velkui/items.h"
#include "velkui/workbench.h"

namespace workbench {

namespace fs = std::filesystem;

namespace {

/// A path the plug-in gave: relative ones are taken from the plug-in's folder.
std::string FromPlugin(const std::string& plugin, const char* path) {
  if (path == nullptr || *path == '\0') return "";
  fs::path given(path);
  if (given.is_absolute()) return given.string();
  return (fs::absolute(plugin).parent_path() / given).lexically_normal().string();
}

const VelkuiPaneInfo* LoadEntry(void* library, const std::string& plugin) {
  auto entry = reinterpret_cast<VelkuiWorkbenchEntry>(dlsym(library, VELKUI_WORKBENCH_ENTRY));
  if (entry == nullptr)
    throw SessionError(plugin + ": no " VELKUI_WORKBENCH_ENTRY
                       " entry (see include/velkui/workbench.h)");
  const VelkuiPaneInfo* info = entry();
  if (info == nullptr || info->version != VELKUI_PANE_INFO_VERSION)
    throw SessionError(plugin + ": " VELKUI_WORKBENCH_ENTRY " describes no pane of version " +
                       std::to_string(VELKUI_PANE_INFO_VERSION));
  if (info->factory == nullptr) throw SessionError(plugin + ": the pane has no factory");
  return info;
}

struct KeyStroke {
  const char* name;
  char character;
  SInt16 keyCode;
};
const KeyStroke kKeys[] = {{"backspace", 0x08, 0x3300}, {"escape", 0x1B, 0x3500},
                         {"tab", 0x09, 0x3000},       {"return", 0x0D, 0x2400},
                         {"enter", 0x03, 0x4C00},     {"left", 0x1C, 0x7B00},
                         {"right", 0x1D, 0x7C00}};

bool ParseNumber(const std::string& text, long* number) {
  if (text.empty()) return false;
  size_t used = 0;
  try {
    *number = std::stol(text, &used);
  } catch (const std::exception&) {
    return false;
  }
  return used == text.size();
}

std::string YesNo(bool value) { return value ? "yes" : "no"; }

std::string Joined(const std::vector<long>& numbers) {
  std::string text;
  for (long n : numbers) text += (text.empty() ? "" : " ") + std::to_string(n);
  return text.empty() ? "(none)" : text;
}

}  // namespace

Session::Session(const PaneSource& source, const std::string& loadFrom) {
  try {
    const std::string& file = loadFrom.empty() ? source.plugin : loadFrom;
    library_ = dlopen(fs::absolute(file).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library_ == nullptr) throw SessionError(std::string("cannot load plug-in: ") + dlerror());
    const VelkuiPaneInfo* info = LoadEntry(library_, source.plugin);
    name_ = info->name != nullptr ? info->name : fs::path(source.plugin).stem().string();
    const std::string layout =
        source.layout.empty() ? FromPlugin(source.plugin, info->layout) : source.layout;
    const std::string resources =
        source.resources.empty() ? FromPlugin(source.plugin, info->resources) : source.resources;
    handles_ = toolbox::host::LiveHandles();
    pointers_ = toolbox::host::LivePointers();
    if (!resources.empty()) {
      if (!fs::is_directory(resources))
        throw SessionError("resource folder '" + resources + "' does not exist");
      std::string why;
      resFile_ = toolbox::host::OpenResourceFolder(resources, &why);
      if (resFile_ < 0) throw SessionError("resource folder '" + resources + "': " + why);
    }
    if (layout.empty()) throw SessionError(name_ + ": no layout file given");
    std::string why;
    window_ = toolbox::host::LoadLayout(layout, &why);
    if (window_ == nullptr) throw SessionError("layout: " + why);
    base_ = toolbox::host::ItemBase(window_);
    toolbox::host::ClearJournal();
    Note("# NewIPP");
    pane_ = velkui::NewIPP(info->factory);
    if (pane_ == nullptr) throw SessionError(name_ + ": NewIPP made no pane: the factory gave none");
    // A pane whose building threw comes back released: no registry, no items.
    if (static_cast<velkui::UISystem*>(pane_)->registry == nullptr)
      throw SessionError(name_ + ": NewIPP made no pane: its New hook (or an item's) failed");
    Note("# StartIPP");
    velkui::StartIPP(pane_);
    Note("# ResumeIPP base " + std::to_string(base_));
    velkui::ResumeIPP(pane_, base_, window_);
    shown_ = true;
  } catch (...) {
    Release();
    throw;
  }
}

Session::~Session() { Close(); }

std::string Session::Close() {
  if (closed_) return "";
  closed_ = true;
  if (pane_ != nullptr) {
    velkui::SetCurrentIPP(pane_);
    if (shown_) Note("# SuspendIPP"), velkui::SuspendIPP(pane_);
    Note("# EndIPP");
    velkui::EndIPP(pane_);
    Note("# FreeIPP");
  }
  Release();
  FlushJournal();
  const size_t handles = toolbox::host::LiveHandles(), pointers = toolbox::host::LivePointers();
  if (handles <= handles_ && pointers <= pointers_) return "";
  return std::to_string(handles - std::min(handles, handles_)) + " handles and " +
         std::to_string(pointers - std::min(pointers, pointers_)) +
         " pointer blocks still allocated after FreeIPP";
}

void Session::Release() {
  if (pane_ != nullptr) velkui::FreeIPP(pane_);
  pane_ = nullptr;
  shown_ = false;
  if (window_ != nullptr) toolbox::host::DestroyWindow(window_);
  window_ = nullptr;
  if (resFile_ > 0) CloseResFile(resFile_);
  resFile_ = 0;
  // The library stays loaded: objects of the plug-in (its vtables) may outlive
  // the pane in the toolbox's state until the process ends.
}

// ---------------------------------------------------------------- input

ControlRef Session::Find(const std::string& control) const {
  const size_t colon = control.find(':');
  long number = 0;
  if (colon != 4 || !ParseNumber(control.substr(5), &number))
    throw SessionError("'" + control + "' is no control ID (SIGN:number, e.g. MONO:3)");
  ControlRef found = toolbox::host::FindControl(window_, control.substr(0, 4), number);
  if (found == nullptr) throw SessionError("no control " + control + " in the window");
  return found;
}

void Session::BeginInput() {
  FlushJournal();
  toolbox::host::ClearJournal();
  journalTaken_ = 0;
}

SInt16 Session::Deliver(SInt16 hit) {
  if (hit == 0 || !shown_) return 0;
  Note("# hit " + std::to_string(hit) + ": ActionIPP, ThreadIPP");
  const nlohmann::json before = SaveSettings()["settings"];
  velkui::ActionIPP(pane_, &hit);
  SInt16 thread = hit;
  velkui::ThreadIPP(pane_, &thread);
  NoteChanges(before);
  return hit;
}

SInt16 Session::Click(const std::string& control) {
  ControlRef target = Find(control);
  BeginInput();
  return Deliver(toolbox::host::Click(target));
}

SInt16 Session::Choose(const std::string& control, const std::string& entry) {
  ControlRef target = Find(control);
  ControlKind kind{};
  GetControlKind(target, &kind);
  std::vector<std::string> names;
  if (kind.kind == kControlKindPopupButton) {
    for (const auto& e : toolbox::host::MenuEntries(target)) names.push_back(e.text);
  } else if (kind.kind == kControlKindRadioGroup) {
    UInt16 count = 0;
    CountSubControls(target, &count);
    for (UInt16 i = 1; i <= count; ++i) {
      ControlRef button = nullptr;
      Str255 title{};
      if (GetIndexedSubControl(target, i, &button) == noErr) GetControlTitle(button, title);
      names.emplace_back(reinterpret_cast<const char*>(title + 1), title[0]);
    }
  } else {
    throw SessionError(control + " is neither a popup button nor a radio group");
  }
  long index = 0;
  if (!ParseNumber(entry, &index)) {
    for (size_t i = 0; i < names.size() && index == 0; ++i)
      if (names[i] == entry) index = long(i) + 1;
  }
  if (index < 1 || index > long(names.size()))
    throw SessionError(control + " has no entry '" + entry + "'");
  BeginInput();
  if (kind.kind == kControlKindPopupButton)
    return Deliver(toolbox::host::ChoosePopupEntry(target, SInt16(index)));
  ControlRef button = nullptr;
  GetIndexedSubControl(target, UInt16(index), &button);
  return Deliver(toolbox::host::Click(button));
}

SInt16 Session::Type(const std::string& text) {
  BeginInput();
  SInt16 last = 0;
  for (char c : text) {  // each key is one event of its own
    const SInt16 hit = Deliver(toolbox::host::TypeKey(window_, c));
    if (hit != 0) last = hit;
  }
  return last;
}

SInt16 Session::Paste(const std::string& text) {
  BeginInput();
  toolbox::host::SetScrapText(text);
  return Deliver(toolbox::host::Paste(window_));
}

SInt16 Session::Key(const std::string& name) {
  for (const KeyStroke& key : kKeys) {
    if (name != key.name) continue;
    BeginInput();
    return Deliver(toolbox::host::TypeKey(window_, key.character, key.keyCode));
  }
  throw SessionError("unknown key '" + name +
                     "' (backspace, escape, tab, return, enter, left, right)");
}

SInt16 Session::Drag(const std::string& control, const std::vector<SInt32>& values) {
  ControlRef target = Find(control);
  BeginInput();
  return Deliver(toolbox::host::DragSlider(target, values));
}

SInt16 Session::Hold(const std::string& control, const std::string& arrow, int repeats) {
  ControlRef target = Find(control);
  if (arrow != "up" && arrow != "down") throw SessionError("an arrow is up or down");
  BeginInput();
  const ControlPartCode part = arrow == "up" ? kControlUpButtonPart : kControlDownButtonPart;
  return Deliver(toolbox::host::HoldLittleArrows(target, part, repeats));
}

void Session::Suspend() {
  if (!shown_) throw SessionError("the pane is suspended already");
  BeginInput();
  Note("# SuspendIPP");
  velkui::SuspendIPP(pane_);
  shown_ = false;
}

void Session::Resume() {
  if (shown_) throw SessionError("the pane is shown already");
  BeginInput();
  Note("# ResumeIPP base " + std::to_string(base_));
  velkui::ResumeIPP(pane_, base_, window_);
  shown_ = true;
}

void Session::Snapshot(const std::string& path) {
  std::string why;
  if (!toolbox::host::SaveWindowPNG(window_, path, &why))
    throw SessionError("snapshot " + path + ": " + why);
}

// ---------------------------------------------------------------- settings

nlohmann::json Session::SaveSettings() {
  auto* system = static_cast<velkui::UISystem*>(pane_);
  return RegistryToJson(*system->registry, name_);
}

void Session::LoadSettings(const nlohmann::json& file) {
  auto* system = static_cast<velkui::UISystem*>(pane_);
  const std::vector<Setting> settings = CheckSettings(file, *system->registry);
  BeginInput();
  velkui::SetCurrentIPP(pane_);
  for (const Setting& s : settings) {
    unsigned char text[256] = {static_cast<unsigned char>(s.text.size())};
    s.text.copy(reinterpret_cast<char*>(text + 1), s.text.size());
    SInt16 shortValue = static_cast<SInt16>(s.number);
    void* in = s.sizeCode == velkui::kSizeShort   ? static_cast<void*>(&shortValue)
               : s.sizeCode == velkui::kSizeFloat ? static_cast<void*>(const_cast<float*>(&s.real))
               : s.sizeCode == velkui::kSizeString
                   ? static_cast<void*>(text)
                   : static_cast<void*>(const_cast<SInt32*>(&s.number));
    system->SetRegistry(s.key, s.sizeCode, in);
  }
  if (!shown_) return;
  // The pane reacts as to a change by hand: hooks and dependents of each item.
  for (const Setting& s : settings) {
    const SInt16 item = system->GetItemNo(s.key);
    if (item != 0) system->Auto(SInt16(item - base_));
  }
  SInt16 none = 0;
  velkui::ThreadIPP(pane_, &none);
}

// ---------------------------------------------------------------- transcript

void Session::NoteChanges(const nlohmann::json& before) {
  std::string changes;
  const nlohmann::json after = SaveSettings()["settings"];
  for (const auto& [key, value] : after.items()) {
    const std::string now = value.begin().value().dump();
    const std::string was = before.contains(key) ? before[key].begin().value().dump() : "(none)";
    if (now != was) changes += " " + key + " " + was + "->" + now;
  }
  Note("# registry:" + (changes.empty() ? std::string(" unchanged") : changes));
}

void Session::Note(const std::string& line) {
  FlushJournal();
  transcript_.push_back(line);
}

void Session::FlushJournal() {
  const auto journal = toolbox::host::Journal();
  if (journal.size() < journalTaken_) journalTaken_ = 0;  // cleared by someone else
  for (size_t i = journalTaken_; i < journal.size(); ++i)
    transcript_.push_back("  " + journal[i].kind + ": " + journal[i].text);
  journalTaken_ = journal.size();
}

std::string Session::Transcript() {
  FlushJournal();
  std::string text;
  for (const auto& line : transcript_) text += line + "\n";
  return text;
}

// ---------------------------------------------------------------- expectations

std::optional<Mismatch> Session::Check(const Expectation& e) {
  if (e.kind == "registry") {
    UInt32 key = 0;
    if (!ParseKey(e.args.at(0), &key)) throw SessionError("'" + e.args[0] + "' is no key");
    auto* system = static_cast<velkui::UISystem*>(pane_);
    const std::string found = RegistryText(*system->registry, key);
    const std::string& want = e.args.at(1);
    const bool quoted = found.size() >= 2 && found.front() == '"';
    if (found == want || (quoted && found.substr(1, found.size() - 2) == want))
      return std::nullopt;
    return Mismatch{want, found};
  }
  if (e.kind == "snapshot") return CheckSnapshot(e.args.at(0));
  if (e.kind == "refused") return CheckRefused(e);
  if (e.kind == "beep" || e.kind == "no-beep" || e.kind == "alert" || e.kind == "no-alert")
    return CheckJournal(e);
  return CheckControl(e);
}

std::optional<Mismatch> Session::CheckControl(const Expectation& e) {
  ControlRef control = Find(e.args.at(0));
  std::string found, want = e.args.size() > 1 ? e.args[1] : "";
  if (e.kind == "value") {
    found = std::to_string(GetControl32BitValue(control));
  } else if (e.kind == "text") {
    found = toolbox::host::ControlText(control);
  } else if (e.kind == "visible") {
    found = YesNo(IsControlVisible(control));
  } else if (e.kind == "active") {
    found = YesNo(IsControlActive(control));
  } else if (e.kind == "menu") {
    std::vector<long> entries, wanted;
    const auto menu = toolbox::host::MenuEntries(control);
    for (size_t i = 0; i < menu.size(); ++i)
      if (menu[i].enabled && !menu[i].hidden) entries.push_back(long(i) + 1);
    for (size_t i = 1; i < e.args.size(); ++i) {
      long n = 0;
      if (!ParseNumber(e.args[i], &n)) throw SessionError("'" + e.args[i] + "' is no entry number");
      wanted.push_back(n);
    }
    found = Joined(entries);
    want = Joined(wanted);
  } else {
    throw SessionError("unknown expectation '" + e.kind + "'");
  }
  if (found == want) return std::nullopt;
  return Mismatch{want, found};
}

std::optional<Mismatch> Session::CheckJournal(const Expectation& e) {
  const bool beep = e.kind == "beep" || e.kind == "no-beep";
  const auto entries = toolbox::host::JournalOf(beep ? "beep" : "alert");
  if (e.kind == "no-beep" || e.kind == "no-alert") {
    if (entries.empty()) return std::nullopt;
    return Mismatch{"none", std::to_string(entries.size()) + ": " + entries.front()};
  }
  if (beep) {
    long want = 0;
    if (!e.args.empty() && !ParseNumber(e.args[0], &want))
      throw SessionError("'" + e.args[0] + "' is no count");
    const bool ok = e.args.empty() ? !entries.empty() : long(entries.size()) == want;
    if (ok) return std::nullopt;
    return Mismatch{e.args.empty() ? "a beep" : e.args[0] + " beeps",
                    std::to_string(entries.size()) + " beeps"};
  }
  for (const auto& text : entries)
    if (text.find(e.args.at(0)) != std::string::npos) return std::nullopt;
  return Mismatch{"an alert with \"" + e.args[0] + "\"",
                  entries.empty() ? "no alert" : "alert \"" + entries.back() + "\""};
}

std::optional<Mismatch> Session::CheckRefused(const Expectation& e) {
  std::ifstream in(e.args.at(0));
  if (!in) throw SessionError("cannot read settings file " + e.args[0]);
  nlohmann::json file;
  try {
    file = nlohmann::json::parse(in);
  } catch (const nlohmann::json::exception& error) {
    throw SessionError(e.args[0] + ": not JSON: " + error.what());
  }
  try {
    LoadSettings(file);
  } catch (const SessionError& refusal) {
    const std::string why = refusal.what();
    if (why.find(e.args.at(1)) != std::string::npos) return std::nullopt;
    return Mismatch{"refused with \"" + e.args[1] + "\"", "refused: " + why};
  }
  return Mismatch{"refused with \"" + e.args[1] + "\"", "applied"};
}

}  // namespace workbench
