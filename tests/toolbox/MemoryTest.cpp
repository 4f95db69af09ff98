// Tests of the memory service: handles, locking, pointer blocks, injection, scramble.
#include <gtest/gtest.h>

#include <cstring>

#include "toolbox/host.h"
#include "toolbox/memory.h"

using namespace toolbox::host;

namespace {

class MemoryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ClearAllocationFailures();
    EXPECT_EQ(handles_, LiveHandles()) << "a test leaked a handle";
    EXPECT_EQ(pointers_, LivePointers()) << "a test leaked a pointer block";
  }
  const size_t handles_ = LiveHandles(), pointers_ = LivePointers();
};

TEST_F(MemoryTest, BlocksKeepContentsAcrossResizeCopyAndScrambleUnlessLocked) {
  bool was = ScrambleEnabled();
  SetScramble(true);
  Handle h = NewHandleClear(8);
  ASSERT_NE(nullptr, h);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(0, (*h)[i]) << "NewHandleClear must zero byte " << i;
  std::memcpy(*h, "abcdefgh", 8);
  SetHandleSize(h, 4096);
  EXPECT_EQ(0, std::memcmp(*h, "abcdefgh", 8)) << "growth lost the contents";
  SetHandleSize(h, 3);
  Handle copy = h;
  ASSERT_EQ(noErr, HandToHand(&copy));
  EXPECT_NE(h, copy) << "HandToHand makes a new handle";
  EXPECT_EQ(3, GetHandleSize(copy));
  EXPECT_EQ(0, std::memcmp(*copy, "abc", 3));

  HLock(copy);
  SignedByte saved = HGetState(copy);
  HUnlock(copy);
  EXPECT_EQ(0, HGetState(copy) & 0x80);
  HSetState(copy, saved);
  EXPECT_EQ(0x80, HGetState(copy) & 0x80) << "HSetState must restore the lock";
  Ptr pinnedAt = *copy, looseAt = *h;
  Handle other = NewHandle(1);
  EXPECT_NE(looseAt, *h) << "an unlocked block must move at an allocation";
  EXPECT_EQ(0, std::memcmp(*h, "abc", 3)) << "moving must keep the contents";
  EXPECT_EQ(pinnedAt, *copy) << "a locked block must stay put";
  SetScramble(was);
  Ptr p = NewPtrClear(33);
  EXPECT_EQ(33, GetPtrSize(p));
  EXPECT_EQ(0, p[32]);
  DisposePtr(p);
  for (Handle each : {other, copy, h}) DisposeHandle(each);
  EXPECT_EQ(noErr, MemError());
}

TEST_F(MemoryTest, BadBlocksAreRefusedAndInjectedFailuresLastAsAsked) {
  DisposeHandle(nullptr);
  EXPECT_EQ(nilHandleErr, MemError());
  Handle gone = NewHandle(4);
  DisposeHandle(gone);
  DisposeHandle(gone);  // a second disposal is noticed, not performed
  EXPECT_EQ(nilHandleErr, MemError());
  char local[4];
  DisposePtr(local);
  EXPECT_EQ(memWZErr, MemError());
  EXPECT_EQ(nullptr, NewHandle(-1));
  EXPECT_EQ(memFullErr, MemError());

  int before = InjectedFailures();
  FailAllocation(2, FailureMode::kTransient);
  Handle a = NewHandle(4);
  Ptr b = NewPtr(4);
  Handle c = NewHandle(4);
  EXPECT_TRUE(a != nullptr && b == nullptr && c != nullptr) << "the second call fails, only it";
  EXPECT_EQ(before + 1, InjectedFailures());
  FailAllocation(1, FailureMode::kPersistent);
  EXPECT_EQ(nullptr, NewPtrClear(4));
  SetHandleSize(a, 400);
  EXPECT_EQ(memFullErr, MemError());
  EXPECT_EQ(4, GetHandleSize(a)) << "a failed growth leaves the block as it was";
  SetHandleSize(a, 2);  // shrinking needs no memory and still works
  EXPECT_EQ(noErr, MemError());
  ClearAllocationFailures();
  DisposeHandle(a);
  DisposeHandle(c);
}

}  // namespace
