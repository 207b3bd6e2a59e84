// Colour and tone adjustments of the rectangle [x1, x2) x [y1, y2) of a
// pf24bit platform bitmap (the workers of the processing component). Other
// pixel formats are left alone, except by _Negative, which also inverts
// 1-bit pictures. Channel results are clamped to 0..255; the gray level is
// (21 R + 71 G + 8 B) div 100.
#pragma once

#include "imaging/core/iedefs.h"

class TBitmap;

// Each channel moves away from (c > 0) or toward (c < 0) its mean m:
// v' = m + F (v - m) div 65536, F = (1 + c / 10) or (1 - sqrt(-c) / 10) in 16.16.
void _ContrastRGB(TBitmap* bitmap, int c, int meanR, int meanG, int meanB, int x1, int y1, int x2, int y2,
                  const TIEProgressEvent& OnProgress, TObject* Sender);
// Shifts hue by hue / 360, saturation and lightness by their values / 100.
void _HSLvar(TBitmap* bitmap, int hue, int saturation, int lightness, int x1, int y1, int x2, int y2,
             const TIEProgressEvent& OnProgress, TObject* Sender);
// Shifts the HSV components; the results are clamped, the hue is not wrapped.
void _HSVvar(TBitmap* bitmap, int hue, int saturation, int value, int x1, int y1, int x2, int y2,
             const TIEProgressEvent& OnProgress, TObject* Sender);
// Adds r, g and b to the channels.
void _IntensityRGBall(TBitmap* bitmap, int r, int g, int b, int x1, int y1, int x2, int y2,
                      const TIEProgressEvent& OnProgress, TObject* Sender);
void _ConvertToGray(TBitmap* bitmap, int x1, int y1, int x2, int y2, const TIEProgressEvent& OnProgress,
                    TObject* Sender);
// Blends the other picture, stretched to the rectangle, in: percent of the
// bitmap's own value, the rest of the other's.
void _Merge(TBitmap* bitmap, TBitmap* other, int percent, int x1, int y1, int x2, int y2,
            const TIEProgressEvent& OnProgress, TObject* Sender);
// Pixels whose every channel lies within first..last (bounds included)
// become cast.
void _CastColorRange(TBitmap* bitmap, const TRGB& first, const TRGB& last, const TRGB& cast, int x1, int y1,
                     int x2, int y2, const TIEProgressEvent& OnProgress, TObject* Sender);
// Per channel: at or below downLimit becomes downValue; then above upLimit
// becomes upValue. Nothing when the limits are black and white.
void _Threshold(TBitmap* bitmap, const TRGB& downLimit, const TRGB& upLimit, const TRGB& downValue,
                const TRGB& upValue, int x1, int y1, int x2, int y2, const TIEProgressEvent& OnProgress,
                TObject* Sender);
// v' = 255 - v; on a pf1bit bitmap the bits of the rectangle are inverted.
void _Negative(TBitmap* bitmap, int x1, int y1, int x2, int y2, const TIEProgressEvent& OnProgress,
               TObject* Sender);
