// The selection: the polygon store, the selection operations that make a
// rectangle or a polygon and fill the mask, and the outline pass that
// draws the marching ants and drives the 210 ms timer.
#include <algorithm>

#include "imaging/core/iemask.h"
#include "imaging/core/ievalues.h"
#include "imaging/view/pixview.h"
#include "imaging/view/pixview_math.h"
#include "platform/timers.h"

namespace {

constexpr int32_t kSeparator = TIEMask::PolygonSeparator;

bool IsSeparator(const TPoint& p) { return p.x == kSeparator; }

bool IsRectangle(const std::vector<TPoint>& pts) {
  if (pts.size() != 4) return false;
  auto vertical = [](TPoint a, TPoint b) { return a.x == b.x && a.y != b.y; };
  auto horizontal = [](TPoint a, TPoint b) { return a.y == b.y && a.x != b.x; };
  const bool firstVertical = vertical(pts[0], pts[1]);
  for (int i = 0; i < 4; ++i) {
    const TPoint a = pts[i], b = pts[(i + 1) % 4];
    const bool wantVertical = (i % 2 == 0) == firstVertical;
    if (wantVertical ? !vertical(a, b) : !horizontal(a, b)) return false;
  }
  return true;
}

// Per-pixel dashes of 3 pixels in two colours, running on over every edge.
struct DashWalk {
  TCanvas* canvas;
  TIEAnimPoly* poly;
};

void DashPixel(int x, int y, intptr_t data) {
  auto* walk = reinterpret_cast<DashWalk*>(data);
  TIEAnimPoly* p = walk->poly;
  walk->canvas->SetPixel(x, y, p->DashCounter < 3 ? p->Color1 : p->Color2);
  p->DashCounter = (p->DashCounter + 1) % 6;
}

}  // namespace

bool _IsRectangle(const TPoint* Points, int32_t Count) {
  if (Count != 4 || !Points) return false;
  return IsRectangle(std::vector<TPoint>(Points, Points + 4));
}

// Polygon store ---------------------------------------------------------------------------------------

TIEAnimPoly* TPixView::AnimPolygonNew(TColor Color1, TColor Color2, bool Animated, bool Sizeable) {
  auto* p = new TIEAnimPoly();
  p->Color1 = Color1;
  p->Color2 = Color2;
  p->Animated = Animated;
  p->Sizeable = Sizeable;
  p->Canvas = IsDesigning() ? nullptr : GetCanvas();
  polys_.push_back(p);
  if (polys_.size() == 1 && !IsDesigning()) timer_->SetEnabled(true);
  return p;
}

void TPixView::AnimPolygonDel(TIEAnimPoly* p) {
  auto it = std::find(polys_.begin(), polys_.end(), p);
  if (it == polys_.end()) return;
  polys_.erase(it);
  delete p;
  if (polys_.empty()) timer_->SetEnabled(false);
  if (paintLock_ == 0) Paint();
}

void TPixView::AnimPolygonClear(TIEAnimPoly* p) {
  p->Points.clear();
  if (paintLock_ == 0) Paint();
}

void TPixView::AnimPolygonAddPtEx(TIEAnimPoly* p, int32_t x, int32_t y) {
  p->Points.push_back({x, y});
  if (p->Count() == 2) {
    const TPoint a = p->Points[0];
    p->X1 = std::min(a.x, x);
    p->Y1 = std::min(a.y, y);
    p->X2 = std::max(a.x, x);
    p->Y2 = std::max(a.y, y);
  } else if (p->Count() > 2) {
    p->X1 = std::min(p->X1, x);
    p->Y1 = std::min(p->Y1, y);
    p->X2 = std::max(p->X2, x);
    p->Y2 = std::max(p->Y2, y);
  }
  HasSelection = true;
}

void TPixView::AnimPolygonAddPt(TIEAnimPoly* p, int32_t x, int32_t y) {
  AnimPolygonAddPtEx(p, x, y);
  if (paintLock_ == 0) Paint();
}

