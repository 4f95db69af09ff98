// An item with a presentation hands every look request to that presentation, arguments intact.
#include <functional>
#include <string>

#include "tests/interpreter/TestPane.h"

namespace {

using namespace testpane;
using Strings = std::vector<std::string>;

/// A presentation that overrides every virtual operation and notes the call
/// with its arguments; it never touches the registry object.
class RecordingPresentation : public UIEmulate {
 public:
  RecordingPresentation(UIItem* inItem, SInt16 inItemNo) : UIEmulate(inItem, inItemNo) {}

  void GetValue() override { Note("GetValue"); }
  void SetValue() override { Note("SetValue"); }
  void SetStatus() override { Note("SetStatus"); }
  void Show(Boolean show) override { Note("Show " + N(show)); }
  void Hilite(SInt16 hilite) override { Note("Hilite " + N(hilite)); }
  void SetRange(SInt32 min, SInt32 max) override { Note("SetRange " + N(min) + " " + N(max)); }
  void GetRange(SInt32 from, SInt32 to, SInt16* list) override {
    Note("GetRange " + N(from) + " " + N(to));
    list[0] = 77;
  }
  void SetRefCon(SInt32 refCon) override { Note("SetRefCon " + N(refCon)); }
  void MenuAdjust(SInt64 mask) override { Note("MenuAdjust " + N(mask)); }
  void SetMONXPreviewParam(MonxInfo info) override {
    Note("SetMONXPreviewParam " + N(info.colorX) + " " + N(info.whiteShift));
  }
  void EnDisableItem(SInt16 entry, Boolean enable) override {
    Note("EnDisableItem " + N(entry) + " " + N(enable));
  }
  void ShowHideMenuItem(UInt16 entry, Boolean show, Boolean alsoEnable) override {
    Note("ShowHideMenuItem " + N(entry) + " " + N(show) + " " + N(alsoEnable));
  }
  Boolean IsEnableItem(SInt16 entry) override {
    Note("IsEnableItem " + N(entry));
    return 1;
  }
  void SetLevelPicture(SInt16 level) override { Note("SetLevelPicture " + N(level)); }
  void GetTitle(unsigned char* title) override {
    Note("GetTitle");
    title[0] = 1;
  }
  void SetTitle(unsigned char* title) override { Note("SetTitle " + N(title[0])); }
  Boolean EmptyString() override {
    Note("EmptyString");
    return 1;
  }
  void ClearString() override { Note("ClearString"); }
  void SelectString() override { Note("SelectString"); }
  Boolean CheckNumberField() override {
    Note("CheckNumberField");
    return 1;
  }
  SInt16 IsNumberField() override {
    Note("IsNumberField");
    return 3;
  }
  void Action(SInt16* ioItemHit) override { Note("Action " + N(*ioItemHit)); }
  SInt16 CompareItemNo(SInt16 n) override {
    Note("CompareItemNo " + N(n));
    return 0;
  }

 private:
  static std::string N(SInt64 number) { return std::to_string(number); }
};

class ForwardingTest : public PaneTest {
 protected:
  void SetUp() override {
    PaneTest::SetUp();
    MakePane({1});
    item = pane->Item(1);
    item->AdoptPresentation(new RecordingPresentation(item, 4));
    Calls().clear();
    before = *item->object;  // compared field by field below
  }
  /// The look fields of the registry object are as they were before the call.
  void ExpectObjectUntouched() {
    const UIObject& now = *item->object;
    EXPECT_EQ(before.value, now.value);
    EXPECT_EQ(before.min, now.min);
    EXPECT_EQ(before.max, now.max);
    EXPECT_EQ(before.menuMask, now.menuMask);
    EXPECT_EQ(before.visible, now.visible);
    EXPECT_EQ(before.active, now.active);
    EXPECT_EQ(before.emptyText, now.emptyText);
    EXPECT_EQ(nullptr, pane->focusItem);
  }

  TestItem* item = nullptr;
  struct Snapshot {
    SInt32 value, min, max;
    UInt64 menuMask;
    Boolean visible, active, emptyText;
    Snapshot& operator=(const UIObject& r) {
      value = r.value, min = r.min, max = r.max, menuMask = r.menuMask;
      visible = r.visible, active = r.active, emptyText = r.emptyText;
      return *this;
    }
  } before{};
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
}

TEST_F(ForwardingTest, ResultsComeFromThePresentation) {
  SInt16 list[4] = {};
  item->GetRange(1, 2, list);
  EXPECT_EQ(77, list[0]);
  EXPECT_EQ(1, item->IsEnableItem(64));
  EXPECT_EQ(1, item->EmptyString());
  EXPECT_EQ(1, item->CheckNumberField());
  EXPECT_EQ(3, item->IsNumberField());
  EXPECT_EQ(0, item->CompareItemNo(8)) << "the presentation decides, not the item number";
  EXPECT_EQ(4, item->GetItemNo());
  unsigned char title[4] = {3, 'a', 'b', 'c'};
  item->GetTitle(title);
  EXPECT_EQ(1, title[0]);
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
  EXPECT_EQ(0, emulated.IsEnableItem(1));
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
