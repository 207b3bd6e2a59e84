#include "imaging/view/hsvbox.h"

#include <algorithm>
#include <cmath>

#include "imaging/core/ievalues.h"
#include "imaging/proc/iecolormodels.h"
#include "platform/canvas.h"
#include "platform/messages.h"
#include "platform/sysutils.h"

namespace {

void PutPixel(TBitmap& b, int x, int y, const TRGB& c) {
  uint8_t* p = b.ScanLine(y) + size_t(x) * 3;
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
}

}  // namespace

THSVBox::THSVBox(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csOpaque;
  buffer_.SetPixelFormat(pf24bit);
  SetBounds(GetLeft(), GetTop(), 105, 105);
}

void THSVBox::DrawBar() {
  const int W = buffer_.GetWidth(), H = buffer_.GetHeight(), wp = SquareWidth();
  const TRGB gap = TColor2TRGB(TColor(ColorToRGB(background_)));
  const float f = 360.0f / float(std::max(H, 1));
  for (int c = 0; c < H; ++c) {
    TRGB hue;
    HSV2RGB(hue, int(std::trunc(float(c) * f)), 99, 99);
    const int y = H - 1 - c;
    for (int x = std::max(wp, 0); x < W; ++x) PutPixel(buffer_, x, y, x < wp + barsDistance_ ? gap : hue);
  }
}

void THSVBox::DrawSquare() {
  const int H = buffer_.GetHeight(), wp = std::min(SquareWidth(), buffer_.GetWidth());
  if (wp <= 0 || H <= 0) return;
  const float fv = 100.0f / float(H), fs = 100.0f / float(wp);
  for (int b = 0; b < H; ++b) {
    const int v = int(std::trunc(float(b) * fv));
    for (int e = 0; e < wp; ++e) {
      TRGB c;
      HSV2RGB(c, hue_, int(std::trunc(float(e) * fs)), v);
      PutPixel(buffer_, e, H - 1 - b, c);
    }
  }
}

void THSVBox::DrawGrips() {
  const int H = buffer_.GetHeight(), wp = SquareWidth();
  if (H <= 0 || wp <= 0) return;
  TCanvas* c = buffer_.GetCanvas();
  c->Pen->Mode = pmNot;
  c->Pen->Style = psSolid;
  c->Pen->Width = 1;
  c->Brush->Style = bsClear;
  const int hy = int(Round((H - 1) * (359.0 - hue_) / 360.0));
  c->Rectangle(wp + barsDistance_, hy - 2, GetWidth(), hy + 2);
  const int sx = int(Round(sat_ / 99.0 * (wp - 1)));
  const int sy = H - 1 - int(Round((H - 1) * val_ / 99.0));
  c->Rectangle(sx - 3, sy - 3, sx + 3, sy + 3);
  c->Pen->Mode = pmCopy;
  c->Brush->Style = bsSolid;
}

void THSVBox::ColourFromHSV() {
  TRGB c;
  HSV2RGB(c, hue_, sat_, val_);
  Red = c.r;
  Green = c.g;
  Blue = c.b;
  color_ = TRGB2TColor(c);
}

void THSVBox::Redraw() {
  DrawBar();
  DrawSquare();
  DrawGrips();
  Invalidate();
}

void THSVBox::SetHue(int v) {
  DrawGrips();
  hue_ = std::clamp(v, 0, 359);
  ColourFromHSV();
  DrawSquare();
  DrawGrips();
  Invalidate();
}

void THSVBox::SetSat(int v) {
  DrawGrips();
  sat_ = std::clamp(v, 0, 99);
  ColourFromHSV();
  DrawGrips();
  Invalidate();
}

void THSVBox::SetVal(int v) {
  DrawGrips();
  val_ = std::clamp(v, 0, 99);
  ColourFromHSV();
  DrawGrips();
  Invalidate();
}

void THSVBox::SetRGB(uint8_t r, uint8_t g, uint8_t b) {
  DrawGrips();
  Red = r;
  Green = g;
  Blue = b;
  RGB2HSV(CreateRGB(r, g, b), hue_, sat_, val_);
  color_ = TRGB2TColor(CreateRGB(r, g, b));
  DrawSquare();
  DrawGrips();
  Invalidate();
}

void THSVBox::SetColor(TColor c) {
  const TRGB rgb = TColor2TRGB(TColor(ColorToRGB(c)));
  SetRGB(rgb.r, rgb.g, rgb.b);
  color_ = c;
}

void THSVBox::SetBackground(TColor c) {
  DrawGrips();
  background_ = c;
  Redraw();
}

void THSVBox::SetHueBarWidth(int w) {
  if (w < 0) return;
  DrawGrips();
  hueBarWidth_ = w;
  Redraw();
}

void THSVBox::SetBarsDistance(int d) {
  if (d < 0) return;
  DrawGrips();
  barsDistance_ = d;
  Redraw();
}

void THSVBox::Paint() { GetCanvas()->Draw(0, 0, &buffer_); }

void THSVBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_SIZE:
      TCustomControl::Dispatch(message);
      buffer_.SetSize(GetClientWidth(), GetClientHeight());
      Redraw();
      return;
    case WM_ERASEBKGND: message.Result = 1; return;
    default: TCustomControl::Dispatch(message);
  }
}

void THSVBox::ChooseAt(int x, int y) {
  const int W = buffer_.GetWidth(), H = buffer_.GetHeight(), wp = SquareWidth();
  if (zone_ == 0 || H <= 0 || W <= 0) return;
  y = std::clamp(y, 0, H - 1);
  // One row or one column is its range's top end, never a division by 0.
  const double down = H > 1 ? double(y) / (H - 1) : 0.0;
  DrawGrips();
  if (zone_ == 1) {
    x = std::clamp(x, 0, std::max(wp - 1, 0));
    sat_ = wp > 1 ? int(Round(double(x) / (wp - 1) * 99)) : 99;
    val_ = 99 - int(Round(down * 99));
  } else {
    hue_ = 359 - int(Round(down * 359));
    DrawSquare();
  }
  ColourFromHSV();
  if (OnChange) OnChange(this);
  DrawGrips();
  Invalidate();
}

void THSVBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  const int wp = SquareWidth();
  zone_ = x < wp ? 1 : x >= wp + barsDistance_ ? 2 : 0;
  ChooseAt(x, y);
}

void THSVBox::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (!GetMouseCapture() || zone_ == 0) return;
  if (zone_ == 2) x = std::max(x, SquareWidth() + barsDistance_);
  ChooseAt(x, y);
}

void THSVBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  zone_ = 0;
}
