// A canvas over a bitmap that reports a resolution of its own: what it
// draws in physical sizes (GetDeviceCaps LOGPIXELSX/Y) comes out at that
// device's pixels, so a bitmap can hold a drawing made for a printer.
#pragma once

#include <memory>

#include "platform/canvas.h"
#include "platform/graphics.h"

// The canvas draws on `bitmap` as it is at each call (resizes included);
// the bitmap must outlive it.
std::unique_ptr<TCanvas> MakeBitmapCanvas(TBitmap* bitmap, int pixelsPerInch);
