#include "platform/graphics.h"
#include "platform/savestream.h"

#include <QColor>
#include <QImageReader>
#include <QBuffer>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/canvas.h"

// Colours ---------------------------------------------------------------------

namespace {

// The classic grey desktop scheme, 0x00BBGGRR, by system colour index.
constexpr int32_t kSysColors[31] = {
    0xC0C0C0,  // scroll bar
    0x808000,  // desktop
    0x800000,  // active caption
    0x808080,  // inactive caption
    0xC0C0C0,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC0C0C0,  // active border
    0xC0C0C0,  // inactive border
    0x808080,  // application work space
    0x800000,  // highlight
    0xFFFFFF,  // highlight text
    0xC0C0C0,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC0C0C0,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x000000,  // 3D dark shadow
    0xC0C0C0,  // 3D light
    0x000000,  // tooltip text
    0xE1FFFF,  // tooltip background
    0x000000,  // (unused)
    0xFF0000,  // hot light
    0xD08410,  // gradient active caption
    0xB5B5B5,  // gradient inactive caption
    0x800000,  // menu highlight
    0xC0C0C0,  // menu bar
};

}  // namespace

int32_t GetSysColor(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kSysColors))) return 0;
  return kSysColors[index];
}

int32_t ColorToRGB(TColor color) {
  if (color < 0) return GetSysColor(color & 0xFF);
  return color;
}

