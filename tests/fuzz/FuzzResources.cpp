// The resource-folder loader with any folder. The input is a list of files,
// each introduced by a line "@ <folder>/<file>" and followed by its bytes.
// The folder is written afresh for every input, opened, and every resource of
// the types it names is read back through the platform calls a pane uses
// (strings, string lists, picture data); then the file is closed and nothing
// may stay loaded.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "Fuzz.h"
#include "toolbox/host/resources.h"
#include "toolbox/memory.h"
#include "toolbox/resources.h"

namespace {

namespace fs = std::filesystem;
using namespace toolbox::host;

const fs::path& Folder() {
  static const fs::path folder = [] {
    char name[] = "/tmp/fuzz-resources-XXXXXX";
    FUZZ_CHECK(mkdtemp(name) != nullptr);
    return fs::path(name);
  }();
  return folder;
}

bool Plain(const std::string& part) {
  return !part.empty() && part != "." && part != ".." && part.size() < 200 &&
         part.find('\0') == std::string::npos;
}

/// Writes the input's files under Folder(); answers the type folders' names.
std::vector<std::string> WriteFolder(const std::string& input) {
  std::error_code ec;
  fs::remove_all(Folder(), ec);
  fs::create_directory(Folder());
  std::vector<std::string> types;
  const std::string text = "\n" + input;  // so that every file line follows a newline
  constexpr size_t npos = std::string::npos;
  for (size_t at = text.find("\n@ "); at != npos;) {
    size_t start = at + 1, eol = text.find('\n', start);
    std::string path = text.substr(start + 2, eol == npos ? eol : eol - start - 2);
    at = eol == npos ? eol : text.find("\n@ ", eol);
    std::string bytes = eol == npos ? "" : text.substr(eol + 1, at - eol - 1);
    size_t slash = path.find('/');
    if (slash == std::string::npos) continue;
    std::string dir = path.substr(0, slash), file = path.substr(slash + 1);
    if (!Plain(dir) || !Plain(file) || file.find('/') != std::string::npos) continue;
    fs::create_directory(Folder() / dir, ec);
    std::ofstream(Folder() / dir / file, std::ios::binary) << bytes;
    types.push_back(dir);
  }
  return types;
}

void ReadBack(ResType type) {
  SInt16 count = Count1Resources(type);
  for (SInt16 index = 1; index <= count; ++index) {
    Handle resource = Get1IndResource(type, index);
    FUZZ_CHECK(resource != nullptr);
    ResID id = 0;
    ResType back = 0;
    Str255 name;
    GetResInfo(resource, &id, &back, name);
    FUZZ_CHECK(back == type);
    Size size = GetHandleSize(resource);
    FUZZ_CHECK(size == GetResourceSizeOnDisk(resource));
    FUZZ_CHECK(name[0] == 0 || Get1NamedResource(type, name) != nullptr);
    PictureInfo picture;
    if (size > 0) ParsePictureData(reinterpret_cast<uint8_t*>(*resource), size_t(size), &picture);
    if (type == FOUR_CHAR_CODE("STR#")) {
      Str255 text;
      for (SInt16 item : {0, 1, 2, 300}) GetIndString(text, id, item);
    }
    if (type == FOUR_CHAR_CODE("STR ")) FUZZ_CHECK(GetString(id) != nullptr);
    ReleaseResource(resource);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Run run;
  std::vector<std::string> types = WriteFolder(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<SInt16> files = OpenResourceFiles();
  std::string error;
  SInt16 refNum = OpenResourceFolder(Folder().string(), &error);
  if (refNum < 0) {
    FUZZ_CHECK(!error.empty());
    FUZZ_CHECK(OpenResourceFiles() == files);
    return 0;
  }
  types.insert(types.end(), {"STR ", "STR#", "PICT", "ALRT"});
  for (const std::string& name : types)
    if (name.size() == 4) ReadBack(ResType(uint8_t(name[0])) << 24 | uint8_t(name[1]) << 16 |
                                   uint8_t(name[2]) << 8 | uint8_t(name[3]));
  CloseResFile(refNum);
  FUZZ_CHECK(OpenResourceFiles() == files);
  FUZZ_CHECK(LoadedResources() == 0);
  return 0;
}
