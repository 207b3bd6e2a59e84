// TWinControl: children, client image, painting, focus, keys and the Qt
// widget that mirrors it; TCustomControl and TGraphicControl draw on it.
#include <QCoreApplication>
#include <QPainter>
#include <set>

#include "platform/controls.h"
#include "platform/controlwidget.h"
#include "platform/forms.h"
#include "platform/input.h"
#include "platform/sizemove.h"
#include "platform/timers.h"

namespace {

TWinControl* gFocus = nullptr;
std::set<TWinControl*> gWindows;

class TControlTarget : public TCanvasTarget {
 public:
  explicit TControlTarget(TControl* control) : control(control) {}
  TPixelSurface Surface() override { return control ? control->DrawingSurface() : TPixelSurface(); }
  void Changed() override {
    if (control) control->SurfaceChanged();
  }
  TControl* control;
};

bool IsWindowed(const TControl* c) { return dynamic_cast<const TWinControl*>(c) != nullptr; }

}  // namespace

bool IsWindow(HWND window) { return window && gWindows.count(window) > 0; }
TWinControl* GetFocusedControl() { return gFocus; }

void PrepareControlCanvas(TCanvas* canvas, const TControl* control) {
  TPoint origin = control->SurfaceOrigin();
  canvas->ViewportOrg = origin;
  if (origin.x == 0 && origin.y == 0 && IsWindowed(control)) {
    canvas->SelectClipRegion(nullptr);
    return;
  }
  QRegion region(origin.x, origin.y, control->GetClientWidth(), control->GetClientHeight());
  canvas->SelectClipRegion(&region);
}

// TWinControl ------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { gWindows.insert(this); }

TWinControl::~TWinControl() {
  // A window frees the controls it holds, whoever owns them.
  while (!controls_.empty()) controls_.back()->Free();
  KillTimersOf(this);
  if (gFocus == this) gFocus = nullptr;
  DestroyHandle();
  gWindows.erase(this);
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return controls_[size_t(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->GetParent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (!allowWinControls && IsWindowed(c)) continue;
    if (!(c->GetVisible() || (c->ComponentState & csDesigning))) continue;
    if (!(c->GetEnabled() || allowDisabled)) continue;
    if (PtInRect(c->GetBoundsRect(), p)) return c;
  }
  return nullptr;
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    if (widget_) w->HandleNeeded();
  } else {
    control->Invalidate();
  }
  if (control->GetAlign() != alNone) AlignControls();
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  if (!IsWindowed(control)) control->Invalidate();
  controls_.erase(it);
  if (auto* w = dynamic_cast<TWinControl*>(control)) w->DestroyHandle();
  if (gFocus && control->parent_ && gFocus == control) gFocus = nullptr;
  control->parent_ = nullptr;
  if (control->GetAlign() != alNone) AlignControls();
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = GetText();
  params.X = GetLeft();
  params.Y = GetTop();
  params.Width = GetWidth();
  params.Height = GetHeight();
  params.WndParent = GetParent();
}

TRect TWinControl::FrameInsets() const {
  if (!frameKnown_) {
    TCreateParams params;
    const_cast<TWinControl*>(this)->CreateParams(params);
    int edge = (params.ExStyle & WS_EX_CLIENTEDGE) ? GetSystemMetrics(SM_CXEDGE) : 0;
    if (params.Style & WS_BORDER) edge += GetSystemMetrics(SM_CXBORDER);
    const_cast<TWinControl*>(this)->frame_ = {edge, edge, edge, edge};
    const_cast<TWinControl*>(this)->frameKnown_ = true;
  }
  return frame_;
}

void TWinControl::StyleChanged() {
  int w = GetClientWidth(), h = GetClientHeight();
  frameKnown_ = false;
  FrameInsets();
  SyncWidget();
  for (TControl* c : controls_)
    if (auto* child = dynamic_cast<TWinControl*>(c)) child->SyncWidget();
  ClientAreaChanged(w, h);
}

