// Support classes exported to plug-ins: the ordered array with its comparators and
// iterators, the exception, memory functions, scoped holders and length-prefixed strings.
#pragma once

#include <exception>

#include "toolbox/resources.h"
#include "toolbox/text.h"
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

  /// Tell every attached iterator about a change, from the head of the list on.
  void ItemsInserted(UInt32 inCount, SInt32 inAtIndex);
  void ItemsRemoved(UInt32 inCount, SInt32 inAtIndex);

 public:
  /// Puts an iterator at the head of the list of those told about changes.
  void AttachIterator(LArrayIterator* inIterator) const;
  /// Takes an iterator off the list; no effect when it is not on it.
  void DetachIterator(LArrayIterator* inIterator) const;

 protected:

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

/// A cursor over an array that the array keeps right while items are inserted
/// and removed. Indices are 1-based; the negative values below mark places
/// between or outside items. Destroying or reassigning the array leaves the
/// iterator at kPositionArrayGone: from then on it finds nothing.
class VELKUI_EXPORT LArrayIterator {
 public:
  /// Start positions of the constructor and of ResetTo (or an index).
  static constexpr SInt32 kFromStart = 0;
  static constexpr SInt32 kFromEnd = -1;
  /// Position values of currentIndex and nextIndex.
  static constexpr SInt32 kPositionBeforeStart = 0;
  static constexpr SInt32 kPositionAfterEnd = -2;
  static constexpr SInt32 kPositionRemoved = -4;  ///< current item removed; nextIndex follows it
  static constexpr SInt32 kPositionArrayGone = -6;

  /// Attaches itself to the array, then ResetTo(inPosition).
  explicit LArrayIterator(const LArray& inArray, SInt32 inPosition = kFromStart);
  /// Detaches itself unless the array is gone.
  ~LArrayIterator();
  LArrayIterator(const LArrayIterator&) = delete;
  LArrayIterator& operator=(const LArrayIterator&) = delete;

  /// kFromStart: before the first item; kFromEnd, or an index beyond the last:
  /// after the last; otherwise that index.
  void ResetTo(SInt32 inPosition);

  /// The current item copied out; false when there is none.
  bool Current(void* outItem);
  bool Current(void* outItem, UInt32& ioItemSize);
  /// Steps forward, then as Current.
  bool Next(void* outItem);
  bool Next(void* outItem, UInt32& ioItemSize);
  /// Steps back, then as Current.
  bool Previous(void* outItem);
  bool Previous(void* outItem, UInt32& ioItemSize);
  /// Address of the current item in the array's block, or null; valid until
  /// the block moves.
  void* PtrToCurrent();
  void* PtrToCurrent(UInt32& outItemSize);
  void* PtrToNext();
  void* PtrToNext(UInt32& outItemSize);
  void* PtrToPrevious();
  void* PtrToPrevious(UInt32& outItemSize);

  const LArray* GetArray() const { return array; }
  SInt32 GetCurrentIndex() const { return currentIndex; }
  SInt32 GetNextIndex() const { return nextIndex; }

  /// Called by the array after inCount items were inserted (removed) at inAtIndex.
  void ItemsInserted(UInt32 inCount, SInt32 inAtIndex);
  void ItemsRemoved(UInt32 inCount, SInt32 inAtIndex);

 protected:
  /// Recomputes nextIndex from currentIndex.
  void CalcNextIndex();
  /// Steps currentIndex back one item, then recomputes nextIndex.
  void CalcPreviousIndex();

 private:
  friend class LArray;

  LArrayIterator* nextIterator;  ///< link in the array's list
  const LArray* array;           ///< the array iterated; dangling once gone
  SInt32 currentIndex;           ///< index of the current item, or a position value
  SInt32 nextIndex;              ///< index Next makes current, or a position value
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

// ---------------------------------------------------------------- scoped holders
// Hold a memory block or resource for a scope and give it back on exit, also
// when an exception passes. Failures are thrown as LException carrying the
// platform's error code and no message.

/// Keeps a handle locked for a scope. A handle that was locked already is left
/// locked; one this object locked is unlocked again.
class VELKUI_EXPORT StHandleLocker {
 public:
  explicit StHandleLocker(Handle inHandle);
  ~StHandleLocker();
  StHandleLocker(const StHandleLocker&) = delete;
  StHandleLocker& operator=(const StHandleLocker&) = delete;

