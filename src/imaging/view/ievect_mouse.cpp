// TPixVect: mouse interaction. Objects are made, picked, moved and resized
// with the left button; texts are edited in place; lengths, areas and
// dragged distances are measured in a live hint. Rubber bands and grips
// are drawn with pen mode not, so drawing them twice takes them away.
#include <algorithm>
#include <cmath>

#include "imaging/core/iedraw.h"
#include "imaging/core/iegeometry.h"
#include "imaging/view/ievect.h"
#include "platform/input.h"
#include "platform/messages.h"
#include "platform/stdctrls.h"

namespace {
constexpr int kFar = 2147483647;
}

// Modes ------------------------------------------------------------------------------------------

void TPixVect::SetMouseInteractVt(TIEMouseInteractVt items) {
  CancelInteracts();
  if (items == miVt_) return;
  const TIEMouseInteractVt added = items & ~miVt_;
  if (added) {
    for (int bit = 0; bit < 12; ++bit) {
      const TIEMouseInteractVt m = TIEMouseInteractVt(1u << bit);
      if (!(added & m)) continue;
      items = m;
      if (m != miArea && m != miLineLen) TPixView::SetMouseInteract(0);
      break;
    }
  }
  miVt_ = items;
  lastMeasure_ = 0;
  if (miVt_ & (miArea | miLineLen)) {
    hintOn_ = true;
    HintShow(GetClientWidth() / 2, GetClientHeight() / 2);
  } else {
    HintRestore();
    hintOn_ = false;
  }
}

void TPixVect::SetMouseInteract(TIEMouseInteract items) {
  TPixView::SetMouseInteract(items);
  if (items) miVt_ &= (miArea | miLineLen);
  CancelInteracts();
}

void TPixVect::CancelInteracts() {
  state_ = TState::Idle;
  grip_ = 0;
  polyH_ = angleH_ = -1;
  RemoveTextEdit();
  if (textEditing_ >= 0) {
    textEditing_ = -1;
    Update();
  }
}

void TPixVect::Dispatch(TMessage& message) {
  TPixView::Dispatch(message);
  if (message.Msg == WM_SIZE && !destroying_) {
    CancelInteracts();
    Update();
  }
}

void TPixVect::ViewChange(int Change) {
  TPixView::ViewChange(Change);
  if (textEditing_ >= 0) {
    RemoveTextEdit();
    ActiveTextEdit();
  }
}

void TPixVect::SubMouseMoveScroll(int32_t dx, int32_t dy) {
  TPixView::SubMouseMoveScroll(dx, dy);
  cur_.x -= dx;
  cur_.y -= dy;
  down_.x -= dx;
  down_.y -= dy;
}

TPoint TPixVect::LimitToPictureV(int x, int y) const {
  return {std::clamp(x, OffsetX, OffsetX + VisibleW), std::clamp(y, OffsetY, OffsetY + VisibleH)};
}

// Hit tests ---------------------------------------------------------------------------------------

