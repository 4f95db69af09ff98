// The row-band pipeline: decode, convert to grey, tone, encode, optionally in two threads.
#include "ToneFile.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "AtomicFile.h"
#include "Grey.h"
#include "ToolError.h"

namespace monx {
namespace {

constexpr int kBandRows = 16;
constexpr int kBands = 4;  // buffers in flight when decoding overlaps encoding

/// Buffers for one band: the rows as decoded, and the toned RGB rows.
struct Band {
  std::vector<std::uint8_t> raw;
  std::vector<std::uint8_t> toned;
  int rows = 0;
};

/// Everything about one file that the band steps share.
class Job {
 public:
  Job(RowReader& reader, const Toner& toner, bool keepColour)
      : reader_(reader), toner_(toner), info_(reader.info()), keepColour_(keepColour) {}

  int BandCount() const { return (info_.height + kBandRows - 1) / kBandRows; }

  void Allocate(Band& band) const {
    band.raw.resize(info_.RowBytes() * kBandRows);
    band.toned.resize(std::size_t(info_.width) * 3 * kBandRows);
  }

  /// Decodes band `index` and tones it.
  void Produce(Band& band, int index) const {
    band.rows = std::min(kBandRows, info_.height - index * kBandRows);
    reader_.ReadRows(band.raw.data(), std::ptrdiff_t(info_.RowBytes()), band.rows);
    if (info_.channels == 3 && keepColour_) {
      toner_.ToneRgb(band.raw.data(), band.toned.data(), info_.width, band.rows);
      return;
    }
    for (int y = 0; y < band.rows; ++y) {
      std::uint8_t* raw = band.raw.data() + std::size_t(y) * info_.RowBytes();
      std::uint8_t* toned = band.toned.data() + std::size_t(y) * info_.width * 3;
      if (info_.channels == 3) RgbToGrey(raw, raw, std::size_t(info_.width));
      toner_.ToneGrey(raw, toned, std::size_t(info_.width));
    }
  }

  static void Consume(RowWriter& writer, const Band& band, int width) {
    writer.WriteRows(band.toned.data(), std::ptrdiff_t(width) * 3, band.rows);
  }

 private:
  RowReader& reader_;
  const Toner& toner_;
  ImageInfo info_;
  bool keepColour_;
};

void RunInOneThread(const Job& job, RowWriter& writer, int width) {
  Band band;
  job.Allocate(band);
  for (int i = 0; i < job.BandCount(); ++i) {
    job.Produce(band, i);
    Job::Consume(writer, band, width);
  }
}

/// A producer thread decodes and tones bands into free buffers; this thread encodes them.
class Pipeline {
 public:
  Pipeline(const Job& job, RowWriter& writer, int width) : job_(job), writer_(writer), width_(width) {
    bands_.resize(kBands);
    for (int i = 0; i < kBands; ++i) {
      job_.Allocate(bands_[std::size_t(i)]);
      free_.push_back(i);
    }
  }

  void Run() {
    std::thread producer([this] { Produce(); });
    try {
      Consume();
    } catch (...) {
      Stop();
      producer.join();
      throw;
    }
    producer.join();
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  void Produce() {
    try {
      for (int i = 0; i < job_.BandCount(); ++i) {
        int slot = Take(free_);
        if (slot < 0) return;
        job_.Produce(bands_[std::size_t(slot)], i);
        Give(ready_, slot);
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex_);
      failure_ = std::current_exception();
      stopped_ = true;
      changed_.notify_all();
    }
  }

  void Consume() {
    for (int i = 0; i < job_.BandCount(); ++i) {
      int slot = Take(ready_);
      if (slot < 0) return;  // the producer failed; Run() rethrows its error
      Job::Consume(writer_, bands_[std::size_t(slot)], width_);
      Give(free_, slot);
    }
  }

  /// The next slot from `queue`, or -1 once the pipeline has stopped.
  int Take(std::deque<int>& queue) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || !queue.empty(); });
    if (stopped_) return -1;
    int slot = queue.front();
    queue.pop_front();
    return slot;
  }

  void Give(std::deque<int>& queue, int slot) {
    std::lock_guard<std::mutex> lock(mutex_);
    queue.push_back(slot);
    changed_.notify_all();
  }

  void Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }

  const Job& job_;
  RowWriter& writer_;
  int width_;
  std::vector<Band> bands_;
  std::deque<int> free_;
  std::deque<int> ready_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopped_ = false;
  std::exception_ptr failure_;
};

}  // namespace

void ToneFile(const std::string& input, const std::string& output, const Toner& toner,
              const ToneOptions& options, const NoteSink& notes) {
  auto type = FileTypeOfName(output);
  if (!type) throw ToolError(kExitUsage, output + ": the name must end in .png, .jpg or .jpeg");
  auto reader = OpenImage(input, options.jpeg);
  CheckNotSameFile(input, output);
  for (const std::string& note : reader->notes()) notes(input + ": " + note);
  ImageInfo outInfo = reader->info();
  outInfo.channels = 3;
  AtomicFile file(output);
  auto writer = CreateWriter(*type, file.file(), output, outInfo, options.jpeg);
  Job job(*reader, toner, options.keepColour);
  if (options.overlap && job.BandCount() > 1)
    Pipeline(job, *writer, outInfo.width).Run();
  else
    RunInOneThread(job, *writer, outInfo.width);
  writer->Finish();
  writer.reset();
  file.Commit();
}

}  // namespace monx
