#include "imaging/proc/ieresample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iemask.h"
#include "platform/canvas.h"
#include "platform/graphics.h"

// Kernels ---------------------------------------------------------------------------

double IETriangleFilter(double x) {
  const double t = std::fabs(x);
  return t < 1 ? 1 - t : 0;
}

double IEHermiteFilter(double x) {
  const double t = std::fabs(x);
  return t < 1 ? (2 * t - 3) * t * t + 1 : 0;
}

double IEBellFilter(double x) {
  const double t = std::fabs(x);
  if (t < 0.5) return 0.75 - t * t;
  if (t < 1.5) return 0.5 * (t - 1.5) * (t - 1.5);
  return 0;
}

double IEBSplineFilter(double x) {
  const double t = std::fabs(x);
  if (t < 1) return 0.5 * t * t * t - t * t + 2.0 / 3.0;
  if (t < 2) return (2 - t) * (2 - t) * (2 - t) / 6;
  return 0;
}

namespace {

double Sinc(double x) {
  if (x == 0) return 1;
  const double px = M_PI * x;
  return std::sin(px) / px;
}

}  // namespace

double IELanczos3Filter(double x) {
  return std::fabs(x) < 3 ? Sinc(x) * Sinc(x / 3) : 0;
}

double IEMitchellFilter(double x) {
  const double t = std::fabs(x);
  if (t < 1) return (7 * t * t * t - 12 * t * t + 16.0 / 3.0) / 6;
  if (t < 2) return (-7.0 / 3.0 * t * t * t + 12 * t * t - 20 * t + 32.0 / 3.0) / 6;
  return 0;
}

double IEBoxFilter(double x) { return (x > -0.5 && x <= 0.5) ? 1 : 0; }

double IELinearFilter(double x) {
  if (x >= -1 && x < 0) return x + 1;
  if (x >= 0 && x < 1) return 1 - x;
  return 0;
}

TIEResampleKernel IEResampleKernel(TResampleFilter filter) {
  switch (filter) {
    case rfTriangle: return {IETriangleFilter, 1.0};
    case rfHermite: return {IEHermiteFilter, 1.0};
    case rfBell: return {IEBellFilter, 1.5};
    case rfBSpline: return {IEBSplineFilter, 2.0};
    case rfLanczos3: return {IELanczos3Filter, 3.0};
    case rfMitchell: return {IEMitchellFilter, 2.0};
    case rfLinear: return {IELinearFilter, 1.0};
    case rfNearest:
    default: return {IEBoxFilter, 1.0};
  }
}

