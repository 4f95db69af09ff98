// Workbench: script errors, settings round trip and refusals, panes that cannot run, reports.
#include <gtest/gtest.h>

#include <sstream>

#include "Runner.h"
#include "Script.h"
#include "Session.h"
#include "Settings.h"
#include "toolbox/host/journal.h"
#include "toolbox/host/memory.h"

namespace workbench {
namespace {

using nlohmann::json;

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(WorkbenchScriptTest, BadLinesNameFileLineAndFault) {
  const struct {
    const char* line;
    const char* error;
  } cases[] = {
      {"clik MONO:1", "unknown action 'clik'"},
      {"click", "too few arguments"},
      {"click MONO", "'MONO' is no control ID"},
      {"click MONO:1 MONO:2", "too many arguments (from 'MONO:2' on)"},
      {"drag MONO:5", "too few arguments"},
      {"drag MONO:5 1 x", "'x' is no whole number"},
      {"hold MONO:5 left 3", "'left' is neither up nor down"},
      {"key delete", "unknown key 'delete'"},
      {"type \"open", "the quoted text is not closed"},
      {"expect", "expect what?"},
      {"expect colour MONO:1 red", "unknown expectation 'colour'"},
      {"expect visible MONO:1 maybe", "'maybe' is neither yes nor no"},
      {"expect beep two", "'two' is no whole number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    std::istringstream in(std::string("# comment\n\nsuspend\n") + c.line + "\nresume\n");
    try {
      ParseScript(in, "s.session");
      ADD_FAILURE() << "accepted";
    } catch (const ScriptError& e) {
      EXPECT_TRUE(Holds(e.what(), std::string("s.session:4: ") + c.error)) << e.what();
    }
  }
}

TEST(WorkbenchScriptTest, QuotesCommentsOptionalAndRepeatedArguments) {
  std::istringstream in(
      "choose MONO:1 \"Fine \\\"art\\\"\"  # a comment\nexpect menu MONO:1\n"
      "drag MONO:5 1 2 3\nsnapshot a\n");
  const auto commands = ParseScript(in, "s");
  ASSERT_EQ(commands.size(), 4u);
  EXPECT_EQ(commands[0].args, (std::vector<std::string>{"MONO:1", "Fine \"art\""}));
  EXPECT_EQ(commands[1].kind, "menu");
  EXPECT_EQ(commands[1].args.size(), 1u) << "an empty list of enabled entries";
  EXPECT_EQ(commands[2].args.size(), 4u);
  EXPECT_EQ(commands[3].line, 4);
}

TEST(WorkbenchSettingsTest, KeysAreFourCharactersWhenPrintable) {
  const struct {
    UInt32 key;
    const char* name;
  } cases[] = {{FOUR_CHAR_CODE("papr"), "papr"}, {1, "0x00000001"},
               {0x61620163, "0x61620163"},       {FOUR_CHAR_CODE("a b~"), "a b~"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(KeyName(c.key), c.name);
    UInt32 back = 0;
    EXPECT_TRUE(ParseKey(c.name, &back));
    EXPECT_EQ(back, c.key);
  }
  UInt32 key = 0;
  for (const char* bad : {"abc", "abcde", "0x123", "0xZZZZZZZZ", "1x00000001"})
    EXPECT_FALSE(ParseKey(bad, &key)) << bad;
}

class WorkbenchPaneTest : public ::testing::Test {
 protected:
  Session pane{{MONOCHROME_PANE, "", ""}};
};

TEST_F(WorkbenchPaneTest, SettingsRoundTripIntoAFreshPane) {
  pane.Choose("MONO:4", "Selenium");
  pane.Choose("MONO:1", "Matte photo");
  pane.Drag("MONO:6", {3, 7});
  const json saved = pane.SaveSettings();
  EXPECT_EQ(saved["settings"]["brit"], json({{"short", 7}}));
  pane.Close();
  Session fresh({MONOCHROME_PANE, "", ""});
  fresh.LoadSettings(json::parse(SettingsText(saved)));
  EXPECT_EQ(fresh.SaveSettings(), saved);
  EXPECT_FALSE(fresh.Check({"value", {"MONO:1", "3"}})) << "the control shows the loaded paper";
}

TEST_F(WorkbenchPaneTest, RefusedSettingsNameTheKeyAndChangeNothing) {
  const struct {
    const char* file;
    const char* why;
  } cases[] = {
      {R"({"settings": {"papr": {"short": 1}, "zzzz": {"short": 1}}})", "'zzzz': unknown key"},
      {R"({"settings": {"papr": {"short": 1}, "tone": {"long": 241}}})", "'tone': value 241 is out of range 140..240"},
      {R"({"settings": {"papr": {"short": 1}, "dens": {"short": -51}}})", "'dens': value -51"},
      {R"({"settings": {"papr": {"short": 1}, "cont": {"short": 2.5}}})", "'cont': a short value must be a whole"},
      {R"({"settings": {"papr": {"short": 1}, "cont": {"byte": 2}}})", "'cont': unknown size code 'byte'"},
      {R"({"settings": {"papr": {"short": 1}, "cont": 2}})", "'cont': the value must be one of"},
      {R"({"settings": {"papr": {"short": 1}, "cont": {"short": "2"}}})", "'cont': a short value must be a number"},
      {R"({"settings": {"papr": {"short": 1}, "abc": {"short": 2}}})", "'abc': a key is four characters"},
      {R"({"papr": {"short": 1}})", "no \"settings\" object"},
  };
  const json before = pane.SaveSettings();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    try {
      pane.LoadSettings(json::parse(c.file));
      ADD_FAILURE() << "applied";
    } catch (const SessionError& e) {
      EXPECT_TRUE(Holds(e.what(), c.why)) << e.what();
      EXPECT_TRUE(Holds(e.what(), "nothing applied")) << e.what();
    }
    EXPECT_EQ(pane.SaveSettings(), before);
  }
}

TEST_F(WorkbenchPaneTest, FailedExpectationsReportLineExpectedAndFound) {
  std::istringstream in(
      "expect registry papr 3\nexpect menu MONO:1 1 2\nexpect registry papr 2\n"
      "choose MONO:2 Standard\nexpect snapshot dependencies-canvas\n");
  std::ostringstream report;
  RunOptions options{"s", VELKUI_SOURCE_DIR "/examples/monochrome-pane/sessions", ".", "."};
  const RunResult result = RunScript(pane, ParseScript(in, "s"), options, report);
  EXPECT_EQ(result.failures, 3);
  EXPECT_EQ(result.inputs, 1);
  EXPECT_TRUE(Holds(report.str(),
                    "s:1: expectation failed: expect registry papr 3\n"
                    "  expected: 3\n  found:    2\n"))
      << report.str();
  EXPECT_TRUE(Holds(report.str(), "s:2: expectation failed: expect menu MONO:1 1 2\n"
                                  "  expected: 1 2\n  found:    1 2 3 4 5\n"));
  EXPECT_TRUE(Holds(report.str(), "s:5: expectation failed")) << report.str();
  EXPECT_TRUE(Holds(report.str(), "pixels differ, the first at")) << report.str();
}

TEST_F(WorkbenchPaneTest, ActionsThatCannotBeDoneStopAtTheirLine) {
  const struct {
    const char* line;
    const char* error;
  } cases[] = {
      {"click MONO:99", "s:1: click MONO:99: no control MONO:99 in the window"},
      {"choose MONO:1 Velvet", "MONO:1 has no entry 'Velvet'"},
      {"choose MONO:3 1", "MONO:3 is neither a popup button nor a radio group"},
      {"resume", "the pane is shown already"},
      {"preset nothing", "cannot read presets/nothing.json"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    std::istringstream in(c.line);
    std::ostringstream report;
    try {
      RunScript(pane, ParseScript(in, "s"), {"s", ".", ".", "presets"}, report);
      ADD_FAILURE() << "carried out";
    } catch (const ScriptError& e) {
      EXPECT_TRUE(Holds(e.what(), c.error)) << e.what();
    }
  }
}

TEST(WorkbenchSessionTest, KeysPastesBeepsAndAlertsOfOneInput) {
  Session pane({QUALITY_PANE, WORKBENCH_TEST_DIR "/quality-edit.json", ""});
  pane.Click("QLTY:4");
  pane.Type("123");
  pane.Key("backspace");
  pane.Paste("7");
  pane.Key("left");
  pane.Type("x");
  EXPECT_FALSE(pane.Check({"text", {"QLTY:4", "12x7"}}));
  pane.Key("escape");
  toolbox::host::Record("beep", "30");
  toolbox::host::Record("alert", "stop -8179: The value is out of range.");
  const struct {
    Expectation e;
    bool holds;
  } cases[] = {
      {{"beep", {}}, true},        {{"beep", {"1"}}, true},
      {{"beep", {"2"}}, false},    {{"no-beep", {}}, false},
      {{"alert", {"out of range"}}, true}, {{"alert", {"too large"}}, false},
      {{"no-alert", {}}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.e.kind + (c.e.args.empty() ? "" : " " + c.e.args[0]));
    EXPECT_EQ(!pane.Check(c.e), c.holds);
  }
  pane.Click("QLTY:3");  // the next input starts a new count
  EXPECT_FALSE(pane.Check({"no-beep", {}}));
}

TEST(WorkbenchSessionTest, PanesThatCannotRunAreRefusedWithoutLeaks) {
  const size_t handles = toolbox::host::LiveHandles(), pointers = toolbox::host::LivePointers();
  const struct {
    PaneSource source;
    const char* why;
  } cases[] = {
      {{FAILING_PANE, WORKBENCH_TEST_DIR "/quality-edit.json", ""}, "Failing: NewIPP made no pane"},
      {{MONOCHROME_PANE, "", "/nonexistent/resources"},
       "resource folder '/nonexistent/resources' does not exist"},
      {{MONOCHROME_PANE, "/nonexistent/pane.json", ""}, "layout: "},
      {{"/nonexistent/pane.so", "", ""}, "cannot load plug-in"},
      {{VELKUI_BINARY_DIR "/libvelkui.so", "", ""}, "no VelkuiWorkbenchPane entry"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    try {
      Session session(c.source);
      ADD_FAILURE() << "opened";
    } catch (const SessionError& e) {
      EXPECT_TRUE(Holds(e.what(), c.why)) << e.what();
    }
    EXPECT_EQ(toolbox::host::LiveHandles(), handles);
    EXPECT_EQ(toolbox::host::LivePointers(), pointers);
  }
}

}  // namespace
}  // namespace workbench
