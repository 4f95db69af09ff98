// Support classes exported to plug-ins: the ordered array, its comparators and the exception.
#pragma once

#include <exception>

#include "toolbox/types.h"
#include "velkui/export.h"

class LArrayIterator;
class LComparator;

/// As an index argument: the last item. As a result of the insert-index
/// searches: append after the last item.
constexpr SInt32 kIndexLast = 0x7FFFFFFF;

/// Ordering policy of an array. The base class compares items byte by byte
/// (unsigned) and knows no key order: every item sorts after every key.
class VELKUI_EXPORT LComparator {
 public:
  LComparator();
  virtual ~LComparator();

  /// Negative when item one sorts before item two, 0 when equal, positive after.
  virtual SInt32 Compare(const void* inItemOne, const void* inItemTwo, UInt32 inSizeOne,
                         UInt32 inSizeTwo) const;
  /// True when Compare gives 0.
  virtual bool IsEqualTo(const void* inItemOne, const void* inItemTwo, UInt32 inSizeOne,
                         UInt32 inSizeTwo) const;
  /// Negative when the item sorts before the key, 0 when it matches, positive after.
  /// The base class answers 1 for every item.
  virtual SInt32 CompareToKey(const void* inItem, UInt32 inSize, const void* inKey) const;
  /// True when CompareToKey gives 0.
  virtual bool IsEqualToKey(const void* inItem, UInt32 inSize, const void* inKey) const;
  /// A new comparator of the same policy, owned by the caller. Subclasses that
  /// do not override it get a plain LComparator.
  virtual LComparator* Clone();

  /// The shared byte comparator; arrays never own it.
  static LComparator* GetComparator();

  static LComparator sComparator;
};

/// Orders items as signed 32-bit integers (wrapping subtraction).
class VELKUI_EXPORT LLongComparator : public LComparator {
 public:
  LLongComparator();
  ~LLongComparator() override;

  SInt32 Compare(const void* inItemOne, const void* inItemTwo, UInt32 inSizeOne,
                 UInt32 inSizeTwo) const override;
  bool IsEqualTo(const void* inItemOne, const void* inItemTwo, UInt32 inSizeOne,
                 UInt32 inSizeTwo) const override;
  LComparator* Clone() override;

  /// The shared 32-bit comparator; arrays never own it.
  static LLongComparator* GetComparator();

  static LLongComparator sLongComparator;
};

/// Ordered array of fixed-size items kept back to back in one relocatable
/// block. Indices are 1-based. While locked, the block is pinned and every
/// change of the array's length is refused (0, false or no effect).
class VELKUI_EXPORT LArray {
 public:
  /// Item size 4, the shared 32-bit comparator, no block.
  LArray();
  /// A null comparator selects the shared default (32-bit for 4-byte items,
  /// bytewise otherwise); a non-null one becomes owned by the array.
  LArray(UInt32 inItemSize, LComparator* inComparator = nullptr, bool inKeepSorted = false);
  /// As above, then allocates exactly inReserveCount items at once; throws
  /// LException with the memory error when the block cannot be had.
  LArray(UInt32 inReserveCount, UInt32 inItemSize, LComparator* inComparator,
         bool inKeepSorted);
  /// Adopts an existing block (unlocked and owned from now on); the item count
  /// is its size divided by the item size.
  LArray(UInt32 inItemSize, Handle inItemsHandle, LComparator* inComparator, bool inIsSorted,
         bool inKeepSorted);
  /// Copies the items, the flags and the comparator (cloned when owned).
  LArray(const LArray& inOriginal);
  /// Refused (no change) while this array is locked; otherwise copies as above.
  LArray& operator=(const LArray& inOriginal);

