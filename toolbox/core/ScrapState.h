// The one process-wide scrap, shared by the scrap calls and the host face
// (not installed).
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "toolbox/scrap.h"

struct OpaqueScrapRef {
  std::mutex mutex;
  std::map<ScrapFlavorType, std::vector<uint8_t>> flavors;
};

namespace toolbox {
namespace internal {

/// The scrap (lives until exit).
OpaqueScrapRef& TheScrap();

}  // namespace internal
}  // namespace toolbox
