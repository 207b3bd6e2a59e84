// TPixIO: construction, attachment, the alpha mask and the dispatchers that
// choose a codec by extension, code or content.
#include "imaging/io/pixio.h"

#include "imaging/io/pixioregistry.h"

#include <map>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ieview.h"
#include "imaging/io/avifile.h"
#include "imaging/io/twainparams.h"
#include "platform/extctrls.h"
#include "platform/picture.h"
#include "platform/sysutils.h"

namespace {

// What the parameters take from their owner when they are reset: the size
// of the wrapped platform bitmap and the resolution of the attached view.
void OwnerDefaults(TPixIO* owner, TIOParamsVals& params) {
  if (owner->Bitmap) {
    params.Width = owner->Bitmap->GetWidth();
    params.Height = owner->Bitmap->GetHeight();
  }
  if (owner->AttachedPix) {
    params.DPIX = owner->AttachedPix->GetDPIX();
    params.DPIY = owner->AttachedPix->GetDPIY();
  }
}

// Extensions (with the dot, lower case) that go straight to a built-in
// format, whatever the registry holds.
const std::map<std::string, TIEFileType>& LoadChain() {
  static const std::map<std::string, TIEFileType> chain = {
      {".jpg", ieftJPEG}, {".jpeg", ieftJPEG}, {".jpe", ieftJPEG}, {".jp2", ieftJP2},
      {".j2k", ieftJ2K},  {".jpc", ieftJ2K},   {".j2c", ieftJ2K},  {".png", ieftPNG},
      {".tif", ieftTIFF}, {".tiff", ieftTIFF}, {".fax", ieftTIFF}, {".g3n", ieftTIFF},
      {".g3f", ieftTIFF}, {".pcx", ieftPCX},   {".gif", ieftGIF},  {".wmf", ieftWMF},
      {".emf", ieftEMF},  {".bmp", ieftBMP},   {".dib", ieftBMP},  {".rle", ieftBMP},
      {".cur", ieftCUR},  {".ico", ieftICO},   {".tga", ieftTGA},  {".targa", ieftTGA},
      {".vda", ieftTGA},  {".icb", ieftTGA},   {".vst", ieftTGA},  {".win", ieftTGA},
      {".pxm", ieftPXM},  {".ppm", ieftPXM},   {".pgm", ieftPXM},  {".pbm", ieftPXM},
  };
  return chain;
}

PIEFileFormatInfo EntryOfExtension(const std::string& extWithDot) {
  return IEFileFormatGetInfo2(extWithDot.empty() ? extWithDot : extWithDot.substr(1));
}

}  // namespace

TPixIO::TPixIO(TComponent* owner) : TComponent(owner) {
  IEOwnerDefaults = OwnerDefaults;
  IEBitmap = new TIEBitmap();
  IOParams = new TIOParamsVals(this);
  TWainParams = new TIETWainParams(this);
}

TPixIO::~TPixIO() {
  // The workers use the picture and the parameters freed below.
  WaitForAsyncThreads();
  AcquireClose();
  CloseAVIFile();
  ForgetView();
  if (alphaMask_ && !AttachedPix) delete alphaMask_;
  delete TWainParams;
  delete IOParams;
  if (OwnIEBitmap) delete IEBitmap;
}

// Asynchronous mode --------------------------------------------------------------

bool TPixIO::StartAsync(TIEIOMethodTypes kind, TIEIOThread::TIEIOCall again) {
  // An own picture could go away under the worker; the worker's own call
  // is the one that does the work.
  if (OwnIEBitmap || !AsyncMode || IsInsideAsyncThreads()) return false;
  new TIEIOThread(this, AsyncThreads, kind, std::move(again));  // frees itself
  return true;
}

void TPixIO::WaitForAsyncThreads() {
  if (IsInsideAsyncThreads()) return;  // a worker would wait for itself
  while (GetAsyncRunning() > 0) std::this_thread::yield();
}

