// paneshot: builds a window from a JSON layout file and saves it as a PNG.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>

#include "toolbox/controls.h"
#include "toolbox/host.h"

namespace {

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
  std::string error;
  WindowRef window = toolbox::host::LoadLayout(layout, &error);
  if (!window) {
    std::fprintf(stderr, "paneshot: %s\n", error.c_str());
    return 1;
  }
  if (list) List(window);
  bool saved = toolbox::host::SaveWindowPNG(window, output, &error);
  toolbox::host::DestroyWindow(window);
  if (!saved) {
    std::fprintf(stderr, "paneshot: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", output.c_str());
  return 0;
}
