// Copies between platform bitmaps, and from platform bitmaps and pixel
// buffers into movable global-memory DIBs (clipboard, AVI frames).
//
// A global DIB is one block: a 40-byte header (size, width, height, 1 plane,
// bit count 1 or 24, everything else 0), for 1 bit the palette entries
// 0x00000000 and 0xFFFFFFFF, then the rows bottom-up, each padded to 4
// bytes, then 4 spare bytes. The caller owns the handle.
#pragma once

#include <cstdint>

#include "imaging/core/iebitmap.h"
#include "platform/graphics.h"
#include "platform/kernel.h"

// Gives dst the format, palette, size and pixels of src.
void IECopyBitmap(TBitmap* src, TBitmap* dst);
// A new bitmap made by IECopyBitmap; the caller owns it.
TBitmap* IECloneBitmap(TBitmap* src);

// Rectangles below: x2 (y2) of 0 means the full width (height); edges are
// cut to the picture, and a rectangle with x2 < x1 or y2 < y1 is empty.

// dst becomes the rectangle of src in src's format; 1-bit and 24-bit pixels
// are copied, other formats only sized.
void _CopyBitmapRect(TBitmap* src, TBitmap* dst, int x1, int y1, int x2, int y2);
// A new global DIB of the rectangle of a 1-bit or 24-bit bitmap; 0 for
// other formats. Raises EOutOfMemory when the block cannot be had.
HGLOBAL _CopyBitmaptoDIB(TBitmap* bitmap, int x1, int y1, int x2, int y2);
// The same from an ie1g or ie24RGB pixel buffer.
HGLOBAL _CopyBitmaptoDIBEx(TIEBaseBitmap* bitmap, int x1, int y1, int x2, int y2);
