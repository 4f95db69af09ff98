// Resource service: resource files chained newest first, typed and numbered
// resources loaded into handles, string and string-list resources.
#pragma once

#include "toolbox/types.h"

typedef SInt16 ResID;
typedef SInt16 ResAttributes;
typedef SInt16 ResFileRefNum;

/// Resource attribute bits, as GetResAttrs reports them.
enum : SInt16 {
  resSysHeap = 64,
  resPurgeable = 32,
  resLocked = 16,
  resProtected = 8,
  resPreload = 4,
  resChanged = 2,
};

enum : OSErr {
  mapReadErr = -199,
};

extern "C" {

/// Result of the last resource call: noErr, resNotFound (no such resource, or a
/// handle that is not a resource), resFNotFound (no such open file), memFullErr
/// (the resource could not be loaded), resAttrErr.
TOOLBOX_EXPORT OSErr ResError(void);

/// Reference number of the current resource file; -1 when no file is open.
TOOLBOX_EXPORT ResFileRefNum CurResFile(void);
/// Makes an open file current. Searches start at the current file and go on
/// through the files opened before it. 0 means the oldest open file. An unknown
/// number leaves the current file unchanged and sets resFNotFound.
TOOLBOX_EXPORT void UseResFile(ResFileRefNum refNum);
/// Closes an open file: its loaded (not detached) resource handles are disposed
/// of and it leaves the chain. When it was current, the next older file (or, if
/// none, the newest remaining one) becomes current. resFNotFound when unknown.
TOOLBOX_EXPORT void CloseResFile(ResFileRefNum refNum);
/// The file a resource handle came from; -1 and resNotFound for a handle that is
/// not a resource.
TOOLBOX_EXPORT ResFileRefNum HomeResFile(Handle theResource);

/// The resource of that type and id, searching the chain from the current file;
/// null and resNotFound when none, null and memFullErr when it cannot be loaded.
/// A resource is loaded once per file: later calls return the same handle until
/// it is released or detached. The handle's state has the resource bit (0x20).
TOOLBOX_EXPORT Handle GetResource(ResType theType, ResID theID);
/// As GetResource, in the current file only.
TOOLBOX_EXPORT Handle Get1Resource(ResType theType, ResID theID);
/// As GetResource, by name (compared without regard to ASCII case); a resource
/// without a name is never found by name.
TOOLBOX_EXPORT Handle GetNamedResource(ResType theType, ConstStr255Param name);
TOOLBOX_EXPORT Handle Get1NamedResource(ResType theType, ConstStr255Param name);
/// The index-th (1-based) resource of a type: over the chain from the current
/// file (each file's resources in id order, newer files first), or in the
/// current file only. Null and resNotFound when out of range.
TOOLBOX_EXPORT Handle GetIndResource(ResType theType, SInt16 index);
TOOLBOX_EXPORT Handle Get1IndResource(ResType theType, SInt16 index);
/// Number of resources of a type over the chain from the current file, or in
/// the current file only.
TOOLBOX_EXPORT SInt16 CountResources(ResType theType);
TOOLBOX_EXPORT SInt16 Count1Resources(ResType theType);

/// Loads a resource whose handle was emptied; here handles are never purged, so
/// it only checks that the handle is a resource (resNotFound otherwise).
TOOLBOX_EXPORT void LoadResource(Handle theResource);
/// Frees a resource's handle; the resource stays in its file and a later
/// GetResource loads a fresh copy. A handle that is not a resource is left
/// alone and resNotFound is set.
TOOLBOX_EXPORT void ReleaseResource(Handle theResource);
/// Turns a resource handle into a plain handle that the caller owns (the
/// resource bit is cleared); the file forgets it. resNotFound when not a resource.
TOOLBOX_EXPORT void DetachResource(Handle theResource);
/// Attribute bits of a resource (resLocked, resPurgeable ...); 0 and
/// resNotFound for a handle that is not a resource.
TOOLBOX_EXPORT ResAttributes GetResAttrs(Handle theResource);
/// Id, type and name of a resource; resNotFound (outputs untouched) when not a
/// resource. Any output may be null.
TOOLBOX_EXPORT void GetResInfo(Handle theResource, ResID* theID, ResType* theType, Str255 name);
/// Size of a resource's data in its file; -1 and resNotFound when not a resource.
TOOLBOX_EXPORT Size GetResourceSizeOnDisk(Handle theResource);

/// The 'STR ' resource of that id (a length-prefixed string) through the chain,
/// as a resource handle; null and ResError when none.
TOOLBOX_EXPORT StringHandle GetString(SInt16 stringID);
/// The index-th (1-based) string of the 'STR#' resource of that id (a 16-bit
/// big-endian count followed by length-prefixed strings) copied into
/// theString; the empty string when the list, or that string, is missing or
/// malformed. The list stays loaded, as the platform leaves it.
TOOLBOX_EXPORT void GetIndString(Str255 theString, SInt16 strListID, SInt16 index);

}  // extern "C"
