// Windows bitmaps (BMP: read and write), icons (ICO) and cursors (CUR: read
// only), and the content tests of icons and cursors.
//
// Readers give ie1g for 1-bit pictures and ie24RGB for every other depth;
// palette pictures are expanded through their palette, which stays in
// IOParams.ColorMap. Bad data sets the progress record's abort flag; none
// of these routines raises an error of its own.
#pragma once

#include <cstdint>

#include "imaging/core/iedefs.h"

class TStream;
class TIEBitmap;
class TIEMask;
class TIOParamsVals;

// Reads one BMP from the stream's position. blockLength: the bytes the
// picture occupies from there (0 when unknown). With preview only the
// parameters are filled.
void BMPReadStream(TStream* Stream, TIEBitmap* Bitmap, int64_t BlockLength,
                   TIOParamsVals& IOParams, TProgressRec& Progress, bool Preview);

// Writes the bitmap as one BMP at the stream's position and leaves the
// stream at the end of what it wrote.
void BMPWriteStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress);

// Content tests; the stream position is restored.
bool ICOTryStream(TStream* Stream);
bool CURTryStream(TStream* Stream);

// Read the image ICO_ImageIndex (CUR_ImageIndex) of an icon (cursor) file.
// Transparency goes into Mask (8 bits, 255 opaque, 0 transparent), created
// when nil; with NoMask set the mask is neither created nor touched.
void ICOReadStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams, bool Preview,
                   TProgressRec& Progress, TIEMask*& Mask, bool NoMask);
void CURReadStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams, bool Preview,
                   TProgressRec& Progress, TIEMask*& Mask, bool NoMask);
