#include "platform/bitmapcanvas.h"

#include "platform/surface.h"

namespace {

class TResolvedBitmapTarget : public TCanvasTarget {
 public:
  TResolvedBitmapTarget(TBitmap* bitmap, int pixelsPerInch) : bitmap_(bitmap), dpi_(pixelsPerInch) {}
  TPixelSurface Surface() override { return TPixelSurface::OfImage(bitmap_->Image()); }
  void Changed() override { bitmap_->Changed(); }
  int PixelsPerInchX() override { return dpi_; }
  int PixelsPerInchY() override { return dpi_; }

 private:
  TBitmap* bitmap_;
  int dpi_;
};

}  // namespace

std::unique_ptr<TCanvas> MakeBitmapCanvas(TBitmap* bitmap, int pixelsPerInch) {
  return std::make_unique<TCanvas>(new TResolvedBitmapTarget(bitmap, pixelsPerInch > 0 ? pixelsPerInch : ScreenPixelsPerInch()));
}
