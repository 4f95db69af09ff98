# Writes ${OUTPUT}: the page's files as C++ character arrays, so the program
# serves them without reading anything from disk. Run with cmake -P.
file(READ ${PAGE_DIR}/index.html html)
file(READ ${PAGE_DIR}/page.js script)
file(READ ${PAGE_DIR}/page.css style)
file(WRITE ${OUTPUT} "// Generated from tools/workbench/page/ by Embed.cmake; edit those files.
#include \"Page.h\"

namespace workbench {

const char kPageHtml[] = R\"PAGE(${html})PAGE\";
const char kPageScript[] = R\"PAGE(${script})PAGE\";
const char kPageStyle[] = R\"PAGE(${style})PAGE\";

}  // namespace workbench
")