double TPixVect::CalcDistPtObj(const TIEVObject& o, int32_t x, int32_t y) const {
  switch (o.Kind) {
    case iekLINE:
    case iekRULER: return _DistPoint2Seg(x, y, o.x1, o.y1, o.x2, o.y2);
    case iekELLIPSE:
    case iekARC: {
      const int64_t a = (int64_t(o.x2) - o.x1) / 2, b = (int64_t(o.y2) - o.y1) / 2;
      const int64_t cx = o.x1 + a, cy = o.y1 + b;
      const int n = int(std::min<int64_t>(int64_t(std::trunc(std::min(a, b) * 2 * M_PI)) / 8, 4096));
      if (n < 2) return kFar;
      double best = kFar;
      TPoint prev{IEVClampInt(cx + a), IEVClampInt(double(cy))};
      for (int k = 1; k < n; ++k) {
        const double t = 2 * M_PI * k / n;
        const TPoint p{IEVClampInt(cx + std::trunc(a * std::cos(t))), IEVClampInt(cy + std::trunc(b * std::sin(t)))};
        best = std::min(best, _DistPoint2Seg(x, y, prev.x, prev.y, p.x, p.y));
        prev = p;
      }
      return best;
    }
    case iekPOLYLINE: {
      double zx, zy;
      CalcZxZyPolyline(o, zx, zy);
      return _DistPoint2Polyline(x, y, o.PolylinePoints.data(), int(o.PolylinePoints.size()),
                                 o.PolylineBaseRect.Left, o.PolylineBaseRect.Top, o.x1, o.y1, zx, zy);
    }
    case iekANGLE: {
      const int n = CountAnglePoints(o.AnglePoints);
      if (n == 1) return _DistPoint2Point(x, y, o.AnglePoints[0].x, o.AnglePoints[0].y);
      double best = kFar;
      for (int i = 1; i < n; ++i)
        best = std::min(best, _DistPoint2Seg(x, y, o.AnglePoints[i - 1].x, o.AnglePoints[i - 1].y,
                                             o.AnglePoints[i].x, o.AnglePoints[i].y));
      return best;
    }
    case iekBOX:
    case iekBITMAP:
    case iekTEXT: {
      const bool filled = o.Kind != iekBOX || o.BrushStyle != bsClear;
      if (filled && _InRectO(x, y, o.x1, o.y1, o.x2, o.y2)) return 0;
      return std::min({_DistPoint2Seg(x, y, o.x1, o.y1, o.x2, o.y1), _DistPoint2Seg(x, y, o.x2, o.y1, o.x2, o.y2),
                       _DistPoint2Seg(x, y, o.x2, o.y2, o.x1, o.y2), _DistPoint2Seg(x, y, o.x1, o.y2, o.x1, o.y1)});
    }
    default: return -1;
  }
}

int TPixVect::FindNearObj(int32_t x, int32_t y, bool selectableonly, double& d) {
  const double f = 100 / GetZoom();
  const int32_t vx1 = int32_t(GetViewX() * f), vy1 = int32_t(GetViewY() * f);
  const int32_t vx2 = int32_t((GetViewX() + VisibleW) * f), vy2 = int32_t((GetViewY() + VisibleH) * f);
  double best = kFar;
  int result = kIEVAll;
  for (auto it = list_.rbegin(); it != list_.rend(); ++it) {
    const TIEVObject& o = records_[size_t(*it)];
    // Kind 0 has no shape: it is never picked.
    if (o.Kind == iekNONE || o.Kind > kIEVLastKind) continue;
    if (selectableonly && !(o.Style & ievsSelectable)) continue;
    if (!_RectXRect(o.x1, o.y1, o.x2, o.y2, vx1, vy1, vx2, vy2)) continue;
    const double dist = CalcDistPtObj(o, x, y);
    if (dist >= 0 && dist < best) {
      best = dist;
      result = *it;
    }
  }
  if (PickDistanceLimit >= 0 && best > PickDistanceLimit * f) result = kIEVAll;
  d = best;
  return result;
}

int TPixVect::FindObjectAt(int32_t x, int32_t y, double& d) { return FindNearObj(XScr2Bmp(x), YScr2Bmp(y), false, d); }

bool TPixVect::InGrip(int gx, int gy, int x, int y) const {
  return x >= gx - gripSize_ && x < gx + gripSize_ && y >= gy - gripSize_ && y < gy + gripSize_;
}

