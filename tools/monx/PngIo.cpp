// PNG reading and writing with libpng; library errors come back through setjmp guards.
//
// libpng's error callback must not return. Ours records the message and
// long-jumps into a small guard function holding no C++ objects, which returns
// false; the caller turns that into a ToolError. 16-bit images are scaled to 8
// bits (with a note for the user) and palettes expanded; an image with
// transparency comes out as RGB with alpha.
#include <cerrno>
#include <csetjmp>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <png.h>

#include "Codecs.h"
#include "ToolError.h"

namespace monx {
namespace {

constexpr double kMetresPerInch = 0.0254;

struct PngErrors {
  std::jmp_buf jump;
  char message[256] = {};
  int systemError = 0;  ///< errno when the error was raised (a failed write says why)
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
  errors->systemError = errno;
  std::snprintf(errors->message, sizeof errors->message, "%s", message);
  std::longjmp(errors->jump, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}  // benign: unknown chunks, profiles

std::string ReadFailure(const std::string& path, const PngErrors& errors) {
  if (std::strstr(errors.message, "Read Error") || std::strstr(errors.message, "Not enough"))
    return path + ": truncated PNG: the file ends before the image data does";
  return path + ": damaged PNG: " + errors.message;
}

class PngReader final : public RowReader {
 public:
  PngReader(std::FILE* file, std::string path) : file_(file), path_(std::move(path)) {
    type_ = FileType::kPng;
  }
  ~PngReader() override {
    if (png_) png_destroy_read_struct(&png_, info_ptr_ ? &info_ptr_ : nullptr, nullptr);
    std::fclose(file_);
  }

  void Start() {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors_, OnPngError, OnPngWarning);
    if (png_) info_ptr_ = png_create_info_struct(png_);
    if (!png_ || !info_ptr_) throw ToolError(kExitSoftware, path_ + ": out of memory");
    if (!ReadInfo()) throw ToolError(kExitBadData, ReadFailure(path_, errors_));
    if (info_.channels != 1 && info_.channels != 3 && info_.channels != 4)
      throw ToolError(kExitBadData, path_ + ": PNG layout not supported (" +
                                        std::to_string(info_.channels) + " channels after conversion)");
    CheckDataCanFill();
    if (passes_ > 1) ReadWholeInterlaced();
  }

  void ReadRows(std::uint8_t* dst, std::ptrdiff_t stride, int rows) override {
    if (passes_ > 1) {
      for (int i = 0; i < rows; ++i, ++nextRow_)
        std::memcpy(dst + i * stride, whole_.data() + nextRow_ * info_.RowBytes(), info_.RowBytes());
      return;
    }
    if (!ReadRowsGuarded(dst, stride, rows))
      throw ToolError(kExitBadData, ReadFailure(path_, errors_));
  }

 private:
  bool ReadInfo() {
    if (setjmp(errors_.jump)) return false;
    png_init_io(png_, file_);
    png_read_info(png_, info_ptr_);
    ReadMetadata();
    SetTransforms();
    passes_ = png_set_interlace_handling(png_);
    png_read_update_info(png_, info_ptr_);
    info_.width = int(png_get_image_width(png_, info_ptr_));
    info_.height = int(png_get_image_height(png_, info_ptr_));
    info_.channels = int(png_get_channels(png_, info_ptr_));
    ReadResolution();
    return true;
  }

  void SetTransforms() {
    int depth = png_get_bit_depth(png_, info_ptr_);
    int type = png_get_color_type(png_, info_ptr_);
    if (depth == 16) {
      png_set_scale_16(png_);
      notes_.push_back("16-bit PNG converted to 8 bits per channel");
    }
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png_);
    if (type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png_);
    bool transparent = png_get_valid(png_, info_ptr_, PNG_INFO_tRNS) != 0;
    if (transparent) png_set_tRNS_to_alpha(png_);
    // Transparency is kept; a grey image with it becomes RGB with alpha, the one
    // layout with alpha the rest of the tool handles.
    if ((transparent || (type & PNG_COLOR_MASK_ALPHA)) && !(type & PNG_COLOR_MASK_COLOR))
      png_set_gray_to_rgb(png_);
  }

  void ReadMetadata() {
    png_uint_32 length = 0;
    png_bytep exif = nullptr;
    if (png_get_eXIf_1(png_, info_ptr_, &length, &exif) && exif && length > 0)
      metadata_.exif.assign(exif, exif + length);
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileLength = 0;
    if (png_get_iCCP(png_, info_ptr_, &name, &compression, &profile, &profileLength) && profile)
      metadata_.icc.assign(profile, profile + profileLength);
  }

  /// Refuses a file too short to hold the image its header announces, before
  /// any image-sized buffer is allocated. Deflate packs at most 258 bytes into a
  /// 2-bit code, so the compressed rows take at least 1/1032 of their size.
  void CheckDataCanFill() {
    png_uint_32 width = png_get_image_width(png_, info_ptr_);
    png_uint_32 height = png_get_image_height(png_, info_ptr_);
    int depth = png_get_bit_depth(png_, info_ptr_);
    int samples = png_get_color_type(png_, info_ptr_) == PNG_COLOR_TYPE_PALETTE
                      ? 1
                      : ChannelsOf(png_get_color_type(png_, info_ptr_));
    double rowBytes = std::ceil(double(width) * depth * samples / 8.0) + 1;
    double least = rowBytes * double(height) / 1032.0;
    long here = std::ftell(file_);
    if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return;  // not seekable: reading will tell
    long size = std::ftell(file_);
    std::fseek(file_, here, SEEK_SET);
    if (double(size - here) < least)
      throw ToolError(kExitBadData, path_ + ": truncated PNG: the file ends before the image data does");
  }

