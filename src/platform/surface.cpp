#include "platform/surface.h"

#include <algorithm>
#include <cstdlib>

namespace {

int NearestEntry(const std::vector<TRgb>& palette, TRgb rgb) {
  int best = 0;
  int64_t bestDistance = INT64_MAX;
  for (size_t i = 0; i < palette.size(); ++i) {
    int dr = int((palette[i] >> 16) & 0xFF) - int((rgb >> 16) & 0xFF);
    int dg = int((palette[i] >> 8) & 0xFF) - int((rgb >> 8) & 0xFF);
    int db = int(palette[i] & 0xFF) - int(rgb & 0xFF);
    int64_t d = int64_t(dr) * dr + int64_t(dg) * dg + int64_t(db) * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = int(i);
      if (d == 0) break;
    }
  }
  return best;
}

uint8_t Expand5(uint32_t v) { return uint8_t((v << 3) | (v >> 2)); }
uint8_t Expand6(uint32_t v) { return uint8_t((v << 2) | (v >> 4)); }

}  // namespace

int TPixelSurface::BitCount() const {
  switch (kind) {
    case TSurfaceKind::Indexed1: return 1;
    case TSurfaceKind::Indexed4: return 4;
    case TSurfaceKind::Indexed8: return 8;
    case TSurfaceKind::Rgb555:
    case TSurfaceKind::Rgb565: return 16;
    case TSurfaceKind::Bgr24: return 24;
    case TSurfaceKind::Bgrx32: return 32;
  }
  return 0;
}

uint32_t TPixelSurface::ValueMask() const {
  switch (kind) {
    case TSurfaceKind::Indexed1: return 0x1;
    case TSurfaceKind::Indexed4: return 0xF;
    case TSurfaceKind::Indexed8: return 0xFF;
    case TSurfaceKind::Rgb555: return 0x7FFF;
    case TSurfaceKind::Rgb565: return 0xFFFF;
    default: return 0xFFFFFF;
  }
}

uint32_t TPixelSurface::Get(int x, int y) const {
  const uint8_t* row = Row(y);
  switch (kind) {
    case TSurfaceKind::Indexed1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case TSurfaceKind::Indexed4: return (x & 1) ? row[x >> 1] & 0xF : row[x >> 1] >> 4;
    case TSurfaceKind::Indexed8: return row[x];
    case TSurfaceKind::Rgb555:
    case TSurfaceKind::Rgb565: return row[x * 2] | (row[x * 2 + 1] << 8);
    case TSurfaceKind::Bgr24: return row[x * 3] | (row[x * 3 + 1] << 8) | (row[x * 3 + 2] << 16);
    case TSurfaceKind::Bgrx32: return row[x * 4] | (row[x * 4 + 1] << 8) | (row[x * 4 + 2] << 16);
  }
  return 0;
}

