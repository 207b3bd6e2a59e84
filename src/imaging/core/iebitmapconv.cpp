// Pixel buffer conversions.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/core/iebitmap.h"

namespace {

uint8_t GrayOf(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint8_t>((21u * r + 71u * g + 8u * b) / 100u);
}

// Converts one row of `width` pixels; false when the pair is not handled.
bool ConvertRow(TIEPixelFormat from, TIEPixelFormat to, const uint8_t* src, uint8_t* dst, int width) {
  if (from == ie24RGB && to == ie8g) {
    for (int x = 0; x < width; ++x, src += 3) dst[x] = GrayOf(src[2], src[1], src[0]);
  } else if (from == ie8g && to == ie24RGB) {
    for (int x = 0; x < width; ++x, dst += 3) dst[0] = dst[1] = dst[2] = src[x];
  } else if (from == ie1g && to == ie24RGB) {
    for (int x = 0; x < width; ++x, dst += 3)
      dst[0] = dst[1] = dst[2] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
  } else {
    return false;
  }
  return true;
}

bool CanConvert(TIEPixelFormat from, TIEPixelFormat to) {
  uint8_t src[4] = {}, dst[4] = {};
  return ConvertRow(from, to, src, dst, 0);
}

}  // namespace

void TIEBitmap::ConvertToPixelFormat(TIEPixelFormat format) {
  if (format == PixelFormat || !CanConvert(PixelFormat, format)) return;
  if (Location == ieTBitmap) {
    // Converted in memory, then written back into the same platform bitmap
    // (the caller's when wrapped) in its new platform format.
    TIEBitmap work;
    work.Location = ieMemory;
    work.Assign(this);
    work.ConvertToPixelFormat(format);
    Assign(&work);
    return;
  }
  TIEBitmap old;
  SwitchTo(&old);
  Allocate(old.Width, old.Height, format);
  // On file storage only one row of each bitmap is mapped at a time, so the
  // source row is read before the destination row is asked for.
  std::vector<uint8_t> row(static_cast<size_t>(old.RowLen));
  for (int y = 0; y < Height; ++y) {
    std::memcpy(row.data(), old.GetScanLine(y), row.size());
    ConvertRow(old.PixelFormat, format, row.data(), GetScanLine(y), Width);
  }
  UpdateTBitmapPalette();
}

void TIEBitmap::CopyToTBitmap(TBitmap* bitmap) {
  if (!bitmap || PixelFormat == ienull) return;
  bitmap->SetSize(1, 1);
  TPaletteEntry entries[256];
  switch (PixelFormat) {
    case ie1g:
      bitmap->SetPixelFormat(pf1bit);
      entries[0] = {0, 0, 0, 0};
      entries[1] = {255, 255, 255, 0};
      bitmap->SetPaletteEntries(0, 2, entries);
      bitmap->SetMonochrome(true);
      break;
    case ie8p:
      bitmap->SetPixelFormat(pf8bit);
      for (int i = 0; i < 256; ++i) {
        const TRGB c = GetPalette(i);
        entries[i] = {c.r, c.g, c.b, 0};
      }
      bitmap->SetPaletteEntries(0, 256, entries);
      break;
    case ie8g:
    case ie16g:
      bitmap->SetPixelFormat(pf8bit);
      for (int i = 0; i < 256; ++i) entries[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
      bitmap->SetPaletteEntries(0, 256, entries);
      break;
    default:
      bitmap->SetPixelFormat(pf24bit);
      break;
  }
  bitmap->SetSize(Width, Height);
  if (bitmap->GetWidth() != Width || bitmap->GetHeight() != Height) return;
  const size_t bytes = static_cast<size_t>(std::min(RowLen, bitmap->BytesPerLine()));
  for (int y = 0; y < Height; ++y) {
    const uint8_t* from = GetScanLine(y);
    uint8_t* to = bitmap->ScanLine(y);
    if (PixelFormat == ie16g) {
      for (int x = 0; x < Width; ++x) to[x] = from[2 * x + 1];  // the high byte
    } else {
      std::memcpy(to, from, bytes);
    }
  }
}

void TIEBitmap::CopyFromTBitmap(TBitmap* bitmap) {
  if (!bitmap) return;
  const TPixelFormat platform = bitmap->GetPixelFormat();
  if (platform != pf1bit && platform != pf8bit && platform != pf24bit) return;

  if (Location == ieTBitmap) {
    if (platform == pf8bit) return;  // only 1-bit and 24-bit are kept in this storage
    ReleaseStorage();
    if (!PlatformBitmap) PlatformBitmap = new TBitmap;
    if (PlatformBitmap != bitmap) PlatformBitmap->Assign(bitmap);
    Width = PlatformBitmap->GetWidth();
    Height = PlatformBitmap->GetHeight();
    PixelFormat = platform == pf1bit ? ie1g : ie24RGB;
    BitCount = IEBitsPerPixel(PixelFormat);
    RowLen = PlatformBitmap->BytesPerLine();
    BuildRowPointers();
    return;
  }

  const TIEPixelFormat format = platform == pf1bit ? ie1g : platform == pf8bit ? ie8p : ie24RGB;
  Allocate(bitmap->GetWidth(), bitmap->GetHeight(), format);
  if (format == ie8p) {
    TPaletteEntry entries[256];
    const int read = bitmap->GetPaletteEntries(0, 256, entries);
    for (int i = 0; i < read && i < PaletteLength; ++i) Palette[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed};
  }
  const size_t bytes = static_cast<size_t>(std::min(RowLen, bitmap->BytesPerLine()));
  for (int y = 0; y < Height; ++y) std::memcpy(GetScanLine(y), bitmap->ScanLine(y), bytes);
  Full = false;
}
