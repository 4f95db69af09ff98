// Tests of the alert service: parameter texts, alerts in the journal, answers.
#include "WindowFixture.h"
#include "toolbox/dialogs.h"

using namespace toolbox::host;

namespace {

using windowtest::PString;

TEST(DialogsTest, AlertsSubstituteTheParameterTextsAndAnswerAsQueued) {
  ClearJournal();
  ResetAlerts();
  ResetResources();
  ParamText(PString("Oops!"), nullptr, nullptr, nullptr);
  EXPECT_EQ(1, StopAlert(-8179, nullptr)) << "the default item answers";
  EXPECT_EQ(std::vector<std::string>({"stop -8179: \"Oops!\", \"\", \"\", \"\""}), JournalOf("alert"))
      << "an alert without a text resource lists the texts";

  SInt16 file = CreateResourceFile("alerts");
  std::string text = "Value ^0 is out of ^2..^3; now ^1. ^9 ^";
  AddResource(file, FOUR_CHAR_CODE("ALRT"), 500, "", std::vector<uint8_t>(text.begin(), text.end()));
  ParamText(PString("123"), PString("10"), PString("1"), PString("10"));
  size_t handles = LiveHandles();
  QueueAlertAnswers({2, 3});
  ClearJournal();
  EXPECT_EQ(2, NoteAlert(500, nullptr));
  EXPECT_EQ(handles, LiveHandles()) << "showing an alert leaves no handle behind";
  EXPECT_EQ(std::vector<std::string>({"note 500: Value 123 is out of 1..10; now 10. ^9 ^"}), JournalOf("alert"));
  EXPECT_EQ(3, CautionAlert(7, nullptr));
  EXPECT_EQ(1, Alert(7, nullptr)) << "an empty queue answers the default";
  EXPECT_EQ(4, AlertsShown());
  ResetAlerts();
  ResetResources();
}

}  // namespace
