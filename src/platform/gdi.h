// Device contexts and the GDI calls the system makes: a device context
// wraps a canvas; bitmaps, DIB sections, fonts, palettes and regions are
// objects selected into it or deleted through it.
#pragma once

#include <QRegion>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas.h"

void ReleaseCanvasHandle(HDC dc);
