// Four-character codes and length-prefixed (Pascal) strings as std::string
// (not installed).
#pragma once

#include <string>

#include "toolbox/types.h"

namespace toolbox {
namespace internal {

/// The four-character code as text ("cbox"); unprintable bytes become '?'.
std::string FourCC(UInt32 code);
std::string PascalToString(ConstStr255Param s);
/// Copies at most 255 bytes of `text` into `out` with its length byte.
void StringToPascal(const std::string& text, Str255 out);

}  // namespace internal
}  // namespace toolbox
