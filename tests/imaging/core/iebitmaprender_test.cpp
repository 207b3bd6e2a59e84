#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "platform/graphics.h"

namespace {

TRGB Rgb(uint8_t r, uint8_t g, uint8_t b) { return TRGB{b, g, r}; }

// A 24-bit picture whose pixel (x, y) is red x, green y, blue 50.
std::unique_ptr<TIEBitmap> Gradient(int w, int h) {
  auto bmp = std::make_unique<TIEBitmap>();
  bmp->Allocate(w, h, ie24RGB);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bmp->SetPixels_ie24RGB(x, y, Rgb(uint8_t(x), uint8_t(y), 50));
  return bmp;
}

// A 24-bit platform bitmap filled with one gray value.
std::unique_ptr<TBitmap> Target(int w, int h, uint8_t fill = 7) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf24bit);
  bmp->SetSize(w, h);
  for (int y = 0; y < h; ++y) std::fill_n(bmp->ScanLine(y), bmp->BytesPerLine(), fill);
  return bmp;
}

TRGB At(TBitmap& bmp, int x, int y) { return reinterpret_cast<TRGB*>(bmp.ScanLine(y))[x]; }

TEST(RenderToTBitmapTest, ZoomMapsRowsAndColumnsInFixedPoint) {
  auto picture = Gradient(10, 10);
  for (bool repeat : {false, true}) {
    SCOPED_TRACE(repeat);
    auto dst = Target(30, 20);
    // Row 0 beyond the drawn columns carries a mark only a whole-row copy moves.
    std::fill_n(dst->ScanLine(0) + 25 * 3, 3, 99);
    picture->RenderToTBitmap(dst.get(), nullptr, nullptr, 0, 0, 20, 20, 0, 0, 10, 10, false, repeat);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) ASSERT_EQ(At(*dst, x, y), Rgb(x / 2, y / 2, 50)) << x << "," << y;
    EXPECT_EQ(At(*dst, 25, 1).r, repeat ? 99 : 7);
    EXPECT_EQ(At(*dst, 25, 2).r, 7);  // row 2 maps to a new source row
    EXPECT_EQ(At(*dst, 20, 19).r, 7);
  }
  // Shrinking by 3 to 1 at an offset, and a step that is not a whole number.
  auto dst = Target(4, 4);
  picture->RenderToTBitmap(dst.get(), nullptr, nullptr, 1, 1, 3, 3, 1, 0, 9, 9, false, false);
  EXPECT_EQ(At(*dst, 1, 1), Rgb(1, 0, 50));
  EXPECT_EQ(At(*dst, 3, 3), Rgb(7, 6, 50));
  EXPECT_EQ(At(*dst, 0, 0).r, 7);
  auto odd = Target(7, 1);
  picture->RenderToTBitmap(odd.get(), nullptr, nullptr, 0, 0, 7, 1, 0, 0, 10, 1, false, false);
  // step = trunc(10 / 7 x 16384) = 23405; column j reads (j x 23405) shr 14
  for (int j = 0; j < 7; ++j) EXPECT_EQ(At(*odd, j, 0).r, (j * 23405) >> 14) << j;
}

TEST(RenderToTBitmapTest, OneBitPicturesDrawBlackAndWhite) {
  TIEBitmap picture;
  picture.Allocate(9, 2, ie1g);
  picture.Fill(0);
  picture.SetPixels_ie1g(0, 0, true);
  picture.SetPixels_ie1g(8, 1, true);
  auto dst = Target(18, 2);
  picture.RenderToTBitmap(dst.get(), nullptr, nullptr, 0, 0, 18, 2, 0, 0, 9, 2, false, false);
  EXPECT_EQ(At(*dst, 0, 0), Rgb(255, 255, 255));
  EXPECT_EQ(At(*dst, 1, 0), Rgb(255, 255, 255));
  EXPECT_EQ(At(*dst, 2, 0), Rgb(0, 0, 0));
  EXPECT_EQ(At(*dst, 17, 1), Rgb(255, 255, 255));
  EXPECT_EQ(At(*dst, 15, 1), Rgb(0, 0, 0));
}

