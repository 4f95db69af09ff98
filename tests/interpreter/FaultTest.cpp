// Allocation failures injected into every allocation of building, flushing, queuing and linking.
#include <functional>

#include "ExceptionCode.h"
#include "FaultSweep.h"
#include "TestPane.h"

namespace {

using namespace testpane;
using testing_support::FaultRun;
using testing_support::SweepAllocationFailures;

/// Items a and b share key 1, c has a private object; a influences b and c,
/// and c depends on a, so a's dependents are b, c, c.
void BuildLinkedPane(TestSystem& system) {
  new TestItem("a", 1), new TestItem("b", 1), new TestItem("c", 0);
  system.Item(1)->on["Influence"] = [&system] {
    system.Item(1)->AppendInfluence(system.Item(2));
    system.Item(1)->AppendInfluence(system.Item(3));
  };
  system.Item(3)->on["Dependency"] = [&system] {
    system.Item(3)->AppendDependency(system.Item(1));
  };
}

/// The exception codes an allocation failure may produce: the interpreter's
/// 'nilP' for objects, the memory error for array growth.
bool IsAllocationFailure(SInt32 code) { return code == kNilPointerErr || code == memFullErr; }

/// Runs `op` with the failure armed; the code of the LException it threw, or 0.
SInt32 ErrorOfArmed(FaultRun& run, const std::function<void()>& op) {
  run.Arm();
  SInt32 code = CodeOf(op);
  run.Disarm();
  return code;
}

TEST(InterpreterFaults, NewIPPIsBuiltWholeOrReleasedWhole) {
  Calls().clear();
  EXPECT_GE(SweepAllocationFailures([](FaultRun& run) {
    NextBuild() = BuildLinkedPane;
    run.Arm();
    void* sys = NewIPP(&Factory);
    run.Disarm();
    auto* system = static_cast<TestSystem*>(static_cast<UISystem*>(sys));
    if (system == nullptr) {
      EXPECT_TRUE(run.Fired()) << "only a failed factory gives no system";
    } else if (system->registry == nullptr) {
      EXPECT_TRUE(run.Fired());
      EXPECT_TRUE(system->items == nullptr && system->updates == nullptr)
          << "a failed build releases its arrays";
      EXPECT_EQ(nullptr, GetCurrentIPP(nullptr));
    } else {
      EXPECT_EQ((Numbers{3, 1}),
                (Numbers{system->items->GetCount(), system->registry->objects->GetCount()}))
          << "a complete build has every item, and one object for the shared key";
      ASSERT_NE(nullptr, system->Item(1)->dependents);
      EXPECT_EQ(3u, system->Item(1)->dependents->GetCount());
    }
    Take();
    FreeIPP(sys);
    EXPECT_EQ(nullptr, GetCurrentIPP(nullptr));
  }), 10) << "the build allocates at least ten blocks";
  NextBuild() = nullptr;
}

/// A pane of three items with private objects, presented as 1, 2, 3 once
/// resumed; started and shown when `shown`.
TestSystem* PresentedPane(bool shown = false) {
  TestSystem* pane = NewPane([](TestSystem&) {
    for (const char* name : {"a", "b", "c"}) new TestItem(name, 0);
  });
  for (SInt16 i = 1; i <= 3; ++i) pane->Item(i)->presentAs = i;
  if (shown) StartIPP(pane), ResumeIPP(pane, 0, FakeWindow());
  return pane;
}

TEST(InterpreterFaults, UpdateIPPRefreshesQueueThenFailsWithNilP) {
  EXPECT_GE(SweepAllocationFailures([](FaultRun& run) {
    TestSystem* pane = PresentedPane(true);
    pane->Item(1)->Assign(5);
    pane->Item(2)->Assign(6);
    Take();
    SInt16 hit = 0;
    SInt32 error = ErrorOfArmed(run, [&] { ThreadIPP(pane, &hit); });
    EXPECT_EQ(run.Fired() ? kNilPointerErr : 0, error)
        << "the fresh queue is the flush's only allocation";
    EXPECT_EQ((Strings{"SetValue:a", "SetValue:b"}), CallsOf("SetValue"))
        << "queued items are refreshed before the queue is replaced";
    ASSERT_NE(nullptr, pane->updates);
    EXPECT_EQ(0u, pane->updates->GetCount()) << "the queue is left empty either way";

    Take();
    pane->Item(3)->Assign(7);
    ThreadIPP(pane, &hit);
    EXPECT_EQ((Strings{"SetValue:c"}), CallsOf("SetValue")) << "the queue still works";
    FreeIPP(pane);
  }), 1);
}

TEST(InterpreterFaults, QueuingAnUpdateFailsWithoutDamage) {
  EXPECT_GE(SweepAllocationFailures([](FaultRun& run) {
    TestSystem* pane = PresentedPane(true);
    SInt32 error = ErrorOfArmed(run, [&] {
      for (SInt32 i = 1; i <= 3; ++i) pane->Item(i)->Assign(5 + i);
    });
    EXPECT_TRUE(error == 0 || IsAllocationFailure(error)) << error;
    UInt32 queued = pane->updates->GetCount();
    EXPECT_TRUE(error != 0 ? queued < 3 : queued == 3) << queued << " items queued";
    Take();
    SInt16 hit = 0;
    ThreadIPP(pane, &hit);
    EXPECT_EQ(queued, CallsOf("SetValue").size());
    FreeIPP(pane);
  }), 1);
}

TEST(InterpreterFaults, DependentsListsFailWithoutLeaks) {
  EXPECT_GE(SweepAllocationFailures([](FaultRun& run) {
    TestSystem* pane = PresentedPane();
    TestItem* a = pane->Item(1);
    SInt32 error = ErrorOfArmed(run, [&] {
      a->AppendInfluence(pane->Item(2));
      a->AppendInfluence(pane->Item(3));
      pane->Item(3)->AppendDependency(a);
    });
    EXPECT_TRUE(error == 0 || IsAllocationFailure(error)) << error;
    UInt32 linked = a->dependents != nullptr ? a->dependents->GetCount() : 0;
    EXPECT_EQ(error == 0 ? 3u : linked, linked) << "b, c and c again: duplicates are kept";
    Take();
    a->UpdateToDepend();
    EXPECT_EQ(linked, CallsOf("ChangedOther").size()) << "each entry notified once";
    FreeIPP(pane);
  }), 3);
}

TEST(InterpreterFaults, FailedResumeLeavesPaneThatFreeIPPReleases) {
  EXPECT_GE(SweepAllocationFailures([](FaultRun& run) {
    TestSystem* pane = PresentedPane();
    SInt32 error = ErrorOfArmed(run, [&] { ResumeIPP(pane, 0, FakeWindow()); });
    EXPECT_TRUE(error == 0 || IsAllocationFailure(error)) << error;
    FreeIPP(pane);
  }), 3);
}

}  // namespace
