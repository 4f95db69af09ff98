// Runs a parsed script on a session: actions as input, expectations checked and reported.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "Pictures.h"
#include "Script.h"

namespace workbench {

class Session;

struct RunOptions {
  std::string name;        ///< the script's name in messages
  std::string scriptDir;   ///< relative files of the script and stored snapshots
  std::string outputDir;   ///< snapshots written; settings files saved and loaded
  std::string presetsDir;  ///< NAME.json of preset and save-preset
  bool updateSnapshots = false;  ///< expect snapshot stores the window instead of comparing
};

struct RunResult {
  int failures = 0;  ///< expectations that did not hold
  int inputs = 0;    ///< actions delivered to the pane
  std::vector<Frame> frames;
  double seconds = 0;  ///< from the first input to the last snapshot
};

/// Runs every command in turn. A failed expectation is reported on `report`
/// (the line, what was expected, what was found) and the run goes on; an
/// action that cannot be done throws ScriptError naming the line.
RunResult RunScript(Session& session, const std::vector<Command>& commands,
                    const RunOptions& options, std::ostream& report);

}  // namespace workbench
