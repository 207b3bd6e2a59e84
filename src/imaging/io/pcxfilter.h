// PCX pictures: 1 bit, 4 bits (one 4-bit plane or 1-bit planes), 8 bits
// with the 256-colour palette at the end of the file and 24 bits as three
// planes; uncompressed or run-length coded.
//
// The reader gives ie1g for one 1-bit plane and ie24RGB for the rest; the
// palette in use goes to IOParams.ColorMap. Bad data sets the progress
// record's abort flag.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/core/iedefs.h"

class TStream;
class TIEBitmap;
class TIOParamsVals;

// Reads a PCX of Size bytes from the stream's position (the 256-colour
// palette sits at its end). With Preview only the parameters are filled.
void ReadPcxStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams, int64_t Size,
                   TProgressRec& Progress, bool Preview);
void ReadPcx(const std::string& FileName, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
             TProgressRec& Progress);

// Writes the bitmap at the stream's position with the depth that
// BitsPerSample and SamplesPerPixel ask for.
void WritePcxStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress);
void WritePcx(const std::string& FileName, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
              TProgressRec& Progress);
