// Reading and writing 8-bit PNG and JPEG images row by row, keeping their resolution.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace monx {

/// Resolution in dots per inch; 0 when the file does not say.
struct Resolution {
  double xDpi = 0;
  double yDpi = 0;
  bool Known() const { return xDpi > 0 && yDpi > 0; }
};

/// Geometry of an image as the tool handles it: 8 bits per channel, grey (1), RGB (3)
/// or RGB with alpha (4, only from PNG).
struct ImageInfo {
  int width = 0;
  int height = 0;
  int channels = 0;
  Resolution dpi;
  std::size_t RowBytes() const { return std::size_t(width) * std::size_t(channels); }
};

enum class FileType { kPng, kJpeg };

/// What a photo carries besides its pixels.
struct Metadata {
  std::vector<std::uint8_t> exif;  ///< the EXIF block as a TIFF stream (no "Exif" header); empty: none
  std::vector<std::uint8_t> icc;   ///< the colour profile; empty: none
  bool Empty() const { return exif.empty() && icc.empty(); }
};

/// The format a file name asks for by its extension (.png, .jpg, .jpeg, any case).
std::optional<FileType> FileTypeOfName(const std::string& path);

/// JPEG decoding and encoding choices; the defaults favour quality.
struct JpegOptions {
  int quality = 90;          ///< 1..100
  bool fastDct = false;      ///< integer fast DCT instead of the accurate one
  bool fancyUpsampling = true;
};

/// An open image file delivering its rows top to bottom. Errors throw ToolError.
class RowReader {
 public:
  virtual ~RowReader() = default;
  const ImageInfo& info() const { return info_; }
  FileType type() const { return type_; }
  const Metadata& metadata() const { return metadata_; }
  /// Conversions made while reading ("16-bit PNG converted to 8 bits per channel").
  const std::vector<std::string>& notes() const { return notes_; }
  /// Reads the next `rows` rows into dst, each `stride` bytes apart.
  virtual void ReadRows(std::uint8_t* dst, std::ptrdiff_t stride, int rows) = 0;

 protected:
  ImageInfo info_;
  FileType type_ = FileType::kPng;
  Metadata metadata_;
  std::vector<std::string> notes_;
};

/// An image being written row by row into an open file. Errors throw ToolError.
class RowWriter {
 public:
  virtual ~RowWriter() = default;
  virtual void WriteRows(const std::uint8_t* src, std::ptrdiff_t stride, int rows) = 0;
  /// Writes what follows the last row; call once after all rows.
  virtual void Finish() = 0;
};

/// The name that stands for standard input or output.
inline bool IsStdStream(const std::string& path) { return path == "-"; }

/// Opens a PNG or JPEG file, recognised by its content, not its name; "-" reads
/// standard input.
std::unique_ptr<RowReader> OpenImage(const std::string& path, const JpegOptions& jpeg = {});

/// Starts writing an image of the given geometry (channels 1 or 3, or 4 for PNG)
/// into `file`, with `metadata` when given. `path` names the destination in error messages.
std::unique_ptr<RowWriter> CreateWriter(FileType type, std::FILE* file, const std::string& path,
                                        const ImageInfo& info, const JpegOptions& jpeg = {},
                                        const Metadata& metadata = {});

/// A whole image in memory, rows packed.
struct Image {
  ImageInfo info;
  std::vector<std::uint8_t> pixels;
  Metadata metadata;
  std::vector<std::string> notes;
  std::uint8_t* Row(int y) { return pixels.data() + std::size_t(y) * info.RowBytes(); }
  const std::uint8_t* Row(int y) const { return pixels.data() + std::size_t(y) * info.RowBytes(); }
};

/// Largest image, in pixels, that is ever held whole in memory (about 268 megapixels).
constexpr std::uint64_t kMaxWholePixels = std::uint64_t(1) << 28;

/// Throws ToolError when an image of this size may not be held whole in memory.
void CheckWholeImageSize(const std::string& path, const ImageInfo& info);

/// Throws ToolError (usage) when `output` exists and is the file `input`
/// (the same path, a link to it, or another name for it).
void CheckNotSameFile(const std::string& input, const std::string& output);

/// Reads a whole image into memory.
Image ReadImage(const std::string& path, const JpegOptions& jpeg = {});

/// Writes a whole image through a temporary file renamed into place.
void WriteImage(const std::string& path, const Image& image, const JpegOptions& jpeg = {});

}  // namespace monx
