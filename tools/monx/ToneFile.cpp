// The row-band pipeline: decode, convert to grey, tone, encode, optionally in two threads.
#include "ToneFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "AtomicFile.h"
#include "Grey.h"
#include "Orientation.h"
#include "ToolError.h"

namespace monx {
namespace {

constexpr int kBandRows = 16;
constexpr int kBands = 4;  // buffers in flight when decoding overlaps encoding

/// Buffers for one band: the rows as decoded, the output rows, and for RGBA rows
/// their colour alone and that colour toned.
struct Band {
  std::vector<std::uint8_t> raw;
  std::vector<std::uint8_t> toned;
  std::vector<std::uint8_t> rgb;
  std::vector<std::uint8_t> tonedRgb;
  int rows = 0;
};

/// Everything about one file that the band steps share.
class Job {
 public:
  Job(RowReader& reader, const Toner& toner, bool perChannel, int outChannels)
      : reader_(reader), toner_(toner), info_(reader.info()), perChannel_(perChannel),
        outChannels_(outChannels) {}

  int BandCount() const { return (info_.height + kBandRows - 1) / kBandRows; }
  std::size_t OutRowBytes() const { return std::size_t(info_.width) * std::size_t(outChannels_); }

  void Allocate(Band& band) const {
    std::size_t rgbBand = std::size_t(info_.width) * 3 * kBandRows;
    band.raw.resize(info_.RowBytes() * kBandRows);
    band.toned.resize(OutRowBytes() * kBandRows);
    if (info_.channels == 4) band.rgb.resize(rgbBand);
    if (info_.channels == 4 && outChannels_ == 4) band.tonedRgb.resize(rgbBand);
  }

  /// Decodes band `index` and tones it.
  void Produce(Band& band, int index) const {
    band.rows = std::min(kBandRows, info_.height - index * kBandRows);
    reader_.ReadRows(band.raw.data(), std::ptrdiff_t(info_.RowBytes()), band.rows);
    if (info_.channels != 4) {
      ToneRows(band.raw.data(), info_.channels, band.toned.data(), band.rows);
      return;
    }
    // RGBA: the colour is toned on its own, then laid over white or joined with the alpha.
    const std::size_t width = std::size_t(info_.width);
    const std::size_t pixels = width * std::size_t(band.rows);
    for (std::size_t i = 0; i < pixels; ++i) std::memcpy(&band.rgb[3 * i], &band.raw[4 * i], 3);
    if (outChannels_ == 3) {
      ToneRows(band.rgb.data(), 3, band.toned.data(), band.rows);
      OverWhite(band.toned.data(), 3, band.raw.data(), band.toned.data(), pixels);
      return;
    }
    ToneRows(band.rgb.data(), 3, band.tonedRgb.data(), band.rows);
    for (std::size_t i = 0; i < pixels; ++i) {
      std::memcpy(&band.toned[4 * i], &band.tonedRgb[3 * i], 3);
      band.toned[4 * i + 3] = band.raw[4 * i + 3];
    }
  }

  void Consume(RowWriter& writer, const Band& band) const {
    writer.WriteRows(band.toned.data(), std::ptrdiff_t(OutRowBytes()), band.rows);
  }

 private:
  /// Tones `rows` packed grey or RGB rows of `src` into packed RGB rows of dst.
  /// A colour row is turned grey in place first, unless each channel is toned.
  void ToneRows(std::uint8_t* src, int channels, std::uint8_t* dst, int rows) const {
    const std::size_t width = std::size_t(info_.width);
    if (channels == 3 && perChannel_) {
      toner_.ToneRgb(src, dst, info_.width, rows);
      return;
    }
    for (int y = 0; y < rows; ++y) {
      std::uint8_t* row = src + std::size_t(y) * width * std::size_t(channels);
      if (channels == 3) RgbToGrey(row, row, width);
      toner_.ToneGrey(row, dst + std::size_t(y) * width * 3, width);
    }
  }

