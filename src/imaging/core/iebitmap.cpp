#include "imaging/core/iebitmap.h"

int IEBitsPerPixel(TIEPixelFormat format) {
  switch (format) {
    case ie1g: return 1;
    case ie8p:
    case ie8g: return 8;
    case ie16g: return 16;
    case ie24RGB: return 24;
    default: return 0;
  }
}
