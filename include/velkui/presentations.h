// Toolbox presentations: items shown on the pane's toolbox controls.
#pragma once

#include "toolbox/controls.h"
#include "toolbox/graphics.h"
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

// ---------------------------------------------------------------- number field

/// Option bits of a number field's flags.
enum : SInt32 {
  /// A blank field is valid and reads as 0; the registry's emptyText follows
  /// it, keeps the field blank at SetStatus, and a value of 0 is not shown.
  kNumberAllowBlank = 1,
  /// A 0 may be typed or pasted at the start of the text.
  kNumberAllowLeadingZero = 2,
  /// With kNumberAllowLeadingZero: a minus sign may start the text.
  kNumberAllowMinus = 4,
};

/// The presentation of an integer typed into an edit-text control. It shows
/// the registry value as decimal text, reads the typed text back as the value,
/// installs UIFilter on the control so that only valid keys and pastes reach
/// the text, and checks the typed value against the item's range (range
/// alert, correction to the nearer bound, beep). The control's reference value
/// is the field's absolute item number.
class VELKUI_EXPORT UINumber : public UIControl {
 public:
  /// Binds like UIControl, installs the key filter and keeps up to 31 values
  /// of `values` for Append (a count above 31 keeps none).
  UINumber(UIItem* item, SInt16 itemNo, SInt32 step, SInt32 flags, SInt32 count,
           SInt32* values, UInt32 signature);
  /// Releases the key filter.
  ~UINumber() override;

  using UIControl::Show;

  // Overrides of the presentation interface.
  /// The text as a decimal number (blank: 0) into the registry value.
  void GetValue() override;
  /// Writes the value as text, focuses the field and redraws it.
  void SetValue() override;
  void SetStatus() override;
  Boolean EmptyString() override;
  void ClearString() override;
  /// Focuses the field with its text selected and records it as the focus.
  void SelectString() override;
  /// Judges the typed text against the range; 1 when it was corrected.
  Boolean CheckNumberField() override;
  /// Makes this field the system's pending one; answers its kind 1, 2 or 3.
  SInt16 IsNumberField() override;
  Boolean CheckItemType() override;
  void Show() override;

  // Appended operation.
  /// Assigns the step after `value`: with a value list, the next entry above
  /// (below, for a negative value); otherwise step + step * value. `wrap`
  /// chooses between wrapping round the range or list and stopping at its end.
  /// A field with step 0 and no list is not stepped.
  virtual void Append(SInt32 value, Boolean wrap);

  /// The number-field kind of these option bits: 1, 2 or 3.
  static SInt16 KindOf(SInt32 flags);

  // Fields, in their fixed order.
  SInt32 step;                 ///< step of Append without a value list
  SInt32 flags;                ///< kNumberAllow... bits
  SInt32 valueCount;           ///< entries used in `values`, 0 to 31
  SInt32 values[32];           ///< ascending value list of Append
  ControlKeyFilterUPP keyFilter;  ///< owned; UIFilter, installed on the control

 private:
  bool AllowsBlank() const { return (flags & kNumberAllowBlank) != 0; }
  void FocusRedrawAndShow();
};

/// The key filter of number fields. Checks the pending number field first;
/// then lets return, enter, escape, tab, the arrows and command keys other
/// than command-V through (1); applies an accepted key or paste to the text
/// itself and runs ActionIPP and ThreadIPP of the current system for the
/// field's item, or beeps for a rejected one; both answer 0 (key swallowed).
VELKUI_EXPORT ControlKeyFilterResult UIFilter(ControlRef control, SInt16* keyCode,
                                              SInt16* charCode, EventModifiers* modifiers);
// ------------------------------------------------ radio group, slider, arrows

/// Shows one item as a group of radio buttons on consecutive item numbers:
/// the button for value v is (signature, itemNo + v - min), so the group
/// spans max - min + 1 numbers. A hit on any button finds the item and gives
/// that button's value. The inherited `control` and `kind` serve as a cursor:
/// after a group operation they describe the last button looked up. A button
/// missing from the window is skipped and counts as off.
class VELKUI_EXPORT UIRadio : public UIControl {
 public:
  /// Bound like a UIControl to the first button (the one for the minimum).
  UIRadio(UIItem* item, SInt16 itemNo, UInt32 signature);

