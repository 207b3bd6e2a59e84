// The four LZW coder hooks of the GIF and TIFF codecs. They are empty until
// the card program's picture forms install the coders; every new or reset
// TIOParamsVals copies them, and the codecs use the parameters' copy, else
// these globals.
#pragma once

#include <cstdint>

#include "platform/classes.h"

// Decodes the code stream at the stream's position into width x height
// indices; on failure the stream keeps the position it had on entry.
using TGIFLZWDecompFunc = void (*)(TStream* Stream, int32_t Height, int32_t Width, bool Interlaced,
                                   uint8_t* Buffer);
// Writes the code stream of width x height indices.
using TGIFLZWCompFunc = void (*)(TStream* Stream, int32_t Height, int32_t Width, bool Interlaced,
                                 const uint8_t* Data, int32_t BitsPerPixel);
// Decodes one row of a strip of DataLength coded bytes (never read beyond);
// nil data ends the strip and frees the context. Returns the row's bytes,
// valid until the next call, or nil on failure.
using TTIFFLZWDecompFunc = uint8_t* (*)(const uint8_t* Data, int64_t DataLength,
                                        int32_t RowLength, void*& Context);
// Encodes one row into the stream; nil data ends the strip.
using TTIFFLZWCompFunc = void (*)(const uint8_t* Data, int32_t Length, TStream* Stream,
                                  void*& Context);

extern TGIFLZWDecompFunc DefGIF_LZWDECOMPFUNC;
extern TGIFLZWCompFunc DefGIF_LZWCOMPFUNC;
extern TTIFFLZWDecompFunc DefTIFF_LZWDECOMPFUNC;
extern TTIFFLZWCompFunc DefTIFF_LZWCOMPFUNC;
