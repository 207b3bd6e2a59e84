// Resampling of platform bitmaps as the image view paints zoomed pictures:
// the separable two-pass filter with its kernels, the fast bilinear (or
// box-averaging) resampler, and the reduction of 1-bit pictures to the grey
// share of the set bits under each target pixel.
//
// The destination keeps the size the caller gave it; a destination or a
// source with no pixels receives nothing. In 1-bit rows a set bit is white
// and the most significant bit is the leftmost pixel.
#pragma once

#include <cstdint>
#include <memory>

#include "imaging/core/iedefs.h"

class TBitmap;
class TIEBaseBitmap;
class TIEBitmap;
class TIEMask;

// A resampling kernel and how far it reaches on either side of its centre.
struct TIEResampleKernel {
  double (*Function)(double x);
  double Support;
};

// The kernel of a filter code 1..8. rfFastLinear has no kernel: the filtered
// routines hand it to the bilinear resampler first. rfNone (which callers
// route to a plain stretch) falls back to the box kernel here, so a call
// with it still gives a defined picture.
TIEResampleKernel IEResampleKernel(TResampleFilter filter);

// The kernels themselves (t = |x|).
double IETriangleFilter(double x);
double IEHermiteFilter(double x);
double IEBellFilter(double x);
double IEBSplineFilter(double x);
double IELanczos3Filter(double x);
double IEMitchellFilter(double x);
double IEBoxFilter(double x);
double IELinearFilter(double x);

// A pf24bit source into the destination, made pf24bit, with the two-pass
// filter (rfFastLinear goes to _ResampleLinear). Another source format, a
// 0-wide or 0-high source and a 1 x 1 source leave the destination as it is.
void _Resample(TBitmap* Src, TBitmap* Dst, TResampleFilter Filter, TObject* Sender = nullptr,
               const TIEProgressEvent& OnProgress = nullptr);
// A pf1bit source into the destination, made pf24bit: clear bits read as 0,
// set bits as 255, the grey written to all three channels (rfFastLinear goes
// to _ResampleLinear1Bit).
void _Resample1bit(TBitmap* Src, TBitmap* Dst, TResampleFilter Filter);

// Bilinear when an axis grows, the plain mean of the covered pixels when it
// shrinks; an equal size copies the source.
void _ResampleLinear(TBitmap* Src, TBitmap* Dst, TObject* Sender = nullptr,
                     const TIEProgressEvent& OnProgress = nullptr);
// pf1bit into pf24bit: bilinear on 0/255 while either axis grows; when both
// shrink, the grey share of set bits over the whole source.
void _ResampleLinear1Bit(TBitmap* Src, TBitmap* Dst, TObject* Sender = nullptr,
                         const TIEProgressEvent& OnProgress = nullptr);

// The rectangle X1..X2 by Y1..Y2 (edges included, cut to the picture) of a
// pf1bit source into the destination, made pf24bit, each target pixel
// 255 x (set bits) div (pixels) of the block under it.
void _SubResample1bitFiltered(TBitmap* Src, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TBitmap* Dst);

// The same over raw bottom-up 1-bit rows (each padded to 4 bytes) of a
// Width x Height picture, into a new bottom-up 24-bit block of DstWidth x
// DstHeight (rows padded to 4 bytes). None when a size is below 1 or the
// rectangle does not lie inside the picture.
std::unique_ptr<uint8_t[]> _SubResample1bitFilteredDIB(const uint8_t* Bits, int32_t Width, int32_t Height,
                                                       int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                                                       int32_t DstWidth, int32_t DstHeight);

// The same routines over picture buffers and masks.
//
// An ie24RGB source into the destination, made ie24RGB at its own size
// (rfFastLinear goes to _ResampleLinearEx); other sources do nothing.
void _ResampleEx(TIEBaseBitmap* Src, TIEBaseBitmap* Dst, TResampleFilter Filter, TObject* Sender = nullptr,
                 const TIEProgressEvent& OnProgress = nullptr);
// Bilinear or box as _ResampleLinear; an equal size assigns the source.
void _ResampleLinearEx(TIEBaseBitmap* Src, TIEBaseBitmap* Dst, TObject* Sender = nullptr,
                       const TIEProgressEvent& OnProgress = nullptr);
// 8-bit masks, one channel (rfFastLinear goes to _ResampleLinearAlpha).
void _ResampleAlpha(TIEMask* Src, TIEMask* Dst, TResampleFilter Filter);
// Bilinear or box on 8-bit masks; an equal size assigns the mask.
void _ResampleLinearAlpha(TIEMask* Src, TIEMask* Dst, TObject* Sender = nullptr,
                          const TIEProgressEvent& OnProgress = nullptr);
// A rectangle of an ie1g source into the destination, made ie24RGB, as
// _SubResample1bitFiltered.
void _SubResample1bitFilteredEx(TIEBaseBitmap* Src, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                                TIEBitmap* Dst);

// Plain stretches. _IEBmpStretch draws a pf1bit or pf24bit bitmap into the
// destination, which takes its pixel format. _IEBmpStretchEx takes, for each
// target pixel, the source pixel at trunc(ratio x position), for ie1g, ie8p,
// ie8g, ie16g and ie24RGB buffers of the same format; others are untouched.
void _IEBmpStretch(TBitmap* Src, TBitmap* Dst);
void _IEBmpStretchEx(TIEBaseBitmap* Src, TIEBaseBitmap* Dst);