// Attachment ---------------------------------------------------------------------

void TPixIO::ForgetView() {
  if (AttachedPix) {
    AttachedPix->RemoveBitmapChangeEvent(BitmapChangeHandle);
    AttachedPix->RemoveFreeNotification(this);
  }
  BitmapChangeHandle = -1;
  if (AttachedPix) alphaMask_ = nullptr;  // it was the view's
  AttachedPix = nullptr;
}

void TPixIO::ForgetTImage() {
  if (AttachedTImage) AttachedTImage->RemoveFreeNotification(this);
  AttachedTImage = nullptr;
}

void TPixIO::Unwrap() {
  if (Bitmap && IEBitmap && IEBitmap->GetTBitmap() == Bitmap) IEBitmap->FreeImage();
  Bitmap = nullptr;
}

void TPixIO::SetIEBitmap(TIEBitmap* bitmap) {
  WaitForAsyncThreads();  // a worker may still be using the picture
  ForgetView();
  Bitmap = nullptr;
  if (OwnIEBitmap && IEBitmap != bitmap) delete IEBitmap;
  OwnIEBitmap = false;
  IEBitmap = bitmap;
}

void TPixIO::SetAttachedIEBitmap(TIEBitmap* bitmap) {
  WaitForAsyncThreads();  // a worker may still be using the picture
  if (!bitmap && (AttachedPix || AttachedTImage)) return;
  SetIEBitmap(bitmap);
  if (!bitmap) return;
  ForgetTImage();
  delete alphaMask_;  // owned: no view is attached any more
  alphaMask_ = nullptr;
}

void TPixIO::SetBitmap(TBitmap* bitmap) {
  WaitForAsyncThreads();  // a worker may still be using the picture
  if (!IEBitmap) {
    // A caller's TIEBitmap was taken away: wrap with an own one again.
    IEBitmap = new TIEBitmap();
    OwnIEBitmap = true;
  }
  Bitmap = bitmap;
  IEBitmap->EncapsulateTBitmap(bitmap);
}

void TPixIO::SetAttachedBitmap(TBitmap* bitmap) {
  WaitForAsyncThreads();  // a worker may still be using the picture
  if (!bitmap && (AttachedPix || AttachedTImage)) return;
  ForgetView();
  SetBitmap(bitmap);
  if (!bitmap) return;
  ForgetTImage();
  delete alphaMask_;
  alphaMask_ = nullptr;
}

void TPixIO::SetAttachedPix(TIEView* view) {
  WaitForAsyncThreads();  // a worker may still be using the picture
  ForgetView();
  if (!view) {
    Unwrap();
    return;
  }
  ForgetTImage();
  delete alphaMask_;  // owned until now
  alphaMask_ = nullptr;
  AttachedPix = view;
  SetBitmap(view->GetFBitmap());
  view->FreeNotification(this);
  BitmapChangeHandle = view->RegisterBitmapChangeEvent(
      [this](TObject* sender, bool destroying) { OnBitmapChange(sender, destroying); });
  alphaMask_ = view->GetHasAlphaChannel() ? view->GetAlphaChannel() : nullptr;
}

void TPixIO::SetTImage(TImage* image) {
  WaitForAsyncThreads();  // a worker may still be using the picture
  ForgetView();
  ForgetTImage();
  if (!image) {
    Unwrap();
    return;
  }
  delete alphaMask_;
  alphaMask_ = nullptr;
  AttachedTImage = image;
  SetBitmap(image->GetPicture()->GetBitmap());
  image->FreeNotification(this);
}

void TPixIO::OnBitmapChange(TObject* Sender, bool Destroying) {
  if (!AttachedPix) return;
  if (Destroying) {
    // The listener list goes with the view: nothing to remove.
    BitmapChangeHandle = -1;
    AttachedPix = nullptr;
    alphaMask_ = nullptr;
    Unwrap();
    return;
  }
  SetBitmap(AttachedPix->GetFBitmap());
  alphaMask_ = AttachedPix->GetHasAlphaChannel() ? AttachedPix->GetAlphaChannel() : nullptr;
}

