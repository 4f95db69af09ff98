// The one export macro of the library: everything else is hidden.
#pragma once

#define VELKUI_EXPORT __attribute__((visibility("default")))
