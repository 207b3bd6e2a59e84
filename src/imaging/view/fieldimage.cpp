#include "imaging/view/fieldimage.h"

#include <array>

#include "imaging/io/pixio.h"
#include "platform/classes.h"

namespace {

constexpr std::array<TIEFileType, 8> kFileTypes{ieftBMP, ieftJPEG, ieftGIF, ieftPCX,
                                               ieftTIFF, ieftPNG, ieftTGA, ieftPXM};

}  // namespace

TDataFieldImageFormat IEFieldImageFormat(TIEFileType code, bool withTgaPxm) {
  for (size_t i = 0; i < kFileTypes.size(); ++i) {
    if (kFileTypes[i] != code) continue;
    auto format = TDataFieldImageFormat(i);
    if ((format == ifTGA || format == ifPXM) && !withTgaPxm) return ifUnknown;
    return format;
  }
  return ifUnknown;
}

TIEFileType IEFieldImageFileType(TDataFieldImageFormat format) {
  return format >= ifBitmap && format < ifUnknown ? kFileTypes[size_t(format)] : ieftUnknown;
}

bool IELoadFieldImage(TPixIO* io, TStream* stream, TDataFieldImageFormat format) {
  const TIEFileType code = IEFieldImageFileType(format);
  if (code == ieftUnknown) return false;
  io->LoadFromStreamFormat(stream, code);
  return !io->Aborting;
}

bool IESaveFieldImage(TPixIO* io, TStream* stream, TDataFieldImageFormat format) {
  const TIEFileType code = IEFieldImageFileType(format);
  if (code == ieftUnknown) return false;
  io->Aborting = false;
  io->SaveToStream(stream, code);
  return !io->Aborting;
}

bool IESkipGraphicFieldHeader(TStream* stream) {
  const int64_t start = stream->GetPosition();
  uint8_t head[8];
  if (stream->Read(head, 8) == 8 && head[0] == 1 && head[1] == 0 && head[2] == 0 && head[3] == 1) return true;
  stream->SetPosition(start);
  return false;
}
