#include "imaging/proc/iepolygoncopy.h"

#include "imaging/core/iemask.h"
#include "platform/canvas.h"
#include "platform/gdi.h"
#include "platform/graphics.h"

namespace {

void DrawClipped(TBitmap* dst, TBitmap* src, int x, int y, const TPoint* points, int count) {
  // Without a region the draw would not be clipped at all.
  if (count < 3) return;
  HRGN region = CreatePolygonRgn(points, count, ALTERNATE);
  if (!region) return;
  TCanvas* canvas = dst->GetCanvas();
  HDC dc = canvas->GetHandle();
  SelectClipRgn(dc, region);
  canvas->Draw(x, y, src);
  SelectClipRgn(dc, nullptr);
  DeleteObject(region);
}

}  // namespace

int _CopyPolygonBitmap(TBitmap* Dst, TBitmap* Src, int X, int Y, const TPoint* Points,
                       int PointCount) {
  int first = 0;
  int afterSeparator = 0;
  for (int i = 0; i <= PointCount; ++i) {
    const bool end = i == PointCount;
    if (!end && Points[i].x != TIEMask::PolygonSeparator) continue;
    DrawClipped(Dst, Src, X, Y, Points + first, i - first);
    first = i + 1;
    if (!end) afterSeparator = i + 1;
  }
  return afterSeparator;
}
