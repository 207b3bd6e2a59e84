// Rotation by any angle and mirroring of 24-bit and 1-bit pictures.
//
// Angles are in degrees; a positive angle turns the picture
// counter-clockwise as seen on the screen. A 24-bit picture is turned by
// whole quarter turns and then by three shears (with optional antialias),
// growing to hold the turned picture; uncovered areas take the background.
// In 1-bit rows a set bit is white and the most significant bit is the
// leftmost pixel.
#pragma once

#include <cstdint>

#include "imaging/core/iedefs.h"

class TBitmap;
class TIEBitmap;

enum TFlipDir { fdHorizontal, fdVertical };

// A 24-bit platform bitmap turned in place; progress as the shears go
// (none when the angle comes down to quarter turns). Other formats are left alone.
void _Rotate24(TBitmap* bitmap, double angle, bool antialias, const TRGB& background,
               const TIEProgressEvent& OnProgress, TObject* Sender);
// A pixel buffer turned in place: ie24RGB as above (no progress), every
// other format through _rotate1bitEx with background bit 1 when all three
// channels of the background are non-zero. An angle of 0 does nothing.
void _RotateEx(TIEBitmap* picture, double angle, bool antialias, const TRGB& background);

// A 1-bit picture turned exactly by 90, -90 (270) and 180 (-180) degrees,
// by sampling at any other angle (the uncovered area takes backgroundBit).
// Nothing for other formats.
void _rotate1bitEx(TIEBitmap* picture, int backgroundBit, TProgressRec& progress, double angle);
// The same on a 1-bit platform bitmap.
void _rotate1bit(TBitmap* bitmap, int backgroundBit, TProgressRec& progress, double angle);

// The target takes the source's format and swapped size and receives the
// 24-bit source turned a quarter counter-clockwise (_Rot90) or clockwise
// (_Rot90o). Nothing unless the source is 24-bit.
void _Rot90(TBitmap* source, TBitmap* target);
void _Rot90o(TBitmap* source, TBitmap* target);
void _Rot90Ex(TIEBitmap* source, TIEBitmap* target);
void _Rot90oEx(TIEBitmap* source, TIEBitmap* target);

// Mirrors an ie24RGB or ie1g picture in place; other formats are left alone.
void _FlipEx(TIEBitmap* picture, TFlipDir direction);

// dst receives the 1-bit row src of `width` pixels mirrored left-right
// (pixel x goes to width - 1 - x); its padding bits end up clear. dst and
// src must not overlap and hold ((width + 7) / 8) bytes.
void IEMirrorRow1(uint8_t* dst, const uint8_t* src, int width);
