// The pane lifecycle through the entry functions: hook order, binding, focus, release.
#include <functional>
#include <stdexcept>

#include "TestPane.h"

namespace {

using namespace testpane;
using Strings = std::vector<std::string>;

void* NullFactory() { return nullptr; }

class LifecycleTest : public PaneTest {
 protected:
  /// After a build that failed, the system has released its items and registry
  /// and FreeIPP only calls Kill again.
  void ExpectFailedBuildReleased(const Strings& destroyed) {
    ASSERT_NE(nullptr, pane) << "the system is returned even when building failed";
    EXPECT_EQ(nullptr, pane->registry);
    EXPECT_EQ(nullptr, pane->items);
    EXPECT_EQ(destroyed, CallsOf("Destroy"));
    EXPECT_EQ((Strings{"Kill:system"}), CallsOf("Kill"));
    Calls().clear();
    FreeIPP(pane);
    pane = nullptr;
    EXPECT_EQ((Strings{"Kill:system"}), Calls()) << "FreeIPP calls Kill again, frees nothing twice";
  }
};

TEST_F(LifecycleTest, HooksRunInLifecycleOrder) {
  MakePane({1, 2, 3});
  ASSERT_NE(nullptr, pane);
  EXPECT_EQ((Strings{"New:system", "Influence:a", "Influence:b", "Influence:c", "Dependency:a",
                     "Dependency:b", "Dependency:c"}),
            Calls())
      << "NewIPP: the New hook, then all Influence hooks, then all Dependency hooks";

  Calls().clear();
  StartIPP(pane);
  EXPECT_EQ((Strings{"New:a", "New:b", "New:c"}), Calls()) << "StartIPP: New first to last";

  Calls().clear();
  ResumeIPP(pane, 0, nullptr);
  EXPECT_EQ((Strings{"Resume:system", "Resume:a", "Resume:b", "Resume:c"}), Calls());

  Calls().clear();
  SuspendIPP(pane);
  EXPECT_EQ((Strings{"Suspend:c", "Suspend:b", "Suspend:a", "Suspend:system"}), Calls())
      << "SuspendIPP: Suspend last to first, then the system's";

  Calls().clear();
  EndIPP(pane);
  EXPECT_EQ((Strings{"Kill:c", "Kill:b", "Kill:a"}), Calls()) << "EndIPP: Kill last to first";

  Calls().clear();
  FreeIPP(pane);
  pane = nullptr;
  EXPECT_EQ((Strings{"Kill:system", "Destroy:a", "Destroy:b", "Destroy:c"}), Calls());
  EXPECT_EQ(nullptr, GetCurrentIPP(nullptr)) << "FreeIPP leaves no current system";
}

TEST_F(LifecycleTest, ResumeFlushesAndAppliesStatusBeforeItemResumeHooks) {
  MakePane({1, 2});
  Calls().clear();
  pane->onResume = [this] {
    pane->Item(1)->PresentAs(1);
    pane->Item(2)->PresentAs(2);
  };
  ResumeIPP(pane, 0, FakeWindow());
  EXPECT_EQ((Strings{"Resume:system", "SetValue:a", "SetValue:b", "SetStatus:a", "SetStatus:b",
                     "Resume:a", "Resume:b"}),
            Calls())
      << "presentations made by the system's Resume get values, then status, before item hooks";

  Calls().clear();
  pane->onResume = nullptr;
  pane->Item(1)->presentAs = 1;
  SuspendIPP(pane);
  EXPECT_EQ(nullptr, pane->Item(2)->presentation) << "SuspendIPP destroys every presentation";
  Calls().clear();
  ResumeIPP(pane, 0, FakeWindow());
  EXPECT_EQ((Strings{"Resume:system", "Resume:a", "Resume:b", "SetValue:a", "SelectString:a"}),
            Calls())
      << "a presentation made by an item's Resume hook is filled by the closing flush, "
         "then the focus (item 1 after a suspend) is selected";
}

TEST_F(LifecycleTest, BaseNumberIsNarrowedToSixteenBits) {
  struct Row {
    SInt32 given;
    SInt16 expected;
  };
  MakePane({1});
  for (Row row : {Row{65536 + 5, 5}, Row{65535, -1}, Row{32768, -32768}, Row{-65536, 0}}) {
    SCOPED_TRACE(row.given);
    ResumeIPP(pane, row.given, nullptr);
    EXPECT_EQ(row.expected, pane->GetBaseNumber());
    EXPECT_EQ(row.expected, UISystem::GetCurrentBaseNumber());
    SuspendIPP(pane);
  }
}

TEST_F(LifecycleTest, SuspendUnbindsObjectsAndResumeRebindsSharedKeysToLastItem) {
  MakePane({7, 7, 0});
  TestItem* a = pane->Item(1);
  TestItem* b = pane->Item(2);
  ASSERT_EQ(a->object, b->object) << "items with one key share one registry object";
  EXPECT_EQ(b, a->object->item) << "the item constructed last is bound";

  a->object->item = a;  // a plug-in rebinding by hand; ResumeIPP must restore the order
  ResumeIPP(pane, 0, nullptr);
  SuspendIPP(pane);
  EXPECT_EQ(nullptr, a->object->item) << "SuspendIPP unbinds every object";
  EXPECT_EQ(nullptr, pane->GetDialog());

  SInt32 value = 42;
  SetRegistry(7, 3, &value);
  EXPECT_EQ(42, a->object->value) << "a write while hidden stores the value";
  ResumeIPP(pane, 0, FakeWindow());
  EXPECT_EQ(b, a->object->item) << "ResumeIPP binds the last item with the key";
  EXPECT_EQ(pane->Item(3), pane->Item(3)->object->item);
}

TEST_F(LifecycleTest, FocusRecordedWhileHiddenBecomesFocusNumberOnResume) {
  MakePane({1, 2});
  pane->Item(2)->presentAs = 4;
  ResumeIPP(pane, 10, FakeWindow());
  SuspendIPP(pane);
  EXPECT_EQ(1, pane->focusNumber) << "suspending a shown pane focuses item 1";
  EXPECT_EQ(32767, pane->selEnd);

  pane->Item(2)->SelectString();  // no presentation: recorded in the system
  EXPECT_EQ(pane->Item(2), pane->focusItem);
  EXPECT_EQ(0, pane->focusNumber);
  ResumeIPP(pane, 10, FakeWindow());
  EXPECT_EQ(14, pane->focusNumber) << "relative 4 + base 10";
  EXPECT_EQ(nullptr, pane->focusItem);
  EXPECT_TRUE(CallsOf("SelectString").empty());

  SuspendIPP(pane);
  pane->Item(1)->presentAs = 1;
  Calls().clear();
  ResumeIPP(pane, 0, FakeWindow());
  EXPECT_EQ((Strings{"SelectString:a"}), CallsOf("SelectString"))
      << "focus number 1 selects the item presented as 1";
  EXPECT_EQ(1, pane->numberField);

  SuspendIPP(pane);
  pane->numberField = 0;
  Calls().clear();
  ResumeIPP(pane, 0, nullptr);
  EXPECT_TRUE(CallsOf("SelectString").empty()) << "no window: the focus is left alone";
  EXPECT_EQ(0, pane->numberField);
}

/// An item of the plug-in whose own constructor fails after the library's part
/// of it has joined the system's items.
class FailingItem : public TestItem {
 public:
  FailingItem() : TestItem("failing", 5, 0, 10) { throw std::runtime_error("item failure"); }
};

TEST_F(LifecycleTest, FailureInNewHookOrItemConstructorLeavesReleasedSystemThatFreeIPPFrees) {
  pane = NewPane([](TestSystem&) {
    new TestItem("a", 1, 0, 10);
    new TestItem("b", 0, 0, 10);
    throw std::runtime_error("plug-in failure");
  });
  ExpectFailedBuildReleased({"Destroy:a", "Destroy:b"});
  Calls().clear();
  pane = NewPane([](TestSystem&) {
    new TestItem("a", 1, 0, 10);
    new FailingItem;
  });
  // The half-made item goes with its exception, the complete one with the system.
  ExpectFailedBuildReleased({"Destroy:failing", "Destroy:a"});
}

TEST_F(LifecycleTest, FailingKillHookStillReleasesEverything) {
  MakePane({1, 0});
  pane->onKill = [] { throw std::runtime_error("plug-in failure"); };
  TestSystem* failing = pane;
  pane = nullptr;
  Calls().clear();
  EXPECT_THROW(FreeIPP(failing), std::runtime_error) << "the hook's failure reaches the caller";
  EXPECT_EQ((Strings{"Kill:system", "Destroy:a", "Destroy:b"}), Calls())
      << "items, arrays, registry and the system are released all the same";
  EXPECT_EQ(nullptr, GetCurrentIPP(nullptr));
}

TEST_F(LifecycleTest, ErrorAlertShowsLibraryStringOnlyWithWindow) {
  SInt16 file = toolbox::host::CreateResourceFile("alerts");
  toolbox::host::AddResource(file, FOUR_CHAR_CODE("STR#"), -8179, "",
                             toolbox::host::StringListResourceData({"first", "second"}));
  MakePane({1});
  pane->ErrorAlert(2);
  EXPECT_TRUE(toolbox::host::JournalOf("alert").empty()) << "no window, no alert";

  ResumeIPP(pane, 0, FakeWindow());
  pane->Item(1)->PresentAs(1);
  pane->Item(1)->ErrorAlert(2);
  Strings alerts = toolbox::host::JournalOf("alert");
  ASSERT_EQ(1u, alerts.size());
  EXPECT_EQ(0u, alerts[0].rfind("stop -8179", 0)) << alerts[0];
  EXPECT_EQ("second", toolbox::host::ParamTexts().at(0));
  SuspendIPP(pane);
  FreeIPP(pane);
  pane = nullptr;
  toolbox::host::ResetResources();  // releases the string list GetIndString left loaded
}

TEST_F(LifecycleTest, CurrentSystemFollowsLifecycleCalls) {
  MakePane({1});
  TestSystem* first = pane;
  TestSystem* second = MakePane({2});
  pane = first;
  SInt16 hit = 0;
  const std::function<void()> calls[] = {
      [&] { ResumeIPP(first, 0, nullptr); }, [&] { ActionIPP(first, &hit); },
      [&] { ThreadIPP(first, &hit); },       [&] { SuspendIPP(first); },
      [&] { EndIPP(first); },                [&] { StartIPP(first); },
  };
  for (const auto& call : calls) {
    SetCurrentIPP(second);
    call();
    EXPECT_EQ(first, GetCurrentIPP(nullptr)) << "every entry makes its system current first";
  }
  first->Item(1)->PresentAs(1);
  SetCurrentIPP(second);
  SInt16 itemNo = 0, min = 0, max = 0;
  EXPECT_EQ(0, GetItemInfo(1, &itemNo, &min, &max)) << "key 1 belongs to the other pane";
  // A presentation works on its own pane whichever system is current.
  first->Item(1)->Assign(7);
  first->Item(1)->EventCancel();
  EXPECT_EQ(1u, first->updates->GetCount());
  EXPECT_EQ(1, first->cancelFlag);
  EXPECT_EQ(0u, second->updates->GetCount());
  EXPECT_EQ(0, second->cancelFlag);
  FreeIPP(second);
  EXPECT_EQ(nullptr, GetCurrentIPP(nullptr));
}

TEST_F(LifecycleTest, EveryLifecycleStepEndsWithAFlush) {
  pane = NewPane([](TestSystem&) {
    auto* a = new TestItem("a", 1, 0, 100);
    a->PresentAs(1);  // emulated while hidden: a change is queued all the same
    a->Assign(5);
  });
  TestItem* a = pane->Item(1);
  EXPECT_EQ(0u, pane->updates->GetCount()) << "NewIPP";
  a->on["New"] = [a] { a->Assign(6); };
  StartIPP(pane);
  EXPECT_EQ(0u, pane->updates->GetCount()) << "StartIPP";
  a->Assign(7);
  SuspendIPP(pane);
  EXPECT_EQ(0u, pane->updates->GetCount()) << "SuspendIPP";
  a->PresentAs(1);
  a->on["Kill"] = [a] { a->Assign(8); };
  EndIPP(pane);
  EXPECT_EQ(0u, pane->updates->GetCount()) << "EndIPP";
  EXPECT_EQ(8, a->object->value);
}

TEST_F(LifecycleTest, WithoutSystemNewIPPGivesNullAndCallsDoNothing) {
  EXPECT_EQ(nullptr, NewIPP(&NullFactory)) << "the factory made nothing";
  EXPECT_EQ(nullptr, NewIPP(nullptr));
  EXPECT_EQ(nullptr, GetCurrentIPP(nullptr)) << "no system may become current";
  SInt16 itemNo = 9, min = 3, max = 4;
  EXPECT_EQ(0, GetItemInfo(1, &itemNo, &min, &max));
  EXPECT_EQ(0, itemNo);
  EXPECT_EQ(3, min);
  SInt32 value = 5;
  SetRegistry(1, 3, &value);
  GetRegistry(1, &value);
  EXPECT_EQ(5, value);
  FreeIPP(nullptr);
  StartIPP(nullptr);
  ResumeIPP(nullptr, 0, nullptr);
}

}  // namespace
