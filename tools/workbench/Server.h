// The page: velkui-workbench --serve, the running pane in a browser on this machine.
#pragma once

#include <string>

#include "PaneHost.h"
#include "Session.h"

namespace workbench {

struct ServeOptions {
  PaneSource source;
  PaneFolders folders;
  std::string address = "127.0.0.1";  ///< loopback unless told otherwise
  int port = 0;                        ///< 0: any free port
};

/// "PORT" or "ADDRESS:PORT" (an IPv4 address or "localhost"); false and *error
/// when it is neither.
bool ParseServeAddress(const std::string& text, std::string* address, int* port,
                       std::string* error);

/// Opens the pane and serves its page until SIGINT or SIGTERM; prints the
/// address served on standard output first. Throws SessionError when the pane
/// cannot run or the address cannot be bound.
void Serve(const ServeOptions& options);

}  // namespace workbench
