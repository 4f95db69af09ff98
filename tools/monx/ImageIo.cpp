// Opening images by their content, choosing formats by name, whole-image read and write.
#include "ImageIo.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include <sys/stat.h>

#include "AtomicFile.h"
#include "Codecs.h"
#include "ToolError.h"

namespace monx {
namespace {

std::string Lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

/// Standard input read whole and opened as a memory file, so that it can be
/// read twice like a file (its kind is told from its first bytes). Kept for the
/// life of the process: standard input holds one image.
std::FILE* OpenStandardInput() {
  static std::vector<char> data;
  if (!data.empty()) throw ToolError(kExitUsage, "standard input can be read only once");
  char block[65536];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, stdin)) > 0) data.insert(data.end(), block, block + got);
  if (std::ferror(stdin)) throw ToolError(kExitNoInput, std::string("-: cannot read standard input: ") + std::strerror(errno));
  if (data.empty()) throw ToolError(kExitBadData, "-: standard input is empty, not an image");
  std::FILE* file = fmemopen(data.data(), data.size(), "rb");
  if (!file) throw ToolError(kExitSoftware, std::string("-: ") + std::strerror(errno));
  return file;
}

std::FILE* OpenForReading(const std::string& path) {
  if (IsStdStream(path)) return OpenStandardInput();
  struct stat st {};
  if (stat(path.c_str(), &st) != 0)
    throw ToolError(kExitNoInput, path + ": cannot read: " + std::strerror(errno));
  if (S_ISDIR(st.st_mode)) throw ToolError(kExitNoInput, path + ": is a folder, not an image");
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) throw ToolError(kExitNoInput, path + ": cannot read: " + std::strerror(errno));
  return file;
}

}  // namespace

std::optional<FileType> FileTypeOfName(const std::string& path) {
  std::string name = Lowercase(path);
  if (EndsWith(name, ".png")) return FileType::kPng;
  if (EndsWith(name, ".jpg") || EndsWith(name, ".jpeg")) return FileType::kJpeg;
  return std::nullopt;
}

std::unique_ptr<RowReader> OpenImage(const std::string& path, const JpegOptions& jpeg) {
  std::FILE* file = OpenForReading(path);
  unsigned char magic[8] = {};
  std::size_t got = std::fread(magic, 1, sizeof magic, file);
  if (std::ferror(file)) {
    int error = errno;
    std::fclose(file);
    throw ToolError(kExitNoInput, path + ": cannot read: " + std::strerror(error));
  }
  std::rewind(file);
  static const unsigned char kPngMagic[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (got == 8 && std::memcmp(magic, kPngMagic, 8) == 0) return OpenPng(file, path);
  if (got >= 3 && magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF)
    return OpenJpeg(file, path, jpeg);
  std::fclose(file);
  throw ToolError(kExitBadData, path + (got == 0 ? ": empty file, not an image"
                                                 : ": not a PNG or JPEG image"));
}

std::unique_ptr<RowWriter> CreateWriter(FileType type, std::FILE* file, const std::string& path,
                                        const ImageInfo& info, const JpegOptions& jpeg,
                                        const Metadata& metadata) {
  if (type == FileType::kPng) return CreatePngWriter(file, path, info, metadata);
  return CreateJpegWriter(file, path, info, jpeg, metadata);
}

void CheckWholeImageSize(const std::string& path, const ImageInfo& info) {
  std::uint64_t pixels = std::uint64_t(info.width) * std::uint64_t(info.height);
  if (pixels > kMaxWholePixels)
    throw ToolError(kExitBadData, path + ": " + std::to_string(info.width) + " x " +
                                      std::to_string(info.height) +
                                      " pixels is too large to hold in memory here");
}

void CheckNotSameFile(const std::string& input, const std::string& output) {
  if (IsStdStream(input) || IsStdStream(output)) return;
  std::error_code ignored;
  if (std::filesystem::exists(output, ignored) && std::filesystem::equivalent(input, output, ignored))
    throw ToolError(kExitUsage, output + ": is the input file; choose another output name");
}

Image ReadImage(const std::string& path, const JpegOptions& jpeg) {
  auto reader = OpenImage(path, jpeg);
  CheckWholeImageSize(path, reader->info());
  Image image;
  image.info = reader->info();
  image.notes = reader->notes();
  image.metadata = reader->metadata();
  image.pixels.resize(image.info.RowBytes() * std::size_t(image.info.height));
  reader->ReadRows(image.pixels.data(), std::ptrdiff_t(image.info.RowBytes()), image.info.height);
  return image;
}

void WriteImage(const std::string& path, const Image& image, const JpegOptions& jpeg) {
  auto type = FileTypeOfName(path);
  if (!type) throw ToolError(kExitUsage, path + ": the name must end in .png, .jpg or .jpeg");
  AtomicFile out(path);
  auto writer = CreateWriter(*type, out.file(), path, image.info, jpeg, image.metadata);
  writer->WriteRows(image.pixels.data(), std::ptrdiff_t(image.info.RowBytes()), image.info.height);
  writer->Finish();
  writer.reset();
  out.Commit();
}

}  // namespace monx
