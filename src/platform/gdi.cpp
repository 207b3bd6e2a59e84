#include "platform/gdi.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

#include "platform/raster.h"

// Device contexts ------------------------------------------------------------------

namespace {

// What a memory context draws on: the bitmap selected into it.
class TSelectedBitmapTarget : public TCanvasTarget {
 public:
  HBITMAP bitmap = nullptr;
  TPixelSurface Surface() override { return bitmap ? bitmap->Surface() : TPixelSurface(); }
  void Changed() override {
    if (bitmap && bitmap->bitmap) bitmap->bitmap->Changed();
  }
};

// The screen: a resolution and a size, no pixels.
class TScreenTarget : public TCanvasTarget {
 public:
  TPixelSurface Surface() override { return TPixelSurface(); }
};

}  // namespace

struct TDeviceContext {
  TCanvas* canvas = nullptr;
  bool ownsCanvas = false;
  TSelectedBitmapTarget* memoryTarget = nullptr;  // memory contexts only
  HBITMAP defaultBitmap = nullptr;
  HFONT font = nullptr;
  HPALETTE palette = nullptr;
  bool screen = false;
};

namespace {

// Sets one drawing state of the context's canvas; returns the old value, or
// `failed` without a context.
template <typename T>
T Exchange(HDC dc, T TCanvas::*field, T value, T failed) {
  if (dc == nullptr) return failed;
  T old = dc->canvas->*field;
  dc->canvas->*field = value;
  return old;
}

template <typename T>
bool ExchangeEx(HDC dc, T TCanvas::*field, T value, T* old) {
  if (dc == nullptr) return false;
  T previous = Exchange(dc, field, value, T{});
  if (old) *old = previous;
  return true;
}

void Select(HGDIOBJ& slot, HGDIOBJ object) {
  if (slot) --slot->selectedIn;
  slot = object;
  if (slot) ++slot->selectedIn;
}

TDeviceContext& ScreenContext() {
  static TDeviceContext* screen = [] {
    auto* dc = new TDeviceContext;
    dc->canvas = new TCanvas(new TScreenTarget);
    dc->ownsCanvas = true;
    dc->screen = true;
    return dc;
  }();
  return *screen;
}

}  // namespace

HDC TCanvas::GetHandle() {
  if (handle_ == nullptr) handle_ = new TDeviceContext{this};
  return handle_;
}

void ReleaseCanvasHandle(HDC dc) {
  if (dc == nullptr) return;
  HGDIOBJ font = dc->font, palette = dc->palette;
  Select(font, nullptr);
  Select(palette, nullptr);
  delete dc;
}

TCanvas* CanvasOf(HDC dc) { return dc ? dc->canvas : nullptr; }

HDC CreateCompatibleDC(HDC) {
  auto* dc = new TDeviceContext;
  dc->memoryTarget = new TSelectedBitmapTarget;
  dc->canvas = new TCanvas(dc->memoryTarget);
  dc->ownsCanvas = true;
  dc->defaultBitmap = new TGdiBitmap;
  dc->defaultBitmap->bitmap = new TBitmap;
  dc->defaultBitmap->ownsBitmap = true;
  dc->defaultBitmap->bitmap->SetPixelFormat(pf1bit);
  dc->defaultBitmap->bitmap->SetSize(1, 1);
  HGDIOBJ slot = nullptr;
  Select(slot, dc->defaultBitmap);
  dc->memoryTarget->bitmap = dc->defaultBitmap;
  return dc;
}

bool DeleteDC(HDC dc) {
  if (dc == nullptr || dc->screen || !dc->ownsCanvas) return false;
  if (dc->memoryTarget) {
    HBITMAP selected = dc->memoryTarget->bitmap;
    HGDIOBJ slot = selected;
    Select(slot, nullptr);
    // A bitmap whose TBitmap went away while selected is freed here.
    if (selected && selected != dc->defaultBitmap && selected->selectedIn == 0 && !selected->bitmap && !selected->bits)
      delete selected;
    delete dc->defaultBitmap;
  }
  HGDIOBJ font = dc->font, palette = dc->palette;
  Select(font, nullptr);
  Select(palette, nullptr);
  delete dc->canvas;  // deletes the memory target too
  delete dc;
  return true;
}

