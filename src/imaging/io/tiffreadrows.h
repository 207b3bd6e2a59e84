// Row decoding of one TIFF strip or tile: the compressions, then the
// unpacking of small samples, the horizontal predictor and the 4-bit grey
// scale, giving one byte (or two, for 16 bits) a sample.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/io/tiffreadvars.h"

class TTIFFRowDecoder {
 public:
  // data: the block's coded bytes; width: pixels a row; samples: samples a
  // pixel in this block (1 for one plane of a planar page).
  TTIFFRowDecoder(const TTIFFVars& vars, const std::vector<uint8_t>& data, int64_t width,
                  int32_t samples);
  ~TTIFFRowDecoder();
  TTIFFRowDecoder(const TTIFFRowDecoder&) = delete;
  TTIFFRowDecoder& operator=(const TTIFFRowDecoder&) = delete;

  // Decodes the next row; nil when the LZW coder fails. The row stays
  // valid until the next call.
  const uint8_t* Next();

 private:
  bool Decompress();
  void PackBits();
  void Unpack();
  void UndoPredictor();

  const TTIFFVars& vars_;
  const std::vector<uint8_t>& data_;
  int64_t width_;
  int32_t samples_;
  int64_t rowBytes_;
  std::vector<uint8_t> row_;       // the row as coded
  std::vector<uint8_t> unpacked_;  // one byte a sample, for small samples
  std::vector<uint8_t> reference_;  // the last row of two-dimensional fax coding
  int64_t pos_ = 0;                 // byte position, or bit position for fax coding
  void* lzwContext_ = nullptr;
};