int TWinControl::GetClientWidth() const {
  TRect f = FrameInsets();
  int bar = vbar_.Visible ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  return std::max(0, GetWidth() - f.Left - f.Right - bar);
}

int TWinControl::GetClientHeight() const {
  TRect f = FrameInsets();
  int bar = hbar_.Visible ? GetSystemMetrics(SM_CYHSCROLL) : 0;
  return std::max(0, GetHeight() - f.Top - f.Bottom - bar);
}

TPoint TWinControl::ClientOrigin() const {
  TPoint outer = GetParent() ? GetParent()->ClientOrigin() : TPoint{0, 0};
  TRect f = FrameInsets();
  return {outer.x + GetLeft() + f.Left, outer.y + GetTop() + f.Top};
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  bool sized = width != width_ || height != height_;
  bool moved = left != left_ || top != top_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  NoteAnchorBase();
  SyncWidget();
  if (sized) {
    ResizeClientImage();
    InvalidateRect(nullptr, !(ControlStyle & csOpaque));
    SendSize();
  }
  if (moved) Perform(WM_MOVE, 0, MakeLParam(left, top));
  if (GetParent() && GetAlign() != alNone) GetParent()->AlignControls();
}

void TWinControl::SendSize() { Perform(WM_SIZE, SIZE_RESTORED, MakeLParam(GetClientWidth(), GetClientHeight())); }

void TWinControl::ClientAreaChanged(int oldWidth, int oldHeight) {
  if (GetClientWidth() == oldWidth && GetClientHeight() == oldHeight) return;
  ResizeClientImage();
  InvalidateRect(nullptr, !(ControlStyle & csOpaque));
  SyncWidget();
  SendSize();
}

void TWinControl::ResizeClientImage() {
  int w = GetClientWidth(), h = GetClientHeight();
  if (image_.width() == w && image_.height() == h) return;
  if (w <= 0 || h <= 0) {
    image_ = QImage();
    return;
  }
  QImage next(w, h, QImage::Format_RGB32);
  next.fill(ToQColor(GetColor()));
  if (!image_.isNull()) {
    int rows = std::min(h, image_.height());
    size_t bytes = size_t(std::min(w, image_.width())) * 4;
    for (int y = 0; y < rows; ++y) memcpy(next.scanLine(y), image_.constScanLine(y), bytes);
  }
  image_ = next;
}

// A control anchored to the right or bottom edge keeps its distance to
// it; anchored to both opposite edges it stretches; to neither, it keeps
// its place relative to the centre.
void TWinControl::AnchorControls() {
  const int cw = GetClientWidth(), ch = GetClientHeight();
  std::vector<TControl*> children = controls_;
  for (TControl* c : children) {
    const int dw = cw - c->anchorBase_.x, dh = ch - c->anchorBase_.y;
    if (c->align_ != alNone || c->anchors_ == (akLeft | akTop) || (dw == 0 && dh == 0)) continue;
    auto follow = [](TAnchors a, unsigned low, unsigned high, int d, int& pos, int& size) {
      if ((a & low) && (a & high))
        size += d;
      else if (a & high)
        pos += d;
      else if (!(a & low))
        pos += d / 2;
    };
    int l = c->left_, t = c->top_, w = c->width_, h = c->height_;
    follow(c->anchors_, akLeft, akRight, dw, l, w);
    follow(c->anchors_, akTop, akBottom, dh, t, h);
    c->SetBounds(l, t, w, h);
    c->anchorBase_ = {cw, ch};
  }
}

