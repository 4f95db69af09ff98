// Helpers for the window, control, menu, input and drawing tests: a window
// built by code that is destroyed with the test, and short control makers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "toolbox/controls.h"
#include "toolbox/host.h"
#include "toolbox/menus.h"
#include "toolbox/quickdraw.h"

namespace windowtest {

using toolbox::host::ControlSpec;

inline OSType Code(const char (&s)[5]) { return FOUR_CHAR_CODE(s); }

/// A length-prefixed copy of `text`.
struct PString {
  explicit PString(const std::string& text) : bytes{static_cast<unsigned char>(text.size())} {
    std::copy(text.begin(), text.end(), bytes + 1);
  }
  operator const unsigned char*() const { return bytes; }
  unsigned char bytes[256];
};

inline std::string FromPascal(const unsigned char* s) {
  return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
}

/// A test with a fresh window of 200 x 120 and a clear journal; no window or
/// graphics object may be left at its end.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = toolbox::host::MakeWindow("test", 200, 120);
    ASSERT_NE(window, nullptr);
    toolbox::host::ClearJournal();
  }
  void TearDown() override {
    toolbox::host::DestroyWindow(window);
    EXPECT_EQ(toolbox::host::LiveWindows(), windowsBefore_) << "a window was left behind";
    EXPECT_EQ(toolbox::host::LiveGraphicsObjects(), objectsBefore_) << "graphics objects leaked";
  }

  /// A control of `kind` with ID ('TEST', id) at `bounds`.
  ControlRef Add(OSType kind, SInt32 id, Rect bounds, ControlRef parent = nullptr,
                 ControlSpec spec = ControlSpec()) {
    spec.kind = kind;
    spec.id = ControlID{Code("TEST"), id};
    spec.bounds = bounds;
    ControlRef c = toolbox::host::AddControl(window, parent, spec);
    EXPECT_NE(c, nullptr) << "control " << id << " could not be made";
    return c;
  }
  ControlRef AddPopup(SInt32 id, std::vector<toolbox::host::MenuEntrySpec> entries, SInt32 value,
                      Rect bounds = Rect{10, 10, 32, 190}) {
    ControlSpec spec;
    spec.menu = std::move(entries);
    spec.value = value;
    return Add(Code("popb"), id, bounds, nullptr, spec);
  }
  ControlRef AddRadioGroup(SInt32 id, int buttons, SInt32 value) {
    ControlSpec spec;
    spec.value = value;
    ControlRef group = Add(Code("rgrp"), id, Rect{10, 10, SInt16(10 + 20 * buttons), 150}, nullptr, spec);
    for (int i = 0; i < buttons; ++i)
      Add(Code("rdio"), 0, Rect{SInt16(10 + 20 * i), 10, SInt16(30 + 20 * i), 150}, group);
    return group;
  }

  WindowRef window = nullptr;

 private:
  size_t windowsBefore_ = toolbox::host::LiveWindows(), objectsBefore_ = toolbox::host::LiveGraphicsObjects();
};

}  // namespace windowtest
