// TComponent: ownership, names and free notification.
#include <algorithm>

#include "platform/controls.h"

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  ComponentState |= csDestroying;
  std::vector<TComponent*> notifies;
  notifies.swap(freeNotifies_);
  for (TComponent* c : notifies) {
    auto& theirs = c->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    c->Notification(this, opRemove);
  }
  // Owned components go last first; each takes itself out of the list.
  while (!components_.empty()) components_.back()->Free();
  if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return components_[size_t(index)];
}

int TComponent::GetComponentIndex() const {
  if (!owner_) return -1;
  auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->Name, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->owner_ == this) return;
  if (component->owner_) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it == components_.end()) return;
  components_.erase(it);
  component->owner_ = nullptr;
  Notification(component, opRemove);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  auto add = [](std::vector<TComponent*>& list, TComponent* c) {
    if (std::find(list.begin(), list.end(), c) == list.end()) list.push_back(c);
  };
  add(freeNotifies_, component);
  add(component->freeNotifies_, this);
  ComponentState |= csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component), freeNotifies_.end());
  if (component)
    component->freeNotifies_.erase(
        std::remove(component->freeNotifies_.begin(), component->freeNotifies_.end(), this),
        component->freeNotifies_.end());
}

void TComponent::Free() {
  BeforeDestruction();
  delete this;
}

void TComponent::BeforeDestruction() {
  if (beforeDestructionDone_) return;
  beforeDestructionDone_ = true;
  ComponentState |= csDestroying;
}

void TComponent::Loaded() { ComponentState &= ~csLoading; }

void TComponent::Notification(TComponent* component, TOperation operation) {}