QColor ToQColor(TColor color) {
  int32_t c = ColorToRGB(color);
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Files -------------------------------------------------------------------------

void TGraphic::LoadFromFile(const std::string& name) {
  TFileStream stream(name, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const std::string& name) {
  TSaveFileStream stream(name);
  SaveToStream(&stream);
  stream.Commit();
}

// Bitmap ------------------------------------------------------------------------

namespace {

QImage::Format StorageFormat(TPixelFormat format) {
  switch (format) {
    case pf1bit: return QImage::Format_Mono;
    case pf4bit:
    case pf8bit: return QImage::Format_Indexed8;
    case pf15bit: return QImage::Format_RGB555;
    case pf16bit: return QImage::Format_RGB16;
    case pf24bit: return QImage::Format_BGR888;
    default: return QImage::Format_RGB32;
  }
}

QList<QRgb> BlackWhite() { return {qRgb(0, 0, 0), qRgb(255, 255, 255)}; }

// Palette of a new 8-bit bitmap: the 16 standard colours (black first,
// white 15th), a 6 x 6 x 6 colour cube and a grey ramp.
QList<QRgb> DefaultPalette256() {
  QList<QRgb> t;
  for (TColor c : {clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clGray, clSilver, clRed,
                   clLime, clYellow, clBlue, clFuchsia, clAqua, clWhite})
    t.push_back(qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) t.push_back(qRgb(r * 51, g * 51, b * 51));
  for (int i = 0; i < 24; ++i) {
    int v = 8 + i * 10;
    t.push_back(qRgb(v, v, v));
  }
  return t;
}

// Pads or cuts a colour table to `count` opaque entries (new ones black).
QList<QRgb> SizedTable(QList<QRgb> table, int count) {
  for (QRgb& c : table) c |= 0xFF000000u;
  while (table.size() < count) table.push_back(qRgb(0, 0, 0));
  table.resize(count);
  return table;
}

int NearestIndex(const QList<QRgb>& table, QRgb color) {
  int best = 0;
  int64_t bestDistance = INT64_MAX;
  for (int i = 0; i < table.size(); ++i) {
    int dr = qRed(table[i]) - qRed(color);
    int dg = qGreen(table[i]) - qGreen(color);
    int db = qBlue(table[i]) - qBlue(color);
    int64_t d = int64_t(dr) * dr + int64_t(dg) * dg + int64_t(db) * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
      if (d == 0) break;
    }
  }
  return best;
}

// A true-colour picture to 1 bit: each pixel takes the nearer of black and
// white (no dithering, as the platform converts device-independent bitmaps).
QImage ToMono(const QImage& source) {
  QImage rgb = source.convertToFormat(QImage::Format_RGB32);
  QImage mono(rgb.size(), QImage::Format_Mono);
  mono.setColorTable(BlackWhite());
  mono.fill(0);
  for (int y = 0; y < rgb.height(); ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    uchar* out = mono.scanLine(y);
    for (int x = 0; x < rgb.width(); ++x) {
      if (qRed(in[x]) + qGreen(in[x]) + qBlue(in[x]) > 382) out[x >> 3] |= 0x80 >> (x & 7);
    }
  }
  return mono;
}

QImage ToIndexed(const QImage& source, int colors) {
  QImage out = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
  if (out.colorCount() > colors) {
    // Too many colours for the table: map every pixel to the nearest of the
    // first `colors` entries.
    QList<QRgb> table = SizedTable(out.colorTable(), colors);
    std::vector<uint8_t> remap(out.colorCount());
    for (int i = 0; i < out.colorCount(); ++i) remap[i] = NearestIndex(table, out.color(i));
    for (int y = 0; y < out.height(); ++y) {
      uchar* row = out.scanLine(y);
      for (int x = 0; x < out.width(); ++x) row[x] = remap[row[x]];
    }
    out.setColorTable(table);
  }
  out.setColorTable(SizedTable(out.colorTable(), 256));
  return out;
}

QImage Converted(const QImage& source, TPixelFormat format) {
  if (source.isNull()) return QImage();
  switch (format) {
    case pf1bit:
      if (source.format() == QImage::Format_Mono) return source.copy();
      return ToMono(source);
    case pf4bit: return ToIndexed(source, 16);
    case pf8bit:
      if (source.format() == QImage::Format_Indexed8) {
        QImage copy = source.copy();
        copy.setColorTable(SizedTable(copy.colorTable(), 256));
        return copy;
      }
      return ToIndexed(source, 256);
    default: return source.convertToFormat(StorageFormat(format));
  }
}

// A blank picture: white, or the palette entry nearest to white.
QImage BlankImage(int w, int h, TPixelFormat format, const QList<QRgb>& table) {
  QImage image(w, h, StorageFormat(format));
  if (image.isNull()) OutOfMemoryError();
  if (image.depth() <= 8) {
    QList<QRgb> t = table;
    if (t.isEmpty()) t = format == pf1bit ? BlackWhite() : DefaultPalette256();
    if (format == pf8bit || format == pf4bit) t = SizedTable(t, 256);
    image.setColorTable(t);
    int white = NearestIndex(t, qRgb(255, 255, 255));
    if (format == pf1bit) {
      std::memset(image.bits(), white ? 0xFF : 0x00, image.sizeInBytes());
    } else {
      image.fill(white);
    }
  } else {
    image.fill(QColor(255, 255, 255));
  }
  return image;
}

}  // namespace

TBitmap::TBitmap() = default;

void ReleaseBitmapHandle(TGdiBitmap* handle);  // gdi.cpp

TBitmap::~TBitmap() {
  ReleaseBitmapHandle(handle_);
  delete canvas_;
}

void TBitmap::SetWidth(int w) { SetSize(w, GetHeight()); }
void TBitmap::SetHeight(int h) { SetSize(GetWidth(), h); }

void TBitmap::SetSize(int w, int h) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  if (w == GetWidth() && h == GetHeight()) return;
  if (w == 0 || h == 0) {
    // Keep the palette of an emptied indexed bitmap for when it grows again.
    QList<QRgb> table = image_.colorTable();
    image_ = QImage();
    palette_ = table;
    Changed();
    return;
  }
  QList<QRgb> table = image_.isNull() ? palette_ : image_.colorTable();
  QImage grown = BlankImage(w, h, format_, table);
  // Keep the top-left part of the old picture.
  int keepW = std::min(w, GetWidth());
  int keepH = std::min(h, GetHeight());
  int depth = grown.depth();
  int64_t wholeBytes = int64_t(keepW) * depth / 8;
  for (int y = 0; y < keepH; ++y) {
    const uchar* src = image_.constScanLine(y);
    uchar* dst = grown.scanLine(y);
    std::memcpy(dst, src, wholeBytes);
    if (depth == 1) {
      for (int x = int(wholeBytes * 8); x < keepW; ++x) {
        uchar bit = 0x80 >> (x & 7);
        dst[x >> 3] = (src[x >> 3] & bit) ? (dst[x >> 3] | bit) : (dst[x >> 3] & ~bit);
      }
    }
  }
  image_ = grown;
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  // pf4bit is held one byte a pixel with a 16-colour table; it reads back
  // as pf8bit, which is what its rows are.
  TPixelFormat stored = format == pf4bit ? pf8bit : format;
  if (image_.isNull()) {
    palette_.clear();
  } else {
    image_ = Converted(image_, format);
  }
  format_ = stored;
  Changed();
}

