// Helpers of the GIF tests: the coder hooks installed for one test, GIF
// files assembled block by block, and reading a frame from bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/io/ielzwhooks.h"
#include "imaging/io/ioparams.h"
#include "pictures.h"
#include "support/streambytes.h"

namespace cwtest {

// Installs the GIF coders as the card program's forms do, and restores the
// previous hooks afterwards.
class TGifHooks {
 public:
  TGifHooks();
  ~TGifHooks();
  TGifHooks(const TGifHooks&) = delete;
  TGifHooks& operator=(const TGifHooks&) = delete;

 private:
  TGIFLZWDecompFunc decompress_;
  TGIFLZWCompFunc compress_;
};

// One frame of an assembled GIF. Tables are red, green, blue bytes.
struct TGifFrameSpec {
  int width = 1;
  int height = 1;
  std::vector<uint8_t> indices;
  std::vector<uint8_t> localTable;
  bool control = false;  // a graphic control block goes first
  uint8_t controlPacked = 0;
  uint16_t delay = 0;
  uint8_t transparent = 0;
  bool interlaced = false;
  int left = 0;
  int top = 0;
  int codeBits = 2;  // bits per pixel handed to the encoder
};

// A GIF89a with the global table (none when empty) and the frames, coded
// with the LZW encoder.
Bytes MakeGif(int screenWidth, int screenHeight, const std::vector<uint8_t>& globalTable,
              const std::vector<TGifFrameSpec>& frames);

// Frame read from bytes with the reader's own defaults.
struct TGifRead {
  TIEBitmap bitmap;
  TIOParamsVals params{nullptr};
  TProgressFixture fixture;
  TIEMask* mask = nullptr;
  int32_t count = -1;
  TGifRead() { bitmap.Location = ieMemory; }
  ~TGifRead() { delete mask; }
  TGifRead(const TGifRead&) = delete;
  TGifRead& operator=(const TGifRead&) = delete;
};
void ReadGifBytes(const Bytes& bytes, TGifRead& read, int32_t index = 0, bool preview = false);

// The bitmap written as a GIF with the parameters.
Bytes WriteGifBytes(TIEBitmap& bitmap, TIOParamsVals& params, bool* aborted = nullptr);

}  // namespace cwtest
