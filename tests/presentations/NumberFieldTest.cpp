// Tests of the number field and its key filter, typed and pasted through the
// host face into the layout's edit-text control: the key rules by field kind,
// pastes, the range alert with its correction, blank fields, Append stepping,
// and allocation failures while a field is made, destroyed or pasted into.
#include <string>

#include "FaultSweep.h"
#include "PaneFixture.h"

namespace {

using namespace panetest;
namespace host = toolbox::host;

constexpr SInt32 kKind1 = 0, kKind2 = kNumberAllowLeadingZero,
                 kKind3 = kNumberAllowLeadingZero | kNumberAllowMinus;
/// A registry value no key row types: it stays when the field's item gets no hit.
constexpr SInt32 kUntouched = 555;

enum Outcome { kAccept, kBeep, kPass };

class NumberFieldTest : public PaneTest {
 protected:
  /// Shows the pane with the edit text bound as a number field of `flags`.
  void ShowField(SInt32 flags, SInt32 min = -1000, SInt32 max = 1000, SInt32 step = 1,
                 SInt32 count = 0, SInt32* list = nullptr) {
    Show({ItemPlan{kEditText, min, max}});
    Item(kEditText).SetNumber(kEditText, step, flags, count, list, kSignature);
    Flush();
  }
  void Flush() {
    SInt16 none = 0;
    ThreadIPP(sys, &none);
  }
  /// Ends the pane and its window before the next ShowField.
  void Close() {
    TearDown();
    sys = nullptr;
    window = nullptr;
  }
  /// The field holds `text` with that selection and the value kUntouched.
  void Prepare(const std::string& text, SInt16 start, SInt16 end) {
    ControlRef f = Control(kEditText);
    SetControlData(f, 0, kControlEditTextTextTag, Size(text.size()), text.data());
    ControlEditTextSelectionRec sel{start, end};
    SetControlData(f, 0, kControlEditTextSelectionTag, sizeof(sel), &sel);
    R(kEditText).value = kUntouched;
    Pane().numberField = 0;
    host::ClearJournal();
  }
  /// Checks the outcome of a key or paste: beep or not, text, caret, value.
  void Expect(Outcome outcome, const std::string& after, SInt16 caret) {
    ControlRef f = Control(kEditText);
    EXPECT_EQ(host::JournalOf("beep").size(), outcome == kBeep ? 1u : 0u);
    EXPECT_EQ(host::ControlText(f), after);
    ControlEditTextSelectionRec sel{-1, -1};
    GetControlData(f, 0, kControlEditTextSelectionTag, sizeof(sel), &sel, nullptr);
    EXPECT_EQ(sel.selStart, caret);
    EXPECT_EQ(sel.selEnd, caret);
    SInt32 typed = 0;
    Str255 p;
    p[0] = UInt8(after.size());
    after.copy(reinterpret_cast<char*>(p + 1), after.size());
    StringToNum(p, &typed);
    EXPECT_EQ(R(kEditText).value, outcome == kAccept ? typed : kUntouched);
  }
  UINumber& Field() { return *dynamic_cast<UINumber*>(Item(kEditText).presentation); }
};

struct KeyCase {
  SInt32 flags;
  const char* before;
  SInt16 start, end;
  char key;
  SInt16 keyCode;
  EventModifiers modifiers;
  Outcome outcome;
  const char* after;
  SInt16 caret;
};

TEST_F(NumberFieldTest, KeysFollowTheRulesOfTheFieldKind) {
  const std::string wide(18, '1');
  const KeyCase cases[] = {
      {kKind1, "", 0, 0, '0', 0, 0, kBeep, "", 0},
      {kKind1, "5", 1, 1, '0', 0, 0, kAccept, "50", 2},
      {kKind1, "", 0, 0, '7', 0, 0, kAccept, "7", 1},
      {kKind1, "123", 1, 2, '9', 0, 0, kAccept, "193", 2},
      {kKind2, "", 0, 0, '0', 0, 0, kAccept, "0", 1},
      {kKind3, "5", 0, 0, '-', 0, 0, kAccept, "-5", 1},
      {kKind3, "5", 1, 1, '-', 0, 0, kBeep, "5", 1},
      {kKind2, "5", 0, 0, '-', 0, 0, kBeep, "5", 0},
      {kNumberAllowMinus, "5", 0, 0, '-', 0, 0, kBeep, "5", 0},
      {kKind3, "12", 2, 2, '.', 0, 0, kBeep, "12", 2},
      {kKind1, "12", 2, 2, 'a', 0, 0, kBeep, "12", 2},
      {kKind1, "123", 3, 3, 0x08, 0, 0, kAccept, "12", 2},
      {kKind1, "123", 0, 2, 0x08, 0, 0, kAccept, "3", 0},
      {kKind1, "123", 0, 0, 0x08, 0, 0, kAccept, "123", 0},
      {kKind1, "123", 3, 3, 0x1C, 0, 0, kPass, "123", 2},
      {kKind1, "123", 1, 1, 0x1D, 0, 0, kPass, "123", 2},
      {kKind1, "12", 2, 2, 0x0D, 0, 0, kPass, "12", 2},
      {kKind1, "12", 2, 2, 0x03, 0, 0, kPass, "12", 2},
      {kKind1, "12", 2, 2, 0x1B, 0x3500, 0, kPass, "12", 2},
      {kKind1, "12", 2, 2, 0x1B, 0, 0, kBeep, "12", 2},
      {kKind1, "12", 2, 2, 'c', 0, cmdKey, kPass, "12", 2},
      {kKind1, "12", 2, 2, 'x', 0, cmdKey, kPass, "12", 2},
      {kKind1, wide.c_str(), 18, 18, '1', 0, 0, kBeep, wide.c_str(), 18},
  };
  ShowField(kKind1);
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(std::string("flags ") + std::to_string(c.flags) + ", \"" + c.before +
                 "\", key " + std::to_string(int(c.key)));
    Field().flags = c.flags;
    Prepare(c.before, c.start, c.end);
    EXPECT_EQ(host::TypeKey(window, c.key, c.keyCode, c.modifiers), 0)
        << "the filter edits or swallows; a passed key changes no text";
    Expect(c.outcome, c.after, c.caret);
  }
  Prepare("12", 2, 2);
  host::TypeKey(window, 0x09);
  EXPECT_EQ(host::FindControl(window, "PRES", kUnicodeText), [&] {
    ControlRef focused = nullptr;
    GetKeyboardFocus(window, &focused);
    return focused;
  }()) << "tab passes to the dialog's own focus handling";
}

