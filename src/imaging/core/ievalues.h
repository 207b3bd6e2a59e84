// Colour and number value routines used throughout the imaging library:
// colour records, clamping and swapping, angles, powers, 64-bit arithmetic
// on 32-bit halves, tolerant number parsing, bit and row-length arithmetic.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/core/iedefs.h"
#include "platform/graphics.h"

// Colours -----------------------------------------------------------------------

TRGB CreateRGB(uint8_t r, uint8_t g, uint8_t b);
// The library's gray level: (21 r + 71 g + 8 b) div 100.
int _RGBToGray(const TRGB& rgb);
TColor TRGB2TColor(const TRGB& rgb);
TColor RGB2TColor(uint8_t r, uint8_t g, uint8_t b);
// System colours are resolved first.
TRGB TColor2TRGB(TColor color);
bool EqualRGB(const TRGB& a, const TRGB& b);

// Clamping, ordering, swapping -----------------------------------------------------

// On a tie both give a.
double dmin(double a, double b);
double dmax(double a, double b);
int32_t imin(int32_t a, int32_t b);
int32_t imax(int32_t a, int32_t b);
// low when value <= low, high when value >= high, else value.
int32_t ilimit(int32_t value, int32_t low, int32_t high);
// The value cut to 0..255.
int32_t blimit(int32_t value);
void iswap(int32_t& a, int32_t& b);
void dwswap(uint32_t& a, uint32_t& b);
void bswap(uint8_t& a, uint8_t& b);
// Orders the corners so that x1 <= x2 and y1 <= y2.
void OrdCor(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2);

// Angles and logarithms (radians) ---------------------------------------------------

double ArcTan2(double y, double x);
double ArcSin(double x);
double ArcCos(double x);
double Tan(double angle);
double Log10(double x);

// Powers and rounding -----------------------------------------------------------------

// Whole exponents by repeated squaring, others through exp and ln.
double IEPower(double base, double exponent);
// The largest integer not above x; raises EInvalidOp when x is not a
// number or lies outside the 64-bit range.
int64_t IEFloor(double x);

// 64-bit arithmetic on 32-bit halves ----------------------------------------------------

// True when the sum overflows 64 bits.
bool IEAdd64(uint32_t aLow, uint32_t aHigh, uint32_t bLow, uint32_t bHigh, uint32_t& resultLow,
             uint32_t& resultHigh);
bool IEGreater64(uint32_t aLow, uint32_t aHigh, uint32_t bLow, uint32_t bHigh);
void IEMul64(uint32_t a, uint32_t b, uint32_t& resultLow, uint32_t& resultHigh);

// Parsing ---------------------------------------------------------------------------------

// The text as a float; a comma and a point are tried as the decimal
// separator in turn; def when neither reads. Never raises.
double IEStrToFloatDef(const std::string& text, double def);

// Bits, pixel formats, rows ---------------------------------------------------------------

// Bytes of a row of `width` pixels of `bits` bits, padded to 4 bytes.
// Computed in 64 bits so that wide rows do not wrap.
int64_t _BitmapRowLen(int64_t width, int32_t bits);
// Width of the run of set bits starting at the lowest set bit (0..32).
int _GetBitCount(uint32_t mask);
// Bits needed for n colours (ceiling of log2 n); -1 for 0.
int _NColToBitsPixel(uint32_t n);
int _Pixelformat2BitCount(TPixelFormat format);
int64_t _PixelFormat2RowLen(int64_t width, TPixelFormat format);
TPixelFormat _Bitcount2Pixelformat(int bits);
// (2^bits)^samples in 32-bit arithmetic (wraps at 2^32).
uint32_t _GetNumCol(int bits, int samples);
void ReverseBitsB(uint8_t& b);
void ReverseBits(uint32_t& value);
uint16_t IESwapWord(uint16_t w);
uint32_t IESwapDWord(uint32_t d);
