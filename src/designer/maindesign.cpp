// The design surface's mouse: the hit zones and the one drag state that
// every picture item, every text and the selection frame share, and the
// picture items' and the frame's own click, press, move and release.
#include "designer/main.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"

namespace {

// Width of the edge zones that resize instead of move.
constexpr int kEdgeZone = 5;

bool LeftHeld(TShiftState shift) { return (shift & ssLeft) != 0; }
bool ItemArmed() { return Screen->GetCursor() == crDrag; }

}  // namespace

void TMainForm::SetHitZoneCursor(TControl* control, int X, int Y) {
  const int w = control->GetWidth(), h = control->GetHeight();
  TCursor cursor;
  if (X > 4 && X > w - kEdgeZone)
    cursor = Y <= 4 ? crSizeNESW : (Y > h - kEdgeZone ? crSizeNWSE : crSizeWE);
  else if (X > 4)
    cursor = (Y < kEdgeZone || Y > h - kEdgeZone) ? crSizeNS : crSizeAll;
  else
    cursor = Y <= 4 ? crSizeNWSE : (Y > h - kEdgeZone ? crSizeNESW : crSizeWE);
  control->SetCursor(cursor);
}

void TMainForm::StartDrag(TControl* control, TShiftState Shift, int X, int Y) {
  if (!LeftHeld(Shift)) return;
  DragStartX = X;
  DragStartY = Y;
  DragStartLeft = control->GetLeft();
  DragStartTop = control->GetTop();
  DragStartWidth = control->GetWidth();
  DragStartHeight = control->GetHeight();
  // The cursor the last move set tells which edge the press took.
  const bool nearLeft = X < kEdgeZone, nearTop = Y < kEdgeZone;
  switch (control->GetCursor()) {
    case crSizeWE: MoveMode = nearLeft ? 2 : 4; break;
    case crSizeNWSE: MoveMode = nearLeft ? 10 : 20; break;
    case crSizeNS: MoveMode = nearTop ? 8 : 16; break;
    case crSizeNESW: MoveMode = nearLeft ? 18 : 12; break;
    default: MoveMode = 1;
  }
}

void TMainForm::DragControl(TControl* control, int X, int Y) {
  if (MoveMode == 0) return;
  if (MoveMode == 1) {
    control->SetBounds(control->GetLeft() + X - DragStartX, control->GetTop() + Y - DragStartY, control->GetWidth(),
                       control->GetHeight());
    return;
  }
  // X and Y are relative to the control, which moves with a left or top
  // edge, so the moving edge follows the pointer and the opposite one stays.
  int left = control->GetLeft(), top = control->GetTop();
  int width = control->GetWidth(), height = control->GetHeight();
  if (MoveMode & 2) {
    left += X - DragStartX;
    width = DragStartWidth + DragStartLeft - left;
  }
  if (MoveMode & 4) width = X + DragStartWidth - DragStartX;
  if (MoveMode & 8) {
    top += Y - DragStartY;
    height = DragStartHeight + DragStartTop - top;
  }
  if (MoveMode & 16) height = Y + DragStartHeight - DragStartY;
  control->SetBounds(left, top, width, height);
}

namespace {

// The frame around a clicked item, two pixels clear of it on every side.
void FrameAround(TShape* frame, TControl* item) {
  frame->Show();
  frame->SetEnabled(true);
  frame->SetBounds(item->GetLeft() - 2, item->GetTop() - 2, item->GetWidth() + 4, item->GetHeight() + 4);
  frame->BringToFront();
}

void FillBoxes(TMainForm* f, TControl* item) {
  f->EditLeft->SetText(std::to_string(item->GetLeft()));
  f->EditTop->SetText(std::to_string(item->GetTop()));
  f->EditH->SetText(std::to_string(item->GetHeight()));
  f->EditW->SetText(std::to_string(item->GetWidth()));
}

}  // namespace

// Photo ---------------------------------------------------------------------------------

void TMainForm::PicOneClick(TObject*) {
  if (!ItemArmed()) PicItem = 0;
  FrameAround(Shape1, PicOne);
}

void TMainForm::PicOneMouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
  if (!ItemArmed()) PicItem = 0;
  Panel2->Refresh();
  SelectedItem = 13;
  SelectedIsTitle = false;
  StartDrag(PicOne, Shift, X, Y);
}

void TMainForm::PicOneMouseMove(TObject*, TShiftState, int X, int Y) {
  SetHitZoneCursor(PicOne, X, Y);
  DragControl(PicOne, X, Y);
}

void TMainForm::PicOneMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  MoveMode = 0;
  FillBoxes(this, PicOne);
}

// Picture two -----------------------------------------------------------------------------

void TMainForm::PicTwoClick(TObject*) {
  if (!ItemArmed()) PicItem = 1;
  FrameAround(Shape1, PicTwo);
}

void TMainForm::PicTwoMouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
  if (!ItemArmed()) PicItem = 1;
  SelectedItem = 14;
  SelectedIsTitle = false;
  StartDrag(PicTwo, Shift, X, Y);
}

