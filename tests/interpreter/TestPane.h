// A test plug-in: a system and items whose hooks record the order they ran in,
// and a presentation that stands in for a control.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "toolbox/host.h"
#include "velkui/items.h"

namespace testpane {

using namespace velkui;
using Strings = std::vector<std::string>;
/// Several numbers of mixed types compared at once.
using Numbers = std::vector<long>;

/// Every hook call of the test plug-in as "Hook:name", oldest first.
inline Strings& Calls() { static Strings calls; return calls; }
inline void Note(const std::string& call) { Calls().push_back(call); }
/// The calls noted so far, which are then forgotten.
inline Strings Take() { return std::exchange(Calls(), {}); }
/// The calls whose text starts with `prefix`, in order.
inline Strings CallsOf(const std::string& prefix) {
  Strings found;
  for (const std::string& call : Calls())
    if (call.rfind(prefix, 0) == 0) found.push_back(call);
  return found;
}

/// A window reference that only stands for "the pane is shown": the
/// interpreter passes it around and never looks inside.
inline WindowRef FakeWindow() { static char window; return reinterpret_cast<WindowRef>(&window); }

/// Hooks that note themselves as "Hook:name" and then run the test code in on[Hook].
struct Hooks {
  void Hook(const std::string& hook) {
    Note(hook + ":" + name);
    if (auto extra = on.find(hook); extra != on.end() && extra->second) extra->second();
  }
  std::string name;
  std::map<std::string, std::function<void()>> on;  ///< extra code by hook name
};
#define TESTPANE_HOOK(h) void h() override { Hook(#h); }

/// An item of the test plug-in; its Resume hook presents it as `presentAs`.
class TestItem : public UIItem, public Hooks {
 public:
  TestItem(std::string inName, UInt32 key, SInt32 min = 0, SInt32 max = 100)
      : UIItem(key, min, max) { name = std::move(inName); }
  ~TestItem() override { Note("Destroy:" + name); }
  TESTPANE_HOOK(New) TESTPANE_HOOK(Kill) TESTPANE_HOOK(Suspend) TESTPANE_HOOK(SetSelf)
  TESTPANE_HOOK(TouchSelf) TESTPANE_HOOK(ChangedOther) TESTPANE_HOOK(Dependency)
  TESTPANE_HOOK(Influence)
  void Resume() override {
    Hook("Resume");
    if (presentAs != 0) PresentAs(presentAs);
  }
  /// Gives the item a stand-in presentation with relative number `itemNo`.
  void PresentAs(SInt16 itemNo);
  SInt16 presentAs = 0;
};

/// Stands in for a toolbox control: it holds a control value of its own,
/// notes what the interpreter asks of it (as "Operation:item name", running
/// on[Operation] after) and can report a corrected number field.
class TestPresentation : public UIEmulate, public Hooks {
 public:
  TestPresentation(UIItem* inItem, SInt16 inItemNo) : UIEmulate(inItem, inItemNo) {
    name = static_cast<TestItem*>(inItem)->name;
  }
  void GetValue() override { Hook("GetValue"), item->object->value = controlValue; }
  void SetValue() override { controlValue = item->object->value, Hook("SetValue"); }
  TESTPANE_HOOK(SetStatus) TESTPANE_HOOK(SelectString)
  void Action(SInt16*) override { Hook("Action"); }
  SInt16 IsNumberField() override {
    if (numberKind != 0) system->numberField = itemNo;
    return numberKind;
  }
  Boolean CheckNumberField() override {
    Hook("CheckNumberField");
    if (!std::exchange(outOfRange, false)) return 0;
    item->Assign(item->object->min);
    return 1;
  }

  SInt32 controlValue = 0;
  SInt16 numberKind = 0;    ///< answer of IsNumberField (0: not a number field)
  bool outOfRange = false;  ///< CheckNumberField corrects once and answers 1
};

inline void TestItem::PresentAs(SInt16 itemNo) { MakePresentation<TestPresentation>(itemNo); }

/// The item's stand-in presentation, or null when it has another or none.
inline TestPresentation* PresentationOf(UIItem* item) { return dynamic_cast<TestPresentation*>(item->presentation); }

class TestSystem;
using Build = std::function<void(TestSystem&)>;
/// What the next system made builds in its New hook.
inline Build& NextBuild() { static Build next; return next; }

/// The test plug-in's system ("system"): New runs the build function of NextBuild().
class TestSystem : public UISystem, public Hooks {
 public:
  TestSystem() : build(NextBuild()) { name = "system"; }
  void New() override {
    Hook("New");
    if (build) build(*this);
  }
  TESTPANE_HOOK(Kill) TESTPANE_HOOK(Suspend) TESTPANE_HOOK(Resume) TESTPANE_HOOK(SetSelf)
  /// The item made n-th (1-based) by New.
  TestItem* Item(SInt32 index) const {
    UIItem* item = nullptr;
    if (items == nullptr || !items->FetchItemAt(index, &item)) return nullptr;
    return static_cast<TestItem*>(item);
  }
  Build build;
};

/// The plug-in's factory, as NewIPP takes it.
inline void* Factory() { return static_cast<UISystem*>(new TestSystem); }

/// Builds a pane through NewIPP with `build` as its New hook.
inline TestSystem* NewPane(Build build) {
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
    live_ = {toolbox::host::LiveHandles(), toolbox::host::LivePointers()};
  }
  void TearDown() override {
    if (pane != nullptr) FreeIPP(std::exchange(pane, nullptr));
    NextBuild() = nullptr;
    EXPECT_EQ(live_, std::pair(toolbox::host::LiveHandles(), toolbox::host::LivePointers()))
        << "handles or pointer blocks leaked by the test";
  }

  /// A pane of items named a, b, c ... made with the given keys (min 0, max 100).
  TestSystem* MakePane(const std::vector<UInt32>& keys) {
    return pane = NewPane([keys](TestSystem&) {
             char name = 'a';
             for (UInt32 key : keys) new TestItem(std::string(1, name++), key);
           });
  }

  TestSystem* pane = nullptr;
  std::pair<size_t, size_t> live_;  ///< live handles and pointer blocks before the test
};

}  // namespace testpane
