// Painting a windowed control with its children onto another canvas.
#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/gdi.h"
#include "platform/surface.h"

void TWinControl::PaintTo(TCanvas* canvas, int x, int y) {
  if (image_.isNull()) return;
  InvalidateRect(nullptr, true);
  TWinControl::Update();
  const int w = image_.width(), h = image_.height();
  canvas->Blit(x, y, w, h, TPixelSurface::OfImage(image_), 0, 0, w, h, SRCCOPY);
  std::vector<TControl*> children = controls_;
  for (TControl* child : children)
    if (auto* windowed = dynamic_cast<TWinControl*>(child); windowed && windowed->GetVisible())
      windowed->PaintTo(canvas, x + windowed->GetLeft(), y + windowed->GetTop());
}
