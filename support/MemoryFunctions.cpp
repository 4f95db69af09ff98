// Plain functions over the toolbox's relocatable blocks, with their null and count rules.
#include "velkui/support.h"

#include <cstring>

#include "toolbox/memory.h"

namespace {

constexpr SignedByte kLockedBit = SignedByte(0x80);

}  // namespace

Handle Mem_Alloc(UInt32 size, SInt32 clear) {
  // Sizes the platform cannot represent come out negative and are refused by it.
  Size request = Size(size);
  return clear == 1 ? NewHandleClear(request) : NewHandle(request);
}

Ptr Mem_Lock(Handle h) {
  if (h == nullptr) return nullptr;
  HLock(h);
  return *h;
}

SInt32 Mem_Unlock(Handle h) {
  if (h != nullptr) HUnlock(h);
  return 0;
}

SInt32 Mem_Free(Handle h) {
  if (h == nullptr) return 0;
  if (HGetState(h) & kLockedBit) HUnlock(h);
  DisposeHandle(h);
  return 0;
}

SInt32 Mem_Copy(void* destination, const void* source, UInt32 count) {
  if (SInt32(count) > 0) std::memmove(destination, source, count);
  return 0;
}

SInt32 Mem_Clear(void* address, UInt32 count) {
  if (count == 0) return 0;
  std::memset(address, 0, count);
  return 0;
}

Ptr Calloc(Handle* outHandle, UInt32 size) {
  // Without a place for the handle the block could never be freed: refuse it.
  if (outHandle == nullptr) return nullptr;
  Handle h = Mem_Alloc(size, 1);
  *outHandle = h;
  if (h == nullptr) return nullptr;
  return Mem_Lock(h);
}

SInt32 MemFree(Handle h) {
  if (h == nullptr) return 0;
  Mem_Unlock(h);
  Mem_Free(h);
  return 0;
}
