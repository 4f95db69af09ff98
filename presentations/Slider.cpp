// The slider presentation: the item follows the thumb while it is dragged,
// one action cycle per tracking step; the SetSlider factory.
#include "Tracking.h"
#include "velkui/presentations.h"

namespace velkui {

UISlider::UISlider(UIItem* inItem, SInt16 inItemNo, UInt32 inSignature)
    : UIControl(inItem, inItemNo, inSignature), actionProc(nullptr), record{} {
  if (control != nullptr) GetControlKind(control, &kind);
  actionProc = tracking::Install(control, record, inItemNo, &UISlider::PrivateAction);
}

UISlider::~UISlider() { DisposeControlActionUPP(actionProc); }

void UISlider::Action(SInt16*) {}

void UISlider::SetRefCon(SInt32) { item->ErrorMessage(tracking::kErrRefConTaken); }

void UISlider::PrivateAction(ControlRef control, ControlPartCode) {
  if (const ControlActionRef* record = ControlActionRef::Of(control)) record->RunActionCycle();
}

void UIItem::SetSlider(SInt16 itemNo, UInt32 signature) {
  MakePresentation<UISlider>(itemNo, signature);
}

}  // namespace velkui
