// The memory service's state (master-pointer slots, live blocks, failure
// injection), shared with the host face and the resource service (not installed).
#pragma once

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "toolbox/types.h"

namespace toolbox {
namespace internal {

/// A master pointer with its block's bookkeeping. `ptr` comes first, so the
/// address of a slot is the Handle that reaches the block.
struct Slot {
  Ptr ptr = nullptr;
  Size size = 0;
  UInt8 state = 0;
  bool live = false;
};

struct MemoryState {
  std::recursive_mutex mutex;
  std::vector<Slot*> freeSlots;                  // reused oldest first
  size_t freeHead = 0;
  std::unordered_set<Slot*> liveSlots;
  std::unordered_map<Ptr, Size> livePointers;
  uint64_t allocationCalls = 0;
  uint64_t moreMastersCalls = 0;
  // Failure injection.
  int countdown = 0;                             // 0: nothing armed
  int repeat = 0;                                // failures left once fired; <0 persistent
  int injected = 0;
  bool scramble = false;
};

/// The process-wide memory state (lives until exit; scramble mode starts on
/// when TOOLBOX_SCRAMBLE=1).
MemoryState& TheMemory();

/// Runs `f` on the state with the service's lock held.
template <class F>
auto WithState(F f) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  return f(s);
}

/// Whether `h` is a live handle (takes the lock).
bool IsLiveBlock(Handle h);

inline bool IsLive(MemoryState& s, Handle h) {
  return h && s.liveSlots.count(reinterpret_cast<Slot*>(h)) != 0;
}

/// Marks or unmarks a handle as a resource (state bit 0x20); the resource
/// service uses it so HGetState reports resources as the platform does.
void SetResourceBit(Handle h, bool isResource);
/// Sets MemError for the calling thread.
void SetMemError(OSErr err);

}  // namespace internal
}  // namespace toolbox
