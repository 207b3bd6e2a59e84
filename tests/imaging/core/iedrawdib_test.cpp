#include "imaging/core/iedrawdib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A 4 x 3 picture whose every pixel has its own colour, stored as a
// device-independent bitmap of 8 or 24 bits, bottom-up or top-down.
constexpr int kW = 4, kH = 3;

TColor Expected(int x, int y) { return RGB(uint8_t(10 + 40 * x), uint8_t(20 + 60 * y), uint8_t(100 + x + 4 * y)); }

struct TDib {
  TDib(int bits, bool topDown) {
    std::memset(&info, 0, sizeof info);
    info.header.biSize = 40;
    info.header.biWidth = kW;
    info.header.biHeight = topDown ? -kH : kH;
    info.header.biPlanes = 1;
    info.header.biBitCount = uint16_t(bits);
    int rowLen = (kW * bits + 31) / 32 * 4;
    pixels.assign(size_t(rowLen * kH), 0);
    for (int y = 0; y < kH; ++y) {
      uint8_t* row = &pixels[size_t((topDown ? y : kH - 1 - y) * rowLen)];
      for (int x = 0; x < kW; ++x) {
        TColor c = Expected(x, y);
        if (bits == 8) {
          int index = 1 + y * kW + x;
          row[x] = uint8_t(index);
          info.colors[index] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
        } else {
          row[3 * x] = GetBValue(c);
          row[3 * x + 1] = GetGValue(c);
          row[3 * x + 2] = GetRValue(c);
        }
      }
    }
    if (bits == 8) info.header.biClrUsed = 256;
  }
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } info;
  std::vector<uint8_t> pixels;
};

using TDraw = bool (*)(HDRAWDIB, HDC, int, int, int, int, const BITMAPINFOHEADER*, const void*, int, int, int, int,
                       unsigned);

struct TRoute {
  const char* name;
  TDraw draw;
  bool withContext;
};

// Every route draws the same source rectangle, counted from the top of
// the picture whatever the row order and whichever drawing is used.
TEST(IEDrawDibTest, EveryRouteDrawsTheSameSourceRectangle) {
  const TRoute routes[] = {{"DrawDib", IEDrawDibDraw, true},
                           {"emulated with context", DrawDibDrawEmu, true},
                           {"emulated without context", DrawDibDrawEmu, false},
                           {"stretch", DrawDibDraw2, false}};
  for (int bits : {8, 24})
    for (bool topDown : {false, true})
      for (const TRoute& route : routes) {
        SCOPED_TRACE(std::string(route.name) + " " + std::to_string(bits) + (topDown ? " top-down" : " bottom-up"));
        TDib dib(bits, topDown);
        TBitmap target;
        target.SetSize(6, 6);
        HDRAWDIB context = route.withContext ? IEDrawDibOpen() : nullptr;
        HDC dc = target.GetCanvas()->GetHandle();
        // Source (1, 1) 2 x 2, doubled into (0, 0) 4 x 4.
        ASSERT_TRUE(route.draw(context, dc, 0, 0, 4, 4, &dib.info.header, dib.pixels.data(), 1, 1, 2, 2, 0));
        for (int y = 0; y < 4; ++y)
          for (int x = 0; x < 4; ++x)
            EXPECT_EQ(target.GetCanvas()->GetPixel(x, y), Expected(1 + x / 2, 1 + y / 2)) << x << "," << y;
        EXPECT_EQ(target.GetCanvas()->GetPixel(4, 4), clWhite);

        // Sizes of -1: the whole picture at its own size.
        target.GetCanvas()->Brush->Color = clWhite;
        target.GetCanvas()->FillRect(Rect(0, 0, 6, 6));
        ASSERT_TRUE(route.draw(context, dc, 1, 2, -1, -1, &dib.info.header, dib.pixels.data(), 0, 0, -1, -1, 0));
        for (int y = 0; y < kH; ++y)
          for (int x = 0; x < kW; ++x) EXPECT_EQ(target.GetCanvas()->GetPixel(1 + x, 2 + y), Expected(x, y));
        if (context) {
          EXPECT_TRUE(IEDrawDibClose(context));
        }
      }
}

TEST(IEDrawDibTest, FailuresAreReportedOnEveryRoute) {
  for (int bits : {8, 24}) {
    SCOPED_TRACE(bits);
    TDib dib(bits, false);
    TBitmap target;
    target.SetSize(4, 4);
    HDC dc = target.GetCanvas()->GetHandle();
    // No device: the context made for this call closes well, yet nothing
    // was drawn.
    EXPECT_FALSE(DrawDibDrawEmu(nullptr, nullptr, 0, 0, 4, 3, &dib.info.header, dib.pixels.data(), 0, 0, 4, 3, 0));
    EXPECT_FALSE(DrawDibDraw2(nullptr, nullptr, 0, 0, 4, 3, &dib.info.header, dib.pixels.data(), 0, 0, 4, 3, 0));
    EXPECT_FALSE(DrawDibDrawEmu(nullptr, dc, 0, 0, 4, 3, nullptr, dib.pixels.data(), 0, 0, 4, 3, 0));
    EXPECT_FALSE(DrawDibDraw2(nullptr, dc, 0, 0, 4, 3, nullptr, dib.pixels.data(), 0, 0, 4, 3, 0));
  }
  HDRAWDIB context = IEDrawDibOpen();
  EXPECT_EQ(IEDrawDibRealize(context, nullptr, true), 0u);  // true-colour: nothing to realise
  EXPECT_TRUE(IEDrawDibClose(context));
}

}  // namespace
