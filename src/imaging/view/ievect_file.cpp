// TPixVect: the IEV object stream and the object record it shares with the
// object clipboard.
//
// Stream: "IEV", a version character ("1" to ":" read, ":" written), the
// total length (int32), Scale (double; int32 in version "1"), the bitmap
// table (count, then per entry its references and, when above 0, a PNG
// picture and the zlib-compressed alpha rows) and a zlib section with the
// object count and the object records. Every count, length and index read
// is checked; a damaged stream loads nothing and leaves the layer as it was.
#include <algorithm>
#include <cstring>
#include <memory>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/io/bmpfilt.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/pngfilt.h"
#include "imaging/view/ievect.h"
#include "imaging/view/ievect_stream.h"

// Limits of what a stream may ask for: far above anything the layer makes,
// low enough that a few damaged bytes cannot exhaust memory.
namespace {
constexpr int kMaxGroupDepth = 16;
constexpr int32_t kMaxObjects = 1000000;
constexpr int32_t kMaxPolylinePoints = 1 << 22;
constexpr int32_t kMaxStringLength = 1 << 20;
}  // namespace

// Reading and writing helpers ------------------------------------------------------------

void IEVReadExact(TStream* s, void* buf, int64_t n) {
  if (n <= 0) return;
  if (s->Read(buf, n) != n) throw EIEVectorError("IEV stream: unexpected end of data");
}

