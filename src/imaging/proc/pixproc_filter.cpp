// The component's convolution filters.
#include "imaging/proc/iefilter.h"
#include "imaging/proc/pixproc.h"

void TPixProc::ApplyFilter(const TGraphFilter& filter) {
  if (!Has24BitPicture()) return;
  TProgressRec progress = MakeProgress();
  ProcessSelection("ApplyFilter", [&](TBitmap* bitmap, int x1, int y1, int x2, int y2) {
    _ApplyFilter(bitmap, filter, x1, y1, x2, y2, progress);
  });
}

void TPixProc::ApplyFilterPreset(TIEFilterPresets preset) {
  if (preset < fpNone || preset > LowPass2) return;
  ApplyFilter(IEFiltPres[preset]);
}
