#include "platform/controlwidget.h"

#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWindow>

#include "platform/forms.h"
#include "platform/input.h"
#include "platform/menus.h"

namespace {

WPARAM KeysOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
  WPARAM keys = 0;
  if (buttons & Qt::LeftButton) keys |= MK_LBUTTON;
  if (buttons & Qt::RightButton) keys |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) keys |= MK_MBUTTON;
  if (mods & Qt::ShiftModifier) keys |= MK_SHIFT;
  if (mods & Qt::ControlModifier) keys |= MK_CONTROL;
  return keys;
}

int VirtualKey(int key) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return VK_F1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    case Qt::Key_Slash: return VK_DIVIDE;
    default: return 0;
  }
}

// Runs an input handler; what it throws goes to the application's handler
// (exceptions must not cross Qt's event dispatch).
template <typename F>
void Guard(TObject* sender, F&& action) {
  if (Application)
    Application->Guarded(sender, action);
  else
    try {
      action();
    } catch (...) {
    }
}

}  // namespace

TControlWidget::TControlWidget(TWinControl* control, QWidget* parent) : QWidget(parent), control_(control) {
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Chinese and other composed text arrives through the input method.
  setAttribute(Qt::WA_InputMethodEnabled);
  for (int bar : {SB_HORZ, SB_VERT}) {
    auto* sb = new QScrollBar(bar == SB_HORZ ? Qt::Horizontal : Qt::Vertical, this);
    sb->hide();
    QObject::connect(sb, &QAbstractSlider::actionTriggered, this, [this, bar](int action) { ScrollAction(bar, action); });
    QObject::connect(sb, &QAbstractSlider::sliderReleased, this, [this, bar] {
      SendScroll(bar, SB_THUMBPOSITION, control_->ScrollBar(bar).TrackPos);
      SendScroll(bar, SB_ENDSCROLL, 0);
    });
    bars_[bar] = sb;
  }
}

TControlWidget::~TControlWidget() = default;

QPoint TControlWidget::ClientOffset() const {
  if (!control_->GetParent()) return {0, 0};
  TRect f = control_->FrameInsets();
  return {f.Left, f.Top};
}

void TControlWidget::Sync() {
  syncing_ = true;
  TRect f = control_->FrameInsets();
  auto* form = dynamic_cast<TCustomForm*>(control_);
  if (TWinControl* parent = control_->GetParent()) {
    // Inside a window of its own the widget is the client area (the window
    // manager draws the frame); inside a child the frame is part of it.
    TRect pf = parent->GetParent() ? parent->FrameInsets() : TRect{0, 0, 0, 0};
    setGeometry(control_->GetLeft() + pf.Left, control_->GetTop() + pf.Top, control_->GetWidth(), control_->GetHeight());
  } else {
    // A window of its own: the window manager draws the frame. A form
    // without a sizing border keeps its size.
    const QSize client(std::max(1, control_->GetWidth() - f.Left - f.Right),
                       std::max(1, control_->GetHeight() - f.Top - f.Bottom));
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setGeometry(control_->GetLeft() + f.Left, control_->GetTop() + f.Top, client.width(), client.height());
    if (form && form->GetBorderStyle() != bsSizeable && form->GetBorderStyle() != bsSizeToolWin) setFixedSize(client);
    setWindowTitle(QString::fromStdString(control_->GetText()));
  }
  if (form) {
    Qt::WindowFlags flags = Qt::Window;
    switch (form->GetBorderStyle()) {
      case bsNone: flags |= Qt::FramelessWindowHint; break;
      case bsDialog: flags = Qt::Dialog; break;
      case bsToolWindow:
      case bsSizeToolWin: flags = Qt::Tool; break;
      default: break;
    }
    if (form->GetFormStyle() == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
    if (styleFlags_ != flags) {
      styleFlags_ = flags;
      setWindowFlags(flags);
    }
    setWindowModality(form->Modal() ? Qt::ApplicationModal : Qt::NonModal);
  }
  for (int bar : {SB_HORZ, SB_VERT}) SyncScrollBar(bar);
  bool show = control_->GetVisible() && (control_->GetParent() || form);
  if (show != isVisible()) setVisible(show);
  syncing_ = false;
}

void TControlWidget::SyncScrollBar(int bar) {
  QScrollBar* sb = bars_[bar];
  const TScrollBarState& s = control_->ScrollBar(bar);
  QPoint o = ClientOffset();
  int cw = control_->GetClientWidth(), ch = control_->GetClientHeight();
  int size = GetSystemMetrics(bar == SB_HORZ ? SM_CYHSCROLL : SM_CXVSCROLL);
  if (bar == SB_HORZ)
    sb->setGeometry(o.x(), o.y() + ch, cw, size);
  else
    sb->setGeometry(o.x() + cw, o.y(), size, ch);
  QSignalBlocker block(sb);
  int page = s.Page > 0 ? int(s.Page) : 1;
  sb->setRange(s.Min, std::max(s.Min, s.Max - page + 1));
  sb->setPageStep(page);
  sb->setValue(s.Pos);
  sb->setEnabled(s.Disabled != ESB_DISABLE_BOTH);
  sb->setVisible(s.Visible);
}

void TControlWidget::SendScroll(int bar, int code, int pos) {
  Guard(control_, [&] {
    control_->Perform(bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MakeWParam(code, pos), 0);
  });
  if (IsWindow(control_)) SyncScrollBar(bar);
}

void TControlWidget::ScrollAction(int bar, int action) {
  QScrollBar* sb = bars_[bar];
  int code;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
    default: return;
  }
  int pos = sb->sliderPosition();
  if (code == SB_THUMBTRACK) control_->ScrollBar(bar).TrackPos = pos;
  SendScroll(bar, code, pos);
  // The control decides where the thumb stands.
  if (IsWindow(control_) && code != SB_THUMBTRACK) sb->setSliderPosition(control_->ScrollBar(bar).Pos);
}

