#include "imaging/core/iemask.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "imaging/core/ieblend.h"
#include "imaging/core/iebits.h"
#include "imaging/core/ievalues.h"
#include "platform/canvas.h"
#include "platform/gdi.h"

namespace {

// Sets (on) or clears bits x1..x2 of a 1-bit row, most significant bit first.
void WriteBitRun(uint8_t* row, int32_t x1, int32_t x2, bool on) {
  int32_t x = x1;
  for (; x <= x2 && (x & 7) != 0; ++x) {
    if (on) row[x >> 3] |= 0x80 >> (x & 7);
    else row[x >> 3] &= ~(0x80 >> (x & 7));
  }
  const int32_t wholeBytes = (x2 - x + 1) >> 3;
  std::memset(row + (x >> 3), on ? 0xFF : 0x00, wholeBytes);
  for (x += wholeBytes * 8; x <= x2; ++x) {
    if (on) row[x >> 3] |= 0x80 >> (x & 7);
    else row[x >> 3] &= ~(0x80 >> (x & 7));
  }
}

bool BitAt(const uint8_t* row, int64_t x) { return (row[x >> 3] & (0x80 >> (x & 7))) != 0; }

}  // namespace

TIEMask::TIEMask() {
  DibHeader.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  DibHeader.bmiHeader.biPlanes = 1;
  DibHeader.bmiHeader.biBitCount = 1;
  DibHeader.bmiHeader.biCompression = BI_RGB;
  DibHeader.bmiColors[1] = RGBQUAD{255, 255, 255, 0};
}

TIEMask::~TIEMask() { FreeBits(); }

void TIEMask::EmptyBox() {
  X1 = Y1 = EmptyBoxCorner;
  X2 = Y2 = 0;
}

void TIEMask::ClipBoxIntoMask() {
  X1 = std::clamp(X1, 0, std::max(Width - 1, 0));
  X2 = std::clamp(X2, 0, std::max(Width - 1, 0));
  Y1 = std::clamp(Y1, 0, std::max(Height - 1, 0));
  Y2 = std::clamp(Y2, 0, std::max(Height - 1, 0));
}

void TIEMask::AllocateBits(int32_t width, int32_t height, int32_t bitcount) {
  FreeBits();
  Width = std::max(width, 0);
  Height = std::max(height, 0);
  BitCount = bitcount;
  if (bitcount == 1 || bitcount == 8) {
    RowLen = bitcount == 1 ? static_cast<int32_t>(_BitmapRowLen(Width, 1)) : Width;
    const uint64_t size = static_cast<uint64_t>(RowLen) * static_cast<uint64_t>(Height);
    if (size > 0) Bits = new uint8_t[size]();
  }
  EmptyBox();
  Full = false;
}

void TIEMask::FreeBits() {
  delete[] Bits;
  Bits = nullptr;
  Width = Height = BitCount = RowLen = 0;
}

void TIEMask::Assign(TIEMask* mask) {
  if (!mask || mask == this) return;
  AllocateBits(mask->Width, mask->Height, mask->BitCount);
  if (Bits && mask->Bits)
    std::memcpy(Bits, mask->Bits, static_cast<uint64_t>(RowLen) * static_cast<uint64_t>(Height));
  X1 = mask->X1;
  Y1 = mask->Y1;
  X2 = mask->X2;
  Y2 = mask->Y2;
  Full = mask->Full;
}

uint8_t* TIEMask::GetScanLine(int32_t y) const {
  if (!Bits || y < 0 || y >= Height) return nullptr;
  return Bits + static_cast<uint64_t>(Height - 1 - y) * static_cast<uint64_t>(RowLen);
}

void TIEMask::SetPixel(int32_t x, int32_t y, int32_t value) {
  if (!Bits || x < 0 || y < 0 || x >= Width || y >= Height) return;
  if (value != 0) {
    X1 = std::min(X1, x);
    Y1 = std::min(Y1, y);
    X2 = std::max(X2, x);
    Y2 = std::max(Y2, y);
  }
  uint8_t* row = GetScanLine(y);
  if (BitCount == 1) {
    WriteBitRun(row, x, x, value != 0);
    if (value == 0) Full = false;
  } else if (BitCount == 8) {
    if (value != 255) Full = false;
    row[x] = static_cast<uint8_t>(value);
  }
}

int32_t TIEMask::GetPixel(int32_t x, int32_t y) const {
  if (!Bits || x < 0 || y < 0 || x >= Width || y >= Height) return 0;
  const uint8_t* row = GetScanLine(y);
  if (BitCount == 1) return row[x >> 3] & (0x80 >> (x & 7));
  if (BitCount == 8) return row[x];
  return 0;
}