namespace {

// Two-pass filtered resampling ----------------------------------------------------------

struct Contributor {
  int32_t index;
  int32_t weight;
};
using Contributors = std::vector<std::vector<Contributor>>;

double AxisScale(int32_t src, int32_t dst) {
  if (src == 1 || dst == 1) return double(dst) / src;
  return double(dst - 1) / (src - 1);
}

// Weights of the source pixels under each destination pixel, kernel x 256
// rounded (halves to even), with indexes mirrored back into the source.
Contributors BuildContributors(int32_t src, int32_t dst, double scale, const TIEResampleKernel& kernel) {
  Contributors lists(dst);
  const bool reducing = scale < 1;
  const double width = reducing ? kernel.Support / scale : kernel.Support;
  for (int32_t i = 0; i < dst; ++i) {
    const double centre = i / scale;
    auto& list = lists[i];
    list.reserve(size_t(2 * width + 1) + 1);
    const int64_t first = int64_t(std::floor(centre - width));
    const int64_t last = int64_t(std::ceil(centre + width));
    for (int64_t j = first; j <= last; ++j) {
      const double value = reducing ? kernel.Function((centre - j) * scale) * 256 * scale
                                    : kernel.Function(centre - j) * 256;
      const int32_t weight = int32_t(std::nearbyint(value));
      if (weight == 0) continue;
      int64_t n = j;
      if (n < 0) n = -n;
      if (n >= src) n = 2 * int64_t(src) - 1 - n;
      list.push_back({int32_t(std::clamp<int64_t>(n, 0, src - 1)), weight});
    }
  }
  return lists;
}

uint8_t WeightedValue(int64_t sum, int64_t total) {
  int64_t v = total != 0 ? sum / total : int64_t(uint32_t(sum) >> 8);
  return uint8_t(std::clamp<int64_t>(v, 0, 255));
}

// The filter over a source of C interleaved channels (row fetched by
// `srcRow`) into a destination of OutC channels (row fetched by `dstRow`; a
// single source channel is written as grey into three).
template <int C, int OutC, typename SrcRow, typename DstRow>
void TwoPass(int32_t srcW, int32_t srcH, SrcRow srcRow, int32_t dstW, int32_t dstH, DstRow dstRow,
             const TIEResampleKernel& kernel, TObject* sender, const TIEProgressEvent& onProgress) {
  static_assert(OutC == 3 || C == OutC);
  const double total = srcH + dstW + 0.5;
  std::vector<uint8_t> work(size_t(dstW) * srcH * C);
  {
    const Contributors cols = BuildContributors(srcW, dstW, AxisScale(srcW, dstW), kernel);
    for (int32_t r = 0; r < srcH; ++r) {
      const uint8_t* row = srcRow(r);
      uint8_t* out = work.data() + size_t(r) * dstW * C;
      for (int32_t i = 0; i < dstW; ++i) {
        int64_t sum[C] = {}, weights = 0;
        for (const Contributor& k : cols[i]) {
          for (int c = 0; c < C; ++c) sum[c] += int64_t(k.weight) * row[size_t(k.index) * C + c];
          weights += k.weight;
        }
        for (int c = 0; c < C; ++c) out[size_t(i) * C + c] = WeightedValue(sum[c], weights);
      }
      if (onProgress) onProgress(sender, int((r + 1) * 100 / total));
    }
  }
  const Contributors rows = BuildContributors(srcH, dstH, AxisScale(srcH, dstH), kernel);
  for (int32_t x = 0; x < dstW; ++x) {
    for (int32_t y = 0; y < dstH; ++y) {
      int64_t sum[C] = {}, weights = 0;
      for (const Contributor& k : rows[y]) {
        const uint8_t* p = work.data() + (size_t(k.index) * dstW + x) * C;
        for (int c = 0; c < C; ++c) sum[c] += int64_t(k.weight) * p[c];
        weights += k.weight;
      }
      uint8_t* out = dstRow(y) + size_t(x) * OutC;
      for (int c = 0; c < OutC; ++c) out[c] = WeightedValue(sum[C == 1 ? 0 : c], weights);
    }
    if (onProgress) onProgress(sender, int((srcH + x + 1) * 100 / total));
  }
}

// Row access of a platform bitmap (its rows stay valid together).
auto RowsOf(TBitmap* b) {
  return [b](int32_t y) { return b->ScanLine(y); };
}

bool HasPixels(TBitmap* b) { return b && b->GetWidth() > 0 && b->GetHeight() > 0; }

bool Resamplable(TBitmap* src, TBitmap* dst, TPixelFormat format) {
  if (!src || !dst || src->GetPixelFormat() != format || !HasPixels(src)) return false;
  if (src->GetWidth() == 1 && src->GetHeight() == 1) return false;
  return HasPixels(dst);
}

bool BitAt(const uint8_t* row, int64_t x) { return row[x >> 3] & (0x80 >> (x & 7)); }

// One 1-bit row as bytes 0 or 255.
class BitRowExpander {
 public:
  BitRowExpander(TBitmap* src) : src_(src), row_(src->GetWidth()) {}
  const uint8_t* operator()(int32_t y) {
    const uint8_t* bits = src_->ScanLine(y);
    for (size_t x = 0; x < row_.size(); ++x) row_[x] = BitAt(bits, int64_t(x)) ? 255 : 0;
    return row_.data();
  }

