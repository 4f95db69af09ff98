/* The entry point a plug-in exports so that the workbench (velkui-workbench) can run its pane.
 *
 * A plug-in built as a shared object defines one C function, VelkuiWorkbenchPane,
 * that answers a description of its pane: the factory NewIPP takes, the layout
 * file the workbench builds the window from, and the pane's resource folder.
 *
 *   #include "velkui/workbench.h"
 *
 *   VELKUI_WORKBENCH_PANE(const VelkuiPaneInfo*) VelkuiWorkbenchPane(void) {
 *     static const VelkuiPaneInfo info = {VELKUI_PANE_INFO_VERSION, "Quality",
 *                                         &MakeQualityPane, "quality.json", "resources"};
 *     return &info;
 *   }
 *
 * Relative paths are taken from the folder that holds the shared object, so a
 * plug-in's build copies its layout and resource folder beside it. The
 * workbench's --layout and --resources options override both.
 *
 * The layout file is the toolbox's window description (see
 * include/toolbox/host/layout.h): its "base" is the base number the pane is
 * shown with, and each control's ID is (signature, relative item number), the
 * pair the items' presentation factories look for.
 */
#ifndef VELKUI_WORKBENCH_H
#define VELKUI_WORKBENCH_H

#ifdef __cplusplus
extern "C" {
#endif

/** Version of VelkuiPaneInfo this header describes. */
#define VELKUI_PANE_INFO_VERSION 1

/** Name of the entry function the workbench looks up in the shared object. */
#define VELKUI_WORKBENCH_ENTRY "VelkuiWorkbenchPane"

/** What a plug-in tells the workbench about its pane. */
typedef struct VelkuiPaneInfo {
  unsigned int version;    /**< VELKUI_PANE_INFO_VERSION */
  const char* name;        /**< the pane's name, for the window title and messages */
  void* (*factory)(void);  /**< makes the pane's UISystem subclass, as NewIPP takes it */
  const char* layout;      /**< layout file (JSON) of the pane's window */
  const char* resources;   /**< resource folder opened before NewIPP; null or "" for none */
} VelkuiPaneInfo;

/** Type of the entry function: answers the description (never null). */
typedef const VelkuiPaneInfo* (*VelkuiWorkbenchEntry)(void);

/** Declares the entry function exported and unmangled, whatever the build's visibility. */
#ifdef __cplusplus
#define VELKUI_WORKBENCH_PANE(type) extern "C" __attribute__((visibility("default"))) type
#else
#define VELKUI_WORKBENCH_PANE(type) __attribute__((visibility("default"))) type
#endif

#ifdef __cplusplus
}
#endif

#endif /* VELKUI_WORKBENCH_H */
