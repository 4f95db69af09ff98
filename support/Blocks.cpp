// Object blocks and pointer arrays of the library, over the toolbox's pointer blocks.
#include <cstring>
#include <new>

#include "Blocks.h"
#include "toolbox/memory.h"
#include "toolbox/system.h"

namespace velkui {

void ThrowNilPointer() { throw LException(kNilPointerErr, nullptr); }

namespace internal {

void* TryAllocateBlock(std::size_t size) noexcept {
  if (size > 0x7FFFFFFF) return nullptr;
  return NewPtr(static_cast<Size>(size == 0 ? 1 : size));
}

void* AllocateBlock(std::size_t size) {
  void* block = TryAllocateBlock(size);
  if (block == nullptr) ThrowNilPointer();
  return block;
}

void FreeBlock(void* block) noexcept {
  if (block != nullptr) DisposePtr(static_cast<Ptr>(block));
}

LArray* NewPointerArray(LComparator* comparator) {
  void* block = TryAllocateBlock(sizeof(LArray));
  if (block == nullptr) {
    delete comparator;
    ThrowNilPointer();
  }
  return ::new (block) LArray(sizeof(void*), comparator, false);
}

void DisposePointerArray(LArray* array) noexcept {
  if (array == nullptr) return;
  array->~LArray();
  FreeBlock(array);
}

SInt32 IndexOfPointer(const LArray* array, const void* entry) {
  const void* candidate = nullptr;
  for (SInt32 index = 1; array->FetchItemAt(index, &candidate); ++index) {
    if (candidate == entry) return index;
  }
  return 0;
}

void AppendToLockedArray(LArray* array, const void* entry) {
  array->Unlock();
  try {
    array->AddItem(&entry);
  } catch (...) {
    array->Lock();
    throw;
  }
  array->Lock();
}

void DebugText(const char* text) {
  Str255 message;
  std::size_t length = std::strlen(text);
  if (length > 255) length = 255;
  message[0] = static_cast<unsigned char>(length);
  std::memcpy(message + 1, text, length);
  DebugStr(message);
}

}  // namespace internal
}  // namespace velkui