HDC GetDC(void* window) { return window == nullptr ? &ScreenContext() : nullptr; }

int ReleaseDC(void*, HDC dc) { return dc == &ScreenContext() ? 1 : 0; }

int GetDeviceCaps(HDC dc, int index) {
  if (dc == nullptr) return 0;
  TCanvas* c = dc->canvas;
  TPixelSurface s = c->Target()->Surface();
  int w = s.Valid() ? s.width : ScreenWidth();
  int h = s.Valid() ? s.height : ScreenHeight();
  int dpiX = c->PixelsPerInchX(), dpiY = c->PixelsPerInchY();
  switch (index) {
    case LOGPIXELSX: return dpiX;
    case LOGPIXELSY: return dpiY;
    case HORZRES:
    case PHYSICALWIDTH: return w;
    case VERTRES:
    case PHYSICALHEIGHT: return h;
    case HORZSIZE: return int(std::lround(w * 25.4 / dpiX));
    case VERTSIZE: return int(std::lround(h * 25.4 / dpiY));
    case BITSPIXEL: return s.Valid() ? s.BitCount() : 32;
    case PLANES: return 1;
    case NUMCOLORS: return s.Valid() && s.BitCount() <= 8 ? int(s.palette.size()) : -1;
    case SIZEPALETTE: return 0;
    default: return 0;
  }
}

// Objects ---------------------------------------------------------------------------------

TGdiBitmap::~TGdiBitmap() {
  if (ownsBitmap) delete bitmap;
}

TPixelSurface TGdiBitmap::Surface() {
  if (bitmap) return TPixelSurface::OfImage(bitmap->Image());
  return TPixelSurface::OfDib(bits.get(), header.biWidth, header.biHeight, header.biBitCount, header.biCompression,
                              colors.data(), int(colors.size()), masks);
}

TGdiBitmap* TBitmap::GetHandle() {
  if (handle_ == nullptr) {
    handle_ = new TGdiBitmap;
    handle_->bitmap = this;
  }
  return handle_;
}

void ReleaseBitmapHandle(TGdiBitmap* handle) {
  if (handle == nullptr) return;
  // A context still holding it draws on nothing from now on.
  handle->bitmap = nullptr;
  if (handle->selectedIn == 0) delete handle;
}

bool DeleteObject(HGDIOBJ object) {
  if (object == nullptr || object->selectedIn > 0) return false;
  if (auto* b = dynamic_cast<TGdiBitmap*>(object); b && b->bitmap && !b->ownsBitmap) return false;  // a TBitmap's own
  delete object;
  return true;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  if (dc == nullptr || object == nullptr) return nullptr;
  if (auto* bitmap = dynamic_cast<TGdiBitmap*>(object)) {
    if (dc->memoryTarget == nullptr) return nullptr;
    HGDIOBJ old = dc->memoryTarget->bitmap;
    HGDIOBJ slot = old;
    Select(slot, bitmap);
    dc->memoryTarget->bitmap = bitmap;
    // The old bitmap may have lost its TBitmap meanwhile.
    if (auto* b = dynamic_cast<TGdiBitmap*>(old); b && b->selectedIn == 0 && b->bitmap == nullptr && !b->bits) {
      delete b;
      return nullptr;
    }
    return old;
  }
  if (auto* font = dynamic_cast<TGdiFont*>(object)) {
    HGDIOBJ old = dc->font;
    HGDIOBJ slot = old;
    Select(slot, font);
    dc->font = font;
    TFont* f = dc->canvas->Font;
    const LOGFONTA& lf = font->font;
    f->Name = std::string(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof lf.lfFaceName));
    f->Height = lf.lfHeight;
    f->Orientation = lf.lfEscapement;
    f->Charset = lf.lfCharSet;
    f->Style = (lf.lfWeight >= 600 ? unsigned(fsBold) : 0u) | (lf.lfItalic ? unsigned(fsItalic) : 0u) |
               (lf.lfUnderline ? unsigned(fsUnderline) : 0u) | (lf.lfStrikeOut ? unsigned(fsStrikeOut) : 0u);
    return old;
  }
  if (auto* region = dynamic_cast<TGdiRegion*>(object)) {
    SelectClipRgn(dc, region);
    return nullptr;
  }
  return nullptr;
}

