// Items: binding to registry objects, dependents, value writes, factories and forwarding.
#include "../support/Blocks.h"

namespace velkui {

using internal::AppendToLockedArray;
using internal::DisposePointerArray;
using internal::NewPointerArray;

VELKUI_DEFINE_BLOCK_ALLOCATED(DependComparator)
VELKUI_DEFINE_BLOCK_ALLOCATED(UIItem)

SInt32 DependComparator::CompareToKey(const void* inItem, UInt32, const void* inKey) const {
  auto entry = reinterpret_cast<uintptr_t>(*static_cast<UIItem* const*>(inItem));
  auto key = reinterpret_cast<uintptr_t>(static_cast<const UIItem*>(inKey));
  return entry == key ? 0 : (entry < key ? -1 : 1);
}

// ---------------------------------------------------------------- life

UIItem::UIItem(UInt32 key, SInt32 min, SInt32 max)
    : object(nullptr), presentation(nullptr), dependents(nullptr) {
  UISystem* system = UISystem::GetCurrentSystem();
  UIObject* found = system != nullptr && key != 0 ? system->FindObject(key) : nullptr;
  if (found == nullptr) {
    object = new UIObject(key, this, min, max);
    if (system != nullptr) {
      try {
        system->AppendItem(this);
      } catch (...) {
        if (key == 0) delete object;
        else object->item = nullptr;  // the registry keeps the object
        throw;
      }
    }
    return;
  }
  UIItem* formerItem = found->item;
  SInt32 formerMin = found->min;
  SInt32 formerMax = found->max;
  found->min = min;
  found->max = max;
  found->item = this;
  object = found;
  try {
    system->AppendItem(this);
  } catch (...) {
    found->min = formerMin;
    found->max = formerMax;
    found->item = formerItem;
    throw;
  }
}

UIItem::~UIItem() {
  delete presentation;
  presentation = nullptr;
  if (object != nullptr) {
    if (object->key == 0) delete object;
    else if (object->item == this) object->item = nullptr;
  }
  if (dependents != nullptr) {
    dependents->Unlock();
    DisposePointerArray(dependents);
  }
  UISystem::ItemDestroyed(this);
}

void UIItem::New() {}
void UIItem::Kill() {}
void UIItem::Suspend() {}
void UIItem::Resume() {}
void UIItem::SetSelf() {}
void UIItem::TouchSelf() {}
void UIItem::ChangedOther() {}
void UIItem::ChangedSys() {}
void UIItem::Dependency() {}
void UIItem::Influence() {}
void UIItem::Append(SInt32 delta, Boolean) {
  // 32-bit wrap-around, like the value's own arithmetic; never a trap.
  UInt32 sum = static_cast<UInt32>(object->value) + static_cast<UInt32>(delta);
  object->value = static_cast<SInt32>(sum);
}

// ---------------------------------------------------------------- dependents

LArray* UIItem::DependentsList() {
  if (dependents == nullptr) {
    LComparator* comparator = new DependComparator;
    dependents = NewPointerArray(comparator);
    dependents->Lock();
  }
  return dependents;
}

void UIItem::AppendDependency(UIItem* other) {
  if (other != nullptr) AppendToLockedArray(other->DependentsList(), this);
}

void UIItem::AppendInfluence(UIItem* other) {
  if (other != nullptr) AppendToLockedArray(DependentsList(), other);
}

void UIItem::UpdateToDepend() {
  if (dependents == nullptr) return;
  UIItem* dependent = nullptr;
  for (SInt32 index = 1; dependents->FetchItemAt(index, &dependent); ++index) {
    dependent->ChangedOther();
  }
}

// ---------------------------------------------------------------- value

UIItem* UIItem::Assign(SInt32 value) {
  if (object->value != value) {
    object->value = value;
    if (presentation != nullptr) presentation->Update();
  } else if (UISystem* system = UISystem::GetCurrentSystem()) {
    system->SetChangedRegistry(0);
  }
  return this;
}

void UIItem::Update() {
  if (presentation != nullptr) presentation->SetValue();
}

void UIItem::SetInAction(Boolean inAction) { UIEmulate::SetInAction(inAction); }

void UIItem::ErrorMessage(int) {}

// ---------------------------------------------------------------- factories

void UIItem::SetControl() {
  UIEmulate* former = presentation;
  presentation = nullptr;
  delete former;
}

bool UIItem::PreparePresentation(SInt16 itemNo) {
  SetControl();
  if (itemNo == 0) return false;
  UISystem* system = UISystem::GetCurrentSystem();
  if (system == nullptr || system->GetDialog() == nullptr) {
    presentation = new UIEmulate(this, itemNo);
    return false;
  }
  return true;
}

void UIItem::AdoptPresentation(UIEmulate* made) {
  presentation = made;
  if (made == nullptr) return;
  try {
    made->Update();
  } catch (...) {
    // The update request could not be queued: the item is left without a
    // presentation, as after any failed factory.
    presentation = nullptr;
    delete made;
    throw;
  }
}

// ---------------------------------------------------------------- forwarding

void UIItem::Show(Boolean show) {
  if (presentation) presentation->Show(show);
  else UIEmulate::emulate.Show(this, show);
}

void UIItem::Hilite(SInt16 hilite) {
  if (presentation) presentation->Hilite(hilite);
  else UIEmulate::emulate.Hilite(this, hilite);
}

void UIItem::SetRange(SInt32 min, SInt32 max) {
  if (presentation) presentation->SetRange(min, max);
  else UIEmulate::emulate.SetRange(this, min, max);
}

void UIItem::GetRange(SInt32 from, SInt32 to, SInt16* list) {
  if (presentation) presentation->GetRange(from, to, list);
  else UIEmulate::emulate.GetRange(this, from, to, list);
}

void UIItem::SetRefCon(SInt32 refCon) {
  if (presentation) presentation->SetRefCon(refCon);
  else UIEmulate::emulate.SetRefCon(this, refCon);
}

void UIItem::EnDisableItem(SInt16 entry, Boolean enable) {
  if (presentation) presentation->EnDisableItem(entry, enable);
  else UIEmulate::emulate.EnDisableItem(this, entry, enable);
}

void UIItem::ShowHideMenuItem(UInt16 entry, Boolean show, Boolean alsoEnable) {
  if (presentation) presentation->ShowHideMenuItem(entry, show, alsoEnable);
  else UIEmulate::emulate.ShowHideMenuItem(this, entry, show, alsoEnable);
}

Boolean UIItem::IsEnableItem(SInt16 entry) {
  if (presentation) return presentation->IsEnableItem(entry);
  return UIEmulate::emulate.IsEnableItem(this, entry);
}

void UIItem::SetLevelPicture(SInt16 level) {
  if (presentation) presentation->SetLevelPicture(level);
  else UIEmulate::emulate.SetLevelPicture(this, level);
}

void UIItem::GetTitle(unsigned char* title) {
  if (presentation) presentation->GetTitle(title);
  else UIEmulate::emulate.GetTitle(this, title);
}

void UIItem::SetTitle(unsigned char* title) {
  if (presentation) presentation->SetTitle(title);
  else UIEmulate::emulate.SetTitle(this, title);
}

Boolean UIItem::EmptyString() {
  if (presentation) return presentation->EmptyString();
  return UIEmulate::emulate.EmptyString(this);
}

void UIItem::ClearString() {
  if (presentation) presentation->ClearString();
  else UIEmulate::emulate.ClearString(this);
}

void UIItem::SelectString() {
  if (presentation) presentation->SelectString();
  else UIEmulate::emulate.SelectString(this);
}

void UIItem::MenuAdjust(SInt32 mask) { MenuAdjust64(static_cast<SInt64>(mask)); }

void UIItem::MenuAdjust64(SInt64 mask) {
  if (presentation) presentation->MenuAdjust(mask);
  else UIEmulate::emulate.MenuAdjust(this, mask);
}

void UIItem::SetMONXPreviewParam(MonxInfo info) {
  if (presentation) presentation->SetMONXPreviewParam(info);
  else UIEmulate::emulate.SetMONXPreviewParam(this, info);
}

void UIItem::SetValue() {
  if (presentation) presentation->SetValue();
}

void UIItem::GetValue() {
  if (presentation) presentation->GetValue();
}

void UIItem::SetStatus() {
  if (presentation) presentation->SetStatus();
}

void UIItem::Action(SInt16* ioItemHit) {
  if (presentation) presentation->Action(ioItemHit);
}

Boolean UIItem::CheckNumberField() {
  return presentation ? presentation->CheckNumberField() : 0;
}

SInt16 UIItem::IsNumberField() { return presentation ? presentation->IsNumberField() : 0; }

SInt16 UIItem::CompareItemNo(SInt16 itemNo) {
  return presentation ? presentation->CompareItemNo(itemNo) : 1;
}

SInt16 UIItem::GetItemNo() { return presentation ? presentation->itemNo : 0; }

void UIItem::EventCancel() {
  if (presentation) presentation->EventCancel();
}

void UIItem::SetError(SInt16 alertId) {
  if (presentation) presentation->SetError(alertId);
}

void UIItem::ErrorAlert(SInt16 index) {
  if (presentation) presentation->ErrorAlert(index);
}

}  // namespace velkui
