// The page's files, served by the program itself (generated from page/ at build time).
#pragma once

namespace workbench {

extern const char kPageHtml[];
extern const char kPageScript[];
extern const char kPageStyle[];

}  // namespace workbench
