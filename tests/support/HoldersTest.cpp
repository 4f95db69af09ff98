// Scoped holders: give-back at scope exit, ownership, fault sweeps and exceptions passing.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "ExceptionCode.h"
#include "FaultSweep.h"
#include "toolbox/host/memory.h"
#include "toolbox/host/resources.h"
#include "toolbox/memory.h"
#include "velkui/support.h"

using testing_support::FaultRun;
using testing_support::SweepAllocationFailures;
using toolbox::host::LiveHandles;

namespace {

constexpr ResType kData = 0x44415441;  // 'DATA'

bool Locked(Handle h) { return UInt8(HGetState(h)) & 0x80; }

}  // namespace

TEST(Holders, LockersRestoreTheStateAndOnlyOwnersDispose) {
  for (bool lockedBefore : {false, true}) {
    StHandleBlock block(16);
    if (lockedBefore) HLock(block.Get());
    CodeOf([&] {
      StHandleLocker locker(block.Get());
      EXPECT_TRUE(Locked(block.Get()) && locker.IsLockedHere() != lockedBefore);
      throw LException(1);
    });
    EXPECT_EQ(lockedBefore, Locked(block.Get())) << "after an exception left the scope";
  }
  EXPECT_EQ(nilHandleErr, CodeOf([] { StHandleState state(nullptr); })) << "no state to read";
  size_t live = LiveHandles();
  Handle h = NewHandle(8);
  { StHandleBlock notOwner(h, false); }
  { StHandleBlock(h).Release(); }
  EXPECT_EQ(live + 1, LiveHandles()) << "neither holder may dispose of it";
  { StHandleBlock owner(h); EXPECT_FALSE(owner.IsAResource()); }
  EXPECT_EQ(live, LiveHandles());
}

TEST(StResource, GivenBackToTheResourceServiceOrFreedOnceDetachedAndMissingOnesThrowOnRequest) {
  SInt16 file = toolbox::host::CreateResourceFile("holders");
  toolbox::host::AddResource(file, kData, 128, "first", {'a', 'b', 'c'});
  size_t live = LiveHandles();
  { StHandleBlock block(::GetResource(kData, 128)); EXPECT_TRUE(block.IsAResource()); }
  { StResource byName(kData, (ConstStringPtr) "\x05" "first"); ASSERT_NE(nullptr, byName.Get()); }
  { StResource byIndex; ASSERT_NE(nullptr, byIndex.GetIndResource(kData, 1)); }
  {
    StResource detached(kData, 128);
    detached.Detach();
    EXPECT_FALSE(StHandleBlock(detached.Get(), false).IsAResource());
  }
  EXPECT_EQ(live, LiveHandles()) << "every lookup given back";
  SInt16 newer = toolbox::host::CreateResourceFile("newer");  // current, without 'DATA'
  EXPECT_EQ(nullptr, StResource(kData, 128, false, true).Get()) << "current file only";
  StResource again(kData, 128, false, false);  // the whole chain; still known after all that
  EXPECT_TRUE(again.Get() && (*again.Get())[0] == 'a');
  EXPECT_EQ(nullptr, StResource(kData, 999, false).Get());
  EXPECT_EQ(resNotFound, CodeOf([] { StResource missing(kData, 999, true); }));
  again.Dispose();
  CloseResFile(newer);
  CloseResFile(file);
}

/// Every allocating holder operation either succeeds or throws memFullErr, and
/// a failed assignment leaves the target as it was.
TEST(Holders, FaultSweepOverEveryAllocatingOperation) {
  SInt16 file = toolbox::host::CreateResourceFile("swept");
  toolbox::host::AddResource(file, kData, 128, "", std::vector<uint8_t>(64, 1));
  StHandleBlock handleSource(32);
  StPointerBlock pointerSource(32);
  std::memset(pointerSource.Get(), 7, 32);
  const std::function<void()> ops[] = {
      [] { StHandleBlock b(64); },       [] { StHandleBlock b(64, true, true); },
      [] { StClearHandleBlock b(64); },  [] { StTempHandle b(64); },
      [] { StPointerBlock b(64, true, true); }, [] { StClearPointerBlock b(64); },
      [&] { StHandleBlock b(handleSource); },  [] { StResource r(kData, 128); },
      [&] { StPointerBlock b(pointerSource); EXPECT_EQ(7, b.Get()[31]); },
  };
  for (const auto& op : ops) {
    SweepAllocationFailures([&](FaultRun& run) {
      run.Arm();
      SInt32 code = CodeOf(op);
      run.Disarm();
      EXPECT_TRUE(code == 0 || (run.Fired() && code == memFullErr)) << code;
    });
  }
  SweepAllocationFailures([&](FaultRun& run) {
    StHandleBlock handleTarget(8);
    StPointerBlock pointerTarget(8);
    Handle oldHandle = handleTarget.Get();
    Ptr oldPointer = pointerTarget.Get();
    run.Arm();
    CodeOf([&] { handleTarget = handleSource; pointerTarget = pointerSource; });
    run.Disarm();
    // Either the copy is held, or the old block is, intact.
    EXPECT_EQ(handleTarget.Get() == oldHandle ? 8 : 32, GetHandleSize(handleTarget.Get()));
    EXPECT_EQ(pointerTarget.Get() == oldPointer ? 8 : 32, GetPtrSize(pointerTarget.Get()));
  });
  EXPECT_EQ(nullptr, StHandleBlock(0x7FFFFFF0, false).Get()) << "no throw when not asked";
  CloseResFile(file);
}
