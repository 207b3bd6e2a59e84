// PCX reader on arbitrary bytes, then the writer on whatever it read.
#include "fuzzstream.h"
#include "imaging/io/pcxfilter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  ReadPcxStream(&in.stream, &in.bitmap, in.params, in.stream.GetSize(), in.progress, false);
  if (!in.aborting && in.bitmap.Width > 0 && in.bitmap.Width * int64_t{in.bitmap.Height} < 65536) {
    TMemoryStream out;
    WritePcxStream(&out, &in.bitmap, in.params, in.progress);
  }
  return 0;
}
