// CCITT fax coders of TIFF: Modified Huffman (compression 2), T.4 one- and
// two-dimensional coding (compression 3) and T.6 (compression 4).
//
// Decoded rows hold one bit a pixel, most significant bit first, 1 = white
// (the ie1g convention). Rows given to the encoders hold 0 = white, 1 =
// black. A row buffer holds ceil(width / 8) bytes.
//
// The decoders are told how many coded bytes there are and read nothing
// beyond them: bits past the end read as 0, and a row whose data runs out
// ends there, white where nothing was painted. They never fail. The row
// state between rows (bit position, reference row) lives with the caller.
#pragma once

#include <cstdint>
#include <vector>

class TStream;

// Fill order of the coded bytes (TIFF tag 266): 1 = most significant bit
// first, 2 = least significant bit first.
constexpr int32_t ieFillMSB = 1;
constexpr int32_t ieFillLSB = 2;

// One Modified Huffman row from the first bit of data; returns the bytes
// used (bits rounded up).
int64_t CCITTHuffmanGetLine(uint8_t* Row, const uint8_t* Data, int64_t DataLength, int32_t Width,
                            int32_t FillOrder);

// One one-dimensional row from bit BitPos; returns the bit position after
// it. Fill bits and EOLs before the row are skipped.
int64_t _CCITTHuffmanGetLine(uint8_t* Row, const uint8_t* Data, int64_t DataLength,
                             int32_t Width, int64_t BitPos, int32_t FillOrder);

// One row that may be coded two-dimensionally against RefRow (or, after an
// EOL with tag bit 1, one-dimensionally); returns the new bit position.
// Afterwards RefRow holds the decoded row. FillBits: zero bits may stand
// before each EOL.
int64_t CCITT3_2D_GetLine(uint8_t* Row, const uint8_t* Data, int64_t DataLength, int32_t Width,
                          uint8_t* RefRow, int64_t BitPos, int32_t FillOrder, bool FillBits);

// Encoders. Whole bytes go to the stream through SafeStreamWrite, which
// sets Abort on a short write. The bits that do not fill a byte are kept in
// LastByte (from its most significant bit on) and BitCount between calls,
// both 0 at the start. The stream encoders are called once more with a nil
// row and width 0 after the last row: that call finishes the code stream,
// frees the reference row and pads the last byte with zero bits.

// One Modified Huffman row, padded with zero bits to a whole byte.
void CCITTHuffmanPutLine(const uint8_t* Row, int32_t Width, TStream* Stream, bool& Abort);
// EOL, then one one-dimensional row.
void CCITTHuffmanPutLineG3(const uint8_t* Row, int32_t Width, TStream* Stream, uint8_t& LastByte,
                           int32_t& BitCount, bool& Abort);
// EOL and tag bit, then the row: the first row (RefRow still empty)
// one-dimensionally, the later ones two-dimensionally.
void CCITTHuffmanPutLineG32D(const uint8_t* Row, int32_t Width, TStream* Stream,
                             uint8_t& LastByte, int32_t& BitCount, std::vector<uint8_t>& RefRow,
                             bool& Abort);
// One T.6 row against RefRow (all white before the first row).
void CCITTHuffmanPutLineG4(const uint8_t* Row, int32_t Width, TStream* Stream, uint8_t& LastByte,
                           int32_t& BitCount, std::vector<uint8_t>& RefRow, bool& Abort);

// Appends the run codes of one row to a bit buffer from bit BitPos on
// (most significant bit of each byte first); the buffer grows as needed.
void _CCITTHuffmanPutLine(const uint8_t* Row, int32_t Width, std::vector<uint8_t>& BitBuffer,
                          int64_t& BitPos);
