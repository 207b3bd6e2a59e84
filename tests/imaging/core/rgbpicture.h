// A 24-bit picture for quantiser tests. Like file storage it hands out one
// row at a time in a single buffer, so a reader that keeps an old row
// pointer sees the wrong pixels; and it counts every row asked for outside
// the picture, so a test can show that nothing past it is read.
#pragma once

#include <vector>

#include "imaging/core/iebitmap.h"

class TestRGBPicture : public TIEBaseBitmap {
 public:
  TestRGBPicture(int width, int height, TRGB fill = {})
      : width_(width),
        height_(height),
        rows_(height, std::vector<TRGB>(width, fill)),
        mapped_(width) {}

  void Set(int x, int y, TRGB c) { rows_[y][x] = c; }

  uint8_t* GetScanLine(int row) override {
    if (row < 0 || row >= height_) {
      ++OutOfRangeRows;
      mapped_.assign(mapped_.size(), TRGB{});
    } else {
      mapped_ = rows_[row];
    }
    return reinterpret_cast<uint8_t*>(mapped_.data());
  }
  int GetBitCount() const override { return 24; }
  int GetHeight() const override { return height_; }
  int GetWidth() const override { return width_; }
  TIEPixelFormat GetPixelFormat() const override { return ie24RGB; }
  int GetRowLen() const override { return width_ * 3; }
  void Allocate(int, int, TIEPixelFormat) override {}
  void Assign(TObject*) override {}

  int OutOfRangeRows = 0;

 private:
  int width_, height_;
  std::vector<std::vector<TRGB>> rows_;
  std::vector<TRGB> mapped_;
};

inline TRGB Rgb(int r, int g, int b) { return TRGB{uint8_t(b), uint8_t(g), uint8_t(r)}; }
