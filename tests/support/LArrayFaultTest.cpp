// Fault-injection sweeps over every allocating path of the array.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "ArrayProbe.h"
#include "FaultSweep.h"
#include "toolbox/host/memory.h"

using array_test::ArrayProbe;
using array_test::ExpectUnchanged;
using array_test::ReverseComparator;
using array_test::Snapshot;
using testing_support::FaultRun;
using testing_support::SweepAllocationFailures;
using Values = std::vector<SInt32>;

namespace {

/// Runs `op` between Arm and Disarm; returns the exception's code, or 0 when none was thrown.
template <class Op>
SInt32 RunArmed(FaultRun& run, Op op) {
  SInt32 code = 0;
  run.Arm();
  try {
    op();
  } catch (const LException& e) {
    code = e.GetErrorCode();
    EXPECT_NE(0, code) << "an exception must carry a code";
  }
  run.Disarm();
  return code;
}

/// An array of `count` values 1 ... count, grown one item at a time.
void Fill(ArrayProbe& a, SInt32 count) {
  for (SInt32 v = 1; v <= count; ++v) a.AddItem(&v);
}

using Maker = std::function<std::unique_ptr<ArrayProbe>()>;

/// Makes a 4-byte array of `values`, appended one at a time; `trimmed` leaves it no slack.
Maker Made(Values values, bool keepSorted = false, bool trimmed = false) {
  return [=] {
    auto a = std::make_unique<ArrayProbe>(4, nullptr, keepSorted);
    for (SInt32 value : values) a->AddItem(&value);
    if (trimmed) a->AdjustAllocation(0);
    return a;
  };
}

}  // namespace

TEST(LArrayFault, AppendingFromEverySizeRetriesAtTheExactSizeOrLeavesTheArrayAlone) {
  for (SInt32 start = 0; start <= 9; ++start) {
    SCOPED_TRACE("array of " + std::to_string(start));
    SweepAllocationFailures([&](FaultRun& run) {
      ArrayProbe a;
      Fill(a, start);
      Snapshot before(a);
      SInt32 v = 100, index = 0;
      SInt32 code = RunArmed(run, [&] { index = a.AddItem(&v); });
      if (code != 0) {
        EXPECT_TRUE(run.Persistent()) << "only a persistent failure defeats the retry";
        EXPECT_EQ(memFullErr, code);
        ExpectUnchanged(before, a);
        return;
      }
      EXPECT_EQ(start + 1, index);
      EXPECT_EQ(100, a.Values().back());
      if (run.Fired()) {
        // The refused request was the doubled block; the retry asks for the exact size.
        EXPECT_EQ(UInt32(4 * (start + 1)), a.Allocated()) << "retried at the exact size";
        EXPECT_EQ(a.Allocated(), UInt32(GetHandleSize(a.Block())));
        a.AddItem(&v);
        EXPECT_EQ(UInt32(8 * (start + 1)), a.Allocated()) << "the next growth doubles from there";
      }
    });
  }
}

