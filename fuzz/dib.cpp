// The packed-DIB and video-frame decoders over arbitrary bytes: they read
// no further than the block. (A layout the decoder does not handle still
// sizes the target and returns 0, so the target is not checked here.)
#include <cstdint>

#include "imaging/proc/iedibdecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TIEBitmap picture;
  picture.SetLocation(ieMemory);
  picture.Allocate(2, 2, ie8g);
  _CopyDIB2BitmapEx(uintptr_t(data), &picture, nullptr, true, size, 0);

  // The second half as a separate pixel block.
  TIEBitmap split;
  split.SetLocation(ieMemory);
  _CopyDIB2BitmapEx(uintptr_t(data), &split, data + size / 2, true, size / 2, size - size / 2);

  TIEDibbitmap drawn;
  _IECopyDIB2Bitmap2Ex(uintptr_t(data), &drawn, nullptr, true, size, 0);
  return 0;
}