  // The virtual operations, in their fixed order.
  virtual ~LArray();
  virtual UInt32 GetItemSize(SInt32 inIndex) const;
  virtual UInt32 GrabItemSize(SInt32 inIndex) const;
  /// Copies item inIndex (kIndexLast: the last) to outItem; false when absent.
  virtual bool FetchItemAt(SInt32 inIndex, void* outItem) const;
  /// As above, copying at most ioItemSize bytes; ioItemSize gets the bytes copied.
  virtual bool FetchItemAt(SInt32 inIndex, void* outItem, UInt32& ioItemSize) const;
  /// Index of an item equal to inItem, or 0.
  virtual SInt32 FetchIndexOf(const void* inItem, UInt32 inItemSize = 0) const;
  /// Appends (or inserts at the sorted place); the new index, 0 if refused.
  virtual SInt32 AddItem(const void* inItem, UInt32 inItemSize = 0);
  /// Inserts inCount copies of inItem; index of the first, 0 if refused.
  /// Index 0 means 1; any index beyond the count appends.
  virtual SInt32 InsertItemsAt(UInt32 inCount, SInt32 inAtIndex, const void* inItem,
                               UInt32 inItemSize = 0);
  /// Removes up to inCount items from inAtIndex on.
  virtual void RemoveItemsAt(UInt32 inCount, SInt32 inAtIndex);
  /// Fetches and removes the last item; false when empty or locked.
  virtual bool RemoveLastItem(void* outItem);
  virtual bool RemoveLastItem(void* outItem, UInt32& ioItemSize);
  /// Overwrites up to inCount items with one value; index of the first written, 0 if refused.
  /// Kept sorted: removes what exists of the range, then inserts inCount copies
  /// at the value's sorted place and returns that place.
  virtual SInt32 AssignItemsAt(UInt32 inCount, SInt32 inAtIndex, const void* inItem,
                               UInt32 inItemSize = 0);
  /// Exchanges two items; refused when the array is kept sorted.
  virtual void SwapItems(SInt32 inIndexA, SInt32 inIndexB);
  /// Moves one item to another place; refused when the array is kept sorted.
  virtual void MoveItem(SInt32 inFromIndex, SInt32 inToIndex);
  /// Removes the item that FetchIndexOf finds, if any.
  virtual void Remove(const void* inItem, UInt32 inItemSize = 0);
  /// Address of the item in the block, unchecked; valid until the block moves.
  virtual void* GetItemPtr(SInt32 inIndex) const;
  /// Sets the block to exactly (count + inExtraItems) items.
  virtual void AdjustAllocation(UInt32 inExtraItems, UInt32 inExtraData = 0);
  /// Sorts by the comparator (not stable) and marks the array sorted.
  virtual void Sort();
  /// Index of an item matching the key, or 0.
  virtual SInt32 FetchIndexOfKey(const void* inKey) const;
  /// Index at which inItem belongs in comparator order, or kIndexLast.
  virtual SInt32 FetchInsertIndexOf(const void* inItem, UInt32 inItemSize = 0) const;
  /// Index at which an item with this key belongs, or kIndexLast.
  virtual SInt32 FetchInsertIndexOfKey(const void* inKey) const;

 protected:
  virtual void PeekItem(SInt32 inIndex, void* outItem) const;
  virtual void PokeItem(SInt32 inIndex, const void* inItem, UInt32 inItemSize);
  virtual void InternalAdjustAllocation(UInt32 inItemAllocation, UInt32 inDataAllocation);
  virtual void AdjustStorage(SInt32 inDeltaItems, SInt32 inDeltaData);
  virtual void ShiftItems(SInt32 inStartIndex, SInt32 inEndIndex, SInt32 inIndexShift,
                          SInt32 inDataShift);
  virtual void StoreNewItems(UInt32 inCount, SInt32 inAtIndex, const void* inItem,
                             UInt32 inItemSize);
  virtual void InternalSwapItems(SInt32 inIndexA, SInt32 inIndexB, void* inBuffer);
  virtual void InternalMoveItem(SInt32 inFromIndex, SInt32 inToIndex, void* inBuffer);
  virtual void InternalCopyItem(SInt32 inSourceIndex, SInt32 inDestIndex);
  virtual UInt32 GrabItemRangeSize(SInt32 inStartIndex, SInt32 inEndIndex) const;

 public:
  UInt32 GetCount() const { return itemCount; }
  /// Replaces kIndexLast by the count; true when 1 <= ioIndex <= count.
  bool ValidIndex(SInt32& ioIndex) const;
  /// Trims the block to the bytes in use and returns it; the array keeps owning it.
  Handle GetItemsHandle();

  /// Pins the block; calls nest and must pair with Unlock.
  void Lock() const;
  void Unlock() const;
  bool IsLocked() const { return lockCount != 0; }

  /// Replaces the comparator (null changes nothing); re-sorts when kept sorted.
  void SetComparator(LComparator* inComparator, bool inTakeOwnership);
  LComparator* GetComparator() const { return comparator; }
  /// When set, every insertion goes to its sorted place; setting it sorts.
  void SetKeepSorted(bool inKeepSorted);
  bool IsSorted() const { return isSorted; }
  bool IsKeptSorted() const { return keepSorted; }

