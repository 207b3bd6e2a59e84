// Pictures kept in a memory-mapped temporary file instead of memory:
// TIEVirtualDIBList holds many small device-independent bitmaps, one per
// 64 KB-aligned block, with at most ten mapped at a time (the thumbnails);
// TIEVirtualBitmap holds one large picture cut into fixed tiles (picture
// printing). IEBitmapMapXCopy moves a rectangle between a bottom-up buffer
// and a bitmap for both.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "imaging/core/iedefs.h"
#include "imaging/core/iememorymapped.h"
#include "platform/gdi.h"
#include "platform/wintypes.h"

class TBitmap;
class TCanvas;
class TIEBaseBitmap;
class TIEBitmap;

// The header and the two palette entries (black, white) in front of the
// pixels of every block.
struct TIEVirtualDIBHeader {
  BITMAPINFOHEADER Header;
  RGBQUAD Palette[2];
};
static_assert(sizeof(TIEVirtualDIBHeader) == 48);

// One image of a TIEVirtualDIBList; the caller keeps the handle, the list
// owns it.
struct TIEVirtualImageInfo {
  uint64_t Offset = 0;      // in the file, a multiple of 65,536
  uint64_t NeededSize = 0;  // 48 + rows
  uint64_t BlockSize = 0;   // NeededSize rounded up to 65,536
  uint8_t* View = nullptr;  // mapped view, or none
  bool HandedOut = false;   // a platform bitmap copy is out
  int32_t OriginalWidth = 0;
  int32_t OriginalHeight = 0;
};
using PIEVirtualImageInfo = TIEVirtualImageInfo*;

struct TIEVirtualFreeBlock {
  uint64_t Offset;
  uint64_t Size;
};

struct TIEVirtualToReleaseBmp {
  PIEVirtualImageInfo Image;
  TBitmap* Bitmap;
  int32_t RefCount;
};

class TIEVirtualDIBList : public TObject {
 public:
  TIEVirtualDIBList();
  ~TIEVirtualDIBList() override;
  TIEVirtualDIBList(const TIEVirtualDIBList&) = delete;
  TIEVirtualDIBList& operator=(const TIEVirtualDIBList&) = delete;

  // A new image with a block, or none when no block could be had.
  PIEVirtualImageInfo AddBlankImage(int32_t width, int32_t height, int32_t bitcount);
  PIEVirtualImageInfo AddIEBitmap(TIEBaseBitmap* bitmap);
  PIEVirtualImageInfo AddBitmap(TBitmap* bitmap);
  PIEVirtualImageInfo AddBitmapRect(TBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height);
  // Grows the file at once for count images of that size.
  void PrepareSpaceFor(int32_t width, int32_t height, int32_t bitcount, int32_t count);
  void Delete(PIEVirtualImageInfo image);
  int GetImageCount() const { return int(images_.size()); }

  int32_t GetImageWidth(PIEVirtualImageInfo image);
  int32_t GetImageHeight(PIEVirtualImageInfo image);
  int32_t GetImageBitCount(PIEVirtualImageInfo image);
  int32_t GetImageOriginalWidth(PIEVirtualImageInfo image) const { return image->OriginalWidth; }
  int32_t GetImageOriginalHeight(PIEVirtualImageInfo image) const { return image->OriginalHeight; }
  void SetImageOriginalWidth(PIEVirtualImageInfo image, int32_t value) { image->OriginalWidth = value; }
  void SetImageOriginalHeight(PIEVirtualImageInfo image, int32_t value) { image->OriginalHeight = value; }
  // The pixels (bottom row first) and the header DrawDib takes; valid
  // until ten other images have been mapped. A handed-out bitmap is
  // described as a top-down picture starting at its first row.
  uint8_t* GetImageBits(PIEVirtualImageInfo image);
  BITMAPINFOHEADER* GetImageInfoHeader(PIEVirtualImageInfo image);

  void CopyToIEBitmap(PIEVirtualImageInfo image, TIEBitmap* bitmap);
  void DirectCopyToBitmap(PIEVirtualImageInfo image, TBitmap* bitmap);
  // Writes a bitmap back; a different size or depth gets a new block.
  void CopyFromBitmap(PIEVirtualImageInfo image, TBitmap* bitmap);
  // A platform bitmap copy of the image, counted per request.
  TBitmap* GetBitmap(PIEVirtualImageInfo image);
  void ReleaseBitmap(TBitmap* bitmap, bool writeback);
  void ReleaseBitmapByImage(PIEVirtualImageInfo image, bool writeback);
  void RenderTo(PIEVirtualImageInfo image, TCanvas* canvas, HDRAWDIB drawdib, int xDst, int yDst, int dxDst,
                int dyDst, int xSrc, int ySrc, int dxSrc, int dySrc);

  // State the owner (and tests) may look at.
  uint64_t GetFileSize() const { return fileSize_; }
  int GetMappedCount() const { return int(mapped_.size()); }
  bool IsMapped(PIEVirtualImageInfo image) const { return image->View != nullptr; }

 private:
  bool AllocImage(PIEVirtualImageInfo image, int32_t width, int32_t height, int32_t bitcount);
  bool MapImage(PIEVirtualImageInfo image);
  void DiscardOne();
  void DiscardImage(PIEVirtualImageInfo image);
  void DiscardAll();
  bool ReAllocateBits();
  void FreeBits();
  void RemoveImageInfo(size_t index);
  TIEVirtualToReleaseBmp* HandedOutOf(PIEVirtualImageInfo image);
  const TIEVirtualDIBHeader* BlockHeader(PIEVirtualImageInfo image);

