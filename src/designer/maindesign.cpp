// The design surface's mouse: the hit zones and the one drag state that
// every picture item, every text and the selection frame share, and the
// picture items' and the frame's own click, press, move and release.
#include "designer/main.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"
#include "records/dbpicsu.h"

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

// A press on a picture item selects it; unless another item is armed for
// placement (the barcode takes the selection even then) it becomes the
// frame's item too.
void PressPicture(TMainForm* f, TImage* item, int kind, int selected, TShiftState shift, int x, int y) {
  const bool alwaysTakes = kind == 3;
  if (alwaysTakes || !ItemArmed()) f->PicItem = kind;
  if (kind != 1) f->Panel2->Refresh();
  f->SelectedItem = selected;
  f->SelectedIsTitle = false;
  f->StartDrag(item, shift, x, y);
}

void ClickPicture(TMainForm* f, TImage* item, int kind) {
  if (!ItemArmed()) f->PicItem = kind;
  FrameAround(f->Shape1, item);
}

void MovePicture(TMainForm* f, TControl* item, int x, int y) {
  f->SetHitZoneCursor(item, x, y);
  f->DragControl(item, x, y);
}

void ReleasePicture(TMainForm* f, TControl* item) {
  f->MoveMode = 0;
  f->ClampDesignItems();
  FillBoxes(f, item);
}

}  // namespace

void TMainForm::PicOneClick(TObject*) { ClickPicture(this, PicOne, 0); }
void TMainForm::PicOneMouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
  PressPicture(this, PicOne, 0, 13, Shift, X, Y);
}
void TMainForm::PicOneMouseMove(TObject*, TShiftState, int X, int Y) { MovePicture(this, PicOne, X, Y); }
void TMainForm::PicOneMouseUp(TObject*, TMouseButton, TShiftState, int, int) { ReleasePicture(this, PicOne); }

void TMainForm::PicTwoClick(TObject*) { ClickPicture(this, PicTwo, 1); }
void TMainForm::PicTwoMouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
  PressPicture(this, PicTwo, 1, 14, Shift, X, Y);
}
void TMainForm::PicTwoMouseMove(TObject*, TShiftState, int X, int Y) { MovePicture(this, PicTwo, X, Y); }
void TMainForm::PicTwoMouseUp(TObject*, TMouseButton, TShiftState, int, int) { ReleasePicture(this, PicTwo); }

void TMainForm::SignPicClick(TObject*) { ClickPicture(this, SignPic, 2); }
void TMainForm::SignPicMouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
  PressPicture(this, SignPic, 2, 15, Shift, X, Y);
}
void TMainForm::SignPicMouseMove(TObject*, TShiftState, int X, int Y) { MovePicture(this, SignPic, X, Y); }
void TMainForm::SignPicMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  ReleasePicture(this, SignPic);
  Repaint();
}

void TMainForm::BarcodeSetClick(TObject*) {
  SelectedItem = 16;
  ClickPicture(this, BarcodeSet, 3);
}
void TMainForm::BarcodeSetMouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
  PressPicture(this, BarcodeSet, 3, 16, Shift, X, Y);
}
void TMainForm::BarcodeSetMouseMove(TObject*, TShiftState, int X, int Y) { MovePicture(this, BarcodeSet, X, Y); }
void TMainForm::BarcodeSetMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  // The barcode's twin and the batch window's barcode follow every
  // release, not only the preview.
  QRDBBarCode->SetBoundsRect(BarcodeSet->GetBoundsRect());
  QRDBBarCode->SetVisible(BarcodeSet->GetVisible());
  if (FormPicEdit) {
    TImage* print = FormPicEdit->BarcodePrint;
    print->SetBoundsRect(BarcodeSet->GetBoundsRect());
    print->SetVisible(BarcodeSet->GetVisible());
    print->SetTransparent(BarcodeSet->GetTransparent());
  }
  ReleasePicture(this, BarcodeSet);
  Repaint();
}
void TMainForm::BarcodeSetDblClick(TObject*) {}

void TMainForm::ImageZhangClick(TObject*) { ClickPicture(this, ImageZhang, 5); }
void TMainForm::ImageZhangMouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
  PressPicture(this, ImageZhang, 5, 17, Shift, X, Y);
}
void TMainForm::ImageZhangMouseMove(TObject*, TShiftState, int X, int Y) { MovePicture(this, ImageZhang, X, Y); }
void TMainForm::ImageZhangMouseUp(TObject*, TMouseButton, TShiftState, int, int) { ReleasePicture(this, ImageZhang); }
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

void TMainForm::ImageInsMouseMove(TObject*, TShiftState, int X, int Y) { MovePicture(this, ImageIns, X, Y); }

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
  } else if (TControl* text = SelectedText()) {
    text->SetBoundsRect(Shape1->GetBoundsRect());
  }
  MovePicture(this, Shape1, X, Y);
}

void TMainForm::Shape1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  MoveMode = 0;
  ClampDesignItems();
  Shape1->SendToBack();
}