void TWinControl::AlignControls() {
  AnchorControls();
  TRect r = GetClientRect();
  auto place = [&](TAlign align) {
    std::vector<TControl*> list;
    for (TControl* c : controls_)
      if (c->GetAlign() == align && c->GetVisible()) list.push_back(c);
    // Nearer the edge first: top ones by Top, bottom ones from the bottom up.
    std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
      switch (align) {
        case alTop: return a->GetTop() < b->GetTop();
        case alBottom: return a->GetTop() + a->GetHeight() > b->GetTop() + b->GetHeight();
        case alLeft: return a->GetLeft() < b->GetLeft();
        case alRight: return a->GetLeft() + a->GetWidth() > b->GetLeft() + b->GetWidth();
        default: return false;
      }
    });
    for (TControl* c : list) {
      int w = c->GetWidth(), h = c->GetHeight();
      TRect b;
      switch (align) {
        case alTop: b = Bounds(r.Left, r.Top, r.Width(), h); r.Top += h; break;
        case alBottom: b = Bounds(r.Left, r.Bottom - h, r.Width(), h); r.Bottom -= h; break;
        case alLeft: b = Bounds(r.Left, r.Top, w, r.Height()); r.Left += w; break;
        case alRight: b = Bounds(r.Right - w, r.Top, w, r.Height()); r.Right -= w; break;
        default: b = r; break;
      }
      // SetBounds would ask this window to align again.
      TAlign keep = c->align_;
      c->align_ = alNone;
      c->SetBoundsRect(b);
      c->align_ = keep;
    }
  };
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) place(a);
}

// Handle and widget --------------------------------------------------------------------

TControlWidget* TWinControl::CreateWidget(const TCreateParams& params) {
  return new TControlWidget(this, GetParent() ? GetParent()->widget_ : nullptr);
}

void TWinControl::HandleNeeded() {
  if (widget_) return;
  if (GetParent()) GetParent()->HandleNeeded();
  if (widget_) return;  // the parent made it with its children
  TCreateParams params;
  CreateParams(params);
  widget_ = CreateWidget(params);
  widget_->Sync();
  for (TControl* c : controls_)
    if (auto* child = dynamic_cast<TWinControl*>(c)) child->HandleNeeded();
  UpdateWidgetCursor(this);
  if (updatePending_) widget_->update();
}

HWND TWinControl::GetHandle() {
  HandleNeeded();
  return this;
}

void TWinControl::DestroyHandle() {
  if (!widget_) return;
  for (TControl* c : controls_)
    if (auto* child = dynamic_cast<TWinControl*>(c)) child->DestroyHandle();
  TControlWidget* w = widget_;
  widget_ = nullptr;
  // After the Qt application is gone its widgets must be left alone.
  if (QCoreApplication::instance()) delete w;
}

QWidget* TWinControl::Widget() const { return widget_; }

void TWinControl::SyncWidget() {
  if (widget_) widget_->Sync();
}

void TWinControl::VisibleChanging() {
  if (GetVisible() && GetParent() && GetParent()->HandleAllocated()) HandleNeeded();
  SyncWidget();
  if (!GetVisible() && gFocus && ContainsControl(gFocus)) SetFocusedControl(nullptr);
}

void TWinControl::ShowScrollBarNow(int bar, bool show) {
  int w = GetClientWidth(), h = GetClientHeight();
  bool changed = false;
  for (int b : {SB_HORZ, SB_VERT}) {
    if (bar != b && bar != SB_BOTH) continue;
    if (ScrollBar(b).Visible == show) continue;
    ScrollBar(b).Visible = show;
    changed = true;
  }
  if (!changed) return;
  SyncWidget();
  ClientAreaChanged(w, h);
}

void TWinControl::ScrollBarChanged(int bar) {
  if (widget_) widget_->SyncScrollBar(bar);
}

// Focus -----------------------------------------------------------------------------------

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->GetParent()) {
    if (!c->GetVisible() || !c->GetEnabled()) return false;
  }
  return true;
}

bool TWinControl::Focused() const { return gFocus == this; }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  SetFocusedControl(this);
}