 protected:
  void InitArray(UInt32 inItemSize, LComparator* inComparator, bool inIsSorted,
                 bool inKeepSorted);
  void DestroyArray();
  void CopyArray(const LArray& inOriginal, bool inDestroyOld);
  /// AssignItemsAt of an array kept sorted: the items of the range leave and
  /// inCount copies of the value go to its sorted place. When the insertion
  /// fails, the removed items are put back and the exception passes on.
  SInt32 ReplaceSorted(UInt32 inCount, SInt32 inAtIndex, const void* inItem, UInt32 inItemSize);
  /// Grows the block so that removing inRemovedBytes and then inserting
  /// inCount items needs no more memory; throws, changing nothing, when it cannot.
  void ReserveForReplacement(UInt32 inCount, UInt32 inRemovedBytes);
  /// Reinserts inCount items saved from inAtIndex on, without allocating.
  void PutBackRemoved(UInt32 inCount, SInt32 inAtIndex, const void* inItems, UInt32 inBytes);

  SInt32 BinarySearch(const void* inItem, UInt32 inItemSize) const;
  SInt32 LinearSearch(const void* inItem, UInt32 inItemSize) const;
  SInt32 BinarySearchByKey(const void* inKey) const;
  SInt32 LinearSearchByKey(const void* inKey) const;

  /// Tell attached iterators about a change; nothing when none is attached.
  void ItemsInserted(UInt32 inCount, SInt32 inAtIndex);
  void ItemsRemoved(UInt32 inCount, SInt32 inAtIndex);

  UInt32 itemSize;                      ///< bytes per item, fixed at construction
  UInt32 itemCount;                     ///< number of items
  UInt32 dataStored;                    ///< bytes in use
  UInt32 dataAllocated;                 ///< present size of the block, >= dataStored
  Handle itemsHandle;                   ///< the owned storage block; null until needed
  mutable SInt32 lockCount;             ///< nesting depth of Lock
  mutable LArrayIterator* iteratorList; ///< attached iterators; null when none
  LComparator* comparator;              ///< never null after construction
  bool ownsComparator;                  ///< the array deletes comparator
  bool isSorted;                        ///< items known to be in comparator order
  bool keepSorted;                      ///< insertions go to their sorted place
};

/// The library's one exception: an error code (a platform error number or a
/// four-character code such as 'nilP') and a length-prefixed message held in
/// one buffer shared by every exception.
class VELKUI_EXPORT LException : public std::exception {
 public:
  /// Stores the code and copies inErrorString (null: empty) into the shared buffer.
  explicit LException(SInt32 inErrorCode, ConstStringPtr inErrorString = nullptr);
  /// Copies the code and the buffer pointer: copies share the message.
  LException(const LException& inOriginal);
  LException& operator=(const LException& inOriginal);

  ~LException() noexcept override;
  /// The message, zero-terminated in place (a 255-character message loses its last character).
  const char* what() const noexcept override;

  SInt32 GetErrorCode() const { return errorCode; }
  ConstStringPtr GetErrorString() const { return errorString; }
  void SetErrorCode(SInt32 inErrorCode);
  /// Copies the message into the buffer, when this exception has one.
  void SetErrorString(ConstStringPtr inErrorString);

  static Str255 sErrorStr255;
  static StringPtr sErrorStringPtr;

 protected:
  SInt32 errorCode;        ///< platform error number or four-character code
  StringPtr errorString;   ///< the shared length-prefixed message buffer, or null
};

// ---------------------------------------------------------------- memory functions
// Plain functions over the platform's relocatable memory blocks (handles).

/// A new handle of `size` bytes, or null when memory is short. Exactly
/// clear == 1 asks for a zero-filled block; any other value for an
/// uninitialised one.
VELKUI_EXPORT Handle Mem_Alloc(UInt32 size, SInt32 clear);

/// Locks the block and returns its address; null for a null handle.
VELKUI_EXPORT Ptr Mem_Lock(Handle h);

/// Unlocks the block unless the handle is null; returns 0.
VELKUI_EXPORT SInt32 Mem_Unlock(Handle h);

/// Disposes of the block (unlocking it first when locked); a null handle does
/// nothing. Returns 0.
VELKUI_EXPORT SInt32 Mem_Free(Handle h);

/// Copies count bytes, overlapping ranges allowed, only when count read as a
/// signed 32-bit value is above 0. Returns 0.
VELKUI_EXPORT SInt32 Mem_Copy(void* destination, const void* source, UInt32 count);

/// Sets count bytes at address to 0 (the address is not checked). Returns 0.
VELKUI_EXPORT SInt32 Mem_Clear(void* address, UInt32 count);

/// Allocates a zero-filled block of size bytes, stores its handle (or null)
/// into *outHandle and returns the address of the locked block, or null when
/// the allocation failed. A null outHandle allocates nothing and returns null.
VELKUI_EXPORT Ptr Calloc(Handle* outHandle, UInt32 size);

/// Unlocks and disposes of the block; a null handle does nothing. Returns 0.
VELKUI_EXPORT SInt32 MemFree(Handle h);
