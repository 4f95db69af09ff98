// Host face of bitmap graphics: a count of live objects for leak checks.
#pragma once

#include <cstddef>

#include "toolbox/types.h"

namespace toolbox {
namespace host {

/// Colour spaces, data providers, bitmap and port contexts, images and
/// pictures alive right now (each counted once, whatever its references).
TOOLBOX_EXPORT size_t LiveGraphicsObjects();

/// Offscreen graphics worlds alive right now.
TOOLBOX_EXPORT size_t LiveGraphicsWorlds();

}  // namespace host
}  // namespace toolbox
