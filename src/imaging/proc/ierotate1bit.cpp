// Rotation of 1-bit pictures: exact quarter and half turns, and sampling
// at any other angle.
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/proc/ierotate.h"
#include "platform/sysutils.h"

namespace {

// The source rows copied out (file storage maps one row at a time).
class TBitRows {
 public:
  explicit TBitRows(TIEBitmap* picture)
      : width(picture->GetWidth()), height(picture->GetHeight()), rowLen_(size_t(picture->GetRowLen())) {
    bits_.resize(rowLen_ * size_t(height));
    for (int y = 0; y < height; ++y) std::memcpy(Row(y), picture->GetScanLine(y), rowLen_);
  }
  uint8_t* Row(int y) { return bits_.data() + size_t(y) * rowLen_; }
  bool Bit(int x, int y) { return Row(y)[x >> 3] & (0x80 >> (x & 7)); }

  const int width, height;

 private:
  size_t rowLen_;
  std::vector<uint8_t> bits_;
};

inline void SetBit(uint8_t* row, int x) { row[x >> 3] |= uint8_t(0x80 >> (x & 7)); }

// A cleared in-memory 1-bit picture.
void Blank(TIEBitmap& result, int width, int height) {
  result.SetLocation(ieMemory);
  result.Allocate(width, height, ie1g);
  for (int y = 0; y < height; ++y) std::memset(result.GetScanLine(y), 0, size_t(result.GetRowLen()));
}

void QuarterTurn(TBitRows& source, TIEBitmap& result, bool counterClockwise) {
  const int W = source.width, H = source.height;
  Blank(result, H, W);
  for (int c = 0; c < W; ++c) {
    uint8_t* row = result.GetScanLine(counterClockwise ? W - 1 - c : c);
    for (int j = 0; j < H; ++j)
      if (source.Bit(c, counterClockwise ? j : H - 1 - j)) SetBit(row, j);
  }
}

void HalfTurn(TBitRows& source, TIEBitmap& result) {
  Blank(result, source.width, source.height);
  for (int j = 0; j < source.height; ++j)
    IEMirrorRow1(result.GetScanLine(j), source.Row(source.height - 1 - j), source.width);
}

double FourDecimals(double value) { return double(Trunc(value * 10000)) / 10000; }

void Sample(TBitRows& source, TIEBitmap& result, int backgroundBit, TProgressRec& progress, double angle) {
  const int W = source.width, H = source.height;
  const double theta = -angle / (180 / std::numbers::pi);
  const double c = FourDecimals(std::cos(theta)), s = FourDecimals(std::sin(theta));
  // At least one pixel each way: truncated sines and cosines can otherwise
  // shrink a tiny picture to nothing.
  const int W2 = std::max<int>(1, int(Trunc(std::fabs(W * c) + std::fabs(H * s))));
  const int H2 = std::max<int>(1, int(Trunc(std::fabs(W * s) + std::fabs(H * c))));
  Blank(result, W2, H2);
  std::vector<int> dx(static_cast<size_t>(W2)), dy(static_cast<size_t>(W2));
  for (int j = 0; j < W2; ++j) {
    const double o = j - (W2 / 2.0 - 0.5);
    dx[size_t(j)] = int(Trunc(c * o));
    dy[size_t(j)] = int(Trunc(-s * o));
  }
  for (int r = 0; r < H2; ++r) {
    const double t = r - (H2 / 2.0 - 0.5);
    const int x0 = int(Trunc(W / 2.0 - 0.5 + s * t)), y0 = int(Trunc(H / 2.0 - 0.5 + c * t));
    uint8_t* row = result.GetScanLine(r);
    for (int j = 0; j < W2; ++j) {
      const int x = x0 + dx[size_t(j)], y = y0 + dy[size_t(j)];
      const bool inside = x >= 0 && x < W && y >= 0 && y < H;
      if (inside ? source.Bit(x, y) : backgroundBit != 0) SetBit(row, j);
    }
    if (progress.OnProgress) progress.OnProgress(progress.Sender, int(Trunc(r * 100.0 / H2)));
  }
}

}  // namespace

void _rotate1bitEx(TIEBitmap* picture, int backgroundBit, TProgressRec& progress, double angle) {
  if (!picture || picture->GetPixelFormat() != ie1g || picture->GetWidth() <= 0 || picture->GetHeight() <= 0)
    return;
  TBitRows source(picture);
  TIEBitmap result;
  if (angle == 90)
    QuarterTurn(source, result, true);
  else if (angle == -90 || angle == 270)
    QuarterTurn(source, result, false);
  else if (angle == 180 || angle == -180)
    HalfTurn(source, result);
  else
    Sample(source, result, backgroundBit, progress, angle);
  picture->Assign(&result);
}

void _rotate1bit(TBitmap* bitmap, int backgroundBit, TProgressRec& progress, double angle) {
  if (!bitmap || bitmap->GetPixelFormat() != pf1bit) return;
  TIEBitmap picture;
  picture.EncapsulateTBitmap(bitmap);
  _rotate1bitEx(&picture, backgroundBit, progress, angle);
}
