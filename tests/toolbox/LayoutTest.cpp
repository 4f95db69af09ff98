// Tests of layout files: the sample layout builds every kind; mistakes are
// reported with their place and leave nothing behind.
#include <set>

#include "WindowFixture.h"

namespace {

using namespace windowtest;
using toolbox::host::LoadLayout;
using toolbox::host::LoadLayoutText;

TEST(LayoutTest, SampleLayoutHoldsOneControlOfEveryKindAndShowsTheVisibleOnes) {
  std::string error;
  WindowRef window = LoadLayout(std::string(VELKUI_SOURCE_DIR) + "/examples/layouts/sample.json", &error);
  ASSERT_NE(window, nullptr) << error;
  toolbox::host::RenderWindow(window);
  std::set<std::string> kinds;
  for (ControlRef c : toolbox::host::Controls(window)) {
    ControlKind kind{};
    GetControlKind(c, &kind);
    kinds.insert(toolbox::host::KindName(kind.kind));
    SCOPED_TRACE(toolbox::host::KindName(kind.kind));
    Rect r;
    GetControlBounds(c, &r);
    int ink = 0;
    for (SInt16 v = r.top; v < r.bottom; ++v)
      for (SInt16 h = r.left; h < r.right; ++h) ink += toolbox::host::PixelAt(window, h, v) != 0xFFECECECu;
    EXPECT_EQ(IsControlVisible(c), ink > 0) << "shown controls leave ink, hidden ones none";
  }
  EXPECT_EQ(14u, kinds.size()) << "the sample has one control of every kind";
  ControlRef popup = toolbox::host::FindControl(window, "SMPL", 5);
  EXPECT_EQ(GetControlValue(popup), 2);
  EXPECT_FALSE(toolbox::host::MenuEntries(popup)[2].enabled);
  EXPECT_EQ(GetControlValue(toolbox::host::FindControl(window, "SMPL", 10)), 2)
      << "the group's value survives its buttons being added";
  EXPECT_FALSE(IsControlEnabled(toolbox::host::FindControl(window, "SMPL", 20)));
  toolbox::host::DestroyWindow(window);

  const char* text = R"({"window": {"width": 50, "height": 40, "base": 3},
    "controls": [{"kind": "cbox", "id": {"signature": "ABCD", "id": 7}, "bounds": [0, 0, 10, 10]},
                 {"kind": "cbox", "id": "WXYZ:-2", "bounds": [0, 0, 10, 10], "item": 44}]})";
  window = LoadLayoutText(text, "", &error);
  ASSERT_NE(window, nullptr) << error;
  EXPECT_EQ(toolbox::host::ItemNumber(toolbox::host::FindControl(window, "ABCD", 7)), 10);
  EXPECT_EQ(toolbox::host::ItemNumber(toolbox::host::FindControl(window, "WXYZ", -2)), 44);
  toolbox::host::DestroyWindow(window);
}

/// A 9 x 9 window holding the given control list.
std::string Controls(const std::string& list) {
  return R"({"window": {"width": 9, "height": 9}, "controls": [)" + list + "]}";
}

TEST(LayoutTest, MistakesAreReportedWithTheirPlaceAndLeaveNothing) {
  const struct { const char* what; std::string json; const char* mentions; } cases[] = {
      {"not JSON", "{", "parse"},
      {"no window", R"({"controls": []})", "window"},
      {"no bounds", Controls(R"({"kind": "cbox"})"), "controls[0].bounds"},
      {"short kind", Controls(R"({"kind": "box", "bounds": [0,0,1,1]})"), "controls[0].kind"},
      {"bad id", Controls(R"({"kind": "cbox", "id": "AB:1", "bounds": [0,0,1,1]})"), "controls[0].id"},
      {"bounds out of range", Controls(R"({"kind": "cbox", "bounds": [0,0,1,40000]})"),
       "controls[0].bounds[3]"},
      {"embedding into a check box",
       Controls(R"({"kind": "cbox", "bounds": [0,0,1,1], "controls": [{"kind": "cbox", "bounds": [0,0,1,1]}]})"),
       "controls[0].controls[0]"},
      {"missing picture", Controls(R"({"kind": "well", "bounds": [0,0,1,1], "picture": "nowhere.png"})"),
       "controls[0].picture"},
      {"menu of numbers", Controls(R"({"kind": "popb", "bounds": [0,0,1,1], "menu": [1]})"),
       "controls[0].menu[0]"},
  };
  size_t windows = toolbox::host::LiveWindows();
  size_t handles = toolbox::host::LiveHandles();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string error;
    EXPECT_EQ(LoadLayoutText(c.json, "/nonexistent", &error), nullptr);
    EXPECT_NE(error.find(c.mentions), std::string::npos) << "error was: " << error;
  }
  EXPECT_EQ(toolbox::host::LiveWindows(), windows) << "a failed load leaves no window";
  EXPECT_EQ(toolbox::host::LiveHandles(), handles) << "nor a picture handle";
  std::string error;
  EXPECT_EQ(LoadLayout("/nonexistent/layout.json", &error), nullptr);
  EXPECT_NE(error.find("cannot open"), std::string::npos);
}

}  // namespace
