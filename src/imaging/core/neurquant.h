// The library's one palette builder. TIEQuantizer builds a palette of a
// wanted number of colours from a 24-bit picture and then maps any colour
// to a palette index. Grey 24-bit platform bitmaps asked for 256 colours get
// the identity grey palette; otherwise 128 colours or more use a
// self-organising neural network (NeuQuant) and fewer use the median cut.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "imaging/core/iedefs.h"
#include "imaging/core/iergbrows.h"

class TBitmap;
class TIEBaseBitmap;
class TIENeuQuant;
struct TIEMedianCut;

constexpr int ieqNeuQuant = 0;
constexpr int ieqMedianCut = 1;

// Learn from one pixel in every factor: automatic (Quality -1) from the
// pixel count, else from Quality 0..100 (100 learns from every pixel).
int IENeuQuantSampleFactor(int64_t pixels, int Quality);
// Pixels between two samples: a prime that does not divide the byte count.
int IENeuQuantSampleStep(int64_t byteCount);

class TIEQuantizer {
 public:
  // The colour map receives entries 0 .. colours made - 1 and is never
  // written past its end; NCol is cut to its length. Quality is used by
  // NeuQuant only.
  TIEQuantizer(TBitmap* picture, std::span<TRGB> colorMap, int NCol, int Quality = -1);
  TIEQuantizer(TIEBaseBitmap* picture, std::span<TRGB> colorMap, int NCol, int Quality = -1);
  ~TIEQuantizer();
  TIEQuantizer(const TIEQuantizer&) = delete;
  TIEQuantizer& operator=(const TIEQuantizer&) = delete;

  int GetRGBIndex(const TRGB& rgb) const;

  int GetMethod() const { return Method; }
  bool GetGrayScale() const { return GrayScale; }

 private:
  void Build(const TIERGBRows& picture, std::span<TRGB> colorMap, int NCol, int Quality);

  int Method = ieqNeuQuant;
  std::unique_ptr<TIENeuQuant> NeuQuant;
  TIEMedianCut* MedianCut = nullptr;
  bool GrayScale = false;
};