  /// Gives back the handle held (unlocking it if locked here), then locks the
  /// new one unless it is locked already. Throws when its state cannot be read.
  void Adopt(Handle inHandle);
  /// Unlocks the handle now if this object locked it; the fields stay.
  void RestoreLockState();
  /// Unlocks as above, forgets the handle and returns it.
  Handle Release();
  Handle Get() const { return handle; }
  bool IsLockedHere() const { return lockedHere; }

 private:
  Handle handle;    ///< the handle held, or null
  bool lockedHere;  ///< this object locked the handle and unlocks it
};

/// Saves a handle's state byte and puts it back at scope exit.
class VELKUI_EXPORT StHandleState {
 public:
  /// Throws when the state cannot be read (a null or disposed handle).
  explicit StHandleState(Handle inHandle);
  ~StHandleState();
  StHandleState(const StHandleState&) = delete;
  StHandleState& operator=(const StHandleState&) = delete;

 private:
  Handle handle;
  SignedByte savedState;
};

/// A handle disposed of at scope exit when owned: a resource goes back with
/// ReleaseResource, a plain block with DisposeHandle.
class VELKUI_EXPORT StHandleBlock {
 public:
  /// Owns the handle when it is not null.
  explicit StHandleBlock(Handle inHandle);
  StHandleBlock(Handle inHandle, bool inIsOwner);
  /// A new block of inSize bytes, from temporary memory when the heap has none
  /// and inUseTempMem is set. Empty when that fails, or throws when inThrowFail.
  explicit StHandleBlock(Size inSize, bool inThrowFail = true, bool inUseTempMem = false);
  /// Owns a copy of the other block (empty for an empty one); throws when it
  /// cannot be had.
  StHandleBlock(const StHandleBlock& inOriginal);
  /// Copies first, so a failed assignment leaves this object as it was.
  StHandleBlock& operator=(const StHandleBlock& inOriginal);
  ~StHandleBlock();

  /// Disposes of the block held, then holds (and owns) the new one.
  void Adopt(Handle inHandle);
  /// Stops owning the handle and returns it; the object still refers to it.
  Handle Release() const;
  /// Gives the block back when owned; then the object is empty.
  void Dispose();
  /// True when the handle is a resource.
  bool IsAResource() const;
  Handle Get() const { return handle; }
  bool IsOwner() const { return isOwner; }

 protected:
  Handle handle;         ///< the block, or null
  mutable bool isOwner;  ///< disposal is this object's job
};

/// A zero-filled handle block.
class VELKUI_EXPORT StClearHandleBlock : public StHandleBlock {
 public:
  explicit StClearHandleBlock(Size inSize, bool inThrowFail = true);
};

/// A handle block from temporary memory.
class VELKUI_EXPORT StTempHandle : public StHandleBlock {
 public:
  explicit StTempHandle(Size inSize, bool inThrowFail = true);
};

/// A non-relocatable pointer block freed at scope exit when owned.
class VELKUI_EXPORT StPointerBlock {
 public:
  explicit StPointerBlock(Ptr inPointer);
  StPointerBlock(Ptr inPointer, bool inIsOwner);
  /// A new block of inSize bytes, zero-filled when inClearBytes. Empty when
  /// that fails, or throws when inThrowFail.
  explicit StPointerBlock(Size inSize, bool inThrowFail = true, bool inClearBytes = false);
  StPointerBlock(const StPointerBlock& inOriginal);
  /// Copies first, so a failed assignment leaves this object as it was.
  StPointerBlock& operator=(const StPointerBlock& inOriginal);
  ~StPointerBlock();

  /// A new block holding a copy of inPointer's bytes, owned by the caller; null for null.
  static Ptr CopyPointerBlock(Ptr inPointer);

  void Adopt(Ptr inPointer);
  Ptr Release() const;
  /// Frees the block when owned; the object is empty afterwards in every case.
  void Dispose();
  Ptr Get() const { return pointer; }
  bool IsOwner() const { return isOwner; }

