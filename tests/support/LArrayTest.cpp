// Tests of the ordered array: storage, insertion, removal, searches, sorting, locking,
// and fault-injection sweeps over every allocating path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <random>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "ExceptionCode.h"
#include "FaultSweep.h"
#include "toolbox/host/memory.h"
#include "toolbox/memory.h"
#include "velkui/support.h"

using testing_support::FaultRun;
using testing_support::SweepAllocationFailures;
using Values = std::vector<SInt32>;

namespace {

/// Orders items by their leading 32-bit field (descending unless told) and finds them
/// by that field as a key; counts live instances.
class FieldComparator : public LComparator {
 public:
  explicit FieldComparator(bool descending = true) : descending(descending) { ++live; }
  ~FieldComparator() override { --live; }
  SInt32 Compare(const void* one, const void* two, UInt32, UInt32) const override {
    if (onCompare) onCompare();
    return descending ? Order(two, one) : Order(one, two);
  }
  SInt32 CompareToKey(const void* item, UInt32, const void* key) const override {
    return Order(item, key);
  }
  LComparator* Clone() override { return new FieldComparator(descending); }
  static SInt32 Order(const void* one, const void* two) {
    SInt32 a, b;
    std::memcpy(&a, one, 4);
    std::memcpy(&b, two, 4);
    return a < b ? -1 : (a > b ? 1 : 0);
  }

  bool descending;
  std::function<void()> onCompare;  ///< runs before every comparison; it may throw
  static inline int live = 0;
};

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
  Values Items() const {
    Values values;
    SInt32 value = 0;
    for (SInt32 i = 1; FetchItemAt(i, &value); ++i) values.push_back(value);
    return values;
  }
  /// What a failed change must leave as it was: count, bytes in use, block size (field
  /// and real), sorted flag and contents.
  auto State() const {
    return std::make_tuple(itemCount, dataStored, dataAllocated,
                           itemsHandle ? GetHandleSize(itemsHandle) : Size(0), isSorted,
                           dataStored ? std::string(*itemsHandle, dataStored) : "");
  }
};

/// A new block holding `values`, then `extra` bytes more.
Handle BlockOf(const Values& values, Size extra = 0) {
  Handle h = NewHandle(Size(4 * values.size()) + extra);
  std::memcpy(*h, values.data(), 4 * values.size());
  return h;
}

}  // namespace

TEST(LArray, ConstructionPicksComparatorsAndAdoptsBlocks) {
  ArrayProbe plain;
  EXPECT_EQ(LLongComparator::GetComparator(), plain.GetComparator());
  EXPECT_FALSE(plain.OwnsComparator() || plain.IsKeptSorted() || plain.Block());
  EXPECT_EQ(LComparator::GetComparator(), ArrayProbe(sizeof(void*), nullptr, false).GetComparator())
      << "items other than 4 bytes get the bytewise comparator";
  size_t handlesBefore = toolbox::host::LiveHandles();
  {
    Handle h = BlockOf({7, -3}, 2);
    HLock(h);
    ArrayProbe a(4, h, nullptr, false, false);
    EXPECT_EQ((Values{7, -3}), a.Items()) << "10 bytes of 4-byte items: 2 items";
    EXPECT_FALSE(a.BlockLocked() || a.IsSorted()) << "adopted unlocked, sorted flag as given";
  }
  EXPECT_EQ(handlesBefore, toolbox::host::LiveHandles()) << "the array disposed of the block";
  Handle dead = NewHandle(8);
  DisposeHandle(dead);
  EXPECT_THROW(ArrayProbe(4, dead, new FieldComparator, false, false), LException);
  EXPECT_EQ(0, FieldComparator::live) << "the comparator given is not leaked";
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
  batch.AdjustAllocation(2);
  EXPECT_EQ(48u, batch.Allocated()) << "room for exactly count + 2";
  a.RemoveItemsAt(6, 2);
  EXPECT_EQ(40u, a.Allocated()) << "the block shrinks by the 24 bytes removed";
  EXPECT_EQ(a.Block(), a.GetItemsHandle()) << "the array keeps owning its block";
  EXPECT_EQ(12, GetHandleSize(a.Block())) << "GetItemsHandle trims to the bytes in use";
  EXPECT_EQ(nullptr, ArrayProbe().GetItemsHandle()) << "an empty array has no block";

  ArrayProbe big(1024, nullptr, false);
  char item[1024] = {};
  big.AddItem(item);
  EXPECT_EQ(memFullErr, CodeOf([&] { big.InsertItemsAt(0x7FFFFFFF, 1, item); }));
  EXPECT_EQ(1u, big.GetCount()) << "the array is left as it was";
  EXPECT_THROW(ArrayProbe(0x10000000, 64, nullptr, false), LException);
}

