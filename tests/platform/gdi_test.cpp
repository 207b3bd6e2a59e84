#include "platform/gdi.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::unique_ptr<TBitmap> WhiteBitmap(int w, int h) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(w, h);
  return b;
}

// A packed DIB of 3 x 2 pixels: top row red, green, blue; bottom row white,
// black, red (1 bit: the colours become black and white).
struct PackedDib {
  std::vector<uint8_t> block;
  BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(block.data()); }
  uint8_t* bits = nullptr;
};

const TColor kTop[3] = {clRed, clLime, clBlue};
const TColor kBottom[3] = {clWhite, clBlack, clRed};

PackedDib MakeDib(int bitCount, bool topDown) {
  std::vector<TColor> palette;
  if (bitCount == 1) palette = {clBlack, clWhite};
  if (bitCount == 4 || bitCount == 8) palette = {clBlack, clRed, clLime, clBlue, clWhite};
  int rowLen = (3 * bitCount + 31) / 32 * 4;
  PackedDib dib;
  dib.block.assign(40 + palette.size() * 4 + rowLen * 2, 0);
  BITMAPINFOHEADER& h = dib.info()->bmiHeader;
  h.biSize = 40;
  h.biWidth = 3;
  h.biHeight = topDown ? -2 : 2;
  h.biPlanes = 1;
  h.biBitCount = uint16_t(bitCount);
  h.biClrUsed = uint32_t(palette.size());
  auto* colors = reinterpret_cast<RGBQUAD*>(dib.block.data() + 40);
  for (size_t i = 0; i < palette.size(); ++i)
    colors[i] = {GetBValue(palette[i]), GetGValue(palette[i]), GetRValue(palette[i]), 0};
  dib.bits = dib.block.data() + 40 + palette.size() * 4;
  auto put = [&](int x, int y, TColor c) {
    int storedRow = topDown ? y : 1 - y;
    uint8_t* row = dib.bits + storedRow * rowLen;
    int index = 0;
    for (size_t i = 0; i < palette.size(); ++i)
      if (palette[i] == c) index = int(i);
    if (bitCount == 1) index = c == clWhite ? 1 : 0;
    switch (bitCount) {
      case 1: row[0] |= uint8_t(index << (7 - x)); break;
      case 4: row[x / 2] |= uint8_t(x % 2 ? index : index << 4); break;
      case 8: row[x] = uint8_t(index); break;
      default:
        row[x * bitCount / 8] = GetBValue(c);
        row[x * bitCount / 8 + 1] = GetGValue(c);
        row[x * bitCount / 8 + 2] = GetRValue(c);
    }
  };
  for (int x = 0; x < 3; ++x) {
    put(x, 0, kTop[x]);
    put(x, 1, kBottom[x]);
  }
  return dib;
}

TColor Expected(int bitCount, TColor c) {
  if (bitCount != 1) return c;
  return c == clWhite ? clWhite : clBlack;
}

TEST(Gdi, StretchDIBitsDrawsEveryDepthInBothRowOrders) {
  for (int bitCount : {1, 4, 8, 24, 32}) {
    for (bool topDown : {false, true}) {
      PackedDib dib = MakeDib(bitCount, topDown);
      auto b = WhiteBitmap(8, 6);
      TCanvas* c = b->GetCanvas();
      HDC dc = c->GetHandle();
      ASSERT_EQ(StretchDIBits(dc, 1, 1, 3, 2, 0, 0, 3, 2, dib.bits, dib.info(), DIB_RGB_COLORS, SRCCOPY), 2);
      for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(c->GetPixel(1 + x, 1), Expected(bitCount, kTop[x])) << bitCount << topDown << x;
        EXPECT_EQ(c->GetPixel(1 + x, 2), Expected(bitCount, kBottom[x])) << bitCount << topDown << x;
      }
      // Doubled, and the bottom row alone (rows counted from the bottom
      // for bottom-up pictures).
      StretchDIBits(dc, 0, 3, 6, 2, 0, 0, 3, 1, dib.bits, dib.info(), DIB_RGB_COLORS, SRCCOPY);
      TColor row = topDown ? kTop[0] : kBottom[0];
      EXPECT_EQ(c->GetPixel(1, 4), Expected(bitCount, row)) << bitCount << topDown;
      // Inverting twice restores.
      QImage before = b->Image().copy();
      StretchDIBits(dc, 0, 0, 8, 6, 0, 0, 3, 2, dib.bits, dib.info(), DIB_RGB_COLORS, SRCINVERT);
      EXPECT_NE(b->Image(), before);
      StretchDIBits(dc, 0, 0, 8, 6, 0, 0, 3, 2, dib.bits, dib.info(), DIB_RGB_COLORS, SRCINVERT);
      EXPECT_EQ(b->Image(), before);
    }
  }
}

