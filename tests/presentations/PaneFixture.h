// A test plug-in pane for the toolbox presentations: a window built from a
// layout with one control of each value kind, a system whose items bind to
// them when the pane is resumed, and items that record the presentation error
// codes they are given.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "ExceptionCode.h"
#include "FaultSweep.h"
#include "toolbox/host.h"
#include "velkui/interpreter.h"
#include "velkui/items.h"
#include "velkui/presentations.h"

namespace panetest {

using namespace velkui;

constexpr UInt32 kSignature = FOUR_CHAR_CODE("PRES");
constexpr SInt16 kBase = 100;
constexpr SInt32 kDefaultMin = -32768;
constexpr SInt32 kDefaultMax = 32767;

/// Control numbers of the layout. Radio buttons 20, 21, 22 and 24 (23 is
/// missing) form one radio presentation; the tracked slider has a follower.
enum : SInt16 {
  kCheckBox = 1, kRadioButton, kPopup, kEditText, kUnicodeText, kCustom, kArrows, kBevel,
  kSlider, kRadioGroup, kStaticText, kUserPane, kPushButton, kFarSlider, kNearSlider,
  kWidePopup, kWideCustom, kRadio = 20, kTrackSlider = 30, kSmallArrows, kWideArrows, kFollower,
  kMissing = 40,
};

/// An item that keeps the presentation error codes it was given, in order
/// (see ErrorRecorder.cpp), counts its hits and changes, and binds itself to
/// control `bindTo` with `factory`.
class RecordingItem : public UIItem {
 public:
  RecordingItem(UInt32 key, SInt32 min, SInt32 max, SInt16 inBindTo)
      : UIItem(key, min, max), bindTo(inBindTo) {}
  void TouchSelf() override { ++touches; }
  void SetSelf() override {
    ++changes;
    if (onSetSelf) onSetSelf();
  }
  void ChangedOther() override { if (onChangedOther) onChangedOther(); }
  void Bind() { (this->*factory)(bindTo, kSignature); }

  std::vector<int> errors;
  SInt16 bindTo;
  void (UIItem::*factory)(SInt16, UInt32) = &UIItem::SetControl;
  int touches = 0, changes = 0;
  std::function<void()> onSetSelf, onChangedOther;  ///< what the plug-in does then
};

/// One item to make: the control to bind to (its key is 1000 + control), its range.
struct ItemPlan {
  SInt16 control;
  SInt32 min = kDefaultMin, max = kDefaultMax;
  std::function<void(RecordingItem&)> setup = nullptr;  ///< runs in New, after construction
};

inline std::vector<ItemPlan>& NextItems() { static std::vector<ItemPlan> plan; return plan; }

/// The plug-in's system. New makes the items described by NextItems(); its
/// Resume hook binds each to its control through SetControl.
class PaneSystem : public UISystem {
 public:
  void New() override {
    for (const ItemPlan& p : NextItems()) {
      made[p.control] = new RecordingItem(UInt32(1000 + p.control), p.min, p.max, p.control);
      if (p.setup) p.setup(*made[p.control]);
    }
  }
  void Resume() override {
    for (auto& entry : made) entry.second->Bind();
  }
  std::map<SInt16, RecordingItem*> made;  ///< by control number; owned by the system
};

/// The layout; its popup 16 has 70 entries, 66 disabled.
inline std::string Layout() {
  std::string entries;
  for (int e = 1; e <= 70; ++e)
    entries += (e > 1 ? "," : "") + (e == 66 ? R"({"text": "66", "enabled": false})"
                                             : '"' + std::to_string(e) + '"');
  std::string layout = R"({"window": {"title": "pane", "width": 640, "height": 300, "base": 100}, "controls": [
    {"kind": "cbox", "id": "PRES:1", "bounds": [10, 10, 30, 150], "title": "Check", "value": 1},
    {"kind": "rdio", "id": "PRES:2", "bounds": [30, 10, 50, 150], "title": "Radio"},
    {"kind": "popb", "id": "PRES:3", "bounds": [50, 10, 72, 150], "value": 2, "menu": ["A", "B", "C", "D", "E"]},
    {"kind": "etxt", "id": "PRES:4", "bounds": [80, 10, 100, 150], "text": "12"},
    {"kind": "eutx", "id": "PRES:5", "bounds": [100, 10, 120, 150]},
    {"kind": "cdef", "id": "PRES:6", "bounds": [120, 10, 140, 150], "min": 0, "max": 10, "value": 3},
    {"kind": "larr", "id": "PRES:7", "bounds": [140, 10, 164, 24], "min": 0, "max": 20, "value": 5},
    {"kind": "bevl", "id": "PRES:8", "bounds": [170, 10, 190, 150], "title": "Bevel", "max": 1},
    {"kind": "sldr", "id": "PRES:9", "bounds": [190, 10, 210, 150], "min": 0, "max": 100, "value": 40},
    {"kind": "rgrp", "id": "PRES:10", "bounds": [10, 200, 70, 390], "value": 2, "controls": [
      {"kind": "rdio", "bounds": [10, 200, 30, 390]}, {"kind": "rdio", "bounds": [30, 200, 50, 390]},
      {"kind": "rdio", "bounds": [50, 200, 70, 390]}]},
    {"kind": "stxt", "id": "PRES:11", "bounds": [80, 200, 100, 390], "text": "Static"},
    {"kind": "upan", "id": "PRES:12", "bounds": [100, 200, 140, 390]},
    {"kind": "push", "id": "PRES:13", "bounds": [140, 200, 160, 390], "title": "Push"},
    {"kind": "sldr", "id": "PRES:14", "bounds": [10, 8192, 30, 8300], "min": 0, "max": 9, "value": 1},
    {"kind": "sldr", "id": "PRES:15", "bounds": [10, 8191, 30, 8300], "min": 0, "max": 9, "value": 1},
    {"kind": "popb", "id": "PRES:16", "bounds": [170, 200, 192, 390], "value": 1, "menu": [%s]},
    {"kind": "cdef", "id": "PRES:17", "bounds": [200, 200, 220, 390], "min": -40000, "max": 70000},
    {"kind":"rdio","id":"PRES:20","bounds":[10,400,30,600]}, {"kind":"rdio","id":"PRES:21","bounds":[32,400,52,600]},
    {"kind":"rdio","id":"PRES:22","bounds":[54,400,74,600]}, {"kind":"rdio","id":"PRES:24","bounds":[98,400,118,600]},
    {"kind": "sldr", "id": "PRES:30", "bounds": [130, 400, 150, 600], "max": 100, "value": 40},
    {"kind": "larr", "id": "PRES:31", "bounds": [160, 400, 184, 414], "max": 10, "value": 5},
    {"kind": "larr", "id": "PRES:32", "bounds": [160, 430, 184, 444], "min": -32768, "max": 32767},
    {"kind": "sldr", "id": "PRES:33", "bounds": [190, 400, 210, 600], "max": 100}]})";
  return layout.replace(layout.find("%s"), 2, entries);
}