// Index clamping, removal ranges, swaps and moves: see the random model in IteratorTest.
TEST(LArray, InsertionCopiesAndReservesRemovalAndAssignmentStopAtTheLastItem) {
  ArrayProbe a{1, 2};
  SInt32 v = 9, absent = 7, out = -77, zero = 0;
  EXPECT_EQ(2, a.InsertItemsAt(3, 2, &v));
  EXPECT_EQ((Values{1, 9, 9, 9, 2}), a.Items());
  EXPECT_EQ(0, a.InsertItemsAt(0, 1, &v)) << "a count of 0 is refused";
  a.Remove(&absent);
  a.Remove(&v);
  EXPECT_EQ((Values{1, 9, 9, 2}), a.Items()) << "Remove takes the first equal item only";
  EXPECT_EQ(16u, a.Stored());
  UInt32 size = 2;
  for (SInt32 bad : {0, -1, 5}) EXPECT_FALSE(a.FetchItemAt(bad, &out)) << "index " << bad;
  EXPECT_FALSE(a.FetchItemAt(5, &out, size));
  EXPECT_EQ(-77, out) << "a failed fetch leaves the buffer alone";
  SInt32 index = kIndexLast;
  EXPECT_TRUE(a.ValidIndex(index) && index == 4) << "ValidIndex replaces kIndexLast by the count";
  EXPECT_TRUE(a.RemoveLastItem(&out, size));
  EXPECT_EQ(0, std::memcmp(&out, "\x02\x00", 2)) << "a smaller buffer gets the first bytes";
  EXPECT_FALSE(a.IsSorted()) << "AddItem and InsertItemsAt clear the flag when not kept sorted";
  a.Sort();
  EXPECT_EQ(2, a.AssignItemsAt(5, 2, &zero));
  EXPECT_EQ((Values{1, 0, 0}), a.Items()) << "stops at the last item";
  EXPECT_FALSE(a.IsSorted());
  EXPECT_EQ(0, a.AssignItemsAt(1, 4, &zero) + a.AssignItemsAt(0, 1, &zero));
  a.Sort();
  a.RemoveItemsAt(1, 1);
  EXPECT_TRUE(a.IsSorted()) << "removal leaves the flag alone";
  EXPECT_EQ(3, a.InsertItemsAt(3, kIndexLast, nullptr)) << "a null item reserves places";
  EXPECT_EQ(5u, a.GetCount());
}

