#include "platform/qreportpreview.h"

#include <algorithm>

#include "platform/fonts.h"

TQRPreview::~TQRPreview() { Detach(); }

void TQRPreview::Detach() {
  if (!printer_) return;
  printer_->OnProgress = nullptr;
  printer_->OnPageAvailable = nullptr;
  printer_ = nullptr;
}

void TQRPreview::SetQRPrinter(TQRPrinter* printer) {
  Detach();
  printer_ = printer;
  page_ = 1;
  if (!printer_) return;
  printer_->OnProgress = [this](int percent) {
    if (OnProgressUpdate) OnProgressUpdate(this, percent);
  };
  printer_->OnPageAvailable = [this](int page) {
    if (OnPageAvailable) OnPageAvailable(this, page);
  };
}

void TQRPreview::SetPageNumber(int page) {
  int count = printer_ ? printer_->PageCount() : 0;
  page_ = std::clamp(page, 1, std::max(count, 1));
}

void TQRPreview::SetZoom(int zoom) { zoom_ = std::max(zoom, 1); }

void TQRPreview::ZoomToFit(int viewWidth, int viewHeight) {
  TQRPagePicture* page = printer_ ? printer_->GetPage(page_) : nullptr;
  if (!page || page->GetWidth() <= 0 || page->GetHeight() <= 0) return;
  SetZoom(std::min(viewWidth * 100 / page->GetWidth(), viewHeight * 100 / page->GetHeight()));
}

void TQRPreview::ZoomToWidth(int viewWidth) {
  TQRPagePicture* page = printer_ ? printer_->GetPage(page_) : nullptr;
  if (!page || page->GetWidth() <= 0) return;
  SetZoom(viewWidth * 100 / page->GetWidth());
}

bool TQRPreview::PageBitmap(TBitmap* bitmap) const {
  if (!printer_) return false;
  return printer_->PageToBitmap(page_, bitmap, ScreenPixelsPerInch() * zoom_ / 100.0);
}
