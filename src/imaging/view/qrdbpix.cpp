#include "imaging/view/qrdbpix.h"

#include <algorithm>
#include <memory>

#include "imaging/io/ieformats.h"
#include "imaging/io/pixio.h"
#include "imaging/view/ievect.h"
#include "platform/graphics.h"
#include "platform/jpegframe.h"

TQRDBPix::TQRDBPix(TComponent* Owner) : TQRPicturePrintable(Owner), dataLink_(new TFieldDataLink) {
  dataLink_->Control = this;
  dataLink_->OnDataChange = [this](TObject* Sender) { DataChange(Sender); };
}

TQRDBPix::~TQRDBPix() { delete dataLink_; }

void TQRDBPix::SetAutoDisplay(bool Value) {
  if (autoDisplay_ == Value) return;
  autoDisplay_ = Value;
  if (Value) LoadPicture();
}

bool TQRDBPix::DataReady() const {
  TDataSource* source = GetDataSource();
  return source && source->GetDataSet() && source->GetDataSet()->GetActive();
}

TBlobField* TQRDBPix::BlobWithContent() const {
  auto* blob = dynamic_cast<TBlobField*>(GetField());
  return blob && DataReady() && blob->BlobSize() > 0 ? blob : nullptr;
}

void TQRDBPix::DataChange(TObject*) {
  if (DataReady() && autoDisplay_) LoadPicture();
}

void TQRDBPix::LoadPicture() {
  if (BlobWithContent()) dataFieldImageFormat_ = LoadedFieldImageFormat();
}

TDataFieldImageFormat TQRDBPix::LoadedFieldImageFormat() {
  auto* blob = dynamic_cast<TBlobField*>(GetField());
  if (!autoDisplay_ || !blob || !DataReady()) return ifUnknown;
  std::unique_ptr<TStream> stream(blob->DataSet()->CreateBlobStream(blob, bmRead));
  return IEFieldImageFormat(FindStreamFormat(stream.get()), false);
}

void TQRDBPix::LoadPictureEx(TPixIO* IO, TPixVect* Vect) {
  IO->StreamHeaders = StreamHeaders || PrintObjects;
  TBlobField* blob = BlobWithContent();
  if (!blob) return;
  const TDataFieldImageFormat format = LoadedFieldImageFormat();
  std::unique_ptr<TStream> stream(blob->DataSet()->CreateBlobStream(blob, bmRead));
  if (IO->Bitmap)
    IELoadFieldImage(IO, stream.get(), format);
  else
    IO->ParamsFromStream(stream.get());
  if (PrintObjects && Vect) {
    Vect->RemoveAllObjects();
    Vect->LoadFromStreamIEV(stream.get());
  }
}

bool TQRDBPix::PrintFieldJpeg(double OfsX, double OfsY) {
  TBlobField* blob = PrintObjects ? nullptr : BlobWithContent();
  if (!blob || LoadedFieldImageFormat() != ifJpeg) return false;
  std::unique_ptr<TStream> stream(blob->DataSet()->CreateBlobStream(blob, bmRead));
  int32_t length = 0;
  const bool headed = IEReadStreamHeader(stream.get(), IEJpegStreamMagic, length);
  // A header of length 0 marks a write that never finished.
  if (headed && length == 0) return false;
  int64_t size = stream->GetSize() - stream->GetPosition();
  if (headed) size = std::min<int64_t>(size, length);
  if (size <= 0) return false;
  std::string bytes(size_t(size), '\0');
  if (stream->Read(bytes.data(), size) != size) return false;
  TJpegFrame frame;
  return ReadJpegFrame(bytes, frame) && PrintWholeJpeg(std::move(bytes), frame.Width, frame.Height, OfsX, OfsY);
}

void TQRDBPix::Print(double OfsX, double OfsY) {
  ForgetPlacement();
  if (DataReady() && ParentReport && !PrintFieldJpeg(OfsX, OfsY)) {
    // The view and its I/O component live for this print only.
    auto vect = std::make_unique<TPixVect>(this);
    vect->SetParent(this);
    TBitmap* bitmap = vect->GetFBitmap();
    auto io = std::make_unique<TPixIO>(this);
    io->SetAttachedBitmap(bitmap);
    LoadPictureEx(io.get(), vect.get());
    // A picture the decoder gave up on half way prints nothing, not a part
    // of it.
    if (io->Aborting) bitmap->SetSize(0, 0);
    if (PrintObjects) {
      vect->Update();
      vect->CopyObjectsToBack();
    }
    if (bitmap->GetWidth() >= 1 && bitmap->GetHeight() >= 1) PrintPicture(bitmap, OfsX, OfsY);
  }
  PrintFrameUnlessDecorated(OfsX, OfsY);
}
