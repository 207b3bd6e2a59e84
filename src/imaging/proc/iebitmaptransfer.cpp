#include "imaging/proc/iebitmaptransfer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "imaging/core/iemask.h"
#include "platform/canvas.h"

namespace {

using TPolygon = std::vector<TPoint>;

void GrowTo(TBitmap* bitmap, int width, int height) {
  if (bitmap->GetWidth() < width) bitmap->SetWidth(width);
  if (bitmap->GetHeight() < height) bitmap->SetHeight(height);
}

// Copies sourceRect of source into dest of target through each polygon,
// moved by (dx, dy), as the clip region.
void CopyThroughPolygons(TBitmap* source, const TRect& sourceRect, TBitmap* target, const TRect& dest,
                         const std::vector<TPolygon>& polygons, int dx, int dy) {
  TCanvas* canvas = target->GetCanvas();
  HDC dc = canvas->GetHandle();
  for (TPolygon polygon : polygons) {
    for (TPoint& p : polygon) p = TPoint{p.x + dx, p.y + dy};
    HRGN region = CreatePolygonRgn(polygon.data(), int(polygon.size()), ALTERNATE);
    SelectClipRgn(dc, region);
    canvas->CopyRect(dest, source->GetCanvas(), sourceRect);
    SelectClipRgn(dc, nullptr);
    DeleteObject(region);
  }
}

}  // namespace

TIEPolygons IESplitPolygons(const TPoint* points, int count) {
  TIEPolygons result;
  result.box = TRect{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  TPolygon current;
  auto close = [&] {
    if (current.size() >= 3) result.polygons.push_back(current);
    current.clear();
  };
  for (int i = 0; i < count; ++i) {
    const TPoint& p = points[i];
    if (p.x == TIEMask::PolygonSeparator) {
      close();
      continue;
    }
    current.push_back(p);
    result.box.Left = std::min(result.box.Left, p.x);
    result.box.Top = std::min(result.box.Top, p.y);
    result.box.Right = std::max(result.box.Right, p.x);
    result.box.Bottom = std::max(result.box.Bottom, p.y);
  }
  close();
  return result;
}

void _CopyPolygonToPoint(TBitmap* source, const TPoint* points, int count, TBitmap* target, TPoint point) {
  if (count < 3) return;
  const TIEPolygons split = IESplitPolygons(points, count);
  if (split.polygons.empty()) return;
  const TRect& box = split.box;
  const TRect dest{point.x, point.y, point.x + box.Right - box.Left, point.y + box.Bottom - box.Top};
  GrowTo(target, dest.Right + 1, dest.Bottom + 1);
  CopyThroughPolygons(source, box, target, dest, split.polygons, point.x - box.Left, point.y - box.Top);
}

void _CopyPointToPolygon(TBitmap* source, const TPoint* points, int count, TBitmap* target, TPoint point) {
  if (count < 3) return;
  const TIEPolygons split = IESplitPolygons(points, count);
  if (split.polygons.empty()) return;
  const TRect& box = split.box;
  const TRect from{point.x, point.y, point.x + box.Right - box.Left, point.y + box.Bottom - box.Top};
  GrowTo(target, box.Right, box.Bottom);
  CopyThroughPolygons(source, from, target, box, split.polygons, 0, 0);
}

void _CopyBitmapPoly(TBitmap* source, TBitmap* target, int x1, int y1, int x2, int y2, const TPoint* points,
                     int count) {
  if (count < 3) return;
  const TIEPolygons split = IESplitPolygons(points, count);
  target->SetSize(1, 1);
  target->SetPixelFormat(source->GetPixelFormat());
  target->SetSize(std::max(0, x2 - x1), std::max(0, y2 - y1));
  const TRect whole{0, 0, target->GetWidth(), target->GetHeight()};
  CopyThroughPolygons(source, TRect{x1, y1, x2, y2}, target, whole, split.polygons, -x1, -y1);
}

bool _BitmapCompareX(TBitmap* a, TBitmap* b) {
  if (a->GetWidth() != b->GetWidth() || a->GetHeight() != b->GetHeight()) return false;
  if (a->GetPixelFormat() != b->GetPixelFormat() || a->BytesPerLine() != b->BytesPerLine()) return false;
  // Only the pixels' own bits: row padding carries no meaning.
  const int bitsPerPixel = [&] {
    switch (a->GetPixelFormat()) {
      case pf1bit: return 1;
      case pf8bit: case pf4bit: return 8;
      case pf15bit: case pf16bit: return 16;
      case pf24bit: return 24;
      default: return 32;
    }
  }();
  const int64_t bits = int64_t(a->GetWidth()) * bitsPerPixel;
  const size_t whole = size_t(bits / 8);
  const uint8_t lastMask = uint8_t(0xFF00 >> (bits % 8));
  for (int y = 0; y < a->GetHeight(); ++y) {
    const uint8_t* ra = a->ScanLine(y);
    const uint8_t* rb = b->ScanLine(y);
    if (std::memcmp(ra, rb, whole) != 0) return false;
    if (lastMask != 0 && ((ra[whole] ^ rb[whole]) & lastMask) != 0) return false;
  }
  return true;
}

HPALETTE _CreateWinPalette(const TRGB* colours, int count) {
  count = std::clamp(count, 0, 256);
  if (count == 0) return nullptr;
  std::vector<uint8_t> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * size_t(count));
  auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = uint16_t(count);
  for (int i = 0; i < count; ++i) palette->palPalEntry[i] = PALETTEENTRY{colours[i].r, colours[i].g, colours[i].b, 0};
  return CreatePalette(palette);
}