int GetObject(HGDIOBJ object, int size, void* buffer) {
  if (object == nullptr || buffer == nullptr) return 0;
  if (auto* font = dynamic_cast<TGdiFont*>(object)) {
    int n = std::min<int>(size, sizeof(LOGFONTA));
    std::memcpy(buffer, &font->font, n);
    return n;
  }
  auto* bitmap = dynamic_cast<TGdiBitmap*>(object);
  if (bitmap == nullptr || size < int(sizeof(BITMAP))) return 0;
  TPixelSurface s = bitmap->Surface();
  DIBSECTION ds{};
  ds.dsBm.bmWidth = s.width;
  ds.dsBm.bmHeight = s.height;
  ds.dsBm.bmWidthBytes = int32_t((int64_t(s.width) * s.BitCount() + 31) / 32 * 4);
  ds.dsBm.bmPlanes = 1;
  ds.dsBm.bmBitsPixel = uint16_t(s.BitCount());
  ds.dsBm.bmBits = bitmap->bits ? bitmap->bits.get() : nullptr;
  if (size < int(sizeof(DIBSECTION))) {
    std::memcpy(buffer, &ds.dsBm, sizeof(BITMAP));
    return sizeof(BITMAP);
  }
  if (bitmap->bits) {
    ds.dsBmih = bitmap->header;
  } else {
    ds.dsBmih.biSize = 40;
    ds.dsBmih.biWidth = s.width;
    ds.dsBmih.biHeight = s.height;
    ds.dsBmih.biPlanes = 1;
    ds.dsBmih.biBitCount = uint16_t(s.BitCount());
  }
  std::memcpy(ds.dsBitfields, bitmap->masks, sizeof ds.dsBitfields);
  std::memcpy(buffer, &ds, sizeof ds);
  return sizeof ds;
}

// DIBs -----------------------------------------------------------------------------------------

namespace {

struct TDibParts {
  int colorCount = 0;
  const RGBQUAD* colors = nullptr;
  uint32_t masks[3] = {0, 0, 0};
  const uint8_t* bits = nullptr;  // pixels following the header, when no others are given
};

// Checks a header and finds its colour table, masks and following pixels.
bool ReadDibHeader(const BITMAPINFOHEADER* h, TDibParts& parts) {
  if (h == nullptr || h->biSize < 40 || h->biWidth <= 0 || h->biHeight == 0 || h->biHeight == INT32_MIN) return false;
  uint16_t bits = h->biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (h->biCompression != BI_RGB && !(h->biCompression == BI_BITFIELDS && (bits == 16 || bits == 32))) return false;
  const uint8_t* p = reinterpret_cast<const uint8_t*>(h) + h->biSize;
  if (h->biCompression == BI_BITFIELDS) {
    // The masks follow a 40-byte header and lie inside longer ones.
    const uint8_t* m = reinterpret_cast<const uint8_t*>(h) + 40;
    std::memcpy(parts.masks, m, sizeof parts.masks);
    if (h->biSize == 40) p += 12;
  } else if (bits == 16) {
    parts.masks[0] = 0x7C00, parts.masks[1] = 0x03E0, parts.masks[2] = 0x001F;
  }
  if (bits <= 8) {
    int full = 1 << bits;
    parts.colorCount = h->biClrUsed == 0 || h->biClrUsed > uint32_t(full) ? full : int(h->biClrUsed);
  }
  parts.colors = reinterpret_cast<const RGBQUAD*>(p);
  parts.bits = p + size_t(parts.colorCount) * 4;
  return true;
}

TPixelSurface DibSurface(const BITMAPINFOHEADER* h, const void* bits, TDibParts& parts) {
  if (!ReadDibHeader(h, parts)) return TPixelSurface();
  const void* pixels = bits ? bits : parts.bits;
  return TPixelSurface::OfDib(const_cast<void*>(pixels), h->biWidth, h->biHeight, h->biBitCount, h->biCompression,
                              parts.colors, parts.colorCount, parts.masks);
}

}  // namespace

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
  if (width < 0 || height < 0) return nullptr;
  auto* b = new TGdiBitmap;
  b->bitmap = new TBitmap;
  b->ownsBitmap = true;
  b->bitmap->SetPixelFormat(pfDevice);
  b->bitmap->SetSize(width, height);
  return b;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, unsigned, void** bits, void*, uint32_t) {
  if (bits) *bits = nullptr;
  TDibParts parts;
  if (info == nullptr || !ReadDibHeader(&info->bmiHeader, parts)) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  int64_t rowLen = (int64_t(h.biWidth) * h.biBitCount + 31) / 32 * 4;
  int64_t rows = h.biHeight < 0 ? -int64_t(h.biHeight) : h.biHeight;
  int64_t size = rowLen * rows;
  if (size <= 0 || size > (int64_t(1) << 32)) return nullptr;
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[size_t(size)]());
  if (!block) return nullptr;
  auto* b = new TGdiBitmap;
  b->bits = std::move(block);
  b->header = h;
  b->header.biSize = 40;
  b->header.biSizeImage = uint32_t(size);
  b->colors.assign(parts.colors, parts.colors + parts.colorCount);
  std::memcpy(b->masks, parts.masks, sizeof parts.masks);
  if (bits) *bits = b->bits.get();
  return b;
}

