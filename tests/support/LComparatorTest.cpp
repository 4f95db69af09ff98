// Tests of the comparators: bytewise and 32-bit orders, key defaults, cloning, shared instances.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>

#include "velkui/support.h"

namespace {

/// Overrides only Compare: equality must follow it.
class ParityComparator : public LComparator {
 public:
  SInt32 Compare(const void* one, const void* two, UInt32, UInt32) const override {
    return (*static_cast<const UInt8*>(one) & 1) - (*static_cast<const UInt8*>(two) & 1);
  }
};

/// Overrides only CompareToKey: key equality must follow it.
class FirstByteKeyComparator : public LComparator {
 public:
  SInt32 CompareToKey(const void* item, UInt32, const void* key) const override {
    return SInt32(*static_cast<const UInt8*>(item)) - SInt32(*static_cast<const UInt8*>(key));
  }
};

TEST(LComparatorTest, BytesCompareUnsignedThenByLengthLongsByWrappingSubtraction) {
  const struct {
    std::string one, two;
    SInt32 expected;
  } rows[] = {
      {"abc", "abc", 0}, {"abc", "abd", 'c' - 'd'}, {"\x80", "\x7f", 0x80 - 0x7f},
      {"ab", "abcd", -2}, {"abcd", "ab", 2},         {"b", "abc", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.one + " vs " + row.two);
    const UInt32 s1 = UInt32(row.one.size()), s2 = UInt32(row.two.size());
    const LComparator& c = LComparator::sComparator;
    EXPECT_EQ(row.expected, c.Compare(row.one.data(), row.two.data(), s1, s2));
    EXPECT_EQ(row.expected == 0, c.IsEqualTo(row.one.data(), row.two.data(), s1, s2));
  }
  const struct {
    SInt32 one, two, expected;
  } longs[] = {{5, 3, 2}, {0x7FFFFFFF, -1, SInt32(0x80000000)}, {SInt32(0x80000000), 1, 0x7FFFFFFF},
               {42, 42, 0}};
  const LLongComparator& c = LLongComparator::sLongComparator;
  for (const auto& row : longs) {
    SCOPED_TRACE(std::to_string(row.one) + " - " + std::to_string(row.two));
    EXPECT_EQ(row.expected, c.Compare(&row.one, &row.two, 4, 4));
    EXPECT_EQ(row.one == row.two, c.IsEqualTo(&row.one, &row.two, 99, 0)) << "sizes ignored";
  }
}

TEST(LComparatorTest, KeyOrderEqualityAndClonesFollowTheOverrides) {
  SInt32 item = 3, key = 3;
  EXPECT_EQ(1, LComparator::sComparator.CompareToKey(&item, 4, &key)) << "the base has no key order";
  EXPECT_FALSE(LComparator::sComparator.IsEqualToKey(&item, 4, &key));
  EXPECT_EQ(1, LLongComparator::sLongComparator.CompareToKey(&item, 4, &key)) << "inherited";
  ParityComparator parity;
  UInt8 one = 1, three = 3, two = 2;
  EXPECT_TRUE(parity.IsEqualTo(&one, &three, 1, 1)) << "IsEqualTo calls the override";
  EXPECT_FALSE(parity.IsEqualTo(&one, &two, 1, 1));
  FirstByteKeyComparator keyed;
  UInt8 seven = 7, eight = 8;
  EXPECT_TRUE(keyed.IsEqualToKey(&seven, 1, &seven)) << "IsEqualToKey calls the override";
  EXPECT_FALSE(keyed.IsEqualToKey(&seven, 1, &eight));

  std::unique_ptr<LComparator> plain(LComparator::sComparator.Clone());
  std::unique_ptr<LComparator> longs(LLongComparator::sLongComparator.Clone());
  std::unique_ptr<LComparator> fromSubclass(ParityComparator().Clone());
  EXPECT_NE(&LComparator::sComparator, plain.get());
  EXPECT_EQ(typeid(LComparator), typeid(*plain));
  EXPECT_EQ(typeid(LLongComparator), typeid(*longs));
  EXPECT_EQ(typeid(LComparator), typeid(*fromSubclass))
      << "a subclass that does not override Clone gets a plain LComparator";
  EXPECT_EQ(&LComparator::sComparator, LComparator::GetComparator()) << "the shared one, not a copy";
  EXPECT_EQ(&LLongComparator::sLongComparator, LLongComparator::GetComparator());
}

}  // namespace
