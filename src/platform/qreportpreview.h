// What a report preview shows, without the window: the page of a report
// printer at a zoom, paging, and the zooms that fit a page into a view.
#pragma once

#include <functional>

#include "platform/graphics.h"
#include "platform/qreportprinter.h"

class TQRPreview : public TObject {
 public:
  TQRPreview() = default;
  ~TQRPreview() override;
  TQRPreview(const TQRPreview&) = delete;
  TQRPreview& operator=(const TQRPreview&) = delete;

  // Follows the printer's pages and progress until another is attached.
  TQRPrinter* GetQRPrinter() const { return printer_; }
  void SetQRPrinter(TQRPrinter* printer);

  // Shown page, 1-based, kept within the prepared pages.
  int GetPageNumber() const { return page_; }
  void SetPageNumber(int page);
  // Percent; 1 at least.
  int GetZoom() const { return zoom_; }
  void SetZoom(int zoom);
  // Zooms that show the whole page, or its whole width, in a view of the
  // given size in screen pixels.
  void ZoomToFit(int viewWidth, int viewHeight);
  void ZoomToWidth(int viewWidth);

  // The shown page at the zoom, on white; false when there is none.
  bool PageBitmap(TBitmap* bitmap) const;

  std::function<void(TObject* Sender, int Progress)> OnProgressUpdate;
  std::function<void(TObject* Sender, int PageNum)> OnPageAvailable;

 private:
  void Detach();
  TQRPrinter* printer_ = nullptr;
  int page_ = 1;
  int zoom_ = 100;
};