 protected:
  Ptr pointer;           ///< the block, or null
  mutable bool isOwner;  ///< freeing is this object's job
};

/// A zero-filled pointer block.
class VELKUI_EXPORT StClearPointerBlock : public StPointerBlock {
 public:
  explicit StClearPointerBlock(Size inSize, bool inThrowFail = true);
};

/// A resource held for a scope and released at its end. The lookups search the
/// current resource file only (inUseOneDeep) or the whole chain of open files.
class VELKUI_EXPORT StResource {
 public:
  explicit StResource(Handle inHandle = nullptr);
  StResource(ResType inType, ResID inID, bool inThrowFail = true, bool inUseOneDeep = false);
  StResource(ResType inType, ConstStringPtr inName, bool inThrowFail = true,
             bool inUseOneDeep = false);
  ~StResource();
  StResource(const StResource&) = delete;
  StResource& operator=(const StResource&) = delete;

  /// Releases what is held, then looks the resource up. Null when it is
  /// missing, or throws (resNotFound when the platform reports no error).
  Handle GetResource(ResType inType, ResID inID, bool inThrowFail = true,
                     bool inUseOneDeep = false);
  Handle GetResource(ResType inType, ConstStringPtr inName, bool inThrowFail = true,
                     bool inUseOneDeep = false);
  /// As above, by 1-based index among the resources of the type.
  Handle GetIndResource(ResType inType, SInt16 inIndex, bool inThrowFail = true,
                        bool inUseOneDeep = false);
  void Adopt(Handle inHandle);
  /// The block stays held but is no longer a resource: it is freed as a plain handle.
  void Detach();
  void Dispose();
  Handle Get() const { return handle; }

 private:
  Handle handle;  ///< the resource held (owned), or null
};

/// Calls MoreMasters inCount times (none for 0 or less).
VELKUI_EXPORT void InitializeHeap(SInt16 inCount);
/// True when the first inCount bytes are equal (always for 0).
VELKUI_EXPORT bool BlocksAreEqual(const void* inBlockOne, const void* inBlockTwo, Size inCount);
/// At the first differing byte, byte one minus byte two (unsigned); 0 when equal.
VELKUI_EXPORT SInt32 BlockCompare(const void* inBlockOne, const void* inBlockTwo, Size inCount);
/// Compares the common length; when equal, size one minus size two.
VELKUI_EXPORT SInt32 BlockCompare(const void* inBlockOne, const void* inBlockTwo, Size inSizeOne,
                                  Size inSizeTwo);

// ---------------------------------------------------------------- strings

class LStr255;

/// A length-prefixed string: a length byte followed by up to 255 bytes of text.
/// Positions are 1-based. Every edit keeps the text within the buffer (at most
/// maxBytes - 1 bytes); what does not fit is cut.
class VELKUI_EXPORT LString {
 public:
  /// Orders two texts: negative when the first sorts first, 0 when they match.
  typedef SInt16 (*CompareFunc)(const void* inTextOne, const void* inTextTwo, UInt8 inLengthOne,
                                UInt8 inLengthTwo);

  virtual ~LString() = 0;

  UInt8 Length() const { return string[0]; }
  UInt16 GetMaxBytes() const { return maxBytes; }
  StringPtr TextPtr() { return string; }
  ConstStringPtr ConstTextPtr() const { return string; }
  operator StringPtr() { return string; }
  operator ConstStringPtr() const { return string; }

  /// The comparison the searches use (ToolboxCompareText until changed).
  void SetCompareFunc(CompareFunc inCompareFunc) { compareFunc = inCompareFunc; }
  CompareFunc GetCompareFunc() const { return compareFunc; }

