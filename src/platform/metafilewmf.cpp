// Windows metafiles (WMF), placeable or plain: the headers, the framing of
// the records and the records that are played; all others are skipped.
// Record parameters are 16-bit words, most of them in reverse order.
#include <algorithm>
#include <cstdlib>

#include "platform/metafileplay.h"

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22, kHeaderSize = 18;
constexpr uint16_t kMetaEof = 0x0000, kSetWindowOrg = 0x020B, kSetWindowExt = 0x020C;

// Parameter word i of a record (after its size and function).
int16_t W(const TMetaBytes& r, size_t i) { return r.S16(6 + 2 * i); }
uint16_t UW(const TMetaBytes& r, size_t i) { return r.U16(6 + 2 * i); }
QRgb ColourRef(const TMetaBytes& r, size_t i) {
  uint32_t c = r.U32(6 + 2 * i);
  return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
// Four words bottom, right, top, left from word i.
QRectF Box(const TMetaBytes& r, size_t i) {
  return QRectF(QPointF(W(r, i + 3), W(r, i + 2)), QPointF(W(r, i + 1), W(r, i)));
}
// A point stored y first.
QPointF YX(const TMetaBytes& r, size_t i) { return QPointF(W(r, i + 1), W(r, i)); }

std::vector<QPointF> Points(const TMetaBytes& r, size_t word, size_t count) {
  const size_t at = 6 + 2 * word;
  if (at > r.Size() || count > (r.Size() - at) / 4) throw EInvalidGraphic("Metafile point count is too large");
  std::vector<QPointF> points;
  points.reserve(count);
  for (size_t i = 0; i < count; ++i) points.emplace_back(r.S16(at + 4 * i), r.S16(at + 4 * i + 2));
  return points;
}

std::vector<std::vector<QPointF>> PolyPolygon(const TMetaBytes& r) {
  const size_t polys = UW(r, 0);
  std::vector<std::vector<QPointF>> result;
  size_t word = 1 + polys;
  for (size_t i = 0; i < polys; ++i) {
    const size_t count = UW(r, 1 + i);
    result.push_back(Points(r, word, count));
    word += 2 * count;
  }
  return result;
}

// The DIB that fills a record from parameter word i to its end.
std::optional<QImage> TrailingDib(const TMetaBytes& r, size_t word) {
  const size_t at = 6 + 2 * word;
  if (at + 12 > r.Size()) return std::nullopt;
  TMetaBytes dib = r.Sub(at, r.Size() - at);
  const uint32_t headerSize = dib.U32(0);
  if (headerSize > dib.Size()) return std::nullopt;
  // The colour table follows the header; the bits follow the table.
  size_t tableBytes = 0;
  if (headerSize == 12) {
    const int bits = dib.U16(10);
    tableBytes = bits <= 8 ? (size_t(1) << bits) * 3 : 0;
  } else if (headerSize >= 40) {
    const int bits = dib.U16(14);
    const uint32_t used = dib.U32(32), compression = dib.U32(16);
    if (bits <= 8) tableBytes = size_t(used == 0 || used > (1u << bits) ? (1u << bits) : used) * 4;
    if (compression == 3 && headerSize == 40) tableBytes = 12;
  } else {
    return std::nullopt;
  }
  const size_t bitsAt = headerSize + tableBytes;
  if (bitsAt > dib.Size()) return std::nullopt;
  return DecodeMetaDib(dib.Sub(0, bitsAt), dib.Sub(bitsAt, dib.Size() - bitsAt));
}

// StretchDIBits counts source rows from the bottom of a bottom-up DIB.
QRectF BottomUpSource(const TMetaBytes& r, size_t dibWord, const QImage& picture, QRectF source) {
  const size_t at = 6 + 2 * dibWord;
  const bool bottomUp = r.U32(at) == 12 ? r.S16(at + 6) > 0 : r.S32(at + 8) > 0;
  if (bottomUp) source.moveTop(picture.height() - source.top() - source.height());
  return source;
}

// The blit records carry a DIB unless they are exactly their bare size.
bool CarriesDib(uint16_t function, const TMetaBytes& r) { return r.Size() != 2 * size_t((function >> 8) + 3); }

void TextOut(const TMetaBytes& r, TMetaPlayer& player, QPointF at, size_t textAt, size_t count, uint32_t options,
             const std::optional<QRectF>& box, bool withAdvances) {
  if (textAt > r.Size() || count > r.Size() - textAt) throw EInvalidGraphic("Metafile text is too long");
  std::string_view bytes(reinterpret_cast<const char*>(r.At(textAt, count)), count);
  std::vector<double> advances;
  const size_t dxAt = textAt + (count + 1) / 2 * 2;
  if (withAdvances && dxAt <= r.Size() && (r.Size() - dxAt) / 2 >= count)
    for (size_t i = 0; i < count; ++i) advances.push_back(r.S16(dxAt + 2 * i));
  QString text = MetaAnsiText(bytes, advances);
  player.TextOut(at, text, options, box, advances);
}

void PlayRecord(uint16_t function, const TMetaBytes& r, TMetaPlayer& player) {
  using P = TMetaPlayer;
  switch (function) {
    case 0x0201: player.SetBkColour(ColourRef(r, 0)); break;
    case 0x0102: player.SetBkMode(W(r, 0)); break;
    case 0x0103: player.SetMapMode(W(r, 0)); break;
    case 0x0106: player.SetPolyFillMode(W(r, 0)); break;
    case 0x0209: player.SetTextColour(ColourRef(r, 0)); break;
    case 0x012E: player.SetTextAlign(UW(r, 0)); break;
    case kSetWindowOrg: player.SetWindowOrg(W(r, 1), W(r, 0)); break;
    case kSetWindowExt: player.SetWindowExt(W(r, 1), W(r, 0)); break;
    case 0x020D: player.SetViewportOrg(W(r, 1), W(r, 0)); break;
    case 0x020E: player.SetViewportExt(W(r, 1), W(r, 0)); break;
    case 0x020F: player.OffsetWindowOrg(W(r, 1), W(r, 0)); break;
    case 0x0211: player.OffsetViewportOrg(W(r, 1), W(r, 0)); break;
    case 0x0410: player.ScaleWindowExt(W(r, 3), W(r, 2), W(r, 1), W(r, 0)); break;
    case 0x0412: player.ScaleViewportExt(W(r, 3), W(r, 2), W(r, 1), W(r, 0)); break;
    case 0x0213: player.LineTo(YX(r, 0)); break;
    case 0x0214: player.MoveTo(YX(r, 0)); break;
    case 0x0415: player.ExcludeClipRect(Box(r, 0)); break;
    case 0x0416: player.IntersectClipRect(Box(r, 0)); break;
    case 0x0817: player.Arc(P::akArc, Box(r, 4), YX(r, 2), YX(r, 0)); break;
    case 0x081A: player.Arc(P::akPie, Box(r, 4), YX(r, 2), YX(r, 0)); break;
    case 0x0830: player.Arc(P::akChord, Box(r, 4), YX(r, 2), YX(r, 0)); break;
    case 0x0418: player.Ellipse(Box(r, 0)); break;
    case 0x041B: player.Rectangle(Box(r, 0)); break;
    case 0x061C: player.RoundRect(Box(r, 2), W(r, 1), W(r, 0)); break;
    case 0x061D:  // META_PATBLT: rop, height, width, y, x
      player.PatternFill(QRectF(W(r, 5), W(r, 4), W(r, 3), W(r, 2)), r.U32(6));
      break;
    case 0x001E: player.SaveDC(); break;
    case 0x0127: player.RestoreDC(W(r, 0)); break;
    case 0x041F: player.SetPixel(YX(r, 2), ColourRef(r, 0)); break;
    case 0x0521: {  // META_TEXTOUT: count, text, y, x
      const size_t count = UW(r, 0);
      const size_t words = (count + 1) / 2;
      TextOut(r, player, QPointF(W(r, 2 + words), W(r, 1 + words)), 8, count, 0, std::nullopt, false);
      break;
    }
    case 0x0A32: {  // META_EXTTEXTOUT: y, x, count, options, [rect], text, [advances]
      const size_t count = UW(r, 2);
      const uint16_t options = UW(r, 3);
      std::optional<QRectF> box;
      size_t textWord = 4;
      if (options & 6) {
        box = QRectF(QPointF(W(r, 4), W(r, 5)), QPointF(W(r, 6), W(r, 7)));
        textWord = 8;
      }
      TextOut(r, player, YX(r, 0), 6 + 2 * textWord, count, options, box, true);
      break;
    }
    case 0x0324: player.Polygon(Points(r, 1, UW(r, 0))); break;
    case 0x0325: player.Polyline(Points(r, 1, UW(r, 0))); break;
    case 0x0538: player.PolyPolygon(PolyPolygon(r)); break;
    case 0x012C: player.ResetClip(); break;  // META_SELECTCLIPREGION: only the null region is known
    case 0x012D: player.SelectObject(UW(r, 0)); break;
    case 0x01F0: player.DeleteObject(UW(r, 0)); break;
    case 0x0940: {  // META_DIBBITBLT
      const uint32_t rop = r.U32(6);
      if (!CarriesDib(function, r)) {
        player.PatternFill(QRectF(W(r, 8), W(r, 7), W(r, 6), W(r, 5)), rop);
        break;
      }
      std::optional<QImage> picture = TrailingDib(r, 8);
      if (picture)
        player.StretchPicture(QRectF(W(r, 7), W(r, 6), W(r, 5), W(r, 4)), *picture,
                              QRectF(W(r, 3), W(r, 2), W(r, 5), W(r, 4)), rop);
      break;
    }
    case 0x0B41: {  // META_DIBSTRETCHBLT
      const uint32_t rop = r.U32(6);
      if (!CarriesDib(function, r)) {
        player.PatternFill(QRectF(W(r, 10), W(r, 9), W(r, 8), W(r, 7)), rop);
        break;
      }
      std::optional<QImage> picture = TrailingDib(r, 10);
      if (picture)
        player.StretchPicture(QRectF(W(r, 9), W(r, 8), W(r, 7), W(r, 6)), *picture,
                              QRectF(W(r, 5), W(r, 4), W(r, 3), W(r, 2)), rop);
      break;
    }
    case 0x0F43: {  // META_STRETCHDIB: rop, usage, source h, w, y, x, dest h, w, y, x, DIB
      std::optional<QImage> picture = TrailingDib(r, 11);
      if (!picture) break;
      QRectF source = BottomUpSource(r, 11, *picture, QRectF(W(r, 6), W(r, 5), W(r, 4), W(r, 3)));
      player.StretchPicture(QRectF(W(r, 10), W(r, 9), W(r, 8), W(r, 7)), *picture, source, r.U32(6));
      break;
    }
    case 0x02FA: {  // META_CREATEPENINDIRECT: style, width (x, y), colour
      P::TObject o;
      o.Kind = P::TObject::Pen;
      o.PenDef = {UW(r, 0), double(W(r, 1)), ColourRef(r, 3)};
      player.AddObject(o);
      break;
    }
    case 0x02FC: {  // META_CREATEBRUSHINDIRECT: style, colour, hatch
      P::TObject o;
      o.Kind = P::TObject::Brush;
      o.BrushDef.Style = UW(r, 0) > 2 ? 0 : UW(r, 0);
      o.BrushDef.Colour = ColourRef(r, 1);
      o.BrushDef.Hatch = UW(r, 3);
      player.AddObject(o);
      break;
    }
    case 0x0142: {  // META_DIBCREATEPATTERNBRUSH: style, usage, DIB
      P::TObject o;
      o.Kind = P::TObject::Brush;
      if (std::optional<QImage> pattern = TrailingDib(r, 2)) {
        o.BrushDef.Style = 3;
        o.BrushDef.Pattern = *pattern;
      }
      player.AddObject(o);
      break;
    }
    case 0x02FB: {  // META_CREATEFONTINDIRECT
      P::TObject o;
      o.Kind = P::TObject::Font;
      P::TFontDef& f = o.FontDef;
      f.Height = W(r, 0);
      f.Width = W(r, 1);
      f.Escapement = W(r, 2);
      f.Weight = W(r, 4);
      f.Italic = r.U8(16);
      f.Underline = r.U8(17);
      f.StrikeOut = r.U8(18);
      f.Charset = r.U8(19);
      // Face name: up to 32 bytes, ended by a zero, in the system's code page.
      const size_t faceAt = 24;
      std::string face;
      for (size_t i = faceAt; i < r.Size() && i < faceAt + 32 && r.U8(i) != 0; ++i) face += char(r.U8(i));
      std::vector<double> none;
      f.Face = MetaAnsiText(face, none).toStdString();
      player.AddObject(o);
      break;
    }
    case 0x00F7:  // palettes, regions and old pattern brushes take a slot too
    case 0x01F9:
    case 0x06FF: {
      P::TObject o;
      o.Kind = P::TObject::Other;
      player.AddObject(o);
      break;
    }
    default: break;
  }
}

// Walks the records after the header: calls visit(function, record) for
// each one before the end-of-file record.
template <class Visit>
void ForEachRecord(const TMetaBytes& bytes, size_t first, Visit visit) {
  size_t at = first;
  for (;;) {
    if (bytes.Size() - at < 6) throw EInvalidGraphic("Windows metafile is truncated");
    const uint64_t size = uint64_t(bytes.U32(at)) * 2;
    const uint16_t function = bytes.U16(at + 4);
    if (size < 6 || size > bytes.Size() - at) throw EInvalidGraphic("Windows metafile record size is not valid");
    if (function == kMetaEof) return;
    visit(function, bytes.Sub(at, size_t(size)));
    at += size_t(size);
  }
}

}  // namespace

