// A test plug-in: a system and items whose hooks record the order they ran in,
// and a presentation that stands in for a control.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "toolbox/host.h"
#include "velkui/items.h"

namespace testpane {

using namespace velkui;

/// Every hook call of the test plug-in as "Hook:name", oldest first.
inline std::vector<std::string>& Calls() {
  static std::vector<std::string> calls;
  return calls;
}
inline void Note(const std::string& call) { Calls().push_back(call); }
/// The calls whose text starts with `prefix`, in order.
inline std::vector<std::string> CallsOf(const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& call : Calls()) {
    if (call.compare(0, prefix.size(), prefix) == 0) found.push_back(call);
  }
  return found;
}

/// A window reference that only stands for "the pane is shown": the
/// interpreter passes it around and never looks inside.
inline WindowRef FakeWindow() {
  static char window;
  return reinterpret_cast<WindowRef>(&window);
}

/// An item whose hooks note themselves and run the test code in `on[hook]`.
class TestItem : public UIItem {
 public:
  TestItem(std::string inName, UInt32 key, SInt32 min, SInt32 max)
      : UIItem(key, min, max), name(std::move(inName)) {}
  ~TestItem() override { Note("Destroy:" + name); }

  void New() override { Hook("New"); }
  void Kill() override { Hook("Kill"); }
  void Suspend() override { Hook("Suspend"); }
  void Resume() override {
    Hook("Resume");
    if (presentAs != 0) PresentAs(presentAs);
  }
  void SetSelf() override { Hook("SetSelf"); }
  void TouchSelf() override { Hook("TouchSelf"); }
  void ChangedOther() override { Hook("ChangedOther"); }
  void Dependency() override { Hook("Dependency"); }
  void Influence() override { Hook("Influence"); }

  /// Gives the item a stand-in presentation with relative number `itemNo`.
  void PresentAs(SInt16 itemNo);

  std::string name;
  SInt16 presentAs = 0;  ///< relative number the Resume hook presents the item as
  std::map<std::string, std::function<void()>> on;  ///< extra code by hook name

 private:
  void Hook(const std::string& hook) {
    Note(hook + ":" + name);
    auto extra = on.find(hook);
    if (extra != on.end() && extra->second) extra->second();
  }
};

/// Stands in for a toolbox control: it holds a control value of its own,
/// notes what the interpreter asks of it and can report a corrected number field.
class TestPresentation : public UIEmulate {
 public:
  TestPresentation(UIItem* inItem, SInt16 inItemNo) : UIEmulate(inItem, inItemNo) {}

  void GetValue() override {
    Note("GetValue:" + Name());
    item->object->value = controlValue;
  }
  void SetValue() override {
    Note("SetValue:" + Name());
    controlValue = item->object->value;
    if (onSetValue) onSetValue();
  }
  void SetStatus() override { Note("SetStatus:" + Name()); }
  void Action(SInt16*) override { Note("Action:" + Name()); }
  void SelectString() override { Note("SelectString:" + Name()); }
  SInt16 IsNumberField() override {
    if (numberKind != 0) system->numberField = itemNo;
    return numberKind;
  }
  Boolean CheckNumberField() override {
    Note("CheckNumberField:" + Name());
    if (!outOfRange) return 0;
    outOfRange = false;
    item->Assign(item->object->min);
    return 1;
  }

  std::string Name() const { return static_cast<TestItem*>(item)->name; }

  SInt32 controlValue = 0;
  SInt16 numberKind = 0;      ///< answer of IsNumberField (0: not a number field)
  bool outOfRange = false;    ///< CheckNumberField corrects once and answers 1
  std::function<void()> onSetValue;
};

inline void TestItem::PresentAs(SInt16 itemNo) { MakePresentation<TestPresentation>(itemNo); }

/// The item's stand-in presentation, or null when it has another or none.
inline TestPresentation* PresentationOf(UIItem* item) {
  return dynamic_cast<TestPresentation*>(item->presentation);
}

/// The test plug-in's system: New runs the build function given to the factory.
class TestSystem : public UISystem {
 public:
  void New() override {
    Note("New:system");
    if (build) build(*this);
  }
  void Kill() override {
    Note("Kill:system");
    if (onKill) onKill();
  }
  void Suspend() override { Note("Suspend:system"); }
  void Resume() override {
    Note("Resume:system");
    if (onResume) onResume();
  }
  void SetSelf() override { Note("SetSelf:system"); }

  /// The item made n-th (1-based) by New.
  TestItem* Item(SInt32 index) const {
    UIItem* item = nullptr;
    if (items == nullptr || !items->FetchItemAt(index, &item)) return nullptr;
    return static_cast<TestItem*>(item);
  }

  std::function<void(TestSystem&)> build;
  std::function<void()> onResume, onKill;
};

/// What the next system made by Factory builds in its New hook.
inline std::function<void(TestSystem&)>& NextBuild() {
  static std::function<void(TestSystem&)> next;
  return next;
}

/// The plug-in's factory, as NewIPP takes it.
inline void* Factory() {
  auto* system = new TestSystem;
  system->build = NextBuild();
  return static_cast<UISystem*>(system);
}

/// Builds a pane through NewIPP with `build` as its New hook.
inline TestSystem* NewPane(std::function<void(TestSystem&)> build) {
  NextBuild() = std::move(build);
  return static_cast<TestSystem*>(static_cast<UISystem*>(NewIPP(&Factory)));
}

/// Clears the call log, the journal and any current system before each test,
/// and checks that the test released every block it made.
class PaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Calls().clear();
    toolbox::host::ClearJournal();
    SetCurrentIPP(nullptr);
    handles_ = toolbox::host::LiveHandles();
    pointers_ = toolbox::host::LivePointers();
  }
  void TearDown() override {
    if (pane != nullptr) FreeIPP(pane);
    pane = nullptr;
    NextBuild() = nullptr;
    EXPECT_EQ(handles_, toolbox::host::LiveHandles()) << "handles leaked by the test";
    EXPECT_EQ(pointers_, toolbox::host::LivePointers()) << "pointer blocks leaked by the test";
  }

  /// A pane of items named a, b, c ... made with the given keys (min 0, max 100).
  TestSystem* MakePane(const std::vector<UInt32>& keys) {
    pane = NewPane([keys](TestSystem&) {
      char name = 'a';
      for (UInt32 key : keys) new TestItem(std::string(1, name++), key, 0, 100);
    });
    return pane;
  }

  TestSystem* pane = nullptr;

 private:
  size_t handles_ = 0;
  size_t pointers_ = 0;
};

}  // namespace testpane
