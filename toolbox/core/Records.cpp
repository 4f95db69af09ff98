// The live-object registry, the current port, and the questions every service
// asks of window and control records.
#include "core/Records.h"

#include <cairo.h>

#include <algorithm>

#include "toolbox/memory.h"

namespace toolbox {
namespace internal {
namespace {

struct Registry {
  std::set<WindowRef> windows;
  std::set<ControlRef> controls;
  std::set<GrafPtr> ports;
  std::set<void*> procedures;
  std::set<const void*> graphics;
  GrafPtr current = nullptr;
};

Registry& Live() {
  static Registry* registry = new Registry;  // lives until exit
  return *registry;
}

template <class T>
void Register(std::set<T>& set, T item, bool live) {
  if (live)
    set.insert(item);
  else
    set.erase(item);
}

}  // namespace

bool IsLiveWindow(WindowRef window) { return window && Live().windows.count(window); }
bool IsLiveControl(ControlRef control) { return control && Live().controls.count(control); }
bool IsLivePort(GrafPtr port) { return port && Live().ports.count(port); }
size_t LiveOffscreenPorts() {
  size_t n = 0;
  for (GrafPtr port : Live().ports) n += port->window == nullptr;
  return n;
}
void RegisterWindow(WindowRef window, bool live) { Register(Live().windows, window, live); }
void RegisterControl(ControlRef control, bool live) { Register(Live().controls, control, live); }
void RegisterPort(GrafPtr port, bool live) {
  Register(Live().ports, port, live);
  if (!live && Live().current == port) Live().current = nullptr;
}
GrafPtr CurrentPort() { return IsLivePort(Live().current) ? Live().current : nullptr; }

std::unique_ptr<OpaqueGrafPtr> MakePort(SInt16 width, SInt16 height, WindowRef window) {
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max<int>(width, 1), std::max<int>(height, 1));
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  auto port = std::make_unique<OpaqueGrafPtr>();
  port->surface = surface;
  port->window = window;
  port->bounds = Rect{0, 0, height, width};
  port->bitmap.baseAddr = reinterpret_cast<Ptr>(cairo_image_surface_get_data(surface));
  port->bitmap.rowBytes = SInt16(std::min(cairo_image_surface_get_stride(surface), 0x7FFF));
  port->bitmap.bounds = port->bounds;
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_destroy(cr);
  RegisterPort(port.get(), true);
  return port;
}

void SetCurrentPort(GrafPtr port) { Live().current = port; }
std::set<void*>& LiveProcedures() { return Live().procedures; }
std::set<const void*>& LiveGraphics() { return Live().graphics; }


bool EffectivelyVisible(ControlRef c) {
  for (; c; c = c->parent)
    if (!c->visible) return false;
  return true;
}

bool EffectivelyActive(ControlRef c) {
  for (; c; c = c->parent)
    if (!c->active) return false;
  return true;
}

bool Dimmed(ControlRef c) {
  for (; c; c = c->parent)
    if (!c->active || c->hilite == kControlInactivePart) return true;
  return false;
}

bool IsEditTextKind(OSType kind) {
  return kind == kControlKindEditText || kind == kControlKindEditUnicodeText;
}

bool IsEmbedderKind(OSType kind) {
  return kind == kControlKindRoot || kind == kControlKindUserPane ||
         kind == kControlKindRadioGroup;
}

SInt16 ItemNumberOf(ControlRef c) {
  if (!IsLiveControl(c)) return 0;
  if (c->itemNumber) return c->itemNumber;
  if (c->kind == kControlKindRadioButton && c->parent &&
      c->parent->kind == kControlKindRadioGroup)
    return ItemNumberOf(c->parent);
  if (c->id.id == 0) return 0;
  return SInt16(c->id.id + (c->owner ? c->owner->itemBase : 0));
}

void StoreValue(ControlRef c, SInt32 value) {
  c->value = std::clamp(value, c->minimum, std::max(c->minimum, c->maximum));
  if (c->kind != kControlKindRadioGroup) return;
  SInt32 k = 0;
  for (auto& child : c->children)
    if (child->kind == kControlKindRadioButton) child->value = (++k == c->value) ? 1 : 0;
}

}  // namespace internal
}  // namespace toolbox

using namespace toolbox::internal;

OpaqueGrafPtr::~OpaqueGrafPtr() {
  RegisterPort(this, false);
  if (surface) cairo_surface_destroy(surface);
}

OpaqueControlRef::~OpaqueControlRef() {
  RegisterControl(this, false);
  if (menu) DisposeMenu(menu);
  if (ownedPicture) DisposeHandle(reinterpret_cast<Handle>(ownedPicture));
}
