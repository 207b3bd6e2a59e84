// Pixel buffer conversions: pixel formats, platform bitmaps, masks and DIB
// buffers. Every conversion walks rows through GetScanLine, so it also runs
// on file storage with one mapped row of each bitmap at a time.
#include <algorithm>
#include <cstring>
#include <memory>
#include <span>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iebits.h"
#include "imaging/core/iedibbitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ievalues.h"
#include "imaging/core/neurquant.h"
#include "imaging/proc/iecolordepth.h"

namespace {

// 16-bit gray of a colour, 0..65280.
uint16_t Gray16(const TRGB& c) {
  return static_cast<uint16_t>(((212u * c.r + 713u * c.g + 75u * c.b) * 256u) / 1000u);
}

// Pixel x of a row as a colour: 1-bit black or white, a palette entry, a
// gray byte (16-bit gray by its high byte) in all three, or the pixel.
TRGB ColourAt(TIEPixelFormat format, const uint8_t* row, int x, const TRGB* palette) {
  switch (format) {
    case ie1g: {
      const uint8_t v = _GetPixelbw(row, x) ? 255 : 0;
      return {v, v, v};
    }
    case ie8p: return palette[row[x]];
    case ie8g: return {row[x], row[x], row[x]};
    case ie16g: return {row[2 * x + 1], row[2 * x + 1], row[2 * x + 1]};
    case ie24RGB: return reinterpret_cast<const TRGB*>(row)[x];
    default: return {0, 0, 0};
  }
}

// Ordered dithering: a pixel of level 0..63 is white where its level is
// greater than the matrix entry of its position.
bool DitherWhite(int level, int x, int y) { return level > BWORDERPATTERN[(x & 7) * 8 + (y & 7)]; }

void SetGrayRamp(TRGB* palette) {
  for (int i = 0; i < 256; ++i) palette[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
}

// Converts every row of source into destination, which is allocated at the
// same size in the target format.
void ConvertRows(TIEBitmap& source, TIEBitmap& dest) {
  const TIEPixelFormat from = source.PixelFormat, to = dest.PixelFormat;
  const int width = dest.Width;
  if (width <= 0 || dest.Height <= 0 || source.Width != width || source.Height != dest.Height) return;
  std::unique_ptr<TIEQuantizer> quantizer;
  if (to == ie8p && dest.Palette) {
    std::fill_n(dest.Palette, 256, TRGB{0, 0, 0});
    if (from == ie1g) dest.Palette[1] = {255, 255, 255};
    else if (from == ie8p) std::copy_n(source.Palette, 256, dest.Palette);
    else if (from == ie8g || from == ie16g) SetGrayRamp(dest.Palette);
    else if (from == ie24RGB)
      quantizer = std::make_unique<TIEQuantizer>(&source, std::span<TRGB>(dest.Palette, 256), 256, -1);
  }
  for (int y = 0; y < dest.Height; ++y) {
    const uint8_t* src = source.GetScanLine(y);
    uint8_t* dst = dest.GetScanLine(y);
    if (from == to) {
      std::memcpy(dst, src, static_cast<size_t>(std::min(source.RowLen, dest.RowLen)));
      continue;
    }
    if (to == ie1g) std::memset(dst, 0, static_cast<size_t>(dest.RowLen));
    for (int x = 0; x < width; ++x) {
      const TRGB c = ColourAt(from, src, x, source.Palette);
      switch (to) {
        case ie1g:
          if (DitherWhite(_RGBToGray(c) >> 2, x, y)) _SetPixelbw(dst, x, 1);
          break;
        case ie8p:
          if (from == ie1g) dst[x] = c.r ? 1 : 0;
          else if (quantizer) dst[x] = static_cast<uint8_t>(quantizer->GetRGBIndex(c));
          else dst[x] = c.r;  // gray sources index the gray ramp
          break;
        case ie8g: dst[x] = static_cast<uint8_t>(_RGBToGray(c)); break;
        case ie16g: {
          const uint16_t v = from == ie1g ? (c.r ? 65535 : 0) : Gray16(c);
          dst[2 * x] = static_cast<uint8_t>(v);
          dst[2 * x + 1] = static_cast<uint8_t>(v >> 8);
          break;
        }
        case ie24RGB: reinterpret_cast<TRGB*>(dst)[x] = c; break;
        default: break;
      }
    }
  }
}

}  // namespace

void TIEBitmap::ConvertToPixelFormat(TIEPixelFormat format) {
  if (format == ienull) {
    FreeImage();
    PixelFormat = ienull;
    return;
  }
  auto source = std::make_unique<TIEBitmap>();
  if (Location == ieTBitmap) {
    // The platform bitmap stays this picture's (it may be the caller's own):
    // work from a copy and rebuild the platform bitmap in the new format.
    source->Assign(this);
    RemoveAlphaChannel();
  } else {
    SwitchTo(source.get());
  }
  Allocate(source->Width, source->Height, format);
  ConvertRows(*source, *this);
  source.reset();
  UpdateTBitmapPalette();
}

void TIEBitmap::CopyToTBitmap(TBitmap* bitmap) {
  if (!bitmap) return;
  // Shrunk first so that the platform does not convert what is replaced.
  bitmap->SetSize(1, 1);
  TPaletteEntry table[256];
  switch (PixelFormat) {
    case ie1g:
      bitmap->SetPixelFormat(pf1bit);
      table[0] = {0, 0, 0, 0};
      table[1] = {255, 255, 255, 0};
      bitmap->SetPaletteEntries(0, 2, table);
      bitmap->SetMonochrome(true);
      break;
    case ie8p:
      bitmap->SetPixelFormat(pf8bit);
      for (int i = 0; i < 256; ++i) {
        const TRGB c = Palette ? Palette[i] : TRGB{0, 0, 0};
        table[i] = {c.r, c.g, c.b, 0};
      }
      bitmap->SetPaletteEntries(0, 256, table);
      break;
    case ie8g:
    case ie16g:
      bitmap->SetPixelFormat(pf8bit);
      for (int i = 0; i < 256; ++i) table[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
      bitmap->SetPaletteEntries(0, 256, table);
      break;
    case ie24RGB: bitmap->SetPixelFormat(pf24bit); break;
    default: break;
  }
  bitmap->SetSize(Width, Height);
  for (int y = 0; y < Height; ++y) {
    const uint8_t* src = GetScanLine(y);
    uint8_t* dst = bitmap->ScanLine(y);
    if (!src || !dst) continue;
    if (PixelFormat == ie16g) {
      for (int x = 0; x < Width; ++x) dst[x] = src[2 * x + 1];  // the high byte of each word
    } else {
      std::memcpy(dst, src, static_cast<size_t>(std::min(RowLen, bitmap->BytesPerLine())));
    }
  }
}

namespace {

TIEPixelFormat FormatFromPlatform(const TBitmap& bitmap) {
  switch (bitmap.GetPixelFormat()) {
    case pf1bit: return bitmap.GetMonochrome() ? ie1g : ie8p;
    case pf8bit: return ie8p;
    case pf15bit:
    case pf16bit:
    case pf24bit:
    case pf32bit: return ie24RGB;
    default: return ienull;  // device-dependent or custom: nothing is read
  }
}

// One platform row into a picture row of FormatFromPlatform's format.
void ReadPlatformRow(const TBitmap& bitmap, TIEPixelFormat format, const uint8_t* src, uint8_t* dst,
                     size_t rowBytes) {
  const int width = bitmap.GetWidth();
  TRGB* rgb = reinterpret_cast<TRGB*>(dst);
  auto word = [src](int x) { return static_cast<uint16_t>(src[2 * x] | (src[2 * x + 1] << 8)); };
  switch (bitmap.GetPixelFormat()) {
    case pf1bit:
      if (format == ie1g) {
        std::memcpy(dst, src, rowBytes);
      } else {  // not monochrome: one palette index a pixel
        for (int x = 0; x < width; ++x) dst[x] = _GetPixelbw(src, x) ? 1 : 0;
      }
      break;
    case pf15bit:
      for (int x = 0; x < width; ++x) {
        const uint16_t w = word(x);
        rgb[x] = {uint8_t((w & 31) << 3), uint8_t(((w >> 5) & 31) << 3), uint8_t(((w >> 10) & 31) << 3)};
      }
      break;
    case pf16bit:
      for (int x = 0; x < width; ++x) {
        const uint16_t w = word(x);
        rgb[x] = {uint8_t((w & 31) << 3), uint8_t(((w >> 5) & 63) << 2), uint8_t((w >> 11) << 3)};
      }
      break;
    case pf32bit:
      for (int x = 0; x < width; ++x) rgb[x] = {src[4 * x], src[4 * x + 1], src[4 * x + 2]};
      break;
    default: std::memcpy(dst, src, rowBytes); break;
  }
}

}  // namespace

void TIEBitmap::CopyFromTBitmap(TBitmap* bitmap) {
  if (!bitmap) return;
  const TIEPixelFormat format = FormatFromPlatform(*bitmap);
  if (format == ienull) return;
  // Reading our own platform bitmap: keep a copy, Allocate replaces it.
  std::unique_ptr<TBitmap> own;
  if (bitmap == PlatformBitmap && !Encapsulated) {
    own.reset(IECloneBitmap(bitmap));
    bitmap = own.get();
  }
  Allocate(bitmap->GetWidth(), bitmap->GetHeight(), format);
  if (PixelFormat == ie8p && Palette) {
    TPaletteEntry table[256]{};
    const int count = std::min(bitmap->PaletteSize(), 256);
    bitmap->GetPaletteEntries(0, count, table);
    for (int i = 0; i < 256; ++i) Palette[i] = {table[i].peBlue, table[i].peGreen, table[i].peRed};
  }
  const size_t rowBytes = static_cast<size_t>(std::min(RowLen, bitmap->BytesPerLine()));
  for (int y = 0; y < Height; ++y) {
    const uint8_t* src = bitmap->ScanLine(y);
    uint8_t* dst = GetScanLine(y);
    if (src && dst) ReadPlatformRow(*bitmap, format, src, dst, rowBytes);
  }
  UpdateTBitmapPalette();
  Full = false;
}

void TIEBitmap::CopyFromTIEMask(TIEMask* mask) {
  if (!mask) {
    Fill(255);  // no mask: fully opaque
    return;
  }
  if (mask->BitCount != 1 && mask->BitCount != 8) return;
  Allocate(mask->Width, mask->Height, mask->BitCount == 1 ? ie1g : ie8g);
  const size_t bytes = static_cast<size_t>(std::min(mask->RowLen, RowLen));
  for (int y = 0; y < Height; ++y) {
    uint8_t* dst = GetScanLine(y);
    const uint8_t* src = mask->GetScanLine(y);
    if (dst && src) std::memcpy(dst, src, bytes);
  }
  Full = mask->Full;
}

void TIEBitmap::CopyToTIEMask(TIEMask* mask) {
  if (!mask || (PixelFormat != ie1g && PixelFormat != ie8g)) return;
  mask->AllocateBits(Width, Height, PixelFormat == ie1g ? 1 : 8);
  const size_t bytes = static_cast<size_t>(std::min(mask->RowLen, RowLen));
  for (int y = 0; y < Height; ++y) {
    const uint8_t* src = GetScanLine(y);
    uint8_t* dst = mask->GetScanLine(y);
    if (dst && src) std::memcpy(dst, src, bytes);
  }
  mask->Full = Full;
}

namespace {

bool SameDepth(const TIEDibbitmap& dib, TIEPixelFormat format) {
  return (dib.BitCount == 1 && format == ie1g) || (dib.BitCount == 24 && format == ie24RGB);
}

// Copies count x rows pixels between two 1- or 24-bit buffers of the same
// depth, from and to given by top-left corners that are already clipped.
void CopyRect(TIEBaseBitmap& from, int64_t fromX, int64_t fromY, TIEBaseBitmap& to, int64_t toX,
              int64_t toY, int64_t count, int64_t rows) {
  const bool bits = from.GetBitCount() == 1;
  for (int64_t k = 0; k < rows; ++k) {
    const uint8_t* src = from.GetScanLine(static_cast<int>(fromY + k));
    uint8_t* dst = to.GetScanLine(static_cast<int>(toY + k));
    if (bits) _CopyBits(dst, src, toX, fromX, count, from.GetRowLen());
    else std::memcpy(dst + toX * 3, src + fromX * 3, static_cast<size_t>(count * 3));
  }
}

}  // namespace

void TIEBitmap::CopyFromTDibBitmap(TIEDibbitmap* dib) {
  if (!dib || (dib->BitCount != 1 && dib->BitCount != 24)) return;
  Allocate(dib->Width, dib->Height, dib->BitCount == 1 ? ie1g : ie24RGB);
  CopyRect(*dib, 0, 0, *this, 0, 0, Width, Height);
}

void TIEBitmap::MergeFromTDibBitmap(TIEDibbitmap* dib, int x, int y) {
  if (!dib || !SameDepth(*dib, PixelFormat)) return;
  // Parts of the DIB left of or above the picture are cut off.
  const int64_t srcX = std::max<int64_t>(0, -int64_t{x}), srcY = std::max<int64_t>(0, -int64_t{y});
  const int64_t dstX = std::max(0, x), dstY = std::max(0, y);
  const int64_t count = std::min(dib->Width - srcX, Width - dstX);
  const int64_t rows = std::min(dib->Height - srcY, Height - dstY);
  if (count > 0 && rows > 0) CopyRect(*dib, srcX, srcY, *this, dstX, dstY, count, rows);
}

void TIEBitmap::CopyToTDibBitmap(TIEDibbitmap* dib, int x, int y, int width, int height) {
  if (!dib || !SameDepth(*dib, PixelFormat)) return;
  // The rectangle is cut to the picture; what lies left of or above the
  // picture stays as it was in the DIB.
  const int64_t srcX = std::max(0, x), srcY = std::max(0, y);
  const int64_t dstX = srcX - x, dstY = srcY - y;
  const int64_t count = std::min<int64_t>({dib->Width, width, int64_t{Width} - x}) - dstX;
  const int64_t rows = std::min<int64_t>({dib->Height, height, int64_t{Height} - y}) - dstY;
  if (count > 0 && rows > 0) CopyRect(*this, srcX, srcY, *dib, dstX, dstY, count, rows);
}
