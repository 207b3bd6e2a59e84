// Fills, a grid of marks and gamma correction of platform bitmaps.
#pragma once

#include "imaging/core/iedefs.h"

class TBitmap;

// A set of colour channels.
enum : unsigned { iecRed = 1u << 0, iecGreen = 1u << 1, iecBlue = 1u << 2 };
using TIEChannels = unsigned;

// Every pixel of [x1, x2) x [y1, y2) becomes Color. On a pf1bit bitmap the
// bits are set when Color's red is not 0, cleared otherwise (no progress).
// Other formats are left alone.
void _Fill(TBitmap* Bitmap, int x1, int y1, int x2, int y2, const TRGB& Color, const TIEProgressEvent& OnProgress,
           TObject* Sender);
// Paints one pixel in every Spacing + 1 columns of every Spacing + 1 rows of
// the rectangle, starting at its top-left (Spacing 0 paints all); pf24bit only.
void _PaintMark(TBitmap* Bitmap, int x1, int y1, int x2, int y2, int Spacing, const TRGB& Color,
                const TIEProgressEvent& OnProgress, TObject* Sender);
// Maps the chosen channels of the whole pf24bit bitmap through
// (i / 255) ^ (1 / Gamma) x 255. Other formats, and a Gamma that is not
// above 0, leave the bitmap alone.
void _IEGammaCorrect(TBitmap* Bitmap, double Gamma, TIEChannels Channels, const TIEProgressEvent& OnProgress,
                     TObject* Sender);
