// JPEG 2000 pictures in both syntaxes, the JP2 file format (file type 13)
// and the bare code stream (file type 14), through OpenJPEG: the binding of
// its streams to TStream, the conversion between its components and
// TIEBitmap rows (with a YCbCr table of our own), the parameters and the
// encoder's option text.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/core/iedefs.h"
#include "platform/classes.h"

class TIEBitmap;
class TIOParamsVals;

// Encoder formats.
inline constexpr int IEJ2KFormatJP2 = 0;
inline constexpr int IEJ2KFormatJ2K = 1;

// The JP2 signature box in the first 12 bytes; the position is restored.
bool J2KTryStreamJP2(TStream* Stream);
// SOC then SIZ (FF 4F FF 51) in the first 4 bytes; the position is restored.
bool J2KTryStreamJ2K(TStream* Stream);

// Decodes the picture at the stream's position (either syntax) into an
// ie24RGB bitmap, or ie1g for one 1-bit component. Unrecognised data, a
// decoding failure or a colour space other than grey, RGB and YCbCr set the
// abort flag and leave the bitmap untouched. With Preview only the
// parameters are read.
void J2KReadStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams, TProgressRec& Progress,
                   bool Preview);

// Encodes an ie24RGB or ie1g bitmap in format IEJ2KFormatJP2 or
// IEJ2KFormatJ2K. An ie1g bitmap sets BitsPerSample 1 and the grey colour
// space in the caller's parameters.
void J2KWriteStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams, TProgressRec& Progress,
                    int Format);

// The encoder's options: "rate=" with J2000_Rate, then " prg=lrcp" or
// " prg=rlcp" by J2000_ScalableBy.
std::string J2KEncoderOptions(const TIOParamsVals& IOParams);

// Cr to red, Cb to blue, Cr to green and Cb to green for a chroma byte
// (its value less 128), from the single-precision BT.601 factors.
struct TIEJ2KYCbCrTables {
  int32_t CrR[256];
  int32_t CbB[256];
  int32_t CrG[256];
  int32_t CbG[256];
};
const TIEJ2KYCbCrTables& J2KYCbCrTables();

// A temporary file named by the system with the prefix "pix" in
// DefTEMPPATH (or the system's temporary folder), opened for writing and
// deleted when the stream is freed.
class TIETmpStream : public TFileStream {
 public:
  TIETmpStream();
  ~TIETmpStream() override;
};
