// The layout picture's drawing tools: the tool choice, the press, move and
// release on the picture, and the pen and fill controls. Every tool draws
// straight into the picture's bitmap; rubber bands are drawn in the
// not-xor pen mode, so drawing a band again takes it off exactly.
#include "designer/layouttools.h"

#include <algorithm>
#include <memory>

#include "designer/main.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"

namespace {

// The drawing panel's pen, fill and font: kept here rather than on the
// picture's canvas, which a new or refitted picture replaces.
struct DrawStyle {
  TPen pen;
  TBrush brush;
  TFont font;
};
std::unique_ptr<DrawStyle> Style;

// A band was drawn during this drag and is still on the picture.
bool BandShown = false;

constexpr int kLine = 0, kPolyline = 1, kEllipse = 2, kRectangle = 3, kRoundRect = 4, kText = 5, kPencil = 6,
              kRange = 7, kBezier = 8, kEraser = 9;
constexpr int kEraserCursor = 30;  // the eraser's cursor in the application's list
constexpr int kMaxPolyNodes = 99;

void StatusPoint(TMainForm* f, int panel, int X, int Y) {
  f->StatusBar1->GetPanels()->Items(panel)->SetText("X:" + std::to_string(X) + "    Y:" + std::to_string(Y));
}

// Ellipse, rectangle or rounded rectangle from a to b.
void DrawShape(TCanvas* c, int tool, TPoint a, TPoint b) {
  if (tool == kEllipse)
    c->Ellipse(a.x, a.y, b.x, b.y);
  else if (tool == kRectangle)
    c->Rectangle(a.x, a.y, b.x, b.y);
  else
    c->RoundRect(a.x, a.y, b.x, b.y, 20, 20);
}

void DrawLine(TCanvas* c, TPoint a, TPoint b) {
  c->MoveTo(a.x, a.y);
  c->LineTo(b.x, b.y);
}

void DrawCurve(TCanvas* c, const std::array<TPoint, 4>& p) { c->PolyBezier({p[0], p[1], p[2], p[3]}); }


}  // namespace

TCanvas* TMainForm::LayoutCanvas() {
  TCanvas* c = Drawor->GetCanvas();
  c->Pen->Assign(&Style->pen);
  c->Brush->Assign(&Style->brush);
  c->Font->Assign(&Style->font);
  return c;
}

TRect TMainForm::NormRect(TPoint a, TPoint b) {
  return Rect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
}

void TMainForm::CopyRangeToBitmap(const TRect& r) {
  RangeBitmap->SetPixelFormat(pf24bit);
  RangeBitmap->SetSize(r.Width(), r.Height());
  RangeBitmap->GetCanvas()->CopyMode = cmSrcCopy;
  RangeBitmap->GetCanvas()->CopyRect(Rect(0, 0, r.Width(), r.Height()), Drawor->GetCanvas(), r);
}

void TMainForm::EraseAt(int x, int y) {
  TCanvas* c = LayoutCanvas();
  c->FillRect(Rect(x + 11, y + 11, x + 21, y + 21));
  Drawor->Invalidate();
}

void TMainForm::EraseRangeMark() {
  if (!RangeShown) return;
  Drawor->GetCanvas()->DrawFocusRect(RangeRect);
  Drawor->Invalidate();
  RangeShown = false;
}

void TMainForm::ButtonClick(TObject* Sender) {
  auto* button = static_cast<TSpeedButton*>(Sender);
  // An item armed for placement keeps its drag cursor and its kind.
  if (Screen->GetCursor() != crDrag) {
    PicItem = 9;
    Screen->SetCursor(crDefault);
  }
  DrawingMode = !SelectButton->GetDown();
  const bool textTools = TextButton->GetDown();
  ToolBar2->SetVisible(textTools);
  FontBox->SetEnabled(textTools);
  FontSize->SetEnabled(textTools);
  TBEdit->SetVisible(textTools);
  // An unfinished curve is a band: it leaves with the tool.
  if (Tool == kBezier && BezierCount > 0) {
    TCanvas* c = LayoutCanvas();
    c->Pen->Mode = pmNotXor;
    DrawCurve(c, BezierPoints);
    c->Pen->Mode = pmCopy;
    Drawor->Invalidate();
    BezierCount = 0;
  }
  Tool = button->Tag;
  if (Tool == kPolyline) PolyCount = 0;
  if (Tool == kText) TextPending = true;
  if (Tool == kBezier) BezierCount = 0;
  if (Edit->GetVisible()) Edit->Hide();
  EraseRangeMark();
  Drawor->SetCursor(Tool == kEraser ? TCursor(kEraserCursor) : Tool == kRange ? crArrow : crCross);
  Drawing = false;
}

