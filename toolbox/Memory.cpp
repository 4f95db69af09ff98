// Memory service: handles through master pointers, pointer blocks, failure
// injection and the scramble mode.
#include "toolbox/memory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "core/MemoryState.h"

using toolbox::internal::IsLive;
using toolbox::internal::MemoryState;
using toolbox::internal::Slot;
using toolbox::internal::TheMemory;
using toolbox::internal::WithState;

MemoryState& toolbox::internal::TheMemory() {
  static MemoryState* state = [] {
    auto* s = new MemoryState;  // lives until exit, never destroyed
    const char* env = std::getenv("TOOLBOX_SCRAMBLE");
    s->scramble = env && std::strcmp(env, "1") == 0;
    return s;
  }();
  return *state;
}

bool toolbox::internal::IsLiveBlock(Handle h) {
  return WithState([&](MemoryState& s) { return IsLive(s, h); });
}

namespace {

constexpr UInt8 kLockedBit = 0x80;
constexpr UInt8 kPurgeableBit = 0x40;
constexpr UInt8 kResourceBit = 0x20;
constexpr Size kLargestBlock = Size(1) << 30;  // larger requests fail with memFullErr
constexpr unsigned char kPoison = 0xDB;
constexpr size_t kSlotsPerChunk = 256;

thread_local OSErr tMemError = noErr;

Slot* SlotOf(Handle h) { return reinterpret_cast<Slot*>(h); }

Slot* TakeSlot(MemoryState& s) {
  if (s.freeHead == s.freeSlots.size()) {
    s.freeSlots.clear();
    s.freeHead = 0;
    Slot* chunk = new Slot[kSlotsPerChunk];  // master pointers never move or go away
    for (size_t i = 0; i < kSlotsPerChunk; ++i) s.freeSlots.push_back(&chunk[i]);
  }
  return s.freeSlots[s.freeHead++];
}

void ReturnSlot(MemoryState& s, Slot* slot) {
  slot->ptr = nullptr;
  slot->size = 0;
  slot->state = 0;
  slot->live = false;
  s.liveSlots.erase(slot);
  s.freeSlots.push_back(slot);
}

/// Moves every unlocked block to a new address, poisoning and freeing the old.
void ScrambleBlocks(MemoryState& s) {
  for (Slot* slot : s.liveSlots) {
    if (slot->state & kLockedBit) continue;
    size_t bytes = slot->size > 0 ? size_t(slot->size) : 1;
    Ptr moved = static_cast<Ptr>(std::malloc(bytes));
    if (!moved) continue;  // the block simply stays where it is
    std::memcpy(moved, slot->ptr, bytes);
    std::memset(slot->ptr, kPoison, bytes);
    std::free(slot->ptr);
    slot->ptr = moved;
  }
}

/// Every allocating call passes here first: counts it, scrambles, and decides
/// whether an armed failure fires. Returns false when the call must fail.
bool BeginAllocation(MemoryState& s) {
  ++s.allocationCalls;
  if (s.scramble) ScrambleBlocks(s);
  if (s.countdown > 0 && --s.countdown == 0) {
    if (s.repeat == 0) return true;
    if (s.repeat > 0) --s.repeat;
    if (s.repeat != 0) s.countdown = 1;  // the next call fails too
    ++s.injected;
    return false;
  }
  return true;
}

bool SizeAcceptable(Size size) { return size >= 0 && size <= kLargestBlock; }

Ptr AllocateBytes(Size size, bool clear) {
  size_t bytes = size > 0 ? size_t(size) : 1;
  Ptr p = static_cast<Ptr>(clear ? std::calloc(1, bytes) : std::malloc(bytes));
  if (p && !clear) std::memset(p, 0xA5, bytes);  // undefined contents, made visible
  return p;
}

Handle MakeHandle(Size size, bool clear) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (!BeginAllocation(s) || !SizeAcceptable(size)) {
    tMemError = memFullErr;
    return nullptr;
  }
  Ptr block = AllocateBytes(size, clear);
  if (!block) {
    tMemError = memFullErr;
    return nullptr;
  }
  Slot* slot = TakeSlot(s);
  slot->ptr = block;
  slot->size = size;
  slot->state = 0;
  slot->live = true;
  s.liveSlots.insert(slot);
  tMemError = noErr;
  return &slot->ptr;
}

Ptr MakePointer(Size size, bool clear) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (!BeginAllocation(s) || !SizeAcceptable(size)) {
    tMemError = memFullErr;
    return nullptr;
  }
  Ptr p = AllocateBytes(size, clear);
  if (!p) {
    tMemError = memFullErr;
    return nullptr;
  }
  s.livePointers[p] = size;
  tMemError = noErr;
  return p;
}

}  // namespace

