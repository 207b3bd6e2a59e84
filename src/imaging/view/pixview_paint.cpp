// Painting: the back buffer, the fast fixed-point path, the filtered path
// and the background styles.
#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iedraw.h"
#include "imaging/core/iemask.h"
#include "imaging/proc/iecolordepth.h"
#include "imaging/proc/ieresample.h"
#include "imaging/view/pixview.h"
#include "imaging/view/pixview_math.h"
#include "platform/kernel.h"

namespace {

constexpr int kFixedBits = 14;
constexpr int64_t kFixedOne = int64_t(1) << kFixedBits;

// The colour with every colour bit inverted (system colours resolved first,
// so that the complement stays a plain colour).
TColor Complement(TColor c) { return TColor(ColorToRGB(c) ^ 0xFFFFFF); }

void LogPaintError(const char* prefix, const Exception& e) {
  OutputDebugString(std::string(prefix) + e.Message + "\r\n");
}

}  // namespace

// Paint -----------------------------------------------------------------------------------------

void TPixView::Paint() {
  const int cw = GetClientWidth(), ch = GetClientHeight();
  if (!HasParentWindow() || cw == 0 || ch == 0) return;
  try {
    if (IsDesigning()) {
      PaintTo(GetCanvas(), nullptr);
    } else if (paintLock_ == 0) {
      if (wholeClientPaint_) {
        PaintRect(Rect(0, 0, cw, ch));
      } else {
        TRect r = GetCanvas()->GetClipRect();
        if (r.Right == 0) r.Right = cw;
        if (r.Bottom == 0) r.Bottom = ch;
        PaintRect(r);
      }
    }
    wholeClientPaint_ = false;
    AniPolyFunc(this, false);
    if (OnPaint) OnPaint(this);
  } catch (const Exception& e) {
    LogPaintError("[Paint] ", e);
  }
}

void TPixView::PaintRect(const TRect& rect) {
  const int cw = GetClientWidth(), ch = GetClientHeight();
  if (backBuffer_->GetWidth() != cw || backBuffer_->GetHeight() != ch) {
    backBuffer_->SetSize(cw, ch);
    backRows_.resize(size_t(ch));
    for (int y = 0; y < ch; ++y) backRows_[y] = backBuffer_->ScanLine(y);
    dirty_ = true;
  }
  if (dirty_) {
    if (zoomFilter_ != rfNone || !HasParentWindow())
      PaintTo(backBuffer_->GetCanvas(), backBuffer_);
    else
      PaintToEx(backBuffer_, backRows_.data(), &rect);
    dirty_ = false;
  }
  if (!HasParentWindow()) return;
  const int w = std::min(rect.Width(), cw), h = std::min(rect.Height(), ch);
  PresentBackBuffer(Bounds(rect.Left, rect.Top, w, h));
  DrawRubberBand();
}

// Copies an area of the back buffer 1:1 to the window. A 32-bit window
// image takes the rows directly; any other takes the canvas's copy.
void TPixView::PresentBackBuffer(const TRect& area) {
  TPixelSurface window = DrawingSurface();
  const TPoint origin = SurfaceOrigin();
  const int left = std::max(area.Left, 0), top = std::max(area.Top, 0);
  const int right = std::min({area.Right, backBuffer_->GetWidth(), window.width - origin.x});
  const int bottom = std::min({area.Bottom, backBuffer_->GetHeight(), window.height - origin.y});
  if (window.Valid() && window.kind == TSurfaceKind::Bgrx32) {
    for (int y = top; y < bottom; ++y) {
      const uint8_t* from = backBuffer_->ScanLine(y) + size_t(left) * 3;
      auto* to = reinterpret_cast<uint32_t*>(window.Row(y + origin.y)) + origin.x + left;
      for (int x = left; x < right; ++x, from += 3)
        *to++ = 0xFF000000u | (uint32_t(from[2]) << 16) | (uint32_t(from[1]) << 8) | from[0];
    }
    SurfaceChanged();
    return;
  }
  TCanvas* canvas = GetCanvas();
  canvas->CopyMode = cmSrcCopy;
  canvas->CopyRect(area, backBuffer_->GetCanvas(), area);
}

void TPixView::UpdateRect(const TRect& Rect) {
  dirty_ = true;
  InvalidateRect(&Rect, false);
}

