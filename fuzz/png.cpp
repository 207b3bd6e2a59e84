// PNG reader on arbitrary bytes (with alpha, then composited), then the
// writer on whatever it read.
#include "fuzzstream.h"
#include "imaging/core/iemask.h"
#include "imaging/io/pngfilt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  TIEMask* mask = nullptr;
  ReadPNGStream(&in.stream, &in.bitmap, in.params, in.progress, false, mask, false);
  if (!in.aborting && in.bitmap.Width > 0 && in.bitmap.Width * int64_t{in.bitmap.Height} < 65536) {
    TMemoryStream out;
    WritePNGStream(&out, &in.bitmap, in.params, in.progress, mask);
  }
  delete mask;
  TFuzzInput again(data, size);
  TIEMask* none = nullptr;
  ReadPNGStream(&again.stream, &again.bitmap, again.params, again.progress, false, none, true);
  return 0;
}