int TPixVect::FindSelGrip(int32_t x, int32_t y, int& grip) {
  grip = 0;
  for (size_t i = 0; i < sel_.size(); ++i) {
    const TIEVObject* o = GetObj(sel_[i]);
    if (!o || !OverlapsPicture(ObjClientRect(*o))) continue;
    const int X1 = XBmp2Scr(o->x1), Y1 = YBmp2Scr(o->y1), X2 = XBmp2Scr(o->x2), Y2 = YBmp2Scr(o->y2);
    const int l = std::min(X1, X2), r = std::max(X1, X2), t = std::min(Y1, Y2), b = std::max(Y1, Y2);
    if (InGrip(X1, Y1, x, y)) grip = 1;
    else if (InGrip(X2, Y2, x, y)) grip = 2;
    else if (InGrip((r - l + 1) / 2 + l, (b - t + 1) / 2 + t, x, y)) grip = 3;
    if (o->Kind != iekLINE && o->Kind != iekRULER) {
      if (InGrip(X2, Y1, x, y)) grip = 4;
      else if (InGrip(X1, Y2, x, y)) grip = 5;
    }
    if (grip) return int(i);
  }
  return kIEVNone;
}

// Moving and resizing ----------------------------------------------------------------------------

void TPixVect::TraslateObject(int h, int32_t dx, int32_t dy) {
  TIEVObject* o = GetObj(h);
  if (!o) return;
  o->x1 += dx;
  o->y1 += dy;
  o->x2 += dx;
  o->y2 += dy;
  if (o->Kind == iekANGLE)
    for (TPoint& p : o->AnglePoints)
      if (p.x != kIEVUnplaced) {
        p.x += dx;
        p.y += dy;
      }
}

void TPixVect::ChangeObjectCoor(int h, int32_t dx1, int32_t dy1, int32_t dx2, int32_t dy2, bool keepaspect,
                                int grip) {
  TIEVObject* o = GetObj(h);
  if (!o) return;
  o->x1 += dx1;
  o->y1 += dy1;
  o->x2 += dx2;
  o->y2 += dy2;
  const int64_t sw = int64_t(o->DragStartRect.Right) - o->DragStartRect.Left;
  const int64_t sh = int64_t(o->DragStartRect.Bottom) - o->DragStartRect.Top;
  if (!keepaspect || (int64_t(o->x2) - o->x1) * sh == 0 || sw == 0) return;
  const double amount = double(int64_t(o->x2) - o->x1) * double(sh) / double(sw);
  if (grip == 1 || grip == 4)
    o->y1 = int32_t(std::nearbyint(o->y2 - amount));
  else if (grip == 2 || grip == 5)
    o->y2 = int32_t(std::nearbyint(o->y1 + amount));
}

// Grips ------------------------------------------------------------------------------------------

void TPixVect::SetGripStyle(int size, int width, TPenStyle style) {
  gripSize_ = size;
  gripPenWidth_ = width;
  gripPenStyle_ = style;
}

void TPixVect::DrawGrip(TCanvas* Canvas, int x, int y, int shape) {
  Canvas->Pen->Mode = pmNot;
  Canvas->Pen->Style = gripPenStyle_;
  Canvas->Pen->Width = shape == 0 ? gripPenWidth_ : 1;
  Canvas->Brush->Style = bsClear;
  const int s = gripSize_;
  if (shape == 0)
    Canvas->Rectangle(x - s, y - s, x + s, y + s);
  else
    Canvas->Polygon({{x, y - s}, {x + s, y}, {x, y + s}, {x - s, y}});
  Canvas->Pen->Mode = pmCopy;
}

void TPixVect::DrawObjectGrips(TCanvas* Canvas, int h) {
  const TIEVObject* o = GetObj(h);
  if (!o || !OverlapsPicture(ObjClientRect(*o))) return;
  const int X1 = XBmp2Scr(o->x1), Y1 = YBmp2Scr(o->y1), X2 = XBmp2Scr(o->x2), Y2 = YBmp2Scr(o->y2);
  if (o->Kind != iekANGLE) {
    DrawGrip(Canvas, X1, Y1, 0);
    DrawGrip(Canvas, X2, Y2, 0);
  }
  if (o->Kind != iekLINE && o->Kind != iekRULER) {
    DrawGrip(Canvas, X2, Y1, 0);
    DrawGrip(Canvas, X1, Y2, 0);
  }
  const int l = std::min(X1, X2), r = std::max(X1, X2), t = std::min(Y1, Y2), b = std::max(Y1, Y2);
  DrawGrip(Canvas, (r - l + 1) / 2 + l, (b - t + 1) / 2 + t, 1);
}

