// The report printer: it keeps the pages a report prepares as page pictures
// (qreportpage.h), converts report positions (millimetres from the paper's
// top-left corner) to its pixels, and hands the pages to the preview, to a
// printer, to a PDF file and to bitmaps.
//
// Printables draw either through the drawing calls below or on Canvas.
// What they draw on Canvas is caught per printable (BeginCapture) and kept
// on the page: plain picture copies as pictures, everything else as the
// pixels drawn. Pictures go into the printer's picture store, so a picture
// every card repeats is kept once for the whole document.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/controls.h"
#include "platform/qreportpage.h"

class TInkTarget;
class TPrinter;

// A component, so that a preview showing it hears when it is freed.
class TQRPrinter : public TComponent {
 public:
  // Pixels per inch of prepared pages.
  static constexpr int RecordDpi = 600;

  explicit TQRPrinter(TComponent* AOwner = nullptr);
  ~TQRPrinter() override;

  // Report position in millimetres to a page pixel (truncated).
  int XPos(double mm) const;
  int YPos(double mm) const { return XPos(mm); }
  // Page pixels back to millimetres.
  static double ToMm(int pixels) { return pixels * 25.4 / RecordDpi; }

  // Draws on the printable being printed (see BeginCapture).
  TCanvas* const Canvas;

  // Preparing: drops the old pages; pages are width x length millimetres.
  void BeginDoc(double widthMm, double lengthMm);
  void NewPage();
  void EndDoc();
  int PageNumber() const { return int(pages_.size()); }
  double PaperWidthMm() const { return paperWidth_; }
  double PaperLengthMm() const { return paperLength_; }

  // Drawings on the current page, in page pixels.
  void AddDrawing(TQRDrawing drawing);
  // A JPEG picture (the bytes of its file) shown whole and unchanged in
  // `box` (page pixels): kept in its bytes, and printed into a PDF file as
  // them. False, with nothing added, for bytes that are not such a JPEG
  // (ReadJpegFrame); the caller then draws the picture decoded.
  bool AddJpeg(const TRect& box, std::string bytes);
  // A picture for drawings of the current document: the one kept already
  // when the same pixels were shared before.
  TQRPictureRef SharePicture(QImage image) { return pictures_.Share(std::move(image)); }
  // The pictures of the prepared pages, each kept once.
  const TQRPictureStore& Pictures() const { return pictures_; }
  // Canvas draws into `area` (page pixels) until EndCapture, which keeps on
  // the page what was drawn. Drawings added meanwhile keep their order.
  void BeginCapture(const TRect& area);
  void EndCapture();

  // A batch prints the same picture with the same shadows on every card.
  // A printable that prints what it printed before names it by `key` (all
  // that decides its drawings: its settings, the picture's contents, its
  // placement relative to `corner`) and asks Repeat first: when the
  // document has that print, its drawings go on the page again, moved to
  // `corner`, and nothing needs drawing. Otherwise it draws between
  // BeginRepeatable and EndRepeatable, which keep the drawings for the next
  // time. The capture area, relative to `corner`, is part of the key; an
  // EndCapture before EndRepeatable drops the half-made print.
  bool Repeat(const std::string& key, TPoint corner);
  void BeginRepeatable(const std::string& key, TPoint corner);
  void EndRepeatable();

  // Prepared pages, 1-based; nullptr outside 1..PageCount.
  int PageCount() const { return int(pages_.size()); }
  TQRPagePicture* GetPage(int page) const;
  // Drops the prepared pages.
  void Cleanup();

  // Pages first..last (clamped to the prepared ones) to a printer; nothing
  // when the range holds no page. Returns the pages printed.
  int Print(TPrinter* printer, int first, int last);
  // The same into a PDF file.
  int ExportToPdf(const std::string& fileName, int first, int last);
  // A page drawn on a bitmap at `dpi` (the screen's when 0); false when the
  // page does not exist.
  bool PageToBitmap(int page, TBitmap* bitmap, double dpi = 0) const;

  // Preparation progress 0..100 and each finished page.
  std::function<void(int percent)> OnProgress;
  std::function<void(int page)> OnPageAvailable;

 private:
  void FlushCapture();
  std::string CaptureKey(const std::string& key, TPoint corner) const;

  // Drawings of a print kept for repeating, and where its corner was.
  struct TRepeatable {
    TPoint corner;
    std::vector<TQRDrawing> drawings;
  };

  std::vector<std::unique_ptr<TQRPagePicture>> pages_;
  TQRPictureStore pictures_;
  TInkTarget* ink_;  // owned by Canvas
  TRect area_;
  bool capturing_ = false;
  std::unordered_map<std::string, TRepeatable> repeatables_;
  std::string recordingKey_;  // empty when not recording
  TPoint recordingCorner_{};
  size_t recordingFrom_ = 0;
  double paperWidth_ = 210, paperLength_ = 297;
};
