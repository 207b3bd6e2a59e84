// Multi-page TIFF files as a whole: counting pages of a file or a stream.
// Opening errors and codec errors pass to the caller.
#pragma once

#include <cstdint>
#include <string>

class TStream;

// The number of pages of a TIFF file (opened read-only, others may read).
int32_t EnumTIFFIm(const std::string& name);
// The number of pages of the TIFF at the stream's position.
int32_t EnumTIFFStream(TStream* stream);
