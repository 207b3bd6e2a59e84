// Multi-page TIFF files as a whole: counting their pages, taking one page
// out, removing one, merging two files' pages. Files are replaced only by a
// complete result. Opening errors and codec errors pass to the caller.
#pragma once

#include <cstdint>
#include <string>

class TStream;

// The number of pages of a TIFF file (opened read-only, others may read).
int32_t EnumTIFFIm(const std::string& name);
// The number of pages of the TIFF at the stream's position.
int32_t EnumTIFFStream(TStream* stream);

// The number of pages the file had, 0 when nothing was removed.
int32_t DeleteTIFFIm(const std::string& name, int32_t index);
// Page index of the source as a TIFF of its own; 1 when written, else 0.
int32_t ExtractTIFFImageStream(TStream* source, TStream* target, int32_t index);
int32_t ExtractTIFFImageFile(const std::string& sourceName, const std::string& targetName, int32_t index);
// The pages of second placed before page index of first; the number of
// pages written, 0 when nothing was written.
int32_t InsertTIFFImageStream(TStream* first, TStream* second, TStream* output, int32_t index);
int32_t InsertTIFFImageFile(const std::string& firstName, const std::string& secondName,
                            const std::string& outputName, int32_t index);