void TPixelSurface::Set(int x, int y, uint32_t value) {
  uint8_t* row = Row(y);
  switch (kind) {
    case TSurfaceKind::Indexed1: {
      uint8_t bit = uint8_t(0x80 >> (x & 7));
      row[x >> 3] = (value & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
      break;
    }
    case TSurfaceKind::Indexed4:
      row[x >> 1] = (x & 1) ? uint8_t((row[x >> 1] & 0xF0) | (value & 0xF)) : uint8_t((row[x >> 1] & 0x0F) | (value << 4));
      break;
    case TSurfaceKind::Indexed8: row[x] = uint8_t(value); break;
    case TSurfaceKind::Rgb555:
    case TSurfaceKind::Rgb565:
      row[x * 2] = uint8_t(value);
      row[x * 2 + 1] = uint8_t(value >> 8);
      break;
    case TSurfaceKind::Bgr24:
      row[x * 3] = uint8_t(value);
      row[x * 3 + 1] = uint8_t(value >> 8);
      row[x * 3 + 2] = uint8_t(value >> 16);
      break;
    case TSurfaceKind::Bgrx32:
      row[x * 4] = uint8_t(value);
      row[x * 4 + 1] = uint8_t(value >> 8);
      row[x * 4 + 2] = uint8_t(value >> 16);
      row[x * 4 + 3] = 0xFF;
      break;
  }
}

uint32_t TPixelSurface::ToValue(TRgb rgb) const {
  uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  switch (kind) {
    case TSurfaceKind::Indexed1:
    case TSurfaceKind::Indexed4:
    case TSurfaceKind::Indexed8: return palette.empty() ? 0 : uint32_t(NearestEntry(palette, rgb));
    case TSurfaceKind::Rgb555: return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    case TSurfaceKind::Rgb565: return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    default: return rgb & 0xFFFFFF;
  }
}

TRgb TPixelSurface::ToRgb(uint32_t value) const {
  switch (kind) {
    case TSurfaceKind::Indexed1:
    case TSurfaceKind::Indexed4:
    case TSurfaceKind::Indexed8: return value < palette.size() ? palette[value] : 0;
    case TSurfaceKind::Rgb555:
      return (Expand5((value >> 10) & 31) << 16) | (Expand5((value >> 5) & 31) << 8) | Expand5(value & 31);
    case TSurfaceKind::Rgb565:
      return (Expand5((value >> 11) & 31) << 16) | (Expand6((value >> 5) & 63) << 8) | Expand5(value & 31);
    default: return value & 0xFFFFFF;
  }
}

TPixelSurface TPixelSurface::OfImage(QImage& image) {
  TPixelSurface s;
  if (image.isNull()) return s;
  switch (image.format()) {
    case QImage::Format_Mono: s.kind = TSurfaceKind::Indexed1; break;
    case QImage::Format_Indexed8: s.kind = TSurfaceKind::Indexed8; break;
    case QImage::Format_RGB555: s.kind = TSurfaceKind::Rgb555; break;
    case QImage::Format_RGB16: s.kind = TSurfaceKind::Rgb565; break;
    case QImage::Format_BGR888: s.kind = TSurfaceKind::Bgr24; break;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: s.kind = TSurfaceKind::Bgrx32; break;
    default: return s;
  }
  s.top = image.bits();
  s.stride = image.bytesPerLine();
  s.width = image.width();
  s.height = image.height();
  for (QRgb c : image.colorTable()) s.palette.push_back(c & 0xFFFFFF);
  return s;
}

TPixelSurface TPixelSurface::OfDib(void* bits, int width, int height, int bitCount, uint32_t compression,
                                   const RGBQUAD* colors, int colorCount, const uint32_t* masks) {
  TPixelSurface s;
  if (bits == nullptr || width <= 0 || height == 0) return s;
  switch (bitCount) {
    case 1: s.kind = TSurfaceKind::Indexed1; break;
    case 4: s.kind = TSurfaceKind::Indexed4; break;
    case 8: s.kind = TSurfaceKind::Indexed8; break;
    case 16:
      s.kind = compression == BI_BITFIELDS && masks != nullptr && masks[1] == 0x07E0 ? TSurfaceKind::Rgb565
                                                                                     : TSurfaceKind::Rgb555;
      break;
    case 24: s.kind = TSurfaceKind::Bgr24; break;
    case 32: s.kind = TSurfaceKind::Bgrx32; break;
    default: return s;
  }
  int64_t rowLen = (int64_t(width) * bitCount + 31) / 32 * 4;
  int rows = height < 0 ? -height : height;
  auto* base = static_cast<uint8_t*>(bits);
  s.width = width;
  s.height = rows;
  if (height < 0) {
    s.top = base;
    s.stride = rowLen;
  } else {
    s.top = base + rowLen * (rows - 1);
    s.stride = -rowLen;
  }
  for (int i = 0; i < colorCount && colors != nullptr; ++i)
    s.palette.push_back((uint32_t(colors[i].rgbRed) << 16) | (colors[i].rgbGreen << 8) | colors[i].rgbBlue);
  return s;
}

uint32_t TValueCache::ToValue(TRgb rgb) {
  // Only palette searches are worth remembering; other kinds convert at once
  // (a photo's many colours would only miss the cache).
  const TSurfaceKind kind = surface_.kind;
  if (kind != TSurfaceKind::Indexed1 && kind != TSurfaceKind::Indexed4 && kind != TSurfaceKind::Indexed8)
    return surface_.ToValue(rgb);
  for (const auto& [key, value] : recent_)
    if (key == rgb) return value;
  uint32_t value = surface_.ToValue(rgb);
  if (recent_.size() >= 64) recent_.erase(recent_.begin());
  recent_.emplace_back(rgb, value);
  return value;
}

uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dest, uint32_t mask) {
  // Bit (p << 1 | d) of rop2 - 1 gives the result for pen bit p, dest bit d.
  uint32_t table = uint32_t(rop2 - 1) & 0xF;
  uint32_t result = 0;
  if (table & 1) result |= ~pen & ~dest;
  if (table & 2) result |= ~pen & dest;
  if (table & 4) result |= pen & ~dest;
  if (table & 8) result |= pen & dest;
  return result & mask;
}

uint32_t ApplyRop3(uint32_t rop3, uint32_t pattern, uint32_t source, uint32_t dest, uint32_t mask) {
  // Bit (p << 2 | s << 1 | d) of the code's third byte gives the result.
  uint32_t table = (rop3 >> 16) & 0xFF;
  switch (table) {
    case 0xCC: return source & mask;
    case 0x66: return (source ^ dest) & mask;
    case 0x88: return source & dest & mask;
    case 0xEE: return (source | dest) & mask;
    default: break;
  }
  uint32_t result = 0;
  for (int i = 0; i < 8; ++i) {
    if (!(table & (1u << i))) continue;
    uint32_t p = (i & 4) ? pattern : ~pattern;
    uint32_t s = (i & 2) ? source : ~source;
    uint32_t d = (i & 1) ? dest : ~dest;
    result |= p & s & d;
  }
  return result & mask;
}

bool Rop3UsesSource(uint32_t rop3) {
  uint32_t table = (rop3 >> 16) & 0xFF;
  return ((table >> 2) & 0x33) != (table & 0x33);
}
