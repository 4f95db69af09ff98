// The interpreter of one dialog pane: the system object, its comparator and the entry functions.
#pragma once

#include <cstddef>
#include <new>

#include "toolbox/types.h"
#include "toolbox/windows_fwd.h"
#include "velkui/export.h"
#include "velkui/support.h"

/// Declares the class-wide allocation of a library object: its memory comes
/// from the toolbox's pointer blocks (so failures can be injected there), and
/// a block that cannot be had throws LException with code kNilPointerErr.
/// The nothrow form answers null instead. Subclasses inherit both.
#define VELKUI_BLOCK_ALLOCATED                                                        \
  static void* operator new(std::size_t size);                                       \
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;       \
  static void* operator new(std::size_t, void* where) noexcept { return where; }     \
  static void operator delete(void* block) noexcept;                                 \
  static void operator delete(void* block, const std::nothrow_t&) noexcept;          \
  static void operator delete(void*, void*) noexcept {}

namespace velkui {

class UIItem;
class UIObject;
class UIRegistry;

/// Code of the LException thrown when an interpreter object cannot be created ('nilP').
constexpr SInt32 kNilPointerErr = 0x6E696C50;

/// Throws LException(kNilPointerErr) with an empty message.
[[noreturn]] VELKUI_EXPORT void ThrowNilPointer();

/// Finds an item of the system's item array by relative item number: the array
/// entry is a UIItem*, the key points to a 16-bit item number, and the answer
/// is the item's CompareItemNo (0 when its presentation has that number).
class VELKUI_EXPORT ItemsComparator : public LComparator {
 public:
  SInt32 CompareToKey(const void* inItem, UInt32 inSize, const void* inKey) const override;

  VELKUI_BLOCK_ALLOCATED
};

/// The interpreter of one dialog pane. A plug-in derives its own class, makes
/// its items in New() and drives the pane through the entry functions below.
/// The system owns its items, the update queue and the registry.
class VELKUI_EXPORT UISystem {
 public:
  /// Every field zero or null; NewIPP makes the arrays and the registry.
  UISystem();
  UISystem(const UISystem&) = delete;
  UISystem& operator=(const UISystem&) = delete;

  // Virtual operations, in their fixed order.
  /// Destroys the object only: FreeIPP released what it owns before.
  virtual ~UISystem();
  /// The plug-in makes the pane's items here (inside NewIPP).
  virtual void New() = 0;
  /// First step of FreeIPP.
  virtual void Kill();
  /// SuspendIPP, after the items' Suspend hooks.
  virtual void Suspend();
  /// ResumeIPP, after the window is recorded and registry objects are rebound.
  virtual void Resume();
  /// ActionIPP and Auto, when an item's value changed, before the item's SetSelf.
  virtual void SetSelf();
  /// Not called by the library.
  virtual void TouchSelf();
  /// Not called by the library.
  virtual void ChangedOther();
  /// Not called by the library.
  virtual void Dependency();
  /// Makes this system current and flushes the update queue; the hit is not used.
  virtual void ThreadIPP(SInt16* ioItemHit);

  // Lifecycle, driven by the entry functions.
  /// Builds the pane: registry, arrays, the New hook, Influence then Dependency
  /// of every item. Any exception is caught and everything is released again.
  void NewIPP();
  /// Each item's New hook, first to last.
  void StartIPP();
  /// Shows the pane in `window` with item numbers offset by `baseNumber`.
  void ResumeIPP(SInt16 baseNumber, WindowRef window);
  /// Flushes the update queue, items queued meanwhile included; may throw 'nilP'.
  void UpdateIPP();
  /// Handles one hit (absolute item number); may rewrite it to 0.
  void ActionIPP(SInt16* ioItemHit);
  /// Hides the pane: presentations destroyed, Suspend hooks last to first.
  void SuspendIPP();
  /// Each item's Kill hook, last to first.
  void EndIPP();
  /// The system's Kill hook, then items, arrays and registry are destroyed
  /// (also when the hook throws; its exception is passed on afterwards).
  void FreeIPP();

  // Items.
  /// The first item whose presentation has relative number `itemNo`; 0 → null.
  UIItem* GetItem(SInt16 itemNo) const;
  /// Absolute number of the first item bound to `key`; 0 when none.
  SInt16 GetItemNo(UInt32 key) const;
  /// Validates the pending number field; true when it was out of range and corrected.
  Boolean CheckNumberField(SInt16 unused = 0);
  /// The number-field kind of the item with that relative number; 0 when none.
  SInt16 IsNumberField(SInt16 itemNo);
  /// Treats the item as changed: SetSelf of system and item, then UpdateToDepend.
  void Auto(SInt16 itemNo);
  /// Adds an item to the item array unless it is there already.
  void AppendItem(void* item);
  /// Removes an item from the item array (the library never calls it).
  void RemoveItem(void* item);
  /// Queues an item for the next flush unless it is queued already.
  void AppendUpdate(void* item);
  /// Called by every item's destructor. An item destroyed while its system is
  /// not releasing it (its own constructor failed after it joined the current
  /// system) leaves that system's items and update queue, so that no walk and
  /// no FreeIPP meets it again. Items destroyed by FreeIPP stay where they are.
  static void ItemDestroyed(UIItem* item) noexcept;

