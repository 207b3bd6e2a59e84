#include "imaging/core/iedrawdib.h"

#include <cstdint>

namespace {

// Stretch-DIB drawing of the same source rectangle that DrawDib would
// draw: stretch-DIB counts the rows of a bottom-up picture from its bottom,
// so the top-down source row is turned around, and -1 sizes are resolved
// first.
bool StretchDibLikeDrawDib(HDC dc, int xDst, int yDst, int dxDst, int dyDst, const BITMAPINFOHEADER* header,
                           const void* bits, int xSrc, int ySrc, int dxSrc, int dySrc) {
  if (dc == nullptr || header == nullptr) return false;
  int64_t rows = header->biHeight < 0 ? -int64_t(header->biHeight) : int64_t(header->biHeight);
  if (dxSrc < 0) dxSrc = header->biWidth;
  if (dySrc < 0) dySrc = int(rows);
  if (dxDst < 0) dxDst = dxSrc;
  if (dyDst < 0) dyDst = dySrc;
  int64_t ys = ySrc;
  if (header->biHeight > 0) ys = rows - ySrc - dySrc;
  if (ys < INT32_MIN || ys > INT32_MAX) return false;
  // The colour table follows the header in memory, as the call expects.
  const auto* info = reinterpret_cast<const BITMAPINFO*>(header);
  return StretchDIBits(dc, xDst, yDst, dxDst, dyDst, xSrc, int(ys), dxSrc, dySrc, bits, info, DIB_RGB_COLORS,
                       SRCCOPY) != 0;
}

}  // namespace

HDRAWDIB IEDrawDibOpen() { return DrawDibOpen(); }

bool IEDrawDibClose(HDRAWDIB context) { return DrawDibClose(context); }

unsigned IEDrawDibRealize(HDRAWDIB context, HDC dc, bool background) {
  return DrawDibRealize(context, dc, background);
}

bool IEDrawDibDraw(HDRAWDIB context, HDC dc, int xDst, int yDst, int dxDst, int dyDst,
                   const BITMAPINFOHEADER* header, const void* bits, int xSrc, int ySrc, int dxSrc, int dySrc,
                   unsigned flags) {
  return DrawDibDraw(context, dc, xDst, yDst, dxDst, dyDst, header, bits, xSrc, ySrc, dxSrc, dySrc, flags);
}

bool DrawDibDrawEmu(HDRAWDIB context, HDC dc, int xDst, int yDst, int dxDst, int dyDst,
                    const BITMAPINFOHEADER* header, const void* bits, int xSrc, int ySrc, int dxSrc, int dySrc,
                    unsigned flags) {
  if (context)
    return IEDrawDibDraw(context, dc, xDst, yDst, dxDst, dyDst, header, bits, xSrc, ySrc, dxSrc, dySrc, flags);
  if (header && header->biBitCount == 24) {
    HDRAWDIB own = IEDrawDibOpen();
    bool drawn = IEDrawDibDraw(own, dc, xDst, yDst, dxDst, dyDst, header, bits, xSrc, ySrc, dxSrc, dySrc, flags);
    // A failed drawing stays a failure even when the context closes well.
    bool closed = IEDrawDibClose(own);
    return drawn && closed;
  }
  return StretchDibLikeDrawDib(dc, xDst, yDst, dxDst, dyDst, header, bits, xSrc, ySrc, dxSrc, dySrc);
}

bool DrawDibDraw2(HDRAWDIB context, HDC dc, int xDst, int yDst, int dxDst, int dyDst,
                  const BITMAPINFOHEADER* header, const void* bits, int xSrc, int ySrc, int dxSrc, int dySrc,
                  unsigned flags) {
  return StretchDibLikeDrawDib(dc, xDst, yDst, dxDst, dyDst, header, bits, xSrc, ySrc, dxSrc, dySrc);
}