TEST(Gdi, BadDibHeadersDrawNothing) {
  PackedDib dib = MakeDib(24, false);
  auto b = WhiteBitmap(4, 4);
  HDC dc = b->GetCanvas()->GetHandle();
  struct Case {
    const char* what;
    void (*spoil)(BITMAPINFOHEADER&);
  } cases[] = {
      {"size", [](BITMAPINFOHEADER& h) { h.biSize = 12; }},
      {"width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
      {"bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 7; }},
      {"rle", [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }},
  };
  for (const Case& c : cases) {
    PackedDib bad = dib;
    c.spoil(bad.info()->bmiHeader);
    EXPECT_EQ(StretchDIBits(dc, 0, 0, 4, 4, 0, 0, 3, 2, dib.bits, bad.info(), DIB_RGB_COLORS, SRCCOPY), 0) << c.what;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, bad.info(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << c.what;
    EXPECT_EQ(bits, nullptr);
  }
  EXPECT_EQ(b->GetCanvas()->GetPixel(0, 0), clWhite);
}

TEST(Gdi, DibSectionsAreBottomUpBlocksThatMemoryContextsDrawInto) {
  for (int bitCount : {1, 24}) {
    BITMAPINFO info[3] = {};  // room for a two-entry palette
    BITMAPINFOHEADER& h = info[0].bmiHeader;
    h = {40, 10, 4, 1, uint16_t(bitCount), BI_RGB, 0, 0, 0, 0, 0};
    if (bitCount == 1) {
      info[0].bmiColors[0] = {0, 0, 0, 0};
      reinterpret_cast<RGBQUAD*>(&info[0].bmiColors[0])[1] = {255, 255, 255, 0};
    }
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    ASSERT_NE(bits, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, section);
    EXPECT_NE(old, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 10);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), bitCount);
    TCanvas* c = CanvasOf(dc);
    c->Brush->Color = clWhite;
    c->FillRect(Rect(0, 0, 10, 4));
    c->Pen->Color = clBlack;
    c->MoveTo(0, 0);
    c->LineTo(10, 0);  // the top row: the last row of the block
    int rowLen = (10 * bitCount + 31) / 32 * 4;
    auto* block = static_cast<uint8_t*>(bits);
    EXPECT_EQ(block[3 * rowLen], 0) << bitCount;
    EXPECT_NE(block[0], 0) << bitCount;
    DIBSECTION ds{};
    EXPECT_EQ(GetObject(section, sizeof ds, &ds), int(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmWidth, 10);
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    EXPECT_FALSE(DeleteObject(section));  // still selected
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(section));
    EXPECT_TRUE(DeleteDC(dc));
  }
}

TEST(Gdi, BlitsBetweenContexts) {
  auto src = WhiteBitmap(4, 4);
  src->GetCanvas()->SetPixel(0, 0, clRed);
  auto dst = WhiteBitmap(8, 8);
  HDC s = src->GetCanvas()->GetHandle(), d = dst->GetCanvas()->GetHandle();
  TCanvas* dc = dst->GetCanvas();
  EXPECT_TRUE(BitBlt(d, 2, 2, 4, 4, s, 0, 0, SRCCOPY));
  EXPECT_EQ(dc->GetPixel(2, 2), clRed);
  EXPECT_TRUE(StretchBlt(d, 0, 0, 8, 8, s, 0, 0, 4, 4, SRCCOPY));
  EXPECT_EQ(dc->GetPixel(1, 1), clRed);
  EXPECT_EQ(dc->GetPixel(2, 1), clWhite);
  EXPECT_TRUE(BitBlt(d, 0, 0, 8, 8, s, 0, 0, NOTSRCCOPY));
  EXPECT_EQ(dc->GetPixel(0, 0), clAqua);
  EXPECT_TRUE(PatBlt(d, 0, 0, 2, 2, WHITENESS));
  EXPECT_EQ(dc->GetPixel(0, 0), clWhite);
  EXPECT_FALSE(PatBlt(d, 0, 0, 2, 2, SRCCOPY));
  dc->Brush->Color = clBlue;
  EXPECT_TRUE(PatBlt(d, 0, 0, 1, 1, PATCOPY));
  EXPECT_EQ(dc->GetPixel(0, 0), clBlue);
  EXPECT_EQ(SetStretchBltMode(d, HALFTONE), COLORONCOLOR);
  EXPECT_EQ(GetStretchBltMode(d), HALFTONE);
}

TEST(Gdi, RegionsCombineAndClip) {
  TPoint triangle[] = {{0, 0}, {8, 0}, {0, 8}};
  HRGN tri = CreatePolygonRgn(triangle, 3, ALTERNATE);
  EXPECT_TRUE(PtInRegion(tri, 1, 1));
  EXPECT_FALSE(PtInRegion(tri, 7, 7));
  EXPECT_FALSE(PtInRegion(tri, 8, 0));

  HRGN a = CreateRectRgn(0, 0, 4, 4), b = CreateRectRgn(2, 2, 6, 6), out = CreateRectRgn(0, 0, 0, 0);
  struct Case {
    int mode, type;
    TPoint in, out;
  } cases[] = {{RGN_AND, SIMPLEREGION, {3, 3}, {1, 1}},
               {RGN_OR, COMPLEXREGION, {5, 5}, {5, 1}},
               {RGN_XOR, COMPLEXREGION, {1, 1}, {3, 3}},
               {RGN_DIFF, COMPLEXREGION, {1, 1}, {3, 3}},
               {RGN_COPY, SIMPLEREGION, {0, 0}, {4, 4}}};
  for (const Case& c : cases) {
    EXPECT_EQ(CombineRgn(out, a, b, c.mode), c.type) << c.mode;
    EXPECT_TRUE(PtInRegion(out, c.in.x, c.in.y)) << c.mode;
    EXPECT_FALSE(PtInRegion(out, c.out.x, c.out.y)) << c.mode;
  }
  EXPECT_EQ(OffsetRgn(a, 10, 1), SIMPLEREGION);
  TRect box;
  EXPECT_EQ(GetRgnBox(a, &box), SIMPLEREGION);
  EXPECT_EQ(box, Rect(10, 1, 14, 5));

  auto bm = WhiteBitmap(10, 10);
  HDC dc = bm->GetCanvas()->GetHandle();
  EXPECT_EQ(SelectClipRgn(dc, tri), COMPLEXREGION);
  DeleteObject(tri);  // the context keeps its own copy
  bm->GetCanvas()->Brush->Color = clBlack;
  bm->GetCanvas()->FillRect(Rect(0, 0, 10, 10));
  SelectClipRgn(dc, nullptr);
  EXPECT_EQ(bm->GetCanvas()->GetPixel(1, 1), clBlack);
  EXPECT_EQ(bm->GetCanvas()->GetPixel(6, 6), clWhite);
  EXPECT_EQ(bm->GetCanvas()->GetPixel(0, 6), clBlack);
  EXPECT_EQ(bm->GetCanvas()->GetPixel(1, 6), clWhite);
  for (HRGN r : {a, b, out}) EXPECT_TRUE(DeleteObject(r));
}

TEST(Gdi, EdgesLinesAndPixels) {
  auto bm = WhiteBitmap(6, 6);
  HDC dc = bm->GetCanvas()->GetHandle();
  TRect r = Rect(0, 0, 6, 6);
  EXPECT_TRUE(DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST));
  EXPECT_EQ(r, Rect(2, 2, 4, 4));
  TCanvas* c = bm->GetCanvas();
  EXPECT_EQ(c->GetPixel(0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(c->GetPixel(5, 5), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(c->GetPixel(1, 1), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(c->GetPixel(4, 4), ColorToRGB(cl3DLight));
  EXPECT_EQ(c->Brush->Color, clWhite);

  std::vector<TPoint> points;
  LineDDA(0, 0, 3, 1, [](int x, int y, intptr_t data) { reinterpret_cast<std::vector<TPoint>*>(data)->push_back({x, y}); },
          reinterpret_cast<intptr_t>(&points));
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points.front(), Point(0, 0));
  EXPECT_EQ(points.back().x, 2);

  EXPECT_TRUE(SetPixelV(dc, 3, 3, clRed));
  EXPECT_EQ(GetPixel(dc, 3, 3), clRed);
  EXPECT_EQ(GetPixel(dc, 9, 9), -1);
}

TEST(Gdi, DeviceCapsAndMappingModes) {
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
  EXPECT_GT(GetDeviceCaps(screen, HORZRES), 0);
  EXPECT_EQ(GetDeviceCaps(screen, HORZSIZE), int(std::lround(GetDeviceCaps(screen, HORZRES) * 25.4 / 96)));
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);

  struct Case {
    int a, b, c, result;
  } cases[] = {{10, 3, 4, 8}, {-10, 3, 4, -8}, {7, 1, 2, 4}, {5, 5, 0, -1}, {1 << 20, 1 << 20, 1 << 20, 1 << 20}};
  for (const Case& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.result);

  // Ten millimetres in tenths go to 10 / 25.4 inches of device pixels, y up.
  auto bm = WhiteBitmap(60, 60);
  HDC dc = bm->GetCanvas()->GetHandle();
  EXPECT_EQ(SetMapMode(dc, MM_LOMETRIC), MM_TEXT);
  EXPECT_EQ(GetMapMode(dc), MM_LOMETRIC);
  EXPECT_EQ(bm->GetCanvas()->ToDevice(100, -100), Point(38, 38));
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, 10, 10, nullptr);
  SetViewportExtEx(dc, 30, 20, nullptr);
  SetViewportOrgEx(dc, 1, 1, nullptr);
  EXPECT_EQ(bm->GetCanvas()->ToDevice(2, 2), Point(7, 5));
}

TEST(Gdi, RotatedFontsAndTextAlignment) {
  auto bm = WhiteBitmap(100, 100);
  HDC dc = bm->GetCanvas()->GetHandle();
  HFONT font = CreateFontA(-14, 0, 900, 900, FW_BOLD, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "黑体");
  HGDIOBJ old = SelectObject(dc, font);
  EXPECT_EQ(bm->GetCanvas()->Font->Orientation, 900);
  EXPECT_EQ(bm->GetCanvas()->Font->Style, unsigned(fsBold));
  SetTextAlign(dc, TA_CENTER);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, clBlue);
  ASSERT_TRUE(TextOutA(dc, 50, 50, "条码1234", int(std::strlen("条码1234"))));
  int minY = 999, maxY = -1, minX = 999, maxX = -1;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x)
      if (GetPixel(dc, x, y) == clBlue) {
        minY = std::min(minY, y), maxY = std::max(maxY, y);
        minX = std::min(minX, x), maxX = std::max(maxX, x);
      }
  // Centred along its (upward) baseline, lying to the right of x.
  EXPECT_LT(minY, 50);
  EXPECT_GT(maxY, 50);
  EXPECT_GE(minX, 50);
  EXPECT_GT(maxY - minY, maxX - minX);
  TSize size;
  EXPECT_TRUE(GetTextExtentPoint32A(dc, "Ay", 2, &size));
  EXPECT_GT(size.cy, 10);
  LOGFONTA lf{};
  EXPECT_EQ(GetObject(font, sizeof lf, &lf), 60);
  EXPECT_EQ(lf.lfEscapement, 900);
  EXPECT_FALSE(DeleteObject(font));  // selected
  HGDIOBJ stand_in = old ? nullptr : CreateFontA(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  SelectObject(dc, old ? old : stand_in);
  EXPECT_TRUE(DeleteObject(font));
  bm.reset();  // the context goes with its bitmap and lets go of the stand-in
  if (stand_in) EXPECT_TRUE(DeleteObject(stand_in));
}

