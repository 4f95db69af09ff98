// Library-private helpers shared by the interpreter and the item model: object
// blocks, pointer arrays, debug texts (not installed).
#pragma once

#include <cstddef>

#include "velkui/items.h"

namespace velkui {
namespace internal {

/// A pointer block of `size` bytes; throws 'nilP' when it cannot be had.
void* AllocateBlock(std::size_t size);
/// As AllocateBlock, null on failure.
void* TryAllocateBlock(std::size_t size) noexcept;
/// Frees a block of AllocateBlock; null is ignored.
void FreeBlock(void* block) noexcept;

/// A new array of pointers (sizeof(void*) items, not kept sorted) that owns
/// `comparator` (null: the shared default). When the array cannot be made the
/// comparator is deleted and 'nilP' is thrown.
LArray* NewPointerArray(LComparator* comparator);
/// Destroys an array made by NewPointerArray; null is ignored.
void DisposePointerArray(LArray* array) noexcept;
/// Index of the entry equal to `entry` (linear walk), or 0.
SInt32 IndexOfPointer(const LArray* array, const void* entry);
/// Appends to an array held locked between calls: unlock, add, lock again
/// (also when the growth throws).
void AppendToLockedArray(LArray* array, const void* entry);

/// Sends a C string to the debugger-message service as a length-prefixed string.
void DebugText(const char* text);

}  // namespace internal
}  // namespace velkui

/// Defines the class-wide allocation declared by VELKUI_BLOCK_ALLOCATED.
#define VELKUI_DEFINE_BLOCK_ALLOCATED(Class)                                         \
  void* Class::operator new(std::size_t size) {                                     \
    return ::velkui::internal::AllocateBlock(size);                                 \
  }                                                                                 \
  void* Class::operator new(std::size_t size, const std::nothrow_t&) noexcept {     \
    return ::velkui::internal::TryAllocateBlock(size);                              \
  }                                                                                 \
  void Class::operator delete(void* block) noexcept {                               \
    ::velkui::internal::FreeBlock(block);                                           \
  }                                                                                 \
  void Class::operator delete(void* block, const std::nothrow_t&) noexcept {        \
    ::velkui::internal::FreeBlock(block);                                           \
  }
