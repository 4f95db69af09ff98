// A number field fed a sequence of keys, pastes, selections, hits, steps and
// hide-show cycles. The input's first bytes choose the field: its option bits,
// its range, its width, a value list and whether the pane has a range alert.
// After every step: the field holds at most 255 bytes; as long as every change
// of its text went through the key filter the text holds only digits and minus
// signs (minus signs only where the field's kind or a negative value put them)
// and the registry value is the number the text spells. A key the filter
// passes unjudged (right after a range correction) is edited by the control
// itself; from then on only the length is checked. As the print dialog does,
// every step ends with an idle ThreadIPP, which shows a queued correction.
#include <string>

#include "Fuzz.h"
#include "toolbox/controls.h"
#include "toolbox/host.h"
#include "toolbox/text.h"
#include "velkui/interpreter.h"
#include "velkui/presentations.h"

namespace {

using namespace velkui;
namespace host = toolbox::host;

constexpr SInt16 kBase = 100;
constexpr UInt32 kSignature = FOUR_CHAR_CODE("NUMB");

struct Field {
  SInt32 min = 0, max = 0, step = 0, flags = 0, count = 0, values[31] = {};
};
Field plan;

class Pane : public UISystem {
 public:
  void New() override { item = new UIItem(1, plan.min, plan.max); }
  void Resume() override { item->SetNumber(1, plan.step, plan.flags, plan.count, plan.values, kSignature); }
  UIItem* item = nullptr;
};

void* MakePane() { return static_cast<UISystem*>(new Pane); }

void Hit(void* sys, SInt16 hit) { ActionIPP(sys, &hit), ThreadIPP(sys, &hit); }

void Check(Pane& pane, ControlRef control, bool filtered) {
  std::string text = host::ControlText(control);
  FUZZ_CHECK(text.size() <= 255);
  if (!filtered) return;
  const UIObject& r = *pane.item->object;
  bool minus = UINumber::KindOf(plan.flags) == 3 || r.min < 0 || r.max < 0 ||
               (plan.count > 0 && plan.count <= 31 && plan.values[0] < 0);
  for (char c : text) FUZZ_CHECK((c >= '0' && c <= '9') || (c == '-' && minus));
  Str255 pascal = {UInt8(text.size())};
  text.copy(reinterpret_cast<char*>(pascal + 1), text.size());
  SInt32 number = 0;
  if (!text.empty()) StringToNum(pascal, &number);
  // A blank-allowed field does not show a value of 0 set by the program, and
  // is shown blank while the registry says it is, whatever the value.
  bool blank = plan.flags & kNumberAllowBlank;
  FUZZ_CHECK(r.value == number || (blank && r.value == 0) || (blank && text.empty() && r.emptyText));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Run run;
  fuzz::Reader in(data, size);
  plan = Field{};
  plan.flags = in.Byte() & 7;
  plan.min = SInt32(in.Word());
  plan.max = SInt32(in.Word());
  plan.step = SInt8(in.Byte());
  plan.count = in.Byte() % 33;
  for (SInt32 i = 0, v = -100; i < 31 && i < plan.count; ++i) plan.values[i] = v += in.Byte();
  int width = 20 + 30 * (in.Byte() % 128);
  SInt16 alert = in.Byte() & 1 ? 1200 : 0;

  std::string error;
  WindowRef window = host::LoadLayoutText(R"({"window": {"width": 4000, "height": 60}, "controls": [
      {"kind": "etxt", "id": "NUMB:1", "bounds": [10, 10, 30, )" + std::to_string(10 + width) +
                                              R"(], "text": "12"}]})", "", &error);
  FUZZ_CHECK(window != nullptr);
  ControlRef control = host::FindControl(window, "NUMB", 1);
  void* sys = NewIPP(MakePane);
  FUZZ_CHECK(sys != nullptr);
  auto& pane = *static_cast<Pane*>(static_cast<UISystem*>(sys));
  pane.SetError(alert);
  StartIPP(sys);
  ResumeIPP(sys, kBase, window);
  Hit(sys, 0);
  bool shown = true, filtered = true;
  Check(pane, control, filtered);
  for (int step = 0; step < 200 && !in.Empty(); ++step) {
    uint8_t op = in.Byte();
    bool unfiltered = false;  // the control took this input without its key filter judging it
    host::ClearJournal();
    switch (shown ? op % 8 : 7) {
      case 0: case 1: case 2: {  // a key, mostly plain
        char ch = char(in.Byte());
        uint8_t how = in.Byte();
        unfiltered = host::TypeKey(window, ch, how == 0xFF ? 0x3500 : 0, (how & 0x0F) == 1 ? cmdKey : 0) != 0;
        break;
      }
      case 3:  // command-V of a scrap of any bytes
        host::SetScrapText(in.Bytes(in.Byte()));
        unfiltered = host::Paste(window) != 0;
        break;
      case 4: {  // a selection, in or out of the text
        ControlEditTextSelectionRec sel{SInt16(in.Byte() - 8), SInt16(in.Byte() - 8)};  // in order
        SetControlData(control, 0, kControlEditTextSelectionTag, sizeof sel, &sel);
        break;
      }
      case 5:  // a click in the field, or a flush with no item
        Hit(sys, in.Byte() & 1 ? kBase + 1 : 0);
        break;
      case 6: {  // a step of the little arrows beside it
        auto delta = SInt32(in.Word());
        static_cast<UINumber*>(pane.item->presentation)->Append(delta, in.Byte() & 1);
        Hit(sys, 0);
        break;
      }
      default:  // hidden and shown again
        if (shown) SuspendIPP(sys);
        else ResumeIPP(sys, kBase, window), Hit(sys, 0);
        shown = !shown;
    }
    filtered = filtered && !unfiltered;
    SInt16 idle = 0;
    if (shown) ThreadIPP(sys, &idle), Check(pane, control, filtered);  // the dialog's idle call flushes refreshes
  }
  if (shown) SuspendIPP(sys);
  EndIPP(sys);
  FreeIPP(sys);
  host::DestroyWindow(window);
  return 0;
}
