// TPixIO: the load and save templates every format goes through, the
// per-format operations, the parameter readers and the registry path.
#include <algorithm>

#include "imaging/core/iebitmap.h"
#include "platform/savestream.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ieview.h"
#include "imaging/io/bmpfilt.h"
#include "imaging/io/iej2000.h"
#include "imaging/io/giffilter.h"
#include "imaging/io/ietgafil.h"
#include "imaging/io/ieexif.h"
#include "imaging/io/jpegfilt.h"
#include "imaging/io/pcxfilter.h"
#include "imaging/io/pixio.h"
#include "imaging/io/pngfilt.h"
#include "imaging/io/pixioregistry.h"
#include "imaging/io/pxmfilt.h"
#include "imaging/io/tiffilt.h"

namespace {

constexpr uint8_t kIPTCMarker = 0xED;  // APP13
constexpr uint8_t kEXIFMarker = 0xE1;  // APP1

// Runs body and fires the event once afterwards, also when body raises.
template <class Body>
void WithFinish(TPixIO& io, Body body) {
  try {
    body();
  } catch (...) {
    if (io.OnFinishWork) io.OnFinishWork(&io);
    throw;
  }
  if (io.OnFinishWork) io.OnFinishWork(&io);
}

}  // namespace

namespace {
constexpr bool kAlpha = true;
constexpr bool kNoAlpha = false;
}  // namespace

TProgressRec TPixIO::MakeProgress() {
  TProgressRec progress;
  progress.OnProgress = OnProgress;
  progress.Sender = this;
  progress.Aborting = &Aborting;
  return progress;
}

void TPixIO::FinishWork() {
  if (OnFinishWork) OnFinishWork(this);
}

void TPixIO::Rewrap() {
  // The owner of the platform bitmap may have resized it since.
  if (Bitmap) IEBitmap->EncapsulateTBitmap(Bitmap);
}

void TPixIO::SetViewDPI() {
  if (AttachedPix) AttachedPix->SetDPI(IOParams->DPIX, IOParams->DPIY);
}

void TPixIO::PrepareAlpha() {
  if (AttachedPix) {
    AttachedPix->RemoveAlphaChannel();
    alphaMask_ = nullptr;
    return;
  }
  if (alphaMask_) {
    alphaMask_->AllocateBits(IEBitmap->Width, IEBitmap->Height, 8);
    alphaMask_->Fill(255);
  }
  IEBitmap->RemoveAlphaChannel();
}

void TPixIO::CompleteAlpha(TIEMask* mask, bool maskExisted) {
  if (!OwnIEBitmap && mask) IEBitmap->GetAlphaChannel()->CopyFromTIEMask(mask);
  if (AttachedPix) {
    if (!mask) {
      AttachedPix->RemoveAlphaChannel();
    } else if (!AttachedPix->GetHasAlphaChannel() || AttachedPix->GetAlphaChannel() != mask) {
      AttachedPix->SetAlphaChannel(mask);  // the view owns it from here
    }
    alphaMask_ = mask;
    return;
  }
  if (!maskExisted && mask) {
    // Made by this read for a picture that keeps no transparency.
    delete mask;
    mask = nullptr;
  }
  alphaMask_ = mask;
}

void TPixIO::RunLoad(TStream* stream, const std::string& fileName, const TLoadKind& kind,
                     const TCodecRead& read) {
  TProgressRec progress = MakeProgress();
  PrepareAlpha();
  TIEMask* mask = kind.Alpha ? GetAlphaChannel() : nullptr;
  const bool maskExisted = mask != nullptr;
  try {
    read(stream, progress, mask);
  } catch (...) {
    if (kind.Alpha) CompleteAlpha(mask, maskExisted);
    throw;
  }
  if (kind.Alpha) CompleteAlpha(mask, maskExisted);
  if (AutoAdjustDPI) AdjustDPI();
  IOParams->FileName = fileName;
  IOParams->FileType = kind.FileType;
}

void TPixIO::LoadFileWith(const std::string& name, const TLoadKind& kind, const TCodecRead& read) {
  if (StartAsync(ieLoadSaveFile, [this, name, kind, read] { LoadFileWith(name, kind, read); })) return;
  Aborting = false;
  if (!IEBitmap) return FinishWork();
  WithFinish(*this, [&] {
    Rewrap();
    IOParams->ResetInfo();
    TFileStream file(name, fmOpenRead | fmShareDenyWrite);
    RunLoad(&file, name, kind, read);
    SetViewDPI();
    Update();
  });
}

