// JPEG reading and writing with libjpeg; library errors come back through setjmp guards.
//
// libjpeg reports errors by calling a function that must not return. Ours records
// the message and long-jumps back into a small guard function that holds no C++
// objects, which then returns false; the caller turns that into a ToolError.
// Warnings about damaged or truncated data are treated as errors: a photograph
// whose data ran out is refused, never written out patched with grey. Warnings
// about metadata only (an unknown JFIF version, a bad colour profile) pass.
#include <cerrno>
#include <csetjmp>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "Codecs.h"
#include "ToolError.h"

namespace monx {
namespace {

constexpr int kExifMarker = JPEG_APP0 + 1;
constexpr int kIccMarker = JPEG_APP0 + 2;
constexpr JOCTET kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};

struct JpegErrors {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  int code = 0;
  int systemError = 0;  ///< errno when the error was raised (a failed write says why)
  char message[JMSG_LENGTH_MAX] = {};
};

void OnJpegError(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
  errors->systemError = errno;
  errors->code = errors->pub.msg_code;
  (*cinfo->err->format_message)(cinfo, errors->message);
  std::longjmp(errors->jump, 1);
}

/// Warnings about metadata the tool does not use; the pixels are intact.
bool IsMetadataWarning(int code) {
  return code == JWRN_JFIF_MAJOR || code == JWRN_BOGUS_ICC;
}

void OnJpegMessage(j_common_ptr cinfo, int level) {
  // Any other warning means damaged image data.
  if (level < 0 && !IsMetadataWarning(cinfo->err->msg_code)) OnJpegError(cinfo);
}

void InstallErrors(JpegErrors& errors) {
  jpeg_std_error(&errors.pub);
  errors.pub.error_exit = OnJpegError;
  errors.pub.emit_message = OnJpegMessage;
}

std::string ReadFailure(const std::string& path, const JpegErrors& errors) {
  if (errors.code == JWRN_JPEG_EOF || errors.code == JERR_INPUT_EOF)
    return path + ": truncated JPEG: the file ends before the image data does";
  if (errors.code == JERR_OUT_OF_MEMORY)
    return path + ": not enough memory to decode this JPEG";
  return path + ": damaged JPEG: " + errors.message;
}

Resolution DensityOf(const jpeg_decompress_struct& c) {
  if (c.X_density == 0 || c.Y_density == 0) return {};
  if (c.density_unit == 1) return {double(c.X_density), double(c.Y_density)};
  if (c.density_unit == 2) return {c.X_density * 2.54, c.Y_density * 2.54};
  return {};  // unit 0: only an aspect ratio
}

class JpegReader final : public RowReader {
 public:
  JpegReader(std::FILE* file, std::string path) : file_(file), path_(std::move(path)) {
    type_ = FileType::kJpeg;
  }
  ~JpegReader() override {
    if (created_) jpeg_destroy_decompress(&c_);
    std::fclose(file_);
  }

  void Start(const JpegOptions& options) {
    InstallErrors(errors_);
    c_.err = &errors_.pub;
    if (!ReadHeader()) throw ToolError(kExitBadData, ReadFailure(path_, errors_));
    if (c_.jpeg_color_space == JCS_CMYK || c_.jpeg_color_space == JCS_YCCK)
      throw ToolError(kExitBadData, path_ + ": CMYK JPEG is not supported; "
                                            "convert it to RGB or grey first");
    if (c_.num_components != 1 && c_.num_components != 3)
      throw ToolError(kExitBadData, path_ + ": JPEG with " + std::to_string(c_.num_components) +
                                        " colour components is not supported");
    // A multi-scan (progressive) JPEG is decoded whole before its first row comes out.
    if (jpeg_has_multiple_scans(&c_))
      CheckWholeImageSize(path_, ImageInfo{int(c_.image_width), int(c_.image_height), 1, {}});
    c_.out_color_space = c_.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    c_.dct_method = options.fastDct ? JDCT_IFAST : JDCT_ISLOW;
    c_.do_fancy_upsampling = options.fancyUpsampling ? TRUE : FALSE;
    if (!StartDecompress()) throw ToolError(kExitBadData, ReadFailure(path_, errors_));
    info_.width = int(c_.output_width);
    info_.height = int(c_.output_height);
    info_.channels = c_.output_components;
    info_.dpi = DensityOf(c_);
  }

  void ReadRows(std::uint8_t* dst, std::ptrdiff_t stride, int rows) override {
    rowPointers_.resize(std::size_t(rows));
    for (int i = 0; i < rows; ++i) rowPointers_[std::size_t(i)] = dst + i * stride;
    if (!ReadScanlines(rows)) throw ToolError(kExitBadData, ReadFailure(path_, errors_));
  }

 private:
  bool ReadHeader() {
    if (setjmp(errors_.jump)) return false;
    jpeg_create_decompress(&c_);
    created_ = true;
    jpeg_stdio_src(&c_, file_);
    jpeg_save_markers(&c_, kExifMarker, 0xFFFF);
    jpeg_save_markers(&c_, kIccMarker, 0xFFFF);
    jpeg_read_header(&c_, TRUE);
    ReadMetadata();
    return true;
  }

