// TIFF reader on arbitrary bytes: the page the first byte picks, with the
// LZW coder installed, mask and orientation included; then the EXIF loader
// on the same bytes behind an EXIF signature.
#include <string>

#include "fuzzstream.h"
#include "imaging/core/iemask.h"
#include "imaging/io/ieexif.h"
#include "imaging/io/tiffilt.h"
#include "imaging/io/tiflzw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  TFuzzInput in(data + 1, size - 1);
  in.params.TIFF_ImageIndex = data[0] % 4;
  in.params.TIFF_LZWDecompress = TIFFLZWDecompress;
  TIEMask* mask = nullptr;
  int32_t pages = 0;
  TIFFReadStream(&in.bitmap, &in.stream, pages, &in.params, in.progress, false, mask, true, false);
  delete mask;

  std::string exif("Exif\0\0", 6);
  exif.append(reinterpret_cast<const char*>(data + 1), size - 1);
  TIOParamsVals params(nullptr);
  LoadEXIFFromStandardBuffer(exif.data(), static_cast<int64_t>(exif.size()), params);
  return 0;
}
