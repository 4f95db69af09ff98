// Toning one photograph from file to file, row band by row band.
#pragma once

#include <functional>
#include <string>

#include "ImageIo.h"
#include "Toner.h"

namespace monx {

/// How one file is toned.
struct ToneOptions {
  bool keepColour = false;  ///< tone each channel of a colour photo instead of its luminance
  JpegOptions jpeg;
  /// Decode in a second thread while this one tones and encodes the previous rows.
  bool overlap = true;
};

/// Receives one line for the user (a conversion made while reading).
using NoteSink = std::function<void(const std::string&)>;

/// Reads `input`, tones it and writes `output` (format by extension) through a
/// temporary file. Throws ToolError; on failure `output` is untouched.
void ToneFile(const std::string& input, const std::string& output, const Toner& toner,
              const ToneOptions& options, const NoteSink& notes);

}  // namespace monx
