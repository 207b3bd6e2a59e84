#include "platform/toolbars.h"

#include <algorithm>

// TToolButton ---------------------------------------------------------------------------

TToolButton::TToolButton(TComponent* owner) : TGraphicButton(owner) {}

TToolButton::~TToolButton() {
  if (menuItem_) menuItem_->RemoveFreeNotification(this);
  if (TToolBar* bar = GetToolBar(); bar && bar->DroppedButton() == this) CloseTrackedMenu();
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
  TGraphicButton::Notification(component, operation);
  if (operation == opRemove && component == menuItem_) menuItem_ = nullptr;
  if (operation == opRemove && component == DropdownMenu) DropdownMenu = nullptr;
}

TToolBar* TToolButton::GetToolBar() const { return dynamic_cast<TToolBar*>(GetParent()); }

void TToolButton::SetMenuItem(TMenuItem* item) {
  if (menuItem_) menuItem_->RemoveFreeNotification(this);
  menuItem_ = item;
  if (!item) return;
  item->FreeNotification(this);
  SetText(item->GetCaption());
  SetEnabled(item->GetEnabled());
}

void TToolButton::SetDown(bool v) {
  if (v == down_) return;
  if (Grouping && !v && !AllowAllUp) return;
  down_ = v;
  if (v && Grouping && GetParent()) {
    // The group is the run of adjacent grouped check buttons.
    TWinControl* bar = GetParent();
    int me = 0;
    for (int i = 0; i < bar->ControlCount(); ++i)
      if (bar->Controls(i) == this) me = i;
    for (int step : {-1, 1})
      for (int i = me + step; i >= 0 && i < bar->ControlCount(); i += step) {
        auto* b = dynamic_cast<TToolButton*>(bar->Controls(i));
        if (!b || !b->Grouping || b->Style != tbsCheck) break;
        b->down_ = false;
        b->Invalidate();
      }
  }
  Invalidate();
}

void TToolButton::Click() {
  if (Style == tbsSeparator || Style == tbsDivider) return;
  if (Style == tbsCheck) {
    if (!down_)
      SetDown(true);
    else if (!Grouping || AllowAllUp)
      SetDown(false);
  }
  if (DropdownMenu && (Style == tbsDropDown || !menuItem_)) {
    TPoint p = ScreenPointOf(this, {0, GetHeight()});
    DropdownMenu->PopupComponent = this;
    DropdownMenu->Popup(p.x, p.y);
    return;
  }
  if (menuItem_ && menuItem_->Count() > 0) {
    // A button of a menu bar drops its menu's entries down.
    if (TToolBar* bar = GetToolBar())
      bar->DropMenu(this, false);
    else
      TrackMenu(menuItem_, ScreenPointOf(this, {0, GetHeight()}));
    return;
  }
  if (menuItem_) {
    menuItem_->Click();
    return;
  }
  TGraphicButton::Click();
}

void TToolButton::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  c->Brush->Style = bsSolid;
  c->Brush->Color = down_ ? clBtnHighlight : clBtnFace;
  c->FillRect(r);
  if (Style == tbsSeparator || Style == tbsDivider) return;
  TRect frame = r;
  TToolBar* bar = GetToolBar();
  if (down_ || Pressed() || (bar && bar->DroppedButton() == this))
    Frame3D(c, frame, clBtnShadow, clBtnHighlight, 1);
  else if (!bar || !bar->Flat)
    Frame3D(c, frame, clBtnHighlight, cl3DDkShadow, 1);
  c->Font->Assign(GetFont());
  DrawCaption(c, r, GetText(), taCenter, GetEnabled());
}

// TToolBar ------------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  SetBounds(0, 0, 150, 29);
}

TToolBar::~TToolBar() {
  if (dropped_) CloseTrackedMenu();
  dropped_ = nullptr;
}

int TToolBar::ButtonCount() const {
  int n = 0;
  for (int i = 0; i < ControlCount(); ++i) n += dynamic_cast<TToolButton*>(Controls(i)) != nullptr;
  return n;
}

TToolButton* TToolBar::Buttons(int index) const {
  int n = 0;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* b = dynamic_cast<TToolButton*>(Controls(i)); b && n++ == index) return b;
  throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

