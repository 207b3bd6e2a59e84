#include "imaging/core/iebits.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// The 8 source bits starting at bit `pos`, most significant first.
uint8_t SourceByteAt(const uint8_t* src, int64_t srcLength, int64_t pos) {
  const int64_t index = pos >> 3;
  const int shift = static_cast<int>(pos & 7);
  const unsigned high = index < srcLength ? src[index] : 0;
  const unsigned low = shift != 0 && index + 1 < srcLength ? src[index + 1] : 0;
  return static_cast<uint8_t>((high << shift) | (low >> (8 - shift)));
}

}  // namespace

void _CopyBits(uint8_t* dst, const uint8_t* src, int64_t dstBit, int64_t srcBit, int64_t count,
               int64_t srcLength) {
  if (count <= 0 || dstBit < 0 || srcBit < 0) return;
  if (srcLength < 0) srcLength = 0;

  int64_t done = 0;
  // Byte-aligned runs are plain byte copies.
  if ((dstBit & 7) == 0 && (srcBit & 7) == 0) {
    const int64_t whole = count >> 3;
    const int64_t available = std::max<int64_t>(0, std::min(whole, srcLength - (srcBit >> 3)));
    if (available > 0) std::memcpy(dst + (dstBit >> 3), src + (srcBit >> 3), available);
    if (whole > available) std::memset(dst + (dstBit >> 3) + available, 0, whole - available);
    done = whole << 3;
  }

  // The rest byte by byte, merging through a mask at both ends.
  const int64_t end = dstBit + count;
  for (int64_t bit = dstBit + done; bit < end;) {
    const int64_t byteIndex = bit >> 3;
    const int offset = static_cast<int>(bit & 7);
    const int take = static_cast<int>(std::min<int64_t>(8 - offset, end - bit));
    const uint8_t bits = SourceByteAt(src, srcLength, srcBit + (bit - dstBit)) >> offset;
    const uint8_t mask = static_cast<uint8_t>((0xFF >> offset) & (0xFF << (8 - offset - take)));
    dst[byteIndex] = static_cast<uint8_t>((dst[byteIndex] & ~mask) | (bits & mask));
    bit += take;
  }
}

int _GetPixelbw(const uint8_t* row, int64_t x) { return row[x >> 3] & (0x80 >> (x & 7)); }

void _SetPixelbw(uint8_t* row, int64_t x, int value) {
  const uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
  if (value != 0)
    row[x >> 3] |= mask;
  else
    row[x >> 3] &= static_cast<uint8_t>(~mask);
}

void _RGB2BGR(TRGB* pixels, int64_t count) {
  for (int64_t i = 0; i < count; ++i) std::swap(pixels[i].r, pixels[i].b);
}
