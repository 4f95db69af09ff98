// Throughput of the toning engine on a 24-megapixel image, against a row-by-row memory copy.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
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

struct Rates {
  double work;
  double copy;
};

std::map<std::string, Rates>& Results() {
  static std::map<std::string, Rates> results;
  return results;
}

MonxImageDesc DescOf(const Format& f) {
  return {kWidth, kHeight, f.bits, f.code, kWidth * f.step, 0, 0, 0};
}

using Clock = std::chrono::steady_clock;

/// The reference: the same bytes copied row by row.
void RowCopy(const Format& f, Buffers& b) {
  const size_t row = size_t(kWidth) * f.step;
  for (SInt32 y = 0; y < kHeight; ++y) {
    std::memcpy(&b.output[size_t(y) * row], &b.source[size_t(y) * row], row);
  }
  benchmark::ClobberMemory();
}

/// Alternates the row copy and the work under test in every iteration, so
/// that both meet the same machine load (it is shared), and keeps the fastest
/// time of each. The reported time is the work's; the counters give its
/// megapixels per second, the copy's, and their ratio.
template <class Work>
void Paired(benchmark::State& state, const char* label, Work work) {
  const Format& f = kFormats[state.range(0)];
  Buffers& b = TheBuffers();
  double bestCopy = 1e9, bestWork = 1e9;
  for (auto _ : state) {
    auto t0 = Clock::now();
    RowCopy(f, b);
    auto t1 = Clock::now();
    work(f, b);
    benchmark::ClobberMemory();
    auto t2 = Clock::now();
    double copy = std::chrono::duration<double>(t1 - t0).count();
    double toned = std::chrono::duration<double>(t2 - t1).count();
    bestCopy = std::min(bestCopy, copy);
    bestWork = std::min(bestWork, toned);
    state.SetIterationTime(toned);
  }
  state.counters["MP/s"] = kMegapixels / bestWork;
  state.counters["copy_MP/s"] = kMegapixels / bestCopy;
  state.counters["ratio"] = bestCopy / bestWork;
  Results()[std::string(label) + "/" + std::to_string(state.range(0))] = {kMegapixels / bestWork, kMegapixels / bestCopy};
}

/// The per-pixel stage alone: byte tables built beforehand, then the mapping.
void PixelStage(benchmark::State& state, const char* label, PixelPath path) {
  UIHdl* handle = nullptr;
  const MonxImageDesc desc = DescOf(kFormats[state.range(0)]);
  UICreateMonx(&desc, TheBuffers().source.data(), &handle);
  velkui::BuildChannelCurves(handle, &kRecord);
  velkui::ByteTables tables;
  velkui::BuildByteTables(*handle, &tables);
  Paired(state, label, [&](const Format&, Buffers& b) {
    velkui::MapPixels(desc, b.source.data(), b.output.data(), tables, path);
  });
  UIDeleteMonx(handle);
}

/// The whole call: curves, byte tables and mapping.
void WholeCall(benchmark::State& state, const char* label, PixelPath path) {
  UIHdl* handle = nullptr;
  const MonxImageDesc desc = DescOf(kFormats[state.range(0)]);
  UICreateMonx(&desc, TheBuffers().source.data(), &handle);
  Paired(state, label, [&](const Format&, Buffers& b) {
    if (path == PixelPath::kAuto) {
      UIProcMonx(handle, &kRecord, &desc, b.output.data());
    } else {
      velkui::ToneImage(handle, &kRecord, b.output.data(), path);
    }
  });
  UIDeleteMonx(handle);
}

void BM_PixelsVector(benchmark::State& state) {
  PixelStage(state, "pixels vector", PixelPath::kVector);
}
void BM_PixelsScalar(benchmark::State& state) {
  PixelStage(state, "pixels scalar", PixelPath::kScalar);
}
void BM_CallPublic(benchmark::State& state) { WholeCall(state, "call", PixelPath::kAuto); }
void BM_CallScalar(benchmark::State& state) { WholeCall(state, "call scalar", PixelPath::kScalar); }

void Formats(benchmark::internal::Benchmark* b) {
  for (int i = 0; i < 4; ++i) b->Arg(i);
  b->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);
}

BENCHMARK(BM_PixelsVector)->Apply(Formats);
BENCHMARK(BM_PixelsScalar)->Apply(Formats);
BENCHMARK(BM_CallPublic)->Apply(Formats);
BENCHMARK(BM_CallScalar)->Apply(Formats);

void PrintSummary() {
  std::printf("\n24-megapixel image: megapixels per second, fastest iteration"
              " (ratio to the row-by-row copy timed alongside)\n");
  std::printf("%-6s %24s %24s %24s %24s\n", "format", "pixel stage, vector",
              "pixel stage, scalar", "UIProcMonx", "whole call, scalar");
  for (int i = 0; i < 4; ++i) {
    std::printf("%-6s", kFormats[i].name);
    for (const char* label : {"pixels vector", "pixels scalar", "call", "call scalar"}) {
      auto it = Results().find(std::string(label) + "/" + std::to_string(i));
      if (it == Results().end()) {
        std::printf(" %24s", "-");
        continue;
      }
      const Rates& r = it->second;
      std::printf("   %5.0f / copy %5.0f (%4.2f)", r.work, r.copy, r.work / r.copy);
    }
    std::printf("\n");
  }
  std::printf("vector path %s on this processor\n",
              velkui::VectorPathAvailable() ? "available" : "NOT available (scalar used)");
}

/// Takes the option starting with prefix out of the arguments.
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
  // bench_toning --sample=PHOTO.png --write-samples=DIR tones a photograph
  // with a few records instead of timing anything.
  std::string samplesDir, sample;
  bool haveSample = TakeOption(&argc, argv, "--sample=", &sample);
  if (TakeOption(&argc, argv, "--write-samples=", &samplesDir)) {
    if (!haveSample) {
      std::fprintf(stderr, "--write-samples needs --sample=PHOTO.png\n");
      return 1;
    }
    return toning_bench::WriteSamples(sample, samplesDir);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  PrintSummary();
  benchmark::Shutdown();
  return 0;
}
