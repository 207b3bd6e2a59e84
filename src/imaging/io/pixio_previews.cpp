// The component's entry to the save-parameters dialog.
#include <memory>

#include "imaging/core/iebitmap.h"
#include "imaging/io/pixio.h"
#include "imaging/view/ioprevs.h"
#include "imaging/view/pixview.h"
#include "platform/stdctrls.h"

bool TPixIO::DoIOPreviews(TPreviewParams pages) {
  if (OnDoPreviews) {
    bool handled = false;
    OnDoPreviews(this, handled);
    if (handled) return true;
  }
  if (!IEBitmap) return false;
  Rewrap();
  if (IEBitmap->GetPixelFormat() != ie24RGB && IEBitmap->GetPixelFormat() != ie1g)
    IEBitmap->ConvertToPixelFormat(ie24RGB);
  std::unique_ptr<TfIOPreviews> form(new TfIOPreviews(this));
  form->DefaultLockPreview = (PreviewsParams & ioppDefaultLockPreview) != 0;
  form->Button4->SetVisible((PreviewsParams & ioppApplyButton) != 0);
  form->IOParams = IOParams;
  form->SimplifiedParamsDialogs = SimplifiedParamsDialogs;
  form->SetLanguage(MsgLanguage);
  form->SetFont(GetPreviewFont());
  IEBitmap->CopyToTBitmap(form->Pix1->GetFBitmap());
  form->Pix1->Update();
  bool ok = false;
  if (form->SetPreviewParams(pages)) {
    if (OnIOPreview) OnIOPreview(this, form.get());
    ok = form->ShowModal() == mrOk;
  }
  form.reset();
  Update();
  return ok;
}
