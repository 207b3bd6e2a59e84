#include "imaging/core/iedibbitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "imaging/core/iebits.h"
#include "imaging/core/ievalues.h"

// TIEDibbitmap ----------------------------------------------------------------------

TIEDibbitmap::TIEDibbitmap() {
  BITMAPINFOHEADER& header = BitmapInfo.bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biPlanes = 1;
  header.biCompression = BI_RGB;
  BitmapInfo.bmiColors[0] = RGBQUAD{0, 0, 0, 0};
  BitmapInfo.bmiColors[1] = RGBQUAD{255, 255, 255, 0};
}

TIEDibbitmap::~TIEDibbitmap() { FreeBits(); }

TIEPixelFormat TIEDibbitmap::GetPixelFormat() const {
  if (BitCount == 1) return ie1g;
  if (BitCount == 24) return ie24RGB;
  return ienull;
}

void TIEDibbitmap::Allocate(int width, int height, TIEPixelFormat format) {
  if (format == ie1g)
    AllocateBits(width, height, 1);
  else if (format == ie24RGB)
    AllocateBits(width, height, 24);
}

void TIEDibbitmap::AllocateBits(int width, int height, int bitcount) {
  if (width <= 0 || height <= 0 || (bitcount != 1 && bitcount != 24)) return;
  FreeBits();
  const int64_t rowLen = _BitmapRowLen(width, bitcount);
  const int64_t imageSize = rowLen * height;
  // The header holds the image size in 32 bits; larger pictures cannot be
  // described, so they are refused like any other failed allocation.
  if (imageSize > std::numeric_limits<uint32_t>::max()) return;
  Bits = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(imageSize), 1));
  if (Bits == nullptr) return;
  Width = width;
  Height = height;
  BitCount = bitcount;
  RowLen = static_cast<int32_t>(rowLen);
  BITMAPINFOHEADER& header = BitmapInfo.bmiHeader;
  header.biWidth = width;
  header.biHeight = height;
  header.biBitCount = static_cast<uint16_t>(bitcount);
  header.biSizeImage = static_cast<uint32_t>(imageSize);
}

void TIEDibbitmap::FreeBits() {
  std::free(Bits);
  Bits = nullptr;
  Width = Height = BitCount = RowLen = 0;
}

uint8_t* TIEDibbitmap::GetScanLine(int row) {
  if (Bits == nullptr) return nullptr;
  return Bits + static_cast<int64_t>(Height - 1 - row) * RowLen;
}

void TIEDibbitmap::Assign(TObject* source) {
  auto* dib = dynamic_cast<TIEDibbitmap*>(source);
  if (dib == nullptr || dib == this) return;
  if (dib->Bits == nullptr) {
    FreeBits();
    return;
  }
  AllocateBits(dib->Width, dib->Height, dib->BitCount);
  if (Bits != nullptr)
    std::memcpy(Bits, dib->Bits, static_cast<size_t>(static_cast<int64_t>(RowLen) * Height));
}

void TIEDibbitmap::CopyToTBitmap(TBitmap* bitmap) {
  if (Bits == nullptr) return;
  bitmap->SetSize(1, 1);
  bitmap->SetPixelFormat(BitCount == 1 ? pf1bit : pf24bit);
  bitmap->SetSize(Width, Height);
  const int64_t bytes = std::min<int64_t>(RowLen, bitmap->BytesPerLine());
  for (int y = 0; y < Height; ++y) std::memcpy(bitmap->ScanLine(y), GetScanLine(y), bytes);
}

// TIEWorkBitmap -----------------------------------------------------------------------

TIEWorkBitmap::TIEWorkBitmap(int width, int height, int bitcount) {
  if (width > 0 && height > 0) AllocateBits(width, height, bitcount);
}

TIEWorkBitmap::~TIEWorkBitmap() { FreeBits(); }

void TIEWorkBitmap::AllocateBits(int width, int height, int bitcount) {
  if (Bits != nullptr && width == Width && height == Height && bitcount == BitCount) return;
  FreeBits();
  if (width <= 0 || height <= 0 || bitcount <= 0) return;
  const int64_t rowLen = _BitmapRowLen(width, bitcount);
  if (rowLen > std::numeric_limits<int32_t>::max()) OutOfMemoryError();
  Bits = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(rowLen * height)));
  if (Bits == nullptr) OutOfMemoryError();
  Width = width;
  Height = height;
  BitCount = bitcount;
  RowLen = static_cast<int32_t>(rowLen);
}

void TIEWorkBitmap::FreeBits() {
  std::free(Bits);
  Bits = nullptr;
  Width = Height = BitCount = RowLen = 0;
}

uint8_t* TIEWorkBitmap::GetScanline(int row) const {
  return Bits + static_cast<int64_t>(Height - 1 - row) * RowLen;
}

void TIEWorkBitmap::SetBit(int row, int col, bool value) {
  _SetPixelbw(GetScanline(row), col, value ? 1 : 0);
}
