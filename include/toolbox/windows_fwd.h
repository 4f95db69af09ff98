// Opaque references of the window, dialog, port, control and menu services.
#pragma once

#include "toolbox/types.h"

/// A window of the host: owns its pixels, its root control and keyboard focus.
typedef struct OpaqueWindowPtr* WindowRef;
typedef WindowRef WindowPtr;
/// The dialog record every window carries (GetDialogFromWindow).
typedef struct OpaqueDialogPtr* DialogRef;
typedef DialogRef DialogPtr;
/// A drawing port: a window's pixels or an offscreen world.
typedef struct OpaqueGrafPtr* GrafPtr;
typedef GrafPtr CGrafPtr;
typedef CGrafPtr GWorldPtr;
/// Graphics devices are not emulated; calls take and give null.
typedef struct OpaqueGDHandle** GDHandle;
/// A control of a window.
typedef struct OpaqueControlRef* ControlRef;
typedef ControlRef ControlHandle;
/// A menu (popup button menus).
typedef struct OpaqueMenuRef* MenuRef;
typedef MenuRef MenuHandle;