void TPixView::AnimPolygonAddBreak(TIEAnimPoly* p) {
  if (!p->Points.empty() && IsSeparator(p->Points.back())) return;
  p->Points.push_back({kSeparator, kSeparator});
}

void TPixView::AnimPolygonRemoveLast(TIEAnimPoly* p) {
  for (int32_t i = p->Count() - 1; i > 0; --i)
    if (IsSeparator(p->Points[i])) {
      p->Points.resize(size_t(i));
      if (paintLock_ == 0) Paint();
      return;
    }
  AnimPolygonClear(p);
}

void TPixView::AnimPolygonRemoveLastPoint(TIEAnimPoly* p) {
  if (p->Points.empty()) return;
  p->Points.pop_back();
  while (!p->Points.empty() && IsSeparator(p->Points.back())) p->Points.pop_back();
}

void TPixView::AnimPolygonMove(TIEAnimPoly* p, int32_t dx, int32_t dy, int32_t MaxX, int32_t MaxY) {
  if (dx == 0 && dy == 0) return;
  if (paintLock_ == 0) Paint();
  p->X1 += dx;
  p->Y1 += dy;
  p->X2 += dx;
  p->Y2 += dy;
  for (TPoint& pt : p->Points) {
    if (IsSeparator(pt)) continue;
    pt.x = std::clamp(pt.x + dx, 0, MaxX);
    pt.y = std::clamp(pt.y + dy, 0, MaxY);
  }
}

// Selection operations --------------------------------------------------------------------------------------

void TPixView::Select(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TIESelOp Op) {
  SelectEx(x1, y1, x2, y2, Op, false);
  if (Op == iespReplace) SelectionMask->Empty();
  EndSelect();
  dirty_ = true;
  Paint();
}

void TPixView::SelectEx(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TIESelOp Op, bool Square) {
  if (x1 == x2 || y1 == y2) return;
  if (SelectionBase == iesbClientArea) {
    x1 = XScr2Bmp(x1);
    y1 = YScr2Bmp(y1);
    x2 = XScr2Bmp(x2);
    y2 = YScr2Bmp(y2);
  }
  TIEAnimPoly* p = SelectionPolygon();
  HasSelection = true;
  if (Op == iespAdd && p->Count() > 0)
    AnimPolygonAddBreak(p);
  else
    p->Points.clear();
  if (Op == iespReplace) SelectionMask->Empty();
  if (Square) y2 = x2 + y1 - x1;
  const int32_t mx = std::max(bitmap_->GetWidth() - 1, 0), my = std::max(bitmap_->GetHeight() - 1, 0);
  x1 = std::clamp(x1, 0, mx);
  y1 = std::clamp(y1, 0, my);
  x2 = std::clamp(x2, 0, mx);
  y2 = std::clamp(y2, 0, my);
  OrdCor(x1, y1, x2, y2);
  ++x2;
  ++y2;
  AnimPolygonAddPtEx(p, x1, y1);
  AnimPolygonAddPtEx(p, x2, y1);
  AnimPolygonAddPtEx(p, x2, y2);
  AnimPolygonAddPtEx(p, x1, y2);
  ShowSelectionEx(true);
}

void TPixView::AddSelPoint(int32_t x, int32_t y) {
  AddSelPointEx(x, y);
  if (GetPolySelCount() > 2) {
    SelectionMask->Empty();
    EndSelect();
  }
  dirty_ = true;
  Paint();
}

void TPixView::AddSelPointEx(int32_t x, int32_t y) {
  if (SelectionBase == iesbClientArea) {
    x = std::clamp(XScr2Bmp(x), 0, bitmap_->GetWidth());
    y = std::clamp(YScr2Bmp(y), 0, bitmap_->GetHeight());
  }
  AnimPolygonAddPt(SelectionPolygon(), x, y);
  ShowSelectionEx(true);
}

void TPixView::AddSelBreak() { AddSelBreakEx(); }

void TPixView::AddSelBreakEx() {
  if (GetPolySelCount() > 0) AnimPolygonAddBreak(SelectionPolygon());
}

