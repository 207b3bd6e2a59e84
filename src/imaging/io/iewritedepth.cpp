#include "imaging/io/iewritedepth.h"

#include "imaging/io/ioparams.h"

void IENoteReadDepth(TIOParamsVals& params) {
  params.ReadBitsPerSample = params.BitsPerSample;
  params.ReadSamplesPerPixel = params.SamplesPerPixel;
}

bool IEDepthInheritedFromRead(const TIOParamsVals& params) {
  return params.ReadBitsPerSample != 0 && params.BitsPerSample == params.ReadBitsPerSample &&
         params.SamplesPerPixel == params.ReadSamplesPerPixel;
}
