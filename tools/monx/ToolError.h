// The one error type of the monx tool: a one-line message and the exit code it maps to.
#pragma once

#include <stdexcept>
#include <string>

namespace monx {

/// Exit codes, following the BSD sysexits convention where one fits.
enum ExitCode : int {
  kExitOk = 0,
  kExitSomeFailed = 1,   ///< batch mode: at least one photo could not be toned
  kExitUsage = 64,       ///< bad command line or value out of range
  kExitBadData = 65,     ///< input is not a usable image (not an image, damaged, CMYK)
  kExitNoInput = 66,     ///< input missing or unreadable
  kExitSoftware = 70,    ///< the toning engine refused something it should accept
  kExitCantCreate = 73,  ///< output cannot be written
};

/// A failure reported to the user as one line on standard error.
class ToolError : public std::runtime_error {
 public:
  ToolError(ExitCode code, const std::string& message)
      : std::runtime_error(message), code_(code) {}
  ExitCode code() const { return code_; }

 private:
  ExitCode code_;
};

}  // namespace monx