void TPixVect::DrawSelGrips(TCanvas* Canvas) {
  for (int h : sel_) DrawObjectGrips(Canvas, h);
}

// Rubber bands --------------------------------------------------------------------------------------

void TPixVect::DrawRubber(TCanvas* Canvas) {
  Canvas->Pen->Mode = pmNot;
  Canvas->Pen->Width = 1;
  Canvas->Pen->Style = psSolid;
  Canvas->Brush->Style = bsClear;
  switch (state_) {
    case TState::Line:
      Canvas->MoveTo(down_.x, down_.y);
      Canvas->LineTo(cur_.x, cur_.y);
      break;
    case TState::Box:
    case TState::Bitmap:
    case TState::Text:
      Canvas->Rectangle(std::min(down_.x, cur_.x), std::min(down_.y, cur_.y), std::max(down_.x, cur_.x),
                        std::max(down_.y, cur_.y));
      break;
    case TState::Ellipse:
      Canvas->Ellipse(std::min(down_.x, cur_.x), std::min(down_.y, cur_.y), std::max(down_.x, cur_.x),
                      std::max(down_.y, cur_.y));
      break;
    case TState::Polyline:
      Canvas->MoveTo(down_.x, down_.y);
      Canvas->LineTo(cur_.x, cur_.y);
      break;
    case TState::Idle:
      if (miVt_ & miObjectSelect)
        Canvas->Rectangle(std::min(down_.x, cur_.x), std::min(down_.y, cur_.y), std::max(down_.x, cur_.x),
                          std::max(down_.y, cur_.y));
      break;
    default: break;
  }
  Canvas->Pen->Mode = pmCopy;
}

// Mouse ---------------------------------------------------------------------------------------------

void TPixVect::FinishMouseObject() {
  AddSelObject(kIEVLastMade);
  DoVectorialChanged();
  if (OnNewObject) OnNewObject(this, int(records_.size()) - 1);
}

