// System services: debugger messages and beeps into the journal, the Gestalt
// table, the tick clock.
#include "toolbox/system.h"

#include <chrono>
#include <map>
#include <mutex>
#include <string>

#include "toolbox/host/journal.h"
#include "toolbox/host/system.h"

namespace {

constexpr SInt32 kDefaultSystemVersion = 0x1049;

struct SystemState {
  std::mutex mutex;
  std::map<OSType, SInt32> gestalt{{gestaltSystemVersion, kDefaultSystemVersion}};
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  UInt32 tickOffset = 0;
  bool frozen = false;
  UInt32 frozenTicks = 0;
};

SystemState& State() {
  static SystemState* state = new SystemState;  // lives until exit, never destroyed
  return *state;
}

UInt32 RealTicks(const SystemState& s) {
  auto elapsed = std::chrono::steady_clock::now() - s.start;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
  return UInt32(uint64_t(ms) * 60 / 1000) + s.tickOffset;
}

}  // namespace

extern "C" {

void DebugStr(ConstStr255Param debuggerMsg) {
  std::string text;
  if (debuggerMsg) text.assign(reinterpret_cast<const char*>(debuggerMsg + 1), debuggerMsg[0]);
  toolbox::host::Record("debug", text);
}

void SysBeep(SInt16 duration) { toolbox::host::Record("beep", std::to_string(duration)); }

OSErr Gestalt(OSType selector, SInt32* response) {
  if (!response) return paramErr;
  SystemState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  auto it = s.gestalt.find(selector);
  if (it == s.gestalt.end()) return gestaltUndefSelectorErr;
  *response = it->second;
  return noErr;
}

UInt32 TickCount(void) {
  SystemState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.frozen ? s.frozenTicks : RealTicks(s);
}

}  // extern "C"

namespace toolbox {
namespace host {

void SetGestalt(OSType selector, SInt32 response) {
  SystemState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.gestalt[selector] = response;
}

void RemoveGestalt(OSType selector) {
  SystemState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.gestalt.erase(selector);
}

void ResetGestalt() {
  SystemState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.gestalt = {{gestaltSystemVersion, kDefaultSystemVersion}};
}

void SetTicks(UInt32 ticks) {
  SystemState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.frozen = true;
  s.frozenTicks = ticks;
}

void UseRealTicks() {
  SystemState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!s.frozen) return;
  s.frozen = false;
  s.tickOffset = 0;
  s.tickOffset = s.frozenTicks - RealTicks(s);
}

}  // namespace host
}  // namespace toolbox
