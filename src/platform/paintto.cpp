// Painting a windowed control with its children onto another canvas.
#include <algorithm>

#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/gdi.h"
#include "platform/surface.h"

namespace {

// A plain copy onto a 24- or 32-bit picture with no clip and no mapping:
// rows are copied directly rather than pixel by pixel through the raster
// operations (a batch of cards copies whole cards many times).
bool CopyRows(TCanvas* canvas, const QImage& image, int x, int y) {
  if (canvas->HasClipRegion() || canvas->ToDevice(x, y) != TPoint{x, y} || canvas->ScaleX() != 1.0 ||
      canvas->ScaleY() != 1.0)
    return false;
  TPixelSurface dest = canvas->Target()->Surface();
  if (!dest.Valid() || (dest.kind != TSurfaceKind::Bgr24 && dest.kind != TSurfaceKind::Bgrx32)) return false;
  const int bytes = dest.kind == TSurfaceKind::Bgr24 ? 3 : 4;
  const int left = std::max(0, x), right = std::min(dest.width, x + image.width());
  const int top = std::max(0, y), bottom = std::min(dest.height, y + image.height());
  if (left < right && top < bottom) canvas->Target()->Touched({left, top, right, bottom});
  for (int row = top; row < bottom; ++row) {
    const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(row - y));
    uint8_t* to = dest.Row(row) + int64_t(left) * bytes;
    for (int col = left; col < right; ++col, to += bytes) {
      const QRgb pixel = from[col - x];
      to[0] = uint8_t(qBlue(pixel));
      to[1] = uint8_t(qGreen(pixel));
      to[2] = uint8_t(qRed(pixel));
      if (bytes == 4) to[3] = 0xFF;
    }
  }
  canvas->Target()->Changed();
  return true;
}

}  // namespace

void TWinControl::PaintTo(TCanvas* canvas, int x, int y) {
  if (image_.isNull()) return;
  InvalidateRect(nullptr, true);
  TWinControl::Update();
  const int w = image_.width(), h = image_.height();
  if (!CopyRows(canvas, image_, x, y))
    canvas->Blit(x, y, w, h, TPixelSurface::OfImage(image_), 0, 0, w, h, SRCCOPY);
  std::vector<TControl*> children = controls_;
  for (TControl* child : children)
    if (auto* windowed = dynamic_cast<TWinControl*>(child); windowed && windowed->GetVisible())
      windowed->PaintTo(canvas, x + windowed->GetLeft(), y + windowed->GetTop());
}
