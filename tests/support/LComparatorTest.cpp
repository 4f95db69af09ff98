// Tests of the comparators: bytewise and 32-bit orders, key defaults, cloning, equal blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <typeinfo>

#include "velkui/support.h"

namespace {

/// Orders single bytes by parity and matches them to a key byte by value; overrides
/// neither equality test nor Clone.
class ParityComparator : public LComparator {
 public:
  SInt32 Compare(const void* one, const void* two, UInt32, UInt32) const override {
    return (*static_cast<const UInt8*>(one) & 1) - (*static_cast<const UInt8*>(two) & 1);
  }
  SInt32 CompareToKey(const void* item, UInt32, const void* key) const override {
    return SInt32(*static_cast<const UInt8*>(item)) - SInt32(*static_cast<const UInt8*>(key));
  }
};

TEST(LComparatorTest, BytesCompareUnsignedThenByLengthLongsByWrappingSubtraction) {
  const struct {
    std::string one, two;
    SInt32 expected;
  } rows[] = {{"abc", "abc", 0}, {"abc", "abd", 'c' - 'd'}, {"\x80", "\x7f", 0x80 - 0x7f},
              {"ab", "abcd", -2}, {"abcd", "ab", 2},        {"b", "abc", 1}};
  const LComparator& bytes = LComparator::sComparator;
  for (const auto& [one, two, expected] : rows) {
    const UInt32 s1 = UInt32(one.size()), s2 = UInt32(two.size());
    EXPECT_EQ(expected, bytes.Compare(one.data(), two.data(), s1, s2)) << one << " vs " << two;
    EXPECT_EQ(expected == 0, bytes.IsEqualTo(one.data(), two.data(), s1, s2)) << one;
    const UInt32 n = std::min(s1, s2);
    EXPECT_EQ(one.substr(0, n) == two.substr(0, n), BlocksAreEqual(one.data(), two.data(), n));
  }
  const SInt32 longs[][3] = {{5, 3, 2}, {0x7FFFFFFF, -1, SInt32(0x80000000)},
                             {SInt32(0x80000000), 1, 0x7FFFFFFF}, {42, 42, 0}};
  const LLongComparator& c = LLongComparator::sLongComparator;
  for (const auto& [one, two, expected] : longs) {
    EXPECT_EQ(expected, c.Compare(&one, &two, 4, 4)) << one << " - " << two;
    EXPECT_EQ(one == two, c.IsEqualTo(&one, &two, 99, 0)) << "sizes ignored";
  }
}

TEST(LComparatorTest, KeyOrderEqualityAndClonesFollowTheOverrides) {
  SInt32 item = 3, key = 3;
  EXPECT_EQ(1, LComparator::sComparator.CompareToKey(&item, 4, &key)) << "the base: no key order";
  EXPECT_FALSE(LComparator::sComparator.IsEqualToKey(&item, 4, &key));
  EXPECT_EQ(1, LLongComparator::sLongComparator.CompareToKey(&item, 4, &key)) << "inherited";
  ParityComparator parity;
  const UInt8 one = 1, two = 2, three = 3;
  EXPECT_TRUE(parity.IsEqualTo(&one, &three, 1, 1)) << "IsEqualTo calls the override";
  EXPECT_FALSE(parity.IsEqualTo(&one, &two, 1, 1));
  EXPECT_TRUE(parity.IsEqualToKey(&two, 1, &two)) << "IsEqualToKey calls the override";
  EXPECT_FALSE(parity.IsEqualToKey(&two, 1, &three));

  std::unique_ptr<LComparator> plain(LComparator::sComparator.Clone());
  std::unique_ptr<LComparator> longs(LLongComparator::sLongComparator.Clone());
  std::unique_ptr<LComparator> fromSubclass(parity.Clone());
  EXPECT_EQ(typeid(LComparator), typeid(*plain));
  EXPECT_EQ(typeid(LLongComparator), typeid(*longs));
  EXPECT_EQ(typeid(LComparator), typeid(*fromSubclass)) << "no Clone override: plain LComparator";
}

}  // namespace
