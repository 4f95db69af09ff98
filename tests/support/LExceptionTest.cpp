// Tests of the exception: code, the shared message buffer and the what() rule.
#include <gtest/gtest.h>

#include <string>

#include "velkui/support.h"

namespace {

TEST(LExceptionTest, CarriesItsCodeAndSharesOneMessageBuffer) {
  const auto* oops = reinterpret_cast<ConstStringPtr>("\x04oops");
  try {
    throw LException(memFullErr, oops);
  } catch (const std::exception& caught) {
    EXPECT_STREQ("oops", caught.what()) << "catchable as a standard exception";
    EXPECT_EQ(memFullErr, static_cast<const LException&>(caught).GetErrorCode());
  }
  LException first(1, oops);
  EXPECT_EQ(LException::sErrorStringPtr, first.GetErrorString());
  LException copy(first);
  LException second(2, reinterpret_cast<ConstStringPtr>("\x03" "abc"));
  EXPECT_STREQ("abc", copy.what()) << "a newer exception overwrites the message copies share";
  copy = second;
  EXPECT_EQ(2, copy.GetErrorCode());
  LException cleared(3);
  EXPECT_STREQ("", first.what()) << "a null message empties the shared buffer";

  for (size_t length : {0, 1, 254, 255}) {
    std::basic_string<unsigned char> text(length + 1, 'x');
    text[0] = static_cast<unsigned char>(length);
    cleared.SetErrorString(text.c_str());
    EXPECT_EQ(std::string(length == 255 ? 254 : length, 'x'), cleared.what())
        << "a full-length message loses its last character: " << length;
  }
}

}  // namespace
