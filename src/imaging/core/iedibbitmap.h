// Two plain pixel buffers beside TIEBitmap.
//
// TIEDibbitmap keeps a 1-bit or 24-bit picture as a device-independent
// bitmap: a 40-byte header with a black-and-white palette and one bottom-up
// pixel block, the form platform drawing targets. TIEWorkBitmap is a bare
// bottom-up buffer of any bit depth with typed pixel addresses for
// processing algorithms.
#pragma once

#include <cstdint>

#include "imaging/core/iebitmap.h"
#include "platform/graphics.h"
#include "platform/wintypes.h"

class TIEDibbitmap : public TIEBaseBitmap {
 public:
  // Header with a two-entry palette, laid out as the platform expects.
#pragma pack(push, 1)
  struct TBitmapInfo {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[2];
  };
#pragma pack(pop)

  TIEDibbitmap();
  ~TIEDibbitmap() override;
  TIEDibbitmap(const TIEDibbitmap&) = delete;
  TIEDibbitmap& operator=(const TIEDibbitmap&) = delete;

  // TIEBaseBitmap
  uint8_t* GetScanLine(int row) override;
  int GetBitCount() const override { return BitCount; }
  int GetHeight() const override { return Height; }
  int GetWidth() const override { return Width; }
  TIEPixelFormat GetPixelFormat() const override;
  int GetRowLen() const override { return RowLen; }
  // ie1g and ie24RGB allocate; other formats do nothing.
  void Allocate(int width, int height, TIEPixelFormat format) override;
  // Copies another TIEDibbitmap; anything else is ignored.
  void Assign(TObject* source) override;

  // Zero sizes and depths other than 1 and 24 are ignored. The new pixels
  // are zero. When the block cannot be had the buffer stays empty.
  void AllocateBits(int width, int height, int bitcount);
  void FreeBits();
  void CopyToTBitmap(TBitmap* bitmap);

  int32_t Width = 0;
  int32_t Height = 0;
  int32_t BitCount = 0;
  int32_t RowLen = 0;
  TBitmapInfo BitmapInfo{};
  // Rows bottom-up: row y at (Height - 1 - y) * RowLen.
  uint8_t* Bits = nullptr;
};

class TIEWorkBitmap : public TObject {
 public:
  // Allocates when width and height are both positive.
  TIEWorkBitmap(int width, int height, int bitcount);
  ~TIEWorkBitmap() override;
  TIEWorkBitmap(const TIEWorkBitmap&) = delete;
  TIEWorkBitmap& operator=(const TIEWorkBitmap&) = delete;

  // Keeps the content when nothing changes; new bits are not cleared.
  // Raises EOutOfMemory when the block cannot be had.
  void AllocateBits(int width, int height, int bitcount);
  void FreeBits();

  // Row 0 is the top row.
  uint8_t* GetScanline(int row) const;
  // Typed addresses, all (row, column).
  uint8_t* GetPByte(int row, int col) const { return GetScanline(row) + col; }
  TRGB* GetPRGB(int row, int col) const { return reinterpret_cast<TRGB*>(GetScanline(row)) + col; }
  float* GetPSingle(int row, int col) const {
    return reinterpret_cast<float*>(GetScanline(row)) + col;
  }
  int32_t* GetPInteger(int row, int col) const {
    return reinterpret_cast<int32_t*>(GetScanline(row)) + col;
  }
  double* GetPDouble(int row, int col) const {
    return reinterpret_cast<double*>(GetScanline(row)) + col;
  }
  void SetBit(int row, int col, bool value);

  int32_t Width = 0;
  int32_t Height = 0;
  int32_t BitCount = 0;
  int32_t RowLen = 0;
  uint8_t* Bits = nullptr;
};
