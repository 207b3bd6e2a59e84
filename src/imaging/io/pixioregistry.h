// How the I/O front end reads the registry: the built-in formats go to
// their own codecs, and only formats added at run time with working
// functions are read or written through their entries (the built-in
// entries carry placeholders that only tell the dialogs what a format can
// do).
#pragma once

#include "imaging/io/ieformats.h"

inline bool IEIsBuiltinFileType(TIEFileType code) { return code >= ieftTIFF && code <= ieftJ2K; }

inline bool IEHasRealReader(PIEFileFormatInfo entry) {
  return entry && entry->ReadFunction && entry->ReadFunction != IEPlaceholderRead;
}

inline bool IEHasRealWriter(PIEFileFormatInfo entry) {
  return entry && entry->WriteFunction && entry->WriteFunction != IEPlaceholderWrite;
}