void TPixVect::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TPixView::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  buttonDown_ = true;
  RemoveTextEdit();
  textEditing_ = -1;
  const TPoint at = LimitToPictureV(x, y);
  const int32_t bx = XScr2Bmp(at.x), by = YScr2Bmp(at.y);
  const TIEMouseInteractVt mi = miVt_;
  if (mi & miPutLine) state_ = TState::Line;
  else if (mi & miPutRuler) state_ = TState::Ruler;
  else if (mi & miPutBox) state_ = TState::Box;
  else if (mi & miPutEllipse) state_ = TState::Ellipse;
  else if (mi & miPutBitmap) state_ = TState::Bitmap;
  else if (mi & miPutText) state_ = TState::Text;
  else if (mi & miDragLen) state_ = TState::Line;
  else if (mi & miPutAngle) {
    if (state_ == TState::Angle && GetObj(angleH_)) {
      TIEVObject& o = *GetObj(angleH_);
      if (o.AnglePoints[1].x == kIEVUnplaced) {
        o.AnglePoints[1] = {bx, by};
      } else {
        o.AnglePoints[2] = {bx, by};
        const TPoint v = o.AnglePoints[1];
        const int32_t hw = std::abs(v.x - std::max(o.AnglePoints[0].x, o.AnglePoints[2].x));
        const int32_t hh = std::abs(v.y - std::max(o.AnglePoints[0].y, o.AnglePoints[2].y));
        o.x1 = v.x - hw;
        o.y1 = v.y - hh;
        o.x2 = v.x + hw;
        o.y2 = v.y + hh;
        FinishMouseObject();
        state_ = TState::Idle;
        angleH_ = -1;
      }
    } else {
      state_ = TState::Angle;
      templ_.Kind = iekANGLE;
      templ_.AnglePoints[0] = {bx, by};
      templ_.AnglePoints[1] = templ_.AnglePoints[2] = {kIEVUnplaced, kIEVUnplaced};
      templ_.x1 = templ_.y1 = 1000000;
      templ_.x2 = templ_.y2 = -1000000;
      angleH_ = AddVObject(templ_);
      sel_.clear();
    }
    Update();
  } else if (mi & miPutPolyLine) {
    if (state_ == TState::Polyline && GetObj(polyH_)) {
      AddPolyLinePoint(polyH_, bx, by);
      if (shift & ssDouble) {
        const TIEVObject& o = *GetObj(polyH_);
        templ_.x1 = o.x1, templ_.y1 = o.y1, templ_.x2 = o.x2, templ_.y2 = o.y2;
        FinishMouseObject();
        state_ = TState::Idle;
        polyH_ = -1;
      }
    } else {
      state_ = TState::Polyline;
      templ_.Kind = iekPOLYLINE;
      templ_.x1 = templ_.y1 = 1000000;
      templ_.x2 = templ_.y2 = -1000000;
      polyH_ = AddVObject(templ_);
      AddPolyLinePoint(polyH_, bx, by);
      sel_.clear();
    }
    Update();
  } else if (mi & miObjectSelect) {
    if (shift & ssDouble) {
      double d;
      const int h = FindNearObj(bx, by, true, d);
      if (h >= 0) {
        if (OnObjectDblClick) OnObjectDblClick(this, h);
        if (GetObj(h) && GetObj(h)->Kind == iekTEXT && d == 0) {
          sel_.clear();
          AddSelObject(h);
          textEditing_ = h;
          ActiveTextEdit();
        }
        Update();
      }
    } else {
      FindSelGrip(at.x, at.y, grip_);
      if (grip_)
        for (int h : sel_) {
          TIEVObject* o = GetObj(h);
          if (o) o->DragStartRect = {o->x1, o->y1, o->x2, o->y2};
        }
    }
  }
  cur_ = down_ = at;
  totX_ = totY_ = 0;
}

void TPixVect::GripDrag(TShiftState shift, int x, int y) {
  moving_ = true;
  MouseMoveScroll();
  const double f = 100 / GetZoom();
  const int32_t tx = int32_t(std::trunc((x - down_.x) * f)), ty = int32_t(std::trunc((y - down_.y) * f));
  int stepx = tx - totX_, stepy = ty - totY_;
  totX_ = tx;
  totY_ = ty;
  const bool keep = (shift & ssAlt) || AltConstraint;
  const std::vector<int> sel = sel_;
  for (int h : sel) {
    if (OnObjectMoveResize) OnObjectMoveResize(this, h, grip_, stepx, stepy);
    const TIEVObject* o = GetObj(h);
    if (!o) continue;
    if ((o->Style & ievsSizeable) && o->Kind != iekANGLE) {
      if (grip_ == 1) ChangeObjectCoor(h, stepx, stepy, 0, 0, keep, 1);
      else if (grip_ == 2) ChangeObjectCoor(h, 0, 0, stepx, stepy, keep, 2);
      else if (grip_ == 4) ChangeObjectCoor(h, 0, stepy, stepx, 0, keep, 4);
      else if (grip_ == 5) ChangeObjectCoor(h, stepx, 0, 0, stepy, keep, 5);
    }
    if ((o->Style & ievsMoveable) && grip_ == 3) TraslateObject(h, stepx, stepy);
  }
  Update();
}

