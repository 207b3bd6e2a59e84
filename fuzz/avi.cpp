// AVI reader on arbitrary bytes: the headers, the frame list and a few
// frames decoded, then the first frame written back when it is small.
#include <algorithm>

#include "fuzzstream.h"
#include "imaging/io/avifile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  TIEAviReader reader;
  if (!reader.Open(&in.stream)) return 0;
  const int32_t count = reader.FrameCount();
  for (int32_t i : {0, 1, 2, count / 2, count - 1, count, -1}) reader.ReadFrame(i, &in.bitmap);
  if (in.bitmap.Width > 0 && in.bitmap.Width <= kIEAviMaxSide && in.bitmap.Height <= kIEAviMaxSide &&
      in.bitmap.Width * int64_t{in.bitmap.Height} < 65536) {
    TMemoryStream out;
    TIEAviWriter writer(&out, in.bitmap.Width, in.bitmap.Height, in.bitmap.PixelFormat == ie1g ? 1 : 24,
                        IEAviFrameDelay(reader.Info().Scale, reader.Info().Rate));
    writer.AddFrame(&in.bitmap);
    writer.Finish();
    TIEAviReader again;
    if (!again.Open(&out) || again.FrameCount() != 1) __builtin_trap();
  }
  return 0;
}
