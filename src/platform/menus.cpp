#include "platform/menus.h"

#include <algorithm>
#include <functional>

#include "platform/ctrlparts.h"

TShortCut ShortCut(Word key, TShiftState shift) {
  TShortCut s = TShortCut(key & 0xFF);
  if (shift & ssShift) s |= scShift;
  if (shift & ssCtrl) s |= scCtrl;
  if (shift & ssAlt) s |= scAlt;
  return s;
}

// TMenuItem -----------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  if (parent_) parent_->Remove(this);
  // Sub-items that nobody owns go with their parent.
  std::vector<TMenuItem*> children = items_;
  items_.clear();
  for (TMenuItem* child : children) {
    child->parent_ = nullptr;
    if (child->GetOwner() == nullptr) delete child;
  }
}

void TMenuItem::Changed() {
  if (TMenu* menu = GetMenu(); menu && menu->OnChange) menu->OnChange(menu);
}

void TMenuItem::SetCaption(const std::string& caption) {
  caption_ = caption;
  Changed();
}

void TMenuItem::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  if (v && RadioItem && parent_)
    for (TMenuItem* sibling : parent_->items_)
      if (sibling != this && sibling->RadioItem && sibling->GroupIndex == GroupIndex) sibling->checked_ = false;
  Changed();
}

void TMenuItem::SetVisible(bool v) {
  visible_ = v;
  Changed();
}

void TMenuItem::SetEnabled(bool v) {
  enabled_ = v;
  Changed();
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EMenuError("Menu index out of range");
  return items_[size_t(index)];
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

int TMenuItem::GetMenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item == nullptr) return;
  for (const TMenuItem* p = this; p; p = p->parent_)
    if (p == item) throw EMenuError("Menu inserted twice");
  if (item->parent_) item->parent_->Remove(item);
  if (index < 0 || index > Count()) throw EMenuError("Menu index out of range");
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  int index = IndexOf(item);
  if (index < 0) throw EMenuError("Sub-menu is not in menu");
  Delete(index);
}

void TMenuItem::Clear() {
  while (Count() > 0) {
    TMenuItem* item = items_.back();
    Delete(Count() - 1);
    delete item;
  }
}

TMenuItem* TMenuItem::FindAccel(char key) const {
  for (TMenuItem* item : items_)
    if (item->visible_ && HotkeyOf(item->caption_) == key) return item;
  return nullptr;
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (AutoCheck) SetChecked(!checked_);
  if (OnClick) OnClick(this);
}

TMenu* TMenuItem::GetMenu() const {
  const TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  return root->menu_;
}

// TMenu ---------------------------------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() {
  // Items owned by the form go with the form; the tree itself goes here.
  std::function<void(TMenuItem*)> walk = [&](TMenuItem* item) {
    std::vector<TMenuItem*> children = item->items_;
    item->items_.clear();
    for (TMenuItem* child : children) {
      walk(child);
      child->parent_ = nullptr;
      if (child->GetOwner() == nullptr) delete child;
    }
  };
  walk(items_);
  delete items_;
}

TMenuItem* TMenu::FindItemByShortCut(TShortCut shortCut) const {
  std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* item) -> TMenuItem* {
    for (TMenuItem* child : item->items_) {
      if (child->ShortCut == shortCut && shortCut != 0) return child;
      if (TMenuItem* found = find(child)) return found;
    }
    return nullptr;
  };
  return find(items_);
}

bool TMenu::IsShortCut(Word key, TShiftState shift) {
  TMenuItem* item = FindItemByShortCut(ShortCut(key, shift));
  if (!item) return false;
  item->Click();  // a disabled entry does nothing but still takes the key
  return true;
}

// Pop-ups -------------------------------------------------------------------------------

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  TrackMenu(GetItems(), {x, y});
}
