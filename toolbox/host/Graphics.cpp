// Bitmap-graphics objects as the host counts them.
#include "toolbox/host/graphics.h"

#include "core/Records.h"

size_t toolbox::host::LiveGraphicsObjects() { return internal::LiveGraphics().size(); }
size_t toolbox::host::LiveGraphicsWorlds() { return internal::LiveOffscreenPorts(); }
