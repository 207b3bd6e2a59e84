// Frames as capture devices deliver them, turned into 24-bit bitmaps:
// packed YUYV (4:2:2, ITU-R BT.601 studio range) and Motion JPEG. Both
// check every size against the bytes they get and leave `into` alone when
// the frame does not fit.
#pragma once

#include <cstddef>
#include <cstdint>

class TBitmap;

bool CameraYuyvToBitmap(const uint8_t* data, size_t size, int width, int height, int bytesPerLine, TBitmap* into);
// Frames of cameras often leave out the Huffman tables; the decoder then
// takes the standard ones.
bool CameraMjpegToBitmap(const uint8_t* data, size_t size, TBitmap* into);
