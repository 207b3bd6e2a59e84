#include "imaging/view/qrpix.h"

#include <memory>

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
  if (printed->GetWidth() >= 1 && printed->GetHeight() >= 1) {
    const TQRPicturePlacement r = PrintPicture(printed, OfsX, OfsY);
    TCanvas* canvas = ParentReport->QRPrinter->Canvas;
    canvas->Pen->Color = Frame.Color;
    canvas->Pen->Width = Frame.Width;
    canvas->Pen->Style = Frame.Style;
    if (ShadowSize > 0) {
      const int S = ShadowSize;
      canvas->Brush->Style = bsSolid;
      canvas->Brush->Color = clBlack;
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
  }
  PrintFrameUnlessDecorated(OfsX, OfsY);
}
