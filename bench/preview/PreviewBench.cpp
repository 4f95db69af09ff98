// The toning preview in a shown pane: a 300 x 200 update after a parameter
// change (tone plus draw into the window), and updates per second while a
// slider drives the preview through its dependent's change hook.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "toolbox/host.h"
#include "velkui/interpreter.h"
#include "velkui/presentations.h"

namespace {

using namespace velkui;

constexpr UInt32 kSig = FOUR_CHAR_CODE("BNCH");
constexpr UInt32 kToneKey = FOUR_CHAR_CODE("tone");
enum : SInt16 { kPreviewItem = 1, kSliderItem = 2 };
constexpr SInt16 kPhoto = 128;  // 300 x 200 pixels at 72 dpi: drawn 1:1

const char* const kLayout = R"({"window": {"title": "bench", "width": 340, "height": 280},
  "controls": [
    {"kind": "upan", "id": "BNCH:1", "bounds": [10, 20, 210, 320]},
    {"kind": "sldr", "id": "BNCH:2", "bounds": [230, 20, 250, 320], "min": 0, "max": 100}]})";

/// The slider's position as a point on the colour circle.
MonxInfo RecordOf(SInt32 position) {
  return MonxInfo{SInt32(position * 150 / 100 - 75), 30, 180, 0, 0, 0, 0, 0, 0};
}

/// The preview: depends on the slider and tones with the slider's position.
class PreviewItem : public UIItem {
 public:
  explicit PreviewItem(UIItem* slider) : UIItem(0, 1, 1), slider_(slider) {}
  void Dependency() override { AppendDependency(slider_); }
  void Resume() override { SetMONXPreview(kPreviewItem, kPhoto, kSig); }
  void ChangedOther() override { SetMONXPreviewParam(RecordOf(slider_->object->value)); }

 private:
  UIItem* slider_;
};

class SliderItem : public UIItem {
 public:
  SliderItem() : UIItem(kToneKey, 0, 100) {}
  void Resume() override { SetControl(kSliderItem, kSig); }
};

class BenchPane : public UISystem {
 public:
  void New() override {
    slider = new SliderItem;
    preview = new PreviewItem(slider);
  }
  UIItem* slider = nullptr;
  UIItem* preview = nullptr;
};

/// A shown pane with the example resources, for the whole run.
struct Pane {
  Pane() {
    std::string error;
    if (toolbox::host::OpenResourceFolder(VELKUI_SOURCE_DIR "/examples/resources", &error) < 0 ||
        !(window = toolbox::host::LoadLayoutText(kLayout, "", &error))) {
      std::fprintf(stderr, "bench_preview: %s\n", error.c_str());
      std::exit(1);
    }
    sys = NewIPP([]() -> void* { return static_cast<UISystem*>(new BenchPane); });
    StartIPP(sys);
    ResumeIPP(sys, 0, window);
    System().preview->SetMONXPreviewParam(RecordOf(50));
  }
  BenchPane& System() { return *static_cast<BenchPane*>(static_cast<UISystem*>(sys)); }
  WindowRef window = nullptr;
  void* sys = nullptr;
};

Pane& ThePane() {
  static Pane pane;
  return pane;
}

void BM_PreviewUpdate(benchmark::State& state) {
  UIItem* preview = ThePane().System().preview;
  SInt32 position = 0;
  for (auto _ : state) {
    position = (position + 37) % 101;
    preview->SetMONXPreviewParam(RecordOf(position));
  }
  state.counters["updates/s"] = benchmark::Counter(double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

void BM_ToneOnly(benchmark::State& state) {
  auto* shown = dynamic_cast<UIMONXPreview*>(ThePane().System().preview->presentation);
  MONXPreviewRef& ref = shown->ref;
  SInt32 position = 0;
  for (auto _ : state) {
    position = (position + 37) % 101;
    MonxInfo info = RecordOf(position);
    UIProcMonx(ref.engine, &info, &ref.image, CGBitmapContextGetData(ref.previewContext));
  }
}

void BM_SliderDrivesPreview(benchmark::State& state) {
  Pane& pane = ThePane();
  ControlRef slider = toolbox::host::FindControl(pane.window, "BNCH", kSliderItem);
  SInt32 position = 0;
  for (auto _ : state) {
    position = (position + 37) % 101;
    SInt16 hit = toolbox::host::DragSlider(slider, {position});
    ActionIPP(pane.sys, &hit);
    ThreadIPP(pane.sys, &hit);
  }
  state.counters["updates/s"] = benchmark::Counter(double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

BENCHMARK(BM_PreviewUpdate)->Unit(benchmark::kMicrosecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_ToneOnly)->Unit(benchmark::kMicrosecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_SliderDrivesPreview)->Unit(benchmark::kMicrosecond)->MinTime(1.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (const char* path = std::getenv("VELKUI_PREVIEW_PNG"))
    toolbox::host::SaveWindowPNG(ThePane().window, path, nullptr);
  return 0;
}
