// Tests of the system services: debugger messages, beeps, Gestalt, ticks.
#include <gtest/gtest.h>

#include "toolbox/host.h"
#include "toolbox/system.h"

using namespace toolbox::host;

namespace {

class SystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearJournal();
    ResetGestalt();
  }
  void TearDown() override {
    ResetGestalt();
    UseRealTicks();
  }
};

TEST_F(SystemTest, DebugStrAndSysBeepAreJournalledExactlyAndInOrder) {
  const unsigned char message[] = "\x13 not found registry";
  const unsigned char withZero[] = {3, 'a', 0, 'b'};
  const unsigned char empty[] = {0};
  DebugStr(message);
  DebugStr(withZero);
  DebugStr(empty);
  DebugStr(nullptr);
  std::vector<std::string> expected = {" not found registry", std::string("a\0b", 3), "", ""};
  EXPECT_EQ(expected, JournalOf("debug")) << "the length byte decides, the leading blank is kept";
  ClearJournal();
  SysBeep(10);
  Record("debug", "hello");
  SysBeep(1);
  EXPECT_EQ(std::vector<std::string>({"10", "1"}), JournalOf("beep"));
  EXPECT_EQ("beep: 10\ndebug: hello\nbeep: 1\n", JournalText()) << "kinds are kept in order";
  ClearJournal();
  EXPECT_TRUE(Journal().empty());
}

TEST_F(SystemTest, GestaltAnswersFromAHostTable) {
  SInt32 answer = -1;
  EXPECT_EQ(noErr, Gestalt(gestaltSystemVersion, &answer));
  EXPECT_EQ(0x1049, answer) << "default system version";
  SetGestalt(gestaltSystemVersion, 0x1050);
  SetGestalt(FOUR_CHAR_CODE("abcd"), -7);
  EXPECT_EQ(noErr, Gestalt(gestaltSystemVersion, &answer));
  EXPECT_EQ(0x1050, answer);
  EXPECT_EQ(noErr, Gestalt(FOUR_CHAR_CODE("abcd"), &answer));
  EXPECT_EQ(-7, answer);
  RemoveGestalt(gestaltSystemVersion);
  answer = 99;
  EXPECT_EQ(gestaltUndefSelectorErr, Gestalt(gestaltSystemVersion, &answer));
  EXPECT_EQ(99, answer) << "an unknown selector leaves the response alone";
  EXPECT_EQ(paramErr, Gestalt(FOUR_CHAR_CODE("abcd"), nullptr));
}

TEST_F(SystemTest, TicksFreezeForTestsAndRunOnFromThere) {
  SetTicks(1000);
  EXPECT_EQ(1000u, TickCount());
  EXPECT_EQ(1000u, TickCount()) << "frozen ticks do not advance";
  UseRealTicks();
  UInt32 now = TickCount();
  EXPECT_GE(now, 1000u);
  EXPECT_LT(now, 1000u + 600u) << "the clock continues from the frozen value";
}

}  // namespace
