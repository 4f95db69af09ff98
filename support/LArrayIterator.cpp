// Array iterator: a cursor that its array keeps right while items come and go.
#include "velkui/support.h"

namespace {

/// Advancing: the next index becomes current, and the one after it is found.
/// A gone array is never touched.
void Advance(SInt32& ioCurrent, SInt32& ioNext, const LArray* inArray) {
  ioCurrent = ioNext;
  if (ioCurrent == LArrayIterator::kPositionAfterEnd ||
      ioCurrent == LArrayIterator::kPositionArrayGone) {
    return;
  }
  SInt32 next = ioCurrent + 1;
  ioNext = UInt32(next) > inArray->GetCount() ? LArrayIterator::kPositionAfterEnd : next;
}

}  // namespace

LArrayIterator::LArrayIterator(const LArray& inArray, SInt32 inPosition)
    : nextIterator(nullptr), array(&inArray), currentIndex(0), nextIndex(0) {
  inArray.AttachIterator(this);
  ResetTo(inPosition);
}

LArrayIterator::~LArrayIterator() {
  if (currentIndex != kPositionArrayGone) array->DetachIterator(this);
}

void LArrayIterator::ResetTo(SInt32 inPosition) {
  if (currentIndex == kPositionArrayGone) return;
  if (inPosition == kFromEnd || UInt32(inPosition) > array->GetCount()) {
    currentIndex = kPositionAfterEnd;
  } else if (inPosition > 0) {
    currentIndex = inPosition;
  } else {
    currentIndex = kPositionBeforeStart;
  }
  CalcNextIndex();
}

void LArrayIterator::CalcNextIndex() {
  if (currentIndex == kPositionArrayGone) return;
  if (currentIndex == kPositionAfterEnd) {
    nextIndex = kPositionAfterEnd;
  } else {
    SInt32 next = currentIndex + 1;
    nextIndex = UInt32(next) > array->GetCount() ? kPositionAfterEnd : next;
  }
}

void LArrayIterator::CalcPreviousIndex() {
  switch (currentIndex) {
    case kPositionRemoved:
      currentIndex =
          nextIndex == kPositionAfterEnd ? SInt32(array->GetCount()) : nextIndex - 1;
      break;
    case kPositionAfterEnd:
      currentIndex = SInt32(array->GetCount());
      break;
    case kPositionBeforeStart:
    case kPositionArrayGone:
      break;
    default:
      currentIndex -= 1;
      break;
  }
  CalcNextIndex();
}

// ---------------------------------------------------------------- fetching

bool LArrayIterator::Current(void* outItem) {
  if (currentIndex == kPositionArrayGone) return false;
  return array->FetchItemAt(currentIndex, outItem);
}

bool LArrayIterator::Current(void* outItem, UInt32& ioItemSize) {
  if (currentIndex == kPositionArrayGone) return false;
  return array->FetchItemAt(currentIndex, outItem, ioItemSize);
}

bool LArrayIterator::Next(void* outItem) {
  Advance(currentIndex, nextIndex, array);
  return Current(outItem);
}

bool LArrayIterator::Next(void* outItem, UInt32& ioItemSize) {
  Advance(currentIndex, nextIndex, array);
  return Current(outItem, ioItemSize);
}

bool LArrayIterator::Previous(void* outItem) {
  CalcPreviousIndex();
  return Current(outItem);
}

bool LArrayIterator::Previous(void* outItem, UInt32& ioItemSize) {
  CalcPreviousIndex();
  return Current(outItem, ioItemSize);
}

void* LArrayIterator::PtrToCurrent() {
  SInt32 index = currentIndex;
  if (index == kPositionArrayGone || !array->ValidIndex(index)) return nullptr;
  return array->GetItemPtr(index);
}

void* LArrayIterator::PtrToCurrent(UInt32& outItemSize) {
  outItemSize = 0;
  SInt32 index = currentIndex;
  if (index == kPositionArrayGone || !array->ValidIndex(index)) return nullptr;
  outItemSize = array->GrabItemSize(index);
  return array->GetItemPtr(index);
}

void* LArrayIterator::PtrToNext() {
  Advance(currentIndex, nextIndex, array);
  return PtrToCurrent();
}

void* LArrayIterator::PtrToNext(UInt32& outItemSize) {
  Advance(currentIndex, nextIndex, array);
  return PtrToCurrent(outItemSize);
}

void* LArrayIterator::PtrToPrevious() {
  CalcPreviousIndex();
  return PtrToCurrent();
}

void* LArrayIterator::PtrToPrevious(UInt32& outItemSize) {
  CalcPreviousIndex();
  return PtrToCurrent(outItemSize);
}

// ---------------------------------------------------------------- changes of the array

void LArrayIterator::ItemsInserted(UInt32 inCount, SInt32 inAtIndex) {
  if (currentIndex == kPositionRemoved) {
    // nextIndex names the item that followed the removed one; it moves up
    // when the insertion lands at or before it.
    if (nextIndex != kPositionAfterEnd && inAtIndex <= nextIndex) nextIndex += SInt32(inCount);
    return;
  }
  if (currentIndex >= inAtIndex) currentIndex += SInt32(inCount);
  CalcNextIndex();
}

void LArrayIterator::ItemsRemoved(UInt32 inCount, SInt32 inAtIndex) {
  SInt64 end = SInt64(inAtIndex) + inCount;  // first place after the removed range
  if (currentIndex == kPositionRemoved) {
    // Still waiting for the item that followed the removed one: it moves down,
    // or, when it was removed too, the first item after the range takes its place.
    if (nextIndex == kPositionAfterEnd || nextIndex < inAtIndex) return;
    nextIndex = nextIndex >= end ? SInt32(nextIndex - SInt64(inCount)) : inAtIndex;
    if (UInt32(nextIndex) > array->GetCount()) nextIndex = kPositionAfterEnd;
    return;
  }
  if (currentIndex < inAtIndex) return;
  if (currentIndex < end) {
    nextIndex = UInt32(inAtIndex) > array->GetCount() ? kPositionAfterEnd : inAtIndex;
    currentIndex = kPositionRemoved;
    return;
  }
  currentIndex -= SInt32(inCount);
  CalcNextIndex();
}