void TPixIO::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (AttachedPix && component == AttachedPix) {
    AttachedPix->RemoveBitmapChangeEvent(BitmapChangeHandle);
    BitmapChangeHandle = -1;
    AttachedPix = nullptr;
    alphaMask_ = nullptr;
    Unwrap();
  }
  if (AttachedTImage && component == AttachedTImage) {
    AttachedTImage = nullptr;
    Unwrap();
  }
}

void TPixIO::Update() {
  if (AttachedPix) {
    AttachedPix->Update();
    AttachedPix->ImageChange();
  } else if (Bitmap) {
    Bitmap->Changed();
  }
}

TColor TPixIO::GetReBackground() const {
  return AttachedPix ? AttachedPix->GetBackground() : background_;
}

void TPixIO::SetReBackground(TColor colour) {
  if (!AttachedPix) background_ = colour;
}

void TPixIO::AssignParams(TObject* source) {
  if (auto* io = dynamic_cast<TPixIO*>(source))
    IOParams->Assign(io->IOParams);
  else if (auto* params = dynamic_cast<TIOParamsVals*>(source))
    IOParams->Assign(params);
}

TIEMask* TPixIO::GetAlphaChannel() {
  if (AttachedPix)
    alphaMask_ = AttachedPix->GetHasAlphaChannel() ? AttachedPix->GetAlphaChannel() : nullptr;
  return alphaMask_;
}

// Dispatchers --------------------------------------------------------------------

void TPixIO::RefuseLoad() {
  IOParams->ResetInfo();
  IOParams->FileName.clear();
  IOParams->FileType = ieftUnknown;
  Aborting = true;
}

void TPixIO::LoadFromFile(const std::string& name) {
  if (!IEBitmap || name.empty()) return;
  const std::string ext = LowerCase(ExtractFileExt(name));
  const auto chained = LoadChain().find(ext);
  if (chained != LoadChain().end()) return LoadFromFileFormat(name, chained->second);
  PIEFileFormatInfo entry = EntryOfExtension(ext);
  // A built-in format registered under one more extension (PIX for TGA)
  // goes to that format's own codec.
  if (entry && IEIsBuiltinFileType(entry->FileType) && !IEHasRealReader(entry))
    return LoadFromFileFormat(name, entry->FileType);
  RefuseLoad();
  if (IEHasRealReader(entry)) LoadThroughRegistry(name, nullptr, entry);
}

void TPixIO::LoadFromFileFormat(const std::string& name, TIEFileType code) {
  switch (code) {
    case ieftBMP: return LoadFromFileBMP(name);
    case ieftJPEG: return LoadFromFileJpeg(name);
    case ieftICO: return LoadFromFileICO(name);
    case ieftCUR: return LoadFromFileCUR(name);
    case ieftWMF:
    case ieftEMF: return ImportMetafile(name, -1, -1);
    case ieftPCX: return LoadFromFilePCX(name);
    case ieftTGA: return LoadFromFileTGA(name);
    case ieftPXM: return LoadFromFilePXM(name);
    case ieftPNG: return LoadFromFilePNG(name);
    case ieftTIFF: LoadFromFileTIFF(name); return;
    case ieftJP2: return LoadFromFileJP2(name);
    case ieftJ2K: return LoadFromFileJ2K(name);
    case ieftGIF: LoadFromFileGif(name); return;
    default: break;
  }
  PIEFileFormatInfo entry = IEFileFormatGetInfo(code);
  RefuseLoad();
  if (IEIsBuiltinFileType(code) || !IEHasRealReader(entry)) return;  // no codec reads it yet
  LoadThroughRegistry(name, nullptr, entry);
}

