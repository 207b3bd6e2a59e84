// Mirroring of pixel buffers and of 1-bit rows.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iebits.h"
#include "imaging/core/ievalues.h"
#include "imaging/proc/ierotate.h"

void IEMirrorRow1(uint8_t* dst, const uint8_t* src, int width) {
  if (width <= 0) return;
  const int bytes = (width + 7) / 8, spare = bytes * 8 - width;
  // Whole bytes reversed and bit-reversed put the last pixel of the last
  // byte first; with a part byte the row then starts `spare` bits late.
  std::vector<uint8_t> shifted(spare ? size_t(bytes) : 0);
  uint8_t* reversed = spare ? shifted.data() : dst;
  for (int i = 0; i < bytes; ++i) {
    reversed[i] = src[bytes - 1 - i];
    ReverseBitsB(reversed[i]);
  }
  if (!spare) return;
  std::memset(dst, 0, size_t(bytes));
  _CopyBits(dst, reversed, 0, spare, width, bytes);
}

void _FlipEx(TIEBitmap* picture, TFlipDir direction) {
  if (!picture) return;
  const TIEPixelFormat format = picture->GetPixelFormat();
  if (format != ie24RGB && format != ie1g) return;
  const int width = picture->GetWidth(), height = picture->GetHeight();
  const size_t rowLen = size_t(picture->GetRowLen());
  // Rows are copied out before the next GetScanLine: on file storage only
  // the row returned last is valid.
  std::vector<uint8_t> a(rowLen), b(rowLen);
  if (direction == fdVertical) {
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
      std::memcpy(a.data(), picture->GetScanLine(top), rowLen);
      std::memcpy(b.data(), picture->GetScanLine(bottom), rowLen);
      std::memcpy(picture->GetScanLine(top), b.data(), rowLen);
      std::memcpy(picture->GetScanLine(bottom), a.data(), rowLen);
    }
    return;
  }
  for (int y = 0; y < height; ++y) {
    uint8_t* row = picture->GetScanLine(y);
    std::memcpy(a.data(), row, rowLen);
    if (format == ie1g) {
      IEMirrorRow1(row, a.data(), width);
    } else {
      const auto* src = reinterpret_cast<const TRGB*>(a.data());
      std::reverse_copy(src, src + width, reinterpret_cast<TRGB*>(row));
    }
  }
}
