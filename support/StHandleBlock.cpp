// Scoped handle holders: lock holder, state saver and the owned handle blocks.
#include "toolbox/memory.h"
#include "toolbox/resources.h"
#include "velkui/support.h"

namespace {

constexpr UInt8 kLockedState = 0x80;

/// Throws the memory error, or memFullErr when the memory service reports none.
[[noreturn]] void ThrowAllocationError() {
  OSErr err = MemError();
  throw LException(err != noErr ? SInt32(err) : SInt32(memFullErr));
}

/// A resource goes back to the resource service, any other block is freed.
void GiveBack(Handle inHandle) {
  GetResAttrs(inHandle);
  if (ResError() == noErr) {
    ReleaseResource(inHandle);
  } else {
    DisposeHandle(inHandle);
  }
}

/// A new handle holding a copy of inSource's block; throws the copy's error.
Handle CopyOf(Handle inSource) {
  if (!inSource) return nullptr;
  Handle copy = inSource;
  OSErr err = HandToHand(&copy);
  if (err != noErr) throw LException(err);
  return copy;
}

}  // namespace

// ---------------------------------------------------------------- StHandleLocker

StHandleLocker::StHandleLocker(Handle inHandle) : handle(nullptr), lockedHere(false) {
  Adopt(inHandle);
}

StHandleLocker::~StHandleLocker() { RestoreLockState(); }

void StHandleLocker::Adopt(Handle inHandle) {
  RestoreLockState();
  handle = inHandle;
  lockedHere = false;
  if (!inHandle) return;
  SignedByte state = HGetState(inHandle);
  OSErr err = MemError();
  if (err != noErr) throw LException(err);
  if (!(UInt8(state) & kLockedState)) {
    lockedHere = true;
    HLock(inHandle);
  }
}

void StHandleLocker::RestoreLockState() {
  if (lockedHere && handle) HUnlock(handle);
}

Handle StHandleLocker::Release() {
  RestoreLockState();
  Handle released = handle;
  handle = nullptr;
  lockedHere = false;
  return released;
}

// ---------------------------------------------------------------- StHandleState

StHandleState::StHandleState(Handle inHandle) : handle(inHandle), savedState(0) {
  savedState = HGetState(inHandle);
  OSErr err = MemError();
  if (err != noErr) throw LException(err);
}

StHandleState::~StHandleState() { HSetState(handle, savedState); }

// ---------------------------------------------------------------- StHandleBlock

StHandleBlock::StHandleBlock(Handle inHandle) : handle(inHandle), isOwner(inHandle != nullptr) {}

StHandleBlock::StHandleBlock(Handle inHandle, bool inIsOwner)
    : handle(inHandle), isOwner(inIsOwner && inHandle != nullptr) {}

StHandleBlock::StHandleBlock(Size inSize, bool inThrowFail, bool inUseTempMem)
    : handle(nullptr), isOwner(true) {
  handle = NewHandle(inSize);
  OSErr err = handle ? OSErr(noErr) : MemError();
  if (!handle && inUseTempMem) handle = TempNewHandle(inSize, &err);
  if (!handle && inThrowFail) throw LException(err);
}

StHandleBlock::StHandleBlock(const StHandleBlock& inOriginal)
    : handle(CopyOf(inOriginal.handle)), isOwner(handle != nullptr) {}

StHandleBlock& StHandleBlock::operator=(const StHandleBlock& inOriginal) {
  if (&inOriginal == this) return *this;
  Handle copy = CopyOf(inOriginal.handle);
  Dispose();
  handle = copy;
  isOwner = copy != nullptr;
  return *this;
}

StHandleBlock::~StHandleBlock() { Dispose(); }

void StHandleBlock::Adopt(Handle inHandle) {
  if (inHandle == handle) return;
  Dispose();
  handle = inHandle;
  isOwner = inHandle != nullptr;
}

Handle StHandleBlock::Release() const {
  isOwner = false;
  return handle;
}

void StHandleBlock::Dispose() {
  if (!isOwner || !handle) return;
  GiveBack(handle);
  handle = nullptr;
  isOwner = false;
}

bool StHandleBlock::IsAResource() const {
  GetResAttrs(handle);
  return ResError() != resNotFound;
}

StClearHandleBlock::StClearHandleBlock(Size inSize, bool inThrowFail)
    : StHandleBlock(nullptr, false) {
  handle = NewHandleClear(inSize);
  if (!handle && inThrowFail) ThrowAllocationError();
  isOwner = handle != nullptr;
}

StTempHandle::StTempHandle(Size inSize, bool inThrowFail) : StHandleBlock(nullptr, false) {
  OSErr err = noErr;
  handle = TempNewHandle(inSize, &err);
  if (!handle && inThrowFail) throw LException(err);
  isOwner = handle != nullptr;
}
