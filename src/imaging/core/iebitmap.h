// The pixel buffer of the imaging library.
//
// TIEBitmap holds one picture in one of six pixel formats, in one of three
// storages: a memory block (rows bottom-up), a memory-mapped temporary file
// (top row first, one row mapped at a time) or a platform bitmap. Row 0 is
// the top row in every storage; every row is padded to a multiple of 4
// bytes; in a 1-bit row the most significant bit is the leftmost pixel and a
// set bit is white. Pixels are always reached row by row through
// GetScanLine; on file storage only the row returned last is valid.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "imaging/core/iedefs.h"
#include "imaging/core/iememorymapped.h"
#include "platform/graphics.h"

enum TIEPixelFormat : uint8_t { ienull, ie1g, ie8p, ie8g, ie16g, ie24RGB };
enum TIELocation : uint8_t { ieMemory, ieFile, ieTBitmap };

// Bits per pixel of a format: 0, 1, 8, 8, 16, 24.
int IEBitsPerPixel(TIEPixelFormat format);

class TIEMask;
class TIEDibbitmap;

// The abstract pixel buffer shared by TIEBitmap and TIEDibbitmap.
class TIEBaseBitmap : public TObject {
 public:
  virtual uint8_t* GetScanLine(int row) = 0;
  virtual int GetBitCount() const = 0;
  virtual int GetHeight() const = 0;
  virtual int GetWidth() const = 0;
  virtual TIEPixelFormat GetPixelFormat() const = 0;
  virtual int GetRowLen() const = 0;
  virtual void Allocate(int width, int height, TIEPixelFormat format) = 0;
  virtual void Assign(TObject* source) = 0;
};

class TIEBitmap : public TIEBaseBitmap {
 public:
  TIEBitmap();
  // Alpha-channel constructor: an ie8g bitmap at the given storage, pixels
  // not initialised, marked as an alpha channel.
  TIEBitmap(int width, int height, TIELocation location);
  ~TIEBitmap() override;
  TIEBitmap(const TIEBitmap&) = delete;
  TIEBitmap& operator=(const TIEBitmap&) = delete;

  // TIEBaseBitmap
  uint8_t* GetScanLine(int row) override;
  int GetBitCount() const override { return BitCount; }
  int GetHeight() const override { return Height; }
  int GetWidth() const override { return Width; }
  TIEPixelFormat GetPixelFormat() const override { return PixelFormat; }
  int GetRowLen() const override { return RowLen; }
  void Allocate(int width, int height, TIEPixelFormat format) override;
  // A TIEBitmap or a TBitmap source; anything else is ignored.
  void Assign(TObject* source) override;

  void AllocateImage();
  void FreeImage();

  void SetWidth(int w);
  void SetHeight(int h);
  void SetPixelFormat(TIEPixelFormat format);
  void SetLocation(TIELocation location);
  TIELocation GetLocation() const { return Location; }
  // Moves everything but the storage kind into target; this bitmap is left
  // empty with a new temporary-file object.
  void SwitchTo(TIEBitmap* target);

  // The picture's drawing canvas: memory and file storage first move to a
  // platform bitmap (the alpha channel does not survive).
  TCanvas* GetCanvas();
  // Wraps a caller's 1-bit or 24-bit platform bitmap without owning it.
  void EncapsulateTBitmap(TBitmap* bitmap);
  TBitmap* GetTBitmap() const { return PlatformBitmap; }

  TIEBitmap* GetAlphaChannel();
  bool GetHasAlphaChannel() const { return AlphaChannel != nullptr; }
  void RemoveAlphaChannel();

  TRGB GetPalette(int index) const;
  void SetPalette(int index, const TRGB& rgb);
  void UpdateTBitmapPalette();

  bool GetPixels_ie1g(int x, int y);
  void SetPixels_ie1g(int x, int y, bool value);
  uint8_t GetPixels_ie8(int x, int y);
  void SetPixels_ie8(int x, int y, uint8_t value);
  uint16_t GetPixels_ie16g(int x, int y);
  void SetPixels_ie16g(int x, int y, uint16_t value);
  TRGB GetPixels_ie24RGB(int x, int y);
  void SetPixels_ie24RGB(int x, int y, const TRGB& rgb);
  TRGB GetPixels(int x, int y);
  uint8_t GetAlpha(int x, int y);
  void SetAlpha(int x, int y, uint8_t value);

  void Fill(int32_t value);

  // Conversions and rendering (pixel buffer conversions unit).
  void ConvertToPixelFormat(TIEPixelFormat format);
  void CopyToTBitmap(TBitmap* bitmap);
  void CopyFromTBitmap(TBitmap* bitmap);
  void CopyFromTIEMask(TIEMask* mask);
  void CopyToTIEMask(TIEMask* mask);
  void CopyFromTDibBitmap(TIEDibbitmap* dib);
  void MergeFromTDibBitmap(TIEDibbitmap* dib, int x, int y);
  void CopyToTDibBitmap(TIEDibbitmap* dib, int x, int y, int width, int height);
  void RenderToTBitmap(TBitmap* bitmap, uint8_t** rows, const TRect* clip, int xDst, int yDst,
                       int dxDst, int dyDst, int xSrc, int ySrc, int dxSrc, int dySrc, bool alpha,
                       bool repeat);

  // Fields, read directly by other units.
  TIEMemoryMapped* TempFile = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t BitCount = 0;
  void* MappedView = nullptr;
  int32_t RowLen = 0;
  TIEPixelFormat PixelFormat = ienull;
  TRGB* Palette = nullptr;
  int32_t PaletteLength = 0;
  TIEBitmap* AlphaChannel = nullptr;
  bool IsAlphaChannel = false;
  uint8_t* MemoryBlock = nullptr;
  TBitmap* PlatformBitmap = nullptr;
  uint8_t** RowPointers = nullptr;
  TIELocation Location = ieFile;
  bool Full = false;
  bool Encapsulated = false;
  // Per row of file storage: the row's file offset rounded down to the
  // mapping granularity, and its offset inside that granule.
  uint64_t* RowFileBase = nullptr;
  uint32_t* RowFileDelta = nullptr;
  // Images of this many bytes or more go to a temporary file.
  uint64_t FileThreshold = 0;

 private:
  // A memory block taken out of the storage, freed unless adopted.
  struct TSpareBlock {
    struct TFree {
      void operator()(uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<uint8_t, TFree> block;
    uint64_t size = 0;
  };

  // Frees every storage but the platform bitmap and empties the sizes.
  void ReleaseStorage();
  // AllocateImage, adopting the spare block when its size fits exactly.
  void AllocateImageReusing(TSpareBlock& spare);
  void AllocateFileStorage(uint64_t size);
  void AllocatePlatformStorage();
  void BuildRowPointers();
  // Copies the rows and bytes both bitmaps have; 16-bit gray rows into an
  // 8-bit gray bitmap keep their high bytes.
  void CopyPixelsFrom(TIEBitmap& source);
  void CopyPaletteFrom(const TIEBitmap& source);
  // Rebuilds the pixels at a new size keeping the top-left content.
  void Resize(int width, int height);
  // SetWidth and SetHeight on platform-bitmap storage.
  void ResizePlatformBitmap(int width, int height);
  [[noreturn]] void FailAllocation();
};