  /// The EXIF block (first APP1 marker starting "Exif\0\0") and the colour profile
  /// (APP2 markers, joined by libjpeg).
  void ReadMetadata() {
    for (jpeg_saved_marker_ptr m = c_.marker_list; m; m = m->next) {
      if (m->marker == kExifMarker && m->data_length > sizeof kExifHeader &&
          std::memcmp(m->data, kExifHeader, sizeof kExifHeader) == 0) {
        metadata_.exif.assign(m->data + sizeof kExifHeader, m->data + m->data_length);
        break;
      }
    }
    JOCTET* icc = nullptr;
    unsigned int length = 0;
    if (jpeg_read_icc_profile(&c_, &icc, &length)) {
      metadata_.icc.assign(icc, icc + length);
      std::free(icc);
    }
  }

  bool StartDecompress() {
    if (setjmp(errors_.jump)) return false;
    jpeg_start_decompress(&c_);
    return true;
  }

  bool ReadScanlines(int rows) {
    if (setjmp(errors_.jump)) return false;
    int done = 0;
    while (done < rows) {
      JDIMENSION got = jpeg_read_scanlines(&c_, rowPointers_.data() + done, JDIMENSION(rows - done));
      if (got == 0) {
        errors_.code = JWRN_JPEG_EOF;
        return false;
      }
      done += int(got);
    }
    return true;
  }

  std::FILE* file_;
  std::string path_;
  jpeg_decompress_struct c_{};
  JpegErrors errors_;
  bool created_ = false;
  std::vector<JSAMPROW> rowPointers_;
};

class JpegWriter final : public RowWriter {
 public:
  JpegWriter(std::FILE* file, std::string path) : file_(file), path_(std::move(path)) {}
  ~JpegWriter() override {
    if (created_) jpeg_destroy_compress(&c_);
  }

  void Start(const ImageInfo& info, const JpegOptions& options, const Metadata& metadata) {
    InstallErrors(errors_);
    c_.err = &errors_.pub;
    // One marker holds at most 65533 bytes; a longer EXIF block has no standard way in.
    if (!metadata.exif.empty() && metadata.exif.size() + sizeof kExifHeader <= 65533) {
      exifBlock_.assign(kExifHeader, kExifHeader + sizeof kExifHeader);
      exifBlock_.insert(exifBlock_.end(), metadata.exif.begin(), metadata.exif.end());
    }
    if (!Setup(info, options, metadata)) Fail();
  }

  void WriteRows(const std::uint8_t* src, std::ptrdiff_t stride, int rows) override {
    rowPointers_.resize(std::size_t(rows));
    for (int i = 0; i < rows; ++i)
      rowPointers_[std::size_t(i)] = const_cast<JSAMPROW>(src + i * stride);
    if (!WriteScanlines(rows)) Fail();
  }

  void Finish() override {
    if (!FinishCompress()) Fail();
  }

 private:
  [[noreturn]] void Fail() {
    bool systemFailed = errors_.code == JERR_FILE_WRITE && errors_.systemError != 0;
    throw ToolError(kExitCantCreate, path_ + ": cannot write: " +
                                         (systemFailed ? std::strerror(errors_.systemError)
                                                       : errors_.message));
  }

  bool Setup(const ImageInfo& info, const JpegOptions& options, const Metadata& metadata) {
    if (setjmp(errors_.jump)) return false;
    jpeg_create_compress(&c_);
    created_ = true;
    jpeg_stdio_dest(&c_, file_);
    c_.image_width = JDIMENSION(info.width);
    c_.image_height = JDIMENSION(info.height);
    c_.input_components = info.channels;
    c_.in_color_space = info.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c_);
    jpeg_set_quality(&c_, options.quality, TRUE);
    c_.dct_method = options.fastDct ? JDCT_IFAST : JDCT_ISLOW;
    if (info.dpi.Known()) {
      c_.density_unit = 1;
      c_.X_density = UINT16(std::lround(std::fmin(info.dpi.xDpi, 65535.0)));
      c_.Y_density = UINT16(std::lround(std::fmin(info.dpi.yDpi, 65535.0)));
    }
    jpeg_start_compress(&c_, TRUE);
    // One marker holds at most 65533 bytes; a longer EXIF block has no standard way in.
    if (!exifBlock_.empty())
      jpeg_write_marker(&c_, kExifMarker, exifBlock_.data(), unsigned(exifBlock_.size()));
    if (!metadata.icc.empty())
      jpeg_write_icc_profile(&c_, metadata.icc.data(), unsigned(metadata.icc.size()));
    return true;
  }

  bool WriteScanlines(int rows) {
    if (setjmp(errors_.jump)) return false;
    int done = 0;
    while (done < rows)
      done += int(jpeg_write_scanlines(&c_, rowPointers_.data() + done, JDIMENSION(rows - done)));
    return true;
  }

  bool FinishCompress() {
    if (setjmp(errors_.jump)) return false;
    jpeg_finish_compress(&c_);
    return true;
  }

  std::FILE* file_;
  std::string path_;
  jpeg_compress_struct c_{};
  JpegErrors errors_;
  bool created_ = false;
  std::vector<JOCTET> exifBlock_;  ///< "Exif\0\0" and the block, ready for its marker
  std::vector<JSAMPROW> rowPointers_;
};

}  // namespace

std::unique_ptr<RowReader> OpenJpeg(std::FILE* file, const std::string& path,
                                    const JpegOptions& options) {
  auto reader = std::make_unique<JpegReader>(file, path);
  reader->Start(options);
  return reader;
}

std::unique_ptr<RowWriter> CreateJpegWriter(std::FILE* file, const std::string& path,
                                            const ImageInfo& info, const JpegOptions& options,
                                            const Metadata& metadata) {
  auto writer = std::make_unique<JpegWriter>(file, path);
  writer->Start(info, options, metadata);
  return writer;
}

}  // namespace monx