  LString& Assign(const LString& inSource, UInt8 inStart = 1, UInt8 inCount = 255);
  LString& Assign(ConstStringPtr inString);
  LString& Assign(unsigned char inChar);
  LString& Assign(char inChar) { return Assign((unsigned char)inChar); }
  LString& Assign(const void* inText, UInt8 inLength);
  LString& LoadFromPtr(const void* inText, UInt8 inLength) { return Assign(inText, inLength); }
  /// The handle's first bytes as text; empty for null.
  LString& Assign(Handle inHandle);
  /// Index 0 or less: the 'STR ' resource of that id; else that string of the 'STR#' list.
  LString& Assign(SInt16 inResID, SInt16 inIndex);
  LString& LoadFromSTRResource(SInt16 inResID);
  LString& LoadFromSTRListResource(SInt16 inResID, SInt16 inIndex);
  LString& Assign(SInt32 inNumber);
  LString& Assign(FourCharCode inCode);
  /// Decimal text in a decimal-conversion style (FLOATDECIMAL, FIXEDDECIMAL).
  LString& Assign(double inNumber, SInt8 inStyle, SInt16 inDigits);
  LString& Assign(long double inNumber, const NumFormatString& inFormat,
                  const NumberParts& inParts);
  /// The number in a format text written with the system's number parts.
  LString& Assign(long double inNumber, ConstStringPtr inFormat);
  /// The number in a format text written with the number parts of a 'NoPt'
  /// resource; throws when the resource is missing.
  LString& Assign(long double inNumber, ConstStringPtr inFormat, SInt16 inPartsResID);

  LString& Append(unsigned char inChar);
  LString& Append(char inChar) { return Append((unsigned char)inChar); }
  LString& Append(const void* inText, UInt8 inLength);
  LString& Append(ConstStringPtr inString);
  LString& Append(const LString& inString);
  LString& Append(SInt32 inNumber);
  LString& operator+=(const LString& inString) { return Append(inString); }
  LString& Insert(const void* inText, UInt8 inLength, UInt8 inAtPosition);
  LString& Remove(UInt8 inStart, UInt8 inCount);
  LString& Replace(UInt8 inStart, UInt8 inCount, const void* inText, UInt8 inLength);
  /// The substring, with the rules of Assign(source, start, count).
  LStr255 operator()(UInt8 inStart, UInt8 inCount) const;

  /// Position of the first match at or after inStart; 0 when none.
  UInt8 Find(const void* inPattern, UInt8 inLength, UInt8 inStart = 1) const;
  UInt8 Find(const LString& inPattern, UInt8 inStart = 1) const;
  /// Position of the last match at or before inStart; 0 when none.
  UInt8 ReverseFind(const void* inPattern, UInt8 inLength, UInt8 inStart = 255) const;
  bool BeginsWith(const void* inPattern, UInt8 inLength) const;
  bool EndsWith(const void* inPattern, UInt8 inLength) const;
  /// Position of this string inside inText, searching from inStart; 0 when none.
  UInt8 FindWithin(const void* inText, UInt8 inTextLength, UInt8 inStart = 1) const;
  UInt8 ReverseFindWithin(const void* inText, UInt8 inTextLength, UInt8 inStart = 255) const;

  bool operator==(const LString& inOther) const;
  bool operator!=(const LString& inOther) const { return !(*this == inOther); }

  /// The number the text spells (StringToNum).
  operator SInt32() const;
  /// A four-character code from the first four characters, in the low-order bytes.
  operator FourCharCode() const;
  operator double() const;
  operator long double() const;

  static long double StringToLongDouble(ConstStringPtr inString, ConstStringPtr inFormat);
  static long double StringToLongDouble(ConstStringPtr inString, const NumFormatString& inFormat,
                                        const NumberParts& inParts);
  /// The system script's number parts; throws 'nilP' when the table is missing.
  static void GetSystemNumberParts(NumberParts& outParts);
  static void FetchFloatFormat(ConstStringPtr inFormat, NumFormatString& outFormat,
                               NumberParts& outParts);
  /// A format written with inGivenParts, re-expressed for the system's parts.
  static void FetchFloatFormat(ConstStringPtr inFormat, const NumberParts& inGivenParts,
                               NumFormatString& outFormat, NumberParts& outParts);

  /// Copies as much of inSource as inDestSize bytes hold; null gives the empty string.
  static StringPtr CopyPStr(ConstStringPtr inSource, StringPtr outDest, SInt16 inDestSize = 256);
  static StringPtr AppendPStr(StringPtr ioDest, ConstStringPtr inSource, SInt16 inDestSize = 256);
  /// In place: a zero-terminated string (at most 255 characters) to length-prefixed.
  static StringPtr CToPStr(char* ioString);
  /// In place: length-prefixed to zero-terminated.
  static char* PToCStr(StringPtr ioString);
  static UInt8 CStringLength(const char* inString);
  static StringPtr FourCharCodeToPStr(FourCharCode inCode, StringPtr outString);
  static void PStrToFourCharCode(ConstStringPtr inString, FourCharCode& outCode);

