// The component's colour depth conversions. They work on the whole picture
// and never consult the selection.
#include <algorithm>
#include <memory>
#include <vector>

#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/neurquant.h"
#include "imaging/proc/iecolordepth.h"
#include "imaging/proc/pixproc.h"

namespace {

// Quantises into the caller's palette; a palette shorter than n gets the
// first colours, so the picture still has n colours to choose from.
void QuantiseInto(TBitmap* bitmap, int n, std::span<TRGB> palette, const TIEProgressEvent& onProgress,
                  TObject* sender) {
  if (palette.size() >= size_t(n)) return _ConvertTo(bitmap, n, palette.data(), onProgress, sender);
  std::vector<TRGB> all(static_cast<size_t>(n));
  _ConvertTo(bitmap, n, all.data(), onProgress, sender);
  std::copy_n(all.begin(), palette.size(), palette.begin());
}

}  // namespace

void TPixProc::ConvertTo(int n) { ReduceColours(n, {}, PixProcCaption("ConvertTo", {n})); }

void TPixProc::ConvertToPalette(int n, std::span<TRGB> palette) { ReduceColours(n, palette, "ConvertToPalette"); }

void TPixProc::ReduceColours(int n, std::span<TRGB> palette, const std::string& caption) {
  if (!Has24BitPicture()) return;
  if (AutoUndo) SaveUndoCaptioned(caption);
  if (n > 2) {
    QuantiseInto(bitmap_, n, palette, OnProgress, this);
  } else {
    TProgressRec progress = MakeProgress();
    _ConvertToBWOrdered(bitmap_, progress);
    const TRGB blackWhite[2] = {{0, 0, 0}, {255, 255, 255}};
    std::copy_n(blackWhite, std::min<size_t>(2, palette.size()), palette.begin());
  }
  Update();
}

void TPixProc::ConvertToBWOrdered() {
  if (!Has24BitPicture()) return;
  if (AutoUndo) SaveUndoCaptioned("ConvertToBWOrdered");
  TProgressRec progress = MakeProgress();
  _ConvertToBWOrdered(bitmap_, progress);
  Update();
}

void TPixProc::ConvertToBWThreshold(int t) {
  if (!Has24BitPicture()) return;
  if (AutoUndo) SaveUndoCaptioned(PixProcCaption("ConvertToBWThreshold", {t}));
  TProgressRec progress = MakeProgress();
  _ConvertToBWThreshold(bitmap_, t, progress);
  Update();
}

void TPixProc::ConvertTo24Bit() {
  if (!bitmap_ || bitmap_->GetPixelFormat() != pf1bit) return;
  if (AutoUndo) SaveUndoCaptioned("ConvertTo24Bit");
  std::unique_ptr<TBitmap> source(IECloneBitmap(bitmap_));
  TProgressRec progress = MakeProgress();
  _Conv1to24(source.get(), bitmap_, progress);
  Update();
}

void TPixProc::CalcImagePalette(std::span<TRGB> palette, int n) {
  if (!Has24BitPicture() || n < 1 || palette.empty()) return;
  // Chosen for n colours even when the caller keeps fewer of them.
  std::vector<TRGB> all(static_cast<size_t>(n));
  TIEQuantizer quantizer(bitmap_, all, n, -1);
  std::copy_n(all.begin(), std::min(all.size(), palette.size()), palette.begin());
}
