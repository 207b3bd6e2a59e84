// Colour depth conversions: reduction of 24-bit pictures to a palette or to
// black and white, expansion of 1-bit pictures to 24 bits, the two-colour
// test that lets writers store a picture with one bit per pixel, and bit
// inversion of 1-bit rows. In 1-bit rows a set bit is white and the most
// significant bit is the leftmost pixel.
#pragma once

#include <array>
#include <cstdint>

#include "imaging/core/iedefs.h"

class TBitmap;
class TIEBitmap;

// 8 x 8 ordered-dither matrix, values 0..63, read at (x mod 8) * 8 + (y mod 8).
extern const std::array<int32_t, 64> BWORDERPATTERN;

// Entry v: the eight pixels of the 1-bit byte v, leftmost first, each as
// three bytes 00 (clear) or FF (set).
extern const std::array<std::array<uint8_t, 24>, 256> C1TO24;

// Quantises a pf24bit bitmap in place to at most n colours (n >= 1); the
// palette, when given, must hold n entries and receives the colours.
void _ConvertTo(TBitmap* bitmap, int n, TRGB* palette, const TIEProgressEvent& OnProgress,
                TObject* Sender);
// pf24bit -> pf1bit by ordered dithering of the gray level.
void _ConvertToBWOrdered(TBitmap* bitmap, TProgressRec& progress);
// pf24bit -> pf1bit: white where the gray level reaches the threshold;
// -1 takes the gray level of the picture's mean colour.
void _ConvertToBWThreshold(TBitmap* bitmap, int threshold, TProgressRec& progress);
// The target becomes the pf24bit expansion of a pf1bit source.
void _Conv1to24(TBitmap* source, TBitmap* target, TProgressRec& progress);

// A new 1-bit picture when the picture holds exactly two colours, else
// nullptr. Bit 0 stands for the darker colour (returned in colour0), bit 1
// for the lighter (colour1). The caller owns the result.
TIEBitmap* _ConvertTo1bitEx(TIEBitmap* picture, TRGB& colour0, TRGB& colour1);
// The same for a pf24bit platform bitmap (nullptr for other formats).
TBitmap* _ConvertTo1bit(TBitmap* bitmap, TRGB& colour0, TRGB& colour1);

// Invert every byte of each row of a 1-bit picture, padding included.
void _Negative1BitEx(TIEBitmap* picture);
void _Negative1Bit(TBitmap* bitmap);
void _NegativeBuffer(void* buffer, int64_t length);