TEST(LArray, LockedArrayRefusesLengthChangesAndLocksNest) {
  ArrayProbe a{3, 1, 2, 4, 5};
  ArrayProbe other{8};
  a.Lock();
  SInt32 v = 0, three = 3, out = 0;
  EXPECT_EQ(0, a.AddItem(&v) + a.InsertItemsAt(1, 1, &v));
  a.RemoveItemsAt(1, 1);
  a.Remove(&three);
  EXPECT_FALSE(a.RemoveLastItem(&out));
  a = other;
  EXPECT_EQ((Values{3, 1, 2, 4, 5}), a.Items()) << "every length change refused, silently";
  a.Sort();
  EXPECT_EQ((Values{1, 2, 3, 4, 5}), a.Items()) << "Sort runs while locked";
  EXPECT_TRUE(a.BlockLocked()) << "Sort leaves a locked block locked";
  EXPECT_EQ(2, a.AssignItemsAt(1, 2, &v));
  a.SwapItems(1, 5);
  a.SetComparator(new FieldComparator, true);
  a.SetKeepSorted(true);
  EXPECT_EQ((Values{5, 4, 3, 1, 0}), a.Items()) << "swaps, comparator and keep-sorted settings run";
  a.AdjustAllocation(0);
  EXPECT_EQ(20u, a.Allocated()) << "trimming runs while locked";

  a.Lock();
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
  SInt32 v = 40, missing = 35, two = 2;
  EXPECT_EQ(0, empty.FetchIndexOf(&v));
  EXPECT_EQ(1, empty.FetchInsertIndexOf(&v)) << "an empty array is sorted";
  EXPECT_EQ(1, empty.FetchInsertIndexOfKey(&v));

  ArrayProbe a{50, 10, 40, 20, 30};
  EXPECT_EQ(3, a.FetchIndexOf(&v)) << "linear walk on an unsorted array";
  EXPECT_EQ(0, a.FetchIndexOf(&missing));
  EXPECT_EQ(kIndexLast, a.FetchInsertIndexOf(&v)) << "no sorted place in an unsorted array";
  a.Sort();
  EXPECT_EQ(4, a.FetchIndexOf(&v)) << "bisection on a sorted array";
  EXPECT_EQ(0, a.FetchIndexOf(&missing) + a.FetchIndexOf(nullptr));
  EXPECT_EQ(4, a.FetchInsertIndexOf(&missing));
  EXPECT_EQ(4, a.FetchInsertIndexOf(&v)) << "an equal item: the new one goes before it";
  EXPECT_EQ(kIndexLast, a.FetchInsertIndexOf(nullptr));
  EXPECT_EQ(0, a.FetchIndexOfKey(&two)) << "the inherited CompareToKey always answers 1";

  // 12-byte records found by their leading key field.
  ArrayProbe r(12, new FieldComparator(false), false);
  for (SInt32 k : {7, 3, 9, 1}) {
    const SInt32 record[3] = {k, k * 100, 0};
    r.AddItem(record);
  }
  SInt32 key = 9, absent = 4, found[3] = {};
  EXPECT_EQ(3, r.FetchIndexOfKey(&key)) << "linear walk by key";
  EXPECT_EQ(0, r.FetchIndexOfKey(&absent));
  EXPECT_EQ(kIndexLast, r.FetchInsertIndexOfKey(&key));
  r.Sort();
  EXPECT_EQ(4, r.FetchIndexOfKey(&key)) << "bisection by key";
  EXPECT_EQ(0, r.FetchIndexOfKey(&absent));
  EXPECT_EQ(3, r.FetchInsertIndexOfKey(&absent));
  ASSERT_TRUE(r.FetchItemAt(r.FetchIndexOfKey(&key), found));
  EXPECT_EQ(900, found[1]);
}

