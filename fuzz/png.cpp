// PNG reader on arbitrary bytes (with alpha, then composited), then the
// writer on whatever it read. Chunk checksums are made right first, so
// that mutations reach the decoder instead of stopping at the CRC test.
#include <zlib.h>

#include <vector>

#include "fuzzstream.h"
#include "imaging/core/iemask.h"
#include "imaging/io/pngfilt.h"

namespace {

uint32_t GetBE32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void FixChecksums(std::vector<uint8_t>& b) {
  for (size_t p = 8; p + 12 <= b.size();) {
    const uint64_t length = GetBE32(&b[p]);
    if (p + 12 + length > b.size()) return;
    const uint32_t crc = static_cast<uint32_t>(crc32(0, &b[p + 4], static_cast<uInt>(length + 4)));
    for (int i = 0; i < 4; ++i) b[p + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    p += 12 + length;
  }
}

void ReadAndWrite(const std::vector<uint8_t>& bytes, bool ignoreAlpha) {
  TFuzzInput in(bytes.data(), bytes.size());
  TIEMask* mask = nullptr;
  ReadPNGStream(&in.stream, &in.bitmap, in.params, in.progress, false, mask, ignoreAlpha);
  if (!in.aborting && in.bitmap.Width > 0 && in.bitmap.Width * int64_t{in.bitmap.Height} < 65536) {
    TMemoryStream out;
    WritePNGStream(&out, &in.bitmap, in.params, in.progress, mask);
  }
  delete mask;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  FixChecksums(bytes);
  ReadAndWrite(bytes, false);
  ReadAndWrite(bytes, true);
  return 0;
}
