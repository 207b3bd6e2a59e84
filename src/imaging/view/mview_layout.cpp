// The thumbnail view's layout, scrolling, hit testing, its messages and
// the mouse.
#include <algorithm>
#include <climits>
#include <cmath>

#include "imaging/core/iegeometry.h"
#include "imaging/view/mview.h"
#include "imaging/view/mview_lock.h"
#include "platform/messages.h"
#include "platform/timers.h"

namespace {

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

// Layout ----------------------------------------------------------------------------------------------

int TPixMView::Columns() {
  if (gridWidth_ != -1) return gridWidth_;
  return std::max((GetClientWidth() - horizBorder_) / (horizBorder_ + thumbW_), 0);
}

void TPixMView::UpdateCoords() {
  const int columns = Columns();
  int c = 0, r = 0;
  int64_t cw = 0, ch = 0;
  TIEMViewLock lock;
  for (TIEImageInfo* info : images_) {
    int64_t x = int64_t(c) * (thumbW_ + horizBorder_);
    int64_t y = int64_t(r) * (thumbH_ + vertBorder_);
    if (displayMode_ == mdGrid) {
      x += horizBorder_;
      y += vertBorder_;
    }
    info->X = Clamp32(x);
    info->Y = Clamp32(y);
    info->Row = r;
    info->Col = c;
    cw = std::max(cw, x);
    ch = std::max(ch, y);
    ++c;
    if (displayMode_ == mdSingle || c == columns) {
      c = 0;
      if (displayMode_ == mdGrid) ++r;
    }
  }
  contentW_ = Clamp32(cw + thumbW_ + horizBorder_);
  contentH_ = Clamp32(ch + thumbH_ + vertBorder_);
}

void TPixMView::GetMaxViewXY(int32_t& x, int32_t& y) {
  x = std::max(contentW_ - GetClientWidth(), 0);
  y = std::max(contentH_ - GetClientHeight(), 0);
}

int32_t TPixMView::GetMaximumViewX() {
  int32_t x, y;
  GetMaxViewXY(x, y);
  return x;
}

int32_t TPixMView::GetMaximumViewY() {
  int32_t x, y;
  GetMaxViewXY(x, y);
  return y;
}

void TPixMView::SetupScrollBar(int bar, int32_t maxV, int32_t view, int32_t clientSize, double& factor) {
  if (maxV == 0) {
    if (ScrollBarsAlwaysVisible) {
      EnableScrollBar(this, bar, ESB_DISABLE_BOTH);
      ShowScrollBar(this, bar, true);
    } else {
      ShowScrollBar(this, bar, false);
    }
    return;
  }
  factor = (double(clientSize) + maxV - 1) / 65536;
  SetScrollRange(this, bar, 0, 65535, false);
  SCROLLINFO info;
  info.fMask = SIF_PAGE;
  info.nPage = uint32_t(std::trunc(clientSize / factor));
  SetScrollInfo(this, bar, info, true);
  SetScrollPos(this, bar, int(std::trunc(view / factor)), false);
  EnableScrollBar(this, bar, ESB_ENABLE_BOTH);
  ShowScrollBar(this, bar, true);
}

void TPixMView::Update() {
  if (paintLock_ > 0 || updating_ || destroying_) return;
  if (IsDesigning()) {
    Invalidate();
    return;
  }
  updating_ = true;
  ClearCache();
  UpdateCoords();
  for (int pass = 0; pass < 9; ++pass) {
    const int cw = GetClientWidth(), ch = GetClientHeight();
    int32_t mx, my;
    GetMaxViewXY(mx, my);
    if (viewX_ > mx || viewY_ > my) {
      viewX_ = std::min(viewX_, mx);
      viewY_ = std::min(viewY_, my);
      ViewChange(0);
    }
    try {
      if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) SetupScrollBar(SB_HORZ, mx, viewX_, cw, hFactor_);
      if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) SetupScrollBar(SB_VERT, my, viewY_, ch, vFactor_);
    } catch (...) {
      // A bar that cannot be set up leaves the layout as it is.
    }
    if (cw == GetClientWidth() && ch == GetClientHeight()) break;
    UpdateCoords();
  }
  CallBitmapChangeEvents();
  updating_ = false;
  RefreshVisibleSnapshot();
  Invalidate();
}

void TPixMView::ViewChange(int Change) {
  if (OnViewChange) OnViewChange(this, Change);
}

void TPixMView::SetScrollBars(TScrollStyle s) {
  if (s != ssVertical && s != ssBoth) ShowScrollBar(this, SB_VERT, false);
  if (s != ssHorizontal && s != ssBoth) ShowScrollBar(this, SB_HORZ, false);
  scrollBars_ = s;
  Update();
}

void TPixMView::SetViewX(int32_t x) { SetViewXY(x, viewY_); }
void TPixMView::SetViewY(int32_t y) { SetViewXY(viewX_, y); }

