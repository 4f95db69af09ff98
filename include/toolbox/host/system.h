// Host face of the system services: the Gestalt table and the tick clock.
#pragma once

#include "toolbox/types.h"

namespace toolbox {
namespace host {

/// Sets (adds or replaces) a Gestalt answer.
TOOLBOX_EXPORT void SetGestalt(OSType selector, SInt32 response);
/// Removes a selector: Gestalt then answers gestaltUndefSelectorErr.
TOOLBOX_EXPORT void RemoveGestalt(OSType selector);
/// Restores the default table ('sysv' = 0x1049).
TOOLBOX_EXPORT void ResetGestalt();
/// Freezes TickCount at a value (tests), or lets it run again with
/// UseRealTicks (it then continues from the frozen value).
TOOLBOX_EXPORT void SetTicks(UInt32 ticks);
TOOLBOX_EXPORT void UseRealTicks();

}  // namespace host
}  // namespace toolbox
