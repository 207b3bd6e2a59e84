#include "platform/canvas.h"

TCanvas* TBitmap::GetCanvas() {
  if (canvas_ == nullptr) canvas_ = new TCanvas(this);
  return canvas_;
}
