#include "imaging/proc/iehistogram.h"

#include <algorithm>
#include <vector>

#include "imaging/core/iehash.h"
#include "imaging/core/ievalues.h"
#include "imaging/proc/ieworker.h"
#include "platform/graphics.h"

namespace {

// Calls pixel(p) for every pixel of the rectangle, without progress.
template <class PixelFn>
void ReadRect(TBitmap* bitmap, int x1, int y1, int x2, int y2, PixelFn pixel) {
  const TIEWorkRect r(bitmap, x1, y1, x2, y2);
  for (int y = r.y1; y < r.y2; ++y) {
    const TRGB* row = IERGBRow(bitmap, y);
    for (int x = r.x1; x < r.x2; ++x) pixel(row[x]);
  }
}

}  // namespace

void _GetHistogram(TBitmap* bitmap, THistogram& histogram, int x1, int y1, int x2, int y2) {
  histogram = {};
  if (!IEIs24Bit(bitmap)) return;
  ReadRect(bitmap, x1, y1, x2, y2, [&](const TRGB& p) {
    ++histogram[p.r].r;
    ++histogram[p.g].g;
    ++histogram[p.b].b;
    ++histogram[_RGBToGray(p)].gray;
  });
}

int _GetImageNumColors(TBitmap* bitmap, int x1, int y1, int x2, int y2) {
  if (!IEIs24Bit(bitmap)) return 0;
  THash1 colours(13);
  ReadRect(bitmap, x1, y1, x2, y2,
           [&](const TRGB& p) { colours.Insert((uint32_t(p.r) << 16) | (uint32_t(p.g) << 8) | p.b); });
  return int(colours.KeyCount);
}

void _HistEqualize(TBitmap* bitmap, const TRGB& low, const TRGB& high, int x1, int y1, int x2, int y2,
                   const TIEProgressEvent& OnProgress, TObject* Sender) {
  const TRGB top{std::max<uint8_t>(high.b, 1), std::max<uint8_t>(high.g, 1), std::max<uint8_t>(high.r, 1)};
  if (low == top) return;
  const auto table = [](int lowLevel, int highLevel) {
    const double d = lowLevel == 255 ? 1 : 255 - lowLevel;
    TIELevelTable t;
    for (int i = 0; i < 256; ++i) {
      const uint8_t first = IEClampByte(IERoundSmall((i - lowLevel) / d * 255));
      t[i] = IEClampByte(IERoundSmall(double(first) / highLevel * 255));
    }
    return t;
  };
  IEApplyLevelTables(bitmap, table(low.r, top.r), table(low.g, top.g), table(low.b, top.b), x1, y1, x2, y2,
                     OnProgress, Sender);
}

void _HistAutoEqualize(TBitmap* bitmap, int x1, int y1, int x2, int y2, const TIEProgressEvent& OnProgress,
                       TObject* Sender) {
  if (!IEIs24Bit(bitmap)) return;
  const int width = bitmap->GetWidth(), height = bitmap->GetHeight();
  const int64_t bin = int64_t(width) * height / 256;
  if (bin == 0) return;
  THistogram histogram;
  _GetHistogram(bitmap, histogram, 0, 0, width, height);
  TIELevelTable lowLevel, highLevel;
  int64_t sum = 0, output = 0;
  for (int k = 0; k < 256; ++k) {
    lowLevel[k] = IEClampByte(output);
    sum += histogram[k].gray;
    // The whole quotient at once: the same as taking the bins off one by one.
    if (sum > bin) {
      const int64_t bins = (sum - 1) / bin;
      sum -= bins * bin;
      output += bins;
    }
    highLevel[k] = IEClampByte(output);
  }
  const TIEWorkRect r(bitmap, x1, y1, x2, y2);
  if (r.Empty()) return;
  // Neighbours are read from the untouched picture; results wait here.
  std::vector<TRGB> result(size_t(r.Width()) * r.Height());
  const TIERowProgress progress(OnProgress, Sender, r.y1, r.y2);
  for (int y = r.y1; y < r.y2; ++y) {
    const TRGB* rows[3] = {IERGBRow(bitmap, std::max(y - 1, 0)), IERGBRow(bitmap, y),
                           IERGBRow(bitmap, std::min(y + 1, height - 1))};
    TRGB* out = result.data() + size_t(y - r.y1) * r.Width();
    for (int x = r.x1; x < r.x2; ++x) {
      const int columns[3] = {std::max(x - 1, 0), x, std::min(x + 1, width - 1)};
      int sr = 0, sg = 0, sb = 0;
      for (const TRGB* row : rows)
        for (int c : columns) {
          sr += row[c].r;
          sg += row[c].g;
          sb += row[c].b;
        }
      const TRGB mean{uint8_t(sb / 9), uint8_t(sg / 9), uint8_t(sr / 9)};
      const TRGB p = rows[1][x];
      const int g = _RGBToGray(p), m = _RGBToGray(mean);
      // The tables are built over gray levels and looked up with each
      // channel's own value.
      const auto through = [&p](const TIELevelTable& t) { return TRGB{t[p.b], t[p.g], t[p.r]}; };
      if (lowLevel[g] == highLevel[g])
        out[x - r.x1] = through(lowLevel);
      else if (m > highLevel[g])
        out[x - r.x1] = through(highLevel);
      else if (m < lowLevel[g])
        out[x - r.x1] = through(lowLevel);
      else
        out[x - r.x1] = mean;
    }
    progress.Row(y);
  }
  for (int y = r.y1; y < r.y2; ++y)
    std::copy_n(result.data() + size_t(y - r.y1) * r.Width(), r.Width(), IERGBRow(bitmap, y) + r.x1);
}
