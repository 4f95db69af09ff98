// The ink pane's items: the drying time follows the ink density and the paper
// weight, live while the density slider is dragged.
#include "DensityPane.h"

namespace example {

namespace {

using velkui::UIItem;

/// Paper weight: three radio buttons.
class PaperWeightItem : public UIItem {
 public:
  PaperWeightItem() : UIItem(kPaperWeightKey, kThinPaper, kHeavyPaper) {}
  void New() override { Assign(kPlainPaper); }
  void Resume() override { SetRadio(kPaperWeightItem, kInkSignature); }
};

/// Ink density, -25 to 25: a slider.
class DensityItem : public UIItem {
 public:
  DensityItem() : UIItem(kDensityKey, -25, 25) {}
  void Resume() override { SetSlider(kDensityItem, kInkSignature); }
};

/// Drying time between pages in seconds: little arrows. Denser ink and heavier
/// paper need longer, so it is recomputed when either changes.
class DryTimeItem : public UIItem {
 public:
  DryTimeItem(UIItem* weight, UIItem* density)
      : UIItem(kDryTimeKey, 0, 60), weight_(weight), density_(density) {}
  void Dependency() override {
    AppendDependency(weight_);
    AppendDependency(density_);
  }
  void Resume() override { SetLittleArrow(kDryTimeItem, kInkSignature); }
  void ChangedOther() override {
    SInt32 density = density_->object->value;
    Assign(5 * weight_->object->value + (density > 0 ? density : 0));
  }

 private:
  UIItem* weight_;
  UIItem* density_;
};

}  // namespace

void DensityPane::New() {
  UIItem* weight = new PaperWeightItem;
  new DryTimeItem(weight, new DensityItem);
}

void* MakeDensityPane() { return static_cast<velkui::UISystem*>(new DensityPane); }

}  // namespace example
