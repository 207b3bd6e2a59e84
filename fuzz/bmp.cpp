// BMP reader on arbitrary bytes, then the writer on whatever it read.
#include "fuzzstream.h"
#include "imaging/io/bmpfilt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  BMPReadStream(&in.stream, &in.bitmap, 0, in.params, in.progress, false);
  if (!in.aborting && in.bitmap.Width > 0 && in.bitmap.Width * int64_t{in.bitmap.Height} < 65536) {
    TMemoryStream out;
    BMPWriteStream(&out, &in.bitmap, in.params, in.progress);
  }
  return 0;
}
