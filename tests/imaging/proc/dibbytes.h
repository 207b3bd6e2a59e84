// Hand-made packed DIBs for the decoding and clipboard tests.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <cstring>
#include <vector>

#include "platform/kernel.h"

using Bytes = std::vector<uint8_t>;

inline void Put32(Bytes& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); }
inline void Put16(Bytes& b, size_t at, uint16_t v) { std::memcpy(&b[at], &v, 2); }

// A 40-byte header, then `extra` (colour table or masks), then the rows as
// given (already padded and in the DIB's row order).
inline Bytes Dib(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t clrUsed,
                 const Bytes& extra, const Bytes& rows) {
  Bytes dib(40, 0);
  Put32(dib, 0, 40);
  Put32(dib, 4, uint32_t(width));
  Put32(dib, 8, uint32_t(height));
  Put16(dib, 12, 1);
  Put16(dib, 14, bits);
  Put32(dib, 16, compression);
  Put32(dib, 32, clrUsed);
  dib.insert(dib.end(), extra.begin(), extra.end());
  dib.insert(dib.end(), rows.begin(), rows.end());
  return dib;
}

// Colour table entries from (r, g, b) triples.
inline Bytes Table(std::initializer_list<std::array<uint8_t, 3>> colours) {
  Bytes t;
  for (const auto& c : colours) t.insert(t.end(), {c[2], c[1], c[0], 0});
  return t;
}

inline Bytes Words32(std::initializer_list<uint32_t> words) {
  Bytes b(words.size() * 4);
  size_t i = 0;
  for (uint32_t w : words) Put32(b, 4 * i++, w);
  return b;
}

inline HGLOBAL GlobalBlock(const Bytes& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}