bool BitBlt(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, uint32_t rop) {
  return StretchBlt(dest, x, y, w, h, source, sx, sy, w, h, rop);
}

bool StretchBlt(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, int sw, int sh, uint32_t rop) {
  if (dest == nullptr) return false;
  if (source == nullptr) {
    if (Rop3UsesSource(rop)) return false;
    dest->canvas->Blit(x, y, w, h, TPixelSurface(), 0, 0, 0, 0, rop);
    return true;
  }
  TCanvas* from = source->canvas;
  TPoint a = from->ToDevice(sx, sy), b = from->ToDevice(sx + sw, sy + sh);
  dest->canvas->Blit(x, y, w, h, from->Target()->Surface(), a.x, a.y, b.x - a.x, b.y - a.y, rop);
  return true;
}

bool PatBlt(HDC dc, int x, int y, int w, int h, uint32_t rop) {
  if (dc == nullptr || Rop3UsesSource(rop)) return false;
  dc->canvas->Blit(x, y, w, h, TPixelSurface(), 0, 0, 0, 0, rop);
  return true;
}

int StretchDIBits(HDC dc, int xd, int yd, int wd, int hd, int xs, int ys, int ws, int hs, const void* bits,
                  const BITMAPINFO* info, unsigned, uint32_t rop) {
  if (dc == nullptr || info == nullptr) return 0;
  TDibParts parts;
  TPixelSurface source = DibSurface(&info->bmiHeader, bits, parts);
  if (!source.Valid()) return 0;
  // Bottom-up DIBs count source rows from the bottom.
  int top = info->bmiHeader.biHeight > 0 ? source.height - ys - hs : ys;
  dc->canvas->Blit(xd, yd, wd, hd, source, xs, top, ws, hs, rop);
  return std::abs(hs);
}

int SetStretchBltMode(HDC dc, int mode) { return Exchange(dc, &TCanvas::StretchBltMode, mode, 0); }

int GetStretchBltMode(HDC dc) { return dc ? dc->canvas->StretchBltMode : 0; }

// Palettes ---------------------------------------------------------------------------------------

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (palette == nullptr || palette->palNumEntries == 0) return nullptr;
  auto* p = new TGdiPalette;
  p->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  return p;
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, bool) {
  if (dc == nullptr) return nullptr;
  HPALETTE old = dc->palette;
  HGDIOBJ slot = old;
  Select(slot, palette);
  dc->palette = palette;
  return old;
}

