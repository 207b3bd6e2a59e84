// Hidden data in pf24bit pictures: a byte sequence stored in the least
// significant bits of the pixel bytes, each byte changed by at most one
// level. The carrier is, row after row from the top, the first 3 W - 2
// bytes of each row (the last pixel's green and red bytes and the row
// padding are never used), one bit per byte. The stream is an 8-byte header
// (4 zero bytes, then the data length, 32-bit little-endian) and the data,
// every byte least significant bit first.
#pragma once

#include <cstdint>

#include "platform/graphics.h"

// The data bytes the picture can carry after the header; 0 when it is not
// pf24bit or too small to hold even the header.
int32_t IEHiddenDataSpace(TBitmap* bitmap);

// True when the picture is pf24bit and holds the header and length bytes.
bool IEHiddenDataFits(TBitmap* bitmap, int32_t length);

// Stores the header and length data bytes; false, with the picture
// unchanged, when it is not pf24bit or the data does not fit.
bool IEWriteHiddenData(TBitmap* bitmap, const void* data, int32_t length);

// The stored length, copying up to size data bytes into buffer (none when
// buffer is nil). A length beyond what the picture can carry was never
// written there, so it reads as 0.
int32_t IEReadHiddenData(TBitmap* bitmap, void* buffer, int32_t size);
