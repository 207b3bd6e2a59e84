// The scanner window's crop frame, the crop and the store into the record.
#include "platform/dialogs.h"
#include "records/uscanner.h"

void TFormScanner::Shape1MouseDown(TObject*, TMouseButton button, TShiftState, int x, int y) {
  crop_.MouseDown(button, x, y);
}

void TFormScanner::Shape1MouseMove(TObject*, TShiftState, int x, int y) { crop_.MouseMove(x, y); }

void TFormScanner::Shape1MouseUp(TObject*, TMouseButton, TShiftState, int, int) { crop_.MouseUp(); }

void TFormScanner::Button6Click(TObject*) {
  crop_.Crop();
  cropped_ = scanned_;
}

void TFormScanner::Button3Click(TObject*) {
  // Only a crop of a picture that the last scan delivered is stored.
  if (!cropped_) {
    ShowMessage("没有可存入的图片");
    return;
  }
  StoreCropInRecord(Image3);
}
