// Resources as the host makes them: in-memory files, resources added and
// removed, resource folders read from disk, counters for tests.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "toolbox/host/resources.h"

#include "core/Picture.h"
#include "core/ResourceState.h"
#include "toolbox/resources.h"

namespace fs = std::filesystem;

namespace toolbox {
namespace host {
using namespace internal;
namespace {

typedef std::lock_guard<std::recursive_mutex> Lock;

struct PendingResource {
  ResType type;
  SInt16 id;
  std::string name;
  std::vector<uint8_t> data;
};

uint32_t GetBE32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

/// Decodes %XX escapes; false on a malformed escape.
bool Unescape(const std::string& in, std::string* out) {
  out->clear();
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '%') {
      out->push_back(in[i]);
      continue;
    }
    int hi = i + 2 < in.size() ? HexDigit(in[i + 1]) : -1;
    int lo = i + 2 < in.size() ? HexDigit(in[i + 2]) : -1;
    if (hi < 0 || lo < 0) return false;
    out->push_back(char(hi * 16 + lo));
    i += 2;
  }
  return true;
}

/// Splits "<id>" or "<id> <name>" into its parts; false when malformed.
bool ParseStem(const std::string& stem, SInt16* id, std::string* name) {
  size_t space = stem.find(' ');
  std::string number = stem.substr(0, space);
  size_t digits = (!number.empty() && number[0] == '-') ? 1 : 0;
  if (number.size() == digits || number.size() > digits + 6) return false;
  if (!std::all_of(number.begin() + long(digits), number.end(),
                   [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  long value = std::stol(number);
  if (value < -32768 || value > 32767) return false;
  *id = SInt16(value);
  std::string rest = space == std::string::npos ? "" : stem.substr(space + 1);
  return Unescape(rest, name) && name->size() <= 255;
}

bool ReadFile(const fs::path& path, std::vector<uint8_t>* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

std::vector<std::string> SplitLines(const std::vector<uint8_t>& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (uint8_t b : bytes) {
    if (b != '\n') {
      line.push_back(char(b));
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    line.clear();
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

/// Turns a text file into the resource data its type calls for.
std::vector<uint8_t> TextResource(ResType type, const std::vector<uint8_t>& bytes) {
  if (type == FOUR_CHAR_CODE("STR#")) return StringListResourceData(SplitLines(bytes));
  if (type == FOUR_CHAR_CODE("STR ")) {
    std::vector<std::string> lines = SplitLines(bytes);
    std::string text = lines.empty() ? "" : lines.front();
    for (size_t i = 1; i < lines.size(); ++i) text += "\n" + lines[i];
    return StringResourceData(text);
  }
  return bytes;
}

/// Reads one resource file into `out`; false with a reason when it is a
/// resource file that cannot be used. Files of other kinds are skipped.
bool ReadResourceFile(ResType type, const fs::path& path, std::vector<PendingResource>* out,
                      std::string* why) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) { return char(std::tolower(c)); });
  std::string file = path.filename().string();
  if (file.empty() || file[0] == '.' || (ext != ".bin" && ext != ".png" && ext != ".txt"))
    return true;
  PendingResource r{type, 0, "", {}};
  if (!ParseStem(path.stem().string(), &r.id, &r.name)) {
    *why = "bad resource file name (want <id>.ext or <id> <name>.ext): " + path.string();
    return false;
  }
  std::vector<uint8_t> bytes;
  if (!ReadFile(path, &bytes)) {
    *why = "cannot read " + path.string();
    return false;
  }
  if (ext == ".png") {
    std::string pngWhy;
    r.data = PictureDataFromPNG(bytes, &pngWhy);
    if (r.data.empty()) {
      *why = path.string() + ": " + pngWhy;
      return false;
    }
  } else {
    r.data = ext == ".txt" ? TextResource(type, bytes) : bytes;
  }
  out->push_back(std::move(r));
  return true;
}

bool ReadTypeFolder(const fs::path& dir, std::vector<PendingResource>* out, std::string* why) {
  std::string typeName;
  std::string folder = dir.filename().string();
  if (folder.empty() || folder[0] == '.' || !Unescape(folder, &typeName) || typeName.size() != 4)
    return true;  // not a type folder
  ResType type = GetBE32(reinterpret_cast<const uint8_t*>(typeName.data()));
  std::error_code ec;
  std::vector<fs::path> files;
  for (const fs::directory_entry& e : fs::directory_iterator(dir, ec))
    if (e.is_regular_file(ec)) files.push_back(e.path());
  if (ec) {
    *why = "cannot list " + dir.string() + ": " + ec.message();
    return false;
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& p : files)
    if (!ReadResourceFile(type, p, out, why)) return false;
  return true;
}

bool ReadFolder(const std::string& path, std::vector<PendingResource>* out, std::string* why) {
  std::error_code ec;
  if (!fs::is_directory(path, ec)) {
    *why = "not a folder: " + path;
    return false;
  }
  for (const fs::directory_entry& e : fs::directory_iterator(path, ec))
    if (e.is_directory(ec) && !ReadTypeFolder(e.path(), out, why)) return false;
  if (ec) {
    *why = "cannot list " + path + ": " + ec.message();
    return false;
  }
  std::set<std::pair<ResType, SInt16>> seen;
  for (const PendingResource& r : *out)
    if (!seen.insert({r.type, r.id}).second) {
      *why = "two files for one resource id " + std::to_string(r.id) + " in " + path;
      return false;
    }
  return true;
}

}  // namespace

SInt16 OpenResourceFolder(const std::string& path, std::string* error) {
  std::vector<PendingResource> pending;
  std::string why;
  if (!ReadFolder(path, &pending, &why)) {
    if (error) *error = why;
    return -1;
  }
  SInt16 refNum = CreateResourceFile(path);
  for (const PendingResource& r : pending) AddResource(refNum, r.type, r.id, r.name, r.data);
  if (error) error->clear();
  return refNum;
}

std::vector<uint8_t> PictureDataFromPNG(const std::vector<uint8_t>& png, std::string* error) {
  return internal::PictureDataFromPNG(png, error);
}

bool ParsePictureData(const uint8_t* data, size_t size, PictureInfo* info) {
  internal::PictureParts parts;
  if (!internal::ParsePictureData(data, size, info ? &parts : nullptr)) return false;
  if (info) *info = PictureInfo{parts.frame, parts.hRes, parts.vRes, std::move(parts.png)};
  return true;
}

SInt16 CreateResourceFile(const std::string& name) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  ResFile file;
  file.refNum = s.nextRefNum++;
  file.name = name;
  s.chain.insert(s.chain.begin(), std::move(file));
  s.current = s.chain.front().refNum;
  return s.current;
}

bool AddResource(SInt16 refNum, ResType type, SInt16 id, const std::string& name,
                 const std::vector<uint8_t>& data, SInt16 attributes) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  ResFile* f = FileOf(s, refNum);
  if (!f) return false;
  Resource& r = f->resources[ResKey(type, id)];
  DisposeLoaded(s, r);
  r.name = name.substr(0, 255);
  r.data = data;
  r.attributes = attributes;
  return true;
}

bool RemoveResource(SInt16 refNum, ResType type, SInt16 id) {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  ResFile* f = FileOf(s, refNum);
  auto it = f ? f->resources.find(ResKey(type, id)) : std::map<ResKey, Resource>::iterator();
  if (!f || it == f->resources.end()) return false;
  DisposeLoaded(s, it->second);
  f->resources.erase(it);
  return true;
}

std::vector<uint8_t> StringResourceData(const std::string& text) {
  size_t n = std::min<size_t>(text.size(), 255);
  std::vector<uint8_t> data;
  data.reserve(n + 1);
  data.push_back(UInt8(n));
  for (size_t i = 0; i < n; ++i) data.push_back(UInt8(text[i]));
  return data;
}

std::vector<uint8_t> StringListResourceData(const std::vector<std::string>& texts) {
  size_t count = std::min<size_t>(texts.size(), 65535);
  std::vector<uint8_t> data{UInt8(count >> 8), UInt8(count)};
  for (size_t i = 0; i < count; ++i) {
    for (uint8_t b : StringResourceData(texts[i])) data.push_back(b);
  }
  return data;
}

std::vector<SInt16> OpenResourceFiles() {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  std::vector<SInt16> refNums;
  for (const ResFile& f : s.chain) refNums.push_back(f.refNum);
  return refNums;
}

void ResetResources() {
  ResourceState& s = TheResources();
  Lock lock(s.mutex);
  while (!s.chain.empty()) CloseResFile(s.chain.front().refNum);
  s.current = -1;
  s.error = noErr;
  s.loads = s.releases = s.detaches = 0;
}

uint64_t ResourceLoads() { return WithResources([](ResourceState& s) { return s.loads; }); }

uint64_t ResourceReleases() {
  return WithResources([](ResourceState& s) { return s.releases; });
}

uint64_t ResourceDetaches() {
  return WithResources([](ResourceState& s) { return s.detaches; });
}

size_t LoadedResources() { return WithResources([](ResourceState& s) { return s.loaded.size(); }); }

}  // namespace host
}  // namespace toolbox
