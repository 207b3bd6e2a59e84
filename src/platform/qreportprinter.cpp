#include "platform/qreportprinter.h"

#include <algorithm>
#include <cmath>

#include "platform/inktarget.h"
#include "platform/printers.h"

namespace {

// While a printable is printed its canvas draws into a small ink image over
// the printable's area; plain picture copies are kept whole instead.
class TCaptureTarget : public TInkTarget {
 public:
  TCaptureTarget() : TInkTarget(TQRPrinter::RecordDpi, TQRPrinter::RecordDpi) {}
  std::function<void(const TRect&, const TPixelSurface&, const TRect&, bool, bool)> OnPicture;

  bool TakePicture(const TRect& dest, const TPixelSurface& source, const TRect& sourceRect, bool flipX,
                   bool flipY) override {
    if (!OnPicture || Width() == 0) return false;
    OnPicture(dest, source, sourceRect, flipX, flipY);
    return true;
  }
};

// The source rectangle of a surface as an image of its own.
QImage CopySurface(const TPixelSurface& source, const TRect& r) {
  QImage image(r.Width(), r.Height(), QImage::Format_RGB32);
  if (image.isNull()) return image;
  for (int y = 0; y < r.Height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    int sy = r.Top + y;
    for (int x = 0; x < r.Width(); ++x) {
      int sx = r.Left + x;
      row[x] = source.Contains(sx, sy) ? (0xFF000000u | source.ToRgb(source.Get(sx, sy))) : 0xFFFFFFFFu;
    }
  }
  return image;
}

}  // namespace

TQRPrinter::TQRPrinter(TComponent* AOwner) : TComponent(AOwner), Canvas(new TCanvas(new TCaptureTarget)) {
  auto* target = static_cast<TCaptureTarget*>(Canvas->Target());
  ink_ = target;
  target->OnPicture = [this](const TRect& dest, const TPixelSurface& source, const TRect& sourceRect, bool flipX,
                             bool flipY) {
    FlushCapture();
    QImage image = CopySurface(source, sourceRect);
    if (image.isNull() || pages_.empty()) return;
    if (flipX || flipY) image = image.mirrored(flipX, flipY);
    TQRDrawing d;
    d.Kind = TQRDrawing::dkPicture;
    // The canvas draws with the capture area's corner at its origin.
    d.Box = {dest.Left + area_.Left, dest.Top + area_.Top, dest.Right + area_.Left, dest.Bottom + area_.Top};
    d.Picture = std::make_shared<QImage>(std::move(image));
    pages_.back()->Add(std::move(d));
  };
  // Level text stays text on the page; turned text, or text clipped to more
  // than a rectangle, stays ink.
  target->OnText = [this](const TTextRun& run) {
    if (run.Orientation != 0 || (run.Clip && run.Clip->rectCount() > 1) || pages_.empty()) return false;
    FlushCapture();
    TQRDrawing d;
    d.Kind = TQRDrawing::dkText;
    if (run.Clip) {
      QRect c = run.Clip->boundingRect();
      d.Box = {c.left() + area_.Left, c.top() + area_.Top, c.right() + 1 + area_.Left, c.bottom() + 1 + area_.Top};
      if (IsRectEmpty(d.Box)) return true;  // clipped away
    }
    d.X = int(std::lround(run.Origin.x + run.Offset.x())) + area_.Left;
    d.Y = int(std::lround(run.Origin.y + run.Offset.y())) + area_.Top;
    d.Color = run.Color;
    d.FontName = run.Face;
    d.FontHeight = run.Height;
    d.FontStyle = run.Style;
    d.Text = run.Text;
    pages_.back()->Add(std::move(d));
    return true;
  };
}

TQRPrinter::~TQRPrinter() { delete Canvas; }

int TQRPrinter::XPos(double mm) const {
  // A hair above the exact value so that whole pixels are not lost to the
  // binary fraction.
  return int(std::trunc(mm * RecordDpi / 25.4 + 1e-7));
}

void TQRPrinter::BeginDoc(double widthMm, double lengthMm) {
  Cleanup();
  paperWidth_ = widthMm;
  paperLength_ = lengthMm;
}

void TQRPrinter::NewPage() {
  if (capturing_) EndCapture();
  pages_.push_back(std::make_unique<TQRPagePicture>(XPos(paperWidth_), XPos(paperLength_), RecordDpi));
}

void TQRPrinter::EndDoc() {
  if (capturing_) EndCapture();
}

void TQRPrinter::AddDrawing(TQRDrawing drawing) {
  if (pages_.empty()) return;
  FlushCapture();
  pages_.back()->Add(std::move(drawing));
}

void TQRPrinter::BeginCapture(const TRect& area) {
  if (capturing_) EndCapture();
  area_ = area;
  ink_->Reset(area.Width(), area.Height());
  Canvas->ViewportOrg = {-area.Left, -area.Top};
  Canvas->WindowOrg = {0, 0};
  Canvas->MapMode = MM_TEXT;
  Canvas->SelectClipRegion(nullptr);
  capturing_ = true;
}

void TQRPrinter::FlushCapture() {
  if (!capturing_ || !ink_->Dirty()) return;
  if (!pages_.empty()) AddInkDrawings(*pages_.back(), ink_->Ink(), area_.Left, area_.Top);
  ink_->Clear();
}

void TQRPrinter::EndCapture() {
  FlushCapture();
  ink_->Reset(0, 0);
  Canvas->ViewportOrg = {0, 0};
  capturing_ = false;
}

TQRPagePicture* TQRPrinter::GetPage(int page) const {
  if (page < 1 || page > PageCount()) return nullptr;
  return pages_[size_t(page - 1)].get();
}

void TQRPrinter::Cleanup() {
  if (capturing_) EndCapture();
  pages_.clear();
}

int TQRPrinter::Print(TPrinter* printer, int first, int last) {
  first = std::max(first, 1);
  last = std::min(last, PageCount());
  if (printer == nullptr || first > last) return 0;
  printer->Orientation = paperWidth_ > paperLength_ ? poLandscape : poPortrait;
  printer->SetPaperSize(paperWidth_, paperLength_);
  printer->BeginDoc();
  try {
    for (int page = first; page <= last; ++page) {
      if (page > first) printer->NewPage();
      GetPage(page)->Render(*printer->Painter(), printer->Resolution());
    }
  } catch (...) {
    printer->Abort();
    throw;
  }
  printer->EndDoc();
  return last - first + 1;
}

int TQRPrinter::ExportToPdf(const std::string& fileName, int first, int last) {
  TPrinter pdf;
  pdf.SetPrinterIndex(pdf.Printers()->Count() - 1);
  pdf.FileName = fileName;
  return Print(&pdf, first, last);
}

bool TQRPrinter::PageToBitmap(int page, TBitmap* bitmap, double dpi) const {
  TQRPagePicture* picture = GetPage(page);
  if (picture == nullptr || bitmap == nullptr) return false;
  QImage image = picture->ToImage(dpi);
  if (image.isNull()) return false;
  bitmap->SetImage(image.convertToFormat(QImage::Format_BGR888));
  return true;
}
