// Throughput of the toning engine on a 24-megapixel image, against a row-by-row memory copy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "SampleImages.h"
#include "toning/MonxInternal.h"

namespace {

using velkui::PixelPath;

constexpr SInt32 kWidth = 6000;
constexpr SInt32 kHeight = 4000;
constexpr double kMegapixels = double(kWidth) * kHeight / 1e6;
constexpr MonxInfo kRecord = {30, 60, 200, 5, 10, -5, 5, -10, 0};

struct Format {
  const char* name;
  SInt32 code;
  SInt32 bits;
  int step;
};

const Format kFormats[] = {{"RGB", kMonxFormatRGB, 24, 3},
                           {"BGR", kMonxFormatBGR, 24, 3},
                           {"XRGB", kMonxFormatXRGB, 32, 4},
                           {"BGRX", kMonxFormatBGRX, 32, 4}};

/// Source and destination big enough for the 4-byte formats; the destination
/// is written once before any timing, so no first-touch faults are measured.
struct Buffers {
  Buffers() : source(size_t(kWidth) * kHeight * 4), output(source.size()) {
    for (size_t i = 0; i < source.size(); ++i) source[i] = UInt8(i * 2654435761u >> 24);
    std::memset(output.data(), 0, output.size());
  }
  std::vector<UInt8> source;
  std::vector<UInt8> output;
};

Buffers& TheBuffers() {
  static Buffers buffers;
  return buffers;
}

MonxImageDesc DescOf(const Format& f) {
  return {kWidth, kHeight, f.bits, f.code, kWidth * f.step, 0, 0, 0};
}

void Finish(benchmark::State& state) {
  state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
  state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * 2 *
                          kFormats[state.range(0)].step);
}

void BM_RowCopy(benchmark::State& state) {
  const Format& f = kFormats[state.range(0)];
  Buffers& b = TheBuffers();
  const size_t row = size_t(kWidth) * f.step;
  for (auto _ : state) {
    for (SInt32 y = 0; y < kHeight; ++y) std::memcpy(&b.output[y * row], &b.source[y * row], row);
    benchmark::ClobberMemory();
  }
  Finish(state);
}

void PixelStage(benchmark::State& state, PixelPath path) {
  const Format& f = kFormats[state.range(0)];
  Buffers& b = TheBuffers();
  const MonxImageDesc desc = DescOf(f);
  UIHdl* handle = nullptr;
  UICreateMonx(&desc, b.source.data(), &handle);
  velkui::BuildChannelCurves(handle, &kRecord);
  velkui::ByteTables tables;
  velkui::BuildByteTables(*handle, &tables);
  for (auto _ : state) {
    velkui::MapPixels(desc, b.source.data(), b.output.data(), tables, path);
    benchmark::ClobberMemory();
  }
  UIDeleteMonx(handle);
  Finish(state);
}

void WholeCall(benchmark::State& state, PixelPath path) {
  const Format& f = kFormats[state.range(0)];
  Buffers& b = TheBuffers();
  const MonxImageDesc desc = DescOf(f);
  UIHdl* handle = nullptr;
  UICreateMonx(&desc, b.source.data(), &handle);
  for (auto _ : state) {
    if (path == PixelPath::kAuto) {
      UIProcMonx(handle, &kRecord, &desc, b.output.data());
    } else {
      velkui::ToneImage(handle, &kRecord, b.output.data(), path);
    }
    benchmark::ClobberMemory();
  }
  UIDeleteMonx(handle);
  Finish(state);
}

void BM_PixelsVector(benchmark::State& state) { PixelStage(state, PixelPath::kVector); }
void BM_PixelsScalar(benchmark::State& state) { PixelStage(state, PixelPath::kScalar); }
void BM_CallPublic(benchmark::State& state) { WholeCall(state, PixelPath::kAuto); }
void BM_CallScalar(benchmark::State& state) { WholeCall(state, PixelPath::kScalar); }

void Formats(benchmark::internal::Benchmark* b) {
  for (int i = 0; i < 4; ++i) b->Arg(i);
  b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
}

BENCHMARK(BM_RowCopy)->Apply(Formats);
BENCHMARK(BM_PixelsVector)->Apply(Formats);
BENCHMARK(BM_PixelsScalar)->Apply(Formats);
BENCHMARK(BM_CallPublic)->Apply(Formats);
BENCHMARK(BM_CallScalar)->Apply(Formats);

/// Console output as usual, plus the megapixels per second of every run kept
/// for the closing summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      double seconds = run.GetAdjustedRealTime() / 1e3;  // unit is milliseconds
      rates_[run.benchmark_name()] = kMegapixels / seconds;
    }
  }
  void PrintSummary() const {
    std::printf("\n24-megapixel image, megapixels per second (ratio to the row copy)\n");
    std::printf("%-6s %10s %18s %18s %18s %18s\n", "format", "row copy", "pixels vector",
                "pixels scalar", "UIProcMonx", "call scalar");
    for (int i = 0; i < 4; ++i) {
      const std::string arg = "/" + std::to_string(i) + "/min_time:1.000/real_time";
      double copy = Rate("BM_RowCopy" + arg);
      std::printf("%-6s %10.0f", kFormats[i].name, copy);
      for (const char* name : {"BM_PixelsVector", "BM_PixelsScalar", "BM_CallPublic", "BM_CallScalar"}) {
        double rate = Rate(name + arg);
        std::printf(" %10.0f (%4.2f)", rate, copy > 0 ? rate / copy : 0.0);
      }
      std::printf("\n");
    }
    std::printf("vector path %s on this processor\n",
                velkui::VectorPathAvailable() ? "available" : "NOT available (scalar used)");
  }

 private:
  double Rate(const std::string& name) const {
    auto it = rates_.find(name);
    return it == rates_.end() ? 0.0 : it->second;
  }
  std::map<std::string, double> rates_;
};

/// Takes `--write-samples=DIR` (and `--sample=PNG`) out of the arguments.
bool TakeOption(int* argc, char** argv, const char* prefix, std::string* value) {
  const size_t length = std::strlen(prefix);
  for (int i = 1; i < *argc; ++i) {
    if (std::strncmp(argv[i], prefix, length) == 0) {
      *value = argv[i] + length;
      for (int j = i; j + 1 < *argc; ++j) argv[j] = argv[j + 1];
      --*argc;
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string samplesDir, sample = "/work/shared/samples/camera.png";
  TakeOption(&argc, argv, "--sample=", &sample);
  if (TakeOption(&argc, argv, "--write-samples=", &samplesDir)) {
    return toning_bench::WriteSamples(sample, samplesDir);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
