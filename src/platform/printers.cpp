#include "platform/printers.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdlib>

#include "platform/inktarget.h"
#include "platform/pdfjpeg.h"
#include "platform/qreportpage.h"

namespace {

constexpr const char* kFilePrinterName = "PDF";
// PDF pages are drawn at this resolution; a printer's own is used otherwise.
constexpr int kFileDpi = 300;

const char* FileHook() {
  const char* path = std::getenv("CW_PRINTER_PDF");
  return path && *path ? path : nullptr;
}

}  // namespace

struct TPrinter::TJpegInPdf {
  std::shared_ptr<const TQRPicture> picture;
  QImage standIn;
};

TPrinter::TPrinter()
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      ink_(new TInkTarget(kFileDpi, kFileDpi)),
      canvas_(std::make_unique<TCanvas>(ink_)) {
  // Text goes onto the page as text (searchable in a PDF), above the ink
  // drawn before it.
  ink_->OnText = [this](const TTextRun& run) {
    if (!Printing()) return false;
    LayInk();
    PaintTextRun(*painter_, run);
    return true;
  };
}

TPrinter::~TPrinter() {
  if (Printing()) Abort();
}

TStrings* TPrinter::Printers() {
  if (!names_) {
    names_ = std::make_unique<TStringList>();
    // Under the test hook no installed printer is ever asked for.
    if (!FileHook())
      for (const QString& name : QPrinterInfo::availablePrinterNames()) names_->Add(name.toStdString());
    names_->Add(kFilePrinterName);
  }
  return names_.get();
}

void TPrinter::SetPrinterIndex(int index) {
  if (Printing()) throw EPrinter("Cannot change the printer while printing");
  index_ = index;
}

bool TPrinter::PrintsToFile() {
  if (FileHook()) return true;
  TStrings* names = Printers();
  if (index_ >= 0 && index_ < names->Count()) return index_ == names->Count() - 1;
  return QPrinterInfo::defaultPrinter().isNull();
}

void TPrinter::SetPaperSize(double widthMm, double lengthMm) {
  if (!(widthMm > 0) || !(lengthMm > 0)) throw EPrinter("Paper size must be above zero");
  paperWidth_ = std::min(widthMm, lengthMm);
  paperLength_ = std::max(widthMm, lengthMm);
}

void TPrinter::Configure() {
  if (PrintsToFile()) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    // A file named by the caller wins; the test hook names the default one.
    std::string file = FileName;
    if (file.empty()) file = FileHook() ? FileHook() : QDir::home().filePath("Cardwright.pdf").toStdString();
    printer_->setOutputFileName(QString::fromStdString(file));
    pdfFile_ = file;
    printer_->setResolution(kFileDpi);
  } else {
    TStrings* names = Printers();
    QString name = index_ >= 0 && index_ < names->Count() ? QString::fromStdString(names->Get(index_))
                                                          : QPrinterInfo::defaultPrinter().printerName();
    printer_->setOutputFormat(QPrinter::NativeFormat);
    printer_->setPrinterName(name);
    pdfFile_.clear();
  }
  printer_->setDocName(QString::fromStdString(Title));
  printer_->setFullPage(true);
  QPageLayout layout(QPageSize(QSizeF(paperWidth_, paperLength_), QPageSize::Millimeter),
                     Orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
  printer_->setPageLayout(layout);
}

int TPrinter::Resolution() {
  if (!Printing()) Configure();
  return printer_->resolution();
}

int TPrinter::PageWidth() {
  if (!Printing()) Configure();
  return printer_->pageLayout().fullRectPixels(printer_->resolution()).width();
}

int TPrinter::PageHeight() {
  if (!Printing()) Configure();
  return printer_->pageLayout().fullRectPixels(printer_->resolution()).height();
}

void TPrinter::StartPageImage() {
  ink_->SetResolution(printer_->resolution(), printer_->resolution());
  ink_->Reset(PageWidth(), PageHeight());
}

void TPrinter::BeginDoc() {
  if (Printing()) throw EPrinter("Printing in progress");
  Configure();
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(printer_.get())) throw EPrinter("Cannot open the printer output");
  painter_ = std::move(painter);
  aborted_ = false;
  page_ = 1;
  StartPageImage();
}

void TPrinter::LayInk() {
  if (!ink_->Dirty()) return;
  const TRect t = ink_->TouchedArea();
  if (!IsRectEmpty(t)) painter_->drawImage(QPoint(t.Left, t.Top), ink_->Ink().copy(t.Left, t.Top, t.Width(), t.Height()));
  ink_->Clear();
}

void TPrinter::DrawJpeg(const QRectF& target, const std::shared_ptr<const TQRPicture>& picture) {
  if (!Printing() || !picture) return;
  if (pdfFile_.empty() || !picture->IsJpeg()) {
    painter_->drawImage(target, picture->Pixels());
    return;
  }
  LayInk();
  auto [it, added] = jpegNumbers_.emplace(picture.get(), uint32_t(jpegs_.size()));
  // One stand-in image per JPEG: the PDF keeps one image object for it.
  if (added) jpegs_.push_back({picture, JpegStandIn(it->second)});
  painter_->save();
  painter_->setRenderHint(QPainter::LosslessImageRendering, true);
  painter_->drawImage(target, jpegs_[it->second].standIn);
  painter_->restore();
}

void TPrinter::EndPainting() {
  painter_.reset();
  ink_->Reset(0, 0);
  page_ = 0;
  jpegs_.clear();
  jpegNumbers_.clear();
}

void TPrinter::NewPage() {
  if (!Printing()) throw EPrinter("Printer is not currently printing");
  LayInk();
  printer_->newPage();
  ++page_;
}

void TPrinter::EndDoc() {
  if (!Printing()) throw EPrinter("Printer is not currently printing");
  LayInk();
  bool ended = painter_->end();
  std::vector<TPdfJpeg> jpegs;
  for (const TJpegInPdf& j : jpegs_)
    jpegs.push_back({&j.picture->Jpeg(), j.picture->size().width(), j.picture->size().height(), j.picture->Components()});
  if (ended && !jpegs.empty()) ended = PutJpegsIntoPdf(pdfFile_, jpegs);
  EndPainting();
  if (!ended) throw EPrinter("The printer output could not be written");
}

void TPrinter::Abort() {
  if (!Printing()) return;
  printer_->abort();
  painter_->end();
  EndPainting();
  aborted_ = true;
}

TPrinter* Printer() {
  // Never freed: the platform's printer must outlive everything that prints.
  static TPrinter* printer = new TPrinter;
  return printer;
}
