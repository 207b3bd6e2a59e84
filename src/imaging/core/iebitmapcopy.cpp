#include "imaging/core/iebitmapcopy.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "imaging/core/iebits.h"
#include "imaging/core/ievalues.h"

namespace {

struct Span {
  int lo = 0;
  int hi = 0;
  int Length() const { return hi - lo; }
};

// Cuts [lo, hi) to [0, size); hi 0 stands for size.
Span ClampSpan(int lo, int hi, int size) {
  if (hi == 0) hi = size;
  Span span{std::clamp(lo, 0, size), std::clamp(hi, 0, size)};
  if (span.hi < span.lo) span.hi = span.lo;
  return span;
}

void CopyPalette(TBitmap* src, TBitmap* dst) {
  const int count = std::min(src->PaletteSize(), dst->PaletteSize());
  if (count <= 0) return;
  std::vector<TPaletteEntry> entries(count);
  src->GetPaletteEntries(0, count, entries.data());
  dst->SetPaletteEntries(0, count, entries.data());
}

// Builds a global DIB of `width` x `height` pixels of `bits` bits (1 or 24);
// DIB row i (bottom-up) is taken from sourceRow(i), starting at pixel x1.
HGLOBAL BuildGlobalDIB(int width, int height, int bits, int x1, int64_t sourceRowBytes,
                       const std::function<const uint8_t*(int)>& sourceRow) {
  const int64_t rowLen = _BitmapRowLen(width, bits);
  const int64_t paletteBytes = bits == 1 ? 2 * sizeof(RGBQUAD) : 0;
  const int64_t headerBytes = sizeof(BITMAPINFOHEADER) + paletteBytes;
  if (height > 0 && rowLen > (INT64_MAX - headerBytes - 4) / height) OutOfMemoryError();
  const int64_t total = headerBytes + rowLen * height + 4;
  const HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT,
                                     static_cast<size_t>(total));
  if (handle == 0) OutOfMemoryError();
  auto* block = static_cast<uint8_t*>(GlobalLock(handle));
  try {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<uint16_t>(bits);
    header.biCompression = BI_RGB;
    std::memcpy(block, &header, sizeof(header));
    if (bits == 1) {
      const RGBQUAD palette[2] = {{0, 0, 0, 0}, {255, 255, 255, 255}};
      std::memcpy(block + sizeof(header), palette, sizeof(palette));
    }
    uint8_t* rows = block + headerBytes;
    for (int i = 0; i < height; ++i) {
      uint8_t* dst = rows + i * rowLen;
      const uint8_t* src = sourceRow(i);
      if (src == nullptr) continue;  // an unreadable row stays blank
      if (bits == 24)
        std::memcpy(dst, src + static_cast<int64_t>(x1) * 3, static_cast<size_t>(width) * 3);
      else
        _CopyBits(dst, src, 0, x1, width, sourceRowBytes);
    }
  } catch (...) {
    GlobalUnlock(handle);
    GlobalFree(handle);
    throw;
  }
  GlobalUnlock(handle);
  return handle;
}

int DibBitsOf(TPixelFormat format) {
  return format == pf1bit ? 1 : format == pf24bit ? 24 : 0;
}

}  // namespace

void IECopyBitmap(TBitmap* src, TBitmap* dst) {
  dst->SetSize(1, 1);
  dst->SetPixelFormat(src->GetPixelFormat());
  const int width = src->GetWidth();
  const int height = src->GetHeight();
  if (width > 0 && height > 0) dst->SetSize(width, height);
  CopyPalette(src, dst);
  if (width <= 0 || height <= 0) return;
  const int64_t bytes = std::min(src->BytesPerLine(), dst->BytesPerLine());
  for (int y = 0; y < height; ++y) std::memcpy(dst->ScanLine(y), src->ScanLine(y), bytes);
}

TBitmap* IECloneBitmap(TBitmap* src) {
  auto* copy = new TBitmap();
  try {
    IECopyBitmap(src, copy);
  } catch (...) {
    delete copy;
    throw;
  }
  return copy;
}

void _CopyBitmapRect(TBitmap* src, TBitmap* dst, int x1, int y1, int x2, int y2) {
  const Span cols = ClampSpan(x1, x2, src->GetWidth());
  const Span rows = ClampSpan(y1, y2, src->GetHeight());
  const TPixelFormat format = src->GetPixelFormat();
  dst->SetSize(1, 1);
  dst->SetPixelFormat(format);
  dst->SetSize(cols.Length(), rows.Length());
  CopyPalette(src, dst);
  if (cols.Length() == 0) return;
  for (int y = rows.lo; y < rows.hi; ++y) {
    uint8_t* target = dst->ScanLine(y - rows.lo);
    const uint8_t* source = src->ScanLine(y);
    if (target == nullptr || source == nullptr) break;
    if (format == pf24bit)
      std::memcpy(target, source + static_cast<int64_t>(cols.lo) * 3,
                  static_cast<size_t>(cols.Length()) * 3);
    else if (format == pf1bit)
      _CopyBits(target, source, 0, cols.lo, cols.Length(), src->BytesPerLine());
  }
}

HGLOBAL _CopyBitmaptoDIB(TBitmap* bitmap, int x1, int y1, int x2, int y2) {
  const int bits = DibBitsOf(bitmap->GetPixelFormat());
  if (bits == 0) return 0;
  const Span cols = ClampSpan(x1, x2, bitmap->GetWidth());
  const Span rows = ClampSpan(y1, y2, bitmap->GetHeight());
  return BuildGlobalDIB(cols.Length(), rows.Length(), bits, cols.lo, bitmap->BytesPerLine(),
                        [&](int i) { return bitmap->ScanLine(rows.hi - 1 - i); });
}

HGLOBAL _CopyBitmaptoDIBEx(TIEBaseBitmap* bitmap, int x1, int y1, int x2, int y2) {
  const TIEPixelFormat format = bitmap->GetPixelFormat();
  const int bits = format == ie1g ? 1 : format == ie24RGB ? 24 : 0;
  if (bits == 0) return 0;
  const Span cols = ClampSpan(x1, x2, bitmap->GetWidth());
  const Span rows = ClampSpan(y1, y2, bitmap->GetHeight());
  return BuildGlobalDIB(cols.Length(), rows.Length(), bits, cols.lo, bitmap->GetRowLen(),
                        [&](int i) { return bitmap->GetScanLine(rows.hi - 1 - i); });
}