void TPixMView::SetViewXY(int32_t x, int32_t y) {
  if (x == viewX_ && y == viewY_) return;
  int32_t mx, my;
  GetMaxViewXY(mx, my);
  viewX_ = std::clamp(x, 0, mx);
  viewY_ = std::clamp(y, 0, my);
  Invalidate();
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) SetScrollPos(this, SB_HORZ, int(viewX_ / hFactor_), true);
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) SetScrollPos(this, SB_VERT, int(viewY_ / vFactor_), true);
  RefreshVisibleSnapshot();
}

void TPixMView::CenterSelected() {
  TIEImageInfo* info = Info(selectedIndex_);
  if (!info) return;
  SetViewXY(info->X - (GetClientWidth() - thumbW_) / 2, info->Y - (GetClientHeight() - thumbH_) / 2);
}

void TPixMView::UpdateImage(int idx) {
  TIEImageInfo* info = Info(idx);
  if (!info) return;
  Update();
  const TRect r = Rect(info->X - viewX_, info->Y - viewY_, info->X - viewX_ + thumbW_, info->Y - viewY_ + thumbH_);
  InvalidateRect(&r, false);
}

// Hit testing ---------------------------------------------------------------------------------------------

int TPixMView::ImageAtGridPos(int row, int col) {
  const int64_t v = int64_t(col) + int64_t(row) * Columns();
  return Clamp32(v);
}

int TPixMView::ImageAtPos(int x, int y) {
  const int row = int((int64_t(y) + viewY_) / (vertBorder_ + thumbH_));
  const int col = int((int64_t(x) + viewX_) / (horizBorder_ + thumbW_));
  const int idx = ImageAtGridPos(row, col);
  if (idx >= GetImageCount()) return -1;
  if (idx < 0) return idx;
  TIEImageInfo* info = Info(idx);
  const int left = info->X - viewX_, top = info->Y - viewY_;
  return _InRect(x, y, left, top, left + thumbW_ - 1, top + thumbH_) ? idx : -1;
}

int TPixMView::InsertingPoint(int x, int y) {
  const int columns = Columns();
  int col = int((int64_t(x) + viewX_) / (horizBorder_ + thumbW_));
  const int row = int((int64_t(y) + viewY_) / (vertBorder_ + thumbH_));
  if (columns > 0 && col > columns) col = columns;
  return int(std::min<int64_t>(int64_t(col) + int64_t(row) * columns, GetImageCount()));
}

int TPixMView::GetImageVisibility(int idx) {
  TIEImageInfo* info = Info(idx);
  if (!info) return 0;
  const int left = info->X - viewX_, top = info->Y - viewY_;
  return _RectPRect(0, 0, GetClientWidth() - 1, GetClientHeight() - 1, left, top, left + thumbW_ - 1,
                    top + thumbH_ - 1);
}

bool TPixMView::IsVisible(int idx) {
  TIEImageInfo* info = Info(idx);
  if (!info) return false;
  const int left = info->X - viewX_, top = info->Y - viewY_;
  return _RectXRect(left, top, left + thumbW_ - 1, top + thumbH_ - 1, 0, 0, GetClientWidth() - 1,
                    GetClientHeight() - 1);
}

// Messages --------------------------------------------------------------------------------------------------

void TPixMView::ScrollMessage(int bar, int code, int pos) {
  const bool horizontal = bar == SB_HORZ;
  const TIEScrollBarParams* params = horizontal ? HorzScrollBarParams : VertScrollBarParams;
  const int64_t now = horizontal ? viewX_ : viewY_;
  const int pitch = horizontal ? thumbW_ + horizBorder_ : thumbH_ + vertBorder_;
  const int client = horizontal ? GetClientWidth() : GetClientHeight();
  const double factor = horizontal ? hFactor_ : vFactor_;
  int64_t next = now;
  switch (code) {
    case SB_LINEUP: next = now - (params->LineStep == -1 ? pitch : params->LineStep); break;
    case SB_LINEDOWN: next = now + (params->LineStep == -1 ? pitch : params->LineStep); break;
    case SB_PAGEUP: next = now - (params->PageStep == -1 ? client : params->PageStep); break;
    case SB_PAGEDOWN: next = now + (params->PageStep == -1 ? client : params->PageStep); break;
    case SB_THUMBTRACK:
      if (!params->ThumbTracking) return;
      [[fallthrough]];
    case SB_THUMBPOSITION: next = int64_t(std::trunc(pos * factor)); break;
    case SB_TOP: next = 0; break;
    case SB_BOTTOM: next = horizontal ? GetMaximumViewX() : GetMaximumViewY(); break;
    default: return;
  }
  if (horizontal)
    SetViewX(Clamp32(next));
  else
    SetViewY(Clamp32(next));
}

