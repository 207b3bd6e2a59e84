#include "imaging/core/iebitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "imaging/core/ievalues.h"
#include "platform/kernel.h"

int IEBitsPerPixel(TIEPixelFormat format) {
  switch (format) {
    case ie1g: return 1;
    case ie8p:
    case ie8g: return 8;
    case ie16g: return 16;
    case ie24RGB: return 24;
    default: return 0;
  }
}

namespace {

constexpr uint64_t kDefaultFileThreshold = 8388608;  // 8 MB
constexpr int kPaletteEntries = 256;

// Half the free physical memory: pictures at least that large go to a
// temporary file instead of a memory block.
uint64_t DefaultFileThreshold() {
  const uint64_t free = IEGetFreeMemory();
  return free == 0 ? kDefaultFileThreshold : free / 2;
}

TPixelFormat PlatformFormatOf(TIEPixelFormat format) {
  switch (format) {
    case ie1g: return pf1bit;
    case ie24RGB: return pf24bit;
    default: return pf8bit;
  }
}

void SetGrayRamp(TBitmap* bitmap) {
  TPaletteEntry ramp[256];
  for (int i = 0; i < 256; ++i) ramp[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
  bitmap->SetPaletteEntries(0, 256, ramp);
}

}  // namespace

// Construction ----------------------------------------------------------------

TIEBitmap::TIEBitmap() : TempFile(new TIEMemoryMapped), FileThreshold(DefaultFileThreshold()) {}

TIEBitmap::TIEBitmap(int width, int height, TIELocation location) : TIEBitmap() {
  IsAlphaChannel = true;
  Location = location;
  Allocate(width, height, ie8g);
}

TIEBitmap::~TIEBitmap() {
  FreeImage();
  delete TempFile;
}

// Storage -----------------------------------------------------------------------

void TIEBitmap::ReleaseStorage() {
  delete[] RowFileBase;
  delete[] RowFileDelta;
  RowFileBase = nullptr;
  RowFileDelta = nullptr;
  delete AlphaChannel;
  AlphaChannel = nullptr;
  delete[] Palette;
  Palette = nullptr;
  if (MappedView) TempFile->UnMap(MappedView);
  MappedView = nullptr;
  TempFile->DeAllocate();
  std::free(MemoryBlock);
  MemoryBlock = nullptr;
  delete[] RowPointers;
  RowPointers = nullptr;
  PaletteLength = 0;
  Width = Height = RowLen = BitCount = 0;
  Full = false;
}

void TIEBitmap::FreeImage() {
  ReleaseStorage();
  if (!Encapsulated) delete PlatformBitmap;
  PlatformBitmap = nullptr;
  Encapsulated = false;
}

void TIEBitmap::FailAllocation() {
  // Never leave a bitmap that claims a size it has no storage for.
  FreeImage();
  throw EOutOfMemory("Out of memory");
}

void TIEBitmap::Allocate(int width, int height, TIEPixelFormat format) {
  // The memory block is set aside for a picture of the same byte size:
  // loading one photo after another then touches no fresh pages, whose
  // faults cost more than decoding the photo.
  TSpareBlock spare;
  if (Location == ieMemory && MemoryBlock) {
    spare.size = static_cast<uint64_t>(RowLen) * static_cast<uint64_t>(Height);
    spare.block.reset(std::exchange(MemoryBlock, nullptr));
  }
  if (Encapsulated)
    ReleaseStorage();  // the caller's platform bitmap is reused
  else
    FreeImage();
  Width = width;
  Height = height;
  PixelFormat = format;
  AllocateImageReusing(spare);
}

void TIEBitmap::AllocateImage() {
  TSpareBlock none;
  AllocateImageReusing(none);
}

void TIEBitmap::AllocateImageReusing(TSpareBlock& spare) {
  if (Width <= 0 || Height <= 0 || PixelFormat == ienull) return;
  delete[] Palette;
  Palette = nullptr;
  PaletteLength = 0;
  if (PixelFormat == ie8p) {
    Palette = new TRGB[kPaletteEntries]();
    PaletteLength = kPaletteEntries;
  }
  BitCount = IEBitsPerPixel(PixelFormat);
  const int64_t rowLen = _BitmapRowLen(Width, BitCount);
  if (rowLen > std::numeric_limits<int32_t>::max()) FailAllocation();
  RowLen = static_cast<int32_t>(rowLen);
  const uint64_t size = static_cast<uint64_t>(RowLen) * static_cast<uint64_t>(Height);

  if (Location == ieFile && size < FileThreshold) Location = ieMemory;  // for good
  if (Location == ieFile) AllocateFileStorage(size);
  if (Location == ieMemory) {
    if (size > std::numeric_limits<size_t>::max()) FailAllocation();
    if (spare.block && spare.size == size)
      MemoryBlock = spare.block.release();
    else
      MemoryBlock = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size)));
    if (!MemoryBlock) FailAllocation();
  }
  if (Location == ieTBitmap) AllocatePlatformStorage();
  Full = false;
}

