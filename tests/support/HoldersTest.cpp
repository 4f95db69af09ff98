// Scoped holders: give-back at scope exit, ownership, fault sweeps and exceptions passing.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "FaultSweep.h"
#include "toolbox/host/memory.h"
#include "toolbox/host/resources.h"
#include "toolbox/memory.h"
#include "velkui/support.h"

using testing_support::FaultRun;
using testing_support::SweepAllocationFailures;

namespace {

bool Locked(Handle h) { return UInt8(HGetState(h)) & 0x80; }

constexpr ResType kData = 0x44415441;  // 'DATA'

/// A resource file holding 'DATA' 128 ("abc", named "first"), closed at the end.
class HolderResources : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = toolbox::host::CreateResourceFile("holders");
    toolbox::host::AddResource(file_, kData, 128, "first", {'a', 'b', 'c'});
  }
  void TearDown() override { CloseResFile(file_); }
  SInt16 file_ = 0;
};

}  // namespace

TEST(StHandleLocker, LeavesALockedHandleLockedAndUnlocksOnlyWhatItLocked) {
  for (bool lockedBefore : {false, true}) {
    SCOPED_TRACE(lockedBefore ? "locked before" : "unlocked before");
    StHandleBlock block(16);
    if (lockedBefore) HLock(block.Get());
    try {
      StHandleLocker locker(block.Get());
      EXPECT_TRUE(Locked(block.Get()));
      EXPECT_EQ(!lockedBefore, locker.IsLockedHere());
      throw LException(1);
    } catch (const LException&) {
    }
    EXPECT_EQ(lockedBefore, Locked(block.Get())) << "state after an exception left the scope";
  }
  EXPECT_THROW(StHandleState state(nullptr), LException) << "no state to save";
}

TEST(StHandleBlock, OwnershipDecidesWhoDisposes) {
  size_t live = toolbox::host::LiveHandles();
  Handle h = NewHandle(8);
  { StHandleBlock notOwner(h, false); }
  { StHandleBlock released(h); EXPECT_EQ(h, released.Release()); }
  EXPECT_EQ(live + 1, toolbox::host::LiveHandles()) << "neither holder may dispose of it";
  { StHandleBlock owner(h); EXPECT_FALSE(owner.IsAResource()); }
  EXPECT_EQ(live, toolbox::host::LiveHandles());
}

TEST_F(HolderResources, ResourcesGoBackToTheResourceServiceAndDetachedOnesAreFreed) {
  size_t live = toolbox::host::LiveHandles();
  { StHandleBlock block(::GetResource(kData, 128)); EXPECT_TRUE(block.IsAResource()); }
  { StResource byName(kData, (ConstStringPtr) "\x05" "first"); ASSERT_NE(nullptr, byName.Get()); }
  { StResource byIndex; ASSERT_NE(nullptr, byIndex.GetIndResource(kData, 1)); }
  {
    StResource detached(kData, 128);
    detached.Detach();
    EXPECT_FALSE(StHandleBlock(detached.Get(), false).IsAResource());
  }
  EXPECT_EQ(live, toolbox::host::LiveHandles()) << "every lookup given back";
  StResource again(kData, 128);  // the file still knows the resource after all that
  ASSERT_NE(nullptr, again.Get());
  EXPECT_EQ('a', (*again.Get())[0]);
}

TEST_F(HolderResources, MissingResourcesThrowOnlyWhenAsked) {
  SInt16 newer = toolbox::host::CreateResourceFile("newer");  // current, without 'DATA'
  EXPECT_EQ(nullptr, StResource(kData, 128, false, true).Get()) << "current file only";
  EXPECT_NE(nullptr, StResource(kData, 128, false, false).Get()) << "whole chain";
  EXPECT_EQ(nullptr, StResource(kData, 999, false).Get());
  try {
    StResource missing(kData, 999, true);
    ADD_FAILURE() << "a missing resource must throw";
  } catch (const LException& e) {
    EXPECT_EQ(resNotFound, e.GetErrorCode());
  }
  CloseResFile(newer);
}

TEST(BlockCompare, BytesThenSizes) {
  const UInt8 one[] = {1, 2, 3, 4, 5};
  const UInt8 two[] = {1, 2, 3, 9, 9};
  const UInt8 big[] = {1, 200};
  EXPECT_EQ(-2, BlockCompare(one, two, 3, 5));
  EXPECT_EQ(4 - 9, BlockCompare(one, two, 5));
  EXPECT_EQ(2 - 200, BlockCompare(one, big, 2)) << "bytes read as unsigned";
  EXPECT_TRUE(BlocksAreEqual(one, two, 0));
  EXPECT_FALSE(BlocksAreEqual(one, two, 4));
}

/// Every allocating holder operation either succeeds or throws memFullErr, and
/// a failed assignment leaves the target as it was.
TEST(Holders, FaultSweepOverEveryAllocatingOperation) {
  using Op = std::function<void()>;
  StHandleBlock handleSource(32);
  StPointerBlock pointerSource(32);
  std::memset(pointerSource.Get(), 7, 32);
  const std::pair<const char*, Op> ops[] = {
      {"handle block", [] { StHandleBlock b(64); }},
      {"handle block from temporary memory", [] { StHandleBlock b(64, true, true); }},
      {"clear handle block", [] { StClearHandleBlock b(64); }},
      {"temp handle", [] { StTempHandle b(64); }},
      {"pointer block", [] { StPointerBlock b(64, true, true); }},
      {"clear pointer block", [] { StClearPointerBlock b(64); }},
      {"handle copy", [&] { StHandleBlock b(handleSource); }},
      {"pointer copy", [&] { StPointerBlock b(pointerSource); EXPECT_EQ(7, b.Get()[31]); }},
  };
  for (const auto& [name, op] : ops) {
    SCOPED_TRACE(name);
    SweepAllocationFailures([&](FaultRun& run) {
      run.Arm();
      try {
        op();
      } catch (const LException& e) {
        EXPECT_EQ(memFullErr, e.GetErrorCode());
      }
      run.Disarm();
    });
  }
  SweepAllocationFailures([&](FaultRun& run) {
    StHandleBlock handleTarget(8);
    StPointerBlock pointerTarget(8);
    Handle oldHandle = handleTarget.Get();
    Ptr oldPointer = pointerTarget.Get();
    run.Arm();
    try {
      handleTarget = handleSource;
      pointerTarget = pointerSource;
    } catch (const LException& e) {
      EXPECT_EQ(memFullErr, e.GetErrorCode());
    }
    run.Disarm();
    // Either the copy is held, or the old block is, intact.
    EXPECT_EQ(handleTarget.Get() == oldHandle ? 8 : 32, GetHandleSize(handleTarget.Get()));
    EXPECT_EQ(pointerTarget.Get() == oldPointer ? 8 : 32, GetPtrSize(pointerTarget.Get()));
  });
  EXPECT_EQ(nullptr, StHandleBlock(0x7FFFFFF0, false).Get()) << "no throw when not asked";
}
