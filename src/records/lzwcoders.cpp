#include "records/lzwcoders.h"

#include "imaging/io/giflzw.h"
#include "imaging/io/ielzwhooks.h"
#include "imaging/io/tiflzw.h"

void InstallLZWCoders() {
  DefGIF_LZWDECOMPFUNC = GIFLZWDecompress;
  DefGIF_LZWCOMPFUNC = GIFLZWCompress;
  DefTIFF_LZWDECOMPFUNC = TIFFLZWDecompress;
  DefTIFF_LZWCOMPFUNC = TIFFLZWCompress;
}
