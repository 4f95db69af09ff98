// Items, the presentation interface with the emulated presentation, and the keyed registry.
#pragma once

#include "velkui/interpreter.h"
#include "velkui/toning.h"

namespace velkui {

class UIEmulate;

/// Orders the entries of a dependents list (UIItem*) by address, unsigned.
class VELKUI_EXPORT DependComparator : public LComparator {
 public:
  SInt32 CompareToKey(const void* inItem, UInt32 inSize, const void* inKey) const override;

  VELKUI_BLOCK_ALLOCATED
};

/// One logical setting of a pane: a value in a registry object, at most one
/// presentation that shows it, the items to notify when it changes, and hooks
/// the plug-in overrides. Items are made with `new` inside the system's New
/// hook, register themselves with the current system and are destroyed by
/// FreeIPP.
class VELKUI_EXPORT UIItem {
 public:
  /// Binds to the registry object of `key` (made with min..max when there is
  /// none; key 0 gives a private object) and joins the current system's items.
  UIItem(UInt32 key, SInt32 min, SInt32 max);
  UIItem(const UIItem&) = delete;
  UIItem& operator=(const UIItem&) = delete;

  // Virtual operations, in their fixed order.
  virtual ~UIItem();
  virtual void New();           ///< StartIPP, first item first
  virtual void Kill();          ///< EndIPP, last item first
  virtual void Suspend();       ///< SuspendIPP, last item first
  virtual void Resume();        ///< ResumeIPP: call the presentation factories here
  virtual void SetSelf();       ///< the item's value changed by a hit or Auto
  virtual void TouchSelf();     ///< every accepted hit of the item
  virtual void ChangedOther();  ///< an item this one depends on changed
  virtual void ChangedSys();    ///< not called by the library
  virtual void Dependency();    ///< NewIPP, second pass: call AppendDependency
  virtual void Influence();     ///< NewIPP, first pass: call AppendInfluence
  /// Adds `delta` to the value directly, refreshing nothing.
  virtual void Append(SInt32 delta, Boolean unused);

  // Links.
  /// This item depends on `other`: it is appended to other's dependents.
  void AppendDependency(UIItem* other);
  /// This item influences `other`: other is appended to this item's dependents.
  void AppendInfluence(UIItem* other);
  /// Calls ChangedOther of every dependent, those added meanwhile included.
  void UpdateToDepend();

  // Value.
  /// Sets the value; a changed value queues a control refresh, an equal one
  /// clears the registry's changedKey. No range check.
  UIItem* Assign(SInt32 value);
  /// The presentation copies the registry value into its control.
  void Update();

  // Presentation factories. Each replaces the presentation: item number 0
  // leaves none; with no window shown the item gets an emulated UIEmulate;
  // otherwise the factory's toolbox presentation is made and queued for a
  // refresh. The factories with arguments are defined beside their
  // presentation classes, each as one MakePresentation call.
  /// Destroys the presentation.
  void SetControl();
  void SetControl(SInt16 itemNo, UInt32 signature);
  void SetNumber(SInt16 itemNo, SInt32 step, SInt32 flags, SInt32 count, SInt32* values,
                 UInt32 signature);
  void SetRadio(SInt16 itemNo, UInt32 signature);
  void SetSlider(SInt16 itemNo, UInt32 signature);
  void SetLittleArrow(SInt16 itemNo, UInt32 signature);
  void SetPicture(SInt16 itemNo, SInt16 pictureBase, UInt32 signature);
  void SetMONXPreview(SInt16 itemNo, SInt16 pictureBase, UInt32 signature);

  /// The shared steps of every factory, with the toolbox presentation class
  /// `P` made as P(this, itemNo, args...) when the current system shows a
  /// window. A factory is one line: `MakePresentation<UIControl>(n, sig);`.
  template <class P, class... Args>
  void MakePresentation(SInt16 itemNo, Args... args) {
    if (PreparePresentation(itemNo)) AdoptPresentation(new P(this, itemNo, args...));
  }
  /// Removes the presentation; then, for item number 0, stops (false); with
  /// no window makes the emulated presentation and stops (false); otherwise
  /// answers true: the caller makes the toolbox presentation.
  bool PreparePresentation(SInt16 itemNo);
  /// Takes ownership of a new toolbox presentation and asks it to refresh.
  void AdoptPresentation(UIEmulate* made);

  /// Presentation error codes end here; the library does nothing with them.
  /// Defined out of line (and exported) so that a test host can supply its own
  /// definition at link time and observe the codes.
  void ErrorMessage(int code);
  /// Sets UIEmulate::inAction.
  void SetInAction(Boolean inAction);

