// One large picture in a memory-mapped file, cut into tiles of 64 KB
// multiples; each band of tiles is stored bottom-up like a DIB.
#include <algorithm>
#include <cstring>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iedrawdib.h"
#include "imaging/core/ievalues.h"
#include "imaging/core/ievirtual.h"
#include "imaging/proc/ieresample.h"
#include "platform/canvas.h"
#include "platform/graphics.h"

TIEVirtualBitmap::TIEVirtualBitmap() : file_(std::make_unique<TIEMemoryMapped>()) {}

TIEVirtualBitmap::~TIEVirtualBitmap() { FreeBits(); }

bool TIEVirtualBitmap::AllocateBits(int32_t width, int32_t height, int32_t bitcount) {
  FreeBits();
  Width = width;
  Height = height;
  BitCount = bitcount;
  switch (bitcount) {
    case 1: tileWidth_ = 1024, tileHeight_ = 512; break;
    case 8: tileWidth_ = 256, tileHeight_ = 256; break;
    case 24: tileWidth_ = 512, tileHeight_ = 512; break;
    default: break;  // keeps the previous tile size
  }
  if (width <= 0 || height <= 0) return false;
  tilesAcross_ = (width + tileWidth_ - 1) / tileWidth_;
  tilesDown_ = (height + tileHeight_ - 1) / tileHeight_;
  tileRowLen_ = _BitmapRowLen(tileWidth_, bitcount);
  return file_->AllocateFile("", TileBytes() * uint64_t(tilesAcross_) * uint64_t(tilesDown_));
}

void TIEVirtualBitmap::FreeBits() {
  while (!got_.empty()) ReleaseBitmap(got_.back().Bitmap);
  DropPixelView();
  file_->DeAllocate();
}

void TIEVirtualBitmap::SetWidth(int32_t w) {
  Width = w;
  if (Width && Height && BitCount) AllocateBits(Width, Height, BitCount);
}

void TIEVirtualBitmap::SetHeight(int32_t h) {
  Height = h;
  if (Width && Height && BitCount) AllocateBits(Width, Height, BitCount);
}

void TIEVirtualBitmap::SetBitCount(int32_t b) {
  BitCount = b;
  if (Width && Height && BitCount) AllocateBits(Width, Height, BitCount);
}

// Tiles -----------------------------------------------------------------------------

uint64_t TIEVirtualBitmap::TileOffset(int32_t tx, int32_t ty) const {
  return (uint64_t(ty) * uint64_t(tilesAcross_) + uint64_t(tx)) * TileBytes();
}

uint8_t* TIEVirtualBitmap::MapTile(int32_t tx, int32_t ty) {
  if (!file_->IsAllocated()) return nullptr;
  return static_cast<uint8_t*>(file_->Map(TileOffset(tx, ty), size_t(TileBytes())));
}

void TIEVirtualBitmap::UnMapTile(uint8_t* view) {
  if (view) file_->UnMap(view);
}

void TIEVirtualBitmap::DropPixelView() {
  UnMapTile(pixelView_);
  pixelView_ = nullptr;
  pixelTileX_ = pixelTileY_ = -1;
}

std::vector<TIEVirtualBitmap::TPiece> TIEVirtualBitmap::Pieces(int32_t x, int32_t y, int32_t width,
                                                               int32_t height) const {
  std::vector<TPiece> pieces;
  // Only the part inside the picture.
  const int32_t x1 = std::max(x, 0), y1 = std::max(y, 0);
  const int32_t x2 = std::min(x + width, Width), y2 = std::min(y + height, Height);
  if (x1 >= x2 || y1 >= y2 || tileWidth_ <= 0 || tileHeight_ <= 0) return pieces;
  for (int32_t py = y1; py < y2;) {
    const int32_t ty = py / tileHeight_;
    const int32_t bandTop = ty * tileHeight_;
    const int32_t bandRows = std::min(tileHeight_, Height - bandTop);
    const int32_t h = std::min(bandTop + bandRows, y2) - py;
    for (int32_t px = x1; px < x2;) {
      const int32_t tx = px / tileWidth_;
      const int32_t w = std::min((tx + 1) * tileWidth_, x2) - px;
      pieces.push_back({tx, ty, px, py, w, h, bandTop, bandRows});
      px += w;
    }
    py += h;
  }
  return pieces;
}

