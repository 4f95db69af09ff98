// The sample pane's items: quality, copies and a borderless switch that limits quality.
#include "QualityPane.h"

namespace example {

namespace {

using velkui::UIItem;

/// Print quality: a popup of three entries.
class QualityItem : public UIItem {
 public:
  QualityItem() : UIItem(kQualityKey, kDraft, kPhoto) {}
  void New() override { Assign(kNormal); }
  void Resume() override { SetControl(kQualityItem, kSignature); }
};

/// Number of copies: a number field.
class CopiesItem : public UIItem {
 public:
  CopiesItem() : UIItem(kCopiesKey, 1, 99) {}
  void Resume() override { SetNumber(kCopiesItem, 1, 0, 0, nullptr, kSignature); }
};

/// Borderless printing: a check box. Borderless pages are never printed in
/// draft quality, so it influences the quality item.
class BorderlessItem : public UIItem {
 public:
  explicit BorderlessItem(UIItem* quality) : UIItem(kBorderlessKey, 0, 1), quality_(quality) {}
  void Influence() override { AppendInfluence(quality_); }
  void Resume() override { SetControl(kBorderlessItem, kSignature); }

 private:
  UIItem* quality_;
};

/// The quality item reacts to the borderless switch.
class LimitedQualityItem : public QualityItem {
 public:
  void ChangedOther() override {
    UInt32 key = kBorderlessKey;
    SInt16 borderless = 0;
    velkui::GetRegistry(key, &borderless);
    EnDisableItem(kDraft, borderless == 0);
    if (borderless != 0 && object->value == kDraft) Assign(kNormal);
  }
};

/// The quality shown as a picture of the quality series; follows the quality item.
class QualityPictureItem : public UIItem {
 public:
  explicit QualityPictureItem(UIItem* quality) : UIItem(0, kDraft, kPhoto), quality_(quality) {}
  void Dependency() override { AppendDependency(quality_); }
  void New() override { Assign(quality_->object->value); }
  void Resume() override { SetPicture(kQualityPictureItem, kQualityPictures, kPaneSignature); }
  void ChangedOther() override { Assign(quality_->object->value); }

 private:
  UIItem* quality_;
};

/// The sample photograph toned as the pane's toning settings would print it.
class PreviewItem : public UIItem {
 public:
  PreviewItem() : UIItem(0, 1, 1) {}
  /// Items bind after the pane's status was applied: the preview draws when
  /// it is handed its parameters.
  void Resume() override {
    SetMONXPreview(kPreviewItem, kSamplePhoto, kPaneSignature);
    SetMONXPreviewParam(kWarmTone);
  }
};

}  // namespace

void QualityPane::New() {
  UIItem* quality = new LimitedQualityItem;
  new CopiesItem;
  new BorderlessItem(quality);
  new QualityPictureItem(quality);
  new PreviewItem;
}

void* MakeQualityPane() { return static_cast<velkui::UISystem*>(new QualityPane); }

}  // namespace example
