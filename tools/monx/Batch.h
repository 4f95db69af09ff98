// Toning many photographs into one folder with worker threads and a progress bar.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ToneFile.h"

namespace monx {

enum class ProgressMode { kAuto, kAlways, kNever };

struct BatchOptions {
  ToneOptions tone;
  int jobs = 2;
  std::optional<FileType> format;  ///< output format; by default each input's own
  ProgressMode progress = ProgressMode::kAuto;
};

/// The image files a batch will tone: files as given, folders expanded to
/// their .png, .jpg and .jpeg files (not recursive, hidden files skipped), sorted.
/// A folder that cannot be listed throws ToolError.
std::vector<std::string> ExpandInputs(const std::vector<std::string>& inputs);

/// Tones every input into `folder` (created if missing) and prints a summary
/// line. Returns kExitOk, or kExitSomeFailed when any photo failed (each
/// failure is reported on its own line). Throws ToolError if the folder
/// cannot be made.
int RunBatch(const std::vector<std::string>& inputs, const std::string& folder,
             const Toner& toner, const BatchOptions& options);

}  // namespace monx
