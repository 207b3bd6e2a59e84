#include "platform/jpegframe.h"

#include <cstdint>

#include "platform/jpegsize.h"

namespace {

uint8_t At(std::string_view b, size_t i) { return uint8_t(b[i]); }
int Be16(std::string_view b, size_t i) { return At(b, i) << 8 | At(b, i + 1); }

// The end marker, allowing the zero padding some writers leave after it.
bool EndsWithEndMarker(std::string_view b) {
  size_t end = b.size();
  while (end > 0 && b[end - 1] == '\0') --end;
  return end >= 2 && At(b, end - 2) == 0xFF && At(b, end - 1) == 0xD9;
}

}  // namespace

bool ReadJpegFrame(std::string_view b, TJpegFrame& frame) {
  if (b.size() < 4 || At(b, 0) != 0xFF || At(b, 1) != 0xD8 || !EndsWithEndMarker(b)) return false;
  size_t at = 2;
  while (at + 4 <= b.size()) {
    if (At(b, at) != 0xFF) return false;
    const uint8_t marker = At(b, at + 1);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA) return false;  // no frame before the scan
    const int length = Be16(b, at + 2);
    if (length < 2 || at + 2 + size_t(length) > b.size()) return false;
    const bool frameMarker = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frameMarker) {
      // Huffman baseline, extended and progressive only: what every PDF
      // reader decodes.
      if (marker > 0xC2 || length < 8) return false;
      const int precision = At(b, at + 4), height = Be16(b, at + 5), width = Be16(b, at + 7);
      const int components = At(b, at + 9);
      if (precision != 8 || (components != 1 && components != 3) || length != 8 + 3 * components) return false;
      if (!JpegDataCanFill(width, height, int64_t(b.size()))) return false;
      frame = {width, height, components};
      return true;
    }
    at += 2 + size_t(length);
  }
  return false;
}
