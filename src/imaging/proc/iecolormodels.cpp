#include "imaging/proc/iecolormodels.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "imaging/core/iebits.h"
#include "imaging/proc/ieworker.h"
#include "platform/graphics.h"

void RGB2HSL(const TRGB& rgb, double& H, double& S, double& L) {
  const double r = rgb.r / 255.0, g = rgb.g / 255.0, b = rgb.b / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  L = (mx + mn) / 2;
  if (mx == mn) {
    S = 0;
    H = 0;
    return;
  }
  const double d = mx - mn;
  S = L >= 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
  double h;
  if (mx == r)
    h = (g - b) / d;
  else if (mx == g)
    h = (b - r) / d + 2;
  else
    h = (r - g) / d + 4;
  H = h / 6;
  if (H < 0) H += 1;
}

namespace {

double HueChannel(double m1, double m2, double h) {
  if (h < 0) h += 1;
  if (h > 1) h -= 1;
  if (6 * h < 1) return m1 + (m2 - m1) * 6 * h;
  if (2 * h < 1) return m2;
  if (3 * h < 2) return m1 + (m2 - m1) * (2.0 / 3 - h) * 6;
  return m1;
}

// Truncated, as the channel rule says; the small allowance keeps a level
// that comes out a hair below its integer (49.9999999 for 50) from losing
// one, so that a colour converted to HSL and back is unchanged.
uint8_t UnitToByte(double value) { return IEClampByte(static_cast<int64_t>(value * 255 + 1e-7)); }

}  // namespace

void HSL2RGB(TRGB& rgb, double H, double S, double L) {
  H = std::max(H, 0.0);
  S = std::clamp(S, 0.0, 1.0);
  L = std::clamp(L, 0.0, 1.0);
  const double m2 = L <= 0.5 ? L * (1 + S) : L + S - L * S;
  if (S == 0) {
    rgb.r = rgb.g = rgb.b = UnitToByte(L);
    return;
  }
  H = std::min(H, 1.0);
  const double m1 = 2 * L - m2;
  rgb.r = UnitToByte(HueChannel(m1, m2, H + 1.0 / 3));
  rgb.g = UnitToByte(HueChannel(m1, m2, H));
  rgb.b = UnitToByte(HueChannel(m1, m2, H - 1.0 / 3));
}

void RGB2HSV(const TRGB& rgb, int& H, int& S, int& V) {
  const int r = IERoundSmall(rgb.r / 255.0 * 99);
  const int g = IERoundSmall(rgb.g / 255.0 * 99);
  const int b = IERoundSmall(rgb.b / 255.0 * 99);
  V = std::max({r, g, b});
  const int d = V - std::min({r, g, b});
  S = V == 0 ? 0 : d * 99 / V;
  if (S == 0) {
    H = 0;
    return;
  }
  if (r == V)
    H = (g - b) * 60 / d;
  else if (g == V)
    H = (b - r) * 60 / d + 120;
  else
    H = (r - g) * 60 / d + 240;
  if (H < 0) H += 360;
}

void HSV2RGB(TRGB& rgb, int H, int S, int V) {
  H = std::clamp(H, 0, 359);
  S = std::clamp(S, 0, 99);
  V = std::clamp(V, 0, 99);
  int r, g, b;
  if (S == 0) {
    r = g = b = V;
  } else {
    const int P = S * V, f = H % 60;
    const int p = V - P / 99, q = V - P * f / 5940, t = V - P * (60 - f) / 5940;
    switch (H / 60) {
      case 0: r = V, g = t, b = p; break;
      case 1: r = q, g = V, b = p; break;
      case 2: r = p, g = V, b = t; break;
      case 3: r = p, g = q, b = V; break;
      case 4: r = t, g = p, b = V; break;
      default: r = V, g = p, b = q; break;
    }
  }
  rgb.r = uint8_t(IERoundSmall(r / 99.0 * 255));
  rgb.g = uint8_t(IERoundSmall(g / 99.0 * 255));
  rgb.b = uint8_t(IERoundSmall(b / 99.0 * 255));
}