struct PasteCase {
  SInt32 flags;
  const char* before;
  SInt16 start, end;
  std::string scrap;
  char key;
  Outcome outcome;
  const char* after;
  SInt16 caret;
};

TEST_F(NumberFieldTest, PastesTakeOnlyDigitsAndALeadingMinus) {
  const PasteCase cases[] = {
      {kKind3, "", 0, 0, "-7", 'v', kAccept, "-7", 2},
      {kKind2, "", 0, 0, "-7", 'v', kBeep, "", 0},
      {kKind3, "5", 1, 1, "-7", 'v', kBeep, "5", 1},
      {kKind1, "", 0, 0, "12a", 'v', kBeep, "", 0},
      {kKind1, "", 0, 0, "07", 'v', kBeep, "", 0},
      {kKind1, "5", 1, 1, "07", 'V', kAccept, "507", 3},
      {kKind1, "1234", 1, 3, "9", 'v', kAccept, "194", 2},
      {kKind2, "", 0, 0, std::string(101, '1'), 'v', kBeep, "", 0},
      {kKind2, "", 0, 0, std::string(40, '1'), 'v', kBeep, "", 0},
      {kKind1, "12", 2, 2, "", 'v', kPass, "12", 2},
  };
  ShowField(kKind1);
  for (const PasteCase& c : cases) {
    SCOPED_TRACE(std::string("flags ") + std::to_string(c.flags) + ", paste \"" + c.scrap + "\"");
    Field().flags = c.flags;
    Prepare(c.before, c.start, c.end);
    host::SetScrapText(c.scrap);
    EXPECT_EQ(host::TypeKey(window, c.key, 0x0900, cmdKey), 0);
    Expect(c.outcome, c.after, c.caret);
  }
  host::ClearScrap();
}

TEST_F(NumberFieldTest, OutOfRangeTextIsReportedCorrectedAndCheckedAgainAtTheNextKey) {
  ShowField(kKind1, 1, 99);
  Pane().SetError(1200);
  Item(kEditText).ClearString();
  host::ClearJournal();
  EXPECT_EQ(host::TypeKey(window, '0'), 0);
  EXPECT_EQ(host::JournalOf("beep"), std::vector<std::string>{"10"}) << "'0' may not lead";
  EXPECT_EQ(Pane().numberField, kEditText) << "the rejected key left the field pending";

  SInt16 hit = host::TypeKey(window, '5');
  EXPECT_EQ(host::JournalOf("alert"), std::vector<std::string>{"stop 1200: \"\", \"1\", \"1\", \"99\""});
  EXPECT_EQ(R(kEditText).value, 1) << "the blank field was corrected to the minimum";
  EXPECT_EQ(hit, kBase + kEditText) << "that key reached the control unfiltered";
  Hit(hit);
  EXPECT_EQ(host::ControlText(Control(kEditText)), "5");

  host::ClearJournal();
  host::TypeText(window, "00");
  EXPECT_EQ(host::JournalOf("alert"), std::vector<std::string>{"stop 1200: \"500\", \"99\", \"1\", \"99\""});
  EXPECT_EQ(host::JournalOf("beep"), std::vector<std::string>{"10"});
  EXPECT_EQ(R(kEditText).value, 99);
  EXPECT_EQ(host::ControlText(Control(kEditText)), "99") << "the correction was shown";
  EXPECT_EQ(host::ParamTexts(), std::vector<std::string>(4)) << "parameter texts cleared after";

  Pane().SetError(0);
  host::ClearJournal();
  host::TypeKey(window, '7');
  EXPECT_TRUE(host::JournalOf("alert").empty()) << "no alert id: corrected silently";
  EXPECT_EQ(R(kEditText).value, 99);
}

