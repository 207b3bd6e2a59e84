// Mouse interaction: clicking to zoom, dragging to scroll, and making,
// resizing and moving selections. The handlers form a small state machine
// over the drag state (polygon in progress, lasso, rectangle and circle
// drags, resizing and moving grips). Only the left button makes, resizes
// or moves selections; the other buttons zoom out or do nothing, and
// every release ends whatever drag was running.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "imaging/core/iegeometry.h"
#include "imaging/core/iemask.h"
#include "imaging/view/pixview.h"
#include "imaging/view/pixview_math.h"
#include "platform/forms.h"
#include "platform/input.h"

namespace {

constexpr int32_t kSeparator = TIEMask::PolygonSeparator;
constexpr TCursor kHandCursor = 1782;
constexpr TCursor kMoveCursor = 1790;
constexpr TCursor kHourGlass = -11;
constexpr TIEMouseInteract kSelectionModes =
    miSelect | miSelectPolygon | miSelectCircle | miSelectZoom | miSelectMagicWand | miSelectLasso;

// The handlers always pass client pixels to the selection operations.
class ClientBase {
 public:
  explicit ClientBase(TIESelectionBase& base) : base_(base), saved_(base) { base = iesbClientArea; }
  ~ClientBase() { base_ = saved_; }
  ClientBase(const ClientBase&) = delete;
  ClientBase& operator=(const ClientBase&) = delete;

 private:
  TIESelectionBase& base_;
  TIESelectionBase saved_;
};

// The cursor that shows what a press at a grip would do.
TCursor GripCursor(int grip) {
  switch (grip) {
    case 0:
    case 2: return 1786;
    case 1:
    case 3: return 1788;
    case 4:
    case 5: return 1789;
    default: return 1787;  // 6 and 7
  }
}

double ZoomInStep(double zoom) {
  if (zoom >= 100) return zoom + 100;
  for (double z : {2.0, 5.0, 10.0, 25.0, 33.0, 50.0, 75.0, 100.0})
    if (z > zoom) return z;
  return 100;
}

double ZoomOutStep(double zoom) {
  if (zoom >= 200) return zoom - 100;
  for (double z : {100.0, 75.0, 50.0, 33.0, 25.0, 10.0, 5.0, 2.0})
    if (z < zoom) return z;
  return 2;
}

}  // namespace

// Mode set ----------------------------------------------------------------------------------------

void TPixView::SetMouseInteract(TIEMouseInteract items) {
  if (items == mouseInteract_) return;
  // A polygon being clicked closes with the points clicked so far.
  if (polyInProgress_ && (mouseInteract_ & miSelectPolygon)) {
    SelectionMask->Empty();
    EndSelect();
    polyInProgress_ = false;
    Invalidate();
  }
  // The first newly added item decides which others may stay with it.
  struct Rule {
    TIEMouseInteract item, keep;
  };
  static const Rule kRules[] = {
      {miScroll, miZoom | miScroll},
      {miSelect, miZoom | miSelect},
      {miSelectPolygon, miSelectPolygon},
      {miSelectCircle, miZoom | miSelectCircle},
      {miSelectLasso, miZoom | miSelectLasso},
      {miSelectZoom, miZoom | miSelectZoom},
      {miZoom, ~(miSelectPolygon | miSelectMagicWand)},
      {miSelectMagicWand, miSelectMagicWand},
  };
  for (const Rule& rule : kRules)
    if ((items & rule.item) && !(mouseInteract_ & rule.item)) {
      items &= rule.keep;
      break;
    }
  mouseInteract_ = items;
}

// Grips ---------------------------------------------------------------------------------------------

