// CCITT decoders on arbitrary bytes: width and fill order from the first
// bytes, then rows of each coding until the data is used up.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/io/tifccitt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int32_t width = 1 + ((data[0] << 8 | data[1]) % 4000);
  const int32_t fill = (data[2] & 1) ? ieFillLSB : ieFillMSB;
  const bool fillBits = (data[2] & 2) != 0;
  const uint8_t* coded = data + 3;
  const auto length = static_cast<int64_t>(size - 3);
  // Exactly sized buffers, so that any write past a row is caught.
  std::vector<uint8_t> row((width + 7) / 8);
  std::vector<uint8_t> ref((width + 7) / 8, 0xFF);
  int64_t pos = 0;
  for (int i = 0; i < 64 && pos < length * 8; ++i)
    pos = CCITT3_2D_GetLine(row.data(), coded, length, width, ref.data(), pos, fill, fillBits);
  pos = 0;
  for (int i = 0; i < 64 && pos < length * 8; ++i)
    pos = _CCITTHuffmanGetLine(row.data(), coded, length, width, pos, fill);
  CCITTHuffmanGetLine(row.data(), coded, length, width, fill);
  return 0;
}
