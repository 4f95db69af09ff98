// Hits through ActionIPP and ThreadIPP: change test, changedKey, cancel, number fields, flushes.
#include "TestPane.h"

namespace {

using namespace testpane;

/// A shown pane of items a (key 1), b (key 2), c (key 3) and d (private object)
/// presented as 1 to 4 with base number 10; b depends on a.
class ActionTest : public PaneTest {
 protected:
  void SetUp() override {
    PaneTest::SetUp();
    pane = NewPane([](TestSystem& system) {
      new TestItem("a", 1), new TestItem("b", 2), new TestItem("c", 3), new TestItem("d", 0);
      system.Item(2)->on["Dependency"] = [&system] { system.Item(2)->AppendDependency(system.Item(1)); };
    });
    for (SInt16 i = 1; i <= 4; ++i) pane->Item(i)->presentAs = i;
    StartIPP(pane);
    ResumeIPP(pane, kBase, FakeWindow());
    Take();
  }
  TestPresentation* Control(SInt32 index) { return PresentationOf(pane->Item(index)); }
  SInt16 Hit(SInt16 absolute) { return ActionIPP(pane, &absolute), absolute; }
  SInt32 Value(SInt32 index) { return pane->Item(index)->object->value; }

  static constexpr SInt16 kBase = 10;
};

TEST_F(ActionTest, AHitReadsItsControlUnlessItsKeyWasWrittenAndOnlyAChangeRunsSetSelf) {
  const Strings read{"Action:a", "GetValue:a", "TouchSelf:a"};
  const Strings changed{"TouchSelf:a", "SetSelf:system", "SetSelf:a", "ChangedOther:b"};
  Strings readAndChanged = read;
  readAndChanged.insert(readAndChanged.end(), changed.begin() + 1, changed.end());
  // Before the hit, `key` (0: none) is written with `written` and item `index` shows `shown`.
  struct Row { const char* what; UInt32 key; SInt32 written, index, shown; Strings calls; SInt32 value; };
  const Row rows[] = {
      {"unchanged control value", 0, 0, 1, 0, read, 0},
      {"changed control value", 0, 0, 1, 5, readAndChanged, 5},
      {"write to the hit item: counts as a change, control not read", 1, 30, 1, 7, changed, 30},
      {"equal write to the bound object does not count", 1, 0, 1, 0, read, 0},
      {"write to another item: the hit control is read", 3, 30, 1, 7, readAndChanged, 7},
      {"no write pending: changedKey 0 equals the private object's key 0, so the control is not "
       "read and the hit counts as a change", 0, 0, 4, 9, {"TouchSelf:d", "SetSelf:system", "SetSelf:d"}, 0},
  };
  for (Row row : rows) {
    SCOPED_TRACE(row.what);
    pane->Item(1)->object->value = 0;
    if (row.key != 0) SetRegistry(row.key, 3, &row.written);
    EXPECT_EQ(row.written != 0 ? row.key : 0u, pane->registry->changedKey);
    Control(row.index)->controlValue = row.shown;
    Take();
    EXPECT_EQ(kBase + row.index, Hit(SInt16(kBase + row.index)));
    EXPECT_EQ(row.calls, Take());
    EXPECT_EQ((Numbers{row.value, kBase + row.index}), (Numbers{Value(row.index), pane->lastHit}));
    EXPECT_EQ(0u, pane->registry->changedKey) << "ActionIPP clears changedKey";
  }
  pane->Auto(1);
  EXPECT_EQ(Take(), Strings(changed.begin() + 1, changed.end())) << "Auto treats the item as changed";
  pane->Auto(9);
  EXPECT_TRUE(Calls().empty()) << "Auto of no item";
}

TEST_F(ActionTest, HitsNotAboveBaseNumberChangeNothingZeroClearsChangedKeyAndCancelZeroesAHitOnce) {
  for (SInt16 hit : {10, 3, -4, 0}) {
    SCOPED_TRACE(hit);
    pane->registry->changedKey = 2;
    EXPECT_EQ(hit, Hit(hit)) << "the item hit is left as it was";
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(hit == 0 ? 0u : 2u, pane->registry->changedKey) << "only hit 0 clears changedKey";
  }
  pane->Item(1)->on["TouchSelf"] = [this] { pane->Item(1)->EventCancel(); };
  EXPECT_EQ(0, Hit(11));
  EXPECT_EQ(0, pane->cancelFlag);
  pane->Item(1)->on.clear();
  EXPECT_EQ(11, Hit(11)) << "the next hit starts with the flag clear";
  pane->EventCancel();
  EXPECT_EQ(0, Hit(50)) << "cancel applies to hits on no item";
  EXPECT_EQ(0, pane->cancelFlag);
}

TEST_F(ActionTest, PendingOutOfRangeNumberFieldCancelsNextHitOnAnyItem) {
  Control(3)->numberKind = 1;
  Control(3)->outOfRange = true;
  pane->Item(3)->object->value = 500;  // typed beyond max 100
  EXPECT_EQ(1, pane->IsNumberField(3));
  EXPECT_EQ(3, pane->numberField) << "asking makes the field pending";
  pane->dialog = nullptr;
  EXPECT_EQ(0, pane->CheckNumberField(0)) << "not checked while hidden";
  EXPECT_EQ(3, pane->numberField) << "and still pending";
  pane->dialog = FakeWindow();

  pane->registry->changedKey = 7;
  Control(1)->controlValue = 5;
  EXPECT_EQ(0, Hit(11));
  EXPECT_EQ(Take(), (Strings{"Action:a", "GetValue:a", "CheckNumberField:c"}))
      << "the hit item's hooks do not run";
  EXPECT_EQ(0, pane->numberField);
  EXPECT_EQ(7u, pane->registry->changedKey) << "changedKey stays when the check cancels";
  EXPECT_EQ(1u, pane->updates->GetCount()) << "the corrected field is queued for refresh";
  EXPECT_EQ(11, Hit(11)) << "the check runs once";
  EXPECT_TRUE(CallsOf("CheckNumberField").empty());
}

TEST_F(ActionTest, FlushRefreshesItemsQueuedDuringFlushOnceEachAndForgetsDeletedOnes) {
  Control(1)->on["SetValue"] = [this] { pane->Item(3)->Assign(77); };
  pane->Item(1)->Assign(10);
  pane->Item(1)->Assign(11);  // queued twice
  pane->Item(2)->Assign(20);
  EXPECT_TRUE(CallsOf("SetValue").empty()) << "Assign only queues";
  SInt16 hit = 0;
  ThreadIPP(pane, &hit);
  EXPECT_EQ((Strings{"SetValue:a", "SetValue:b", "SetValue:c"}), CallsOf("SetValue"));
  EXPECT_EQ(77, Control(3)->controlValue);
  EXPECT_EQ(0u, pane->updates->GetCount());

  TestItem* gone = pane->Item(4);
  gone->Assign(9);
  pane->focusItem = gone;
  delete gone;  // an item that goes away leaves the queue, the items and the focus
  EXPECT_EQ((Numbers{0, 3}), (Numbers{pane->updates->GetCount(), pane->items->GetCount()}));
  EXPECT_EQ(nullptr, pane->focusItem);
  ThreadIPP(pane, &hit);
}

TEST_F(ActionTest, GetItemInfoGetShowIPPAndGetRangeIPPReportPresentedItems) {
  pane->Item(3)->SetRange(-5, 70000);
  SInt16 itemNo = 0, min = 1, max = 2;
  EXPECT_EQ(1, GetItemInfo(3, &itemNo, &min, &max));
  EXPECT_EQ((Numbers{13, -5, SInt16(70000 & 0xFFFF)}), (Numbers{itemNo, min, max}))
      << "relative 3 + base 10; the range's low 16 bits";

  new TestItem("e", 5);  // presented by nothing
  struct Row { UInt32 key; SInt16 itemNo; const char* what; };
  for (Row row : {Row{99, 0, "a key no item uses"},
                  Row{5, kBase, "an item shown by nothing: relative 0 plus the base"}}) {
    SCOPED_TRACE(row.what);
    min = 1, max = 2;
    EXPECT_EQ(0, GetItemInfo(row.key, &itemNo, &min, &max));
    EXPECT_EQ((Numbers{row.itemNo, 1, 2}), (Numbers{itemNo, min, max})) << "min and max untouched";
  }

  auto shown = [&](SInt16 itemNo) { return GetShowIPP(pane, &itemNo); };
  EXPECT_EQ(1, shown(1));
  pane->Item(1)->Hilite(255);
  EXPECT_EQ(0, shown(1)) << "shown but inactive";
  pane->Item(1)->Hilite(0), pane->Item(1)->Show(0);
  EXPECT_EQ((Numbers{0, 0, 0, 0}), (Numbers{shown(1), shown(0), shown(42), GetShowIPP(pane, nullptr)}))
      << "hidden; no item numbered 0 or 42; no item number at all";

  pane->Item(2)->EnDisableItem(2, 0);
  auto range = [&](SInt16 itemNo, bool given = true) {
    std::vector<SInt16> list(5, 9);
    GetRangeIPP(pane, given ? &itemNo : nullptr, list.data(), 1, 4);
    return list;
  };
  EXPECT_EQ((std::vector<SInt16>{3, 1, 3, 4, 9}), range(2));
  EXPECT_EQ((std::vector<SInt16>{0, 9, 9, 9, 9}), range(0)) << "item number 0: only the count is written";
  EXPECT_EQ((std::vector<SInt16>{0, 9, 9, 9, 9}), range(2, false)) << "no item number: likewise";
}

}  // namespace
