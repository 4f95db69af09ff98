// The toning preview presentation: a sample photograph rendered once into a
// pad-first 4-byte bitmap, toned through the engine and drawn into a user
// pane whenever the item's parameters change; the SetMONXPreview factory.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "toolbox/memory.h"
#include "toolbox/quickdraw.h"
#include "toolbox/resources.h"
#include "velkui/presentations.h"

namespace velkui {

namespace {

constexpr ResType kPictureType = FOUR_CHAR_CODE("PICT");
/// Pad byte first, no alpha: engine format kMonxFormatXRGB.
constexpr CGBitmapInfo kPadFirst = kCGImageAlphaNoneSkipFirst;
constexpr size_t kBitsPerComponent = 8;
constexpr float kPointsPerInch = 72.0f;

/// Geometry of the bitmaps: the picture's frame at its own resolution.
struct BitmapGeometry {
  float width, height;  ///< pixels, before truncation
  float left, top;      ///< where the frame's origin lands, pixels
  size_t rowBytes;      ///< a multiple of 16
  size_t bufferSize;    ///< height before truncation times rowBytes; 0 when too big
};

BitmapGeometry GeometryOf(QDPictRef picture) {
  CGFloat rx = 0, ry = 0;
  QDPictGetResolution(picture, &rx, &ry);
  const CGRect frame = QDPictGetBounds(picture);
  BitmapGeometry g;
  g.width = float(rx) * float(frame.size.width) / kPointsPerInch;
  g.height = float(ry) * float(frame.size.height) / kPointsPerInch;
  g.left = (float(rx) / kPointsPerInch) * float(frame.origin.x);
  g.top = (float(ry) / kPointsPerInch) * float(frame.origin.y);
  const float rowFloat = g.width * 4.0f;
  g.rowBytes = rowFloat > 0 && rowFloat < 1e9f ? size_t(rowFloat) : 0;
  if (g.rowBytes % 16 != 0) g.rowBytes = size_t(std::ceil(rowFloat * 0.0625f)) * 16;
  const float size = g.height * float(g.rowBytes);
  g.bufferSize = size > 0 && size < 4294967296.0f ? size_t(size) : 0;
  return g;
}

/// Draws the preview bitmap scaled into the control's rectangle of the port,
/// whose drawing context has its origin at the port's bottom left.
SInt16 DrawBitmap(const MONXPreviewRef& ref, CGrafPtr port, const Rect& portBounds,
                  const Rect& box) {
  CGContextRef bitmap = ref.previewContext;
  if (bitmap == nullptr) return paramErr;
  const size_t rowBytes = CGBitmapContextGetBytesPerRow(bitmap);
  const size_t height = CGBitmapContextGetHeight(bitmap);
  CGDataProviderRef provider = CGDataProviderCreateWithData(
      nullptr, CGBitmapContextGetData(bitmap), rowBytes * height, nullptr);
  CGImageRef image = provider == nullptr
      ? nullptr
      : CGImageCreate(CGBitmapContextGetWidth(bitmap), height,
                      CGBitmapContextGetBitsPerComponent(bitmap),
                      CGBitmapContextGetBitsPerPixel(bitmap), rowBytes, ref.colorSpace,
                      kPadFirst, provider, nullptr, false, kCGRenderingIntentDefault);
  if (image == nullptr) {
    CGDataProviderRelease(provider);
    return paramErr;
  }
  CGContextRef context = nullptr;
  QDBeginCGContext(port, &context);
  const CGRect destination = {
      {CGFloat(box.left), CGFloat((portBounds.bottom - portBounds.top) - box.bottom)},
      {CGFloat(box.right - box.left), CGFloat(box.bottom - box.top)}};
  CGContextDrawImage(context, destination, image);
  CGContextFlush(context);
  QDEndCGContext(port, &context);
  CGImageRelease(image);
  CGDataProviderRelease(provider);
  return noErr;
}

}  // namespace

SInt16 DrawMONXPreview(ControlRef control, MONXPreviewRef* ref, SInt16 part) {
  if (SInt32 judged = UIJudgeMonx(ref->engine, &ref->info, &ref->changed)) return SInt16(judged);
  if (ref->changed == 0 && part != 0) return noErr;
  if (!ref->shown) return noErr;
  WindowRef window = GetControlOwner(control);
  SetPortWindowPort(window);
  CGrafPtr port = GetWindowPort(window);
  Rect portBounds;
  GetPortBounds(port, &portBounds);
  if (UISystem::GetCurrentDialogPtr() == nullptr) return noErr;
  Rect box, parentBox;
  GetControlBounds(control, &box);
  ControlRef parent = nullptr;
  if (OSErr err = GetSuperControl(control, &parent)) return err;
  GetControlBounds(parent, &parentBox);
  if (box.bottom > parentBox.bottom) return noErr;
  void* output = CGBitmapContextGetData(ref->previewContext);
  if (SInt32 toned = UIProcMonx(ref->engine, &ref->info, &ref->image, output)) return SInt16(toned);
  return DrawBitmap(*ref, port, portBounds, box);
}

UIMONXPreview::UIMONXPreview(UIItem* inItem, SInt16 inItemNo, SInt16 inPictureBase,
                             UInt32 inSignature)
    : UIControl(inItem, inItemNo, inSignature),
      pictureBase(inPictureBase),
      inactive(1),
      drawProc(nullptr) {
  Initialize();
  controlID = ControlID{inSignature, inItemNo};
  ref.dialogItemNo = SInt16(inItemNo + UISystem::GetCurrentBaseNumber());
  const UIObject& r = Registry();
  ref.pictureID = SInt16(UInt32(r.value) - UInt32(r.min) + UInt32(pictureBase));
  ref.resFile = CurResFile();
  if (GetControlByID(UISystem::GetCurrentDialogPtr(), &controlID, &control) != noErr)
    control = nullptr;
  if (control == nullptr) return;
  GetControlKind(control, &kind);
  ControlButtonContentInfo content;
  if (GetImageWellContentInfo(control, &content) == noErr) return;
  inactive = 0;
  SetControlReference(control, reinterpret_cast<SRefCon>(&ref));
  if (InitMONXPreview() != noErr) return;
  drawProc = NewControlUserPaneDrawUPP(&UIMONXPreview::PrivateAction);
  SetControlData(control, kControlEntireControl, kControlUserPaneDrawProcTag, sizeof drawProc,
                 &drawProc);
}

UIMONXPreview::~UIMONXPreview() {
  // The control outlives the presentation: it forgets the procedure and the
  // record first, so the host never draws it through them again.
  if (!inactive && GetControlReference(control) == reinterpret_cast<SRefCon>(&ref)) {
    ControlUserPaneDrawUPP none = nullptr;
    if (drawProc != nullptr)
      SetControlData(control, kControlEntireControl, kControlUserPaneDrawProcTag, sizeof none,
                   &none);
    SetControlReference(control, 0);
  }
  if (ref.sourceContext != nullptr) CGContextRelease(ref.sourceContext);
  if (ref.previewContext != nullptr) CGContextRelease(ref.previewContext);
  if (ref.sourceBuffer != nullptr) std::free(ref.sourceBuffer);
  if (ref.previewBuffer != nullptr) std::free(ref.previewBuffer);
  if (ref.colorSpace != nullptr) CGColorSpaceRelease(ref.colorSpace);
  if (ref.picture != nullptr) QDPictRelease(ref.picture);
  if (ref.pictureProvider != nullptr) CGDataProviderRelease(ref.pictureProvider);
  if (ref.engine != nullptr) UIDeleteMonx(ref.engine);
  if (drawProc != nullptr) {
    DisposeControlUserPaneDrawUPP(drawProc);
    drawProc = nullptr;
  }
}

void UIMONXPreview::Initialize() { std::memset(&ref, 0, sizeof ref); }

SInt16 UIMONXPreview::InitMONXPreview() {
  Handle resource = Get1Resource(kPictureType, ref.pictureID);
  if (resource == nullptr) return resNotFound;
  HLock(resource);
  SInt16 result = paramErr;
  ref.pictureProvider =
      CGDataProviderCreateWithData(nullptr, *resource, size_t(GetHandleSize(resource)), nullptr);
  if (ref.pictureProvider != nullptr) ref.picture = QDPictCreateWithProvider(ref.pictureProvider);
  if (ref.picture != nullptr) result = RenderSource();
  HUnlock(resource);
  ReleaseResource(resource);
  return result;
}

/// Makes both bitmaps, draws the picture into the source one and creates the
/// engine over it.
SInt16 UIMONXPreview::RenderSource() {
  const BitmapGeometry g = GeometryOf(ref.picture);
  ref.colorSpace = CGColorSpaceCreateDeviceRGB();
  if (g.bufferSize == 0) return memFullErr;
  ref.sourceBuffer = std::malloc(g.bufferSize);
  ref.previewBuffer = std::malloc(g.bufferSize);
  if (ref.sourceBuffer == nullptr || ref.previewBuffer == nullptr) return memFullErr;
  if (ref.colorSpace == nullptr) return paramErr;
  const size_t width = size_t(g.width), height = size_t(g.height);
  ref.sourceContext = CGBitmapContextCreate(ref.sourceBuffer, width, height, kBitsPerComponent,
                                            g.rowBytes, ref.colorSpace, kPadFirst);
  ref.previewContext = CGBitmapContextCreate(ref.previewBuffer, width, height,
                                             kBitsPerComponent, g.rowBytes, ref.colorSpace,
                                             kPadFirst);
  if (ref.sourceContext == nullptr || ref.previewContext == nullptr) return paramErr;
  const CGRect all = {{0, 0}, {g.width, g.height}};
  CGContextClearRect(ref.sourceContext, all);
  CGContextClearRect(ref.previewContext, all);
  const CGRect frame = {{g.left, g.top}, {g.width, g.height}};
  if (OSStatus drawn = QDPictDrawToCGContext(ref.sourceContext, frame, ref.picture))
    return SInt16(drawn);
  ref.image = MonxImageDesc{SInt32(g.width), SInt32(g.height),
                            SInt32(CGBitmapContextGetBitsPerPixel(ref.sourceContext)),
                            kMonxFormatXRGB,
                            SInt32(CGBitmapContextGetBytesPerRow(ref.sourceContext)), 0, 0, 0};
  ref.sourceData = CGBitmapContextGetData(ref.sourceContext);
  return SInt16(UICreateMonx(&ref.image, ref.sourceData, &ref.engine));
}

void UIMONXPreview::SetValue() {
  if (inactive) return;
  auto* drawn = reinterpret_cast<MONXPreviewRef*>(GetControlReference(control));
  if (drawn == nullptr) return;
  drawn->shown = Registry().visible;
  DrawMONXPreview(control, drawn, 1);
}

void UIMONXPreview::SetMONXPreviewParam() {
  if (inactive) return;
  auto* drawn = reinterpret_cast<MONXPreviewRef*>(GetControlReference(control));
  if (drawn == nullptr) return;
  drawn->info = Registry().monxParams;
  drawn->shown = Registry().visible;
  DrawMONXPreview(control, drawn, 0);
}

void UIMONXPreview::SetStatus() { SetMONXPreviewParam(); }

void UIMONXPreview::SetMONXPreviewParam(MonxInfo info) {
  UIEmulate::SetMONXPreviewParam(item, info);
  SetMONXPreviewParam();
}

void UIMONXPreview::MenuAdjust() {}

void UIMONXPreview::PrivateAction(ControlRef control, SInt16 part) {
  auto* drawn = reinterpret_cast<MONXPreviewRef*>(GetControlReference(control));
  if (drawn == nullptr) return;
  const SInt16 saved = CurResFile();
  UseResFile(drawn->resFile);
  DrawMONXPreview(control, drawn, part);
  UseResFile(saved);
}

// ---------------------------------------------------------------- factory

void UIItem::SetMONXPreview(SInt16 itemNo, SInt16 pictureBase, UInt32 signature) {
  MakePresentation<UIMONXPreview>(itemNo, pictureBase, signature);
}

}  // namespace velkui
