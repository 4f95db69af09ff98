// The resource service's state (the chain of files and the loaded handles),
// shared with the host face that builds files and the dialog service (not installed).
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "toolbox/types.h"

namespace toolbox {
namespace internal {

typedef std::pair<ResType, SInt16> ResKey;

struct Resource {
  std::string name;
  std::vector<uint8_t> data;
  SInt16 attributes = 0;
  Handle handle = nullptr;  // loaded copy, owned by the file until released or detached
};

struct ResFile {
  SInt16 refNum = 0;
  std::string name;
  std::map<ResKey, Resource> resources;  // type, then id order
};

struct Home {
  SInt16 refNum;
  ResKey key;
};

struct ResourceState {
  std::recursive_mutex mutex;
  std::vector<ResFile> chain;  // newest first
  SInt16 current = -1;
  SInt16 nextRefNum = 1;
  std::unordered_map<Handle, Home> loaded;
  OSErr error = noErr;
  uint64_t loads = 0;
  uint64_t releases = 0;
  uint64_t detaches = 0;
};

/// The process-wide resource state (lives until exit).
ResourceState& TheResources();

/// Runs `f` on the state with the service's lock held.
template <class F>
auto WithResources(F f) {
  ResourceState& s = TheResources();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  return f(s);
}

/// The open file with this reference number, or null.
ResFile* FileOf(ResourceState& s, SInt16 refNum);
/// Disposes of the handle a resource has loaded (if it is still live) and
/// forgets it.
void DisposeLoaded(ResourceState& s, Resource& r);

/// Copies the bytes of a resource found through the chain from the current
/// file, without loading it into a handle (so without allocating); false when
/// there is none. The dialog service reads alert texts this way.
bool PeekResourceData(ResType type, SInt16 id, std::vector<uint8_t>* data);

}  // namespace internal
}  // namespace toolbox
