// Device contexts and the GDI calls the system makes. A device context
// (HDC) wraps a canvas: a canvas's own (TCanvas::GetHandle), a memory
// context drawing on the bitmap or DIB section selected into it, or the
// screen's (which has a resolution and a size but no pixels). Bitmaps, DIB
// sections, fonts, palettes and regions are GDI objects that are selected
// into a context or deleted with DeleteObject.
#pragma once

#include <QRegion>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"

// Objects -----------------------------------------------------------------------

struct TGdiObject {
  virtual ~TGdiObject() = default;
  int selectedIn = 0;  // number of contexts holding it selected
};
using HGDIOBJ = TGdiObject*;

#pragma pack(push, 1)
struct LOGFONTA {
  int32_t lfHeight;
  int32_t lfWidth;
  int32_t lfEscapement;
  int32_t lfOrientation;
  int32_t lfWeight;
  uint8_t lfItalic;
  uint8_t lfUnderline;
  uint8_t lfStrikeOut;
  uint8_t lfCharSet;
  uint8_t lfOutPrecision;
  uint8_t lfClipPrecision;
  uint8_t lfQuality;
  uint8_t lfPitchAndFamily;
  char lfFaceName[32];  // UTF-8 in memory; files convert at their edge
};
static_assert(sizeof(LOGFONTA) == 60);

struct LOGPALETTE {
  uint16_t palVersion;
  uint16_t palNumEntries;
  PALETTEENTRY palPalEntry[1];
};
#pragma pack(pop)

struct BITMAP {
  int32_t bmType;
  int32_t bmWidth;
  int32_t bmHeight;
  int32_t bmWidthBytes;
  uint16_t bmPlanes;
  uint16_t bmBitsPixel;
  void* bmBits;
};

struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  uint32_t dsBitfields[3];
  void* dshSection;
  uint32_t dsOffset;
};

// A bitmap object: a TBitmap (its handle, or one made by
// CreateCompatibleBitmap) or a DIB section's own pixel block.
struct TGdiBitmap : TGdiObject {
  TBitmap* bitmap = nullptr;
  bool ownsBitmap = false;
  std::unique_ptr<uint8_t[]> bits;  // DIB section pixels
  BITMAPINFOHEADER header{};
  std::vector<RGBQUAD> colors;
  uint32_t masks[3] = {0, 0, 0};
  ~TGdiBitmap() override;
  TPixelSurface Surface();
};
using HBITMAP = TGdiBitmap*;

struct TGdiFont : TGdiObject {
  LOGFONTA font{};
};
using HFONT = TGdiFont*;

struct TGdiPalette : TGdiObject {
  std::vector<PALETTEENTRY> entries;
};
using HPALETTE = TGdiPalette*;

struct TGdiRegion : TGdiObject {
  QRegion region;
};
using HRGN = TGdiRegion*;

bool DeleteObject(HGDIOBJ object);
// Selects a bitmap (memory contexts), a font or a region (as the clip
// region); returns the object it replaces (nullptr on failure or for regions).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Fills a BITMAP (or, with room for it, a DIBSECTION) for a bitmap, or a
// LOGFONTA for a font; returns the bytes written, 0 on failure.
int GetObject(HGDIOBJ object, int size, void* buffer);

// Device contexts ----------------------------------------------------------------

// A memory context (with a 1 x 1 black-and-white bitmap selected).
HDC CreateCompatibleDC(HDC dc);
bool DeleteDC(HDC dc);
// The screen's context for a null window; other windows are not served here.
HDC GetDC(void* window);
int ReleaseDC(void* window, HDC dc);
TCanvas* CanvasOf(HDC dc);

constexpr int HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, NUMCOLORS = 24,
              RASTERCAPS = 38, LOGPIXELSX = 88, LOGPIXELSY = 90, SIZEPALETTE = 104, PHYSICALWIDTH = 110,
              PHYSICALHEIGHT = 111, PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113;
int GetDeviceCaps(HDC dc, int index);

// Bitmaps ------------------------------------------------------------------------

constexpr unsigned DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1;
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A DIB section as the header describes (1, 4, 8, 16, 24 or 32 bits,
// BI_RGB or BI_BITFIELDS, bottom-up or top-down); its zeroed pixel block is
// returned through `bits`. nullptr (and bits nullptr) for a bad header.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, unsigned usage, void** bits, void* section = nullptr,
                         uint32_t offset = 0);

constexpr uint32_t SRCCOPY = cmSrcCopy, SRCPAINT = cmSrcPaint, SRCAND = cmSrcAnd, SRCINVERT = cmSrcInvert,
                   SRCERASE = cmSrcErase, NOTSRCCOPY = cmNotSrcCopy, NOTSRCERASE = cmNotSrcErase,
                   MERGECOPY = cmMergeCopy, MERGEPAINT = cmMergePaint, PATCOPY = cmPatCopy, PATPAINT = cmPatPaint,
                   PATINVERT = cmPatInvert, DSTINVERT = cmDstInvert, BLACKNESS = cmBlackness,
                   WHITENESS = cmWhiteness;
