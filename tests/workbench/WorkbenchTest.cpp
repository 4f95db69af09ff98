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
using Cases = std::vector<std::pair<const char*, const char*>>;

/// The message of the Error that `op` throws ("carried out" when it throws none).
template <class Error, class Op>
std::string Refusal(Op op) {
  try {
    op();
  } catch (const Error& e) {
    return e.what();
  }
  return "carried out";
}

#define EXPECT_HOLDS(text, part) EXPECT_NE(std::string(text).find(part), std::string::npos) << (text)

std::vector<Command> Parse(const std::string& text, const char* name = "s") {
  std::istringstream in(text);
  return ParseScript(in, name);
}

TEST(WorkbenchScriptTest, BadLinesNameFileLineAndFault) {
  for (const auto& [line, error] : Cases{
           {"clik MONO:1", "unknown action 'clik'"}, {"click", "too few arguments"},
           {"click MONO", "'MONO' is no control ID"}, {"click MONO:1 MONO:2", "too many arguments (from 'MONO:2' on)"},
           {"drag MONO:5", "too few arguments"}, {"drag MONO:5 1 x", "'x' is no whole number"},
           {"hold MONO:5 left 3", "'left' is neither up nor down"}, {"key delete", "unknown key 'delete'"},
           {"type \"open", "the quoted text is not closed"}, {"expect", "expect what?"},
           {"expect colour MONO:1 red", "unknown expectation 'colour'"},
           {"expect visible MONO:1 maybe", "'maybe' is neither yes nor no"},
           {"expect beep two", "'two' is no whole number"}}) {
    SCOPED_TRACE(line);
    std::string script = std::string("# comment\n\nsuspend\n") + line + "\nresume\n";
    EXPECT_HOLDS(Refusal<ScriptError>([&] { Parse(script, "s.session"); }), std::string("s.session:4: ") + error);
  }
}

TEST(WorkbenchScriptTest, QuotesCommentsOptionalAndRepeatedArguments) {
  const auto commands =
      Parse("choose MONO:1 \"Fine \\\"art\\\"\"  # a comment\nexpect menu MONO:1\ndrag MONO:5 1 2 3\nsnapshot a\n");
  ASSERT_EQ(commands.size(), 4u);
  EXPECT_EQ(commands[0].args, (std::vector<std::string>{"MONO:1", "Fine \"art\""}));
  EXPECT_EQ(commands[1].kind, "menu");
  EXPECT_EQ(commands[1].args.size(), 1u) << "an empty list of enabled entries";
  EXPECT_EQ(commands[2].args.size(), 4u);
  EXPECT_EQ(commands[3].line, 4);
}

