// Packed device-independent bitmaps (DIBs) and uncompressed video frames
// into pixel buffers: the clipboard's CF_DIB, scanner transfers and AVI
// frames come this way.
//
// A DIB is a 40-byte header (width, height, bit count, compression, colours
// used), its colour table, then the rows bottom row first, each padded to 4
// bytes. It is given either as a global memory handle (locked around the
// work, read no further than its GlobalSize) or, with dibIsPointer, as the
// address of dibSize readable bytes; a separate pixel block of bitsSize
// bytes, when given, replaces the pixels after the header.
//
// The decoders read the bytes as untrusted: a block too short for its
// header, its colour table or its rows, or a header without a picture size,
// leaves the target untouched and gives 0. Otherwise they give the DIB's
// bit count, also for layouts they do not decode (RLE, unknown FourCCs):
// those leave the target allocated at the DIB's size, undecoded.
#pragma once

#include <cstdint>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iedibbitmap.h"
#include "platform/graphics.h"

// Decodes into any pixel buffer: ie1g for 1-bit DIBs, taking the bits as
// they are (bit 1 white, the colour table not consulted), ie24RGB otherwise.
// A negative height marks rows stored top row first.
int _CopyDIB2BitmapEx(uintptr_t dib, TIEBaseBitmap* target, const void* bits, bool dibIsPointer, uint64_t dibSize,
                      uint64_t bitsSize);
// The same into a platform bitmap (pf1bit or pf24bit).
int _CopyDIB2Bitmap(uintptr_t dib, TBitmap* target, const void* bits, bool dibIsPointer, uint64_t dibSize,
                    uint64_t bitsSize);

// Draw an uncompressed (or bit-field) DIB one to one through DrawDib into a
// 1-bit (1-bit DIBs) or 24-bit target of its size; other layouts draw
// nothing and leave the target as it was.
int _IECopyDIB2Bitmap2Ex(uintptr_t dib, TIEDibbitmap* target, const void* bits, bool dibIsPointer, uint64_t dibSize,
                         uint64_t bitsSize);
int _IECopyDIB2Bitmap2(uintptr_t dib, TBitmap* target, const void* bits, bool dibIsPointer, uint64_t dibSize,
                       uint64_t bitsSize);