// Each change either completes or throws memFullErr leaving the array exactly as it was.
TEST(LArrayFault, FailedChangesLeaveTheArrayExactlyAsItWas) {
  SInt32 v = -1, v25 = 25, v35 = 35;
  ArrayProbe source(4, new ReverseComparator, true);
  for (SInt32 value : {1, 2, 3}) source.AddItem(&value);
  const struct {
    const char* name;
    Maker make;
    std::function<void(ArrayProbe&)> op;
    Values expected;
  } cases[] = {
      {"insert in the middle", Made({1, 2, 3, 4, 5, 6, 7, 8}),
       [&](ArrayProbe& a) { a.InsertItemsAt(3, 2, &v); }, {1, -1, -1, -1, 2, 3, 4, 5, 6, 7, 8}},
      {"sorted insertion", Made({40, 10, 30, 20}, true), [&](ArrayProbe& a) { a.AddItem(&v25); },
       {10, 20, 25, 30, 40}},
      {"sort", Made({5, 3, 9, 1, 7, 2}), [](ArrayProbe& a) { a.Sort(); }, {1, 2, 3, 5, 7, 9}},
      {"sorted assignment", Made({10, 20, 30, 40}, true, true),
       [&](ArrayProbe& a) { a.AssignItemsAt(2, 1, &v35); }, {30, 35, 35, 40}},
      // A kept-sorted array adopting an unordered block: item 1 as it stands (40) goes first.
      {"sorted assignment before the first sort",
       [] {
         Handle h = NewHandle(16);
         const SInt32 values[4] = {40, 10, 30, 20};
         std::memcpy(*h, values, sizeof values);
         return std::make_unique<ArrayProbe>(4, h, nullptr, false, true);
       },
       [&](ArrayProbe& a) { a.AssignItemsAt(2, 1, &v35); }, {20, 30, 35, 35}},
      {"copy", Made({1}), [&](ArrayProbe& a) { a = source; }, {3, 2, 1}},
      {"swap", Made({1, 2, 3}), [](ArrayProbe& a) { a.SwapItems(1, 3); }, {3, 2, 1}},
      {"move", Made({1, 2, 3}), [](ArrayProbe& a) { a.MoveItem(1, 3); }, {2, 3, 1}},
      {"reserve", Made({1, 2, 3}),
       [](ArrayProbe& a) {
         a.AdjustAllocation(10);
         EXPECT_EQ(52u, a.Allocated()) << "room for exactly count + 10";
       },
       {1, 2, 3}},
      {"first block", Made({}), [](ArrayProbe& a) { a.AdjustAllocation(10); }, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int fired = SweepAllocationFailures([&](FaultRun& run) {
      std::unique_ptr<ArrayProbe> a = c.make();
      Snapshot before(*a);
      SInt32 code = RunArmed(run, [&] { c.op(*a); });
      EXPECT_FALSE(a->BlockLocked()) << "the block's state is restored";
      if (code == 0) {
        EXPECT_EQ(c.expected, a->Values());
        return;
      }
      EXPECT_EQ(memFullErr, code);
      ExpectUnchanged(before, *a);
    });
    EXPECT_GT(fired, 0) << "the sweep must have failed something";
  }
}

TEST(LArrayFault, ReservingConstructorThrowsAndFreesWhatItTook) {
  int fired = SweepAllocationFailures([&](FaultRun& run) {
    ArrayProbe* made = nullptr;
    SInt32 code = RunArmed(run, [&] { made = new ArrayProbe(25, 4, new ReverseComparator, true); });
    if (code != 0) {
      EXPECT_EQ(memFullErr, code);
      EXPECT_EQ(nullptr, made);
      EXPECT_EQ(0, ReverseComparator::live) << "the owned comparator is not leaked";
      return;
    }
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(0u, made->GetCount());
    EXPECT_EQ(100u, made->Allocated()) << "exactly the reserve, at once";
    delete made;
  });
  EXPECT_GT(fired, 0);
}

TEST(LArrayFault, KeepSortedSurvivesAFailedSortAndSortsOnTheNextInsertion) {
  SweepAllocationFailures([&](FaultRun& run) {
    ArrayProbe a{2, 3, 1};
    Snapshot before(a);
    SInt32 code = RunArmed(run, [&] { a.SetKeepSorted(true); });
    EXPECT_TRUE(a.IsKeptSorted());
    if (code == 0) return;
    ExpectUnchanged(before, a);
    SInt32 v = 0;
    EXPECT_EQ(1, a.AddItem(&v));
    EXPECT_EQ((Values{0, 1, 2, 3}), a.Values());
  });
}

TEST(LArrayFault, ThrowingComparatorLeavesLocksAndItemsAsTheyWere) {
  class Throwing : public LComparator {
   public:
    SInt32 Compare(const void*, const void*, UInt32, UInt32) const override {
      throw std::runtime_error("comparator failed");
    }
  };
  ArrayProbe a(4, new Throwing, false);
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
  Handle h = NewHandle(8);
  const SInt32 sorted[2] = {1, 2};
  std::memcpy(*h, sorted, sizeof sorted);
  ArrayProbe kept(4, h, new Throwing, true, true);
  EXPECT_THROW(kept.AssignItemsAt(1, 1, &v), std::runtime_error);
  EXPECT_EQ((Values{1, 2}), kept.Values());
  EXPECT_TRUE(kept.IsSorted());
}

TEST(LArrayFault, GetItemsHandleOnlyTrims) {
  ArrayProbe a{1, 2, 3, 4, 5};
  Handle h = a.GetItemsHandle();
  EXPECT_EQ(a.Block(), h) << "the array keeps owning its block";
  EXPECT_EQ(20, GetHandleSize(h)) << "trimmed to the bytes in use";
  EXPECT_EQ(nullptr, ArrayProbe().GetItemsHandle()) << "an empty array has no block to hand out";
}
