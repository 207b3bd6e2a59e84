// The coders behind the GIF codec's LZW hooks: the decoder, the LZW
// encoder and an encoder that writes valid GIF code streams from runs of
// equal pixels without building a dictionary.
//
// Index buffers hold width x height palette indices, one byte each, rows
// top to bottom in natural order also for interlaced frames: the coders do
// the interlace reordering (rows 0, 8, 16, ...; 4, 12, ...; 2, 6, ...;
// 1, 3, 5, ...).
#pragma once

#include <cstdint>

class TStream;

// Reads the code-size byte and the data sub-blocks at the stream's position
// and decodes them into Buffer. Success leaves the stream after the block
// terminator; on bad data the stream goes back to where it was on entry
// (the buffer then holds what was decoded so far).
void GIFLZWDecompress(TStream* Stream, int32_t Height, int32_t Width, bool Interlaced,
                      uint8_t* Buffer);

// Writes the code-size byte, the data sub-blocks and the terminator for the
// Width x Height indices in Data. Stream errors raise as the stream raises
// them.
void GIFLZWCompress(TStream* Stream, int32_t Height, int32_t Width, bool Interlaced,
                    const uint8_t* Data, int32_t BitsPerPixel);

// The same contract, coding runs with codes the decoder's table is known
// to hold (no dictionary); 255-byte sub-blocks.
void GIFNONLZWCompress(TStream* Stream, int32_t Height, int32_t Width, bool Interlaced,
                       const uint8_t* Data, int32_t BitsPerPixel);
