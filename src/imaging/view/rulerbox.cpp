#include "imaging/view/rulerbox.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/canvas.h"
#include "platform/forms.h"
#include "platform/input.h"
#include "platform/messages.h"
#include "platform/sysutils.h"

namespace {

// Ticks beyond this many per pass are not drawn: a scale that small
// would fill the strip anyway.
constexpr int64_t kMaxTicks = 1'000'000;

}  // namespace

TRulerBox::TRulerBox(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csOpaque;
  buffer_.SetPixelFormat(pf24bit);
  grips_.push_back(TGrip{0, background_, gkTriangle, viewMin_, viewMax_});
  SetBounds(GetLeft(), GetTop(), 300, 40);
}

TRulerBox::~TRulerBox() = default;

// Geometry -------------------------------------------------------------------------

int TRulerBox::Length() const {
  return rulerDir_ == rdHorizontal ? buffer_.GetWidth() : buffer_.GetHeight();
}

int TRulerBox::Pixel(double value) const {
  const double p = (value - viewPos_) * dotPerUnit_;
  if (!std::isfinite(p)) return 0;
  return int(Round(std::clamp(p, -1e9, 1e9)));
}

double TRulerBox::Units(double pixels) const { return dotPerUnit_ > 0 ? pixels / dotPerUnit_ : 0; }

int TRulerBox::GetRulerHeight() {
  if (!ruler_) return 0;
  return int(std::trunc(std::abs(GetFont()->Height) * 1.7)) + 3;
}

double TRulerBox::GetWidthInUnit() { return Units(Length()); }

int TRulerBox::GetXGripPos(int index) {
  if (!ValidGrip(index)) return 0;
  // At design time the grips stand side by side where they can be picked.
  if (ComponentState & csDesigning) return index * (gripBaseDim_ + 5);
  return Pixel(grips_[index].Pos);
}

std::vector<TPoint> TRulerBox::GetGripPoly(int index) {
  const int W = buffer_.GetWidth(), H = buffer_.GetHeight(), RH = GetRulerHeight();
  const bool horizontal = rulerDir_ == rdHorizontal;
  const int far = horizontal ? H - 1 : W - 1;
  const int y0 = gripsDir_ == gdUp ? far : 0;
  const int c = gripsDir_ == gdUp ? RH : far - RH;
  const int b = GetXGripPos(index);
  const int h = gripBaseDim_ / 2, q = gripBaseDim_ / 4;
  std::vector<TPoint> points;
  switch (ValidGrip(index) ? grips_[index].Kind : gkTriangle) {
    case gkTriangle: points = {{b - h, y0}, {b + h, y0}, {b, c}}; break;
    case gkLeftTriangle: points = {{b - h, y0}, {b, y0}, {b, c}}; break;
    case gkRightTriangle: points = {{b, y0}, {b + h, y0}, {b, c}}; break;
    case gkArrow: {
      const int m = gripsDir_ == gdUp ? c + (y0 - c) / 3 : y0 + ((c - y0) / 3) * 2;
      points = {{b - q, y0}, {b + q, y0}, {b + q, m}, {b + h, m}, {b, c}, {b - h, m}, {b - q, m}};
      break;
    }
    case gkArrow2: {
      const int m = gripsDir_ == gdUp ? c + (y0 - c) / 2 : y0 + (c - y0) / 2;
      points = {{b - h, y0}, {b + h, y0}, {b + h, m}, {b, c}, {b - h, m}};
      break;
    }
  }
  if (!horizontal)
    for (TPoint& p : points) std::swap(p.x, p.y);
  return points;
}

void TRulerBox::GetGripRect(int index, TRect& rect) {
  const std::vector<TPoint> points = GetGripPoly(index);
  rect = TRect{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const TPoint& p : points) {
    rect.Left = std::min(rect.Left, p.x);
    rect.Top = std::min(rect.Top, p.y);
    rect.Right = std::max(rect.Right, p.x);
    rect.Bottom = std::max(rect.Bottom, p.y);
  }
  ++rect.Right;
  ++rect.Bottom;
}

int TRulerBox::GetClickedGrip(int X, int Y) {
  for (int i = GetGripsCount() - 1; i >= 0; --i) {
    TRect r;
    GetGripRect(i, r);
    if (X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom) return i;
  }
  return -1;
}

