// An item with a presentation hands every look request to that presentation, arguments intact.
#include <functional>
#include <string>
#include <tuple>
#include <utility>

#include "tests/interpreter/TestPane.h"

namespace {

using namespace testpane;
using Strings = std::vector<std::string>;

/// A presentation that overrides every virtual operation and notes the call
/// with its arguments; it never touches the registry object.
class RecordingPresentation : public UIEmulate {
 public:
  RecordingPresentation(UIItem* inItem, SInt16 inItemNo) : UIEmulate(inItem, inItemNo) {}

  void GetValue() override { Rec("GetValue"); }
  void SetValue() override { Rec("SetValue"); }
  void SetStatus() override { Rec("SetStatus"); }
  void Show(Boolean show) override { Rec("Show", show); }
  void Hilite(SInt16 hilite) override { Rec("Hilite", hilite); }
  void SetRange(SInt32 min, SInt32 max) override { Rec("SetRange", min, max); }
  void GetRange(SInt32 from, SInt32 to, SInt16* list) override {
    Rec("GetRange", from, to);
    list[0] = 77;
  }
  void SetRefCon(SInt32 refCon) override { Rec("SetRefCon", refCon); }
  void MenuAdjust(SInt64 mask) override { Rec("MenuAdjust", mask); }
  void SetMONXPreviewParam(MonxInfo info) override {
    Rec("SetMONXPreviewParam", info.colorX, info.whiteShift);
  }
  void EnDisableItem(SInt16 entry, Boolean enable) override { Rec("EnDisableItem", entry, enable); }
  void ShowHideMenuItem(UInt16 entry, Boolean show, Boolean alsoEnable) override {
    Rec("ShowHideMenuItem", entry, show, alsoEnable);
  }
  Boolean IsEnableItem(SInt16 entry) override { return Rec("IsEnableItem", entry), 1; }
  void SetLevelPicture(SInt16 level) override { Rec("SetLevelPicture", level); }
  void GetTitle(unsigned char* title) override {
    Rec("GetTitle");
    title[0] = 1;
  }
  void SetTitle(unsigned char* title) override { Rec("SetTitle", title[0]); }
  Boolean EmptyString() override { return Rec("EmptyString"), 1; }
  void ClearString() override { Rec("ClearString"); }
  void SelectString() override { Rec("SelectString"); }
  Boolean CheckNumberField() override { return Rec("CheckNumberField"), 1; }
  SInt16 IsNumberField() override { return Rec("IsNumberField"), 3; }
  void Action(SInt16* ioItemHit) override { Rec("Action", *ioItemHit); }
  SInt16 CompareItemNo(SInt16 n) override { return Rec("CompareItemNo", n), 0; }

 private:
  /// Notes the operation and its arguments as decimal numbers.
  template <typename... Args>
  static void Rec(const char* operation, Args... args) {
    std::string call = operation;
    ((call += " " + std::to_string(SInt64(args))), ...);
    Note(call);
  }
};

/// The look fields of a registry object, compared as one.
auto Look(const UIObject& r) {
  return std::make_tuple(r.value, r.min, r.max, r.menuMask, r.visible, r.active, r.emptyText);
}

class ForwardingTest : public PaneTest {
 protected:
  void SetUp() override {
    PaneTest::SetUp();
    MakePane({1});
    item = pane->Item(1);
    item->AdoptPresentation(new RecordingPresentation(item, 4));
    Calls().clear();
    before = Look(*item->object);
  }
  /// The look fields of the registry object are as they were before the call.
  void ExpectObjectUntouched() {
    EXPECT_EQ(before, Look(*item->object)) << "value, min, max, mask, visible, active, empty";
    EXPECT_EQ(nullptr, pane->focusItem);
  }

