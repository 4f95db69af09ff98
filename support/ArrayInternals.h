// Internal helpers of the array: scratch item buffer, block pin, lock bracket, iterator hooks.
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

/// A pointer block of one item, freed on scope exit. Throws when it cannot be had.
class StScratchItem {
 public:
  explicit StScratchItem(UInt32 inSize);
  ~StScratchItem();
  StScratchItem(const StScratchItem&) = delete;
  StScratchItem& operator=(const StScratchItem&) = delete;

  void* Get() const { return buffer_; }

 private:
  Ptr buffer_ = nullptr;
};

/// Pins a handle block for a scope: locks it unless it was locked already and
/// restores its state on exit. A null handle is left alone. Throws when the
/// block's state cannot be read.
class StBlockPin {
 public:
  explicit StBlockPin(Handle inHandle);
  ~StBlockPin();
  StBlockPin(const StBlockPin&) = delete;
  StBlockPin& operator=(const StBlockPin&) = delete;

 private:
  Handle handle_ = nullptr;
  SignedByte state_ = 0;
};

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

// Where the iterator class plugs in: the array passes every change to the
// iterators on its list through these. Until iterators exist no list is ever
// non-empty, so they have nothing to do.
void NotifyItemsInserted(LArrayIterator* inList, UInt32 inCount, SInt32 inAtIndex);
void NotifyItemsRemoved(LArrayIterator* inList, UInt32 inCount, SInt32 inAtIndex);
void NotifyArrayGone(LArrayIterator* inList);

}  // namespace support_detail
