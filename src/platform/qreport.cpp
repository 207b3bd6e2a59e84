#include "platform/qreport.h"

#include <algorithm>
#include <cmath>

#include "platform/fonts.h"

// Page ------------------------------------------------------------------------------

namespace {

struct TPaperDims {
  double width, length;
};

// Width and length in millimetres of the paper codes 1..26 (upright).
constexpr TPaperDims kPapers[] = {
    {215.9, 279.4},  {215.9, 279.4}, {279.4, 431.8}, {431.8, 279.4}, {215.9, 355.6}, {139.7, 215.9},
    {184.15, 266.7}, {297, 420},     {210, 297},     {210, 297},     {148, 210},     {250, 354},
    {182, 257},      {215.9, 330.2}, {215, 275},     {254, 355.6},   {279.4, 431.8}, {215.9, 279.4},
    {98.4, 225.4},   {104.8, 241.3}, {114.3, 263.5}, {120.65, 279.4}, {127, 292.1},  {431.8, 558.8},
    {558.8, 863.6},  {863.6, 1117.6}};
static_assert(std::size(kPapers) == 26);

}  // namespace

void TQRPage::SetPaperSize(TQRPaperSize size) {
  paperSize_ = size;
  int code = int(size);
  if (size == TQRPaperSize::Custom) return;
  TPaperDims dims = size == TQRPaperSize::Default ? kPapers[int(TQRPaperSize::A4) - 1] : kPapers[code - 1];
  Width = dims.width;
  Length = dims.length;
}

void TQRPage::SetPaperSize(int code) {
  SetPaperSize(code >= 0 && code <= int(TQRPaperSize::Custom) ? TQRPaperSize(code) : TQRPaperSize::Default);
}

double TQRPage::GetValue(int index) const {
  switch (index) {
    case pvBottomMargin: return BottomMargin;
    case pvLength: return Length;
    case pvTopMargin: return TopMargin;
    case pvWidth: return Width;
    case pvLeftMargin: return LeftMargin;
    case pvRightMargin: return RightMargin;
    case pvColumnSpace: return ColumnSpace;
    default: return 0;
  }
}

void TQRPage::SetValue(int index, double value) {
  switch (index) {
    case pvBottomMargin: BottomMargin = value; break;
    case pvLength: Length = value; break;
    case pvTopMargin: TopMargin = value; break;
    case pvWidth: Width = value; break;
    case pvLeftMargin: LeftMargin = value; break;
    case pvRightMargin: RightMargin = value; break;
    case pvColumnSpace: ColumnSpace = value; break;
    default: break;
  }
}

// Page setup ------------------------------------------------------------------------

namespace {

// Millimetres to hundredths, truncated; a hair of tolerance keeps values
// such as 0.29 mm (28.999... in binary) from losing a hundredth.
int ToHundredths(double mm) { return int(std::trunc(mm * 100 + std::copysign(1e-7, mm))); }

double Millimetres(int hundredths) { return std::max(hundredths, 0) / 100.0; }

}  // namespace

TQRPageSetup PageSetupOfPage(const TQRPage& page) {
  TQRPageSetup setup;
  const TQRPaperSize paper = page.GetPaperSize();
  setup.PaperSize = paper == TQRPaperSize::Default ? int(TQRPaperSize::A4)
                    : paper == TQRPaperSize::Custom ? kPageSetupOwnSize
                                                    : int(paper);
  setup.PaperWidth = ToHundredths(page.Width);
  setup.PaperLength = ToHundredths(page.Length);
  setup.Orientation = int(page.Orientation) + 1;
  setup.MarginLeft = ToHundredths(page.LeftMargin);
  setup.MarginRight = ToHundredths(page.RightMargin);
  setup.MarginTop = ToHundredths(page.TopMargin);
  setup.MarginBottom = ToHundredths(page.BottomMargin);
  return setup;
}

void ApplyPageSetup(TQRPage& page, const TQRPageSetup& setup) {
  page.Orientation = setup.Orientation == 2 ? poLandscape : poPortrait;
  if (setup.PaperSize >= int(TQRPaperSize::Letter) && setup.PaperSize < int(TQRPaperSize::Custom)) {
    page.SetPaperSize(setup.PaperSize);
  } else if (setup.PaperWidth > 0 && setup.PaperLength > 0) {
    // A paper the report has no code for keeps its own size.
    page.SetPaperSize(TQRPaperSize::Custom);
    page.Width = setup.PaperWidth / 100.0;
    page.Length = setup.PaperLength / 100.0;
  } else {
    page.SetPaperSize(TQRPaperSize::A4);
  }
  page.LeftMargin = Millimetres(setup.MarginLeft);
  page.RightMargin = Millimetres(setup.MarginRight);
  page.TopMargin = Millimetres(setup.MarginTop);
  page.BottomMargin = Millimetres(setup.MarginBottom);
}

// Printables ------------------------------------------------------------------------

