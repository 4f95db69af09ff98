// Ordered array: searching, sorting and the comparator and keep-sorted settings.
#include "ArrayInternals.h"

using support_detail::StArrayLock;

namespace {

/// Middle of low ... high, rounded down, without overflow.
SInt32 Middle(SInt32 inLow, SInt32 inHigh) { return SInt32((SInt64(inLow) + inHigh) / 2); }

/// Bisection over items 1 ... count: `compareAt(mid)` says where item mid
/// stands against what is sought. The index of a match, or 0.
template <class CompareAt>
SInt32 Bisect(UInt32 inCount, CompareAt compareAt) {
  SInt32 low = 1;
  SInt32 high = SInt32(inCount);
  while (low <= high) {
    SInt32 mid = Middle(low, high);
    SInt32 result = compareAt(mid);
    if (result == 0) return mid;
    if (result < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
    }
  }
  return 0;
}

/// The place an item belongs among items 1 ... count by the same bisection:
/// the index of the first equal item met, else after the last item compared
/// when that one sorts before, else at it. 1 for an empty array.
template <class CompareAt>
SInt32 InsertPlace(UInt32 inCount, CompareAt compareAt) {
  SInt32 low = 1;
  SInt32 high = SInt32(inCount);
  SInt32 mid = 1;
  SInt32 result = 0;
  while (low <= high) {
    mid = Middle(low, high);
    result = compareAt(mid);
    if (result == 0) return mid;
    if (result < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
    }
  }
  return result < 0 ? mid + 1 : mid;
}

}  // namespace

// ---------------------------------------------------------------- searches

SInt32 LArray::FetchIndexOf(const void* inItem, UInt32 inItemSize) const {
  if (itemCount == 0 || !inItem) return 0;
  if (inItemSize == 0) inItemSize = itemSize;
  return isSorted ? BinarySearch(inItem, inItemSize) : LinearSearch(inItem, inItemSize);
}

SInt32 LArray::FetchIndexOfKey(const void* inKey) const {
  if (itemCount == 0) return 0;
  return isSorted ? BinarySearchByKey(inKey) : LinearSearchByKey(inKey);
}

SInt32 LArray::BinarySearch(const void* inItem, UInt32 inItemSize) const {
  StArrayLock lock(*this);
  return Bisect(itemCount, [&](SInt32 mid) {
    return comparator->Compare(GetItemPtr(mid), inItem, GrabItemSize(mid), inItemSize);
  });
}

SInt32 LArray::LinearSearch(const void* inItem, UInt32 inItemSize) const {
  StArrayLock lock(*this);
  const char* item = static_cast<const char*>(GetItemPtr(1));
  for (UInt32 k = 1; k <= itemCount; ++k) {
    UInt32 size = GrabItemSize(SInt32(k));
    if (comparator->IsEqualTo(inItem, item, inItemSize, size)) return SInt32(k);
    item += size;
  }
  return 0;
}

SInt32 LArray::BinarySearchByKey(const void* inKey) const {
  StArrayLock lock(*this);
  return Bisect(itemCount, [&](SInt32 mid) {
    return comparator->CompareToKey(GetItemPtr(mid), GrabItemSize(mid), inKey);
  });
}

SInt32 LArray::LinearSearchByKey(const void* inKey) const {
  StArrayLock lock(*this);
  const char* item = static_cast<const char*>(GetItemPtr(1));
  for (UInt32 k = 1; k <= itemCount; ++k) {
    UInt32 size = GrabItemSize(SInt32(k));
    if (comparator->IsEqualToKey(item, size, inKey)) return SInt32(k);
    item += size;
  }
  return 0;
}

SInt32 LArray::FetchInsertIndexOf(const void* inItem, UInt32 inItemSize) const {
  if (!isSorted || !inItem) return kIndexLast;
  if (inItemSize == 0) inItemSize = itemSize;
  StArrayLock lock(*this);
  // An equal item met by the bisection gets the new one placed before it.
  return InsertPlace(itemCount, [&](SInt32 mid) {
    return comparator->Compare(GetItemPtr(mid), inItem, GrabItemSize(mid), inItemSize);
  });
}

SInt32 LArray::FetchInsertIndexOfKey(const void* inKey) const {
  if (!isSorted) return kIndexLast;
  StArrayLock lock(*this);
  return InsertPlace(itemCount, [&](SInt32 mid) {
    return comparator->CompareToKey(GetItemPtr(mid), GrabItemSize(mid), inKey);
  });
}

// ---------------------------------------------------------------- sorting

void LArray::Sort() {
  if (isSorted || itemCount <= 1) {
    isSorted = true;
    return;
  }
  // Shell sort with the gaps 1, 4, 13, 40, 121 ...
  UInt32 gap = 1;
  while (gap < itemCount / 9) gap = 3 * gap + 1;
  StPointerBlock scratch{Size(itemSize)};  // throws when it cannot be had
  StHandleLocker pin(itemsHandle);
  void* held = scratch.Get();
  for (; gap > 0; gap /= 3) {
    for (UInt32 i = gap + 1; i <= itemCount; ++i) {
      PeekItem(SInt32(i), held);
      SInt64 j = SInt64(i) - gap;
      while (j > 0 && comparator->Compare(held, GetItemPtr(SInt32(j)), itemSize, itemSize) < 0) {
        PokeItem(SInt32(j + gap), GetItemPtr(SInt32(j)), itemSize);
        j -= gap;
      }
      PokeItem(SInt32(j + gap), held, itemSize);
    }
  }
  isSorted = true;
}

void LArray::SetKeepSorted(bool inKeepSorted) {
  keepSorted = inKeepSorted;
  if (keepSorted) Sort();
}

void LArray::SetComparator(LComparator* inComparator, bool inTakeOwnership) {
  if (!inComparator) return;
  bool owns = inTakeOwnership && !support_detail::IsSharedComparator(inComparator);
  if (inComparator != comparator) {
    if (ownsComparator) delete comparator;
    comparator = inComparator;
    ownsComparator = owns;
  } else if (!ownsComparator) {
    ownsComparator = owns;  // the comparator the array owns already stays owned
  }
  // Setting a comparator, even the present one again, means a new order.
  if (itemCount > 1) isSorted = false;
  if (keepSorted) Sort();
}