void TIEBitmap::AllocateFileStorage(uint64_t size) {
  if (!TempFile->AllocateFile("", size)) {
    Location = ieMemory;
    return;
  }
  RowFileBase = new (std::nothrow) uint64_t[Height];
  RowFileDelta = new (std::nothrow) uint32_t[Height];
  if (!RowFileBase || !RowFileDelta) FailAllocation();
  for (int y = 0; y < Height; ++y) {
    const uint64_t offset = static_cast<uint64_t>(y) * static_cast<uint64_t>(RowLen);
    RowFileBase[y] = offset - offset % kAllocationGranularity;
    RowFileDelta[y] = static_cast<uint32_t>(offset % kAllocationGranularity);
  }
}

void TIEBitmap::AllocatePlatformStorage() {
  if (PixelFormat == ie16g) {  // the platform has no 16-bit gray bitmap
    PixelFormat = ie8g;
    BitCount = 8;
    RowLen = static_cast<int32_t>(_BitmapRowLen(Width, BitCount));
  }
  if (!PlatformBitmap) PlatformBitmap = new TBitmap;
  // Shrunk first, so that the platform does not convert old content that is
  // about to be replaced.
  PlatformBitmap->SetSize(1, 1);
  PlatformBitmap->SetPixelFormat(PlatformFormatOf(PixelFormat));
  if (PixelFormat == ie8g) SetGrayRamp(PlatformBitmap);
  PlatformBitmap->SetSize(Width, Height);
  if (PlatformBitmap->GetWidth() != Width || PlatformBitmap->GetHeight() != Height) FailAllocation();
  BuildRowPointers();
}

void TIEBitmap::BuildRowPointers() {
  delete[] RowPointers;
  RowPointers = nullptr;
  if (!PlatformBitmap || Height <= 0) return;
  RowPointers = new uint8_t*[static_cast<size_t>(Height)];
  for (int y = 0; y < Height; ++y) RowPointers[y] = PlatformBitmap->ScanLine(y);
}

uint8_t* TIEBitmap::GetScanLine(int row) {
  if (row < 0 || row >= Height) return nullptr;
  switch (Location) {
    case ieMemory:
      if (!MemoryBlock) return nullptr;
      return MemoryBlock + static_cast<uint64_t>(Height - 1 - row) * static_cast<uint64_t>(RowLen);
    case ieTBitmap:
      return RowPointers ? RowPointers[row] : nullptr;
    case ieFile: {
      if (!RowFileBase) return nullptr;
      if (MappedView) TempFile->UnMap(MappedView);
      // Exactly one row is mapped, from the start of its granule.
      MappedView = TempFile->Map(RowFileBase[row], RowFileDelta[row] + static_cast<size_t>(RowLen));
      if (!MappedView) throw EOutOfMemory("Out of memory: cannot map a row of the picture");
      return static_cast<uint8_t*>(MappedView) + RowFileDelta[row];
    }
  }
  return nullptr;
}

// Copies and moves --------------------------------------------------------------

