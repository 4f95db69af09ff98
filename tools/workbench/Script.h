// Session scripts: one action or expectation a line, parsed whole before anything runs.
//
//   # comments and blank lines are skipped; "quoted text" may hold blanks, \" and a backslash
//   click MONO:3                  choose MONO:2 "Fine Art"      choose MONO:4 2
//   type "12"     paste "7"       key backspace|escape|tab|return|enter|left|right
//   drag MONO:9 10 20 30          hold MONO:11 up 5
//   suspend       resume          snapshot NAME ["caption"]
//   save-settings FILE            load-settings FILE
//   preset NAME   save-preset NAME
//   expect registry KEY VALUE     expect value ID N             expect text ID "text"
//   expect visible ID yes|no      expect active ID yes|no       expect menu ID [N...]
//   expect beep [N]   expect no-beep   expect alert "text"   expect no-alert
//   expect snapshot NAME          expect refused-preset NAME "text"   expect refused FILE "text"
//
// Snapshots and settings files are written to (and settings files loaded from)
// the output folder; stored snapshots and refused FILEs are found beside the
// script; presets are NAME.json in the presets folder.
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace workbench {

/// A script that cannot run; the message starts with "FILE:LINE: ".
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// One line of a script: the verb ("click", or "expect" with the kind in
/// `kind`) and its arguments, quotes removed.
struct Command {
  int line = 0;
  std::string text;  ///< the line as written, without surrounding blanks
  std::string verb;
  std::string kind;  ///< expectations only
  std::vector<std::string> args;
};

/// Parses a whole script; throws ScriptError at the first bad line.
std::vector<Command> ParseScript(std::istream& in, const std::string& name);

}  // namespace workbench
