// Decoded TIFF rows into the picture's rows (and the alpha mask): the
// photometric kinds and sample layouts the reader knows.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iebits.h"
#include "imaging/core/iecielab.h"
#include "imaging/core/iemask.h"
#include "imaging/io/tiffreadvars.h"

namespace {

void Put(uint8_t* dst, int64_t x, uint8_t r, uint8_t g, uint8_t b) {
  dst[3 * x] = b;
  dst[3 * x + 1] = g;
  dst[3 * x + 2] = r;
}

uint16_t Sample16(const uint8_t* p, bool intel) {
  return intel ? static_cast<uint16_t>(p[0] | (p[1] << 8)) : static_cast<uint16_t>((p[0] << 8) | p[1]);
}

void PutAlpha(const TTIFFVars& v, int64_t x, int64_t y, uint8_t alpha) {
  if (v.NoMask || !v.Mask || x >= v.Mask->Width || y >= v.Mask->Height) return;
  v.Mask->Full = false;
  v.Mask->SetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y), alpha);
}

TRGB PaletteColour(const TTIFFVars& v, uint8_t index) {
  return index < v.ColorMap.size() ? v.ColorMap[index] : TRGB{0, 0, 0};
}

bool Inverted1Bit(const TTIFFVars& v) {
  const int c = v.Compression;
  return (v.Photometric == 0 && (c == 1 || c >= 5)) || (v.Photometric == 1 && c >= 2 && c <= 4);
}

}  // namespace

bool IETIFFDecodable(const TTIFFVars& v) {
  const int p = v.Photometric;
  const int s = v.SamplesPerPixel;
  const int b = v.BitsPerSample;
  const int c = v.Compression;
  const bool fax = c >= kTiffCCITT1D && c <= kTiffG4;
  if (c != kTiffNone && c != kTiffLZW && c != kTiffPackBits && !fax) return false;
  if (fax && !(s == 1 && b == 1)) return false;
  switch (p) {
    case 2: return ((s == 3 || s == 4) && (b == 8 || b == 16)) || (s == 1 && b == 16);
    case 3: return (s == 1 && b >= 1 && b <= 8) || (s == 2 && b == 8);
    case 0:
    case 1: return s == 1 && (b == 8 || b == 4 || b == 1 || (b == 16 && c == kTiffNone));
    case 5: return s == 4 && b == 8;
    case 8: return s == 3 && b == 8;
    default: return false;
  }
}

void IETIFFConvertRow(const uint8_t* src, TIEBitmap* bitmap, const TTIFFVars& v, int64_t y,
                      int64_t x0, int64_t count) {
  uint8_t* dst = bitmap->GetScanLine(static_cast<int>(y));
  const int p = v.Photometric;
  const int s = v.SamplesPerPixel;
  const int b = v.BitsPerSample;
  if ((p == 0 || p == 1) && b == 1) {
    std::vector<uint8_t> bits(src, src + (count + 7) / 8);
    if (Inverted1Bit(v))
      for (uint8_t& byte : bits) byte = static_cast<uint8_t>(~byte);
    _CopyBits(dst, bits.data(), x0, 0, count, static_cast<int64_t>(bits.size()));
    return;
  }
  uint8_t* out = dst + 3 * x0;
  for (int64_t x = 0; x < count; ++x) {
    if (p == 2 && b == 8) {
      const uint8_t* px = src + s * x;
      Put(out, x, px[0], px[1], px[2]);
      if (s == 4) PutAlpha(v, x0 + x, y, px[3]);
    } else if (p == 2 && b == 16 && s >= 3) {
      const uint8_t* px = src + 2 * s * x;
      const int high = v.Intel ? 1 : 0;
      Put(out, x, px[high], px[2 + high], px[4 + high]);
    } else if (p == 2 && b == 16) {
      const uint16_t w = Sample16(src + 2 * x, v.Intel);
      Put(out, x, static_cast<uint8_t>(((w >> 10) & 31) << 3), static_cast<uint8_t>(((w >> 5) & 31) << 3),
          static_cast<uint8_t>((w & 31) << 3));
    } else if (p == 3 && s == 2) {
      const TRGB c = PaletteColour(v, src[2 * x]);
      Put(out, x, c.r, c.g, c.b);
      PutAlpha(v, x0 + x, y, src[2 * x + 1]);
    } else if (p == 3) {
      const TRGB c = PaletteColour(v, src[x]);
      Put(out, x, c.r, c.g, c.b);
    } else if ((p == 0 || p == 1) && b == 16) {
      uint32_t w = Sample16(src + 2 * x, v.Intel);
      if (p == 0) w = 0xFFFF - w;
      // This program stored 12-bit samples in 16 bits.
      const bool twelveBits = v.Software.rfind("Look@Molli v1.1", 0) == 0;
      const auto g = static_cast<uint8_t>(std::min<uint32_t>(255, w >> (twelveBits ? 4 : 8)));
      Put(out, x, g, g, g);
    } else if (p == 0 || p == 1) {
      const auto g = static_cast<uint8_t>(p == 1 ? src[x] : 255 - src[x]);
      Put(out, x, g, g, g);
    } else if (p == 5) {
      const uint8_t* px = src + 4 * x;
      const int k = 255 - px[3];
      Put(out, x, static_cast<uint8_t>((255 - px[0]) * k / 255), static_cast<uint8_t>((255 - px[1]) * k / 255),
          static_cast<uint8_t>((255 - px[2]) * k / 255));
    } else if (p == 8) {
      const uint8_t* px = src + 3 * x;
      const TRGB c = IECIELAB2RGB(TIELAB{px[0], static_cast<int8_t>(px[1]), static_cast<int8_t>(px[2])});
      Put(out, x, c.r, c.g, c.b);
    }
  }
}
