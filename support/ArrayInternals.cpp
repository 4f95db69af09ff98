// Internal helpers of the array: the memory error thrown when a block cannot be had.
#include "ArrayInternals.h"

namespace support_detail {

void ThrowMemoryError() {
  OSErr err = MemError();
  throw LException(err != noErr ? SInt32(err) : SInt32(memFullErr));
}

}  // namespace support_detail