/// A pane shown in the layout's window with base 100: the items of `plan` are
/// made in NewIPP, started, and bound in ResumeIPP.
class PaneTest : public ::testing::Test {
 protected:
  void Show(std::vector<ItemPlan> plan) {
    std::string error;
    window = toolbox::host::LoadLayoutText(Layout(), "", &error);
    ASSERT_NE(window, nullptr) << error;
    NextItems() = std::move(plan);
    sys = NewIPP([]() -> void* { return static_cast<UISystem*>(new PaneSystem); });
    ASSERT_NE(sys, nullptr);
    StartIPP(sys);
    toolbox::host::ClearJournal();
    ResumeIPP(sys, kBase, window);
  }
  void TearDown() override {
    if (sys) SuspendIPP(sys), EndIPP(sys), FreeIPP(sys);
    toolbox::host::DestroyWindow(window);
  }

  RecordingItem& Item(SInt16 control) { return *Pane().made.at(control); }
  PaneSystem& Pane() { return *static_cast<PaneSystem*>(static_cast<UISystem*>(sys)); }
  UIObject& R(SInt16 control) { return *Item(control).object; }
  ControlRef Control(SInt16 number) { return toolbox::host::FindControl(window, "PRES", number); }
  UIControl* Presentation(SInt16 control) { return dynamic_cast<UIControl*>(Item(control).presentation); }
  /// Fails each allocation of `make`, a factory binding `item`, in turn: a
  /// failure throws the documented code and leaves no presentation; made
  /// again, no procedure handle is left over. `onlyItself`: the presentation
  /// is the factory's only allocation.
  void SweepFactory(UIItem& item, const std::function<void()>& make, bool onlyItself = false) {
    const size_t procedures = toolbox::host::LiveProcedureHandles();
    EXPECT_GT(testing_support::SweepAllocationFailures([&](testing_support::FaultRun& run) {
      run.Arm();
      SInt32 code = CodeOf(make);
      run.Disarm();
      EXPECT_TRUE(!onlyItself || code == (run.Fired() ? kNilPointerErr : 0)) << code;
      EXPECT_TRUE(code == 0 || (run.Fired() && (code == kNilPointerErr || code == memFullErr))) << code;
      EXPECT_EQ(item.presentation == nullptr, code != 0) << "a failed factory leaves no presentation";
      if (code != 0) make();
      Hit(0);  // the flush empties the update queue the factory filled
      EXPECT_EQ(toolbox::host::LiveProcedureHandles(), procedures) << "procedure handles released";
    }), 0);
  }
  /// Delivers a hit as the print dialog does: ActionIPP, then ThreadIPP.
  SInt16 Hit(SInt16 hit) {
    ActionIPP(sys, &hit);
    SInt16 thread = hit;
    ThreadIPP(sys, &thread);
    return hit;
  }

  WindowRef window = nullptr;
  void* sys = nullptr;
};

}  // namespace panetest
