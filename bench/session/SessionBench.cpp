// Times the sample pane's demo session (first input to last snapshot, PNG frames included).
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "Runner.h"
#include "Script.h"
#include "Session.h"

int main() {
  namespace fs = std::filesystem;
  std::ifstream in(DEMO_SESSION);
  const auto commands = workbench::ParseScript(in, DEMO_SESSION);
  const fs::path out = fs::temp_directory_path() / "velkui-bench-session";
  fs::create_directories(out);
  workbench::RunOptions options{"demo", fs::path(DEMO_SESSION).parent_path().string(), out.string(),
                                (fs::path(DEMO_SESSION).parent_path() / "presets").string()};
  std::vector<double> seconds;
  int inputs = 0;
  size_t frames = 0;
  for (int run = 0; run < 7; ++run) {
    workbench::Session session({MONOCHROME_PANE, "", ""});
    std::ostringstream report;
    const workbench::RunResult result = workbench::RunScript(session, commands, options, report);
    if (result.failures != 0) return std::fputs(report.str().c_str(), stderr), 1;
    seconds.push_back(result.seconds);
    inputs = result.inputs;
    frames = result.frames.size();
  }
  fs::remove_all(out);
  std::sort(seconds.begin(), seconds.end());
  std::printf("demo session: %d inputs, %zu PNG frames: median %.1f ms, best %.1f ms (7 runs; goal < 2000 ms)\n",
              inputs, frames, seconds[seconds.size() / 2] * 1e3, seconds[0] * 1e3);
  return 0;
}
