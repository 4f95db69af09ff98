// Control service: lookup by ID, values and limits, visibility and activity,
// data tags, reference values, keyboard focus, procedure handles, image wells.
#include "toolbox/controls.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "toolbox/memory.h"
#include "core/Journal.h"
#include "core/Painter.h"
#include "core/Records.h"
#include "core/Strings.h"

using namespace toolbox::internal;


namespace {

ControlRef FindByID(ControlRef c, const ControlID& id) {
  if (c->kind != kControlKindRoot && c->id.signature == id.signature && c->id.id == id.id)
    return c;
  for (auto& child : c->children)
    if (ControlRef found = FindByID(child.get(), id)) return found;
  return nullptr;
}

/// Keeps the limits ordered and the value inside them.
void SetLimits(ControlRef c, SInt32 minimum, SInt32 maximum) {
  c->minimum = minimum;
  c->maximum = std::max(minimum, maximum);
  StoreValue(c, c->value);
}

void DropFocusIfGone(ControlRef c) {
  WindowRef w = c->owner;
  if (w && w->focus && (!EffectivelyVisible(w->focus) || !EffectivelyActive(w->focus)))
    w->focus = nullptr;
}

void SetVisible(ControlRef c, bool visible) {
  if (!IsLiveControl(c) || c->visible == visible) return;
  c->visible = visible;
  if (!visible) {
    DropFocusIfGone(c);
    InvalWindowRect(c->owner, &c->bounds);
  } else if (c->owner && c->owner->drawing) {
    PaintControl(c);
  }
}

bool IsPointerTag(ResType tag) {
  return tag == kControlEditTextKeyFilterTag || tag == kControlUserPaneDrawProcTag ||
         tag == kControlPopupButtonMenuHandleTag;
}

bool TagSupported(OSType kind, ResType tag) {
  switch (tag) {
    case kControlFontStyleTag:
      return true;
    case kControlEditTextTextTag:
      return IsEditTextKind(kind) || kind == kControlKindStaticText;
    case kControlEditTextSelectionTag:
    case kControlEditTextKeyFilterTag:
      return IsEditTextKind(kind);
    case kControlUserPaneDrawProcTag:
      return kind == kControlKindUserPane;
    case kControlPopupButtonMenuHandleTag:
      return kind == kControlKindPopupButton;
    default:
      return false;
  }
}

Size TagSize(ControlRef c, ResType tag) {
  switch (tag) {
    case kControlEditTextTextTag:
      return Size(c->text.size());
    case kControlEditTextSelectionTag:
      return Size(sizeof(ControlEditTextSelectionRec));
    case kControlFontStyleTag:
      return Size(sizeof(ControlFontStyleRec));
    default:
      return Size(sizeof(void*));
  }
}

void ClampSelection(ControlRef c) {
  SInt16 length = SInt16(c->text.size());
  c->selStart = std::clamp<SInt16>(c->selStart, 0, length);
  c->selEnd = std::clamp<SInt16>(c->selEnd, c->selStart, length);
}

OSErr SetPointerTag(ControlRef c, ResType tag, const void* data) {
  void* pointer = nullptr;
  std::memcpy(&pointer, data, sizeof(pointer));
  if (tag == kControlEditTextKeyFilterTag) c->keyFilter = static_cast<ControlKeyFilterUPP>(pointer);
  if (tag == kControlUserPaneDrawProcTag) c->drawProc = static_cast<ControlUserPaneDrawUPP>(pointer);
  if (tag == kControlPopupButtonMenuHandleTag) SetControlPopupMenuHandle(c, static_cast<MenuRef>(pointer));
  return noErr;
}

void* PointerTag(ControlRef c, ResType tag) {
  if (tag == kControlEditTextKeyFilterTag) return c->keyFilter;
  if (tag == kControlUserPaneDrawProcTag) return c->drawProc;
  return c->menu;
}

template <class UPP, class Proc>
UPP NewProcedure(Proc proc) {
  if (!proc) return nullptr;
  UPP upp = new typename std::remove_pointer<UPP>::type{proc};
  LiveProcedures().insert(upp);
  return upp;
}

template <class UPP>
void DisposeProcedure(UPP upp) {
  if (LiveProcedures().erase(upp)) delete upp;
}

void CollectEditTexts(ControlRef c, std::vector<ControlRef>& out) {
  if (IsEditTextKind(c->kind) && EffectivelyVisible(c) && EffectivelyActive(c)) out.push_back(c);
  for (auto& child : c->children) CollectEditTexts(child.get(), out);
}

OSErr StepFocus(WindowRef window, int direction) {
  if (!IsLiveWindow(window)) return errInvalidWindowRef;
  std::vector<ControlRef> fields;
  CollectEditTexts(window->root.get(), fields);
  if (fields.empty()) return errCouldntSetFocus;
  auto at = std::find(fields.begin(), fields.end(), window->focus);
  size_t index = 0;
  if (at != fields.end())
    index = (size_t(at - fields.begin()) + fields.size() + size_t(direction)) % fields.size();
  else if (direction < 0)
    index = fields.size() - 1;
  return SetKeyboardFocus(window, fields[index], kControlFocusNextPart);
}

}  // namespace

