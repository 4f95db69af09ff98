// Tests of the memory functions over handles: allocation, locking, null and count rules.
#include <gtest/gtest.h>

#include <string>

#include "FaultSweep.h"
#include "toolbox/host.h"
#include "toolbox/memory.h"
#include "velkui/support.h"

using namespace toolbox::host;

namespace {

bool Locked(Handle h) { return HGetState(h) & 0x80; }

TEST(MemoryFunctions, AllocClearsOnlyForClearEqualToOneAndLockPinsUntilFree) {
  size_t handles = LiveHandles();
  for (SInt32 clear : {1, 0, 2, -1}) {
    Handle h = Mem_Alloc(16, clear);
    ASSERT_NE(nullptr, h) << "clear " << clear;
    // The toolbox fills uninitialised blocks with 0xA5, so the two requests differ visibly.
    EXPECT_EQ(std::string(16, clear == 1 ? 0 : char(0xA5)), std::string(*h, 16)) << clear;
    EXPECT_FALSE(Locked(h)) << "a new block is unlocked";
    EXPECT_EQ(*h, Mem_Lock(h)) << "the address is the master pointer's value";
    EXPECT_TRUE(Locked(h));
    if (clear == 0) {
      EXPECT_EQ(0, Mem_Unlock(h));
      EXPECT_FALSE(Locked(h));
    }
    EXPECT_EQ(0, Mem_Free(h)) << "a locked block is freed too";
  }
  EXPECT_EQ(handles, LiveHandles()) << "every block freed";
  EXPECT_EQ(nullptr, Mem_Alloc(0xFFFFFFFFu, 1)) << "a size the platform cannot represent";
  EXPECT_EQ(nullptr, Mem_Lock(nullptr)) << "null handles are accepted";
  EXPECT_EQ(0, Mem_Unlock(nullptr) | Mem_Free(nullptr) | MemFree(nullptr));
}

TEST(MemoryFunctions, CopyHonoursSignedCountAndOverlapAndClearZeroesCountBytes) {
  // Counts with the top bit set must copy nothing, so passing them is safe.
  const std::pair<UInt32, const char*> rows[] = {{0, "abcdefgh"}, {0x80000000u, "abcdefgh"},
      {0xFFFFFFFFu, "abcdefgh"}, {3, "abcabcgh"}, {5, "abcabcde"}};
  for (const auto& [count, expected] : rows) {
    char buffer[9] = "abcdefgh";
    EXPECT_EQ(0, Mem_Copy(buffer + 3, buffer, count));
    EXPECT_STREQ(expected, buffer) << "count " << count;
  }
  char buffer[9] = "abcdefgh";
  Mem_Copy(buffer, buffer + 2, 6);
  EXPECT_STREQ("cdefghgh", buffer) << "overlapping backward copy";
  EXPECT_EQ(0, Mem_Clear(buffer + 1, 5));
  EXPECT_EQ(std::string("c\0\0\0\0\0gh", 8), std::string(buffer, 8));
  EXPECT_EQ(0, Mem_Clear(nullptr, 0)) << "nothing to clear";
}

TEST(MemoryFunctions, CallocGivesALockedZeroedBlockOrNullUnderEveryFailure) {
  int fired = testing_support::SweepAllocationFailures([](testing_support::FaultRun& run) {
    Handle h = reinterpret_cast<Handle>(0x1);
    run.Arm();
    Ptr p = Calloc(&h, 24);
    run.Disarm();
    if (run.Fired()) {
      EXPECT_TRUE(p == nullptr && h == nullptr) << "a failed Calloc stores null";
      return;
    }
    ASSERT_TRUE(p != nullptr && h != nullptr);
    EXPECT_EQ(*h, p);
    EXPECT_TRUE(Locked(h)) << "Calloc hands the block back locked";
    EXPECT_EQ(std::string(24, 0), std::string(p, 24));
    EXPECT_EQ(0, MemFree(h));
  });
  EXPECT_EQ(2, fired);
  Handle h = reinterpret_cast<Handle>(0x1);
  EXPECT_EQ(nullptr, Calloc(&h, 0xFFFFFFF0u));
  EXPECT_EQ(nullptr, h);
  EXPECT_EQ(nullptr, Calloc(nullptr, 16)) << "no place for the handle";
}

}  // namespace
