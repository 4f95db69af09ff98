// System services: debugger messages and beeps into the journal, the Gestalt
// table, the tick clock.
#include "toolbox/system.h"

#include <string>

#include "core/Journal.h"
#include "core/Strings.h"
#include "core/SystemState.h"

using toolbox::internal::SystemState;

SystemState& toolbox::internal::TheSystem() {
  static SystemState* state = new SystemState;  // lives until exit, never destroyed
  return *state;
}

UInt32 toolbox::internal::RealTicks(const SystemState& s) {
  auto elapsed = std::chrono::steady_clock::now() - s.start;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
  return UInt32(uint64_t(ms) * 60 / 1000) + s.tickOffset;
}

extern "C" {

void DebugStr(ConstStr255Param debuggerMsg) {
  toolbox::internal::Record("debug", toolbox::internal::PascalToString(debuggerMsg));
}

void SysBeep(SInt16 duration) { toolbox::internal::Record("beep", std::to_string(duration)); }

OSErr Gestalt(OSType selector, SInt32* response) {
  if (!response) return paramErr;
  SystemState& s = toolbox::internal::TheSystem();
  std::lock_guard<std::mutex> lock(s.mutex);
  auto it = s.gestalt.find(selector);
  if (it == s.gestalt.end()) return gestaltUndefSelectorErr;
  *response = it->second;
  return noErr;
}

UInt32 TickCount(void) {
  SystemState& s = toolbox::internal::TheSystem();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.frozen ? s.frozenTicks : toolbox::internal::RealTicks(s);
}

}  // extern "C"