  /// The toolbox's language-aware comparison: -1, 0 or 1.
  static SInt16 ToolboxCompareText(const void* inTextOne, const void* inTextTwo,
                                   UInt8 inLengthOne, UInt8 inLengthTwo);
  /// Unsigned bytes, then length: -1, 0 or 1.
  static SInt16 CompareBytes(const void* inTextOne, const void* inTextTwo, UInt8 inLengthOne,
                             UInt8 inLengthTwo);
  /// Both texts in upper case, then the toolbox comparison.
  static SInt16 CompareIgnoringCase(const void* inTextOne, const void* inTextTwo,
                                    UInt8 inLengthOne, UInt8 inLengthTwo);

 protected:
  /// Uses inBuffer (inMaxBytes long, length byte included) as it is; sizes
  /// beyond 256 count as 256.
  LString(UInt16 inMaxBytes, StringPtr inBuffer);
  LString(const LString&) = default;
  LString& operator=(const LString&) = default;

  /// Room left for text.
  UInt8 Room() const { return UInt8(maxBytes - 1 - string[0]); }

  StringPtr string;         ///< the length byte of the buffer in use
  CompareFunc compareFunc;  ///< used by the searches
  UInt16 maxBytes;          ///< buffer size, length byte included (at most 256)
};

/// A length-prefixed string in its own 256-byte buffer.
class VELKUI_EXPORT LStr255 : public LString {
 public:
  LStr255();
  LStr255(const LStr255& inOriginal);
  LStr255(const LString& inOriginal);
  LStr255(ConstStringPtr inString);
  LStr255(unsigned char inChar);
  LStr255(char inChar);
  LStr255(const char* inCString);
  LStr255(const void* inText, UInt8 inLength);
  explicit LStr255(Handle inHandle);
  LStr255(SInt16 inResID, SInt16 inIndex);
  explicit LStr255(SInt32 inNumber);
  explicit LStr255(SInt16 inNumber);
  LStr255(long double inNumber, ConstStringPtr inFormat);
  LStr255(long double inNumber, const NumFormatString& inFormat, const NumberParts& inParts);
  LStr255(double inNumber, SInt8 inStyle, SInt16 inDigits);
  explicit LStr255(FourCharCode inCode);
  ~LStr255() override;

  LStr255& operator=(const LStr255& inOriginal);
  LStr255& operator=(const LString& inOriginal);
  LStr255& operator=(ConstStringPtr inString);

 private:
  Str255 buffer;  ///< the string itself
};

/// A length-prefixed string in a buffer the caller owns and keeps alive.
class VELKUI_EXPORT LStringRef : public LString {
 public:
  LStringRef(UInt16 inMaxBytes, StringPtr inBuffer);
  /// Refers to the same buffer.
  LStringRef(const LStringRef& inOriginal);
  LStringRef& operator=(const LStringRef& inOriginal);
  ~LStringRef() override;

  void SetStringRef(UInt16 inMaxBytes, StringPtr inBuffer);
};

VELKUI_EXPORT LStr255 operator+(unsigned char inLeft, const LString& inRight);
VELKUI_EXPORT LStr255 operator+(const LString& inLeft, unsigned char inRight);
VELKUI_EXPORT LStr255 operator+(ConstStringPtr inLeft, const LString& inRight);
VELKUI_EXPORT LStr255 operator+(const LString& inLeft, ConstStringPtr inRight);
VELKUI_EXPORT LStr255 operator+(const LString& inLeft, const LString& inRight);

/// The empty length-prefixed string (also the default number format).
extern VELKUI_EXPORT const unsigned char Str_Empty[1];
/// A one-character length-prefixed string holding "X".
extern VELKUI_EXPORT const unsigned char Str_Dummy[2];
extern VELKUI_EXPORT const Rect Rect_0000;
extern VELKUI_EXPORT const Point Point_00;
