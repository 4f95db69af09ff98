// Ordered array: construction, copying, storage growth, insertion, removal and locking.
#include <cstring>

#include "ArrayInternals.h"

using support_detail::kLargestCount;
using support_detail::kLargestData;

namespace {

/// Bytes of (count) items, or throws memFullErr when no block could hold them.
UInt32 CheckedBytes(UInt64 inCount, UInt32 inItemSize) {
  UInt64 bytes = inCount * inItemSize;
  if (inCount > kLargestCount || bytes > kLargestData) throw LException(memFullErr);
  return UInt32(bytes);
}

/// The first size a growth asks for: the present size plus the larger of the
/// bytes needed and the present size, so every growth at least doubles the block.
UInt64 DoublingRequest(UInt32 inAllocated, UInt64 inGrowthBytes) {
  UInt64 growth = inGrowthBytes > inAllocated ? inGrowthBytes : inAllocated;
  UInt64 request = UInt64(inAllocated) + growth;
  return request > kLargestData ? kLargestData : request;
}

}  // namespace

// ---------------------------------------------------------------- construction

LArray::LArray() { InitArray(sizeof(SInt32), nullptr, true, false); }

LArray::LArray(UInt32 inItemSize, LComparator* inComparator, bool inKeepSorted) {
  InitArray(inItemSize, inComparator, true, inKeepSorted);
}

LArray::LArray(UInt32 inReserveCount, UInt32 inItemSize, LComparator* inComparator,
               bool inKeepSorted) {
  InitArray(inItemSize, inComparator, true, inKeepSorted);
  try {
    InternalAdjustAllocation(inReserveCount, CheckedBytes(inReserveCount, inItemSize));
  } catch (...) {
    DestroyArray();  // no destructor runs for a constructor that throws
    throw;
  }
}

LArray::LArray(UInt32 inItemSize, Handle inItemsHandle, LComparator* inComparator,
               bool inIsSorted, bool inKeepSorted) {
  InitArray(inItemSize, inComparator, inIsSorted, inKeepSorted);
  if (!inItemsHandle) return;
  UInt32 size = UInt32(GetHandleSize(inItemsHandle));
  OSErr err = MemError();
  if (err != noErr) {
    DestroyArray();  // not a block of ours to adopt
    throw LException(err);
  }
  HUnlock(inItemsHandle);
  itemsHandle = inItemsHandle;
  dataStored = dataAllocated = size;
  itemCount = inItemSize ? size / inItemSize : 0;
}

LArray::LArray(const LArray& inOriginal) { CopyArray(inOriginal, false); }

LArray& LArray::operator=(const LArray& inOriginal) {
  if (lockCount == 0 && &inOriginal != this) CopyArray(inOriginal, true);
  return *this;
}

LArray::~LArray() { DestroyArray(); }

void LArray::InitArray(UInt32 inItemSize, LComparator* inComparator, bool inIsSorted,
                       bool inKeepSorted) {
  itemSize = inItemSize;
  itemCount = 0;
  dataStored = 0;
  dataAllocated = 0;
  itemsHandle = nullptr;
  lockCount = 0;
  iteratorList = nullptr;
  if (inComparator) {
    comparator = inComparator;
    ownsComparator = !support_detail::IsSharedComparator(inComparator);
  } else {
    comparator = inItemSize == sizeof(SInt32)
                     ? static_cast<LComparator*>(&LLongComparator::sLongComparator)
                     : &LComparator::sComparator;
    ownsComparator = false;
  }
  isSorted = inIsSorted;
  keepSorted = inKeepSorted;
}

void LArray::DestroyArray() {
  if (ownsComparator) delete comparator;
  comparator = nullptr;
  ownsComparator = false;
  if (itemsHandle) DisposeHandle(itemsHandle);
  itemsHandle = nullptr;
  itemCount = dataStored = dataAllocated = 0;
  for (LArrayIterator* it = iteratorList; it; it = it->nextIterator) {
    it->currentIndex = it->nextIndex = LArrayIterator::kPositionArrayGone;
  }
  iteratorList = nullptr;
}