int TPixView::GetResizingGrip(int32_t x, int32_t y) {
  TIEAnimPoly* p = SelectionPolygon();
  if (!p->Visible || !p->Sizeable || rectDrag_ || !_IsRectangle(p->Points.data(), p->Count())) return -1;
  for (int i = 0; i < p->Count(); ++i) {
    const TPoint pt = p->Points[size_t(i)];
    if (pt.x == kSeparator) continue;
    const int32_t sx = XBmp2Scr(pt.x), sy = YBmp2Scr(pt.y);
    if (std::abs(int64_t(x) - sx) <= gripSize_ && std::abs(int64_t(y) - sy) <= gripSize_) return i;
  }
  const int32_t c = XBmp2Scr(p->X1), d = YBmp2Scr(p->Y1), e = XBmp2Scr(p->X2), f = YBmp2Scr(p->Y2);
  if (_DistPoint2Seg(x, y, c, f, c, d) < 3) return 4;
  if (_DistPoint2Seg(x, y, e, f, e, d) < 3) return 5;
  if (_DistPoint2Seg(x, y, c, d, e, d) < 3) return 6;
  if (_DistPoint2Seg(x, y, c, f, e, f) < 3) return 7;
  return -1;
}

int TPixView::GetMovingGrip(int32_t x, int32_t y) {
  if (SelectionMask->IsEmpty() || rectDrag_ || polyInProgress_ || circleDrag_) return -1;
  if (!SelectionMask->IsPointInside(XScr2Bmp(x), YScr2Bmp(y))) return -1;
  return (selectionOptions_ & iesoMoveable) ? 0 : -1;
}

// Helpers -------------------------------------------------------------------------------------------

TPoint TPixView::LimitToPicture(int x, int y) const {
  return {std::clamp(x, OffsetX, OffsetX + VisibleW), std::clamp(y, OffsetY, OffsetY + VisibleH)};
}

void TPixView::FireSelectionChanging() {
  if (OnSelectionChanging) OnSelectionChanging(this);
}

// The line from the mouse to the last clicked point, drawn inverted so
// that drawing it twice takes it away.
void TPixView::DrawRubberBand() {
  if (!polyInProgress_ || lasso_ || !HasParentWindow()) return;
  TIEAnimPoly* p = SelectionPolygon();
  if (p->Count() == 0 || p->Points.back().x == kSeparator) return;
  TCanvas* canvas = GetCanvas();
  canvas->Pen->Mode = pmNot;
  canvas->Pen->Width = 1;
  canvas->Pen->Style = psSolid;
  canvas->MoveTo(lastPoint_.x, lastPoint_.y);
  canvas->LineTo(XBmp2Scr(p->Points.back().x), YBmp2Scr(p->Points.back().y));
  canvas->Pen->Mode = pmCopy;
}

// With Alt, a new polygon point lies on the horizontal, vertical or
// diagonal through the last one.
void TPixView::SnapToLastPoint(int& x, int& y) {
  TIEAnimPoly* p = SelectionPolygon();
  if (p->Count() == 0 || p->Points.back().x == kSeparator) return;
  int32_t sx = x, sy = y;
  _CastPolySelCC(XBmp2Scr(p->Points.back().x), YBmp2Scr(p->Points.back().y), sx, sy);
  x = sx;
  y = sy;
}

bool TPixView::MouseMoveScroll() {
  bool scrolled = false;
  for (;;) {
    TPoint at;
    GetCursorPos(at);
    at = ScreenToClient(at);
    int32_t dx = 0, dy = 0;
    if (at.x < OffsetX) dx = at.x - OffsetX;
    if (at.x > OffsetX + VisibleW - 1) dx = at.x - (OffsetX + VisibleW - 1);
    if (at.y < OffsetY) dy = at.y - OffsetY;
    if (at.y > OffsetY + VisibleH - 1) dy = at.y - (OffsetY + VisibleH - 1);
    if (dx == 0 && dy == 0) break;
    const int32_t oldX = viewX_, oldY = viewY_;
    SetViewXY(viewX_ + dx, viewY_ + dy);
    if (viewX_ == oldX && viewY_ == oldY) break;
    scrolled = true;
    // The remembered points move with the content.
    downPoint_.x += oldX - viewX_;
    downPoint_.y += oldY - viewY_;
    SubMouseMoveScroll(viewX_ - oldX, viewY_ - oldY);
  }
  return scrolled;
}

void TPixView::SubMouseMoveScroll(int32_t dx, int32_t dy) {
  lastPoint_.x -= dx;
  lastPoint_.y -= dy;
  prevPoint_.x -= dx;
  prevPoint_.y -= dy;
}

