// Allocation failures injected into every allocation of building, flushing, queuing and linking.
#include <functional>

#include "ExceptionCode.h"
#include "FaultSweep.h"
#include "TestPane.h"

namespace {

using namespace testpane;
using testing_support::FaultRun;
using testing_support::SweepAllocationFailures;
/// Every sweep runs in a fresh call log and must leave no block behind.
using InterpreterFaults = PaneTest;

/// Items a and b share key 1, c has a private object; a influences b and c,
/// and c depends on a, so a's dependents are b, c, c.
void BuildLinkedPane(TestSystem& system) {
  new TestItem("a", 1), new TestItem("b", 1), new TestItem("c", 0);
  system.Item(1)->on["Influence"] = [&system] {
    system.Item(1)->AppendInfluence(system.Item(2));
    system.Item(1)->AppendInfluence(system.Item(3));
  };
  system.Item(3)->on["Dependency"] = [&system] { system.Item(3)->AppendDependency(system.Item(1)); };
}

TEST_F(InterpreterFaults, NewIPPIsBuiltWholeOrReleasedWhole) {
  EXPECT_GE(SweepAllocationFailures([](FaultRun& run) {
    NextBuild() = BuildLinkedPane;
    run.Arm();
    void* sys = NewIPP(&Factory);
    run.Disarm();
    auto* system = static_cast<TestSystem*>(static_cast<UISystem*>(sys));
    EXPECT_TRUE(run.Fired() || (system != nullptr && system->registry != nullptr))
        << "only a failure gives no system (a failed factory) or a released one";
    if (system != nullptr && system->registry == nullptr) {
      EXPECT_TRUE(system->items == nullptr && system->updates == nullptr && GetCurrentIPP(nullptr) == nullptr)
          << "a failed build releases its arrays and leaves no current system";
    } else if (system != nullptr) {
      EXPECT_EQ((Numbers{3, 1}), (Numbers{system->items->GetCount(), system->registry->objects->GetCount()}))
          << "a complete build has every item, and one object for the shared key";
      ASSERT_NE(nullptr, system->Item(1)->dependents);
      EXPECT_EQ(3u, system->Item(1)->dependents->GetCount());
    }
    Take();
    FreeIPP(sys);
    EXPECT_EQ(nullptr, GetCurrentIPP(nullptr));
  }), 10) << "the build allocates at least ten blocks";
}

/// Fails each allocation of `op` in turn on a fresh pane of three items with
/// private objects, presented as 1, 2, 3 once resumed (started and shown first
/// when `shown`), after `prepare`. `op` may fail only with an allocation error
/// ('nilP' for objects, the memory error for array growth); `check` judges the
/// pane and the error code before the pane is freed. Answers the failures made.
int SweepPane(bool shown, const std::function<void(TestSystem*)>& prepare, const std::function<void(TestSystem*)>& op,
              const std::function<void(TestSystem*, SInt32, const FaultRun&)>& check) {
  return SweepAllocationFailures([&](FaultRun& run) {
    TestSystem* pane = NewPane([](TestSystem&) {
      for (const char* name : {"a", "b", "c"}) new TestItem(name, 0);
    });
    for (SInt16 i = 1; i <= 3; ++i) pane->Item(i)->presentAs = i;
    if (shown) StartIPP(pane), ResumeIPP(pane, 0, FakeWindow());
    prepare(pane);
    Take();
    run.Arm();
    SInt32 error = CodeOf([&] { op(pane); });
    run.Disarm();
    EXPECT_TRUE(error == 0 || error == kNilPointerErr || error == memFullErr) << error;
    check(pane, error, run);
    FreeIPP(pane);
  });
}

TEST_F(InterpreterFaults, UpdateIPPRefreshesQueueThenFailsWithNilP) {
  SInt16 hit = 0;
  auto queueTwo = [](TestSystem* pane) { pane->Item(1)->Assign(5), pane->Item(2)->Assign(6); };
  EXPECT_GE(SweepPane(true, queueTwo, [&](TestSystem* pane) { ThreadIPP(pane, &hit); },
                      [&](TestSystem* pane, SInt32 error, const FaultRun& run) {
    EXPECT_EQ(run.Fired() ? kNilPointerErr : 0, error) << "the fresh queue is the flush's only allocation";
    EXPECT_EQ((Strings{"SetValue:a", "SetValue:b"}), Take())
        << "queued items are refreshed before the queue is replaced";
    ASSERT_NE(nullptr, pane->updates);
    EXPECT_EQ(0u, pane->updates->GetCount()) << "the queue is left empty either way";
    pane->Item(3)->Assign(7);
    ThreadIPP(pane, &hit);
    EXPECT_EQ((Strings{"SetValue:c"}), CallsOf("SetValue")) << "the queue still works";
  }), 1);
}

TEST_F(InterpreterFaults, QueuingAnUpdateFailsWithoutDamage) {
  EXPECT_GE(SweepPane(true, [](TestSystem*) {},
                      [](TestSystem* pane) { for (SInt32 i = 1; i <= 3; ++i) pane->Item(i)->Assign(5 + i); },
                      [](TestSystem* pane, SInt32 error, const FaultRun&) {
    UInt32 queued = pane->updates->GetCount();
    EXPECT_TRUE(error != 0 ? queued < 3 : queued == 3) << queued << " items queued";
    SInt16 hit = 0;
    ThreadIPP(pane, &hit);
    EXPECT_EQ(queued, CallsOf("SetValue").size());
  }), 1);
}

TEST_F(InterpreterFaults, DependentsListsFailWithoutLeaks) {
  EXPECT_GE(SweepPane(false, [](TestSystem*) {},
                      [](TestSystem* pane) {
    pane->Item(1)->AppendInfluence(pane->Item(2));
    pane->Item(1)->AppendInfluence(pane->Item(3));
    pane->Item(3)->AppendDependency(pane->Item(1));
  }, [](TestSystem* pane, SInt32 error, const FaultRun&) {
    TestItem* a = pane->Item(1);
    UInt32 linked = a->dependents != nullptr ? a->dependents->GetCount() : 0;
    EXPECT_EQ(error == 0 ? 3u : linked, linked) << "b, c and c again: duplicates are kept";
    a->UpdateToDepend();
    EXPECT_EQ(linked, CallsOf("ChangedOther").size()) << "each entry notified once";
  }), 3);
}

TEST_F(InterpreterFaults, FailedResumeLeavesPaneThatFreeIPPReleases) {
  EXPECT_GE(SweepPane(false, [](TestSystem*) {}, [](TestSystem* pane) { ResumeIPP(pane, 0, FakeWindow()); },
                      [](TestSystem*, SInt32, const FaultRun&) {}), 3);
}

}  // namespace
