// Allocation failures and counters as the host arms and reads them.
#include "toolbox/host/memory.h"

#include "core/MemoryState.h"

namespace toolbox {
using internal::IsLive;
using internal::MemoryState;
using internal::WithState;

namespace host {

void FailAllocation(int countdown, FailureMode mode) {
  FailAllocations(countdown, mode == FailureMode::kTransient ? 1 : -1);
}

void FailAllocations(int countdown, int repeat) {
  WithState([&](MemoryState& s) {
    s.countdown = countdown > 0 ? countdown : 0;
    s.repeat = repeat;
  });
}

void ClearAllocationFailures() {
  WithState([](MemoryState& s) { s.countdown = s.repeat = 0; });
}

int InjectedFailures() { return WithState([](MemoryState& s) { return s.injected; }); }

void ResetFailureCount() { WithState([](MemoryState& s) { s.injected = 0; }); }

uint64_t AllocationCalls() {
  return WithState([](MemoryState& s) { return s.allocationCalls; });
}

size_t LiveHandles() { return WithState([](MemoryState& s) { return s.liveSlots.size(); }); }

size_t LivePointers() {
  return WithState([](MemoryState& s) { return s.livePointers.size(); });
}

uint64_t MoreMastersCalls() {
  return WithState([](MemoryState& s) { return s.moreMastersCalls; });
}

void SetScramble(bool on) { WithState([&](MemoryState& s) { s.scramble = on; }); }

bool ScrambleEnabled() { return WithState([](MemoryState& s) { return s.scramble; }); }

bool IsLiveHandle(Handle h) { return internal::IsLiveBlock(h); }

bool IsLivePointer(Ptr p) {
  return WithState([&](MemoryState& s) { return p && s.livePointers.count(p) != 0; });
}

}  // namespace host
}  // namespace toolbox
