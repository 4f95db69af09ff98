// Memory-service details shared with the other toolbox services (not installed).
#pragma once

#include "toolbox/types.h"

namespace toolbox {
namespace internal {

/// Marks or unmarks a handle as a resource (state bit 0x20); the resource
/// service uses it so HGetState reports resources as the platform does.
void SetResourceBit(Handle h, bool isResource);
/// Sets MemError for the calling thread.
void SetMemError(OSErr err);

}  // namespace internal
}  // namespace toolbox