void TPixIO::LoadStreamWith(TStream* stream, const TLoadKind& kind, const TCodecRead& read) {
  if (StartAsync(ieLoadSaveStream, [this, stream, kind, read] { LoadStreamWith(stream, kind, read); }))
    return;
  Aborting = false;
  if (!IEBitmap) return FinishWork();
  WithFinish(*this, [&] {
    Rewrap();
    IOParams->ResetInfo();
    RunLoad(stream, "", kind, read);
    if (kind.StreamSetsViewDPI) SetViewDPI();
    Update();
  });
}

void TPixIO::PrepareSave() {
  Rewrap();
  // Writers take 24-bit or 1-bit pictures; the attached picture itself is
  // converted so that what is saved is what the caller sees afterwards.
  const TIEPixelFormat format = IEBitmap->PixelFormat;
  if (format != ie24RGB && format != ie1g && format != ienull)
    IEBitmap->ConvertToPixelFormat(ie24RGB);
}

void TPixIO::SaveFileWith(const std::string& name, const TCodecWrite& write) {
  if (StartAsync(ieLoadSaveFile, [this, name, write] { SaveFileWith(name, write); })) return;
  Aborting = false;
  if (!IEBitmap) return FinishWork();
  WithFinish(*this, [&] {
    PrepareSave();
    TProgressRec progress = MakeProgress();
    // An aborted or failed write leaves the file that was there.
    TSaveFileStream file(name);
    write(&file, progress);
    if (!Aborting) file.Commit();
  });
}

void TPixIO::SaveStreamWith(TStream* stream, const TCodecWrite& write) {
  if (StartAsync(ieLoadSaveStream, [this, stream, write] { SaveStreamWith(stream, write); })) return;
  Aborting = false;
  if (!IEBitmap) return FinishWork();
  WithFinish(*this, [&] {
    PrepareSave();
    TProgressRec progress = MakeProgress();
    write(stream, progress);
  });
}

// Registry path: formats added at run time with their own functions --------------

void TPixIO::LoadThroughRegistry(const std::string& fileName, TStream* stream,
                                 PIEFileFormatInfo entry) {
  if (StartAsync(stream ? ieLoadSaveStreamFormat : ieLoadSaveFileFormat,
                 [this, fileName, stream, entry] { LoadThroughRegistry(fileName, stream, entry); }))
    return;
  Aborting = false;
  if (!IEBitmap) return FinishWork();
  WithFinish(*this, [&] {
    Rewrap();
    std::unique_ptr<TFileStream> file;
    if (!stream) {
      file = std::make_unique<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite);
      stream = file.get();
    }
    IOParams->FileName = fileName;
    IOParams->FileType = entry->FileType;
    TProgressRec progress = MakeProgress();
    entry->ReadFunction(stream, IEBitmap, *IOParams, progress, false);
    if (AutoAdjustDPI) AdjustDPI();
    SetViewDPI();
    Update();
  });
}

void TPixIO::SaveThroughRegistry(const std::string& fileName, TStream* stream,
                                 PIEFileFormatInfo entry) {
  // Copied, not referenced: a worker may run it after this call returned.
  const auto write = [this, fileName, entry](TStream* target, TProgressRec& progress) {
    if (!fileName.empty()) IOParams->FileName = fileName;
    IOParams->FileType = entry->FileType;
    entry->WriteFunction(target, IEBitmap, *IOParams, progress);
  };
  if (stream)
    SaveStreamWith(stream, write);
  else
    SaveFileWith(fileName, write);
}

// BMP ----------------------------------------------------------------------------

void TPixIO::LoadFromFileBMP(const std::string& name) {
  LoadFileWith(name, {ieftBMP, kNoAlpha, false}, [&](TStream* s, TProgressRec& p, TIEMask*&) {
    BMPReadStream(s, IEBitmap, s->GetSize(), *IOParams, p, false);
  });
}

void TPixIO::LoadFromStreamBMP(TStream* stream) {
  LoadStreamWith(stream, {ieftBMP, kNoAlpha, false}, [&](TStream* s, TProgressRec& p, TIEMask*&) {
    BMPReadStream(s, IEBitmap, 0, *IOParams, p, false);
  });
}

