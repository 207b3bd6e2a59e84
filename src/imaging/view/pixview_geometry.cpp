// Layout, zoom, scrolling, scroll bars, the wheel and coordinate mapping.
// Round is to the nearest with halves to even, Trunc toward zero.
#include <algorithm>
#include <cmath>
#include <limits>

#include "imaging/core/iemask.h"
#include "imaging/view/pixview.h"
#include "imaging/view/pixview_math.h"
#include "platform/controls.h"

int TPixView::GetClientWidth() const { return HasParentWindow() ? TIEView::GetClientWidth() : 50; }

int TPixView::GetClientHeight() const { return HasParentWindow() ? TIEView::GetClientHeight() : 50; }

bool TPixView::HasParentWindow() const { return GetParent() != nullptr; }

void TPixView::AutoZoomEdges(int& ex, int& ey) const {
  ex = ey = 0;
  if (backgroundStyle_ == iebsCropped) ex = gEdgeX, ey = gEdgeY;
  if (backgroundStyle_ == iebsCropShadow) ex = ey = 5;
}

void TPixView::ApplyZoom(double z) {
  zoom_ = z;
  zoomFactor_ = z / 100;
  inverseFactor_ = 100 / z;
}

// Update -------------------------------------------------------------------------------------------

void TPixView::Update() {
  const TComponentState state = ComponentState;
  if (state == csDesigning && !HasParentWindow()) return;
  if (state != 0 && state != csDesigning && state != csFreeNotification) return;
  // Scroll bars taking or giving back room re-enter Update; the room only
  // shrinks as bars appear, so a few levels always settle.
  if (updateDepth_ > 4) return;
  ++updateDepth_;
  struct DepthGuard {
    int& depth;
    ~DepthGuard() { --depth; }
  } guard{updateDepth_};

  const int32_t pw = bitmap_->GetWidth(), ph = bitmap_->GetHeight();
  if ((AutoStretch || AutoShrink || AutoFit) && pw != 0 && ph != 0) {
    int ex, ey;
    AutoZoomEdges(ex, ey);
    double z = 100;
    if (pw > 1 || ph > 1)
      z = GetOptimalZoom(pw, ph, GetClientWidth() - 2 * ex, GetClientHeight() - 2 * ey, AutoStretch || AutoFit,
                         AutoShrink || AutoFit);
    ApplyZoom(std::max(z, 1.0));
    ViewChange(1);
  }

  if (pw != rememberedW_ || ph != rememberedH_) {
    rememberedW_ = pw;
    rememberedH_ = ph;
    if (HasSelection) DeSelect();
    SelectionMask->AllocateBits(pw, ph, 1);
    if (alpha_ && (alpha_->Width != pw || alpha_->Height != ph)) {
      alpha_->AllocateBits(pw, ph, 8);
      alpha_->Fill(255);
    }
  }

  if (!IsDesigning()) {
    const int cw = GetClientWidth(), ch = GetClientHeight();
    int32_t maxX, maxY;
    GetMaxViewXY(maxX, maxY);
    bool moved = false;
    if (viewX_ > maxX) viewX_ = maxX, moved = true;
    if (viewY_ > maxY) viewY_ = maxY, moved = true;
    if (moved) ViewChange(0);
    if (HasParentWindow()) {
      try {
        if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth)
          UpdateScrollBar(SB_HORZ, maxX, viewX_, cw, HorzScrollScale, HorzBarShown);
        if (scrollBars_ == ssVertical || scrollBars_ == ssBoth)
          UpdateScrollBar(SB_VERT, maxY, viewY_, ch, VertScrollScale, VertBarShown);
      } catch (...) {
        // A window without a handle; the layout below still holds.
      }
    }
    if (GetClientWidth() != cw || GetClientHeight() != ch) Update();
  }

  ExtentX = RoundI(pw * zoomFactor_);
  ExtentY = RoundI(ph * zoomFactor_);
  OffsetX = OffsetY = 0;
  if (IsDesigning()) {
    VisibleW = std::min(ExtentX, GetWidth());
    VisibleH = std::min(ExtentY, GetHeight());
  } else {
    const int cw = GetClientWidth(), ch = GetClientHeight();
    VisibleW = std::min(ExtentX, cw);
    VisibleH = std::min(ExtentY, ch);
    if (center_) {
      if (VisibleW < cw) OffsetX = (cw - VisibleW) / 2;
      if (VisibleH < ch) OffsetY = (ch - VisibleH) / 2;
    }
  }
  dirty_ = true;
  wholeClientPaint_ = true;
  if (HasParentWindow() && InvalidateOnUpdate && !updateNoPaint_) Invalidate();
}