namespace {

void SizeLike(TBitmap* target, TBitmap* source) {
  target->SetPixelFormat(pf24bit);
  target->SetSize(source->GetWidth(), source->GetHeight());
}

// Writes gray(pixel) into up to three gray targets, row by row, with the
// whole-picture progress.
template <class Channels>
void WriteGrayChannels(TBitmap* source, TBitmap* const (&targets)[3], const TIEProgressEvent& onProgress,
                       TObject* sender, Channels channels) {
  for (TBitmap* target : targets)
    if (target) SizeLike(target, source);
  const int width = source->GetWidth(), height = source->GetHeight();
  for (int y = 0; y < height; ++y) {
    const TRGB* src = IERGBRow(source, y);
    TRGB* rows[3] = {};
    for (int k = 0; k < 3; ++k)
      if (targets[k]) rows[k] = IERGBRow(targets[k], y);
    for (int x = 0; x < width; ++x) {
      uint8_t levels[3];
      channels(src[x], levels);
      for (int k = 0; k < 3; ++k)
        if (rows[k]) rows[k][x] = TRGB{levels[k], levels[k], levels[k]};
    }
    IEReportRow(onProgress, sender, y, height);
  }
}

void HSVLevels(const TRGB& pixel, uint8_t (&levels)[3]) {
  int h, s, v;
  RGB2HSV(pixel, h, s, v);
  levels[0] = uint8_t(h * 255 / 359);
  levels[1] = uint8_t(s * 255 / 99);
  levels[2] = uint8_t(v * 255 / 99);
}

TBitmap* OneChannel(TBitmap* bitmap, int slot, bool hsv, const TIEProgressEvent& onProgress, TObject* sender) {
  if (!IEIs24Bit(bitmap)) return nullptr;
  auto target = std::make_unique<TBitmap>();
  TBitmap* const targets[3] = {target.get(), nullptr, nullptr};
  WriteGrayChannels(bitmap, targets, onProgress, sender, [&](const TRGB& pixel, uint8_t(&levels)[3]) {
    if (hsv) {
      uint8_t all[3];
      HSVLevels(pixel, all);
      levels[0] = all[slot];
    } else {
      levels[0] = reinterpret_cast<const uint8_t*>(&pixel)[slot];
    }
  });
  return target.release();
}

}  // namespace

TBitmap* _GetRGBChannel(TBitmap* bitmap, int channel, const TIEProgressEvent& OnProgress, TObject* Sender) {
  // Bytes are blue, green, red; indexes outside them mean the nearest end.
  return OneChannel(bitmap, std::clamp(channel, 0, 2), false, OnProgress, Sender);
}

TBitmap* _GetHSVChannel(TBitmap* bitmap, int channel, const TIEProgressEvent& OnProgress, TObject* Sender) {
  return OneChannel(bitmap, channel == 1 || channel == 2 ? channel : 0, true, OnProgress, Sender);
}

void _GetRGBChannelAll(TBitmap* source, TBitmap* red, TBitmap* green, TBitmap* blue,
                       const TIEProgressEvent& OnProgress, TObject* Sender) {
  if (!IEIs24Bit(source)) return;
  TBitmap* const targets[3] = {red, green, blue};
  WriteGrayChannels(source, targets, OnProgress, Sender, [](const TRGB& pixel, uint8_t(&levels)[3]) {
    levels[0] = pixel.r;
    levels[1] = pixel.g;
    levels[2] = pixel.b;
  });
}

void _GetHSVChannelAll(TBitmap* source, TBitmap* hue, TBitmap* saturation, TBitmap* value,
                       const TIEProgressEvent& OnProgress, TObject* Sender) {
  if (!IEIs24Bit(source)) return;
  TBitmap* const targets[3] = {hue, saturation, value};
  WriteGrayChannels(source, targets, OnProgress, Sender, HSVLevels);
}

int _GetSimilColor(const TRGB* palette, int count, const TRGB& colour) {
  int best = 0, bestDistance = 1000;
  for (int i = 0; i < count; ++i) {
    const int distance = std::abs(palette[i].r - colour.r) + std::abs(palette[i].g - colour.g) +
                         std::abs(palette[i].b - colour.b);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

void _CopyBGR_RGB(TRGB* target, const TRGB* source, int64_t n) {
  for (int64_t i = 0; i < n; ++i) target[i] = TRGB{source[i].r, source[i].g, source[i].b};
}

void _BGR2RGB(TRGB* pixels, int64_t n) { _RGB2BGR(pixels, n); }