int32_t IEVReadInt(TStream* s) {
  uint8_t b[4];
  IEVReadExact(s, b, 4);
  return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

uint8_t IEVReadByte(TStream* s) {
  uint8_t b;
  IEVReadExact(s, &b, 1);
  return b;
}

double IEVReadDouble(TStream* s) {
  uint8_t b[8];
  IEVReadExact(s, b, 8);
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | b[i];
  double d;
  std::memcpy(&d, &v, 8);
  return d;
}

int32_t IEVReadCount(TStream* s, int32_t limit, const char* what) {
  const int32_t n = IEVReadInt(s);
  if (n < 0 || n > limit) throw EIEVectorError(std::string("IEV stream: bad ") + what);
  return n;
}

std::string IEVReadString(TStream* s) {
  const int32_t n = IEVReadCount(s, kMaxStringLength, "string length");
  std::string r(size_t(n), '\0');
  IEVReadExact(s, r.data(), n);
  return r;
}

void IEVWriteInt(TStream* s, int32_t v) {
  const uint32_t u = uint32_t(v);
  const uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
  s->WriteBuffer(b, 4);
}

void IEVWriteByte(TStream* s, uint8_t v) { s->WriteBuffer(&v, 1); }

void IEVWriteDouble(TStream* s, double d) {
  uint64_t v;
  std::memcpy(&v, &d, 8);
  uint8_t b[8];
  for (int i = 0; i < 8; ++i) b[i] = uint8_t(v >> (8 * i));
  s->WriteBuffer(b, 8);
}

void IEVWriteString(TStream* s, const std::string& v) {
  IEVWriteInt(s, int32_t(v.size()));
  s->WriteBuffer(v.data(), int64_t(v.size()));
}

void IEVWritePicture(TStream* s, TBitmap* bitmap) {
  TIEBitmap ieb;
  ieb.Location = ieMemory;
  ieb.CopyFromTBitmap(bitmap);
  TIOParamsVals params(nullptr);
  bool aborting = false;
  TProgressRec progress;
  progress.Aborting = &aborting;
  WritePNGStream(s, &ieb, params, progress, nullptr);
  if (aborting) throw EIEVectorError("IEV stream: picture not written");
}

std::unique_ptr<TBitmap> IEVReadPicture(TStream* s, bool png) {
  TIEBitmap ieb;
  ieb.Location = ieMemory;
  TIOParamsVals params(nullptr);
  bool aborting = false;
  TProgressRec progress;
  progress.Aborting = &aborting;
  TIEMask* mask = nullptr;
  if (png)
    ReadPNGStream(s, &ieb, params, progress, false, mask, true);
  else
    BMPReadStream(s, &ieb, 0, params, progress, false);
  delete mask;
  if (aborting || ieb.Width <= 0 || ieb.Height <= 0) throw EIEVectorError("IEV stream: damaged picture");
  auto b = std::make_unique<TBitmap>();
  ieb.CopyToTBitmap(b.get());
  return b;
}

// A zlib section that asks for a preset dictionary cannot be ours; the
// decompression stream would wait for that dictionary for ever.
void IEVCheckZlibHeader(TStream* s) {
  const int64_t at = s->GetPosition();
  uint8_t head[2];
  const int64_t got = s->Read(head, 2);
  s->SetPosition(at);
  if (got == 2 && (head[1] & 0x20)) throw EIEVectorError("IEV stream: compressed section needs a dictionary");
}

// The object record ---------------------------------------------------------------------------

void TPixVect::SaveObj(TStream* stream, int h) {
  if (h == kIEVAll) {
    for (int k : list_) SaveObj(stream, k);
    return;
  }
  const TIEVObject* o = GetObj(h);
  // A kind-0 record would read back as a group header: such objects are
  // not written.
  if (!o || o->Kind == iekNONE || o->Kind > kIEVLastKind) return;
  for (int32_t v : {o->x1, o->y1, o->x2, o->y2}) IEVWriteInt(stream, v);
  IEVWriteByte(stream, o->Kind);
  IEVWriteString(stream, o->Name);
  IEVWriteInt(stream, o->ID);
  IEVWriteInt(stream, o->PenColor);
  IEVWriteByte(stream, uint8_t(o->PenStyle));
  IEVWriteInt(stream, o->PenWidth);
  IEVWriteInt(stream, o->BrushColor);
  IEVWriteByte(stream, uint8_t(o->BrushStyle));
  IEVWriteByte(stream, o->Style);
  switch (o->Kind) {
    case iekLINE:
      IEVWriteByte(stream, o->BeginShape);
      IEVWriteByte(stream, o->EndShape);
      IEVWriteInt(stream, o->ShapeWidth);
      IEVWriteInt(stream, o->ShapeHeight);
      break;
    case iekARC:
      IEVWriteDouble(stream, o->ArcStart);
      IEVWriteDouble(stream, o->ArcEnd);
      break;
    case iekBITMAP: IEVWriteInt(stream, o->BitmapIdx); break;
    case iekTEXT:
      IEVWriteByte(stream, uint8_t(o->TextAlign));
      IEVWriteByte(stream, o->TextAutoSize ? 1 : 0);
      IEVWriteString(stream, o->Text.value_or(""));
      IEVWriteByte(stream, o->Font ? 1 : 0);
      if (o->Font) stream->WriteBuffer(&*o->Font, sizeof(LOGFONTA));
      break;
    case iekRULER:
      IEVWriteByte(stream, o->RulerUnit);
      IEVWriteByte(stream, o->RulerType);
      break;
    case iekPOLYLINE:
      IEVWriteInt(stream, int32_t(o->PolylinePoints.size()));
      for (const TPoint& p : o->PolylinePoints) {
        IEVWriteInt(stream, p.x);
        IEVWriteInt(stream, p.y);
      }
      for (int32_t v : {o->PolylineBaseRect.Left, o->PolylineBaseRect.Top, o->PolylineBaseRect.Right,
                        o->PolylineBaseRect.Bottom})
        IEVWriteInt(stream, v);
      break;
    case iekANGLE:
      for (const TPoint& p : o->AnglePoints) {
        IEVWriteInt(stream, p.x);
        IEVWriteInt(stream, p.y);
      }
      break;
    default: break;
  }
}

int TPixVect::ReadObj(TStream* stream, char version, bool withbitmaps) {
  return ReadObjNested(stream, version, withbitmaps, 0, withbitmaps ? int(bitmaps_.size()) : 0);
}

// bitmapLimit: the entries of the file's table that an object may name.
int TPixVect::ReadObjNested(TStream* stream, char version, bool withbitmaps, int depth, int bitmapLimit) {
  TIEVObject o = templ_;
  o.BitmapIdx = -1;
  o.PolylinePoints.clear();
  o.x1 = IEVReadInt(stream);
  o.y1 = IEVReadInt(stream);
  o.x2 = IEVReadInt(stream);
  o.y2 = IEVReadInt(stream);
  const uint8_t kind = IEVReadByte(stream);
  if (kind > kIEVLastKind) throw EIEVectorError("IEV stream: unknown object kind");
  o.Kind = TIEVObjectKind(kind);
  o.Name = IEVReadString(stream);
  o.ID = IEVReadInt(stream);
  o.PenColor = IEVReadInt(stream);
  const uint8_t penStyle = IEVReadByte(stream);
  o.PenStyle = TPenStyle(std::min<uint8_t>(penStyle, psInsideFrame));
  o.PenWidth = IEVReadInt(stream);
  o.BrushColor = IEVReadInt(stream);
  const uint8_t brushStyle = IEVReadByte(stream);
  o.BrushStyle = TBrushStyle(std::min<uint8_t>(brushStyle, bsDiagCross));
  o.Style = IEVReadByte(stream) & kIEVAllStyles;
  switch (o.Kind) {
    case iekNONE: {
      // A group: its records are read and added; the group makes no object.
      if (depth >= kMaxGroupDepth) throw EIEVectorError("IEV stream: groups nested too deep");
      const int32_t n = IEVReadCount(stream, kMaxObjects, "group size");
      for (int32_t i = 0; i < n; ++i) {
        if (int(list_.size()) >= kMaxObjects) throw EIEVectorError("IEV stream: too many objects");
        ReadObjNested(stream, version, withbitmaps, depth + 1, bitmapLimit);
      }
      return kIEVNone;
    }
    case iekLINE: {
      const uint8_t b = IEVReadByte(stream), e = IEVReadByte(stream);
      o.BeginShape = TIEShape(std::min<uint8_t>(b, iesOUTARROW));
      o.EndShape = TIEShape(std::min<uint8_t>(e, iesOUTARROW));
      o.ShapeWidth = IEVReadInt(stream);
      o.ShapeHeight = IEVReadInt(stream);
      break;
    }
    case iekARC:
      o.ArcStart = IEVReadDouble(stream);
      o.ArcEnd = IEVReadDouble(stream);
      break;
    case iekBITMAP: {
      const int32_t idx = IEVReadInt(stream);
      if (idx < -1 || idx >= bitmapLimit || (idx >= 0 && !bitmaps_[size_t(idx)].Bitmap))
        if (withbitmaps) throw EIEVectorError("IEV stream: bitmap index out of range");
      o.BitmapIdx = withbitmaps ? idx : -1;
      break;
    }
    case iekTEXT: {
      if (version >= '4') o.TextAlign = TAlignment(std::min<uint8_t>(IEVReadByte(stream), taCenter));
      else o.TextAlign = taLeftJustify;
      if (version >= '9') o.TextAutoSize = IEVReadByte(stream) != 0;
      else o.TextAutoSize = false;
      o.Text = IEVReadString(stream);
      if (IEVReadByte(stream) != 0) {
        LOGFONTA lf;
        IEVReadExact(stream, &lf, sizeof lf);
        lf.lfFaceName[sizeof lf.lfFaceName - 1] = 0;
        o.Font = lf;
      } else {
        o.Font.reset();
      }
      break;
    }
    case iekRULER:
      if (version >= '5') {
        o.RulerUnit = TIEUnits(std::min<uint8_t>(IEVReadByte(stream), kIEVLastUnit));
        o.RulerType = TIEVRulerType(std::min<uint8_t>(IEVReadByte(stream), iertQUOTEEND));
      }
      break;
    case iekPOLYLINE:
      if (version >= '8') {
        const int32_t n = IEVReadCount(stream, kMaxPolylinePoints, "polyline point count");
        // Grown as the points arrive: a large count in a short stream
        // fails before it costs memory.
        o.PolylinePoints.reserve(size_t(std::min(n, 4096)));
        for (int32_t i = 0; i < n; ++i) {
          const int32_t x = IEVReadInt(stream);
          o.PolylinePoints.push_back({x, IEVReadInt(stream)});
        }
        o.PolylineBaseRect.Left = IEVReadInt(stream);
        o.PolylineBaseRect.Top = IEVReadInt(stream);
        o.PolylineBaseRect.Right = IEVReadInt(stream);
        o.PolylineBaseRect.Bottom = IEVReadInt(stream);
      }
      break;
    case iekANGLE:
      if (version >= ':')
        for (TPoint& p : o.AnglePoints) {
          p.x = IEVReadInt(stream);
          p.y = IEVReadInt(stream);
        }
      break;
    default: break;
  }
  if (int(list_.size()) >= kMaxObjects) throw EIEVectorError("IEV stream: too many objects");
  return AddVObject(o);
}

// The stream -----------------------------------------------------------------------------------

void TPixVect::SaveToStreamIEV(TStream* stream) {
  PackBMP();
  const int64_t start = stream->GetPosition();
  stream->WriteBuffer("IEV:", 4);
  IEVWriteInt(stream, 0);
  IEVWriteDouble(stream, scale_);
  IEVWriteInt(stream, int32_t(bitmaps_.size()));
  for (size_t i = 0; i < bitmaps_.size(); ++i) {
    const TIEVBitmapEntry& e = bitmaps_[i];
    const int32_t refs = e.Refs - (templ_.BitmapIdx == int(i) ? 1 : 0);
    IEVWriteInt(stream, refs);
    if (refs < 1) continue;
    IEVWritePicture(stream, e.Bitmap.get());
    TMemoryStream alpha;
    {
      TCompressionStream z(TCompressionLevel::clDefault, &alpha);
      z.WriteBuffer(e.Alpha->Bits, int64_t(e.Alpha->RowLen) * e.Alpha->Height);
      z.Finish();
    }
    IEVWriteInt(stream, int32_t(alpha.GetSize()));
    stream->WriteBuffer(alpha.Memory(), alpha.GetSize());
  }
  {
    TCompressionStream z(TCompressionLevel::clDefault, stream);
    int32_t count = 0;
    for (int h : list_)
      if (records_[size_t(h)].Kind != iekNONE) ++count;
    IEVWriteInt(&z, count);
    SaveObj(&z, kIEVAll);
    z.Finish();
  }
  const int64_t end = stream->GetPosition();
  stream->SetPosition(start + 4);
  IEVWriteInt(stream, int32_t(end - start));
  stream->SetPosition(end);
}

// The body after the signature: everything a load replaces.
void TPixVect::ReadIEVBody(TStream* stream, char version) {
  IEVReadInt(stream);  // total length: not needed to read
  scale_ = version == '1' ? double(IEVReadInt(stream)) : IEVReadDouble(stream);
  // Each entry takes at least its 4-byte count.
  const int64_t left = stream->GetSize() - stream->GetPosition();
  const int32_t n = IEVReadInt(stream);
  if (n < 0 || int64_t(n) * 4 > left) throw EIEVectorError("IEV stream: bad bitmap count");
  bitmaps_.resize(size_t(n));
  for (int32_t i = 0; i < n; ++i) {
    if (IEVReadInt(stream) <= 0) continue;
    TIEVBitmapEntry& e = bitmaps_[size_t(i)];
    e.Bitmap = IEVReadPicture(stream, version >= '3');
    e.Alpha = std::make_unique<TIEMask>();
    e.Alpha->AllocateBits(e.Bitmap->GetWidth(), e.Bitmap->GetHeight(), 8);
    e.Alpha->Fill(255);
    if (version < '7') continue;
    const int32_t size = IEVReadInt(stream);
    if (size < 0 || size > stream->GetSize() - stream->GetPosition())
      throw EIEVectorError("IEV stream: bad alpha size");
    TMemoryStream packed;
    packed.SetSize(size);
    IEVReadExact(stream, packed.Memory(), size);
    packed.SetPosition(0);
    IEVCheckZlibHeader(&packed);
    TDecompressionStream z(&packed);
    // The alpha must be exactly the mask's rows, no fewer and no more.
    IEVReadExact(&z, e.Alpha->Bits, int64_t(e.Alpha->RowLen) * e.Alpha->Height);
    uint8_t extra;
    if (z.Read(&extra, 1) != 0) throw EIEVectorError("IEV stream: alpha larger than its picture");
    e.Alpha->Full = false;
  }
  IEVCheckZlibHeader(stream);
  TDecompressionStream z(stream);
  const int32_t m = IEVReadCount(&z, kMaxObjects, "object count");
  for (int32_t i = 0; i < m; ++i) ReadObjNested(&z, version, true, 0, n);
}

bool TPixVect::LoadFromStreamIEV(TStream* stream) {
  if (!stream) return false;
  const int64_t at = stream->GetPosition();
  char head[4];
  if (stream->Read(head, 4) != 4 || std::memcmp(head, "IEV", 3) != 0 || head[3] < '1' || head[3] > ':') {
    stream->SetPosition(at);
    return false;
  }
  CancelInteracts();
  const bool share = ShareBitmaps;
  ShareBitmaps = true;
  // The template's bitmap survives the load; everything else is replaced.
  std::unique_ptr<TBitmap> keptBitmap;
  std::unique_ptr<TIEMask> keptAlpha;
  if (TBitmap* b = GetBitmap(templ_.BitmapIdx)) {
    keptBitmap = std::make_unique<TBitmap>();
    keptBitmap->Assign(b);
    keptAlpha = std::make_unique<TIEMask>();
    keptAlpha->Assign(GetBitmapAlpha(templ_.BitmapIdx));
  }
  TModel saved = TakeModel();
  templ_.BitmapIdx = -1;
  bool ok = true;
  try {
    ReadIEVBody(stream, head[3]);
  } catch (const Exception&) {
    ok = false;
  } catch (const std::exception&) {
    ok = false;
  }
  ShareBitmaps = share;
  if (!ok) {
    PutModel(std::move(saved));
    stream->SetPosition(at);
    return false;
  }
  RecalcCoef();
  // Pictures that no object uses are not kept (they would be written back
  // without their picture).
  for (TIEVBitmapEntry& e : bitmaps_)
    if (e.Refs <= 0) e = TIEVBitmapEntry{};
  if (keptBitmap) SetObjBitmapNU(kIEVTemplate, keptBitmap.get(), keptAlpha.get());
  DoVectorialChanged();
  Update();
  return true;
}

void TPixVect::SaveToFileIEV(const std::string& name) {
  TFileStream f(name, fmCreate);
  SaveToStreamIEV(&f);
}

bool TPixVect::LoadFromFileIEV(const std::string& name) {
  TFileStream f(name, fmOpenRead | fmShareDenyWrite);
  return LoadFromStreamIEV(&f);
}
