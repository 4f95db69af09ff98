// Tests of the ordered array: storage, insertion, removal, searches, sorting, locking.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "ArrayProbe.h"
#include "toolbox/host/memory.h"

using array_test::ArrayProbe;
using array_test::Read;
using array_test::ReverseComparator;
using Values = std::vector<SInt32>;

namespace {

/// 12-byte records searched by their key field.
struct Record {
  SInt32 key, payload, spare;
};

class RecordKeyComparator : public LComparator {
 public:
  SInt32 Compare(const void* one, const void* two, UInt32, UInt32) const override {
    return Order(Read(one), Read(two));
  }
  SInt32 CompareToKey(const void* item, UInt32, const void* key) const override {
    return Order(Read(item), *static_cast<const SInt32*>(key));
  }
  LComparator* Clone() override { return new RecordKeyComparator; }

 private:
  static SInt32 Order(SInt32 a, SInt32 b) { return a < b ? -1 : (a > b ? 1 : 0); }
};

}  // namespace

TEST(LArray, ConstructionPicksComparatorsAndAdoptsBlocks) {
  ArrayProbe plain;
  EXPECT_EQ(LLongComparator::GetComparator(), plain.GetComparator());
  EXPECT_FALSE(plain.OwnsComparator() || plain.IsKeptSorted());
  EXPECT_EQ(nullptr, plain.Block()) << "no block before the first item";
  EXPECT_EQ(LComparator::GetComparator(), ArrayProbe(sizeof(void*), nullptr, false).GetComparator())
      << "items other than 4 bytes get the bytewise comparator";

  size_t handlesBefore = toolbox::host::LiveHandles();
  {
    Handle h = NewHandle(10);
    const SInt32 values[2] = {7, -3};
    std::memcpy(*h, values, sizeof values);
    HLock(h);
    ArrayProbe a(4, h, nullptr, false, false);
    EXPECT_EQ((Values{7, -3}), a.Values()) << "10 bytes of 4-byte items: 2 items";
    EXPECT_FALSE(a.BlockLocked()) << "an adopted block is unlocked";
    EXPECT_FALSE(a.IsSorted()) << "sorted flag comes from the argument";
  }
  EXPECT_EQ(handlesBefore, toolbox::host::LiveHandles()) << "the array disposed of the block";
  Handle dead = NewHandle(8);
  DisposeHandle(dead);
  EXPECT_THROW(ArrayProbe(4, dead, new ReverseComparator, false, false), LException);
  EXPECT_EQ(0, ReverseComparator::live) << "the comparator given is not leaked";
}

TEST(LArray, BlockSizesFollowTheGrowthRuleAndImpossibleSizesThrow) {
  ArrayProbe a;
  const UInt32 expected[] = {4, 8, 16, 16, 32, 32, 32, 32, 64};
  for (SInt32 i = 0; i < 9; ++i) {
    EXPECT_EQ(i + 1, a.AddItem(&i));
    EXPECT_EQ(expected[i], a.Allocated()) << "block size after adding item " << i + 1;
    EXPECT_EQ(Size(expected[i]), GetHandleSize(a.Block()));
  }
  ArrayProbe batch;
  SInt32 v = 5;
  EXPECT_EQ(1, batch.InsertItemsAt(10, 1, &v));
  EXPECT_EQ(40u, batch.Allocated()) << "ten items at once into an empty array: 40 bytes";
  a.RemoveItemsAt(6, 2);
  EXPECT_EQ(40u, a.Allocated()) << "the block shrinks by the 24 bytes removed";

  ArrayProbe big(1024, nullptr, false);
  char item[1024] = {};
  big.AddItem(item);
  try {
    big.InsertItemsAt(0x7FFFFFFF, 1, item);
    FAIL() << "an insertion no block can hold must throw";
  } catch (const LException& e) {
    EXPECT_EQ(memFullErr, e.GetErrorCode());
  }
  EXPECT_EQ(1u, big.GetCount()) << "the array is left as it was";
  EXPECT_THROW(ArrayProbe(0x10000000, 64, nullptr, false), LException);
}