uint8_t* TIEVirtualBitmap::PixelIn(uint8_t* tile, const TPiece& piece, int32_t x, int32_t y) const {
  const int64_t row = int64_t(piece.BandTop) + piece.BandRows - 1 - y;
  const int64_t column = int64_t(x) - int64_t(piece.TileX) * tileWidth_;
  uint8_t* line = tile + row * tileRowLen_;
  if (BitCount == 1) return line + column / 8;
  return line + column * (BitCount / 8);
}

// Moves one piece between its tile and the bitmap at (bmpX, bmpY):
// direction 0 into the bitmap, 1 into the tile.
void TIEVirtualBitmap::CopyPiece(const TPiece& piece, TBitmap* bitmap, int32_t bmpX, int32_t bmpY, int direction) {
  uint8_t* tile = MapTile(piece.TileX, piece.TileY);
  if (!tile) return;
  // Buffer row of the piece's bottom row inside the bottom-up band.
  const int32_t bufY = piece.BandTop + piece.BandRows - (piece.Y + piece.H);
  IEBitmapMapXCopy(tile, tileRowLen_, BitCount, bitmap, piece.X - piece.TileX * tileWidth_, bufY, bmpX, bmpY, piece.W,
                   piece.H, direction);
  UnMapTile(tile);
}

// Access ----------------------------------------------------------------------------

void TIEVirtualBitmap::CopyFromIEBitmap(TIEBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height) {
  for (const TPiece& piece : Pieces(x, y, width, height)) {
    uint8_t* tile = MapTile(piece.TileX, piece.TileY);
    if (!tile) return;
    const int32_t bufY = piece.BandTop + piece.BandRows - (piece.Y + piece.H);
    IEBitmapMapXCopy(tile, tileRowLen_, BitCount, bitmap, piece.X - piece.TileX * tileWidth_, bufY, piece.X, piece.Y,
                     piece.W, piece.H, 1);
    UnMapTile(tile);
  }
}

uint8_t* TIEVirtualBitmap::PixelAddress(int32_t x, int32_t y, int64_t& column) {
  const std::vector<TPiece> pieces = Pieces(x, y, 1, 1);
  if (pieces.empty()) return nullptr;
  const TPiece& piece = pieces.front();
  // The tile stays mapped for the next pixel of the same tile.
  if (piece.TileX != pixelTileX_ || piece.TileY != pixelTileY_) {
    DropPixelView();
    pixelView_ = MapTile(piece.TileX, piece.TileY);
    if (!pixelView_) return nullptr;
    pixelTileX_ = piece.TileX;
    pixelTileY_ = piece.TileY;
  }
  column = int64_t(x) - int64_t(piece.TileX) * tileWidth_;
  return PixelIn(pixelView_, piece, x, y);
}

void TIEVirtualBitmap::GetPixel(int32_t x, int32_t y, void* out) {
  int64_t column = 0;
  uint8_t* p = PixelAddress(x, y, column);
  if (!p) return;
  if (BitCount == 1)
    *static_cast<uint8_t*>(out) = (*p & (0x80 >> (column & 7))) ? 1 : 0;
  else
    std::memcpy(out, p, size_t(BitCount / 8));
}

void TIEVirtualBitmap::SetPixel(int32_t x, int32_t y, const void* in) {
  int64_t column = 0;
  uint8_t* p = PixelAddress(x, y, column);
  if (!p) return;
  if (BitCount == 1) {
    const uint8_t mask = uint8_t(0x80 >> (column & 7));
    if (*static_cast<const uint8_t*>(in))
      *p |= mask;
    else
      *p &= uint8_t(~mask);
  } else {
    std::memcpy(p, in, size_t(BitCount / 8));
  }
}

void TIEVirtualBitmap::ApplyFunction(int32_t x, int32_t y, int32_t width, int32_t height,
                                     const TIEVirtualBitmapFunction& callback, void* userdata) {
  if (!callback) return;
  for (const TPiece& piece : Pieces(x, y, width, height)) {
    uint8_t* tile = MapTile(piece.TileX, piece.TileY);
    if (!tile) return;
    for (int32_t py = piece.Y; py < piece.Y + piece.H; ++py)
      for (int32_t px = piece.X; px < piece.X + piece.W; ++px) {
        uint8_t* p = PixelIn(tile, piece, px, py);
        if (BitCount != 1) {
          callback(px, py, p, userdata);
          continue;
        }
        const uint8_t mask = uint8_t(0x80 >> ((px - piece.TileX * tileWidth_) & 7));
        uint8_t value = (*p & mask) ? 1 : 0;
        const bool before = value != 0;
        callback(px, py, &value, userdata);
        if ((value != 0) != before) *p = value ? uint8_t(*p | mask) : uint8_t(*p & ~mask);
      }
    UnMapTile(tile);
  }
}

