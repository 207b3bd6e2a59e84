// TPixIO: TIFF pictures (reading; the writer is still to come, so saving
// a TIFF sets Aborting).
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