void TPixView::UpdateNoPaint() {
  updateNoPaint_ = true;
  try {
    Update();
  } catch (...) {
    updateNoPaint_ = false;
    throw;
  }
  updateNoPaint_ = false;
}

// The bar runs over 0..65535 whatever the picture's size; the scale turns
// zoomed pixels into bar units.
void TPixView::UpdateScrollBar(int bar, int32_t maxV, int32_t view, int32_t clientSize, double& scale,
                               bool& shown) {
  if (maxV < 1) {
    if (scrollBarsAlwaysVisible_) {
      shown = true;
      EnableScrollBar(this, bar, ESB_DISABLE_BOTH);
      ShowScrollBar(this, bar, true);
    } else {
      shown = false;
      ShowScrollBar(this, bar, false);
    }
    return;
  }
  shown = true;
  scale = (double(clientSize) + maxV) / 65536;
  SetScrollRange(this, bar, 0, 65535, false);
  SCROLLINFO info;
  info.fMask = SIF_PAGE;
  info.nPage = uint32_t(TruncI(clientSize / scale));
  SetScrollInfo(this, bar, info, true);
  SetScrollPos(this, bar, TruncI(view / scale), false);
  EnableScrollBar(this, bar, ESB_ENABLE_BOTH);
  ShowScrollBar(this, bar, true);
}

void TPixView::GetMaxViewXY(int32_t& maxX, int32_t& maxY) {
  const int64_t a = TruncI((bitmap_->GetWidth() + 0.5) * zoomFactor_);
  const int64_t b = TruncI((bitmap_->GetHeight() + 0.5) * zoomFactor_);
  maxX = maxY = 0;
  if (a < 1 || b < 1) return;
  maxX = int32_t(std::max<int64_t>(a - GetClientWidth(), 0));
  maxY = int32_t(std::max<int64_t>(b - GetClientHeight(), 0));
  if (maxX > 0 && XScr2Bmp(maxX) == 0) maxX = 0;
  if (maxY > 0 && YScr2Bmp(maxY) == 0) maxY = 0;
  if (GetWidth() >= a && GetHeight() >= b) maxX = maxY = 0;
}

// Zoom -------------------------------------------------------------------------------------------

void TPixView::ArmCountdowns() {
  if (DelayZoomFilter && zoomFilter_ != rfNone && zoom_ != 100) FilterCountdown = 2;
  OutlineCountdown = 2;
}

void TPixView::SetZoom(double z) {
  if (!(z > 0) || z == zoom_) return;
  ArmCountdowns();
  LockPaint();
  // The picture point at the client centre stays there.
  const int hx = GetClientWidth() / 2, hy = GetClientHeight() / 2;
  const double bx = RoundI((hx + viewX_ - OffsetX) * inverseFactor_);
  const double by = RoundI((hy + viewY_ - OffsetY) * inverseFactor_);
  const double oldZoom = zoom_;
  ApplyZoom(z);
  int32_t maxX, maxY;
  GetMaxViewXY(maxX, maxY);
  ApplyZoom(oldZoom);
  viewX_ = std::clamp(TruncI(bx * z / 100 - hx), 0, maxX);
  viewY_ = std::clamp(TruncI(by * z / 100 - hy), 0, maxY);
  ApplyZoom(z);
  Update();
  NPUnLockPaint();
  Paint();
  LockPaint();
  Update();
  NPUnLockPaint();
  ViewChange(1);
}

void TPixView::ZoomAt(int x, int y, double z) {
  LockPaint();
  const int32_t bx = XScr2Bmp(x), by = YScr2Bmp(y);
  SetZoom(z);
  const double f = zoom_ / 100;
  SetViewXY(TruncI(f * bx - GetClientWidth() / 2), TruncI(f * by - GetClientHeight() / 2));
  UnLockPaint();
}

double TPixView::GetFitValue() {
  int ex, ey;
  AutoZoomEdges(ex, ey);
  const double w = bitmap_->GetWidth(), h = bitmap_->GetHeight();
  if (w == 0 || h == 0) return 100;
  return std::min((GetWidth() - 2 * ex) / (w / 100), (GetHeight() - 2 * ey) / (h / 100));
}

void TPixView::Fit() {
  if (bitmap_->GetWidth() != 0 && bitmap_->GetHeight() != 0) SetZoom(GetFitValue());
}

void TPixView::FitToWidth() {
  const double w = bitmap_->GetWidth();
  if (w == 0 || bitmap_->GetHeight() == 0) return;
  int ex, ey;
  AutoZoomEdges(ex, ey);
  LockPaint();
  SetZoom((GetWidth() - 2 * ex) / (w / 100));
  SetZoom(GetClientWidth() / (w / 100));
  UnLockPaint();
}

