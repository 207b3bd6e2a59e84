// Uncompressed video frames (YUV sample layouts named by their FourCC) into
// 24-bit pixel buffers.
//
// Every routine fills a target already allocated at the frame's size as
// ie24RGB; topDown true fills rows from row 0 downwards, false from the last
// row upwards. The routines read exactly IEVideoFrameSize bytes of source;
// the caller makes sure the source holds them.
#pragma once

#include <cstdint>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iedefs.h"

// A FourCC as a 32-bit little-endian value, first character lowest.
constexpr uint32_t IEFourCC(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | (uint32_t(uint8_t(b)) << 8) | (uint32_t(uint8_t(c)) << 16) |
         (uint32_t(uint8_t(d)) << 24);
}

void YUV2RGB(int Y, int U, int V, TRGB& rgb);

void _CopyI420ToBitmap(const uint8_t* source, TIEBaseBitmap* target, bool topDown);
void _CopyYV12ToBitmap(const uint8_t* source, TIEBaseBitmap* target, bool topDown);
void _CopyYVU9ToBitmap(const uint8_t* source, TIEBaseBitmap* target, bool topDown);
void _CopyYUY2ToBitmap(const uint8_t* source, TIEBaseBitmap* target, bool topDown);
void _CopyUYVYToBitmap(const uint8_t* source, TIEBaseBitmap* target, bool topDown);
void _CopyYVYUToBitmap(const uint8_t* source, TIEBaseBitmap* target, bool topDown);
void _CopyY211ToBitmap(const uint8_t* source, TIEBaseBitmap* target, bool topDown);
void _CopyY41PToBitmap(const uint8_t* source, TIEBaseBitmap* target, bool topDown);
void _CopyIYU1ToBitmap(const uint8_t* source, TIEBaseBitmap* target, bool topDown);
void _CopyIYU2ToBitmap(const uint8_t* source, TIEBaseBitmap* target, bool topDown);
void _CopyCLJRToBitmap(const uint8_t* source, TIEBaseBitmap* target, bool topDown);

// The frame routine of a FourCC, nullptr for codes that are not frames.
using TIEFrameRoutine = void (*)(const uint8_t* source, TIEBaseBitmap* target, bool topDown);
TIEFrameRoutine IEVideoFrameRoutine(uint32_t fourcc);
// Bytes a frame of that FourCC and size takes; 0 for other codes or sizes
// of 0 or less.
uint64_t IEVideoFrameSize(uint32_t fourcc, int64_t width, int64_t height);
