#include "stockshapes.h"

#include <cmath>

// Blends `colour` over the picture in proportion to the shape's coverage.
void Paint(Pixels& rgb, int width, int height, const Shape& shape, Rgb colour) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) hits += shape(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
      if (!hits) continue;
      const double a = hits / 16.0;
      uint8_t* p = &rgb[size_t(y * width + x) * 3];
      p[0] = uint8_t(std::lround(p[0] * (1 - a) + colour.r * a));
      p[1] = uint8_t(std::lround(p[1] * (1 - a) + colour.g * a));
      p[2] = uint8_t(std::lround(p[2] * (1 - a) + colour.b * a));
    }
}

Shape Ring(double cx, double cy, double outer, double inner) {
  return [=](double x, double y) {
    const double d = std::hypot(x - cx, y - cy);
    return d <= outer && d >= inner;
  };
}

// A five-pointed star of outer radius `r`, one point up.
Shape Star(double cx, double cy, double r) {
  return [=](double x, double y) {
    const double pi = std::acos(-1.0);
    const double angle = std::atan2(x - cx, cy - y);  // 0 points up
    const double sector = std::fmod(angle + 2 * pi + pi / 5, 2 * pi / 5) - pi / 5;
    // Distance to the star's edge in this direction: between a point at
    // radius r and a notch at r * 0.382.
    const double inner = r * 0.382;
    const double px = r, nx = inner * std::cos(pi / 5), ny = inner * std::sin(pi / 5);
    // Intersect the ray at |sector| with the segment from (px, 0) to (nx, ny).
    const double dx = nx - px, dy = ny;
    const double c = std::cos(std::abs(sector)), s = std::sin(std::abs(sector));
    const double edge = (px * dy) / (c * dy - s * dx);
    return std::hypot(x - cx, y - cy) <= edge;
  };
}

Shape Box(double l, double t, double r, double b) {
  return [=](double x, double y) { return x >= l && x < r && y >= t && y < b; };
}
