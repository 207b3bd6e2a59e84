// Portable bitmap content test and reader on arbitrary bytes, then the
// writer on whatever was read.
#include "fuzzstream.h"
#include "imaging/io/pxmfilt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  TryPXM(&in.stream);
  PXMReadStream(&in.stream, &in.bitmap, in.params, in.progress, false);
  if (!in.aborting && in.bitmap.Width > 0 && in.bitmap.Width * int64_t{in.bitmap.Height} < 65536) {
    TMemoryStream out;
    PXMWriteStream(&out, &in.bitmap, in.params, in.progress);
  }
  return 0;
}