// Mouse down ----------------------------------------------------------------------------------------

void TPixView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TIEView::MouseDown(button, shift, x, y);
  if (CanFocus()) SetFocus();
  const TIEMouseInteract mi = mouseInteract_;
  if (button != mbLeft && !(mi & miZoom)) return;
  // Without scrolling the picture is drawn unfiltered while the button is
  // held; a second button keeps the filter saved by the first.
  if (!pressActive_) {
    savedZoomFilter_ = zoomFilter_;
    pressActive_ = true;
  }
  if (!(mi & miScroll)) zoomFilter_ = rfNone;
  ClientBase base(SelectionBase);

  const TPoint at = LimitToPicture(x, y);
  x = at.x;
  y = at.y;
  downPoint_ = prevPoint_ = lastPoint_ = at;
  downViewX_ = viewX_;
  downViewY_ = viewY_;
  downPolyCount_ = GetPolySelCount();
  moveRan_ = resizeRan_ = false;
  pressAddedPoint_ = false;

  if (button == mbLeft) {
    const bool alt = (shift & ssAlt) || AltConstraint;
    if (mi & (miSelectPolygon | miSelectLasso)) {
      movingGrip_ = GetMovingGrip(x, y);
      if (movingGrip_ == -1) {
        if (alt) SnapToLastPoint(x, y);
        if (!polyInProgress_) {
          if (shift & ssShift)
            AddSelBreakEx();
          else
            DeSelect();
        }
        AddSelPointEx(x, y);
        pressAddedPoint_ = true;
        polyInProgress_ = true;
        lasso_ = (mi & miSelectLasso) != 0;
        FireSelectionChanging();
      }
    } else if (mi & (miSelect | miSelectZoom)) {
      resizingGrip_ = GetResizingGrip(x, y);
      movingGrip_ = GetMovingGrip(x, y);
      if (resizingGrip_ == -1 && movingGrip_ == -1) {
        rectDrag_ = true;
        FireSelectionChanging();
      }
      if (resizingGrip_ >= 0) {
        const TIEAnimPoly* p = SelectionPolygon();
        resizeX1_ = p->X1, resizeY1_ = p->Y1, resizeX2_ = p->X2, resizeY2_ = p->Y2;
      }
    } else if (mi & miSelectCircle) {
      movingGrip_ = GetMovingGrip(x, y);
      if (movingGrip_ == -1) {
        circleDrag_ = true;
        ShowSelectionEx(false);
        FireSelectionChanging();
      }
    } else if (mi & miSelectMagicWand) {
      movingGrip_ = GetMovingGrip(x, y);
    }
    if (mi & miScroll) SaveCursor(kHandCursor);
  }
}

// The second press of a double click closes a clicked polygon; the point
// that press added goes again, so the polygon keeps the clicked points.
void TPixView::DoubleClickPress(TShiftState shift) {
  if (!polyInProgress_ || lasso_) return;
  if (pressAddedPoint_) AnimPolygonRemoveLastPoint(SelectionPolygon());
  pressAddedPoint_ = false;
  if (!(shift & ssShift)) SelectionMask->Empty();
  EndSelect();
  Update();
  polyInProgress_ = false;
  if (OnSelectionChange) OnSelectionChange(this);
}

// Mouse move ----------------------------------------------------------------------------------------

void TPixView::RectangleDrag(TShiftState shift, int x, int y) {
  const bool square = (shift & ssAlt) || AltConstraint;
  if (shift & ssShift) {
    if (GetPolySelCount() != downPolyCount_) AnimPolygonRemoveLast(SelectionPolygon());
    SelectEx(downPoint_.x, downPoint_.y, x, y, iespAdd, square);
  } else {
    SelectEx(downPoint_.x, downPoint_.y, x, y, iespReplace, square);
  }
}

