// TPixIO: JPEG 2000 pictures in the JP2 file format and as bare code streams.
#include "imaging/io/iej2000.h"
#include "imaging/io/pixio.h"

void TPixIO::LoadFromFileJP2(const std::string& name) {
  LoadFileWith(name, {ieftJP2, false, true}, [&](TStream* s, TProgressRec& p, TIEMask*&) {
    J2KReadStream(s, IEBitmap, *IOParams, p, false);
  });
}

void TPixIO::LoadFromFileJ2K(const std::string& name) {
  LoadFileWith(name, {ieftJ2K, false, true}, [&](TStream* s, TProgressRec& p, TIEMask*&) {
    J2KReadStream(s, IEBitmap, *IOParams, p, false);
  });
}

void TPixIO::LoadFromStreamJP2(TStream* stream) {
  LoadStreamWith(stream, {ieftJP2, false, true}, [&](TStream* s, TProgressRec& p, TIEMask*&) {
    J2KReadStream(s, IEBitmap, *IOParams, p, false);
  });
}

void TPixIO::LoadFromStreamJ2K(TStream* stream) {
  LoadStreamWith(stream, {ieftJ2K, false, true}, [&](TStream* s, TProgressRec& p, TIEMask*&) {
    J2KReadStream(s, IEBitmap, *IOParams, p, false);
  });
}

void TPixIO::SaveToFileJP2(const std::string& name) {
  SaveFileWith(name, [&](TStream* s, TProgressRec& p) { J2KWriteStream(s, IEBitmap, *IOParams, p, IEJ2KFormatJP2); });
}

void TPixIO::SaveToFileJ2K(const std::string& name) {
  SaveFileWith(name, [&](TStream* s, TProgressRec& p) { J2KWriteStream(s, IEBitmap, *IOParams, p, IEJ2KFormatJ2K); });
}

void TPixIO::SaveToStreamJP2(TStream* stream) {
  SaveStreamWith(stream,
                 [&](TStream* s, TProgressRec& p) { J2KWriteStream(s, IEBitmap, *IOParams, p, IEJ2KFormatJP2); });
}

void TPixIO::SaveToStreamJ2K(TStream* stream) {
  SaveStreamWith(stream,
                 [&](TStream* s, TProgressRec& p) { J2KWriteStream(s, IEBitmap, *IOParams, p, IEJ2KFormatJ2K); });
}
