// TGA content test and reader on arbitrary bytes, then the writer on
// whatever was read, with the alpha it gave.
#include "fuzzstream.h"
#include "imaging/core/iemask.h"
#include "imaging/io/ietgafil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  TryTGA(&in.stream);
  TIEMask* mask = nullptr;
  ReadTGAStream(&in.stream, &in.bitmap, in.params, in.progress, false, mask, false);
  if (!in.aborting && in.bitmap.Width > 0 && in.bitmap.Width * int64_t{in.bitmap.Height} < 65536) {
    TMemoryStream out;
    WriteTGAStream(&out, &in.bitmap, in.params, in.progress, mask);
  }
  delete mask;
  return 0;
}