void TPixMView::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_SIZE:
      TIEView::Dispatch(message);
      Update();
      return;
    case WM_ERASEBKGND:
      message.Result = 0;
      return;
    case WM_HSCROLL:
    case WM_VSCROLL: {
      TIEView::Dispatch(message);
      const TWMScroll scroll(message);
      ScrollMessage(message.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, scroll.ScrollCode, scroll.Pos);
      return;
    }
    case WM_MOUSEWHEEL: {
      TIEView::Dispatch(message);
      const TWMMouseWheel wheel(message);
      const int pitch = thumbH_ + vertBorder_;
      SetViewY(Clamp32(int64_t(viewY_) + (wheel.WheelDelta > 0 ? -pitch : pitch)));
      message.Result = 1;
      return;
    }
    case WM_LBUTTONDBLCLK:
      doubleClick_ = true;
      TIEView::Dispatch(message);
      return;
    case WM_TIMER:
      if (message.WParam == kPlayTimer) {
        PlayFrame();
      } else if (message.WParam == kLoadTimer) {
        // Loaders finish on their own threads; the repaint they ask for is
        // done here, on the GUI thread.
        if (repaintDue_.exchange(false)) Invalidate();
        if (!LoadsPending()) {
          KillTimer(this, kLoadTimer);
          loadTimerOn_ = false;
        }
      }
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TIEView::Dispatch(message);
      Invalidate();
      return;
    case CM_WANTSPECIALKEY: {
      TIEView::Dispatch(message);
      const TWMKey key(message);
      if (key.CharCode >= 33 && key.CharCode <= 40) message.Result = 1;
      return;
    }
    default:
      TIEView::Dispatch(message);
  }
}

// Mouse -----------------------------------------------------------------------------------------------------

void TPixMView::SelectAtPos(int x, int y, TShiftState Shift) {
  const bool held = multiSelectHeld_;
  if (Shift & (ssShift | ssCtrl)) multiSelectHeld_ = true;
  const int a = ImageAtPos(x, y);
  if (a < 0 || (a == selectedIndex_ && !(multiSelectHeld_ && enableMultiSelect_))) {
    multiSelectHeld_ = held;
    return;
  }
  const int b = selectedIndex_;
  if ((Shift & ssShift) && enableMultiSelect_ && b >= 0) {
    if (MultiSelectionOptions & iemoRegion) {
      const int r1 = std::min(GetImageRow(a), GetImageRow(b)), r2 = std::max(GetImageRow(a), GetImageRow(b));
      const int c1 = std::min(GetImageCol(a), GetImageCol(b)), c2 = std::max(GetImageCol(a), GetImageCol(b));
      for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c) {
          const int i = ImageAtGridPos(r, c);
          if (i >= 0 && i < GetImageCount() && i != selectedIndex_ && i != a && !IsSelected(i)) SetSelectedItemNU(i);
        }
    } else {
      const int step = a > b ? 1 : -1;
      for (int i = b + step; i != a; i += step)
        if (!IsSelected(i)) SetSelectedItemNU(i);
    }
  }
  SetSelectedItemNU(a);
  if (VisibleSelection) Update();
  if (OnImageSelect) OnImageSelect(this, selectedIndex_);
  CallBitmapChangeEvents();
  multiSelectHeld_ = held;
}

void TPixMView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TIEView::MouseDown(Button, Shift, X, Y);
  if (doubleClick_) {
    doubleClick_ = false;
    return;
  }
  if (CanFocus()) SetFocus();
  downPoint_ = TPoint{X, Y};
  downViewX_ = viewX_;
  downViewY_ = viewY_;
  downImage_ = lastMoveImage_ = ImageAtPos(X, Y);
}

void TPixMView::MouseMove(TShiftState Shift, int X, int Y) {
  TIEView::MouseMove(Shift, X, Y);
  if (!(Shift & (ssLeft | ssRight | ssMiddle)) || playing_) return;
  if ((MouseInteract & mmiSelect) && enableMultiSelect_) {
    const int under = ImageAtPos(X, Y);
    if (under != lastMoveImage_) {
      lastMoveImage_ = under;
      const bool held = multiSelectHeld_, keep = keepOnReselect_;
      multiSelectHeld_ = false;
      keepOnReselect_ = true;
      DeselectNU();
      SetSelectedItemNU(downImage_ >= 0 ? downImage_ : 0);
      multiSelectHeld_ = held;
      SelectAtPos(X, Y, ssShift);
      keepOnReselect_ = keep;
    }
  }
  if (MouseInteract & mmiScroll) SetViewXY(downViewX_ + downPoint_.x - X, downViewY_ + downPoint_.y - Y);
}

void TPixMView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TIEView::MouseUp(Button, Shift, X, Y);
  if (playing_ || Button != mbLeft) return;
  if (MouseInteract & mmiSelect) SelectAtPos(X, Y, Shift);
  if (MouseInteract & mmiScroll) SetViewXY(downViewX_ + downPoint_.x - X, downViewY_ + downPoint_.y - Y);
}