void TPixView::EndSelect() {
  TIEAnimPoly* p = SelectionPolygon();
  if (p->Count() > 0) SelectionMask->DrawPolygon(1, p->Points.data(), p->Count());
  if (SelectionMask->IsEmpty()) {
    HasSelection = false;
    p->Points.clear();
  }
}

void TPixView::DeSelect() {
  TIEAnimPoly* p = SelectionPolygon();
  if (HasSelection) {
    HasSelection = false;
    HideSelectionEx(true);
  }
  p->Points.clear();
  SelectionMask->Empty();
  polyInProgress_ = lasso_ = rectDrag_ = circleDrag_ = false;
  resizingGrip_ = movingGrip_ = -1;
  TControl::SetCursor(cursor_);
}

void TPixView::InvertSelection() {
  SelectionPolygon()->Points.clear();
  ShowSelectionEx(true);
  SelectionMask->Negative();
  dirty_ = true;
  Paint();
}

void TPixView::ShowSelectionEx(bool Repaint) {
  SelectionPolygon()->Visible = true;
  if (Repaint) AniPolyFunc(this, true);
}

void TPixView::HideSelectionEx(bool Repaint) {
  SelectionPolygon()->Visible = false;
  if (Repaint && paintLock_ == 0) Paint();
}

bool TPixView::GetVisibleSelection() const { return SelectionPolygon()->Visible; }

void TPixView::SetVisibleSelection(bool b) {
  if (b)
    ShowSelectionEx(true);
  else
    HideSelectionEx(true);
  Update();
}

void TPixView::SetSelectionOptions(TIESelectionOptions o) {
  selectionOptions_ = o;
  SelectionPolygon()->Animated = (o & iesoAnimated) != 0;
  SelectionPolygon()->Sizeable = (o & iesoSizeable) != 0;
  Update();
}

void TPixView::SetSelColor1(TColor c) {
  SelectionPolygon()->Color1 = c;
  SelColor1 = c;
}

void TPixView::SetSelColor2(TColor c) {
  SelectionPolygon()->Color2 = c;
  SelColor2 = c;
}

void TPixView::SetSelectionGripStyle(TColor Color1, TColor Color2, TBrushStyle Style, int Size, bool Extended) {
  gripPen_ = Color1;
  gripBrush_ = Color2;
  gripBrushStyle_ = Style;
  gripSize_ = Size;
  extendedGrips_ = Extended;
}

int32_t TPixView::GetSelX1() { return ShapeDragRunning() ? SelectionPolygon()->X1 : SelectionMask->X1; }
int32_t TPixView::GetSelY1() { return ShapeDragRunning() ? SelectionPolygon()->Y1 : SelectionMask->Y1; }
int32_t TPixView::GetSelX2() { return ShapeDragRunning() ? SelectionPolygon()->X2 - 1 : SelectionMask->X2; }
int32_t TPixView::GetSelY2() { return ShapeDragRunning() ? SelectionPolygon()->Y2 - 1 : SelectionMask->Y2; }

const TPoint* TPixView::GetPolySelArray() const { return SelectionPolygon()->Points.data(); }

int32_t TPixView::GetPolySelCount() const { return SelectionPolygon()->Count(); }

TPoint TPixView::GetPolySel(int32_t i) const {
  const TIEAnimPoly* p = SelectionPolygon();
  if (i < 0 || i >= p->Count()) return {0, 0};
  return p->Points[size_t(i)];
}

bool TPixView::IsPointInsideSelection(int32_t x, int32_t y) {
  if (SelectionBase == iesbClientArea) {
    x = XScr2Bmp(x);
    y = YScr2Bmp(y);
  }
  return SelectionMask->IsPointInside(x, y);
}

// Outline pass -------------------------------------------------------------------------------------------------