extern "C" {

OSStatus GetControlByID(WindowRef window, const ControlID* id, ControlRef* outControl) {
  if (outControl) *outControl = nullptr;
  if (!id || !outControl) return paramErr;
  if (!IsLiveWindow(window)) return errInvalidWindowRef;
  *outControl = FindByID(window->root.get(), *id);
  return *outControl ? noErr : errUnknownControl;
}

OSStatus GetControlID(ControlRef control, ControlID* outID) {
  if (!outID) return paramErr;
  if (!IsLiveControl(control)) return errUnknownControl;
  *outID = control->id;
  return noErr;
}

OSStatus SetControlID(ControlRef control, const ControlID* id) {
  if (!id) return paramErr;
  if (!IsLiveControl(control)) return errUnknownControl;
  control->id = *id;
  return noErr;
}

OSStatus GetControlKind(ControlRef control, ControlKind* outKind) {
  if (!outKind) return paramErr;
  if (!IsLiveControl(control)) return errUnknownControl;
  *outKind = ControlKind{kControlKindSignatureApple, control->kind};
  return noErr;
}

Rect* GetControlBounds(ControlRef control, Rect* bounds) {
  if (bounds) *bounds = IsLiveControl(control) ? control->bounds : Rect{0, 0, 0, 0};
  return bounds;
}

void SetControlBounds(ControlRef control, const Rect* bounds) {
  if (IsLiveControl(control) && bounds) control->bounds = *bounds;
}

OSErr CountSubControls(ControlRef control, UInt16* outCount) {
  if (!outCount) return paramErr;
  *outCount = 0;
  if (!IsLiveControl(control)) return errUnknownControl;
  *outCount = UInt16(control->children.size());
  return noErr;
}

OSErr GetIndexedSubControl(ControlRef control, UInt16 index, ControlRef* outSubControl) {
  if (!outSubControl) return paramErr;
  *outSubControl = nullptr;
  if (!IsLiveControl(control)) return errUnknownControl;
  if (index < 1 || index > control->children.size()) return paramErr;
  *outSubControl = control->children[index - 1].get();
  return noErr;
}

OSErr GetSuperControl(ControlRef control, ControlRef* outParent) {
  if (!outParent) return paramErr;
  *outParent = nullptr;
  if (!IsLiveControl(control) || !control->parent) return errUnknownControl;
  *outParent = control->parent;
  return noErr;
}

OSErr GetRootControl(WindowRef window, ControlRef* outControl) {
  if (!outControl) return paramErr;
  *outControl = nullptr;
  if (!IsLiveWindow(window)) return errNoRootControl;
  *outControl = window->root.get();
  return noErr;
}

WindowRef GetControlOwner(ControlRef control) {
  return IsLiveControl(control) ? control->owner : nullptr;
}

SInt16 GetControlValue(ControlRef control) { return SInt16(GetControl32BitValue(control)); }
void SetControlValue(ControlRef control, SInt16 value) { SetControl32BitValue(control, value); }
SInt16 GetControlMinimum(ControlRef control) { return SInt16(GetControl32BitMinimum(control)); }
void SetControlMinimum(ControlRef control, SInt16 v) { SetControl32BitMinimum(control, v); }
SInt16 GetControlMaximum(ControlRef control) { return SInt16(GetControl32BitMaximum(control)); }
void SetControlMaximum(ControlRef control, SInt16 v) { SetControl32BitMaximum(control, v); }

SInt32 GetControl32BitValue(ControlRef control) {
  return IsLiveControl(control) ? control->value : 0;
}
void SetControl32BitValue(ControlRef control, SInt32 value) {
  if (IsLiveControl(control)) StoreValue(control, value);
}
SInt32 GetControl32BitMinimum(ControlRef control) {
  return IsLiveControl(control) ? control->minimum : 0;
}
void SetControl32BitMinimum(ControlRef control, SInt32 minimum) {
  if (IsLiveControl(control)) SetLimits(control, minimum, control->maximum);
}
SInt32 GetControl32BitMaximum(ControlRef control) {
  return IsLiveControl(control) ? control->maximum : 0;
}
void SetControl32BitMaximum(ControlRef control, SInt32 maximum) {
  if (IsLiveControl(control)) SetLimits(control, std::min(control->minimum, maximum), maximum);
}

SRefCon GetControlReference(ControlRef control) {
  return IsLiveControl(control) ? control->reference : 0;
}
void SetControlReference(ControlRef control, SRefCon data) {
  if (IsLiveControl(control)) control->reference = data;
}

void GetControlTitle(ControlRef control, Str255 title) {
  if (title) StringToPascal(IsLiveControl(control) ? control->title : std::string(), title);
}
void SetControlTitle(ControlRef control, ConstStr255Param title) {
  if (IsLiveControl(control) && title) control->title = PascalToString(title);
}

void ShowControl(ControlRef control) { SetVisible(control, true); }
void HideControl(ControlRef control) { SetVisible(control, false); }

Boolean IsControlVisible(ControlRef control) {
  return IsLiveControl(control) && EffectivelyVisible(control);
}

OSErr SetControlVisibility(ControlRef control, Boolean visible, Boolean draw) {
  if (!IsLiveControl(control)) return errUnknownControl;
  SetVisible(control, visible != 0);
  return noErr;
}

OSErr ActivateControl(ControlRef control) {
  if (!IsLiveControl(control)) return errUnknownControl;
  control->active = true;
  return noErr;
}

OSErr DeactivateControl(ControlRef control) {
  if (!IsLiveControl(control)) return errUnknownControl;
  control->active = false;
  DropFocusIfGone(control);
  return noErr;
}

Boolean IsControlActive(ControlRef control) {
  return IsLiveControl(control) && EffectivelyActive(control);
}

void HiliteControl(ControlRef control, ControlPartCode part) {
  if (IsLiveControl(control)) control->hilite = part;
}

ControlPartCode GetControlHilite(ControlRef control) {
  return IsLiveControl(control) ? control->hilite : 0;
}

Boolean IsControlEnabled(ControlRef control) {
  return IsLiveControl(control) && !Dimmed(control);
}

void Draw1Control(ControlRef control) {
  if (!IsLiveControl(control)) return;
  toolbox::internal::Record("draw", FourCC(control->kind) + " " + FourCC(control->id.signature) +
                                    "/" + std::to_string(control->id.id));
  if (control->owner && control->owner->drawing) PaintControl(control);
}

void DrawControls(WindowRef window) {
  if (!IsLiveWindow(window)) return;
  toolbox::internal::Record("draw", "window " + window->title);
  PaintWindow(window);
}

OSErr SetControlData(ControlRef control, ControlPartCode part, ResType tag, Size size,
                     const void* data) {
  if (!IsLiveControl(control)) return errUnknownControl;
  if (!TagSupported(control->kind, tag)) return errDataNotSupported;
  if (size < 0 || (size > 0 && !data)) return paramErr;
  if (IsPointerTag(tag)) {
    // A procedure or menu handle is a whole pointer here; a smaller buffer
    // cannot hold one, so the classic 4-byte size is refused, not overrun.
    if (size != Size(sizeof(void*))) return errDataSizeMismatch;
    return SetPointerTag(control, tag, data);
  }
  if (tag == kControlEditTextTextTag) {
    control->text.assign(static_cast<const char*>(data), size_t(size));
    control->selStart = control->selEnd = SInt16(std::min<size_t>(control->text.size(), 0x7FFF));
    return noErr;
  }
  if (size != TagSize(control, tag)) return errDataSizeMismatch;
  if (tag == kControlEditTextSelectionTag) {
    ControlEditTextSelectionRec sel;
    std::memcpy(&sel, data, sizeof(sel));
    control->selStart = sel.selStart;
    control->selEnd = sel.selEnd;
    ClampSelection(control);
  } else {
    std::memcpy(&control->font, data, sizeof(control->font));
  }
  return noErr;
}

OSErr GetControlData(ControlRef control, ControlPartCode part, ResType tag, Size bufferSize,
                     void* buffer, Size* actualSize) {
  if (!IsLiveControl(control)) return errUnknownControl;
  if (!TagSupported(control->kind, tag)) return errDataNotSupported;
  if (bufferSize < 0 || (bufferSize > 0 && !buffer)) return paramErr;
  Size full = TagSize(control, tag);
  if (actualSize) *actualSize = full;
  if (IsPointerTag(tag)) {
    if (bufferSize != Size(sizeof(void*))) return errDataSizeMismatch;
    void* pointer = PointerTag(control, tag);
    std::memcpy(buffer, &pointer, sizeof(pointer));
    return noErr;
  }
  if (tag == kControlEditTextTextTag) {
    if (bufferSize > 0) std::memcpy(buffer, control->text.data(), size_t(std::min(bufferSize, full)));
    return noErr;
  }
  if (bufferSize < full) return errDataSizeMismatch;
  if (tag == kControlEditTextSelectionTag) {
    ControlEditTextSelectionRec sel{control->selStart, control->selEnd};
    std::memcpy(buffer, &sel, sizeof(sel));
  } else {
    std::memcpy(buffer, &control->font, sizeof(control->font));
  }
  return noErr;
}

OSErr GetControlDataSize(ControlRef control, ControlPartCode part, ResType tag, Size* size) {
  if (!size) return paramErr;
  if (!IsLiveControl(control)) return errUnknownControl;
  if (!TagSupported(control->kind, tag)) return errDataNotSupported;
  *size = TagSize(control, tag);
  return noErr;
}

void SetControlAction(ControlRef control, ControlActionUPP action) {
  if (IsLiveControl(control)) control->action = action;
}

ControlActionUPP GetControlAction(ControlRef control) {
  return IsLiveControl(control) ? control->action : nullptr;
}

MenuRef GetControlPopupMenuHandle(ControlRef control) {
  if (!IsLiveControl(control) || control->kind != kControlKindPopupButton) return nullptr;
  return control->menu;
}

void SetControlPopupMenuHandle(ControlRef control, MenuRef menu) {
  if (!IsLiveControl(control) || control->kind != kControlKindPopupButton) return;
  if (control->menu == menu) return;
  if (control->menu) DisposeMenu(control->menu);
  control->menu = IsValidMenu(menu) ? menu : nullptr;
  SetLimits(control, 1, control->menu ? CountMenuItems(control->menu) : 0);
}

OSErr GetImageWellContentInfo(ControlRef control, ControlButtonContentInfo* info) {
  if (!IsLiveControl(control)) return errUnknownControl;
  if (control->kind != kControlKindImageWell) return errDataNotSupported;
  if (!info) return paramErr;
  *info = control->content;
  return noErr;
}

OSErr SetImageWellContentInfo(ControlRef control, ControlButtonContentInfo* info) {
  if (!IsLiveControl(control)) return errUnknownControl;
  if (control->kind != kControlKindImageWell) return errDataNotSupported;
  if (!info) return paramErr;
  control->content = *info;
  return noErr;
}

OSErr SetKeyboardFocus(WindowRef window, ControlRef control, ControlFocusPart part) {
  if (!IsLiveWindow(window)) return errInvalidWindowRef;
  if (!IsLiveControl(control) || control->owner != window) return errUnknownControl;
  if (part == kControlFocusNoPart) return ClearKeyboardFocus(window);
  if (!IsEditTextKind(control->kind)) return errControlDoesntSupportFocus;
  if (!EffectivelyVisible(control) || !EffectivelyActive(control))
    return errControlHiddenOrDisabled;
  window->focus = control;
  control->selStart = 0;
  control->selEnd = SInt16(std::min<size_t>(control->text.size(), 0x7FFF));
  return noErr;
}

OSErr GetKeyboardFocus(WindowRef window, ControlRef* outControl) {
  if (!outControl) return paramErr;
  *outControl = nullptr;
  if (!IsLiveWindow(window)) return errInvalidWindowRef;
  *outControl = window->focus;
  return noErr;
}

OSErr ClearKeyboardFocus(WindowRef window) {
  if (!IsLiveWindow(window)) return errInvalidWindowRef;
  window->focus = nullptr;
  return noErr;
}

OSErr AdvanceKeyboardFocus(WindowRef window) { return StepFocus(window, 1); }
OSErr ReverseKeyboardFocus(WindowRef window) { return StepFocus(window, -1); }

ControlKeyFilterUPP NewControlKeyFilterUPP(ControlKeyFilterProcPtr proc) {
  return NewProcedure<ControlKeyFilterUPP>(proc);
}
void DisposeControlKeyFilterUPP(ControlKeyFilterUPP upp) { DisposeProcedure(upp); }
ControlKeyFilterResult InvokeControlKeyFilterUPP(ControlRef control, SInt16* keyCode,
                                                 SInt16* charCode, EventModifiers* modifiers,
                                                 ControlKeyFilterUPP upp) {
  if (!LiveProcedures().count(upp)) return kControlKeyFilterPassKey;
  return upp->proc(control, keyCode, charCode, modifiers);
}

ControlActionUPP NewControlActionUPP(ControlActionProcPtr proc) {
  return NewProcedure<ControlActionUPP>(proc);
}
void DisposeControlActionUPP(ControlActionUPP upp) { DisposeProcedure(upp); }
void InvokeControlActionUPP(ControlRef control, ControlPartCode part, ControlActionUPP upp) {
  if (LiveProcedures().count(upp)) upp->proc(control, part);
}

ControlUserPaneDrawUPP NewControlUserPaneDrawUPP(ControlUserPaneDrawProcPtr proc) {
  return NewProcedure<ControlUserPaneDrawUPP>(proc);
}
void DisposeControlUserPaneDrawUPP(ControlUserPaneDrawUPP upp) { DisposeProcedure(upp); }
void InvokeControlUserPaneDrawUPP(ControlRef control, SInt16 part, ControlUserPaneDrawUPP upp) {
  if (LiveProcedures().count(upp)) upp->proc(control, part);
}

}  // extern "C"
