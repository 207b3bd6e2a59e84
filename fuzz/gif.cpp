// GIF reader (a frame chosen by the first byte), the writer on what it
// read, and frame insertion into the same bytes.
#include "fuzzstream.h"
#include "imaging/core/iemask.h"
#include "imaging/io/giffilter.h"
#include "imaging/io/giflzw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  DefGIF_LZWDECOMPFUNC = GIFLZWDecompress;
  DefGIF_LZWCOMPFUNC = GIFLZWCompress;
  TFuzzInput in(data + 1, size - 1);
  in.params.GIF_ImageIndex = data[0] % 4;
  int32_t frames = 0;
  TIEMask* mask = nullptr;
  ReadGifStream(&in.stream, &in.bitmap, frames, in.params, in.progress, false, mask, false);
  delete mask;
  const bool small = in.bitmap.Width > 0 && in.bitmap.Width * int64_t{in.bitmap.Height} < 65536;
  if (!in.aborting && small) {
    TMemoryStream out;
    WriteGifStream(&out, &in.bitmap, in.params, in.progress);
  }
  TIEBitmap picture;
  picture.Location = ieMemory;
  picture.Allocate(3, 2, ie24RGB);
  picture.Fill(128);
  in.aborting = false;
  in.params.GIF_LZWCompress = (data[0] & 4) ? GIFNONLZWCompress : GIFLZWCompress;
  in.stream.SetPosition(0);
  _InsertGifImStream(&in.stream, &picture, in.params, in.progress);
  return 0;
}
