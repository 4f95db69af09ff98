// The workbench's entry point of the sample quality pane: its factory, layout and resources.
#include "QualityPane.h"
#include "velkui/workbench.h"

VELKUI_WORKBENCH_PANE(const VelkuiPaneInfo*) VelkuiWorkbenchPane(void) {
  static const VelkuiPaneInfo info = {VELKUI_PANE_INFO_VERSION, "Print quality",
                                      &example::MakeQualityPane, "quality.json", nullptr};
  return &info;
}