void TMainForm::SelectButtonClick(TObject*) {
  if (Screen->GetCursor() != crDrag) Screen->SetCursor(crDefault);
  DrawingMode = !SelectButton->GetDown();
  ToolBar2->SetVisible(TextButton->GetDown());
  FontBox->SetEnabled(ToolBar2->GetVisible());
  FontSize->SetEnabled(ToolBar2->GetVisible());
  TBEdit->SetVisible(ToolBar2->GetVisible());
  Drawor->SetCursor(crArrow);
}

void TMainForm::DraworMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  Shape1->Hide();
  Shape1->SetEnabled(false);
  if (!DrawingMode) {
    SelectedItem = 13;
    SelectedIsTitle = false;
    return;
  }
  Drawing = true;
  // Between its drags an unfinished curve is a band on the picture.
  BandShown = Tool == kBezier && BezierCount > 0;
  const TPoint at(X, Y);
  switch (Tool) {
    case kLine:
    case kPencil:
      LayoutCanvas()->MoveTo(X, Y);
      Origin = MovePt = at;
      break;
    case kPolyline:
      if (Button != mbRight && PolyCount <= kMaxPolyNodes) PolyPoints[size_t(PolyCount)] = at;
      break;
    case kEllipse:
    case kRectangle:
    case kRoundRect:
    case kBezier:
      // The band starts at the press, whatever the last hover was.
      Origin = MovePt = at;
      break;
    case kText:
      Style->font.Color = PenColor->GetColor();
      if (TextPending) Origin = at;
      break;
    case kRange:
      Origin = MovePt = at;
      EraseRangeMark();
      break;
    case kEraser:
      SavedBrushStyle = Style->brush.Style;
      Style->brush.Style = bsSolid;
      EraseAt(X, Y);
      break;
  }
  StatusPoint(this, 1, X, Y);
}

void TMainForm::DraworMouseMove(TObject*, TShiftState, int X, int Y) {
  if (!DrawingMode) return;
  const TPoint at(X, Y);
  if (Drawing) {
    TCanvas* c = LayoutCanvas();
    c->Pen->Mode = pmNotXor;
    switch (Tool) {
      case kLine:
        if (BandShown) DrawLine(c, Origin, MovePt);
        DrawLine(c, Origin, at);
        BandShown = true;
        break;
      case kEllipse:
      case kRectangle:
      case kRoundRect:
        if (BandShown) DrawShape(c, Tool, Origin, MovePt);
        DrawShape(c, Tool, Origin, at);
        BandShown = true;
        break;
      case kPencil:
        c->LineTo(X, Y);
        break;
      case kRange:
        if (BandShown) c->DrawFocusRect(NormRect(Origin, MovePt));
        c->DrawFocusRect(NormRect(Origin, at));
        BandShown = true;
        break;
      case kBezier: {
        if (BandShown) DrawCurve(c, BezierPoints);
        if (BezierCount == 0) BezierPoints = {Origin, Origin, at, at};
        if (BezierCount == 1) BezierPoints[1] = at;
        if (BezierCount == 2) BezierPoints[2] = at;
        DrawCurve(c, BezierPoints);
        BandShown = true;
        break;
      }
      case kEraser:
        EraseAt(X, Y);
        break;
      default:
        break;
    }
    c->Pen->Mode = pmCopy;
    Drawor->Invalidate();
  }
  MovePt = at;
  StatusPoint(this, 2, X, Y);
}

