// A tiny host that drives the sample pane as a print dialog would and checks it leaks nothing.
#include <cstdio>
#include <string>

#include "DensityPane.h"
#include "QualityPane.h"
#include "toolbox/host/input.h"
#include "toolbox/host/layout.h"
#include "toolbox/host/memory.h"
#include "toolbox/host/render.h"
#include "toolbox/host/resources.h"
#include "toolbox/host/windows.h"
#include "toolbox/resources.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
  if (!ok) ++failures;
}

SInt16 ReadShort(UInt32 key) {
  SInt16 value = 0;
  velkui::GetRegistry(key, &value);
  return value;
}

/// One hit on an item of the shown pane, followed by the refresh.
void Hit(void* pane, SInt16 absolute) {
  velkui::ActionIPP(pane, &absolute);
  velkui::ThreadIPP(pane, &absolute);
}

const char* const kLayout = R"({"window": {"title": "Quality", "width": 240, "height": 130},
  "controls": [{"kind": "upan", "id": "QLTY:4", "bounds": [10, 10, 58, 58]},
               {"kind": "upan", "id": "QLTY:5", "bounds": [10, 70, 110, 220]}]})";

/// The pane shown in a window: the quality picture and the toned sample photograph.
void ShowInWindow(void* pane, SInt32 base) {
  std::string error;
  SInt16 resources = toolbox::host::OpenResourceFolder(EXAMPLE_RESOURCES, &error);
  WindowRef window = toolbox::host::LoadLayoutText(kLayout, "", &error);
  Check(resources > 0 && window != nullptr, "window and picture resources");
  if (resources <= 0 || window == nullptr) return;
  velkui::ResumeIPP(pane, base, window);
  const UInt32 background = 0xFFECECEC;
  toolbox::host::RenderWindow(window);
  Check(toolbox::host::PixelAt(window, 34, 34) != background, "the quality picture is drawn");
  Check(toolbox::host::PixelAt(window, 145, 60) != background, "the toned photograph is drawn");
  velkui::SuspendIPP(pane);
  toolbox::host::DestroyWindow(window);
  CloseResFile(resources);
}

/// A one-line summary of the settings, made with the exported support classes:
/// an iterator walks the keys (and goes on after the current key is removed),
/// the text grows in an LStr255, and leaves through a scoped handle block.
std::string Summary() {
  using namespace example;
  LArray keys(sizeof(UInt32));
  for (UInt32 key : {kQualityKey, kCopiesKey, kBorderlessKey}) keys.AddItem(&key);
  LStr255 text;
  LArrayIterator iterator(keys);
  UInt32 key = 0;
  while (iterator.Next(&key)) {
    if (text.Length() > 0) text.Append(", ", 2);
    text.Append(LStr255(FourCharCode(key))).Append('=').Append(SInt32(ReadShort(key)));
    if (key == kQualityKey) keys.RemoveItemsAt(1, 1);
  }
  StHandleBlock block(Size(sizeof(Str255)));
  StHandleLocker locker(block.Get());
  StringPtr copy = LString::CopyPStr(text, reinterpret_cast<StringPtr>(*block.Get()));
  return std::string(reinterpret_cast<const char*>(copy + 1), copy[0]);
}

/// The ink pane's window as the print dialog would show it (dialog items from 101).
const char* const kInkLayout = R"({ "window": { "width": 300, "height": 150, "base": 100 }, "controls": [
  { "kind": "rdio", "id": "INKS:1", "bounds": [10, 10, 30, 140], "title": "Thin paper" },
  { "kind": "rdio", "id": "INKS:2", "bounds": [32, 10, 52, 140], "title": "Plain paper" },
  { "kind": "rdio", "id": "INKS:3", "bounds": [54, 10, 74, 140], "title": "Heavy paper" },
  { "kind": "sldr", "id": "INKS:4", "bounds": [90, 10, 110, 290], "min": -25, "max": 25 },
  { "kind": "larr", "id": "INKS:5", "bounds": [116, 10, 140, 24], "max": 60 } ] })";