// An ellipse around the down point through the mouse, as a polygon of
// about one point per four pixels of its smaller circumference.
void TPixView::CircleDrag(TShiftState shift, int x, int y) {
  TIEAnimPoly* p = SelectionPolygon();
  LockPaint();
  if (shift & ssShift) {
    if (p->Count() != downPolyCount_) AnimPolygonRemoveLast(p);
    if (p->Count() > 0) AnimPolygonAddBreak(p);
  } else {
    AnimPolygonClear(p);
  }
  NPUnLockPaint();
  int32_t rx = std::abs(downPoint_.x - x), ry = std::abs(downPoint_.y - y);
  if ((shift & ssAlt) || AltConstraint) rx = ry = std::max(rx, ry);
  const double prx = TruncI(rx * inverseFactor_), pry = TruncI(ry * inverseFactor_);
  const int n = std::max(TruncI(std::min(prx, pry) * 2 * std::numbers::pi) / 4, 3);
  const double cx = XScr2Bmp(downPoint_.x), cy = YScr2Bmp(downPoint_.y);
  const int32_t pw = bitmap_->GetWidth(), ph = bitmap_->GetHeight();
  for (int k = 0; k < n; ++k) {
    const double a = 2 * std::numbers::pi * k / n;
    AnimPolygonAddPtEx(p, std::clamp(TruncI(std::cos(a) * prx + cx), 0, pw),
                       std::clamp(TruncI(std::sin(a) * pry + cy), 0, ph));
  }
  Paint();
}

void TPixView::MouseMove(TShiftState shift, int x, int y) {
  TIEView::MouseMove(shift, x, y);
  ClientBase base(SelectionBase);
  const TIEMouseInteract mi = mouseInteract_;
  const int rawX = x, rawY = y;
  const TPoint at = LimitToPicture(x, y);
  x = at.x;
  y = at.y;
  const bool alt = (shift & ssAlt) || AltConstraint;

  if (GetMouseCapture()) {
    if (mi & miScroll) {
      SetViewXY(downViewX_ + downPoint_.x - rawX, downViewY_ + downPoint_.y - rawY);
    } else if (resizingGrip_ >= 0) {
      MouseMoveScroll();
      resizingGrip_ = SelectResizeEx(resizingGrip_, x, y, alt);
      resizeRan_ = true;
      FireSelectionChanging();
    } else if (movingGrip_ >= 0) {
      MouseMoveScroll();
      movingGrip_ = SelectMoveEx(movingGrip_, XScr2Bmp(x) - XScr2Bmp(prevPoint_.x), YScr2Bmp(y) - YScr2Bmp(prevPoint_.y));
      moveRan_ = true;
      FireSelectionChanging();
    } else if (rectDrag_) {
      MouseMoveScroll();
      RectangleDrag(shift, x, y);
      FireSelectionChanging();
    } else if (polyInProgress_) {
      // Held down, the polygon follows the mouse: one point per move.
      MouseMoveScroll();
      Paint();
      AnimPolygonAddPtEx(SelectionPolygon(), XScr2Bmp(x), YScr2Bmp(y));
      AniPolyFunc(this, true);
      FireSelectionChanging();
    } else if (circleDrag_) {
      MouseMoveScroll();
      CircleDrag(shift, x, y);
      FireSelectionChanging();
    }
  } else {
    if ((!polyInProgress_ || lasso_) && (mi & kSelectionModes)) {
      const int grip = GetResizingGrip(x, y);
      if (OnMouseInResizingGrip) OnMouseInResizingGrip(this, grip);
      if (grip >= 0)
        TControl::SetCursor(GripCursor(grip));
      else if (GetMovingGrip(x, y) >= 0)
        TControl::SetCursor(kMoveCursor);
      else
        TControl::SetCursor(cursor_);
    }
    if (polyInProgress_ && !lasso_) {
      DrawRubberBand();
      if (alt) SnapToLastPoint(x, y);
      lastPoint_ = {x, y};
      DrawRubberBand();
      FireSelectionChanging();
    }
  }
  if (OnMouseInSel && SelectionMask->IsPointInside(XScr2Bmp(x), YScr2Bmp(y))) OnMouseInSel(this);
  lastPoint_ = prevPoint_ = {x, y};
}