TEST(LArray, InsertionClampsTheIndexCopiesAndReserves) {
  const struct {
    SInt32 at, expectedIndex;
    Values expected;
  } rows[] = {
      {0, 1, {9, 1, 2, 3}}, {3, 3, {1, 2, 9, 3}}, {5, 4, {1, 2, 3, 9}},
      {SInt32(0x80000000), 4, {1, 2, 3, 9}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("insert at " + std::to_string(row.at));
    ArrayProbe a{1, 2, 3};
    SInt32 v = 9;
    EXPECT_EQ(row.expectedIndex, a.InsertItemsAt(1, row.at, &v));
    EXPECT_EQ(row.expected, a.Values());
  }
  ArrayProbe a{1, 2};
  SInt32 v = 7;
  EXPECT_EQ(2, a.InsertItemsAt(3, 2, &v));
  EXPECT_EQ((Values{1, 7, 7, 7, 2}), a.Values());
  EXPECT_EQ(0, a.InsertItemsAt(0, 1, &v)) << "a count of 0 is refused";
  EXPECT_EQ(6, a.InsertItemsAt(3, kIndexLast, nullptr)) << "a null item reserves places";
  EXPECT_EQ(8u, a.GetCount());
  EXPECT_FALSE(a.IsSorted()) << "AddItem and InsertItemsAt clear the flag when not kept sorted";
  a.Sort();
  a.RemoveItemsAt(1, 1);
  EXPECT_TRUE(a.IsSorted()) << "removal leaves the flag alone";
}

TEST(LArray, SortedInsertionGoesBeforeTheEqualItemBisectionMeets) {
  const struct {
    SInt32 value, expectedIndex;
  } rows[] = {{20, 2}, {25, 4}, {5, 1}, {10, 1}, {30, 4}, {31, 5}};
  for (const auto& row : rows) {
    SCOPED_TRACE("add " + std::to_string(row.value));
    ArrayProbe a({30, 20, 10, 20}, true);
    EXPECT_EQ(row.expectedIndex, a.AddItem(&row.value));
    Values expected{10, 20, 20, 30};
    expected.insert(expected.begin() + row.expectedIndex - 1, row.value);
    EXPECT_EQ(expected, a.Values());
    EXPECT_TRUE(a.IsSorted());
  }
  ArrayProbe a({10, 30}, true);
  SInt32 v = 20;
  EXPECT_EQ(2, a.InsertItemsAt(1, 1, &v)) << "the caller's index is ignored";
  EXPECT_EQ(0, a.InsertItemsAt(1, 1, nullptr)) << "a sorted place needs an item";
}

TEST(LArray, RemovalFetchingAndAssignmentStopAtTheLastItem) {
  const struct {
    UInt32 count;
    SInt32 at;
    Values expected;
  } rows[] = {
      {10, 4, {1, 2, 3}}, {2, 2, {1, 4, 5}}, {1, kIndexLast, {1, 2, 3, 4}},
      {1, 0, {1, 2, 3, 4, 5}}, {1, 6, {1, 2, 3, 4, 5}}, {0xFFFFFFFFu, 2, {1}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("remove " + std::to_string(row.count) + " at " + std::to_string(row.at));
    ArrayProbe a{1, 2, 3, 4, 5};
    a.RemoveItemsAt(row.count, row.at);
    EXPECT_EQ(row.expected, a.Values());
    EXPECT_EQ(4 * row.expected.size(), a.Stored());
  }
  ArrayProbe a{4, 5, 6};
  SInt32 absent = 9, present = 5, out = -77;
  a.Remove(&absent);
  a.Remove(&present);
  EXPECT_EQ((Values{4, 6}), a.Values());
  for (SInt32 bad : {0, -1, 3}) EXPECT_FALSE(a.FetchItemAt(bad, &out)) << "index " << bad;
  EXPECT_EQ(-77, out) << "a failed fetch leaves the buffer alone";
  SInt32 index = kIndexLast;
  EXPECT_TRUE(a.ValidIndex(index));
  EXPECT_EQ(2, index) << "ValidIndex replaces kIndexLast by the count";
  EXPECT_TRUE(a.RemoveLastItem(&out));
  EXPECT_EQ(6, out);
  UInt32 size = 2;
  EXPECT_TRUE(a.RemoveLastItem(&out, size));
  EXPECT_EQ(0, std::memcmp(&out, "\x04\x00", 2)) << "a smaller buffer gets the first bytes";
  EXPECT_FALSE(a.RemoveLastItem(&out)) << "nothing left to remove";

  ArrayProbe b{1, 2, 3, 4};
  b.Sort();
  SInt32 zero = 0;
  EXPECT_EQ(3, b.AssignItemsAt(5, 3, &zero));
  EXPECT_EQ((Values{1, 2, 0, 0}), b.Values()) << "stops at the last item";
  EXPECT_FALSE(b.IsSorted());
  EXPECT_EQ(0, b.AssignItemsAt(1, 5, &zero));
  EXPECT_EQ(0, b.AssignItemsAt(0, 1, &zero));
}

TEST(LArray, LockedArrayRefusesLengthChangesAndLocksNest) {
  ArrayProbe a{3, 1, 2, 4, 5};
  ArrayProbe other{8};
  a.Lock();
  SInt32 v = 0, three = 3, out = 0;
  EXPECT_EQ(0, a.AddItem(&v));
  EXPECT_EQ(0, a.InsertItemsAt(1, 1, &v));
  a.RemoveItemsAt(1, 1);
  a.Remove(&three);
  EXPECT_FALSE(a.RemoveLastItem(&out));
  a = other;
  EXPECT_EQ((Values{3, 1, 2, 4, 5}), a.Values()) << "every length change refused, silently";
  a.Sort();
  EXPECT_EQ((Values{1, 2, 3, 4, 5}), a.Values()) << "Sort runs while locked";
  EXPECT_TRUE(a.BlockLocked()) << "Sort leaves a locked block locked";
  EXPECT_EQ(2, a.AssignItemsAt(1, 2, &v));
  a.SwapItems(1, 5);
  a.SetComparator(new ReverseComparator, true);
  a.SetKeepSorted(true);
  EXPECT_EQ((Values{5, 4, 3, 1, 0}), a.Values()) << "swaps, comparator and keep-sorted settings run";
  a.AdjustAllocation(0);
  EXPECT_EQ(20u, a.Allocated()) << "trimming runs while locked";

  a.Lock();
  void* pinned = a.GetItemPtr(1);
  Handle noise = NewHandle(64);  // under scramble every unlocked block would move here
  EXPECT_EQ(pinned, a.GetItemPtr(1)) << "a locked block does not move";
  DisposeHandle(noise);
  a.Unlock();
  EXPECT_TRUE(a.BlockLocked()) << "still locked once";
  a.Unlock();
  EXPECT_FALSE(a.BlockLocked());
  a.Unlock();  // unpaired: ignored
  EXPECT_EQ(0, a.LockCount());
  a.SetKeepSorted(false);
  EXPECT_EQ(6, a.AddItem(&v)) << "unlocked, the length changes again";

}

TEST(LArray, SearchesWalkUnsortedArraysAndBisectSortedOnes) {
  ArrayProbe empty;
  SInt32 v = 40, missing = 35;
  EXPECT_EQ(0, empty.FetchIndexOf(&v));
  EXPECT_EQ(1, empty.FetchInsertIndexOf(&v)) << "an empty array is sorted";
  EXPECT_EQ(1, empty.FetchInsertIndexOfKey(&v));

  ArrayProbe a{50, 10, 40, 20, 30};
  EXPECT_EQ(3, a.FetchIndexOf(&v)) << "linear walk on an unsorted array";
  EXPECT_EQ(0, a.FetchIndexOf(&missing));
  EXPECT_EQ(kIndexLast, a.FetchInsertIndexOf(&v)) << "no sorted place in an unsorted array";
  a.Sort();
  EXPECT_EQ(4, a.FetchIndexOf(&v)) << "bisection on a sorted array";
  EXPECT_EQ(0, a.FetchIndexOf(&missing));
  EXPECT_EQ(4, a.FetchInsertIndexOf(&missing));
  EXPECT_EQ(0, a.FetchIndexOf(nullptr));
  EXPECT_EQ(kIndexLast, a.FetchInsertIndexOf(nullptr));
  SInt32 two = 2;
  EXPECT_EQ(0, a.FetchIndexOfKey(&two)) << "the inherited CompareToKey always answers 1";

  ArrayProbe r(sizeof(Record), new RecordKeyComparator, false);
  for (SInt32 k : {7, 3, 9, 1}) {
    Record rec{k, k * 100, 0};
    r.AddItem(&rec);
  }
  SInt32 key = 9, absent = 4;
  EXPECT_EQ(3, r.FetchIndexOfKey(&key)) << "linear walk by key";
  EXPECT_EQ(0, r.FetchIndexOfKey(&absent));
  EXPECT_EQ(kIndexLast, r.FetchInsertIndexOfKey(&key));
  r.Sort();
  EXPECT_EQ(4, r.FetchIndexOfKey(&key)) << "bisection by key";
  EXPECT_EQ(0, r.FetchIndexOfKey(&absent));
  EXPECT_EQ(3, r.FetchInsertIndexOfKey(&absent));
  Record found{};
  ASSERT_TRUE(r.FetchItemAt(r.FetchIndexOfKey(&key), &found));
  EXPECT_EQ(900, found.payload);
}

TEST(LArray, SortMatchesStdSortWithTheBlockPinned) {
  std::mt19937 random(20261205);
  for (UInt32 count : {2u, 3u, 10u, 37u, 5000u}) {
    SCOPED_TRACE(count);
    ArrayProbe a;
    Values expected;
    for (UInt32 i = 0; i < count; ++i) {
      SInt32 v = SInt32(random() % 2001) - 1000;  // many duplicates
      a.AddItem(&v);
      expected.push_back(v);
    }
    a.Sort();
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, a.Values());
    EXPECT_FALSE(a.BlockLocked()) << "the block's state is restored";
  }
  // A comparator that looks at the array it orders: pinned while sorting, locked while searching.
  class Watching : public LLongComparator {
   public:
    SInt32 Compare(const void* one, const void* two, UInt32 s1, UInt32 s2) const override {
      ++calls;
      unpinned += !array->BlockLocked();
      unlocked += array->LockCount() == 0;
      return LLongComparator::Compare(one, two, s1, s2);
    }
    const ArrayProbe* array = nullptr;
    mutable int calls = 0, unpinned = 0, unlocked = 0;
  };
  auto* watching = new Watching;
  ArrayProbe a(4, watching, false);
  watching->array = &a;
  for (SInt32 v : {9, 4, 7, 1, 8, 2, 6, 3, 5, 0, 11, 10}) a.AddItem(&v);
  a.Sort();
  EXPECT_GT(watching->calls, 0);
  EXPECT_EQ(0, watching->unpinned) << "Sort compares with the block pinned";
  watching->calls = watching->unlocked = 0;
  SInt32 v = 7;
  EXPECT_EQ(8, a.FetchIndexOf(&v));
  EXPECT_EQ(8, a.FetchInsertIndexOf(&v)) << "before the equal item";
  EXPECT_GT(watching->calls, 0);
  EXPECT_EQ(0, watching->unlocked) << "searches hold the array locked";
  EXPECT_EQ(0, a.LockCount()) << "and unlock when done";
}

TEST(LArray, ComparatorAndKeepSortedSettings) {
  ArrayProbe a{1, 2, 3};
  a.Sort();
  a.SetComparator(nullptr, true);
  EXPECT_EQ(LLongComparator::GetComparator(), a.GetComparator()) << "null changes nothing";
  EXPECT_TRUE(a.IsSorted());
  auto* reverse = new ReverseComparator;
  a.SetComparator(reverse, true);
  EXPECT_FALSE(a.IsSorted()) << "a new order for more than one item";
  EXPECT_EQ((Values{1, 2, 3}), a.Values()) << "not kept sorted: no sort";
  a.SetComparator(reverse, true);
  EXPECT_EQ(1, ReverseComparator::live) << "the comparator the array owns is not deleted";
  a.SetComparator(LComparator::GetComparator(), true);
  EXPECT_EQ(0, ReverseComparator::live) << "the owned comparator is deleted when replaced";
  EXPECT_FALSE(a.OwnsComparator()) << "a shared comparator is never owned";

  // A kept-sorted array re-sorts even for the same comparator: its order may have changed.
  class Flippable : public LComparator {
   public:
    SInt32 Compare(const void* one, const void* two, UInt32, UInt32) const override {
      SInt32 a = Read(one), b = Read(two), r = a < b ? -1 : (a > b ? 1 : 0);
      return descending ? -r : r;
    }
    bool descending = false;
  };
  Flippable order;
  ArrayProbe kept{3, 1, 2};
  kept.SetKeepSorted(true);
  EXPECT_EQ((Values{1, 2, 3}), kept.Values());
  kept.SetComparator(&order, false);
  order.descending = true;
  kept.SetComparator(&order, false);
  EXPECT_EQ((Values{3, 2, 1}), kept.Values()) << "the same comparator again re-sorts";
  kept.SwapItems(1, 3);
  kept.MoveItem(1, 3);
  EXPECT_EQ((Values{3, 2, 1}), kept.Values()) << "swapping and moving are refused";
}

TEST(LArray, CopiesShareNothingAndItemsSwapAndMove) {
  ArrayProbe a(4, new ReverseComparator, true);
  for (SInt32 v : {1, 3, 2}) a.AddItem(&v);
  ArrayProbe copy(a);
  EXPECT_EQ((Values{3, 2, 1}), copy.Values());
  EXPECT_NE(a.Block(), copy.Block());
  EXPECT_NE(a.GetComparator(), copy.GetComparator()) << "an owned comparator is cloned";
  EXPECT_EQ(12u, copy.Allocated()) << "a copy has no slack";
  ArrayProbe other{9};
  other = a;
  other = other;
  EXPECT_EQ((Values{3, 2, 1}), other.Values()) << "self-assignment changes nothing";
  EXPECT_TRUE(other.IsKeptSorted());

  ArrayProbe m{1, 2, 3, 4};
  m.SwapItems(1, kIndexLast);
  EXPECT_EQ((Values{4, 2, 3, 1}), m.Values());
  m.MoveItem(1, 3);
  EXPECT_EQ((Values{2, 3, 4, 1}), m.Values());
  m.MoveItem(4, 1);
  EXPECT_EQ((Values{1, 2, 3, 4}), m.Values());
  m.MoveItem(1, 5);
  m.SwapItems(0, 2);
  EXPECT_EQ((Values{1, 2, 3, 4}), m.Values()) << "invalid indices do nothing";
}
