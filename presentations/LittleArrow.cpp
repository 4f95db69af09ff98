// The little-arrows presentation: each click or auto-repeat on an arrow steps
// the value by one and runs an action cycle; the SetLittleArrow factory.
#include <algorithm>

#include "Tracking.h"
#include "velkui/presentations.h"

namespace velkui {

namespace {

/// The arrow part codes this presentation steps by.
constexpr ControlPartCode kUpArrowPart = 20;
constexpr ControlPartCode kDownArrowPart = 21;

/// The arrow a part code of the control service stands for.
ControlPartCode ArrowOf(ControlPartCode part) {
  switch (part) {
    case kControlUpButtonPart:
      return kUpArrowPart;
    case kControlDownButtonPart:
      return kDownArrowPart;
    default:
      return part;
  }
}

/// The value one step on from `value`; held within 16 bits so that the last
/// step at either end stays there instead of wrapping around.
SInt16 Stepped(SInt16 value, ControlPartCode arrow) {
  SInt32 v = value;
  if (arrow == kUpArrowPart) ++v;
  if (arrow == kDownArrowPart) --v;
  return SInt16(std::clamp<SInt32>(v, -32768, 32767));
}

}  // namespace

UILittleArrow::UILittleArrow(UIItem* inItem, SInt16 inItemNo, UInt32 inSignature)
    : UIControl(inItem, inItemNo, inSignature), actionProc(nullptr), record{} {
  if (control != nullptr) GetControlKind(control, &kind);
  actionProc = tracking::Install(control, record, inItemNo, &UILittleArrow::PrivateAction);
}

UILittleArrow::~UILittleArrow() { DisposeControlActionUPP(actionProc); }

void UILittleArrow::Action(SInt16*) {}

void UILittleArrow::SetRefCon(SInt32) { item->ErrorMessage(tracking::kErrRefConTaken); }

void UILittleArrow::PrivateAction(ControlRef control, ControlPartCode part) {
  ControlKind kind{0, 0};
  GetControlKind(control, &kind);
  const ControlActionRef* record = ControlActionRef::Of(control);
  if (record == nullptr) return;
  if (kind.kind == kControlKindLittleArrows)
    SetControlValue(control, Stepped(GetControlValue(control), ArrowOf(part)));
  record->RunActionCycle();
}

void UIItem::SetLittleArrow(SInt16 itemNo, UInt32 signature) {
  MakePresentation<UILittleArrow>(itemNo, signature);
}

}  // namespace velkui
