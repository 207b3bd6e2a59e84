// TControl: bounds, state and the mouse messages every control handles.
#include "platform/controls.h"

#include "platform/forms.h"
#include "platform/input.h"
#include "platform/menus.h"

namespace {

TControl* gCapture = nullptr;
TControl* gMouseControl = nullptr;

}  // namespace

TShiftState KeysToShiftState(uint32_t keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if ((keyData & KF_ALTDOWN_BIT) || GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TControl* GetCaptureControl() { return gCapture; }
void SetCaptureControl(TControl* control) { gCapture = control; }
TControl* GetMouseControl() { return gMouseControl; }

// Moves the hover to `control`: the one left hears CM_MOUSELEAVE, the one
// entered CM_MOUSEENTER, and the application's hint follows.
void SetMouseControl(TControl* control) {
  if (control == gMouseControl) return;
  TControl* old = gMouseControl;
  gMouseControl = control;
  if (old) old->Perform(CM_MOUSELEAVE);
  if (control) control->Perform(CM_MOUSEENTER);
  if (Application) Application->MouseControlChanged(control);
  if (control) {
    TWinControl* window = dynamic_cast<TWinControl*>(control);
    UpdateWidgetCursor(window ? window : control->GetParent());
  }
}

TCustomForm* GetParentForm(const TControl* control) {
  const TControl* c = control;
  while (c && c->GetParent()) c = c->GetParent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
}

TControl::~TControl() {
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  if (gCapture == this) gCapture = nullptr;
  if (gMouseControl == this) gMouseControl = nullptr;
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (menu) menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

// A right click opens the pop-up menu of the control or of its nearest
// parent that has one, at the pointer.
void TControl::ContextPopup(TPoint client) {
  for (TControl* c = this; c; c = c->parent_) {
    if (!c->popupMenu_) continue;
    if (!c->popupMenu_->AutoPopup) return;
    TPoint screen = ScreenPointOf(this, client);
    c->popupMenu_->PopupComponent = c;
    c->popupMenu_->Popup(screen.x, screen.y);
    return;
  }
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  for (TControl* p = parent; p; p = p->parent_)
    if (p == this) throw EInvalidOperation("A control cannot have itself or a child as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
  NoteAnchorBase();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  bool sized = width != width_ || height != height_;
  TRect old = GetBoundsRect();
  if (parent_ && visible_) parent_->InvalidateRect(&old, true);
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Invalidate();
  NoteAnchorBase();
  if (sized) Resize();
  if (parent_ && align_ != alNone) parent_->AlignControls();
}

TPoint TControl::ClientOrigin() const {
  if (!parent_) return {left_, top_};
  TPoint p = parent_->ClientOrigin();
  return {p.x + left_, p.y + top_};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.x + o.x, p.y + o.y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.x - o.x, p.y - o.y};
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (!visible && parent_) {
    TRect r = GetBoundsRect();
    parent_->InvalidateRect(&r, true);
  }
  visible_ = visible;
  VisibleChanging();
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
  if (visible) Invalidate();
  if (parent_ && align_ != alNone) parent_->AlignControls();
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Perform(CM_ENABLEDCHANGED);
  Invalidate();
}

void TControl::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Perform(CM_COLORCHANGED);
  Invalidate();
}

void TControl::SetFont(TFont* font) {
  if (font && font != &font_) font_.Assign(font);
  FontChanged();
}

void TControl::FontChanged() {
  Perform(CM_FONTCHANGED);
  Invalidate();
}

void TControl::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  Perform(CM_CURSORCHANGED);
  TWinControl* window = dynamic_cast<TWinControl*>(this);
  UpdateWidgetCursor(window ? window : parent_);
}

void TControl::SetAnchors(TAnchors anchors) {
  anchors_ = anchors;
  NoteAnchorBase();
}

void TControl::NoteAnchorBase() {
  if (parent_) anchorBase_ = {parent_->GetClientWidth(), parent_->GetClientHeight()};
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_) parent_->AlignControls();
}

