// The printer object. It prints through the system's default printer when
// one is installed, else into a PDF file; the last entry of Printers is that
// PDF file. The environment variable CW_PRINTER_PDF (a file path) makes
// every printer object print only into that file, as tests need.
//
// While printing, Canvas draws on an image of the whole page in printer
// pixels (origin at the paper's top-left corner); NewPage and EndDoc lay
// what was drawn onto the page.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/classes.h"

class QPainter;
class QPrinter;
class QRectF;
class TInkTarget;
class TQRPicture;

CW_DECLARE_EXCEPTION(EPrinter, Exception)

enum TPrinterOrientation { poPortrait, poLandscape };

class TPrinter : public TObject {
 public:
  TPrinter();
  ~TPrinter() override;
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // Installed printers, then the PDF file.
  TStrings* Printers();
  // -1 (or any index outside Printers) is the default printer.
  int GetPrinterIndex() const { return index_; }
  void SetPrinterIndex(int index);
  // True when output goes into a PDF file.
  bool PrintsToFile();

  // Document title (the print job's name).
  std::string Title;
  // The PDF file written when printing to a file; empty: the file of
  // CW_PRINTER_PDF, else "Cardwright.pdf" in the home folder.
  std::string FileName;
  TPrinterOrientation Orientation = poPortrait;
  // Paper in millimetres, short side then long side (A4 until set).
  void SetPaperSize(double widthMm, double lengthMm);

  // Raises EPrinter when printing already, or when the output cannot be
  // opened.
  void BeginDoc();
  void NewPage();
  void EndDoc();
  // Ends the document, dropping the page in progress.
  void Abort();
  bool Printing() const { return painter_ != nullptr; }
  bool Aborted() const { return aborted_; }
  int PageNumber() const { return page_; }

  TCanvas* Canvas() { return canvas_.get(); }
  // The canvas's device context, for GetDeviceCaps.
  HDC Handle() { return canvas_->GetHandle(); }
  // Page size in printer pixels (of the paper, as it lies).
  int PageWidth();
  int PageHeight();
  int Resolution();

  // For the platform layer: the painter of the page in progress.
  QPainter* Painter() { return painter_.get(); }
  // Draws a JPEG picture into `target` (painter pixels). A PDF file gets
  // the JPEG's own bytes, once however often it is drawn; a printer gets the
  // decoded pixels.
  void DrawJpeg(const QRectF& target, const std::shared_ptr<const TQRPicture>& picture);

 private:
  void Configure();
  void LayInk();
  void StartPageImage();
  void EndPainting();

  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPainter> painter_;
  TInkTarget* ink_;  // owned by canvas_
  std::unique_ptr<TCanvas> canvas_;
  std::unique_ptr<TStringList> names_;
  int index_ = -1;
  double paperWidth_ = 210, paperLength_ = 297;
  int page_ = 0;
  bool aborted_ = false;
  // JPEG pictures of the PDF being written, by their number in it.
  struct TJpegInPdf;
  std::vector<TJpegInPdf> jpegs_;
  std::map<const TQRPicture*, uint32_t> jpegNumbers_;
  std::string pdfFile_;  // empty unless writing a PDF file
};

// The program's one printer object, made on first use.
TPrinter* Printer();