double ScreenPixelsToMm(int pixels) { return pixels * 25.4 / ScreenPixelsPerInch(); }

TQRPrintable::TQRPrintable(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 65, 17); }

void TQRPrintable::SetParent(TWinControl* parent) {
  TCustomControl::SetParent(parent);
  auto* band = dynamic_cast<TQRBand*>(parent);
  ParentReport = band ? band->ParentReport : nullptr;
}

TQRPrintableSize TQRPrintable::Size() const {
  return {ScreenPixelsToMm(GetLeft()), ScreenPixelsToMm(GetTop()), ScreenPixelsToMm(GetWidth()),
          ScreenPixelsToMm(GetHeight())};
}

TRect TQRPrintable::PixelBox(double OfsX, double OfsY, double height) const {
  TQRPrinter* p = ParentReport->QRPrinter;
  TQRPrintableSize s = Size();
  return {p->XPos(OfsX + s.Left), p->YPos(OfsY + s.Top), p->XPos(OfsX + s.Left + s.Width),
          p->YPos(OfsY + s.Top + height)};
}

namespace {

// Frame lines inside the box, each Width pixels thick.
void AddFrame(TQRPrinter* printer, const TQRFrame& frame, const TRect& box) {
  int w = std::max(frame.Width, 1), half = w / 2;
  auto line = [&](int x0, int y0, int x1, int y1) {
    TQRDrawing d;
    d.Kind = TQRDrawing::dkLine;
    d.Box = {x0, y0, x1, y1};
    d.Color = frame.Color;
    d.PenWidth = w;
    d.PenStyle = frame.Style;
    printer->AddDrawing(std::move(d));
  };
  if (frame.Style == psClear) return;
  if (frame.DrawLeft) line(box.Left + half, box.Top, box.Left + half, box.Bottom);
  if (frame.DrawTop) line(box.Left, box.Top + half, box.Right, box.Top + half);
  if (frame.DrawRight) line(box.Right - w + half, box.Top, box.Right - w + half, box.Bottom);
  if (frame.DrawBottom) line(box.Left, box.Bottom - w + half, box.Right, box.Bottom - w + half);
}

}  // namespace

void TQRPrintable::DrawFrame(const TRect& box) { AddFrame(ParentReport->QRPrinter, Frame, box); }

void TQRPrintable::Print(double OfsX, double OfsY) {
  if (ParentReport) DrawFrame(PixelBox(OfsX, OfsY, Size().Height));
}

// Bands -------------------------------------------------------------------------------

TQRBand::TQRBand(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clWhite);
  SetBounds(0, 0, 0, 40);
  SetAlign(alTop);
}

void TQRBand::SetParent(TWinControl* parent) {
  TCustomControl::SetParent(parent);
  ParentReport = dynamic_cast<TQuickRep*>(parent);
  for (TQRPrintable* c : Printables()) c->ParentReport = ParentReport;
}

std::vector<TQRPrintable*> TQRBand::Printables() const {
  std::vector<TQRPrintable*> list;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* c = dynamic_cast<TQRPrintable*>(Controls(i))) list.push_back(c);
  return list;
}

double TQRBand::NeededHeight() {
  double height = ScreenPixelsToMm(GetHeight());
  for (TQRPrintable* c : Printables())
    if (c->GetEnabled()) height = std::max(height, c->Size().Top + c->NeededHeight());
  return height;
}

void TQRBand::PrintAt(double x, double y, double width, double height) {
  TQRPrinter* p = ParentReport->QRPrinter;
  TRect box{p->XPos(x), p->YPos(y), p->XPos(x + width), p->YPos(y + height)};
  if (GetColor() != clWhite && GetColor() != clNone) {
    TQRDrawing fill;
    fill.Box = box;
    fill.Color = GetColor();
    p->AddDrawing(std::move(fill));
  }
  // Room around each printable for what it draws past its box (shadows).
  constexpr int kMargin = 32;
  int pageW = p->XPos(p->PaperWidthMm()), pageH = p->YPos(p->PaperLengthMm());
  for (TQRPrintable* c : Printables()) {
    if (!c->GetEnabled()) continue;
    TQRPrintableSize s = c->Size();
    TRect area{std::max(p->XPos(x + s.Left) - kMargin, 0), std::max(p->YPos(y + s.Top) - kMargin, 0),
               std::min(p->XPos(x + s.Left + s.Width) + kMargin, pageW),
               std::min(p->YPos(y + s.Top + c->NeededHeight()) + kMargin, pageH)};
    p->BeginCapture(area);
    try {
      c->Print(x, y);
    } catch (...) {
      p->EndCapture();
      throw;
    }
    p->EndCapture();
  }
  AddFrame(p, Frame, box);
}

// Report --------------------------------------------------------------------------------

TQuickRep::TQuickRep(TComponent* AOwner) : TCustomControl(AOwner), QRPrinter(new TQRPrinter(this)) {}

// The printer goes first, so that a preview showing it lets go of it.
TQuickRep::~TQuickRep() { QRPrinter->Free(); }

