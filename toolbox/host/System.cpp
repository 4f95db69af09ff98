// System services as the host sets them: Gestalt answers and a frozen clock.
#include "toolbox/host/system.h"

#include "core/SystemState.h"

namespace toolbox {
using internal::RealTicks;
using internal::SystemState;
using internal::TheSystem;
using internal::kDefaultSystemVersion;

namespace host {

void SetGestalt(OSType selector, SInt32 response) {
  SystemState& s = TheSystem();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.gestalt[selector] = response;
}

void RemoveGestalt(OSType selector) {
  SystemState& s = TheSystem();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.gestalt.erase(selector);
}

void ResetGestalt() {
  SystemState& s = TheSystem();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.gestalt = {{gestaltSystemVersion, kDefaultSystemVersion}};
}

void SetTicks(UInt32 ticks) {
  SystemState& s = TheSystem();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.frozen = true;
  s.frozenTicks = ticks;
}

void UseRealTicks() {
  SystemState& s = TheSystem();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!s.frozen) return;
  s.frozen = false;
  s.tickOffset = 0;
  s.tickOffset = s.frozenTicks - RealTicks(s);
}

}  // namespace host
}  // namespace toolbox