void TControlWidget::paintEvent(QPaintEvent* event) {
  const QRect exposed = event->rect().translated(-ClientOffset());
  Guard(control_, [&] {
    control_->Exposing({exposed.left(), exposed.top(), exposed.right() + 1, exposed.bottom() + 1});
  });
  control_->presenting_ = true;
  // The pending paint itself: a control's own Update (a ruler's redraws
  // and invalidates) must not run on every presentation.
  Guard(control_, [this] { control_->TWinControl::Update(); });
  control_->presenting_ = false;
  QPainter p(this);
  QPoint o = ClientOffset();
  TRect f = control_->FrameInsets();
  if (control_->GetParent() && (f.Left > 0 || f.Top > 0)) {
    p.fillRect(rect(), QColor(0x80, 0x80, 0x80));
    p.fillRect(QRect(1, 1, width() - 1, height() - 1), QColor(0xFF, 0xFF, 0xFF));
  }
  if (control_->ScrollBar(SB_HORZ).Visible && control_->ScrollBar(SB_VERT).Visible)
    p.fillRect(QRect(o.x() + control_->GetClientWidth(), o.y() + control_->GetClientHeight(),
                     GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)),
               ToQColor(clBtnFace));
  p.drawImage(o, control_->ClientImage());
}

void TControlWidget::MouseButton(QMouseEvent* event, bool down, bool dbl) {
  if (!control_->GetEnabled()) return;
  QPoint o = ClientOffset();
  TPoint client{int(event->position().x()) - o.x(), int(event->position().y()) - o.y()};
  // The hit test asks where the press lies in the model's own screen
  // coordinates: the window manager may have placed the window elsewhere.
  TPoint screen = control_->ClientToScreen(client);
  if (down) {
    LRESULT hit = control_->Perform(WM_NCHITTEST, 0, MakeLParam(screen.x, screen.y));
    if (hit == HTCAPTION && windowHandle() && !control_->GetParent()) {
      windowHandle()->startSystemMove();
      return;
    }
    if (hit != HTCLIENT) return;
  }
  uint32_t msg;
  switch (event->button()) {
    case Qt::RightButton: msg = down ? (dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP; break;
    case Qt::MiddleButton: msg = down ? (dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN) : WM_MBUTTONUP; break;
    default: msg = down ? (dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP; break;
  }
  // A window without double clicks sees the second press as a press.
  if (dbl && !(control_->ControlStyle & csDoubleClicks)) msg -= 2;
  WPARAM keys = KeysOf(event->buttons(), event->modifiers());
  Guard(control_, [&] { MouseInput(control_, msg, keys, client); });
}

void TControlWidget::mousePressEvent(QMouseEvent* event) { MouseButton(event, true, false); }
void TControlWidget::mouseReleaseEvent(QMouseEvent* event) { MouseButton(event, false, false); }
void TControlWidget::mouseDoubleClickEvent(QMouseEvent* event) { MouseButton(event, true, true); }

void TControlWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!control_->GetEnabled()) return;
  QPoint o = ClientOffset();
  TPoint client{int(event->position().x()) - o.x(), int(event->position().y()) - o.y()};
  WPARAM keys = KeysOf(event->buttons(), event->modifiers());
  Guard(control_, [&] { MouseInput(control_, WM_MOUSEMOVE, keys, client); });
}

