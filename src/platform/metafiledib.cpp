// Pictures inside metafile records: a BITMAPINFO and its bits, checked
// against the record before a pixel is read.
#include "platform/metafileplay.h"
#include "platform/surface.h"

namespace {
// DIBs larger than this inside a metafile are skipped, not allocated.
constexpr int64_t kMaxDibPixels = int64_t(1) << 26;
}  // namespace

std::optional<QImage> DecodeMetaDib(const TMetaBytes& info, const TMetaBytes& bits) {
  if (info.Size() < 12) return std::nullopt;
  const uint32_t headerSize = info.U32(0);
  int32_t width, height;
  int bitCount;
  uint32_t compression = BI_RGB, colorsUsed = 0;
  if (headerSize == 12) {  // the old core header
    width = info.S16(4);
    height = info.S16(6);
    bitCount = info.U16(10);
  } else if (headerSize >= 40 && headerSize <= info.Size()) {
    width = info.S32(4);
    height = info.S32(8);
    bitCount = info.U16(14);
    compression = info.U32(16);
    colorsUsed = info.U32(32);
  } else {
    return std::nullopt;
  }
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    return std::nullopt;
  if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32)))
    return std::nullopt;
  if (width <= 0 || height == 0 || height == INT32_MIN) return std::nullopt;
  const int64_t rows = height < 0 ? -int64_t(height) : height;
  if (width * rows > kMaxDibPixels) return std::nullopt;
  const int64_t rowLen = (int64_t(width) * bitCount + 31) / 32 * 4;
  if (rowLen * rows > int64_t(bits.Size())) return std::nullopt;

  size_t tableAt = headerSize;
  uint32_t masks[3] = {0, 0, 0};
  if (compression == BI_BITFIELDS) {
    if (headerSize == 40) {
      if (info.Size() < 52) return std::nullopt;
      tableAt = 52;
    }
    // Masks follow a plain header, or sit inside a longer one at the same place.
    for (int i = 0; i < 3; ++i) masks[i] = info.U32(40 + 4 * i);
  }
  std::vector<RGBQUAD> colours;
  if (bitCount <= 8) {
    const uint32_t full = 1u << bitCount;
    const uint32_t count = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
    const size_t entry = headerSize == 12 ? 3 : 4;
    // A short table is taken as far as the record holds it; the rest is black.
    for (uint32_t i = 0; i < full; ++i) {
      RGBQUAD q{0, 0, 0, 0};
      const size_t at = tableAt + size_t(i) * entry;
      if (i < count && at + 3 <= info.Size()) {
        q.rgbBlue = info.U8(at);
        q.rgbGreen = info.U8(at + 1);
        q.rgbRed = info.U8(at + 2);
      }
      colours.push_back(q);
    }
  }
  auto* pixels = const_cast<uint8_t*>(bits.At(0, size_t(rowLen * rows)));
  TPixelSurface source = TPixelSurface::OfDib(pixels, width, height, bitCount, compression,
                                              colours.empty() ? nullptr : colours.data(), int(colours.size()),
                                              compression == BI_BITFIELDS ? masks : nullptr);
  if (!source.Valid()) return std::nullopt;
  QImage image(width, int(rows), QImage::Format_RGB32);
  if (image.isNull()) return std::nullopt;
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) row[x] = 0xFF000000u | source.ToRgb(source.Get(x, y));
  }
  return image;
}
