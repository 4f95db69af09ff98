// Tests of the toning entry points: check order and codes, untouched state on refusal, judging, lifetime.
#include <gtest/gtest.h>

#include <cstring>

#include "FaultSweep.h"
#include "ToningTestSupport.h"
#include "toolbox/host/memory.h"

using namespace toning_test;

namespace {

const MonxImageDesc kRGB4x3 = {4, 3, 24, kMonxFormatRGB, 16, 0, 0, 0};

class ToningApi : public ::testing::Test {
 protected:
  void SetUp() override {
    toolbox::host::ClearAllocationFailures();
    handles_ = toolbox::host::LiveHandles();
    picture_.source.assign(picture_.source.size(), 100);
    ASSERT_EQ(kMonxNoErr, UICreateMonx(&picture_.desc, picture_.source.data(), &handle_));
  }
  void TearDown() override {
    EXPECT_EQ(kMonxNoErr, UIDeleteMonx(handle_));
    EXPECT_EQ(handles_, toolbox::host::LiveHandles()) << "the engine record leaked";
  }

  /// A copy of the whole handle record, to prove a refused call left it alone.
  std::vector<UInt8> Snapshot() const {
    const UInt8* p = reinterpret_cast<const UInt8*>(handle_);
    return std::vector<UInt8>(p, p + sizeof(UIHdl));
  }

