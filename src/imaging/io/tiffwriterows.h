// The pixel rows of one TIFF page as the writer lays them out: one strip,
// top row first, coded as the page's compression says.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/core/iedefs.h"
#include "imaging/core/neurquant.h"
#include "imaging/io/ielzwhooks.h"

class TIEBitmap;
class TStream;

enum class TTiffPageKind { Bilevel, Palette, Rgb, Cmyk, CieLab };

struct TTiffRowPlan {
  TTiffPageKind kind = TTiffPageKind::Rgb;
  int32_t width = 0;
  int32_t bits = 8;     // bits of one sample
  int32_t samples = 3;  // samples of one pixel
  uint16_t compression = 1;
  uint16_t photometric = 2;
  bool twoDimensional = false;  // G3 with T4Options 1
  bool invert = false;          // CCITT pages store black as 1
  bool predictor = false;       // horizontal differencing
  TTIFFLZWCompFunc lzw = nullptr;
  std::vector<TRGB> palette;
  std::unique_ptr<TIEQuantizer> quantizer;
};

// PackBits codes one row and appends it to out.
void TIFFPackBitsRow(const uint8_t* row, int64_t length, std::vector<uint8_t>& out);

class TTiffRowWriter {
 public:
  TTiffRowWriter(TStream* stream, TIEBitmap* source, const TTiffRowPlan& plan,
                 TProgressRec& progress, bool& abort);
  // Writes every row, then closes the code stream; stops when abort is set.
  void Write();

 private:
  void PutRow(const uint8_t* row, int64_t length);
  void Finish();
  void PackRgbRow(const uint8_t* bgr, uint8_t* out) const;

  TStream* stream_;
  TIEBitmap* source_;
  const TTiffRowPlan& plan_;
  TProgressRec& progress_;
  bool& abort_;
  uint8_t lastByte_ = 0;
  int32_t bitCount_ = 0;
  std::vector<uint8_t> refRow_;
  void* lzwContext_ = nullptr;
  std::vector<uint8_t> packed_;
};
