// TPixIO: portable bitmap, greymap and pixmap files and streams.
#include "imaging/io/pixio.h"
#include "imaging/io/pixioformats.h"
#include "imaging/io/pxmfilt.h"

void TPixIO::LoadFromFilePXM(const std::string& name) {
  LoadFileWith(name, {ieftPXM, kIELoadNoAlpha, false}, [&](TStream* s, TProgressRec& p, TIEMask*&) {
    PXMReadStream(s, IEBitmap, *IOParams, p, false);
  });
}

void TPixIO::LoadFromStreamPXM(TStream* stream) {
  LoadStreamWith(stream, {ieftPXM, kIELoadNoAlpha, false}, [&](TStream* s, TProgressRec& p, TIEMask*&) {
    PXMReadStream(s, IEBitmap, *IOParams, p, false);
  });
}

void TPixIO::SaveToFilePXM(const std::string& name) {
  SaveFileWith(name, [&](TStream* s, TProgressRec& p) { PXMWriteStream(s, IEBitmap, *IOParams, p); });
}

void TPixIO::SaveToStreamPXM(TStream* stream) {
  SaveStreamWith(stream, [&](TStream* s, TProgressRec& p) { PXMWriteStream(s, IEBitmap, *IOParams, p); });
}
