// Internal helpers of the array: memory error, lock bracket, shared comparators.
#pragma once

#include "toolbox/memory.h"
#include "velkui/support.h"

namespace support_detail {

/// Largest block the memory service hands out, and the largest item count.
constexpr UInt32 kLargestData = 0x7FFFFFFF;
constexpr UInt32 kLargestCount = 0x7FFFFFFF;

/// True for the shared default comparators, which no array ever owns.
inline bool IsSharedComparator(const LComparator* inComparator) {
  return inComparator == &LComparator::sComparator ||
         inComparator == &LLongComparator::sLongComparator;
}

/// Throws LException with the error the memory service reports, or with
/// memFullErr when it reports none.
[[noreturn]] void ThrowMemoryError();

/// Locks an array for a scope (Lock ... Unlock), also when a comparator throws.
class StArrayLock {
 public:
  explicit StArrayLock(const LArray& inArray) : array_(inArray) { array_.Lock(); }
  ~StArrayLock() { array_.Unlock(); }
  StArrayLock(const StArrayLock&) = delete;
  StArrayLock& operator=(const StArrayLock&) = delete;

 private:
  const LArray& array_;
};

}  // namespace support_detail
