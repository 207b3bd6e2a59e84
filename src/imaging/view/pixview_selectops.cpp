// Selection edits: resizing a rectangle by its grips, moving the
// selection, and the magic wand's entry into the view.
#include <algorithm>
#include <utility>

#include "imaging/core/iemask.h"
#include "imaging/view/magicwand.h"
#include "imaging/view/pixview.h"
#include "imaging/view/pixview_math.h"

namespace {

// The grip on the other side when the dragged edge passed the opposite one.
int MirrorHorizontally(int grip) {
  switch (grip) {
    case 0: return 1;
    case 1: return 0;
    case 3: return 2;
    case 2: return 3;
    case 4: return 5;
    case 5: return 4;
    default: return grip;
  }
}

int MirrorVertically(int grip) {
  switch (grip) {
    case 0: return 3;
    case 3: return 0;
    case 1: return 2;
    case 2: return 1;
    case 6: return 7;
    case 7: return 6;
    default: return grip;
  }
}

void Order(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
}

}  // namespace

int TPixView::SelectResizeEx(int Grip, int32_t x, int32_t y, bool KeepAspect) {
  TIEAnimPoly* p = SelectionPolygon();
  if (!_IsRectangle(p->Points.data(), p->Count())) return Grip;
  x = XScr2Bmp(x);
  y = YScr2Bmp(y);
  // Keeping the aspect: the free coordinate follows the other one along
  // the start rectangle's diagonal.
  const int32_t w0 = resizeX2_ - resizeX1_ + 1, h0 = resizeY2_ - resizeY1_ + 1;
  if (KeepAspect && h0 != 0) {
    const double f = double(w0) / h0;
    switch (Grip) {
      case 4: Grip = 0; [[fallthrough]];
      case 0: y = RoundI(resizeY2_ + 1 + (x - resizeX2_ - 1) / f); break;
      case 1: y = RoundI(resizeY2_ + (resizeX1_ - x - 1) / f); break;
      case 5: Grip = 2; [[fallthrough]];
      case 2: y = RoundI(resizeY1_ - 1 + (x - resizeX1_ + 1) / f); break;
      case 3: y = RoundI(resizeY1_ + 1 + (resizeX2_ - x + 1) / f); break;
      case 6:
        x = RoundI(resizeX2_ + 1 - f * (resizeY2_ + 1 - y));
        Grip = 0;
        break;
      case 7:
        x = RoundI(resizeX1_ - 1 + f * (y - resizeY1_ + 1));
        Grip = 2;
        break;
      default: break;
    }
  }
  // X2 and Y2 lie one past the last selected column and row.
  if (Grip == 1 || Grip == 2 || Grip == 5) ++x;
  if (Grip == 2 || Grip == 3 || Grip == 7) ++y;
  int32_t x1 = p->X1, y1 = p->Y1, x2 = p->X2, y2 = p->Y2;
  if (Grip == 0 || Grip == 3 || Grip == 4) x1 = x == x2 ? x - 1 : x;
  if (Grip == 1 || Grip == 2 || Grip == 5) x2 = x1 == x ? x + 1 : x;
  if (Grip == 0 || Grip == 1 || Grip == 6) y1 = y == y2 ? y - 1 : y;
  if (Grip == 2 || Grip == 3 || Grip == 7) y2 = y1 == y ? y + 1 : y;
  if (x2 < x1) Grip = MirrorHorizontally(Grip);
  if (y2 < y1) Grip = MirrorVertically(Grip);

  p->Points.clear();
  Order(x1, y1, x2, y2);
  const int32_t pw = bitmap_->GetWidth(), ph = bitmap_->GetHeight();
  x1 = std::clamp(x1, 0, pw);
  x2 = std::clamp(x2, 0, pw);
  y1 = std::clamp(y1, 0, ph);
  y2 = std::clamp(y2, 0, ph);
  Order(x1, y1, x2, y2);
  AnimPolygonAddPtEx(p, x1, y1);
  AnimPolygonAddPtEx(p, x2, y1);
  AnimPolygonAddPtEx(p, x2, y2);
  AnimPolygonAddPtEx(p, x1, y2);
  ShowSelectionEx(true);
  return Grip;
}

int TPixView::SelectMoveEx(int Grip, int32_t dx, int32_t dy) {
  SelectionMask->TranslateBitmap(dx, dy, (selectionOptions_ & iesoCutBorders) != 0);
  if (dx == 0 && dy == 0) return Grip;
  // A filled selection is part of the painted picture.
  if (selectionOptions_ & iesoFilled) dirty_ = true;
  AnimPolygonMove(SelectionPolygon(), dx, dy, bitmap_->GetWidth(), bitmap_->GetHeight());
  AniPolyFunc(this, true);
  return Grip;
}

void TPixView::SelectMagicWand(int32_t x, int32_t y, TIESelOp Op) {
  if (SelectionBase == iesbClientArea) {
    x = XScr2Bmp(x);
    y = YScr2Bmp(y);
  }
  const int32_t pw = bitmap_->GetWidth(), ph = bitmap_->GetHeight();
  if (x < 0 || x >= pw || y < 0 || y >= ph) return;
  TIEAnimPoly* p = SelectionPolygon();
  if (MagicWandMode == iewInclusive) {
    int32_t count = 0;
    const std::vector<TPoint> points = _MakeMagicWandPoints(bitmap_, x, y, MagicWandGrow, MagicWandTolerance, count);
    if (count > 0) {
      HasSelection = true;
      if (Op == iespAdd && p->Count() > 0) {
        AnimPolygonAddBreak(p);
      } else {
        p->Points.clear();
        SelectionMask->Empty();
      }
      for (const TPoint& pt : points) AnimPolygonAddPtEx(p, std::clamp(pt.x, 0, pw), std::clamp(pt.y, 0, ph));
      if (Op == iespReplace) SelectionMask->Empty();
      EndSelect();
      ShowSelectionEx(true);
    }
  } else {
    if (Op == iespReplace) {
      p->Points.clear();
      SelectionMask->Empty();
    }
    if (MagicWandMode == iewExclusive)
      _MakeMagicWandPointsEx(bitmap_, x, y, MagicWandGrow, MagicWandTolerance, SelectionMask);
    else
      _MakeMagicWandPointsEx2(bitmap_, x, y, MagicWandTolerance, SelectionMask);
    HasSelection = !SelectionMask->IsEmpty();
    ShowSelectionEx(true);
  }
  dirty_ = true;
  Paint();
}
