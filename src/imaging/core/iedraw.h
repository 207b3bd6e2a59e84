// Small drawing routines the views, the thumbnail view and the report
// pictures share: a two-colour frame, drop shadows to the right of and
// below a picture, and a hint box drawn straight onto a canvas.
#pragma once

#include <string>

#include "platform/canvas.h"

enum TIEShadowType { iestNone, iestSolid, iestSmooth1, iestSmooth2 };

// Left and top edges in colour1, bottom and right edges in colour2, with a
// solid pen in copy mode; lines leave out their last point as the canvas
// does, so the top-right corner pixel stays as it was.
void IEDraw3DRect(TCanvas* canvas, int x1, int y1, int x2, int y2, TColor colour1, TColor colour2);

// A shadow in the rectangle x1..x2 by y1..y2 (both edges included): solid
// fills with the canvas's brush, the smooth kinds are gray ramps, darker
// next to the picture.
void IERightShadow(TCanvas* canvas, int x1, int y1, int x2, int y2, TIEShadowType type);
void IEBottomShadow(TCanvas* canvas, int x1, int y1, int x2, int y2, TIEShadowType type);

// Draws a hint box near (x, y), kept inside 0..maxX by 0..maxY; x and y
// come back where the box went. `save` (when given) receives the canvas
// area the box covers, as a 24-bit bitmap, so the caller can put it back.
void IEDrawHint(TCanvas* canvas, int& x, int& y, const std::string& text, TFont* font, TBrush* brush, TBitmap* save,
                int maxX, int maxY, TColor colour1, TColor colour2);
