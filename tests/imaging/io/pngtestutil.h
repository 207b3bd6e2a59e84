// Helpers of the PNG tests: reading through the codec, reference pictures
// at 8 bits, PNG files made with libpng directly, and chunk access.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/io/ioparams.h"
#include "pictures.h"

namespace cwtest {

// One ReadPNGStream call on a memory stream, with what it leaves behind.
struct TPngRead {
  TIEBitmap bitmap;
  TIOParamsVals params{nullptr};
  TProgressFixture fixture;
  TIEMask* mask = nullptr;
  ~TPngRead() { delete mask; }
  void Read(const Bytes& bytes, bool preview = false, bool ignoreAlpha = false);
};

// The reference decode of a corpus picture, 16-bit samples taken at their
// high byte (as an 8-bit reader of such files gives them).
TRgbaPicture LoadReference8(const std::string& pictureName);

// An RGBA PNG of the picture written by libpng itself.
Bytes EncodeWithLibpng(const TRgbaPicture& picture, bool interlaced, int level = 6);

// The data of the first chunk of that type; empty when there is none.
Bytes ChunkData(const Bytes& png, const char* type);
bool HasChunk(const Bytes& png, const char* type);
// The picture data: every IDAT chunk joined and inflated.
Bytes InflatedImageData(const Bytes& png);
// Sets IHDR's width and height (and its CRC).
void PatchIhdrSize(Bytes& png, uint32_t width, uint32_t height);

}  // namespace cwtest
