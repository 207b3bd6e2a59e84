// The LZW coder of TIFF compression 5: codes most significant bit first,
// Clear 256, EndOfInformation 257, first free code 258, 9 to 12 bits with
// the early change. The TIFF codecs reach it only through the hooks of
// ielzwhooks.h, which the card program's picture forms fill.
#pragma once

#include <cstdint>

class TStream;

// Decodes the next row (RowLength bytes) of a strip of DataLength coded
// bytes. Context nil: a context is made for this strip. Data nil: the
// context is freed and nil returned. The result stays valid until the next
// call; nil for a corrupt code stream. A strip that ends early (no
// EndOfInformation, or EndOfInformation before the row is full) gives zero
// bytes for the missing part.
uint8_t* TIFFLZWDecompress(const uint8_t* Data, int64_t DataLength, int32_t RowLength,
                           void*& Context);

// Encodes one row into the stream, continuing the strip's code stream.
// Context nil: a context is made and Clear written first. Data nil: the
// pending code and EndOfInformation are written, the last byte padded and
// the context freed.
void TIFFLZWCompress(const uint8_t* Data, int32_t Length, TStream* Stream, void*& Context);
