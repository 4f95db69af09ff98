// The alert service's state, shared by the dialog calls and the host face
// that queues answers and reads the texts (not installed).
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "toolbox/types.h"

namespace toolbox {
namespace internal {

struct AlertState {
  std::mutex mutex;
  std::string params[4];      // ^0..^3
  std::deque<SInt16> answers; // what the next alerts answer, oldest first
  int shown = 0;
  // Asked when the queue is empty: (kind, text) -> the item answered.
  std::function<SInt16(const std::string&, const std::string&)> handler;
};

/// The process-wide alert state (lives until exit).
AlertState& TheAlerts();

}  // namespace internal
}  // namespace toolbox
