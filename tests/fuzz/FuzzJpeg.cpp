// monx's JPEG reader with any bytes; the input's length picks the decoding choices.
#include "Codecs.h"
#include "FuzzImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  monx::JpegOptions options;
  options.fastDct = size & 1;
  options.fancyUpsampling = size & 2;
  fuzz::ReadImage(data, size, [&](std::FILE* file) { return monx::OpenJpeg(file, "in.jpg", options); });
  return 0;
}