  ~UIRadio() override;
  /// The value of the last button that is on; 0 when none is.
  void GetValue() override;
  /// Turns the button of the registry value on, every other button off.
  void SetValue() override;
  /// Stores the range (every entry enabled), adjusts the buttons and assigns
  /// the nearer end when the value lies outside.
  void SetRange(SInt32 min, SInt32 max) override;
  /// Entry k is the button for min + k - 1.
  void EnDisableItem(SInt16 entry, Boolean enable) override;
  /// Takes the hit button's value and rewrites the hit to the first button.
  void Action(SInt16* ioItemHit) override;
  /// 0 for any number of the group, 1 below it, -1 above it.
  SInt16 CompareItemNo(SInt16 n) override;
  using UIControl::Hilite;
  using UIControl::MenuAdjust;
  using UIControl::Show;
  void Show() override;
  void Hilite() override;
  /// Enables the first 32 buttons per menu mask and active flag, dims the rest of them.
  void MenuAdjust() override;

 private:
  /// Looks the button for `value` up into `control` and `kind`; false when missing.
  bool VisitButton(SInt32 value);
  /// Calls visit(value) for every button of the range that exists.
  template <class Visit>
  void ForEachButton(SInt32 last, Visit visit);
};

/// What a tracking action procedure needs, kept in the presentation; its
/// address is the control's reference value. Captured once at construction.
struct VELKUI_EXPORT ControlActionRef {
  SInt16 dialogItemNo;  ///< absolute item number: itemNo + the current base number
  SInt16 resFile;       ///< the resource file current at construction
  UISystem* system;     ///< current at construction; not owned

  /// Fills the record from the current system and resource file.
  void Capture(SInt16 itemNo);
  /// One action cycle on `system` (ActionIPP, then ThreadIPP) with a copy of
  /// the item number, under the captured resource file.
  void RunActionCycle() const;
  /// The record a tracked control refers to, or null.
  static const ControlActionRef* Of(ControlRef control);
};

/// Shows an item on a slider; while the thumb is dragged, every tracking step
/// runs a full action cycle, so the registry and dependent items follow live.
class VELKUI_EXPORT UISlider : public UIControl {
 public:
  UISlider(UIItem* item, SInt16 itemNo, UInt32 signature);

  /// Disposes of the action procedure handle.
  ~UISlider() override;
  /// Nothing: the tracking steps did the work.
  void Action(SInt16* ioItemHit) override;
  /// Refused (error 13): the reference value holds the tracking record.
  void SetRefCon(SInt32 refCon) override;

  /// The control action procedure: one action cycle per tracking step.
  static void PrivateAction(ControlRef control, ControlPartCode part);

  // Fields, in their fixed order.
  ControlActionUPP actionProc;  ///< owned
  ControlActionRef record;      ///< the control's reference value points here
};

/// Shows an item on little arrows: each click or auto-repeat on an arrow steps
/// the control's value by one and runs a full action cycle.
class VELKUI_EXPORT UILittleArrow : public UIControl {
 public:
  UILittleArrow(UIItem* item, SInt16 itemNo, UInt32 signature);

  /// Disposes of the action procedure handle.
  ~UILittleArrow() override;
  /// Nothing: the arrow steps did the work.
  void Action(SInt16* ioItemHit) override;
  /// Refused (error 13): the reference value holds the tracking record.
  void SetRefCon(SInt32 refCon) override;

  /// The control action procedure: part 20 steps up, 21 down, others keep
  /// the value; then one action cycle.
  static void PrivateAction(ControlRef control, ControlPartCode part);

  // Fields, in their fixed order.
  ControlActionUPP actionProc;  ///< owned
  ControlActionRef record;      ///< the control's reference value points here
};

// ---------------------------------------------------------------- pictures

/// What a drawn picture's control reference value points at.
struct PictureRef {
  SInt16 dialogItemNo;  ///< absolute dialog item number
  SInt16 pictureID;     ///< 'PICT' resource shown now
  SInt16 resFile;       ///< resource file current at construction; the draw procedure uses it
};

/// Shows an item's value as one of a series of pictures: value v shows the
/// 'PICT' resource pictureBase + (v - min). An image well gets that resource
/// as its content; any other control is drawn by the presentation's own draw
/// procedure, the picture masked by the picture 400 higher so that the dialog
/// background shows where the mask is white.
class VELKUI_EXPORT UIPicture : public UIControl {
 public:
  UIPicture(UIItem* item, SInt16 itemNo, SInt16 pictureBase, UInt32 signature);

