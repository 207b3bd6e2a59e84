// The component's entry to the processing preview dialog.
#include <memory>

#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iemask.h"
#include "imaging/proc/pixproc.h"
#include "imaging/view/pixview.h"
#include "imaging/view/previews.h"
#include "platform/commdlg.h"
#include "platform/sysutils.h"

bool TPixProc::DoPreviews(TPreviewEffects pages) {
  TBitmap* bitmap = GetWorkingBitmap();
  if (!Has24BitPicture() || (bitmap->GetWidth() < 2 && bitmap->GetHeight() < 2)) return false;
  std::unique_ptr<TfPreviews> form(new TfPreviews(this));
  form->DefaultLockPreview = (PreviewsParams & prppDefaultLockPreview) != 0;
  form->SetLanguage(MsgLanguage);
  form->SetFont(GetPreviewFont());
  form->Progress = MakeProgress();
  form->Pix1->SetBackGround(GetReBackground());
  form->Pix2->SetBackGround(GetReBackground());
  form->OpenDialog1->InitialDir = GetCurrentDir();
  form->SaveDialog1->InitialDir = form->OpenDialog1->InitialDir;

  // The area to process: the selection's box, or the whole picture.
  int x1, y1, x2, y2, polyCount;
  const TPoint* poly;
  TIEMask* mask;
  GetReSel(x1, y1, x2, y2, poly, polyCount, mask);
  const bool masked = mask && !mask->IsEmpty();
  TBitmap* source = form->Pix1->GetFBitmap();
  _CopyBitmapRect(bitmap, source, x1, y1, x2, y2);
  form->Pix1->Update();
  form->PreviewEffects = pages;
  form->InitialPage = nullptr;
  if (OnPreview) OnPreview(this, form.get());
  if (form->ShowModal() != mrOk) return false;

  if (AutoUndo) SaveUndoCaptioned("Previews");
  const bool sameSize = source->GetWidth() == x2 - x1 && source->GetHeight() == y2 - y1;
  if (masked && sameSize) {
    mask->CopyBitmap(bitmap, source, false, true);
  } else {
    // The whole picture, or a result of another size: a part whose size
    // changed has no place to go back to, so it becomes the picture.
    const bool resized = source->GetWidth() != bitmap->GetWidth() || source->GetHeight() != bitmap->GetHeight();
    IECopyBitmap(source, bitmap);
    if (resized) {
      if (auto* view = dynamic_cast<TPixView*>(GetAttachedPix())) {
        view->DeSelect();
        view->RemoveAlphaChannel();
      }
    }
  }
  Update();
  return true;
}
