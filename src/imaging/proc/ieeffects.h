// Distortion effects on pf24bit bitmaps: bump mapping (a coloured spot
// light across the relief the grey levels describe), a spherical lens and
// concentric waves. Other pixel formats are left alone. Each reports
// progress through the record and stops after the current row (the lens:
// column) when its abort flag is set, leaving the picture as it was for
// the lens and the waves.
#pragma once

#include "imaging/core/iedefs.h"
#include "platform/graphics.h"

// The light of lightWidth x lightHeight pixels at (lightX, lightY); mix is
// the percent of the picture kept. Rectangle [x1, x2) x [y1, y2).
void _BumpMapping(TBitmap* bitmap, int lightX, int lightY, int lightWidth, int lightHeight, int mix, TRGB colour,
                  int x1, int y1, int x2, int y2, TProgressRec& progress);
// A lens of width x height centred at (x, y); refraction below 1 counts as 1
// (no change).
void _lens(TBitmap* bitmap, int x, int y, int width, int height, double refraction, TProgressRec& progress);
// Waves around the picture's centre; phase in degrees. Reflective waves
// pull the samples toward the centre.
void _wave(TBitmap* bitmap, int amplitude, int waveLength, int phase, bool reflective, TProgressRec& progress);
