// The host face of the toolbox: what host programs and tests use to build, drive
// and observe the platform. The library itself never includes this header.
#pragma once

#include "toolbox/host/journal.h"
#include "toolbox/host/memory.h"
