// The scrap as the host fills and reads it.
#include "toolbox/host/scrap.h"

#include "core/ScrapState.h"

namespace toolbox {
using internal::TheScrap;
typedef std::lock_guard<std::mutex> Lock;

namespace host {

void SetScrapText(const std::string& text) {
  OpaqueScrapRef& scrap = TheScrap();
  Lock lock(scrap.mutex);
  scrap.flavors.clear();
  scrap.flavors[kScrapFlavorTypeText].assign(text.begin(), text.end());
}

void SetScrapFlavor(FourCharCode flavor, const std::vector<uint8_t>& data) {
  OpaqueScrapRef& scrap = TheScrap();
  Lock lock(scrap.mutex);
  scrap.flavors[flavor] = data;
}

std::string ScrapText() {
  OpaqueScrapRef& scrap = TheScrap();
  Lock lock(scrap.mutex);
  auto it = scrap.flavors.find(kScrapFlavorTypeText);
  return it == scrap.flavors.end() ? "" : std::string(it->second.begin(), it->second.end());
}

void ClearScrap() {
  OpaqueScrapRef& scrap = TheScrap();
  Lock lock(scrap.mutex);
  scrap.flavors.clear();
}

}  // namespace host
}  // namespace toolbox