  std::unique_ptr<TIEMemoryMapped> file_;
  uint64_t fileSize_ = 65536;
  std::vector<std::unique_ptr<TIEVirtualImageInfo>> images_;
  std::vector<PIEVirtualImageInfo> mapped_;  // least recently mapped first
  std::vector<TIEVirtualFreeBlock> free_;
  uint64_t usedEnd_ = 0;
  uint64_t growthStep_ = 65536;
  size_t mappingLimit_ = 10;
  std::vector<TIEVirtualToReleaseBmp> handedOut_;
  uint64_t lastBlockSize_ = 0;
  TIEVirtualDIBHeader headerBuffer_{};
};

// Called once per pixel by ApplyFunction: picture coordinates and the
// pixel's address (a TRGB, a byte, or for 1-bit pictures a byte that is 0
// for a clear pixel).
using TIEVirtualBitmapFunction = std::function<void(int x, int y, void* pixel, void* userdata)>;

class TIEVirtualBitmap : public TObject {
 public:
  TIEVirtualBitmap();
  ~TIEVirtualBitmap() override;
  TIEVirtualBitmap(const TIEVirtualBitmap&) = delete;
  TIEVirtualBitmap& operator=(const TIEVirtualBitmap&) = delete;

  bool AllocateBits(int32_t width, int32_t height, int32_t bitcount);
  void FreeBits();
  int32_t GetWidth() const { return Width; }
  int32_t GetHeight() const { return Height; }
  int32_t GetBitCount() const { return BitCount; }
  void SetWidth(int32_t w);
  void SetHeight(int32_t h);
  void SetBitCount(int32_t b);
  int32_t GetTileWidth() const { return tileWidth_; }
  int32_t GetTileHeight() const { return tileHeight_; }

  void CopyFromIEBitmap(TIEBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height);
  // 1 bit: a byte 0 or not; 8 bits: a byte; 24 bits: a TRGB.
  void GetPixel(int32_t x, int32_t y, void* out);
  void SetPixel(int32_t x, int32_t y, const void* in);
  void ApplyFunction(int32_t x, int32_t y, int32_t width, int32_t height, const TIEVirtualBitmapFunction& callback,
                     void* userdata);
  TBitmap* GetBitmap(int32_t x, int32_t y, int32_t width, int32_t height);
  void ReleaseBitmap(TBitmap* bitmap);
  void RenderTo(TCanvas* canvas, HDRAWDIB drawdib, int xDst, int yDst, int dxDst, int dyDst, int xSrc, int ySrc,
                int dxSrc, int dySrc, bool filter);

  int32_t Width = 0;
  int32_t Height = 0;
  int32_t BitCount = 0;

 private:
  // One piece of a rectangle inside one tile.
  struct TPiece {
    int32_t TileX, TileY;  // tile indexes
    int32_t X, Y;          // picture position of the piece's top-left pixel
    int32_t W, H;
    int32_t BandTop, BandRows;  // picture rows of the tile's band
  };
  struct TGotBitmap {
    int32_t X, Y, W, H;
    TBitmap* Bitmap;
  };
  std::vector<TPiece> Pieces(int32_t x, int32_t y, int32_t width, int32_t height) const;
  uint64_t TileOffset(int32_t tx, int32_t ty) const;
  uint64_t TileBytes() const { return uint64_t(tileRowLen_) * uint64_t(tileHeight_); }
  // Address of a picture pixel's byte inside a mapped tile.
  uint8_t* PixelIn(uint8_t* tile, const TPiece& piece, int32_t x, int32_t y) const;
  // A picture pixel's byte through the kept single-pixel view (its column
  // inside the tile goes to `column`); none outside the picture.
  uint8_t* PixelAddress(int32_t x, int32_t y, int64_t& column);
  uint8_t* MapTile(int32_t tx, int32_t ty);
  void UnMapTile(uint8_t* view);
  void DropPixelView();
  void CopyPiece(const TPiece& piece, TBitmap* bitmap, int32_t bmpX, int32_t bmpY, int direction);

  int32_t tileWidth_ = 512;
  int32_t tileHeight_ = 512;
  int32_t tilesAcross_ = 0;
  int32_t tilesDown_ = 0;
  int64_t tileRowLen_ = 0;
  std::vector<TGotBitmap> got_;
  int32_t pixelTileX_ = -1;
  int32_t pixelTileY_ = -1;
  uint8_t* pixelView_ = nullptr;
  std::unique_ptr<TIEMemoryMapped> file_;
};

// Moves `rows` rows of `width` pixels between a bottom-up buffer and a
// bitmap: direction 0 from the buffer into the bitmap, 1 back. Buffer row
// bufY + k is bitmap row bmpY + rows - 1 - k. 1-bit, 8-bit and 24-bit
// bitmaps; a 1-bit bitmap read into a 24-bit buffer gives black or white.
void IEBitmapMapXCopy(uint8_t* buffer, int64_t bufferRowLen, int32_t bufferBitCount, TBitmap* bitmap, int32_t bufX,
                      int32_t bufY, int32_t bmpX, int32_t bmpY, int32_t width, int32_t rows, int direction);
void IEBitmapMapXCopy(uint8_t* buffer, int64_t bufferRowLen, int32_t bufferBitCount, TIEBitmap* bitmap, int32_t bufX,
                      int32_t bufY, int32_t bmpX, int32_t bmpY, int32_t width, int32_t rows, int direction);