TEST(LArray, SortOrdersByTheComparatorWhichAKeptOrderFollowsOnEveryChange) {
  std::mt19937 random(20261205);
  ArrayProbe big;
  Values expected;
  for (int i = 0; i < 5000; ++i) {
    SInt32 v = SInt32(random() % 2001) - 1000;  // many duplicates
    big.AddItem(&v);
    expected.push_back(v);
  }
  big.Sort();
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, big.Items());
  EXPECT_FALSE(big.BlockLocked()) << "the block's state is restored";

  ArrayProbe a{1, 2, 3};
  a.Sort();
  a.SetComparator(nullptr, true);
  EXPECT_TRUE(a.IsSorted() && a.GetComparator() == LLongComparator::GetComparator())
      << "null changes nothing";
  auto* reverse = new FieldComparator;
  a.SetComparator(reverse, true);
  a.SetComparator(reverse, true);
  EXPECT_FALSE(a.IsSorted()) << "a new order for more than one item";
  EXPECT_EQ((Values{1, 2, 3}), a.Items()) << "not kept sorted: no sort";
  EXPECT_EQ(1, FieldComparator::live) << "the comparator the array owns is not deleted";
  a.SetComparator(LComparator::GetComparator(), true);
  EXPECT_EQ(0, FieldComparator::live) << "the owned comparator is deleted when replaced";
  EXPECT_FALSE(a.OwnsComparator()) << "a shared comparator is never owned";

  ArrayProbe kept({30, 20, 10, 20}, true);
  SInt32 v = 25;
  EXPECT_EQ(4, kept.InsertItemsAt(1, 1, &v)) << "kept sorted: the caller's index is ignored";
  EXPECT_EQ(0, kept.InsertItemsAt(1, 1, nullptr)) << "a sorted place needs an item";
  // Set again, the same comparator re-sorts a kept order: its order may have changed.
  FieldComparator order(false);
  kept.SetComparator(&order, false);
  order.descending = true;
  kept.SetComparator(&order, false);
  EXPECT_EQ((Values{30, 25, 20, 20, 10}), kept.Items());
  kept.SwapItems(1, 3);
  kept.MoveItem(1, 3);
  EXPECT_EQ((Values{30, 25, 20, 20, 10}), kept.Items()) << "swapping and moving are refused";
}

TEST(LArray, CopiesShareNothingAndItemsSwapAndMove) {
  ArrayProbe a(4, new FieldComparator, true);
  for (SInt32 v : {1, 3, 2}) a.AddItem(&v);
  ArrayProbe copy(a);
  EXPECT_EQ((Values{3, 2, 1}), copy.Items());
  EXPECT_NE(a.Block(), copy.Block());
  EXPECT_NE(a.GetComparator(), copy.GetComparator()) << "an owned comparator is cloned";
  EXPECT_EQ(12u, copy.Allocated()) << "a copy has no slack";
  ArrayProbe other{9};
  other = a;
  other = other;
  EXPECT_EQ((Values{3, 2, 1}), other.Items()) << "self-assignment changes nothing";
  EXPECT_TRUE(other.IsKeptSorted());

  // A copy is made in fresh storage, which it must not take for a former array.
  alignas(ArrayProbe) unsigned char storage[sizeof(ArrayProbe)];
  std::memset(storage, 0xA5, sizeof storage);
  auto* placed = new (storage) ArrayProbe(a);
  EXPECT_EQ((Values{3, 2, 1}), placed->Items());
  placed->~ArrayProbe();
  for (bool swap : {true, false}) {
    ArrayProbe m{1, 2, 3};
    m.Sort();
    swap ? m.SwapItems(1, 2) : m.MoveItem(1, 2);
    EXPECT_FALSE(m.IsSorted()) << "a swap or a move ends the known order";
  }
}

// ---------------------------------------------------------------- fault sweeps

namespace {

/// Runs `op` between Arm and Disarm; the exception's code, or 0 when none was thrown.
template <class Op>
SInt32 RunArmed(FaultRun& run, Op op) {
  run.Arm();
  SInt32 code = CodeOf(op);
  run.Disarm();
  return code;
}

/// How a fault case sets up its array of 4-byte values.
enum class Start { kAppended, kKeptSorted, kKeptTrimmed, kAdoptedKeptUnsorted };

std::unique_ptr<ArrayProbe> Make(const Values& values, Start start) {
  if (start == Start::kAdoptedKeptUnsorted) {
    return std::make_unique<ArrayProbe>(4, BlockOf(values), nullptr, false, true);
  }
  auto a = std::make_unique<ArrayProbe>(4, nullptr, start != Start::kAppended);
  for (SInt32 value : values) a->AddItem(&value);
  if (start == Start::kKeptTrimmed) a->AdjustAllocation(0);
  return a;
}

}  // namespace