extern "C" {

OSErr MemError(void) { return tMemError; }

Handle NewHandle(Size size) { return MakeHandle(size, false); }

Handle NewHandleClear(Size size) { return MakeHandle(size, true); }

Handle TempNewHandle(Size size, OSErr* resultCode) {
  Handle h = MakeHandle(size, false);
  if (resultCode) *resultCode = tMemError;
  return h;
}

void SetHandleSize(Handle h, Size newSize) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (!IsLive(s, h)) {
    tMemError = nilHandleErr;
    return;
  }
  Slot* slot = SlotOf(h);
  bool grows = newSize > slot->size;
  if (grows && !BeginAllocation(s)) {
    tMemError = memFullErr;
    return;
  }
  if (!SizeAcceptable(newSize)) {
    tMemError = memFullErr;
    return;
  }
  if (grows && (slot->state & kLockedBit)) {
    // A locked block cannot move; growing in place is not possible here.
    tMemError = memFullErr;
    return;
  }
  if (newSize == slot->size) {
    tMemError = noErr;
    return;
  }
  size_t bytes = newSize > 0 ? size_t(newSize) : 1;
  if (slot->state & kLockedBit) {
    slot->size = newSize;  // shrinking in place keeps the address
    tMemError = noErr;
    return;
  }
  Ptr moved = static_cast<Ptr>(std::malloc(bytes));
  if (!moved) {
    tMemError = memFullErr;
    return;
  }
  size_t keep = size_t(slot->size < newSize ? slot->size : newSize);
  if (keep) std::memcpy(moved, slot->ptr, keep);
  if (bytes > keep) std::memset(moved + keep, 0xA5, bytes - keep);
  std::memset(slot->ptr, kPoison, slot->size > 0 ? size_t(slot->size) : 1);
  std::free(slot->ptr);
  slot->ptr = moved;
  slot->size = newSize;
  tMemError = noErr;
}

Size GetHandleSize(Handle h) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (!IsLive(s, h)) {
    tMemError = nilHandleErr;
    return 0;
  }
  tMemError = noErr;
  return SlotOf(h)->size;
}

void HLock(Handle h) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (!IsLive(s, h)) {
    tMemError = nilHandleErr;
    return;
  }
  SlotOf(h)->state |= kLockedBit;
  tMemError = noErr;
}

void HUnlock(Handle h) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (!IsLive(s, h)) {
    tMemError = nilHandleErr;
    return;
  }
  SlotOf(h)->state &= UInt8(~kLockedBit);
  tMemError = noErr;
}

SignedByte HGetState(Handle h) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (!IsLive(s, h)) {
    tMemError = nilHandleErr;
    return 0;
  }
  tMemError = noErr;
  return SignedByte(SlotOf(h)->state);
}

void HSetState(Handle h, SignedByte flags) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (!IsLive(s, h)) {
    tMemError = nilHandleErr;
    return;
  }
  // The resource bit belongs to the resource service; keep it as it is.
  Slot* slot = SlotOf(h);
  UInt8 settable = kLockedBit | kPurgeableBit;
  slot->state = UInt8((slot->state & ~settable) | (UInt8(flags) & settable));
  tMemError = noErr;
}

void DisposeHandle(Handle h) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (!IsLive(s, h)) {
    tMemError = nilHandleErr;
    return;
  }
  Slot* slot = SlotOf(h);
  std::memset(slot->ptr, kPoison, slot->size > 0 ? size_t(slot->size) : 1);
  std::free(slot->ptr);
  ReturnSlot(s, slot);
  tMemError = noErr;
}

OSErr HandToHand(Handle* theHndl) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (!theHndl || !IsLive(s, *theHndl)) {
    tMemError = nilHandleErr;
    return nilHandleErr;
  }
  Handle source = *theHndl;
  Handle copy = MakeHandle(GetHandleSize(source), false);
  if (!copy) return tMemError;
  std::memcpy(*copy, *source, size_t(SlotOf(source)->size));
  *theHndl = copy;
  tMemError = noErr;
  return noErr;
}

Ptr NewPtr(Size size) { return MakePointer(size, false); }

Ptr NewPtrClear(Size size) { return MakePointer(size, true); }

Size GetPtrSize(Ptr p) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  auto it = p ? s.livePointers.find(p) : s.livePointers.end();
  if (it == s.livePointers.end()) {
    tMemError = memWZErr;
    return 0;
  }
  tMemError = noErr;
  return it->second;
}

void DisposePtr(Ptr p) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  auto it = p ? s.livePointers.find(p) : s.livePointers.end();
  if (it == s.livePointers.end()) {
    tMemError = memWZErr;
    return;
  }
  std::memset(p, kPoison, it->second > 0 ? size_t(it->second) : 1);
  std::free(p);
  s.livePointers.erase(it);
  tMemError = noErr;
}

void MoreMasters(void) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  ++s.moreMastersCalls;
  tMemError = noErr;
}

void BlockMoveData(const void* src, void* dst, Size count) {
  if (count > 0) std::memmove(dst, src, size_t(count));
}

}  // extern "C"

namespace toolbox {
namespace internal {

void SetResourceBit(Handle h, bool isResource) {
  MemoryState& s = TheMemory();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (!IsLive(s, h)) return;
  if (isResource)
    SlotOf(h)->state |= kResourceBit;
  else
    SlotOf(h)->state &= UInt8(~kResourceBit);
}

void SetMemError(OSErr err) { tMemError = err; }

}  // namespace internal
}  // namespace toolbox
