// Toolbox presentations: items shown on the pane's toolbox controls.
#pragma once

#include "toolbox/controls.h"
#include "velkui/items.h"

namespace velkui {

/// The presentation that binds an item to one toolbox control of the pane,
/// found by control ID (the factory's signature, the relative item number).
/// At binding it takes the control's range, visibility and value into the
/// item's registry object when the plug-in left them unset; afterwards it
/// mirrors the registry object into the control and reads the value back.
/// Base class of every other toolbox presentation. Mismatches between an
/// operation and the control are reported through UIItem::ErrorMessage:
///   1 Show() without control          2 Hilite() without control
///   3 EmptyString()  4 ClearString()  5 SelectString()
///   6 GetValue() on a kind without value   7 SetValue() with value out of range
///   8 SetValue() on a kind without value   13 SetRefCon() on such a kind
///   17 SetRange() on such a kind
class VELKUI_EXPORT UIControl : public UIEmulate {
 public:
  /// Finds the control (signature, itemNo) in the system's window and binds it.
  /// Writes nothing into the control.
  UIControl(UIItem* item, SInt16 itemNo, UInt32 signature);

  // Overrides of the presentation interface.
  ~UIControl() override;
  void GetValue() override;
  void SetValue() override;
  void SetStatus() override;
  void Show(Boolean show) override;
  void Hilite(SInt16 hilite) override;
  void SetRange(SInt32 min, SInt32 max) override;
  void SetRefCon(SInt32 refCon) override;
  void MenuAdjust(SInt64 mask) override;
  void EnDisableItem(SInt16 entry, Boolean enable) override;
  void ShowHideMenuItem(UInt16 entry, Boolean show, Boolean alsoEnable) override;
  void GetTitle(unsigned char* title) override;
  void SetTitle(unsigned char* title) override;
  Boolean EmptyString() override;
  void ClearString() override;
  void SelectString() override;
  void Action(SInt16* ioItemHit) override;

  // Appended operations, in their fixed order.
  /// 1 for a value kind whose registry range is not a single value.
  virtual Boolean CheckItemType();
  /// Shows or hides the control per the registry's visible flag.
  virtual void Show();
  /// Highlights the control per the registry's active flag.
  virtual void Hilite();
  /// Popup buttons: entries enabled per the menu mask; radio groups: dims the
  /// button recorded in disabledEntry.
  virtual void MenuAdjust();

  /// True for the ten kinds whose value, range and reference value are mirrored.
  static bool IsValueKind(OSType kind);

  // Fields, in their fixed order.
  ControlKind kind;        ///< of `control`; {0, 0} without one
  ControlRef control;      ///< not owned; null when no control has the ID
  Rect bounds;             ///< read once at construction
  ControlID controlID;     ///< (signature, relative item number)
  SInt16 disabledEntry;    ///< entry or button last disabled or hidden; 0 = none
  UInt32 signature;        ///< the factory's control signature

 protected:
  /// The item's registry object.
  UIObject& Registry() const { return *item->object; }
  bool HasValueKind() const { return control != nullptr && IsValueKind(kind.kind); }

 private:
  void BindRangeAndVisibility();
  void AdjustPopupMenu();
  void AdjustRadioGroup();
};

}  // namespace velkui