TEST(WorkbenchSettingsTest, KeysAreFourCharactersWhenPrintable) {
  for (const auto& [key, name] : std::vector<std::pair<UInt32, const char*>>{
           {FOUR_CHAR_CODE("papr"), "papr"}, {1, "0x00000001"}, {0x61620163, "0x61620163"},
           {FOUR_CHAR_CODE("a b~"), "a b~"}}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(KeyName(key), name);
    UInt32 back = 0;
    EXPECT_TRUE(ParseKey(name, &back));
    EXPECT_EQ(back, key);
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
  pane.Drag("MONO:8", {3, 7});
  const json saved = pane.SaveSettings();
  EXPECT_EQ(saved["settings"]["shad"], json({{"short", 7}}));
  pane.Close();
  Session fresh({MONOCHROME_PANE, "", ""});
  fresh.LoadSettings(json::parse(SettingsText(saved)));
  EXPECT_EQ(fresh.SaveSettings(), saved);
  EXPECT_FALSE(fresh.Check({"value", {"MONO:1", "3"}})) << "the control shows the loaded paper";
}

TEST_F(WorkbenchPaneTest, RefusedSettingsNameTheKeyAndChangeNothing) {
  const json before = pane.SaveSettings();
  for (const auto& [setting, why] : Cases{
           {R"("zzzz": {"short": 1})", "'zzzz': unknown key"}, {R"("dens": {"short": -51})", "'dens': value -51"},
           {R"("tone": {"long": 241})", "'tone': value 241 is out of range 140..240"},
           {R"("cont": {"short": 2.5})", "'cont': a short value must be a whole"},
           {R"("cont": {"byte": 2})", "'cont': unknown size code 'byte'"},
           {R"("cont": 2)", "'cont': the value must be one of"}, {"", "no \"settings\" object"},
           {R"("cont": {"short": "2"})", "'cont': a short value must be a number"},
           {R"("abc": {"short": 2})", "'abc': a key is four characters"}}) {
    // A good setting first: a refused file applies none of it.
    std::string file = *setting ? std::string(R"({"settings": {"papr": {"short": 1}, )") + setting + "}}"
                                : R"({"papr": {"short": 1}})";
    SCOPED_TRACE(file);
    std::string error = Refusal<SessionError>([&] { pane.LoadSettings(json::parse(file)); });
    EXPECT_HOLDS(error, why);
    EXPECT_HOLDS(error, "nothing applied");
    EXPECT_EQ(pane.SaveSettings(), before);
  }
}

TEST_F(WorkbenchPaneTest, FailedExpectationsReportLineExpectedAndFound) {
  std::ostringstream report;
  RunOptions options{"s", VELKUI_SOURCE_DIR "/examples/monochrome-pane/sessions", ".", "."};
  const RunResult result = RunScript(pane,
                                     Parse("expect registry papr 3\nexpect menu MONO:1 1 2\nexpect registry papr 2\n"
                                           "click MONO:20\nexpect snapshot dependencies-canvas\n"),
                                     options, report);
  EXPECT_EQ(result.failures, 3);
  EXPECT_EQ(result.inputs, 1);
  EXPECT_HOLDS(report.str(), "s:1: expectation failed: expect registry papr 3\n  expected: 3\n  found:    2\n");
  EXPECT_HOLDS(report.str(), "s:2: expectation failed: expect menu MONO:1 1 2\n"
                             "  expected: 1 2\n  found:    1 2 3 4 5\n");
  EXPECT_HOLDS(report.str(), "s:5: expectation failed");
  EXPECT_HOLDS(report.str(), "pixels differ, the first at");
}

TEST_F(WorkbenchPaneTest, ActionsThatCannotBeDoneStopAtTheirLine) {
  for (const auto& [line, error] : Cases{
           {"click MONO:99", "s:1: click MONO:99: no control MONO:99 in the window"},
           {"choose MONO:1 Velvet", "MONO:1 has no entry 'Velvet'"},
           {"choose MONO:3 1", "MONO:3 is neither a popup button nor a radio group"},
           {"resume", "the pane is shown already"},
           {"preset nothing", "cannot read presets/nothing.json"}}) {
    SCOPED_TRACE(line);
    std::ostringstream report;
    auto run = [&, line = line] { RunScript(pane, Parse(line), {"s", ".", ".", "presets"}, report); };
    EXPECT_HOLDS(Refusal<ScriptError>(run), error);
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
  for (const auto& [e, holds] : std::vector<std::pair<Expectation, bool>>{
           {{"beep", {}}, true}, {{"beep", {"1"}}, true}, {{"beep", {"2"}}, false}, {{"no-beep", {}}, false},
           {{"alert", {"out of range"}}, true}, {{"alert", {"too large"}}, false}, {{"no-alert", {}}, false}}) {
    SCOPED_TRACE(e.kind + (e.args.empty() ? "" : " " + e.args[0]));
    EXPECT_EQ(!pane.Check(e), holds);
  }
  pane.Click("QLTY:3");  // the next input starts a new count
  EXPECT_FALSE(pane.Check({"no-beep", {}}));
}

TEST(WorkbenchSessionTest, PanesThatCannotRunAreRefusedWithoutLeaks) {
  const size_t handles = toolbox::host::LiveHandles(), pointers = toolbox::host::LivePointers();
  for (const auto& [source, why] : std::vector<std::pair<PaneSource, const char*>>{
           {{FAILING_PANE, WORKBENCH_TEST_DIR "/quality-edit.json", ""}, "Failing: NewIPP made no pane"},
           {{MONOCHROME_PANE, "", "/nonexistent/resources"}, "resource folder '/nonexistent/resources' does not exist"},
           {{MONOCHROME_PANE, "/nonexistent/pane.json", ""}, "layout: "},
           {{"/nonexistent/pane.so", "", ""}, "cannot load plug-in"},
           {{VELKUI_BINARY_DIR "/libvelkui.so", "", ""}, "no VelkuiWorkbenchPane entry"}}) {
    SCOPED_TRACE(why);
    EXPECT_HOLDS(Refusal<SessionError>([&, &source = source] { Session session(source); }), why);
    EXPECT_EQ(toolbox::host::LiveHandles(), handles);
    EXPECT_EQ(toolbox::host::LivePointers(), pointers);
  }
}

}  // namespace
}  // namespace workbench