  TestItem* item = nullptr;
  decltype(Look(std::declval<UIObject>())) before;
};

TEST_F(ForwardingTest, EveryLookOperationReachesThePresentationWithItsArguments) {
  struct Row {
    const char* expected;
    std::function<void(UIItem&)> call;
  };
  SInt16 list[4] = {};
  unsigned char title[4] = {3, 'a', 'b', 'c'};
  SInt16 hit = 9;
  MonxInfo info{};
  info.colorX = 33;
  info.whiteShift = -4;
  const Row rows[] = {
      {"Show 0", [](UIItem& i) { i.Show(0); }},
      {"Hilite 255", [](UIItem& i) { i.Hilite(255); }},
      {"SetRange -3 70000", [](UIItem& i) { i.SetRange(-3, 70000); }},
      {"GetRange 2 5", [&](UIItem& i) { i.GetRange(2, 5, list); }},
      {"SetRefCon 12", [](UIItem& i) { i.SetRefCon(12); }},
      {"EnDisableItem 40 0", [](UIItem& i) { i.EnDisableItem(40, 0); }},
      {"ShowHideMenuItem 7 0 1", [](UIItem& i) { i.ShowHideMenuItem(7, 0, 1); }},
      {"IsEnableItem 6", [](UIItem& i) { i.IsEnableItem(6); }},
      {"SetLevelPicture 2", [](UIItem& i) { i.SetLevelPicture(2); }},
      {"GetTitle", [&](UIItem& i) { i.GetTitle(title); }},
      {"SetTitle 1", [&](UIItem& i) { i.SetTitle(title); }},
      {"EmptyString", [](UIItem& i) { i.EmptyString(); }},
      {"ClearString", [](UIItem& i) { i.ClearString(); }},
      {"SelectString", [](UIItem& i) { i.SelectString(); }},
      {"MenuAdjust -2147483648", [](UIItem& i) { i.MenuAdjust(SInt32(0x80000000)); }},
      {"MenuAdjust 4294967296", [](UIItem& i) { i.MenuAdjust64(SInt64(1) << 32); }},
      {"SetMONXPreviewParam 33 -4", [&](UIItem& i) { i.SetMONXPreviewParam(info); }},
      {"SetValue", [](UIItem& i) { i.SetValue(); }},
      {"SetValue", [](UIItem& i) { i.Update(); }},
      {"GetValue", [](UIItem& i) { i.GetValue(); }},
      {"SetStatus", [](UIItem& i) { i.SetStatus(); }},
      {"Action 9", [&](UIItem& i) { i.Action(&hit); }},
      {"CheckNumberField", [](UIItem& i) { i.CheckNumberField(); }},
      {"IsNumberField", [](UIItem& i) { i.IsNumberField(); }},
      {"CompareItemNo 8", [](UIItem& i) { i.CompareItemNo(8); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    Calls().clear();
    row.call(*item);
    EXPECT_EQ((Strings{row.expected}), Calls()) << "forwarded once, arguments unchanged";
    ExpectObjectUntouched();
  }
  // Results come from the presentation.
  EXPECT_EQ(77, list[0]);
  EXPECT_EQ(1, title[0]);
  EXPECT_EQ(1, item->IsEnableItem(64));
  EXPECT_EQ(1, item->EmptyString());
  EXPECT_EQ(1, item->CheckNumberField());
  EXPECT_EQ(3, item->IsNumberField());
  EXPECT_EQ(0, item->CompareItemNo(8)) << "the presentation decides, not the item number";
  EXPECT_EQ(4, item->GetItemNo());
}

TEST_F(ForwardingTest, EmulatedVirtualsWorkOnThePresentationsOwnItem) {
  TestItem* other = new TestItem("other", 2, 0, 10);
  UIEmulate emulated(other, 3);
  emulated.Show(0);
  emulated.Hilite(255);
  emulated.MenuAdjust(SInt64(5));
  emulated.EnDisableItem(1, 0);
  emulated.ClearString();
  EXPECT_EQ(0, other->object->visible);
  EXPECT_EQ(0, other->object->active);
  EXPECT_EQ(4u, other->object->menuMask);
  EXPECT_EQ(1, other->object->emptyText);
  EXPECT_EQ(1, emulated.IsEnableItem(3));
  SInt16 list[4] = {};
  emulated.GetRange(1, 3, list);
  EXPECT_EQ((std::vector<SInt16>{1, 3}), std::vector<SInt16>(list, list + 2));
  emulated.SetRange(1, 2);
  EXPECT_EQ(~UInt64(0), other->object->menuMask);
  emulated.SelectString();
  EXPECT_EQ(other, pane->focusItem);
  pane->focusItem = nullptr;
  ExpectObjectUntouched();
}

}  // namespace
