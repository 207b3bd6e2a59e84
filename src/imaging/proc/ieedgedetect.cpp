// The work pictures are the input embedded in a 27-pixel margin that
// repeats the opposite side of the picture, so the filters need no border
// cases; the margin is cut off again at the end.
#include "imaging/proc/ieedgedetect.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kMargin = 27;
constexpr int kInner = 25;  // gradient and tracing keep this far from the edges

// A float or byte picture of the embedded size, rows top-down.
template <typename T>
struct TPlane {
  TPlane(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}
  T& At(int row, int column) { return pixels[static_cast<size_t>(row) * width + column]; }
  T At(int row, int column) const { return pixels[static_cast<size_t>(row) * width + column]; }
  int width;
  int height;
  std::vector<T> pixels;
};
using TFloats = TPlane<float>;
using TBytes = TPlane<uint8_t>;

int Wrap(int value, int size) { return ((value % size) + size) % size; }

TFloats Embedded(TBitmap* src) {
  const int w = src->GetWidth();
  const int h = src->GetHeight();
  std::vector<uint8_t> grey(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const TRGB*>(src->ScanLine(y));
    for (int x = 0; x < w; ++x)
      grey[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>((row[x].r * 21 + row[x].g * 71 + row[x].b * 8) / 100);
  }
  TFloats x(w + 2 * kMargin, h + 2 * kMargin);
  for (int i = 0; i < x.height; ++i)
    for (int j = 0; j < x.width; ++j)
      x.At(i, j) = grey[static_cast<size_t>(Wrap(i - kMargin, h)) * w + Wrap(j - kMargin, w)];
  return x;
}

// The causal and anti-causal exponential filter over n values `stride`
// apart.
void SmoothLine(float* data, int n, size_t stride, double b, std::vector<double>& A, std::vector<double>& B) {
  const double b1 = (1 - b) / (1 + b);
  const double b2 = b * b1;
  A.resize(n);
  B.resize(n);
  A[0] = b1 * data[0];
  for (int k = 1; k < n; ++k) A[k] = b1 * data[k * stride] + b * A[k - 1];
  B[n - 1] = b2 * data[(n - 1) * stride];
  for (int k = n - 2; k >= 0; --k) B[k] = b2 * data[k * stride] + b * B[k + 1];
  for (int k = 0; k < n - 1; ++k) data[k * stride] = static_cast<float>(A[k] + B[k + 1]);
  data[(n - 1) * stride] = static_cast<float>(A[n - 1]);
}

TFloats Smoothed(const TFloats& x, double b) {
  TFloats s = x;
  std::vector<double> A, B;
  for (int j = 0; j < s.width; ++j) SmoothLine(&s.At(0, j), s.height, s.width, b, A, B);
  for (int i = 0; i < s.height; ++i) SmoothLine(&s.At(i, 0), s.width, 1, b, A, B);
  return s;
}

TBytes Laplacian(const TFloats& s, const TFloats& x) {
  TBytes l(s.width, s.height);
  for (int i = kInner; i < s.height - kInner; ++i)
    for (int j = kInner; j < s.width - kInner; ++j) l.At(i, j) = s.At(i, j) - x.At(i, j) > 0 ? 1 : 0;
  return l;
}

// Mean of S where L = 0 minus mean where L = 1 over the window around
// (i, j), the window kept inside the picture.
float AdaptiveGradient(const TFloats& s, const TBytes& l, int i, int j, int half) {
  double sum[2] = {0, 0};
  int count[2] = {0, 0};
  for (int r = std::max(i - half, 0); r <= std::min(i + half, s.height - 1); ++r)
    for (int c = std::max(j - half, 0); c <= std::min(j + half, s.width - 1); ++c) {
      const int k = l.At(r, c) ? 1 : 0;
      sum[k] += s.At(r, c);
      ++count[k];
    }
  const double zero = sum[0] == 0 ? 0 : sum[0] / count[0];
  const double one = sum[1] == 0 ? 0 : sum[1] / count[1];
  return static_cast<float>(zero - one);
}

TFloats Gradient(const TFloats& s, const TBytes& l, int window) {
  TFloats g(s.width, s.height);
  const int half = std::max(window, 0) / 2;
  for (int i = kInner; i <= s.height - 26; ++i)
    for (int j = kInner; j <= s.width - 26; ++j) {
      if (l.At(i, j) != 1) continue;
      const float vertical = s.At(i + 1, j) - s.At(i - 1, j);
      const float horizontal = s.At(i, j + 1) - s.At(i, j - 1);
      const bool candidate = (l.At(i + 1, j) == 0 && vertical > 0) || (l.At(i, j + 1) == 0 && horizontal > 0) ||
                             (l.At(i - 1, j) == 0 && vertical < 0) || (l.At(i, j - 1) == 0 && horizontal < 0);
      if (candidate) g.At(i, j) = AdaptiveGradient(s, l, i, j, half);
    }
  return g;
}

void Thresholds(const TFloats& g, double ratio, bool hysteresis, double& high, double& low) {
  double vmin = std::fabs(g.At(20, 20));
  double vmax = vmin;
  for (int i = kInner; i < g.height - kInner; ++i)
    for (int j = kInner; j < g.width - kInner; ++j) {
      vmin = std::min<double>(vmin, g.At(i, j));
      vmax = std::max<double>(vmax, g.At(i, j));
    }
  const double scale = 256.0 / (vmax - vmin + 1);
  int histogram[256] = {};
  for (int i = kInner; i < g.height - kInner; ++i)
    for (int j = kInner; j < g.width - kInner; ++j)
      ++histogram[std::clamp(static_cast<int>(scale * (g.At(i, j) - vmin)), 0, 255)];
  const double target = std::trunc(g.height * ratio * g.width);
  int bin = 255;
  double sum = histogram[255];
  while (sum < target) {
    if (--bin < 0) break;
    sum += histogram[bin];
  }
  high = bin / scale + vmin;
  low = hysteresis ? high / 2 : high;
}

// Follows a chain from (i, j): each pixel entered goes on to its first
// neighbour that can be entered. The walk is a path, kept in a list rather
// than on the call stack, so chains as long as the picture is large cost
// memory, not stack. Marks 1 (strong), 255 (weak or thinned).
class TTracer {
 public:
  TTracer(const TFloats& g, TBytes& marks, double low, int thin) : g_(g), m_(marks), low_(low), thin_(thin) {}

  void Trace(int i, int j) {
    if (!Enter(i, j)) return;
    path_.clear();
    path_.push_back({i, j});
    static const int kNeighbours[8][2] = {{0, 1}, {0, -1}, {1, 1}, {1, 0}, {1, -1}, {-1, -1}, {-1, 0}, {-1, 1}};
    for (;;) {
      const TStep at = path_.back();
      bool moved = false;
      for (const auto& d : kNeighbours)
        if (Enter(at.i + d[0], at.j + d[1])) {
          path_.push_back({at.i + d[0], at.j + d[1]});
          moved = true;
          break;
        }
      if (!moved) break;
    }
    // Every pixel but the last found a neighbour; thinning marks those at
    // levels that are not multiples of the factor.
    if (thin_ <= 0) return;
    for (size_t level = 1; level + 1 < path_.size(); ++level)
      if (level % static_cast<size_t>(thin_) != 0) m_.At(path_[level].i, path_[level].j) = 255;
  }

 private:
  struct TStep {
    int i, j;
  };

  bool Enter(int i, int j) {
    if (i < 0 || j < 0 || i >= m_.height || j >= m_.width || m_.At(i, j) != 0 || g_.At(i, j) == 0) return false;
    m_.At(i, j) = g_.At(i, j) > low_ ? 1 : 255;
    return true;
  }

  const TFloats& g_;
  TBytes& m_;
  double low_;
  int thin_;
  std::vector<TStep> path_;
};

bool Step(TProgressRec& progress) { return IEProgressStep(progress); }

}  // namespace