unsigned RealizePalette(HDC) { return 0; }

unsigned GetPaletteEntries(HPALETTE palette, unsigned start, unsigned count, PALETTEENTRY* entries) {
  if (palette == nullptr) return 0;
  if (entries == nullptr) return unsigned(palette->entries.size());
  unsigned n = 0;
  for (; n < count && start + n < palette->entries.size(); ++n) entries[n] = palette->entries[start + n];
  return n;
}

// Regions ------------------------------------------------------------------------------------------

namespace {

int RegionType(const QRegion& r) {
  if (r.isEmpty()) return NULLREGION;
  return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

HRGN CreateRectRgn(int l, int t, int r, int b) {
  auto* region = new TGdiRegion;
  TRect box{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
  if (!IsRectEmpty(box)) region->region = QRegion(box.Left, box.Top, box.Width(), box.Height());
  return region;
}

HRGN CreatePolygonRgn(const TPoint* points, int count, int fillMode) {
  if (points == nullptr || count < 0) return nullptr;
  auto* region = new TGdiRegion;
  std::vector<QRect> rects;
  for (const TSpan& s : PolygonSpans(std::vector<TPoint>(points, points + count), fillMode == WINDING))
    rects.emplace_back(s.x0, s.y, s.x1 - s.x0, 1);
  region->region.setRects(rects.data(), int(rects.size()));
  return region;
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
  if (dest == nullptr || a == nullptr || (mode != RGN_COPY && b == nullptr)) return RGN_ERROR;
  switch (mode) {
    case RGN_AND: dest->region = a->region.intersected(b->region); break;
    case RGN_OR: dest->region = a->region.united(b->region); break;
    case RGN_XOR: dest->region = a->region.xored(b->region); break;
    case RGN_DIFF: dest->region = a->region.subtracted(b->region); break;
    case RGN_COPY: dest->region = a->region; break;
    default: return RGN_ERROR;
  }
  return RegionType(dest->region);
}

bool PtInRegion(HRGN region, int x, int y) { return region && region->region.contains(QPoint(x, y)); }

int OffsetRgn(HRGN region, int dx, int dy) {
  if (region == nullptr) return RGN_ERROR;
  region->region.translate(dx, dy);
  return RegionType(region->region);
}

int GetRgnBox(HRGN region, TRect* box) {
  if (region == nullptr || box == nullptr) return RGN_ERROR;
  QRect b = region->region.boundingRect();
  *box = region->region.isEmpty() ? TRect{} : TRect{b.left(), b.top(), b.right() + 1, b.bottom() + 1};
  return RegionType(region->region);
}

int SelectClipRgn(HDC dc, HRGN region) {
  if (dc == nullptr) return RGN_ERROR;
  dc->canvas->SelectClipRegion(region ? &region->region : nullptr);
  return region ? RegionType(region->region) : SIMPLEREGION;
}

int IntersectClipRect(HDC dc, int l, int t, int r, int b) {
  if (dc == nullptr) return RGN_ERROR;
  dc->canvas->IntersectClipRect({l, t, r, b});
  return RegionType(dc->canvas->ClipRegion());
}

int ExcludeClipRect(HDC dc, int l, int t, int r, int b) {
  if (dc == nullptr) return RGN_ERROR;
  dc->canvas->ExcludeClipRect({l, t, r, b});
  return RegionType(dc->canvas->ClipRegion());
}

int GetClipBox(HDC dc, TRect* box) {
  if (dc == nullptr || box == nullptr) return RGN_ERROR;
  *box = dc->canvas->GetClipRect();
  return IsRectEmpty(*box) ? NULLREGION : SIMPLEREGION;
}

// Lines and edges ------------------------------------------------------------------------------------

bool LineDDA(int x1, int y1, int x2, int y2, LINEDDAPROC proc, intptr_t data) {
  if (proc == nullptr) return false;
  ForEachLinePoint({x1, y1}, {x2, y2}, [&](int x, int y) { proc(x, y, data); });
  return true;
}

bool MoveToEx(HDC dc, int x, int y, TPoint* old) {
  if (dc == nullptr) return false;
  if (old) *old = dc->canvas->PenPos;
  dc->canvas->MoveTo(x, y);
  return true;
}

bool LineTo(HDC dc, int x, int y) {
  if (dc == nullptr) return false;
  dc->canvas->LineTo(x, y);
  return true;
}

bool SetPixelV(HDC dc, int x, int y, int32_t color) {
  if (dc == nullptr) return false;
  dc->canvas->SetPixel(x, y, color);
  return true;
}

int32_t GetPixel(HDC dc, int x, int y) { return dc ? dc->canvas->GetPixel(x, y) : -1; }

bool DrawEdge(HDC dc, TRect* rect, unsigned edge, unsigned flags) {
  if (dc == nullptr || rect == nullptr) return false;
  TCanvas* c = dc->canvas;
  TBrush saved;
  saved.Assign(c->Brush);
  TRect r = *rect;
  // Outer ring, then inner ring: top-left colour and bottom-right colour.
  struct Ring {
    unsigned raised, sunken;
    TColor raisedTL, raisedBR, sunkenTL, sunkenBR;
  } rings[] = {{BDR_RAISEDOUTER, BDR_SUNKENOUTER, cl3DLight, cl3DDkShadow, clBtnShadow, clBtnHighlight},
               {BDR_RAISEDINNER, BDR_SUNKENINNER, clBtnHighlight, clBtnShadow, cl3DDkShadow, cl3DLight}};
  c->Brush->Style = bsSolid;
  for (const Ring& ring : rings) {
    bool raised = edge & ring.raised, sunken = edge & ring.sunken;
    if (!raised && !sunken) continue;
    TColor tl = raised ? ring.raisedTL : ring.sunkenTL, br = raised ? ring.raisedBR : ring.sunkenBR;
    if (IsRectEmpty(r)) break;
    c->Brush->Color = tl;
    if (flags & BF_TOP) c->FillRect({r.Left, r.Top, r.Right, r.Top + 1});
    if (flags & BF_LEFT) c->FillRect({r.Left, r.Top, r.Left + 1, r.Bottom});
    c->Brush->Color = br;
    if (flags & BF_BOTTOM) c->FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
    if (flags & BF_RIGHT) c->FillRect({r.Right - 1, r.Top, r.Right, r.Bottom});
    if (flags & BF_LEFT) ++r.Left;
    if (flags & BF_TOP) ++r.Top;
    if (flags & BF_RIGHT) --r.Right;
    if (flags & BF_BOTTOM) --r.Bottom;
  }
  if (flags & BF_MIDDLE) {
    c->Brush->Color = clBtnFace;
    c->FillRect(r);
  }
  if (flags & BF_ADJUST) *rect = r;
  c->Brush->Assign(&saved);
  return true;
}

// Text and fonts ----------------------------------------------------------------------------------------

HFONT CreateFontIndirectA(const LOGFONTA* font) {
  if (font == nullptr) return nullptr;
  auto* f = new TGdiFont;
  f->font = *font;
  return f;
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, unsigned italic,
                  unsigned underline, unsigned strikeOut, unsigned charset, unsigned outPrecision,
                  unsigned clipPrecision, unsigned quality, unsigned pitchAndFamily, const char* face) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = uint8_t(italic != 0);
  lf.lfUnderline = uint8_t(underline != 0);
  lf.lfStrikeOut = uint8_t(strikeOut != 0);
  lf.lfCharSet = uint8_t(charset);
  lf.lfOutPrecision = uint8_t(outPrecision);
  lf.lfClipPrecision = uint8_t(clipPrecision);
  lf.lfQuality = uint8_t(quality);
  lf.lfPitchAndFamily = uint8_t(pitchAndFamily);
  if (face) std::strncpy(lf.lfFaceName, face, sizeof lf.lfFaceName - 1);
  return CreateFontIndirectA(&lf);
}

unsigned SetTextAlign(HDC dc, unsigned align) { return Exchange(dc, &TCanvas::TextAlign, align, 0xFFFFFFFFu); }

unsigned GetTextAlign(HDC dc) { return dc ? dc->canvas->TextAlign : 0xFFFFFFFF; }

int SetBkMode(HDC dc, int mode) { return Exchange(dc, &TCanvas::BkMode, mode, 0); }

int32_t SetTextColor(HDC dc, int32_t color) {
  if (dc == nullptr) return -1;
  return std::exchange(dc->canvas->Font->Color, color);
}

bool TextOutA(HDC dc, int x, int y, const char* text, int length) {
  if (dc == nullptr || text == nullptr || length < 0) return false;
  dc->canvas->TextOut(x, y, std::string(text, size_t(length)));
  return true;
}

bool GetTextExtentPoint32A(HDC dc, const char* text, int length, TSize* size) {
  if (dc == nullptr || text == nullptr || length < 0 || size == nullptr) return false;
  *size = dc->canvas->TextExtent(std::string(text, size_t(length)));
  return true;
}

int EnumFontsA(HDC, const char* face, FONTENUMPROCA proc, intptr_t data) {
  if (proc == nullptr) return 0;
  int result = 1;
  for (const TFontFace& f : EnumFontFaces()) {
    if (face && *face && f.Name != face) continue;
    LOGFONTA lf{};
    lf.lfCharSet = f.Charset;
    lf.lfWeight = FW_NORMAL;
    std::strncpy(lf.lfFaceName, f.Name.c_str(), sizeof lf.lfFaceName - 1);
    result = proc(&lf, nullptr, 0, data);
    if (result == 0) break;
  }
  return result;
}

// Mapping modes ------------------------------------------------------------------------------------------

int SetMapMode(HDC dc, int mode) {
  if (mode < MM_TEXT || mode > MM_ANISOTROPIC) return 0;
  return Exchange(dc, &TCanvas::MapMode, mode, 0);
}

int GetMapMode(HDC dc) { return dc ? dc->canvas->MapMode : 0; }

bool SetWindowExtEx(HDC dc, int x, int y, TSize* old) { return ExchangeEx(dc, &TCanvas::WindowExt, TSize{x, y}, old); }

bool SetViewportExtEx(HDC dc, int x, int y, TSize* old) {
  return ExchangeEx(dc, &TCanvas::ViewportExt, TSize{x, y}, old);
}

bool SetWindowOrgEx(HDC dc, int x, int y, TPoint* old) { return ExchangeEx(dc, &TCanvas::WindowOrg, TPoint{x, y}, old); }

bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old) {
  return ExchangeEx(dc, &TCanvas::ViewportOrg, TPoint{x, y}, old);
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  int64_t p = int64_t(a) * b;
  int64_t q = (std::llabs(p) + std::llabs(int64_t(c)) / 2) / std::llabs(int64_t(c));
  return int((p < 0) != (c < 0) ? -q : q);
}

// DrawDib ------------------------------------------------------------------------------------------------

struct TDrawDib {};

HDRAWDIB DrawDibOpen() { return new TDrawDib; }

bool DrawDibClose(HDRAWDIB context) {
  delete context;
  return context != nullptr;
}

unsigned DrawDibRealize(HDRAWDIB, HDC, bool) { return 0; }

bool DrawDibDraw(HDRAWDIB, HDC dc, int xd, int yd, int wd, int hd, const BITMAPINFOHEADER* header,
                 const void* bits, int xs, int ys, int ws, int hs, unsigned) {
  if (dc == nullptr) return false;
  TDibParts parts;
  TPixelSurface source = DibSurface(header, bits, parts);
  if (!source.Valid()) return false;
  if (ws < 0) ws = source.width;
  if (hs < 0) hs = source.height;
  if (wd < 0) wd = ws;
  if (hd < 0) hd = hs;
  dc->canvas->Blit(xd, yd, wd, hd, source, xs, ys, ws, hs, SRCCOPY);
  return true;
}