void TPixIO::LoadFromStream(TStream* stream) {
  const int64_t start = stream->GetPosition();
  const TIEFileType code = FindStreamFormat(stream);
  stream->SetPosition(start);
  LoadFromStreamFormat(stream, code);
}

void TPixIO::LoadFromStreamFormat(TStream* stream, TIEFileType code) {
  switch (code) {
    case ieftBMP: return LoadFromStreamBMP(stream);
    case ieftJPEG: return LoadFromStreamJpeg(stream);
    case ieftICO: return LoadFromStreamICO(stream);
    case ieftCUR: return LoadFromStreamCUR(stream);
    case ieftPCX: return LoadFromStreamPCX(stream);
    case ieftTGA: return LoadFromStreamTGA(stream);
    case ieftPXM: return LoadFromStreamPXM(stream);
    case ieftPNG: return LoadFromStreamPNG(stream);
    case ieftTIFF: LoadFromStreamTIFF(stream); return;
    case ieftJP2: return LoadFromStreamJP2(stream);
    case ieftJ2K: return LoadFromStreamJ2K(stream);
    case ieftGIF: LoadFromStreamGif(stream); return;
    default: break;
  }
  PIEFileFormatInfo entry = IEFileFormatGetInfo(code);
  RefuseLoad();
  if (IEIsBuiltinFileType(code) || !IEHasRealReader(entry)) return;
  LoadThroughRegistry("", stream, entry);
}

void TPixIO::SaveToFile(const std::string& name) {
  if (name.empty()) return;
  const std::string ext = LowerCase(ExtractFileExt(name));
  TIEFileType code = ieftUnknown;
  const auto chained = LoadChain().find(ext);
  // Icons, cursors and metafiles are read only.
  if (chained != LoadChain().end() && chained->second != ieftICO && chained->second != ieftCUR &&
      chained->second != ieftWMF && chained->second != ieftEMF)
    code = chained->second;
  PIEFileFormatInfo entry = code ? nullptr : EntryOfExtension(ext);
  if (entry && IEIsBuiltinFileType(entry->FileType) && !IEHasRealWriter(entry)) code = entry->FileType;
  switch (code) {
    case ieftBMP: return SaveToFileBMP(name);
    case ieftJPEG: return SaveToFileJpeg(name);
    case ieftPCX: return SaveToFilePCX(name);
    case ieftTGA: return SaveToFileTGA(name);
    case ieftPXM: return SaveToFilePXM(name);
    case ieftPNG: return SaveToFilePNG(name);
    case ieftJP2: return SaveToFileJP2(name);
    case ieftJ2K: return SaveToFileJ2K(name);
    case ieftGIF: return SaveToFileGif(name);
    case ieftTIFF: return SaveToFileTIFF(name);
    default: break;
  }
  if (code || !IEHasRealWriter(entry)) {
    Aborting = true;  // no codec writes it yet
    return;
  }
  SaveThroughRegistry(name, nullptr, entry);
}

void TPixIO::SaveToStream(TStream* stream, TIEFileType code) {
  switch (code) {
    case ieftBMP: return SaveToStreamBMP(stream);
    case ieftJPEG: return SaveToStreamJpeg(stream);
    case ieftPCX: return SaveToStreamPCX(stream);
    case ieftTGA: return SaveToStreamTGA(stream);
    case ieftPXM: return SaveToStreamPXM(stream);
    case ieftPNG: return SaveToStreamPNG(stream);
    case ieftJP2: return SaveToStreamJP2(stream);
    case ieftJ2K: return SaveToStreamJ2K(stream);
    case ieftGIF: return SaveToStreamGif(stream);
    case ieftTIFF: return SaveToStreamTIFF(stream);
    default: break;
  }
  PIEFileFormatInfo entry = IEFileFormatGetInfo(code);
  if (IEIsBuiltinFileType(code) || !IEHasRealWriter(entry)) {
    Aborting = true;
    return;
  }
  SaveThroughRegistry("", stream, entry);
}