void TIEMask::Fill(int32_t value) {
  const auto byte = static_cast<uint8_t>(value);
  if (Bits) std::memset(Bits, byte, static_cast<uint64_t>(RowLen) * static_cast<uint64_t>(Height));
  // A 1-bit mask is full only when every bit is set.
  if (BitCount == 8 || BitCount == 1) Full = byte == 255;
}

void TIEMask::Empty() {
  Fill(0);
  EmptyBox();
}

int32_t TIEMask::DrawHorizontalLine(int32_t value, int32_t x1, int32_t x2, int32_t y) {
  // Rows outside the mask are skipped: clamping them would paint a polygon
  // that reaches past the top or bottom into the first or last row.
  if (!Bits || y < 0 || y >= Height) return 0;
  x1 = std::max(x1, 0);
  x2 = std::min(x2, Width - 1);
  if (x2 < x1) return 0;
  uint8_t* row = GetScanLine(y);
  if (BitCount == 1) {
    WriteBitRun(row, x1, x2, value != 0);
    if (value == 0) Full = false;
  } else if (BitCount == 8) {
    std::memset(row + x1, static_cast<uint8_t>(value), static_cast<size_t>(x2 - x1 + 1));
    if (value != 255) Full = false;
  } else {
    return 0;
  }
  return x2 - x1 + 1;
}

void TIEMask::DrawPolygon(int32_t value, const TPoint* points, int32_t count) {
  if (!points || count <= 0) return;
  int32_t start = 0;
  for (int32_t i = 0; i <= count; ++i) {
    if (i == count || points[i].x == PolygonSeparator) {
      if (i > start) DrawSinglePolygon(value, points + start, i - start);
      start = i + 1;
    }
  }
}

namespace {

// One non-horizontal side of a polygon, stepped from its lower y like a
// Bresenham line: x moves by dx div dy per row, the error term adds
// 2 x (dx mod dy) and carries one more pixel when it leaves -dy..dy.
struct PolygonEdge {
  int64_t xLow, yLow, yHigh, dx, dy;

  // x on row y (yLow <= y < yHigh), the same value row-by-row stepping gives.
  int64_t XAt(int64_t y) const {
    const __int128 k = y - yLow;
    const __int128 q = dx / dy, r = dx % dy;
    __int128 carries = 0;
    if (r > 0) carries = CeilDiv(2 * k * r - dy, 2 * dy);
    else if (r < 0) carries = -CeilDiv(-2 * k * r - dy, 2 * dy);
    return static_cast<int64_t>(xLow + k * q + carries);
  }
  static __int128 CeilDiv(__int128 a, __int128 b) {  // b > 0
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
  }
  // True when this edge's slope is not smaller than other's.
  bool SlopeNotSmaller(const PolygonEdge& other) const {
    return static_cast<__int128>(dx) * other.dy >= static_cast<__int128>(other.dx) * dy;
  }
};

}  // namespace

int32_t TIEMask::DrawSinglePolygon(int32_t value, const TPoint* points, int32_t n) {
  const int32_t oldX1 = X1, oldY1 = Y1, oldX2 = X2, oldY2 = Y2;
  if (value != 0) {
    for (int32_t i = 0; i < n; ++i) {
      X1 = std::min(X1, points[i].x);
      Y1 = std::min(Y1, points[i].y);
      if (points[i].x > X2) X2 = points[i].x - 1;
      if (points[i].y > Y2) Y2 = points[i].y - 1;
    }
    ClipBoxIntoMask();
  }

  std::vector<PolygonEdge> edges;
  int64_t yMin = points[0].y, yMax = points[0].y;
  for (int32_t i = 0; i < n; ++i) {
    const TPoint& a = points[i];
    const TPoint& b = points[(i + 1) % n];
    yMin = std::min<int64_t>(yMin, a.y);
    yMax = std::max<int64_t>(yMax, a.y);
    if (a.y == b.y) continue;
    const TPoint& low = a.y < b.y ? a : b;
    const TPoint& high = a.y < b.y ? b : a;
    edges.push_back({low.x, low.y, high.y, int64_t{high.x} - low.x, int64_t{high.y} - low.y});
  }
  std::stable_sort(edges.begin(), edges.end(),
                   [](const PolygonEdge& a, const PolygonEdge& b) { return a.yLow < b.yLow; });

  // Active edges keep the order they joined in; crossing edges of a
  // self-intersecting outline are not re-sorted.
  std::vector<const PolygonEdge*> active;
  std::vector<int64_t> xs;
  size_t nextEdge = 0;
  int32_t written = 0;
  for (int64_t y = yMin; y <= yMax && y < Height;) {
    std::erase_if(active, [y](const PolygonEdge* e) { return e->yHigh <= y; });
    for (; nextEdge < edges.size() && edges[nextEdge].yLow == y; ++nextEdge) {
      const PolygonEdge& e = edges[nextEdge];
      auto pos = std::find_if(active.begin(), active.end(), [&](const PolygonEdge* a) {
        const int64_t ax = a->XAt(y);
        return ax > e.xLow || (ax == e.xLow && a->SlopeNotSmaller(e));
      });
      active.insert(pos, &e);
    }
    if (y >= 0) {
      for (size_t k = 0; k + 1 < active.size(); k += 2) {
        const int64_t left = active[k]->XAt(y);
        const int64_t right = active[k + 1]->XAt(y) - 1;
        if (right < left || right < 0 || left >= Width) continue;
        written += DrawHorizontalLine(value, static_cast<int32_t>(std::max<int64_t>(left, 0)),
                                      static_cast<int32_t>(std::min<int64_t>(right, Width - 1)),
                                      static_cast<int32_t>(y));
      }
      ++y;
    } else {
      // Above the mask nothing is drawn: go straight to the next row where
      // an edge joins, or to the first row of the mask.
      int64_t next = 0;
      if (nextEdge < edges.size()) next = std::min(next, edges[nextEdge].yLow);
      y = std::max(next, y + 1);
    }
  }

  // Nothing written: the box is what it was before this polygon.
  if (written == 0 && value != 0) {
    X1 = oldX1;
    Y1 = oldY1;
    X2 = oldX2;
    Y2 = oldY2;
  }
  return written;
}