void TToolBar::ArrangeButtons() {
  int x = 0, y = 0;
  TBitmap measure;
  measure.SetSize(1, 1);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->GetVisible()) continue;
    auto* b = dynamic_cast<TToolButton*>(c);
    int w = c->GetWidth();
    if (b) {
      w = b->Style == tbsSeparator || b->Style == tbsDivider ? 8 : ButtonWidth;
      if (ShowCaptions && b->Style != tbsSeparator)
        w = std::max(w, measure.GetCanvas()->TextWidth(StripHotkey(b->GetText())) + 12);
    }
    if (Wrapable && x > 0 && x + w > GetClientWidth()) {
      x = 0;
      y += ButtonHeight;
    }
    c->SetBounds(x, y, w, b ? ButtonHeight : c->GetHeight());
    x += w;
  }
}

void TToolBar::Dispatch(TMessage& m) {
  TCustomControl::Dispatch(m);
  if (m.Msg == WM_SIZE) ArrangeButtons();
}

void TToolBar::Paint() {
  GetCanvas()->Brush->Style = bsSolid;
  GetCanvas()->Brush->Color = GetColor();
  GetCanvas()->FillRect(GetClientRect());
}

// The menu bar ----------------------------------------------------------------------------

std::vector<TToolButton*> TToolBar::MenuButtons() const {
  std::vector<TToolButton*> buttons;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* b = dynamic_cast<TToolButton*>(Controls(i));
        b && b->GetVisible() && b->GetEnabled() && b->GetMenuItem() && b->GetMenuItem()->Count() > 0)
      buttons.push_back(b);
  return buttons;
}

bool TToolBar::IsMenuBar() const { return !MenuButtons().empty(); }

bool TToolBar::DropMenu(TToolButton* button, bool fromKeyboard) {
  TMenuTrack track;
  track.SelectFirst = fromKeyboard;
  std::weak_ptr<int> life = life_;
  track.OnStep = [this, button, life](int step) {
    if (life.expired()) return;
    std::vector<TToolButton*> buttons = MenuButtons();
    auto at = std::find(buttons.begin(), buttons.end(), button);
    if (buttons.empty()) return;
    int n = int(buttons.size());
    int next = at == buttons.end() ? 0 : (int(at - buttons.begin()) + step + n) % n;
    DropMenu(buttons[size_t(next)], true);
  };
  track.OnPressOutside = [this, button, life](TPoint screen) {
    if (life.expired()) return;
    for (TToolButton* other : MenuButtons()) {
      TPoint origin = ScreenPointOf(other, {0, 0});
      if (other != button && PtInRect(Bounds(origin.x, origin.y, other->GetWidth(), other->GetHeight()), screen)) {
        DropMenu(other, false);
        return;
      }
    }
  };
  track.OnClose = [this, button] {
    if (dropped_ != button) return;
    dropped_ = nullptr;
    button->Invalidate();
  };
  if (!TrackMenu(button->GetMenuItem(), ScreenPointOf(button, {0, button->GetHeight()}), std::move(track)))
    return false;
  dropped_ = button;
  button->Invalidate();
  return true;
}

bool TToolBar::MenuKey(char accel) {
  std::vector<TToolButton*> buttons = MenuButtons();
  if (accel == 0) return !buttons.empty() && DropMenu(buttons.front(), true);
  for (int i = 0; i < ControlCount(); ++i) {
    auto* b = dynamic_cast<TToolButton*>(Controls(i));
    if (!b || !b->GetVisible() || !b->GetEnabled() || HotkeyOf(b->GetText()) != accel) continue;
    if (std::find(buttons.begin(), buttons.end(), b) != buttons.end()) return DropMenu(b, true);
    b->Click();
    return true;
  }
  return false;
}

TToolBar* FindMenuBar(TWinControl* form) {
  for (int i = 0; i < form->ControlCount(); ++i) {
    auto* c = dynamic_cast<TWinControl*>(form->Controls(i));
    if (!c || !c->GetVisible()) continue;
    if (auto* bar = dynamic_cast<TToolBar*>(c); bar && bar->IsMenuBar()) return bar;
    if (TToolBar* inner = FindMenuBar(c)) return inner;
  }
  return nullptr;
}
