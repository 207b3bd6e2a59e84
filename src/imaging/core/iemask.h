// Selection and alpha mask.
//
// A TIEMask holds 1 bit per pixel (a selection: which pixels an operation
// touches) or 8 bits per pixel (an alpha channel: 0 transparent, 255
// opaque). Besides the bits it keeps the bounding box of what is set, so
// that copying and drawing stay inside it, and a Full flag that lets alpha
// consumers skip blending when everything is opaque.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics.h"
#include "platform/sysutils.h"
#include "platform/wintypes.h"

class TCanvas;

class TIEMask : public TObject {
 public:
  // The x of a polygon point that separates one polygon from the next.
  static constexpr int32_t PolygonSeparator = 0xFFFFF;
  // X1 and Y1 of an empty box.
  static constexpr int32_t EmptyBoxCorner = 2147483647;

  TIEMask();
  ~TIEMask() override;
  TIEMask(const TIEMask&) = delete;
  TIEMask& operator=(const TIEMask&) = delete;

  void AllocateBits(int32_t width, int32_t height, int32_t bitcount);
  void FreeBits();
  void Assign(TIEMask* mask);

  // Row y (0 = top); nullptr when y lies outside the mask or there are no bits.
  uint8_t* GetScanLine(int32_t y) const;

  void SetPixel(int32_t x, int32_t y, int32_t value);
  // 1 bit: 0, or the bit's mask value 128 shr (x mod 8); 8 bit: the byte.
  int32_t GetPixel(int32_t x, int32_t y) const;
  bool IsPointInside(int32_t x, int32_t y) const { return GetPixel(x, y) != 0; }

  void Fill(int32_t value);
  bool IsEmpty() const { return X1 == EmptyBoxCorner; }
  void Empty();

  // Writes pixels x1..x2 of row y; returns how many were written.
  int32_t DrawHorizontalLine(int32_t value, int32_t x1, int32_t x2, int32_t y);
  // Fills the polygons of points (count pairs), separated by PolygonSeparator.
  void DrawPolygon(int32_t value, const TPoint* points, int32_t count);
  // Moves the set pixels; without cut the move is limited so the box stays
  // inside and dx, dy come back limited.
  void TranslateBitmap(int32_t& dx, int32_t& dy, bool cut);
  void Negative();

  void InvertCanvas(TCanvas* canvas, int32_t xDst, int32_t yDst, int32_t dxDst, int32_t dyDst,
                    int32_t xSrc, int32_t ySrc, int32_t dxSrc, int32_t dySrc);
  void DrawOutline(TCanvas* canvas, int32_t xDst, int32_t yDst, int32_t dxDst, int32_t dyDst,
                   int32_t xSrc, int32_t ySrc, int32_t dxSrc, int32_t dySrc, int32_t phase,
                   TColor colour1, TColor colour2);
  // Copies the source's pixels into destination where the mask is set. A
  // bitmap flagged as box holds only the box (its pixel 0,0 is X1,Y1).
  void CopyBitmap(TBitmap* destination, TBitmap* source, bool destinationIsBox, bool sourceIsBox);

  // Fields, read directly by other units.
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t BitCount = 0;
  int32_t RowLen = 0;
  uint8_t* Bits = nullptr;
  int32_t X1 = EmptyBoxCorner;
  int32_t Y1 = EmptyBoxCorner;
  int32_t X2 = 0;
  int32_t Y2 = 0;
#pragma pack(push, 1)
  struct TMaskDibHeader {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[2];
  } DibHeader{};
#pragma pack(pop)
  bool Full = false;

 private:
  void EmptyBox();
  void ClipBoxIntoMask();
  void RecomputeBox();
  int32_t DrawSinglePolygon(int32_t value, const TPoint* points, int32_t n);
  void BuildOutlineCache(int32_t dxDst, int32_t dyDst);

  // Outline cache: a bottom-up 1-bit buffer of the last drawn size.
  std::vector<uint8_t> outline_;
  int32_t outlineWidth_ = 0;
  int32_t outlineHeight_ = 0;
  int32_t outlineRowLen_ = 0;
};
