// Host face of windows and controls: building them by code, item numbers, and
// reading back their state.
#include "toolbox/host/windows.h"

#include <algorithm>

#include "core/Records.h"
#include "core/Strings.h"

using namespace toolbox::internal;

namespace {

std::unique_ptr<OpaqueControlRef> NewControlRecord(WindowRef window, ControlRef parent,
                                                   OSType kind) {
  auto c = std::make_unique<OpaqueControlRef>();
  c->owner = window;
  c->parent = parent;
  c->kind = kind;
  RegisterControl(c.get(), true);
  return c;
}

MenuRef MakeMenu(const std::vector<toolbox::host::MenuEntrySpec>& entries) {
  static const unsigned char kEmpty[1] = {0};
  MenuRef menu = NewMenu(0, kEmpty);
  for (const auto& e : entries) {
    Str255 text;
    StringToPascal(e.text, text);
    AppendMenuItemText(menu, text);
    MenuItemIndex at = CountMenuItems(menu);
    if (!e.enabled) DisableMenuItem(menu, at);
    if (e.hidden) ChangeMenuItemAttributes(menu, at, kMenuItemAttrHidden, 0);
  }
  return menu;
}

/// Range and value by kind; a radio button joining a group widens the group.
void ApplyRange(ControlRef c, const toolbox::host::ControlSpec& spec) {
  SInt32 minimum = spec.minimum, maximum = spec.maximum;
  switch (c->kind) {
    case kControlKindCheckBox:
      minimum = 0;
      maximum = spec.maximum == kControlCheckBoxMixedValue ? 2 : 1;
      break;
    case kControlKindRadioButton:
      minimum = 0;
      maximum = 1;
      break;
    case kControlKindPopupButton:
      minimum = 1;
      maximum = SInt32(spec.menu.size());
      break;
    case kControlKindRadioGroup:
      minimum = 0;
      maximum = 0;
      c->wantedValue = spec.value;
      break;
    default:
      break;
  }
  c->minimum = minimum;
  c->maximum = std::max(minimum, maximum);
  StoreValue(c, spec.value);
}

void JoinRadioGroup(ControlRef group, ControlRef button) {
  group->maximum = SInt32(std::count_if(group->children.begin(), group->children.end(),
                                        [](const auto& k) { return k->kind == kControlKindRadioButton; }));
  if (button->value) group->wantedValue = group->maximum;  // a button made on selects itself
  StoreValue(group, group->wantedValue);
}

void Collect(ControlRef c, std::vector<ControlRef>& out) {
  for (auto& child : c->children) {
    out.push_back(child.get());
    Collect(child.get(), out);
  }
}

size_t gLiveWindows = 0;

}  // namespace

namespace toolbox {
namespace host {

WindowRef MakeWindow(const std::string& title, SInt16 width, SInt16 height) {
  if (width < 1 || height < 1 || width > 8192 || height > 8192) return nullptr;
  auto* window = new OpaqueWindowPtr;
  window->title = title;
  window->width = width;
  window->height = height;
  window->port = MakePort(width, height, window);
  if (!window->port) {
    delete window;
    return nullptr;
  }
  window->dialog.window = window;
  window->root = NewControlRecord(window, nullptr, kControlKindRoot);
  window->root->bounds = Rect{0, 0, height, width};
  RegisterWindow(window, true);
  ++gLiveWindows;
  return window;
}

void DestroyWindow(WindowRef window) {
  if (!IsLiveWindow(window)) return;
  RegisterWindow(window, false);
  --gLiveWindows;
  delete window;
}

ControlRef AddControl(WindowRef window, ControlRef parent, const ControlSpec& spec) {
  if (!IsLiveWindow(window)) return nullptr;
  if (!parent) parent = window->root.get();
  if (!IsLiveControl(parent) || parent->owner != window || !IsEmbedderKind(parent->kind))
    return nullptr;
  if (spec.kind == 0 || spec.kind == kControlKindRoot) return nullptr;
  auto record = NewControlRecord(window, parent, spec.kind);
  ControlRef c = record.get();
  c->id = spec.id;
  c->bounds = spec.bounds;
  c->title = spec.title;
  c->visible = spec.visible;
  c->active = spec.active;
  c->hilite = spec.hilite;
  c->itemNumber = spec.item;
  c->titleWidth = spec.titleWidth;
  c->text = spec.text;
  c->selStart = c->selEnd = SInt16(std::min<size_t>(c->text.size(), 0x7FFF));
  if (c->kind == kControlKindPopupButton) c->menu = MakeMenu(spec.menu);
  if (c->kind == kControlKindImageWell) {
    c->ownedPicture = spec.picture;
    if (spec.picture) {
      c->content.contentType = kControlContentPictHandle;
      c->content.u.picture = spec.picture;
    } else if (spec.pictureResource) {
      c->content.contentType = kControlContentPictRes;
      c->content.u.resID = spec.pictureResource;
    }
  }
  ApplyRange(c, spec);
  parent->children.push_back(std::move(record));
  if (parent->kind == kControlKindRadioGroup && c->kind == kControlKindRadioButton)
    JoinRadioGroup(parent, c);
  return c;
}

void SetItemBase(WindowRef window, SInt16 base) {
  if (IsLiveWindow(window)) window->itemBase = base;
}

SInt16 ItemBase(WindowRef window) { return IsLiveWindow(window) ? window->itemBase : 0; }

SInt16 ItemNumber(ControlRef control) { return ItemNumberOf(control); }

std::vector<ControlRef> Controls(WindowRef window) {
  std::vector<ControlRef> out;
  if (IsLiveWindow(window)) Collect(window->root.get(), out);
  return out;
}

ControlRef FindControl(WindowRef window, const std::string& signature, SInt32 id) {
  ControlID key{KindCode(signature), id};
  ControlRef found = nullptr;
  GetControlByID(window, &key, &found);
  return found;
}

std::string WindowTitle(WindowRef window) { return IsLiveWindow(window) ? window->title : ""; }
SInt16 WindowWidth(WindowRef window) { return IsLiveWindow(window) ? window->width : 0; }
SInt16 WindowHeight(WindowRef window) { return IsLiveWindow(window) ? window->height : 0; }

std::vector<Rect> InvalidRects(WindowRef window) {
  return IsLiveWindow(window) ? window->invalid : std::vector<Rect>();
}

void ClearInvalid(WindowRef window) {
  if (IsLiveWindow(window)) window->invalid.clear();
}

std::string ControlText(ControlRef control) {
  return IsLiveControl(control) ? control->text : std::string();
}

std::vector<MenuEntrySpec> MenuEntries(ControlRef control) {
  std::vector<MenuEntrySpec> out;
  if (!IsLiveControl(control) || !IsValidMenu(control->menu)) return out;
  for (const auto& e : control->menu->entries)
    out.push_back({e.text, e.enabled, (e.attributes & kMenuItemAttrHidden) != 0});
  return out;
}

size_t LiveWindows() { return gLiveWindows; }

size_t LiveProcedureHandles() { return LiveProcedures().size(); }

std::string KindName(OSType code) { return FourCC(code); }

OSType KindCode(const std::string& name) {
  if (name.size() != 4) return 0;
  return (UInt32(UInt8(name[0])) << 24) | (UInt32(UInt8(name[1])) << 16) |
         (UInt32(UInt8(name[2])) << 8) | UInt32(UInt8(name[3]));
}

}  // namespace host
}  // namespace toolbox
