// Whole-file JPEG operations: lossless transforms of one file or stream
// into another. The target file is replaced only by a complete result, so
// a failed transform loses nothing; a file is never transformed onto itself
// (it is open for reading, so the target is refused).
#pragma once

#include <string>

#include "imaging/io/jpegfilt.h"
#include "platform/wintypes.h"

class TStream;

bool JpegLosslessTransform(const std::string& sourceName, const std::string& targetName,
                           TIEJpegTransform Transform, bool GrayScale, TIEJpegCopyMarkers CopyMarkers,
                           TRect CutRect);
// False when the transform failed; the target may then hold part of it.
bool JpegLosslessTransformStream(TStream* source, TStream* target, TIEJpegTransform Transform, bool GrayScale,
                                 TIEJpegCopyMarkers CopyMarkers, TRect CutRect);
