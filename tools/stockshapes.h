// Shapes the stock picture generators paint with: a shape tells whether a
// point is covered, and painting blends a colour over the pixels by how
// much of each the shape covers (4 x 4 samples a pixel), so edges come out
// smooth.
#pragma once

#include <functional>

#include "stockimage.h"

struct Rgb {
  double r, g, b;
};

// A shape: true where the point (in pixels, fractional) is covered.
using Shape = std::function<bool(double x, double y)>;

// Blends `colour` over the picture in proportion to the shape's coverage.
void Paint(Pixels& rgb, int width, int height, const Shape& shape, Rgb colour);

// The ring between two radii about (cx, cy); inner 0 gives a disc.
Shape Ring(double cx, double cy, double outer, double inner);
// A five-pointed star of outer radius `r`, one point up.
Shape Star(double cx, double cy, double r);
// The box from (l, t) up to (r, b), right and bottom edges left out.
Shape Box(double l, double t, double r, double b);
