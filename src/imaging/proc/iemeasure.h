// Whole-picture measurements that other units decide by.
#pragma once

class TObject;
class TBitmap;

// True when the object is a 24-bit platform bitmap whose every pixel has
// equal blue, green and red; false for anything else.
bool _IsGrayScaleBitmap(TObject* Object);

// Mean red, green and blue of a whole 24-bit bitmap: per row the channel
// sums divided by the width, those added up and divided by the height.
// 128 for all three when the bitmap has no pixels; other pixel formats
// leave the outputs untouched.
void _GetMediaContrastRGB(TBitmap* bitmap, int& red, int& green, int& blue);
