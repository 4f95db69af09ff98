// The system number-parts table as the host sets it.
#include "toolbox/host/text.h"

#include "core/NumberPartsState.h"

namespace toolbox {
using internal::PartsState;
using internal::TheNumberParts;

namespace host {

NumberParts DefaultNumberParts() { return internal::DefaultNumberParts(); }

void SetSystemNumberParts(const NumberParts& parts) {
  PartsState& s = TheNumberParts();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.parts = parts;
  s.present = true;
}

void RemoveSystemNumberParts() {
  PartsState& s = TheNumberParts();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.present = false;
}

void ResetSystemNumberParts() {
  PartsState& s = TheNumberParts();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.parts = DefaultNumberParts();
  s.present = true;
}

}  // namespace host
}  // namespace toolbox