  ~UIPicture() override;
  /// Image wells: the value of the content's resource id. Drawn controls: nothing.
  void GetValue() override;
  /// Switches the image well's content, or draws the value's picture at once.
  void SetValue() override;
  using UIControl::MenuAdjust;
  /// A picture has no menu: nothing.
  void MenuAdjust() override;

  /// The user pane draw procedure: draws the record's picture from its resource file.
  static void PrivateAction(ControlRef control, SInt16 part);

  // Fields, in their fixed order.
  SInt16 pictureBase;               ///< picture id of the range minimum
  Boolean imageWell;                ///< 1: driven as an image well; 0: drawn
  PictureRef record;                ///< the control's reference value points here when drawn
  ControlUserPaneDrawUPP drawProc;  ///< owned; null for an image well
};

// ---------------------------------------------------------------- toning preview

/// Everything the preview's draw procedure needs, found through the control's
/// reference value. Owned by the presentation that embeds it.
struct MONXPreviewRef {
  SInt16 dialogItemNo;                ///< absolute dialog item number (not read)
  SInt16 pictureID;                   ///< 'PICT' resource of the sample photograph
  SInt16 resFile;                     ///< resource file current at construction
  UIHdl* engine;                      ///< toning engine over the source bitmap; null until set up
  void* sourceData;                   ///< first pixel of the source bitmap
  MonxImageDesc image;                ///< geometry of both bitmaps (pad-first 4-byte pixels)
  MonxInfo info;                      ///< parameters of the next drawing
  UInt32 changed;                     ///< last answer of UIJudgeMonx: 1 when info is new
  Boolean shown;                      ///< the item's visible flag, copied before each drawing
  QDPictRef picture;                  ///< the decoded sample photograph
  CGDataProviderRef pictureProvider;  ///< over the picture resource's bytes
  CGContextRef sourceContext;         ///< the rendered photograph, never changed after set-up
  CGContextRef previewContext;        ///< receives the toned pixels; its bitmap is drawn
  void* sourceBuffer;                 ///< malloc'ed pixels of sourceContext
  void* previewBuffer;                ///< malloc'ed pixels of previewContext
  CGColorSpaceRef colorSpace;         ///< device RGB, of both contexts and the drawn image
};

/// Shows a sample photograph toned with the item's toning parameters in a
/// user pane. The photograph (picture pictureBase + value - min at
/// construction) is rendered once into a bitmap; every full redraw tones that
/// untouched bitmap into a second one and draws it scaled into the pane.
/// Without a user pane (no control, or an image well) the preview is inactive
/// and its operations do nothing.
class VELKUI_EXPORT UIMONXPreview : public UIControl {
 public:
  UIMONXPreview(UIItem* item, SInt16 itemNo, SInt16 pictureBase, UInt32 signature);

  ~UIMONXPreview() override;
  /// Redraws only when the parameters changed since the engine last ran.
  void SetValue() override;
  /// A full redraw with the registry's parameters.
  void SetStatus() override;
  /// Stores the record in the registry object, then redraws in full.
  void SetMONXPreviewParam(MonxInfo info) override;
  using UIControl::MenuAdjust;
  /// The preview has no menu: nothing.
  void MenuAdjust() override;

  // Appended operations, in their fixed order.
  /// Renders the picture and creates the engine: 0, resNotFound (-192),
  /// memFullErr (-108), paramErr (-50), or the engine's result code.
  virtual SInt16 InitMONXPreview();
  /// Zeroes the reference record.
  virtual void Initialize();
  /// Copies the registry's parameters and visible flag, then redraws in full.
  virtual void SetMONXPreviewParam();

  /// The user pane draw procedure: part 0 redraws in full, others only on a change.
  static void PrivateAction(ControlRef control, SInt16 part);

  // Fields, in their fixed order.
  SInt16 pictureBase;               ///< picture id of the range minimum
  Boolean inactive;                 ///< 1 while not set up on a user pane
  MONXPreviewRef ref;               ///< the control's reference value points here
  ControlUserPaneDrawUPP drawProc;  ///< owned; null when none was installed

 private:
  SInt16 RenderSource();
};

/// Tones and draws the preview into its control: a non-zero part with
/// unchanged parameters, a hidden item or a control reaching below its parent
/// draw nothing. Answers 0 or the first failing call's code.
VELKUI_EXPORT SInt16 DrawMONXPreview(ControlRef control, MONXPreviewRef* ref, SInt16 part);

}  // namespace velkui
