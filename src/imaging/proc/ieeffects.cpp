#include "imaging/proc/ieeffects.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "imaging/core/iebitmapcopy.h"
#include "platform/canvas.h"

namespace {

constexpr double kPi = std::numbers::pi;

uint8_t RoundByte(double v) { return uint8_t(std::clamp(std::nearbyint(v), 0.0, 255.0)); }

// Trunc of a real that may lie far outside the int range.
int TruncBounded(double v) { return int(std::clamp(v, -1e9, 1e9)); }

uint8_t Grey(const TRGB& c) { return uint8_t((c.r * 21 + c.g * 71 + c.b * 8) / 100); }

bool Report(TProgressRec& progress, int done) {
  if (progress.OnProgress) progress.OnProgress(progress.Sender, TruncBounded(done * progress.Percent));
  return progress.Aborting && *progress.Aborting;
}

// Brightest (255) at the centre, 0 from distance 1 outwards.
std::vector<uint8_t> LightMap() {
  std::vector<uint8_t> map(256 * 256);
  for (int i = 0; i < 256; ++i)
    for (int j = 0; j < 256; ++j) {
      const double di = (i - 128) / 128.0, dj = (j - 128) / 128.0;
      const double v = std::max(0.0, 1 - std::sqrt(di * di + dj * dj)) * 256;
      map[i * 256 + j] = uint8_t(std::min(255, int(v)));
    }
  return map;
}

// One coordinate refracted through an ellipsoidal lens of height z.
double Refract(double p, double z, double n) {
  const double alpha = std::acos(p / std::sqrt(p * p + z * z));
  const double beta = std::asin(std::sin(kPi / 2 - alpha) / n);
  return p - z * std::tan(kPi / 2 - alpha - beta);
}

}  // namespace

void _BumpMapping(TBitmap* bitmap, int lightX, int lightY, int lightWidth, int lightHeight, int mix, TRGB colour,
                  int x1, int y1, int x2, int y2, TProgressRec& progress) {
  if (!bitmap || bitmap->GetPixelFormat() != pf24bit || lightWidth == 0 || lightHeight == 0) return;
  // Inclusive from here; corners before the picture would read before it.
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, bitmap->GetWidth()) - 1;
  y2 = std::min(y2, bitmap->GetHeight()) - 1;
  if (x1 > x2 || y1 > y2) return;
  progress.Percent = 100.0 / (y2 - y1 + 0.5);
  const std::vector<uint8_t> map = LightMap();

  const int columns = x2 - x1 + 1;
  std::vector<uint8_t> grey(size_t(columns) * size_t(y2 - y1 + 1));
  auto g = [&](int x, int y) -> int { return grey[size_t(y - y1) * columns + (x - x1)]; };
  for (int y = y1; y <= y2; ++y) {
    const auto* row = reinterpret_cast<const TRGB*>(bitmap->ScanLine(y));
    for (int x = x1; x <= x2; ++x) grey[size_t(y - y1) * columns + (x - x1)] = Grey(row[x]);
  }

  const double a = mix / 100.0, b = (100 - mix) / 100.0;
  const double cR = colour.r / 255.0, cG = colour.g / 255.0, cB = colour.b / 255.0;
  for (int y = y1; y <= y2; ++y) {
    auto* row = reinterpret_cast<TRGB*>(bitmap->ScanLine(y));
    const int above = std::max(y - 1, y1), below = std::min(y + 1, y2);
    const int lightRow = TruncBounded(double(y - lightY) / lightHeight * 128);
    for (int x = x1; x <= x2; ++x) {
      const int gx = g(std::min(x + 1, x2), y) - g(std::max(x - 1, x1), y);
      const int gy = g(x, below) - g(x, above);
      const int64_t i = std::clamp<int64_t>(int64_t(gx) - TruncBounded(double(x - lightX) / lightWidth * 128) + 128, 0, 255);
      const int64_t j = std::clamp<int64_t>(int64_t(gy) - lightRow + 128, 0, 255);
      const double light = map[i * 256 + j] * b;
      TRGB& p = row[x];
      p = TRGB{RoundByte(p.b * a + light * cB), RoundByte(p.g * a + light * cG), RoundByte(p.r * a + light * cR)};
    }
    if (Report(progress, y - y1 + 1)) return;
  }
}