void LArray::CopyArray(const LArray& inOriginal, bool inDestroyOld) {
  // Everything that can fail happens before this array is touched.
  Handle block = nullptr;
  if (inOriginal.dataStored > 0) {
    block = NewHandle(Size(inOriginal.dataStored));
    if (!block) support_detail::ThrowMemoryError();
    std::memcpy(*block, *inOriginal.itemsHandle, inOriginal.dataStored);
  }
  LComparator* copied = inOriginal.comparator;
  bool owns = inOriginal.ownsComparator;
  if (owns) {
    try {
      copied = inOriginal.comparator->Clone();
    } catch (...) {
      if (block) DisposeHandle(block);
      throw;
    }
  }
  if (inDestroyOld) DestroyArray();
  InitArray(inOriginal.itemSize, copied, inOriginal.isSorted, inOriginal.keepSorted);
  ownsComparator = owns && copied && !support_detail::IsSharedComparator(copied);
  itemCount = inOriginal.itemCount;
  dataStored = dataAllocated = inOriginal.dataStored;
  itemsHandle = block;
}

// ---------------------------------------------------------------- queries

UInt32 LArray::GetItemSize(SInt32 inIndex) const { return itemSize; }

UInt32 LArray::GrabItemSize(SInt32 inIndex) const { return itemSize; }

UInt32 LArray::GrabItemRangeSize(SInt32 inStartIndex, SInt32 inEndIndex) const {
  if (inEndIndex < inStartIndex) return 0;
  return UInt32(SInt64(inEndIndex) - inStartIndex + 1) * itemSize;
}

bool LArray::ValidIndex(SInt32& ioIndex) const {
  if (ioIndex == kIndexLast) ioIndex = SInt32(itemCount);
  return ioIndex >= 1 && UInt32(ioIndex) <= itemCount;
}

void* LArray::GetItemPtr(SInt32 inIndex) const {
  if (!itemsHandle) return nullptr;
  return *itemsHandle + (SInt64(inIndex) - 1) * SInt64(itemSize);
}

Handle LArray::GetItemsHandle() {
  AdjustAllocation(0, 0);
  return itemsHandle;
}

bool LArray::FetchItemAt(SInt32 inIndex, void* outItem) const {
  if (!ValidIndex(inIndex)) return false;
  if (outItem) PeekItem(inIndex, outItem);
  return true;
}

bool LArray::FetchItemAt(SInt32 inIndex, void* outItem, UInt32& ioItemSize) const {
  if (!ValidIndex(inIndex)) return false;
  UInt32 size = GrabItemSize(inIndex);
  if (ioItemSize == size) {
    if (outItem) PeekItem(inIndex, outItem);
    return true;
  }
  if (ioItemSize > size) ioItemSize = size;
  if (outItem && ioItemSize > 0) std::memmove(outItem, GetItemPtr(inIndex), ioItemSize);
  return true;
}

void LArray::PeekItem(SInt32 inIndex, void* outItem) const {
  UInt32 size = GrabItemSize(inIndex);
  if (size == sizeof(UInt32)) {
    std::memcpy(outItem, GetItemPtr(inIndex), sizeof(UInt32));  // one 32-bit word
  } else if (size > 0) {
    std::memmove(outItem, GetItemPtr(inIndex), size);
  }
}

void LArray::PokeItem(SInt32 inIndex, const void* inItem, UInt32 inItemSize) {
  if (inItemSize == sizeof(UInt32)) {
    UInt32 word;
    std::memcpy(&word, inItem, sizeof word);
    std::memcpy(GetItemPtr(inIndex), &word, sizeof word);
  } else if (inItemSize > 0) {
    std::memmove(GetItemPtr(inIndex), inItem, inItemSize);
  }
}

// ---------------------------------------------------------------- storage

void LArray::AdjustAllocation(UInt32 inExtraItems, UInt32 inExtraData) {
  UInt64 count = UInt64(itemCount) + inExtraItems;
  InternalAdjustAllocation(UInt32(count), CheckedBytes(count, itemSize));
}

void LArray::InternalAdjustAllocation(UInt32 inItemAllocation, UInt32 inDataAllocation) {
  if (inDataAllocation == dataAllocated) return;
  if (!itemsHandle) {
    Handle block = NewHandle(Size(inDataAllocation));
    if (!block) support_detail::ThrowMemoryError();
    itemsHandle = block;
    if (lockCount > 0) HLock(block);  // a locked array keeps its block pinned
  } else {
    SetHandleSize(itemsHandle, Size(inDataAllocation));
    OSErr err = MemError();
    if (err != noErr) throw LException(err);
  }
  dataAllocated = inDataAllocation;
}

