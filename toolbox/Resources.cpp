// Resource service: in-memory resource files chained newest first; resources
// are loaded into handles once per file and tracked until released or detached.
#include "toolbox/resources.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "core/MemoryState.h"
#include "core/ResourceState.h"
#include "toolbox/memory.h"

using namespace toolbox::internal;

ResourceState& toolbox::internal::TheResources() {
  static ResourceState* state = new ResourceState;  // lives until exit, never destroyed
  return *state;
}

ResFile* toolbox::internal::FileOf(ResourceState& s, SInt16 refNum) {
  for (ResFile& f : s.chain)
    if (f.refNum == refNum) return &f;
  return nullptr;
}

namespace {

typedef std::lock_guard<std::recursive_mutex> Lock;

size_t IndexOf(const ResourceState& s, SInt16 refNum) {
  for (size_t i = 0; i < s.chain.size(); ++i)
    if (s.chain[i].refNum == refNum) return i;
  return s.chain.size();
}

/// Files searched by a chain lookup: the current one and every older one; by a
/// one-deep lookup: the current one only.
std::vector<ResFile*> SearchOrder(ResourceState& s, bool oneDeep) {
  std::vector<ResFile*> files;
  for (size_t i = IndexOf(s, s.current); i < s.chain.size(); ++i) {
    files.push_back(&s.chain[i]);
    if (oneDeep) break;
  }
  return files;
}

/// True when the handle the file kept is still the live resource handle it
/// made (a caller may have wrongly disposed of it).
bool StillLoaded(const Resource& r) {
  return r.handle && IsLiveBlock(r.handle) && (HGetState(r.handle) & 0x20);
}


/// The resource's handle, loading it when needed; null and memFullErr when the
/// handle cannot be made.
Handle Load(ResourceState& s, ResFile& file, const ResKey& key, Resource& r) {
  if (StillLoaded(r)) {
    s.error = noErr;
    return r.handle;
  }
  if (r.handle) s.loaded.erase(r.handle);
  r.handle = nullptr;
  Handle h = NewHandle(Size(r.data.size()));
  if (!h) {
    s.error = memFullErr;
    return nullptr;
  }
  if (!r.data.empty()) std::memcpy(*h, r.data.data(), r.data.size());
  toolbox::internal::SetResourceBit(h, true);
  if (r.attributes & resLocked) HLock(h);
  r.handle = h;
  s.loaded[h] = Home{file.refNum, key};
  ++s.loads;
  s.error = noErr;
  return h;
}

Handle FindById(ResType type, SInt16 id, bool oneDeep) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  ResKey key(type, id);
  for (ResFile* f : SearchOrder(s, oneDeep)) {
    auto it = f->resources.find(key);
    if (it != f->resources.end()) return Load(s, *f, key, it->second);
  }
  s.error = resNotFound;
  return nullptr;
}

bool SameName(const std::string& a, ConstStr255Param b) {
  if (!b || a.empty() || a.size() != b[0]) return false;  // unnamed never matches
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = UInt8(a[i]), y = b[i + 1];
    if (x >= 'a' && x <= 'z') x = UInt8(x - 32);
    if (y >= 'a' && y <= 'z') y = UInt8(y - 32);
    if (x != y) return false;
  }
  return true;
}

Handle FindByName(ResType type, ConstStr255Param name, bool oneDeep) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  for (ResFile* f : SearchOrder(s, oneDeep))
    for (auto& [key, r] : f->resources)
      if (key.first == type && SameName(r.name, name)) return Load(s, *f, key, r);
  s.error = resNotFound;
  return nullptr;
}

Handle FindByIndex(ResType type, SInt16 index, bool oneDeep) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  SInt16 seen = 0;
  if (index >= 1)
    for (ResFile* f : SearchOrder(s, oneDeep))
      for (auto& [key, r] : f->resources)
        if (key.first == type && ++seen == index) return Load(s, *f, key, r);
  s.error = resNotFound;
  return nullptr;
}

SInt16 CountOf(ResType type, bool oneDeep) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  int n = 0;
  for (ResFile* f : SearchOrder(s, oneDeep))
    for (auto& entry : f->resources)
      if (entry.first.first == type) ++n;
  s.error = noErr;
  return SInt16(std::min(n, 32767));
}

/// The resource a loaded handle belongs to; null (and resNotFound) when the
/// handle is not a resource.
Resource* ResourceOf(ResourceState& s, Handle h, Home* home = nullptr) {
  auto it = h ? s.loaded.find(h) : s.loaded.end();
  ResFile* f = it != s.loaded.end() ? FileOf(s, it->second.refNum) : nullptr;
  if (!f) {
    s.error = resNotFound;
    return nullptr;
  }
  if (home) *home = it->second;
  s.error = noErr;
  return &f->resources.at(it->second.key);
}

}  // namespace

