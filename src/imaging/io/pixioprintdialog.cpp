// The component's entry to the print forms.
#include <memory>

#include "imaging/io/pixio.h"
#include "imaging/view/printdlg.h"

bool TPixIO::DoPrintPreviewDialog(TIEDialogType DialogType, const std::string&) {
  std::unique_ptr<TIEPrintForm> form;
  if (DialogType == iedtDialog) {
    auto* dialog = new Tfieprnform2(this);
    dialog->DialogsMeasureUnit = DialogsMeasureUnit;
    dialog->SetLanguage(MsgLanguage);
    form.reset(dialog);
  } else if (DialogType == iedtMaxi) {
    auto* maxi = new tfieprnform1(this);
    maxi->DialogsMeasureUnit = DialogsMeasureUnit;
    maxi->SetLanguage(MsgLanguage);
    form.reset(maxi);
  } else {
    return false;
  }
  form->PixIO = this;
  form->SetFont(GetPreviewFont());
  if (OnIOPreview) OnIOPreview(this, form.get());
  return form->ShowModal() == mrOk;
}
