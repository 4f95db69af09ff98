// paneshot: builds a window from a JSON layout file and saves it as a PNG.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "toolbox/controls.h"
#include "toolbox/host.h"

namespace {

/// The control kinds a window can hold and draw.
bool IsKnownKind(const std::string& kind) {
  static const char* const kKinds[] = {"cbox", "rdio", "popb", "etxt", "eutx", "cdef", "larr",
                                       "bevl", "sldr", "rgrp", "stxt", "upan", "well", "push"};
  return std::any_of(std::begin(kKinds), std::end(kKinds), [&](const char* k) { return kind == k; });
}

/// Reads a JSON string starting at the quote at `at`; returns its text (escapes
/// kept as written) and leaves `at` after the closing quote.
std::string StringAt(const std::string& text, std::size_t& at) {
  std::string value;
  for (++at; at < text.size() && text[at] != '"'; ++at) {
    if (text[at] == '\\' && at + 1 < text.size()) value += text[at++];
    value += text[at];
  }
  ++at;
  return value;
}

/// "LAYOUT:LINE: unknown control kind "xxxx"" for the first "kind" value that is
/// no control kind, or empty. The layout reader itself takes any four characters
/// and would draw the control as a labelled box.
std::string UnknownKind(const std::string& path, const std::string& text) {
  int line = 1;
  for (std::size_t at = 0; at < text.size();) {
    if (text[at] == '\n') ++line;
    if (text[at] != '"') {
      ++at;
      continue;
    }
    std::string key = StringAt(text, at);
    std::size_t next = at;
    while (next < text.size() && std::isspace(static_cast<unsigned char>(text[next]))) ++next;
    if (key != "kind" || next >= text.size() || text[next] != ':') continue;
    ++next;
    while (next < text.size() && std::isspace(static_cast<unsigned char>(text[next]))) {
      if (text[next] == '\n') ++line;
      ++next;
    }
    if (next >= text.size() || text[next] != '"') continue;
    at = next;
    std::string kind = StringAt(text, at);
    if (!IsKnownKind(kind))
      return path + ":" + std::to_string(line) + ": unknown control kind \"" + kind +
             "\" (known: cbox rdio popb etxt eutx cdef larr bevl sldr rgrp stxt upan well push)";
  }
  return "";
}

bool EndsWithPng(const std::string& name) {
  std::string tail = name.size() >= 4 ? name.substr(name.size() - 4) : name;
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return tail == ".png";
}

/// Why `path` cannot be written, from the system, or empty when it can be opened.
std::string WriteProblem(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (!file) return std::strerror(errno);
  std::fclose(file);
  return "";
}

/// Lists the window's controls: kind, ID, item number, value and state.
void List(WindowRef window) {
  for (ControlRef c : toolbox::host::Controls(window)) {
    ControlKind kind{};
    ControlID id{};
    GetControlKind(c, &kind);
    GetControlID(c, &id);
    std::string name = id.signature == 0 ? std::string("-")
                                         : toolbox::host::KindName(id.signature) + ":" +
                                               std::to_string(id.id);
    std::printf("%s %-10s item %3d  value %d (%d..%d)%s%s\n",
                toolbox::host::KindName(kind.kind).c_str(), name.c_str(),
                int(toolbox::host::ItemNumber(c)), int(GetControl32BitValue(c)),
                int(GetControl32BitMinimum(c)), int(GetControl32BitMaximum(c)),
                IsControlVisible(c) ? "" : " hidden", IsControlEnabled(c) ? "" : " dimmed");
  }
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Builds a window from a layout file and saves it as PNG."};
  std::string layout, output;
  bool list = false;
  app.add_option("layout", layout, "layout file (JSON)")->required();
  app.add_option("-o,--output", output, "PNG file to write (default: the layout's name + .png)");
  app.add_flag("-l,--list", list, "print the controls with their state");
  CLI11_PARSE(app, argc, argv);
  if (output.empty()) {
    size_t dot = layout.find_last_of('.');
    output = (dot == std::string::npos ? layout : layout.substr(0, dot)) + ".png";
  }
  if (!EndsWithPng(output)) {
    std::fprintf(stderr, "paneshot: %s: paneshot writes PNG only; the name must end in .png\n",
                 output.c_str());
    return 2;
  }
  std::ifstream in(layout);
  if (!in) {
    std::fprintf(stderr, "paneshot: %s: cannot read: %s\n", layout.c_str(), std::strerror(errno));
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string unknown = UnknownKind(layout, text.str());
  if (!unknown.empty()) {
    std::fprintf(stderr, "paneshot: %s\n", unknown.c_str());
    return 1;
  }
  std::string error;
  WindowRef window = toolbox::host::LoadLayout(layout, &error);
  if (!window) {
    std::fprintf(stderr, "paneshot: %s\n", error.c_str());
    return 1;
  }
  if (list) List(window);
  errno = 0;
  bool saved = toolbox::host::SaveWindowPNG(window, output, &error);
  int writeError = errno;
  toolbox::host::DestroyWindow(window);
  if (!saved) {
    // The drawing library says only that the write failed; the system says why.
    std::string why = WriteProblem(output);
    if (why.empty() && writeError != 0) why = std::strerror(writeError);
    std::fprintf(stderr, "paneshot: %s: cannot write: %s\n", output.c_str(),
                 why.empty() ? error.c_str() : why.c_str());
    return 1;
  }
  std::printf("%s\n", output.c_str());
  return 0;
}