void TPixVect::RubberSelect(TShiftState shift, int x, int y) {
  MouseMoveScroll();
  cur_ = {x, y};
  if (!(shift & ssShift)) sel_.clear();
  const int32_t x1 = XScr2Bmp(std::min(down_.x, cur_.x)), y1 = YScr2Bmp(std::min(down_.y, cur_.y));
  const int32_t x2 = XScr2Bmp(std::max(down_.x, cur_.x)), y2 = YScr2Bmp(std::max(down_.y, cur_.y));
  SelInRect(kIEVAll, x1, y1, x2, y2);
  if (OnSelectObject) OnSelectObject(this);
  // The picture is painted afresh with the grips; the band goes on top.
  Update();
  UpdateWindow(this);
  DrawRubber(GetCanvas());
}

void TPixVect::MouseMove(TShiftState shift, int x, int y) {
  TPixView::MouseMove(shift, x, y);
  HintRestore();
  rawMouse_ = {x, y};
  const TPoint at = LimitToPictureV(x, y);
  const bool held = buttonDown_ && (shift & ssLeft);
  TCanvas* canvas = GetCanvas();
  if (held && state_ != TState::Idle) {
    moving_ = true;
    switch (state_) {
      case TState::Line:
      case TState::Box:
      case TState::Bitmap:
      case TState::Text:
      case TState::Ellipse: {
        TPoint p = state_ == TState::Line && (miVt_ & miDragLen) ? TPoint{x, y} : at;
        if (state_ == TState::Line && (miVt_ & miDragLen)) hintOn_ = true;
        DrawRubber(canvas);
        MouseMoveScroll();
        if (shift & ssCtrl) {
          if (state_ == TState::Ellipse) {
            const int dx = p.x - down_.x, dy = p.y - down_.y;
            const int m = std::abs(dx) >= std::abs(dy) ? dx : dy;
            p = {down_.x + m, down_.y + m};
          } else {
            _CastPolySelCC(down_.x, down_.y, p.x, p.y);
          }
        }
        cur_ = p;
        DrawRubber(canvas);
        break;
      }
      case TState::Ruler: {
        MouseMoveScroll();
        TPoint p = at;
        if (shift & ssCtrl) _CastPolySelCC(down_.x, down_.y, p.x, p.y);
        cur_ = p;
        Update();
        UpdateWindow(this);
        DrawRuler(canvas, down_.x, down_.y, cur_.x, cur_.y, templ_.RulerUnit, templ_.PenColor, templ_.PenWidth,
                  templ_.RulerType, 100 / GetZoom());
        break;
      }
      case TState::Polyline:
        AddPolyLinePoint(polyH_, XScr2Bmp(at.x), YScr2Bmp(at.y));
        Update();
        break;
      case TState::Angle: {
        MouseMoveScroll();
        cur_ = at;
        Update();
        break;
      }
      default: break;
    }
  } else if (held && grip_) {
    GripDrag(shift, at.x, at.y);
  } else if (held && (miVt_ & miObjectSelect)) {
    RubberSelect(shift, at.x, at.y);
  } else if (!buttonDown_) {
    if (state_ == TState::Polyline || state_ == TState::Angle) {
      cur_ = at;
      Update();
    } else {
      double d;
      const int h = FindNearObj(XScr2Bmp(at.x), YScr2Bmp(at.y), false, d);
      if (h >= 0 && OnObjectOver) OnObjectOver(this, h);
    }
  }
  HintShow(x, y);
}

void TPixVect::ClickSelect(TShiftState shift, int x, int y) {
  double d;
  const int h = FindNearObj(XScr2Bmp(x), YScr2Bmp(y), true, d);
  if (h >= 0) {
    if (OnObjectClick) OnObjectClick(this, h);
    if (!IsSelObject(h)) {
      if (!(shift & ssShift)) sel_.clear();
      AddSelObject(h);
    } else if (shift & ssShift) {
      UnSelObject(h);
    } else {
      sel_.clear();
      AddSelObject(h);
    }
  } else if (!(shift & ssShift)) {
    UnSelAllObjects();
  }
}

