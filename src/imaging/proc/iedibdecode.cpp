#include "imaging/proc/iedibdecode.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "imaging/core/iedrawdib.h"
#include "imaging/core/ievalues.h"
#include "imaging/proc/ievideoframes.h"
#include "platform/canvas.h"
#include "platform/gdi.h"
#include "platform/kernel.h"

namespace {

constexpr uint64_t kHeaderSize = 40;
constexpr uint64_t kMasksEnd = kHeaderSize + 12;

uint32_t U32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

// The DIB's bytes: a locked global block or the caller's pointer.
class TDibBlock {
 public:
  TDibBlock(uintptr_t dib, bool isPointer, uint64_t size) {
    if (isPointer) {
      data_ = reinterpret_cast<const uint8_t*>(dib);
      size_ = data_ ? size : 0;
    } else if (dib != 0) {
      handle_ = dib;
      data_ = static_cast<const uint8_t*>(GlobalLock(dib));
      size_ = data_ ? GlobalSize(dib) : 0;
    }
  }
  ~TDibBlock() {
    if (handle_ && data_) GlobalUnlock(handle_);
  }
  TDibBlock(const TDibBlock&) = delete;
  TDibBlock& operator=(const TDibBlock&) = delete;

  const uint8_t* data_ = nullptr;
  uint64_t size_ = 0;

 private:
  HGLOBAL handle_ = 0;
};

struct THeader {
  int32_t width = 0;
  int32_t height = 0;
  int64_t rows = 0;
  bool topDown = false;  // rows stored top row first (negative height)
  uint16_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t clrUsed = 0;
  uint64_t rowLen = 0;
};

// False when the block cannot hold a header or the header no picture.
bool ReadHeader(const TDibBlock& block, THeader& h) {
  if (!block.data_ || block.size_ < kHeaderSize) return false;
  const uint8_t* p = block.data_;
  h.width = int32_t(U32(p + 4));
  h.height = int32_t(U32(p + 8));
  h.bitCount = U16(p + 14);
  h.compression = U32(p + 16);
  h.clrUsed = U32(p + 32);
  if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return false;
  h.topDown = h.height < 0;
  h.rows = h.topDown ? -int64_t(h.height) : h.height;
  h.rowLen = (uint64_t(h.bitCount) * uint64_t(h.width) + 31) / 32 * 4;
  return true;
}

// Colour table entries: the colours used, else the full table of 1, 4 and
// 8-bit DIBs.
uint64_t TableEntries(const THeader& h) {
  if (h.clrUsed != 0) return h.clrUsed;
  return h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 ? (1u << h.bitCount) : 0;
}

// The pixel bytes: the separate block, else what follows `offset`.
struct TPixels {
  const uint8_t* data = nullptr;
  uint64_t size = 0;
};
bool PixelsOf(const TDibBlock& block, uint64_t offset, const void* bits, uint64_t bitsSize, TPixels& pixels) {
  if (bits) {
    pixels = {static_cast<const uint8_t*>(bits), bitsSize};
    return true;
  }
  if (offset > block.size_) return false;
  pixels = {block.data_ + offset, block.size_ - offset};
  return true;
}

// x shifted left by s, or right for negative s (mask arithmetic of any width).
uint32_t Shift(uint32_t x, int s) {
  if (s >= 32 || s <= -32) return 0;
  return s >= 0 ? x << s : x >> -s;
}

// Rows of the uncompressed layouts; `row` is the DIB's row i in memory order.
using TRowDecoder = std::function<void(const uint8_t* row, uint8_t* target)>;

void DecodeRows(const THeader& h, const TPixels& pixels, TIEBaseBitmap* target, const TRowDecoder& decode) {
  for (int64_t i = 0; i < h.rows; ++i) {
    const int64_t y = h.topDown ? i : h.rows - 1 - i;
    uint8_t* out = target->GetScanLine(int(y));
    if (!out) return;
    decode(pixels.data + uint64_t(i) * h.rowLen, out);
  }
}

enum class TLayout { Undecoded, Palette, Bits16, Bits24, Bits32, Mono };

TLayout LayoutOf(const THeader& h) {
  const bool plain = h.compression == BI_RGB, fields = h.compression == BI_BITFIELDS;
  // Run-length compressed rows are not decoded.
  if (!plain && !fields) return TLayout::Undecoded;
  switch (h.bitCount) {
    case 1:
      return TLayout::Mono;
    case 4:
    case 8:
      return TLayout::Palette;
    case 16:
      return TLayout::Bits16;
    case 24:
      return plain ? TLayout::Bits24 : TLayout::Undecoded;
    case 32:
      return TLayout::Bits32;
    default:
      return TLayout::Undecoded;
  }
}

// Layouts left undecoded still size the target, but only to what the block
// could describe at one bit a pixel: a few bytes never ask for gigabytes.
int AllocateUndecoded(const THeader& h, const TDibBlock& block, TIEBaseBitmap* target) {
  if (uint64_t(h.width) * uint64_t(h.rows) > block.size_ * 8) return 0;
  target->Allocate(h.width, int(h.rows), h.bitCount == 1 ? ie1g : ie24RGB);
  return h.bitCount;
}

int DecodeFrame(const THeader& h, const TDibBlock& block, TIEBaseBitmap* target, const void* bits,
                uint64_t bitsSize, TIEFrameRoutine routine) {
  const uint64_t need = IEVideoFrameSize(h.compression, h.width, h.rows);
  TPixels pixels;
  if (need == 0 || !PixelsOf(block, kHeaderSize, bits, bitsSize, pixels) || pixels.size < need) return 0;
  target->Allocate(h.width, int(h.rows), ie24RGB);
  const bool upsideDown = h.compression == IEFourCC('Y', '4', '1', 'P') || h.compression == IEFourCC('c', 'y', 'u', 'v');
  routine(pixels.data, target, upsideDown ? h.height < 0 : h.height > 0);
  return h.bitCount;
}

}  // namespace

