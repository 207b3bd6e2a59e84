#include "imaging/io/bmpformat.h"

#include "platform/sysutils.h"

int IEBmpDpi(int32_t pixelsPerMetre, int32_t systemDpi) {
  const int dpi = static_cast<int>(Round(pixelsPerMetre / 100.0 * 2.54));
  return dpi == 0 ? systemDpi : dpi;
}
