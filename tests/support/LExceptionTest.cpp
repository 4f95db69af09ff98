// Tests of the exception: code, the shared message buffer and the what() rule.
#include <gtest/gtest.h>

#include <string>

#include "velkui/support.h"

namespace {

const unsigned char kOops[] = "\x04oops";

TEST(LExceptionTest, CarriesItsCodeAndSharesOneMessageBuffer) {
  LException e(memFullErr);
  EXPECT_EQ(memFullErr, e.GetErrorCode());
  EXPECT_STREQ("", e.what()) << "no message by default";
  e.SetErrorCode(SInt32(FOUR_CHAR_CODE("nilP")));
  EXPECT_EQ(0x6E696C50, e.GetErrorCode());
  try {
    throw LException(-192, kOops);
  } catch (const std::exception& caught) {
    EXPECT_STREQ("oops", caught.what()) << "catchable as a standard exception";
  }
  LException first(1, kOops);
  EXPECT_EQ(LException::sErrorStringPtr, first.GetErrorString());
  LException second(2, reinterpret_cast<ConstStringPtr>("\x03" "abc"));
  EXPECT_STREQ("abc", first.what()) << "a newer exception overwrites the shared message";
  LException copy(first);
  EXPECT_EQ(1, copy.GetErrorCode());
  copy = second;
  EXPECT_EQ(2, copy.GetErrorCode());
  LException cleared(3);
  EXPECT_STREQ("", first.what()) << "a null message empties the shared buffer";
}

TEST(LExceptionTest, WhatDropsTheLastOfAFullLengthMessage) {
  for (size_t length : {0, 1, 254, 255}) {
    std::basic_string<unsigned char> text(length + 1, 'x');
    text[0] = static_cast<unsigned char>(length);
    LException e(0);
    e.SetErrorString(text.c_str());
    EXPECT_EQ(std::string(length == 255 ? 254 : length, 'x'), e.what()) << length;
  }
}

}  // namespace
