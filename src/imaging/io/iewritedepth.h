// Telling the depth that the last read left in the parameters from a
// depth set on purpose. A writer that takes BitsPerSample and
// SamplesPerPixel as they stand after reading, say, a 1-bit file would
// save a later colour picture with one bit per pixel; writers therefore
// pick a depth that keeps the picture when the parameters only repeat the
// last read.
#pragma once

class TIOParamsVals;

// Readers call this once the depth of the file is in the parameters.
void IENoteReadDepth(TIOParamsVals& params);

// True when BitsPerSample and SamplesPerPixel are still what the last read
// put there.
bool IEDepthInheritedFromRead(const TIOParamsVals& params);
