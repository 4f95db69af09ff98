// Scoped resource: a resource looked up for a scope and released at its end.
#include "toolbox/memory.h"
#include "toolbox/resources.h"
#include "velkui/support.h"

namespace {

/// The looked-up resource; throws the resource error (resNotFound when the
/// service reports none) when it is missing and inThrowFail is set.
Handle Checked(Handle inResource, bool inThrowFail) {
  if (!inResource && inThrowFail) {
    OSErr err = ResError();
    throw LException(err != noErr ? SInt32(err) : SInt32(resNotFound));
  }
  return inResource;
}

}  // namespace

StResource::StResource(Handle inHandle) : handle(inHandle) {}

StResource::StResource(ResType inType, ResID inID, bool inThrowFail, bool inUseOneDeep)
    : handle(nullptr) {
  GetResource(inType, inID, inThrowFail, inUseOneDeep);
}

StResource::StResource(ResType inType, ConstStringPtr inName, bool inThrowFail,
                       bool inUseOneDeep)
    : handle(nullptr) {
  GetResource(inType, inName, inThrowFail, inUseOneDeep);
}

StResource::~StResource() { Dispose(); }

Handle StResource::GetResource(ResType inType, ResID inID, bool inThrowFail,
                               bool inUseOneDeep) {
  Dispose();
  return handle = Checked(inUseOneDeep ? ::Get1Resource(inType, inID) : ::GetResource(inType, inID),
                  inThrowFail);
}

Handle StResource::GetResource(ResType inType, ConstStringPtr inName, bool inThrowFail,
                               bool inUseOneDeep) {
  Dispose();
  return handle = Checked(inUseOneDeep ? ::Get1NamedResource(inType, inName)
                               : ::GetNamedResource(inType, inName),
                  inThrowFail);
}

Handle StResource::GetIndResource(ResType inType, SInt16 inIndex, bool inThrowFail,
                                  bool inUseOneDeep) {
  Dispose();
  return handle = Checked(inUseOneDeep ? ::Get1IndResource(inType, inIndex)
                               : ::GetIndResource(inType, inIndex),
                  inThrowFail);
}

void StResource::Adopt(Handle inHandle) {
  if (inHandle == handle) return;
  Dispose();
  handle = inHandle;
}

void StResource::Detach() {
  if (handle) DetachResource(handle);
}

void StResource::Dispose() {
  if (!handle) return;
  GetResAttrs(handle);
  if (ResError() == noErr) {
    ReleaseResource(handle);
  } else {
    DisposeHandle(handle);
  }
  handle = nullptr;
}
