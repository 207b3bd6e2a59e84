// TPixIO: PCX files and streams, with the optional 12-byte stream header.
#include <algorithm>
#include <cstring>

#include "imaging/io/pcxfilter.h"
#include "imaging/io/pixio.h"
#include "imaging/io/pixioformats.h"

namespace {

// The older stream form: "PCX" and a NUL, the data running to the end.
bool IsOldPcxHeader(const TStreamJpegHeader& header) {
  return std::memcmp(header.Magic, "PCX", 3) == 0;
}

}  // namespace

void TPixIO::LoadFromFilePCX(const std::string& name) {
  LoadFileWith(name, {ieftPCX, kIELoadNoAlpha, true}, [&](TStream* s, TProgressRec& p, TIEMask*&) {
    ReadPcxStream(s, IEBitmap, *IOParams, s->GetSize(), p, false);
  });
}

void TPixIO::LoadFromStreamPCX(TStream* stream) {
  // Before the header: the worker reads it.
  if (StartAsync(ieLoadSaveStream, [this, stream] { LoadFromStreamPCX(stream); })) return;
  const int64_t start = stream->GetPosition();
  int64_t size = stream->GetSize();
  int64_t end = -1;  // where a "PCX2" header says the picture ends
  if (StreamHeaders) {
    TStreamJpegHeader header{};
    const bool read = stream->Read(&header, sizeof header) == sizeof header;
    if (read && IEIsStreamHeader(header, IEPCXStreamMagic) && header.Length >= 0) {
      size = header.Length;
      end = std::min(start + int64_t{sizeof header} + header.Length, stream->GetSize());
    } else if (read && IsOldPcxHeader(header)) {
      stream->SetPosition(start + 4);
    } else {
      stream->SetPosition(start);
      Aborting = true;
      return FinishWork();
    }
  }
  LoadStreamWith(stream, {ieftPCX, kIELoadNoAlpha, true}, [&](TStream* s, TProgressRec& p, TIEMask*&) {
    ReadPcxStream(s, IEBitmap, *IOParams, size, p, false);
    if (end >= 0) s->SetPosition(end);
  });
}

void TPixIO::SaveToFilePCX(const std::string& name) {
  SaveFileWith(name, [&](TStream* s, TProgressRec& p) { WritePcxStream(s, IEBitmap, *IOParams, p); });
}

void TPixIO::SaveToStreamPCX(TStream* stream) {
  SaveStreamWith(stream, [&](TStream* s, TProgressRec& p) {
    if (!StreamHeaders) return WritePcxStream(s, IEBitmap, *IOParams, p);
    const int64_t start = IEBeginStreamHeader(s, Aborting);
    WritePcxStream(s, IEBitmap, *IOParams, p);
    // An aborted write leaves the header zero, so no reader takes the
    // partial data for a picture.
    IEFinishStreamHeader(s, start, IEPCXStreamMagic, Aborting);
  });
}
