// Alerts as the host drives them: queued answers, the count shown, the texts.
#include "toolbox/host/dialogs.h"

#include "core/DialogState.h"

#include <utility>

namespace toolbox {
using internal::AlertState;
using internal::TheAlerts;

namespace host {

void QueueAlertAnswers(const std::vector<SInt16>& answers) {
  AlertState& s = TheAlerts();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.answers.insert(s.answers.end(), answers.begin(), answers.end());
}

void SetAlertHandler(AlertHandler handler) {
  AlertState& s = TheAlerts();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.handler = std::move(handler);
}

void ClearAlertAnswers() {
  AlertState& s = TheAlerts();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.answers.clear();
}

int AlertsShown() {
  AlertState& s = TheAlerts();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.shown;
}

std::vector<std::string> ParamTexts() {
  AlertState& s = TheAlerts();
  std::lock_guard<std::mutex> lock(s.mutex);
  return std::vector<std::string>(s.params, s.params + 4);
}

void ResetAlerts() {
  AlertState& s = TheAlerts();
  std::lock_guard<std::mutex> lock(s.mutex);
  for (std::string& p : s.params) p.clear();
  s.answers.clear();
  s.shown = 0;
}

}  // namespace host
}  // namespace toolbox
