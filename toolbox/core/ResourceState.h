// Resource-service details shared with the other toolbox services (not installed).
#pragma once

#include <cstdint>
#include <vector>

#include "toolbox/types.h"

namespace toolbox {
namespace internal {

/// Copies the bytes of a resource found through the chain from the current
/// file, without loading it into a handle (so without allocating); false when
/// there is none. The dialog service reads alert texts this way.
bool PeekResourceData(ResType type, SInt16 id, std::vector<uint8_t>* data);

}  // namespace internal
}  // namespace toolbox