void _lens(TBitmap* bitmap, int x, int y, int width, int height, double refraction, TProgressRec& progress) {
  if (!bitmap || bitmap->GetPixelFormat() != pf24bit) return;
  const int W = bitmap->GetWidth(), H = bitmap->GetHeight();
  if (W <= 0 || H <= 0) return;
  auto clampTo = [](int64_t v, int hi) { return int(std::clamp<int64_t>(v, 0, hi)); };
  const int left = clampTo(int64_t(x) - width / 2, W - 1), top = clampTo(int64_t(y) - height / 2, H - 1);
  const int right = clampTo(int64_t(x) + width / 2, W - 1), bottom = clampTo(int64_t(y) + height / 2, H - 1);
  const int lw = right - left, lh = bottom - top;
  if (lw <= 0 || lh <= 0) return;
  const double a = lw / 2.0, b = lh / 2.0, n = std::max(refraction, 1.0), rmin = std::min(a, b);
  progress.Percent = 100.0 / (lw - 1 + 0.5);

  TBitmap lens;
  lens.SetPixelFormat(pf24bit);
  lens.SetSize(lw, lh);
  for (int c = 0; c < lw; ++c) {
    const double px = c - a + 0.5;
    for (int r = 0; r < lh; ++r) {
      const double py = b - r - 0.5;
      int sx = left + c, sy = top + r;
      if (b * b - b * b * px * px / (a * a) > py * py) {
        const double z = std::sqrt((1 - px * px / (a * a) - py * py / (b * b)) * rmin * rmin);
        sx = std::clamp(left + TruncBounded(Refract(px, z, n) + a), 0, W - 1);
        sy = std::clamp(top + TruncBounded(b - Refract(py, z, n)), 0, H - 1);
      }
      reinterpret_cast<TRGB*>(lens.ScanLine(r))[c] = reinterpret_cast<const TRGB*>(bitmap->ScanLine(sy))[sx];
    }
    if (Report(progress, c + 1)) return;
  }
  bitmap->GetCanvas()->Draw(left, top, &lens);
}

void _wave(TBitmap* bitmap, int amplitude, int waveLength, int phase, bool reflective, TProgressRec& progress) {
  if (!bitmap || bitmap->GetPixelFormat() != pf24bit || amplitude == 0 || waveLength == 0) return;
  const int W = bitmap->GetWidth(), H = bitmap->GetHeight();
  if (W <= 0 || H <= 0) return;
  TBitmap copy;
  IECopyBitmap(bitmap, &copy);
  progress.Percent = 100.0 / H;
  const double theta0 = phase * kPi / 180, cx = (W - 1) / 2.0, cy = (H - 1) / 2.0, L2 = 2.0 * waveLength;
  double sx = 1, sy = 1;
  if (W > H) sy = double(W) / H;
  if (W < H) sx = double(H) / W;

  // Rows count from the bottom, in the picture and in the copy alike.
  auto sample = [&](int col, int rowFromBottom, int channel) -> double {
    if (col < 0 || col >= W || rowFromBottom < 0 || rowFromBottom >= H) return 0;
    return copy.ScanLine(H - 1 - rowFromBottom)[col * 3 + channel];
  };
  for (int yb = 0; yb < H; ++yb) {
    auto* row = bitmap->ScanLine(H - 1 - yb);
    for (int x = 0; x < W; ++x) {
      const double dx = (x - cx) * sx, dy = (yb - cy) * sy;
      const double w = std::sin(std::sqrt(dx * dx + dy * dy) / L2 * 2 * kPi + theta0);
      double X, Y;
      if (reflective) {
        const double k = std::abs(w) * amplitude;
        X = cx + dx * k / sx;
        Y = cy + dy * k / sy;
      } else {
        const double k = w * amplitude;
        X = (k + dx) / sx + cx;
        Y = (k + dy) / sy + cy;
      }
      const int tx = TruncBounded(X), ty = TruncBounded(Y);
      const int ix = std::max(0, std::min(tx, W - 2)), iy = std::max(0, std::min(ty, H - 2));
      double u = X - std::trunc(X), v = Y - std::trunc(Y);
      if (u < 0) u += 1;
      if (v < 0) v += 1;
      for (int ch = 0; ch < 3; ++ch) {
        const double value = (1 - v) * ((1 - u) * sample(ix, iy, ch) + u * sample(ix + 1, iy, ch)) +
                             v * ((1 - u) * sample(ix, iy + 1, ch) + u * sample(ix + 1, iy + 1, ch));
        row[x * 3 + ch] = uint8_t(std::clamp(std::trunc(value), 0.0, 255.0));
      }
    }
    if (Report(progress, yb)) return IECopyBitmap(&copy, bitmap);
  }
}
