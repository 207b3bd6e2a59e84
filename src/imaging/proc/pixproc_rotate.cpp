// The component's rotation, mirroring and canvas size. They work on the
// whole picture and never consult the selection.
#include "imaging/core/iebitmap.h"
#include "imaging/core/ieview.h"
#include "imaging/core/ievalues.h"
#include "imaging/proc/ierotate.h"
#include "imaging/proc/pixproc.h"
#include "platform/canvas.h"

void TPixProc::Rotate(double angle, bool antialias) {
  TBitmap* bitmap = GetWorkingBitmap();
  if (!bitmap || angle == 0) return;
  if (AutoUndo) SaveUndoCaptioned("Rotate " + FloatToStr(angle));
  if (bitmap->GetPixelFormat() == pf24bit) {
    _Rotate24(bitmap, angle, antialias, TColor2TRGB(GetReBackground()), OnProgress, this);
  } else {
    TProgressRec progress = MakeProgress();
    _rotate1bit(bitmap, GetReBackground() != 0 ? 1 : 0, progress, angle);
  }
  Update();
}

void TPixProc::Flip(TFlipDir direction) {
  TBitmap* bitmap = GetWorkingBitmap();
  // Other formats have no rows the mirror understands.
  if (!bitmap || (bitmap->GetPixelFormat() != pf24bit && bitmap->GetPixelFormat() != pf1bit)) return;
  if (AutoUndo) SaveUndoCaptioned("Flip");
  TIEBitmap picture;
  picture.EncapsulateTBitmap(bitmap);
  _FlipEx(&picture, direction);
  Update();
}

void TPixProc::ImageResize(int width, int height) {
  TBitmap* bitmap = GetWorkingBitmap();
  // A negative size would empty the picture.
  if (!bitmap || width <= 0 || height <= 0) return;
  if (AutoUndo) SaveUndoCaptioned(PixProcCaption("ImageResize", {width, height}));
  const int oldWidth = bitmap->GetWidth(), oldHeight = bitmap->GetHeight();
  bitmap->SetWidth(width);
  bitmap->SetHeight(height);
  // The old picture stays at the top left; what is new takes the background.
  TCanvas* canvas = bitmap->GetCanvas();
  canvas->Brush->Color = GetReBackground();
  canvas->Brush->Style = bsSolid;
  if (width > oldWidth) canvas->FillRect(Rect(oldWidth, 0, width, height));
  if (height > oldHeight) canvas->FillRect(Rect(0, oldHeight, width, height));
  if (GetAttachedPix()) GetAttachedPix()->RemoveAlphaChannel();
  Update();
}