void TPixView::AniPolyFunc(TObject* Sender, bool SkipLocked) {
  if (!HasParentWindow()) return;
  const double c = ExtentX != 0 ? double(bitmap_->GetWidth()) / ExtentX : 1;
  const int32_t baseX = RoundI(-viewX_ * c), baseY = RoundI(-viewY_ * c);
  const bool fromTimer = Sender == timer_;
  bool animatedVisible = false;
  for (TIEAnimPoly* p : polys_) {
    if (!p->Visible) continue;
    if (p->Animated) {
      animatedVisible = true;
      if (fromTimer && !DragRunning()) {
        p->Phase = (p->Phase + 1) % 6;
        ++tickCounter_;
      }
    }
    if (paintLock_ > 0) continue;
    if (!p->Canvas || (SkipLocked && p->Canvas->LockCount() > 0)) continue;
    if (p == SelectionPolygon() && !SelectionMask->IsEmpty() && !DragRunning()) {
      if (OutlineCountdown <= 0)
        SelectionMask->DrawOutline(p->Canvas, OffsetX, OffsetY, DstW, DstH, SrcX, SrcY, SrcW, SrcH, tickCounter_,
                                   SelColor1, SelColor2);
    } else {
      DrawPolygonEdges(p, c, baseX, baseY);
    }
    if (p->Sizeable && IsRectangle(p->Points) && !rectDrag_) DrawGrips(p, c, baseX, baseY);
  }
  timer_->SetEnabled(FilterCountdown > 0 || OutlineCountdown > 0 || animatedVisible);
  if (FilterCountdown > 0 && --FilterCountdown == 0) Update();
  if (OutlineCountdown > 0) --OutlineCountdown;
}

void TPixView::DrawPolygonEdges(TIEAnimPoly* p, double c, int32_t baseX, int32_t baseY) {
  (void)c;
  auto map = [&](TPoint pt) {
    return TPoint{RoundI((double(pt.x) + baseX) * zoomFactor_ + OffsetX),
                  RoundI((double(pt.y) + baseY) * zoomFactor_ + OffsetY)};
  };
  DashWalk walk{p->Canvas, p};
  p->Canvas->Pen->Mode = pmCopy;
  p->DashCounter = p->Phase;
  auto edge = [&](TPoint a, TPoint b) {
    const TPoint ma = map(a), mb = map(b);
    LineDDA(ma.x, ma.y, mb.x, mb.y, DashPixel, reinterpret_cast<intptr_t>(&walk));
  };
  const auto& pts = p->Points;
  size_t first = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    if (IsSeparator(pts[i])) {
      if (i > first) edge(pts[i - 1], pts[first]);
      first = i + 1;
      continue;
    }
    if (i + 1 < pts.size() && !IsSeparator(pts[i + 1])) edge(pts[i], pts[i + 1]);
  }
  // A polygon still being drawn stays open at its last point.
  const bool open = p == SelectionPolygon() && polyInProgress_;
  if (first < pts.size() && !open) edge(pts.back(), pts[first]);
}

void TPixView::DrawGrips(TIEAnimPoly* p, double c, int32_t baseX, int32_t baseY) {
  (void)c;
  TCanvas* canvas = p->Canvas;
  canvas->Brush->Style = gripBrushStyle_;
  canvas->Brush->Color = gripBrush_;
  canvas->Pen->Color = gripPen_;
  canvas->Pen->Mode = pmCopy;
  int32_t minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
  auto grip = [&](int32_t x, int32_t y) {
    canvas->Rectangle(x - gripSize_, y - gripSize_, x + gripSize_, y + gripSize_);
  };
  for (const TPoint& pt : p->Points) {
    const int32_t x = TruncI((double(pt.x) + baseX) * zoomFactor_ + OffsetX);
    const int32_t y = TruncI((double(pt.y) + baseY) * zoomFactor_ + OffsetY);
    grip(x, y);
    minX = std::min(minX, x), minY = std::min(minY, y), maxX = std::max(maxX, x), maxY = std::max(maxY, y);
  }
  if (!extendedGrips_) return;
  grip((minX + maxX) / 2, minY);
  grip(minX, (minY + maxY) / 2);
  grip(maxX, (minY + maxY) / 2);
  grip((minX + maxX) / 2, maxY);
}
