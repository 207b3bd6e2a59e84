// The frame header of a JPEG file: its size and colour channels, read from
// untrusted bytes with every length checked. A picture that qualifies can
// go into a PDF file as its own bytes.
#pragma once

#include <string_view>

struct TJpegFrame {
  int Width = 0, Height = 0, Components = 0;
};

// True for the bytes of a whole JPEG file (start marker, a baseline,
// extended or progressive 8-bit frame of 1 or 3 channels with its size in
// the header, data enough for that size, and the end marker at the end)
// with `frame` filled; false, and `frame` untouched, for anything else.
bool ReadJpegFrame(std::string_view bytes, TJpegFrame& frame);
