// JPEG 2000 reader (both syntaxes) on arbitrary bytes.
#include "fuzzstream.h"
#include "imaging/io/iej2000.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  J2KReadStream(&in.stream, &in.bitmap, in.params, in.progress, false);
  return 0;
}
