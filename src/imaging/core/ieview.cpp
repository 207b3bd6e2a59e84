#include "imaging/core/ieview.h"

#include <algorithm>

int32_t gSystemDPIX = 0;
int32_t gSystemDPIY = 0;
int32_t gEdgeX = 0;
int32_t gEdgeY = 0;

TIEView::TIEView(TComponent* owner) : TCustomControl(owner) {
  // The views paint every pixel of their client area.
  ControlStyle |= csOpaque;
}

TIEView::~TIEView() {
  while (!listeners_.empty()) {
    // Taken out before the call, so a listener that (wrongly) removes
    // itself or another one meanwhile finds a consistent list.
    TListener first = std::move(listeners_.front());
    listeners_.erase(listeners_.begin());
    if (!first.Event) continue;
    try {
      first.Event(this, true);
    } catch (...) {
      // A destructor cannot pass the failure on; the other listeners must
      // still hear that the view is gone.
    }
  }
}

void TIEView::SetBackGround(TColor colour) { background_ = colour; }

void TIEView::SetDPIX(int dpi) {
  if (dpi != 0) DPIX = dpi;
}

void TIEView::SetDPIY(int dpi) {
  if (dpi != 0) DPIY = dpi;
}

void TIEView::SetDPI(int dpix, int dpiy) {
  SetDPIX(dpix);
  SetDPIY(dpiy);
}

int TIEView::RegisterBitmapChangeEvent(TIEBitmapChangeEvent event) {
  listeners_.push_back({++lastHandle_, std::move(event)});
  return lastHandle_;
}

std::vector<TIEView::TListener>::iterator TIEView::FindListener(int handle) {
  return std::find_if(listeners_.begin(), listeners_.end(), [handle](const TListener& l) { return l.Handle == handle; });
}

void TIEView::RemoveBitmapChangeEvent(int handle) {
  if (handle < 0) return;
  auto it = FindListener(handle);
  if (it != listeners_.end()) listeners_.erase(it);
}

void TIEView::CallBitmapChangeEvents() {
  // Listeners may register or remove listeners while they are called.
  std::vector<int> handles;
  handles.reserve(listeners_.size());
  for (const TListener& l : listeners_) handles.push_back(l.Handle);
  for (int handle : handles) {
    auto it = FindListener(handle);
    if (it == listeners_.end() || !it->Event) continue;
    TIEBitmapChangeEvent event = it->Event;  // survives the listener removing itself
    event(this, false);
  }
}

void TIEView::SetBorderStyle(TBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  RecreateWnd();
}

void TIEView::SetCtl3D(bool value) {
  if (value == ctl3D_) return;
  ctl3D_ = value;
  ParentCtl3D = false;  // an own setting no longer follows the parent
  RecreateWnd();
}

void TIEView::RecreateWnd() { StyleChanged(); }

void TIEView::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (borderStyle_ != bsSingle) return;
  // The layer always draws new-style controls.
  if (ctl3D_) {
    params.Style &= ~WS_BORDER;
    params.ExStyle |= WS_EX_CLIENTEDGE;
  } else {
    params.Style |= WS_BORDER;
  }
}

void TIEView::Dispatch(TMessage& message) {
  TCustomControl::Dispatch(message);
  if (message.Msg == CM_MOUSEENTER && OnMouseEnter) OnMouseEnter(this);
  if (message.Msg == CM_MOUSELEAVE && OnMouseLeave) OnMouseLeave(this);
}
