// The component's edge map and skew estimate.
#include <memory>

#include "imaging/proc/iecolordepth.h"
#include "imaging/proc/ieedgedetect.h"
#include "imaging/proc/ieresample.h"
#include "imaging/proc/ieskew.h"
#include "imaging/proc/pixproc.h"

namespace {

// The edge map skew detection works on, made without progress.
std::unique_ptr<TBitmap> EdgeMap(TBitmap* picture) {
  auto map = std::make_unique<TBitmap>();
  TBitmap colour;
  TBitmap* source = picture;
  if (picture->GetPixelFormat() == pf1bit) {
    TProgressRec none;
    _Conv1to24(picture, &colour, none);
    source = &colour;
  } else if (picture->GetPixelFormat() != pf24bit) {
    colour.Assign(picture);
    colour.SetPixelFormat(pf24bit);
    source = &colour;
  }
  TProgressRec none;
  _IEEdgeDetect_ShenCastan(source, map.get(), 0.99, 0.9, 7, 0, true, none);
  return map;
}

}  // namespace

void TPixProc::EdgeDetect_ShenCastan(double Ratio, double Smoothing, int AdaptiveWindow, int ThinFactor,
                                     bool Hysteresis) {
  if (!Has24BitPicture()) return;
  if (AutoUndo) SaveUndoCaptioned("EdgeDetect");
  TProgressRec progress = MakeProgress();
  _IEEdgeDetect_ShenCastan(bitmap_, bitmap_, Ratio, Smoothing, AdaptiveWindow, ThinFactor, Hysteresis, progress);
  Update();
}

double TPixProc::SkewDetection(int ResizeWidth, int AngleRange, double Precision, bool EdgeDetect) {
  if (!bitmap_ || bitmap_->GetWidth() < 1 || bitmap_->GetHeight() < 1) return 0;
  const bool bilevel = bitmap_->GetPixelFormat() == pf1bit;
  std::unique_ptr<TBitmap> made;
  TBitmap* lines = bitmap_;
  if (ResizeWidth < 1 || ResizeWidth == bitmap_->GetWidth()) {
    if (!bilevel || EdgeDetect) {
      made = EdgeMap(bitmap_);
      lines = made.get();
    }
  } else {
    made = std::make_unique<TBitmap>();
    made->SetPixelFormat(bitmap_->GetPixelFormat());
    made->SetSize(ResizeWidth, static_cast<int>(int64_t{ResizeWidth} * bitmap_->GetHeight() / bitmap_->GetWidth()));
    if (!bilevel)
      _Resample(bitmap_, made.get(), rfFastLinear);
    else if (EdgeDetect)
      _Resample1bit(bitmap_, made.get(), rfFastLinear);
    else
      _IEBmpStretch(bitmap_, made.get());
    if (EdgeDetect) made = EdgeMap(made.get());
    lines = made.get();
  }
  TProgressRec progress = MakeProgress();
  return _iehough(lines, progress, AngleRange, Precision);
}
