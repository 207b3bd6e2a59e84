// The card batch window's effect and colour buttons: the processing preview
// dialog on the picture that the picture edit button chose.
//
// The hidden field view of that picture hands what it loads to the live
// card's picture (its I/O component is attached there), so its own bitmap
// need not hold the record's picture. The buttons therefore put the record
// into edit state (a state change reloads the field views), then load the
// record's picture into the view (unless it holds an edit not yet stored),
// and give the result to the live card's picture, from which the field
// view stores it when the record is posted. Cancel leaves the record as it
// was.
#include "imaging/io/pixio.h"
#include "imaging/proc/pixproc.h"
#include "imaging/view/dbpix.h"
#include "platform/buttons.h"
#include "platform/extctrls.h"
#include "records/dbpicsu.h"

void TFormPicEdit::CreateEffectButtons() {
  auto button = [this](const char* name, const char* caption, int left, void (TFormPicEdit::*handler)(TObject*)) {
    auto* b = new TSpeedButton(this);
    b->Name = name;
    b->SetCaption(caption);
    b->SetBounds(left, 32, 70, 22);
    b->SetParent(Panel3);
    b->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
    return b;
  };
  BEffect = button("BEffect", "特效...", 574, &TFormPicEdit::BEffectClick);
  BColorSet = button("BColorSet", "色彩调节", 646, &TFormPicEdit::BColorSetClick);
}

void TFormPicEdit::BEffectClick(TObject*) { RunPreviews(peBumpMap | peLens | peWave | peMorph | peRotate); }

void TFormPicEdit::BColorSetClick(TObject*) {
  RunPreviews(peContrast | peHSV | peHSL | peRGB | peUserFilt | peEqualize | peFFT);
}

void TFormPicEdit::RunPreviews(uint16_t pages) {
  auto* view = dynamic_cast<TPixDBView*>(PixProc1->GetAttachedPix());
  if (view == nullptr || !Table1->GetActive() || Table1->IsEmpty()) return;
  const bool startedEdit = Table1->State() == dsBrowse;
  if (startedEdit) Table1->Edit();
  // A picture already edited and not yet stored is worked on further.
  if (!view->IsModified()) {
    TPixIO reader(nullptr);
    reader.SetAttachedPix(view);
    view->LoadPictureEx(&reader);
    reader.SetAttachedPix(nullptr);
  }
  if (PixProc1->DoPreviews(pages)) {
    // Into the bitmap the field view's I/O component writes from, so that
    // the post stores the result.
    if (TImage* card = view->GetPixIO()->GetAttachedTImage()) {
      card->GetPicture()->GetBitmap()->Assign(view->GetFBitmap());
      card->Invalidate();
    }
  } else if (startedEdit) {
    Table1->Cancel();
  }
  // The tool buttons follow the record's state.
  FormPaint(this);
}
