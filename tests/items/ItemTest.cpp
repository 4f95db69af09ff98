// Items and the emulated presentation: menu masks, look flags, focus, factories, dependents.
#include <cstring>
#include <typeinfo>

#include "tests/interpreter/TestPane.h"

namespace {

using namespace testpane;
using Strings = std::vector<std::string>;

/// A built pane with items a (key 1), b (key 2) and c (key 0); not shown.
class ItemTest : public PaneTest {
 protected:
  void SetUp() override {
    PaneTest::SetUp();
    MakePane({1, 2, 0});
    Calls().clear();
  }
  TestItem* A() { return pane->Item(1); }
  UIObject& R() { return *A()->object; }
  std::vector<SInt16> Range(UIItem* item, SInt32 from, SInt32 to) {
    std::vector<SInt16> list(70, -9);
    item->GetRange(from, to, list.data());
    list.resize(1 + list[0]);
    return list;
  }
};

TEST_F(ItemTest, MenuAdjustSignExtendsThirtyTwoBitMask) {
  struct Row {
    SInt32 mask;
    UInt64 expected;
  };
  for (Row row : {Row{-1, ~UInt64(0)}, Row{0, 0}, Row{SInt32(0x80000000), 0xFFFFFFFF80000000ull},
                  Row{0x7FFFFFFF, 0x7FFFFFFFull}, Row{5, 5}}) {
    SCOPED_TRACE(row.mask);
    A()->MenuAdjust(row.mask);
    EXPECT_EQ(row.expected, R().menuMask);
  }
  A()->MenuAdjust64(SInt64(0x8000000000000001ull));
  EXPECT_EQ(0x8000000000000001ull, R().menuMask) << "the 64-bit form is taken as it is";
}

TEST_F(ItemTest, SingleEntryOperationsTouchOneBitOfSixtyFour) {
  struct Row {
    SInt16 entry;
    UInt64 cleared;
  };
  for (Row row : {Row{1, 1ull << 0}, Row{3, 1ull << 2}, Row{32, 1ull << 31}, Row{33, 1ull << 32},
                  Row{40, 1ull << 39}, Row{64, 1ull << 63}}) {
    SCOPED_TRACE(row.entry);
    A()->SetRange(0, 100);
    A()->EnDisableItem(row.entry, 0);
    EXPECT_EQ(~row.cleared, R().menuMask);
    EXPECT_EQ(0, A()->IsEnableItem(row.entry));
    EXPECT_EQ(1, A()->IsEnableItem(row.entry == 1 ? 2 : 1));
    A()->EnDisableItem(row.entry, 1);
    EXPECT_EQ(~UInt64(0), R().menuMask);
  }
  A()->EnDisableItem(65, 0);
  A()->EnDisableItem(0, 0);
  EXPECT_EQ(~UInt64(0), R().menuMask) << "entries outside 1..64 are ignored";
}

TEST_F(ItemTest, ShowHideMenuItemNeedsAlsoEnableAndSetRangeReenablesEveryEntry) {
  A()->ShowHideMenuItem(3, 0, 0);
  EXPECT_EQ(~UInt64(0), R().menuMask);
  A()->ShowHideMenuItem(3, 0, 1);
  EXPECT_EQ(~(1ull << 2), R().menuMask);
  A()->ShowHideMenuItem(3, 1, 1);
  EXPECT_EQ(~UInt64(0), R().menuMask);

  A()->MenuAdjust(0);
  A()->SetRange(-3, 3);
  EXPECT_EQ(-3, R().min);
  EXPECT_EQ(3, R().max);
  EXPECT_EQ(~UInt64(0), R().menuMask);
}

TEST_F(ItemTest, GetRangeListsEnabledEntries) {
  A()->EnDisableItem(3, 0);
  EXPECT_EQ((std::vector<SInt16>{4, 1, 2, 4, 5}), Range(A(), 1, 5));
  EXPECT_EQ((std::vector<SInt16>{0}), Range(A(), 6, 5)) << "from above to: empty";
  A()->MenuAdjust64(SInt64(1ull << 63 | 1ull << 39));
  EXPECT_EQ((std::vector<SInt16>{2, 40, 64}), Range(A(), 30, 64)) << "bits above 31";
  EXPECT_EQ((std::vector<SInt16>{1, 64}), Range(A(), 64, 200)) << "nothing beyond entry 64";
}

TEST_F(ItemTest, LookFlagsAndTextStateLiveInRegistryObject) {
  for (SInt16 hilite : {255, 0, 254, -1, 255}) {
    A()->Hilite(hilite);
    EXPECT_EQ(hilite == 255 ? 0 : 1, R().active) << "only hilite 255 makes inactive: " << hilite;
  }
  A()->Show(0);
  EXPECT_EQ(0, R().visible);
  EXPECT_EQ(0, A()->EmptyString());
  A()->ClearString();
  EXPECT_EQ(1, R().emptyText);
  EXPECT_EQ(1, A()->EmptyString());
  MonxInfo info{1, 2, 200, 3, 4, 5, 6, -7, 1};
  A()->SetMONXPreviewParam(info);
  EXPECT_EQ(0, std::memcmp(&info, &R().monxParams, sizeof info));
}

TEST_F(ItemTest, SelectStringWithoutPresentationRecordsFocusInCurrentSystem) {
  pane->focusNumber = 5;
  A()->SelectString();
  EXPECT_EQ(A(), pane->focusItem);
  EXPECT_EQ(0, pane->focusNumber);
  EXPECT_EQ(0, pane->selStart);
  EXPECT_EQ(32767, pane->selEnd);

  pane->focusItem = nullptr;
  SetCurrentIPP(nullptr);
  A()->SelectString();
  EXPECT_EQ(nullptr, pane->focusItem) << "no current system: nothing recorded";
}

TEST_F(ItemTest, OnlyAPresentationGivesAnItemANumber) {
  for (SInt16 n : {SInt16(0), SInt16(1)}) EXPECT_EQ(1, A()->CompareItemNo(n)) << "no presentation: " << n;
  EXPECT_EQ(0, A()->GetItemNo());
  EXPECT_EQ(nullptr, pane->GetItem(1));
  EXPECT_EQ(0, A()->IsNumberField());
  EXPECT_EQ(0, A()->CheckNumberField());

  UIEmulate presentation(A(), 5);
  EXPECT_EQ(0, presentation.CompareItemNo(5));
  EXPECT_EQ(-1, presentation.CompareItemNo(4));
  EXPECT_EQ(1, presentation.CompareItemNo(6));
}

TEST_F(ItemTest, FactoriesMakeEmulationWhileHiddenAndTheirClassWhenShown) {
  A()->PresentAs(4);
  ASSERT_NE(nullptr, A()->presentation);
  EXPECT_EQ(typeid(UIEmulate), typeid(*A()->presentation)) << "the pane is not shown";
  EXPECT_EQ(0, A()->CheckNumberField() + A()->IsNumberField()) << "an emulation is no number field";
  EXPECT_EQ(4, A()->GetItemNo());
  EXPECT_EQ(A(), pane->GetItem(4));
  EXPECT_EQ(0u, pane->updates->GetCount()) << "no update is requested";
  A()->Hilite(255);
  A()->EnDisableItem(2, 0);
  A()->SetControl();
  EXPECT_EQ(0, R().active) << "the emulation keeps the look in the registry object";
  EXPECT_EQ(0, A()->IsEnableItem(2));
  A()->PresentAs(0);
  EXPECT_EQ(nullptr, A()->presentation) << "item number 0 removes the presentation";

  ResumeIPP(pane, 0, FakeWindow());
  A()->PresentAs(2);
  ASSERT_NE(nullptr, PresentationOf(A()));
  EXPECT_EQ(1u, pane->updates->GetCount()) << "the new presentation asks for a refresh";
  SuspendIPP(pane);
}

TEST_F(ItemTest, AssignQueuesOnlyChangedValuesOfPresentedItems) {
  A()->Assign(50);
  EXPECT_EQ(50, R().value);
  EXPECT_EQ(0u, pane->updates->GetCount()) << "no presentation: nothing queued";

  ResumeIPP(pane, 0, FakeWindow());
  A()->PresentAs(1);
  SInt16 hit = 0;
  ThreadIPP(pane, &hit);
  pane->registry->changedKey = 1;
  EXPECT_EQ(A(), A()->Assign(50)) << "Assign returns the item";
  EXPECT_EQ(0u, pane->registry->changedKey) << "an unchanged write clears changedKey";
  EXPECT_EQ(0u, pane->updates->GetCount());
  A()->Assign(500);
  EXPECT_EQ(500, R().value) << "no range check";
  EXPECT_EQ(1u, pane->updates->GetCount());
  SuspendIPP(pane);
}

TEST_F(ItemTest, PresentationMadeWithoutSystemRefreshesAtOnce) {
  SetCurrentIPP(nullptr);
  auto* presentation = new TestPresentation(A(), 1);
  A()->AdoptPresentation(presentation);
  EXPECT_EQ((Strings{"SetValue:a"}), Calls()) << "no system to queue in: refreshed at once";
  EXPECT_EQ(0u, pane->updates->GetCount());
}

TEST_F(ItemTest, RequestsWithoutPresentationReachNoSystem) {
  A()->EventCancel();
  A()->SetError(128);
  EXPECT_EQ(0, pane->cancelFlag);
  EXPECT_EQ(0, pane->errorAlert);
  A()->PresentAs(1);
  A()->EventCancel();
  A()->SetError(128);
  EXPECT_EQ(1, pane->cancelFlag);
  EXPECT_EQ(128, pane->errorAlert);
}

TEST_F(ItemTest, DependentsAddedDuringNotificationAreNotifiedInSameWalk) {
  TestItem* b = pane->Item(2);
  TestItem* c = pane->Item(3);
  b->AppendDependency(A());
  bool linked = false;
  b->on["ChangedOther"] = [&] {
    if (!linked) A()->AppendInfluence(c);
    linked = true;
  };
  A()->UpdateToDepend();
  EXPECT_EQ((Strings{"ChangedOther:b", "ChangedOther:c"}), Calls());
}

TEST_F(ItemTest, SameKeySharesObjectAndLaterItemTakesItsOwnRange) {
  SInt32 value = 9;
  SetRegistry(1, 3, &value);
  TestItem* d = new TestItem("d", 1, -5, 5);
  EXPECT_EQ(A()->object, d->object);
  EXPECT_EQ(d, R().item);
  EXPECT_EQ(9, R().value) << "the value is kept";
  EXPECT_EQ(-5, R().min);
  EXPECT_EQ(5, R().max);
  EXPECT_EQ(4u, pane->items->GetCount());
  pane->AppendItem(A());
  EXPECT_EQ(4u, pane->items->GetCount()) << "AppendItem ignores items already there";
  EXPECT_EQ(A(), pane->Item(1));
}

TEST_F(ItemTest, AppendAddsTheDeltaWrappingAtThirtyTwoBits) {
  A()->Assign(10);
  A()->Append(-3, 0);
  EXPECT_EQ(7, R().value);
  A()->Assign(0x7FFFFFFF);
  A()->Append(1, 0);
  EXPECT_EQ(SInt32(-0x7FFFFFFF - 1), R().value) << "no clamping, no trap";
  A()->Append(-1, 0);
  EXPECT_EQ(0x7FFFFFFF, R().value);
}

TEST_F(ItemTest, PrivateObjectIsFreedWithItemSharedOneUnboundAndKept) {
  size_t before = toolbox::host::LivePointers();
  auto* loose = new TestItem("loose", 0, 0, 1);
  EXPECT_EQ(nullptr, pane->FindObject(0)) << "a key-0 object is in no registry";
  EXPECT_EQ(loose, loose->object->item);
  EXPECT_EQ(before + 2, toolbox::host::LivePointers()) << "the item and its private object";
  pane->RemoveItem(loose);
  delete loose;
  EXPECT_EQ(before, toolbox::host::LivePointers());

  auto* first = new TestItem("first", 7, 0, 1);
  auto* second = new TestItem("second", 7, 0, 1);
  ASSERT_EQ(first->object, second->object);
  UIObject* shared = first->object;
  pane->RemoveItem(first);
  delete first;
  EXPECT_EQ(second, shared->item) << "only the bound item unbinds the object";
  pane->RemoveItem(second);
  delete second;
  EXPECT_EQ(nullptr, shared->item);
  EXPECT_EQ(shared, pane->FindObject(7));
}

}  // namespace
