// Content sniffing over arbitrary bytes: never raises, never reads outside
// the stream, and always leaves the position where it found it.
#include <cstdint>
#include <cstdlib>

#include "imaging/io/ieformats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  if (size > 0) stream.WriteBuffer(data, static_cast<int64_t>(size));
  // Start part-way in as well, the way a field image is read from its start.
  for (int64_t start : {int64_t{0}, static_cast<int64_t>(size / 2)}) {
    stream.SetPosition(start);
    const TIEFileType found = FindStreamFormat(&stream);
    if (stream.GetPosition() != start || found < ieftUnknown || found > ieftJ2K) std::abort();
    int32_t length = 0;
    stream.SetPosition(start);
    if (!IEReadStreamHeader(&stream, IEJpegStreamMagic, length) && stream.GetPosition() != start)
      std::abort();
  }
  return 0;
}