  // Forwarded to the presentation, or to the emulated presentation.
  void Show(Boolean show);
  void Hilite(SInt16 hilite);
  void SetRange(SInt32 min, SInt32 max);
  void GetRange(SInt32 from, SInt32 to, SInt16* list);
  void SetRefCon(SInt32 refCon);
  void EnDisableItem(SInt16 entry, Boolean enable);
  void ShowHideMenuItem(UInt16 entry, Boolean show, Boolean alsoEnable);
  Boolean IsEnableItem(SInt16 entry);
  void SetLevelPicture(SInt16 level);
  void GetTitle(unsigned char* title);
  void SetTitle(unsigned char* title);
  Boolean EmptyString();
  void ClearString();
  void SelectString();
  /// A 32-bit mask, sign-extended: bit 31 also enables entries 33 to 64.
  void MenuAdjust(SInt32 mask);
  void MenuAdjust64(SInt64 mask);
  void SetMONXPreviewParam(MonxInfo info);
  void SetValue();
  void GetValue();
  void SetStatus();
  void Action(SInt16* ioItemHit);
  Boolean CheckNumberField();
  SInt16 IsNumberField();
  /// 1 without a presentation: such an item matches no item number.
  SInt16 CompareItemNo(SInt16 itemNo);
  /// The presentation's relative item number; 0 without one.
  SInt16 GetItemNo();
  void EventCancel();
  void SetError(SInt16 alertId);
  void ErrorAlert(SInt16 index);

  VELKUI_BLOCK_ALLOCATED

  // Fields, in their fixed order.
  UIObject* object;          ///< never null; owned only when its key is 0
  UIEmulate* presentation;   ///< owned; null while the item shows nothing
  LArray* dependents;        ///< owned; UIItem* entries, made when first needed

 private:
  LArray* DependentsList();
};

/// The presentation interface, and the presentation used without a toolbox
/// control: it keeps the item's look in the item's registry object.
class VELKUI_EXPORT UIEmulate {
 public:
  /// Takes `system` from the current system.
  UIEmulate(UIItem* item, SInt16 itemNo);
  UIEmulate(const UIEmulate&) = delete;
  UIEmulate& operator=(const UIEmulate&) = delete;

  // Virtual operations, in their fixed order.
  virtual ~UIEmulate();
  virtual void GetValue();
  virtual void SetValue();
  virtual void SetStatus();
  virtual void Show(Boolean show);
  virtual void Hilite(SInt16 hilite);
  virtual void SetRange(SInt32 min, SInt32 max);
  virtual void GetRange(SInt32 from, SInt32 to, SInt16* list);
  virtual void SetRefCon(SInt32 refCon);
  virtual void MenuAdjust(SInt64 mask);
  virtual void SetMONXPreviewParam(MonxInfo info);
  virtual void EnDisableItem(SInt16 entry, Boolean enable);
  virtual void ShowHideMenuItem(UInt16 entry, Boolean show, Boolean alsoEnable);
  virtual Boolean IsEnableItem(SInt16 entry);
  virtual void SetLevelPicture(SInt16 level);
  virtual void GetTitle(unsigned char* title);
  virtual void SetTitle(unsigned char* title);
  virtual Boolean EmptyString();
  virtual void ClearString();
  virtual void SelectString();
  virtual Boolean CheckNumberField();
  virtual SInt16 IsNumberField();
  virtual void Action(SInt16* ioItemHit);
  /// 0 when itemNo equals `n`, -1 when it is greater, 1 when smaller.
  virtual SInt16 CompareItemNo(SInt16 n);

  // The emulated behaviour on a given item's registry object.
  void Show(UIItem* item, Boolean show);
  /// Active unless hilite is 255.
  void Hilite(UIItem* item, SInt16 hilite);
  /// Stores the range and enables all 64 menu entries.
  void SetRange(UIItem* item, SInt32 min, SInt32 max);
  /// Entry numbers from..to whose menu bit is set: count in list[0], numbers after.
  void GetRange(UIItem* item, SInt32 from, SInt32 to, SInt16* list);
  void SetRefCon(UIItem* item, SInt32 refCon);
  void MenuAdjust(UIItem* item, SInt64 mask);
  void SetMONXPreviewParam(UIItem* item, MonxInfo info);
  /// Entry k is bit k - 1 of the 64-bit menu mask (entries 1 to 64).
  void EnDisableItem(UIItem* item, SInt16 entry, Boolean enable);
  /// As EnDisableItem(entry, show) when alsoEnable is set; else nothing.
  void ShowHideMenuItem(UIItem* item, UInt16 entry, Boolean show, Boolean alsoEnable);
  Boolean IsEnableItem(UIItem* item, SInt16 entry);
  void SetLevelPicture(UIItem* item, SInt16 level);
  /// Leaves the buffer as it was.
  void GetTitle(UIItem* item, unsigned char* title);
  void SetTitle(UIItem* item, unsigned char* title);
  Boolean EmptyString(UIItem* item);
  void ClearString(UIItem* item);
  /// Records the item as the text to select when the pane is shown.
  void SelectString(UIItem* item);

