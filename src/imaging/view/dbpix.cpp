#include "imaging/view/dbpix.h"

#include <memory>

#include "imaging/io/pixio.h"
#include "platform/messages.h"
#include "platform/sysutils.h"

namespace {

// Sets a flag for a scope, clearing it also when a loader raises.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TPixDBView::TPixDBView(TComponent* Owner) : TPixView(Owner), dataLink_(new TFieldDataLink) {
  io_ = GetPixIO();
  dataLink_->Control = this;
  dataLink_->OnDataChange = [this](TObject* Sender) { DataChange(Sender); };
  dataLink_->OnUpdateData = [this](TObject* Sender) { UpdateData(Sender); };
  SetJPegQuality(25);
}

TPixDBView::~TPixDBView() { delete dataLink_; }

void TPixDBView::SetAutoDisplay(bool Value) {
  if (autoDisplay_ == Value) return;
  autoDisplay_ = Value;
  if (Value) LoadPicture();
}

void TPixDBView::SetDataFieldImageFormat(TDataFieldImageFormat Value) {
  dataFieldImageFormat_ = Value;
  ImageChange();
}

int TPixDBView::GetJPegQuality() const { return io_->IOParams->JPEG_Quality; }
void TPixDBView::SetJPegQuality(int Value) { io_->IOParams->JPEG_Quality = Value; }
TIOParamsVals* TPixDBView::GetIOParams() const { return io_->IOParams; }

void TPixDBView::SetAbsolutePath(const std::string& Value) {
  absolutePath_ = Value;
  modified_ = false;
  LoadPicture();
}

bool TPixDBView::DataReady() const {
  TDataSource* source = GetDataSource();
  return source && source->GetDataSet() && source->GetDataSet()->GetActive();
}

std::string TPixDBView::FileOfField() const {
  auto* text = dynamic_cast<TStringField*>(GetField());
  if (!text || !DataReady()) return "";
  const std::string name = text->GetAsString();
  return name.empty() ? "" : absolutePath_ + name;
}

void TPixDBView::DataChange(TObject*) {
  {
    // Clearing for the new record is no edit.
    TFlagScope loading(loading_);
    Clear();
  }
  modified_ = false;
  if (DataReady() && autoDisplay_) LoadPicture();
}

void TPixDBView::LoadPicture() {
  if (modified_ || !DataReady()) return;
  auto* blob = dynamic_cast<TBlobField*>(GetField());
  if ((blob && blob->BlobSize() > 0) || dynamic_cast<TStringField*>(GetField())) LoadPictureEx(io_);
}

TDataFieldImageFormat TPixDBView::LoadedFieldImageFormat() {
  if (!autoDisplay_ || !DataReady()) return ifUnknown;
  if (auto* blob = dynamic_cast<TBlobField*>(GetField())) {
    TMemoryStream copy;
    blob->SaveToStream(&copy);
    copy.SetPosition(0);
    return IEFieldImageFormat(FindStreamFormat(&copy), true);
  }
  const std::string file = FileOfField();
  if (!file.empty() && FileExists(file)) return IEFieldImageFormat(FindFileFormat(file, false), true);
  return ifUnknown;
}

void TPixDBView::LoadPictureEx(TPixIO* IO) {
  IO->StreamHeaders = StreamHeaders;
  if (!DataReady()) return;
  auto* blob = dynamic_cast<TBlobField*>(GetField());
  if (blob && blob->BlobSize() > 0) {
    LoadBlob(IO, blob);
  } else if (dynamic_cast<TStringField*>(GetField())) {
    const std::string file = FileOfField();
    if (!file.empty() && FileExists(file)) LoadFile(IO, file);
  }
}

void TPixDBView::LoadBlob(TPixIO* IO, TBlobField* blob) {
  TFlagScope loading(loading_);
  TDataFieldImageFormat format = LoadedFieldImageFormat();
  TMemoryStream stream;
  blob->SaveToStream(&stream);
  stream.SetPosition(0);
  // After the graphic-field header only a BMP is tried.
  if (format == ifUnknown && IESkipGraphicFieldHeader(&stream)) format = ifBitmap;
  // What cannot be decoded is no picture of this record, not even part of one.
  if (!IELoadFieldImage(IO, &stream, format)) Clear();
}

void TPixDBView::LoadFile(TPixIO* IO, const std::string& fileName) {
  TFlagScope loading(loading_);
  const TDataFieldImageFormat format = LoadedFieldImageFormat();
  if (format == ifUnknown) {
    Clear();
    return;
  }
  TMemoryStream stream;
  stream.LoadFromFile(fileName);
  stream.SetPosition(0);
  if (!IELoadFieldImage(IO, &stream, format)) Clear();
}

void TPixDBView::UpdateData(TObject*) {
  io_->StreamHeaders = StreamHeaders;
  auto* blob = dynamic_cast<TBlobField*>(GetField());
  const std::string file = blob ? "" : FileOfField();
  if (!blob && file.empty()) return;
  // A format without a writer, or a writer that fails, must not replace the
  // stored picture with nothing.
  TMemoryStream stream;
  if (!IESaveFieldImage(io_, &stream, dataFieldImageFormat_)) return;
  stream.SetPosition(0);
  if (blob)
    blob->LoadFromStream(&stream);
  else
    stream.SaveToFile(file);
}

void TPixDBView::ImageChange() {
  TPixView::ImageChange();
  if (loading_) return;
  dataLink_->Modified();
  modified_ = true;
  Invalidate();
}

void TPixDBView::Dispatch(TMessage& message) {
  if (message.Msg == WM_LBUTTONDBLCLK) LoadPicture();
  TPixView::Dispatch(message);
}
