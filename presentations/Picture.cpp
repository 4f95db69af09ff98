// The picture presentation: an item's value shown as one picture of a series,
// in an image well or drawn masked into a user pane; the SetPicture factory.
#include "toolbox/quickdraw.h"
#include "toolbox/resources.h"
#include "velkui/presentations.h"

namespace velkui {

/// Draws 'PICT' `pictureID` scaled into the control's rectangle, through its
/// mask (the picture 400 higher) when there is one. Silent when the picture or
/// an offscreen world is missing.
void drawPicture(ControlRef control, SInt16 pictureID);
/// An offscreen world of the rectangle's size at the origin, erased to its
/// background; null when it cannot be made.
GWorldPtr CreateGWorld(Rect* rect);

namespace {

constexpr SInt16 kMaskOffset = 400;
constexpr SInt16 kWorldDepth = 32;
constexpr GWorldFlags kWorldFlags = 4;

/// Picture id of the value, kept to 16 bits (with wrap-around, as on the 32-bit platform).
SInt16 PictureOfValue(const UIObject& r, SInt16 base) {
  return SInt16(UInt32(r.value) - UInt32(r.min) + UInt32(base));
}

/// The control's area cleared with the active dialog background, the drawing
/// state saved and restored around it. This is the platform's newer path; the
/// older one cleared with the port's own background.
void ClearWithDialogBackground(const Rect& area) {
  ThemeDrawingState state = nullptr;
  GetThemeDrawingState(&state);
  SetThemeBackground(kThemeBrushDialogBackgroundActive, kWorldDepth, true);
  EraseRect(&area);
  SetThemeDrawingState(state, true);
}

/// Copies the image world through the mask world into the port's control area.
void CopyMasked(GWorldPtr image, GWorldPtr mask, CGrafPtr port, const Rect& area) {
  Rect imageBounds, maskBounds;
  GetPortBounds(image, &imageBounds);
  GetPortBounds(mask, &maskBounds);
  CopyMask(GetPortBitMapForCopyBits(image), GetPortBitMapForCopyBits(mask),
           GetPortBitMapForCopyBits(port), &imageBounds, &maskBounds, &area);
}

/// Draws `picture` with its mask (or plainly without one) into `area` of the
/// current port, through two offscreen worlds. False when a world cannot be made.
bool DrawThroughWorlds(PicHandle picture, SInt16 pictureID, const Rect& area) {
  Rect r = area;
  OffsetRect(&r, SInt16(-r.left), SInt16(-r.top));
  CGrafPtr port = nullptr;
  GDHandle device = nullptr;
  GetGWorld(&port, &device);
  GWorldPtr image = nullptr;
  if (NewGWorld(&image, kWorldDepth, &r, nullptr, nullptr, kWorldFlags) != noErr) image = nullptr;
  GWorldPtr mask = CreateGWorld(&r);
  if (image == nullptr || mask == nullptr) {
    if (image != nullptr) DisposeGWorld(image);
    if (mask != nullptr) DisposeGWorld(mask);
    return false;
  }
  SetGWorld(image, nullptr);
  DrawPicture(picture, &r);
  if (PicHandle maskPicture = GetPicture(SInt16(pictureID + kMaskOffset))) {
    SetGWorld(mask, nullptr);
    DrawPicture(maskPicture, &r);
    ReleaseResource(reinterpret_cast<Handle>(maskPicture));
    SetGWorld(port, device);
    ClearWithDialogBackground(area);
    CopyMasked(image, mask, port, area);
  } else {
    SetGWorld(port, device);
    DrawPicture(picture, &area);
  }
  DisposeGWorld(image);
  DisposeGWorld(mask);
  return true;
}

}  // namespace

GWorldPtr CreateGWorld(Rect* rect) {
  GrafPtr saved = nullptr;
  GetPort(&saved);
  Rect r = *rect;
  OffsetRect(&r, SInt16(-r.left), SInt16(-r.top));
  GWorldPtr world = nullptr;
  if (NewGWorld(&world, kWorldDepth, &r, nullptr, nullptr, kWorldFlags) != noErr) world = nullptr;
  if (world != nullptr) {
    SetGWorld(world, nullptr);
    EraseRect(&r);
  }
  SetPort(saved);
  return world;
}

void drawPicture(ControlRef control, SInt16 pictureID) {
  GrafPtr saved = nullptr;
  GetPort(&saved);
  SetPort(GetWindowPort(GetControlOwner(control)));
  if (PicHandle picture = GetPicture(pictureID)) {
    Rect area;
    GetControlBounds(control, &area);
    DrawThroughWorlds(picture, pictureID, area);
    ReleaseResource(reinterpret_cast<Handle>(picture));
  }
  SetPort(saved);
}

UIPicture::UIPicture(UIItem* inItem, SInt16 inItemNo, SInt16 inPictureBase, UInt32 inSignature)
    : UIControl(inItem, inItemNo, inSignature),
      pictureBase(inPictureBase),
      imageWell(1),
      record{SInt16(inItemNo + UISystem::GetCurrentBaseNumber()),
             PictureOfValue(Registry(), inPictureBase), CurResFile()},
      drawProc(nullptr) {
  controlID = ControlID{inSignature, inItemNo};
  if (GetControlByID(UISystem::GetCurrentDialogPtr(), &controlID, &control) != noErr)
    control = nullptr;
  if (control != nullptr) GetControlKind(control, &kind);
  ControlButtonContentInfo content;
  if (GetImageWellContentInfo(control, &content) == noErr) return;
  imageWell = 0;
  if (control == nullptr) return;
  SetControlReference(control, reinterpret_cast<SRefCon>(&record));
  drawProc = NewControlUserPaneDrawUPP(&UIPicture::PrivateAction);
  SetControlData(control, kControlEntireControl, kControlUserPaneDrawProcTag, sizeof drawProc,
                 &drawProc);
}

UIPicture::~UIPicture() {
  // The control outlives the presentation: it forgets the procedure and the
  // record here, so the host never draws it through them again.
  if (drawProc != nullptr && GetControlReference(control) == reinterpret_cast<SRefCon>(&record)) {
    ControlUserPaneDrawUPP none = nullptr;
    SetControlData(control, kControlEntireControl, kControlUserPaneDrawProcTag, sizeof none,
                   &none);
    SetControlReference(control, 0);
  }
  if (drawProc != nullptr) {
    DisposeControlUserPaneDrawUPP(drawProc);
    drawProc = nullptr;
  }
}

void UIPicture::GetValue() {
  ControlButtonContentInfo content;
  if (GetImageWellContentInfo(control, &content) != noErr ||
      content.contentType != kControlContentPictRes)
    return;
  UIObject& r = Registry();
  r.value = SInt32(UInt32(content.u.resID - pictureBase) + UInt32(r.min));
}

void UIPicture::SetValue() {
  const SInt16 p = PictureOfValue(Registry(), pictureBase);
  if (imageWell) {
    ControlButtonContentInfo content;
    if (GetImageWellContentInfo(control, &content) != noErr) return;
    // A well that showed a picture handle switches to the series' resources:
    // writing an id over the handle would leave it pointing nowhere.
    content.contentType = kControlContentPictRes;
    content.u.resID = p;
    SetImageWellContentInfo(control, &content);
    Draw1Control(control);
    return;
  }
  auto* drawn = reinterpret_cast<PictureRef*>(GetControlReference(control));
  if (drawn == nullptr) return;
  drawn->pictureID = p;
  // A hidden control shows the new picture when it is next drawn.
  if (IsControlVisible(control)) drawPicture(control, p);
}

void UIPicture::MenuAdjust() {}

void UIPicture::PrivateAction(ControlRef control, SInt16) {
  auto* drawn = reinterpret_cast<PictureRef*>(GetControlReference(control));
  if (drawn == nullptr) return;
  const SInt16 saved = CurResFile();
  UseResFile(drawn->resFile);
  drawPicture(control, drawn->pictureID);
  UseResFile(saved);
}

// ---------------------------------------------------------------- factory

void UIItem::SetPicture(SInt16 itemNo, SInt16 pictureBase, UInt32 signature) {
  MakePresentation<UIPicture>(itemNo, pictureBase, signature);
}

}  // namespace velkui