  /// Queues the item in the presentation's system, or refreshes at once without one.
  void Update();
  /// These reach the presentation's system, or the current one without it.
  void EventCancel();
  void SetError(SInt16 alertId);
  void ErrorAlert(SInt16 index);
  static void SetInAction(Boolean flag) { inAction = flag; }

  VELKUI_BLOCK_ALLOCATED

  /// The class-wide emulated presentation of items without a presentation.
  static UIEmulate emulate;
  /// State for the plug-in; the library sets it on request only.
  static Boolean inAction;

  // Fields, in their fixed order.
  UIItem* item;       ///< not owned; null in `emulate`
  UISystem* system;   ///< current when constructed; may be null
  SInt16 itemNo;      ///< relative item number

 private:
  UISystem* TargetSystem() const;
};

/// One setting's value with everything that describes how it is shown.
class VELKUI_EXPORT UIObject {
 public:
  /// Value = min. A non-zero key enters the current system's registry.
  UIObject(UInt32 key, UIItem* item, SInt32 min, SInt32 max);
  UIObject(const UIObject&) = delete;
  UIObject& operator=(const UIObject&) = delete;
  virtual ~UIObject();

  /// Through the bound item's Assign; stored directly while unbound.
  void Assign(SInt32 value);
  /// Replaces the text by a length-prefixed string.
  void Assign(ConstStringPtr text);
  /// The text as a length-prefixed string into a 256-byte buffer; empty when none.
  void Get(unsigned char* out) const;

  VELKUI_BLOCK_ALLOCATED

  // Fields, in their fixed order.
  UInt32 key;            ///< 0: private object of one item, in no registry
  SInt16 sizeCode;       ///< form of the last registry write (2 until then)
  SInt32 value;
  SInt32 min;
  SInt32 max;
  UInt64 menuMask;       ///< entry k enabled when bit k - 1 is set
  Boolean visible;
  Boolean active;
  Boolean emptyText;
  UIItem* item;          ///< bound item, not owned; null while unbound
  LStr255* text;         ///< owned; null until the first string write
  MonxInfo monxParams;   ///< toning parameters of a preview item
};

/// Finds a registry object (UIObject*) by its 32-bit key, unsigned.
class VELKUI_EXPORT RegistryComparator : public LComparator {
 public:
  SInt32 CompareToKey(const void* inItem, UInt32 inSize, const void* inKey) const override;

  VELKUI_BLOCK_ALLOCATED
};

/// Size codes of registry values.
enum : SInt16 {
  kSizeNone = 0,     ///< no data
  kSizeShort = 2,    ///< 16-bit signed integer
  kSizeLong = 3,     ///< 32-bit signed integer
  kSizeFloat = 6,    ///< 32-bit float (truncated toward zero on write)
  kSizeString = 10,  ///< length-prefixed string (the object's text)
};

/// The keyed settings of a pane. Owns every object with a non-zero key.
class VELKUI_EXPORT UIRegistry {
 public:
  /// Throws 'nilP' when the comparator or the array cannot be made.
  UIRegistry();
  UIRegistry(const UIRegistry&) = delete;
  UIRegistry& operator=(const UIRegistry&) = delete;
  /// Destroys every object, then the array.
  virtual ~UIRegistry();

  void Append(UIObject* object);
  UIObject* Find(UInt32 key) const;
  /// Writes the value of `key` in the form of its stored size code.
  void Get(UInt32 key, void* out) const;
  /// Writes `in`, of the form `sizeCode` (low 16 bits), into the object of `key`,
  /// making an unbound object when there is none.
  void Set(UInt32 key, SInt32 sizeCode, void* in);

  VELKUI_BLOCK_ALLOCATED

  // Fields, in their fixed order.
  UInt32 changedKey;     ///< key of the last write that counts as a change; 0 = none
  LArray* objects;       ///< owned; UIObject* entries in the order entered, never locked
};

}  // namespace velkui
