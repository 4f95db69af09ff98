// The code of the exception an operation throws, for tests of refusals.
#pragma once

#include "velkui/support.h"

/// The code of the LException that op throws, or 0 when it throws none.
template <class Op>
SInt32 CodeOf(Op op) {
  try {
    op();
  } catch (const LException& e) {
    return e.GetErrorCode();
  }
  return 0;
}
