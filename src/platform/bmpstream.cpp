// TBitmap in BMP file form. Writing is done here byte by byte so that every
// pixel format keeps its depth on disk; reading checks the headers against
// the stream; paletted rows are copied as stored, the other depths are
// decoded by Qt's BMP reader.
#include <QByteArray>
#include <QImage>
#include <cstring>
#include <vector>

#include "platform/graphics.h"

namespace {

constexpr uint16_t kBmpMagic = 0x4D42;  // "BM"

uint16_t ReadU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t ReadU32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic("Bitmap image is not valid"); }

struct DiskLayout {
  uint16_t bitCount;
  uint32_t compression;
  std::vector<uint32_t> masks;  // BI_BITFIELDS masks, red, green, blue
};

DiskLayout LayoutOf(TPixelFormat format) {
  switch (format) {
    case pf1bit: return {1, BI_RGB, {}};
    case pf4bit:
    case pf8bit: return {8, BI_RGB, {}};
    case pf15bit: return {16, BI_RGB, {}};
    case pf16bit: return {16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}};
    case pf24bit: return {24, BI_RGB, {}};
    default: return {32, BI_RGB, {}};
  }
}

TPixelFormat FormatOfDisk(uint16_t bitCount, uint32_t compression, uint32_t greenMask) {
  switch (bitCount) {
    case 1: return pf1bit;
    case 4:
    case 8: return pf8bit;
    case 16: return compression == BI_BITFIELDS && greenMask == 0x07E0 ? pf16bit : pf15bit;
    case 24: return pf24bit;
    default: return pf32bit;
  }
}

// Paletted 1-bit and 8-bit rows are copied as stored, so that pixel indices
// keep their meaning: a decoder that normalises the colour table would flip
// the bits of a 1-bit picture whose palette is white first. False when the
// colour table or the rows do not fit the data.
bool DecodePalettedRows(const QByteArray& data, uint32_t infoSize, int32_t width, int32_t height,
                        uint16_t bitCount, QImage& out) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
  const int64_t size = data.size();
  const bool core = infoSize == 12;
  const int entrySize = core ? 3 : 4;
  int64_t colours = core ? 0 : ReadU32(bytes + 14 + 32);
  if (colours == 0 || colours > (int64_t(1) << bitCount)) colours = int64_t(1) << bitCount;
  const int64_t tableStart = 14 + int64_t(infoSize);
  const int64_t offBits = ReadU32(bytes + 10);
  if (tableStart + colours * entrySize > size || offBits > size) return false;
  const int64_t rowLen = (int64_t(width) * bitCount + 31) / 32 * 4;
  const int64_t rows = height < 0 ? -int64_t(height) : height;
  if (offBits + rowLen * rows > size) return false;

  QImage image(width, int(rows), bitCount == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
  if (image.isNull()) return false;
  QList<QRgb> table;
  for (int64_t i = 0; i < colours; ++i) {
    const uint8_t* e = bytes + tableStart + i * entrySize;
    table.append(qRgb(e[2], e[1], e[0]));
  }
  while (table.size() < (1 << bitCount)) table.append(qRgb(0, 0, 0));
  image.setColorTable(table);
  const int64_t used = (int64_t(width) * bitCount + 7) / 8;
  for (int64_t y = 0; y < rows; ++y) {
    const int64_t stored = height < 0 ? y : rows - 1 - y;  // bottom-up unless the height is negative
    std::memcpy(image.scanLine(int(y)), bytes + offBits + stored * rowLen, size_t(used));
  }
  out = image;
  return true;
}

}  // namespace

