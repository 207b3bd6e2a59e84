// The report engine: a report (TQuickRep) over a data set with its page
// setup (TQRPage), its bands (TQRBand) and the printables on them
// (TQRPrintable and the controls of qreportctrls.h). Prepare lays out every
// page into the report printer (qreportprinter.h); Print sends a page range
// to the printer object (printers.h).
//
// All of them are controls placed on a form: the report is a windowed
// control (hidden in the card program), its bands are its children and the
// printables are the bands' children. Owners free what they own; a window
// frees the controls still on it.
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
#include "platform/controls.h"
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

// The page as a page setup exchanges it: a paper code of the system's
// paper table (256 for a paper of its own size), the paper's width and
// length as it stands upright, the orientation as 1 (portrait) or 2
// (landscape), and margins; lengths in hundredths of a millimetre.
struct TQRPageSetup {
  int PaperSize = int(TQRPaperSize::A4);
  int PaperWidth = 21000, PaperLength = 29700;
  int Orientation = 1;
  int MarginLeft = 1000, MarginTop = 1000, MarginRight = 1000, MarginBottom = 1000;
};

// The code of a paper of its own size in a page setup.
constexpr int kPageSetupOwnSize = 256;

// The page's values for a page setup: paper code (Default as A4, Custom as
// a paper of its own size), its size, orientation + 1, and the margins
// times 100, truncated.
TQRPageSetup PageSetupOfPage(const TQRPage& page);
// Sets the page from a page setup's result: orientation (2 is landscape,
// anything else portrait); the paper of a code the report knows (1..26),
// else Custom at the result's paper size (A4 when it gives none); the
// margins to the hundredth (a negative margin counts as 0).
void ApplyPageSetup(TQRPage& page, const TQRPageSetup& setup);

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

// A printable control on a band. Left, Top, Width and Height are the
// control's bounds; Enabled decides whether it prints.
class TQRPrintable : public TCustomControl {
 public:
  explicit TQRPrintable(TComponent* AOwner = nullptr);

  // The report of the band it is on; nullptr while on none.
  TQuickRep* ParentReport = nullptr;
  void SetParent(TWinControl* parent) override;

  TQRFrame Frame;
  // The place and size in millimetres.
  TQRPrintableSize Size() const;

  // Prints at the band's offsets (millimetres from the paper's corner). The
  // base draws the frame lines.
  virtual void Print(double OfsX, double OfsY);
  // Height this printable needs for the current record, in millimetres.
  virtual double NeededHeight() { return Size().Height; }

 protected:
  // The box in page pixels at the given offsets, `height` millimetres high.
  TRect PixelBox(double OfsX, double OfsY, double height) const;
  void DrawFrame(const TRect& box);
};

enum TQRBandType { rbDetail, rbPageFooter };

// A band of the report: its Height (screen pixels) is the room it takes on
// the page for each print; it lies across the report's width (aligned to
// the top). Its printables are its child controls.
class TQRBand : public TCustomControl {
 public:
  explicit TQRBand(TComponent* AOwner = nullptr);

  // The report it is on; nullptr while on none.
  TQuickRep* ParentReport = nullptr;
  void SetParent(TWinControl* parent) override;

  TQRBandType BandType = rbDetail;
  TQRFrame Frame;
  // The band's Color is filled behind the printables unless it is white
  // (the paper) or clNone.

  // The printables on the band, back to front.
  std::vector<TQRPrintable*> Printables() const;

  // Height for the current record: the design height, or more where a
  // printable stretches below it.
  double NeededHeight();
  // Prints the band with its top-left corner at (x, y), all millimetres.
  void PrintAt(double x, double y, double width, double height);
};

class TQuickRep : public TCustomControl {
 public:
  explicit TQuickRep(TComponent* AOwner = nullptr);
  ~TQuickRep() override;

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

  // The bands on the report, in the order placed.
  int BandCount() const;
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
  struct TLayout;
  void StartPage(TLayout& layout);
  void FinishPage(TLayout& layout);
  void PrintDetail(TLayout& layout);

  int pageCount_ = 0;
  int pageNumber_ = 0;
  int detailNumber_ = 0;
};