// Paint rectangle ----------------------------------------------------------------------------------

void TPixView::CalcPaintCoef() {
  const int32_t pw = bitmap_->GetWidth(), ph = bitmap_->GetHeight();
  SrcX = SrcY = SrcW = SrcH = 0;
  if (ExtentX != 0) {
    const double r = double(pw) / ExtentX;
    SrcX = RoundI(viewX_ * r);
    SrcW = RoundI(r * VisibleW);
    if (pw < int64_t(SrcX) + SrcW) --SrcW;
  }
  if (ExtentY != 0) {
    const double r = double(ph) / ExtentY;
    SrcY = RoundI(viewY_ * r);
    SrcH = RoundI(r * VisibleH);
    if (ph < int64_t(SrcY) + SrcH) --SrcH;
  }
  // Rounding may still leave the rectangle past the picture's edge; it
  // never reads outside.
  SrcX = std::clamp(SrcX, 0, pw);
  SrcY = std::clamp(SrcY, 0, ph);
  SrcW = std::clamp(SrcW, 0, pw - SrcX);
  SrcH = std::clamp(SrcH, 0, ph - SrcY);
  if (zoom_ <= 100) {
    DstW = VisibleW;
    DstH = VisibleH;
    return;
  }
  DstW = TruncI(SrcW * zoomFactor_);
  if (DstW < VisibleW && pw >= int64_t(SrcX) + SrcW + 1) DstW = TruncI(++SrcW * zoomFactor_);
  DstH = TruncI(SrcH * zoomFactor_);
  if (DstH < VisibleH && ph >= int64_t(SrcY) + SrcH + 1) DstH = TruncI(++SrcH * zoomFactor_);
}

// Fast path -------------------------------------------------------------------------------------------

void TPixView::PaintToEx(TBitmap* Bitmap, uint8_t** RowPointers, const TRect* UpdateRect) {
  CalcPaintCoef();
  const int W = Bitmap->GetWidth(), H = Bitmap->GetHeight();
  std::vector<uint8_t*> ownRows;
  if (!RowPointers) {
    ownRows.resize(size_t(std::max(H, 0)));
    for (int y = 0; y < H; ++y) ownRows[y] = Bitmap->ScanLine(y);
    RowPointers = ownRows.data();
  }
  const bool blend = enableAlpha_ && alpha_ && !alpha_->Full;
  if (OffsetX > 0 || OffsetY > 0 || DstW < W || DstH < H || blend) {
    TCanvas* canvas = Bitmap->GetCanvas();
    if (UpdateRect)
      canvas->IntersectClipRect(
          Rect(UpdateRect->Left, UpdateRect->Top, UpdateRect->Right + 1, UpdateRect->Bottom + 1));
    PaintBackground(canvas, backgroundStyle_, OffsetX, OffsetY, OffsetX + DstW, OffsetY + DstH, W, H);
    canvas->SelectClipRegion(nullptr);
  }
  const int32_t pw = bitmap_->GetWidth(), ph = bitmap_->GetHeight();
  if ((pw == 1 && ph == 1) || IsDesigning() || pw == 0 || ph == 0) return;
  if (alpha_ && (alpha_->Width != pw || alpha_->Height != ph)) return;
  if (DstW != 0 && DstH != 0 && SrcW != 0 && SrcH != 0) {
    try {
      BlitPicture(Bitmap, RowPointers, UpdateRect, blend);
    } catch (...) {
      // What is drawn stays; the next paint tries again.
    }
  }
  DrawSelectionFillAndGrid(Bitmap->GetCanvas());
}