// Mouse up ------------------------------------------------------------------------------------------

void TPixView::ClickZoom(TMouseButton button, int x, int y) {
  if (button == mbLeft) {
    if (mouseInteract_ & miScroll) RestoreCursor();
    double z = ZoomInStep(zoom_);
    if (OnZoomIn) OnZoomIn(this, z);
    if (z != zoom_) ZoomAt(x, y, z);
  } else if (button == mbRight) {
    double z = ZoomOutStep(zoom_);
    if (OnZoomOut) OnZoomOut(this, z);
    if (z != zoom_) ZoomAt(x, y, z);
  }
}

// The end of a drag that drew a new shape: the mask takes it (added to
// what it held with Shift).
void TPixView::SelectionDone(TShiftState shift, bool fill) {
  if (fill) {
    if (!(shift & ssShift)) SelectionMask->Empty();
    EndSelect();
  }
  if (OnSelectionChange) OnSelectionChange(this);
  Update();
}

void TPixView::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TIEView::MouseUp(button, shift, x, y);
  const TIEMouseInteract mi = mouseInteract_;
  const TPoint at = LimitToPicture(x, y);
  {
    ClientBase base(SelectionBase);
    const bool left = button == mbLeft;
    const bool click = at.x == downPoint_.x && at.y == downPoint_.y;
    if ((mi & miZoom) && x == downPoint_.x && y == downPoint_.y) {
      ClickZoom(button, at.x, at.y);
      // A lasso that the click's press began was no lasso: its point goes
      // and what was selected before stays.
      if (left && lasso_ && pressAddedPoint_) {
        AnimPolygonRemoveLastPoint(SelectionPolygon());
        EndSelect();
      }
      polyInProgress_ = false;
    } else if (left && (mi & miScroll)) {
      SetViewXY(downViewX_ + downPoint_.x - x, downViewY_ + downPoint_.y - y);
      RestoreCursor();
    } else if (left && (mi & miSelectZoom)) {
      ZoomSelection();
      rectDrag_ = false;
    } else if (left && (mi & miSelect)) {
      if (click && !resizeRan_ && !moveRan_) {
        DeSelect();
      } else if (rectDrag_ || resizingGrip_ >= 0) {
        rectDrag_ = false;
        resizingGrip_ = movingGrip_ = -1;
        SelectionDone(shift, true);
      } else if (moveRan_) {
        // A moved selection keeps its mask, which moved with it.
        movingGrip_ = -1;
        SelectionDone(shift, false);
      }
    } else if (left && (mi & miSelectCircle)) {
      if (click && !moveRan_) {
        DeSelect();
      } else {
        const bool drew = circleDrag_;
        circleDrag_ = false;
        movingGrip_ = -1;
        SelectionDone(shift, drew);
      }
    } else if (left && (mi & miSelectLasso)) {
      if (click && !moveRan_) {
        DeSelect();
      } else {
        const bool drew = lasso_;
        lasso_ = polyInProgress_ = false;
        movingGrip_ = -1;
        SelectionDone(shift, drew);
      }
    } else if (left && (mi & miSelectPolygon)) {
      if (moveRan_) {
        movingGrip_ = -1;
        if (OnSelectionChange) OnSelectionChange(this);
      }
      Update();
    } else if (left && (mi & miSelectMagicWand)) {
      if (!moveRan_) {
        TControl::SetCursor(kHourGlass);
        SelectMagicWand(at.x, at.y, (shift & ssShift) ? iespAdd : iespReplace);
        TControl::SetCursor(cursor_);
      } else {
        movingGrip_ = -1;
      }
      if (OnSelectionChange) OnSelectionChange(this);
      Update();
    }
  }
  if (pressActive_) SetZoomFilter(savedZoomFilter_);
  pressActive_ = false;
  // Whichever button comes up, no drag outlives it: a grip or a rectangle
  // drag left running would take over the next move.
  resizingGrip_ = movingGrip_ = -1;
  rectDrag_ = circleDrag_ = false;
  if (lasso_) polyInProgress_ = false;
  lasso_ = false;
  moveRan_ = resizeRan_ = false;
}
