// Tones a sample photograph with a few records into PNG files, for looking at the output.
#pragma once

#include <string>

namespace toning_bench {

/// Reads the PNG at `input`, tones it with a fixed set of records in every
/// pixel format and writes one PNG per record into `outputDir`. Returns 0 on
/// success, else prints the reason and returns 1.
int WriteSamples(const std::string& input, const std::string& outputDir);

}  // namespace toning_bench
