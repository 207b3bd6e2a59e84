// Zoomed rendering of a picture into a 24-bit platform bitmap: the inner
// loop of the views' painting. Source positions advance in 18.14 fixed
// point, a row that repeats the previous source row may be copied whole,
// and a 1:1 span is copied in one block.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/core/ieblend.h"
#include "imaging/core/iebitmap.h"

namespace {

constexpr int kFixedShift = 14;
constexpr int64_t kFixedOne = int64_t{1} << kFixedShift;

// What one RenderToTBitmap call draws, with every range already clipped.
struct RenderJob {
  TIEBitmap* picture;
  TIEBitmap* alpha;  // blending source, or nullptr
  int64_t rowStep, colStep;
  int64_t xDst, yDst, xSrc, ySrc;
  int64_t firstCol, lastCol;  // destination columns whose source lies inside the picture
  int64_t clipLeft, clipRight;

  int64_t SourceCol(int64_t j) const { return xSrc + (((j - xDst) * colStep) >> kFixedShift); }
  int64_t SourceRow(int64_t i) const { return ySrc + (((i - yDst) * rowStep) >> kFixedShift); }
};

void DrawRow24(const RenderJob& job, const std::vector<int64_t>& srcCol, int64_t srcRow,
               uint8_t* dst) {
  const uint8_t* src = job.picture->GetScanLine(static_cast<int>(srcRow));
  if (!job.alpha && job.rowStep == kFixedOne && job.colStep == kFixedOne) {
    const int64_t count = job.lastCol - job.firstCol + 1;
    std::memcpy(dst + job.firstCol * 3, src + srcCol[0] * 3, static_cast<size_t>(count * 3));
    return;
  }
  const int64_t from = std::max(job.firstCol, job.clipLeft);
  const int64_t to = std::min(job.lastCol, job.clipRight);
  const uint8_t* a = job.alpha ? job.alpha->GetScanLine(static_cast<int>(srcRow)) : nullptr;
  for (int64_t j = from; j <= to; ++j) {
    const int64_t sx = srcCol[j - job.firstCol];
    const uint8_t* s = src + sx * 3;
    uint8_t* d = dst + j * 3;
    if (a) {
      for (int c = 0; c < 3; ++c) d[c] = IEBlendByte(d[c], s[c], a[sx]);
    } else {
      d[0] = s[0], d[1] = s[1], d[2] = s[2];
    }
  }
}

void DrawRow1(const RenderJob& job, const std::vector<int64_t>& srcCol, int64_t srcRow,
              uint8_t* dst) {
  const uint8_t* src = job.picture->GetScanLine(static_cast<int>(srcRow));
  const uint8_t* a = job.alpha ? job.alpha->GetScanLine(static_cast<int>(srcRow)) : nullptr;
  for (int64_t j = job.firstCol; j <= job.lastCol; ++j) {
    const int64_t sx = srcCol[j - job.firstCol];
    const uint8_t v = (src[sx >> 3] & (0x80 >> (sx & 7))) ? 255 : 0;
    uint8_t* d = dst + j * 3;
    // Blending works on red; green and blue take the same value.
    const uint8_t out = a ? IEBlendByte(d[2], v, a[sx]) : v;
    d[0] = d[1] = d[2] = out;
  }
}

}  // namespace

void TIEBitmap::RenderToTBitmap(TBitmap* bitmap, uint8_t** rows, const TRect* clip, int xDst,
                                int yDst, int dxDst, int dyDst, int xSrc, int ySrc, int dxSrc,
                                int dySrc, bool alpha, bool repeat) {
  if (dxDst <= 0 || dyDst <= 0 || dxSrc <= 0 || dySrc <= 0) return;
  if (PixelFormat != ie1g && PixelFormat != ie24RGB) return;
  if (!bitmap || bitmap->GetPixelFormat() != pf24bit) return;
  try {
    RenderJob job{};
    job.picture = this;
    const bool alphaUsable = alpha && AlphaChannel && !AlphaChannel->Full &&
                             AlphaChannel->Width == Width && AlphaChannel->Height == Height;
    job.alpha = alphaUsable ? AlphaChannel : nullptr;
    job.rowStep = static_cast<int64_t>(static_cast<double>(dySrc) / dyDst * kFixedOne);
    job.colStep = static_cast<int64_t>(static_cast<double>(dxSrc) / dxDst * kFixedOne);
    job.xDst = xDst, job.yDst = yDst, job.xSrc = xSrc, job.ySrc = ySrc;

    // Destination columns: inside the bitmap (negative coordinates clipped)
    // and mapping to a column inside the picture.
    job.firstCol = std::max<int64_t>(xDst, 0);
    job.lastCol = std::min<int64_t>(int64_t{xDst} + dxDst - 1, bitmap->GetWidth() - 1);
    while (job.firstCol <= job.lastCol && job.SourceCol(job.firstCol) < 0) ++job.firstCol;
    while (job.firstCol <= job.lastCol && job.SourceCol(job.lastCol) >= Width) --job.lastCol;
    if (job.firstCol > job.lastCol) return;
    std::vector<int64_t> srcCol(static_cast<size_t>(job.lastCol - job.firstCol + 1));
    for (int64_t j = job.firstCol; j <= job.lastCol; ++j) srcCol[j - job.firstCol] = job.SourceCol(j);
    job.clipLeft = clip ? clip->Left : job.firstCol;
    job.clipRight = clip ? clip->Right : job.lastCol;

    const int64_t firstRow = std::max<int64_t>(yDst, 0);
    const int64_t lastRow = std::min<int64_t>(int64_t{yDst} + dyDst - 1, bitmap->GetHeight() - 1);
    const int64_t rowLength = bitmap->BytesPerLine();
    int64_t lastSrcRow = -1;
    uint8_t* lastDst = nullptr;
    for (int64_t i = firstRow; i <= lastRow; ++i) {
      if (clip && (i < clip->Top || i > clip->Bottom)) continue;
      const int64_t srcRow = job.SourceRow(i);
      if (srcRow < 0 || srcRow >= Height) continue;
      uint8_t* dst = rows ? rows[i] : bitmap->ScanLine(static_cast<int>(i));
      if (repeat && lastDst && srcRow == lastSrcRow) {
        std::memcpy(dst, lastDst, static_cast<size_t>(rowLength));
      } else if (PixelFormat == ie24RGB) {
        DrawRow24(job, srcCol, srcRow, dst);
      } else {
        DrawRow1(job, srcCol, srcRow, dst);
      }
      lastSrcRow = srcRow;
      lastDst = dst;
    }
  } catch (...) {
    // Painting must not fail: whatever went wrong leaves the bitmap as drawn so far.
  }
}