void TBitmap::SetMonochrome(bool mono) {
  if (mono) {
    SetPixelFormat(pf1bit);
  } else if (format_ == pf1bit) {
    SetPixelFormat(pfDevice);
  }
}

uint8_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= GetHeight()) return nullptr;
  return image_.scanLine(y);
}

const uint8_t* TBitmap::ScanLine(int y) const {
  if (y < 0 || y >= GetHeight()) return nullptr;
  return image_.constScanLine(y);
}

int TBitmap::PaletteSize() const {
  if (format_ == pf1bit) return 2;
  if (format_ == pf8bit) return 256;
  return 0;
}

QList<QRgb> TBitmap::CurrentTable() const {
  QList<QRgb> table = image_.isNull() ? palette_ : image_.colorTable();
  if (table.isEmpty()) table = format_ == pf1bit ? BlackWhite() : DefaultPalette256();
  return SizedTable(table, PaletteSize());
}

void TBitmap::SetPaletteEntries(int start, int count, const TPaletteEntry* entries) {
  int size = PaletteSize();
  if (size == 0 || entries == nullptr || start < 0 || count <= 0 || start >= size) return;
  QList<QRgb> table = CurrentTable();
  int end = std::min(size, start + count);
  for (int i = start; i < end; ++i) {
    const TPaletteEntry& e = entries[i - start];
    table[i] = qRgb(e.peRed, e.peGreen, e.peBlue);
  }
  if (image_.isNull()) {
    palette_ = table;
  } else {
    image_.setColorTable(table);
  }
  Changed();
}

int TBitmap::GetPaletteEntries(int start, int count, TPaletteEntry* entries) const {
  int size = PaletteSize();
  if (size == 0 || entries == nullptr || start < 0 || count <= 0 || start >= size) return 0;
  QList<QRgb> table = CurrentTable();
  int end = std::min(size, start + count);
  for (int i = start; i < end; ++i) {
    entries[i - start] = {uint8_t(qRed(table[i])), uint8_t(qGreen(table[i])), uint8_t(qBlue(table[i])), 0};
  }
  return end - start;
}

void TBitmap::Assign(TPersistent* source) {
  if (source == nullptr) {
    image_ = QImage();
    Changed();
    return;
  }
  if (auto* other = dynamic_cast<TBitmap*>(source)) {
    if (other == this) return;
    image_ = other->image_.copy();
    palette_ = other->palette_;
    format_ = other->format_;
    Transparent = other->Transparent;
    TransparentColor = other->TransparentColor;
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::SetImage(const QImage& image) {
  TPixelFormat format;
  switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: format = pf1bit; break;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8: format = pf8bit; break;
    case QImage::Format_RGB555: format = pf15bit; break;
    case QImage::Format_RGB16: format = pf16bit; break;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888: format = pf24bit; break;
    default: format = image.depth() > 24 ? pf32bit : pf24bit; break;
  }
  if (image.format() == QImage::Format_MonoLSB) {
    image_ = image.convertToFormat(QImage::Format_Mono);
  } else {
    image_ = Converted(image, format);
  }
  if (image_.format() == QImage::Format_Mono && image_.colorCount() != 2) image_.setColorTable(BlackWhite());
  format_ = format;
  palette_.clear();
  Changed();
}

void TBitmap::Changed() {
  if (OnChange) OnChange(this);
}