void LArray::AdjustStorage(SInt32 inDeltaItems, SInt32 inDeltaData) {
  SInt64 newCount = SInt64(itemCount) + inDeltaItems;
  if (newCount < 0) newCount = 0;
  UInt32 newStored = CheckedBytes(UInt64(newCount), itemSize);
  if (newStored > dataAllocated) {
    // Grow by at least the present size, so appending stays amortised constant;
    // when that much cannot be had, settle for exactly what is needed.
    UInt64 wanted = UInt64(inDeltaItems > 0 ? inDeltaItems : 0) * itemSize;
    UInt64 request = DoublingRequest(dataAllocated, wanted);
    try {
      InternalAdjustAllocation(UInt32(newCount), UInt32(request));
    } catch (const LException&) {
      InternalAdjustAllocation(UInt32(newCount), newStored);
    }
  } else if (inDeltaItems < 0) {
    // Shrink by the bytes removed, keeping the slack the block had.
    InternalAdjustAllocation(UInt32(newCount), newStored + (dataAllocated - dataStored));
  }
  dataStored = newStored;
  itemCount = UInt32(newCount);
}

void LArray::ShiftItems(SInt32 inStartIndex, SInt32 inEndIndex, SInt32 inIndexShift,
                        SInt32 inDataShift) {
  UInt32 bytes = GrabItemRangeSize(inStartIndex, inEndIndex);
  if (bytes > 0) {
    std::memmove(GetItemPtr(SInt32(SInt64(inStartIndex) + inIndexShift)),
                 GetItemPtr(inStartIndex), bytes);
  }
}

void LArray::StoreNewItems(UInt32 inCount, SInt32 inAtIndex, const void* inItem,
                           UInt32 inItemSize) {
  if (!inItem) return;  // reserved places keep whatever bytes the block held
  for (UInt32 k = 0; k < inCount; ++k) PokeItem(SInt32(inAtIndex + k), inItem, inItemSize);
}

// ---------------------------------------------------------------- changes

SInt32 LArray::AddItem(const void* inItem, UInt32 inItemSize) {
  if (keepSorted) return InsertItemsAt(1, 0, inItem, inItemSize);
  if (lockCount != 0 || !inItem) return 0;
  if (inItemSize == 0 || inItemSize > itemSize) inItemSize = itemSize;
  SInt32 index = SInt32(itemCount + 1);
  AdjustStorage(1, SInt32(inItemSize));
  isSorted = false;
  PokeItem(index, inItem, inItemSize);
  ItemsInserted(1, index);
  return index;
}

SInt32 LArray::InsertItemsAt(UInt32 inCount, SInt32 inAtIndex, const void* inItem,
                             UInt32 inItemSize) {
  if (inCount == 0 || lockCount != 0 || (keepSorted && !inItem)) return 0;
  if (inItemSize == 0 || inItemSize > itemSize) inItemSize = itemSize;
  if (keepSorted) {
    if (!isSorted) Sort();
    inAtIndex = FetchInsertIndexOf(inItem, inItemSize);
  }
  if (UInt32(inAtIndex) > itemCount) {
    inAtIndex = SInt32(itemCount + 1);
  } else if (inAtIndex == 0) {
    inAtIndex = 1;
  }
  UInt32 oldCount = itemCount;
  CheckedBytes(UInt64(oldCount) + inCount, itemSize);  // throws when no block could hold them
  UInt32 bytes = inCount * inItemSize;
  AdjustStorage(SInt32(inCount), SInt32(bytes));
  if (UInt32(inAtIndex) <= oldCount && oldCount != 0) {
    ShiftItems(inAtIndex, SInt32(oldCount), SInt32(inCount), SInt32(bytes));
  }
  isSorted = keepSorted;
  StoreNewItems(inCount, inAtIndex, inItem, inItemSize);
  ItemsInserted(inCount, inAtIndex);
  return inAtIndex;
}