void _IEEdgeDetect_ShenCastan(TBitmap* Src, TBitmap* Dst, double Ratio, double Smoothing, int AdaptiveWindow,
                              int ThinFactor, bool Hysteresis, TProgressRec& Progress) {
  if (!Src || !Dst || Src->GetPixelFormat() != pf24bit || Src->GetWidth() < 1 || Src->GetHeight() < 1) return;
  const int w = Src->GetWidth();
  const int h = Src->GetHeight();
  Progress.Counter = 0;
  Progress.Percent = 100.0 / 6;

  const TFloats x = Embedded(Src);
  Step(Progress);
  const TFloats s = Smoothed(x, Smoothing);
  Step(Progress);
  const TBytes l = Laplacian(s, x);
  Step(Progress);
  const TFloats g = Gradient(s, l, AdaptiveWindow);
  Step(Progress);

  double high = 0, low = 0;
  Thresholds(g, Ratio, Hysteresis, high, low);
  TBytes marks(g.width, g.height);
  TTracer tracer(g, marks, low, ThinFactor);
  for (int i = kInner; i < g.height - kInner; ++i)
    for (int j = kInner; j < g.width - kInner; ++j)
      if (g.At(i, j) > high) tracer.Trace(i, j);
  for (uint8_t& m : marks.pixels)
    if (m == 255) m = 0;
  Step(Progress);

  Dst->SetPixelFormat(pf1bit);
  Dst->SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = Dst->ScanLine(y);
    std::fill_n(row, Dst->BytesPerLine(), 0xFF);
    if (y == h - 1) continue;
    for (int xx = 1; xx < w; ++xx)
      if (marks.At(y + kMargin, xx + kMargin) != 0) row[xx >> 3] &= static_cast<uint8_t>(~(0x80 >> (xx & 7)));
  }
  Step(Progress);
}
