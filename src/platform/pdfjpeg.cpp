#include "platform/pdfjpeg.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>

namespace {

constexpr int kStandInWidth = 8;
constexpr char kMark[] = "CWJPEG<>";  // 8 bytes before and after the number
// Bytes of a stand-in's pixels as the PDF keeps them (RGB).
constexpr int kStandInBytes = kStandInWidth * 3;
// An image object of a stand-in is short; anything longer is not one.
constexpr qint64 kMostStandInObject = 1024;

std::string StandInBytes(uint32_t number) {
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08X", number);
  return std::string(kMark, 8) + digits + std::string(kMark, 8);
}

// Number of the stand-in whose inflated pixels are `pixels`; -1 if none.
int64_t StandInNumber(const QByteArray& pixels) {
  if (pixels.size() != kStandInBytes || std::memcmp(pixels.constData(), kMark, 8) != 0 ||
      std::memcmp(pixels.constData() + 16, kMark, 8) != 0)
    return -1;
  uint32_t number = 0;
  const char* digits = pixels.constData() + 8;
  auto [end, error] = std::from_chars(digits, digits + 8, number, 16);
  return error == std::errc() && end == digits + 8 ? int64_t(number) : -1;
}

// The value after `key` in a dictionary ("/Width 8" gives 8); -1 if none.
int64_t DictNumber(const QByteArray& object, const char* key) {
  const qsizetype at = object.indexOf(key);
  if (at < 0) return -1;
  qsizetype i = at + qsizetype(std::strlen(key));
  while (i < object.size() && object[i] == ' ') ++i;
  int64_t value = -1;
  std::from_chars(object.constData() + i, object.constData() + object.size(), value);
  return value;
}

// The stand-in number an object holds; -1 when it is no stand-in.
int64_t StandInOfObject(const QByteArray& object) {
  if (!object.contains("/Subtype /Image") || DictNumber(object, "/Width") != kStandInWidth ||
      DictNumber(object, "/Height") != 1 || !object.contains("/FlateDecode"))
    return -1;
  const qsizetype start = object.indexOf("stream\n");
  const qsizetype end = object.lastIndexOf("endstream");
  if (start < 0 || end < start + 7) return -1;
  // The stream's data, less the line break the writer puts before its end.
  QByteArray data = object.mid(start + 7, end - start - 7);
  if (data.endsWith('\n')) data.chop(1);
  // qUncompress wants the inflated size first, big-endian.
  const char size[4] = {0, 1, 0, 0};  // room for 64 KiB; a stand-in is far less
  return StandInNumber(qUncompress(QByteArray(size, 4) + data));
}

QByteArray JpegObject(int number, const TPdfJpeg& jpeg) {
  QByteArray object = QByteArray::number(number) + " 0 obj\n<<\n/Type /XObject\n/Subtype /Image\n/Width " +
                      QByteArray::number(jpeg.Width) + "\n/Height " + QByteArray::number(jpeg.Height) +
                      "\n/BitsPerComponent 8\n/ColorSpace " +
                      (jpeg.Components == 1 ? "/DeviceGray" : "/DeviceRGB") + "\n/Filter /DCTDecode\n/Length " +
                      QByteArray::number(qsizetype(jpeg.Bytes->size())) + "\n>>\nstream\n";
  object.append(jpeg.Bytes->data(), qsizetype(jpeg.Bytes->size()));
  object.append("\nendstream\nendobj\n");
  return object;
}

struct TXref {
  qint64 start = 0;                // where "xref" begins
  std::map<qint64, int> objects;   // offset -> object number
  int size = 0;                    // entries, the free one included
  QByteArray trailer;              // "trailer" up to "startxref"
};

bool ReadXref(QFile& in, TXref& xref) {
  const qint64 length = in.size();
  const qint64 tailStart = std::max<qint64>(0, length - 1024);
  in.seek(tailStart);
  const QByteArray tail = in.read(length - tailStart);
  const qsizetype at = tail.lastIndexOf("startxref");
  if (at < 0) return false;
  bool ok = false;
  xref.start = tail.mid(at + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
  if (!ok || xref.start <= 0 || xref.start >= length) return false;
  in.seek(xref.start);
  const QByteArray head = in.read(64);
  const QList<QByteArray> lines = head.split('\n');
  if (lines.size() < 3 || lines[0].trimmed() != "xref") return false;
  const QList<QByteArray> range = lines[1].trimmed().split(' ');
  if (range.size() != 2 || range[0] != "0") return false;
  xref.size = range[1].toInt(&ok);
  if (!ok || xref.size < 1 || xref.size > 100000000) return false;
  const qint64 entries = xref.start + lines[0].size() + 1 + lines[1].size() + 1;
  in.seek(entries);
  const QByteArray table = in.read(qint64(xref.size) * 20);
  if (table.size() != qsizetype(xref.size) * 20) return false;
  for (int n = 1; n < xref.size; ++n) {
    const QByteArray entry = table.mid(qsizetype(n) * 20, 20);
    if (entry[17] != 'n') continue;
    const qint64 offset = entry.left(10).toLongLong(&ok);
    if (!ok || offset <= 0 || offset >= xref.start) return false;
    xref.objects[offset] = n;
  }
  in.seek(entries + qint64(xref.size) * 20);
  xref.trailer = in.read(length - in.pos());
  const qsizetype end = xref.trailer.indexOf("startxref");
  if (!xref.trailer.startsWith("trailer") || end < 0) return false;
  xref.trailer.truncate(end);
  return !xref.objects.empty();
}

}  // namespace

QImage JpegStandIn(uint32_t number) {
  const std::string bytes = StandInBytes(number);
  QImage image(kStandInWidth, 1, QImage::Format_RGB32);
  auto* row = reinterpret_cast<QRgb*>(image.scanLine(0));
  for (int i = 0; i < kStandInWidth; ++i)
    row[i] = qRgb(uint8_t(bytes[size_t(3 * i)]), uint8_t(bytes[size_t(3 * i + 1)]), uint8_t(bytes[size_t(3 * i + 2)]));
  return image;
}

bool PutJpegsIntoPdf(const std::string& file, const std::vector<TPdfJpeg>& jpegs) {
  QFile in(QString::fromStdString(file));
  if (!in.open(QIODevice::ReadOnly)) return false;
  TXref xref;
  if (!ReadXref(in, xref)) return false;

  QSaveFile out(QString::fromStdString(file));
  if (!out.open(QIODevice::WriteOnly)) return false;
  std::vector<qint64> offsets(size_t(xref.size), 0);
  // What comes before the first object (the header) stays as it is.
  in.seek(0);
  out.write(in.read(xref.objects.begin()->first));
  std::vector<bool> replaced(jpegs.size(), false);
  for (auto it = xref.objects.begin(); it != xref.objects.end(); ++it) {
    const auto next = std::next(it);
    const qint64 end = next == xref.objects.end() ? xref.start : next->first;
    offsets[size_t(it->second)] = out.pos();
    in.seek(it->first);
    if (end - it->first <= kMostStandInObject) {
      const QByteArray object = in.read(end - it->first);
      const int64_t number = StandInOfObject(object);
      if (number >= 0) {
        if (size_t(number) >= jpegs.size()) return false;
        out.write(JpegObject(it->second, jpegs[size_t(number)]));
        replaced[size_t(number)] = true;
      } else {
        out.write(object);
      }
      continue;
    }
    for (qint64 left = end - it->first; left > 0;) {
      const QByteArray chunk = in.read(std::min<qint64>(left, 1 << 20));
      if (chunk.isEmpty()) return false;
      out.write(chunk);
      left -= chunk.size();
    }
  }
  const qint64 start = out.pos();
  QByteArray table = "xref\n0 " + QByteArray::number(xref.size) + "\n0000000000 65535 f \n";
  for (int n = 1; n < xref.size; ++n)
    table += offsets[size_t(n)] > 0 ? QByteArray::number(offsets[size_t(n)]).rightJustified(10, '0') + " 00000 n \n"
                                    : QByteArray("0000000000 65535 f \n");
  out.write(table);
  out.write(xref.trailer);
  out.write("startxref\n" + QByteArray::number(start) + "\n%%EOF\n");
  // Every JPEG has its stand-in in the file, or the file is not what was
  // drawn.
  if (std::find(replaced.begin(), replaced.end(), false) != replaced.end()) {
    out.cancelWriting();
    return false;
  }
  return out.commit();
}