void TIEBitmap::CopyPixelsFrom(TIEBitmap& source) {
  const int rows = std::min(Height, source.Height);
  if (RowLen <= 0 || source.RowLen <= 0) return;
  if (source.PixelFormat == ie16g && PixelFormat == ie8g) {
    const int pixels = std::min(Width, source.Width);
    for (int y = 0; y < rows; ++y) {
      const uint8_t* from = source.GetScanLine(y);
      uint8_t* to = GetScanLine(y);
      for (int x = 0; x < pixels; ++x) to[x] = from[2 * x + 1];
    }
    return;
  }
  const size_t bytes = static_cast<size_t>(std::min(RowLen, source.RowLen));
  for (int y = 0; y < rows; ++y) std::memcpy(GetScanLine(y), source.GetScanLine(y), bytes);
}

void TIEBitmap::CopyPaletteFrom(const TIEBitmap& source) {
  if (!Palette || !source.Palette) return;
  std::copy_n(source.Palette, std::min(PaletteLength, source.PaletteLength), Palette);
  UpdateTBitmapPalette();
}

void TIEBitmap::Assign(TObject* source) {
  if (auto* platform = dynamic_cast<TBitmap*>(source)) {
    CopyFromTBitmap(platform);
    return;
  }
  auto* bitmap = dynamic_cast<TIEBitmap*>(source);
  if (!bitmap || bitmap == this) return;
  if (Location == ieTBitmap)
    ReleaseStorage();  // the platform bitmap (the caller's when wrapped) is reused
  else
    FreeImage();
  Width = bitmap->Width;
  Height = bitmap->Height;
  PixelFormat = bitmap->PixelFormat;
  AllocateImage();
  CopyPixelsFrom(*bitmap);
  Full = bitmap->Full;
  if (!IsAlphaChannel && bitmap->AlphaChannel) {
    AlphaChannel = new TIEBitmap(Width, Height, Location);
    AlphaChannel->Assign(bitmap->AlphaChannel);
  }
  CopyPaletteFrom(*bitmap);
}

void TIEBitmap::SwitchTo(TIEBitmap* target) {
  target->FreeImage();
  delete target->TempFile;
  target->TempFile = TempFile;
  target->Location = Location;  // the target must reach the storage it takes
  target->Width = Width;
  target->Height = Height;
  target->BitCount = BitCount;
  target->MappedView = MappedView;
  target->RowLen = RowLen;
  target->PixelFormat = PixelFormat;
  target->Palette = Palette;
  target->PaletteLength = PaletteLength;
  target->AlphaChannel = AlphaChannel;
  target->IsAlphaChannel = IsAlphaChannel;
  target->MemoryBlock = MemoryBlock;
  target->PlatformBitmap = PlatformBitmap;
  target->RowPointers = RowPointers;
  target->Full = Full;
  target->Encapsulated = Encapsulated;
  target->RowFileBase = RowFileBase;
  target->RowFileDelta = RowFileDelta;

  TempFile = new TIEMemoryMapped;
  Width = Height = BitCount = RowLen = PaletteLength = 0;
  MappedView = nullptr;
  Palette = nullptr;
  AlphaChannel = nullptr;
  MemoryBlock = nullptr;
  PlatformBitmap = nullptr;
  RowPointers = nullptr;
  RowFileBase = nullptr;
  RowFileDelta = nullptr;
  Full = false;
  Encapsulated = false;
}

void TIEBitmap::Resize(int width, int height) {
  TIEBitmap old;
  SwitchTo(&old);
  Allocate(width, height, old.PixelFormat);
  CopyPixelsFrom(old);
  // The colours of a paletted picture stay with its pixels.
  CopyPaletteFrom(old);
  Full = false;
}

void TIEBitmap::ResizePlatformBitmap(int width, int height) {
  RemoveAlphaChannel();
  if (!PlatformBitmap) {
    PlatformBitmap = new TBitmap;
    PlatformBitmap->SetPixelFormat(PlatformFormatOf(PixelFormat));
    PlatformBitmap->SetSize(Width, Height);
  }
  // The platform bitmap keeps its own content.
  PlatformBitmap->SetSize(width, height);
  Width = PlatformBitmap->GetWidth();
  Height = PlatformBitmap->GetHeight();
  RowLen = static_cast<int32_t>(_BitmapRowLen(Width, BitCount));
  BuildRowPointers();
  Full = false;
}

