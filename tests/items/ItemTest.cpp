// Items and the emulated presentation: menu masks, look flags, focus, forwarding, factories,
// value writes, dependents and shared objects.
#include <cstring>
#include <tuple>
#include <typeinfo>

#include "tests/interpreter/TestPane.h"

namespace {

using namespace testpane;
using Strings = std::vector<std::string>;
using List = std::vector<SInt16>;

/// The look fields of a registry object, compared as one.
auto Look(const UIObject& r) {
  return std::make_tuple(r.value, r.min, r.max, r.menuMask, r.visible, r.active, r.emptyText);
}

/// A stand-in presentation that also notes the level picture it is asked for.
class LevelPresentation : public TestPresentation {
 public:
  using TestPresentation::TestPresentation;
  void SetLevelPicture(SInt16 level) override { Note("SetLevelPicture " + std::to_string(level)); }
};

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
  /// The count and entries GetRange writes.
  List Range(UIItem* item, SInt32 from, SInt32 to) {
    List list(70, -9);
    item->GetRange(from, to, list.data());
    list.resize(1 + list[0]);
    return list;
  }
};

TEST_F(ItemTest, MenuMaskHoldsSixtyFourEntriesEmulated) {
  const std::pair<SInt32, UInt64> masks[] = {
      {-1, ~UInt64(0)}, {SInt32(0x80000000), 0xFFFFFFFF80000000ull}, {0x7FFFFFFF, 0x7FFFFFFF}};
  for (auto [mask, expected] : masks) {
    A()->MenuAdjust(mask);
    EXPECT_EQ(expected, R().menuMask) << "a 32-bit mask is sign-extended: " << mask;
  }
  A()->MenuAdjust64(SInt64(0x8000000000000001ull));
  EXPECT_EQ(0x8000000000000001ull, R().menuMask) << "the 64-bit form is taken as it is";
  A()->SetRange(-3, 3);
  EXPECT_TRUE(R().min == -3 && R().max == 3) << "no range check";
  EXPECT_EQ(~UInt64(0), R().menuMask) << "SetRange re-enables every entry";

  for (SInt16 entry : {1, 3, 32, 33, 64}) {
    A()->EnDisableItem(entry, 0);
    EXPECT_EQ(~(1ull << (entry - 1)), R().menuMask) << "entry k is bit k - 1: " << entry;
    EXPECT_TRUE(!A()->IsEnableItem(entry) && A()->IsEnableItem(entry == 1 ? 2 : 1)) << entry;
    A()->EnDisableItem(entry, 1);
    EXPECT_EQ(~UInt64(0), R().menuMask);
  }
  A()->EnDisableItem(65, 0);
  A()->EnDisableItem(0, 0);
  A()->ShowHideMenuItem(3, 0, 0);
  EXPECT_EQ(~UInt64(0), R().menuMask) << "entries outside 1..64 ignored; hiding needs alsoEnable";
  A()->ShowHideMenuItem(3, 0, 1);
  EXPECT_EQ(~(1ull << 2), R().menuMask);
  EXPECT_EQ((List{4, 1, 2, 4, 5}), Range(A(), 1, 5)) << "GetRange lists enabled entries";
  EXPECT_EQ((List{0}), Range(A(), 6, 5)) << "from above to: empty";
  A()->ShowHideMenuItem(3, 1, 1);
  EXPECT_EQ(~UInt64(0), R().menuMask);
  A()->MenuAdjust64(SInt64(1ull << 63 | 1ull << 39));
  EXPECT_EQ((List{2, 40, 64}), Range(A(), 30, 64)) << "bits above 31";
  EXPECT_EQ((List{1, 64}), Range(A(), 64, 200)) << "nothing beyond entry 64";
}

TEST_F(ItemTest, WithoutPresentationLookAndFocusLiveInTheObjectAndSystem) {
  for (SInt16 hilite : {255, 0, 254, -1, 255}) {
    A()->Hilite(hilite);
    EXPECT_EQ(hilite == 255 ? 0 : 1, R().active) << "only hilite 255 makes inactive: " << hilite;
  }
  EXPECT_EQ(0, A()->EmptyString());
  A()->ClearString();
  A()->Show(0);
  EXPECT_TRUE(R().emptyText == 1 && A()->EmptyString() == 1 && R().visible == 0);
  MonxInfo info{1, 2, 200, 3, 4, 5, 6, -7, 1};
  A()->SetMONXPreviewParam(info);
  EXPECT_EQ(0, std::memcmp(&info, &R().monxParams, sizeof info));
  EXPECT_EQ(1, A()->CompareItemNo(0)) << "no presentation: no item number matches";
  EXPECT_TRUE(A()->GetItemNo() == 0 && A()->IsNumberField() == 0 && A()->CheckNumberField() == 0);
  A()->EventCancel();
  A()->SetError(128);
  EXPECT_TRUE(pane->cancelFlag == 0 && pane->errorAlert == 0) << "requests reach no system";
  SetCurrentIPP(nullptr);
  A()->SelectString();
  EXPECT_EQ(nullptr, pane->focusItem) << "no current system: no focus recorded";
}