void TPixView::FitToHeight() {
  const double h = bitmap_->GetHeight();
  if (h == 0 || bitmap_->GetWidth() == 0) return;
  int ex, ey;
  AutoZoomEdges(ex, ey);
  LockPaint();
  SetZoom((GetHeight() - 2 * ey) / (h / 100));
  SetZoom(GetClientHeight() / (h / 100));
  UnLockPaint();
}

double TPixView::GetOptimalZoom(int ImageWidth, int ImageHeight, int AreaWidth, int AreaHeight, bool Enlarge,
                                bool Reduce) {
  if (ImageWidth == 0 || ImageHeight == 0 || AreaWidth == 0 || AreaHeight == 0) return 100;
  try {
    const bool widthDecides = double(ImageWidth) / AreaWidth > double(ImageHeight) / AreaHeight;
    const bool larger = widthDecides ? ImageWidth > AreaWidth : ImageHeight > AreaHeight;
    if (larger ? Reduce : Enlarge) return GetFitValue();
    return 100;
  } catch (...) {
    return 100;
  }
}

void TPixView::ZoomSelection() {
  if (!HasSelection) return;
  const int32_t x1 = GetSelX1(), y1 = GetSelY1();
  if (x1 < 0 || y1 < 0) return;
  const int64_t w = int64_t(GetSelX2()) - x1 + 1, h = int64_t(GetSelY2()) - y1 + 1;
  if (w <= 1 || h <= 1) return;
  LockPaint();
  DeSelect();
  SetZoom(std::min(GetHeight() / (h / 100.0), GetWidth() / (w / 100.0)));
  const double f = zoom_ / 100;
  SetViewXY(TruncI(x1 * f) - (GetClientWidth() - TruncI(w * f)) / 2,
            TruncI(y1 * f) - (GetClientHeight() - TruncI(h * f)) / 2);
  UnLockPaint();
}

int TPixView::GetIdealComponentWidth() {
  int w = TruncI(bitmap_->GetWidth() / 100.0 * zoom_) + 1;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) w += GetWidth() - GetClientWidth();
  return w;
}

int TPixView::GetIdealComponentHeight() {
  int h = TruncI(bitmap_->GetHeight() / 100.0 * zoom_) + 1;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) h += GetHeight() - GetClientHeight();
  return h;
}

void TPixView::SetZoomFilter(TResampleFilter f) {
  if (f == zoomFilter_) return;
  zoomFilter_ = f;
  Update();
}

void TPixView::SetCenter(bool b) {
  if (b == center_) return;
  center_ = b;
  Update();
}

// Scrolling ----------------------------------------------------------------------------------------

void TPixView::ViewMoved(bool horizontal, bool vertical) {
  dirty_ = true;
  wholeClientPaint_ = true;
  Paint();
  ViewChange(0);
  if (HasSelection) AniPolyFunc(this, true);
  if (!HasParentWindow()) return;
  if (horizontal && (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth))
    SetScrollPos(this, SB_HORZ, TruncI(viewX_ / HorzScrollScale), true);
  if (vertical && (scrollBars_ == ssVertical || scrollBars_ == ssBoth))
    SetScrollPos(this, SB_VERT, TruncI(viewY_ / VertScrollScale), true);
}

void TPixView::SetViewXY(int32_t x, int32_t y) {
  if (x == viewX_ && y == viewY_) return;
  int32_t maxX, maxY;
  GetMaxViewXY(maxX, maxY);
  x = std::clamp(x, 0, maxX);
  y = std::clamp(y, 0, maxY);
  if (x == viewX_ && y == viewY_) return;
  viewX_ = x;
  viewY_ = y;
  ArmCountdowns();
  ViewMoved(true, true);
}

void TPixView::SetViewX(int32_t x) {
  if (x == viewX_) return;
  ArmCountdowns();
  int32_t maxX, maxY;
  GetMaxViewXY(maxX, maxY);
  viewX_ = std::clamp(x, 0, maxX);
  ViewMoved(true, false);
}

void TPixView::SetViewY(int32_t y) {
  if (y == viewY_) return;
  ArmCountdowns();
  int32_t maxX, maxY;
  GetMaxViewXY(maxX, maxY);
  viewY_ = std::clamp(y, 0, maxY);
  ViewMoved(false, true);
}

void TPixView::SetScrollBars(TScrollStyle style) {
  scrollBars_ = style;
  if (style != ssVertical && style != ssBoth) ShowScrollBar(this, SB_VERT, false);
  if (style != ssHorizontal && style != ssBoth) ShowScrollBar(this, SB_HORZ, false);
  Update();
}

void TPixView::SetScrollBarsAlwaysVisible(bool b) {
  scrollBarsAlwaysVisible_ = b;
  Update();
}

// Coordinates ------------------------------------------------------------------------------------------

