// Picture drawing through DrawDib, with the plain stretch-DIB drawing as
// the fallback. Every routine takes a device-independent bitmap (header,
// then the colour table; pixels at `bits`, or after the table when bits is
// null) and DrawDib's rectangles: the source counts rows from the top of
// the picture, and a source size of -1 means the whole picture.
#pragma once

#include "platform/gdi.h"

HDRAWDIB IEDrawDibOpen();
bool IEDrawDibClose(HDRAWDIB context);
// Realises the context's palette in a device context; the number of
// entries that changed.
unsigned IEDrawDibRealize(HDRAWDIB context, HDC dc, bool background);
bool IEDrawDibDraw(HDRAWDIB context, HDC dc, int xDst, int yDst, int dxDst, int dyDst,
                   const BITMAPINFOHEADER* header, const void* bits, int xSrc, int ySrc, int dxSrc, int dySrc,
                   unsigned flags);
// DrawDib for 24-bit pictures and whenever a context is given (a 24-bit
// picture without one gets a context for this call); stretch-DIB drawing
// for other depths without a context.
bool DrawDibDrawEmu(HDRAWDIB context, HDC dc, int xDst, int yDst, int dxDst, int dyDst,
                    const BITMAPINFOHEADER* header, const void* bits, int xSrc, int ySrc, int dxSrc, int dySrc,
                    unsigned flags);
// Always stretch-DIB drawing; context and flags are not used.
bool DrawDibDraw2(HDRAWDIB context, HDC dc, int xDst, int yDst, int dxDst, int dyDst,
                  const BITMAPINFOHEADER* header, const void* bits, int xSrc, int ySrc, int dxSrc, int dySrc,
                  unsigned flags);
