// The keyed registry: size codes and conversions, debug messages, binding, failures.
#include <cstring>

#include "FaultSweep.h"
#include "tests/interpreter/TestPane.h"

namespace {

using namespace testpane;
using testing_support::FaultRun;
using testing_support::SweepAllocationFailures;
using Strings = std::vector<std::string>;

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
  /// The bytes GetRegistry writes, from a buffer filled with 0xEE.
  std::vector<unsigned char> Read(UInt32 key, size_t bytes = 8) {
    std::vector<unsigned char> out(bytes, 0xEE);
    GetRegistry(key, out.data());
    return out;
  }
};

TEST_F(RegistryTest, NumbersConvertBySizeCode) {
  struct Row {
    const char* what;
    SInt32 code;
    std::vector<unsigned char> in;
    SInt32 stored;
  };
  auto bytes = [](const auto& number) {
    const auto* p = reinterpret_cast<const unsigned char*>(&number);
    return std::vector<unsigned char>(p, p + sizeof number);
  };
  const Row rows[] = {
      {"16-bit -1 is sign-extended", 2, bytes(SInt16(-1)), -1},
      {"32-bit as is", 3, bytes(SInt32(-70000)), -70000},
      {"float 2.9 truncates", 6, bytes(2.9f), 2},
      {"float -2.9 truncates toward zero", 6, bytes(-2.9f), -2},
      {"code 2^16 + 2 is code 2", 65536 + 2, bytes(SInt16(-7)), -7},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::vector<unsigned char> in = row.in;
    SetRegistry(1, row.code, in.data());
    EXPECT_EQ(row.stored, Object(1).value);
    EXPECT_EQ(SInt16(row.code & 0xFFFF), Object(1).sizeCode);
  }
  EXPECT_TRUE(Debug().empty());
}

TEST_F(RegistryTest, ReadsUseTheStoredSizeCode) {
  Object(1).value = 0x12345678;
  std::vector<unsigned char> out = Read(1);
  SInt16 low;
  std::memcpy(&low, out.data(), 2);
  EXPECT_EQ(SInt16(0x5678), low) << "never written through Set: 16 bits";
  EXPECT_EQ(0xEE, out[2]) << "nothing beyond 16 bits is written";

  SInt32 value = -70000;
  SetRegistry(1, 3, &value);
  out = Read(1);
  SInt32 whole;
  std::memcpy(&whole, out.data(), 4);
  EXPECT_EQ(-70000, whole);
  EXPECT_EQ(0xEE, out[4]);

  float number = 0;
  SetRegistry(1, 6, &number);
  Object(1).value = (1 << 24) + 1;
  out = Read(1);
  std::memcpy(&number, out.data(), 4);
  EXPECT_EQ(16777216.0f, number) << "2^24 + 1 reads as the nearest float";
}

TEST_F(RegistryTest, StringsRoundTripThroughText) {
  unsigned char empty[256] = {9, 'x'};
  SetRegistry(1, 0, nullptr);
  Object(1).sizeCode = 10;
  GetRegistry(1, empty);
  EXPECT_EQ(0, empty[0]) << "no text yet: an empty string";

  const unsigned char text[] = "\x05hello";
  SInt32 before = Object(1).value;
  SetRegistry(1, 10, const_cast<unsigned char*>(text));
  EXPECT_EQ(before, Object(1).value) << "a string leaves the value alone";
  unsigned char out[256] = {};
  GetRegistry(1, out);
  EXPECT_EQ(0, std::memcmp(text, out, 6));

}

TEST_F(RegistryTest, CodesWithoutConversionStoreTheCodeAndCountAsWrite) {
  Object(1).value = 4;
  SInt32 value = 99;
  for (SInt32 code : {0, 7, -2, 1, 65535}) {
    SCOPED_TRACE(code);
    toolbox::host::ClearJournal();
    pane->registry->changedKey = 0;
    SetRegistry(1, code, code == 0 ? nullptr : &value);
    EXPECT_EQ(code == 0 ? Strings{} : Strings{" not understand size"}, Debug())
        << "only unknown codes are reported";
    EXPECT_EQ(4, Object(1).value) << "nothing converted";
    EXPECT_EQ(SInt16(code), Object(1).sizeCode) << "the code is stored anyway";
    EXPECT_EQ(1u, pane->registry->changedKey);
    EXPECT_EQ((std::vector<unsigned char>(8, 0xEE)), Read(1)) << "reads write nothing";
  }
}

