// The system object of a pane: lifecycle, hits, the update queue, focus and alerts.
#include "../support/Blocks.h"
#include "toolbox/dialogs.h"
#include "toolbox/resources.h"
#include "velkui/items.h"

namespace velkui {

using internal::AppendToLockedArray;
using internal::DisposePointerArray;
using internal::IndexOfPointer;
using internal::NewPointerArray;

namespace {
/// Resource id of the library's string list and stop alert.
constexpr SInt16 kLibraryAlertId = -8179;
/// Selection end meaning "to the end of the text".
constexpr SInt16 kWholeText = 32767;
/// The system whose FreeIPP is destroying its items, which stay in its array.
const UISystem* releasingSystem = nullptr;

/// Removes `entry` from an array held locked between calls, if it is there.
void RemoveFromLockedArray(LArray* array, const void* entry) {
  if (array == nullptr) return;
  SInt32 index = IndexOfPointer(array, entry);
  if (index == 0) return;
  array->Unlock();
  array->RemoveItemsAt(1, index);
  array->Lock();
}
}  // namespace

void UISystem::ItemDestroyed(UIItem* item) noexcept {
  UISystem* system = UISystem::curSystem;
  if (system == nullptr || system == releasingSystem) return;
  try {
    RemoveFromLockedArray(system->items, item);
    RemoveFromLockedArray(system->updates, item);
  } catch (...) {
    // Shrinking a block does not fail; nothing is left to undo if it did.
  }
  if (system->focusItem == item) system->focusItem = nullptr;
}

UISystem* UISystem::curSystem = nullptr;

VELKUI_DEFINE_BLOCK_ALLOCATED(ItemsComparator)
VELKUI_DEFINE_BLOCK_ALLOCATED(UISystem)

SInt32 ItemsComparator::CompareToKey(const void* inItem, UInt32, const void* inKey) const {
  UIItem* item = *static_cast<UIItem* const*>(inItem);
  return item->CompareItemNo(*static_cast<const SInt16*>(inKey));
}

UISystem::UISystem()
    : dialog(nullptr),
      items(nullptr),
      updates(nullptr),
      baseNumber(0),
      lastHit(0),
      numberField(0),
      focusItem(nullptr),
      focusNumber(0),
      selStart(0),
      selEnd(0),
      cancelFlag(0),
      errorAlert(0),
      registry(nullptr) {}

UISystem::~UISystem() {}
void UISystem::Kill() {}
void UISystem::Suspend() {}
void UISystem::Resume() {}
void UISystem::SetSelf() {}
void UISystem::TouchSelf() {}
void UISystem::ChangedOther() {}
void UISystem::Dependency() {}

void UISystem::ThreadIPP(SInt16*) {
  SetCurrentSystem();
  UpdateIPP();
}

// ---------------------------------------------------------------- walks

template <class Visit>
void UISystem::ForEachItem(Visit visit) const {
  if (items == nullptr) return;
  UIItem* item = nullptr;
  for (SInt32 index = 1; items->FetchItemAt(index, &item); ++index) visit(item);
}

template <class Visit>
void UISystem::ForEachItemReversed(Visit visit) const {
  if (items == nullptr) return;
  UIItem* item = nullptr;
  for (SInt32 index = static_cast<SInt32>(items->GetCount()); index >= 1; --index) {
    if (items->FetchItemAt(index, &item)) visit(item);
  }
}

void UISystem::RebindObjects(bool bind) {
  ForEachItem([bind](UIItem* item) { item->object->item = bind ? item : nullptr; });
}

// ---------------------------------------------------------------- lifecycle

void UISystem::MakeArrays() {
  LComparator* comparator = new ItemsComparator;
  items = NewPointerArray(comparator);
  items->Lock();
  updates = NewPointerArray(nullptr);
  updates->Lock();
}

void UISystem::NewIPP() {
  SetCurrentSystem();
  try {
    registry = new UIRegistry;
    dialog = nullptr;
    baseNumber = 0;
    MakeArrays();
    New();
    ThreadIPP(nullptr);
    ForEachItem([](UIItem* item) { item->Influence(); });
    ForEachItem([](UIItem* item) { item->Dependency(); });
  } catch (...) {
    try {
      FreeIPP();
    } catch (...) {
      // The Kill hook threw; FreeIPP released everything all the same.
    }
  }
}

void UISystem::StartIPP() {
  SetCurrentSystem();
  ForEachItem([](UIItem* item) { item->New(); });
  ThreadIPP(nullptr);
}

void UISystem::ResumeIPP(SInt16 inBaseNumber, WindowRef window) {
  SetCurrentSystem();
  dialog = window;
  baseNumber = inBaseNumber;
  RebindObjects(true);
  Resume();
  UpdateIPP();
  ForEachItem([](UIItem* item) { item->SetStatus(); });
  ForEachItem([](UIItem* item) { item->Resume(); });
  ThreadIPP(nullptr);
  if (dialog != nullptr) RestoreFocus();
}

void UISystem::RestoreFocus() {
  if (focusItem != nullptr) {
    focusNumber = static_cast<SInt16>(focusItem->GetItemNo() + baseNumber);
    focusItem = nullptr;
    return;
  }
  if (focusNumber == 0) return;
  SInt16 relative = static_cast<SInt16>(focusNumber - baseNumber);
  if (UIItem* item = GetItem(relative)) {
    item->SelectString();
    numberField = relative;
  }
}

void UISystem::UpdateIPP() {
  if (updates == nullptr) return;
  UIItem* item = nullptr;
  for (SInt32 index = 1; updates->FetchItemAt(index, &item); ++index) item->Update();
  LArray* fresh = nullptr;
  try {
    fresh = NewPointerArray(nullptr);
  } catch (...) {
    // Keep a queue, empty: everything in it has just been refreshed.
    updates->Unlock();
    updates->RemoveItemsAt(updates->GetCount(), 1);
    updates->Lock();
    throw;
  }
  updates->Unlock();
  DisposePointerArray(updates);
  updates = fresh;
  updates->Lock();
}

void UISystem::ActionIPP(SInt16* ioItemHit) {
  SetCurrentSystem();
  lastHit = *ioItemHit;
  if (*ioItemHit == 0) {
    SetChangedRegistry(0);
    return;
  }
  if (*ioItemHit <= baseNumber) return;
  UIItem* item = GetItem(static_cast<SInt16>(*ioItemHit - baseNumber));
  bool changed = true;
  if (item != nullptr && (registry == nullptr || registry->changedKey != item->object->key)) {
    SInt32 before = item->object->value;
    item->Action(ioItemHit);
    item->GetValue();
    changed = item->object->value != before;
  }
  if (CheckNumberField()) {
    *ioItemHit = 0;
    return;
  }
  if (item != nullptr) {
    item->TouchSelf();
    if (changed) {
      SetSelf();
      item->SetSelf();
      item->UpdateToDepend();
    }
  }
  if (cancelFlag) {
    cancelFlag = 0;
    *ioItemHit = 0;
  }
  SetChangedRegistry(0);
}

Boolean UISystem::CheckNumberField(SInt16) {
  if (dialog == nullptr || numberField == 0) return 0;
  UIItem* item = GetItem(numberField);
  Boolean corrected = item != nullptr ? item->CheckNumberField() : 0;
  numberField = 0;
  return corrected;
}

void UISystem::SuspendIPP() {
  SetCurrentSystem();
  if (dialog != nullptr) {
    focusNumber = 1;
    selStart = 0;
    selEnd = kWholeText;
    focusItem = nullptr;
  }
  ForEachItem([](UIItem* item) { item->SetControl(); });
  ForEachItemReversed([](UIItem* item) { item->Suspend(); });
  Suspend();
  ThreadIPP(nullptr);
  RebindObjects(false);
  dialog = nullptr;
}

void UISystem::EndIPP() {
  SetCurrentSystem();
  ForEachItemReversed([](UIItem* item) { item->Kill(); });
  ThreadIPP(nullptr);
}

void UISystem::FreeIPP() {
  SetCurrentSystem();
  try {
    Kill();
  } catch (...) {
    // The plug-in's hook failed: release all the same, then let the caller know.
    ReleaseAll();
    curSystem = nullptr;
    throw;
  }
  ReleaseAll();
  curSystem = nullptr;
}

void UISystem::ReleaseAll() {
  const UISystem* outer = releasingSystem;
  releasingSystem = this;
  ForEachItem([](UIItem* item) { delete item; });
  releasingSystem = outer;
  if (updates != nullptr) {
    updates->Unlock();
    DisposePointerArray(updates);
    updates = nullptr;
  }
  if (items != nullptr) {
    items->Unlock();
    DisposePointerArray(items);
    items = nullptr;
  }
  delete registry;
  registry = nullptr;
  focusItem = nullptr;
}

// ---------------------------------------------------------------- items

UIItem* UISystem::GetItem(SInt16 itemNo) const {
  if (itemNo == 0 || items == nullptr) return nullptr;
  SInt32 index = items->FetchIndexOfKey(&itemNo);
  UIItem* item = nullptr;
  if (index == 0 || !items->FetchItemAt(index, &item)) return nullptr;
  return item;
}

SInt16 UISystem::GetItemNo(UInt32 key) const {
  if (key == 0 || items == nullptr) return 0;
  UIItem* item = nullptr;
  for (SInt32 index = 1; items->FetchItemAt(index, &item); ++index) {
    if (item->object->key == key) return static_cast<SInt16>(item->GetItemNo() + baseNumber);
  }
  return 0;
}

SInt16 UISystem::IsNumberField(SInt16 itemNo) {
  UIItem* item = GetItem(itemNo);
  return item != nullptr ? item->IsNumberField() : 0;
}

void UISystem::Auto(SInt16 itemNo) {
  UIItem* item = GetItem(itemNo);
  if (item == nullptr) return;
  SetSelf();
  item->SetSelf();
  item->UpdateToDepend();
}

void UISystem::AppendItem(void* item) {
  if (items == nullptr || IndexOfPointer(items, item) != 0) return;
  AppendToLockedArray(items, item);
}

void UISystem::RemoveItem(void* item) {
  if (items == nullptr) return;
  items->Unlock();
  items->Remove(&item);
  items->Lock();
}

void UISystem::AppendUpdate(void* item) {
  if (updates == nullptr || IndexOfPointer(updates, item) != 0) return;
  AppendToLockedArray(updates, item);
}

// ---------------------------------------------------------------- registry

void UISystem::GetRegistry(UInt32 key, void* out) {
  if (registry != nullptr) registry->Get(key, out);
}

void UISystem::SetRegistry(UInt32 key, SInt32 sizeCode, void* in) {
  if (registry != nullptr) registry->Set(key, sizeCode, in);
}

void UISystem::AppendToRegistry(UIObject* object) {
  if (registry != nullptr) registry->Append(object);
}

UIObject* UISystem::FindObject(UInt32 key) const {
  return registry != nullptr ? registry->Find(key) : nullptr;
}

void UISystem::SetChangedRegistry(UInt32 key) {
  if (registry != nullptr) registry->changedKey = key;
}

// ---------------------------------------------------------------- window, alerts

void UISystem::ErrorAlert(SInt16 index) {
  if (dialog == nullptr) return;
  Str255 text;
  GetIndString(text, kLibraryAlertId, index);
  ParamText(text, nullptr, nullptr, nullptr);
  StopAlert(kLibraryAlertId, nullptr);
}

SInt16 UISystem::GetCurrentBaseNumber() {
  return curSystem != nullptr ? curSystem->baseNumber : 0;
}

WindowRef UISystem::GetCurrentDialogPtr() {
  return curSystem != nullptr ? curSystem->dialog : nullptr;
}

}  // namespace velkui