  RowReader& reader_;
  const Toner& toner_;
  ImageInfo info_;
  bool perChannel_;
  int outChannels_;
};

/// Rows of an image already in memory (a photo turned upright).
class MemoryReader final : public RowReader {
 public:
  explicit MemoryReader(Image image) : image_(std::move(image)) { info_ = image_.info; }
  void ReadRows(std::uint8_t* dst, std::ptrdiff_t stride, int rows) override {
    for (int i = 0; i < rows; ++i, ++next_)
      std::memcpy(dst + i * stride, image_.Row(next_), image_.info.RowBytes());
  }

 private:
  Image image_;
  int next_ = 0;
};

void RunInOneThread(const Job& job, RowWriter& writer) {
  Band band;
  job.Allocate(band);
  for (int i = 0; i < job.BandCount(); ++i) {
    job.Produce(band, i);
    job.Consume(writer, band);
  }
}

/// A producer thread decodes and tones bands into free buffers; this thread encodes them.
class Pipeline {
 public:
  Pipeline(const Job& job, RowWriter& writer) : job_(job), writer_(writer) {
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
      job_.Consume(writer_, bands_[std::size_t(slot)]);
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
  std::vector<Band> bands_;
  std::deque<int> free_;
  std::deque<int> ready_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopped_ = false;
  std::exception_ptr failure_;
};

/// What goes into the output besides pixels: EXIF with the orientation now applied,
/// and the colour profile when it fits the RGB output.
Metadata OutputMetadata(const Metadata& in, int orientation, const std::string& input,
                        const NoteSink& notes) {
  Metadata out;
  out.exif = orientation == 1 ? in.exif : UprightExif(in.exif, orientation);
  if (IsRgbProfile(in.icc))
    out.icc = in.icc;
  else if (!in.icc.empty())
    notes(input + ": grey colour profile left out (the toned photo is RGB)");
  return out;
}

}  // namespace

void ToneFile(const std::string& input, const std::string& output, const Toner& toner,
              const ToneOptions& options, const NoteSink& notes) {
  const bool toStdout = IsStdStream(output);
  std::optional<FileType> type = options.format ? options.format : FileTypeOfName(output);
  if (!type && !toStdout)
    throw ToolError(kExitUsage, output + ": the name must end in .png, .jpg or .jpeg");
  std::unique_ptr<RowReader> reader = OpenImage(input, options.jpeg);
  CheckNotSameFile(input, output);
  if (!type) type = reader->type();
  for (const std::string& note : reader->notes()) notes(input + ": " + note);
  const int orientation = OrientationOf(reader->metadata().exif);
  Metadata metadata;
  if (!options.strip) metadata = OutputMetadata(reader->metadata(), orientation, input, notes);
  if (orientation != 1) {
    // Turning needs the whole photo: read it, turn it, tone it from memory.
    CheckWholeImageSize(input, reader->info());
    Image image;
    image.info = reader->info();
    image.pixels.resize(image.info.RowBytes() * std::size_t(image.info.height));
    reader->ReadRows(image.pixels.data(), std::ptrdiff_t(image.info.RowBytes()), image.info.height);
    reader = std::make_unique<MemoryReader>(Upright(image, orientation));
  }
  ImageInfo outInfo = reader->info();
  outInfo.channels = outInfo.channels == 4 && *type == FileType::kPng ? 4 : 3;
  std::optional<AtomicFile> file;
  if (!toStdout) file.emplace(output);
  std::FILE* stream = toStdout ? stdout : file->file();
  auto writer = CreateWriter(*type, stream, toStdout ? "standard output" : output, outInfo,
                             options.jpeg, metadata);
  Job job(*reader, toner, options.perChannel, outInfo.channels);
  if (options.overlap && job.BandCount() > 1)
    Pipeline(job, *writer).Run();
  else
    RunInOneThread(job, *writer);
  writer->Finish();
  writer.reset();
  if (file) {
    file->Commit();
  } else if (std::fflush(stdout) != 0) {
    throw ToolError(kExitCantCreate, std::string("standard output: cannot write: ") +
                                         std::strerror(errno));
  }
}

}  // namespace monx
