// Enhanced metafiles (EMF): the header, the framing of the records and
// the records that are played; all other records are skipped.
#include <algorithm>
#include <cmath>

#include "platform/metafileplay.h"

namespace {

constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr uint32_t kEmrHeader = 1, kEmrEof = 14;
constexpr size_t kHeaderMin = 88;

QPointF PointL(const TMetaBytes& r, size_t at) { return QPointF(r.S32(at), r.S32(at + 4)); }
QPointF PointS(const TMetaBytes& r, size_t at) { return QPointF(r.S16(at), r.S16(at + 2)); }
QRectF RectL(const TMetaBytes& r, size_t at) {
  QPointF a = PointL(r, at), b = PointL(r, at + 8);
  return QRectF(a, b);
}
QRgb ColourRef(const TMetaBytes& r, size_t at) {
  uint32_t c = r.U32(at);
  return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// A count of items of `itemSize` bytes at `at` that must fit in the record.
void CheckFits(const TMetaBytes& r, size_t at, uint64_t count, size_t itemSize) {
  if (at > r.Size() || count > (r.Size() - at) / itemSize) throw EInvalidGraphic("Metafile record count is too large");
}

std::vector<QPointF> Points(const TMetaBytes& r, size_t at, uint32_t count, bool small) {
  const size_t item = small ? 4 : 8;
  CheckFits(r, at, count, item);
  std::vector<QPointF> points;
  points.reserve(count);
  for (uint32_t i = 0; i < count; ++i)
    points.push_back(small ? PointS(r, at + i * item) : PointL(r, at + i * item));
  return points;
}

// EMR_POLYPOLYLINE and EMR_POLYPOLYGON in both point sizes.
std::vector<std::vector<QPointF>> PolyPoints(const TMetaBytes& r, bool small) {
  const uint32_t polys = r.U32(24), total = r.U32(28);
  CheckFits(r, 32, polys, 4);
  const size_t pointsAt = 32 + size_t(polys) * 4;
  CheckFits(r, pointsAt, total, small ? 4 : 8);
  std::vector<QPointF> all = Points(r, pointsAt, total, small);
  std::vector<std::vector<QPointF>> result;
  size_t next = 0;
  for (uint32_t i = 0; i < polys; ++i) {
    const uint32_t count = r.U32(32 + size_t(i) * 4);
    if (count > all.size() - next) throw EInvalidGraphic("Metafile polygon counts exceed the points");
    result.emplace_back(all.begin() + next, all.begin() + next + count);
    next += count;
  }
  return result;
}

QTransform XForm(const TMetaBytes& r, size_t at) {
  double m[6];
  for (int i = 0; i < 6; ++i) {
    m[i] = r.F32(at + 4 * i);
    if (!std::isfinite(m[i])) throw EInvalidGraphic("Metafile transform is not valid");
  }
  return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

// The DIB a record carries at the offsets it names.
std::optional<QImage> RecordDib(const TMetaBytes& r, size_t offBmiAt, size_t cbBmiAt, size_t offBitsAt,
                                size_t cbBitsAt) {
  const uint32_t offBmi = r.U32(offBmiAt), cbBmi = r.U32(cbBmiAt);
  const uint32_t offBits = r.U32(offBitsAt), cbBits = r.U32(cbBitsAt);
  if (cbBmi == 0) return std::nullopt;
  return DecodeMetaDib(r.Sub(offBmi, cbBmi), r.Sub(offBits, cbBits));
}

// Source rectangle of StretchDIBits, whose y counts from the bottom of a
// bottom-up DIB, in top-down picture rows.
QRectF DibSource(const QImage& picture, const TMetaBytes& info, double x, double y, double w, double h) {
  const bool bottomUp = info.U32(0) == 12 ? info.S16(6) > 0 : info.S32(8) > 0;
  if (bottomUp) y = picture.height() - y - h;
  return QRectF(x, y, w, h);
}

QString WideText(const TMetaBytes& r, uint32_t offset, uint32_t chars) {
  CheckFits(r, offset, chars, 2);
  const uint8_t* p = r.At(offset, size_t(chars) * 2);
  QString s;
  s.reserve(chars);
  for (uint32_t i = 0; i < chars; ++i) s.append(QChar(char16_t(p[2 * i] | p[2 * i + 1] << 8)));
  return s;
}

void ExtTextOut(const TMetaBytes& r, TMetaPlayer& player, bool wide) {
  const QPointF at = PointL(r, 36);
  const uint32_t chars = r.U32(44), offString = r.U32(48), options = r.U32(52);
  const QRectF rect = RectL(r, 56);
  const uint32_t offDx = r.U32(72);
  std::vector<double> advances;
  if (offDx != 0) {
    const bool pairs = options & 0x2000;  // ETO_PDY: x and y advances
    const uint64_t count = uint64_t(chars) * (pairs ? 2 : 1);
    CheckFits(r, offDx, count, 4);
    for (uint32_t i = 0; i < chars; ++i) advances.push_back(r.S32(offDx + size_t(i) * (pairs ? 8 : 4)));
  }
  QString text;
  if (wide) {
    text = WideText(r, offString, chars);
  } else {
    CheckFits(r, offString, chars, 1);
    text = MetaAnsiText(std::string_view(reinterpret_cast<const char*>(r.At(offString, chars)), chars), advances);
  }
  std::optional<QRectF> box;
  if (options & 6) box = rect;
  player.TextOut(at, text, options, box, advances);
}

void PlayRecord(uint32_t type, const TMetaBytes& r, TMetaPlayer& player) {
  using P = TMetaPlayer;
  switch (type) {
    case 2: player.PolyBezier(Points(r, 28, r.U32(24), false), false); break;
    case 3: player.Polygon(Points(r, 28, r.U32(24), false)); break;
    case 4: player.Polyline(Points(r, 28, r.U32(24), false)); break;
    case 5: player.PolyBezier(Points(r, 28, r.U32(24), false), true); break;
    case 6: player.PolylineTo(Points(r, 28, r.U32(24), false)); break;
    case 7: player.PolyPolyline(PolyPoints(r, false)); break;
    case 8: player.PolyPolygon(PolyPoints(r, false)); break;
    case 9: player.SetWindowExt(r.S32(8), r.S32(12)); break;
    case 10: player.SetWindowOrg(r.S32(8), r.S32(12)); break;
    case 11: player.SetViewportExt(r.S32(8), r.S32(12)); break;
    case 12: player.SetViewportOrg(r.S32(8), r.S32(12)); break;
    case 15: player.SetPixel(PointL(r, 8), ColourRef(r, 16)); break;
    case 17: player.SetMapMode(int(r.U32(8))); break;
    case 18: player.SetBkMode(int(r.U32(8))); break;
    case 19: player.SetPolyFillMode(int(r.U32(8))); break;
    case 22: player.SetTextAlign(r.U32(8)); break;
    case 24: player.SetTextColour(ColourRef(r, 8)); break;
    case 25: player.SetBkColour(ColourRef(r, 8)); break;
    case 27: player.MoveTo(PointL(r, 8)); break;
    case 29: player.ExcludeClipRect(RectL(r, 8)); break;
    case 30: player.IntersectClipRect(RectL(r, 8)); break;
    case 31: player.ScaleViewportExt(r.S32(8), r.S32(12), r.S32(16), r.S32(20)); break;
    case 32: player.ScaleWindowExt(r.S32(8), r.S32(12), r.S32(16), r.S32(20)); break;
    case 33: player.SaveDC(); break;
    case 34: player.RestoreDC(r.S32(8)); break;
    case 35: player.SetWorldTransform(XForm(r, 8)); break;
    case 36: player.ModifyWorldTransform(XForm(r, 8), r.U32(32)); break;
    case 37: player.SelectObject(r.U32(8)); break;
    case 38: {  // EMR_CREATEPEN
      P::TObject o;
      o.Kind = P::TObject::Pen;
      o.PenDef = {r.U32(12), double(r.S32(16)), ColourRef(r, 24)};
      player.PutObject(r.U32(8), o);
      break;
    }
    case 39: {  // EMR_CREATEBRUSHINDIRECT
      P::TObject o;
      o.Kind = P::TObject::Brush;
      o.BrushDef.Style = r.U32(12);
      o.BrushDef.Colour = ColourRef(r, 16);
      o.BrushDef.Hatch = r.U32(20);
      if (o.BrushDef.Style > 2) o.BrushDef.Style = 0;
      player.PutObject(r.U32(8), o);
      break;
    }
    case 40: player.DeleteObject(r.U32(8)); break;
    case 42: player.Ellipse(RectL(r, 8)); break;
    case 43: player.Rectangle(RectL(r, 8)); break;
    case 44: player.RoundRect(RectL(r, 8), r.S32(24), r.S32(28)); break;
    case 45: player.Arc(P::akArc, RectL(r, 8), PointL(r, 24), PointL(r, 32)); break;
    case 46: player.Arc(P::akChord, RectL(r, 8), PointL(r, 24), PointL(r, 32)); break;
    case 47: player.Arc(P::akPie, RectL(r, 8), PointL(r, 24), PointL(r, 32)); break;
    case 54: player.LineTo(PointL(r, 8)); break;
    case 59: player.BeginPath(); break;
    case 60: player.EndPath(); break;
    case 61: player.CloseFigure(); break;
    case 62: player.DrawCurrentPath(true, false); break;
    case 63: player.DrawCurrentPath(true, true); break;
    case 64: player.DrawCurrentPath(false, true); break;
    case 68: player.DrawCurrentPath(false, false); break;  // abort: the path is dropped
    case 75: {  // EMR_EXTSELECTCLIPRGN
      const uint32_t bytes = r.U32(8), mode = r.U32(12);
      if (bytes == 0) {
        if (mode == 5) player.ResetClip();
        break;
      }
      TMetaBytes data = r.Sub(16, bytes);
      const uint32_t count = data.U32(8);
      CheckFits(data, 32, count, 16);
      std::vector<QRectF> rects;
      for (uint32_t i = 0; i < count; ++i) rects.push_back(RectL(data, 32 + size_t(i) * 16));
      player.SelectClipRects(rects, mode);
      break;
    }
    case 76:    // EMR_BITBLT
    case 77: {  // EMR_STRETCHBLT
      QRectF dest(r.S32(24), r.S32(28), r.S32(32), r.S32(36));
      const uint32_t rop = r.U32(40);
      std::optional<QImage> picture = RecordDib(r, 84, 88, 92, 96);
      if (r.U32(88) == 0) {
        player.PatternFill(dest, rop);
      } else if (picture) {
        QSizeF size = type == 77 ? QSizeF(r.S32(100), r.S32(104)) : dest.size();
        player.StretchPicture(dest, *picture, QRectF(QPointF(r.S32(44), r.S32(48)), size), rop);
      }
      break;
    }
    case 81: {  // EMR_STRETCHDIBITS
      std::optional<QImage> picture = RecordDib(r, 48, 52, 56, 60);
      if (!picture) break;
      QRectF dest(r.S32(24), r.S32(28), r.S32(72), r.S32(76));
      QRectF source = DibSource(*picture, r.Sub(r.U32(48), r.U32(52)), r.S32(32), r.S32(36), r.S32(40), r.S32(44));
      player.StretchPicture(dest, *picture, source, r.U32(68));
      break;
    }
    case 82: {  // EMR_EXTCREATEFONTINDIRECTW
      P::TObject o;
      o.Kind = P::TObject::Font;
      P::TFontDef& f = o.FontDef;
      f.Height = r.S32(12);
      f.Width = r.S32(16);
      f.Escapement = r.S32(20);
      f.Weight = r.S32(28);
      f.Italic = r.U8(32);
      f.Underline = r.U8(33);
      f.StrikeOut = r.U8(34);
      f.Charset = r.U8(35);
      QString face = WideText(r, 40, 32);
      f.Face = face.left(face.indexOf(QChar(0)) < 0 ? 32 : face.indexOf(QChar(0))).toStdString();
      player.PutObject(r.U32(8), o);
      break;
    }
    case 83: ExtTextOut(r, player, false); break;
    case 84: ExtTextOut(r, player, true); break;
    case 85: player.PolyBezier(Points(r, 28, r.U32(24), true), false); break;
    case 86: player.Polygon(Points(r, 28, r.U32(24), true)); break;
    case 87: player.Polyline(Points(r, 28, r.U32(24), true)); break;
    case 88: player.PolyBezier(Points(r, 28, r.U32(24), true), true); break;
    case 89: player.PolylineTo(Points(r, 28, r.U32(24), true)); break;
    case 90: player.PolyPolyline(PolyPoints(r, true)); break;
    case 91: player.PolyPolygon(PolyPoints(r, true)); break;
    case 93:    // EMR_CREATEMONOBRUSH
    case 94: {  // EMR_CREATEDIBPATTERNBRUSHPT
      P::TObject o;
      o.Kind = P::TObject::Brush;
      std::optional<QImage> pattern = RecordDib(r, 16, 20, 24, 28);
      if (pattern) {
        o.BrushDef.Style = 3;
        o.BrushDef.Pattern = *pattern;
      }
      player.PutObject(r.U32(8), o);
      break;
    }
    case 95: {  // EMR_EXTCREATEPEN
      P::TObject o;
      o.Kind = P::TObject::Pen;
      o.PenDef = {r.U32(28), double(r.U32(32)), ColourRef(r, 40)};
      if (r.U32(36) == 1) o.PenDef.Style = (o.PenDef.Style & ~0xFu) | 5;  // a hollow brush draws nothing
      player.PutObject(r.U32(8), o);
      break;
    }
    default: break;
  }
}

}  // namespace

bool IsEnhancedMetafile(const TMetaBytes& bytes) {
  return bytes.Size() >= kHeaderMin && bytes.U32(0) == kEmrHeader && bytes.U32(40) == kEmfSignature;
}

TMetaInfo ReadEmfHeader(const TMetaBytes& bytes) {
  if (!IsEnhancedMetafile(bytes)) throw EInvalidGraphic("Not an enhanced metafile");
  TMetaInfo info;
  info.Enhanced = true;
  const uint32_t headerSize = bytes.U32(4);
  if (headerSize < kHeaderMin || headerSize > bytes.Size()) throw EInvalidGraphic("Enhanced metafile header is not valid");
  info.FirstRecord = headerSize;
  const int64_t left = bytes.S32(24), top = bytes.S32(28), right = bytes.S32(32), bottom = bytes.S32(36);
  const int64_t mmWidth = right - left, mmHeight = bottom - top;
  if (mmWidth < 0 || mmHeight < 0 || mmWidth > INT32_MAX || mmHeight > INT32_MAX)
    throw EInvalidGraphic("Enhanced metafile frame is not valid");
  info.MMWidth = int(mmWidth);
  info.MMHeight = int(mmHeight);
  const int32_t devX = bytes.S32(72), devY = bytes.S32(76), mmX = bytes.S32(80), mmY = bytes.S32(84);
  if (devX > 0 && devY > 0 && mmX > 0 && mmY > 0) {
    info.PixelsPerMMX = double(devX) / mmX;
    info.PixelsPerMMY = double(devY) / mmY;
  }
  info.Box = QRectF(left * info.PixelsPerMMX / 100, top * info.PixelsPerMMY / 100, mmWidth * info.PixelsPerMMX / 100,
                    mmHeight * info.PixelsPerMMY / 100);
  info.Handles = std::max<uint32_t>(bytes.U16(56), 1);

  // Every record lies inside the bytes and the last one ends the file.
  size_t at = 0;
  for (;;) {
    if (bytes.Size() - at < 8) throw EInvalidGraphic("Enhanced metafile is truncated");
    const uint32_t type = bytes.U32(at), size = bytes.U32(at + 4);
    if (size < 8 || size > bytes.Size() - at) throw EInvalidGraphic("Enhanced metafile record size is not valid");
    if (type == kEmrEof) break;
    at += size;
  }
  return info;
}

void PlayEmfRecords(const TMetaBytes& bytes, const TMetaInfo& info, TMetaPlayer& player, bool strict) {
  size_t at = info.FirstRecord;
  while (bytes.Size() - at >= 8) {
    const uint32_t type = bytes.U32(at), size = bytes.U32(at + 4);
    if (size < 8 || size > bytes.Size() - at || type == kEmrEof) return;
    try {
      PlayRecord(type, bytes.Sub(at, size), player);
    } catch (const EInvalidGraphic&) {
      if (strict) throw;
    }
    at += size;
  }
}
