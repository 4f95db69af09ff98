// The test host's own UIItem::ErrorMessage: the library's version does nothing,
// and this definition takes its place when the tests are linked (the library
// calls it through the dynamic linker), so that a RecordingItem can keep the
// codes it is given.
#include "PaneFixture.h"

void velkui::UIItem::ErrorMessage(int code) {
  if (auto* recorder = dynamic_cast<panetest::RecordingItem*>(this)) recorder->errors.push_back(code);
}
