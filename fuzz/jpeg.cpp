// JPEG reader (full size and scaled) and the lossless transform on
// arbitrary bytes.
#include "fuzzstream.h"
#include "imaging/io/jpegfilt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  TFuzzInput in(data + 1, size - 1);
  in.params.JPEG_Scale = static_cast<TIOJPEGScale>(data[0] % 5);
  in.params.Width = 16;
  in.params.Height = 16;
  ReadJPegStream(&in.stream, &in.bitmap, in.params, in.progress, false);
  in.stream.SetPosition(0);
  TMemoryStream out;
  const auto transform = static_cast<TIEJpegTransform>((data[0] >> 3) % 9);
  IEJpegLosslessTransform(&in.stream, &out, in.progress, transform, false, jcCopyComments,
                          TRect{3, 5, 40, 30});
  return 0;
}
