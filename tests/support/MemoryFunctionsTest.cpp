// Tests of the memory functions over handles: allocation, locking, null and count rules.
#include <gtest/gtest.h>

#include <cstring>

#include "FaultSweep.h"
#include "toolbox/host.h"
#include "toolbox/memory.h"
#include "velkui/support.h"

using namespace toolbox::host;

namespace {

constexpr SignedByte kLocked = SignedByte(0x80);

class MemoryFunctions : public ::testing::Test {
 protected:
  void SetUp() override { handles_ = LiveHandles(); }
  void TearDown() override {
    ClearAllocationFailures();
    EXPECT_EQ(handles_, LiveHandles()) << "a handle leaked or was freed twice";
  }
  size_t handles_ = 0;
};

TEST_F(MemoryFunctions, AllocClearsOnlyForClearEqualToOneAndLockPinsUntilFree) {
  for (SInt32 clear : {1, 0, 2, -1}) {
    Handle h = Mem_Alloc(16, clear);
    ASSERT_NE(nullptr, h) << "clear " << clear;
    EXPECT_EQ(0, HGetState(h) & kLocked) << "a new block is unlocked";
    // The toolbox fills uninitialised blocks with 0xA5, so the two requests differ visibly.
    const char expected = clear == 1 ? 0 : char(0xA5);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(expected, (*h)[i]) << "clear " << clear << " byte " << i;
    Ptr p = Mem_Lock(h);
    EXPECT_EQ(*h, p) << "the address is the master pointer's value";
    EXPECT_NE(0, HGetState(h) & kLocked);
    if (clear == 0) {
      EXPECT_EQ(0, Mem_Unlock(h));
      EXPECT_EQ(0, HGetState(h) & kLocked);
    }
    EXPECT_EQ(0, Mem_Free(h)) << "a locked block is freed too";
    EXPECT_FALSE(IsLiveHandle(h));
  }
  EXPECT_EQ(nullptr, Mem_Alloc(0xFFFFFFFFu, 1)) << "a size the platform cannot represent";
  FailAllocation(1, FailureMode::kTransient);
  EXPECT_EQ(nullptr, Mem_Alloc(16, 0)) << "injected failure";
  EXPECT_EQ(nullptr, Mem_Lock(nullptr)) << "null handles are accepted";
  EXPECT_EQ(0, Mem_Unlock(nullptr) | Mem_Free(nullptr) | MemFree(nullptr));
}

TEST_F(MemoryFunctions, CopyHonoursSignedCountAndOverlapAndClearZeroesCountBytes) {
  // Counts with the top bit set must copy nothing, so passing them is safe.
  const struct {
    UInt32 count;
    const char* expected;
  } cases[] = {{0, "abcdefgh"}, {0x80000000u, "abcdefgh"}, {0xFFFFFFFFu, "abcdefgh"},
               {3, "abcabcgh"}, {5, "abcabcde"}};
  for (const auto& c : cases) {
    char buffer[9] = "abcdefgh";
    EXPECT_EQ(0, Mem_Copy(buffer + 3, buffer, c.count));
    EXPECT_STREQ(c.expected, buffer) << "count " << c.count;
  }
  char buffer[9] = "abcdefgh";
  Mem_Copy(buffer, buffer + 2, 6);
  EXPECT_STREQ("cdefghgh", buffer) << "overlapping backward copy";
  char bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(0, Mem_Clear(bytes + 1, 5));
  const char expected[8] = {1, 0, 0, 0, 0, 0, 7, 8};
  EXPECT_EQ(0, std::memcmp(expected, bytes, 8));
  EXPECT_EQ(0, Mem_Clear(nullptr, 0)) << "nothing to clear";
}

TEST_F(MemoryFunctions, CallocGivesALockedZeroedBlockOrNullUnderEveryFailure) {
  int fired = testing_support::SweepAllocationFailures([](testing_support::FaultRun& run) {
    Handle h = reinterpret_cast<Handle>(0x1);
    run.Arm();
    Ptr p = Calloc(&h, 24);
    run.Disarm();
    if (run.Fired()) {
      EXPECT_EQ(nullptr, p);
      EXPECT_EQ(nullptr, h) << "a failed Calloc stores null";
      return;
    }
    ASSERT_TRUE(p != nullptr && h != nullptr);
    EXPECT_EQ(*h, p);
    EXPECT_NE(0, HGetState(h) & kLocked) << "Calloc hands the block back locked";
    for (int i = 0; i < 24; ++i) EXPECT_EQ(0, p[i]) << "byte " << i;
    EXPECT_EQ(0, MemFree(h));
  });
  EXPECT_EQ(2, fired);
  Handle h = reinterpret_cast<Handle>(0x1);
  EXPECT_EQ(nullptr, Calloc(&h, 0xFFFFFFF0u));
  EXPECT_EQ(nullptr, h);
  EXPECT_EQ(nullptr, Calloc(nullptr, 16)) << "no place for the handle";
}

}  // namespace
