// Resource folders on disk and the picture data this toolbox keeps in 'PICT'
// resources (a frame, a resolution and PNG bytes).
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "toolbox/host/resources.h"

namespace fs = std::filesystem;

namespace toolbox {
namespace host {
namespace {

struct PendingResource {
  ResType type;
  SInt16 id;
  std::string name;
  std::vector<uint8_t> data;
};

void PutBE(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
}

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

/// Dots per inch from a PNG's pHYs chunk; 72 when it has none or no unit.
void PngResolution(const std::vector<uint8_t>& png, double* hRes, double* vRes) {
  *hRes = *vRes = 72;
  for (size_t at = 8; at + 12 <= png.size();) {
    uint32_t length = GetBE32(&png[at]);
    if (length > png.size() - at - 12) return;
    if (std::memcmp(&png[at + 4], "pHYs", 4) == 0 && length >= 9 && png[at + 16] == 1) {
      uint32_t x = GetBE32(&png[at + 8]), y = GetBE32(&png[at + 12]);
      if (x && y) {
        *hRes = x * 0.0254;
        *vRes = y * 0.0254;
      }
      return;
    }
    if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) return;  // pHYs comes before the data
    at += 12 + length;
  }
}

SInt16 Points(uint32_t pixels, double dpi) {
  return SInt16(std::min(32767.0, std::floor(pixels * 72.0 / dpi + 0.5)));
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
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (png.size() < 33 || std::memcmp(png.data(), kSignature, 8) != 0 ||
      std::memcmp(&png[12], "IHDR", 4) != 0) {
    if (error) *error = "not a PNG file";
    return {};
  }
  uint32_t width = GetBE32(&png[16]), height = GetBE32(&png[20]);
  double hRes, vRes;
  PngResolution(png, &hRes, &vRes);
  std::vector<uint8_t> out;
  uint32_t total = uint32_t(26 + png.size());
  PutBE(out, total & 0xFFFF, 2);
  for (SInt16 v : {SInt16(0), SInt16(0), Points(height, vRes), Points(width, hRes)})
    PutBE(out, uint16_t(v), 2);
  PutBE(out, FOUR_CHAR_CODE("PNGf"), 4);
  PutBE(out, uint32_t(std::lround(hRes * 65536)), 4);
  PutBE(out, uint32_t(std::lround(vRes * 65536)), 4);
  PutBE(out, uint32_t(png.size()), 4);
  out.insert(out.end(), png.begin(), png.end());
  return out;
}

bool ParsePictureData(const uint8_t* data, size_t size, PictureInfo* info) {
  if (!data || size < 26 || GetBE32(data + 10) != FOUR_CHAR_CODE("PNGf")) return false;
  uint32_t length = GetBE32(data + 22);
  if (length > size - 26) return false;
  if (info) {
    auto s16 = [&](size_t at) { return SInt16(uint16_t((data[at] << 8) | data[at + 1])); };
    info->frame = Rect{s16(2), s16(4), s16(6), s16(8)};
    info->hRes = SInt32(GetBE32(data + 14)) / 65536.0;
    info->vRes = SInt32(GetBE32(data + 18)) / 65536.0;
    info->png.assign(data + 26, data + 26 + length);
  }
  return true;
}

}  // namespace host
}  // namespace toolbox