  static int ChannelsOf(int colourType) {
    switch (colourType) {
      case PNG_COLOR_TYPE_GRAY: return 1;
      case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
      case PNG_COLOR_TYPE_RGB: return 3;
      default: return 4;
    }
  }

  void ReadResolution() {
    png_uint_32 x = 0, y = 0;
    int unit = 0;
    if (png_get_pHYs(png_, info_ptr_, &x, &y, &unit) && unit == PNG_RESOLUTION_METER)
      info_.dpi = {x * kMetresPerInch, y * kMetresPerInch};
  }

  void ReadWholeInterlaced() {
    CheckWholeImageSize(path_, info_);
    whole_.resize(info_.RowBytes() * std::size_t(info_.height));
    rowPointers_.resize(std::size_t(info_.height));
    for (int y = 0; y < info_.height; ++y)
      rowPointers_[std::size_t(y)] = whole_.data() + std::size_t(y) * info_.RowBytes();
    if (!ReadImageGuarded()) throw ToolError(kExitBadData, ReadFailure(path_, errors_));
  }

  bool ReadImageGuarded() {
    if (setjmp(errors_.jump)) return false;
    png_read_image(png_, rowPointers_.data());
    return true;
  }

  bool ReadRowsGuarded(std::uint8_t* dst, std::ptrdiff_t stride, int rows) {
    if (setjmp(errors_.jump)) return false;
    for (int i = 0; i < rows; ++i) png_read_row(png_, dst + i * stride, nullptr);
    return true;
  }

  std::FILE* file_;
  std::string path_;
  png_structp png_ = nullptr;
  png_infop info_ptr_ = nullptr;
  PngErrors errors_;
  int passes_ = 1;
  std::size_t nextRow_ = 0;
  std::vector<std::uint8_t> whole_;
  std::vector<png_bytep> rowPointers_;
};

class PngWriter final : public RowWriter {
 public:
  PngWriter(std::FILE* file, std::string path) : file_(file), path_(std::move(path)) {}
  ~PngWriter() override {
    if (png_) png_destroy_write_struct(&png_, info_ptr_ ? &info_ptr_ : nullptr);
  }

  void Start(const ImageInfo& info, const Metadata& metadata) {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors_, OnPngError, OnPngWarning);
    if (png_) info_ptr_ = png_create_info_struct(png_);
    if (!png_ || !info_ptr_) throw ToolError(kExitSoftware, path_ + ": out of memory");
    if (!WriteHeader(info, metadata)) Fail();
  }

  void WriteRows(const std::uint8_t* src, std::ptrdiff_t stride, int rows) override {
    if (!WriteRowsGuarded(src, stride, rows)) Fail();
  }

  void Finish() override {
    if (!WriteEnd()) Fail();
  }

 private:
  [[noreturn]] void Fail() {
    bool systemFailed = std::ferror(file_) && errors_.systemError != 0;
    throw ToolError(kExitCantCreate, path_ + ": cannot write: " +
                                         (systemFailed ? std::strerror(errors_.systemError)
                                                       : errors_.message));
  }

  static int ColourTypeOf(int channels) {
    return channels == 1 ? PNG_COLOR_TYPE_GRAY
                         : channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
  }

  bool WriteHeader(const ImageInfo& info, const Metadata& metadata) {
    if (setjmp(errors_.jump)) return false;
    png_init_io(png_, file_);
    // A colour profile libpng finds faulty is left out instead of failing the write.
    png_set_benign_errors(png_, 1);
    png_set_IHDR(png_, info_ptr_, png_uint_32(info.width), png_uint_32(info.height), 8,
                 ColourTypeOf(info.channels), PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!metadata.icc.empty())
      png_set_iCCP(png_, info_ptr_, "ICC profile", PNG_COMPRESSION_TYPE_BASE,
                   metadata.icc.data(), png_uint_32(metadata.icc.size()));
    if (!metadata.exif.empty())
      png_set_eXIf_1(png_, info_ptr_, png_uint_32(metadata.exif.size()),
                     const_cast<png_bytep>(metadata.exif.data()));
    if (info.dpi.Known())
      png_set_pHYs(png_, info_ptr_, png_uint_32(std::lround(info.dpi.xDpi / kMetresPerInch)),
                   png_uint_32(std::lround(info.dpi.yDpi / kMetresPerInch)), PNG_RESOLUTION_METER);
    png_write_info(png_, info_ptr_);
    return true;
  }

  bool WriteRowsGuarded(const std::uint8_t* src, std::ptrdiff_t stride, int rows) {
    if (setjmp(errors_.jump)) return false;
    for (int i = 0; i < rows; ++i) png_write_row(png_, src + i * stride);
    return true;
  }

  bool WriteEnd() {
    if (setjmp(errors_.jump)) return false;
    png_write_end(png_, info_ptr_);
    return true;
  }

  std::FILE* file_;
  std::string path_;
  png_structp png_ = nullptr;
  png_infop info_ptr_ = nullptr;
  PngErrors errors_;
};

}  // namespace

std::unique_ptr<RowReader> OpenPng(std::FILE* file, const std::string& path) {
  auto reader = std::make_unique<PngReader>(file, path);
  reader->Start();
  return reader;
}

std::unique_ptr<RowWriter> CreatePngWriter(std::FILE* file, const std::string& path,
                                           const ImageInfo& info, const Metadata& metadata) {
  auto writer = std::make_unique<PngWriter>(file, path);
  writer->Start(info, metadata);
  return writer;
}

}  // namespace monx
