// The keyed registry: size codes and conversions, debug messages, binding, failures.
#include <cmath>
#include <cstring>

#include "ExceptionCode.h"
#include "FaultSweep.h"
#include "tests/interpreter/TestPane.h"

namespace {

using namespace testpane;
using testing_support::FaultRun;
using Strings = std::vector<std::string>;
using Bytes = std::vector<unsigned char>;

/// The bytes of `number`, padded with 0xEE to 8 bytes.
template <class T>
Bytes Of(T number) {
  Bytes bytes(8, 0xEE);
  std::memcpy(bytes.data(), &number, sizeof number);
  return bytes;
}

/// A built pane with item a bound to key 1 (range 0..100), not shown.
class RegistryTest : public PaneTest {
 protected:
  void SetUp() override {
    PaneTest::SetUp();
    MakePane({1});
    toolbox::host::ClearJournal();
  }
  UIObject& Object(UInt32 key) { return *pane->FindObject(key); }
  Strings Debug() { return toolbox::host::JournalOf("debug"); }
  /// The 8 bytes GetRegistry leaves in a buffer filled with 0xEE.
  Bytes Read(UInt32 key) {
    Bytes out(8, 0xEE);
    GetRegistry(key, out.data());
    return out;
  }
};

TEST_F(RegistryTest, NumbersConvertBySizeCodeAndReadBackInTheStoredSize) {
  Object(1).value = 0x12345678;
  EXPECT_EQ(Of(SInt16(0x5678)), Read(1)) << "never written through Set: 16 bits";
  const struct {
    const char* what;
    SInt32 code;
    Bytes in;
    SInt32 stored;
    Bytes out;
  } rows[] = {
      {"16-bit -1 is sign-extended", 2, Of(SInt16(-1)), -1, Of(SInt16(-1))},
      {"32-bit as is", 3, Of(SInt32(-70000)), -70000, Of(SInt32(-70000))},
      {"code 2^16 + 2 is code 2", 65536 + 2, Of(SInt16(-7)), -7, Of(SInt16(-7))},
      {"float 2.9 truncates", 6, Of(2.9f), 2, Of(2.0f)},
      {"float -2.9 truncates toward zero", 6, Of(-2.9f), -2, Of(-2.0f)},
      {"float beyond 32 bits saturates", 6, Of(3e9f), 0x7FFFFFFF, Of(2147483648.0f)},
      {"float below 32 bits saturates", 6, Of(-3e9f), SInt32(0x80000000), Of(-2147483648.0f)},
      {"float NaN gives 0", 6, Of(std::nanf("")), 0, Of(0.0f)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Bytes in = row.in;
    SetRegistry(1, row.code, in.data());
    EXPECT_EQ(row.stored, Object(1).value);
    EXPECT_EQ(SInt16(row.code & 0xFFFF), Object(1).sizeCode);
    EXPECT_EQ(row.out, Read(1)) << "read back in the stored size, nothing beyond";
  }
  Object(1).value = (1 << 24) + 1;  // the last row left size code 6
  EXPECT_EQ(Of(16777216.0f), Read(1)) << "2^24 + 1 reads as the nearest float";
  EXPECT_TRUE(Debug().empty());
}

TEST_F(RegistryTest, StringsRoundTripThroughTextOtherCodesConvertNothing) {
  unsigned char out[256] = {9, 'x'};
  SetRegistry(1, 10, nullptr);
  GetRegistry(1, out);
  EXPECT_EQ(0, out[0]) << "no text yet: an empty string";
  const unsigned char text[] = "\x05hello";
  Object(1).value = 4;
  SetRegistry(1, 10, const_cast<unsigned char*>(text));
  GetRegistry(1, out);
  EXPECT_EQ(0, std::memcmp(text, out, 6));

  SInt32 value = 99;
  for (SInt32 code : {0, 7, -2, 1, 65535}) {
    SCOPED_TRACE(code);
    toolbox::host::ClearJournal();
    pane->registry->changedKey = 0;
    SetRegistry(1, code, code == 0 ? nullptr : &value);
    EXPECT_EQ(code == 0 ? Strings{} : Strings{" not understand size"}, Debug())
        << "only unknown codes are reported";
    EXPECT_EQ(4, Object(1).value) << "nothing converted, strings included";
    EXPECT_EQ(SInt16(code), Object(1).sizeCode) << "the code is stored anyway";
    EXPECT_EQ(1u, pane->registry->changedKey) << "and counts as a write";
    EXPECT_EQ(Bytes(8, 0xEE), Read(1)) << "reads write nothing";
  }
}

TEST_F(RegistryTest, MissingKeysAndObjectsNoRegistryTakesAreReportedKeyZeroIsIgnored) {
  Read(42);
  EXPECT_EQ((Strings{" not found registry"}), Debug());
  toolbox::host::ClearJournal();
  SInt32 value = 1;
  SetRegistry(0, 3, &value);
  Read(0);
  EXPECT_TRUE(Debug().empty()) << "key 0 is silently ignored";
  EXPECT_EQ(0u, pane->registry->changedKey);
  DebugNum(-1234);
  DebugNum(0);
  EXPECT_EQ((Strings{"-1234", "0"}), Debug()) << "DebugNum writes decimal";

  // A registry that is not the current system's cannot make objects.
  toolbox::host::ClearJournal();
  UIRegistry* other = new UIRegistry;
  SetCurrentIPP(nullptr);
  other->Set(77, 3, &value);
  EXPECT_EQ(0u, other->changedKey);
  SetCurrentIPP(pane);
  other->Set(78, 3, &value);
  EXPECT_EQ((Strings{" can't make registry", " can't make registry"}), Debug());
  EXPECT_NE(nullptr, pane->FindObject(78)) << "the object went to the current registry";
  delete other;
}

TEST_F(RegistryTest, WriteToUnknownKeyMakesUnboundObjectThatLaterItemAdopts) {
  SInt16 value = 7;
  SetRegistry(5, 2, &value);
  UIObject& made = Object(5);
  EXPECT_TRUE(!made.item && made.min == -32768 && made.max == 32767 && made.value == 7);
  pane->registry->changedKey = 0;
  SetRegistry(5, 2, &value);
  EXPECT_EQ(5u, pane->registry->changedKey) << "unbound: the key counts even when equal";
  auto* late = new TestItem("late", 5, 1, 9);
  EXPECT_EQ(&made, late->object);
  EXPECT_TRUE(made.item == late && made.value == 7 && made.min == 1 && made.max == 9)
      << "bound, value kept, range its own";

  const UIObject& fresh = *(new TestItem("fresh", 9, -4, 4))->object;
  EXPECT_TRUE(fresh.value == -4 && fresh.menuMask == ~UInt64(0) && fresh.visible == 1 &&
              fresh.active == 1 && fresh.emptyText == 0 && fresh.sizeCode == 2)
      << "a fresh object starts at min with every entry enabled";
  MonxInfo neutral{0, 0, 180, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(&neutral, &fresh.monxParams, sizeof neutral));
}

TEST_F(RegistryTest, WritesThatMakeObjectsOrTextFailCleanly) {
  int fired = testing_support::SweepAllocationFailures([this](FaultRun& run) {
    SInt32 value = 11;
    const unsigned char text[] = "\x03" "abc";
    UInt32 objectsBefore = pane->registry->objects->GetCount();
    run.Arm();
    SInt32 code = CodeOf([&] {
      SetRegistry(500, 3, &value);
      SetRegistry(1, 10, const_cast<unsigned char*>(text));
    });
    run.Disarm();
    UIObject* made = pane->FindObject(500);
    if (code == 0) {
      ASSERT_NE(nullptr, made);
      EXPECT_EQ(11, made->value);
      unsigned char out[256] = {};
      Object(1).Get(out);
      EXPECT_EQ(0, std::memcmp(text, out, 4));
    } else {
      EXPECT_TRUE(code == kNilPointerErr || code == memFullErr) << code;
      EXPECT_TRUE(made || objectsBefore == pane->registry->objects->GetCount()) << "unchanged";
    }
    // Start the next run from a pane without the object and the text.
    FreeIPP(pane);
    MakePane({1});
  });
  EXPECT_GE(fired, 3);
}

}  // namespace