void TPixIO::SaveToFileBMP(const std::string& name) {
  SaveFileWith(name, [&](TStream* s, TProgressRec& p) { BMPWriteStream(s, IEBitmap, *IOParams, p); });
}

void TPixIO::SaveToStreamBMP(TStream* stream) {
  SaveStreamWith(stream,
                 [&](TStream* s, TProgressRec& p) { BMPWriteStream(s, IEBitmap, *IOParams, p); });
}

// Icons and cursors ----------------------------------------------------------------

void TPixIO::LoadFromFileICO(const std::string& name) {
  LoadFileWith(name, {ieftICO, kAlpha, false}, [&](TStream* s, TProgressRec& p, TIEMask*& m) {
    ICOReadStream(s, IEBitmap, *IOParams, false, p, m, false);
  });
}

void TPixIO::LoadFromStreamICO(TStream* stream) {
  LoadStreamWith(stream, {ieftICO, kAlpha, false}, [&](TStream* s, TProgressRec& p, TIEMask*& m) {
    ICOReadStream(s, IEBitmap, *IOParams, false, p, m, false);
  });
}

void TPixIO::LoadFromFileCUR(const std::string& name) {
  LoadFileWith(name, {ieftCUR, kAlpha, false}, [&](TStream* s, TProgressRec& p, TIEMask*& m) {
    CURReadStream(s, IEBitmap, *IOParams, false, p, m, false);
  });
}

void TPixIO::LoadFromStreamCUR(TStream* stream) {
  LoadStreamWith(stream, {ieftCUR, kAlpha, false}, [&](TStream* s, TProgressRec& p, TIEMask*& m) {
    CURReadStream(s, IEBitmap, *IOParams, false, p, m, false);
  });
}

// JPEG -----------------------------------------------------------------------------

void TPixIO::ReadJpegMetadata() {
  TIEMarkerList* markers = IOParams->JPEG_MarkerList;
  const int iptc = markers->IndexOf(kIPTCMarker);
  if (iptc >= 0)
    IOParams->IPTC_InfoList->LoadFromStandardBuffer(markers->GetMarkerData(iptc),
                                                    markers->GetMarkerLength(iptc));
  const int exif = markers->IndexOf(kEXIFMarker);
  if (exif < 0 || !LoadEXIFFromStandardBuffer(markers->GetMarkerData(exif),
                                              markers->GetMarkerLength(exif), *IOParams))
    return;
  // A JFIF density of 1 x 1 says nothing; the camera's resolution holds.
  if (IOParams->DPIX == 1 && IOParams->DPIY == 1) {
    const double f = IOParams->EXIF_ResolutionUnit == 3 ? 2.54 : 1;
    IOParams->DPIX = static_cast<int32_t>(IOParams->EXIF_XResolution * f);
    IOParams->DPIY = static_cast<int32_t>(IOParams->EXIF_YResolution * f);
  }
}

void TPixIO::StoreJpegIPTC() {
  TIEIPTCInfoList* iptc = IOParams->IPTC_InfoList;
  if (!iptc->Modified) return;
  const std::vector<uint8_t> block = iptc->SaveToStandardBuffer();
  TIEMarkerList* markers = IOParams->JPEG_MarkerList;
  const int at = markers->IndexOf(kIPTCMarker);
  const auto length = static_cast<int32_t>(block.size());
  if (at >= 0)
    markers->SetMarker(at, kIPTCMarker, block.data(), length);
  else
    markers->AddMarker(kIPTCMarker, block.data(), length);
}

void TPixIO::LoadFromFileJpeg(const std::string& name) {
  LoadFileWith(name, {ieftJPEG, kNoAlpha, true}, [&](TStream* s, TProgressRec& p, TIEMask*&) {
    ReadJPegStream(s, IEBitmap, *IOParams, p, false);
    ReadJpegMetadata();
  });
}

void TPixIO::LoadFromStreamJpeg(TStream* stream) {
  LoadStreamWith(stream, {ieftJPEG, kNoAlpha, true}, [&](TStream* s, TProgressRec& p, TIEMask*&) {
    int32_t length = 0;
    const int64_t start = s->GetPosition();
    const bool headed = IEReadStreamHeader(s, IEJpegStreamMagic, length);
    ReadJPegStream(s, IEBitmap, *IOParams, p, false);
    ReadJpegMetadata();
    // Leave the stream after the announced picture so that the next one
    // can be read; never beyond the end.
    if (headed)
      s->SetPosition(std::min(start + int64_t{sizeof(TStreamJpegHeader)} + length, s->GetSize()));
  });
}

