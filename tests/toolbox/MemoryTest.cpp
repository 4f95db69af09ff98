// Tests of the memory service: handles, locking, pointer blocks, injection, scramble.
#include <gtest/gtest.h>

#include <cstring>

#include "toolbox/host.h"
#include "toolbox/memory.h"

using namespace toolbox::host;

namespace {

class MemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearAllocationFailures();
    handles_ = LiveHandles();
    pointers_ = LivePointers();
  }
  void TearDown() override {
    ClearAllocationFailures();
    EXPECT_EQ(handles_, LiveHandles()) << "a test leaked a handle";
    EXPECT_EQ(pointers_, LivePointers()) << "a test leaked a pointer block";
  }
  size_t handles_ = 0;
  size_t pointers_ = 0;
};

TEST_F(MemoryTest, BlocksKeepContentsAcrossResizeAndCopyAndKnowTheirSize) {
  Handle h = NewHandleClear(8);
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(noErr, MemError());
  EXPECT_EQ(8, GetHandleSize(h));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(0, (*h)[i]) << "NewHandleClear must zero byte " << i;
  std::memcpy(*h, "abcdefgh", 8);
  SetHandleSize(h, 4096);
  EXPECT_EQ(noErr, MemError());
  EXPECT_EQ(4096, GetHandleSize(h));
  EXPECT_EQ(0, std::memcmp(*h, "abcdefgh", 8)) << "growth lost the contents";
  SetHandleSize(h, 3);
  EXPECT_EQ(3, GetHandleSize(h));
  EXPECT_EQ(0, std::memcmp(*h, "abc", 3));
  Handle copy = h;
  ASSERT_EQ(noErr, HandToHand(&copy));
  EXPECT_NE(h, copy) << "HandToHand makes a new handle";
  EXPECT_EQ(3, GetHandleSize(copy));
  EXPECT_EQ(0, std::memcmp(*copy, "abc", 3));
  DisposeHandle(copy);
  DisposeHandle(h);
  EXPECT_EQ(noErr, MemError());

  Ptr p = NewPtrClear(33);
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(33, GetPtrSize(p));
  EXPECT_EQ(0, p[32]);
  EXPECT_EQ(1u, LivePointers() - pointers_);
  DisposePtr(p);
  EXPECT_EQ(noErr, MemError());
}

TEST_F(MemoryTest, HSetStateRestoresTheLockAndScrambleMovesOnlyUnlockedBlocks) {
  bool was = ScrambleEnabled();
  SetScramble(true);
  Handle loose = NewHandle(4);
  Handle pinned = NewHandle(4);
  std::memcpy(*loose, "abcd", 4);
  EXPECT_EQ(0, HGetState(pinned) & 0x80);
  HLock(pinned);
  EXPECT_EQ(0x80, HGetState(pinned) & 0x80);
  SignedByte saved = HGetState(pinned);
  HUnlock(pinned);
  EXPECT_EQ(0, HGetState(pinned) & 0x80);
  HSetState(pinned, saved);
  EXPECT_EQ(0x80, HGetState(pinned) & 0x80) << "HSetState must restore the lock";
  Ptr pinnedAt = *pinned;
  Ptr looseAt = *loose;
  Handle other = NewHandle(1);
  EXPECT_NE(looseAt, *loose) << "an unlocked block must move at an allocation";
  EXPECT_EQ(0, std::memcmp(*loose, "abcd", 4)) << "moving must keep the contents";
  EXPECT_EQ(pinnedAt, *pinned) << "a locked block must stay put";
  SetScramble(was);
  DisposeHandle(loose);
  DisposeHandle(pinned);
  DisposeHandle(other);
}

TEST_F(MemoryTest, BadHandlesAndPointersAreRefusedNotCrashed) {
  EXPECT_EQ(0, GetHandleSize(nullptr));
  EXPECT_EQ(nilHandleErr, MemError());
  DisposeHandle(nullptr);
  EXPECT_EQ(nilHandleErr, MemError());
  Handle h = NewHandle(4);
  DisposeHandle(h);
  DisposeHandle(h);  // a second disposal is noticed, not performed
  EXPECT_EQ(nilHandleErr, MemError());
  char local[4];
  DisposePtr(local);
  EXPECT_EQ(memWZErr, MemError());
  EXPECT_EQ(nullptr, NewHandle(-1));
  EXPECT_EQ(memFullErr, MemError());
  EXPECT_EQ(nullptr, NewPtr(Size(0x7FFFFFFF)));
  EXPECT_EQ(memFullErr, MemError());
}

TEST_F(MemoryTest, TransientFailureFailsOneCallAndPersistentLastsUntilCleared) {
  int before = InjectedFailures();
  FailAllocation(2, FailureMode::kTransient);
  Handle a = NewHandle(4);
  Ptr b = NewPtr(4);
  Handle c = NewHandle(4);
  EXPECT_NE(nullptr, a);
  EXPECT_EQ(nullptr, b) << "the second allocating call must fail";
  EXPECT_NE(nullptr, c) << "a transient failure fails one call only";
  EXPECT_EQ(before + 1, InjectedFailures());
  DisposeHandle(a);
  DisposeHandle(c);

  FailAllocation(1, FailureMode::kPersistent);
  EXPECT_EQ(nullptr, NewHandle(4));
  EXPECT_EQ(memFullErr, MemError());
  EXPECT_EQ(nullptr, NewPtrClear(4));
  ClearAllocationFailures();
  Handle h = NewHandle(4);
  ASSERT_NE(nullptr, h);
  FailAllocation(1, FailureMode::kPersistent);
  SetHandleSize(h, 400);
  EXPECT_EQ(memFullErr, MemError());
  EXPECT_EQ(4, GetHandleSize(h)) << "a failed growth leaves the block as it was";
  SetHandleSize(h, 2);  // shrinking needs no memory and still works
  EXPECT_EQ(noErr, MemError());
  ClearAllocationFailures();
  DisposeHandle(h);
}

}  // namespace
