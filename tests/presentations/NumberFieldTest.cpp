// Tests of the number field and its key filter, typed and pasted through the
// host face into the layout's edit-text control: the key rules by field kind,
// pastes, the range alert with its correction, blank fields, Append stepping,
// and allocation failures while a field is made, destroyed or pasted into.
#include <cstdlib>
#include <string>
#include <tuple>

#include "PaneFixture.h"

namespace {

using namespace panetest;
namespace host = toolbox::host;
using Strings = std::vector<std::string>;

constexpr SInt32 kKind1 = 0, kKind2 = kNumberAllowLeadingZero,
                 kKind3 = kNumberAllowLeadingZero | kNumberAllowMinus;
/// A registry value no row types: it stays when the field's item gets no hit.
constexpr SInt32 kUntouched = 555;

enum Outcome { kAccept, kBeep, kPass };

/// A key typed into a field with that text and selection, and what must
/// follow; command-V pastes `scrap`.
struct KeyCase {
  SInt32 flags; const char* before; SInt16 start, end; char key;
  Outcome outcome; const char* after; SInt16 caret;
  std::string scrap = ""; EventModifiers modifiers = 0; SInt16 keyCode = 0;
};

class NumberFieldTest : public PaneTest {
 protected:
  /// Shows the pane with the edit text bound as a number field of `flags`.
  void ShowField(SInt32 flags, SInt32 min = -1000, SInt32 max = 1000) {
    Show({ItemPlan{kEditText, min, max}});
    Item(kEditText).SetNumber(kEditText, 1, flags, 0, nullptr, kSignature);
    Hit(0);  // flushes the update queue
  }
  /// The field holds `text` with that selection, its value is kUntouched.
  void Prepare(const std::string& text, SInt16 start, SInt16 end) {
    SetControlData(Control(kEditText), 0, kControlEditTextTextTag, Size(text.size()), text.data());
    ControlEditTextSelectionRec sel{start, end};
    SetControlData(Control(kEditText), 0, kControlEditTextSelectionTag, sizeof(sel), &sel);
    R(kEditText).value = kUntouched;
    Pane().numberField = 0;
    host::ClearJournal();
  }
  /// Types the row's key and checks beep, text, caret and registry value: an
  /// accepted key ran the item's hit (the value is the text's), others did not.
  void Run(const KeyCase& c) {
    Field().flags = c.flags;
    Prepare(c.before, c.start, c.end);
    host::SetScrapText(c.scrap);
    EXPECT_EQ(host::TypeKey(window, c.key, c.keyCode, c.modifiers), 0);
    ControlEditTextSelectionRec sel{-1, -1};
    GetControlData(Control(kEditText), 0, kControlEditTextSelectionTag, sizeof(sel), &sel, nullptr);
    EXPECT_EQ(std::tuple(host::JournalOf("beep").size(), host::ControlText(Control(kEditText)), sel.selStart,
                         sel.selEnd, R(kEditText).value),
              std::tuple(c.outcome == kBeep ? 1u : 0u, std::string(c.after), c.caret, c.caret,
                         c.outcome == kAccept ? std::atoi(c.after) : kUntouched))
        << "beeps, text, selection start and end, registry value";
  }
  UINumber& Field() { return *dynamic_cast<UINumber*>(Item(kEditText).presentation); }
};

TEST_F(NumberFieldTest, KeysAndPastesFollowTheRulesOfTheFieldKind) {
  const std::string ones(18, '1');
  const KeyCase cases[] = {
      {kKind1, "", 0, 0, '0', kBeep, "", 0},          {kKind1, "5", 1, 1, '0', kAccept, "50", 2},
      {kKind1, "123", 1, 2, '9', kAccept, "193", 2},  {kKind2, "", 0, 0, '0', kAccept, "0", 1},
      {kKind3, "5", 0, 0, '-', kAccept, "-5", 1},     {kKind3, "5", 1, 1, '-', kBeep, "5", 1},
      {kKind2, "5", 0, 0, '-', kBeep, "5", 0},        {kNumberAllowMinus, "5", 0, 0, '-', kBeep, "5", 0},
      {kKind3, "12", 2, 2, '.', kBeep, "12", 2},
      {kKind1, ones.c_str(), 18, 18, '1', kBeep, ones.c_str(), 18},
      {kKind1, "123", 3, 3, 0x08, kAccept, "12", 2},  {kKind1, "123", 0, 2, 0x08, kAccept, "3", 0},
      {kKind1, "123", 0, 0, 0x08, kAccept, "123", 0}, {kKind1, "123", 3, 3, 0x1C, kPass, "123", 2},
      {kKind1, "123", 1, 1, 0x1D, kPass, "123", 2},   {kKind1, "12", 2, 2, 0x0D, kPass, "12", 2},
      {kKind1, "12", 2, 2, 0x03, kPass, "12", 2},     {kKind1, "12", 2, 2, 0x1B, kBeep, "12", 2},
      {kKind1, "12", 2, 2, 0x1B, kPass, "12", 2, "", 0, 0x3500},  // escape by its key code
      {kKind1, "12", 2, 2, 'c', kPass, "12", 2, "3", cmdKey},
      {kKind3, "", 0, 0, 'v', kAccept, "-7", 2, "-7", cmdKey},
      {kKind2, "", 0, 0, 'v', kBeep, "", 0, "-7", cmdKey},
      {kKind3, "5", 1, 1, 'v', kBeep, "5", 1, "-7", cmdKey},
      {kKind1, "", 0, 0, 'v', kBeep, "", 0, "12a", cmdKey},
      {kKind1, "", 0, 0, 'v', kBeep, "", 0, "07", cmdKey},
      {kKind1, "5", 1, 1, 'V', kAccept, "507", 3, "07", cmdKey},
      {kKind2, "", 0, 0, 'v', kBeep, "", 0, std::string(40, '1'), cmdKey},
      {kKind1, "12", 2, 2, 'v', kPass, "12", 2, "", cmdKey},
      {kKind1, "12", 2, 2, 0x09, kPass, "12", 2},  // last: the focus moves on
  };
  ShowField(kKind1);
  for (const KeyCase& c : cases) {
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    Run(c);
  }
}

TEST_F(NumberFieldTest, OutOfRangeTextIsReportedCorrectedAndCheckedAgainAtTheNextKey) {
  ShowField(kKind1, 1, 99);
  Pane().SetError(1200);
  Prepare("", 0, 0);
  host::TypeKey(window, '0');
  EXPECT_EQ(host::JournalOf("beep"), Strings{"10"}) << "'0' may not lead";
  EXPECT_EQ(Pane().numberField, kEditText) << "the rejected key left the field pending";

  SInt16 hit = host::TypeKey(window, '5');
  EXPECT_EQ(host::JournalOf("alert"), Strings{R"(stop 1200: "", "1", "1", "99")"});
  EXPECT_EQ(R(kEditText).value, 1) << "the blank field was corrected to the minimum";
  EXPECT_EQ(Hit(hit), kBase + kEditText) << "that key reached the control unfiltered";

  host::ClearJournal();
  int changes = 0;
  Item(kEditText).onSetSelf = [&] { ++changes; };
  host::TypeText(window, "00");
  EXPECT_EQ(changes, 2) << "\"50\" changed the value; \"500\" was cancelled and corrected";
  EXPECT_EQ(host::JournalOf("alert"), Strings{R"(stop 1200: "500", "99", "1", "99")"});
  EXPECT_EQ(host::JournalOf("beep"), Strings{"10"});
  EXPECT_EQ(host::ControlText(Control(kEditText)), "99") << "the correction was assigned and shown";
  EXPECT_EQ(host::ParamTexts(), Strings(4)) << "parameter texts cleared after";

  Pane().SetError(0);
  host::ClearJournal();
  host::TypeKey(window, '7');
  EXPECT_TRUE(host::JournalOf("alert").empty()) << "no alert id: corrected silently";
  EXPECT_EQ(R(kEditText).value, 99);
}

TEST_F(NumberFieldTest, AppendStepsThroughTheRangeOrTheValueListBlankFieldsAreValidOnlyWhenAllowed) {
  struct AppendCase { SInt32 step; std::vector<SInt32> list; SInt32 v; Boolean wrap; SInt32 want; };
  const std::vector<SInt32> list{1, 2, 5, 10};
  const AppendCase cases[] = {
      {5, {}, 10, 0, 55},   {5, {}, 30, 0, 100},  {5, {}, 30, 1, 0},    {5, {}, -2, 0, 0},
      {5, {}, -2, 1, 100},  {0, {}, 10, 0, 42},   {1, list, 2, 0, 5},   {1, list, 3, 0, 5},
      {1, list, 10, 0, 10}, {1, list, 10, 1, 1},  {1, list, 11, 0, 10}, {1, list, 11, 1, 1},
      {1, list, -1, 0, 1},  {1, list, -1, 1, 10}, {1, list, 0, 0, 1},
      {5, std::vector<SInt32>(32, 7), 10, 0, 55},
  };
  ShowField(kKind1, 0, 100);
  R(kEditText).visible = false;  // an update of a hidden field hides it and gives up the focus
  Item(kEditText).Update();
  ControlRef focus = Control(kEditText);
  GetKeyboardFocus(window, &focus);
  EXPECT_EQ(std::pair(IsControlVisible(Control(kEditText)), focus), std::pair(Boolean(false), ControlRef(nullptr)));
  R(kEditText).visible = true;
  Item(kEditText).Update();
  EXPECT_TRUE(IsControlVisible(Control(kEditText)));
  for (AppendCase c : cases) {
    SCOPED_TRACE("step " + std::to_string(c.step) + ", v " + std::to_string(c.v));
    Item(kEditText).SetNumber(kEditText, c.step, 0, c.list.size(), c.list.data(), kSignature);
    R(kEditText).value = 42;
    Field().Append(c.v, c.wrap);
    EXPECT_EQ(R(kEditText).value, c.want);
  }

  // Blank fields are valid only when allowed.
  R(kEditText).min = 5, R(kEditText).max = 50;
  for (SInt32 flags : {kKind1, SInt32(kNumberAllowBlank)}) {
    SCOPED_TRACE(flags ? "blank allowed" : "blank not allowed");
    Field().flags = flags;
    R(kEditText).value = 5;
    Item(kEditText).ClearString();
    EXPECT_EQ(R(kEditText).emptyText, flags == kNumberAllowBlank);
    Item(kEditText).SetStatus();
    EXPECT_EQ(host::ControlText(Control(kEditText)), flags ? "" : "5") << "SetStatus";
    Item(kEditText).ClearString();
    EXPECT_EQ(Item(kEditText).CheckNumberField(), flags ? 0 : 1);
    EXPECT_EQ(R(kEditText).value, 5) << "the minimum, kept or corrected";
    R(kEditText).value = 0;
    Item(kEditText).SetValue();
    EXPECT_EQ(host::ControlText(Control(kEditText)), flags ? "" : "0") << "0 is not shown";
  }
}

TEST_F(NumberFieldTest, FailedAllocationsLeaveNoFieldHalfMadeAndNoPasteHalfDone) {
  ShowField(kKind1);
  SweepFactory(Item(kEditText), [&] { Item(kEditText).SetNumber(kEditText, 1, kKind1, 0, nullptr, kSignature); });
  host::SetScrapText("57");
  testing_support::SweepAllocationFailures([&](testing_support::FaultRun& run) {
    Prepare("", 0, 0);
    run.Arm();
    host::Paste(window);
    run.Disarm();
    std::string text = host::ControlText(Control(kEditText));
    bool refused = text.empty() && host::JournalOf("beep").size() == 1;
    EXPECT_TRUE(text == "57" || (run.Fired() && refused)) << text;
  });
}

}  // namespace