 private:
  TBitmap* src_;
  std::vector<uint8_t> row_;
};

// Bilinear / box ------------------------------------------------------------------------

constexpr int kFracBits = 17;

struct AxisStep {
  int32_t first;  // x0
  int32_t last;   // xend (box) or x0 + 1 (bilinear), inside the source
  int32_t frac;   // 17-bit fraction
};

std::vector<AxisStep> LinearSteps(int32_t src, int32_t dst, bool addEpsilon) {
  const double s = double(dst) / src;
  std::vector<AxisStep> steps(dst);
  for (int32_t i = 0; i < dst; ++i) {
    const double c = i / s;
    const int32_t x0 = std::min(int32_t(c), src - 1);
    const int32_t frac = int32_t((c - int32_t(c)) * (1 << kFracBits));
    const double end = std::min(i + 1, dst - 1) / s + (addEpsilon ? 1e-10 : 0);
    steps[i] = {x0, std::clamp(int32_t(end), x0, src - 1), frac};
  }
  return steps;
}

inline uint8_t Lerp(int32_t a, int32_t b, int32_t frac) {
  return uint8_t(a + ((int64_t(b - a) * frac) >> kFracBits));
}

// Bilinear or box resampling of C interleaved channels into a destination of
// OutC channels. `interpolate` says per axis whether to interpolate (true) or
// average the covered pixels.
template <int C, int OutC, typename SrcRow, typename DstRow>
void LinearPass(int32_t srcW, int32_t srcH, SrcRow srcRow, int32_t dstW, int32_t dstH, DstRow dstRow,
                bool interpolateX, bool interpolateY, TObject* sender, const TIEProgressEvent& onProgress) {
  static_assert(OutC == 3 || C == OutC);
  const double total = srcH + dstH + 0.5;
  const std::vector<AxisStep> cols = LinearSteps(srcW, dstW, true);
  std::vector<uint8_t> work(size_t(dstW) * srcH * C);
  for (int32_t r = 0; r < srcH; ++r) {
    const uint8_t* row = srcRow(r);
    uint8_t* out = work.data() + size_t(r) * dstW * C;
    for (int32_t i = 0; i < dstW; ++i) {
      const AxisStep& st = cols[i];
      for (int c = 0; c < C; ++c) {
        if (interpolateX) {
          const int32_t b = std::min(st.first + 1, srcW - 1);
          out[size_t(i) * C + c] = Lerp(row[size_t(st.first) * C + c], row[size_t(b) * C + c], st.frac);
        } else {
          int32_t sum = 0;
          for (int32_t x = st.first; x <= st.last; ++x) sum += row[size_t(x) * C + c];
          out[size_t(i) * C + c] = uint8_t(sum / (st.last - st.first + 1));
        }
      }
    }
    if (onProgress) onProgress(sender, int(r * 100 / total));
  }
  const std::vector<AxisStep> rows = LinearSteps(srcH, dstH, false);
  for (int32_t r = 0; r < dstH; ++r) {
    const AxisStep& st = rows[r];
    uint8_t* out = dstRow(r);
    // The next work row; the last one pairs with itself.
    const int32_t e1 = std::min(st.first + 1, srcH - 1);
    const uint8_t* a = work.data() + size_t(st.first) * dstW * C;
    const uint8_t* b = work.data() + size_t(e1) * dstW * C;
    for (int32_t i = 0; i < dstW; ++i)
      for (int c = 0; c < OutC; ++c) {
        const size_t at = size_t(i) * C + (C == 1 ? 0 : c);
        if (interpolateY) {
          out[size_t(i) * OutC + c] = Lerp(a[at], b[at], st.frac);
        } else {
          int32_t sum = 0;
          for (int32_t y = st.first; y <= st.last; ++y) sum += work[size_t(y) * dstW * C + at];
          out[size_t(i) * OutC + c] = uint8_t(sum / (st.last - st.first + 1));
        }
      }
    if (onProgress) onProgress(sender, int((srcH + r) * 100 / total));
  }
}

// Grey share of set bits ---------------------------------------------------------------------

// Fills a dstW x dstH grey picture from the rectangle x1..x2 by `rectRows`
// rows (row k read through bitRow(k)); put(i, j, value) stores a pixel.
template <typename BitRow, typename Put>
void GreyShare(int32_t x1, int32_t x2, int32_t rectRows, int32_t dstW, int32_t dstH, BitRow bitRow, Put put) {
  const double h = double(x2 - x1 + 1) / dstW;
  const double v = double(rectRows) / dstH;
  std::vector<int32_t> colLo(dstW), colHi(dstW);
  for (int32_t j = 0; j < dstW; ++j) {
    colLo[j] = std::min(std::max<int32_t>(0, x1 + int32_t(h * j - h / 2)), x2);
    colHi[j] = std::min(std::max<int32_t>(0, x1 + int32_t(h * j + h / 2)), x2);
  }
  std::vector<int32_t> counts(dstW);
  for (int32_t i = 0; i < dstH; ++i) {
    const int32_t lo = std::min(std::max<int32_t>(0, int32_t(v * i - v / 2)), rectRows - 1);
    const int32_t hi = std::min(std::max<int32_t>(0, int32_t(v * i + std::trunc(v) / 2)), rectRows - 1);
    std::fill(counts.begin(), counts.end(), 0);
    for (int32_t k = lo; k <= hi; ++k) {
      const uint8_t* row = bitRow(k);
      for (int32_t j = 0; j < dstW; ++j)
        for (int32_t x = colLo[j]; x <= colHi[j]; ++x) counts[j] += BitAt(row, x);
    }
    const int64_t rowsCovered = hi - lo + 1;
    for (int32_t j = 0; j < dstW; ++j)
      put(i, j, uint8_t(255 * int64_t(counts[j]) / (rowsCovered * (colHi[j] - colLo[j] + 1))));
  }
}

}  // namespace