void LArray::RemoveItemsAt(UInt32 inCount, SInt32 inAtIndex) {
  if (lockCount != 0 || inCount == 0 || !ValidIndex(inAtIndex)) return;
  UInt64 end = UInt64(inAtIndex) + inCount;
  if (end > itemCount) {
    inCount = itemCount - UInt32(inAtIndex) + 1;  // stop at the last item
    end = UInt64(inAtIndex) + inCount;
  }
  UInt32 bytes = GrabItemRangeSize(inAtIndex, SInt32(end - 1));
  if (end <= itemCount) {
    ShiftItems(SInt32(end), SInt32(itemCount), -SInt32(inCount), -SInt32(bytes));
  }
  AdjustStorage(-SInt32(inCount), -SInt32(bytes));
  ItemsRemoved(inCount, inAtIndex);
}

void LArray::Remove(const void* inItem, UInt32 inItemSize) {
  SInt32 index = FetchIndexOf(inItem, inItemSize);
  if (index != 0) RemoveItemsAt(1, index);
}

bool LArray::RemoveLastItem(void* outItem) {
  if (itemCount == 0 || lockCount != 0) return false;
  FetchItemAt(kIndexLast, outItem);
  RemoveItemsAt(1, kIndexLast);
  return true;
}

bool LArray::RemoveLastItem(void* outItem, UInt32& ioItemSize) {
  if (itemCount == 0 || lockCount != 0) return false;
  FetchItemAt(kIndexLast, outItem, ioItemSize);
  RemoveItemsAt(1, kIndexLast);
  return true;
}

SInt32 LArray::AssignItemsAt(UInt32 inCount, SInt32 inAtIndex, const void* inItem,
                             UInt32 inItemSize) {
  if (!ValidIndex(inAtIndex) || inCount == 0 || !inItem) return 0;
  // A kept-sorted array removes what exists of the range and inserts `inCount`
  // copies at the value's sorted place.
  if (keepSorted) return ReplaceSorted(inCount, inAtIndex, inItem, inItemSize);
  UInt32 available = itemCount - UInt32(inAtIndex) + 1;
  if (inCount > available) inCount = available;
  if (inItemSize == 0 || inItemSize > itemSize) inItemSize = itemSize;
  for (UInt32 k = 0; k < inCount; ++k) PokeItem(SInt32(inAtIndex + k), inItem, inItemSize);
  isSorted = false;
  return inAtIndex;
}

SInt32 LArray::ReplaceSorted(UInt32 inCount, SInt32 inAtIndex, const void* inItem,
                             UInt32 inItemSize) {
  if (lockCount != 0) return 0;  // both the removal and the insertion would be refused
  // The items of the range leave first, in the order they stand now; then the
  // insertion sorts if needed and puts inCount copies at the sorted place.
  // Removing must not lose data when the insertion then fails: the items that
  // leave are kept aside, and the block is grown beforehand to the size the
  // insertion would ask for, so that the insertion allocates nothing.
  UInt32 removed = itemCount - UInt32(inAtIndex) + 1;
  if (removed > inCount) removed = inCount;
  UInt32 removedBytes = GrabItemRangeSize(inAtIndex, SInt32(inAtIndex + removed - 1));
  StPointerBlock saved{Size(removedBytes)};  // throws when it cannot be had
  std::memcpy(saved.Get(), GetItemPtr(inAtIndex), removedBytes);
  UInt32 oldAllocated = dataAllocated;
  ReserveForReplacement(inCount, removedBytes);
  bool wasSorted = isSorted;
  RemoveItemsAt(inCount, inAtIndex);
  try {
    return InsertItemsAt(inCount, inAtIndex, inItem, inItemSize);
  } catch (...) {
    PutBackRemoved(removed, inAtIndex, saved.Get(), removedBytes);
    isSorted = wasSorted;
    // The block returns to its former size; should that need memory that
    // cannot be had, the smaller block still holds every item.
    try {
      InternalAdjustAllocation(itemCount, oldAllocated);
    } catch (const LException&) {
    }
    throw;
  }
}

void LArray::ReserveForReplacement(UInt32 inCount, UInt32 inRemovedBytes) {
  // The removal shrinks the block by the bytes removed and keeps its slack;
  // the insertion then grows it as AdjustStorage does. Growing now by the
  // removed bytes on top gives the same final size.
  UInt32 allocatedAfter = dataAllocated - inRemovedBytes;
  UInt64 insertedBytes = UInt64(inCount) * itemSize;
  UInt64 needed = UInt64(dataStored - inRemovedBytes) + insertedBytes;
  if (needed <= allocatedAfter) return;
  UInt64 exact = needed + inRemovedBytes;
  if (exact > kLargestData) throw LException(memFullErr);
  UInt64 first = DoublingRequest(allocatedAfter, insertedBytes) + inRemovedBytes;
  if (first > kLargestData) first = exact;
  try {
    InternalAdjustAllocation(itemCount + inCount, UInt32(first));
  } catch (const LException&) {
    InternalAdjustAllocation(itemCount + inCount, UInt32(exact));
  }
}

