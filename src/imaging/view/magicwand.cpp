#include "imaging/view/magicwand.h"

#include <algorithm>
#include <cstdlib>

#include "imaging/core/iemask.h"
#include "platform/graphics.h"

namespace {

// The picture, the seed colour and the pixels filled so far.
class TRegion {
 public:
  TRegion(TBitmap* bitmap, int32_t x, int32_t y, int32_t tolerance)
      : bitmap_(bitmap),
        width_(bitmap->GetWidth()),
        height_(bitmap->GetHeight()),
        tolerance_(tolerance),
        filled_(size_t(width_) * size_t(height_), false) {
    const uint8_t* seed = bitmap->ScanLine(y) + int64_t(x) * 3;
    std::copy(seed, seed + 3, seed_);
  }

  bool Resembles(int32_t x, int32_t y) const {
    const uint8_t* p = bitmap_->ScanLine(y) + int64_t(x) * 3;
    for (int c = 0; c < 3; ++c)
      if (std::abs(int(p[c]) - int(seed_[c])) > tolerance_) return false;
    return true;
  }
  bool Filled(int32_t x, int32_t y) const { return filled_[size_t(y) * size_t(width_) + size_t(x)]; }
  bool Fillable(int32_t x, int32_t y) const { return Resembles(x, y) && !Filled(x, y); }
  void Fill(int32_t x, int32_t y) {
    filled_[size_t(y) * size_t(width_) + size_t(x)] = true;
    MinX = std::min(MinX, x);
    MaxX = std::max(MaxX, x);
    MinY = std::min(MinY, y);
    MaxY = std::max(MaxY, y);
  }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

  // The scan-line seed fill with a stack of segments.
  void FloodFrom(int32_t x, int32_t y) {
    struct TSegment {
      int32_t row, left, right, dir;
    };
    std::vector<TSegment> stack;
    stack.reserve(size_t(width_) * 2);
    stack.push_back({y, x, x, 1});
    stack.push_back({y + 1, x, x, -1});
    while (!stack.empty()) {
      const TSegment s = stack.back();
      stack.pop_back();
      const int32_t row = s.row + s.dir;
      if (row < 0 || row >= height_) continue;
      int32_t cx = s.left;
      while (cx >= 0 && Fillable(cx, row)) Fill(cx--, row);
      int32_t start = 0;
      bool scanRight = false;
      if (cx != s.left) {
        start = cx + 1;
        // The part that leaks back toward the parent row.
        if (start < s.left - 1) stack.push_back({row, start, s.left - 1, -s.dir});
        cx = s.left + 1;
        scanRight = true;
      }
      do {
        if (scanRight) {
          while (cx < width_ && Fillable(cx, row)) Fill(cx++, row);
          stack.push_back({row, start, cx - 1, s.dir});
          if (cx - 1 > s.right + 1) stack.push_back({row, s.right + 1, cx - 1, -s.dir});
        }
        for (++cx; cx <= s.right && !Fillable(cx, row); ++cx) {
        }
        start = cx;
        scanRight = true;
      } while (cx <= s.right);
    }
  }

  int32_t MinX = INT32_MAX, MinY = INT32_MAX, MaxX = -1, MaxY = -1;