void TBitmap::SaveToStream(TStream* stream) {
  DiskLayout layout = LayoutOf(format_);
  int w = GetEmpty() ? 0 : GetWidth();
  int h = GetEmpty() ? 0 : GetHeight();
  int paletteCount = layout.bitCount <= 8 ? PaletteSize() : 0;
  int64_t rowLen = (int64_t(w) * layout.bitCount + 31) / 32 * 4;
  uint32_t offBits = 14 + 40 + uint32_t(layout.masks.size()) * 4 + uint32_t(paletteCount) * 4;
  int64_t fileSize = offBits + rowLen * h;
  if (fileSize > UINT32_MAX) throw EInvalidGraphic("Bitmap too large to save");

  BITMAPFILEHEADER file{kBmpMagic, uint32_t(fileSize), 0, 0, offBits};
  BITMAPINFOHEADER info{};
  info.biSize = 40;
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = layout.bitCount;
  info.biCompression = layout.compression;
  info.biSizeImage = uint32_t(rowLen * h);
  info.biClrUsed = uint32_t(paletteCount);
  stream->WriteBuffer(&file, sizeof file);
  stream->WriteBuffer(&info, sizeof info);
  for (uint32_t mask : layout.masks) stream->WriteBuffer(&mask, 4);
  if (paletteCount > 0) {
    std::vector<TPaletteEntry> entries(paletteCount);
    GetPaletteEntries(0, paletteCount, entries.data());
    for (const TPaletteEntry& e : entries) {
      RGBQUAD q{e.peBlue, e.peGreen, e.peRed, 0};
      stream->WriteBuffer(&q, 4);
    }
  }
  std::vector<uint8_t> row(rowLen, 0);
  int64_t used = (int64_t(w) * layout.bitCount + 7) / 8;
  for (int y = h - 1; y >= 0; --y) {
    std::memcpy(row.data(), image_.constScanLine(y), used);
    stream->WriteBuffer(row.data(), rowLen);
  }
}

void TBitmap::LoadFromStream(TStream* stream) {
  int64_t start = stream->GetPosition();
  int64_t available = stream->GetSize() - start;
  uint8_t head[14 + 40 + 12] = {};
  if (available < 14 + 12) InvalidBitmap();
  int64_t headLen = std::min<int64_t>(available, sizeof head);
  stream->ReadBuffer(head, headLen);
  if (ReadU16(head) != kBmpMagic) InvalidBitmap();

  // The file's own size tells where the picture ends; writers that leave it
  // out get the rest of the stream. A size beyond the stream is a cut file.
  int64_t total = ReadU32(head + 2);
  if (total > available) InvalidBitmap();
  if (total < 14 + 12) total = available;

  uint32_t infoSize = ReadU32(head + 14);
  int32_t width, height;
  uint16_t bitCount;
  uint32_t compression = BI_RGB, greenMask = 0;
  if (infoSize == 12) {
    width = int16_t(ReadU16(head + 18));
    height = int16_t(ReadU16(head + 20));
    bitCount = ReadU16(head + 24);
  } else if (infoSize >= 40 && headLen >= 14 + 40) {
    width = int32_t(ReadU32(head + 18));
    height = int32_t(ReadU32(head + 22));
    bitCount = ReadU16(head + 28);
    compression = ReadU32(head + 30);
    if (compression == BI_BITFIELDS && headLen >= 14 + 40 + 8) greenMask = ReadU32(head + 14 + 40 + 4);
  } else {
    InvalidBitmap();
  }
  if (width < 0 || bitCount == 0 || bitCount > 32) InvalidBitmap();
  // Uncompressed rows must lie inside the file.
  if (compression == BI_RGB || compression == BI_BITFIELDS) {
    int64_t rowLen = (int64_t(width) * bitCount + 31) / 32 * 4;
    int64_t rows = height < 0 ? -int64_t(height) : height;
    if (int64_t(ReadU32(head + 10)) + rowLen * rows > total) InvalidBitmap();
  }
  TPixelFormat format = FormatOfDisk(bitCount, compression, greenMask);

  QByteArray data(qsizetype(total), Qt::Uninitialized);
  std::memcpy(data.data(), head, headLen);
  if (total > headLen) stream->ReadBuffer(data.data() + headLen, total - headLen);
  stream->SetPosition(start + total);

  if (width == 0 || height == 0) {
    image_ = QImage();
    palette_.clear();
    format_ = format;
    Changed();
    return;
  }
  QImage decoded;
  const bool paletted = compression == BI_RGB && (bitCount == 1 || bitCount == 8);
  if (paletted) {
    if (!DecodePalettedRows(data, infoSize, width, height, bitCount, decoded)) InvalidBitmap();
  } else if (!decoded.loadFromData(data, "BMP") || decoded.isNull()) {
    InvalidBitmap();
  }
  SetImage(decoded);
  if (format_ != format) SetPixelFormat(format);
}