void TControl::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Perform(CM_TEXTCHANGED);
  Invalidate();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::find(list.begin(), list.end(), this));
  list.push_back(this);
  if (auto* w = dynamic_cast<TWinControl*>(this)) w->SyncWidget();
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::find(list.begin(), list.end(), this));
  list.insert(list.begin(), this);
  if (auto* w = dynamic_cast<TWinControl*>(this)) w->SyncWidget();
  Invalidate();
}

void TControl::Invalidate() {
  if (parent_ && visible_) {
    TRect r = GetBoundsRect();
    parent_->InvalidateRect(&r, !(ControlStyle & csOpaque));
  }
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

LRESULT TControl::Perform(uint32_t msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  if (WindowProc)
    WindowProc(m);
  else
    WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& message) { Dispatch(message); }

void TControl::HandleMouseButton(TMessage& m, TMouseButton button, bool down, bool dbl) {
  TWMMouse mouse(m);
  TShiftState shift = KeysToShiftState(mouse.Keys);
  bool left = button == mbLeft;
  if (down) {
    if (left && (ControlStyle & csCaptureMouse)) SetMouseCapture(true);
    if (left && !dbl && (ControlStyle & csClickEvents)) clicked_ = true;
    if (dbl && (ControlStyle & csClickEvents)) DblClick();
    if (!(ControlStyle & csNoStdEvents)) MouseDown(button, shift | (dbl ? TShiftState(ssDouble) : 0u), mouse.XPos, mouse.YPos);
    return;
  }
  if (left && (ControlStyle & csCaptureMouse)) SetMouseCapture(false);
  if (!(ControlStyle & csNoStdEvents)) MouseUp(button, shift, mouse.XPos, mouse.YPos);
  if (button == mbRight) ContextPopup({mouse.XPos, mouse.YPos});
  if (left && clicked_) {
    clicked_ = false;
    if (PtInRect(GetClientRect(), {mouse.XPos, mouse.YPos})) Click();
  }
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: HandleMouseButton(m, mbLeft, true, false); break;
    case WM_LBUTTONDBLCLK: HandleMouseButton(m, mbLeft, true, true); break;
    case WM_LBUTTONUP: HandleMouseButton(m, mbLeft, false, false); break;
    case WM_RBUTTONDOWN: HandleMouseButton(m, mbRight, true, false); break;
    case WM_RBUTTONDBLCLK: HandleMouseButton(m, mbRight, true, true); break;
    case WM_RBUTTONUP: HandleMouseButton(m, mbRight, false, false); break;
    case WM_MBUTTONDOWN: HandleMouseButton(m, mbMiddle, true, false); break;
    case WM_MBUTTONDBLCLK: HandleMouseButton(m, mbMiddle, true, true); break;
    case WM_MBUTTONUP: HandleMouseButton(m, mbMiddle, false, false); break;
    case WM_MOUSEMOVE: {
      TWMMouse mouse(m);
      if (!(ControlStyle & csNoStdEvents)) MouseMove(KeysToShiftState(mouse.Keys), mouse.XPos, mouse.YPos);
      break;
    }
    case WM_MOUSEWHEEL: {
      TWMMouseWheel wheel(m);
      if (DoMouseWheel(KeysToShiftState(wheel.Keys), wheel.WheelDelta, {wheel.XPos, wheel.YPos}))
        m.Result = 1;
      else
        DefaultHandler(m);
      break;
    }
    case WM_CANCELMODE:
      if (gCapture == this) SetMouseCapture(false);
      clicked_ = false;
      break;
    default: DefaultHandler(m);
  }
}

void TControl::DefaultHandler(TMessage& m) {
  // The platform passes an unhandled wheel turn up to the parent window.
  if (m.Msg == WM_MOUSEWHEEL && parent_) m.Result = parent_->Perform(m.Msg, m.WParam, m.LParam);
}

bool TControl::GetMouseCapture() const { return gCapture == this; }

void TControl::SetMouseCapture(bool capture) {
  if (capture)
    gCapture = this;
  else if (gCapture == this)
    gCapture = nullptr;
}

TPixelSurface TControl::DrawingSurface() { return parent_ ? parent_->DrawingSurface() : TPixelSurface(); }

void TControl::SurfaceChanged() {
  if (parent_) parent_->SurfaceChanged();
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  return handled;
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}