void LArray::PutBackRemoved(UInt32 inCount, SInt32 inAtIndex, const void* inItems,
                            UInt32 inBytes) {
  // The block has room for them: it was made ready for at least as many items.
  UInt32 oldCount = itemCount;
  AdjustStorage(SInt32(inCount), SInt32(inBytes));
  if (UInt32(inAtIndex) <= oldCount) {
    ShiftItems(inAtIndex, SInt32(oldCount), SInt32(inCount), SInt32(inBytes));
  }
  std::memcpy(GetItemPtr(inAtIndex), inItems, inBytes);
  ItemsInserted(inCount, inAtIndex);
}

void LArray::SwapItems(SInt32 inIndexA, SInt32 inIndexB) {
  if (keepSorted || !ValidIndex(inIndexA) || !ValidIndex(inIndexB)) return;
  StPointerBlock buffer{Size(GrabItemSize(inIndexA))};
  InternalSwapItems(inIndexA, inIndexB, buffer.Get());
  isSorted = false;
}

void LArray::MoveItem(SInt32 inFromIndex, SInt32 inToIndex) {
  if (keepSorted || !ValidIndex(inFromIndex) || !ValidIndex(inToIndex)) return;
  if (inFromIndex == inToIndex) return;
  StPointerBlock buffer{Size(GrabItemSize(inFromIndex))};
  InternalMoveItem(inFromIndex, inToIndex, buffer.Get());
  isSorted = false;
}

void LArray::InternalSwapItems(SInt32 inIndexA, SInt32 inIndexB, void* inBuffer) {
  UInt32 sizeA = GrabItemSize(inIndexA);
  PeekItem(inIndexA, inBuffer);
  InternalCopyItem(inIndexB, inIndexA);
  PokeItem(inIndexB, inBuffer, sizeA);
}

void LArray::InternalMoveItem(SInt32 inFromIndex, SInt32 inToIndex, void* inBuffer) {
  SInt32 size = SInt32(GrabItemSize(inFromIndex));
  PeekItem(inFromIndex, inBuffer);
  if (inFromIndex < inToIndex) {
    ShiftItems(inFromIndex + 1, inToIndex, -1, -size);
  } else {
    ShiftItems(inToIndex, inFromIndex - 1, 1, size);
  }
  PokeItem(inToIndex, inBuffer, UInt32(size));
}

void LArray::InternalCopyItem(SInt32 inSourceIndex, SInt32 inDestIndex) {
  PokeItem(inDestIndex, GetItemPtr(inSourceIndex), itemSize);
}

// ---------------------------------------------------------------- locking, iterators

void LArray::Lock() const {
  if (++lockCount == 1 && itemsHandle) HLock(itemsHandle);
}

void LArray::Unlock() const {
  if (lockCount <= 0) return;  // unpaired: nothing to undo
  if (--lockCount == 0 && itemsHandle) HUnlock(itemsHandle);
}

void LArray::ItemsInserted(UInt32 inCount, SInt32 inAtIndex) {
  for (LArrayIterator* it = iteratorList; it; it = it->nextIterator) {
    it->ItemsInserted(inCount, inAtIndex);
  }
}

void LArray::ItemsRemoved(UInt32 inCount, SInt32 inAtIndex) {
  for (LArrayIterator* it = iteratorList; it; it = it->nextIterator) {
    it->ItemsRemoved(inCount, inAtIndex);
  }
}

void LArray::AttachIterator(LArrayIterator* inIterator) const {
  if (!inIterator) return;
  inIterator->nextIterator = iteratorList;
  iteratorList = inIterator;
}

void LArray::DetachIterator(LArrayIterator* inIterator) const {
  for (LArrayIterator** link = &iteratorList; *link; link = &(*link)->nextIterator) {
    if (*link == inIterator) {
      *link = inIterator->nextIterator;
      inIterator->nextIterator = nullptr;
      return;
    }
  }
}
