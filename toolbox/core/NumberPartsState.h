// The system number-parts table, shared by the text calls that read it and
// the host face that replaces or removes it (not installed).
#pragma once

#include <mutex>

#include "toolbox/text.h"

namespace toolbox {
namespace internal {

/// The platform's own table (US English symbols).
NumberParts DefaultNumberParts();

struct PartsState {
  std::mutex mutex;
  NumberParts parts = DefaultNumberParts();
  bool present = true;
  Ptr master = reinterpret_cast<Ptr>(&parts);  // the table's "handle" points here
};

/// The process-wide table (lives until exit).
PartsState& TheNumberParts();

}  // namespace internal
}  // namespace toolbox
