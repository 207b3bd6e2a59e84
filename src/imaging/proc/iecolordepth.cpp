#include "imaging/proc/iecolordepth.h"

#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iehash.h"
#include "imaging/core/ievalues.h"
#include "imaging/core/neurquant.h"
#include "imaging/proc/iemeasure.h"
#include "platform/graphics.h"
#include "platform/sysutils.h"

const std::array<int32_t, 64> BWORDERPATTERN = {
    0,  32, 8,  40, 2,  34, 10, 42,  //
    48, 16, 56, 24, 50, 18, 58, 26,  //
    12, 44, 4,  36, 14, 46, 6,  38,  //
    60, 28, 52, 20, 62, 30, 54, 22,  //
    3,  35, 11, 43, 1,  33, 9,  41,  //
    51, 19, 59, 27, 49, 17, 57, 25,  //
    15, 47, 7,  39, 13, 45, 5,  37,  //
    63, 31, 55, 23, 61, 29, 53, 21,
};

const std::array<std::array<uint8_t, 24>, 256> C1TO24 = [] {
  std::array<std::array<uint8_t, 24>, 256> table{};
  for (int v = 0; v < 256; ++v)
    for (int bit = 0; bit < 8; ++bit) {
      const uint8_t level = (v & (0x80 >> bit)) ? 0xFF : 0x00;
      for (int k = 0; k < 3; ++k) table[v][bit * 3 + k] = level;
    }
  return table;
}();

namespace {

bool Is24Bit(TBitmap* bitmap) { return bitmap && bitmap->GetPixelFormat() == pf24bit; }

const TRGB* RGBRow(TBitmap* bitmap, int y) {
  return reinterpret_cast<const TRGB*>(bitmap->ScanLine(y));
}

void SetBit(uint8_t* row, int x) { row[x >> 3] |= uint8_t(0x80 >> (x & 7)); }

// Makes a pf1bit picture of the same size where a bit is set when
// whiteAt(x, y, pixel) says so, and puts it in place of the bitmap. An
// abort leaves the bitmap as it was.
template <class WhiteAt>
void ReplaceWithBlackAndWhite(TBitmap* bitmap, TProgressRec& progress, WhiteAt whiteAt) {
  const int width = bitmap->GetWidth(), height = bitmap->GetHeight();
  progress.Percent = 100.0 / (height + 0.5);
  progress.Counter = 0;
  TBitmap bw;
  bw.SetPixelFormat(pf1bit);
  bw.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    const TRGB* src = RGBRow(bitmap, y);
    uint8_t* dst = bw.ScanLine(y);
    std::memset(dst, 0, bw.BytesPerLine());
    for (int x = 0; x < width; ++x)
      if (whiteAt(x, y, src[x])) SetBit(dst, x);
    if (IEProgressStep(progress)) return;
  }
  IECopyBitmap(&bw, bitmap);
}

int RoundedGray(const TRGB& c) { return int(Round((c.r * 21 + c.g * 71 + c.b * 8) / 100.0)); }

// Writes the two-colour bits of a picture row by row into rowOut(y), which
// must hold rowLen bytes: clear where the pixel equals the first colour
// met. The walk stops before a new row once a third colour has turned up.
// With exactly two colours the darker one is put first, inverting the bits
// when it was met second, and true is returned; the colours are written
// only then.
template <class PixelAt, class RowOut, class Invert>
bool TwoColourBits(int width, int height, int64_t rowLen, PixelAt pixelAt, RowOut rowOut,
                   Invert invert, TRGB& colour0, TRGB& colour1) {
  THash1 seen(13);
  int colours = 0;
  TRGB c0{}, c1{};
  std::vector<uint8_t> bits(rowLen);
  for (int y = 0; y < height && colours < 3; ++y) {
    std::fill(bits.begin(), bits.end(), 0);
    for (int x = 0; x < width; ++x) {
      const TRGB px = pixelAt(x, y);
      if (seen.Insert((uint32_t(px.r) << 16) | (uint32_t(px.g) << 8) | px.b)) {
        if (colours == 0) c0 = px;
        if (colours == 1) c1 = px;
        ++colours;
      }
      if (!(px == c0)) SetBit(bits.data(), x);
    }
    std::memcpy(rowOut(y), bits.data(), rowLen);
  }
  if (colours != 2) return false;
  if (RoundedGray(c1) < RoundedGray(c0)) {
    invert();
    std::swap(c0, c1);
  }
  colour0 = c0;
  colour1 = c1;
  return true;
}

}  // namespace

