// Pictures of a session: the filmstrip of its snapshots (snapshot comparison is a Session check).
#pragma once

#include <string>
#include <vector>

namespace workbench {

/// One snapshot taken: its name, the PNG written, and the input it shows.
struct Frame {
  std::string name;
  std::string path;
  std::string caption;
};

/// Every frame at three quarters of its size, three side by side a row, each captioned with
/// its number, name and caption. False and *error when a frame cannot be read
/// or the strip written.
bool WriteFilmstrip(const std::vector<Frame>& frames, const std::string& path, std::string* error);

}  // namespace workbench