TMetaInfo ReadWmfHeader(const TMetaBytes& bytes) {
  TMetaInfo info;
  const bool placeable = bytes.Size() >= 4 && bytes.U32(0) == kPlaceableKey;
  const size_t header = placeable ? kPlaceableSize : 0;
  if (bytes.Size() < header + kHeaderSize) throw EInvalidGraphic("Not a Windows metafile");
  const uint16_t type = bytes.U16(header), words = bytes.U16(header + 2);
  if ((type != 1 && type != 2) || words != 9) throw EInvalidGraphic("Not a Windows metafile");
  info.FirstRecord = header + kHeaderSize;
  info.Handles = bytes.U16(header + 10);

  std::optional<QPointF> origin, extent;
  ForEachRecord(bytes, info.FirstRecord, [&](uint16_t function, const TMetaBytes& r) {
    if (function == kSetWindowOrg && !origin && r.Size() >= 10) origin = YX(r, 0);
    if (function == kSetWindowExt && !extent && r.Size() >= 10) extent = YX(r, 0);
  });

  if (placeable) {
    const int left = bytes.S16(6), top = bytes.S16(8), right = bytes.S16(10), bottom = bytes.S16(12);
    const int inch = bytes.U16(14);
    if (inch == 0) throw EInvalidGraphic("Windows metafile has no units per inch");
    info.Box = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
    info.MMWidth = int(std::lround(info.Box.width() * 2540 / inch));
    info.MMHeight = int(std::lround(info.Box.height() * 2540 / inch));
  } else if (extent) {
    // A plain metafile has no size of its own: its window is taken in
    // screen pixels.
    QPointF at = origin.value_or(QPointF());
    info.Box = QRectF(at, QSizeF(extent->x(), extent->y())).normalized();
    info.MMWidth = int(std::lround(info.Box.width() * 2540 / 96));
    info.MMHeight = int(std::lround(info.Box.height() * 2540 / 96));
  }
  return info;
}

void PlayWmfRecords(const TMetaBytes& bytes, const TMetaInfo& info, TMetaPlayer& player, bool strict) {
  ForEachRecord(bytes, info.FirstRecord, [&](uint16_t function, const TMetaBytes& r) {
    try {
      PlayRecord(function, r, player);
    } catch (const EInvalidGraphic&) {
      if (strict) throw;
    }
  });
}
