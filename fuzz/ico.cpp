// Icon and cursor content tests and readers on arbitrary bytes.
#include "fuzzstream.h"
#include "imaging/core/iemask.h"
#include "imaging/io/bmpfilt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the image index and whether a cursor is read.
  const bool cursor = data[0] & 0x80;
  TFuzzInput in(data + 1, size - 1);
  in.params.ICO_ImageIndex = data[0] & 0x07;
  in.params.CUR_ImageIndex = data[0] & 0x07;
  ICOTryStream(&in.stream);
  CURTryStream(&in.stream);
  TIEMask* mask = nullptr;
  if (cursor)
    CURReadStream(&in.stream, &in.bitmap, in.params, false, in.progress, mask, false);
  else
    ICOReadStream(&in.stream, &in.bitmap, in.params, false, in.progress, mask, false);
  delete mask;
  return 0;
}
