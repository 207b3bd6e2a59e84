// Small helpers shared by the codecs: the abort flag of a progress record,
// exact reads, and the bound that keeps a damaged header from asking for a
// picture far larger than the data that could fill it.
#pragma once

#include <cstdint>
#include <memory>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iedefs.h"
#include "platform/classes.h"

inline void IESetAbort(TProgressRec& progress) {
  if (progress.Aborting) *progress.Aborting = true;
}
inline bool IEAborted(const TProgressRec& progress) {
  return progress.Aborting && *progress.Aborting;
}

// Reads exactly count bytes; false on a short read or a stream error.
bool IEReadExact(TStream* stream, void* buffer, int64_t count);

// Bytes from the stream's position to its end (0 when the stream cannot tell).
int64_t IEStreamBytesLeft(TStream* stream);

// Pictures up to this many bytes are allocated whatever the data holds, so
// that slightly truncated small files still read as far as they go.
constexpr int64_t kIESmallPictureBytes = int64_t{4} << 20;

// a x b, or INT64_MAX when the product does not fit: sizes computed from
// header fields stay comparable however large the fields are.
inline int64_t IEMulSat(int64_t a, int64_t b) {
  int64_t product;
  return __builtin_mul_overflow(a, b, &product) ? INT64_MAX : product;
}

// True when a picture of `pictureBytes` bytes may be allocated for data
// that needs `neededBytes` bytes of which `availableBytes` are present; up
// to `slack` missing bytes are tolerated.
bool IEDataCoversPicture(int64_t pictureBytes, int64_t neededBytes, int64_t availableBytes,
                         int64_t slack);

// Allocates the bitmap with every pixel zero, so that what a file does not
// give never shows earlier memory; false (bitmap left empty) when the size
// does not fit or memory runs out.
bool IEAllocateBitmap(TIEBitmap* bitmap, int64_t width, int64_t height, TIEPixelFormat format);

// Progress set-up: counter 0 and the percent per unit for `units` units.
void IEProgressStart(TProgressRec& progress, int64_t units);

// A memory copy of the bitmap converted to the format, for writers that
// must not change the caller's picture.
std::unique_ptr<TIEBitmap> IEConvertedCopy(TIEBitmap* bitmap, TIEPixelFormat format);
// A 1-bit copy for writers: a picture of exactly two colours keeps them
// (colour0 the darker, colour1 the lighter); any other is thresholded to
// black and white, which colour0 and colour1 then hold.
std::unique_ptr<TIEBitmap> IETwoColourCopy(TIEBitmap* bitmap, TRGB& colour0, TRGB& colour1);
