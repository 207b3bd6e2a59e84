// TCustomForm: showing, activation, modal runs, closing and destruction.
#include "platform/forms.h"

#include <functional>

#include "platform/controlwidget.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  visible_ = false;
  // A form that its resource gives no size opens at the default size.
  SetBounds(0, 0, 320, 240);
  auto* canvas = new TControlCanvas;
  canvas->SetControl(this);
  canvas_ = canvas;
  Screen->forms_.push_back(this);
}

TCustomForm::~TCustomForm() {
  auto drop = [this](std::vector<TCustomForm*>& list) { list.erase(std::remove(list.begin(), list.end(), this), list.end()); };
  drop(Screen->forms_);
  drop(Screen->activation_);
  if (Screen->activeForm_ == this) Screen->activeForm_ = nullptr;
  if (Application) Application->FormDestroyed(this);
  // The canvas goes before the client image it draws on.
  delete canvas_;
  canvas_ = nullptr;
}

void TCustomForm::AfterConstruction() {
  if (created_) return;
  created_ = true;
  if (OnCreate) OnCreate(this);
}

void TCustomForm::BeforeDestruction() {
  bool first = !(ComponentState & csDestroying);
  TWinControl::BeforeDestruction();
  if (first && OnDestroy) OnDestroy(this);
}

void TCustomForm::Show() {
  AfterConstruction();
  SetVisible(true);
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::VisibleChanging() {
  if (GetVisible()) {
    ApplyPosition();
    if (OnShow) OnShow(this);
    HandleNeeded();
    SyncWidget();
    Activate();
    return;
  }
  if (OnHide) OnHide(this);
  SyncWidget();
  TWinControl* focus = GetFocusedControl();
  if (focus && ContainsControl(focus)) SetFocusedControl(nullptr);
  if (Active()) {
    Deactivate();
    // The window manager activates the window that was active before.
    auto& order = Screen->activation_;
    for (auto it = order.rbegin(); it != order.rend(); ++it)
      if (*it != this && (*it)->GetVisible()) {
        (*it)->Activate();
        break;
      }
  }
}

void TCustomForm::ApplyPosition() {
  auto centre = [this](const TRect& area) {
    SetBounds(area.Left + (area.Width() - GetWidth()) / 2, area.Top + (area.Height() - GetHeight()) / 2, GetWidth(),
              GetHeight());
  };
  TRect screen = Rect(0, 0, ScreenWidth(), ScreenHeight());
  switch (Position) {
    case poScreenCenter:
    case poDesktopCenter: centre(screen); break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* ref = Position == poMainFormCenter && Application ? Application->MainForm
                                                                       : dynamic_cast<TCustomForm*>(GetOwner());
      centre(ref && ref != this ? ref->GetBoundsRect() : screen);
      break;
    }
    default: break;
  }
}

bool TCustomForm::Active() const { return Screen->activeForm_ == this; }

void TCustomForm::Activate() {
  if (Active()) return;
  if (Screen->activeForm_) Screen->activeForm_->Deactivate();
  Screen->activeForm_ = this;
  auto& order = Screen->activation_;
  order.erase(std::remove(order.begin(), order.end(), this), order.end());
  order.push_back(this);
  if (activeControl_ && activeControl_->CanFocus())
    SetFocusedControl(activeControl_);
  else if (CanFocus())
    SetFocusedControl(this);
  Perform(CM_ACTIVATE);
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (!Active()) return;
  Screen->activeForm_ = nullptr;
  Perform(CM_DEACTIVATE);
  if (OnDeactivate) OnDeactivate(this);
}