void TIEMask::TranslateBitmap(int32_t& dx, int32_t& dy, bool cut) {
  if (!Bits || IsEmpty() || (BitCount != 1 && BitCount != 8)) return;
  int64_t bx1 = X1, by1 = Y1, bx2 = X2, by2 = Y2;
  int64_t mx = dx, my = dy;
  if (!cut) {
    mx = std::clamp<int64_t>(mx, -bx1, Width - 1 - bx2);
    my = std::clamp<int64_t>(my, -by1, Height - 1 - by2);
    dx = static_cast<int32_t>(mx);
    dy = static_cast<int32_t>(my);
  } else {
    if (mx + bx1 < 0) bx1 = -mx;
    if (mx + bx2 >= Width) bx2 = Width - mx - 1;
    if (my + by1 < 0) by1 = -my;
    if (my + by2 >= Height) by2 = Height - my - 1;
  }
  if (mx == 0 && my == 0) return;

  const uint64_t size = static_cast<uint64_t>(RowLen) * static_cast<uint64_t>(Height);
  std::vector<uint8_t> old(Bits, Bits + size);
  std::memset(Bits, 0, size);
  Full = false;
  if (bx1 > bx2 || by1 > by2) {  // everything moved out
    EmptyBox();
    return;
  }
  auto oldRow = [&](int64_t y) {
    return old.data() + static_cast<uint64_t>(Height - 1 - y) * static_cast<uint64_t>(RowLen);
  };
  const auto count = static_cast<int32_t>(bx2 - bx1 + 1);
  for (int64_t y = by1; y <= by2; ++y) {
    uint8_t* dst = GetScanLine(static_cast<int32_t>(y + my));
    if (!dst) continue;
    if (BitCount == 1)
      _CopyBits(dst, oldRow(y), static_cast<int32_t>(bx1 + mx), static_cast<int32_t>(bx1), count,
                RowLen);
    else
      std::memcpy(dst + bx1 + mx, oldRow(y) + bx1, static_cast<size_t>(count));
  }
  X1 = static_cast<int32_t>(bx1 + mx);
  X2 = static_cast<int32_t>(bx2 + mx);
  Y1 = static_cast<int32_t>(by1 + my);
  Y2 = static_cast<int32_t>(by2 + my);
  ClipBoxIntoMask();
}

void TIEMask::RecomputeBox() {
  EmptyBox();
  for (int32_t y = 0; y < Height; ++y) {
    const uint8_t* row = GetScanLine(y);
    int32_t first = -1, last = -1;
    for (int32_t b = 0; b < RowLen && first < 0; ++b)
      if (row[b]) first = b * 8 + std::countl_zero(row[b]);
    if (first < 0) continue;
    for (int32_t b = RowLen - 1; b >= 0 && last < 0; --b)
      if (row[b]) last = b * 8 + 7 - std::countr_zero(row[b]);
    X1 = std::min(X1, first);
    X2 = std::max(X2, last);
    Y1 = std::min(Y1, y);
    Y2 = y;
  }
}