void TIEBitmap::SetWidth(int w) {
  if (w == Width) return;
  if (Location == ieTBitmap)
    ResizePlatformBitmap(w, Height);
  else if (PixelFormat != ienull && Height > 0)
    Resize(w, Height);
  else
    Width = w;
}

void TIEBitmap::SetHeight(int h) {
  if (h == Height) return;
  if (Location == ieTBitmap)
    ResizePlatformBitmap(Width, h);
  else if (PixelFormat != ienull && Width > 0)
    Resize(Width, h);
  else
    Height = h;
}

void TIEBitmap::SetPixelFormat(TIEPixelFormat format) {
  if (format != PixelFormat) ConvertToPixelFormat(format);
}

void TIEBitmap::SetLocation(TIELocation location) {
  if (location == Location) return;
  TIEBitmap old;
  SwitchTo(&old);
  Location = location;
  Allocate(old.Width, old.Height, old.PixelFormat);
  CopyPixelsFrom(old);
  CopyPaletteFrom(old);
  UpdateTBitmapPalette();
  Full = old.Full;
}

TCanvas* TIEBitmap::GetCanvas() {
  if (Location != ieTBitmap) SetLocation(ieTBitmap);
  if (!PlatformBitmap) PlatformBitmap = new TBitmap;  // an empty picture still has a canvas
  return PlatformBitmap->GetCanvas();
}

void TIEBitmap::EncapsulateTBitmap(TBitmap* bitmap) {
  FreeImage();
  if (!bitmap) return;
  // Only 1-bit and 24-bit rows can be described; anything else stays out.
  const TPixelFormat format = bitmap->GetPixelFormat();
  if (format != pf1bit && format != pf24bit) return;
  PlatformBitmap = bitmap;
  Encapsulated = true;
  Location = ieTBitmap;
  Width = bitmap->GetWidth();
  Height = bitmap->GetHeight();
  PixelFormat = format == pf1bit ? ie1g : ie24RGB;
  BitCount = IEBitsPerPixel(PixelFormat);
  RowLen = static_cast<int32_t>(_BitmapRowLen(Width, BitCount));
  BuildRowPointers();
}

// Alpha channel -----------------------------------------------------------------

TIEBitmap* TIEBitmap::GetAlphaChannel() {
  if (IsAlphaChannel) return nullptr;
  if (!AlphaChannel) {
    // A new alpha channel is opaque, so that a picture does not turn
    // transparent just because someone asked for its alpha.
    AlphaChannel = new TIEBitmap(Width, Height, Location);
    AlphaChannel->Fill(255);
  }
  return AlphaChannel;
}

void TIEBitmap::RemoveAlphaChannel() {
  if (IsAlphaChannel) return;
  delete AlphaChannel;
  AlphaChannel = nullptr;
}

uint8_t TIEBitmap::GetAlpha(int x, int y) {
  TIEBitmap* alpha = GetAlphaChannel();
  return alpha ? alpha->GetPixels_ie8(x, y) : 255;
}

void TIEBitmap::SetAlpha(int x, int y, uint8_t value) {
  TIEBitmap* alpha = GetAlphaChannel();
  if (!alpha) return;
  alpha->SetPixels_ie8(x, y, value);
  if (value < 255) Full = false;
}

// Palette -----------------------------------------------------------------------

TRGB TIEBitmap::GetPalette(int index) const {
  if (!Palette || index < 0 || index >= PaletteLength) return TRGB{0, 0, 0};
  return Palette[index];
}

void TIEBitmap::SetPalette(int index, const TRGB& rgb) {
  if (!Palette || index < 0 || index >= PaletteLength) return;
  Palette[index] = rgb;
  UpdateTBitmapPalette();
}

void TIEBitmap::UpdateTBitmapPalette() {
  if (Location != ieTBitmap || PaletteLength < 1 || !Palette || !PlatformBitmap) return;
  std::vector<TPaletteEntry> entries(static_cast<size_t>(PaletteLength));
  for (int i = 0; i < PaletteLength; ++i) entries[i] = {Palette[i].r, Palette[i].g, Palette[i].b, 0};
  PlatformBitmap->SetPaletteEntries(0, PaletteLength, entries.data());
}

