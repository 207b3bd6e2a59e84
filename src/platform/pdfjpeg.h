// JPEG pictures in a PDF file as their own bytes. The PDF painter would
// decode and compress every picture again; a JPEG printed as it is is drawn
// as a small numbered stand-in instead, and once the file is written each
// stand-in's image object is replaced by the JPEG's bytes (DCTDecode), the
// cross-reference table following the new offsets.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

// The stand-in of JPEG number `number`: a tiny picture carrying a mark and
// the number in its pixels, to be drawn losslessly.
QImage JpegStandIn(uint32_t number);

struct TPdfJpeg {
  const std::string* Bytes;  // the JPEG file's bytes
  int Width, Height, Components;
};

// Replaces the image object of every stand-in in the PDF file with JPEG
// `jpegs[number]`. False, with the file left as it was, when the file is not
// laid out as expected or a stand-in has no JPEG.
bool PutJpegsIntoPdf(const std::string& file, const std::vector<TPdfJpeg>& jpegs);
