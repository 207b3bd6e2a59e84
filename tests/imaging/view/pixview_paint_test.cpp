#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/core/iemask.h"
#include "imaging/core/ievalues.h"
#include "pixview_fixture.h"

namespace {

TRGB Pattern(int x, int y) { return TRGB{uint8_t((x + y) * 5), uint8_t(y * 8), uint8_t(x * 6)}; }

// The paint rectangle and fixed-point pixel replication, computed here from
// the layout rules on their own: client 100 x 80, picture 40 x 30, no scroll.
struct Expected {
  int offX = 0, offY = 0, srcW = 0, srcH = 0, dstW = 0, dstH = 0;
  int64_t colStep = 0, rowStep = 0;

  Expected(double zoom, bool center) {
    const int cw = 100, ch = 80, pw = 40, ph = 30;
    const int ex = int(std::nearbyint(pw * zoom / 100)), ey = int(std::nearbyint(ph * zoom / 100));
    const int vw = std::min(ex, cw), vh = std::min(ey, ch);
    if (center) offX = (cw - vw) / 2, offY = (ch - vh) / 2;
    srcW = int(std::nearbyint(double(pw) / ex * vw));
    srcH = int(std::nearbyint(double(ph) / ey * vh));
    dstW = vw, dstH = vh;
    if (zoom > 100) {
      dstW = int(srcW * zoom / 100);
      if (dstW < vw && pw >= srcW + 1) dstW = int(++srcW * zoom / 100);
      dstH = int(srcH * zoom / 100);
      if (dstH < vh && ph >= srcH + 1) dstH = int(++srcH * zoom / 100);
    }
    colStep = int64_t(double(srcW) / dstW * 16384);
    rowStep = int64_t(double(srcH) / dstH * 16384);
  }
  bool Inside(int x, int y) const {
    return x >= offX && y >= offY && x < offX + dstW && y < offY + dstH && x < 100 && y < 80;
  }
  TRGB Picture(int x, int y) const {
    return Pattern(int((colStep * (x - offX)) >> 14), int((rowStep * (y - offY)) >> 14));
  }
};

constexpr TColor kBack = 0x1EC80A;  // red 10, green 200, blue 30

uint32_t ChessboardAt(int x, int y) {
  const bool complement = ((x / 16) + (y / 16)) % 2 == 0;
  return complement ? (Rgb24(kBack) ^ 0xFFFFFF) : Rgb24(kBack);
}

TEST_F(PixViewTest, PaintsPictureAndBackgroundAtZoomsBelowAtAndAbove100) {
  view->SetBackGround(kBack);
  Picture24(40, 30, Pattern);
  for (TIEBackgroundStyle style : {iebsSolid, iebsChessboard, iebsCropShadow})
    for (bool center : {false, true})
      for (double zoom : {50.0, 100.0, 200.0, 300.0}) {
        view->SetBackgroundStyle(style);
        view->SetCenter(center);
        view->SetZoom(zoom);
        view->SetViewXY(0, 0);
        PaintNow();
        const Expected e(zoom, center);
        SCOPED_TRACE(testing::Message() << "style " << style << " centre " << center << " zoom " << zoom);
        int mismatches = 0;
        for (int y = 0; y < 80; ++y)
          for (int x = 0; x < 100; ++x) {
            const uint32_t shown = Shown(x, y);
            if (e.Inside(x, y)) {
              mismatches += shown != Rgb24(e.Picture(x, y));
            } else if (style == iebsSolid) {
              mismatches += shown != Rgb24(kBack);
            } else if (style == iebsChessboard) {
              mismatches += shown != ChessboardAt(x, y);
            } else {
              // Beyond the shadow (5 pixels right and below) lies plain face colour.
              const bool shadowZone = x < e.offX + e.dstW + 6 && y < e.offY + e.dstH + 6;
              if (!shadowZone) mismatches += shown != Rgb24(clBtnFace);
            }
          }
        EXPECT_EQ(mismatches, 0);
        if (style == iebsCropShadow && e.offX + e.dstW + 2 < 100 && e.dstH > 10) {
          // The shadow right of the picture is darker than the face colour.
          const uint32_t shade = Shown(e.offX + e.dstW + 1, e.offY + e.dstH / 2);
          EXPECT_LT(shade & 0xFF, Rgb24(clBtnFace) & 0xFF);
        }
      }
}

TEST_F(PixViewTest, AtZoom100TheBackBufferEqualsTheVisiblePicture) {
  Picture24(300, 200, Pattern);
  view->SetViewXY(17, 9);
  PaintNow();
  TBitmap* back = view->BackBuffer();
  ASSERT_EQ(back->GetWidth(), 100);
  for (int y = 0; y < 80; ++y)
    ASSERT_EQ(0, std::memcmp(back->ScanLine(y), view->GetFBitmap()->ScanLine(y + 9) + 17 * 3, 300)) << y;
}

TEST_F(PixViewTest, OneBitPictureDrawsClearBitsBlackAndSetBitsWhite) {
  TBitmap* b = view->GetFBitmap();
  b->SetPixelFormat(pf1bit);
  b->SetSize(8, 8);
  for (int y = 0; y < 8; ++y) b->ScanLine(y)[0] = uint8_t(0xF0 >> (y % 4));
  view->Update();
  view->SetZoom(200);
  PaintNow();
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool set = (0xF0 >> ((y / 2) % 4)) & (0x80 >> (x / 2));
      ASSERT_EQ(Shown(x, y), set ? 0xFFFFFFu : 0u) << x << "," << y;
    }
}

