// Colour models and channels: one pixel to and from HSL (reals in 0..1) and
// HSV (hue 0..359 degrees, saturation and value 0..99), colour channels as
// gray pictures, the nearest palette colour and the red/blue exchange.
#pragma once

#include <cstdint>

#include "imaging/core/iedefs.h"

class TBitmap;

// Hue 0 is red, 1/3 green, 2/3 blue.
void RGB2HSL(const TRGB& rgb, double& H, double& S, double& L);
// Out-of-range components are clamped to 0..1 first.
void HSL2RGB(TRGB& rgb, double H, double S, double L);
void RGB2HSV(const TRGB& rgb, int& H, int& S, int& V);
// H is clamped to 0..359 (not wrapped), S and V to 0..99.
void HSV2RGB(TRGB& rgb, int H, int S, int V);

// A new pf24bit gray picture (the caller owns it) of one channel of a pf24bit
// bitmap; nullptr for other formats. RGB: 0 blue, 1 green, 2 and above red,
// below 0 blue. HSV: 0 hue, 1 saturation, 2 value, anything else hue.
TBitmap* _GetRGBChannel(TBitmap* bitmap, int channel, const TIEProgressEvent& OnProgress, TObject* Sender);
TBitmap* _GetHSVChannel(TBitmap* bitmap, int channel, const TIEProgressEvent& OnProgress, TObject* Sender);
// The three channels at once into caller-owned targets, each made pf24bit at
// the source's size: red, green, blue, or hue, saturation, value. A null
// target is skipped; nothing unless the source is pf24bit.
void _GetRGBChannelAll(TBitmap* source, TBitmap* red, TBitmap* green, TBitmap* blue,
                       const TIEProgressEvent& OnProgress, TObject* Sender);
void _GetHSVChannelAll(TBitmap* source, TBitmap* hue, TBitmap* saturation, TBitmap* value,
                       const TIEProgressEvent& OnProgress, TObject* Sender);

// Index of the palette entry nearest to colour (sum of channel differences);
// the first of equally near entries wins; 0 for an empty palette.
int _GetSimilColor(const TRGB* palette, int count, const TRGB& colour);

// Copies n pixels exchanging their first and third bytes.
void _CopyBGR_RGB(TRGB* target, const TRGB* source, int64_t n);
// Exchanges the first and third bytes of n pixels in place.
void _BGR2RGB(TRGB* pixels, int64_t n);