void toolbox::internal::DisposeLoaded(ResourceState& s, Resource& r) {
  if (!r.handle) return;
  Handle h = r.handle;
  r.handle = nullptr;
  s.loaded.erase(h);
  if (!IsLiveBlock(h)) return;
  toolbox::internal::SetResourceBit(h, false);
  OSErr saved = MemError();
  DisposeHandle(h);
  toolbox::internal::SetMemError(saved);
}

extern "C" {

OSErr ResError(void) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  return s.error;
}

ResFileRefNum CurResFile(void) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  s.error = noErr;
  return s.current;
}

void UseResFile(ResFileRefNum refNum) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  if (refNum == 0 && !s.chain.empty()) refNum = s.chain.back().refNum;
  if (!FileOf(s, refNum)) {
    s.error = resFNotFound;
    return;
  }
  s.current = refNum;
  s.error = noErr;
}

void CloseResFile(ResFileRefNum refNum) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  size_t i = IndexOf(s, refNum);
  if (i == s.chain.size()) {
    s.error = resFNotFound;
    return;
  }
  for (auto& entry : s.chain[i].resources) DisposeLoaded(s, entry.second);
  s.chain.erase(s.chain.begin() + long(i));
  if (s.current == refNum) {
    if (i < s.chain.size())
      s.current = s.chain[i].refNum;
    else
      s.current = s.chain.empty() ? -1 : s.chain.front().refNum;
  }
  s.error = noErr;
}

ResFileRefNum HomeResFile(Handle theResource) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  Home home{};
  return ResourceOf(s, theResource, &home) ? home.refNum : -1;
}

Handle GetResource(ResType theType, ResID theID) { return FindById(theType, theID, false); }
Handle Get1Resource(ResType theType, ResID theID) { return FindById(theType, theID, true); }

Handle GetNamedResource(ResType theType, ConstStr255Param name) {
  return FindByName(theType, name, false);
}
Handle Get1NamedResource(ResType theType, ConstStr255Param name) {
  return FindByName(theType, name, true);
}

Handle GetIndResource(ResType theType, SInt16 index) { return FindByIndex(theType, index, false); }
Handle Get1IndResource(ResType theType, SInt16 index) { return FindByIndex(theType, index, true); }

SInt16 CountResources(ResType theType) { return CountOf(theType, false); }
SInt16 Count1Resources(ResType theType) { return CountOf(theType, true); }

void LoadResource(Handle theResource) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  ResourceOf(s, theResource);
}

void ReleaseResource(Handle theResource) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  Resource* r = ResourceOf(s, theResource);
  if (!r) return;
  DisposeLoaded(s, *r);
  ++s.releases;
}

void DetachResource(Handle theResource) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  Resource* r = ResourceOf(s, theResource);
  if (!r) return;
  s.loaded.erase(r->handle);
  toolbox::internal::SetResourceBit(r->handle, false);
  r->handle = nullptr;
  ++s.detaches;
}

ResAttributes GetResAttrs(Handle theResource) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  Resource* r = ResourceOf(s, theResource);
  return r ? r->attributes : 0;
}

void GetResInfo(Handle theResource, ResID* theID, ResType* theType, Str255 name) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  Home home{};
  Resource* r = ResourceOf(s, theResource, &home);
  if (!r) return;
  if (theID) *theID = home.key.second;
  if (theType) *theType = home.key.first;
  if (name) {
    size_t n = std::min<size_t>(r->name.size(), 255);
    name[0] = UInt8(n);
    std::memcpy(name + 1, r->name.data(), n);
  }
}

Size GetResourceSizeOnDisk(Handle theResource) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  Resource* r = ResourceOf(s, theResource);
  return r ? Size(r->data.size()) : -1;
}

StringHandle GetString(SInt16 stringID) {
  return reinterpret_cast<StringHandle>(GetResource(FOUR_CHAR_CODE("STR "), stringID));
}

void GetIndString(Str255 theString, SInt16 strListID, SInt16 index) {
  if (!theString) return;
  theString[0] = 0;
  Handle h = GetResource(FOUR_CHAR_CODE("STR#"), strListID);
  if (!h || index < 1) return;
  const UInt8* p = reinterpret_cast<const UInt8*>(*h);
  Size size = GetHandleSize(h);
  if (size < 2 || index > ((p[0] << 8) | p[1])) return;
  Size at = 2;
  for (SInt16 i = 1; i < index && at < size; ++i) at += 1 + p[at];
  if (at >= size || at + 1 + p[at] > size) return;  // malformed list
  std::memcpy(theString, p + at, size_t(1 + p[at]));
}

}  // extern "C"

namespace toolbox {
namespace internal {

bool PeekResourceData(ResType type, SInt16 id, std::vector<uint8_t>* data) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  for (ResFile* f : SearchOrder(s, false)) {
    auto it = f->resources.find(ResKey(type, id));
    if (it == f->resources.end()) continue;
    if (data) *data = it->second.data;
    return true;
  }
  return false;
}

}  // namespace internal
}  // namespace toolbox
