// The Fourier image: the two-dimensional discrete Fourier transform of a
// picture padded to a black square whose side is a power of two, kept
// centred (zero frequency in the middle) as three colour planes or one
// gray plane of single-precision complex values. Zones of it can be
// cleared, and it is shown as a logarithmic spectrum or transformed back.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/core/iedefs.h"

class TBitmap;

enum TIEFtImageType { ieitUnknown, ieitRGB, ieitGrayscale };

// The parts of one element, each nullptr where its plane is absent.
struct TIEFtElementRefs {
  float* RedReal = nullptr;
  float* RedImag = nullptr;
  float* BlueReal = nullptr;
  float* BlueImag = nullptr;
  float* GreenReal = nullptr;
  float* GreenImag = nullptr;
  float* GrayImag = nullptr;
  float* GrayReal = nullptr;
};

class TIEFtImage {
 public:
  // The largest side transformed: a square of 2048 holds 32 MB a plane.
  static constexpr int kMaxSide = 2048;

  TIEFtImage() = default;
  void Assign(const TIEFtImage& source) { *this = source; }
  // Transforms a pf24bit bitmap. An empty picture, or one whose square
  // would exceed kMaxSide, raises an Exception and leaves the image as it was.
  void BuildFT(TBitmap* bitmap, TIEFtImageType type);
  // The spectrum display: bitmap becomes pf24bit, side x side.
  void GetFTImage(TBitmap* bitmap) const;
  // The inverse transform at the source's size, stretched to 0..255.
  void BuildBitmap(TBitmap* bitmap) const;
  // Element (x, y) of every plane, edited in place; outside the square
  // every reference is nullptr.
  TIEFtElementRefs GetComplexImage(int x, int y);
  // Zeroes the elements of the inclusive rectangle (clipped to the square).
  void ClearZone(int x1, int y1, int x2, int y2);
  // Zeroes the elements at most (HiPass) or beyond (LoPass) radius from the centre.
  void HiPass(int radius);
  void LoPass(int radius);
  void FreeAll();

  int GetImageSize() const { return side_; }
  TIEFtImageType GetImageType() const { return type_; }
  int OffsetX() const { return offsetX_; }
  int OffsetY() const { return offsetY_; }
  // Reported with the image as Sender (nullptr: no progress).
  TIEProgressEvent OnProgress;

 private:
  // N rows of N real parts followed by N imaginary parts.
  using TPlane = std::vector<float>;
  void Transform(TPlane& plane, int sign, int pass, int passes) const;
  std::vector<TPlane*> Planes();
  std::vector<const TPlane*> Planes() const;

  int side_ = 0;
  int offsetX_ = 0, offsetY_ = 0;
  int sourceWidth_ = 0, sourceHeight_ = 0;
  TIEFtImageType type_ = ieitUnknown;
  TPlane red_, green_, blue_, gray_;
};
