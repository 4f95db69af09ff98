// Tests of the alert service: parameter texts, alerts in the journal, answers.
#include "WindowFixture.h"
#include "toolbox/dialogs.h"

using namespace toolbox::host;

namespace {

using windowtest::PString;

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearJournal();
    ResetAlerts();
    ResetResources();
  }
  void TearDown() override {
    ResetAlerts();
    ResetResources();
  }
};

TEST_F(DialogsTest, ParamTextKeepsFourTextsAndAnAlertWithoutTextResourceListsThem) {
  ParamText(PString("abc"), PString("5"), nullptr, PString(""));
  EXPECT_EQ(std::vector<std::string>({"abc", "5", "", ""}), ParamTexts());
  ParamText(nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(std::vector<std::string>({"", "", "", ""}), ParamTexts()) << "null clears";
  ParamText(PString("Oops!"), nullptr, nullptr, nullptr);
  EXPECT_EQ(1, StopAlert(-8179, nullptr)) << "the default item answers";
  EXPECT_EQ(std::vector<std::string>({"stop -8179: \"Oops!\", \"\", \"\", \"\""}), JournalOf("alert"));
}

TEST_F(DialogsTest, AlertTextResourceGetsParametersSubstituted) {
  SInt16 file = CreateResourceFile("alerts");
  AddResource(file, FOUR_CHAR_CODE("ALRT"), 500, "", Bytes("Value ^0 is out of ^2..^3; now ^1. ^9 ^"));
  ParamText(PString("123"), PString("10"), PString("1"), PString("10"));
  size_t handles = LiveHandles();
  StopAlert(500, nullptr);
  EXPECT_EQ(handles, LiveHandles()) << "showing an alert leaves no handle behind";
  EXPECT_EQ(std::vector<std::string>({"stop 500: Value 123 is out of 1..10; now 10. ^9 ^"}),
            JournalOf("alert"));
}

TEST_F(DialogsTest, EachAlertKindIsJournalledAndAnswersAsQueued) {
  QueueAlertAnswers({2, 3});
  struct Row {
    DialogItemIndex (*show)(SInt16, ModalFilterUPP);
    const char* kind;
    DialogItemIndex answer;
  } rows[] = {{Alert, "alert", 2}, {NoteAlert, "note", 3}, {CautionAlert, "caution", 1},
              {StopAlert, "stop", 1}};
  for (const Row& r : rows) {
    ClearJournal();
    EXPECT_EQ(r.answer, r.show(7, nullptr)) << r.kind;
    ASSERT_EQ(1u, JournalOf("alert").size());
    EXPECT_EQ(std::string(r.kind) + " 7: ", JournalOf("alert")[0].substr(0, std::string(r.kind).size() + 4));
  }
  EXPECT_EQ(4, AlertsShown());
  QueueAlertAnswers({2});
  ClearAlertAnswers();
  EXPECT_EQ(1, Alert(7, nullptr)) << "a cleared queue answers the default";
}

}  // namespace