void TIEMask::Negative() {
  if (!Bits || BitCount != 1 || IsEmpty()) return;
  // Only the pixels are inverted: padding bits stay clear so that whole-byte
  // readers of the rows never see pixels beyond Width.
  const int32_t usedBytes = (Width + 7) / 8;
  const uint8_t lastMask = static_cast<uint8_t>(0xFF << ((8 - Width % 8) % 8));
  for (int32_t y = 0; y < Height; ++y) {
    uint8_t* row = GetScanLine(y);
    for (int32_t b = 0; b < usedBytes; ++b) row[b] = static_cast<uint8_t>(~row[b]);
    row[usedBytes - 1] &= lastMask;
  }
  Full = false;
  RecomputeBox();
}

void TIEMask::InvertCanvas(TCanvas* canvas, int32_t xDst, int32_t yDst, int32_t dxDst,
                           int32_t dyDst, int32_t xSrc, int32_t ySrc, int32_t dxSrc,
                           int32_t dySrc) {
  if (!canvas || !Bits || BitCount != 1 || IsEmpty()) return;
  DibHeader.bmiHeader.biWidth = Width;
  DibHeader.bmiHeader.biHeight = Height;
  DibHeader.bmiHeader.biSizeImage =
      static_cast<uint32_t>(static_cast<uint64_t>(RowLen) * static_cast<uint64_t>(Height));
  StretchDIBits(canvas->GetHandle(), xDst, yDst, dxDst, dyDst, xSrc, Height - dySrc - ySrc, dxSrc,
                dySrc, Bits, reinterpret_cast<const BITMAPINFO*>(&DibHeader), DIB_RGB_COLORS,
                SRCINVERT);
}

void TIEMask::BuildOutlineCache(int32_t dxDst, int32_t dyDst) {
  if (dxDst != outlineWidth_ || dyDst != outlineHeight_) {
    outlineWidth_ = dxDst;
    outlineHeight_ = dyDst;
    outlineRowLen_ = static_cast<int32_t>(_BitmapRowLen(dxDst, 1));
    outline_.assign(static_cast<uint64_t>(outlineRowLen_) * static_cast<uint64_t>(dyDst), 0);
  } else {
    std::fill(outline_.begin(), outline_.end(), 0);
  }
}

void TIEMask::DrawOutline(TCanvas* canvas, int32_t xDst, int32_t yDst, int32_t dxDst,
                          int32_t dyDst, int32_t xSrc, int32_t ySrc, int32_t dxSrc, int32_t dySrc,
                          int32_t phase, TColor colour1, TColor colour2) {
  if (!canvas || dxDst <= 0 || dyDst <= 0 || dxSrc <= 0 || dySrc <= 0) return;
  if (!Bits || BitCount != 1 || IsEmpty()) return;
  BuildOutlineCache(dxDst, dyDst);
  auto cacheRow = [&](int64_t j) {
    return outline_.data() + static_cast<uint64_t>(dyDst - 1 - j) * outlineRowLen_;
  };

  // 18.14 fixed-point steps; at least 1 so that huge zooms do not divide by 0.
  const int64_t rowStep = std::max<int64_t>(static_cast<int64_t>(double(dySrc) / dyDst * 16384), 1);
  const int64_t colStep = std::max<int64_t>(static_cast<int64_t>(double(dxSrc) / dxDst * 16384), 1);
  auto srcCol = [&](int64_t i) { return xSrc + ((i * colStep) >> 14); };
  auto srcRow = [&](int64_t j) { return ySrc + ((j * rowStep) >> 14); };

  // Zoomed copy of the part of the mask that covers the box.
  const int64_t jFrom = std::max<int64_t>((int64_t{Y1} - ySrc) * dyDst / dySrc, 0);
  const int64_t jTo = std::min<int64_t>((int64_t{Y2} - ySrc + 1) * dyDst / dySrc, dyDst - 1);
  const int64_t iFrom = std::max<int64_t>((int64_t{X1} - xSrc) * dxDst / dxSrc, 0);
  const int64_t iTo = std::min<int64_t>((int64_t{X2} - xSrc + 1) * dxDst / dxSrc, dxDst - 1);
  for (int64_t j = jFrom; j <= jTo; ++j) {
    const int64_t sy = srcRow(j);
    if (sy < 0 || sy >= Height) continue;
    const uint8_t* src = GetScanLine(static_cast<int32_t>(sy));
    uint8_t* dst = cacheRow(j);
    for (int64_t i = iFrom; i <= iTo; ++i) {
      const int64_t sx = srcCol(i);
      if (sx >= 0 && sx < Width && BitAt(src, sx)) dst[i >> 3] |= 0x80 >> (i & 7);
    }
  }

  // A set pixel is on the outline when a neighbour is clear, or when it
  // lies on the border of the drawn area where the box itself ends.
  auto anyNeighbourClear = [&](int64_t i, int64_t j) {
    for (int64_t r = std::max<int64_t>(j - 1, 0); r <= std::min<int64_t>(j + 1, dyDst - 1); ++r) {
      const uint8_t* row = cacheRow(r);
      if (!BitAt(row, i - 1) || !BitAt(row, i) || !BitAt(row, i + 1)) return true;
    }
    return false;
  };
  const int32_t rgb1 = ColorToRGB(colour1), rgb2 = ColorToRGB(colour2);
  const int64_t bjFrom = std::max<int64_t>((int64_t{Y1} - ySrc) * 16384 / rowStep, 0);
  const int64_t bjTo = std::min<int64_t>((int64_t{Y2} - ySrc + 1) * 16384 / rowStep + 1, dyDst - 1);
  const int64_t biFrom = std::max<int64_t>((int64_t{X1} - xSrc) * 16384 / colStep, 0);
  const int64_t biTo = std::min<int64_t>((int64_t{X2} - xSrc + 1) * 16384 / colStep + 1, dxDst - 1);
  for (int64_t j = bjFrom; j <= bjTo; ++j) {
    const uint8_t* row = cacheRow(j);
    for (int64_t i = biFrom; i <= biTo; ++i) {
      if (!BitAt(row, i)) continue;
      bool border;
      if (i == 0) border = X1 >= xSrc;
      else if (i == dxDst - 1) border = srcCol(i) >= X2;
      else if (j == 0) border = Y1 >= ySrc;
      else if (j != dyDst - 1) border = anyNeighbourClear(i, j);
      else border = srcRow(j) >= Y2;
      if (!border) continue;
      const int64_t x = xDst + i, y = yDst + j;
      // Bit 2 of the diagonal position makes runs of 4 pixels that move with phase.
      const bool first = ((static_cast<uint64_t>(phase) + x + y) & 4) != 0;
      canvas->SetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y), first ? rgb1 : rgb2);
    }
  }
}

