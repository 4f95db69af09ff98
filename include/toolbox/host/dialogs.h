// Host face of the dialog service's alerts: the answers alerts give and the
// parameter texts they would show.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolbox/types.h"

namespace toolbox {
namespace host {

/// Queues the item numbers the next alerts answer, one per alert, in order;
/// once the queue is empty alerts answer the default item 1.
TOOLBOX_EXPORT void QueueAlertAnswers(const std::vector<SInt16>& answers);
/// Asked for the answer of every alert that finds the queue empty, on the thread
/// showing the alert (which waits for it): the alert's kind ("alert", "stop",
/// "note", "caution") and its text, as journalled; answers the item number. An
/// empty function removes it, and alerts answer item 1 again.
using AlertHandler = std::function<SInt16(const std::string& kind, const std::string& text)>;
TOOLBOX_EXPORT void SetAlertHandler(AlertHandler handler);
/// Empties the answer queue.
TOOLBOX_EXPORT void ClearAlertAnswers();
/// Alerts shown since the last ResetAlerts.
TOOLBOX_EXPORT int AlertsShown();
/// The four parameter texts (^0 .. ^3) as ParamText last set them.
TOOLBOX_EXPORT std::vector<std::string> ParamTexts();
/// Clears the parameter texts, the answer queue and the count.
TOOLBOX_EXPORT void ResetAlerts();

}  // namespace host
}  // namespace toolbox