void TMainForm::FinishDrawing(TMouseButton Button, int X, int Y) {
  const TPoint at(X, Y);
  TCanvas* c = LayoutCanvas();
  // The band of the last move comes off exactly before the shape is drawn,
  // so a release away from the last move leaves nothing behind.
  auto eraseBand = [&](auto draw) {
    if (!BandShown) return;
    c->Pen->Mode = pmNotXor;
    draw();
    c->Pen->Mode = pmCopy;
    BandShown = false;
  };
  switch (Tool) {
    case kLine:
      eraseBand([&] { DrawLine(c, Origin, MovePt); });
      DrawLine(c, Origin, at);
      break;
    case kPolyline:
      if (PolyCount < kMaxPolyNodes && Button != mbRight) {
        if (PolyCount > 0) DrawLine(c, PolyPoints[size_t(PolyCount - 1)], PolyPoints[size_t(PolyCount)]);
        ++PolyCount;
      } else {
        if (PolyCount >= kMaxPolyNodes)
          Application->MessageBox("多义线不能超过100个节点", "", MB_OK | MB_ICONINFORMATION);
        PolyCount = 0;
      }
      break;
    case kEllipse:
    case kRectangle:
    case kRoundRect:
      eraseBand([&] { DrawShape(c, Tool, Origin, MovePt); });
      DrawShape(c, Tool, Origin, at);
      break;
    case kRange: {
      eraseBand([&] { c->DrawFocusRect(NormRect(Origin, MovePt)); });
      TRect r = NormRect(Origin, at);
      if (r.Width() == 0 || r.Height() == 0) r = Rect(r.Left, r.Top, r.Left + 1, r.Top + 1);
      RangeRect = r;
      CopyRangeToBitmap(r);
      // The mark is the frame of the range itself, drawn after the copy.
      c->DrawFocusRect(RangeRect);
      RangeShown = true;
      break;
    }
    case kBezier:
      // The stages before the last show the curve as a band; the last
      // stage draws it for good.
      eraseBand([&] { DrawCurve(c, BezierPoints); });
      if (BezierCount == 0) {
        BezierPoints = at == Origin ? std::array<TPoint, 4>{at, at, at, at}
                                    : std::array<TPoint, 4>{Origin, Origin, at, at};
      } else {
        BezierPoints[size_t(BezierCount)] = at;
      }
      if (BezierCount < 2) {
        c->Pen->Mode = pmNotXor;
        DrawCurve(c, BezierPoints);
        c->Pen->Mode = pmCopy;
        ++BezierCount;
      } else {
        DrawCurve(c, BezierPoints);
        BezierCount = 0;
      }
      break;
    case kEraser:
      Style->brush.Style = TBrushStyle(SavedBrushStyle);
      break;
    default:
      break;
  }
  Drawor->GetPicture()->GetBitmap()->Changed();
  Drawor->Invalidate();
  if (Tool != kText) Drawing = false;
}

void TMainForm::PenColorClick(TObject*) {
  ColorDialog->Color = PenColor->GetColor();
  if (!ColorDialog->Execute()) return;
  PenColor->SetColor(ColorDialog->Color);
  Style->pen.Color = ColorDialog->Color;
}

void TMainForm::BrushColorClick(TObject*) {
  ColorDialog->Color = BrushColor->GetColor();
  if (!ColorDialog->Execute()) return;
  BrushColor->SetColor(ColorDialog->Color);
  Style->brush.Color = ColorDialog->Color;
}

void TMainForm::PenWidthChange(TObject*) {
  if (Tool == kText)
    Style->font.SetSize(StrToInt(Trim(PenWidth->GetText())));
  else
    Style->pen.Width = UpDown1->GetPosition();
}

void TMainForm::UpDown1Click(TObject*, TUDBtnType) {
  if (Tool == kText)
    Style->font.SetSize(UpDown1->GetPosition());
  else
    Style->pen.Width = UpDown1->GetPosition();
}

void TMainForm::SetPenStyle(TObject* Sender) { Style->pen.Style = TPenStyle(static_cast<TComponent*>(Sender)->Tag); }

void TMainForm::SetBrushStyle(TObject* Sender) {
  if (Screen->GetCursor() != crDrag) PicItem = 9;
  Style->brush.Style = TBrushStyle(static_cast<TComponent*>(Sender)->Tag);
}

void TMainForm::WireLayoutTools() {
  Style = std::make_unique<DrawStyle>();
  Style->font.Name = "宋体";
  Style->font.Charset = GB2312_CHARSET;
  Style->font.Height = -21;
  Tool = 0;
  Drawing = false;
  BezierCount = PolyCount = 0;
  for (TSpeedButton* b : {LineButton, PlineButton, EllipseButton, RectangleButton, RoundRctButton, TextButton,
                          PenButton, PicRangButton, BezierButton, RubberButton})
    b->OnClick = [this](TObject* s) { ButtonClick(s); };
  SelectButton->OnClick = [this](TObject* s) { SelectButtonClick(s); };
  for (TSpeedButton* b : {SolidPen, DashPen, DotPen, DashDotPen, DashDotDotPen, ClearPen})
    b->OnClick = [this](TObject* s) { SetPenStyle(s); };
  for (TSpeedButton* b : {SolidBrush, ClearBrush, HorizontalBrush, VerticalBrush, FDiagonalBrush, BDiagonalBrush,
                          CrossBrush, DiagCrossBrush})
    b->OnClick = [this](TObject* s) { SetBrushStyle(s); };
  PenColor->OnClick = [this](TObject* s) { PenColorClick(s); };
  BrushColor->OnClick = [this](TObject* s) { BrushColorClick(s); };
  PenWidth->OnChange = [this](TObject* s) { PenWidthChange(s); };
  UpDown1->OnClick = [this](TObject* s, TUDBtnType b) { UpDown1Click(s, b); };
  Drawor->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    DraworMouseDown(s, b, sh, x, y);
  };
  Drawor->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { DraworMouseMove(s, sh, x, y); };
  Drawor->OnClick = [this](TObject* s) { DraworClick(s); };
  WireLayoutFiles();
  WireTextBox();
}
