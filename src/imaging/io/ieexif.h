// The EXIF block of a JPEG's APP1 segment: a small TIFF whose first
// directory (and its EXIF directory) hold the camera's values and whose
// second directory is the thumbnail.
#pragma once

#include <cstdint>

class TIOParamsVals;

// Reads an "Exif\0\0" block into the EXIF values and EXIF_Thumbnail of
// Params (the thumbnail bitmap is made when Params has none). False, with
// Params untouched, when the block does not start with the signature.
bool LoadEXIFFromStandardBuffer(const void* Buffer, int64_t Length, TIOParamsVals& Params);
