// Host face of the dialog service's alerts: the answers alerts give and the
// parameter texts they would show.
#pragma once

#include <string>
#include <vector>

#include "toolbox/types.h"

namespace toolbox {
namespace host {

/// Queues the item numbers the next alerts answer, one per alert, in order;
/// once the queue is empty alerts answer the default item 1.
TOOLBOX_EXPORT void QueueAlertAnswers(const std::vector<SInt16>& answers);
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