TEST_F(PixViewTest, AlphaChannelBlendsOverTheBackgroundWithFlooredWeights) {
  view->SetBackGround(kBack);
  Picture24(20, 10, [](int x, int) { return TRGB{200, 100, uint8_t(x * 10)}; });
  TIEMask* alpha = view->GetAlphaChannel();
  for (int x = 0; x < 20; ++x) alpha->SetPixel(x, 0, x < 10 ? 128 : 255);
  view->SetEnableAlphaChannel(true);
  PaintNow();
  const TRGB back = TColor2TRGB(kBack);
  auto mix = [](int s, int t, int a) { return uint8_t(t + int(std::floor((s - t) * a / 256.0))); };
  for (int x = 0; x < 20; ++x) {
    const int a = x < 10 ? 128 : 255;
    const TRGB expected{mix(200, back.b, a), mix(100, back.g, a), mix(x * 10, back.r, a)};
    EXPECT_EQ(Shown(x, 0), Rgb24(expected)) << x;
    // Alpha 255 below goes through the same weights (255 / 256).
    const TRGB opaque{mix(200, back.b, 255), mix(100, back.g, 255), mix(x * 10, back.r, 255)};
    EXPECT_EQ(Shown(x, 1), Rgb24(opaque)) << x;
  }
}

TEST_F(PixViewTest, VeryTallPicturesMapRowsWithoutOverflow) {
  // 200000 rows shown on 600: each target row steps 333 rows, and the
  // fixed-point products pass 2^31 halfway down.
  view->SetBounds(0, 0, 100, 600);
  TBitmap* b = view->GetFBitmap();
  b->SetPixelFormat(pf1bit);
  b->SetSize(400, 200000);
  for (int y = 0; y < 200000; ++y) std::fill_n(b->ScanLine(y), b->BytesPerLine(), y < 100000 ? 0xFF : 0x00);
  view->Update();
  view->SetZoom(0.3);
  PaintNow();
  ASSERT_EQ(view->DstH, 600);
  const int64_t step = int64_t(double(view->SrcH) / view->DstH * 16384);
  for (int y : {0, 10, 299, 300, 450, 599}) {
    const int64_t sy = (step * y) >> 14;
    EXPECT_EQ(Shown(0, y), sy < 100000 ? 0xFFFFFFu : 0u) << y;
  }
}

TEST_F(PixViewTest, PaintLockStopsDrawingButStillReportsThePaint) {
  int paints = 0;
  view->OnPaint = [&](TObject*) { ++paints; };
  view->SetBackGround(clBlack);
  PlainPicture(10, 10);
  PaintNow();
  view->LockPaint();
  view->SetBackGround(clWhite);
  view->SetBackgroundStyle(iebsSolid);
  PaintNow();
  EXPECT_EQ(Shown(50, 50), 0u);
  EXPECT_GE(paints, 2);
  view->UnLockPaint();
  PaintNow();
  EXPECT_EQ(Shown(50, 50), 0xFFFFFFu);
}

TEST_F(PixViewTest, OnePixelPictureDrawsOnlyTheBackground) {
  view->SetBackGround(kBack);
  Picture24(1, 1, [](int, int) { return TRGB{1, 2, 3}; });
  EXPECT_TRUE(view->GetIsEmpty());
  PaintNow();
  EXPECT_EQ(Shown(0, 0), Rgb24(kBack));
}

TEST_F(PixViewTest, FilteredPathResamplesOnceTheDelayHasRunOut) {
  Picture24(40, 30, Pattern);
  view->SetZoomFilter(rfTriangle);
  view->SetZoom(200);
  EXPECT_EQ(view->FilterCountdown, 0);  // leaving 100 arms no delay
  view->SetZoom(300);
  EXPECT_GT(view->FilterCountdown, 0);
  // Outline passes count it out and lay the view out again.
  for (int i = 0; i < 2 && view->FilterCountdown > 0; ++i) view->AniPolyFunc(nullptr, true);
  EXPECT_EQ(view->FilterCountdown, 0);
  PaintNow();
  // A filtered picture blends neighbours: a pixel between two source
  // pixels is no longer a plain copy of either.
  const Expected e(300, false);
  int blended = 0;
  for (int x = 0; x < 90; ++x) blended += Shown(x, 40) != Rgb24(e.Picture(x, 40));
  EXPECT_GT(blended, 0);
}

}  // namespace