TEST(LArrayFault, AppendingFromEverySizeRetriesAtTheExactSizeOrLeavesTheArrayAlone) {
  for (SInt32 start = 0; start <= 9; ++start) {
    SCOPED_TRACE("array of " + std::to_string(start));
    SweepAllocationFailures([&](FaultRun& run) {
      ArrayProbe a;
      for (SInt32 v = 1; v <= start; ++v) a.AddItem(&v);
      auto before = a.State();
      SInt32 v = 100, index = 0;
      SInt32 code = RunArmed(run, [&] { index = a.AddItem(&v); });
      if (code != 0) {
        EXPECT_TRUE(run.Persistent()) << "only a persistent failure defeats the retry";
        EXPECT_EQ(memFullErr, code);
        EXPECT_EQ(before, a.State());
        return;
      }
      EXPECT_EQ(start + 1, index);
      EXPECT_EQ(100, a.Items().back());
      if (!run.Fired()) return;
      // The refused request was the doubled block; the retry asks for the exact size.
      EXPECT_EQ(UInt32(4 * (start + 1)), a.Allocated()) << "retried at the exact size";
      EXPECT_EQ(a.Allocated(), UInt32(GetHandleSize(a.Block())));
      a.AddItem(&v);
      EXPECT_EQ(UInt32(8 * (start + 1)), a.Allocated()) << "the next growth doubles from there";
    });
  }
}

