#include "imaging/proc/ieadjust.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>

#include "imaging/core/ievalues.h"
#include "imaging/proc/iecolormodels.h"
#include "imaging/proc/ieworker.h"
#include "platform/canvas.h"
#include "platform/graphics.h"

namespace {

TIELevelTable ContrastTable(int64_t factor, int mean) {
  TIELevelTable table;
  for (int v = 0; v < 256; ++v) table[v] = IEClampByte(mean + factor * (v - mean) / 65536);
  return table;
}

TIELevelTable AddTable(int64_t amount) {
  TIELevelTable table;
  for (int v = 0; v < 256; ++v) table[v] = IEClampByte(v + amount);
  return table;
}

}  // namespace

void _ContrastRGB(TBitmap* bitmap, int c, int meanR, int meanG, int meanB, int x1, int y1, int x2, int y2,
                  const TIEProgressEvent& OnProgress, TObject* Sender) {
  const double scale = c >= 0 ? 1 + c / 10.0 : 1 - std::sqrt(-double(c)) / 10;
  const int64_t factor = static_cast<int64_t>(scale * 65536);
  IEApplyLevelTables(bitmap, ContrastTable(factor, meanR), ContrastTable(factor, meanG), ContrastTable(factor, meanB),
              x1, y1, x2, y2, OnProgress, Sender);
}

void _HSLvar(TBitmap* bitmap, int hue, int saturation, int lightness, int x1, int y1, int x2, int y2,
             const TIEProgressEvent& OnProgress, TObject* Sender) {
  const double dh = hue / 360.0, ds = saturation / 100.0, dl = lightness / 100.0;
  IEForEachPixel24(bitmap, x1, y1, x2, y2, OnProgress, Sender, [&](TRGB& p) {
    double h, s, l;
    RGB2HSL(p, h, s, l);
    HSL2RGB(p, h + dh, s + ds, l + dl);
  });
}

void _HSVvar(TBitmap* bitmap, int hue, int saturation, int value, int x1, int y1, int x2, int y2,
             const TIEProgressEvent& OnProgress, TObject* Sender) {
  // Clamped first so that huge shifts cannot overflow; HSV2RGB clamps again.
  hue = std::clamp(hue, -1000, 1000);
  saturation = std::clamp(saturation, -1000, 1000);
  value = std::clamp(value, -1000, 1000);
  IEForEachPixel24(bitmap, x1, y1, x2, y2, OnProgress, Sender, [&](TRGB& p) {
    int h, s, v;
    RGB2HSV(p, h, s, v);
    HSV2RGB(p, h + hue, s + saturation, v + value);
  });
}

void _IntensityRGBall(TBitmap* bitmap, int r, int g, int b, int x1, int y1, int x2, int y2,
                      const TIEProgressEvent& OnProgress, TObject* Sender) {
  IEApplyLevelTables(bitmap, AddTable(r), AddTable(g), AddTable(b), x1, y1, x2, y2, OnProgress, Sender);
}

void _ConvertToGray(TBitmap* bitmap, int x1, int y1, int x2, int y2, const TIEProgressEvent& OnProgress,
                    TObject* Sender) {
  IEForEachPixel24(bitmap, x1, y1, x2, y2, OnProgress, Sender, [](TRGB& p) {
    const uint8_t level = uint8_t(_RGBToGray(p));
    p = TRGB{level, level, level};
  });
}

void _Merge(TBitmap* bitmap, TBitmap* other, int percent, int x1, int y1, int x2, int y2,
            const TIEProgressEvent& OnProgress, TObject* Sender) {
  if (!IEIs24Bit(bitmap) || !other) return;
  const TIEWorkRect r(bitmap, x1, y1, x2, y2);
  if (r.Empty()) return;
  TBitmap stretched;
  stretched.SetPixelFormat(pf24bit);
  stretched.SetSize(r.Width(), r.Height());
  stretched.GetCanvas()->StretchDraw(TRect{0, 0, r.Width(), r.Height()}, other);
  const double own = percent / 100.0, theirs = (100 - percent) / 100.0;
  const auto mix = [&](uint8_t v, uint8_t w) { return IEClampByte(IERoundSmall(v * own + w * theirs)); };
  const TIERowProgress progress(OnProgress, Sender, r.y1, r.y2);
  for (int y = r.y1; y < r.y2; ++y) {
    TRGB* row = IERGBRow(bitmap, y);
    const TRGB* with = IERGBRow(&stretched, y - r.y1);
    for (int x = r.x1; x < r.x2; ++x) {
      const TRGB& w = with[x - r.x1];
      row[x] = TRGB{mix(row[x].b, w.b), mix(row[x].g, w.g), mix(row[x].r, w.r)};
    }
    progress.Row(y);
  }
}

void _CastColorRange(TBitmap* bitmap, const TRGB& first, const TRGB& last, const TRGB& cast, int x1, int y1,
                     int x2, int y2, const TIEProgressEvent& OnProgress, TObject* Sender) {
  IEForEachPixel24(bitmap, x1, y1, x2, y2, OnProgress, Sender, [&](TRGB& p) {
    if (first.r <= p.r && p.r <= last.r && first.g <= p.g && p.g <= last.g && first.b <= p.b && p.b <= last.b)
      p = cast;
  });
}

void _Threshold(TBitmap* bitmap, const TRGB& downLimit, const TRGB& upLimit, const TRGB& downValue,
                const TRGB& upValue, int x1, int y1, int x2, int y2, const TIEProgressEvent& OnProgress,
                TObject* Sender) {
  if (downLimit == TRGB{0, 0, 0} && upLimit == TRGB{255, 255, 255}) return;
  const auto table = [](uint8_t down, uint8_t up, uint8_t downTo, uint8_t upTo) {
    TIELevelTable t;
    for (int v = 0; v < 256; ++v) {
      int level = v <= down ? downTo : v;
      t[v] = uint8_t(level > up ? upTo : level);
    }
    return t;
  };
  IEApplyLevelTables(bitmap, table(downLimit.r, upLimit.r, downValue.r, upValue.r),
              table(downLimit.g, upLimit.g, downValue.g, upValue.g),
              table(downLimit.b, upLimit.b, downValue.b, upValue.b), x1, y1, x2, y2, OnProgress, Sender);
}

void _Negative(TBitmap* bitmap, int x1, int y1, int x2, int y2, const TIEProgressEvent& OnProgress,
               TObject* Sender) {
  if (!bitmap) return;
  if (bitmap->GetPixelFormat() == pf24bit) {
    IEForEachPixel24(bitmap, x1, y1, x2, y2, OnProgress, Sender,
                     [](TRGB& p) { p = TRGB{uint8_t(255 - p.b), uint8_t(255 - p.g), uint8_t(255 - p.r)}; });
    return;
  }
  if (bitmap->GetPixelFormat() != pf1bit) return;
  const TIEWorkRect r(bitmap, x1, y1, x2, y2);
  if (r.Empty()) return;
  const TIERowProgress progress(OnProgress, Sender, r.y1, r.y2);
  for (int y = r.y1; y < r.y2; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    for (int x = r.x1; x < r.x2; ++x) row[x >> 3] ^= uint8_t(0x80 >> (x & 7));
    progress.Row(y);
  }
}