void TPixVect::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TPixView::MouseUp(button, shift, x, y);
  if (button != mbLeft) return;
  buttonDown_ = false;
  const TPoint at = LimitToPictureV(x, y);
  if (state_ == TState::Polyline) down_ = at;
  if (state_ == TState::Polyline || state_ == TState::Angle || textEditing_ >= 0) {
    HintShow(x, y);
    return;
  }
  // A rubber band moves nothing but still is no click.
  const bool moved = moving_ || !(cur_ == down_);
  if (state_ != TState::Idle) {
    if (!moved) {
      const int32_t w = templ_.x2 - templ_.x1, h = templ_.y2 - templ_.y1;
      templ_.x1 = XScr2Bmp(down_.x);
      templ_.y1 = YScr2Bmp(down_.y);
      templ_.x2 = templ_.x1 + w;
      templ_.y2 = templ_.y1 + h;
    } else {
      templ_.x1 = XScr2Bmp(down_.x);
      templ_.y1 = YScr2Bmp(down_.y);
      templ_.x2 = XScr2Bmp(cur_.x);
      templ_.y2 = YScr2Bmp(cur_.y);
    }
    static const TIEVObjectKind kinds[] = {iekNONE, iekLINE, iekBOX, iekELLIPSE, iekBITMAP, iekTEXT, iekRULER};
    templ_.Kind = kinds[int(state_)];
    if (templ_.Kind == iekTEXT && !templ_.Text) templ_.Text = std::string();
    if (miVt_ & miDragLen) {
      hintOn_ = false;
      if (OnDragLenEnd) OnDragLenEnd(this, lastMeasure_);
    } else {
      const int h = AddVObject(templ_);
      sel_.clear();
      AddSelObject(kIEVLastMade);
      if (templ_.Kind == iekTEXT) {
        textEditing_ = h;
        ActiveTextEdit();
      } else {
        DoVectorialChanged();
      }
      if (OnNewObject) OnNewObject(this, h);
    }
  } else if (grip_ || !(miVt_ & miObjectSelect) || moved) {
    if (grip_) {
      for (int h : sel_) {
        TIEVObject* o = GetObj(h);
        if (!o || o->Kind == iekLINE || o->Kind == iekRULER || o->Kind == iekPOLYLINE) continue;
        if (o->x1 > o->x2) std::swap(o->x1, o->x2);
        if (o->y1 > o->y2) std::swap(o->y1, o->y2);
      }
      DoVectorialChanged();
    }
  } else {
    ClickSelect(shift, at.x, at.y);
  }
  Update();
  state_ = TState::Idle;
  grip_ = 0;
  if (moving_) {
    moving_ = false;
    Invalidate();
  }
  HintShow(x, y);
}

void TPixVect::KeyDown(Word& key, TShiftState shift) {
  if (key == VK_ESCAPE && textEditing_ >= 0) {
    RemoveTextEdit();
    textEditing_ = -1;
    Update();
  } else if (key == VK_F1 + 1 && !sel_.empty() && GetObj(sel_[0]) && GetObj(sel_[0])->Kind == iekTEXT) {
    textEditing_ = sel_[0];
    ActiveTextEdit();
    Update();
  }
  TPixView::KeyDown(key, shift);
}

// The in-place text editor ---------------------------------------------------------------------------

void TPixVect::ActiveTextEdit() {
  if (textEditing_ < 0 || !GetObj(textEditing_)) return;
  edit_->SetParent(this);
  edit_->OnChange = [this](TObject* s) { TextEditOnChange(s); };
  edit_->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { TextEditKeyDown(s, k, sh); };
  const std::string text = GetObj(textEditing_)->Text.value_or("");
  edit_->OnChange = nullptr;
  edit_->SetText(text);
  edit_->ClearUndo();
  edit_->OnChange = [this](TObject* s) { TextEditOnChange(s); };
  UpdateTextEdit();
  edit_->SetVisible(true);
  if (edit_->CanFocus()) edit_->SetFocus();
}