TEST(RenderToTBitmapTest, BlendsWithAnAlphaChannelThatIsNotFull) {
  struct Case {
    uint8_t d, s, a, want;
  };
  const std::vector<Case> cases{{0, 255, 128, 127}, {200, 100, 128, 150}, {10, 0, 255, 0},
                                {90, 200, 0, 90},   {255, 0, 1, 254},     {0, 255, 255, 254}};
  const int n = static_cast<int>(cases.size());
  TIEBitmap picture;
  picture.Allocate(n, 1, ie24RGB);
  TIEBitmap* alpha = picture.GetAlphaChannel();
  auto dst = Target(n, 1);
  for (int x = 0; x < n; ++x) {
    picture.SetPixels_ie24RGB(x, 0, Rgb(cases[x].s, cases[x].s, cases[x].s));
    alpha->SetPixels_ie8(x, 0, cases[x].a);
    std::fill_n(dst->ScanLine(0) + x * 3, 3, cases[x].d);
  }
  alpha->Full = false;
  picture.RenderToTBitmap(dst.get(), nullptr, nullptr, 0, 0, n, 1, 0, 0, n, 1, true, false);
  for (int x = 0; x < n; ++x)
    EXPECT_EQ(At(*dst, x, 0), Rgb(cases[x].want, cases[x].want, cases[x].want)) << x;

  // A full alpha channel, or alpha off, copies the pixels.
  for (bool full : {true, false}) {
    auto copy = Target(n, 1, 33);
    alpha->Full = full;
    picture.RenderToTBitmap(copy.get(), nullptr, nullptr, 0, 0, n, 1, 0, 0, n, 1, full, false);
    for (int x = 0; x < n; ++x) EXPECT_EQ(At(*copy, x, 0).g, cases[x].s) << x;
  }

  // 1 bit: red is blended, green and blue take the new red.
  TIEBitmap bw;
  bw.Allocate(2, 1, ie1g);
  bw.SetPixels_ie1g(0, 0, true);
  bw.SetPixels_ie1g(1, 0, false);
  bw.GetAlphaChannel()->Fill(128);
  auto under = Target(2, 1);
  reinterpret_cast<TRGB*>(under->ScanLine(0))[0] = Rgb(100, 10, 20);
  reinterpret_cast<TRGB*>(under->ScanLine(0))[1] = Rgb(100, 10, 20);
  bw.RenderToTBitmap(under.get(), nullptr, nullptr, 0, 0, 2, 1, 0, 0, 2, 1, true, false);
  EXPECT_EQ(At(*under, 0, 0), Rgb(177, 177, 177));  // 100 + floor(155 x 128 / 256)
  EXPECT_EQ(At(*under, 1, 0), Rgb(50, 50, 50));     // 100 + floor(-100 x 128 / 256)
}

TEST(RenderToTBitmapTest, ClipRectangleLimitsRowsAndScaledColumns) {
  auto picture = Gradient(10, 10);
  const TRect clip{2, 3, 4, 5};  // inclusive: columns 2..4, rows 3..5
  // Scaled: rows and columns outside stay.
  auto scaled = Target(20, 20);
  picture->RenderToTBitmap(scaled.get(), nullptr, &clip, 0, 0, 20, 20, 0, 0, 10, 10, false, false);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool drawn = y >= 3 && y <= 5 && x >= 2 && x <= 4;
      EXPECT_EQ(At(*scaled, x, y).b, drawn ? 50 : 7) << x << "," << y;
    }
  // 1:1 copies whole spans of the clipped rows.
  auto unscaled = Target(10, 10);
  picture->RenderToTBitmap(unscaled.get(), nullptr, &clip, 0, 0, 10, 10, 0, 0, 10, 10, false, false);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(At(*unscaled, x, y).b, y >= 3 && y <= 5 ? 50 : 7);
}

