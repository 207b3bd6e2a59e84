#include "imaging/core/iedraw.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The gray level of the ramps for t in 0..1: 93 at 0, 255 at 1.
int ShadowGray(double t) { return int(std::trunc(255.0 * std::exp(t) / std::exp(1.0))); }

TColor Gray(int v) { return RGB(uint8_t(v), uint8_t(v), uint8_t(v)); }

void VerticalLine(TCanvas* canvas, int x, int y1, int y2, TColor colour) {
  canvas->Pen->Color = colour;
  canvas->MoveTo(x, y1);
  canvas->LineTo(x, y2);
}

void HorizontalLine(TCanvas* canvas, int x1, int x2, int y, TColor colour) {
  canvas->Pen->Color = colour;
  canvas->MoveTo(x1, y);
  canvas->LineTo(x2, y);
}

// The per-pixel ramp of iestSmooth2 along a shadow of `length` pixels
// (rows of a right shadow) and `depth` pixels across it. Each step along
// the shadow has a level that whitens towards its start; the inner start
// across grows by one per step over the last `depth` steps, which slants
// the far corner. plot(along, across, gray).
template <typename Plot>
void SmoothRamp(int length, int depth, Plot plot) {
  if (length <= 0 || depth <= 0) return;
  int slantFrom = length - depth + 1;
  // The ramp across is the same at every step: worked out once.
  std::vector<int> across(size_t(depth) + 1);
  for (int i = 0; i <= depth; ++i) across[size_t(i)] = ShadowGray(double(i) / depth);
  for (int a = 0; a <= length; ++a) {
    int level = std::clamp(ShadowGray(double(length - 3 * a) / length), 0, 255);
    int start = std::max(0, a - slantFrom);
    for (int i = start; i <= depth; ++i) plot(a, i, std::max(across[size_t(i)], level));
  }
}

}  // namespace

void IEDraw3DRect(TCanvas* canvas, int x1, int y1, int x2, int y2, TColor colour1, TColor colour2) {
  canvas->Pen->Style = psSolid;
  canvas->Pen->Mode = pmCopy;
  canvas->Pen->Color = colour1;
  canvas->MoveTo(x1, y2);
  canvas->LineTo(x1, y1);
  canvas->LineTo(x2, y1);
  canvas->Pen->Color = colour2;
  canvas->MoveTo(x1, y2);
  canvas->LineTo(x2, y2);
  canvas->LineTo(x2, y1);
}

void IERightShadow(TCanvas* canvas, int x1, int y1, int x2, int y2, TIEShadowType type) {
  int w = x2 - x1 + 1, h = y2 - y1 + 1;
  switch (type) {
    case iestNone: break;
    // Cast down and right: the shadow starts w pixels below the top.
    case iestSolid: canvas->FillRect(Rect(x1, y1 + w, x2, y2 + 1)); break;
    case iestSmooth1:
      for (int c = 0; c < w; ++c) VerticalLine(canvas, x1 + c, y1 + w, y2 - w + c + 3, Gray(ShadowGray(double(c) / w)));
      break;
    case iestSmooth2:
      SmoothRamp(h, w, [&](int row, int col, int gray) { canvas->SetPixel(x1 + col, y1 + row, Gray(gray)); });
      break;
  }
}

void IEBottomShadow(TCanvas* canvas, int x1, int y1, int x2, int y2, TIEShadowType type) {
  int w = x2 - x1 + 1, h = y2 - y1 + 1;
  switch (type) {
    case iestNone: break;
    case iestSolid: canvas->FillRect(Rect(x1 + h, y1, x2 + 1, y2)); break;
    case iestSmooth1:
      for (int r = 0; r < h; ++r) HorizontalLine(canvas, x1 + h, x2 - h + r + 3, y1 + r, Gray(ShadowGray(double(r) / h)));
      break;
    case iestSmooth2:
      SmoothRamp(w, h, [&](int col, int row, int gray) { canvas->SetPixel(x1 + col, y1 + row, Gray(gray)); });
      break;
  }
}

void IEDrawHint(TCanvas* canvas, int& x, int& y, const std::string& text, TFont* font, TBrush* brush, TBitmap* save,
                int maxX, int maxY, TColor colour1, TColor colour2) {
  if (font) canvas->Font->Assign(font);
  if (brush) canvas->Brush->Assign(brush);
  TSize extent = canvas->TextExtent(text);
  int w = extent.cx + 12, h = extent.cy + 12;
  x = std::max(x, 0);
  y = std::max(y, 0);
  x = std::min(x, maxX - w - 1);
  y = std::min(y, maxY - h - 1);
  if (save) {
    save->SetPixelFormat(pf24bit);
    save->SetSize(w, h);
    save->GetCanvas()->CopyMode = cmSrcCopy;
    save->GetCanvas()->CopyRect(Rect(0, 0, w, h), canvas, Rect(x, y, x + w, y + h));
  }
  canvas->FillRect(Rect(x + 6, y + 6, x + w, y + h));
  IEDraw3DRect(canvas, x + 6, y + 6, x + w - 1, y + h - 1, colour1, colour2);
  canvas->TextOut(x + 9, y + 9, text);
}
