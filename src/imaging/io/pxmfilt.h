// Portable bitmaps, greymaps and pixmaps: reads P1 to P6, writes the raw
// forms P4, P5 and P6.
//
// P1 and P4 read as ie1g (a set bit is white, so the file's 1 = black is
// inverted), the others as ie24RGB. Header comments travel through
// IOParams.PXM_Comments. A bad header sets the progress record's abort
// flag; pixel data the file lacks reads as 0.
#pragma once

#include "imaging/core/iedefs.h"

class TStream;
class TIEBitmap;
class TIOParamsVals;

// Content test: a magic P1 to P6 and a positive width and height, comments
// allowed among them. The stream position is restored.
bool TryPXM(TStream* Stream);

// Reads one picture at the stream's position and leaves the stream after
// what it used; with Preview only the parameters are filled.
void PXMReadStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                   TProgressRec& Progress, bool Preview);

// P4 for 1 bit, P5 for 8-bit grey, P6 for 24 bits, chosen by
// BitsPerSample and SamplesPerPixel or by the bitmap's own format.
void PXMWriteStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress);
