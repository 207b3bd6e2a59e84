// The library's own CIELAB scaling: lightness 0..100 stored as 0..255 (with
// the XYZ values left unscaled by a white point), a and b as signed bytes.
#include "imaging/core/iecielab.h"

#include <cmath>

#include "imaging/core/ievalues.h"

namespace {

double LinearChannel(uint8_t byte) {
  const double c = byte / 255.0;
  const double linear = c <= 0.03928 ? c / 12.92 : IEPower((c + 0.055) / 1.055, 2.4);
  return linear * 100;
}

double LabF(double t) { return t <= 0.008856 ? 7.787 * t + 16.0 / 116.0 : IEPower(t, 1.0 / 3.0); }

int8_t SignedByte(double v) {
  if (v < -128) return -128;
  if (v > 127) return 127;
  return static_cast<int8_t>(std::trunc(v));
}

uint8_t ChannelByte(double v) {
  if (v <= 0) return 0;
  if (v >= 1) return 255;
  return static_cast<uint8_t>(std::trunc(std::sqrt(v) * 256));
}

}  // namespace

TIELAB IERGB2CIELAB(const TRGB& rgb) {
  const double r = LinearChannel(rgb.r);
  const double g = LinearChannel(rgb.g);
  const double b = LinearChannel(rgb.b);
  const double x = 0.4124 * r + 0.3576 * g + 0.1805 * b;
  const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
  const double z = 0.0193 * r + 0.1192 * g + 0.9505 * b;
  const double fx = LabF(x), fy = LabF(y), fz = LabF(z);

  const double l = (116 * fy - 16) / 550 * 255;
  TIELAB lab;
  lab.l = l < 0 ? 0 : l > 255 ? 255 : static_cast<uint8_t>(std::trunc(l));
  lab.a = SignedByte((fx - fy) * 500 / 200 * 128);
  lab.b = SignedByte((fy - fz) * 200 / 500 * 128);
  return lab;
}

TRGB IECIELAB2RGB(const TIELAB& lab) {
  const double l = lab.l / 255.0 * 100;
  // -128 has no positive twin in the stored range; it stands for +128.
  const int a = lab.a == -128 ? 128 : lab.a;
  const int b = lab.b == -128 ? 128 : lab.b;
  const double as = (a + 127) / 255.0 * 200 - 100;
  const double bs = (b + 127) / 255.0 * 200 - 100;

  const double fy = (l + 16) / 116;
  const double fx = fy + as / 500;
  const double fz = fy - bs / 200;
  double x, y, z;
  if (l >= 7.9996) {
    x = fx * fx * fx;
    y = fy * fy * fy;
    z = fz * fz * fz;
  } else {
    const double h = l / 903.3;
    x = h + as / 3893.5;
    y = h;
    z = h - bs / 1557.4;
  }
  const double r = 2.69 * x - 1.276 * y - 0.414 * z;
  const double g = -1.022 * x + 1.978 * y + 0.044 * z;
  const double bl = 0.061 * x - 0.224 * y + 1.163 * z;
  return CreateRGB(ChannelByte(r), ChannelByte(g), ChannelByte(bl));
}
