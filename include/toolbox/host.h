// The host face of the toolbox: what host programs and tests use to build, drive
// and observe the platform. The library itself never includes this header.
// Each service's host face has its own header under toolbox/host/.
#pragma once

#include "toolbox/host/dialogs.h"
#include "toolbox/host/journal.h"
#include "toolbox/host/memory.h"
#include "toolbox/host/resources.h"
#include "toolbox/host/scrap.h"
#include "toolbox/host/system.h"
#include "toolbox/host/text.h"
