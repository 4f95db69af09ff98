// The layout loader with any text. It either builds one window, which is then
// drawn (when small enough to draw quickly) and destroyed, or it answers null
// with an explanation and leaves no window, control, handle or block behind.
#include "Fuzz.h"
#include "toolbox/host/layout.h"
#include "toolbox/host/render.h"
#include "toolbox/host/windows.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace toolbox::host;
  fuzz::Run run;
  size_t windows = LiveWindows();
  std::string error;
  WindowRef window = LoadLayoutText(std::string(reinterpret_cast<const char*>(data), size),
                                    VELKUI_SOURCE_DIR "/examples/layouts", &error);
  if (window == nullptr) {
    FUZZ_CHECK(!error.empty());
    FUZZ_CHECK(LiveWindows() == windows);
    return 0;
  }
  FUZZ_CHECK(LiveWindows() == windows + 1);
  if (int(WindowWidth(window)) * WindowHeight(window) <= 640 * 480) RenderWindow(window);
  DestroyWindow(window);
  FUZZ_CHECK(LiveWindows() == windows);
  return 0;
}
