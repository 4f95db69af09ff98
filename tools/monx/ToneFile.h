// Toning one photograph from file to file, row band by row band.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ImageIo.h"
#include "Toner.h"

namespace monx {

/// How one file is toned.
struct ToneOptions {
  /// Run each channel of a colour photo through its own curve instead of toning
  /// its luminance: a colour effect, not a toned print.
  bool perChannel = false;
  /// Leave out EXIF and the colour profile.
  bool strip = false;
  /// The output format; unset: by the output's name, or the input's format for "-".
  std::optional<FileType> format;
  JpegOptions jpeg;
  /// Decode in a second thread while this one tones and encodes the previous rows.
  bool overlap = true;
};

/// Receives one line for the user (a conversion made while reading).
using NoteSink = std::function<void(const std::string&)>;

/// Reads `input`, tones it and writes `output` through a temporary file; "-"
/// reads standard input or writes standard output. The photo is turned upright
/// by its EXIF orientation; EXIF (orientation reset) and an RGB colour profile
/// are carried over unless stripped. Transparency is kept in PNG and laid over
/// white in JPEG. Throws ToolError; on failure `output` is untouched.
void ToneFile(const std::string& input, const std::string& output, const Toner& toner,
              const ToneOptions& options, const NoteSink& notes);

}  // namespace monx
