// Host face of the memory service: allocation-failure injection, the scramble
// mode that moves unlocked blocks, and counters of live blocks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolbox/types.h"

namespace toolbox {
namespace host {

/// How long an armed failure lasts once it fires.
enum class FailureMode {
  kTransient,   ///< only the chosen allocation fails
  kPersistent,  ///< the chosen allocation and every later one fail until cleared
};

/// Arms a failure: the `countdown`-th allocating call from now fails (1 = the
/// next one). Allocating calls are NewHandle, NewHandleClear, TempNewHandle,
/// HandToHand, SetHandleSize to a larger size, NewPtr and NewPtrClear.
/// Replaces any failure armed before.
TOOLBOX_EXPORT void FailAllocation(int countdown, FailureMode mode);
/// As FailAllocation, with `repeat` consecutive failures (negative: persistent).
TOOLBOX_EXPORT void FailAllocations(int countdown, int repeat);
/// Disarms every failure; the count of injected failures is kept.
TOOLBOX_EXPORT void ClearAllocationFailures();
/// Failures injected since the last ResetFailureCount.
TOOLBOX_EXPORT int InjectedFailures();
TOOLBOX_EXPORT void ResetFailureCount();
/// Allocating calls seen since the process began (failed ones included).
TOOLBOX_EXPORT uint64_t AllocationCalls();

/// Live blocks right now.
TOOLBOX_EXPORT size_t LiveHandles();
TOOLBOX_EXPORT size_t LivePointers();
/// Calls to MoreMasters since the process began.
TOOLBOX_EXPORT uint64_t MoreMastersCalls();

/// Scramble mode: at every allocating call every unlocked handle block moves to
/// a fresh address and its old bytes are poisoned (0xDB) and freed, so a pointer
/// kept across an allocation without a lock reads garbage (and AddressSanitizer
/// reports it). Off by default; on when TOOLBOX_SCRAMBLE=1 is in the environment
/// at the first memory call.
TOOLBOX_EXPORT void SetScramble(bool on);
TOOLBOX_EXPORT bool ScrambleEnabled();

/// True when `h` is a live handle made by this toolbox.
TOOLBOX_EXPORT bool IsLiveHandle(Handle h);
/// True when `p` is a live pointer block made by this toolbox.
TOOLBOX_EXPORT bool IsLivePointer(Ptr p);

}  // namespace host
}  // namespace toolbox
