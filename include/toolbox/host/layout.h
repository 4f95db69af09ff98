// Host face of layout files: a window and its controls described in JSON.
//
//   { "window": { "title": "Quality", "width": 420, "height": 300, "base": 0 },
//     "controls": [
//       { "kind": "cbox", "id": "QLTY:1", "bounds": [10, 10, 30, 200],
//         "title": "Fast printing", "value": 1 },
//       { "kind": "popb", "id": "QLTY:2", "bounds": [40, 10, 62, 260],
//         "title": "Paper:", "titleWidth": 60, "value": 2,
//         "menu": ["Plain", {"text": "Photo", "enabled": false}, {"text": "Matte", "hidden": true}] },
//       { "kind": "rgrp", "id": "QLTY:3", "bounds": [70, 10, 120, 200], "value": 1,
//         "controls": [ { "kind": "rdio", "bounds": [70, 10, 90, 200], "title": "Colour" },
//                       { "kind": "rdio", "bounds": [95, 10, 115, 200], "title": "Grey" } ] },
//       { "kind": "well", "id": "QLTY:9", "bounds": [...], "picture": "swatch.png" } ] }
//
// Per control: "kind" (four characters, required), "id" ("SIGN:number" or
// {"signature": "SIGN", "id": n}), "bounds" ([top, left, bottom, right],
// required), "title", "value", "min", "max", "visible", "active", "hilite",
// "item" (dialog item number), "text" (edit/static text), "titleWidth",
// "menu" (strings or {"text", "enabled", "hidden"}), "picture" (PNG path,
// relative to the layout file; "dpi" overrides its resolution), "pictureResource" (a 'PICT' id),
// "controls" (embedded controls: root, user panes, radio groups).
#pragma once

#include <string>

#include "toolbox/types.h"
#include "toolbox/windows_fwd.h"

namespace toolbox {
namespace host {

/// Builds the window a layout file describes. Null and *error (file, and what
/// is wrong where) for a missing file, bad JSON, or a control that cannot be
/// made; nothing is left behind then.
TOOLBOX_EXPORT WindowRef LoadLayout(const std::string& path, std::string* error);
/// The same from JSON text; pictures are found relative to `baseDir`.
TOOLBOX_EXPORT WindowRef LoadLayoutText(const std::string& json, const std::string& baseDir,
                                        std::string* error);

}  // namespace host
}  // namespace toolbox