void TPixVect::UpdateTextEdit() {
  if (!edit_ || textEditing_ < 0) return;
  const TIEVObject* o = GetObj(textEditing_);
  if (!o) return;
  const TRect r = ObjClientRect(*o);
  edit_->SetBounds(r.Left, r.Top, std::max(1, r.Width()), std::max(1, r.Height()));
  TFont* font = edit_->GetFont();
  font->Color = o->PenColor;
  edit_->SetColor(o->BrushStyle == bsSolid ? o->BrushColor : GetBackground());
  if (o->Font) {
    font->Height = o->Font->lfHeight != 0 ? int(std::trunc(o->Font->lfHeight * GetZoom() / 100)) : r.Height();
    font->Name = GetObjFontName(textEditing_);
    font->Style = GetObjFontStyles(textEditing_);
  }
  edit_->FontChanged();
}

void TPixVect::TextEditOnChange(TObject*) {
  TIEVObject* o = GetObj(textEditing_);
  if (!o || !o->TextAutoSize) return;
  TCanvas* c = GetCanvas();
  c->Font->Assign(edit_->GetFont());
  const int w = c->TextWidth(edit_->GetText());
  edit_->SetWidth(w);
  o->x2 = o->x1 + XScr2Bmp(w + c->TextWidth("M")) - XScr2Bmp(0);
  Update();
}

void TPixVect::TextEditKeyDown(TObject*, Word& key, TShiftState) {
  if (key == VK_RETURN) {
    key = 0;
    CancelInteracts();
    DoVectorialChanged();
  } else if (key == VK_ESCAPE) {
    key = 0;
    edit_->Undo();
    CancelInteracts();
  }
}

void TPixVect::RemoveTextEdit() {
  if (!edit_ || !edit_->GetVisible()) return;
  if (TIEVObject* o = GetObj(textEditing_)) {
    o->Text = edit_->GetText();
    if (o->TextAutoSize) {
      TCanvas* c = GetCanvas();
      c->Font->Assign(edit_->GetFont());
      o->x2 = o->x1 + XScr2Bmp(c->TextWidth(*o->Text)) - XScr2Bmp(0);
    }
  }
  edit_->SetVisible(false);
  if (!destroying_ && CanFocus()) SetFocus();
  DoVectorialChanged();
}

// The measure hint -----------------------------------------------------------------------------------

void TPixVect::HintShow(int x, int y) {
  if (!hintOn_ || !HasParentWindow()) return;
  if (x == kIEVUnplaced || y == kIEVUnplaced) {
    x = hintPos_.x;
    y = hintPos_.y;
  }
  x = std::max(x, 0);
  y = std::max(y, 0);
  double value = 0;
  std::string text;
  if (miVt_ & miArea) {
    value = GetSelectionArea();
  } else if (miVt_ & miLineLen) {
    value = GetSelectionLen();
  } else if (miVt_ & miDragLen) {
    const double f = 100 / GetZoom();
    value = std::hypot((x - down_.x) * cx_ * f, (y - down_.y) * cy_ * f);
  }
  if (value == 0) value = lastMeasure_;
  lastMeasure_ = value;
  text = FormatMeasure(value) + " " + IEVUnitName(mUnit_) + ((miVt_ & miArea) ? "\xC2\xB2" : "");
  if (OnMeasureHint) OnMeasureHint(this, text, value);
  hintPos_ = {x, y};
  int hx = x, hy = y;
  IEDrawHint(GetCanvas(), hx, hy, text, hintFont_.get(), hintBrush_.get(), hintSave_.get(), GetClientWidth(),
             GetClientHeight(), 0x808080, clWhite);
  hintSaveAt_ = {hx, hy};
}

void TPixVect::HintRestore() {
  if (hintSave_->GetWidth() >= 2) GetCanvas()->Draw(hintSaveAt_.x, hintSaveAt_.y, hintSave_.get());
  hintSave_->SetSize(0, 0);
}

void TPixVect::UpdateHint(int x, int y) {
  HintRestore();
  HintShow(x, y);
}