void _Resample(TBitmap* Src, TBitmap* Dst, TResampleFilter Filter, TObject* Sender,
               const TIEProgressEvent& OnProgress) {
  if (Filter == rfFastLinear) return _ResampleLinear(Src, Dst, Sender, OnProgress);
  if (!Resamplable(Src, Dst, pf24bit)) return;
  Dst->SetPixelFormat(pf24bit);
  TwoPass<3, 3>(Src->GetWidth(), Src->GetHeight(), RowsOf(Src), Dst->GetWidth(), Dst->GetHeight(), RowsOf(Dst),
                IEResampleKernel(Filter), Sender, OnProgress);
}

void _Resample1bit(TBitmap* Src, TBitmap* Dst, TResampleFilter Filter) {
  if (Filter == rfFastLinear) return _ResampleLinear1Bit(Src, Dst);
  if (!Resamplable(Src, Dst, pf1bit)) return;
  Dst->SetPixelFormat(pf24bit);
  TwoPass<1, 3>(Src->GetWidth(), Src->GetHeight(), BitRowExpander(Src), Dst->GetWidth(), Dst->GetHeight(),
                RowsOf(Dst), IEResampleKernel(Filter), nullptr, nullptr);
}

void _ResampleLinear(TBitmap* Src, TBitmap* Dst, TObject* Sender, const TIEProgressEvent& OnProgress) {
  if (!Src || !Dst || Src->GetPixelFormat() != pf24bit || !HasPixels(Src) || !HasPixels(Dst)) return;
  const int32_t srcW = Src->GetWidth(), srcH = Src->GetHeight();
  const double xs = double(Dst->GetWidth()) / srcW, ys = double(Dst->GetHeight()) / srcH;
  if (xs == 1 && ys == 1) return IECopyBitmap(Src, Dst);
  Dst->SetPixelFormat(pf24bit);
  LinearPass<3, 3>(srcW, srcH, RowsOf(Src), Dst->GetWidth(), Dst->GetHeight(), RowsOf(Dst), xs > 1, ys > 1,
                   Sender, OnProgress);
}

