// QuickDraw and window services: ports, windows, invalidation, drawing (through
// the painter), text measurement, pictures, offscreen worlds.
#include "toolbox/quickdraw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>

#include "toolbox/memory.h"
#include "toolbox/resources.h"
#include "core/Journal.h"
#include "core/Painter.h"
#include "core/Records.h"
#include "core/Strings.h"

using namespace toolbox::internal;


namespace {




void FillRect(const Rect* r, bool useFore) {
  GrafPtr port = CurrentPort();
  if (!port || !r) return;
  FillPortRect(port, *r, useFore ? port->fore : port->back);
}

std::string RectText(const Rect& r) {
  return std::to_string(r.top) + "," + std::to_string(r.left) + "," + std::to_string(r.bottom) +
         "," + std::to_string(r.right);
}

GrafPtr PortOfBitMap(const BitMap* map) {
  if (!map) return nullptr;
  // Bitmaps are only handed out by ports, so the port is the record holding it.
  auto* port = reinterpret_cast<GrafPtr>(reinterpret_cast<char*>(const_cast<BitMap*>(map)) -
                                         offsetof(OpaqueGrafPtr, bitmap));
  return IsLivePort(port) ? port : nullptr;
}


struct ThemeState {
  RGBColor fore;
  RGBColor back;
};
std::set<ThemeState*>& LiveThemeStates() {
  static auto* states = new std::set<ThemeState*>;
  return *states;
}

}  // namespace