// Limits ---------------------------------------------------------------------------

void TRulerBox::AdjustViewLimits() {
  if (!(viewMin_ < viewMax_)) return;
  const double visible = Units(buffer_.GetWidth());
  if (viewPos_ < viewMin_)
    viewPos_ = viewMin_;
  else if (viewMax_ - visible < viewPos_)
    viewPos_ = viewMax_ - visible;
}

void TRulerBox::AdjustGripLimits(int index) {
  if (!ValidGrip(index)) return;
  const TGrip& g = grips_[index];
  if (!(g.Max > g.Min)) return;
  if (g.Pos < g.Min)
    SetGripsPos(index, g.Min);
  else if (g.Pos > g.Max)
    SetGripsPos(index, g.Max);
}

// Properties ------------------------------------------------------------------------

void TRulerBox::SetViewPos(double value) {
  viewPos_ = value;
  AdjustViewLimits();
  Update();
  Paint();
}

void TRulerBox::SetBackground(TColor value) {
  background_ = value;
  Update();
}

void TRulerBox::SetGripBaseDim(int value) {
  gripBaseDim_ = value;
  Update();
}

void TRulerBox::SetGripsDir(TGripsDir value) {
  gripsDir_ = value;
  Update();
}

void TRulerBox::SetRuler(bool value) {
  ruler_ = value;
  Update();
}

void TRulerBox::SetDPU(double value) {
  if ((ComponentState & csDesigning) && fitInView_) return;
  dotPerUnit_ = value;
  Update();
  Paint();
}

void TRulerBox::SetFrequency(double value) {
  frequency_ = value;
  Update();
  Paint();
}

void TRulerBox::SetLabelFreq(double value) {
  labelFreq_ = value;
  Update();
  Paint();
}

void TRulerBox::SetRulerColor(TColor value) {
  rulerColor_ = value;
  Update();
}

void TRulerBox::SetRulerDir(TRulerDir value) {
  rulerDir_ = value;
  Update();
}

void TRulerBox::SetViewMin(double value) {
  viewMin_ = value;
  AdjustViewLimits();
  for (TGrip& g : grips_) g.Min = value;
  Update();
}

void TRulerBox::SetViewMax(double value) {
  viewMax_ = value;
  AdjustViewLimits();
  for (TGrip& g : grips_) g.Max = value;
  Update();
}

void TRulerBox::SetFitInView(bool value) {
  fitInView_ = value;
  Update();
}

void TRulerBox::SetGripsCount(int value) {
  value = std::max(value, 0);
  if (value == GetGripsCount()) return;
  if (value < GetGripsCount())
    grips_.resize(size_t(value));
  else
    while (GetGripsCount() < value) grips_.push_back(TGrip{0, background_, gkTriangle, viewMin_, viewMax_});
  Update();
}

void TRulerBox::SetHexLabels(bool value) {
  hexLabels_ = value;
  Update();
}

double TRulerBox::GetGripsPos(int index) const { return ValidGrip(index) ? grips_[index].Pos : 0; }

void TRulerBox::SetGripsPos(int index, double value) {
  if (!ValidGrip(index)) return;
  grips_[index].Pos = value;
  AdjustGripLimits(index);
  if (OnRulerPosChange) OnRulerPosChange(this, index);
  Update();
  Paint();
}

TColor TRulerBox::GetGripsCol(int index) const { return ValidGrip(index) ? grips_[index].Color : TColor(0); }

void TRulerBox::SetGripsCol(int index, TColor value) {
  if (!ValidGrip(index)) return;
  grips_[index].Color = value;
  Update();
}

TGripKind TRulerBox::GetGripsKind(int index) const {
  return ValidGrip(index) ? grips_[index].Kind : TGripKind(0);
}

void TRulerBox::SetGripsKind(int index, TGripKind value) {
  if (!ValidGrip(index)) return;
  grips_[index].Kind = value;
  Update();
}

double TRulerBox::GetGripsMin(int index) const { return ValidGrip(index) ? grips_[index].Min : 0; }