void TIEMask::CopyBitmap(TBitmap* destination, TBitmap* source, bool destinationIsBox,
                         bool sourceIsBox) {
  if (!destination || !source || !Bits || IsEmpty() || X2 < X1 || Y2 < Y1) return;
  const TPixelFormat format = destination->GetPixelFormat();
  if (format != source->GetPixelFormat() || (format != pf24bit && format != pf1bit)) return;
  if (BitCount != 1 && BitCount != 8) return;
  const int32_t dxOff = destinationIsBox ? X1 : 0, dyOff = destinationIsBox ? Y1 : 0;
  const int32_t sxOff = sourceIsBox ? X1 : 0, syOff = sourceIsBox ? Y1 : 0;
  // Only the part of the box that lies inside both bitmaps is touched.
  const int32_t xFrom = std::max({X1, dxOff, sxOff});
  const int32_t yFrom = std::max({Y1, dyOff, syOff});
  const int64_t xTo = std::min<int64_t>({X2, int64_t{destination->GetWidth()} + dxOff - 1,
                                         int64_t{source->GetWidth()} + sxOff - 1});
  const int64_t yTo = std::min<int64_t>({Y2, int64_t{destination->GetHeight()} + dyOff - 1,
                                         int64_t{source->GetHeight()} + syOff - 1});
  for (int64_t y = yFrom; y <= yTo; ++y) {
    const uint8_t* m = GetScanLine(static_cast<int32_t>(y));
    uint8_t* d = destination->ScanLine(static_cast<int32_t>(y - dyOff));
    const uint8_t* s = source->ScanLine(static_cast<int32_t>(y - syOff));
    for (int64_t x = xFrom; x <= xTo; ++x) {
      const int v = BitCount == 1 ? (BitAt(m, x) ? 255 : 0) : m[x];
      const int64_t dx = x - dxOff, sx = x - sxOff;
      if (format == pf24bit) {
        if (BitCount == 1) {
          if (v) std::memcpy(d + dx * 3, s + sx * 3, 3);
        } else {
          for (int c = 0; c < 3; ++c) d[dx * 3 + c] = IEBlendByte(d[dx * 3 + c], s[sx * 3 + c], v);
        }
      } else if (v) {
        if (BitAt(s, sx)) d[dx >> 3] |= 0x80 >> (dx & 7);
        else d[dx >> 3] &= ~(0x80 >> (dx & 7));
      }
    }
  }
}
