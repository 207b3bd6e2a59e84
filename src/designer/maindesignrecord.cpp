// The current record's pictures on the design surface: the card batch
// window's hidden picture views load each record's photo, second picture
// and barcode straight into the design items.
#include "designer/main.h"
#include "imaging/io/pixio.h"
#include "imaging/view/dbpix.h"
#include "records/dbpicsu.h"

void TMainForm::BindRecordPictures() {
  if (FormPicEdit == nullptr) return;
  // A table that could not be opened has no record to edit.
  if (FormPicEdit->Table1->GetActive()) FormPicEdit->Table1->Edit();
  FormPicEdit->PixDBView11->GetPixIO()->SetTImage(PicOne);
  FormPicEdit->PixDBView22->GetPixIO()->SetTImage(PicTwo);
  FormPicEdit->PixDBView3->GetPixIO()->SetTImage(BarcodeSet);
  // The views read the current record before the items were attached;
  // showing it again puts its pictures into the items now.
  for (TPixDBView* view : {FormPicEdit->PixDBView11, FormPicEdit->PixDBView22, FormPicEdit->PixDBView3}) {
    view->SetAutoDisplay(false);
    view->SetAutoDisplay(true);
  }
}

// The batch window binds the same views to its own preview pictures when
// it shows, so every click on a record takes them back.
void TMainForm::DBGrid1CellClick(TColumn*) { BindRecordPictures(); }