void TPixIO::SaveToFileJpeg(const std::string& name) {
  SaveFileWith(name, [&](TStream* s, TProgressRec& p) {
    StoreJpegIPTC();
    WriteJPegStream(s, IEBitmap, *IOParams, p);
  });
}

void TPixIO::SaveToStreamJpeg(TStream* stream) {
  SaveStreamWith(stream, [&](TStream* s, TProgressRec& p) {
    StoreJpegIPTC();
    if (!StreamHeaders) return WriteJPegStream(s, IEBitmap, *IOParams, p);
    const int64_t start = IEBeginStreamHeader(s, Aborting);
    WriteJPegStream(s, IEBitmap, *IOParams, p);
    // After an aborted write the header stays zero, so no reader takes
    // the partial data for a picture.
    IEFinishStreamHeader(s, start, IEJpegStreamMagic, Aborting);
  });
}

// Parameters only --------------------------------------------------------------------

void TPixIO::ParamsFromFileFormat(const std::string& name, TIEFileType code) {
  IOParams->FileType = code;
  try {
    IOParams->ResetInfo();
    Aborting = false;
    TFileStream file(name, fmOpenRead | fmShareDenyWrite);
    ReadParamsOnly(&file, code, file.GetSize());
    if (Aborting) IOParams->FileType = ieftUnknown;
    IOParams->FileName = name;
  } catch (...) {
    IOParams->FileType = ieftUnknown;
  }
  FinishWork();
}

void TPixIO::ParamsFromStreamFormat(TStream* stream, TIEFileType code) {
  IOParams->FileType = code;
  try {
    IOParams->ResetInfo();
    Aborting = false;
    ReadParamsOnly(stream, code, stream->GetSize());
    if (Aborting) IOParams->FileType = ieftUnknown;
  } catch (...) {
    IOParams->FileType = ieftUnknown;
  }
  FinishWork();
}

void TPixIO::ParamsFromFile(const std::string& name) {
  try {
    ParamsFromFileFormat(name, FindFileFormat(name, true));
  } catch (...) {
    IOParams->FileType = ieftUnknown;
  }
}

void TPixIO::ParamsFromStream(TStream* stream) {
  try {
    ParamsFromStreamFormat(stream, FindStreamFormat(stream));
  } catch (...) {
    IOParams->FileType = ieftUnknown;
  }
}

void TPixIO::ReadParamsOnly(TStream* stream, TIEFileType code, int64_t size) {
  TProgressRec progress;
  progress.Aborting = &Aborting;
  // The readers take a target they do not fill.
  TIEBitmap scratch;
  TIEBitmap* target = IEBitmap ? IEBitmap : &scratch;
  TIEMask* mask = nullptr;
  switch (code) {
    case ieftJPEG:
      ReadJPegStream(stream, target, *IOParams, progress, true);
      ReadJpegMetadata();
      return;
    case ieftBMP: return BMPReadStream(stream, target, size, *IOParams, progress, true);
    case ieftICO:
      ICOReadStream(stream, target, *IOParams, true, progress, mask, true);
      return;
    case ieftCUR:
      CURReadStream(stream, target, *IOParams, true, progress, mask, true);
      return;
    case ieftPCX: return ReadPcxStream(stream, target, *IOParams, size, progress, true);
    case ieftTGA: return ReadTGAStream(stream, target, *IOParams, progress, true, mask, true);
    case ieftPXM: return PXMReadStream(stream, target, *IOParams, progress, true);
    case ieftPNG: return ReadPNGStream(stream, target, *IOParams, progress, true, mask, false);
    case ieftJP2:
    case ieftJ2K: return J2KReadStream(stream, target, *IOParams, progress, true);
    case ieftGIF: {
      int32_t frames = 0;
      ReadGifStream(stream, target, frames, *IOParams, progress, true, mask, true);
      return;
    }
    case ieftTIFF: {
      int32_t pages = 0;
      TIFFReadStream(target, stream, pages, IOParams, progress, true, mask, true, true);
      return;
    }
    default: break;
  }
  PIEFileFormatInfo entry = IEFileFormatGetInfo(code);
  if (IEIsBuiltinFileType(code) || !IEHasRealReader(entry)) {
    Aborting = true;  // nothing here can read it
    return;
  }
  entry->ReadFunction(stream, target, *IOParams, progress, true);
}
