#include "records/lzwcoders.h"

#include "imaging/io/ielzwhooks.h"

void InstallLZWCoders() {
  // LZW CODERS: the GIF and TIFF coders (GIFLZWDecompress, GIFLZWCompress,
  // TIFFLZWDecompress, TIFFLZWCompress) go into the four hooks here once the
  // GIF and TIFF codecs provide them:
  //   DefGIF_LZWDECOMPFUNC = GIFLZWDecompress;
  //   DefGIF_LZWCOMPFUNC = GIFLZWCompress;
  //   DefTIFF_LZWDECOMPFUNC = TIFFLZWDecompress;
  //   DefTIFF_LZWCOMPFUNC = TIFFLZWCompress;
}
