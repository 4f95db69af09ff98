// Four-character codes and length-prefixed strings as text.
#include "core/Strings.h"

#include <algorithm>
#include <cstring>

namespace toolbox {
namespace internal {

std::string FourCC(UInt32 code) {
  std::string s(4, ' ');
  for (int i = 0; i < 4; ++i) {
    char c = char((code >> (24 - 8 * i)) & 0xFF);
    s[size_t(i)] = (c >= 32 && c < 127) ? c : '?';
  }
  return s;
}

std::string PascalToString(ConstStr255Param s) {
  return s ? std::string(reinterpret_cast<const char*>(s + 1), s[0]) : std::string();
}

void StringToPascal(const std::string& text, Str255 out) {
  size_t n = std::min<size_t>(text.size(), 255);
  out[0] = UInt8(n);
  std::memcpy(out + 1, text.data(), n);
}

}  // namespace internal
}  // namespace toolbox
