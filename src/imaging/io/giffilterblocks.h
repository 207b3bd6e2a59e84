// What the GIF reader, writer and frame operations share: the block
// bytes, the logical screen with its global palette, raw copies of whole
// blocks, and the coding of one frame.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/core/iedefs.h"

class TStream;
class TIEBitmap;
class TIOParamsVals;

constexpr uint8_t kGifExtension = 0x21;
constexpr uint8_t kGifDescriptor = 0x2C;
constexpr uint8_t kGifTrailer = 0x3B;
constexpr uint8_t kGifGraphicControl = 0xF9;
constexpr uint8_t kGifComment = 0xFE;
constexpr uint8_t kGifApplication = 0xFF;
constexpr int kGifDescriptorSize = 9;  // after the 0x2C
constexpr const char* kGifLoopIdentifier = "NETSCAPE2.0";

using TGifPalette = std::array<TRGB, 256>;

// The 13-byte header and the global palette as they stand in the file.
struct TGifScreen {
  std::array<uint8_t, 13> Header{};
  std::vector<uint8_t> GlobalTable;  // red, green, blue bytes
  int Width() const { return Header[6] | (Header[7] << 8); }
  int Height() const { return Header[8] | (Header[9] << 8); }
  bool HasGlobalTable() const { return (Header[10] & 0x80) != 0; }
  int TableSizeBits() const { return Header[10] & 7; }
  std::string Version() const { return std::string(Header.begin(), Header.begin() + 6); }
};

// False when the stream does not start with "GIF" or ends inside the header
// or the global palette (whatever was read stays in screen).
bool ReadGifScreen(TStream* stream, TGifScreen& screen);

// Entries of a table of 2 << sizeBits colours, red and blue exchanged into
// TRGB order; entries the table does not hold are black.
TGifPalette GifPaletteFromTable(const uint8_t* table, int64_t bytes);

bool GifReadByte(TStream* stream, uint8_t& byte);
// Moves past data sub-blocks up to their terminator; false when the stream
// ends first.
bool GifSkipSubBlocks(TStream* stream);

// A whole block read as its bytes (marker included): an extension, or a
// frame from its descriptor to its data terminator. False when the stream
// ends inside it; bytes then hold what was there.
bool GifReadExtensionBytes(TStream* stream, uint8_t label, std::vector<uint8_t>& bytes);
bool GifReadFrameBytes(TStream* stream, std::vector<uint8_t>& bytes);

// Reports a fixed percentage; true when the caller is to stop.
bool GifReport(TProgressRec& progress, int percent);

// One picture made ready for coding: its palette and its indices.
struct TGifFrameCode {
  int Bits = 8;  // 1 to 8: the palette has 2^Bits entries
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Indices;
  TGifPalette Palette{};
  uint8_t Background = 0;
  uint8_t Transparent = 0;
};

// The depth a frame is written with: BitsPerSample (1 to 8), or, when that
// only repeats the last read, what keeps the picture (1 for ie1g, else 8).
int GifWriteBits(const TIOParamsVals& params, const TIEBitmap* bitmap);

// Indices and palette of the picture at `bits` bits. A 1-bit frame takes
// the picture's two colours when it has exactly two; otherwise it is coded
// in black and white, or with 8 bits when twoColoursOr8 is set.
void GifPrepareFrame(TIEBitmap* bitmap, const TIOParamsVals& params, int bits, bool twoColoursOr8,
                     TGifFrameCode& frame);

// The blocks of one frame: the graphic control block, the descriptor
// (with the palette as a local table when localTable is set) and the code
// stream. False, with the abort flag set, when no encoder is installed.
bool GifWriteFrame(TStream* stream, const TGifFrameCode& frame, const TIOParamsVals& params,
                   bool localTable, bool& abort);

// The palette as a colour table of 2^bits entries (red, green, blue).
void GifWriteTable(TStream* stream, const TGifFrameCode& frame, bool& abort);