// Each change either completes or throws memFullErr leaving the array exactly as it was.
TEST(LArrayFault, FailedChangesLeaveTheArrayExactlyAsItWas) {
  SInt32 v = -1, v25 = 25, v35 = 35;
  ArrayProbe source(4, new FieldComparator, true);
  for (SInt32 value : {1, 2, 3}) source.AddItem(&value);
  using S = Start;
  const struct {
    const char* name;
    Values values;
    Start start;
    std::function<void(ArrayProbe&)> op;
    Values expected;
    std::function<void(ArrayProbe&)> afterFailure = nullptr;  ///< checks of a failed change
  } cases[] = {
      {"insert in the middle", {1, 2, 3, 4, 5, 6, 7, 8}, S::kAppended,
       [&](ArrayProbe& a) { a.InsertItemsAt(3, 2, &v); }, {1, -1, -1, -1, 2, 3, 4, 5, 6, 7, 8}},
      {"sorted insertion", {40, 10, 30, 20}, S::kKeptSorted,
       [&](ArrayProbe& a) { a.AddItem(&v25); }, {10, 20, 25, 30, 40}},
      {"sort", {5, 3, 9, 1, 7, 2}, S::kAppended, [](ArrayProbe& a) { a.Sort(); },
       {1, 2, 3, 5, 7, 9}},
      {"sorted assignment", {10, 20, 30, 40}, S::kKeptTrimmed,
       [&](ArrayProbe& a) { a.AssignItemsAt(2, 1, &v35); }, {30, 35, 35, 40}},
      // Before the first sort of an adopted block, item 1 as it stands (40) leaves.
      {"sorted assignment before the first sort", {40, 10, 30, 20}, S::kAdoptedKeptUnsorted,
       [&](ArrayProbe& a) { a.AssignItemsAt(2, 1, &v35); }, {20, 30, 35, 35}},
      {"copy", {1}, S::kAppended, [&](ArrayProbe& a) { a = source; }, {3, 2, 1}},
      {"swap", {1, 2, 3}, S::kAppended, [](ArrayProbe& a) { a.SwapItems(1, 3); }, {3, 2, 1}},
      {"move", {1, 2, 3}, S::kAppended, [](ArrayProbe& a) { a.MoveItem(1, 3); }, {2, 3, 1}},
      {"reserve", {1, 2, 3}, S::kAppended, [](ArrayProbe& a) { a.AdjustAllocation(9); }, {1, 2, 3}},
      {"first block", {}, S::kAppended, [](ArrayProbe& a) { a.AdjustAllocation(10); }, {}},
      // The flag is set even when its sort fails, so the next insertion sorts.
      {"keep sorted", {2, 3, 1}, S::kAppended, [](ArrayProbe& a) { a.SetKeepSorted(true); },
       {1, 2, 3}, [](ArrayProbe& a) {
         SInt32 zero = 0;
         EXPECT_TRUE(a.IsKeptSorted() && a.AddItem(&zero) == 1);
         EXPECT_EQ((Values{0, 1, 2, 3}), a.Items());
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int fired = SweepAllocationFailures([&](FaultRun& run) {
      std::unique_ptr<ArrayProbe> a = Make(c.values, c.start);
      auto before = a->State();
      SInt32 code = RunArmed(run, [&] { c.op(*a); });
      EXPECT_FALSE(a->BlockLocked()) << "the block's state is restored";
      if (code == 0) {
        EXPECT_EQ(c.expected, a->Items());
      } else {
        EXPECT_EQ(memFullErr, code);
        EXPECT_EQ(before, a->State()) << "count, bytes, block size, sorted flag, contents";
        if (c.afterFailure) c.afterFailure(*a);
      }
    });
    EXPECT_GT(fired, 0) << "the sweep must have failed something";
  }
}

TEST(LArrayFault, ReservingConstructorThrowsAndFreesWhatItTook) {
  int fired = SweepAllocationFailures([&](FaultRun& run) {
    std::unique_ptr<ArrayProbe> made;
    auto make = [&] { made.reset(new ArrayProbe(25, 4, new FieldComparator, true)); };
    SInt32 code = RunArmed(run, make);
    if (code != 0) {
      EXPECT_EQ(memFullErr, code);
      EXPECT_EQ(0, FieldComparator::live) << "the owned comparator is not leaked";
    } else {
      ASSERT_NE(nullptr, made);
      EXPECT_EQ(0u, made->GetCount());
      EXPECT_EQ(100u, made->Allocated()) << "exactly the reserve, at once";
    }
  });
  EXPECT_GT(fired, 0);
}

TEST(LArrayFault, ThrowingComparatorLeavesLocksAndItemsAsTheyWere) {
  auto throwing = [] { throw std::runtime_error("comparator failed"); };
  auto* comparator = new FieldComparator;
  comparator->onCompare = throwing;
  ArrayProbe a(4, comparator, false);
  SInt32 v = 1;
  for (SInt32 value : {2, 1}) a.AddItem(&value);
  EXPECT_THROW(a.Sort(), std::runtime_error);
  EXPECT_FALSE(a.BlockLocked()) << "unlocked again after the throw";
  EXPECT_EQ(0, a.LockCount());
  EXPECT_THROW(a.FetchIndexOf(&v), std::runtime_error);
  EXPECT_EQ(0, a.LockCount()) << "a search unlocks when the comparator throws";
  a.Lock();
  EXPECT_THROW(a.Sort(), std::runtime_error);
  EXPECT_TRUE(a.BlockLocked()) << "an already locked block stays locked";
  a.Unlock();

  // A kept-sorted assignment whose insertion throws puts the removed item back.
  auto* keptOrder = new FieldComparator;
  keptOrder->onCompare = throwing;
  ArrayProbe kept(4, BlockOf({1, 2}), keptOrder, true, true);
  EXPECT_THROW(kept.AssignItemsAt(1, 1, &v), std::runtime_error);
  EXPECT_EQ((Values{1, 2}), kept.Items());
  EXPECT_TRUE(kept.IsSorted());
}
