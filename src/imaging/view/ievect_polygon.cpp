// TPixVect: polygon operations on polyline objects (the cores are in
// ievect_polygoncore.cpp) and turning the view's selection into a bitmap
// object.
#include <algorithm>

#include "imaging/core/iemask.h"
#include "imaging/view/ievect.h"
#include "imaging/view/ievect_polygon.h"

bool TPixVect::RemovePolygonJaggedEdges(int h) {
  const TIEVObject* o = GetObj(h);
  bool done = false;
  if (o && o->Kind == iekPOLYLINE && !o->PolylinePoints.empty()) {
    const int n = int(o->PolylinePoints.size());
    std::vector<TStaircasePoint> chain(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      const TPoint p = GetObjPolylinePoints(h, i);
      chain[size_t(i)] = {p.x, p.y, 0};
    }
    for (int i = 0; i < n; ++i) {
      const TStaircasePoint& p = chain[size_t(i)];
      const TStaircasePoint& q = chain[size_t((i + 1) % n)];
      chain[size_t(i)].code = q.x == p.x ? (q.y > p.y ? 2 : -2) : (q.x > p.x ? 1 : -1);
    }
    std::vector<TPoint> out;
    if (SmoothStaircase(chain, n, out) > 2) {
      for (TPoint& p : out) p = {p.x / 32, p.y / 32};
      SetObjPolylinePoints(h, out);
      done = true;
    }
  }
  Update();
  return done;
}

void TPixVect::SimplifyPolygon(int h, int maximum) {
  const TIEVObject* o = GetObj(h);
  if (o && o->Kind == iekPOLYLINE) {
    maximum = std::max(maximum, 2);  // a polyline keeps its two ends
    double t = 0.1;
    for (;;) {
      std::vector<TPoint> pts, out;
      for (int i = 0; i < GetObjPolylinePointsCount(h); ++i) pts.push_back(GetObjPolylinePoints(h, i));
      SimplifyPoints(pts, out, t);
      SetObjPolylinePoints(h, out);
      if (int(out.size()) <= maximum) break;
      t += 0.1;
    }
  }
  Update();
}

int TPixVect::CreateImageFromSelectedArea() {
  if (!HasSelection || !SelectionMask || SelectionMask->IsEmpty()) return -1;
  TBitmap bitmap;
  CopySelectionToBitmap(&bitmap);
  if (bitmap.GetEmpty()) return -1;
  TIEMask mask;
  mask.AllocateBits(bitmap.GetWidth(), bitmap.GetHeight(), 8);
  const int32_t sx = GetSelX1(), sy = GetSelY1();
  for (int y = 0; y < bitmap.GetHeight(); ++y)
    for (int x = 0; x < bitmap.GetWidth(); ++x)
      if (SelectionMask->IsPointInside(x + sx, y + sy)) mask.SetPixel(x, y, 255);
  const int h = AddNewObject();
  SetObjKind(h, iekBITMAP);
  SetObjBitmap(h, &bitmap);
  SetObjBitmapAlpha(h, &mask);
  SetObjRect(h, {GetSelX1(), GetSelY1(), GetSelX2(), GetSelY2()});
  return h;
}