void SetFocusedControl(TWinControl* control) {
  if (control == gFocus) return;
  TWinControl* old = gFocus;
  gFocus = control;
  if (old) {
    old->Perform(CM_EXIT);
    if (old->OnExit) old->OnExit(old);
    if (IsWindow(old)) old->Perform(WM_KILLFOCUS, WPARAM(control), 0);
  }
  if (gFocus != control) return;  // a handler moved the focus elsewhere
  if (control) {
    if (TCustomForm* form = GetParentForm(control)) form->FocusChanged(control);
    control->Perform(CM_ENTER);
    if (control->OnEnter) control->OnEnter(control);
    control->Perform(WM_SETFOCUS, WPARAM(old), 0);
    if (control->widget_ && !control->widget_->hasFocus()) control->widget_->setFocus(Qt::OtherFocusReason);
  }
}

// Painting ----------------------------------------------------------------------------------

TPixelSurface TWinControl::DrawingSurface() { return TPixelSurface::OfImage(image_); }

void TWinControl::SurfaceChanged() {
  if (widget_ && !presenting_) widget_->update();
}

void TWinControl::Invalidate() { InvalidateRect(nullptr, !(ControlStyle & csOpaque)); }

void TWinControl::InvalidateRect(const TRect* rect, bool erase) {
  TRect client = GetClientRect();
  TRect area;
  if (!IntersectRect(area, rect ? *rect : client, client)) return;
  if (updatePending_)
    UnionRect(updateRect_, updateRect_, area);
  else
    updateRect_ = area;
  updatePending_ = true;
  eraseNeeded_ = eraseNeeded_ || erase;
  if (widget_ && !presenting_) widget_->update();
}

void TWinControl::Update() {
  if (updatePending_) Perform(WM_PAINT);
}

void TWinControl::UpdateAll() {
  TWinControl::Update();  // the paint, whatever a descendant calls Update
  std::vector<TControl*> children = controls_;
  for (TControl* c : children)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && IsWindow(w)) w->UpdateAll();
}

// WM_PAINT: takes the update region (the whole client when none is
// pending), erases it when asked, paints the window, then its
// non-windowed children.
void TWinControl::PaintMessage() {
  TRect area = updatePending_ ? updateRect_ : GetClientRect();
  bool erase = updatePending_ && eraseNeeded_;
  updatePending_ = false;
  eraseNeeded_ = false;
  updateRect_ = {};
  if (image_.isNull()) return;
  paintRect_ = area;
  if (erase) Perform(WM_ERASEBKGND);
  PaintWindow();
  PaintControls();
  SurfaceChanged();
}

void TWinControl::EraseBackground() {
  TPixelSurface s = DrawingSurface();
  if (!s.Valid()) return;
  QImage& img = image_;
  QRgb c = ToQColor(GetColor()).rgb();
  TRect r;
  if (!IntersectRect(r, paintRect_, GetClientRect())) return;
  for (int y = r.Top; y < r.Bottom; ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = r.Left; x < r.Right; ++x) row[x] = c;
  }
}

void TWinControl::PaintControls() {
  std::vector<TControl*> children = controls_;
  for (TControl* c : children) {
    auto* g = dynamic_cast<TGraphicControl*>(c);
    if (!g || !(g->GetVisible() || g->IsDesigning())) continue;
    TRect overlap;
    if (IntersectRect(overlap, g->GetBoundsRect(), paintRect_)) g->RunPaint(overlap);
  }
}

// Messages --------------------------------------------------------------------------------

