#include "imaging/proc/iebitdepthrows.h"

#include <cstring>

#include "imaging/core/neurquant.h"

namespace {

int RowBytes(int bits, int count) {
  switch (bits) {
    case 1: return (count + 7) / 8;
    case 4: return (count + 1) / 2;
    case 8: return count;
    case 24: return count * 3;
    default: return 0;
  }
}

uint8_t Bit(const uint8_t* row, int x) { return (row[x >> 3] >> (7 - (x & 7))) & 1; }
uint8_t Nibble(const uint8_t* row, int x) {
  return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
}
void OrNibble(uint8_t* row, int x, uint8_t value) {
  row[x >> 1] |= (x & 1) ? (value & 0x0F) : static_cast<uint8_t>(value << 4);
}

// A damaged index must not read past the palette.
TRGB Entry(std::span<const TRGB> palette, unsigned index) {
  return index < palette.size() ? palette[index] : TRGB{0, 0, 0};
}

void PutRgb(uint8_t* dst, int x, const TRGB& c) { std::memcpy(dst + 3 * x, &c, 3); }
TRGB GetRgb(const uint8_t* src, int x) {
  TRGB c;
  std::memcpy(&c, src + 3 * x, 3);
  return c;
}

}  // namespace

int _ConvertXBitsToYBits(const uint8_t* Src, uint8_t* Dst, uint16_t SrcBitCount,
                         uint16_t DstBitCount, uint16_t Count, std::span<const TRGB> Palette,
                         const TIEQuantizer* Quantizer) {
  const int n = Count;
  const int size = RowBytes(DstBitCount, n);
  switch (SrcBitCount * 100 + DstBitCount) {
    case 2404:
      if (!Quantizer) break;
      for (int x = 0; x < n; ++x)
        OrNibble(Dst, x, static_cast<uint8_t>(Quantizer->GetRGBIndex(GetRgb(Src, x))));
      break;
    case 2408:
      if (!Quantizer) break;
      for (int x = 0; x < n; ++x) Dst[x] = static_cast<uint8_t>(Quantizer->GetRGBIndex(GetRgb(Src, x)));
      break;
    case 2424:
    case 808:
    case 101:
    case 404:
      std::memcpy(Dst, Src, static_cast<size_t>(size));
      break;
    case 3224:
      for (int x = 0; x < n; ++x) std::memcpy(Dst + 3 * x, Src + 4 * x, 3);
      break;
    case 801:
      std::memset(Dst, 0, static_cast<size_t>(size));
      for (int x = 0; x < n; ++x) Dst[x >> 3] |= static_cast<uint8_t>(Src[x] << (7 - (x & 7)));
      break;
    case 824:
      for (int x = 0; x < n; ++x) PutRgb(Dst, x, Entry(Palette, Src[x]));
      break;
    case 104:
      for (int x = 0; x < n; ++x) OrNibble(Dst, x, Bit(Src, x));
      break;
    case 108:
      for (int x = 0; x < n; ++x) Dst[x] = Bit(Src, x);
      break;
    case 124:
      for (int x = 0; x < n; ++x) PutRgb(Dst, x, Entry(Palette, Bit(Src, x)));
      break;
    case 408:
      for (int x = 0; x < n; ++x) Dst[x] = Nibble(Src, x);
      break;
    case 424:
      for (int x = 0; x < n; ++x) PutRgb(Dst, x, Entry(Palette, Nibble(Src, x)));
      break;
    default: break;
  }
  return size;
}