  Picture picture_{AllFormats()[0], 4, 3, 16};
  UIHdl* handle_ = nullptr;
  size_t handles_ = 0;
};

TEST_F(ToningApi, CreationFillsTheRecord) {
  EXPECT_NE(nullptr, handle_->handle);
  EXPECT_EQ(reinterpret_cast<Ptr>(handle_), *handle_->handle) << "record is its handle's block";
  EXPECT_EQ(0, std::memcmp(&picture_.desc, &handle_->image, sizeof(MonxImageDesc)));
  EXPECT_EQ(picture_.source.data(), handle_->source);
}

TEST(ToningCreate, ChecksArgumentsThenImageInOrder) {
  UInt8 pixels[64] = {};
  UIHdl* sentinel = reinterpret_cast<UIHdl*>(0x1234);
  struct Case {
    const char* what;
    MonxImageDesc image;
    bool nullImage, nullSource, nullOut;
    SInt32 expected;
  };
  const MonxImageDesc bad = {0, 3, 24, kMonxFormatRGB, 16, 0, 0, 0};
  const Case cases[] = {
      {"null image", kRGB4x3, true, false, false, kMonxErrArgument},
      {"null source", kRGB4x3, false, true, false, kMonxErrArgument},
      {"null out-handle", kRGB4x3, false, false, true, kMonxErrArgument},
      {"width 0", bad, false, false, false, kMonxErrImage},
      {"rowBytes 0", {4, 3, 24, 1, 0, 0, 0, 0}, false, false, false, kMonxErrImage},
      {"format 3", {4, 3, 24, 3, 16, 0, 0, 0}, false, false, false, kMonxErrImage},
      {"code 4 with 24 bits", {4, 3, 24, 4, 16, 0, 0, 0}, false, false, false, kMonxErrImage},
      {"code 1 with 32 bits", {4, 3, 32, 1, 16, 0, 0, 0}, false, false, false, kMonxErrImage},
      {"other high bit set", {4, 3, 24, 0x00100001, 16, 0, 0, 0}, false, false, false,
       kMonxErrImage},
  };
  for (const Case& c : cases) {
    UIHdl* out = sentinel;
    SInt32 result = UICreateMonx(c.nullImage ? nullptr : &c.image, c.nullSource ? nullptr : pixels,
                                 c.nullOut ? nullptr : &out);
    EXPECT_EQ(c.expected, result) << c.what;
    EXPECT_EQ(sentinel, out) << c.what << ": out-handle written on refusal";
  }
}

TEST(ToningCreate, AcceptsTheSmallestGeometryReservedFieldsAndTheIgnoredBit) {
  UInt8 pixels[4] = {10, 20, 30, 40};
  const MonxImageDesc accepted[] = {
      {1, 1, 32, kMonxFormatBGRX, 1, -7, 99, 0x7FFFFFFF},
      {1, 1, 24, 0x00080001, 1, 0, 0, 0},
  };
  for (const MonxImageDesc& image : accepted) {
    UIHdl* handle = nullptr;
    ASSERT_EQ(kMonxNoErr, UICreateMonx(&image, pixels, &handle)) << "format " << image.format;
    EXPECT_EQ(0, std::memcmp(&image, &handle->image, sizeof image)) << "descriptor copied whole";
    UInt8 out[4] = {1, 2, 3, 4};
    EXPECT_EQ(kMonxNoErr, UIProcMonx(handle, &kNeutral, &image, out));
    UIDeleteMonx(handle);
  }
}

TEST(ToningCreate, AllocationFailureGivesSevenAndLeavesTheOutHandle) {
  UInt8 pixels[48] = {};
  UIHdl* const sentinel = reinterpret_cast<UIHdl*>(0x5678);
  int fired = testing_support::SweepAllocationFailures([&](testing_support::FaultRun& run) {
    UIHdl* out = sentinel;
    run.Arm();
    SInt32 result = UICreateMonx(&kRGB4x3, pixels, &out);
    run.Disarm();
    if (run.Fired()) {
      EXPECT_EQ(kMonxErrMemory, result);
      EXPECT_EQ(sentinel, out) << "out-handle written although the allocation failed";
    } else {
      EXPECT_EQ(kMonxNoErr, result);
      EXPECT_NE(sentinel, out);
      UIDeleteMonx(out);
    }
  });
  EXPECT_EQ(2, fired) << "one allocation, failed once transiently and once persistently";
}

TEST_F(ToningApi, ProcessingChecksInOrder) {
  MonxInfo badInfo = kNeutral;
  badInfo.tone = 170;
  const MonxImageDesc badImage = {4, 3, 24, 3, 16, 0, 0, 0};
  UInt8* out = picture_.output.data();
  const MonxImageDesc* image = &picture_.desc;
  EXPECT_EQ(kMonxErrHandle, UIProcMonx(nullptr, &badInfo, &badImage, nullptr));
  EXPECT_EQ(kMonxErrHandle, UIProcMonx(nullptr, &kNeutral, image, out));
  EXPECT_EQ(kMonxErrArgument, UIProcMonx(handle_, &badInfo, nullptr, out));
  EXPECT_EQ(kMonxErrArgument, UIProcMonx(handle_, &badInfo, &badImage, nullptr));
  EXPECT_EQ(kMonxErrArgument, UIProcMonx(handle_, nullptr, &badImage, out));
  EXPECT_EQ(kMonxErrProcImage, UIProcMonx(handle_, &badInfo, &badImage, out));
  EXPECT_EQ(kMonxErrParam, UIProcMonx(handle_, &badInfo, image, out));
  EXPECT_EQ(kMonxNoErr, UIProcMonx(handle_, &kNeutral, image, out));
}

TEST_F(ToningApi, ProcessingAppliesTheImageCheckToItsOwnDescriptor) {
  const MonxImageDesc bad[] = {
      {4, -1, 24, 1, 16, 0, 0, 0}, {4, 3, 24, 1, 0, 0, 0, 0}, {4, 3, 32, 2, 16, 0, 0, 0},
      {4, 3, 24, 0x00090001, 16, 0, 0, 0},
  };
  const std::vector<UInt8> output = picture_.output;
  for (const MonxImageDesc& image : bad) {
    EXPECT_EQ(kMonxErrProcImage, UIProcMonx(handle_, &kNeutral, &image, picture_.output.data()))
        << "format " << image.format << ", " << image.bitsPerPixel << " bits, width "
        << image.width << ", height " << image.height << ", rowBytes " << image.rowBytes;
  }
  EXPECT_EQ(output, picture_.output) << "a refused call wrote output";
  const MonxImageDesc ignoredBit = {4, 3, 24, 0x00080001, 16, 0, 0, 0};
  EXPECT_EQ(kMonxNoErr, UIProcMonx(handle_, &kNeutral, &ignoredBit, picture_.output.data()));
}

TEST_F(ToningApi, ProcessingRejectsEveryOutOfRangeFieldAndChangesNothing) {
  struct Bad {
    int field;
    SInt32 value;
  };
  const Bad bads[] = {{0, 76},  {0, -76}, {1, 76},  {1, -76}, {2, 170}, {2, 0},   {2, 181},
                      {2, 260}, {3, 26},  {3, -26}, {4, 26},  {4, -26}, {5, 26},  {5, -26},
                      {6, 26},  {6, -26}, {7, 1},   {7, -51}, {8, 2},   {8, -1}};
  const MonxInfo first = {10, -10, 200, 5, 5, 5, 5, -5, 1};
  ASSERT_EQ(kMonxNoErr, UIProcMonx(handle_, &first, &picture_.desc, picture_.output.data()));
  const std::vector<UInt8> record = Snapshot();
  const std::vector<UInt8> output = picture_.output;
  for (const Bad& bad : bads) {
    MonxInfo info = kNeutral;
    reinterpret_cast<SInt32*>(&info)[bad.field] = bad.value;
    EXPECT_EQ(kMonxErrParam, UIProcMonx(handle_, &info, &picture_.desc, picture_.output.data()))
        << "field " << bad.field << " = " << bad.value;
    EXPECT_EQ(record, Snapshot()) << "handle changed by a refused call, field " << bad.field;
    EXPECT_EQ(output, picture_.output) << "output changed by a refused call, field " << bad.field;
    UInt32 changed = 7;
    EXPECT_EQ(kMonxNoErr, UIJudgeMonx(handle_, &first, &changed));
    EXPECT_EQ(0u, changed) << "judging must still compare against the last accepted record";
  }
  MonxInfo allBad = {80, 80, 1, 30, 30, 30, 30, 5, 3};
  EXPECT_EQ(kMonxErrParam, UIProcMonx(handle_, &allBad, &picture_.desc, picture_.output.data()));
  for (SInt32 tone : {140, 160, 180, 200, 220, 240}) {
    MonxInfo info = kNeutral;
    info.tone = tone;
    EXPECT_EQ(kMonxNoErr, UIProcMonx(handle_, &info, &picture_.desc, picture_.output.data()))
        << "tone " << tone;
  }
}

TEST_F(ToningApi, JudgeReportsChangeAgainstTheLastProcessedRecord) {
  UInt32 changed = 7;
  EXPECT_EQ(kMonxErrHandle, UIJudgeMonx(nullptr, &kNeutral, &changed));
  EXPECT_EQ(kMonxErrArgument, UIJudgeMonx(handle_, nullptr, &changed));
  EXPECT_EQ(kMonxErrArgument, UIJudgeMonx(handle_, &kNeutral, nullptr));

  const MonxInfo zero = {};
  ASSERT_EQ(kMonxNoErr, UIJudgeMonx(handle_, &kNeutral, &changed));
  EXPECT_EQ(1u, changed) << "neutral differs from the all-zero record of a fresh handle";
  ASSERT_EQ(kMonxNoErr, UIJudgeMonx(handle_, &zero, &changed));
  EXPECT_EQ(0u, changed) << "a fresh handle's last record is all zero";

  const MonxInfo record = {-3, 4, 220, 1, -2, 3, -4, -5, 1};
  ASSERT_EQ(kMonxNoErr, UIProcMonx(handle_, &record, &picture_.desc, picture_.output.data()));
  ASSERT_EQ(kMonxNoErr, UIJudgeMonx(handle_, &record, &changed));
  EXPECT_EQ(0u, changed) << "the record just processed";
  for (int field = 0; field < 9; ++field) {
    MonxInfo other = record;
    reinterpret_cast<SInt32*>(&other)[field] += 1;
    ASSERT_EQ(kMonxNoErr, UIJudgeMonx(handle_, &other, &changed));
    EXPECT_EQ(1u, changed) << "field " << field << " changed";
    EXPECT_EQ(0, internal_UIJudgeMonx(&record, &other)) << "field " << field;
  }
}

TEST_F(ToningApi, GeometryComesFromTheCreationDescriptorAndTheSourceIsReadAfresh) {
  // The call's descriptor only has to pass the check: a narrower one, even in
  // another format, still processes the creation geometry.
  const MonxImageDesc other = {1, 1, 32, kMonxFormatXRGB, 4, 0, 0, 0};
  MonxInfo bright = kNeutral;
  bright.brightness = 25;
  ASSERT_EQ(kMonxNoErr, UIProcMonx(handle_, &bright, &other, picture_.output.data()));
  for (SInt32 y = 0; y < 3; ++y) {
    for (SInt32 x = 0; x < 4; ++x) {
      const UInt8* p = picture_.Pixel(picture_.output, x, y);
      for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(int(handle_->redTable[100] * 255.0 + 0.5), int(p[c]))
            << "pixel " << x << "," << y << " byte " << c;
      }
    }
  }
  for (SInt32 y = 0; y < 3; ++y) {
    for (int i = 12; i < 16 && y < 2; ++i) {
      EXPECT_EQ(picture_.before[size_t(y * 16 + i)], picture_.output[size_t(y * 16 + i)])
          << "row padding written in row " << y;
    }
  }
  const std::vector<UInt8> once = picture_.output;
  ASSERT_EQ(kMonxNoErr, UIProcMonx(handle_, &bright, &other, picture_.output.data()));
  EXPECT_EQ(once, picture_.output) << "a second call must start from the source again";
  picture_.source.assign(picture_.source.size(), 200);
  ASSERT_EQ(kMonxNoErr, UIProcMonx(handle_, &kNeutral, &picture_.desc, picture_.output.data()));
  EXPECT_EQ(200, int(picture_.output[0])) << "new source content must be read";
}

TEST(ToningNull, DeleteAndTheInternalCallsTolerateNullPointers) {
  EXPECT_EQ(kMonxNoErr, UIDeleteMonx(nullptr));
  EXPECT_EQ(0, internal_UIJudgeMonx(nullptr, &kNeutral));
  EXPECT_EQ(0, internal_UIJudgeMonx(&kNeutral, nullptr));
  EXPECT_EQ(0, internal_UIProcMonx(nullptr, &kNeutral, nullptr));
}

}  // namespace