void _ResampleLinear1Bit(TBitmap* Src, TBitmap* Dst, TObject* Sender, const TIEProgressEvent& OnProgress) {
  if (!Src || !Dst || Src->GetPixelFormat() != pf1bit || !HasPixels(Src) || !HasPixels(Dst)) return;
  const int32_t srcW = Src->GetWidth(), srcH = Src->GetHeight();
  const double xs = double(Dst->GetWidth()) / srcW, ys = double(Dst->GetHeight()) / srcH;
  if (xs < 1 && ys < 1) return _SubResample1bitFiltered(Src, 0, 0, srcW - 1, srcH - 1, Dst);
  Dst->SetPixelFormat(pf24bit);
  LinearPass<1, 3>(srcW, srcH, BitRowExpander(Src), Dst->GetWidth(), Dst->GetHeight(), RowsOf(Dst), true, true,
                   Sender, OnProgress);
}

void _SubResample1bitFiltered(TBitmap* Src, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TBitmap* Dst) {
  if (!Src || !Dst || Src->GetPixelFormat() != pf1bit || !HasPixels(Src) || !HasPixels(Dst)) return;
  X1 = std::max(X1, 0);
  Y1 = std::max(Y1, 0);
  X2 = std::min(X2, Src->GetWidth() - 1);
  Y2 = std::min(Y2, Src->GetHeight() - 1);
  if (X2 < X1 || Y2 < Y1) return;
  Dst->SetPixelFormat(pf24bit);
  GreyShare(
      X1, X2, Y2 - Y1 + 1, Dst->GetWidth(), Dst->GetHeight(),
      [&](int32_t k) -> const uint8_t* { return Src->ScanLine(Y1 + k); },
      [&](int32_t i, int32_t j, uint8_t value) { std::memset(Dst->ScanLine(i) + size_t(j) * 3, value, 3); });
}

std::unique_ptr<uint8_t[]> _SubResample1bitFilteredDIB(const uint8_t* Bits, int32_t Width, int32_t Height,
                                                       int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                                                       int32_t DstWidth, int32_t DstHeight) {
  if (!Bits || Width < 1 || Height < 1 || DstWidth < 1 || DstHeight < 1) return nullptr;
  if (X1 < 0 || Y1 < 0 || X2 < X1 || Y2 < Y1 || X2 >= Width || Y2 >= Height) return nullptr;
  const int64_t srcRowLen = ((int64_t(Width) + 31) / 32) * 4;
  const int64_t dstRowLen = ((int64_t(DstWidth) * 24 + 31) / 32) * 4;
  std::unique_ptr<uint8_t[]> block(new uint8_t[size_t(dstRowLen * DstHeight)]());
  GreyShare(
      X1, X2, Y2 - Y1 + 1, DstWidth, DstHeight,
      [&](int32_t k) { return Bits + (int64_t(Height) - Y1 - k - 1) * srcRowLen; },
      [&](int32_t i, int32_t j, uint8_t value) {
        std::memset(block.get() + (int64_t(DstHeight) - 1 - i) * dstRowLen + int64_t(j) * 3, value, 3);
      });
  return block;
}

// Picture buffers and masks ------------------------------------------------------------------

