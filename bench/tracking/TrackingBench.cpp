// Time per tracked value of a slider dragged through 1,000 values in a 60-item
// pane whose one dependent item follows it live; `--png=DIR` also saves the
// pane (a radio group and the slider) before and after one drag.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "toolbox/host.h"
#include "velkui/presentations.h"

namespace {

using namespace velkui;
namespace host = toolbox::host;

constexpr UInt32 kSig = FOUR_CHAR_CODE("BNCH");
constexpr SInt16 kBase = 100;
constexpr int kItems = 60;     // check boxes 1..56, radio buttons 57..59, the slider 60
constexpr SInt16 kRadio = 57;  // three buttons: values 0, 1, 2
constexpr SInt16 kSlider = 60;
constexpr SInt16 kFollower = 61;  // a second slider, shown by the dependent item
constexpr int kValues = 1000;

/// An item bound on Resume by `bind`; with `follow`, a dependent that copies
/// the followed item's value whenever it changes.
struct BenchItem : UIItem {
  BenchItem(UInt32 key, SInt32 min, SInt32 max, void (UIItem::*inBind)(SInt16, UInt32),
            SInt16 inNumber, UIItem* inFollow = nullptr)
      : UIItem(key, min, max), bind(inBind), number(inNumber), follow(inFollow) {}
  void Resume() override { (this->*bind)(number, kSig); }
  void Dependency() override {
    if (follow != nullptr) AppendDependency(follow);
  }
  void ChangedOther() override { Assign(follow->object->value); }
  void (UIItem::*bind)(SInt16, UInt32);
  SInt16 number;
  UIItem* follow;
};

/// 56 check boxes, a radio group and the slider make 60 items; the slider's
/// item comes last, so every hit searches the whole item array.
struct BenchPane : UISystem {
  void New() override {
    for (SInt16 n = 1; n < kRadio; ++n) new BenchItem(UInt32(n), 0, 1, &UIItem::SetControl, n);
    new BenchItem(UInt32(kRadio), 0, 2, &UIItem::SetRadio, kRadio);
    UIItem* slider = new BenchItem(UInt32(kSlider), 0, kValues, &UIItem::SetSlider, kSlider);
    new BenchItem(UInt32(kFollower), 0, kValues, &UIItem::SetControl, kFollower, slider);
  }
};

ControlRef Add(WindowRef window, OSType kind, SInt16 number, Rect bounds, SInt32 max,
               const std::string& title = "") {
  host::ControlSpec spec;
  spec.kind = kind;
  spec.id = ControlID{kSig, number};
  spec.bounds = bounds;
  spec.maximum = max;
  spec.title = title;
  return host::AddControl(window, nullptr, spec);
}

/// The pane's window: the check boxes lie beyond the visible area.
WindowRef MakePaneWindow() {
  WindowRef window = host::MakeWindow("tracking", 240, 130);
  host::SetItemBase(window, kBase);
  for (SInt16 n = 1; n < kRadio; ++n) Add(window, kControlKindCheckBox, n, {10, 300, 30, 400}, 1);
  for (SInt16 k = 0; k < 3; ++k)
    Add(window, kControlKindRadioButton, SInt16(kRadio + k), {SInt16(10 + 22 * k), 10, SInt16(30 + 22 * k), 200},
        1, "Density " + std::to_string(k + 1));
  Add(window, kControlKindSlider, kSlider, {80, 10, 100, 230}, kValues);
  Add(window, kControlKindSlider, kFollower, {104, 10, 124, 230}, kValues);
  return window;
}

struct ShownPane {
  ShownPane() : window(MakePaneWindow()), sys(NewIPP([]() -> void* { return static_cast<UISystem*>(new BenchPane); })) {
    StartIPP(sys);
    ResumeIPP(sys, kBase, window);
  }
  ~ShownPane() {
    SuspendIPP(sys);
    EndIPP(sys);
    FreeIPP(sys);
    host::DestroyWindow(window);
  }
  ControlRef Find(SInt16 number) { return host::FindControl(window, "BNCH", number); }
  WindowRef window;
  void* sys;
};

void BM_SliderDrag(benchmark::State& state) {
  ShownPane pane;
  std::vector<SInt32> up(kValues), down(kValues);
  for (int i = 0; i < kValues; ++i) up[size_t(i)] = i + 1, down[size_t(i)] = kValues - 1 - i;
  ControlRef slider = pane.Find(kSlider);
  bool rising = true;
  for (auto _ : state) {
    benchmark::DoNotOptimize(host::DragSlider(slider, rising ? up : down));
    rising = !rising;
  }
  if (GetControlValue(pane.Find(kFollower)) != GetControlValue(slider))
    state.SkipWithError("the dependent item did not follow the slider");
  state.SetItemsProcessed(state.iterations() * kValues);
  state.counters["time_per_value"] = benchmark::Counter(
      double(state.iterations()) * kValues, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SliderDrag)->Unit(benchmark::kMillisecond);

bool Save(WindowRef window, const std::string& path) {
  std::string error;
  host::RenderWindow(window);
  if (host::SaveWindowPNG(window, path, &error)) return std::printf("saved %s\n", path.c_str()) > 0;
  std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
  return false;
}

/// The pane before and after a click on the second radio button and a drag of the slider to 700.
int SavePictures(const std::string& dir) {
  ShownPane pane;
  bool ok = Save(pane.window, dir + "/tracking-before.png");
  SInt16 hit = host::Click(pane.Find(kRadio + 1));
  ActionIPP(pane.sys, &hit);
  ThreadIPP(pane.sys, &hit);
  host::DragSlider(pane.Find(kSlider), {100, 400, 700});
  ok = Save(pane.window, dir + "/tracking-after.png") && ok;
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--png=", 6) == 0) return SavePictures(argv[i] + 6);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
