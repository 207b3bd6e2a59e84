// TPixIO: TIFF pictures, and adding a page to a TIFF file.
#include <algorithm>

#include "imaging/io/pixio.h"
#include "imaging/io/pixioformats.h"
#include "imaging/io/tiffilt.h"

int32_t TPixIO::LoadFromFileTIFF(const std::string& name) {
  if (StartAsync(ieLoadSaveFileRetInt, [this, name] { LoadFromFileTIFF(name); })) return -1;
  int32_t pages = 0;
  LoadFileWith(name, {ieftTIFF, kIELoadAlpha, false}, [&](TStream* s, TProgressRec& p, TIEMask*& m) {
    TIFFReadStream(IEBitmap, s, pages, IOParams, p, false, m, true, false);
  });
  return pages;
}

int32_t TPixIO::LoadFromStreamTIFF(TStream* stream) {
  if (StartAsync(ieLoadSaveStreamRetInt, [this, stream] { LoadFromStreamTIFF(stream); })) return -1;
  int32_t pages = 0;
  if (!StreamHeaders) {
    LoadStreamWith(stream, {ieftTIFF, kIELoadAlpha, false}, [&](TStream* s, TProgressRec& p, TIEMask*& m) {
      TIFFReadStream(IEBitmap, s, pages, IOParams, p, false, m, true, false);
    });
    return pages;
  }
  const int64_t start = stream->GetPosition();
  int32_t length = 0;
  if (!IEReadStreamHeader(stream, IETIFFStreamMagic, length)) {
    Aborting = true;
    FinishWork();
    return 0;
  }
  const int64_t end = std::min(start + int64_t{sizeof(TStreamJpegHeader)} + length, stream->GetSize());
  LoadStreamWith(stream, {ieftTIFF, kIELoadAlpha, false}, [&](TStream* s, TProgressRec& p, TIEMask*& m) {
    // Behind a stream header the offsets count from the stream's start,
    // as the writer measures them.
    TIFFReadStream(IEBitmap, s, pages, IOParams, p, false, m, false, false);
    s->SetPosition(end);
  });
  return pages;
}

void TPixIO::SaveToFileTIFF(const std::string& name) {
  SaveFileWith(name, [&](TStream* s, TProgressRec& p) { TIFFWriteStream(s, false, IEBitmap, *IOParams, p); });
}

void TPixIO::SaveToStreamTIFF(TStream* stream) {
  SaveStreamWith(stream, [&](TStream* s, TProgressRec& p) {
    if (!StreamHeaders) return (void)TIFFWriteStream(s, false, IEBitmap, *IOParams, p);
    const int64_t start = IEBeginStreamHeader(s, Aborting);
    TIFFWriteStream(s, false, IEBitmap, *IOParams, p);
    // After an aborted write the header stays zero, so no reader takes
    // the partial data for a picture.
    IEFinishStreamHeader(s, start, IETIFFStreamMagic, Aborting);
  });
}

int32_t TPixIO::InsertToFileTIFF(const std::string& name) {
  int32_t pages = 0;
  SaveStreamWith(nullptr, [&](TStream*, TProgressRec& p) {
    TFileStream file(name, fmOpenReadWrite);
    pages = TIFFWriteStream(&file, true, IEBitmap, *IOParams, p);
  });
  return pages;
}