namespace {

bool HasPixels(TIEBaseBitmap* b) { return b && b->GetWidth() > 0 && b->GetHeight() > 0; }
bool HasPixels(TIEMask* m) { return m && m->BitCount == 8 && m->Width > 0 && m->Height > 0; }

// Row access of a picture buffer for reading one row at a time (file storage
// keeps only the row handed out last).
auto RowsOf(TIEBaseBitmap* b) {
  return [b](int32_t y) -> const uint8_t* { return b->GetScanLine(y); };
}

auto RowsOf(TIEMask* m) {
  return [m](int32_t y) { return m->GetScanLine(y); };
}

// Destination rows of a picture buffer: the passes write them in any order,
// so they go to memory first and into the buffer row by row at the end.
class TBufferedRows {
 public:
  TBufferedRows(TIEBaseBitmap* target, int32_t bytesPerPixel)
      : target_(target),
        rowBytes_(size_t(target->GetWidth()) * bytesPerPixel),
        pixels_(rowBytes_ * size_t(target->GetHeight())) {}
  uint8_t* operator()(int32_t y) { return pixels_.data() + rowBytes_ * size_t(y); }
  void Flush() {
    for (int32_t y = 0; y < target_->GetHeight(); ++y)
      std::memcpy(target_->GetScanLine(y), (*this)(y), rowBytes_);
  }

 private:
  TIEBaseBitmap* target_;
  size_t rowBytes_;
  std::vector<uint8_t> pixels_;
};

// Gives the destination the asked format at its own size.
void EnsureFormat(TIEBaseBitmap* dst, TIEPixelFormat format) {
  if (dst->GetPixelFormat() != format) dst->Allocate(dst->GetWidth(), dst->GetHeight(), format);
}

}  // namespace

void _ResampleEx(TIEBaseBitmap* Src, TIEBaseBitmap* Dst, TResampleFilter Filter, TObject* Sender,
                 const TIEProgressEvent& OnProgress) {
  if (Filter == rfFastLinear) return _ResampleLinearEx(Src, Dst, Sender, OnProgress);
  if (!HasPixels(Src) || !HasPixels(Dst) || Src->GetPixelFormat() != ie24RGB) return;
  if (Src->GetWidth() == 1 && Src->GetHeight() == 1) return;
  EnsureFormat(Dst, ie24RGB);
  TBufferedRows out(Dst, 3);
  TwoPass<3, 3>(Src->GetWidth(), Src->GetHeight(), RowsOf(Src), Dst->GetWidth(), Dst->GetHeight(), std::ref(out),
                IEResampleKernel(Filter), Sender, OnProgress);
  out.Flush();
}

void _ResampleLinearEx(TIEBaseBitmap* Src, TIEBaseBitmap* Dst, TObject* Sender, const TIEProgressEvent& OnProgress) {
  if (!HasPixels(Src) || !HasPixels(Dst) || Src->GetPixelFormat() != ie24RGB) return;
  const int32_t srcW = Src->GetWidth(), srcH = Src->GetHeight();
  const double xs = double(Dst->GetWidth()) / srcW, ys = double(Dst->GetHeight()) / srcH;
  if (xs == 1 && ys == 1) return Dst->Assign(Src);
  EnsureFormat(Dst, ie24RGB);
  TBufferedRows out(Dst, 3);
  LinearPass<3, 3>(srcW, srcH, RowsOf(Src), Dst->GetWidth(), Dst->GetHeight(), std::ref(out), xs > 1, ys > 1,
                   Sender, OnProgress);
  out.Flush();
}

void _ResampleAlpha(TIEMask* Src, TIEMask* Dst, TResampleFilter Filter) {
  if (Filter == rfFastLinear) return _ResampleLinearAlpha(Src, Dst);
  if (!HasPixels(Src) || !HasPixels(Dst)) return;
  if (Src->Width == 1 && Src->Height == 1) return;
  TwoPass<1, 1>(Src->Width, Src->Height, RowsOf(Src), Dst->Width, Dst->Height, RowsOf(Dst),
                IEResampleKernel(Filter), nullptr, nullptr);
}

