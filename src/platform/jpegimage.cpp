#include "platform/jpegimage.h"

#include <turbojpeg.h>

#include <memory>

#include "platform/canvas.h"
#include "platform/jpegsize.h"

namespace {

// Pictures above this many pixels are refused rather than allocated.
constexpr int64_t kMaxPixels = int64_t(1) << 28;
// The framework's default settings for pictures it compresses.
constexpr int kDefaultQuality = 90;

struct TTurboHandle {
  explicit TTurboHandle(tjhandle h) : handle(h) {}
  ~TTurboHandle() {
    if (handle) tjDestroy(handle);
  }
  tjhandle handle;
};

// Decodes JPEG bytes into a 24-bit image; raises EInvalidGraphic.
QImage Decode(const std::vector<uint8_t>& data) {
  TTurboHandle tj(tjInitDecompress());
  if (!tj.handle) throw EInvalidGraphic("JPEG decoder not available");
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (data.empty() ||
      tjDecompressHeader3(tj.handle, data.data(), data.size(), &width, &height, &subsampling, &colorspace) != 0)
    throw EInvalidGraphic("JPEG image is not valid");
  if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxPixels)
    throw EInvalidGraphic("JPEG image is too large");
  // A header announcing far more than its data could fill is damaged.
  if (!JpegDataCanFill(width, height, int64_t(data.size()))) throw EInvalidGraphic("JPEG image is not valid");
  QImage image(width, height, QImage::Format_BGR888);
  if (image.isNull()) throw EInvalidGraphic("Not enough memory for the JPEG image");
  // The scan limit stops crafted progressive files that would run for ever.
  if (tjDecompress2(tj.handle, data.data(), data.size(), image.bits(), width, int(image.bytesPerLine()), height,
                    TJPF_BGR, TJFLAG_LIMITSCANS) != 0 &&
      tjGetErrorCode(tj.handle) == TJERR_FATAL)
    throw EInvalidGraphic(std::string("JPEG image is not valid: ") + tjGetErrorStr2(tj.handle));
  return image;
}

std::vector<uint8_t> Encode(const QImage& source) {
  QImage image = source.convertToFormat(QImage::Format_BGR888);
  TTurboHandle tj(tjInitCompress());
  if (!tj.handle) throw EInvalidGraphic("JPEG encoder not available");
  unsigned char* out = nullptr;
  unsigned long size = 0;
  if (tjCompress2(tj.handle, image.constBits(), image.width(), int(image.bytesPerLine()), image.height(), TJPF_BGR,
                  &out, &size, TJSAMP_420, kDefaultQuality, 0) != 0) {
    tjFree(out);
    throw EInvalidGraphic(std::string("Cannot compress the JPEG image: ") + tjGetErrorStr2(tj.handle));
  }
  std::vector<uint8_t> bytes(out, out + size);
  tjFree(out);
  return bytes;
}

}  // namespace

TJPEGImage::TJPEGImage() : bitmap_(new TBitmap) {}
TJPEGImage::~TJPEGImage() { delete bitmap_; }

int TJPEGImage::GetWidth() const { return bitmap_->GetWidth(); }
int TJPEGImage::GetHeight() const { return bitmap_->GetHeight(); }

void TJPEGImage::Changed() {
  if (OnChange) OnChange(this);
}

void TJPEGImage::LoadFromStream(TStream* stream) {
  int64_t size = stream->GetSize() - stream->GetPosition();
  if (size <= 0) throw EInvalidGraphic("JPEG image is not valid");
  if (size > (int64_t(1) << 31)) throw EInvalidGraphic("JPEG image is too large");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  stream->ReadBuffer(bytes.data(), size);
  QImage image = Decode(bytes);
  data_ = std::move(bytes);
  bitmap_->SetImage(image);
  Changed();
}

void TJPEGImage::SaveToStream(TStream* stream) {
  if (!data_.empty()) stream->WriteBuffer(data_.data(), int64_t(data_.size()));
}

void TJPEGImage::Assign(TPersistent* source) {
  if (source == nullptr) {
    data_.clear();
    bitmap_->Assign(nullptr);
    Changed();
  } else if (auto* jpeg = dynamic_cast<TJPEGImage*>(source)) {
    if (jpeg == this) return;
    data_ = jpeg->data_;
    bitmap_->Assign(jpeg->bitmap_);
    Changed();
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
    if (bitmap->GetEmpty()) return Assign(nullptr);
    std::vector<uint8_t> bytes = Encode(bitmap->Image());
    // What is drawn from now on is what a reader of the bytes gets.
    QImage decoded = Decode(bytes);
    data_ = std::move(bytes);
    bitmap_->SetImage(decoded);
    Changed();
  } else {
    TGraphic::Assign(source);
  }
}

void TJPEGImage::AssignTo(TPersistent* dest) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
    bitmap->Assign(bitmap_);
    return;
  }
  TGraphic::AssignTo(dest);
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& rect) { canvas->StretchDraw(rect, bitmap_); }
