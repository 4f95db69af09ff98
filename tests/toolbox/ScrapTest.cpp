// Tests of the scrap service: reading pasted text by flavour.
#include <gtest/gtest.h>

#include <cstring>

#include "toolbox/host.h"
#include "toolbox/scrap.h"

using namespace toolbox::host;

namespace {

class ScrapTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearScrap(); }
  void TearDown() override { ClearScrap(); }
};

TEST_F(ScrapTest, TextFlavourReadsBackWithSizeFirstAndMissingFlavourGivesZero) {
  SetScrapText("1234");
  ScrapRef scrap = nullptr;
  ASSERT_EQ(noErr, GetCurrentScrap(&scrap));
  Size size = -1;
  EXPECT_EQ(noErr, GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size));
  EXPECT_EQ(4, size);
  char buffer[8] = "xxxxxxx";
  Size count = size;
  EXPECT_EQ(noErr, GetScrapFlavorData(scrap, kScrapFlavorTypeText, &count, buffer));
  EXPECT_EQ(4, count);
  EXPECT_EQ(0, std::memcmp(buffer, "1234xxx", 7)) << "exactly the flavour's bytes are written";
  count = 3;
  std::memcpy(buffer, "xxxxxxx", 7);
  EXPECT_EQ(noErr, GetScrapFlavorData(scrap, kScrapFlavorTypeText, &count, buffer));
  EXPECT_EQ(3, count) << "a short buffer gets a prefix";
  EXPECT_EQ(0, std::memcmp(buffer, "123xxxx", 7));
  size = 99;
  EXPECT_EQ(noTypeErr, GetScrapFlavorSize(scrap, FOUR_CHAR_CODE("PICT"), &size));
  EXPECT_EQ(0, size) << "the library treats size 0 as nothing to paste";
  ClearScrap();
  EXPECT_EQ(noTypeErr, GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size));
  EXPECT_EQ(0, size);
  EXPECT_EQ(noScrapErr, GetScrapFlavorSize(reinterpret_cast<ScrapRef>(&size), kScrapFlavorTypeText, &size));
  EXPECT_EQ(paramErr, GetCurrentScrap(nullptr));
}

TEST_F(ScrapTest, PutFlavourReplacesOneFlavourAndSetTextReplacesAll) {
  ScrapRef scrap = nullptr;
  GetCurrentScrap(&scrap);
  EXPECT_EQ(noErr, PutScrapFlavor(scrap, FOUR_CHAR_CODE("utxt"), 0, 2, "hi"));
  EXPECT_EQ(noErr, PutScrapFlavor(scrap, kScrapFlavorTypeText, 0, 3, "one"));
  EXPECT_EQ("one", ScrapText());
  SetScrapText("two");
  Size size = -1;
  EXPECT_EQ(noTypeErr, GetScrapFlavorSize(scrap, FOUR_CHAR_CODE("utxt"), &size))
      << "setting the text replaces the whole scrap";
  EXPECT_EQ(paramErr, PutScrapFlavor(scrap, kScrapFlavorTypeText, 0, -1, "x"));
  EXPECT_EQ(noErr, ClearCurrentScrap());
  EXPECT_EQ("", ScrapText());
}

}  // namespace