 private:
  TBitmap* bitmap_;
  int32_t width_, height_, tolerance_;
  uint8_t seed_[3];
  std::vector<bool> filled_;
};

bool Usable(TBitmap* bitmap, int32_t x, int32_t y) {
  return bitmap && bitmap->GetPixelFormat() == pf24bit && x >= 0 && y >= 0 && x < bitmap->GetWidth() &&
         y < bitmap->GetHeight();
}

// Neighbours in the order they are tried, with their chain codes.
struct TStep {
  int dx, dy, code;
};
constexpr TStep kSteps[8] = {{1, 0, 0},  {0, -1, 2},  {-1, 0, 4}, {0, 1, 6},
                             {1, -1, 1}, {-1, -1, 3}, {-1, 1, 5}, {1, 1, 7}};
// Moves of chain code k (y grows downwards).
constexpr int kCodeDX[8] = {1, 1, 0, -1, -1, -1, 0, 1};
constexpr int kCodeDY[8] = {0, -1, -1, -1, 0, 1, 1, 1};

// The region's outer contour, traced on a grid four times finer than the
// picture with a border of two empty cells.
std::vector<TPoint> TraceContour(const TRegion& region, bool grow) {
  const int32_t bw = region.MaxX - region.MinX + 1, bh = region.MaxY - region.MinY + 1;
  std::vector<uint8_t> box(size_t(bw) * size_t(bh), 0);
  for (int32_t r = 0; r < bh; ++r)
    for (int32_t c = 0; c < bw; ++c) {
      if (!region.Filled(region.MinX + c, region.MinY + r)) continue;
      if (!grow) {
        box[size_t(r) * bw + c] = 1;
        continue;
      }
      for (int32_t gr = std::max(r - 1, 0); gr <= std::min(r + 1, bh - 1); ++gr)
        for (int32_t gc = std::max(c - 1, 0); gc <= std::min(c + 1, bw - 1); ++gc) box[size_t(gr) * bw + gc] = 1;
    }

  const int32_t rows = bh * 4 + 4, cols = bw * 4 + 4;
  std::vector<uint8_t> grid(size_t(rows) * size_t(cols), 0);
  auto cell = [&](int32_t r, int32_t c) -> uint8_t& { return grid[size_t(r) * size_t(cols) + size_t(c)]; };
  for (int32_t r = 0; r < bh; ++r)
    for (int32_t c = 0; c < bw; ++c)
      if (box[size_t(r) * bw + c])
        for (int32_t i = 0; i < 4; ++i)
          for (int32_t j = 0; j < 4; ++j) cell(4 * r + 2 + i, 4 * c + 2 + j) = 1;

  // Contour candidates: the cells just outside every run, in four scans.
  for (int32_t r = 0; r < rows; ++r) {
    for (int32_t c = 1; c < cols; ++c)
      if (cell(r, c) == 1 && cell(r, c - 1) != 1) cell(r, c - 1) = 3;
    for (int32_t c = cols - 2; c >= 0; --c)
      if (cell(r, c) == 1 && cell(r, c + 1) != 1) cell(r, c + 1) = 3;
  }
  for (int32_t c = 0; c < cols; ++c) {
    for (int32_t r = 1; r < rows; ++r)
      if (cell(r, c) == 1 && cell(r - 1, c) != 1) cell(r - 1, c) = 3;
    for (int32_t r = rows - 2; r >= 0; --r)
      if (cell(r, c) == 1 && cell(r + 1, c) != 1) cell(r + 1, c) = 3;
  }

  // Start at the candidate nearest to the corner of the smallest column
  // and the smallest row.
  int32_t cornerR = rows, cornerC = cols;
  for (int32_t r = 0; r < rows; ++r)
    for (int32_t c = 0; c < cols; ++c)
      if (cell(r, c) == 3) {
        cornerR = std::min(cornerR, r);
        cornerC = std::min(cornerC, c);
      }
  int32_t startR = -1, startC = -1;
  int64_t best = INT64_MAX;
  for (int32_t r = 0; r < rows; ++r)
    for (int32_t c = 0; c < cols; ++c)
      if (cell(r, c) == 3) {
        const int64_t d = int64_t(r - cornerR) * (r - cornerR) + int64_t(c - cornerC) * (c - cornerC);
        if (d < best) {
          best = d;
          startR = r;
          startC = c;
        }
      }
  if (startR < 0) return {};
  cell(startR, startC) = 2;

  auto isCandidate = [&](int32_t r, int32_t c) {
    return r >= 0 && c >= 0 && r < rows && c < cols && cell(r, c) == 3;
  };
  std::vector<int> codes;
  int32_t r = startR, c = startC;
  int last = 4;
  for (;;) {
    if (isCandidate(r + kSteps[last].dy, c + kSteps[last].dx)) {
      r += kSteps[last].dy;
      c += kSteps[last].dx;
      cell(r, c) = 2;
      codes.push_back(kSteps[last].code);
    }
    int found = -1;
    for (int k = 0; k < 8 && found < 0; ++k)
      if (isCandidate(r + kSteps[k].dy, c + kSteps[k].dx)) found = k;
    if (found < 0) break;
    r += kSteps[found].dy;
    c += kSteps[found].dx;
    cell(r, c) = 2;
    codes.push_back(kSteps[found].code);
    last = found;
  }
  for (const TStep& s : kSteps)
    if (r + s.dy == startR && c + s.dx == startC && (r != startR || c != startC)) {
      codes.push_back(s.code);
      break;
    }

  int64_t px = int64_t(startC) + 4 * int64_t(region.MinX) - 1;
  int64_t py = int64_t(startR) + 4 * int64_t(region.MinY) - 1;
  std::vector<TPoint> points{{int(px / 4), int(py / 4)}};
  int previous = codes.empty() ? 0 : codes.front();
  for (int code : codes) {
    if (code != previous) points.push_back({int(px / 4), int(py / 4)});
    px += kCodeDX[code];
    py += kCodeDY[code];
    previous = code;
  }
  return points;
}

}  // namespace

std::vector<TPoint> _MakeMagicWandPoints(TBitmap* Bitmap, int32_t x, int32_t y, bool Grow, int32_t Tolerance,
                                         int32_t& Count) {
  Count = 0;
  if (!Usable(Bitmap, x, y)) return {};
  TRegion region(Bitmap, x, y, Tolerance);
  region.FloodFrom(x, y);
  if (region.MaxX < 0) return {};
  std::vector<TPoint> points = TraceContour(region, Grow);
  Count = int32_t(points.size());
  return points;
}

void _MakeMagicWandPointsEx(TBitmap* Bitmap, int32_t x, int32_t y, bool Grow, int32_t Tolerance, TIEMask* Mask) {
  if (!Mask || !Usable(Bitmap, x, y)) return;
  TRegion region(Bitmap, x, y, Tolerance);
  region.FloodFrom(x, y);
  for (int32_t py = region.MinY; py <= region.MaxY; ++py)
    for (int32_t px = region.MinX; px <= region.MaxX; ++px) {
      if (!region.Filled(px, py)) continue;
      if (!Grow) {
        Mask->SetPixel(px, py, 1);
        continue;
      }
      for (int32_t gy = std::max(py - 1, 0); gy <= std::min(py + 1, region.Height() - 1); ++gy)
        for (int32_t gx = std::max(px - 1, 0); gx <= std::min(px + 1, region.Width() - 1); ++gx)
          Mask->SetPixel(gx, gy, 1);
    }
}

void _MakeMagicWandPointsEx2(TBitmap* Bitmap, int32_t x, int32_t y, int32_t Tolerance, TIEMask* Mask) {
  if (!Mask || !Usable(Bitmap, x, y)) return;
  const TRegion region(Bitmap, x, y, Tolerance);
  for (int32_t py = 0; py < region.Height(); ++py)
    for (int32_t px = 0; px < region.Width(); ++px)
      if (region.Resembles(px, py)) Mask->SetPixel(px, py, 1);
}
