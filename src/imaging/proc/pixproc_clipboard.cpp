// The component's clipboard transfers (CF_DIB) and the clearing and
// cropping of the selected area.
#include <memory>

#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iemask.h"
#include "imaging/proc/ieclearsel.h"
#include "imaging/proc/iedibdecode.h"
#include "imaging/proc/pixproc.h"
#include "imaging/view/pixview.h"
#include "platform/canvas.h"
#include "platform/clipbrd.h"

namespace {

// Puts a DIB on the emptied clipboard, which then owns it; a DIB the
// clipboard did not take is freed here.
void PutOnClipboard(HGLOBAL dib) {
  if (!dib) return;
  if (!OpenClipboard(nullptr)) {
    GlobalFree(dib);
    return;
  }
  EmptyClipboard();
  if (SetClipboardData(CF_DIB, dib) == 0) GlobalFree(dib);
  CloseClipboard();
}

// The clipboard's picture decoded into `picture`; false when the clipboard
// is busy, holds no CF_DIB, or its DIB cannot be read.
bool ClipboardPicture(TBitmap& picture) {
  if (!OpenClipboard(nullptr)) return false;
  bool decoded = false;
  if (HANDLE dib = GetClipboardData(CF_DIB)) decoded = _CopyDIB2Bitmap(dib, &picture, nullptr, false, 0, 0) != 0;
  CloseClipboard();
  return decoded;
}

void FillRect(TBitmap* bitmap, const TRect& r, TColor colour) {
  TCanvas* canvas = bitmap->GetCanvas();
  canvas->Brush->Color = colour;
  canvas->Brush->Style = bsSolid;
  canvas->FillRect(r);
}

// A new bitmap of the mask's box holding the masked pixels; the others
// keep the blank fill of a new bitmap.
std::unique_ptr<TBitmap> MaskedBox(TBitmap* bitmap, TIEMask* mask) {
  auto box = std::make_unique<TBitmap>();
  box->SetPixelFormat(bitmap->GetPixelFormat());
  box->SetSize(mask->X2 - mask->X1 + 1, mask->Y2 - mask->Y1 + 1);
  mask->CopyBitmap(box.get(), bitmap, true, false);
  return box;
}

// The rectangle, or with a non-empty mask its masked box, to the clipboard.
void CopySelectionToClipboard(TBitmap* bitmap, int x1, int y1, int x2, int y2, TIEMask* mask) {
  if (!mask || mask->IsEmpty()) return PutOnClipboard(_CopyBitmaptoDIB(bitmap, x1, y1, x2, y2));
  std::unique_ptr<TBitmap> box = MaskedBox(bitmap, mask);
  PutOnClipboard(_CopyBitmaptoDIB(box.get(), 0, 0, 0, 0));
}

}  // namespace

void TPixProc::CopyToClipboard() {
  if (!bitmap_) return;
  PutOnClipboard(_CopyBitmaptoDIB(bitmap_, 0, 0, 0, 0));
}

void TPixProc::SelCopyToClip() {
  if (!bitmap_) return;
  int x1, y1, x2, y2, polyCount;
  const TPoint* poly;
  TIEMask* mask;
  if (!GetReSel(x1, y1, x2, y2, poly, polyCount, mask)) return CopyToClipboard();
  CopySelectionToClipboard(bitmap_, x1, y1, x2, y2, mask);
}

void TPixProc::SelCutToClip() {
  if (!bitmap_) return;
  int x1, y1, x2, y2, polyCount;
  const TPoint* poly;
  TIEMask* mask;
  if (!GetReSel(x1, y1, x2, y2, poly, polyCount, mask)) return;
  if (AutoUndo) SaveUndoCaptioned("SelCutToClip");
  CopySelectionToClipboard(bitmap_, x1, y1, x2, y2, mask);
  if (!mask || mask->IsEmpty())
    FillRect(bitmap_, TRect{x1, y1, x2, y2}, GetReBackground());
  else
    _ClearSelMask(bitmap_, mask, GetReBackground());
  Update();
}

void TPixProc::PasteFromClipboard() {
  if (!bitmap_) return;
  TBitmap picture;
  if (!ClipboardPicture(picture)) return;
  if (AutoUndo) SaveUndoCaptioned("PastFromClipboard");
  IECopyBitmap(&picture, bitmap_);
  Update();
}

void TPixProc::PointPasteFromClip(int x, int y) {
  if (!bitmap_) return;
  TBitmap picture;
  if (!ClipboardPicture(picture)) return;
  // The caption keeps the coordinates as the caller gave them.
  if (AutoUndo) SaveUndoCaptioned(PixProcCaption("PointPasteFromClip", {x, y}));
  auto* view = dynamic_cast<TPixView*>(attachedPix_);
  if (view && view->SelectionBase == iesbClientArea) {
    x = view->XScr2Bmp(x);
    y = view->YScr2Bmp(y);
  }
  bitmap_->GetCanvas()->Draw(x, y, &picture);
  Update();
}

void TPixProc::SelPasteFromClipStretch() {
  if (!bitmap_) return;
  int x1, y1, x2, y2, polyCount;
  const TPoint* poly;
  TIEMask* mask;
  if (!GetReSel(x1, y1, x2, y2, poly, polyCount, mask)) return PasteFromClipboard();
  TBitmap picture;
  if (!ClipboardPicture(picture)) return;
  if (AutoUndo) SaveUndoCaptioned("SelPasteFromClipStretch");
  bitmap_->GetCanvas()->StretchDraw(TRect{x1, y1, x2, y2}, &picture);
  Update();
}

void TPixProc::Clear() {
  if (!bitmap_) return;
  if (AutoUndo) SaveUndoCaptioned("Clear");
  FillRect(bitmap_, TRect{0, 0, bitmap_->GetWidth(), bitmap_->GetHeight()}, GetReBackground());
  Update();
}

void TPixProc::ClearSel() {
  if (!bitmap_) return;
  if (AutoUndo) SaveUndoCaptioned("ClearSel");
  int x1, y1, x2, y2, polyCount;
  const TPoint* poly;
  TIEMask* mask;
  GetReSel(x1, y1, x2, y2, poly, polyCount, mask);
  if (mask && !mask->IsEmpty()) _ClearSelMask(bitmap_, mask, GetReBackground());
  Update();
}

void TPixProc::CropSel() {
  if (!bitmap_) return;
  if (AutoUndo) SaveUndoCaptioned("CropSel");
  int x1, y1, x2, y2, polyCount;
  const TPoint* poly;
  TIEMask* mask;
  if (GetReSel(x1, y1, x2, y2, poly, polyCount, mask) && mask && !mask->IsEmpty()) {
    std::unique_ptr<TBitmap> box = MaskedBox(bitmap_, mask);
    IECopyBitmap(box.get(), bitmap_);
    if (attachedPix_) attachedPix_->RemoveAlphaChannel();
  }
  Update();
}