/// Shows the ink pane in a window and works its radio buttons, slider and little arrows.
void RunInkPane(SInt32 base) {
  using namespace example;
  namespace host = toolbox::host;
  WindowRef window = host::LoadLayoutText(kInkLayout, "", nullptr);
  auto control = [&](SInt16 number) { return host::FindControl(window, "INKS", number); };
  void* pane = velkui::NewIPP(&MakeDensityPane);
  velkui::StartIPP(pane);
  velkui::ResumeIPP(pane, base, window);
  Check(GetControlValue(control(kPaperWeightItem + 1)) == 1, "the plain paper button is on");
  Hit(pane, host::Click(control(kPaperWeightItem + 2)));
  Check(ReadShort(kPaperWeightKey) == kHeavyPaper && ReadShort(kDryTimeKey) == 15,
        "a click on the third button chooses heavy paper, which dries longer");
  Hit(pane, host::DragSlider(control(kDensityItem), {5, 10, 15}));
  Check(ReadShort(kDensityKey) == 15 && GetControlValue(control(kDryTimeItem)) == 30,
        "the drying time follows the density slider while it is dragged");
  Hit(pane, host::HoldLittleArrows(control(kDryTimeItem), kControlUpButtonPart, 3));
  Check(ReadShort(kDryTimeKey) == 33, "three steps of the up arrow add three seconds");
  velkui::SuspendIPP(pane);
  velkui::EndIPP(pane);
  velkui::FreeIPP(pane);
  host::DestroyWindow(window);
}

}  // namespace

int main() {
  using namespace example;
  const size_t handles = toolbox::host::LiveHandles();
  const size_t pointers = toolbox::host::LivePointers();
  const SInt32 base = 100;  // the host dialog's items before this pane

  void* pane = velkui::NewIPP(&MakeQualityPane);
  Check(pane != nullptr, "NewIPP made the pane");
  velkui::StartIPP(pane);
  Check(ReadShort(kQualityKey) == kNormal, "quality starts at normal");

  velkui::ResumeIPP(pane, base, nullptr);
  SInt16 copies = 3;
  velkui::SetRegistry(kCopiesKey, 2, &copies);
  Hit(pane, base + kCopiesItem);
  Check(ReadShort(kCopiesKey) == 3, "copies written through the registry");

  SInt16 quality = kDraft;
  velkui::SetRegistry(kQualityKey, 2, &quality);
  SInt16 borderless = 1;
  velkui::SetRegistry(kBorderlessKey, 2, &borderless);
  Hit(pane, base + kBorderlessItem);
  Check(ReadShort(kQualityKey) == kNormal, "borderless lifts draft quality to normal");

  SInt16 itemNo = 0, min = 0, max = 0;
  Check(velkui::GetItemInfo(kQualityKey, &itemNo, &min, &max) == 1 && itemNo == base + 1 &&
            min == kDraft && max == kPhoto,
        "GetItemInfo reports the quality item and its range");
  SInt16 list[5] = {};
  itemNo = kQualityItem;
  velkui::GetRangeIPP(pane, &itemNo, list, kDraft, kPhoto);
  Check(list[0] == 2 && list[1] == kNormal && list[2] == kPhoto,
        "draft is disabled in the quality menu");
  Check(static_cast<QualityPane*>(static_cast<velkui::UISystem*>(pane))->changes == 2,
        "two hits changed a setting");

  Check(Summary() == "qual=2, copy=3, bord=1", "summary made with strings, a holder and an iterator");

  velkui::SuspendIPP(pane);
  ShowInWindow(pane, base);
  velkui::EndIPP(pane);
  velkui::FreeIPP(pane);
  Check(velkui::GetCurrentIPP(nullptr) == nullptr, "no current pane after FreeIPP");
  RunInkPane(base);
  Check(toolbox::host::LiveHandles() == handles && toolbox::host::LivePointers() == pointers,
        "every handle and pointer block released");
  std::printf("%s\n", failures == 0 ? "plug-in example passed" : "plug-in example FAILED");
  return failures == 0 ? 0 : 1;
}