extern "C" {

CGrafPtr GetWindowPort(WindowRef window) {
  return IsLiveWindow(window) ? window->port.get() : nullptr;
}

void SetPortWindowPort(WindowRef window) {
  if (IsLiveWindow(window)) SetPort(window->port.get());
}

WindowRef GetWindowFromPort(CGrafPtr port) { return IsLivePort(port) ? port->window : nullptr; }

DialogRef GetDialogFromWindow(WindowRef window) {
  return IsLiveWindow(window) ? &window->dialog : nullptr;
}

WindowRef GetDialogWindow(DialogRef dialog) {
  if (!dialog) return nullptr;
  WindowRef window = reinterpret_cast<WindowRef>(reinterpret_cast<char*>(dialog) -
                                                 offsetof(OpaqueWindowPtr, dialog));
  return IsLiveWindow(window) ? window : nullptr;
}

CGrafPtr GetDialogPort(DialogRef dialog) { return GetWindowPort(GetDialogWindow(dialog)); }

OSStatus InvalWindowRect(WindowRef window, const Rect* bounds) {
  if (!IsLiveWindow(window)) return errInvalidWindowRef;
  if (!bounds) return paramErr;
  window->invalid.push_back(*bounds);
  toolbox::internal::Record("inval", window->title + " " + RectText(*bounds));
  return noErr;
}

OSStatus ValidWindowRect(WindowRef window, const Rect* bounds) {
  if (!IsLiveWindow(window)) return errInvalidWindowRef;
  if (!bounds) return paramErr;
  toolbox::internal::Record("valid", window->title + " " + RectText(*bounds));
  return noErr;
}

void GetPort(GrafPtr* port) {
  if (port) *port = CurrentPort();
}

void SetPort(GrafPtr port) {
  // Null is remembered too: a caller restoring "no port" gets exactly that.
  if (port == nullptr || IsLivePort(port)) SetCurrentPort(port);
}

void GetGWorld(CGrafPtr* port, GDHandle* gdh) {
  if (port) *port = CurrentPort();
  if (gdh) *gdh = nullptr;
}

void SetGWorld(CGrafPtr port, GDHandle gdh) { SetPort(port); }

Rect* GetPortBounds(CGrafPtr port, Rect* rect) {
  if (!rect) return rect;
  *rect = IsLivePort(port) ? port->bounds : Rect{0, 0, 0, 0};
  return rect;
}

const BitMap* GetPortBitMapForCopyBits(CGrafPtr port) {
  if (!IsLivePort(port)) return nullptr;
  FlushPort(port);
  return &port->bitmap;
}

OSErr NewGWorld(GWorldPtr* world, SInt16 depth, const Rect* bounds, void* cTable,
                GDHandle device, GWorldFlags flags) {
  if (!world || !bounds) return paramErr;
  *world = nullptr;
  if (depth != 0 && depth != 32) return paramErr;
  int width = bounds->right - bounds->left;
  int height = bounds->bottom - bounds->top;
  if (width <= 0 || height <= 0) return paramErr;
  if (width > 8192 || height > 8192) return memFullErr;
  std::unique_ptr<OpaqueGrafPtr> port = MakePort(SInt16(width), SInt16(height), nullptr);
  if (!port) return memFullErr;
  *world = port.release();
  return noErr;
}

void DisposeGWorld(GWorldPtr world) {
  if (IsLivePort(world) && !world->window) delete world;
}

void RGBForeColor(const RGBColor* color) {
  if (GrafPtr port = CurrentPort(); port && color) port->fore = *color;
}
void RGBBackColor(const RGBColor* color) {
  if (GrafPtr port = CurrentPort(); port && color) port->back = *color;
}
void GetForeColor(RGBColor* color) {
  if (!color) return;
  GrafPtr port = CurrentPort();
  *color = port ? port->fore : RGBColor{0, 0, 0};
}
void GetBackColor(RGBColor* color) {
  if (!color) return;
  GrafPtr port = CurrentPort();
  *color = port ? port->back : RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
}

void EraseRect(const Rect* r) { FillRect(r, false); }
void PaintRect(const Rect* r) { FillRect(r, true); }

void FrameRect(const Rect* r) {
  GrafPtr port = CurrentPort();
  if (!port || !r) return;
  FramePortRect(port, *r, port->fore);
}

void MoveTo(SInt16 h, SInt16 v) {
  if (GrafPtr port = CurrentPort()) port->pen = Point{v, h};
}

void LineTo(SInt16 h, SInt16 v) {
  GrafPtr port = CurrentPort();
  if (!port) return;
  StrokePortLine(port, port->pen, Point{v, h}, port->fore);
  port->pen = Point{v, h};
}

void DrawString(ConstStr255Param s) {
  GrafPtr port = CurrentPort();
  if (!port || !s) return;
  std::string text = PascalToString(s);
  DrawPortText(port, text, port->pen, port->textSize, port->fore);
  port->pen.h = SInt16(port->pen.h + std::lround(TextWidthPixels(text, port->textSize)));
}

void TextSize(SInt16 size) {
  if (GrafPtr port = CurrentPort()) port->textSize = size > 0 ? size : 12;
}
void TextFont(SInt16 font) {
  if (GrafPtr port = CurrentPort()) port->textFont = font;
}

SInt16 StringWidth(ConstStr255Param s) {
  if (!s) return 0;
  GrafPtr port = CurrentPort();
  return SInt16(std::lround(TextWidthPixels(PascalToString(s), port ? port->textSize : 12)));
}

SInt16 TextWidth(const void* text, SInt16 first, SInt16 length) {
  if (!text || length <= 0 || first < 0) return 0;
  GrafPtr port = CurrentPort();
  std::string s(static_cast<const char*>(text) + first, size_t(length));
  return SInt16(std::lround(TextWidthPixels(s, port ? port->textSize : 12)));
}

void CopyBits(const BitMap* src, const BitMap* dst, const Rect* srcRect, const Rect* dstRect,
              SInt16 mode, void* maskRgn) {
  GrafPtr from = PortOfBitMap(src);
  GrafPtr to = PortOfBitMap(dst);
  if (!from || !to || !srcRect || !dstRect) return;
  double sw = srcRect->right - srcRect->left, sh = srcRect->bottom - srcRect->top;
  double dw = dstRect->right - dstRect->left, dh = dstRect->bottom - dstRect->top;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  CopyPortBits(from, to, *srcRect, *dstRect);
}

void CopyMask(const BitMap* src, const BitMap* mask, const BitMap* dst, const Rect* srcRect,
              const Rect* maskRect, const Rect* dstRect) {
  GrafPtr from = PortOfBitMap(src);
  GrafPtr through = PortOfBitMap(mask);
  GrafPtr to = PortOfBitMap(dst);
  if (!from || !through || !to || !srcRect || !maskRect || !dstRect) return;
  int mw = maskRect->right - maskRect->left, mh = maskRect->bottom - maskRect->top;
  double sw = srcRect->right - srcRect->left, sh = srcRect->bottom - srcRect->top;
  double dw = dstRect->right - dstRect->left, dh = dstRect->bottom - dstRect->top;
  if (mw <= 0 || mh <= 0 || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  CopyPortMask(from, through, to, *srcRect, *maskRect, *dstRect);
}

PicHandle GetPicture(SInt16 id) {
  return reinterpret_cast<PicHandle>(GetResource(FOUR_CHAR_CODE("PICT"), id));
}

void DrawPicture(PicHandle picture, const Rect* dst) {
  GrafPtr port = CurrentPort();
  if (!port || !dst) return;
  DrawPortPicture(port, picture, *dst);
}

void KillPicture(PicHandle picture) {
  if (picture) DisposeHandle(reinterpret_cast<Handle>(picture));
}

void SetRect(Rect* r, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom) {
  if (r) *r = Rect{top, left, bottom, right};
}
void OffsetRect(Rect* r, SInt16 dh, SInt16 dv) {
  if (!r) return;
  r->left = SInt16(r->left + dh);
  r->right = SInt16(r->right + dh);
  r->top = SInt16(r->top + dv);
  r->bottom = SInt16(r->bottom + dv);
}
void InsetRect(Rect* r, SInt16 dh, SInt16 dv) {
  if (!r) return;
  r->left = SInt16(r->left + dh);
  r->right = SInt16(r->right - dh);
  r->top = SInt16(r->top + dv);
  r->bottom = SInt16(r->bottom - dv);
}
Boolean EqualRect(const Rect* a, const Rect* b) {
  return a && b && a->top == b->top && a->left == b->left && a->bottom == b->bottom &&
         a->right == b->right;
}
Boolean EmptyRect(const Rect* r) { return !r || r->bottom <= r->top || r->right <= r->left; }

OSStatus GetThemeDrawingState(ThemeDrawingState* state) {
  if (!state) return paramErr;
  RGBColor fore, back;
  GetForeColor(&fore);
  GetBackColor(&back);
  auto* saved = new ThemeState{fore, back};
  LiveThemeStates().insert(saved);
  *state = reinterpret_cast<ThemeDrawingState>(saved);
  return noErr;
}

OSStatus SetThemeDrawingState(ThemeDrawingState state, Boolean disposeNow) {
  auto* saved = reinterpret_cast<ThemeState*>(state);
  if (!LiveThemeStates().count(saved)) return paramErr;
  RGBForeColor(&saved->fore);
  RGBBackColor(&saved->back);
  if (disposeNow) DisposeThemeDrawingState(state);
  return noErr;
}

OSStatus DisposeThemeDrawingState(ThemeDrawingState state) {
  auto* saved = reinterpret_cast<ThemeState*>(state);
  if (!LiveThemeStates().erase(saved)) return paramErr;
  delete saved;
  return noErr;
}

OSStatus SetThemeBackground(ThemeBrush brush, SInt16 depth, Boolean isColorDevice) {
  UInt16 level = brush == ThemeBrush(kThemeBrushDialogBackgroundActive) ? 0xECEC : 0xFFFF;
  RGBColor color{level, level, level};
  RGBBackColor(&color);
  return noErr;
}

}  // extern "C"
