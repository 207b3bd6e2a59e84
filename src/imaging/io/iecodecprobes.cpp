#include "imaging/io/iecodecprobes.h"

#include "imaging/io/bmpfilt.h"
#include "imaging/io/iej2000.h"
#include "imaging/io/jpegfilt.h"

const std::vector<TIECodecProbe>& IECodecProbes() {
  // In this order, each when its codec is there: PNG (size above 8), ICO,
  // CUR, TGA, PXM, JPEG, JPEG 2000 file (JP2), JPEG 2000 code stream (J2K).
  static const std::vector<TIECodecProbe> probes = {
      {ieftICO, 0, ICOTryStream},
      {ieftCUR, 0, CURTryStream},
      {ieftJPEG, 0, [](TStream* s) { return JpegTryStream(s) >= 0; }},
      {ieftJP2, 0, J2KTryStreamJP2},
      {ieftJ2K, 0, J2KTryStreamJ2K},
  };
  return probes;
}