TBitmap* TIEVirtualBitmap::GetBitmap(int32_t x, int32_t y, int32_t width, int32_t height) {
  if (BitCount != 1 && BitCount != 8 && BitCount != 24) return nullptr;
  if (width <= 0 || height <= 0) return nullptr;
  auto* bitmap = new TBitmap();
  bitmap->SetPixelFormat(BitCount == 1 ? pf1bit : BitCount == 8 ? pf8bit : pf24bit);
  bitmap->SetSize(width, height);
  for (const TPiece& piece : Pieces(x, y, width, height))
    CopyPiece(piece, bitmap, piece.X - x, piece.Y - y, 0);
  got_.push_back({x, y, width, height, bitmap});
  return bitmap;
}

void TIEVirtualBitmap::ReleaseBitmap(TBitmap* bitmap) {
  const auto it =
      std::find_if(got_.begin(), got_.end(), [bitmap](const TGotBitmap& got) { return got.Bitmap == bitmap; });
  if (it == got_.end()) return;
  const TGotBitmap got = *it;
  got_.erase(it);
  for (const TPiece& piece : Pieces(got.X, got.Y, got.W, got.H))
    CopyPiece(piece, bitmap, piece.X - got.X, piece.Y - got.Y, 1);
  delete bitmap;
}

void TIEVirtualBitmap::RenderTo(TCanvas* canvas, HDRAWDIB drawdib, int xDst, int yDst, int dxDst, int dyDst,
                                int xSrc, int ySrc, int dxSrc, int dySrc, bool filter) {
  if (!canvas || dxSrc <= 0 || dySrc <= 0 || dxDst <= 0 || dyDst <= 0) return;
  const double sx = double(dxDst) / dxSrc, sy = double(dyDst) / dySrc;
  // Header and palette of the pieces: 1-bit black and white, 8-bit grey.
  struct {
    BITMAPINFOHEADER Header;
    RGBQUAD Palette[256];
  } dib{};
  dib.Header.biSize = 40;
  dib.Header.biPlanes = 1;
  for (int i = 0; i < 256; ++i) dib.Palette[i] = RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
  if (BitCount == 1) dib.Palette[1] = RGBQUAD{255, 255, 255, 0};
  for (const TPiece& piece : Pieces(xSrc, ySrc, dxSrc, dySrc)) {
    // Both edges of a piece come from the same scaling, so neighbouring
    // pieces meet without gaps and a 1:1 drawing copies every pixel once.
    const int x = xDst + int((piece.X - xSrc) * sx);
    const int y = yDst + int((piece.Y - ySrc) * sy);
    const int w = std::min(xDst + int((piece.X + piece.W - xSrc) * sx) - x, dxDst);
    const int h = std::min(yDst + int((piece.Y + piece.H - ySrc) * sy) - y, dyDst);
    if (w <= 0 || h <= 0) continue;
    uint8_t* tile = MapTile(piece.TileX, piece.TileY);
    if (!tile) return;
    const int srcX = piece.X - piece.TileX * tileWidth_;
    const int srcY = piece.Y - piece.BandTop;  // counted from the band's top
    if (filter && BitCount == 1 && (sx < 1 || sy < 1)) {
      auto reduced = _SubResample1bitFilteredDIB(tile, tileWidth_, piece.BandRows, srcX, srcY, srcX + piece.W - 1,
                                                 srcY + piece.H - 1, w, h);
      if (reduced) {
        dib.Header.biWidth = w;
        dib.Header.biHeight = h;
        dib.Header.biBitCount = 24;
        DrawDibDrawEmu(drawdib, canvas->GetHandle(), x, y, w, h, &dib.Header, reduced.get(), 0, 0, w, h, 0);
      }
    } else {
      dib.Header.biWidth = tileWidth_;
      dib.Header.biHeight = piece.BandRows;
      dib.Header.biBitCount = uint16_t(BitCount);
      DrawDibDrawEmu(drawdib, canvas->GetHandle(), x, y, w, h, &dib.Header, tile, srcX, srcY, piece.W, piece.H, 0);
    }
    UnMapTile(tile);
  }
}