TEST_F(ItemTest, APresentedItemHandsItsRequestsToThePresentation) {
  // The presentation stands for item b: what it does shows on b's object, never on a's.
  const UIObject& b = *pane->Item(2)->object;
  A()->AdoptPresentation(new LevelPresentation(pane->Item(2), 4));
  const auto look = Look(R());
  A()->MenuAdjust(SInt32(0x80000005));
  A()->EnDisableItem(3, 0);
  A()->ShowHideMenuItem(1, 0, 1);
  A()->Show(0);
  A()->ClearString();
  EXPECT_EQ(0xFFFFFFFF80000000ull, b.menuMask) << "sign-extended, entries 1 and 3 then cleared";
  EXPECT_EQ((List{3, 32, 33, 34}), Range(A(), 30, 34));
  EXPECT_TRUE(!A()->IsEnableItem(31) && A()->IsEnableItem(32) && A()->EmptyString() && !b.visible);
  A()->SetLevelPicture(2);
  EXPECT_EQ((Strings{"SetLevelPicture 2"}), CallsOf("SetLevelPicture"));
  EXPECT_TRUE(A()->CompareItemNo(4) == 0 && A()->CompareItemNo(3) == -1 &&
              A()->CompareItemNo(5) == 1) << "the presentation's number: 0 same, -1 above, 1 below";
  EXPECT_EQ(4, A()->GetItemNo());
  EXPECT_EQ(look, Look(R())) << "a's own object is left alone";
  EXPECT_EQ(0, UIEmulate::emulate.IsEnableItem(nullptr, 1)) << "no item: no entry enabled";
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
  A()->MenuAdjust(5);
  A()->EnDisableItem(1, 0);
  pane->focusNumber = 5;
  A()->SelectString();
  EXPECT_TRUE(pane->focusItem == A() && pane->focusNumber == 0 && pane->selStart == 0 &&
              pane->selEnd == 32767) << "the whole text of the item gets the focus";
  A()->PresentAs(0);
  EXPECT_EQ(nullptr, A()->presentation) << "item number 0 removes the presentation";
  EXPECT_TRUE(R().active == 0 && R().menuMask == 4) << "the emulation kept the look in the object";

  ResumeIPP(pane, 0, FakeWindow());
  A()->PresentAs(1);
  ASSERT_NE(nullptr, PresentationOf(A()));
  EXPECT_EQ(1u, pane->updates->GetCount()) << "the new presentation asks for a refresh";
  A()->EventCancel();
  A()->SetError(128);
  EXPECT_TRUE(pane->cancelFlag == 1 && pane->errorAlert == 128) << "requests reach the system";
  SuspendIPP(pane);
}

TEST_F(ItemTest, AssignHasNoRangeCheckAndAppendWraps) {
  A()->Assign(500);
  EXPECT_EQ(500, R().value) << "no range check";
  EXPECT_EQ(0u, pane->updates->GetCount()) << "no presentation: nothing queued";
  A()->Assign(0x7FFFFFFF);
  A()->Append(1, 0);
  EXPECT_EQ(SInt32(-0x7FFFFFFF - 1), R().value) << "Append adds without clamping or trap";
  SetCurrentIPP(nullptr);
  A()->AdoptPresentation(new TestPresentation(A(), 1));
  EXPECT_EQ((Strings{"SetValue:a"}), Calls()) << "no system to queue in: refreshed at once";
}

TEST_F(ItemTest, DependentsAddedDuringNotificationAreNotifiedInSameWalk) {
  TestItem* b = pane->Item(2);
  b->AppendDependency(A());
  bool linked = false;
  b->on["ChangedOther"] = [&] {
    if (!linked) A()->AppendInfluence(pane->Item(3));
    linked = true;
  };
  A()->UpdateToDepend();
  EXPECT_EQ((Strings{"ChangedOther:b", "ChangedOther:c"}), Calls());
}

TEST_F(ItemTest, SameKeySharesTheObjectWhichOnlyItsBoundItemUnbinds) {
  SInt32 value = 9;
  SetRegistry(1, 3, &value);
  TestItem* d = new TestItem("d", 1, -5, 5);
  EXPECT_EQ(A()->object, d->object);
  EXPECT_EQ(d, R().item) << "the later item takes the object";
  EXPECT_TRUE(R().value == 9 && R().min == -5 && R().max == 5) << "value kept, range its own";
  EXPECT_EQ(4u, pane->items->GetCount());
  pane->AppendItem(A());
  EXPECT_EQ(4u, pane->items->GetCount()) << "AppendItem ignores items already there";
  EXPECT_EQ(A(), pane->Item(1));
  EXPECT_EQ(nullptr, pane->FindObject(0)) << "a key-0 object is in no registry";

  TestItem* a = A();
  UIObject* shared = d->object;
  pane->RemoveItem(a);
  delete a;
  EXPECT_EQ(d, shared->item) << "only the bound item unbinds the object";
  pane->RemoveItem(d);
  delete d;
  EXPECT_EQ(nullptr, shared->item);
  EXPECT_EQ(shared, pane->FindObject(1));
}

}  // namespace
