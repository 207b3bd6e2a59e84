// The packed-DIB and video-frame decoders over arbitrary bytes: they read
// no further than the block, and a refused block leaves the target.
#include <cstdint>
#include <cstdlib>

#include "imaging/proc/iedibdecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TIEBitmap picture;
  picture.SetLocation(ieMemory);
  picture.Allocate(2, 2, ie8g);
  const int bits = _CopyDIB2BitmapEx(uintptr_t(data), &picture, nullptr, true, size, 0);
  if (bits == 0 && (picture.Width != 2 || picture.PixelFormat != ie8g)) std::abort();

  // The second half as a separate pixel block.
  TIEBitmap split;
  split.SetLocation(ieMemory);
  _CopyDIB2BitmapEx(uintptr_t(data), &split, data + size / 2, true, size / 2, size - size / 2);

  TIEDibbitmap drawn;
  _IECopyDIB2Bitmap2Ex(uintptr_t(data), &drawn, nullptr, true, size, 0);
  return 0;
}
