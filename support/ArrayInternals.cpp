// Internal helpers of the array: scratch item buffer, block pin, iterator hooks.
#include "ArrayInternals.h"

namespace support_detail {

namespace {
constexpr UInt8 kLockedState = 0x80;
}

void ThrowMemoryError() {
  OSErr err = MemError();
  throw LException(err != noErr ? SInt32(err) : SInt32(memFullErr));
}

StScratchItem::StScratchItem(UInt32 inSize) {
  buffer_ = NewPtr(Size(inSize));
  if (!buffer_) ThrowMemoryError();
}

StScratchItem::~StScratchItem() { DisposePtr(buffer_); }

StBlockPin::StBlockPin(Handle inHandle) {
  if (!inHandle) return;
  SignedByte state = HGetState(inHandle);
  OSErr err = MemError();
  if (err != noErr) throw LException(err);
  handle_ = inHandle;
  state_ = state;
  if (!(UInt8(state) & kLockedState)) HLock(inHandle);
}

StBlockPin::~StBlockPin() {
  if (handle_) HSetState(handle_, state_);
}

void NotifyItemsInserted(LArrayIterator* inList, UInt32 inCount, SInt32 inAtIndex) {}

void NotifyItemsRemoved(LArrayIterator* inList, UInt32 inCount, SInt32 inAtIndex) {}

void NotifyArrayGone(LArrayIterator* inList) {}

}  // namespace support_detail