void TRulerBox::SetGripsMin(int index, double value) {
  if (!ValidGrip(index)) return;
  grips_[index].Min = value;
  for (int i = 0; i < GetGripsCount(); ++i) AdjustGripLimits(i);
  Update();
}

double TRulerBox::GetGripsMax(int index) const { return ValidGrip(index) ? grips_[index].Max : 0; }

void TRulerBox::SetGripsMax(int index, double value) {
  if (!ValidGrip(index)) return;
  grips_[index].Max = value;
  for (int i = 0; i < GetGripsCount(); ++i) AdjustGripLimits(i);
  Update();
}

// Drawing ---------------------------------------------------------------------------

void TRulerBox::Update() {
  // A range of no width cannot be fitted.
  if (fitInView_ && viewMax_ > viewMin_) {
    dotPerUnit_ = buffer_.GetWidth() / (viewMax_ - viewMin_);
    AdjustViewLimits();
  }
  Redraw();
}

void TRulerBox::Redraw() {
  drawn_ = {};
  shown_ = {};
  Invalidate();
}

TRulerBox::TSpan TRulerBox::SpanOf(const TRect& area) const {
  return rulerDir_ == rdHorizontal ? TSpan{area.Left, area.Right} : TSpan{area.Top, area.Bottom};
}

TRect TRulerBox::AreaOf(const TSpan& span) const {
  return rulerDir_ == rdHorizontal ? TRect{span.From, 0, span.To, buffer_.GetHeight()}
                                   : TRect{0, span.From, buffer_.GetWidth(), span.To};
}

TRect TRulerBox::VisibleRect() {
  TRect visible = GetClientRect();
  for (TWinControl* parent = GetParent(); parent; parent = parent->GetParent()) {
    const TPoint origin = ScreenToClient(parent->ClientToScreen(TPoint{0, 0}));
    TRect area = parent->GetClientRect();
    OffsetRect(area, origin.x, origin.y);
    if (!IntersectRect(visible, visible, area)) return TRect{};
  }
  return visible;
}

void TRulerBox::Render(const TSpan& wanted) {
  const TSpan span{std::max(wanted.From, 0), std::min(wanted.To, Length())};
  if (span.Empty() || drawn_.Holds(span)) return;
  TCanvas* canvas = buffer_.GetCanvas();
  canvas->IntersectClipRect(AreaOf(span));
  RepaintGrips(span);
  RepaintStrip(span);
  canvas->SelectClipRegion(nullptr);
  // Kept as one stretch: a drawn part that touches the new one grows.
  if (drawn_.Empty() || span.To < drawn_.From || drawn_.To < span.From)
    drawn_ = span;
  else
    drawn_ = {std::min(drawn_.From, span.From), std::max(drawn_.To, span.To)};
}

void TRulerBox::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect area;
  if (!IntersectRect(area, canvas->GetClipRect(), VisibleRect())) return;
  const TSpan span = SpanOf(area);
  Render(span);
  // The whole breadth of the stretch is copied, so what is on screen is
  // one stretch too.
  const TRect copy = AreaOf(span);
  canvas->CopyRect(copy, buffer_.GetCanvas(), copy);
  if (shown_.Empty() || span.To < shown_.From || shown_.To < span.From)
    shown_ = span;
  else
    shown_ = {std::min(shown_.From, span.From), std::max(shown_.To, span.To)};
}

void TRulerBox::Exposing(const TRect& area) {
  // Only what the parents let through gets painted, so only that can be
  // missing: asking for more would paint again at every exposure.
  TRect seen;
  if (!IntersectRect(seen, area, VisibleRect())) return;
  if (!shown_.Holds(SpanOf(seen))) InvalidateRect(&seen, false);
}

void TRulerBox::RepaintGrips(const TSpan& span) {
  const int W = buffer_.GetWidth(), H = buffer_.GetHeight(), RH = GetRulerHeight();
  TRect area;
  if (rulerDir_ == rdHorizontal)
    area = gripsDir_ == gdUp ? TRect{0, RH, W, H} : TRect{0, 0, W, H - RH};
  else
    area = gripsDir_ == gdUp ? TRect{RH, 0, W, H} : TRect{0, 0, W - RH, H};
  IntersectRect(area, area, AreaOf(span));
  TCanvas* canvas = buffer_.GetCanvas();
  canvas->Brush->Style = bsSolid;
  canvas->Brush->Color = background_;
  canvas->FillRect(area);
  canvas->Pen->Color = clBlack;
  canvas->Pen->Style = psSolid;
  for (int i = 0; i < GetGripsCount(); ++i) {
    canvas->Brush->Color = grips_[i].Color;
    canvas->Polygon(GetGripPoly(i));
  }
}