void TControlWidget::wheelEvent(QWheelEvent* event) {
  // Turns arrive in eighths of a degree; messages carry whole notches.
  wheelRemainder_ += event->angleDelta().y();
  int steps = wheelRemainder_ / WHEEL_DELTA;
  if (steps == 0) return;
  wheelRemainder_ -= steps * WHEEL_DELTA;
  TWinControl* target = control_;
  TWinControl* focus = GetFocusedControl();
  if (focus && GetParentForm(control_) && GetParentForm(focus) == GetParentForm(control_)) target = focus;
  WPARAM keys = KeysOf(event->buttons(), event->modifiers());
  WPARAM w = WPARAM(uint32_t(keys & 0xFFFF) | (uint32_t(uint16_t(steps * WHEEL_DELTA)) << 16));
  LPARAM l = MakeLParam(int(event->globalPosition().x()), int(event->globalPosition().y()));
  Guard(target, [&] { target->Perform(WM_MOUSEWHEEL, w, l); });
}

void TControlWidget::keyPressEvent(QKeyEvent* event) {
  TWinControl* target = GetFocusedControl();
  if (!target || !IsWindow(target)) target = control_;
  int vk = VirtualKey(event->key());
  LPARAM data = (event->modifiers() & Qt::AltModifier) ? KF_ALTDOWN_BIT : 0;
  Guard(target, [&] {
    // Menus see the key first; a key they take makes no characters.
    if (vk && IsMenuKey(target, Word(vk), KeyDataToShiftState(data))) return;
    if (vk) {
      TMessage m{uint32_t((event->modifiers() & Qt::AltModifier) ? WM_SYSKEYDOWN : WM_KEYDOWN), WPARAM(vk), data, 0};
      target->KeyboardMessage(m);
    }
    // Ctrl with a letter types its control character, as the keyboard
    // does for edit boxes (Ctrl+A is 1).
    QString text = event->text();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && event->key() >= Qt::Key_A &&
        event->key() <= Qt::Key_Z)
      text = QString(QChar(char16_t(event->key() - Qt::Key_A + 1)));
    // Alt with a key types a system character, which edit boxes ignore
    // (Ctrl+Alt is AltGr and types as usual).
    const bool system = (mods & Qt::AltModifier) && !(mods & Qt::ControlModifier);
    for (QChar c : text) {
      if (!IsWindow(target)) break;
      TMessage m{system ? WM_SYSCHAR : WM_CHAR, WPARAM(c.unicode()), data, 0};
      target->KeyboardMessage(m);
    }
  });
}

// Text committed by an input method reaches the focused control as
// characters, as if typed one by one; the composition itself is the input
// method's own window.
void TControlWidget::inputMethodEvent(QInputMethodEvent* event) {
  TWinControl* target = GetFocusedControl();
  if (!target || !IsWindow(target)) target = control_;
  const QString text = event->commitString();
  Guard(target, [&] {
    for (QChar c : text) {
      if (!IsWindow(target)) break;
      TMessage m{WM_CHAR, WPARAM(c.unicode()), 0, 0};
      target->KeyboardMessage(m);
    }
  });
  event->accept();
}

void TControlWidget::keyReleaseEvent(QKeyEvent* event) {
  TWinControl* target = GetFocusedControl();
  if (!target || !IsWindow(target)) target = control_;
  int vk = VirtualKey(event->key());
  if (!vk) return;
  LPARAM data = (event->modifiers() & Qt::AltModifier) ? KF_ALTDOWN_BIT : 0;
  Guard(target, [&] {
    TMessage m{WM_KEYUP, WPARAM(vk), data, 0};
    target->KeyboardMessage(m);
  });
}

void TControlWidget::focusInEvent(QFocusEvent*) {
  // A click that gave Qt's focus to a window the model has not focused.
  if (GetFocusedControl() != control_ && control_->CanFocus() && control_->TabStop)
    Guard(control_, [this] { SetFocusedControl(control_); });
}

void TControlWidget::leaveEvent(QEvent*) {
  TControl* hover = GetMouseControl();
  if (hover && (hover == control_ || hover->GetParent() == control_))
    Guard(control_, [] { SetMouseControl(nullptr); });
}

void TControlWidget::closeEvent(QCloseEvent* event) {
  // The model decides: WM_CLOSE runs the form's close.
  event->ignore();
  Guard(control_, [this] { control_->Perform(WM_CLOSE); });
}

void TControlWidget::resizeEvent(QResizeEvent*) { TakeGeometry(); }
void TControlWidget::moveEvent(QMoveEvent*) { TakeGeometry(); }

// The user or the window manager moved or sized a window of its own. Sync
// places the client area at the window's bounds plus the frame; the way
// back counts from the client area too (x() would include the window
// manager's own frame).
void TControlWidget::TakeGeometry() {
  if (syncing_ || control_->GetParent()) return;
  const TRect f = control_->FrameInsets();
  const QRect g = geometry();
  const TRect b = Bounds(g.x() - f.Left, g.y() - f.Top, g.width() + f.Left + f.Right, g.height() + f.Top + f.Bottom);
  if (b != control_->GetBoundsRect()) Guard(control_, [&] { control_->SetBoundsRect(b); });
}

void TControlWidget::changeEvent(QEvent* event) { QWidget::changeEvent(event); }