void _ConvertTo(TBitmap* bitmap, int n, TRGB* palette, const TIEProgressEvent& OnProgress,
                TObject* Sender) {
  if (!Is24Bit(bitmap) || n < 1) return;
  std::vector<TRGB> temporary;
  if (!palette) {
    temporary.resize(n);
    palette = temporary.data();
  }
  const std::span<TRGB> map(palette, n);
  TIEQuantizer quantizer(bitmap, map, n, -1);
  const int width = bitmap->GetWidth(), height = bitmap->GetHeight();
  const double step = 100.0 / (height + 0.5);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<TRGB*>(bitmap->ScanLine(y));
    for (int x = 0; x < width; ++x) {
      const int index = quantizer.GetRGBIndex(row[x]);
      if (index >= 0 && index < n) row[x] = map[index];
    }
    if (OnProgress) OnProgress(Sender, int(Trunc(step * (y + 1))));
  }
}

void _ConvertToBWOrdered(TBitmap* bitmap, TProgressRec& progress) {
  if (!Is24Bit(bitmap)) return;
  ReplaceWithBlackAndWhite(bitmap, progress, [](int x, int y, const TRGB& px) {
    return BWORDERPATTERN[(x & 7) * 8 + (y & 7)] < _RGBToGray(px) / 4;
  });
}

void _ConvertToBWThreshold(TBitmap* bitmap, int threshold, TProgressRec& progress) {
  if (!Is24Bit(bitmap)) return;
  if (threshold == -1) {
    int r = 128, g = 128, b = 128;
    _GetMediaContrastRGB(bitmap, r, g, b);
    threshold = (r * 21 + g * 71 + b * 8) / 100;
  }
  ReplaceWithBlackAndWhite(bitmap, progress, [threshold](int, int, const TRGB& px) {
    return _RGBToGray(px) >= threshold;
  });
}

void _Conv1to24(TBitmap* source, TBitmap* target, TProgressRec& progress) {
  if (!source || !target || source->GetPixelFormat() != pf1bit) return;
  // Expanding a bitmap into itself would resize away its own pixels.
  std::unique_ptr<TBitmap> copy;
  if (source == target) {
    copy = std::make_unique<TBitmap>();
    IECopyBitmap(source, copy.get());
    source = copy.get();
  }
  const int width = source->GetWidth(), height = source->GetHeight();
  target->SetSize(1, 1);
  target->SetPixelFormat(pf24bit);
  target->SetSize(width, height);
  progress.Percent = 100.0 / (height + 0.5);
  progress.Counter = 0;
  const int fullBytes = width / 8, rest = width % 8;
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = source->ScanLine(y);
    uint8_t* dst = target->ScanLine(y);
    for (int i = 0; i < fullBytes; ++i, dst += 24) std::memcpy(dst, C1TO24[src[i]].data(), 24);
    if (rest) std::memcpy(dst, C1TO24[src[fullBytes]].data(), rest * 3);
    if (IEProgressStep(progress)) return;
  }
}

TIEBitmap* _ConvertTo1bitEx(TIEBitmap* picture, TRGB& colour0, TRGB& colour1) {
  if (!picture) return nullptr;
  auto result = std::make_unique<TIEBitmap>();
  result->Allocate(picture->GetWidth(), picture->GetHeight(), ie1g);
  const bool two = TwoColourBits(
      picture->GetWidth(), picture->GetHeight(), result->GetRowLen(),
      [&](int x, int y) { return picture->GetPixels(x, y); },
      [&](int y) { return result->GetScanLine(y); }, [&] { _Negative1BitEx(result.get()); },
      colour0, colour1);
  return two ? result.release() : nullptr;
}

TBitmap* _ConvertTo1bit(TBitmap* bitmap, TRGB& colour0, TRGB& colour1) {
  if (!Is24Bit(bitmap)) return nullptr;
  auto result = std::make_unique<TBitmap>();
  result->SetPixelFormat(pf1bit);
  result->SetSize(bitmap->GetWidth(), bitmap->GetHeight());
  const bool two = TwoColourBits(
      bitmap->GetWidth(), bitmap->GetHeight(), result->BytesPerLine(),
      [&](int x, int y) { return RGBRow(bitmap, y)[x]; },
      [&](int y) { return result->ScanLine(y); }, [&] { _Negative1Bit(result.get()); }, colour0,
      colour1);
  return two ? result.release() : nullptr;
}

void _Negative1BitEx(TIEBitmap* picture) {
  if (!picture || picture->GetPixelFormat() != ie1g) return;
  for (int y = 0; y < picture->GetHeight(); ++y)
    _NegativeBuffer(picture->GetScanLine(y), picture->GetRowLen());
}

void _Negative1Bit(TBitmap* bitmap) {
  if (!bitmap || bitmap->GetPixelFormat() != pf1bit) return;
  for (int y = 0; y < bitmap->GetHeight(); ++y)
    _NegativeBuffer(bitmap->ScanLine(y), bitmap->BytesPerLine());
}

void _NegativeBuffer(void* buffer, int64_t length) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  for (int64_t i = 0; i < length; ++i) bytes[i] = uint8_t(~bytes[i]);
}