// Scales by pixel replication with 14-bit fixed-point steps. The products
// are 64-bit, so pictures of any size map exactly, and every source index
// is kept inside the picture.
void TPixView::BlitPicture(TBitmap* target, uint8_t** rows, const TRect* clip, bool blend) {
  const int W = target->GetWidth(), H = target->GetHeight();
  const int32_t pw = bitmap_->GetWidth(), ph = bitmap_->GetHeight();
  const int64_t rowStep = int64_t(double(SrcH) / DstH * kFixedOne);
  const int64_t colStep = int64_t(double(SrcW) / DstW * kFixedOne);
  const int lastRow = std::min(OffsetY + DstH - 1, H - 1);
  const int lastCol = std::min(OffsetX + DstW - 1, W - 1);
  constexpr int kNoClip = std::numeric_limits<int32_t>::max() - 1;
  const TRect c = clip ? *clip : TRect{-kNoClip, -kNoClip, kNoClip, kNoClip};
  const bool mono = bitmap_->GetPixelFormat() == pf1bit;
  const bool straight = !mono && !blend && rowStep == kFixedOne && colStep == kFixedOne;
  const int firstCol = std::max(OffsetX, 0);
  if (lastCol < firstCol) return;

  std::vector<int32_t> sxOf(size_t(lastCol - firstCol + 1));
  for (int x = firstCol; x <= lastCol; ++x)
    sxOf[x - firstCol] = int32_t(std::min<int64_t>(((colStep * (x - OffsetX)) >> kFixedBits) + SrcX, pw - 1));
  const int clipL = std::max(firstCol, c.Left), clipR = std::min(lastCol, c.Right);
  const size_t rowBytes = size_t(W) * 3;

  int64_t prevSy = -1;
  int prevY = -2;
  for (int y = std::max(OffsetY, 0); y <= lastRow; ++y) {
    if (y < c.Top || y > c.Bottom) continue;
    const int64_t sy = std::min<int64_t>(((rowStep * (y - OffsetY)) >> kFixedBits) + SrcY, ph - 1);
    uint8_t* out = rows[y];
    if (sy == prevSy && prevY == y - 1 && backgroundStyle_ == iebsSolid) {
      std::memcpy(out, rows[y - 1], rowBytes);
      prevY = y;
      continue;
    }
    prevSy = sy;
    prevY = y;
    const uint8_t* src = bitmap_->ScanLine(int(sy));
    const uint8_t* alphaRow = blend ? alpha_->GetScanLine(int32_t(sy)) : nullptr;
    if (straight) {
      const int64_t n = std::min<int64_t>(lastCol - OffsetX + 1, int64_t(pw) - SrcX);
      if (n > 0) std::memcpy(out + size_t(OffsetX) * 3, src + size_t(SrcX) * 3, size_t(n) * 3);
      continue;
    }
    if (mono && !blend) {
      for (int x = firstCol; x <= lastCol; ++x) {
        const int32_t sx = sxOf[x - firstCol];
        std::memset(out + size_t(x) * 3, (src[sx >> 3] & (0x80 >> (sx & 7))) ? 255 : 0, 3);
      }
      continue;
    }
    for (int x = clipL; x <= clipR; ++x) {
      const int32_t sx = sxOf[x - firstCol];
      uint8_t* t = out + size_t(x) * 3;
      if (mono) {
        const int a = alphaRow[sx];
        const int s = (src[sx >> 3] & (0x80 >> (sx & 7))) ? 255 : 0;
        const uint8_t v = uint8_t(t[2] + (((s - t[2]) * a) >> 8));
        t[0] = t[1] = t[2] = v;
      } else if (blend) {
        const int a = alphaRow[sx];
        const uint8_t* s = src + size_t(sx) * 3;
        for (int k = 0; k < 3; ++k) t[k] = uint8_t(t[k] + (((s[k] - t[k]) * a) >> 8));
      } else {
        std::memcpy(t, src + size_t(sx) * 3, 3);
      }
    }
  }
}

void TPixView::DrawSelectionFillAndGrid(TCanvas* canvas) {
  TIEAnimPoly* selection = SelectionPolygon();
  if ((selectionOptions_ & iesoFilled) && selection && selection->Visible && !SelectionMask->IsEmpty())
    SelectionMask->InvertCanvas(canvas, OffsetX, OffsetY, DstW, DstH, SrcX, SrcY, SrcW, SrcH);
  if (!displayGrid_ || zoom_ < 400) return;
  canvas->Pen->Mode = pmNot;
  canvas->Pen->Style = psSolid;
  for (int32_t r = SrcY; r <= SrcY + SrcH; ++r) {
    canvas->MoveTo(XBmp2Scr(SrcX), YBmp2Scr(r));
    canvas->LineTo(XBmp2Scr(SrcX + SrcW), YBmp2Scr(r));
  }
  for (int32_t col = SrcX; col <= SrcX + SrcW; ++col) {
    canvas->MoveTo(XBmp2Scr(col), YBmp2Scr(SrcY));
    canvas->LineTo(XBmp2Scr(col), YBmp2Scr(SrcY + SrcH));
  }
  canvas->Pen->Mode = pmCopy;
}