void TMainForm::PicTwoMouseMove(TObject*, TShiftState, int X, int Y) {
  SetHitZoneCursor(PicTwo, X, Y);
  DragControl(PicTwo, X, Y);
}

void TMainForm::PicTwoMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  MoveMode = 0;
  FillBoxes(this, PicTwo);
}

// Logo ------------------------------------------------------------------------------------

void TMainForm::SignPicClick(TObject*) {
  if (!ItemArmed()) PicItem = 2;
  FrameAround(Shape1, SignPic);
}

void TMainForm::SignPicMouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
  if (!ItemArmed()) PicItem = 2;
  Panel2->Refresh();
  SelectedItem = 15;
  SelectedIsTitle = false;
  StartDrag(SignPic, Shift, X, Y);
}

void TMainForm::SignPicMouseMove(TObject*, TShiftState, int X, int Y) {
  SetHitZoneCursor(SignPic, X, Y);
  DragControl(SignPic, X, Y);
}

void TMainForm::SignPicMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  MoveMode = 0;
  FillBoxes(this, SignPic);
  Repaint();
}

// Barcode ---------------------------------------------------------------------------------

void TMainForm::BarcodeSetClick(TObject*) {
  if (!ItemArmed()) PicItem = 3;
  SelectedItem = 16;
  FrameAround(Shape1, BarcodeSet);
}

void TMainForm::BarcodeSetMouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
  PicItem = 3;  // even while another item is armed
  Panel2->Refresh();
  SelectedItem = 16;
  SelectedIsTitle = false;
  StartDrag(BarcodeSet, Shift, X, Y);
}

void TMainForm::BarcodeSetMouseMove(TObject*, TShiftState, int X, int Y) {
  SetHitZoneCursor(BarcodeSet, X, Y);
  DragControl(BarcodeSet, X, Y);
}

void TMainForm::BarcodeSetMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  MoveMode = 0;
  // The barcode's twin follows every release, not only the preview.
  QRDBBarCode->SetBoundsRect(BarcodeSet->GetBoundsRect());
  QRDBBarCode->SetVisible(BarcodeSet->GetVisible());
  FillBoxes(this, BarcodeSet);
  Repaint();
}

void TMainForm::BarcodeSetDblClick(TObject*) {}

// Seal ------------------------------------------------------------------------------------

void TMainForm::ImageZhangClick(TObject*) {
  if (!ItemArmed()) PicItem = 5;
  FrameAround(Shape1, ImageZhang);
}

void TMainForm::ImageZhangMouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
  if (!ItemArmed()) PicItem = 5;
  Panel2->Refresh();
  SelectedItem = 17;
  SelectedIsTitle = false;
  StartDrag(ImageZhang, Shift, X, Y);
}

void TMainForm::ImageZhangMouseMove(TObject*, TShiftState, int X, int Y) {
  SetHitZoneCursor(ImageZhang, X, Y);
  DragControl(ImageZhang, X, Y);
}

void TMainForm::ImageZhangMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  MoveMode = 0;
  FillBoxes(this, ImageZhang);
}

void TMainForm::ImageZhangDblClick(TObject*) {}

// Inserted picture: no release of its own, so it keeps following the
// pointer until a release elsewhere ends the drag.

void TMainForm::ImageInsClick(TObject*) {
  if (!ItemArmed()) PicItem = 4;
  Shape1->Show();
  Shape1->SetEnabled(true);
  Shape1->SetBoundsRect(ImageIns->GetBoundsRect());
  Shape1->BringToFront();
}

void TMainForm::ImageInsMouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
  StartDrag(ImageIns, Shift, X, Y);
}

void TMainForm::ImageInsMouseMove(TObject*, TShiftState, int X, int Y) {
  SetHitZoneCursor(ImageIns, X, Y);
  DragControl(ImageIns, X, Y);
}

// Selection frame -------------------------------------------------------------------------

void TMainForm::Shape1MouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
  Shape1->BringToFront();
  StartDrag(Shape1, Shift, X, Y);
}

void TMainForm::Shape1MouseMove(TObject*, TShiftState, int X, int Y) {
  // The item takes the frame's bounds before the frame moves, so it trails
  // the frame by one move.
  if (PicItem >= 0 && PicItem <= 5) {
    TImage* items[] = {PicOne, PicTwo, SignPic, BarcodeSet, ImageIns, ImageZhang};
    items[PicItem]->SetBounds(Shape1->GetLeft() + 2, Shape1->GetTop() + 2, Shape1->GetWidth() - 4,
                              Shape1->GetHeight() - 4);
  } else if (SelectedItem >= 0 && SelectedItem < kTextSlots) {
    TControl* text = LastTextTag > 14 ? static_cast<TControl*>(TitleLabels[size_t(SelectedItem)])
                                      : static_cast<TControl*>(DBTexts[size_t(SelectedItem)]);
    if (text) text->SetBoundsRect(Shape1->GetBoundsRect());
  }
  SetHitZoneCursor(Shape1, X, Y);
  DragControl(Shape1, X, Y);
}

void TMainForm::Shape1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  MoveMode = 0;
  Shape1->SendToBack();
}