std::string RulerLabelText(double value, bool hex) {
  if (hex) {
    const double magnitude = std::trunc(std::abs(value));
    const auto digits = magnitude < 9.2e18 ? IntToHex(int64_t(magnitude), 1) : std::string("0");
    return (value < 0 ? "-" : "") + digits;
  }
  // General format, 15 significant digits, exponents with a sign and at
  // least three digits.
  std::string text = FloatToStr(value);
  const size_t e = text.find('E');
  if (e == std::string::npos) return text;
  std::string exponent = text.substr(e + 1);
  const bool negative = !exponent.empty() && exponent[0] == '-';
  if (negative) exponent.erase(0, 1);
  while (exponent.size() < 3) exponent.insert(0, "0");
  return text.substr(0, e) + (negative ? "E-" : "E+") + exponent;
}

void TRulerBox::DrawTicks(double step, bool labelled, const TSpan& span) {
  if (!(step > 0) || !(dotPerUnit_ > 0)) return;
  const int W = buffer_.GetWidth(), H = buffer_.GetHeight(), RH = GetRulerHeight();
  const double count = std::trunc(Length() / dotPerUnit_ / step);
  if (!std::isfinite(count) || count + 1 < 0) return;
  const int64_t n = std::min<int64_t>(int64_t(count), kMaxTicks);
  const double first = viewPos_ - step * (viewPos_ / step - std::trunc(viewPos_ / step));
  const int length = labelled ? RH / 2 : RH / 4;
  TCanvas* canvas = buffer_.GetCanvas();
  TFont* font = GetFont();
  const bool horizontal = rulerDir_ == rdHorizontal;
  // Only the ticks whose line or label reaches into the span: tick r lies
  // near base + r x pitch pixels.
  const double pitch = step * dotPerUnit_, base = (first - viewPos_) * dotPerUnit_;
  const int reach = labelled ? canvas->TextWidth(std::string(24, '0')) / 2 + 2 : 2;
  auto index = [&](double pixel) { return std::clamp(std::floor((pixel - base) / pitch), -1.0, double(n) + 2); };
  const int64_t from = std::max<int64_t>(0, int64_t(index(span.From - reach)) - 1);
  const int64_t to = std::min<int64_t>(n + 1, int64_t(index(span.To + reach)) + 1);
  for (int64_t r = from; r <= to; ++r) {
    const double value = first + double(r) * step;
    const int p = Pixel(value);
    if (horizontal) {
      const int edge = gripsDir_ == gdUp ? RH : H - RH;
      const int sign = gripsDir_ == gdUp ? -1 : 1;
      canvas->MoveTo(p, edge);
      canvas->LineTo(p, edge + sign * length);
    } else {
      const int edge = gripsDir_ == gdUp ? RH : W - RH;
      const int sign = gripsDir_ == gdUp ? -1 : 1;
      canvas->MoveTo(edge, p);
      canvas->LineTo(edge + sign * length, p);
    }
    if (!labelled) continue;
    const std::string text = RulerLabelText(value, hexLabels_);
    const int tw = canvas->TextWidth(text);
    if (horizontal) {
      canvas->TextOut(p - tw / 2, gripsDir_ == gdUp ? 0 : H - std::abs(font->Height), text);
    } else if (gripsDir_ == gdUp) {
      canvas->TextOut(0, p + tw / 2, text);
    } else {
      canvas->TextOut(W, p - tw / 2, text);
    }
  }
}

