// The workbench's entry point of the monochrome-photo pane.
#include "MonochromePane.h"
#include "velkui/workbench.h"

VELKUI_WORKBENCH_PANE(const VelkuiPaneInfo*) VelkuiWorkbenchPane(void) {
  static const VelkuiPaneInfo info = {VELKUI_PANE_INFO_VERSION, "Monochrome photo",
                                      &monochrome::MakeMonochromePane, "monochrome.json",
                                      "resources"};
  return &info;
}
