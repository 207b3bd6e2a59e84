// TPixIO::AdjustDPI: square pixels by stretching the shorter side.
#include <limits>
#include <memory>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/pixio.h"
#include "imaging/proc/ieresample.h"

namespace {

void CopyPalette(TIEBitmap& from, TIEBitmap& to) {
  if (from.PixelFormat != ie8p) return;
  for (int i = 0; i < from.PaletteLength; ++i) to.SetPalette(i, from.GetPalette(i));
}

}  // namespace

void TPixIO::AdjustDPI() {
  TIOParamsVals& p = *IOParams;
  if (p.DPIX == p.DPIY || p.DPIX <= 0 || p.DPIY <= 0 || !IEBitmap) return;
  Rewrap();
  int64_t width = IEBitmap->Width, height = IEBitmap->Height;
  if (p.Height < p.Width) {
    height = static_cast<int64_t>(double(p.Height) / p.DPIY * p.DPIX);
    p.DPIY = p.DPIX;
  } else {
    width = static_cast<int64_t>(double(p.Width) / p.DPIX * p.DPIY);
    p.DPIX = p.DPIY;
  }
  if (IEBitmap->Width <= 0 || IEBitmap->Height <= 0 || IEBitmap->PixelFormat == ienull) return;
  if (width <= 0 || height <= 0 || width > std::numeric_limits<int32_t>::max() ||
      height > std::numeric_limits<int32_t>::max()) {
    Aborting = true;  // no picture of that size can exist
    return;
  }
  std::unique_ptr<TIEBitmap> alphaCopy;
  if (!OwnIEBitmap && IEBitmap->GetHasAlphaChannel()) {
    alphaCopy = std::make_unique<TIEBitmap>();
    alphaCopy->Location = ieMemory;
    alphaCopy->Assign(IEBitmap->GetAlphaChannel());
  }

  TIEBitmap result;
  result.Location = ieMemory;
  if (FilteredAdjustDPI) {
    TIEBitmap source;
    source.Location = ieMemory;
    source.Assign(IEBitmap);
    source.ConvertToPixelFormat(ie24RGB);
    if (!IEAllocateBitmap(&result, width, height, ie24RGB)) return void(Aborting = true);
    _ResampleEx(&source, &result, rfFastLinear);
  } else {
    if (!IEAllocateBitmap(&result, width, height, IEBitmap->PixelFormat))
      return void(Aborting = true);
    CopyPalette(*IEBitmap, result);
    _IEBmpStretchEx(IEBitmap, &result);
  }
  IEBitmap->RemoveAlphaChannel();
  IEBitmap->Assign(&result);
  p.Width = IEBitmap->Width;
  p.Height = IEBitmap->Height;

  if (alphaCopy) {
    TIEBitmap* alpha = IEBitmap->GetAlphaChannel();
    alpha->Allocate(IEBitmap->Width, IEBitmap->Height, ie8g);
    _IEBmpStretchEx(alphaCopy.get(), alpha);
    return;
  }
  TIEMask* mask = GetAlphaChannel();
  if (!mask || mask->BitCount != 8 || mask->Width <= 0 || mask->Height <= 0) return;
  if (mask->Full) {
    mask->AllocateBits(IEBitmap->Width, IEBitmap->Height, 8);
    mask->Fill(255);
    return;
  }
  TIEMask resized;
  resized.AllocateBits(IEBitmap->Width, IEBitmap->Height, 8);
  _ResampleAlpha(mask, &resized, rfFastLinear);
  mask->Assign(&resized);
}
