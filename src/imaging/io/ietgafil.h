// Truevision TGA pictures: 18-byte header, image ID, colour map, plain or
// run-length coded pixels, and the extension area and footer of the 2.0
// layout (author, job, time stamp, key colour, aspect ratio, gamma).
//
// The reader gives ie1g for 1-bit pictures and ie24RGB for the rest; the
// alpha of 32-bit pictures goes into an 8-bit TIEMask. Bad headers set the
// progress record's abort flag.
#pragma once

#include "imaging/core/iedefs.h"

class TStream;
class TIEBitmap;
class TIEMask;
class TIOParamsVals;

// Content test on the image type and pixel depth; a stream that begins
// like a portable bitmap header is left to that test. The position is
// restored.
bool TryTGA(TStream* Stream);

// Reads one TGA at the stream's position. With Preview only the
// parameters are filled; the alpha of a 32-bit picture goes into Mask
// (created when nil) unless NoMask is set.
void ReadTGAStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                   TProgressRec& Progress, bool Preview, TIEMask*& Mask, bool NoMask);

// Writes an ie24RGB or ie1g bitmap; a mask that is not full makes a 32-bit
// picture with it as alpha. Mask may be nil.
void WriteTGAStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress, TIEMask* Mask);