TEST(Gdi, DrawDibScalesASourceRectangle) {
  PackedDib dib = MakeDib(24, false);
  auto bm = WhiteBitmap(10, 10);
  HDC dc = bm->GetCanvas()->GetHandle();
  HDRAWDIB dd = DrawDibOpen();
  ASSERT_NE(dd, nullptr);
  EXPECT_EQ(DrawDibRealize(dd, dc, false), 0u);
  // Source rectangle in top-down terms: the bottom row's first two pixels.
  EXPECT_TRUE(DrawDibDraw(dd, dc, 0, 0, 4, 2, &dib.info()->bmiHeader, dib.bits, 0, 1, 2, 1, 0));
  TCanvas* c = bm->GetCanvas();
  EXPECT_EQ(c->GetPixel(1, 1), clWhite);
  EXPECT_EQ(c->GetPixel(2, 0), clBlack);
  // Bits after the header; -1 sizes draw the whole picture 1:1.
  EXPECT_TRUE(DrawDibDraw(dd, dc, 5, 5, -1, -1, &dib.info()->bmiHeader, nullptr, 0, 0, -1, -1, 0));
  EXPECT_EQ(c->GetPixel(5, 5), clRed);
  EXPECT_EQ(c->GetPixel(7, 6), clRed);
  EXPECT_EQ(c->GetPixel(8, 5), clWhite);
  EXPECT_TRUE(DrawDibClose(dd));

  // Palettes: made, selected and read back; a true-colour device maps none.
  alignas(LOGPALETTE) uint8_t raw[4 + 2 * 4] = {};
  auto* lp = reinterpret_cast<LOGPALETTE*>(raw);
  lp->palVersion = 0x300;
  lp->palNumEntries = 2;
  lp->palPalEntry[0] = {1, 2, 3, 0};
  reinterpret_cast<PALETTEENTRY*>(raw + 4)[1] = {4, 5, 6, 0};
  HPALETTE pal = CreatePalette(lp);
  PALETTEENTRY back[2];
  EXPECT_EQ(GetPaletteEntries(pal, 0, 2, back), 2u);
  EXPECT_EQ(back[1].peBlue, 6);
  EXPECT_EQ(SelectPalette(dc, pal, false), nullptr);
  EXPECT_EQ(RealizePalette(dc), 0u);
  EXPECT_EQ(SelectPalette(dc, nullptr, false), pal);
  EXPECT_TRUE(DeleteObject(pal));
}

}  // namespace
