// Test helpers for the array: a subclass that exposes the storage fields, and snapshots.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "toolbox/memory.h"
#include "velkui/support.h"

namespace array_test {

/// An LArray whose protected fields tests may read.
class ArrayProbe : public LArray {
 public:
  using LArray::LArray;
  /// A 4-byte array holding `values`, appended one at a time.
  explicit ArrayProbe(std::initializer_list<SInt32> values, bool keepSorted = false)
      : LArray(4, nullptr, keepSorted) {
    for (SInt32 v : values) AddItem(&v);
  }

  UInt32 Stored() const { return dataStored; }
  UInt32 Allocated() const { return dataAllocated; }
  Handle Block() const { return itemsHandle; }
  SInt32 LockCount() const { return lockCount; }
  bool OwnsComparator() const { return ownsComparator; }
  bool BlockLocked() const { return itemsHandle && (UInt8(HGetState(itemsHandle)) & 0x80); }

  /// The items read as 32-bit values, in order.
  std::vector<SInt32> Values() const {
    std::vector<SInt32> values;
    SInt32 value = 0;
    for (SInt32 i = 1; FetchItemAt(i, &value); ++i) values.push_back(value);
    return values;
  }
  /// The raw bytes in use.
  std::string Bytes() const {
    if (!itemsHandle || dataStored == 0) return std::string();
    return std::string(*itemsHandle, dataStored);
  }
};

/// Everything a failed change must leave as it was.
struct Snapshot {
  UInt32 count;
  UInt32 stored;
  UInt32 allocated;
  bool sorted;
  std::string bytes;

  explicit Snapshot(const ArrayProbe& a)
      : count(a.GetCount()),
        stored(a.Stored()),
        allocated(a.Allocated()),
        sorted(a.IsSorted()),
        bytes(a.Bytes()) {}
};

inline void ExpectUnchanged(const Snapshot& before, const ArrayProbe& a) {
  EXPECT_EQ(before.count, a.GetCount()) << "item count changed";
  EXPECT_EQ(before.stored, a.Stored()) << "bytes in use changed";
  EXPECT_EQ(before.allocated, a.Allocated()) << "block size changed";
  EXPECT_EQ(before.sorted, a.IsSorted()) << "sorted flag changed";
  EXPECT_EQ(before.bytes, a.Bytes()) << "contents changed";
  if (a.Block()) {
    EXPECT_EQ(Size(a.Allocated()), GetHandleSize(a.Block())) << "block size and field disagree";
  }
}

/// The 32-bit value at `p`, which may be unaligned.
inline SInt32 Read(const void* p) {
  SInt32 v;
  std::memcpy(&v, p, 4);
  return v;
}

/// Orders 32-bit values from largest to smallest; counts live instances.
class ReverseComparator : public LComparator {
 public:
  ReverseComparator() { ++live; }
  ~ReverseComparator() override { --live; }
  SInt32 Compare(const void* one, const void* two, UInt32, UInt32) const override {
    SInt32 a = Read(one), b = Read(two);
    return a > b ? -1 : (a < b ? 1 : 0);
  }
  static inline int live = 0;
};

}  // namespace array_test
