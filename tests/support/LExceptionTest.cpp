// Tests of the exception: code, the shared message buffer and the what() rule.
#include <gtest/gtest.h>

#include <string>

#include "velkui/support.h"

namespace {

/// A length-prefixed string of `length` copies of `fill`.
std::basic_string<unsigned char> PString(size_t length, unsigned char fill) {
  std::basic_string<unsigned char> s(length + 1, fill);
  s[0] = static_cast<unsigned char>(length);
  return s;
}

const unsigned char kOops[] = "\x04oops";

}  // namespace

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
  EXPECT_EQ(first.GetErrorString(), copy.GetErrorString()) << "copies share the buffer";
  EXPECT_EQ(1, copy.GetErrorCode());
  copy = second;
  EXPECT_EQ(2, copy.GetErrorCode());
  LException cleared(3);
  EXPECT_STREQ("", first.what()) << "a null message empties the shared buffer";
}

TEST(LExceptionTest, WhatTerminatesInPlaceAndDropsTheLastOfFullLength) {
  const struct {
    size_t length, expected;
  } rows[] = {{0, 0}, {1, 1}, {200, 200}, {254, 254}, {255, 254}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.length);
    LException e(0);
    e.SetErrorString(PString(row.length, 'x').c_str());
    EXPECT_EQ(std::string(row.expected, 'x'), e.what());
  }
}

TEST(LExceptionTest, WithoutASharedBufferNothingIsCopied) {
  StringPtr saved = LException::sErrorStringPtr;
  LException::sErrorStringPtr = nullptr;
  LException e(5, kOops);
  e.SetErrorString(kOops);
  LException::sErrorStringPtr = saved;
  EXPECT_EQ(nullptr, e.GetErrorString());
  EXPECT_STREQ("", e.what());
}
