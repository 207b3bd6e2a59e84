// Rotation of 24-bit pictures: quarter turns, then three shears.
//
// The picture is turned in a memory copy (top row first) and written back
// once, so that pixel buffers on file storage, which map one row at a
// time, are read and written row by row.
#include "imaging/proc/ierotate.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "platform/graphics.h"
#include "platform/sysutils.h"

namespace {

struct TRGBImage {
  int width = 0;
  int height = 0;
  std::vector<TRGB> pixels;

  TRGBImage() = default;
  TRGBImage(int w, int h, const TRGB& fill) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
  TRGB* Row(int y) { return pixels.data() + size_t(y) * size_t(width); }
  const TRGB* Row(int y) const { return pixels.data() + size_t(y) * size_t(width); }
};

TRGBImage Load(TBitmap* bitmap) {
  TRGBImage image(bitmap->GetWidth(), bitmap->GetHeight(), TRGB{});
  for (int y = 0; y < image.height; ++y) std::memcpy(image.Row(y), bitmap->ScanLine(y), size_t(image.width) * 3);
  return image;
}

TRGBImage Load(TIEBitmap* picture) {
  TRGBImage image(picture->GetWidth(), picture->GetHeight(), TRGB{});
  for (int y = 0; y < image.height; ++y)
    std::memcpy(image.Row(y), picture->GetScanLine(y), size_t(image.width) * 3);
  return image;
}

void Store(const TRGBImage& image, TBitmap* bitmap) {
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(image.width, image.height);
  for (int y = 0; y < image.height; ++y) std::memcpy(bitmap->ScanLine(y), image.Row(y), size_t(image.width) * 3);
}

void Store(const TRGBImage& image, TIEBitmap* picture) {
  picture->Allocate(image.width, image.height, ie24RGB);
  for (int y = 0; y < image.height; ++y)
    std::memcpy(picture->GetScanLine(y), image.Row(y), size_t(image.width) * 3);
}

// Counter-clockwise: target row (W - 1 - c) receives source column c, top to bottom.
TRGBImage Rot90(const TRGBImage& source) {
  TRGBImage target(source.height, source.width, TRGB{});
  for (int r = 0; r < source.height; ++r) {
    const TRGB* src = source.Row(r);
    for (int c = 0; c < source.width; ++c) target.Row(source.width - 1 - c)[r] = src[c];
  }
  return target;
}

// Clockwise: target row c receives source column c, bottom to top.
TRGBImage Rot90o(const TRGBImage& source) {
  TRGBImage target(source.height, source.width, TRGB{});
  for (int r = 0; r < source.height; ++r) {
    const TRGB* src = source.Row(r);
    const int x = source.height - 1 - r;
    for (int c = 0; c < source.width; ++c) target.Row(c)[x] = src[c];
  }
  return target;
}

// a x G + b x K in 4096ths, rounded to the nearest level. G may be
// negative when a shift was rounded up; K is then above 4096.
inline uint8_t MixChannel(int a, int b, int G, int K) {
  const int v = (a * G + b * K + 2048) >> 12;
  return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

inline TRGB Mix(const TRGB& a, const TRGB& b, int G, int K) {
  return TRGB{MixChannel(a.b, b.b, G, K), MixChannel(a.g, b.g, G, K), MixChannel(a.r, b.r, G, K)};
}

// One line of a shear: the n source pixels (every srcStep-th) go to
// positions F .. F + n - 1 of the m-long target line (every dstStep-th),
// which already holds the background; those falling outside are dropped.
// With antialias each written pixel mixes the previous written one (G) with
// itself (K), and the pixel after the last one mixes it with the background.
void ShearLine(const TRGB* src, ptrdiff_t srcStep, int n, TRGB* dst, ptrdiff_t dstStep, int m, int64_t F, int G,
               const TRGB& background, bool antialias) {
  const int K = 4096 - G;
  const int64_t first = std::max<int64_t>(0, -F), last = std::min<int64_t>(n, m - F);
  if (!antialias) {
    for (int64_t i = first; i < last; ++i) dst[(F + i) * dstStep] = src[i * srcStep];
    return;
  }
  TRGB previous = background;
  for (int64_t i = first; i < last; ++i) {
    const TRGB current = src[i * srcStep];
    dst[(F + i) * dstStep] = Mix(previous, current, G, K);
    previous = current;
  }
  if (G > 0 && F + n >= 0 && F + n < m) dst[(F + n) * dstStep] = Mix(previous, background, G, K);
}

int RoundInt(double value) { return int(Round(value)); }

// Counts the shear lines for the progress event.
class TShearProgress {
 public:
  TShearProgress(const TIEProgressEvent& onProgress, TObject* sender, double lines)
      : onProgress_(onProgress), sender_(sender), lines_(lines) {}
  void Line() {
    if (onProgress_) onProgress_(sender_, int(Trunc(count_ * 100 / lines_)));
    ++count_;
  }

 private:
  const TIEProgressEvent& onProgress_;
  TObject* sender_;
  double lines_;
  int64_t count_ = 0;
};

// Turns T by theta (|theta| <= 45 degrees, in radians) with three shears.
TRGBImage Shear(const TRGBImage& T, double theta, bool antialias, const TRGB& background,
                const TIEProgressEvent& onProgress, TObject* sender) {
  const int W = T.width, H = T.height;
  const double t = std::fabs(std::sin(theta / 2) / std::cos(theta / 2)), s = std::fabs(std::sin(theta));
  const int W1 = RoundInt(H * t + W + 1);
  const int D = RoundInt((W1 - W) * s);
  const int H2 = RoundInt(W1 * s + H + 1);
  const int D2 = RoundInt((H2 - H - D) * t);
  const int H3 = std::max(H2 - 2 * D, 1);
  const int W3 = std::max(RoundInt(H3 * t + W1 + 1 - 2 * D2), 1);
  const bool positive = theta > 0;
  TShearProgress progress(onProgress, sender, H + W1 + H3 + 0.5);

  TRGBImage B(W1, H, background);
  for (int E = 0; E < H; ++E) {
    progress.Line();
    const double N = (positive ? E : H - E) * t;
    const int n = RoundInt(N);
    ShearLine(T.Row(E), 1, W, B.Row(E), 1, W1, n, int(Trunc((N - n) * 4096)), background, antialias);
  }

  TRGBImage C(W1, H3, background);
  for (int P = 0; P < W1; ++P) {
    progress.Line();
    const double Q = (positive ? W1 - P : P) * s;
    const int R = RoundInt(Q);
    ShearLine(B.Row(0) + P, W1, H, C.Row(0) + P, W1, H3, R - D, RoundInt((Q - R) * 4096), background, antialias);
  }
  B = TRGBImage();

  TRGBImage result(W3, H3, background);
  for (int E = 0; E < H3; ++E) {
    progress.Line();
    const double Rs = (positive ? E : H3 - E) * t;
    const int S = RoundInt(Rs);
    ShearLine(C.Row(E), 1, W1, result.Row(E), 1, W3, S - D2, RoundInt((Rs - S) * 4096), background, antialias);
  }
  return result;
}

// Turns the image in place: quarter turns while more than 45 degrees remain,
// then the shears for what is left.
void Rotate(TRGBImage& image, double angle, bool antialias, const TRGB& background,
            const TIEProgressEvent& onProgress, TObject* sender) {
  // Thousandths of a degree within one turn (the remainder keeps the sign).
  double f = double(Trunc(angle * 1000) % 360000) / 1000;
  while (f > 45) {
    image = Rot90(image);
    f -= 90;
  }
  while (f < -45) {
    image = Rot90o(image);
    f += 90;
  }
  if (f == 0) return;
  image = Shear(image, f * std::numbers::pi / 180, antialias, background, onProgress, sender);
}

}  // namespace

void _Rotate24(TBitmap* bitmap, double angle, bool antialias, const TRGB& background,
               const TIEProgressEvent& OnProgress, TObject* Sender) {
  if (!bitmap || bitmap->GetPixelFormat() != pf24bit || bitmap->GetEmpty()) return;
  TRGBImage image = Load(bitmap);
  Rotate(image, angle, antialias, background, OnProgress, Sender);
  Store(image, bitmap);
}

void _RotateEx(TIEBitmap* picture, double angle, bool antialias, const TRGB& background) {
  if (!picture || angle == 0) return;
  if (picture->GetPixelFormat() != ie24RGB) {
    TProgressRec none;
    _rotate1bitEx(picture, background.r && background.g && background.b ? 1 : 0, none, angle);
    return;
  }
  if (picture->GetWidth() <= 0 || picture->GetHeight() <= 0) return;
  TRGBImage image = Load(picture);
  Rotate(image, angle, antialias, background, nullptr, nullptr);
  Store(image, picture);
}

void _Rot90(TBitmap* source, TBitmap* target) {
  if (!source || !target || source->GetPixelFormat() != pf24bit) return;
  Store(Rot90(Load(source)), target);
}

void _Rot90o(TBitmap* source, TBitmap* target) {
  if (!source || !target || source->GetPixelFormat() != pf24bit) return;
  Store(Rot90o(Load(source)), target);
}

void _Rot90Ex(TIEBitmap* source, TIEBitmap* target) {
  if (!source || !target || source->GetPixelFormat() != ie24RGB) return;
  Store(Rot90(Load(source)), target);
}

void _Rot90oEx(TIEBitmap* source, TIEBitmap* target) {
  if (!source || !target || source->GetPixelFormat() != ie24RGB) return;
  Store(Rot90o(Load(source)), target);
}
