#include "imaging/view/qrpix.h"

#include <cstring>
#include <memory>
#include <string>

#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/ieview.h"
#include "platform/graphics.h"

TQRPix::TQRPix(TComponent* Owner) : TQRPicturePrintable(Owner) {}

TQRPix::~TQRPix() { StopListening(); }

void TQRPix::StopListening() {
  if (attachedPix_) attachedPix_->RemoveBitmapChangeEvent(listener_);
  listener_ = -1;
}

void TQRPix::SetAttachedPix(TIEView* View) {
  StopListening();
  attachedPix_ = View;
  if (!View) return;
  attachedBitmap_ = View->GetFBitmap();
  View->FreeNotification(this);
  listener_ = View->RegisterBitmapChangeEvent(
      [this](TObject* Sender, bool Destroying) { OnBitmapChange(Sender, Destroying); });
}

void TQRPix::SetAttachedBitmap(TBitmap* Bitmap) {
  StopListening();
  if (Bitmap) {
    attachedBitmap_ = Bitmap;
    attachedPix_ = nullptr;
  } else if (!attachedPix_) {
    attachedBitmap_ = nullptr;
  }
}

void TQRPix::ForgetView() {
  // The view's bitmap goes with it: never print a freed bitmap.
  attachedPix_ = nullptr;
  listener_ = -1;
  attachedBitmap_ = nullptr;
}

void TQRPix::Notification(TComponent* AComponent, TOperation Operation) {
  TQRPrintable::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == attachedPix_) {
    StopListening();
    ForgetView();
  }
}

void TQRPix::OnBitmapChange(TObject*, bool Destroying) {
  if (Destroying) {
    ForgetView();
  } else if (attachedPix_) {
    attachedBitmap_ = attachedPix_->GetFBitmap();
  }
}

namespace {

template <typename T>
void Put(std::string& key, const T& value) {
  key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// The bitmap's rows hashed eight bytes at a time.
uint64_t PixelsHash(const TBitmap& bitmap) {
  uint64_t hash = 0x9E3779B97F4A7C15ull;
  const int64_t rowBytes = bitmap.BytesPerLine();
  for (int y = 0; y < bitmap.GetHeight(); ++y) {
    const uint8_t* row = bitmap.ScanLine(y);
    int64_t i = 0;
    for (; i + 8 <= rowBytes; i += 8) {
      uint64_t word;
      std::memcpy(&word, row + i, 8);
      hash = (hash ^ word) * 0x100000001B3ull;
      hash ^= hash >> 29;
    }
    for (; i < rowBytes; ++i) hash = (hash ^ row[i]) * 0x100000001B3ull;
  }
  return hash;
}

}  // namespace

// All that decides what a print draws, placed at `r`'s picture corner:
// the picture, the settings, the pen and copy modes it inherits, and the
// placement relative to the corner.
std::string TQRPix::RepeatKey(const TBitmap& bitmap, const TQRPicturePlacement& r) const {
  std::string key;
  Put(key, this);
  Put(key, PixelsHash(bitmap));
  for (int v : {bitmap.GetWidth(), bitmap.GetHeight(), int(bitmap.GetPixelFormat()), ShadowSize, int(ShadowType),
                int(ImageShadow), int(ImageBorder), int(Frame.DrawLeft), int(Frame.DrawTop), int(Frame.DrawRight),
                int(Frame.DrawBottom), Frame.Width, int(Frame.Color), int(Frame.Style), r.X0 - r.Xi, r.Y0 - r.Yi,
                r.X1 - r.Xi, r.Y1 - r.Yi, r.L, r.M, r.SrcWidth, r.SrcHeight})
    Put(key, v);
  Put(key, r.Zoom);
  Put(key, GammaCorrection);
  const TCanvas* canvas = ParentReport->QRPrinter->Canvas;
  Put(key, int(canvas->Pen->Mode));
  Put(key, int(canvas->CopyMode));
  return key;
}

void TQRPix::SetPens(TCanvas* canvas) const {
  canvas->Pen->Color = Frame.Color;
  canvas->Pen->Width = Frame.Width;
  canvas->Pen->Style = Frame.Style;
  if (ShadowSize > 0) {
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = clBlack;
  }
}

void TQRPix::Print(double OfsX, double OfsY) {
  ForgetPlacement();
  if (!attachedBitmap_ || !ParentReport) return;
  // The gamma step and a change of pixel format work on a copy; the
  // attached picture stays as it is. Without them (as on every card of a
  // batch) the picture prints as it is.
  std::unique_ptr<TBitmap> copy;
  TBitmap* printed = attachedBitmap_;
  const TPixelFormat format = attachedBitmap_->GetPixelFormat();
  if (GammaCorrection != 1.0 || (format != pf1bit && format != pf24bit)) {
    copy.reset(new TBitmap());
    IECopyBitmap(attachedBitmap_, copy.get());
    printed = copy.get();
  }
  if (printed->GetWidth() < 1 || printed->GetHeight() < 1) {
    PrintFrameUnlessDecorated(OfsX, OfsY);
    return;
  }
  // Every card of a batch prints the same picture and shadows: drawn once,
  // repeated on the cards after.
  TQRPrinter* printer = ParentReport->QRPrinter;
  const TQRPicturePlacement placed =
      IEReportPicturePlacement(*this, OfsX, OfsY, printed->GetWidth(), printed->GetHeight(), Fit, Center);
  const std::string key = RepeatKey(*printed, placed);
  TCanvas* canvas = printer->Canvas;
  if (printer->Repeat(key, {placed.Xi, placed.Yi})) {
    // The canvas is left as drawing would leave it.
    SetPens(canvas);
    if (ShadowSize > 0 && ImageBorder) canvas->MoveTo(placed.Xi, placed.Yi);
    KeepPlacement(placed);
    return;
  }
  printer->BeginRepeatable(key, {placed.Xi, placed.Yi});
  const TQRPicturePlacement r = PrintPicture(printed, OfsX, OfsY);
  SetPens(canvas);
  if (ShadowSize > 0) {
    const int S = ShadowSize;
    if (ImageShadow) {
      IERightShadow(canvas, r.Xi + r.L, r.Yi, r.Xi + r.L + S + 2, r.Yi + r.M + S, ShadowType);
      IEBottomShadow(canvas, r.Xi, r.Yi + r.M, r.Xi + r.L + S, r.Yi + r.M + S + 1, ShadowType);
    } else {
      IERightShadow(canvas, r.X1 + 2, r.Y0, r.X1 + S + 2, r.Y1 + S, ShadowType);
      IEBottomShadow(canvas, r.X0, r.Y1 + 1, r.X1 + S, r.Y1 + S + 1, ShadowType);
    }
    if (ImageBorder) {
      canvas->MoveTo(r.Xi, r.Yi);
      canvas->LineTo(r.Xi + r.L - 1, r.Yi);
      canvas->LineTo(r.Xi + r.L - 1, r.Yi + r.M - 1);
      canvas->LineTo(r.Xi, r.Yi + r.M - 1);
      canvas->LineTo(r.Xi, r.Yi);
    }
  }
  PrintFrameUnlessDecorated(OfsX, OfsY);
  printer->EndRepeatable();
}
