#include "records/lzwcoders.h"

#include "imaging/io/giflzw.h"
#include "imaging/io/ielzwhooks.h"

void InstallLZWCoders() {
  DefGIF_LZWDECOMPFUNC = GIFLZWDecompress;
  DefGIF_LZWCOMPFUNC = GIFLZWCompress;
  // TIFF LZW: DefTIFF_LZWDECOMPFUNC = TIFFLZWDecompress and
  // DefTIFF_LZWCOMPFUNC = TIFFLZWCompress go here once the TIFF codec
  // provides its coders.
}