// Pixels ------------------------------------------------------------------------

bool TIEBitmap::GetPixels_ie1g(int x, int y) {
  return (GetScanLine(y)[x >> 3] & (0x80 >> (x & 7))) != 0;
}

void TIEBitmap::SetPixels_ie1g(int x, int y, bool value) {
  uint8_t& byte = GetScanLine(y)[x >> 3];
  const uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
  if (value) {
    byte |= mask;
  } else {
    byte &= static_cast<uint8_t>(~mask);
    Full = false;
  }
}

uint8_t TIEBitmap::GetPixels_ie8(int x, int y) { return GetScanLine(y)[x]; }

void TIEBitmap::SetPixels_ie8(int x, int y, uint8_t value) {
  GetScanLine(y)[x] = value;
  if (value != 255) Full = false;
}

uint16_t TIEBitmap::GetPixels_ie16g(int x, int y) {
  const uint8_t* p = GetScanLine(y) + 2 * x;
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void TIEBitmap::SetPixels_ie16g(int x, int y, uint16_t value) {
  uint8_t* p = GetScanLine(y) + 2 * x;
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  if (value != 65535) Full = false;
}

TRGB TIEBitmap::GetPixels_ie24RGB(int x, int y) {
  const uint8_t* p = GetScanLine(y) + 3 * x;
  return TRGB{p[0], p[1], p[2]};
}

void TIEBitmap::SetPixels_ie24RGB(int x, int y, const TRGB& rgb) {
  uint8_t* p = GetScanLine(y) + 3 * x;
  p[0] = rgb.b;
  p[1] = rgb.g;
  p[2] = rgb.r;
  if (rgb.b != 255 || rgb.g != 255 || rgb.r != 255) Full = false;
}

TRGB TIEBitmap::GetPixels(int x, int y) {
  switch (PixelFormat) {
    case ie1g: {
      const uint8_t v = GetPixels_ie1g(x, y) ? 255 : 0;
      return TRGB{v, v, v};
    }
    case ie8p: return GetPalette(GetPixels_ie8(x, y));
    case ie8g: {
      const uint8_t v = GetPixels_ie8(x, y);
      return TRGB{v, v, v};
    }
    case ie16g: {
      const uint8_t v = static_cast<uint8_t>(GetPixels_ie16g(x, y) >> 8);
      return TRGB{v, v, v};
    }
    case ie24RGB: return GetPixels_ie24RGB(x, y);
    default: return TRGB{0, 0, 0};
  }
}

void TIEBitmap::Fill(int32_t value) {
  switch (PixelFormat) {
    case ie1g: {
      const uint8_t byte = value > 0 ? 255 : static_cast<uint8_t>(value);
      for (int y = 0; y < Height; ++y) std::memset(GetScanLine(y), byte, static_cast<size_t>(RowLen));
      Full = value != 0;
      break;
    }
    case ie8p:
    case ie8g:
      for (int y = 0; y < Height; ++y) std::memset(GetScanLine(y), static_cast<uint8_t>(value), static_cast<size_t>(RowLen));
      Full = value == 255;
      break;
    case ie16g:
      for (int y = 0; y < Height; ++y) {
        uint8_t* p = GetScanLine(y);
        for (int x = 0; x < Width; ++x, p += 2) {
          p[0] = static_cast<uint8_t>(value);
          p[1] = static_cast<uint8_t>(value >> 8);
        }
      }
      Full = value == 65535;
      break;
    case ie24RGB: {
      const TRGB rgb = TColor2TRGB(value);
      for (int y = 0; y < Height; ++y) {
        uint8_t* p = GetScanLine(y);
        for (int x = 0; x < Width; ++x, p += 3) {
          p[0] = rgb.b;
          p[1] = rgb.g;
          p[2] = rgb.r;
        }
      }
      Full = rgb.r == 255 && rgb.g == 255 && rgb.b == 255;
      break;
    }
    default: break;
  }
}
