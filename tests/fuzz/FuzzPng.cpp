// monx's PNG reader with any bytes.
#include "Codecs.h"
#include "FuzzImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ReadImage(data, size, [](std::FILE* file) { return monx::OpenPng(file, "in.png"); });
  return 0;
}