// Filtered path -----------------------------------------------------------------------------------------

void TPixView::DrawPictureRect(TCanvas* canvas, TBitmap* picture, int xs, int ys, int ws, int hs, int xd, int yd,
                               int wd, int hd) {
  canvas->CopyMode = cmSrcCopy;
  canvas->CopyRect(Bounds(xd, yd, wd, hd), picture->GetCanvas(), Bounds(xs, ys, ws, hs));
}

void TPixView::PaintTo(TCanvas* Canvas, TBitmap* Bitmap) {
  const int cw = GetClientWidth(), ch = GetClientHeight();
  const int32_t pw = bitmap_->GetWidth(), ph = bitmap_->GetHeight();
  try {
    if (IsDesigning() || pw == 0 || ph == 0) {
      PaintBackground(Canvas, backgroundStyle_, 0, 0, 0, 0, cw, ch);
      return;
    }
    CalcPaintCoef();
    if (center_ || DstW < cw || DstH < ch) {
      const TRect picture = Rect(OffsetX, OffsetY, OffsetX + DstW, OffsetY + DstH);
      Canvas->ExcludeClipRect(picture);
      PaintBackground(Canvas, backgroundStyle_, picture.Left, picture.Top, picture.Right, picture.Bottom, cw, ch);
      Canvas->SelectClipRegion(nullptr);
    }
    const bool filtered = zoomFilter_ != rfNone && FilterCountdown < 1 && zoom_ != 100 && ph > 1 && pw >= 2 &&
                          SrcW >= 4 && SrcH >= 4;
    if (!filtered) {
      try {
        DrawPictureRect(Canvas, bitmap_, SrcX, SrcY, SrcW, SrcH, OffsetX, OffsetY, DstW, DstH);
      } catch (...) {
      }
    } else {
      DrawFiltered(Canvas);
    }
    DrawSelectionFillAndGrid(Canvas);
  } catch (const Exception& e) {
    LogPaintError("[PaintTo] ", e);
  }
}

void TPixView::DrawFiltered(TCanvas* canvas) {
  if (DstW <= 0 || DstH <= 0) return;
  const bool mono = bitmap_->GetPixelFormat() == pf1bit;
  TBitmap scaled;
  scaled.SetPixelFormat(pf24bit);
  scaled.SetSize(DstW, DstH);
  if (mono && zoom_ < 100) {
    // Each target pixel is the grey share of the set bits under it; the
    // whole reduced block is drawn 1:1.
    _SubResample1bitFiltered(bitmap_, SrcX, SrcY, SrcX + SrcW - 1, SrcY + SrcH - 1, &scaled);
  } else {
    TBitmap part;
    _CopyBitmapRect(bitmap_, &part, SrcX, SrcY, SrcX + SrcW, SrcY + SrcH);
    if (mono)
      _Resample1bit(&part, &scaled, zoomFilter_);
    else
      _Resample(&part, &scaled, zoomFilter_);
  }
  canvas->CopyMode = cmSrcCopy;
  canvas->Draw(OffsetX, OffsetY, &scaled);
}

void TPixView::DrawTo(TCanvas* Canvas) {
  const int32_t pw = bitmap_->GetWidth(), ph = bitmap_->GetHeight();
  if (ph == 0) return;
  try {
    int xs = 0, ws = 0, ys = 0, hs = 0;
    if (ExtentX != 0) {
      xs = RoundI(double(pw) / ExtentX * viewX_);
      ws = RoundI(double(pw) / ExtentX * VisibleW);
    }
    if (ExtentY != 0) {
      ys = RoundI(double(ph) / ExtentY * viewY_);
      hs = RoundI(double(ph) / ExtentY * VisibleH);
    }
    ws = std::clamp(ws, 0, pw - std::clamp(xs, 0, pw));
    hs = std::clamp(hs, 0, ph - std::clamp(ys, 0, ph));
    if (zoomFilter_ != rfNone && zoom_ != 100 && ws > 0 && hs > 0 && VisibleW > 0 && VisibleH > 0) {
      TBitmap part, grey, scaled;
      _CopyBitmapRect(bitmap_, &part, xs, ys, xs + ws, ys + hs);
      TBitmap* source = &part;
      if (part.GetPixelFormat() == pf1bit) {
        TProgressRec none;
        _Conv1to24(&part, &grey, none);
        source = &grey;
      }
      scaled.SetPixelFormat(pf24bit);
      scaled.SetSize(VisibleW, VisibleH);
      _Resample(source, &scaled, zoomFilter_);
      Canvas->CopyMode = cmSrcCopy;
      Canvas->Draw(0, 0, &scaled);
    } else {
      DrawPictureRect(Canvas, bitmap_, xs, ys, ws, hs, 0, 0, VisibleW, VisibleH);
    }
  } catch (const Exception& e) {
    LogPaintError("[DrawTo] ", e);
  }
}

