// Scoped pointer blocks: an owned non-relocatable block, plain or zero-filled.
#include <cstring>

#include "toolbox/memory.h"
#include "velkui/support.h"

namespace {

/// Throws the memory error, or memFullErr when the memory service reports none.
[[noreturn]] void ThrowAllocationError() {
  OSErr err = MemError();
  throw LException(err != noErr ? SInt32(err) : SInt32(memFullErr));
}

}  // namespace

StPointerBlock::StPointerBlock(Ptr inPointer)
    : pointer(inPointer), isOwner(inPointer != nullptr) {}

StPointerBlock::StPointerBlock(Ptr inPointer, bool inIsOwner)
    : pointer(inPointer), isOwner(inIsOwner && inPointer != nullptr) {}

StPointerBlock::StPointerBlock(Size inSize, bool inThrowFail, bool inClearBytes)
    : pointer(nullptr), isOwner(true) {
  pointer = inClearBytes ? NewPtrClear(inSize) : NewPtr(inSize);
  if (!pointer && inThrowFail) ThrowAllocationError();
}

StPointerBlock::StPointerBlock(const StPointerBlock& inOriginal)
    : pointer(CopyPointerBlock(inOriginal.pointer)), isOwner(pointer != nullptr) {}

StPointerBlock& StPointerBlock::operator=(const StPointerBlock& inOriginal) {
  if (&inOriginal == this) return *this;
  Ptr copy = CopyPointerBlock(inOriginal.pointer);
  if (isOwner && pointer) DisposePtr(pointer);
  pointer = copy;
  isOwner = copy != nullptr;
  return *this;
}

StPointerBlock::~StPointerBlock() {
  if (isOwner && pointer) DisposePtr(pointer);
}

Ptr StPointerBlock::CopyPointerBlock(Ptr inPointer) {
  if (!inPointer) return nullptr;
  Size size = GetPtrSize(inPointer);
  OSErr err = MemError();
  if (err != noErr) throw LException(err);
  Ptr copy = NewPtr(size);
  if (!copy) ThrowAllocationError();
  std::memcpy(copy, inPointer, size_t(size));
  return copy;
}

void StPointerBlock::Adopt(Ptr inPointer) {
  if (inPointer == pointer) return;
  if (isOwner && pointer) DisposePtr(pointer);
  pointer = inPointer;
  isOwner = inPointer != nullptr;
}

Ptr StPointerBlock::Release() const {
  isOwner = false;
  return pointer;
}

void StPointerBlock::Dispose() {
  if (isOwner && pointer) DisposePtr(pointer);
  pointer = nullptr;
  isOwner = false;
}

StClearPointerBlock::StClearPointerBlock(Size inSize, bool inThrowFail)
    : StPointerBlock(nullptr, false) {
  pointer = NewPtrClear(inSize);
  if (!pointer && inThrowFail) ThrowAllocationError();
  isOwner = pointer != nullptr;
}