int TQuickRep::BandCount() const {
  int count = 0;
  for (int i = 0; i < ControlCount(); ++i) count += dynamic_cast<TQRBand*>(Controls(i)) != nullptr;
  return count;
}

TQRBand* TQuickRep::Bands(int index) const {
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* band = dynamic_cast<TQRBand*>(Controls(i)); band && index-- == 0) return band;
  return nullptr;
}

TQRBand* TQuickRep::BandOfType(TQRBandType type) const {
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* band = dynamic_cast<TQRBand*>(Controls(i)); band && band->BandType == type && band->GetEnabled())
      return band;
  return nullptr;
}

struct TQuickRep::TLayout {
  double left, top, columnWidth, detailBottom, footerTop, fullWidth;
  int columns;
  int column = 0;
  double y = 0;
};

void TQuickRep::StartPage(TLayout& layout) {
  QRPrinter->NewPage();
  pageNumber_ = QRPrinter->PageNumber();
  layout.column = 0;
  layout.y = layout.top;
}

void TQuickRep::FinishPage(TLayout& layout) {
  if (TQRBand* footer = BandOfType(rbPageFooter))
    footer->PrintAt(layout.left, layout.footerTop, layout.fullWidth, ScreenPixelsToMm(footer->GetHeight()));
  if (QRPrinter->OnPageAvailable) QRPrinter->OnPageAvailable(pageNumber_);
}

void TQuickRep::PrintDetail(TLayout& layout) {
  TQRBand* detail = BandOfType(rbDetail);
  if (!detail) return;
  ++detailNumber_;
  double height = detail->NeededHeight();
  // A band that does not fit goes to the next column or page; one taller
  // than a whole column prints alone at the top of one, cut at its end.
  if (layout.y + height > layout.detailBottom && layout.y > layout.top) {
    if (++layout.column >= layout.columns) {
      FinishPage(layout);
      StartPage(layout);
    }
    layout.y = layout.top;
  }
  double x = layout.left + layout.column * (layout.columnWidth + Page.ColumnSpace);
  detail->PrintAt(x, layout.y, layout.columnWidth, height);
  layout.y += height;
}

void TQuickRep::Prepare() {
  TLayout layout;
  double pageWidth = Page.PageWidth(), pageLength = Page.PageLength();
  layout.columns = std::max(Page.Columns, 1);
  layout.left = Page.LeftMargin;
  layout.top = Page.TopMargin;
  layout.fullWidth = pageWidth - Page.LeftMargin - Page.RightMargin;
  layout.columnWidth = (layout.fullWidth - (layout.columns - 1) * Page.ColumnSpace) / layout.columns;
  double bottom = pageLength - Page.BottomMargin;
  TQRBand* footer = BandOfType(rbPageFooter);
  layout.footerTop = bottom - (footer ? ScreenPixelsToMm(footer->GetHeight()) : 0);
  layout.detailBottom = layout.footerTop;
  if (!(pageWidth > 0) || !(pageLength > 0) || !(layout.columnWidth > 0) || !(layout.detailBottom > layout.top))
    throw EQRError("The page margins leave no room for the report");

  pageCount_ = 0;
  detailNumber_ = 0;
  QRPrinter->BeginDoc(pageWidth, pageLength);
  StartPage(layout);
  if (DataSet) {
    if (!DataSet->GetActive()) DataSet->Open();
    int total = DataSet->RecordCount();
    int saved = DataSet->GetRecNo();
    // The printables read the fields themselves; the data-aware controls on
    // screen need not follow (and redraw) every record the report walks.
    DataSet->DisableControls();
    try {
      DataSet->First();
      for (int done = 0; !DataSet->Eof(); ++done) {
        PrintDetail(layout);
        if (QRPrinter->OnProgress && total > 0) QRPrinter->OnProgress(done * 100 / total);
        DataSet->Next();
      }
      // The cursor goes back where the caller had it.
      if (saved > 0 && DataSet->RecordCount() > 0) DataSet->SetRecNo(saved);
    } catch (...) {
      DataSet->EnableControls();
      throw;
    }
    DataSet->EnableControls();
  } else {
    PrintDetail(layout);
  }
  FinishPage(layout);
  QRPrinter->EndDoc();
  if (QRPrinter->OnProgress) QRPrinter->OnProgress(100);
  pageCount_ = QRPrinter->PageCount();
  pageNumber_ = 0;
}

int TQuickRep::Print() {
  Prepare();
  int first = PrinterSettings.FirstPage > 0 ? PrinterSettings.FirstPage : 1;
  int last = PrinterSettings.LastPage > 0 ? PrinterSettings.LastPage : pageCount_;
  TPrinter* printer = Printer();
  printer->Title = ReportTitle;
  return QRPrinter->Print(printer, first, last);
}

void TQuickRep::Preview() {
  Prepare();
  if (OnPreview) OnPreview(this);
}
