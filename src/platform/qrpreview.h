// The report preview: a windowed control with scroll bars that shows one
// prepared page of a report printer at a zoom in percent, on the control's
// Color. A page smaller than the client area sits in its middle; a larger
// one scrolls. The page is drawn into the client image from the printer's
// page picture, only where the control repaints, so any zoom stays cheap.
#pragma once

#include <functional>

#include "platform/controls.h"
#include "platform/qreportprinter.h"

class TQRPreview : public TCustomControl {
 public:
  // The zoom's range in percent; the upper bound keeps large papers within
  // the scroll bars' reach.
  static constexpr int MinZoom = 1;
  static constexpr int MaxZoom = 1000;

  explicit TQRPreview(TComponent* AOwner = nullptr);
  ~TQRPreview() override;

  // Shows the printer's pages and relays its progress until another is
  // attached or it is freed.
  TQRPrinter* GetQRPrinter() const { return printer_; }
  void SetQRPrinter(TQRPrinter* printer);

  // Shown page, 1-based, kept within the prepared pages.
  int GetPageNumber() const { return page_; }
  void SetPageNumber(int page);
  // Percent, within MinZoom..MaxZoom.
  int GetZoom() const { return zoom_; }
  void SetZoom(int zoom);
  // The largest zoom that shows the whole page without scroll bars, or the
  // page's whole width (with a vertical bar where the page is taller).
  void ZoomToFit();
  void ZoomToWidth();

  // Where the shown page lies in client pixels; empty when there is none.
  TRect PageRect() const;
  // The whole shown page at the zoom, on white; false when there is none.
  bool PageBitmap(TBitmap* bitmap) const;

  std::function<void(TObject* Sender, int Progress)> OnProgressUpdate;
  std::function<void(TObject* Sender, int PageNum)> OnPageAvailable;

  void Dispatch(TMessage& message) override;

 protected:
  void Paint() override;
  void Resize() override;
  bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TQRPagePicture* ShownPage() const;
  // The shown page's size in pixels at a zoom (0 x 0 without a page).
  TSize PageSizeAt(int zoom) const;
  // The largest zoom at which `extent` (the page's width or height) fits
  // into `room` pixels.
  int ZoomThatFits(int room, bool width) const;
  void Detach();
  void PagesChanged();
  void UpdateScrollBars();
  void ScrollTo(int bar, int pos);

  TQRPrinter* printer_ = nullptr;
  int page_ = 1;
  int zoom_ = 100;
  bool updatingBars_ = false;
};