int32_t TPixView::XScr2Bmp(int32_t x) const { return TruncI((x - OffsetX) * inverseFactor_ + SrcX); }

int32_t TPixView::YScr2Bmp(int32_t y) const { return TruncI((y - OffsetY) * inverseFactor_ + SrcY); }

int32_t TPixView::XBmp2Scr(int32_t x) const {
  return RoundI((RoundI(-viewX_ * inverseFactor_) + double(x)) * zoomFactor_ + OffsetX);
}

int32_t TPixView::YBmp2Scr(int32_t y) const {
  return RoundI((RoundI(-viewY_ * inverseFactor_) + double(y)) * zoomFactor_ + OffsetY);
}

// Messages ---------------------------------------------------------------------------------------------

void TPixView::ScrollMessage(int bar, int code, int pos) {
  const bool horizontal = bar == SB_HORZ;
  const TIEScrollBarParams* params = horizontal ? HorzScrollBarParams : VertScrollBarParams;
  const int32_t clientSize = horizontal ? GetClientWidth() : GetClientHeight();
  const double scale = horizontal ? HorzScrollScale : VertScrollScale;
  const int32_t u = std::max(TruncI(zoomFactor_), 1);
  const int64_t now = horizontal ? viewX_ : viewY_;
  int64_t next = now;
  switch (code) {
    case SB_LINEUP: next = now - (params->LineStep == -1 ? u : int64_t(u) * params->LineStep); break;
    case SB_LINEDOWN: next = now + (params->LineStep == -1 ? u : int64_t(u) * params->LineStep); break;
    case SB_PAGEUP: next = now - (params->PageStep == -1 ? clientSize : int64_t(u) * params->PageStep); break;
    case SB_PAGEDOWN: next = now + (params->PageStep == -1 ? clientSize : int64_t(u) * params->PageStep); break;
    case SB_THUMBTRACK:
      if (!params->ThumbTracking) return;
      [[fallthrough]];
    case SB_THUMBPOSITION: next = TruncI(pos * scale); break;
    case SB_TOP: next = 0; break;
    case SB_BOTTOM: {
      int32_t maxX, maxY;
      GetMaxViewXY(maxX, maxY);
      next = horizontal ? maxX : maxY;
      break;
    }
    default: return;
  }
  const int32_t clamped = int32_t(std::clamp<int64_t>(next, std::numeric_limits<int32_t>::min(),
                                                       std::numeric_limits<int32_t>::max()));
  if (horizontal)
    SetViewX(clamped);
  else
    SetViewY(clamped);
}

void TPixView::MouseWheel(const TMessage& message) {
  const TWMMouseWheel wheel(message);
  int d = wheel.WheelDelta > 0 ? -1 : 1;
  if (WheelParams->Invert) d = -d;
  if (WheelParams->Action == iemwVScroll) {
    const int64_t step = WheelParams->AmountKind == iemwAbsolute
                             ? int64_t(std::max(TruncI(zoomFactor_), 1)) * WheelParams->Amount
                             : std::max(RoundI(GetClientHeight() * WheelParams->Amount / 100.0), 1);
    SetViewY(int32_t(std::clamp<int64_t>(viewY_ + step * d, INT32_MIN, INT32_MAX)));
  } else if (WheelParams->Action == iemwZoom) {
    const double z = WheelParams->AmountKind == iemwAbsolute
                         ? zoom_ + double(WheelParams->Amount) * d
                         : zoom_ + std::max(RoundI(WheelParams->Amount * zoom_ / 100), 1) * d;
    if (WheelParams->ZoomAnchor == iemwCenter) {
      SetZoom(z);
    } else {
      const TPoint p = ScreenToClient(TPoint{wheel.XPos, wheel.YPos});
      ZoomAt(p.x, p.y, z);
    }
  }
}

void TPixView::Dispatch(TMessage& message) {
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
    case WM_MOUSEWHEEL:
      if (WheelParams->Action == iemwNone) return TIEView::Dispatch(message);
      MouseWheel(message);
      message.Result = 1;
      return;
    case WM_LBUTTONDBLCLK: {
      // The framework's handling runs MouseDown for the second press first.
      TIEView::Dispatch(message);
      DoubleClickPress(KeysToShiftState(uint32_t(TWMMouse(message).Keys)));
      return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TIEView::Dispatch(message);
      Invalidate();
      return;
    case CM_WANTSPECIALKEY: {
      TIEView::Dispatch(message);
      const TWMKey key(message);
      if (key.CharCode >= 33 && key.CharCode <= 40) {
        message.Result = 1;
        Word k = key.CharCode;
        KeyUp(k, KeyDataToShiftState(key.KeyData));
      }
      return;
    }
    default:
      TIEView::Dispatch(message);
  }
}
