// Helpers of the codec tests: corpus files, reference decodes (PNG, read
// with libpng), an independent decoder for our own output, pixel access
// and streams that fail on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/io/ioparams.h"
#include "platform/classes.h"
#include "support/streambytes.h"

namespace cwtest {

// 8-bit RGBA pixels, top row first.
struct TRgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

std::string PicturePath(const std::string& name);
// A test name made of a corpus file name: letters and digits, the rest "_".
std::string CaseName(const std::string& fileName);
std::vector<uint8_t> ReadBytes(const std::string& path);

// The reference decode of a corpus picture (refs/<name>.png).
TRgbaPicture LoadReference(const std::string& pictureName);
// A PNG file read with libpng.
TRgbaPicture LoadPng(const std::string& path);
// Decodes picture files with an independent decoder (Pillow), as RGB.
std::vector<TRgbaPicture> DecodeIndependently(const std::vector<std::string>& paths);

// What a command of another project prints (stdout and stderr) and its
// exit status, for checkers such as tiffinfo and gifsicle.
struct TToolRun {
  std::string output;
  int status = -1;
};
TToolRun RunTool(const std::string& command);

// The bitmap's pixels as RGBA (alpha 255); ie1g set bits are white.
TRgbaPicture ToRgba(TIEBitmap& bitmap);

// Largest difference of a colour channel between two pictures of the same
// size; pixels that are clear (alpha 0) in either are skipped.
int MaxChannelDifference(const TRgbaPicture& a, const TRgbaPicture& b);

// Progress record wired to an abort flag.
struct TProgressFixture {
  TProgressFixture() { progress.Aborting = &aborting; }
  bool aborting = false;
  TProgressRec progress;
};

// A memory bitmap of the size filled by colour(x, y).
template <typename Colour>
void PaintBitmap(TIEBitmap& bitmap, int width, int height, Colour colour) {
  bitmap.Location = ieMemory;
  bitmap.Allocate(width, height, ie24RGB);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap.SetPixels_ie24RGB(x, y, colour(x, y));
}

// Accepts writes up to a byte budget and refuses the rest.
class TShortStream : public TMemoryStream {
 public:
  explicit TShortStream(int64_t budget) : budget_(budget) {}
  int64_t Write(const void* buffer, int64_t count) override;

 private:
  int64_t budget_;
};

}  // namespace cwtest
