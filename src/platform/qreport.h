// The report engine: a report (TQuickRep) over a data set with its page
// setup (TQRPage), its bands (TQRBand) and the printables on them
// (TQRPrintable and the controls of qreportctrls.h). Prepare lays out every
// page into the report printer (qreportprinter.h); Print sends a page range
// to the printer object (printers.h).
//
// Units: the page in millimetres; bands and printables keep their place and
// size in screen pixels (as designed on screen) and give them in
// millimetres through Size. Printing is decided by Enabled; Visible only
// concerns the screen. Detail bands fill a column top to bottom, then the
// next column to the right, then the next page (docs/report.md).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/db.h"
#include "platform/printers.h"
#include "platform/qreportprinter.h"

class TQuickRep;
class TQRBand;

CW_DECLARE_EXCEPTION(EQRError, Exception)

// Paper size codes 0..27.
enum class TQRPaperSize {
  Default, Letter, LetterSmall, Tabloid, Ledger, Legal, Statement, Executive, A3, A4, A4Small, A5, B4, B5, Folio,
  Quarto, qr10X14, qr11X17, Note, Env9, Env10, Env11, Env12, Env14, CSheet, DSheet, ESheet, Custom
};

// The page of a report, in millimetres. Width and Length are the paper as
// it stands upright; landscape lays the page out Length wide.
class TQRPage {
 public:
  // Value indices of GetValue/SetValue.
  enum { pvBottomMargin, pvLength, pvTopMargin, pvWidth, pvLeftMargin, pvRightMargin, pvColumnSpace };

  TQRPaperSize GetPaperSize() const { return paperSize_; }
  // A known paper gives its width and length; Default is A4; Custom keeps
  // the width and length set by hand. A code outside 0..27 counts as
  // Default.
  void SetPaperSize(TQRPaperSize size);
  void SetPaperSize(int code);
  TPrinterOrientation Orientation = poPortrait;
  int Columns = 1;
  double BottomMargin = 10, Length = 297, TopMargin = 10, Width = 210, LeftMargin = 10, RightMargin = 10,
         ColumnSpace = 0;

  // Page value by index (0..6); other indices read 0 and are not stored.
  double GetValue(int index) const;
  void SetValue(int index, double value);
  // The page as it lies.
  double PageWidth() const { return Orientation == poLandscape ? Length : Width; }
  double PageLength() const { return Orientation == poLandscape ? Width : Length; }

 private:
  TQRPaperSize paperSize_ = TQRPaperSize::A4;
};

// Frame lines around a printable or band; Width in printer pixels.
struct TQRFrame {
  bool DrawLeft = false, DrawTop = false, DrawRight = false, DrawBottom = false;
  int Width = 1;
  TColor Color = clBlack;
  TPenStyle Style = psSolid;
};

struct TQRPrintableSize {
  double Left = 0, Top = 0, Width = 0, Height = 0;
};

// Screen pixels to millimetres.
double ScreenPixelsToMm(int pixels);

class TQRPrintable : public TObject {
 public:
  // A printable with an owner is freed by it; one without is freed by its
  // band.
  explicit TQRPrintable(TObject* Owner = nullptr);
  ~TQRPrintable() override;
  TQRPrintable(const TQRPrintable&) = delete;
  TQRPrintable& operator=(const TQRPrintable&) = delete;

  TObject* const Owner;
  TQRBand* GetParent() const { return parent_; }
  void SetParent(TQRBand* band);
  // The report of the band; nullptr while on none.
  TQuickRep* ParentReport = nullptr;

  int Left = 0, Top = 0, Width = 65, Height = 17;
  bool Enabled = true;
  bool Visible = true;
  TQRFrame Frame;
  // The place and size in millimetres.
  TQRPrintableSize Size() const;

  void BringToFront();
  void SendToBack();

  // Prints at the band's offsets (millimetres from the paper's corner). The
  // base draws the frame lines.
  virtual void Print(double OfsX, double OfsY);
  // Height this printable needs for the current record, in millimetres.
  virtual double NeededHeight() { return Size().Height; }

 protected:
  // The box in page pixels at the given offsets, `height` millimetres high.
  TRect PixelBox(double OfsX, double OfsY, double height) const;
  void DrawFrame(const TRect& box);

 private:
  TQRBand* parent_ = nullptr;
};

enum TQRBandType { rbDetail, rbPageFooter };

class TQRBand : public TObject {
 public:
  // The report frees the bands still on it; a band freed first leaves it.
  TQRBand(TQuickRep* report, TQRBandType type);
  ~TQRBand() override;
  TQRBand(const TQRBand&) = delete;
  TQRBand& operator=(const TQRBand&) = delete;

  TQuickRep* const ParentReport;
  TQRBandType BandType;
  int Height = 40;  // screen pixels
  bool Enabled = true;
  TQRFrame Frame;
  // Filled behind the printables unless white (the paper) or clNone.
  TColor Color = clWhite;

  int ControlCount() const { return int(controls_.size()); }
  TQRPrintable* Controls(int index) const;

  // Height for the current record: the design height, or more where a
  // printable stretches below it.
  double NeededHeight();
  // Prints the band with its top-left corner at (x, y), all millimetres.
  void PrintAt(double x, double y, double width, double height);

 private:
  friend class TQRPrintable;
  std::vector<TQRPrintable*> controls_;  // back to front
};

class TQuickRep : public TObject {
 public:
  explicit TQuickRep(TObject* Owner = nullptr);
  ~TQuickRep() override;
  TQuickRep(const TQuickRep&) = delete;
  TQuickRep& operator=(const TQuickRep&) = delete;

  TObject* const Owner;
  TQRPage Page;
  // The detail band prints once per record; without a data set once.
  TDataSet* DataSet = nullptr;
  std::string ReportTitle;
  TQRPrinter* const QRPrinter;
  // Pages that Print sends; 0 means from the first or to the last.
  struct {
    int FirstPage = 0;
    int LastPage = 0;
  } PrinterSettings;
  TNotifyEvent OnPreview;

  int BandCount() const { return int(bands_.size()); }
  TQRBand* Bands(int index) const;
  TQRBand* BandOfType(TQRBandType type) const;

  // Lays out every page anew. Raises EQRError when the margins leave no
  // room for a column.
  void Prepare();
  // Pages of the last preparation (0 before the first).
  int PageCount() const { return pageCount_; }
  // The page being laid out.
  int PageNumber() const { return pageNumber_; }
  // The record being printed, counted from 1.
  int DetailNumber() const { return detailNumber_; }
  // Prepares and prints PrinterSettings' range through Printer(); a first
  // page after the last prints nothing. Returns the pages printed.
  int Print();
  // Prepares and hands the pages to OnPreview.
  void Preview();
  void PreviewModal() { Preview(); }

 private:
  friend class TQRBand;
  struct TLayout;
  void StartPage(TLayout& layout);
  void FinishPage(TLayout& layout);
  void PrintDetail(TLayout& layout);

  std::vector<TQRBand*> bands_;
  int pageCount_ = 0;
  int pageNumber_ = 0;
  int detailNumber_ = 0;
};
