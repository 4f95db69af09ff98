// Tests of the scrap service: reading pasted text by flavour.
#include <gtest/gtest.h>

#include <cstring>

#include "toolbox/host.h"
#include "toolbox/scrap.h"

using namespace toolbox::host;

namespace {

TEST(ScrapTest, TextFlavourReadsBackByPrefixAndOtherFlavoursGiveZero) {
  SetScrapText("1234");
  ScrapRef scrap = nullptr;
  ASSERT_EQ(noErr, GetCurrentScrap(&scrap));
  Size size = -1;
  EXPECT_EQ(noErr, GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size));
  EXPECT_EQ(4, size);
  char buffer[8] = "xxxxxxx";
  Size count = 3;
  EXPECT_EQ(noErr, GetScrapFlavorData(scrap, kScrapFlavorTypeText, &count, buffer));
  EXPECT_EQ(3, count) << "a short buffer gets a prefix";
  EXPECT_EQ(0, std::memcmp(buffer, "123xxxx", 7));
  EXPECT_EQ(noErr, PutScrapFlavor(scrap, FOUR_CHAR_CODE("utxt"), 0, 2, "hi"));
  SetScrapText("two");
  EXPECT_EQ(noTypeErr, GetScrapFlavorSize(scrap, FOUR_CHAR_CODE("utxt"), &size))
      << "setting the text replaces the whole scrap";
  EXPECT_EQ(0, size) << "the library treats size 0 as nothing to paste";
  ClearScrap();
  EXPECT_EQ(noTypeErr, GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size));
  EXPECT_EQ(noScrapErr, GetScrapFlavorSize(reinterpret_cast<ScrapRef>(&size), kScrapFlavorTypeText, &size));
}

}  // namespace
