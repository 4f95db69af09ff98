// Plain functions over the platform's relocatable memory blocks (handles).
#pragma once

#include "toolbox/types.h"
#include "velkui/export.h"

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
