// The system service's state: the Gestalt table and the tick clock, shared
// with the host face that sets them (not installed).
#pragma once

#include <chrono>
#include <map>
#include <mutex>

#include "toolbox/system.h"

namespace toolbox {
namespace internal {

constexpr SInt32 kDefaultSystemVersion = 0x1049;

struct SystemState {
  std::mutex mutex;
  std::map<OSType, SInt32> gestalt{{gestaltSystemVersion, kDefaultSystemVersion}};
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  UInt32 tickOffset = 0;
  bool frozen = false;  // SetTicks holds the clock at frozenTicks
  UInt32 frozenTicks = 0;
};

/// The process-wide system state (lives until exit).
SystemState& TheSystem();
/// Ticks (sixtieths of a second) since the state was made, plus the offset.
UInt32 RealTicks(const SystemState& s);

}  // namespace internal
}  // namespace toolbox
