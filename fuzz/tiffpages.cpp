// TIFF page operations on arbitrary bytes: the first byte picks the
// operation (bits 0-1: take a page out, delete one, merge the file into
// itself) and the page (bits 2-3); what is written must hold as many
// pages as the operation says.
#include "imaging/io/tiffilt.h"
#include "imaging/io/tiffpages.h"
#include "platform/classes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int operation = data[0] % 3;
  const int32_t index = (data[0] >> 2) % 4;
  TMemoryStream source, copy, out;
  source.Write(data + 1, static_cast<int64_t>(size - 1));
  copy.Write(data + 1, static_cast<int64_t>(size - 1));
  source.SetPosition(0);
  int32_t result = 0;
  if (operation == 0) result = ExtractTIFFImStream(&source, index, &out);
  if (operation == 1) {
    result = DeleteTIFFImStream(&source, index);
    out.LoadFromStream(&source);
  }
  if (operation == 2) result = InsertTIFFImStream(&source, &copy, index, &out);
  if (result <= 0) return 0;
  // What was written is a clean chain of the pages the result promises.
  out.SetPosition(0);
  const int32_t pages = EnumTIFFImStream(&out);
  const int32_t expected = operation == 0 ? 1 : operation == 2 ? result : result - (index < result ? 1 : 0);
  if (pages != expected) __builtin_trap();
  return 0;
}