// Background ------------------------------------------------------------------------------------------------

void TPixView::PaintBackground(TCanvas* Canvas, TIEBackgroundStyle Style, int x1, int y1, int x2, int y2, int W,
                               int H) {
  const TColor C = GetBackground();
  if ((Style == iebsCropped || Style == iebsCropShadow) && IsDesigning()) Style = iebsSolid;
  TBrush* brush = Canvas->Brush;
  const TRect all = Rect(0, 0, W, H);
  auto solid = [&](TColor colour) {
    brush->Style = bsSolid;
    brush->Color = colour;
    Canvas->FillRect(all);
  };
  switch (Style) {
    case iebsSolid: solid(C); break;
    case iebsHorizontal:
    case iebsVertical:
    case iebsFDiagonal:
    case iebsBDiagonal:
    case iebsCross:
    case iebsDiagCross: {
      // The gaps between the hatch lines take the device's white
      // background colour, as an opaque hatch fill gives them.
      solid(clWhite);
      static const TBrushStyle kHatch[] = {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
                                           bsDiagCross};
      brush->Style = kHatch[Style - iebsHorizontal];
      brush->Color = C;
      Canvas->FillRect(all);
      brush->Style = bsSolid;
      break;
    }
    case iebsChessboard: {
      const int size = std::max(chessboardSize_, 1);
      brush->Style = chessboardBrush_;
      const TColor complement = Complement(C);
      bool rowStartsComplement = true;
      for (int y = 0; y < H; y += size, rowStartsComplement = !rowStartsComplement) {
        bool complementSquare = rowStartsComplement;
        for (int x = 0; x < W; x += size, complementSquare = !complementSquare) {
          brush->Color = complementSquare ? complement : C;
          Canvas->FillRect(Rect(x, y, x + size, y + size));
        }
      }
      brush->Style = bsSolid;
      break;
    }
    case iebsDiagonals:
      solid(C);
      Canvas->Pen->Color = Complement(C);
      Canvas->Pen->Style = psSolid;
      Canvas->Pen->Mode = pmCopy;
      Canvas->MoveTo(0, 0);
      Canvas->LineTo(W, H);
      Canvas->MoveTo(W, 0);
      Canvas->LineTo(0, H);
      break;
    case iebsCropped:
      solid(clBtnFace);
      if (x2 - x1 >= 2 && y2 - y1 >= 2) {
        TRect edge = Rect(x1 - gEdgeX, y1 - gEdgeY, x2 + gEdgeX, y2 + gEdgeY);
        DrawEdge(Canvas->GetHandle(), &edge, EDGE_SUNKEN, BF_RECT);
      }
      break;
    case iebsCropShadow:
      solid(clBtnFace);
      if (x2 - x1 >= 2 && y2 - y1 >= 2) {
        IERightShadow(Canvas, x2, y1, x2 + 5, y2 + 3, iestSmooth1);
        IEBottomShadow(Canvas, x1, y2, x2 + 4, y2 + 5, iestSmooth1);
      }
      break;
  }
}

void TPixView::SetBackgroundStyle(TIEBackgroundStyle style) {
  backgroundStyle_ = style;
  Invalidate();
  Update();
}

void TPixView::SetChessboardStyle(int Size, TBrushStyle BrushStyle) {
  chessboardSize_ = Size;
  chessboardBrush_ = BrushStyle;
}

void TPixView::SetDisplayGrid(bool b) {
  displayGrid_ = b;
  Update();
}