int _CopyDIB2BitmapEx(uintptr_t dib, TIEBaseBitmap* target, const void* bits, bool dibIsPointer, uint64_t dibSize,
                      uint64_t bitsSize) {
  TDibBlock block(dib, dibIsPointer, dibSize);
  THeader h;
  if (!target || !ReadHeader(block, h)) return 0;
  if (TIEFrameRoutine routine = IEVideoFrameRoutine(h.compression))
    return DecodeFrame(h, block, target, bits, bitsSize, routine);
  const TLayout layout = LayoutOf(h);
  if (layout == TLayout::Undecoded) return AllocateUndecoded(h, block, target);

  // Where the pixels start, and the colour table before them.
  uint64_t offset = kHeaderSize;
  const uint64_t entries = TableEntries(h);
  if (h.compression == BI_BITFIELDS && (layout == TLayout::Bits16 || layout == TLayout::Bits32)) {
    if (block.size_ < kMasksEnd) return 0;
    offset = kMasksEnd;
  } else {
    offset += entries * 4;
  }
  TPixels pixels;
  if (!PixelsOf(block, offset, bits, bitsSize, pixels)) return 0;
  if (offset > block.size_ || pixels.size / h.rowLen < uint64_t(h.rows)) return 0;

  // Indexes beyond the colours present read as black.
  TRGB table[256] = {};
  const uint64_t tableEntries = layout == TLayout::Palette ? std::min<uint64_t>(entries, 256) : 0;
  for (uint64_t i = 0; i < tableEntries; ++i) {
    const uint8_t* q = block.data_ + kHeaderSize + i * 4;
    table[i] = TRGB{q[0], q[1], q[2]};
  }

  target->Allocate(h.width, int(h.rows), layout == TLayout::Mono ? ie1g : ie24RGB);
  const int width = h.width;
  switch (layout) {
    case TLayout::Mono: {
      const size_t bytes = size_t(std::min<uint64_t>(h.rowLen, uint64_t(target->GetRowLen())));
      DecodeRows(h, pixels, target, [&](const uint8_t* row, uint8_t* out) { std::memcpy(out, row, bytes); });
      break;
    }
    case TLayout::Palette:
      DecodeRows(h, pixels, target, [&](const uint8_t* row, uint8_t* out) {
        auto* rgb = reinterpret_cast<TRGB*>(out);
        if (h.bitCount == 8) {
          for (int x = 0; x < width; ++x) rgb[x] = table[row[x]];
        } else {
          for (int x = 0; x < width; ++x) rgb[x] = table[(x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4];
        }
      });
      break;
    case TLayout::Bits16: {
      uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
      if (h.compression == BI_BITFIELDS)
        for (int i = 0; i < 3; ++i) masks[i] = U32(block.data_ + kHeaderSize + 4 * i);
      const int r = std::popcount(masks[0]), g = std::popcount(masks[1]), b = std::popcount(masks[2]);
      DecodeRows(h, pixels, target, [&](const uint8_t* row, uint8_t* out) {
        auto* rgb = reinterpret_cast<TRGB*>(out);
        for (int x = 0; x < width; ++x) {
          const uint32_t p = U16(row + 2 * x);
          rgb[x] = TRGB{uint8_t(Shift(p & masks[2], 8 - b)), uint8_t(Shift(p & masks[1], -(g + b - 8))),
                        uint8_t(Shift(p & masks[0], -(r + g + b - 8)))};
        }
      });
      break;
    }
    case TLayout::Bits24:
      DecodeRows(h, pixels, target,
                 [&](const uint8_t* row, uint8_t* out) { std::memcpy(out, row, size_t(width) * 3); });
      break;
    case TLayout::Bits32:
      // The fourth byte, and bit-field masks, are not read.
      DecodeRows(h, pixels, target, [&](const uint8_t* row, uint8_t* out) {
        auto* rgb = reinterpret_cast<TRGB*>(out);
        for (int x = 0; x < width; ++x) rgb[x] = TRGB{row[4 * x], row[4 * x + 1], row[4 * x + 2]};
      });
      break;
    case TLayout::Undecoded:
      break;
  }
  return h.bitCount;
}

int _CopyDIB2Bitmap(uintptr_t dib, TBitmap* target, const void* bits, bool dibIsPointer, uint64_t dibSize,
                    uint64_t bitsSize) {
  TIEBitmap wrapper;
  wrapper.EncapsulateTBitmap(target);
  return _CopyDIB2BitmapEx(dib, &wrapper, bits, dibIsPointer, dibSize, bitsSize);
}

namespace {

// A header with its colour table (or masks) in one piece, rebuilt from the
// checked block: the drawing never reads past what was checked.
struct TDrawableDib {
  std::vector<uint8_t> info;
  const uint8_t* bits = nullptr;
  bool mono = false;
};

bool PrepareDrawing(const TDibBlock& block, const void* bits, uint64_t bitsSize, THeader& h, TDrawableDib& dib) {
  if (!ReadHeader(block, h)) return false;
  const uint16_t n = h.bitCount;
  const bool fields = h.compression == BI_BITFIELDS;
  if (n != 1 && n != 4 && n != 8 && n != 16 && n != 24 && n != 32) return false;
  if (!(h.compression == BI_RGB || (fields && (n == 16 || n == 32)))) return false;
  uint64_t tableEnd = kHeaderSize, entries = 0;
  if (n <= 8) {
    entries = TableEntries(h);
    tableEnd += entries * 4;
  } else if (fields) {
    // The pixels follow the masks, for 16 bits as for 32.
    tableEnd = kMasksEnd;
  }
  TPixels pixels;
  if (tableEnd > block.size_ || !PixelsOf(block, tableEnd, bits, bitsSize, pixels)) return false;
  if (pixels.size / h.rowLen < uint64_t(h.rows)) return false;
  const uint64_t kept = std::min<uint64_t>(entries, 1u << std::min<int>(n, 8));
  dib.info.assign(block.data_, block.data_ + (fields ? kMasksEnd : kHeaderSize));
  dib.info.insert(dib.info.end(), block.data_ + kHeaderSize, block.data_ + kHeaderSize + kept * 4);
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib.info.data());
  header->biSize = uint32_t(kHeaderSize);
  header->biClrUsed = uint32_t(kept);
  dib.bits = pixels.data;
  dib.mono = n == 1;
  return true;
}

void DrawInto(TBitmap* target, const THeader& h, const TDrawableDib& dib) {
  target->SetSize(1, 1);
  target->SetPixelFormat(dib.mono ? pf1bit : pf24bit);
  target->SetSize(h.width, int(h.rows));
  HDRAWDIB context = IEDrawDibOpen();
  IEDrawDibDraw(context, target->GetCanvas()->GetHandle(), 0, 0, h.width, int(h.rows),
                reinterpret_cast<const BITMAPINFOHEADER*>(dib.info.data()), dib.bits, 0, 0, h.width, int(h.rows), 0);
  IEDrawDibClose(context);
}

}  // namespace

