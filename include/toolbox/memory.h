// Memory service: relocatable blocks (handles) and non-relocatable pointer blocks.
#pragma once

#include "toolbox/types.h"

extern "C" {

/// Result of the last memory call (every call below sets it, BlockMoveData
/// excepted): noErr, memFullErr, nilHandleErr, memWZErr.
TOOLBOX_EXPORT OSErr MemError(void);

/// A new relocatable block of `size` bytes, contents undefined; null and
/// memFullErr when it cannot be had (negative sizes included).
TOOLBOX_EXPORT Handle NewHandle(Size size);
/// As NewHandle, zero-filled.
TOOLBOX_EXPORT Handle NewHandleClear(Size size);
/// As NewHandle, from "temporary memory" (the same heap here).
TOOLBOX_EXPORT Handle TempNewHandle(Size size, OSErr* resultCode);
/// Resizes keeping the contents (the first min(old, new) bytes); an unlocked
/// block may move. Growing a locked block fails: it cannot move. memFullErr on
/// failure (block unchanged), nilHandleErr for a null or disposed handle.
TOOLBOX_EXPORT void SetHandleSize(Handle h, Size newSize);
/// Bytes in the block; 0 and nilHandleErr for a null handle.
TOOLBOX_EXPORT Size GetHandleSize(Handle h);
/// Pins the block: its address stays the same until HUnlock. Locks do not
/// nest: one HUnlock undoes any number of HLock. nilHandleErr for a null or
/// disposed handle (nothing changes).
TOOLBOX_EXPORT void HLock(Handle h);
TOOLBOX_EXPORT void HUnlock(Handle h);
/// State byte: 0x80 locked, 0x40 purgeable, 0x20 resource; 0 and nilHandleErr
/// for a null or disposed handle.
TOOLBOX_EXPORT SignedByte HGetState(Handle h);
/// Sets the locked and purgeable bits from `flags` (the resource bit stays).
TOOLBOX_EXPORT void HSetState(Handle h, SignedByte flags);
/// Frees block and master pointer. nilHandleErr for null.
TOOLBOX_EXPORT void DisposeHandle(Handle h);
/// Replaces *theHndl by a new handle holding a copy of its block.
TOOLBOX_EXPORT OSErr HandToHand(Handle* theHndl);
/// Fixed blocks, never moved; null and memFullErr when they cannot be had.
/// GetPtrSize and DisposePtr report memWZErr for a pointer not from NewPtr.
TOOLBOX_EXPORT Ptr NewPtr(Size size);
TOOLBOX_EXPORT Ptr NewPtrClear(Size size);
TOOLBOX_EXPORT Size GetPtrSize(Ptr p);
TOOLBOX_EXPORT void DisposePtr(Ptr p);
/// Reserves master pointers; here it only counts the calls.
TOOLBOX_EXPORT void MoreMasters(void);

/// Copies bytes, overlapping ranges allowed.
TOOLBOX_EXPORT void BlockMoveData(const void* src, void* dst, Size count);

}  // extern "C"
