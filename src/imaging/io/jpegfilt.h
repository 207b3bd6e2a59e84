// JPEG pictures through libjpeg: reading (baseline and progressive, with
// DCT scaling), writing, finding the start of a JPEG stream, replacing the
// IPTC segment, and lossless rotate, flip and crop of the coefficients.
#pragma once

#include <cstdint>

#include "imaging/core/iedefs.h"
#include "platform/sysutils.h"
#include "platform/wintypes.h"

class TStream;
class TIEBitmap;
class TIOParamsVals;
class TIEIPTCInfoList;

// Raised (only by the writer) when libjpeg reports an error.
CW_DECLARE_EXCEPTION(EIEJpegException, Exception)
inline constexpr const char* IEJpegCorruptedMessage = "Jpeg corrupted file";

// Equal to libjpeg's marker-copy options.
enum TIEJpegCopyMarkers { jcCopyNone, jcCopyComments, jcCopyAll };

enum TIEJpegTransform {
  jtNone,
  jtCut,
  jtHorizFlip,
  jtVertFlip,
  jtTranspose,
  jtTransverse,
  jtRotate90,
  jtRotate180,
  jtRotate270
};

// Decodes the JPEG that starts within the first 100 bytes after the
// stream's position into an ie24RGB bitmap. With Preview only the
// parameters and markers are read. Failures set the abort flag only.
void ReadJPegStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress, bool Preview);

// Encodes an ie24RGB bitmap (other formats go through a 24-bit copy) at
// the stream's position. A libjpeg error sets the abort flag and raises
// EIEJpegException "Jpeg corrupted file".
void WriteJPegStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                     TProgressRec& Progress);

// Absolute position of the first FF D8 FF at one of the 100 positions from
// the current one, else -1; the position is restored.
int64_t JpegTryStream(TStream* Stream);

// Copies the JPEG at the input's position with the list as its only APP13
// segment; false when the copy stopped on a bad marker or no segment could
// be placed.
bool IEJpegInjectIPTC(TStream* InStream, TStream* OutStream, TIEIPTCInfoList* IPTCList);

// Copies the JPEG at the input's position applying a lossless transform;
// jtCut keeps CutRect (inclusive corners, its left and top moved out to the
// nearest block boundary). Failure sets the abort flag.
void IEJpegLosslessTransform(TStream* InStream, TStream* OutStream, TProgressRec& Progress,
                             TIEJpegTransform Transform, bool GrayScale,
                             TIEJpegCopyMarkers CopyMarkers, TRect CutRect);
