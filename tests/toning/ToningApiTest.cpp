// Tests of the toning entry points: check order and codes, untouched state on refusal, judging, lifetime.
#include <cstring>

#include "FaultSweep.h"
#include "ToningTestSupport.h"
#include "toolbox/host/memory.h"

using namespace toning_test;

namespace {

const MonxImageDesc kRGB4x3 = {4, 3, 24, kMonxFormatRGB, 16, 0, 0, 0};
UIHdl* const kSentinel = reinterpret_cast<UIHdl*>(0x1234);

/// An engine record over a 4 x 3 RGB picture of grey 100 whose descriptor has
/// its reserved fields set (they are kept, not judged); released at the end.
class ToningApi : public ::testing::Test {
 protected:
  void SetUp() override {
    handles_ = toolbox::host::LiveHandles();
    picture_.source.assign(picture_.source.size(), 100);
    picture_.desc.reserved1 = -7, picture_.desc.reserved2 = 99, picture_.desc.reserved3 = 0x7FFFFFFF;
    ASSERT_EQ(kMonxNoErr, UICreateMonx(&picture_.desc, picture_.Src(), &handle_));
  }
  void TearDown() override {
    EXPECT_EQ(kMonxNoErr, UIDeleteMonx(handle_));
    EXPECT_EQ(handles_, toolbox::host::LiveHandles()) << "the engine record leaked";
  }
  /// A copy of the whole handle record, to prove a refused call left it alone.
  std::vector<UInt8> Snapshot() const { auto* p = reinterpret_cast<UInt8*>(handle_); return {p, p + sizeof *handle_}; }
  SInt32 Proc(const MonxInfo& i, const MonxImageDesc& d) { return UIProcMonx(handle_, &i, &d, picture_.Out()); }
  SInt32 Judge(const MonxInfo& info) {
    UInt32 changed = 7;
    EXPECT_EQ(kMonxNoErr, UIJudgeMonx(handle_, &info, &changed));
    return SInt32(changed);
  }

