// The pane lifecycle through the entry functions: hook order, binding, focus, release.
#include <functional>
#include <stdexcept>

#include "TestPane.h"

namespace {

using namespace testpane;

class LifecycleTest : public PaneTest {
 protected:
  /// After a build that failed, the system has released its items and registry
  /// and FreeIPP only calls Kill again.
  void ExpectFailedBuildReleased(const Strings& destroyed) {
    ASSERT_NE(nullptr, pane) << "the system is returned even when building failed";
    EXPECT_TRUE(pane->registry == nullptr && pane->items == nullptr) << "released by the failure";
    EXPECT_EQ(std::pair(destroyed, Strings{"Kill:system"}), std::pair(CallsOf("Destroy"), CallsOf("Kill")));
    Take();
    FreeIPP(std::exchange(pane, nullptr));
    EXPECT_EQ((Strings{"Kill:system"}), Take()) << "FreeIPP calls Kill again, frees nothing twice";
  }
};

TEST_F(LifecycleTest, HooksRunInLifecycleOrderAndEveryStepEndsWithAFlush) {
  pane = NewPane([](TestSystem& system) {
    new TestItem("a", 1), new TestItem("b", 2), new TestItem("c", 3);
    system.Item(1)->PresentAs(1);  // emulated while hidden: a change is queued all the same
    system.Item(1)->Assign(5);
  });
  TestItem* a = pane->Item(1);
  auto queued = [this] { return pane->updates->GetCount(); };
  EXPECT_EQ(Take(), (Strings{"New:system", "Influence:a", "Influence:b", "Influence:c",
                             "Dependency:a", "Dependency:b", "Dependency:c"}))
      << "NewIPP: the New hook, then all Influence hooks, then all Dependency hooks";
  EXPECT_EQ(0u, queued()) << "NewIPP ends with a flush";
  a->on["New"] = [a] { a->Assign(6); };
  StartIPP(pane);
  EXPECT_EQ(Take(), (Strings{"New:a", "New:b", "New:c"})) << "StartIPP: New first to last";
  EXPECT_EQ(0u, queued()) << "StartIPP ends with a flush";
  ResumeIPP(pane, 0, nullptr);
  EXPECT_EQ(Take(), (Strings{"Resume:system", "Resume:a", "Resume:b", "Resume:c"}));
  a->Assign(7);
  SuspendIPP(pane);
  EXPECT_EQ(Take(), (Strings{"Suspend:c", "Suspend:b", "Suspend:a", "Suspend:system"}))
      << "SuspendIPP: Suspend last to first, then the system's";
  EXPECT_EQ(0u, queued()) << "SuspendIPP ends with a flush";
  a->PresentAs(1);
  a->on["Kill"] = [a] { a->Assign(8); };
  EndIPP(pane);
  EXPECT_EQ(Take(), (Strings{"Kill:c", "Kill:b", "Kill:a"})) << "EndIPP: Kill last to first";
  EXPECT_EQ(0u, queued()) << "EndIPP ends with a flush";
  EXPECT_EQ(8, a->object->value);
  FreeIPP(std::exchange(pane, nullptr));
  EXPECT_EQ(Take(), (Strings{"Kill:system", "Destroy:a", "Destroy:b", "Destroy:c"}));
  EXPECT_EQ(nullptr, GetCurrentIPP(nullptr)) << "FreeIPP leaves no current system";
}

TEST_F(LifecycleTest, ResumeFlushesAndAppliesStatusBeforeItemResumeHooksAlertsNeedTheWindow) {
  SInt16 file = toolbox::host::CreateResourceFile("alerts");
  toolbox::host::AddResource(file, FOUR_CHAR_CODE("STR#"), -8179, "",
                             toolbox::host::StringListResourceData({"first", "second"}));
  MakePane({1, 2});
  pane->ErrorAlert(2);
  EXPECT_TRUE(toolbox::host::JournalOf("alert").empty()) << "no window, no alert";
  Take();
  pane->on["Resume"] = [this] { pane->Item(1)->PresentAs(1), pane->Item(2)->PresentAs(2); };
  ResumeIPP(pane, 0, FakeWindow());
  EXPECT_EQ(Take(), (Strings{"Resume:system", "SetValue:a", "SetValue:b", "SetStatus:a",
                             "SetStatus:b", "Resume:a", "Resume:b"}))
      << "presentations made by the system's Resume get values, then status, before item hooks";

  pane->on.clear();
  pane->Item(1)->presentAs = 1;
  SuspendIPP(pane);
  EXPECT_EQ(nullptr, pane->Item(2)->presentation) << "SuspendIPP destroys every presentation";
  Take();
  ResumeIPP(pane, 0, FakeWindow());
  EXPECT_EQ(Take(), (Strings{"Resume:system", "Resume:a", "Resume:b", "SetValue:a", "SelectString:a"}))
      << "a presentation made by an item's Resume hook is filled by the closing flush, "
         "then the focus (item 1 after a suspend) is selected";
  EXPECT_EQ(1, pane->numberField) << "the selected focus becomes the pending number field";

  pane->Item(1)->ErrorAlert(2);  // the library's string 2 in a stop alert of the library's id
  Strings alerts = toolbox::host::JournalOf("alert");
  ASSERT_EQ(1u, alerts.size());
  EXPECT_EQ(0u, alerts[0].rfind("stop -8179", 0)) << alerts[0];
  EXPECT_EQ("second", toolbox::host::ParamTexts().at(0));
  toolbox::host::ResetResources();  // releases the string list GetIndString left loaded
}

TEST_F(LifecycleTest, SuspendUnbindsAndRecordsFocusResumeRebindsRestoresFocusAndNarrowsTheBase) {
  MakePane({7, 7, 0});
  TestItem *a = pane->Item(1), *b = pane->Item(2);
  ASSERT_EQ(a->object, b->object) << "items with one key share one registry object";
  EXPECT_EQ(b, a->object->item) << "the item constructed last is bound";
  a->object->item = a;  // a plug-in rebinding by hand; ResumeIPP must restore the order
  b->presentAs = 4;
  ResumeIPP(pane, 10, FakeWindow());
  SuspendIPP(pane);
  EXPECT_EQ(nullptr, a->object->item) << "SuspendIPP unbinds every object";
  EXPECT_EQ(nullptr, pane->GetDialog());
  EXPECT_EQ((Numbers{1, 32767}), (Numbers{pane->focusNumber, pane->selEnd}))
      << "suspending a shown pane focuses item 1, whole text";
  SInt32 value = 42;
  SetRegistry(7, 3, &value);
  EXPECT_EQ(42, a->object->value) << "a write while hidden stores the value";

  b->SelectString();  // no presentation: recorded in the system as its item
  ResumeIPP(pane, 10, FakeWindow());
  EXPECT_EQ(b, a->object->item) << "ResumeIPP binds the last item with the key";
  EXPECT_EQ(pane->Item(3), pane->Item(3)->object->item);
  EXPECT_EQ(14, pane->focusNumber) << "the recorded item's relative 4 + base 10";
  EXPECT_EQ(nullptr, pane->focusItem);
  EXPECT_TRUE(CallsOf("SelectString").empty()) << "an item recorded is not selected";

  SuspendIPP(pane);
  a->presentAs = 1;
  pane->numberField = 0;
  Take();
  ResumeIPP(pane, 0, nullptr);
  EXPECT_TRUE(CallsOf("SelectString").empty()) << "no window: the focus is left alone";
  EXPECT_EQ(0, pane->numberField);

  for (auto [given, expected] :
       {std::pair<SInt32, SInt16>{65536 + 5, 5}, {65535, -1}, {32768, -32768}, {-65536, 0}}) {
    SCOPED_TRACE(testing::Message() << "base number " << given << " narrowed to 16 bits");
    SuspendIPP(pane);
    ResumeIPP(pane, given, nullptr);
    EXPECT_EQ(expected, pane->GetBaseNumber());
    EXPECT_EQ(expected, UISystem::GetCurrentBaseNumber());
  }
}

/// An item of the plug-in whose own constructor fails after the library's part
/// of it has joined the system's items.
struct FailingItem : TestItem {
  FailingItem() : TestItem("failing", 5) { throw std::runtime_error("item failure"); }
};

TEST_F(LifecycleTest, FailuresInPluginCodeStillReleaseEverything) {
  pane = NewPane([](TestSystem&) {
    new TestItem("a", 1), new TestItem("b", 0);
    throw std::runtime_error("plug-in failure");
  });
  ExpectFailedBuildReleased({"Destroy:a", "Destroy:b"});
  pane = NewPane([](TestSystem&) { new TestItem("a", 1), new FailingItem; });
  // The half-made item goes with its exception, the complete one with the system.
  ExpectFailedBuildReleased({"Destroy:failing", "Destroy:a"});

  MakePane({1, 0});
  pane->on["Kill"] = [] { throw std::runtime_error("plug-in failure"); };
  Take();
  EXPECT_THROW(FreeIPP(std::exchange(pane, nullptr)), std::runtime_error)
      << "the Kill hook's failure reaches the caller";
  EXPECT_EQ(Take(), (Strings{"Kill:system", "Destroy:a", "Destroy:b"}))
      << "items, arrays, registry and the system are released all the same";
  EXPECT_EQ(nullptr, GetCurrentIPP(nullptr));
}

TEST_F(LifecycleTest, CurrentSystemFollowsLifecycleCallsAndWithoutOneCallsDoNothing) {
  TestSystem* first = MakePane({1});
  TestSystem* second = MakePane({2});
  pane = first;
  SInt16 hit = 0;
  using Call = std::function<void()>;
  for (const Call& call : {Call([&] { ResumeIPP(first, 0, nullptr); }), Call([&] { ActionIPP(first, &hit); }),
                           Call([&] { ThreadIPP(first, &hit); }), Call([&] { SuspendIPP(first); }),
                           Call([&] { EndIPP(first); }), Call([&] { StartIPP(first); })}) {
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
  EXPECT_EQ((Numbers{1, 1, 0, 0}), (Numbers{first->updates->GetCount(), first->cancelFlag,
                                            second->updates->GetCount(), second->cancelFlag}))
      << "queued and cancelled in the first pane, not in the second";
  FreeIPP(second);
  EXPECT_EQ(nullptr, GetCurrentIPP(nullptr));

  EXPECT_EQ(nullptr, NewIPP([]() -> void* { return nullptr; })) << "the factory made nothing";
  EXPECT_EQ(nullptr, NewIPP(nullptr));
  EXPECT_EQ(nullptr, GetCurrentIPP(nullptr)) << "no system may become current";
  SInt32 value = 5;
  SetRegistry(1, 3, &value), GetRegistry(1, &value);
  EXPECT_EQ(5, value) << "no registry to write or read";
  FreeIPP(nullptr), StartIPP(nullptr), ResumeIPP(nullptr, 0, nullptr);
}

}  // namespace
