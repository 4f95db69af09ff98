// The PNG and JPEG codecs behind ImageIo.h; each takes an already opened file.
#pragma once

#include "ImageIo.h"

namespace monx {

/// Takes ownership of `file`, positioned at the start of a PNG stream.
std::unique_ptr<RowReader> OpenPng(std::FILE* file, const std::string& path);
/// Takes ownership of `file`, positioned at the start of a JPEG stream.
std::unique_ptr<RowReader> OpenJpeg(std::FILE* file, const std::string& path,
                                    const JpegOptions& options);

std::unique_ptr<RowWriter> CreatePngWriter(std::FILE* file, const std::string& path,
                                           const ImageInfo& info, const Metadata& metadata);
std::unique_ptr<RowWriter> CreateJpegWriter(std::FILE* file, const std::string& path,
                                            const ImageInfo& info, const JpegOptions& options,
                                            const Metadata& metadata);

}  // namespace monx
