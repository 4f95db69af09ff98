// Dialog service, alert part: parameter texts, alerts recorded in the journal
// with their texts, and answers the host chooses.
#include "toolbox/dialogs.h"

#include <deque>
#include <mutex>
#include <string>

#include "core/DialogState.h"
#include "core/Journal.h"
#include "core/ResourceState.h"
#include "core/Strings.h"

using toolbox::internal::AlertState;

AlertState& toolbox::internal::TheAlerts() {
  static AlertState* state = new AlertState;  // lives until exit, never destroyed
  return *state;
}

namespace {

/// The alert's text with ^0..^3 replaced; without an 'ALRT' resource the four
/// texts quoted and listed.
std::string AlertText(SInt16 alertID, const std::string (&params)[4]) {
  std::vector<uint8_t> data;
  if (!toolbox::internal::PeekResourceData(FOUR_CHAR_CODE("ALRT"), alertID, &data)) {
    std::string list;
    for (int i = 0; i < 4; ++i) list += (i ? ", \"" : "\"") + params[i] + "\"";
    return list;
  }
  std::string text;
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] == '^' && i + 1 < data.size() && data[i + 1] >= '0' && data[i + 1] <= '3') {
      text += params[data[++i] - '0'];
      continue;
    }
    text.push_back(char(data[i]));
  }
  return text;
}

DialogItemIndex ShowAlert(const char* kind, SInt16 alertID) {
  AlertState& s = toolbox::internal::TheAlerts();
  std::string text;
  DialogItemIndex answer = kAlertItemOK;
  std::function<SInt16(const std::string&, const std::string&)> ask;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    text = AlertText(alertID, s.params);
    if (!s.answers.empty()) {
      answer = s.answers.front();
      s.answers.pop_front();
    } else {
      ask = s.handler;
    }
    ++s.shown;
  }
  toolbox::internal::Record("alert", std::string(kind) + " " + std::to_string(alertID) + ": " + text);
  // The host's handler may wait for a person to answer; no lock is held meanwhile.
  if (ask) answer = ask(kind, text);
  return answer;
}

}  // namespace

extern "C" {

void ParamText(ConstStr255Param param0, ConstStr255Param param1, ConstStr255Param param2,
               ConstStr255Param param3) {
  AlertState& s = toolbox::internal::TheAlerts();
  std::lock_guard<std::mutex> lock(s.mutex);
  ConstStr255Param given[4] = {param0, param1, param2, param3};
  for (int i = 0; i < 4; ++i) s.params[i] = toolbox::internal::PascalToString(given[i]);
}

DialogItemIndex Alert(SInt16 alertID, ModalFilterUPP) { return ShowAlert("alert", alertID); }
DialogItemIndex StopAlert(SInt16 alertID, ModalFilterUPP) { return ShowAlert("stop", alertID); }
DialogItemIndex NoteAlert(SInt16 alertID, ModalFilterUPP) { return ShowAlert("note", alertID); }
DialogItemIndex CautionAlert(SInt16 alertID, ModalFilterUPP) {
  return ShowAlert("caution", alertID);
}

}  // extern "C"
