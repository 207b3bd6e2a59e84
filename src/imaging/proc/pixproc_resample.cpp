// TPixProc::Resample: the picture and its alpha channel at a new size.
#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iemask.h"
#include "imaging/proc/ieresample.h"
#include "imaging/proc/pixproc.h"
#include "platform/graphics.h"

void TPixProc::Resample(int NewWidth, int NewHeight, TResampleFilter Filter) {
  TBitmap* picture = GetWorkingBitmap();
  if (!picture || (picture->GetWidth() == 0 && picture->GetHeight() == 0)) return;
  // The snapshot comes first, also when the call then changes nothing.
  if (AutoUndo) SaveUndoCaptioned(PixProcCaption("Resample", {NewWidth, NewHeight}));
  if (NewWidth < 0 && NewHeight < 0) return;
  const int width = picture->GetWidth(), height = picture->GetHeight();
  if (NewWidth < 0) NewWidth = height ? int(int64_t(width) * NewHeight / height) : 0;
  if (NewHeight < 0) NewHeight = width ? int(int64_t(NewWidth) * height / width) : 0;

  TBitmap result;
  result.SetPixelFormat(picture->GetPixelFormat());
  result.SetSize(NewWidth, NewHeight);
  if (Filter == rfNone) {
    _IEBmpStretch(picture, &result);
  } else if (picture->GetPixelFormat() == pf1bit) {
    result.SetPixelFormat(pf24bit);
    _Resample1bit(picture, &result, Filter);
  } else {
    _Resample(picture, &result, Filter, this, OnProgress);
  }
  IECopyBitmap(&result, picture);

  if (TIEMask* alpha = GetAlphaChannel()) {
    if (alpha->Full) {
      alpha->AllocateBits(NewWidth, NewHeight, 8);
      alpha->Fill(255);
    } else {
      TIEMask resized;
      resized.AllocateBits(NewWidth, NewHeight, 8);
      _ResampleAlpha(alpha, &resized, Filter == rfNone ? rfFastLinear : Filter);
      alpha->Assign(&resized);
    }
  }
  Update();
}