TModalResult TCustomForm::ShowModal() {
  if (GetVisible() || !GetEnabled() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  AfterConstruction();
  ReleaseCapture();
  modal_ = true;
  ModalResult = mrNone;
  struct EndRun {
    TCustomForm* form;
    ~EndRun() {
      try {
        form->Hide();
      } catch (...) {
        if (Application) Application->HandleException(form);
      }
      form->modal_ = false;
      form->SyncWidget();
    }
  } end{this};
  Show();
  Dialogs().RunModal(this);
  return ModalResult;
}

void TCustomForm::RunModalLoop() {
  for (;;) {
    if (Application && Application->Terminated()) {
      ModalResult = mrCancel;
      return;
    }
    if (ModalResult != mrNone) {
      CloseModal();
      if (ModalResult != mrNone) return;
    }
    if (Application) Application->HandleMessage();
  }
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone)
    ModalResult = mrNone;
  else if (action == caFree)
    Release();
}

void TCustomForm::Close() {
  if (modal_) {
    ModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm == this) {
    SetFocusedControl(nullptr);  // the focused control finishes its edit: a data grid posts it
    Application->Terminate();
    return;
  }
  if (action == caHide)
    Hide();
  else if (action == caFree)
    Release();
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TCustomForm::Release() {
  if (Application) Application->QueueRelease(this);
}

void TCustomForm::SetBorderStyle(TBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  StyleChanged();
}

void TCustomForm::SetFormStyle(TFormStyle style) {
  if (style == formStyle_) return;
  formStyle_ = style;
  SyncWidget();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  activeControl_ = control;
  if (Active() && control && control->CanFocus()) SetFocusedControl(control);
}

void TCustomForm::FocusChanged(TWinControl* control) { activeControl_ = control == this ? nullptr : control; }

TRect TCustomForm::FrameInsets() const {
  int caption = GetSystemMetrics(SM_CYCAPTION);
  int small = caption - 4;
  int frame = GetSystemMetrics(SM_CXFRAME), dialog = GetSystemMetrics(SM_CXDLGFRAME);
  switch (borderStyle_) {
    case bsNone: return {0, 0, 0, 0};
    case bsSingle:
    case bsDialog: return {dialog, dialog + caption, dialog, dialog};
    case bsToolWindow: return {dialog, dialog + small, dialog, dialog};
    case bsSizeToolWin: return {frame, frame + small, frame, frame};
    default: return {frame, frame + caption, frame, frame};
  }
}

bool TCustomForm::SelectNext(TWinControl* current, bool forward) {
  std::vector<TWinControl*> stops;
  std::function<void(TWinControl*)> walk = [&](TWinControl* w) {
    for (int i = 0; i < w->ControlCount(); ++i)
      if (auto* c = dynamic_cast<TWinControl*>(w->Controls(i))) {
        if (c->TabStop && c->CanFocus()) stops.push_back(c);
        walk(c);
      }
  };
  walk(this);
  if (stops.empty()) return false;
  int n = int(stops.size());
  int at = int(std::find(stops.begin(), stops.end(), current) - stops.begin());
  int next = at == n ? (forward ? 0 : n - 1) : (at + (forward ? 1 : n - 1)) % n;
  if (stops[size_t(next)] == current) return false;
  SetFocusedControl(stops[size_t(next)]);
  return true;
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::PaintWindow() {
  TRect r = PaintRect();
  QRegion clip(r.Left, r.Top, r.Width(), r.Height());
  canvas_->SelectClipRegion(&clip);
  struct Unclip {
    TCanvas* canvas;
    ~Unclip() { canvas->SelectClipRegion(nullptr); }
  } unclip{canvas_};
  Paint();
}

void TCustomForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE: Close(); break;
    case CM_TEXTCHANGED:
      // A caption set while the window shows reaches its title bar.
      TWinControl::Dispatch(m);
      SyncWidget();
      break;
    case CM_DIALOGKEY:
      if (m.WParam == WPARAM(VK_TAB)) {
        bool back = (KeyDataToShiftState(m.LParam) & ssShift) != 0;
        m.Result = SelectNext(GetFocusedControl(), !back) ? 1 : 0;
        break;
      }
      TWinControl::Dispatch(m);
      break;
    default: TWinControl::Dispatch(m);
  }
}
