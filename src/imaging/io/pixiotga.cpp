// TPixIO: TGA files and streams, with their alpha channel.
#include <memory>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/io/ietgafil.h"
#include "imaging/io/pixio.h"
#include "imaging/io/pixioformats.h"

namespace {

// The alpha a save hands the writer: a caller's bitmap carries its own
// alpha channel, copied into a mask for the write; otherwise the mask the
// component exchanges with its view or keeps itself.
TIEMask* SaveMask(TPixIO& io, std::unique_ptr<TIEMask>& copy) {
  if (!io.OwnIEBitmap && io.IEBitmap->GetHasAlphaChannel()) {
    copy = std::make_unique<TIEMask>();
    io.IEBitmap->GetAlphaChannel()->CopyToTIEMask(copy.get());
    return copy.get();
  }
  return io.GetAlphaChannel();
}

}  // namespace

void TPixIO::LoadFromFileTGA(const std::string& name) {
  LoadFileWith(name, {ieftTGA, kIELoadAlpha, false}, [&](TStream* s, TProgressRec& p, TIEMask*& m) {
    ReadTGAStream(s, IEBitmap, *IOParams, p, false, m, false);
  });
}

void TPixIO::LoadFromStreamTGA(TStream* stream) {
  LoadStreamWith(stream, {ieftTGA, kIELoadAlpha, false}, [&](TStream* s, TProgressRec& p, TIEMask*& m) {
    ReadTGAStream(s, IEBitmap, *IOParams, p, false, m, false);
  });
}

void TPixIO::SaveToFileTGA(const std::string& name) {
  SaveFileWith(name, [&](TStream* s, TProgressRec& p) {
    std::unique_ptr<TIEMask> copy;
    WriteTGAStream(s, IEBitmap, *IOParams, p, SaveMask(*this, copy));
  });
}

void TPixIO::SaveToStreamTGA(TStream* stream) {
  SaveStreamWith(stream, [&](TStream* s, TProgressRec& p) {
    std::unique_ptr<TIEMask> copy;
    WriteTGAStream(s, IEBitmap, *IOParams, p, SaveMask(*this, copy));
  });
}
