// One row of pixels from one bit depth to another: the row packer of the
// writers that store 1, 4, 8 or 24 bits a pixel.
//
// Layouts: 1 bit (most significant bit first), 4 bits (high nibble first),
// 8 bits (palette index or grey), 24 bits (blue, green, red), 32 bits
// (blue, green, red and a byte that is dropped).
#pragma once

#include <cstdint>
#include <span>

#include "imaging/core/iedefs.h"

class TIEQuantizer;

// Converts Count pixels of Src into Dst and returns the bytes the
// destination row holds: (Count + 7) div 8 for 1 bit, (Count + 1) div 2 for
// 4, Count for 8, Count x 3 for 24, 0 for any other depth. Pairs that are
// not converted write nothing but still return that size. 4-bit targets are
// OR-ed in, so the caller clears the row first; an 8-bit source for a 1-bit
// target holds only 0 and 1. Indices past the end of the palette read as
// black; the quantiser is used only to reduce 24 bits to 4 or 8.
int _ConvertXBitsToYBits(const uint8_t* Src, uint8_t* Dst, uint16_t SrcBitCount,
                         uint16_t DstBitCount, uint16_t Count, std::span<const TRGB> Palette,
                         const TIEQuantizer* Quantizer);
