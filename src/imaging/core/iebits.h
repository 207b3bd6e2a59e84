// 1-bit rows and 24-bit pixel runs: bit-run copies, single-bit access and
// the red/blue exchange. In a 1-bit row the most significant bit of a byte is
// the leftmost pixel.
#pragma once

#include <cstdint>

#include "imaging/core/iedefs.h"

// Copies `count` bits from source bit `srcBit` to destination bit `dstBit`,
// leaving every other destination bit as it was. The source is read no
// further than `srcLength` bytes from its start; bits beyond that read as 0.
void _CopyBits(uint8_t* dst, const uint8_t* src, int64_t dstBit, int64_t srcBit, int64_t count,
               int64_t srcLength);

// 0 when bit x is clear, else its mask (128 shr (x mod 8)).
int _GetPixelbw(const uint8_t* row, int64_t x);
void _SetPixelbw(uint8_t* row, int64_t x, int value);

// Exchanges red and blue of `count` pixels in place.
void _RGB2BGR(TRGB* pixels, int64_t count);
