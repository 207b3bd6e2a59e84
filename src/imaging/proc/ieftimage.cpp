#include "imaging/proc/ieftimage.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "platform/graphics.h"
#include "platform/sysutils.h"

namespace {

using Complex = std::complex<double>;

// In place, kernel exp(sign 2 pi i n k / N), scaled by 1 / sqrt(N).
void Fft(std::vector<Complex>& a, int sign) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const double angle = sign * 2 * std::numbers::pi / double(len);
    const Complex step(std::cos(angle), std::sin(angle));
    for (size_t i = 0; i < n; i += len) {
      Complex w(1);
      for (size_t k = 0; k < len / 2; ++k) {
        const Complex u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
        w *= step;
      }
    }
  }
  const double scale = 1 / std::sqrt(double(n));
  for (Complex& c : a) c *= scale;
}

// Channel c of a pixel: 0 red, 1 green, 2 blue, 3 gray.
uint8_t Channel(const uint8_t* bgr, int c) {
  if (c == 3) return uint8_t((bgr[2] * 21 + bgr[1] * 71 + bgr[0] * 8) / 100);
  return bgr[2 - c];
}

}  // namespace

std::vector<TIEFtImage::TPlane*> TIEFtImage::Planes() {
  std::vector<TPlane*> planes;
  for (TPlane* p : {&red_, &green_, &blue_, &gray_})
    if (!p->empty()) planes.push_back(p);
  return planes;
}

std::vector<const TIEFtImage::TPlane*> TIEFtImage::Planes() const {
  std::vector<const TPlane*> planes;
  for (const TPlane* p : {&red_, &green_, &blue_, &gray_})
    if (!p->empty()) planes.push_back(p);
  return planes;
}

void TIEFtImage::FreeAll() {
  for (TPlane* p : {&red_, &green_, &blue_, &gray_}) TPlane().swap(*p);
}

void TIEFtImage::Transform(TPlane& plane, int sign, int pass, int passes) const {
  const size_t N = size_t(side_);
  std::vector<Complex> line(N);
  for (size_t y = 0; y < N; ++y) {
    float* row = plane.data() + y * 2 * N;
    for (size_t x = 0; x < N; ++x) line[x] = Complex(row[x], row[N + x]);
    Fft(line, sign);
    for (size_t x = 0; x < N; ++x) {
      row[x] = float(line[x].real());
      row[N + x] = float(line[x].imag());
    }
  }
  const double step = 100.0 / (double(passes) * double(N));
  for (size_t x = 0; x < N; ++x) {
    for (size_t y = 0; y < N; ++y) line[y] = Complex(plane[y * 2 * N + x], plane[y * 2 * N + N + x]);
    Fft(line, sign);
    for (size_t y = 0; y < N; ++y) {
      plane[y * 2 * N + x] = float(line[y].real());
      plane[y * 2 * N + N + x] = float(line[y].imag());
    }
    if (OnProgress) OnProgress(nullptr, int(std::trunc(double(x) * step + pass * double(N) * step)));
  }
}

void TIEFtImage::BuildFT(TBitmap* bitmap, TIEFtImageType type) {
  if (!bitmap || bitmap->GetPixelFormat() != pf24bit) return;
  const int W = bitmap->GetWidth(), H = bitmap->GetHeight();
  int N = 1;
  while (N < std::max(W, H)) N *= 2;
  if (W <= 0 || H <= 0) throw Exception("The picture is empty: there is nothing to transform.");
  if (N > kMaxSide)
    throw Exception("The picture is too large for the Fourier filter (" + std::to_string(W) + " x " +
                    std::to_string(H) + "; at most " + std::to_string(kMaxSide) + " pixels a side).");
  FreeAll();
  type_ = type;
  side_ = N;
  sourceWidth_ = W;
  sourceHeight_ = H;
  offsetX_ = (N - W) / 2;
  offsetY_ = (N - H) / 2;
  std::vector<int> channels;
  if (type == ieitRGB) channels = {0, 1, 2};
  if (type == ieitGrayscale) channels = {3};
  TPlane* targets[] = {&red_, &green_, &blue_, &gray_};
  int pass = 0;
  for (int c : channels) {
    TPlane& plane = *targets[c];
    plane.assign(size_t(N) * 2 * size_t(N), 0.0f);
    int largest = 1;
    for (int y = 0; y < H; ++y) {
      const uint8_t* row = bitmap->ScanLine(y);
      for (int x = 0; x < W; ++x) largest = std::max<int>(largest, Channel(row + size_t(x) * 3, c));
    }
    for (int y = 0; y < H; ++y) {
      const uint8_t* row = bitmap->ScanLine(y);
      const int py = y + offsetY_;
      for (int x = 0; x < W; ++x) {
        const int px = x + offsetX_;
        // The alternating sign centres the spectrum.
        const float v = float(Channel(row + size_t(x) * 3, c)) / float(largest);
        plane[size_t(py) * 2 * size_t(N) + size_t(px)] = (px + py) % 2 ? -v : v;
      }
    }
    Transform(plane, -1, pass++, int(channels.size()));
  }
}

