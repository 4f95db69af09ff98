// Records behind windows, ports, controls and menus, and the live-object
// registry that vouches for them; shared by both faces (not installed).
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "toolbox/controls.h"
#include "toolbox/menus.h"
#include "toolbox/quickdraw.h"

// Ports own a Cairo image surface; only the core and the bitmap-graphics
// service (which wraps Cairo surfaces) look inside it.
typedef struct _cairo_surface cairo_surface_t;

struct OpaqueMenuRef {
  struct Entry {
    std::string text;
    bool enabled = true;
    MenuItemAttributes attributes = 0;  // without kMenuItemAttrDisabled
  };
  MenuID id = 0;
  std::string title;
  bool enabled = true;
  std::vector<Entry> entries;
};

struct OpaqueGrafPtr {
  ~OpaqueGrafPtr();
  cairo_surface_t* surface = nullptr;  // ARGB32 image, never null once made
  WindowRef window = nullptr;          // null for offscreen worlds
  Rect bounds{0, 0, 0, 0};
  BitMap bitmap{};
  RGBColor fore{0, 0, 0};
  RGBColor back{0xFFFF, 0xFFFF, 0xFFFF};
  Point pen{0, 0};
  SInt16 textSize = 12;
  SInt16 textFont = 0;
};

struct OpaqueDialogPtr {
  WindowRef window = nullptr;
};

struct OpaqueControlKeyFilterUPP {
  ControlKeyFilterProcPtr proc;
};
struct OpaqueControlActionUPP {
  ControlActionProcPtr proc;
};
struct OpaqueControlUserPaneDrawUPP {
  ControlUserPaneDrawProcPtr proc;
};

struct OpaqueControlRef {
  ~OpaqueControlRef();
  WindowRef owner = nullptr;
  ControlRef parent = nullptr;
  std::vector<std::unique_ptr<OpaqueControlRef>> children;

  OSType kind = 0;
  ControlID id{0, 0};
  Rect bounds{0, 0, 0, 0};
  SInt32 value = 0;
  SInt32 minimum = 0;
  SInt32 maximum = 0;
  std::string title;
  SRefCon reference = 0;
  SInt16 itemNumber = 0;  // dialog item number reported for hits (0: id + base)
  SInt16 titleWidth = 0;  // popup buttons: width of the label part (0: measured)
  SInt32 wantedValue = 0; // radio groups being built: the value asked for

  bool visible = true;  // own flag; IsControlVisible also asks the parents
  bool active = true;   // own flag; IsControlActive also asks the parents
  ControlPartCode hilite = 0;

  std::string text;  // edit and static text
  SInt16 selStart = 0;
  SInt16 selEnd = 0;
  ControlFontStyleRec font{};

  ControlKeyFilterUPP keyFilter = nullptr;
  ControlUserPaneDrawUPP drawProc = nullptr;
  ControlActionUPP action = nullptr;
  MenuRef menu = nullptr;  // popup buttons; owned
  ControlButtonContentInfo content{kControlNoContent, {0}};
  PicHandle ownedPicture = nullptr;  // a picture the host handed over; freed here
};

struct OpaqueWindowPtr {
  std::string title;
  SInt16 width = 0;
  SInt16 height = 0;
  SInt16 itemBase = 0;  // dialog item number = control number + itemBase
  std::unique_ptr<OpaqueControlRef> root;
  std::unique_ptr<OpaqueGrafPtr> port;
  OpaqueDialogPtr dialog;
  ControlRef focus = nullptr;
  std::vector<Rect> invalid;
  bool drawing = true;  // false while the host builds the window
};

namespace toolbox {
namespace internal {

/// Known live objects: every call checks its argument here first, so a stale
/// or made-up reference is refused instead of followed.
bool IsLiveWindow(WindowRef window);
bool IsLiveControl(ControlRef control);
bool IsLivePort(GrafPtr port);
/// Live ports that belong to no window: the offscreen graphics worlds.
size_t LiveOffscreenPorts();
void RegisterWindow(WindowRef window, bool live);
void RegisterControl(ControlRef control, bool live);
void RegisterPort(GrafPtr port, bool live);
/// Makes a port with a white ARGB32 surface of width x height (null if the
/// surface cannot be made).
std::unique_ptr<OpaqueGrafPtr> MakePort(SInt16 width, SInt16 height, WindowRef window);
/// The port current for drawing (may be null).
GrafPtr CurrentPort();
/// Makes `port` current (null is remembered too).
void SetCurrentPort(GrafPtr port);
/// Live procedure handles (key filters, actions, user pane draws).
std::set<void*>& LiveProcedures();
/// Live bitmap-graphics objects (colour spaces, data providers, contexts,
/// images, pictures).
std::set<const void*>& LiveGraphics();

/// Dialog item number a hit on this control reports: its own number when set,
/// else its ID number plus the window's base; radio buttons inside a radio
/// group report the group's.
SInt16 ItemNumberOf(ControlRef control);
/// Visible/active including every parent.
bool EffectivelyVisible(ControlRef control);
bool EffectivelyActive(ControlRef control);
/// Dimmed when drawn: inactive, or hilite 255, itself or a parent.
bool Dimmed(ControlRef control);
/// Whether the kind keeps a value, takes focus, embeds others.
bool IsEditTextKind(OSType kind);
bool IsEmbedderKind(OSType kind);
/// Sets a control's 32-bit value with the clamp and radio-group sync, without
/// drawing.
void StoreValue(ControlRef control, SInt32 value);

}  // namespace internal
}  // namespace toolbox
