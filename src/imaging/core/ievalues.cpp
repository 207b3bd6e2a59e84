#include "imaging/core/ievalues.h"

#include <array>
#include <cmath>
#include <limits>

#include "platform/sysutils.h"

// Colours -----------------------------------------------------------------------

TRGB CreateRGB(uint8_t r, uint8_t g, uint8_t b) { return TRGB{b, g, r}; }

int _RGBToGray(const TRGB& rgb) { return (21 * rgb.r + 71 * rgb.g + 8 * rgb.b) / 100; }

TColor TRGB2TColor(const TRGB& rgb) { return RGB2TColor(rgb.r, rgb.g, rgb.b); }

TColor RGB2TColor(uint8_t r, uint8_t g, uint8_t b) { return r | (g << 8) | (b << 16); }

TRGB TColor2TRGB(TColor color) {
  const int32_t c = ColorToRGB(color);
  return CreateRGB(GetRValue(c), GetGValue(c), GetBValue(c));
}

bool EqualRGB(const TRGB& a, const TRGB& b) { return a == b; }

// Clamping, ordering, swapping -----------------------------------------------------

double dmin(double a, double b) { return b < a ? b : a; }
double dmax(double a, double b) { return b > a ? b : a; }
int32_t imin(int32_t a, int32_t b) { return b < a ? b : a; }
int32_t imax(int32_t a, int32_t b) { return b > a ? b : a; }

int32_t ilimit(int32_t value, int32_t low, int32_t high) {
  if (value <= low) return low;
  if (value >= high) return high;
  return value;
}

int32_t blimit(int32_t value) { return ilimit(value, 0, 255); }

void iswap(int32_t& a, int32_t& b) { std::swap(a, b); }
void dwswap(uint32_t& a, uint32_t& b) { std::swap(a, b); }
void bswap(uint8_t& a, uint8_t& b) { std::swap(a, b); }

void OrdCor(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
}

// Angles and logarithms -------------------------------------------------------------

double ArcTan2(double y, double x) { return std::atan2(y, x); }
double ArcSin(double x) { return ArcTan2(x, std::sqrt(1 - x * x)); }
double ArcCos(double x) { return ArcTan2(std::sqrt(1 - x * x), x); }
double Tan(double angle) { return std::tan(angle); }
double Log10(double x) { return std::log2(x) * std::log10(2.0); }

// Powers and rounding -----------------------------------------------------------------

double IEPower(double base, double exponent) {
  if (exponent == 0) return 1;
  if (base == 0 && exponent > 0) return 0;
  if (exponent == std::floor(exponent) && std::fabs(exponent) <= 2147483647.0) {
    uint64_t n = static_cast<uint64_t>(std::fabs(exponent));
    double result = 1;
    double factor = base;
    while (n != 0) {
      if (n & 1) result *= factor;
      factor *= factor;
      n >>= 1;
    }
    return exponent < 0 ? 1 / result : result;
  }
  return std::exp(exponent * std::log(base));
}

int64_t IEFloor(double x) {
  const double f = std::floor(x);
  // 2^63 is exactly representable; anything at or beyond it does not fit.
  if (!(f >= -9223372036854775808.0 && f < 9223372036854775808.0))
    throw EInvalidOp("Invalid floating point operation");
  return static_cast<int64_t>(f);
}

// 64-bit arithmetic on 32-bit halves ----------------------------------------------------

namespace {
uint64_t Join64(uint32_t low, uint32_t high) { return (static_cast<uint64_t>(high) << 32) | low; }
void Split64(uint64_t value, uint32_t& low, uint32_t& high) {
  low = static_cast<uint32_t>(value);
  high = static_cast<uint32_t>(value >> 32);
}
}  // namespace

bool IEAdd64(uint32_t aLow, uint32_t aHigh, uint32_t bLow, uint32_t bHigh, uint32_t& resultLow,
             uint32_t& resultHigh) {
  const uint64_t a = Join64(aLow, aHigh);
  const uint64_t sum = a + Join64(bLow, bHigh);
  Split64(sum, resultLow, resultHigh);
  return sum < a;
}

bool IEGreater64(uint32_t aLow, uint32_t aHigh, uint32_t bLow, uint32_t bHigh) {
  return Join64(aLow, aHigh) > Join64(bLow, bHigh);
}

void IEMul64(uint32_t a, uint32_t b, uint32_t& resultLow, uint32_t& resultHigh) {
  Split64(static_cast<uint64_t>(a) * b, resultLow, resultHigh);
}

// Parsing ---------------------------------------------------------------------------------

double IEStrToFloatDef(const std::string& text, double def) {
  double value = 0;
  if (TryStrToFloat(text, value)) return value;
  // Numbers typed or stored under another locale: swap the separator once.
  std::string other = text;
  const auto comma = other.find(',');
  if (comma != std::string::npos) {
    other[comma] = '.';
  } else {
    const auto point = other.find('.');
    if (point != std::string::npos) other[point] = ',';
  }
  if (other != text && TryStrToFloat(other, value)) return value;
  return def;
}

// Bits, pixel formats, rows ---------------------------------------------------------------

int64_t _BitmapRowLen(int64_t width, int32_t bits) { return ((width * bits + 31) >> 5) << 2; }

int _GetBitCount(uint32_t mask) {
  if (mask == 0) return 0;
  while ((mask & 1) == 0) mask >>= 1;
  int count = 0;
  while (mask & 1) {
    ++count;
    mask >>= 1;
  }
  return count;
}

int _NColToBitsPixel(uint32_t n) {
  if (n == 0) return -1;
  int highest = 31;
  while ((n & (1u << highest)) == 0) --highest;
  const bool powerOfTwo = (n & (n - 1)) == 0;
  return powerOfTwo ? highest : highest + 1;
}

int _Pixelformat2BitCount(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit: return 15;
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return 0;
  }
}

int64_t _PixelFormat2RowLen(int64_t width, TPixelFormat format) {
  return _BitmapRowLen(width, _Pixelformat2BitCount(format));
}

TPixelFormat _Bitcount2Pixelformat(int bits) {
  switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 15: return pf15bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfCustom;
  }
}

uint32_t _GetNumCol(int bits, int samples) {
  uint32_t perSample = 1;
  for (int i = 0; i < bits; ++i) perSample *= 2;
  uint32_t result = 1;
  for (int i = 0; i < samples; ++i) result *= perSample;
  return result;
}

namespace {
constexpr std::array<uint8_t, 256> MakeReverseTable() {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    uint8_t r = 0;
    for (int bit = 0; bit < 8; ++bit)
      if (i & (1 << bit)) r |= static_cast<uint8_t>(0x80 >> bit);
    table[i] = r;
  }
  return table;
}
constexpr std::array<uint8_t, 256> kReversedByte = MakeReverseTable();
}  // namespace

void ReverseBitsB(uint8_t& b) { b = kReversedByte[b]; }

void ReverseBits(uint32_t& value) {
  value = (static_cast<uint32_t>(kReversedByte[value & 0xFF]) << 24) |
          (static_cast<uint32_t>(kReversedByte[(value >> 8) & 0xFF]) << 16) |
          (static_cast<uint32_t>(kReversedByte[(value >> 16) & 0xFF]) << 8) |
          kReversedByte[value >> 24];
}

uint16_t IESwapWord(uint16_t w) { return static_cast<uint16_t>((w >> 8) | (w << 8)); }

uint32_t IESwapDWord(uint32_t d) {
  return (d >> 24) | ((d >> 8) & 0xFF00) | ((d << 8) & 0xFF0000) | (d << 24);
}
