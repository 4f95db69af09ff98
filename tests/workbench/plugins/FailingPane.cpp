// A plug-in whose pane cannot be built: its New hook throws, so NewIPP gives no pane.
#include "velkui/interpreter.h"
#include "velkui/workbench.h"

namespace {

class FailingPane : public velkui::UISystem {
 public:
  void New() override { throw LException(-108); }
};

void* MakeFailingPane() { return static_cast<velkui::UISystem*>(new FailingPane); }

}  // namespace

VELKUI_WORKBENCH_PANE(const VelkuiPaneInfo*) VelkuiWorkbenchPane(void) {
  static const VelkuiPaneInfo info = {VELKUI_PANE_INFO_VERSION, "Failing", &MakeFailingPane,
                                      "failing.json", nullptr};
  return &info;
}
