// What the BMP reader, the BMP writer and the icon and cursor readers
// share: structure sizes, the palette buffer and resolution conversion.
#pragma once

#include <array>
#include <cstdint>

#include "imaging/core/iedefs.h"

constexpr int kBmpFileHeaderSize = 14;
constexpr int kBmpInfoHeaderSize = 40;

// Up to 256 entries; entries a file does not give stay black, so any index
// a damaged file holds stays inside the palette.
using TBmpPalette = std::array<TRGB, 256>;

// round(pixels per metre / 100 x 2.54); 0 gives the system resolution.
int IEBmpDpi(int32_t pixelsPerMetre, int32_t systemDpi);