  Picture picture_{AllFormats()[0], 4, 3, 16};
  UIHdl* handle_ = nullptr;
  size_t handles_ = 0;
};

TEST(ToningCreate, ChecksArgumentsThenImageInOrderAndFailsToAllocateWithSeven) {
  UInt8 pixels[64] = {};
  UIHdl* out = kSentinel;
  const MonxImageDesc bad = {0, 3, 24, kMonxFormatRGB, 16, 0, 0, 0};
  EXPECT_EQ(kMonxErrArgument, UICreateMonx(nullptr, pixels, &out)) << "null image";
  EXPECT_EQ(kMonxErrArgument, UICreateMonx(&bad, nullptr, &out)) << "null source, before the image";
  EXPECT_EQ(kMonxErrArgument, UICreateMonx(&bad, pixels, nullptr)) << "null out-handle";
  const MonxImageDesc images[] = {bad, {4, 3, 24, 1, 0, 0, 0, 0}, {4, 3, 24, 3, 16, 0, 0, 0},
                                  {4, 3, 24, 4, 16, 0, 0, 0}, {4, 3, 32, 1, 16, 0, 0, 0},
                                  {4, 3, 24, 0x00100001, 16, 0, 0, 0}};
  for (const MonxImageDesc& image : images) {
    EXPECT_EQ(kMonxErrImage, UICreateMonx(&image, pixels, &out))
        << "format " << image.format << ", " << image.bitsPerPixel << " bits, width "
        << image.width << ", rowBytes " << image.rowBytes;
  }
  EXPECT_EQ(kSentinel, out) << "out-handle written on refusal";

  EXPECT_EQ(2, testing_support::SweepAllocationFailures([&](testing_support::FaultRun& run) {
    UIHdl* out = kSentinel;
    run.Arm();
    SInt32 result = UICreateMonx(&kRGB4x3, pixels, &out);
    run.Disarm();
    EXPECT_EQ(run.Fired() ? kMonxErrMemory : kMonxNoErr, result);
    EXPECT_EQ(run.Fired(), out == kSentinel) << "out-handle written only on success";
    if (!run.Fired()) UIDeleteMonx(out);
  })) << "one allocation, failed once transiently and once persistently";
}

// The image check is the one creation applies (tested there), here to the call's own descriptor.
TEST_F(ToningApi, ProcessingChecksInOrderAndRefusesEveryOutOfRangeFieldChangingNothing) {
  MonxInfo badInfo = kNeutral;
  badInfo.tone = 170;
  const MonxImageDesc badImage = {4, 3, 24, 3, 16, 0, 0, 0};
  UInt8* out = picture_.Out();
  std::vector<UInt8> output = picture_.output;
  EXPECT_EQ(kMonxErrHandle, UIProcMonx(nullptr, &badInfo, &badImage, nullptr));
  EXPECT_EQ(kMonxErrHandle, UIProcMonx(nullptr, &kNeutral, &picture_.desc, out));
  EXPECT_EQ(kMonxErrArgument, UIProcMonx(handle_, &badInfo, nullptr, out));
  EXPECT_EQ(kMonxErrArgument, UIProcMonx(handle_, &badInfo, &badImage, nullptr));
  EXPECT_EQ(kMonxErrArgument, UIProcMonx(handle_, nullptr, &badImage, out));
  EXPECT_EQ(kMonxErrProcImage, Proc(badInfo, badImage));
  EXPECT_EQ(kMonxErrParam, Proc(badInfo, picture_.desc));
  EXPECT_EQ(output, picture_.output) << "a refused call wrote output";
  EXPECT_EQ(kMonxErrParam, Proc({80, 80, 1, 30, 30, 30, 30, 5, 3}, picture_.desc));

  // Every out-of-range field alone is refused and leaves the record and the output as they were.
  const std::pair<int, SInt32> bads[] = {
      {0, 76}, {0, -76}, {1, 76}, {1, -76}, {2, 170}, {2, 0}, {2, 181}, {2, 260}, {3, 26}, {3, -26},
      {4, 26}, {4, -26}, {5, 26}, {5, -26}, {6, 26},  {6, -26}, {7, 1}, {7, -51}, {8, 2}, {8, -1}};
  const MonxInfo first = {10, -10, 200, 5, 5, 5, 5, -5, 1};
  ASSERT_EQ(kMonxNoErr, Proc(first, picture_.desc));
  const std::vector<UInt8> record = Snapshot();
  output = picture_.output;
  for (auto [field, value] : bads) {
    SCOPED_TRACE(testing::Message() << "field " << field << " = " << value);
    MonxInfo info = kNeutral;
    Field(info, field) = value;
    EXPECT_EQ(kMonxErrParam, Proc(info, picture_.desc));
    EXPECT_EQ(record, Snapshot()) << "handle changed by a refused call";
    EXPECT_EQ(output, picture_.output) << "output changed by a refused call";
    EXPECT_EQ(0, Judge(first)) << "judging must still compare against the last accepted record";
  }
}

TEST_F(ToningApi, JudgeReportsChangeAgainstTheLastProcessedRecord) {
  UInt32 changed = 7;
  EXPECT_EQ(kMonxErrHandle, UIJudgeMonx(nullptr, &kNeutral, &changed));
  EXPECT_EQ(kMonxErrArgument, UIJudgeMonx(handle_, nullptr, &changed));
  EXPECT_EQ(kMonxErrArgument, UIJudgeMonx(handle_, &kNeutral, nullptr));
  EXPECT_EQ(1, Judge(kNeutral)) << "neutral differs from the all-zero record of a fresh handle";
  EXPECT_EQ(0, Judge(MonxInfo{})) << "a fresh handle's last record is all zero";

  const MonxInfo record = {-3, 4, 220, 1, -2, 3, -4, -5, 1};
  ASSERT_EQ(kMonxNoErr, Proc(record, picture_.desc));
  EXPECT_EQ(0, Judge(record)) << "the record just processed";
  for (int field = 0; field < 9; ++field) {
    MonxInfo other = record;
    Field(other, field) += 1;
    EXPECT_EQ(1, Judge(other)) << "field " << field << " changed";
    EXPECT_EQ(0, internal_UIJudgeMonx(&record, &other)) << "field " << field;
  }
  EXPECT_EQ((std::vector<SInt32>{kMonxNoErr, 0, 0, 0}), (std::vector<SInt32>{UIDeleteMonx(nullptr),
            internal_UIJudgeMonx(nullptr, &kNeutral), internal_UIJudgeMonx(&kNeutral, nullptr),
            internal_UIProcMonx(nullptr, &kNeutral, nullptr)}))
      << "the deletion and the internal calls tolerate null pointers";
}

TEST_F(ToningApi, GeometryComesFromTheCreationDescriptorAndTheSourceIsReadAfresh) {
  EXPECT_EQ(0, std::memcmp(&picture_.desc, &handle_->image, sizeof(MonxImageDesc))) << "copied whole";
  // The call's descriptor only has to pass the check: a narrower one, even in
  // another format, still processes the creation geometry.
  const MonxImageDesc other = {1, 1, 32, kMonxFormatXRGB, 4, 0, 0, 0};
  MonxInfo bright = kNeutral;
  bright.brightness = 25;
  ASSERT_EQ(kMonxNoErr, Proc(bright, other));
  EXPECT_EQ(-1, FirstDifference(ReferenceOutput(*handle_, picture_), picture_.output));
  const std::vector<UInt8> once = picture_.output;
  ASSERT_EQ(kMonxNoErr, Proc(bright, other));
  EXPECT_EQ(once, picture_.output) << "a second call must start from the source again";
  picture_.source.assign(picture_.source.size(), 200);
  ASSERT_EQ(kMonxNoErr, Proc(kNeutral, picture_.desc));
  EXPECT_EQ(200, int(picture_.Out()[0])) << "new source content must be read";
}

}  // namespace
