// The size check every reader makes on a JPEG header before it hands the
// bytes to a decoder: a damaged or hostile header may announce far more
// pixels than its data could fill, and decoders allocate and work by the
// header.
#pragma once

#include <cstdint>

// Even a progressive scan spends a bit on each 8 x 8 block, so no real file
// packs more pixels than this into a byte.
constexpr int64_t kJpegPixelsPerByte = 1024;
// Pictures up to this many pixels pass whatever the data holds, so that
// slightly truncated small files still read as far as they go.
constexpr int64_t kJpegSmallPixels = (int64_t{4} << 20) / 3;

// True when `bytes` of JPEG data could fill a width x height picture.
inline bool JpegDataCanFill(int64_t width, int64_t height, int64_t bytes) {
  if (width <= 0 || height <= 0) return false;
  const int64_t pixels = width * height;  // JPEG sides are at most 65535
  return pixels <= kJpegSmallPixels || pixels / kJpegPixelsPerByte <= bytes;
}