int _IECopyDIB2Bitmap2(uintptr_t dib, TBitmap* target, const void* bits, bool dibIsPointer, uint64_t dibSize,
                       uint64_t bitsSize) {
  TDibBlock block(dib, dibIsPointer, dibSize);
  THeader h;
  TDrawableDib drawable;
  if (!target || !ReadHeader(block, h)) return 0;
  if (!PrepareDrawing(block, bits, bitsSize, h, drawable)) return h.bitCount;
  DrawInto(target, h, drawable);
  return h.bitCount;
}

int _IECopyDIB2Bitmap2Ex(uintptr_t dib, TIEDibbitmap* target, const void* bits, bool dibIsPointer, uint64_t dibSize,
                         uint64_t bitsSize) {
  if (!target) return 0;
  // Drawn into a platform bitmap first: a new one is 0 x 0 until drawn on.
  TBitmap drawn;
  const int bitCount = _IECopyDIB2Bitmap2(dib, &drawn, bits, dibIsPointer, dibSize, bitsSize);
  if (drawn.GetEmpty()) return bitCount;
  target->AllocateBits(drawn.GetWidth(), drawn.GetHeight(), drawn.GetPixelFormat() == pf1bit ? 1 : 24);
  if (!target->Bits) return bitCount;
  const size_t bytes = size_t(std::min<int64_t>(target->RowLen, drawn.BytesPerLine()));
  for (int y = 0; y < target->Height; ++y) std::memcpy(target->GetScanLine(y), drawn.ScanLine(y), bytes);
  return bitCount;
}
