// Tests of the system services: debugger messages, beeps, Gestalt, ticks.
#include <gtest/gtest.h>

#include "toolbox/host.h"
#include "toolbox/system.h"

using namespace toolbox::host;

namespace {

TEST(SystemTest, DebugStrAndSysBeepAreJournalledExactlyAndInOrder) {
  ClearJournal();
  const unsigned char message[] = "\x13 not found registry";
  const unsigned char withZero[] = {3, 'a', 0, 'b'};
  DebugStr(message);
  DebugStr(withZero);
  DebugStr(nullptr);
  EXPECT_EQ(std::vector<std::string>({" not found registry", std::string("a\0b", 3), ""}), JournalOf("debug"))
      << "the length byte decides, the leading blank is kept";
  ClearJournal();
  SysBeep(10);
  Record("debug", "hello");
  EXPECT_EQ("beep: 10\ndebug: hello\n", JournalText()) << "kinds are kept in order";
  ClearJournal();
}

TEST(SystemTest, GestaltAnswersFromAHostTableAndTicksFreezeForTests) {
  ResetGestalt();
  SInt32 answer = -1;
  EXPECT_EQ(noErr, Gestalt(gestaltSystemVersion, &answer));
  EXPECT_EQ(0x1049, answer) << "default system version";
  RemoveGestalt(gestaltSystemVersion);
  answer = 99;
  EXPECT_EQ(gestaltUndefSelectorErr, Gestalt(gestaltSystemVersion, &answer));
  EXPECT_EQ(99, answer) << "an unknown selector leaves the response alone";
  ResetGestalt();

  SetTicks(1000);
  EXPECT_EQ(1000u, TickCount()) << "frozen ticks";
  UseRealTicks();
  UInt32 now = TickCount();
  EXPECT_TRUE(now >= 1000u && now < 1600u) << "the clock continues from the frozen value";
}

}  // namespace