bool TWinControl::ForwardMouseToChild(TMessage& m) {
  TWMMouse mouse(m);
  TControl* capture = GetCaptureControl();
  TControl* target = nullptr;
  if (capture) {
    if (capture->GetParent() == this && !IsWindowed(capture)) target = capture;
  } else {
    target = ControlAtPos({mouse.XPos, mouse.YPos});
  }
  if (!target) return false;
  uint32_t msg = m.Msg;
  if (!(target->ControlStyle & csDoubleClicks)) {
    if (msg == WM_LBUTTONDBLCLK) msg = WM_LBUTTONDOWN;
    if (msg == WM_RBUTTONDBLCLK) msg = WM_RBUTTONDOWN;
    if (msg == WM_MBUTTONDBLCLK) msg = WM_MBUTTONDOWN;
  }
  if (m.Msg == WM_MOUSEMOVE) SetMouseControl(target);
  m.Result = target->Perform(msg, m.WParam, MakeLParam(mouse.XPos - target->GetLeft(), mouse.YPos - target->GetTop()));
  return true;
}

void TWinControl::WndProc(TMessage& m) {
  bool mouse = m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL;
  if (mouse) {
    if (ForwardMouseToChild(m)) return;
    if (m.Msg == WM_MOUSEMOVE && (!GetCaptureControl() || GetCaptureControl() == this)) SetMouseControl(this);
  }
  TControl::WndProc(m);
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_SIZE:
      AlignControls();
      Resize();
      break;
    case WM_PAINT: PaintMessage(); break;
    case CM_DIALOGKEY: {
      // Dialog keys are offered to the controls inside (a cancel button
      // answers Escape) until one takes it.
      std::vector<TControl*> children = controls_;
      for (TControl* c : children) {
        if (c->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0) {
          m.Result = 1;
          return;
        }
      }
      TControl::Dispatch(m);
      break;
    }
    case WM_ERASEBKGND:
      EraseBackground();
      m.Result = 1;
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (!DoKeyDown(m)) DefaultHandler(m);
      break;
    case WM_CHAR:
    case WM_SYSCHAR:
      if (!DoKeyPress(m)) DefaultHandler(m);
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (!DoKeyUp(m)) DefaultHandler(m);
      break;
    default: TControl::Dispatch(m);
  }
}

void TWinControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_NCHITTEST: {
      TWMNCHitTest hit(m);
      TPoint c = ScreenToClient({hit.XPos, hit.YPos});
      if (PtInRect(GetClientRect(), c)) {
        m.Result = HTCLIENT;
        return;
      }
      TRect f = FrameInsets();
      TPoint w{c.x + f.Left, c.y + f.Top};  // outer coordinates
      if (!PtInRect(Rect(0, 0, GetWidth(), GetHeight()), w)) {
        m.Result = HTNOWHERE;
        return;
      }
      int cw = GetClientWidth(), ch = GetClientHeight();
      if (vbar_.Visible && w.x >= f.Left + cw && w.y >= f.Top && w.y < f.Top + ch)
        m.Result = HTVSCROLL;
      else if (hbar_.Visible && w.y >= f.Top + ch && w.x >= f.Left && w.x < f.Left + cw)
        m.Result = HTHSCROLL;
      else if (w.y < f.Top && w.y >= f.Left)
        m.Result = GetParent() ? HTBORDER : HTCAPTION;
      else
        m.Result = HTBORDER;
      return;
    }
    case WM_SYSCOMMAND: SizeMoveLoop(m.WParam); return;
    case WM_CLOSE: return;
    default: TControl::DefaultHandler(m);
  }
}

void TWinControl::KeyboardMessage(TMessage& m) {
  if (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN) {
    int vk = int(m.WParam);
    bool special = vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE || (vk >= VK_PRIOR && vk <= VK_DOWN);
    if (special && Perform(CM_WANTSPECIALKEY, m.WParam, m.LParam) == 0) {
      TCustomForm* form = GetParentForm(this);
      if (form && form->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0) return;
    }
  }
  m.Result = Perform(m.Msg, m.WParam, m.LParam);
}

