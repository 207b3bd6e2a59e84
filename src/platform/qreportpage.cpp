#include "platform/qreportpage.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <cmath>

#include "platform/fonts.h"

// Pictures --------------------------------------------------------------------------

QImage TQRPicture::Pixels() const {
  if (jpeg_.empty()) return image_;
  QImage decoded;
  decoded.loadFromData(reinterpret_cast<const uchar*>(jpeg_.data()), int(jpeg_.size()), "JPG");
  return decoded;
}

namespace {

// The pixels that show (not the padding at the end of each row).
size_t HashPixels(const QImage& image) {
  size_t hash = qHash(image.size()) ^ size_t(image.format());
  const qsizetype rowBytes = (qsizetype(image.width()) * image.depth() + 7) / 8;
  for (int y = 0; y < image.height(); ++y) hash = qHashBits(image.constScanLine(y), size_t(rowBytes), hash);
  for (QRgb c : image.colorTable()) hash = hash * 31 + c;
  return hash;
}

}  // namespace

TQRPictureRef TQRPictureStore::Find(size_t hash, const std::function<bool(const TQRPicture&)>& same) const {
  auto [first, last] = pictures_.equal_range(hash);
  for (auto it = first; it != last; ++it)
    if (same(*it->second)) return it->second;
  return nullptr;
}

TQRPictureRef TQRPictureStore::Share(QImage image) {
  const size_t hash = HashPixels(image);
  if (TQRPictureRef known = Find(hash, [&](const TQRPicture& p) { return !p.IsJpeg() && p.Pixels() == image; }))
    return known;
  auto picture = std::make_shared<const TQRPicture>(std::move(image));
  pictures_.emplace(hash, picture);
  return picture;
}

TQRPictureRef TQRPictureStore::ShareJpeg(std::string jpeg, int width, int height, int components) {
  const size_t hash = qHashBits(jpeg.data(), jpeg.size(), 0x4A50);
  if (TQRPictureRef known = Find(hash, [&](const TQRPicture& p) { return p.Jpeg() == jpeg; })) return known;
  auto picture = std::make_shared<const TQRPicture>(std::move(jpeg), width, height, components);
  pictures_.emplace(hash, picture);
  return picture;
}

size_t TQRPictureStore::Bytes() const {
  size_t total = 0;
  for (const auto& entry : pictures_) total += entry.second->Bytes();
  return total;
}