bool BitBlt(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, uint32_t rop);
bool StretchBlt(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, int sw, int sh, uint32_t rop);
bool PatBlt(HDC dc, int x, int y, int w, int h, uint32_t rop);
// Draws the source rectangle of a packed DIB (header and colour table in
// `info`, pixels at `bits`) into the destination rectangle. ys counts from
// the bottom row for bottom-up DIBs. Returns the rows drawn, 0 on failure.
int StretchDIBits(HDC dc, int xd, int yd, int wd, int hd, int xs, int ys, int ws, int hs, const void* bits,
                  const BITMAPINFO* info, unsigned usage, uint32_t rop);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);

// Palettes -----------------------------------------------------------------------

HPALETTE CreatePalette(const LOGPALETTE* palette);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, bool background);
// Entries mapped to the system palette: none on a true-colour device.
unsigned RealizePalette(HDC dc);
unsigned GetPaletteEntries(HPALETTE palette, unsigned start, unsigned count, PALETTEENTRY* entries);

// Regions and clipping -----------------------------------------------------------

constexpr int ALTERNATE = 1, WINDING = 2;
constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
constexpr int RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;
HRGN CreateRectRgn(int l, int t, int r, int b);
HRGN CreatePolygonRgn(const TPoint* points, int count, int fillMode);
int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode);
bool PtInRegion(HRGN region, int x, int y);
int OffsetRgn(HRGN region, int dx, int dy);
int GetRgnBox(HRGN region, TRect* box);
// A copy of the region (device pixels) becomes the clip region; nullptr
// removes it.
int SelectClipRgn(HDC dc, HRGN region);
int IntersectClipRect(HDC dc, int l, int t, int r, int b);
int ExcludeClipRect(HDC dc, int l, int t, int r, int b);
int GetClipBox(HDC dc, TRect* box);

// Lines and edges --------------------------------------------------------------------

using LINEDDAPROC = void (*)(int x, int y, intptr_t data);
// Calls proc for every point of the line except the last.
bool LineDDA(int x1, int y1, int x2, int y2, LINEDDAPROC proc, intptr_t data);
bool MoveToEx(HDC dc, int x, int y, TPoint* old);
bool LineTo(HDC dc, int x, int y);
bool SetPixelV(HDC dc, int x, int y, int32_t color);
int32_t GetPixel(HDC dc, int x, int y);

constexpr unsigned BDR_RAISEDOUTER = 1, BDR_SUNKENOUTER = 2, BDR_RAISEDINNER = 4, BDR_SUNKENINNER = 8;
constexpr unsigned EDGE_RAISED = 5, EDGE_SUNKEN = 10, EDGE_ETCHED = 6, EDGE_BUMP = 9;
constexpr unsigned BF_LEFT = 1, BF_TOP = 2, BF_RIGHT = 4, BF_BOTTOM = 8, BF_RECT = 15, BF_MIDDLE = 0x800,
                   BF_ADJUST = 0x2000;
// Three-dimensional edges in the system colours; BF_ADJUST shrinks rect by
// the edge drawn.
bool DrawEdge(HDC dc, TRect* rect, unsigned edge, unsigned flags);

// Text and fonts --------------------------------------------------------------------

constexpr int FW_NORMAL = 400, FW_BOLD = 700;
HFONT CreateFontIndirectA(const LOGFONTA* font);
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, unsigned italic,
                  unsigned underline, unsigned strikeOut, unsigned charset, unsigned outPrecision,
                  unsigned clipPrecision, unsigned quality, unsigned pitchAndFamily, const char* face);
unsigned SetTextAlign(HDC dc, unsigned align);
unsigned GetTextAlign(HDC dc);
int SetBkMode(HDC dc, int mode);
int32_t SetTextColor(HDC dc, int32_t color);
bool TextOutA(HDC dc, int x, int y, const char* text, int length);
bool GetTextExtentPoint32A(HDC dc, const char* text, int length, TSize* size);
// Font enumeration: proc gets each face (name and character set) and stops
// the walk by returning 0. Returns the last value proc returned.
using FONTENUMPROCA = int (*)(const LOGFONTA* font, const void* metrics, uint32_t type, intptr_t data);
int EnumFontsA(HDC dc, const char* face, FONTENUMPROCA proc, intptr_t data);

// Mapping modes ------------------------------------------------------------------------

int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);
bool SetWindowExtEx(HDC dc, int x, int y, TSize* old);
bool SetViewportExtEx(HDC dc, int x, int y, TSize* old);
bool SetWindowOrgEx(HDC dc, int x, int y, TPoint* old);
bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old);
// a * b / c rounded to the nearest; -1 when c is 0.
int MulDiv(int a, int b, int c);

// DrawDib ------------------------------------------------------------------------------

struct TDrawDib;
using HDRAWDIB = TDrawDib*;
HDRAWDIB DrawDibOpen();
bool DrawDibClose(HDRAWDIB context);
// Palette entries changed: none on a true-colour device.
unsigned DrawDibRealize(HDRAWDIB context, HDC dc, bool background);
// Draws the source rectangle (top-down coordinates; -1 sizes mean the whole
// picture) of a packed DIB scaled into the destination rectangle (-1 sizes:
// the source's). Pixels follow the header and colour table when `bits` is
// null.
bool DrawDibDraw(HDRAWDIB context, HDC dc, int xd, int yd, int wd, int hd, const BITMAPINFOHEADER* header,
                 const void* bits, int xs, int ys, int ws, int hs, unsigned flags);

void ReleaseCanvasHandle(HDC dc);
void ReleaseBitmapHandle(TGdiBitmap* handle);