TEST(RenderToTBitmapTest, ClipsNegativeDestinationsAndSourcesOutsideThePicture) {
  auto picture = Gradient(10, 10);
  struct Case {
    const char* name;
    int xDst, yDst, dxDst, dyDst, xSrc, ySrc, dxSrc, dySrc;
  };
  for (const Case& c : {Case{"negative 1:1", -5, -3, 10, 10, 0, 0, 10, 10},
                        Case{"negative zoomed", -6, -4, 20, 20, 0, 0, 10, 10},
                        Case{"source past right and bottom", 0, 0, 10, 10, 4, 6, 10, 10},
                        Case{"source left of and above", 0, 0, 10, 10, -3, -2, 10, 10},
                        Case{"destination past the bitmap", 3, 2, 40, 40, 0, 0, 10, 10}}) {
    SCOPED_TRACE(c.name);
    auto dst = Target(8, 8);
    picture->RenderToTBitmap(dst.get(), nullptr, nullptr, c.xDst, c.yDst, c.dxDst, c.dyDst, c.xSrc,
                             c.ySrc, c.dxSrc, c.dySrc, false, false);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        // Where the destination maps into the picture it shows that pixel, elsewhere it is untouched.
        const int sx = c.xSrc + (x - c.xDst) * c.dxSrc / c.dxDst;
        const int sy = c.ySrc + (y - c.yDst) * c.dySrc / c.dyDst;
        const bool inside = x >= c.xDst && y >= c.yDst && x < c.xDst + c.dxDst &&
                            y < c.yDst + c.dyDst && sx >= 0 && sy >= 0 && sx < 10 && sy < 10;
        EXPECT_EQ(At(*dst, x, y), inside ? Rgb(sx, sy, 50) : Rgb(7, 7, 7)) << x << "," << y;
      }
  }
}

TEST(RenderToTBitmapTest, TallAndWidePicturesDoNotOverflowTheSteps) {
  // 600,000 source rows into 2: the step alone passes 32 bits.
  TIEBitmap tall;
  tall.Allocate(1, 600000, ie24RGB);
  tall.Fill(0);
  tall.SetPixels_ie24RGB(0, 300000, Rgb(1, 2, 3));
  auto dst = Target(1, 2);
  tall.RenderToTBitmap(dst.get(), nullptr, nullptr, 0, 0, 1, 2, 0, 0, 1, 600000, false, false);
  EXPECT_EQ(At(*dst, 0, 0), Rgb(0, 0, 0));
  EXPECT_EQ(At(*dst, 0, 1), Rgb(1, 2, 3));

  TIEBitmap wide;
  wide.Allocate(600000, 1, ie1g);
  wide.Fill(0);
  wide.SetPixels_ie1g(300000, 0, true);
  auto row = Target(2, 1);
  wide.RenderToTBitmap(row.get(), nullptr, nullptr, 0, 0, 2, 1, 0, 0, 600000, 1, false, false);
  EXPECT_EQ(At(*row, 0, 0), Rgb(0, 0, 0));
  EXPECT_EQ(At(*row, 1, 0), Rgb(255, 255, 255));
}

TEST(RenderToTBitmapTest, UnsupportedInputsLeaveTheBitmapAlone) {
  auto gray = std::make_unique<TIEBitmap>();
  gray->Allocate(4, 4, ie8g);
  gray->Fill(200);
  auto picture = Gradient(4, 4);
  auto dst = Target(4, 4);
  gray->RenderToTBitmap(dst.get(), nullptr, nullptr, 0, 0, 4, 4, 0, 0, 4, 4, false, false);
  picture->RenderToTBitmap(dst.get(), nullptr, nullptr, 0, 0, 0, 4, 0, 0, 4, 4, false, false);
  picture->RenderToTBitmap(dst.get(), nullptr, nullptr, 0, 0, 4, 0, 0, 0, 4, 4, false, false);
  picture->RenderToTBitmap(dst.get(), nullptr, nullptr, 0, 0, 4, 4, 0, 0, 0, 4, false, false);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(*dst, x, y), Rgb(7, 7, 7));
  // A caller's row table is used as given.
  std::vector<uint8_t*> rows;
  for (int y = 0; y < 4; ++y) rows.push_back(dst->ScanLine(y));
  picture->RenderToTBitmap(dst.get(), rows.data(), nullptr, 0, 0, 4, 4, 0, 0, 4, 4, false, false);
  EXPECT_EQ(At(*dst, 3, 2), Rgb(3, 2, 50));
}

}  // namespace