TEST_F(RegistryTest, MissingKeysAreReportedKeyZeroIsIgnored) {
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
}

TEST_F(RegistryTest, WriteToUnknownKeyMakesUnboundObjectThatLaterItemAdopts) {
  SInt16 value = 7;
  SetRegistry(5, 2, &value);
  UIObject& made = Object(5);
  EXPECT_EQ(nullptr, made.item);
  EXPECT_EQ(-32768, made.min);
  EXPECT_EQ(32767, made.max);
  EXPECT_EQ(7, made.value);
  EXPECT_EQ(5u, pane->registry->changedKey) << "unbound: the key counts even when equal";

  SetRegistry(5, 2, &value);
  EXPECT_EQ(5u, pane->registry->changedKey);

  auto* late = new TestItem("late", 5, 1, 9);
  EXPECT_EQ(&made, late->object);
  EXPECT_EQ(late, made.item);
  EXPECT_EQ(7, made.value);
  EXPECT_EQ(1, made.min);
  EXPECT_EQ(9, made.max);
}

TEST_F(RegistryTest, FreshObjectStartsAtMinWithEverythingEnabled) {
  auto* item = new TestItem("fresh", 9, -4, 4);
  const UIObject& r = *item->object;
  EXPECT_EQ(-4, r.value);
  EXPECT_EQ(~UInt64(0), r.menuMask);
  EXPECT_TRUE(r.visible == 1 && r.active == 1 && r.emptyText == 0 && r.sizeCode == 2);
  MonxInfo neutral{0, 0, 180, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(&neutral, &r.monxParams, sizeof neutral));
}

TEST_F(RegistryTest, WriteToBoundObjectGoesThroughItsItem) {
  ResumeIPP(pane, 0, FakeWindow());
  pane->Item(1)->PresentAs(1);
  SInt16 hit = 0;
  ThreadIPP(pane, &hit);
  Calls().clear();

  SInt32 value = 60;
  SetRegistry(1, 3, &value);
  EXPECT_EQ(1u, pane->updates->GetCount()) << "the changed item is queued";
  EXPECT_EQ(1u, pane->registry->changedKey);
  ThreadIPP(pane, &hit);
  EXPECT_EQ((Strings{"SetValue:a"}), Calls());
  EXPECT_EQ(60, PresentationOf(pane->Item(1))->controlValue);

  SetRegistry(1, 3, &value);
  EXPECT_EQ(0u, pane->registry->changedKey) << "an unchanged write does not count";
  SuspendIPP(pane);
}

TEST_F(RegistryTest, RegistryOfNoCurrentSystemCannotMakeObjects) {
  UIRegistry* other = new UIRegistry;
  SInt32 value = 3;
  SetCurrentIPP(nullptr);
  other->Set(77, 3, &value);
  EXPECT_EQ((Strings{" can't make registry"}), Debug());
  EXPECT_EQ(0u, other->changedKey);

  toolbox::host::ClearJournal();
  SetCurrentIPP(pane);
  other->Set(78, 3, &value);
  EXPECT_EQ((Strings{" can't make registry"}), Debug());
  EXPECT_NE(nullptr, pane->FindObject(78)) << "the object went to the current registry";
  delete other;
}

TEST_F(RegistryTest, WritesThatMakeObjectsOrTextFailCleanly) {
  int fired = SweepAllocationFailures([this](FaultRun& run) {
    SInt32 value = 11;
    const unsigned char text[] = "\x03" "abc";
    bool threw = false;
    UInt32 objectsBefore = pane->registry->objects->GetCount();
    run.Arm();
    try {
      SetRegistry(500, 3, &value);
      SetRegistry(1, 10, const_cast<unsigned char*>(text));
    } catch (const LException& error) {
      threw = true;
      EXPECT_TRUE(error.GetErrorCode() == kNilPointerErr || error.GetErrorCode() == memFullErr)
          << error.GetErrorCode();
    }
    run.Disarm();
    UIObject* made = pane->FindObject(500);
    if (!threw) {
      ASSERT_NE(nullptr, made);
      EXPECT_EQ(11, made->value);
      unsigned char out[256] = {};
      Object(1).Get(out);
      EXPECT_EQ(0, std::memcmp(text, out, 4));
    } else if (made == nullptr) {
      EXPECT_EQ(objectsBefore, pane->registry->objects->GetCount()) << "registry unchanged";
    }
    // Start the next run from a pane without the object and the text.
    FreeIPP(pane);
    MakePane({1});
  });
  EXPECT_GE(fired, 3);
}

}  // namespace
