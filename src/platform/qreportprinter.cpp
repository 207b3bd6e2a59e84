#include "platform/qreportprinter.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <cstring>

#include "platform/inktarget.h"
#include "platform/jpegframe.h"
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

// The source rectangle of a surface as an image of its own, pixel by
// pixel (white outside the surface).
QImage CopyPixels(const TPixelSurface& source, const TRect& r) {
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

QVector<QRgb> ColorTable(const TPixelSurface& source) {
  QVector<QRgb> table;
  for (TRgb c : source.palette) table.push_back(0xFF000000u | c);
  return table;
}

// The same, row by row where the surface's layout has a QImage twin.
QImage CopySurface(const TPixelSurface& source, const TRect& r) {
  const bool inside = r.Left >= 0 && r.Top >= 0 && r.Right <= source.width && r.Bottom <= source.height;
  QImage::Format format = QImage::Format_Invalid;
  int bits = source.BitCount();
  switch (source.kind) {
    case TSurfaceKind::Bgr24: format = QImage::Format_BGR888; break;
    case TSurfaceKind::Bgrx32: format = QImage::Format_RGB32; break;
    case TSurfaceKind::Indexed8: format = QImage::Format_Indexed8; break;
    case TSurfaceKind::Indexed1: format = r.Left % 8 == 0 ? QImage::Format_Mono : QImage::Format_Invalid; break;
    default: break;
  }
  const bool paletteFits = source.kind != TSurfaceKind::Indexed8 && source.kind != TSurfaceKind::Indexed1
                               ? true
                               : !source.palette.empty() && source.palette.size() <= size_t(1) << bits;
  if (!inside || format == QImage::Format_Invalid || !paletteFits) return CopyPixels(source, r);
  QImage image(r.Width(), r.Height(), format);
  if (image.isNull()) return image;
  if (bits <= 8) image.setColorTable(ColorTable(source));
  const size_t rowBytes = (size_t(r.Width()) * bits + 7) / 8;
  for (int y = 0; y < r.Height(); ++y)
    std::memcpy(image.scanLine(y), source.Row(r.Top + y) + int64_t(r.Left) * bits / 8, rowBytes);
  return image;
}

// A picture of two colours or fewer as a 1-bit picture: a barcode stays
// exact (never compressed with loss) and takes an eighth of the memory.
QImage TwoColourPicture(QImage image) {
  if (image.depth() == 1) return image;
  const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
  QRgb colours[2] = {0, 0};
  int found = 0;
  for (int y = 0; y < rgb.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb c = row[x];
      if (found > 0 && c == colours[0]) continue;
      if (found > 1 && c == colours[1]) continue;
      if (found == 2) return image;
      colours[found++] = c;
    }
  }
  if (found == 0) return image;
  QImage mono(image.size(), QImage::Format_Mono);
  if (mono.isNull()) return image;
  mono.setColorTable({colours[0], found > 1 ? colours[1] : colours[0]});
  mono.fill(0);  // the bits past each row's end too: they are hashed
  for (int y = 0; y < rgb.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    uchar* bits = mono.scanLine(y);
    for (int x = 0; x < rgb.width(); ++x)
      if (row[x] != colours[0]) bits[x >> 3] |= uchar(0x80 >> (x & 7));
  }
  return mono;
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
    d.Picture = pictures_.Share(TwoColourPicture(std::move(image)));
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

bool TQRPrinter::AddJpeg(const TRect& box, std::string bytes) {
  TJpegFrame frame;
  if (pages_.empty() || !ReadJpegFrame(bytes, frame)) return false;
  TQRDrawing d;
  d.Kind = TQRDrawing::dkPicture;
  d.Box = box;
  d.Picture = pictures_.ShareJpeg(std::move(bytes), frame.Width, frame.Height, frame.Components);
  AddDrawing(std::move(d));
  return true;
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
  if (pages_.empty() || IsRectEmpty(ink_->TouchedArea())) return ink_->Clear();
  const QImage ink = ink_->Ink();
  // Only the parts the canvas touched can hold ink. Each part's ink is
  // blanked as soon as it is taken, so a pixel where parts overlap is taken
  // once; only where ink was found needs blanking, not the whole part.
  for (const TRect& t : std::vector<TRect>(ink_->TouchedParts())) {
    const QImage touched(ink.constScanLine(t.Top) + int64_t(t.Left) * 4, t.Width(), t.Height(), ink.bytesPerLine(),
                         QImage::Format_ARGB32);
    for (const QRect& r : AddInkDrawings(*pages_.back(), touched, area_.Left + t.Left, area_.Top + t.Top, pictures_))
      ink_->BlankArea({t.Left + r.left(), t.Top + r.top(), t.Left + r.right() + 1, t.Top + r.bottom() + 1});
  }
  ink_->ClearDrawn({});
}

std::string TQRPrinter::CaptureKey(const std::string& key, TPoint corner) const {
  const int place[4] = {area_.Left - corner.x, area_.Top - corner.y, area_.Width(), area_.Height()};
  return key + std::string(reinterpret_cast<const char*>(place), sizeof place);
}

bool TQRPrinter::Repeat(const std::string& key, TPoint corner) {
  if (pages_.empty()) return false;
  const auto found = repeatables_.find(CaptureKey(key, corner));
  if (found == repeatables_.end()) return false;
  FlushCapture();
  const int dx = corner.x - found->second.corner.x, dy = corner.y - found->second.corner.y;
  for (TQRDrawing d : found->second.drawings) {
    d.Box = {d.Box.Left + dx, d.Box.Top + dy, d.Box.Right + dx, d.Box.Bottom + dy};
    d.X += dx;
    d.Y += dy;
    pages_.back()->Add(std::move(d));
  }
  return true;
}

void TQRPrinter::BeginRepeatable(const std::string& key, TPoint corner) {
  if (pages_.empty()) return;
  FlushCapture();
  recordingKey_ = CaptureKey(key, corner);
  recordingCorner_ = corner;
  recordingFrom_ = pages_.back()->Drawings().size();
}

void TQRPrinter::EndRepeatable() {
  if (recordingKey_.empty() || pages_.empty()) return;
  FlushCapture();
  const std::vector<TQRDrawing>& drawn = pages_.back()->Drawings();
  TRepeatable& kept = repeatables_[std::move(recordingKey_)];
  kept.corner = recordingCorner_;
  kept.drawings.assign(drawn.begin() + std::ptrdiff_t(std::min(recordingFrom_, drawn.size())), drawn.end());
  recordingKey_.clear();
}

void TQRPrinter::EndCapture() {
  recordingKey_.clear();  // a print that did not finish is not repeated
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
  repeatables_.clear();
  pages_.clear();
  pictures_.Clear();
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
      GetPage(page)->Render(*printer->Painter(), printer->Resolution(),
                            [printer](const QRectF& target, const TQRPictureRef& picture) {
                              printer->DrawJpeg(target, picture);
                            });
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
