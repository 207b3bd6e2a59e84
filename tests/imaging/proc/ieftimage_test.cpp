// The Fourier image: its square, the round trip, the passes and zones, and
// the size it refuses.
#include "imaging/proc/ieftimage.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/graphics.h"
#include "platform/sysutils.h"

namespace {

void Fill(TBitmap& b, int w, int h, uint8_t (*value)(int x, int y)) {
  b.SetPixelFormat(pf24bit);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) std::memset(b.ScanLine(y) + x * 3, value(x, y), 3);
}

TEST(FtImageTest, SquareOffsetsAndRoundTrip) {
  struct TCase {
    int w, h, side, ox, oy;
    int low;  // where 100 of 200 comes back
  };
  // Stretched over the whole square: with a black border 100 of 200 is
  // 127, without one it is the smallest value, 0.
  const TCase cases[] = {{300, 200, 512, 106, 156, 127}, {64, 64, 64, 0, 0, 0}, {5, 3, 8, 1, 2, 127}};
  for (const TCase& c : cases) {
    TBitmap picture;
    // A bright square on a mid-gray ground.
    Fill(picture, c.w, c.h, [](int x, int y) { return uint8_t(x % 4 < 2 && y % 4 < 2 ? 200 : 100); });
    TIEFtImage ft;
    ft.BuildFT(&picture, ieitGrayscale);
    EXPECT_EQ(ft.GetImageSize(), c.side);
    EXPECT_EQ(ft.OffsetX(), c.ox);
    EXPECT_EQ(ft.OffsetY(), c.oy);
    TBitmap back;
    ft.BuildBitmap(&back);
    ASSERT_EQ(back.GetWidth(), c.w);
    ASSERT_EQ(back.GetHeight(), c.h);
    for (int y = 0; y < c.h; y += 3)
      for (int x = 0; x < c.w; x += 5) EXPECT_NEAR(back.ScanLine(y)[x * 3], x % 4 < 2 && y % 4 < 2 ? 255 : c.low, 1);
    TBitmap spectrum;
    ft.GetFTImage(&spectrum);
    EXPECT_EQ(spectrum.GetWidth(), c.side);
    // The zero frequency, in the middle, is the brightest.
    EXPECT_GE(spectrum.ScanLine(c.side / 2)[c.side / 2 * 3], 254);
  }
}

TEST(FtImageTest, PassesAndZonesClearTheRightElements) {
  TBitmap picture;
  Fill(picture, 16, 16, [](int x, int) { return uint8_t(x % 2 ? 255 : 0); });
  TIEFtImage ft;
  ft.BuildFT(&picture, ieitRGB);
  TBitmap before, after;
  ft.GetFTImage(&before);
  // Clearing everything but the centre leaves a flat picture.
  TIEFtImage low;
  low.Assign(ft);
  low.LoPass(0);
  TBitmap flat;
  low.BuildBitmap(&flat);
  EXPECT_EQ(flat.ScanLine(3)[0], flat.ScanLine(3)[3]);
  // A zone outside the square is cut to it.
  ft.ClearZone(-10, -10, 100, 2);
  ft.GetFTImage(&after);
  EXPECT_EQ(after.ScanLine(0)[0], 0);
  EXPECT_EQ(memcmp(before.ScanLine(8), after.ScanLine(8), 16 * 3), 0);
}

TEST(FtImageTest, APictureBeyondTheLargestSquareIsRefused) {
  TBitmap picture;
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(TIEFtImage::kMaxSide + 1, 2);
  TIEFtImage ft;
  EXPECT_THROW(ft.BuildFT(&picture, ieitGrayscale), Exception);
  EXPECT_EQ(ft.GetImageSize(), 0);
}

}  // namespace
