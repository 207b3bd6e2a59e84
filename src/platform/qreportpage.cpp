#include "platform/qreportpage.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "platform/fonts.h"

namespace {

// Past this many runs ink is kept as a picture (smaller, as fast to draw).
constexpr size_t kMaxInkRuns = 4096;

QRectF Scaled(const TRect& r, double s) {
  return QRectF(r.Left * s, r.Top * s, r.Width() * s, r.Height() * s);
}

Qt::PenStyle QtPenStyle(TPenStyle style) {
  switch (style) {
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    default: return Qt::SolidLine;
  }
}

void RenderText(QPainter& painter, const TQRDrawing& d, double s) {
  int height = int(std::lround(d.FontHeight * s));
  if (height == 0) height = d.FontHeight < 0 ? -1 : 1;
  QFont font = MakeQFont(d.FontName, height, d.FontStyle);
  painter.save();
  if (d.Box.Width() > 0 && d.Box.Height() > 0) painter.setClipRect(Scaled(d.Box, s));
  painter.setFont(font);
  painter.setPen(ToQColor(d.Color));
  painter.drawText(QPointF(d.X * s, d.Y * s + FontCell(font).Ascent), QString::fromStdString(d.Text));
  painter.restore();
}

void RenderLine(QPainter& painter, const TQRDrawing& d, double s) {
  double width = d.PenWidth * s;
  QPen pen(ToQColor(d.Color), width < 1 ? 1 : width, QtPenStyle(d.PenStyle), Qt::FlatCap);
  pen.setCosmetic(width < 1);
  painter.setPen(pen);
  painter.drawLine(QPointF(d.Box.Left * s, d.Box.Top * s), QPointF(d.Box.Right * s, d.Box.Bottom * s));
}

}  // namespace

int TQRPagePicture::GetWidth() const { return int(int64_t(width_) * ScreenPixelsPerInch() / dpi_); }
int TQRPagePicture::GetHeight() const { return int(int64_t(height_) * ScreenPixelsPerInch() / dpi_); }

void TQRPagePicture::Render(QPainter& painter, double dpi) const {
  double s = dpi / dpi_;
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const TQRDrawing& d : drawings_) {
    switch (d.Kind) {
      case TQRDrawing::dkFill: painter.fillRect(Scaled(d.Box, s), ToQColor(d.Color)); break;
      case TQRDrawing::dkLine: RenderLine(painter, d, s); break;
      case TQRDrawing::dkText: RenderText(painter, d, s); break;
      case TQRDrawing::dkPicture:
        if (d.Picture) painter.drawImage(Scaled(d.Box, s), *d.Picture);
        break;
    }
  }
  painter.restore();
}

QImage TQRPagePicture::ToImage(double dpi) const {
  if (dpi <= 0) dpi = ScreenPixelsPerInch();
  int w = int(int64_t(width_) * dpi / dpi_), h = int(int64_t(height_) * dpi / dpi_);
  QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
  if (image.isNull()) return image;
  image.fill(Qt::white);
  QPainter painter(&image);
  Render(painter, dpi);
  return image;
}

void TQRPagePicture::Draw(TCanvas* canvas, int x, int y) const {
  if (canvas == nullptr) return;
  QImage image = ToImage();
  if (image.isNull()) return;
  TPixelSurface source = TPixelSurface::OfImage(image);
  canvas->Blit(x, y, image.width(), image.height(), source, 0, 0, image.width(), image.height(), cmSrcCopy);
}

void AddInkDrawings(TQRPagePicture& page, const QImage& ink, int x, int y) {
  std::vector<TQRDrawing> runs;
  int top = ink.height(), bottom = -1, left = ink.width(), right = -1;
  for (int row = 0; row < ink.height(); ++row) {
    const QRgb* pixels = reinterpret_cast<const QRgb*>(ink.constScanLine(row));
    for (int i = 0; i < ink.width();) {
      if (qAlpha(pixels[i]) == 0) {
        ++i;
        continue;
      }
      int start = i;
      QRgb rgb = pixels[i] & 0xFFFFFF;
      while (i < ink.width() && qAlpha(pixels[i]) != 0 && (pixels[i] & 0xFFFFFF) == rgb) ++i;
      top = std::min(top, row), bottom = std::max(bottom, row);
      left = std::min(left, start), right = std::max(right, i - 1);
      if (runs.size() <= kMaxInkRuns) {
        TQRDrawing d;
        d.Box = {x + start, y + row, x + i, y + row + 1};
        d.Color = ColorRefOfRgb(rgb);
        runs.push_back(std::move(d));
      }
    }
  }
  if (bottom < 0) return;
  if (runs.size() <= kMaxInkRuns) {
    for (TQRDrawing& d : runs) page.Add(std::move(d));
    return;
  }
  TQRDrawing d;
  d.Kind = TQRDrawing::dkPicture;
  d.Box = {x + left, y + top, x + right + 1, y + bottom + 1};
  d.Picture = std::make_shared<QImage>(ink.copy(left, top, right - left + 1, bottom - top + 1));
  page.Add(std::move(d));
}