void TIEFtImage::GetFTImage(TBitmap* bitmap) const {
  if (!bitmap) return;
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(side_, side_);
  const size_t N = size_t(side_);
  const TPlane* planes[] = {&red_, &green_, &blue_, &gray_};
  for (int c = 0; c < 4; ++c) {
    const TPlane& plane = *planes[c];
    if (plane.empty()) continue;
    std::vector<float> values(N * N);
    float largest = -1e20f, smallest = 1e20f;
    for (size_t y = 0; y < N; ++y)
      for (size_t x = 0; x < N; ++x) {
        const float re = plane[y * 2 * N + x], im = plane[y * 2 * N + N + x];
        const float m = std::sqrt(re * re + im * im);
        const float v = m > 0 ? std::log(std::sqrt(m)) : 0.0f;
        values[y * N + x] = v;
        largest = std::max(largest, v);
        smallest = std::min(smallest, v);
      }
    if (smallest > -0.00001f && smallest < 0.00001f) smallest = 0;
    const float scale = largest != smallest ? 255 / (largest - smallest) : 0;
    for (size_t y = 0; y < N; ++y) {
      uint8_t* row = bitmap->ScanLine(int(y));
      for (size_t x = 0; x < N; ++x) {
        const uint8_t b = uint8_t(std::clamp(int(std::trunc((values[y * N + x] - smallest) * scale)), 0, 255));
        if (c == 3)
          row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = b;
        else
          row[x * 3 + size_t(2 - c)] = b;
      }
    }
  }
  bitmap->Changed();
}

void TIEFtImage::BuildBitmap(TBitmap* bitmap) const {
  if (!bitmap) return;
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(sourceWidth_, sourceHeight_);
  const size_t N = size_t(side_);
  const TPlane* planes[] = {&red_, &green_, &blue_, &gray_};
  const int passes = type_ == ieitRGB ? 3 : 1;
  int pass = 0;
  for (int c = 0; c < 4; ++c) {
    if (planes[c]->empty()) continue;
    TPlane plane = *planes[c];
    Transform(plane, +1, pass++, passes);
    float largest = -1e20f, smallest = 1e20f;
    for (size_t y = 0; y < N; ++y)
      for (size_t x = 0; x < N; ++x) {
        float& re = plane[y * 2 * N + x];
        re = std::abs(re);
        largest = std::max(largest, re);
        smallest = std::min(smallest, re);
      }
    const float scale = largest != smallest ? 255 / (largest - smallest) : 0;
    for (int y = 0; y < sourceHeight_; ++y) {
      uint8_t* row = bitmap->ScanLine(y);
      const size_t py = size_t(y + offsetY_);
      for (int x = 0; x < sourceWidth_; ++x) {
        const float v = (plane[py * 2 * N + size_t(x + offsetX_)] - smallest) * scale;
        const uint8_t b = uint8_t(std::clamp(int(std::trunc(v)), 0, 255));
        if (c == 3)
          row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = b;
        else
          row[x * 3 + 2 - c] = b;
      }
    }
  }
  bitmap->Changed();
}

TIEFtElementRefs TIEFtImage::GetComplexImage(int x, int y) {
  TIEFtElementRefs refs;
  if (x < 0 || y < 0 || x >= side_ || y >= side_) return refs;
  const size_t N = size_t(side_), at = size_t(y) * 2 * N + size_t(x);
  auto element = [&](TPlane& plane, float*& re, float*& im) {
    if (plane.empty()) return;
    re = &plane[at];
    im = &plane[at + N];
  };
  element(red_, refs.RedReal, refs.RedImag);
  element(blue_, refs.BlueReal, refs.BlueImag);
  element(green_, refs.GreenReal, refs.GreenImag);
  element(gray_, refs.GrayReal, refs.GrayImag);
  return refs;
}

void TIEFtImage::ClearZone(int x1, int y1, int x2, int y2) {
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, side_ - 1);
  y2 = std::min(y2, side_ - 1);
  const size_t N = size_t(side_);
  for (TPlane* plane : Planes())
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x) {
        (*plane)[size_t(y) * 2 * N + size_t(x)] = 0;
        (*plane)[size_t(y) * 2 * N + N + size_t(x)] = 0;
      }
}

void TIEFtImage::HiPass(int radius) {
  const int c = side_ / 2;
  for (int y = 0; y < side_; ++y)
    for (int x = 0; x < side_; ++x)
      if (int(std::trunc(std::hypot(x - c, y - c))) <= radius) ClearZone(x, y, x, y);
}

void TIEFtImage::LoPass(int radius) {
  const int c = side_ / 2;
  for (int y = 0; y < side_; ++y)
    for (int x = 0; x < side_; ++x)
      if (int(std::trunc(std::hypot(x - c, y - c))) > radius) ClearZone(x, y, x, y);
}