namespace {

// Past this many boxes of one colour ink is kept as tile pictures: a
// shadow or a ramp makes hundreds of them on every card, while its tiles
// are the same on each and kept once.
constexpr size_t kMaxInkBoxes = 32;
// Side of the square tiles of heavy ink: small enough that untouched parts
// of a large area cost nothing, large enough that tiles stay few.
constexpr int kInkTile = 128;

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

void TQRPagePicture::Render(QPainter& painter, double dpi, const TJpegDrawer& drawJpeg) const {
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
        if (!d.Picture) break;
        if (d.Picture->IsJpeg() && drawJpeg) {
          drawJpeg(Scaled(d.Box, s), d.Picture);
        } else {
          // Barcodes and other two-colour pictures must keep every edge.
          painter.setRenderHint(QPainter::LosslessImageRendering, d.Picture->Lossless());
          painter.drawImage(Scaled(d.Box, s), d.Picture->Pixels());
        }
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

namespace {

// True when a row of ink has a drawn pixel (a loop the compiler vectorises).
bool RowHasInk(const QRgb* pixels, int count) {
  QRgb any = 0;
  for (int i = 0; i < count; ++i) any |= pixels[i];
  return qAlpha(any) != 0;
}

// The ink of one tile, cut to the pixels drawn in it; one colour becomes a
// two-entry picture (transparent and that colour).
QImage InkTile(const QImage& ink, const QRect& cell, QRect& drawn) {
  int top = cell.bottom() + 1, bottom = -1, left = cell.right() + 1, right = -1;
  QRgb colour = 0;
  bool oneColour = true;
  for (int row = cell.top(); row <= cell.bottom(); ++row) {
    const QRgb* pixels = reinterpret_cast<const QRgb*>(ink.constScanLine(row));
    if (!RowHasInk(pixels + cell.left(), cell.width())) continue;
    for (int i = cell.left(); i <= cell.right(); ++i) {
      if (qAlpha(pixels[i]) == 0) continue;
      if (bottom < 0) colour = pixels[i];
      oneColour = oneColour && pixels[i] == colour;
      top = std::min(top, row), bottom = std::max(bottom, row);
      left = std::min(left, i), right = std::max(right, i);
    }
  }
  if (bottom < 0) return QImage();
  drawn = QRect(QPoint(left, top), QPoint(right, bottom));
  QImage tile = ink.copy(drawn);
  if (!oneColour) return tile;
  QImage mono(tile.size(), QImage::Format_MonoLSB);
  mono.setColorTable({0u, colour});
  mono.fill(0);
  for (int row = 0; row < tile.height(); ++row) {
    const QRgb* pixels = reinterpret_cast<const QRgb*>(tile.constScanLine(row));
    for (int i = 0; i < tile.width(); ++i)
      if (qAlpha(pixels[i]) != 0) mono.setPixel(i, row, 1);
  }
  return mono;
}

// Calls run(row, start, end, colour) for each run of one colour along the
// rows until it answers false.
template <typename Run>
void ForEachInkRun(const QImage& ink, Run run) {
  const int width = ink.width(), height = ink.height();
  for (int row = 0; row < height; ++row) {
    const QRgb* pixels = reinterpret_cast<const QRgb*>(ink.constScanLine(row));
    if (!RowHasInk(pixels, width)) continue;
    for (int i = 0; i < width;) {
      if (qAlpha(pixels[i]) == 0) {
        // Blank stretches go eight pixels at a time.
        if ((i & 7) == 0 && i + 8 <= width && !RowHasInk(pixels + i, 8)) {
          i += 8;
        } else {
          ++i;
        }
        continue;
      }
      const int start = i;
      const QRgb rgb = pixels[i] & 0xFFFFFF;
      while (i < width && qAlpha(pixels[i]) != 0 && (pixels[i] & 0xFFFFFF) == rgb) ++i;
      if (!run(row, start, i, rgb)) return;
    }
  }
}

}  // namespace

namespace {

struct TInkBox {
  QRect box;
  QRgb rgb;
};

// The runs of the ink joined into boxes where the same run repeats on the
// next row (a line across rows is one box, not a run a row); false, with
// `boxes` part made, once they pass kMaxInkBoxes.
bool InkBoxes(const QImage& ink, std::vector<TInkBox>& boxes) {
  std::vector<size_t> above, here;  // boxes reaching the row above, this row
  int lastRow = -1;
  bool few = true;
  ForEachInkRun(ink, [&](int row, int start, int end, QRgb rgb) {
    if (row != lastRow) {
      above = row == lastRow + 1 ? here : std::vector<size_t>();
      here.clear();
      lastRow = row;
    }
    for (size_t i : above) {
      QRect& b = boxes[i].box;
      if (b.left() == start && b.right() == end - 1 && boxes[i].rgb == rgb) {
        b.setBottom(row);
        here.push_back(i);
        return true;
      }
    }
    here.push_back(boxes.size());
    boxes.push_back({QRect(start, row, end - start, 1), rgb});
    few = boxes.size() <= kMaxInkBoxes;
    return few;
  });
  return few;
}

}  // namespace

std::vector<QRect> AddInkDrawings(TQRPagePicture& page, const QImage& ink, int x, int y, TQRPictureStore& store) {
  std::vector<QRect> drawnAreas;
  std::vector<TInkBox> boxes;
  if (InkBoxes(ink, boxes)) {
    QRect all;
    for (const TInkBox& b : boxes) {
      TQRDrawing d;
      d.Box = {x + b.box.left(), y + b.box.top(), x + b.box.right() + 1, y + b.box.bottom() + 1};
      d.Color = ColorRefOfRgb(b.rgb);
      page.Add(std::move(d));
      all |= b.box;
    }
    if (!all.isEmpty()) drawnAreas.push_back(all);
    return drawnAreas;
  }
  for (int top = 0; top < ink.height(); top += kInkTile) {
    for (int left = 0; left < ink.width(); left += kInkTile) {
      QRect drawn;
      QImage tile = InkTile(ink, QRect(left, top, std::min(kInkTile, ink.width() - left),
                                       std::min(kInkTile, ink.height() - top)), drawn);
      if (tile.isNull()) continue;
      TQRDrawing d;
      d.Kind = TQRDrawing::dkPicture;
      d.Box = {x + drawn.left(), y + drawn.top(), x + drawn.right() + 1, y + drawn.bottom() + 1};
      d.Picture = store.Share(std::move(tile));
      page.Add(std::move(d));
      drawnAreas.push_back(drawn);
    }
  }
  return drawnAreas;
}