void TRulerBox::RepaintStrip(const TSpan& span) {
  if (!ruler_) return;
  const int W = buffer_.GetWidth(), H = buffer_.GetHeight(), RH = GetRulerHeight();
  TRect strip;
  if (rulerDir_ == rdHorizontal)
    strip = gripsDir_ == gdUp ? TRect{0, 0, W, RH + 1} : TRect{0, H - RH, W, H};
  else
    strip = gripsDir_ == gdUp ? TRect{0, 0, RH, H} : TRect{W - RH, 0, W, H};
  IntersectRect(strip, strip, AreaOf(span));
  TCanvas* canvas = buffer_.GetCanvas();
  canvas->Brush->Style = bsSolid;
  canvas->Brush->Color = rulerColor_;
  canvas->FillRect(strip);
  canvas->Pen->Color = GetFont()->Color;
  canvas->Font->Assign(GetFont());
  canvas->Brush->Style = bsClear;
  DrawTicks(frequency_, false, span);
  if (rulerDir_ == rdVertical) {
    // Vertical labels run along the strip.
    TFont rotated;
    rotated.Assign(GetFont());
    rotated.Orientation = gripsDir_ == gdUp ? 900 : -900;
    rotated.Pitch = fpFixed;
    canvas->Font->Assign(&rotated);
  }
  DrawTicks(labelFreq_, true, span);
  canvas->Font->Assign(GetFont());
  canvas->Brush->Style = bsSolid;
}

// Messages and mouse ----------------------------------------------------------------

void TRulerBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_SIZE:
      TCustomControl::Dispatch(message);
      buffer_.SetSize(GetClientWidth(), GetClientHeight());
      Update();
      return;
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(message);
      Update();
      return;
    default: TCustomControl::Dispatch(message);
  }
}

void TRulerBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  heldGrip_ = GetClickedGrip(x, y);
  pressPoint_ = TPoint{x, y};
  if (heldGrip_ >= 0) {
    if ((shift & ssDouble) && OnRulerGripDblClick) OnRulerGripDblClick(this, heldGrip_);
    heldGripPixel_ = GetXGripPos(heldGrip_);
  } else if (OnRulerClick) {
    OnRulerClick(this, Units(rulerDir_ == rdHorizontal ? x : y) + viewPos_);
  }
}

void TRulerBox::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (scrolling_ || !GetMouseCapture() || !ValidGrip(heldGrip_)) return;
  const bool horizontal = rulerDir_ == rdHorizontal;
  const int at = horizontal ? x : y;
  const int delta = heldGripPixel_ - (horizontal ? pressPoint_.x : pressPoint_.y);
  const int length = Length();
  if (at >= 0 && at <= length) {
    SetGripsPos(heldGrip_, Units(at + delta) + viewPos_);
    Paint();
  } else {
    AutoScroll(at < 0 ? -1 : 1, delta);
  }
}

void TRulerBox::AutoScroll(int direction, int delta) {
  const double stepUnits = Units(1);
  if (!(stepUnits > 0)) return;
  scrolling_ = true;
  const int length = Length();
  const int grip = heldGrip_;
  for (;;) {
    if (!ValidGrip(grip)) break;
    TGrip& g = grips_[grip];
    if (direction < 0) {
      g.Pos = Units(delta) + viewPos_ - stepUnits;
      AdjustGripLimits(grip);
      viewPos_ -= stepUnits;
    } else {
      g.Pos = Units(length + delta - 1) + viewPos_ + stepUnits;
      AdjustGripLimits(grip);
      viewPos_ += stepUnits;
    }
    AdjustViewLimits();
    drawn_ = {};
    shown_ = {};
    Paint();
    if (OnRulerPosChange) OnRulerPosChange(this, grip);
    // The platform tells the button's state only after its pending input
    // has been taken in; the re-entry guard keeps moves from nesting.
    if (Application) Application->ProcessMessages();
    TPoint pointer;
    GetCursorPos(pointer);
    const TPoint client = ScreenToClient(pointer);
    const int at = rulerDir_ == rdHorizontal ? client.x : client.y;
    const bool outside = direction < 0 ? at < 0 : at >= length;
    if (!outside || GetAsyncKeyState(VK_LBUTTON) >= 0 || heldGrip_ != grip) break;
  }
  scrolling_ = false;
  Invalidate();
}

void TRulerBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  if (ValidGrip(heldGrip_) && x == pressPoint_.x && y == pressPoint_.y && OnRulerGripClick)
    OnRulerGripClick(this, heldGrip_);
  heldGrip_ = -1;
}