  // Registry.
  void GetRegistry(UInt32 key, void* out);
  void SetRegistry(UInt32 key, SInt32 sizeCode, void* in);
  void AppendToRegistry(UIObject* object);
  UIObject* FindObject(UInt32 key) const;
  /// Stores `key` as the registry's changedKey.
  void SetChangedRegistry(UInt32 key);

  // Window, alerts, cancel.
  SInt16 GetBaseNumber() const { return baseNumber; }
  WindowRef GetDialog() const { return dialog; }
  WindowRef GetDialogPtr() const { return dialog; }
  /// Resource id of the alert number fields show for out-of-range values.
  void SetError(SInt16 alertId) { errorAlert = alertId; }
  /// Shows string `index` of list -8179 in stop alert -8179; nothing without a window.
  void ErrorAlert(SInt16 index);
  /// Makes the ActionIPP in progress report no hit.
  void EventCancel() { cancelFlag = 1; }

  // The current system.
  static UISystem* GetCurrentSystem() { return curSystem; }
  void SetCurrentSystem() { curSystem = this; }
  /// Base number of the current system; 0 when none.
  static SInt16 GetCurrentBaseNumber();
  /// Window of the current system; null when none.
  static WindowRef GetCurrentDialogPtr();

  VELKUI_BLOCK_ALLOCATED

  /// The current system; null at load and after every FreeIPP.
  static UISystem* curSystem;

  // Fields, in their fixed order. Presentations read and write some of them.
  WindowRef dialog;        ///< window of the shown pane, null while hidden
  LArray* items;           ///< owned; UIItem* entries in construction order, kept locked
  LArray* updates;         ///< owned; UIItem* entries waiting for a flush, kept locked
  SInt16 baseNumber;       ///< absolute item number = relative + baseNumber
  SInt16 lastHit;          ///< last absolute hit given to ActionIPP
  SInt16 numberField;      ///< relative number of the pending number field; 0 = none
  UIItem* focusItem;       ///< item whose text is to be selected when shown; not owned
  SInt16 focusNumber;      ///< absolute number of the text item to select; 0 = none
  SInt16 selStart;         ///< selection remembered with the focus
  SInt16 selEnd;
  Boolean cancelFlag;      ///< set by EventCancel for the ActionIPP in progress
  SInt16 errorAlert;       ///< alert id of number fields; 0 = none
  UIRegistry* registry;    ///< owned; the pane's keyed settings

 private:
  void MakeArrays();
  void ReleaseAll();
  template <class Visit>
  void ForEachItem(Visit visit) const;
  template <class Visit>
  void ForEachItemReversed(Visit visit) const;
  void RebindObjects(bool bind);
  void RestoreFocus();
};

/// Converts `number` to text and passes it to the debugger-message service.
VELKUI_EXPORT void DebugNum(SInt32 number);

// ---------------------------------------------------------------- entry functions
// A pane's system is passed as an untyped pointer obtained from NewIPP.

/// A plug-in's factory: allocates its UISystem subclass (class-wide operator
/// new) and returns it, or null.
typedef void* (*UISystemFactory)();

/// Calls the factory and builds the system; null when the factory gives none.
VELKUI_EXPORT void* NewIPP(UISystemFactory factory);
/// Releases everything the system holds, then destroys it. Null is ignored.
/// An exception of the system's Kill hook reaches the caller after both.
VELKUI_EXPORT void FreeIPP(void* sys);
VELKUI_EXPORT void StartIPP(void* sys);
/// The base number is narrowed to its low 16 bits, read as signed.
VELKUI_EXPORT void ResumeIPP(void* sys, SInt32 baseNumber, WindowRef window);
VELKUI_EXPORT void ActionIPP(void* sys, SInt16* ioItemHit);
VELKUI_EXPORT void ThreadIPP(void* sys, SInt16* ioItemHit);
VELKUI_EXPORT void SuspendIPP(void* sys);
VELKUI_EXPORT void EndIPP(void* sys);
VELKUI_EXPORT void SetCurrentIPP(void* sys);
/// The current system; the argument is ignored.
VELKUI_EXPORT void* GetCurrentIPP(void* ignored);
/// Of the current system: the absolute number of the item bound to `key` and
/// its range (low 16 bits). 1 when found; 0 otherwise (min and max untouched).
VELKUI_EXPORT Boolean GetItemInfo(UInt32 key, SInt16* outItemNo, SInt16* outMin, SInt16* outMax);
/// The enabled menu entries between from and to of the item with that relative
/// number: count in list[0], entry numbers from list[1]. list[0] = 0 when none.
VELKUI_EXPORT void GetRangeIPP(void* sys, SInt16* itemNo, SInt16* list, SInt16 from, SInt16 to);
/// 1 when the item with that relative number exists, is visible and active.
VELKUI_EXPORT Boolean GetShowIPP(void* sys, SInt16* itemNo);
/// Registry read and write by key on the current system (see UIRegistry).
VELKUI_EXPORT void GetRegistry(UInt32 key, void* out);
VELKUI_EXPORT void SetRegistry(UInt32 key, SInt32 sizeCode, void* in);

}  // namespace velkui