TEST_F(NumberFieldTest, BlankFieldsAreValidOnlyWhenAllowed) {
  for (SInt32 flags : {SInt32(kNumberAllowBlank), kKind1}) {
    SCOPED_TRACE(flags);
    ShowField(flags, 5, 50);
    UIItem& item = Item(kEditText);
    item.ClearString();
    EXPECT_EQ(host::ControlText(Control(kEditText)), "");
    EXPECT_EQ(R(kEditText).emptyText, flags == kNumberAllowBlank);
    item.SetStatus();
    EXPECT_EQ(host::ControlText(Control(kEditText)), flags ? "" : "5") << "SetStatus";
    item.ClearString();
    EXPECT_EQ(item.CheckNumberField(), flags ? 0 : 1);
    EXPECT_EQ(R(kEditText).value, 5) << "the minimum, kept or corrected";
    R(kEditText).value = 0;
    item.SetValue();
    EXPECT_EQ(host::ControlText(Control(kEditText)), flags ? "" : "0") << "0 is not shown";
    Close();
  }
}

struct AppendCase {
  SInt32 step;
  std::vector<SInt32> list;
  SInt32 v;
  Boolean wrap;
  SInt32 assigned;
};

TEST_F(NumberFieldTest, AppendStepsThroughTheRangeOrTheValueList) {
  const std::vector<SInt32> list{1, 2, 5, 10};
  const AppendCase cases[] = {
      {5, {}, 10, 0, 55},   {5, {}, 30, 0, 100},  {5, {}, 30, 1, 0},    {5, {}, -2, 0, 0},
      {5, {}, -2, 1, 100},  {0, {}, 10, 0, 42},   {1, list, 2, 0, 5},   {1, list, 3, 0, 5},
      {1, list, 10, 0, 10}, {1, list, 10, 1, 1},  {1, list, 11, 0, 10}, {1, list, 11, 1, 1},
      {1, list, -1, 0, 1},  {1, list, -1, 1, 10}, {1, list, 0, 0, 1},
      {5, std::vector<SInt32>(32, 7), 10, 0, 55},
  };
  for (const AppendCase& c : cases) {
    SCOPED_TRACE("step " + std::to_string(c.step) + ", " + std::to_string(c.list.size()) +
                 " values, v " + std::to_string(c.v) + ", wrap " + std::to_string(c.wrap));
    std::vector<SInt32> values = c.list;
    ShowField(kKind1, 0, 100, c.step, SInt32(values.size()), values.data());
    R(kEditText).value = 42;
    Field().Append(c.v, c.wrap);
    EXPECT_EQ(R(kEditText).value, c.assigned);
    Close();
  }
}

TEST_F(NumberFieldTest, FailedAllocationsLeaveNoFieldHalfMadeAndNoPasteHalfDone) {
  ShowField(kKind1);
  UIItem& item = Item(kEditText);
  item.SetControl();
  const size_t procedures = host::LiveProcedureHandles();
  testing_support::SweepAllocationFailures([&](testing_support::FaultRun& run) {
    run.Arm();
    try {
      item.SetNumber(kEditText, 1, kKind1, 0, nullptr, kSignature);
    } catch (const LException& e) {
      EXPECT_TRUE(e.GetErrorCode() == kNilPointerErr || e.GetErrorCode() == memFullErr)
          << "the presentation or the update queue: " << e.GetErrorCode();
      EXPECT_EQ(item.presentation, nullptr);
    }
    run.Disarm();
    item.SetControl();
    Flush();
    EXPECT_EQ(host::LiveProcedureHandles(), procedures) << "the key filter was released";
  });
  item.SetNumber(kEditText, 1, kKind1, 0, nullptr, kSignature);
  Flush();
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
  host::ClearScrap();
}

}  // namespace
