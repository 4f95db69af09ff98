// Setting up the tracked controls of sliders and little arrows: the record
// their action procedure finds through the control's reference value.
#pragma once

#include "velkui/presentations.h"

namespace velkui {
namespace tracking {

/// The error a tracked control reports for SetRefCon: its reference value
/// already holds the tracking record.
constexpr int kErrRefConTaken = 13;

/// Captures `record` for item `itemNo`, points the control's reference value
/// at it and makes `proc` the control's action procedure; returns the
/// procedure handle, which the presentation owns.
ControlActionUPP Install(ControlRef control, ControlActionRef& record, SInt16 itemNo,
                         ControlActionProcPtr proc);

}  // namespace tracking
}  // namespace velkui