void _ResampleLinearAlpha(TIEMask* Src, TIEMask* Dst, TObject* Sender, const TIEProgressEvent& OnProgress) {
  if (!HasPixels(Src) || !HasPixels(Dst)) return;
  const double xs = double(Dst->Width) / Src->Width, ys = double(Dst->Height) / Src->Height;
  if (xs == 1 && ys == 1) return Dst->Assign(Src);
  LinearPass<1, 1>(Src->Width, Src->Height, RowsOf(Src), Dst->Width, Dst->Height, RowsOf(Dst), xs > 1, ys > 1,
                   Sender, OnProgress);
}

void _SubResample1bitFilteredEx(TIEBaseBitmap* Src, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                                TIEBitmap* Dst) {
  if (!HasPixels(Src) || !HasPixels(Dst) || Src->GetPixelFormat() != ie1g) return;
  X1 = std::max(X1, 0);
  Y1 = std::max(Y1, 0);
  X2 = std::min(X2, Src->GetWidth() - 1);
  Y2 = std::min(Y2, Src->GetHeight() - 1);
  if (X2 < X1 || Y2 < Y1) return;
  EnsureFormat(Dst, ie24RGB);
  TBufferedRows out(Dst, 3);
  GreyShare(
      X1, X2, Y2 - Y1 + 1, Dst->GetWidth(), Dst->GetHeight(),
      [&](int32_t k) -> const uint8_t* { return Src->GetScanLine(Y1 + k); },
      [&](int32_t i, int32_t j, uint8_t value) { std::memset(out(i) + size_t(j) * 3, value, 3); });
  out.Flush();
}

void _IEBmpStretch(TBitmap* Src, TBitmap* Dst) {
  if (!Src || !Dst) return;
  Dst->SetPixelFormat(Src->GetPixelFormat());
  if (!HasPixels(Src) || !HasPixels(Dst)) return;
  Dst->GetCanvas()->StretchDraw(TRect{0, 0, Dst->GetWidth(), Dst->GetHeight()}, Src);
}

void _IEBmpStretchEx(TIEBaseBitmap* Src, TIEBaseBitmap* Dst) {
  if (!HasPixels(Src) || !HasPixels(Dst)) return;
  const TIEPixelFormat format = Src->GetPixelFormat();
  if (format != Dst->GetPixelFormat()) return;
  int bytes = 0;
  switch (format) {
    case ie1g: bytes = 0; break;
    case ie8p:
    case ie8g: bytes = 1; break;
    case ie16g: bytes = 2; break;
    case ie24RGB: bytes = 3; break;
    default: return;
  }
  const int32_t srcW = Src->GetWidth(), srcH = Src->GetHeight();
  const int32_t dstW = Dst->GetWidth(), dstH = Dst->GetHeight();
  const double xr = double(srcW) / dstW, yr = double(srcH) / dstH;
  std::vector<int32_t> columns(dstW);
  for (int32_t x = 0; x < dstW; ++x) columns[x] = std::min(int32_t(xr * x), srcW - 1);
  // A copy of the source row: both buffers may keep one mapped row only.
  std::vector<uint8_t> source(bytes ? size_t(srcW) * bytes : size_t(srcW + 7) / 8);
  int32_t loaded = -1;
  for (int32_t y = 0; y < dstH; ++y) {
    const int32_t sy = std::min(int32_t(yr * y), srcH - 1);
    if (sy != loaded) {
      std::memcpy(source.data(), Src->GetScanLine(sy), source.size());
      loaded = sy;
    }
    uint8_t* target = Dst->GetScanLine(y);
    if (bytes == 0) {
      std::memset(target, 0, size_t(dstW + 7) / 8);
      for (int32_t x = 0; x < dstW; ++x)
        if (BitAt(source.data(), columns[x])) target[x >> 3] |= uint8_t(0x80 >> (x & 7));
    } else {
      for (int32_t x = 0; x < dstW; ++x)
        std::memcpy(target + size_t(x) * bytes, source.data() + size_t(columns[x]) * bytes, bytes);
    }
  }
}