bool TWinControl::DoKeyDown(TMessage& m) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview && form->DoKeyDown(m)) return true;
  Word key = Word(m.WParam);
  if (!(ControlStyle & csNoStdEvents)) {
    KeyDown(key, KeyDataToShiftState(m.LParam));
    m.WParam = key;
  }
  return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& m) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview && form->DoKeyPress(m)) return true;
  char16_t key = char16_t(m.WParam);
  if (!(ControlStyle & csNoStdEvents)) {
    KeyPress(key);
    m.WParam = key;
  }
  return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& m) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview && form->DoKeyUp(m)) return true;
  Word key = Word(m.WParam);
  if (!(ControlStyle & csNoStdEvents)) {
    KeyUp(key, KeyDataToShiftState(m.LParam));
    m.WParam = key;
  }
  return key == 0;
}

void TWinControl::KeyDown(Word& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(Word& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char16_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

// Mouse input from the devices -----------------------------------------------------------

void MouseInput(TWinControl* window, uint32_t msg, WPARAM keys, TPoint client) {
  if (!IsWindow(window) || SizeMoveTakesMouse(window, msg, keys, client)) return;
  TWinControl* target = window;
  TPoint p = client;
  if (TControl* capture = GetCaptureControl()) {
    TWinControl* owner = IsWindowed(capture) ? static_cast<TWinControl*>(capture) : capture->GetParent();
    if (owner && owner != window) {
      p = owner->ScreenToClient(window->ClientToScreen(client));
      target = owner;
    }
  }
  TDeviceMouseScope scope(window, keys, client);
  target->Perform(msg, keys, MakeLParam(p.x, p.y));
}

// TCustomControl ----------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(new TCanvas(new TControlTarget(this))) {}

TCustomControl::~TCustomControl() { delete canvas_; }

void TCustomControl::PaintWindow() {
  TRect r = PaintRect();
  QRegion clip(r.Left, r.Top, r.Width(), r.Height());
  canvas_->SelectClipRegion(&clip);
  try {
    Paint();
  } catch (...) {
    canvas_->SelectClipRegion(nullptr);
    throw;
  }
  canvas_->SelectClipRegion(nullptr);
}

// TGraphicControl ---------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), canvas_(new TCanvas(new TControlTarget(this))) {}

TGraphicControl::~TGraphicControl() { delete canvas_; }

TCanvas* TGraphicControl::GetCanvas() {
  if (!(preparedBounds_ == GetBoundsRect()) || preparedParent_ != GetParent()) {
    PrepareControlCanvas(canvas_, this);
    preparedBounds_ = GetBoundsRect();
    preparedParent_ = GetParent();
  }
  return canvas_;
}

TPixelSurface TGraphicControl::DrawingSurface() {
  return GetParent() ? GetParent()->DrawingSurface() : TPixelSurface();
}

void TGraphicControl::SurfaceChanged() {
  if (GetParent()) GetParent()->SurfaceChanged();
}

void TGraphicControl::RunPaint(const TRect& parentArea) {
  TCanvas* canvas = GetCanvas();
  TRect local = parentArea;
  OffsetRect(local, -GetLeft(), -GetTop());
  canvas->IntersectClipRect(local);
  struct Restore {
    TGraphicControl* self;
    ~Restore() { PrepareControlCanvas(self->canvas_, self); }
  } restore{this};
  Paint();
}

// TControlCanvas ----------------------------------------------------------------------------

TControlCanvas::TControlCanvas() : TCanvas(new TControlTarget(nullptr)) {}

void TControlCanvas::SetControl(TControl* control) {
  control_ = control;
  static_cast<TControlTarget*>(Target())->control = control;
  if (control) PrepareControlCanvas(this, control);
}

bool UpdatePendingWindows() {
  std::vector<TWinControl*> windows(gWindows.begin(), gWindows.end());
  bool any = false;
  for (TWinControl* w : windows) {
    if (!IsWindow(w) || !w->UpdatePending()) continue;
    any = true;
    if (Application)
      Application->Guarded(w, [w] { w->TWinControl::Update(); });
    else
      w->TWinControl::Update();
  }
  return any;
}
