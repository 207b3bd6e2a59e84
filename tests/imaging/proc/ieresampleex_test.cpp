// The picture-buffer and mask forms of the resampling routines agree with
// the platform-bitmap forms, whatever storage holds the picture.
#include <gtest/gtest.h>

#include "bitmaps.h"
#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/proc/ieresample.h"

namespace {

TRGB Pattern(int x, int y) { return Rgb((x * 37 + y * 11) % 256, (x * 5 + y * 29) % 256, (x * y * 3) % 256); }

std::unique_ptr<TIEBitmap> Buffer(TBitmap& from, TIELocation location) {
  auto buffer = std::make_unique<TIEBitmap>();
  buffer->Location = location;
  buffer->CopyFromTBitmap(&from);
  return buffer;
}

std::unique_ptr<TIEBitmap> Make(int width, int height, TIEPixelFormat format, TIELocation location = ieMemory) {
  auto bitmap = std::make_unique<TIEBitmap>();
  bitmap->Location = location;
  bitmap->Allocate(width, height, format);
  return bitmap;
}

struct SizeCase {
  int srcW, srcH, dstW, dstH;
};

TEST(ResampleEx, MatchesThePlatformBitmapFormInEveryStorage) {
  const SizeCase sizes[] = {{23, 13, 17, 11}, {23, 13, 41, 29}, {9, 30, 9, 12}};
  for (const SizeCase& size : sizes)
    for (TResampleFilter filter : {rfTriangle, rfLanczos3, rfMitchell, rfFastLinear})
      for (TIELocation location : {ieMemory, ieFile}) {
        SCOPED_TRACE(testing::Message() << size.srcW << "x" << size.srcH << "->" << size.dstW << "x" << size.dstH
                                        << " filter " << filter << " location " << location);
        auto src = Bitmap24(size.srcW, size.srcH, Pattern);
        TBitmap expected;
        expected.SetSize(size.dstW, size.dstH);
        _Resample(src.get(), &expected, filter);

        auto source = Buffer(*src, location);
        auto target = Make(size.dstW, size.dstH, ie8g, location);  // takes the source's format
        _ResampleEx(source.get(), target.get(), filter);
        ASSERT_EQ(target->PixelFormat, ie24RGB);
        for (int y = 0; y < size.dstH; ++y)
          for (int x = 0; x < size.dstW; ++x)
            ASSERT_EQ(target->GetPixels_ie24RGB(x, y), Pixel24(&expected, x, y)) << x << "," << y;
      }
}

TEST(ResampleEx, EqualSizeLinearAssignsAndOtherSourcesDoNothing) {
  auto src = Bitmap24(6, 4, Pattern);
  auto source = Buffer(*src, ieMemory);
  auto same = Make(6, 4, ie8g);
  _ResampleLinearEx(source.get(), same.get(), nullptr);
  EXPECT_EQ(same->PixelFormat, ie24RGB);
  EXPECT_EQ(same->GetPixels_ie24RGB(5, 3), Pattern(5, 3));

  // A grey source and a 1 x 1 source leave the destination as it is.
  auto kept = Make(2, 2, ie24RGB);
  kept->SetPixels_ie24RGB(0, 0, Rgb(1, 2, 3));
  auto grey = Make(6, 4, ie8g);
  auto one = Make(1, 1, ie24RGB);
  for (TIEBitmap* from : {grey.get(), one.get()}) {
    _ResampleEx(from, kept.get(), rfBell);
    EXPECT_EQ(kept->GetPixels_ie24RGB(0, 0), Rgb(1, 2, 3));
  }
}

TEST(ResampleAlpha, EachMaskValueFollowsTheGreyPictureResample) {
  const int w = 19, h = 7;
  auto grey = Bitmap24(w, h, [](int x, int y) { return Grey((x * 13 + y * 41) % 256); });
  TIEMask mask;
  mask.AllocateBits(w, h, 8);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) mask.SetPixel(x, y, Pixel24(grey.get(), x, y).r);
  for (TResampleFilter filter : {rfHermite, rfBSpline, rfFastLinear})
    for (const SizeCase& size : {SizeCase{w, h, 31, 5}, SizeCase{w, h, 8, 15}}) {
      SCOPED_TRACE(testing::Message() << "filter " << filter << " to " << size.dstW << "x" << size.dstH);
      TBitmap expected;
      expected.SetSize(size.dstW, size.dstH);
      _Resample(grey.get(), &expected, filter);
      TIEMask target;
      target.AllocateBits(size.dstW, size.dstH, 8);
      _ResampleAlpha(&mask, &target, filter);
      for (int y = 0; y < size.dstH; ++y)
        for (int x = 0; x < size.dstW; ++x) ASSERT_EQ(target.GetPixel(x, y), Pixel24(&expected, x, y).r);
    }
  TIEMask same;
  same.AllocateBits(w, h, 8);
  _ResampleLinearAlpha(&mask, &same);
  EXPECT_EQ(same.GetPixel(4, 3), mask.GetPixel(4, 3));
}

TEST(SubResample1bitEx, MatchesThePlatformBitmapForm) {
  auto src = Bitmap1(37, 23, [](int x, int y) { return (x * 7 + y * 3) % 5 < 2; });
  TBitmap expected;
  expected.SetSize(9, 5);
  _SubResample1bitFiltered(src.get(), 3, 2, 30, 20, &expected);
  for (TIELocation location : {ieMemory, ieFile}) {
    auto source = Buffer(*src, location);
    ASSERT_EQ(source->PixelFormat, ie1g);
    auto target = Make(9, 5, ie8g, location);
    _SubResample1bitFilteredEx(source.get(), 3, 2, 30, 20, target.get());
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 9; ++x) ASSERT_EQ(target->GetPixels_ie24RGB(x, y), Pixel24(&expected, x, y));
  }
}

// Source pixel (x, y) holds a value naming its position.
int Value(int x, int y) { return x + 16 * y; }

TEST(BmpStretchEx, NearestPixelInEveryFormatItKnows) {
  const int srcW = 7, srcH = 5, dstW = 16, dstH = 3;
  for (TIEPixelFormat format : {ie1g, ie8g, ie8p, ie16g, ie24RGB}) {
    SCOPED_TRACE(testing::Message() << "format " << format);
    auto source = Make(srcW, srcH, format, ieFile);
    auto target = Make(dstW, dstH, format, ieFile);
    TIEBitmap& src = *source;
    TIEBitmap& dst = *target;
    const auto put = [&](int x, int y) {
      const int v = Value(x, y);
      switch (format) {
        case ie1g: src.SetPixels_ie1g(x, y, v % 3 == 0); break;
        case ie8g:
        case ie8p: src.SetPixels_ie8(x, y, uint8_t(v)); break;
        case ie16g: src.SetPixels_ie16g(x, y, uint16_t(v * 300)); break;
        default: src.SetPixels_ie24RGB(x, y, Rgb(v, 255 - v, v / 2)); break;
      }
    };
    const auto same = [&](int dx, int dy, int sx, int sy) {
      switch (format) {
        case ie1g: return dst.GetPixels_ie1g(dx, dy) == src.GetPixels_ie1g(sx, sy);
        case ie8g:
        case ie8p: return dst.GetPixels_ie8(dx, dy) == src.GetPixels_ie8(sx, sy);
        case ie16g: return dst.GetPixels_ie16g(dx, dy) == src.GetPixels_ie16g(sx, sy);
        default: return dst.GetPixels_ie24RGB(dx, dy) == src.GetPixels_ie24RGB(sx, sy);
      }
    };
    for (int y = 0; y < srcH; ++y)
      for (int x = 0; x < srcW; ++x) put(x, y);
    _IEBmpStretchEx(&src, &dst);
    for (int y = 0; y < dstH; ++y)
      for (int x = 0; x < dstW; ++x) {
        const int sx = int(double(srcW) / dstW * x), sy = int(double(srcH) / dstH * y);
        ASSERT_TRUE(same(x, y, sx, sy)) << x << "," << y;
      }
  }
  // Different formats: nothing happens.
  auto grey = Make(4, 4, ie8g);
  grey->SetPixels_ie8(0, 0, 9);
  auto colour = Make(2, 2, ie24RGB);
  colour->SetPixels_ie24RGB(0, 0, Rgb(1, 1, 1));
  _IEBmpStretchEx(grey.get(), colour.get());
  EXPECT_EQ(colour->GetPixels_ie24RGB(0, 0), Rgb(1, 1, 1));
}

TEST(BmpStretch, TakesTheSourceFormatAndScales) {
  auto src = Bitmap1(4, 2, [](int x, int) { return x < 2; });
  TBitmap dst;
  dst.SetSize(8, 4);
  _IEBmpStretch(src.get(), &dst);
  EXPECT_EQ(dst.GetPixelFormat(), pf1bit);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(Bit(&dst, x, 3), x < 4) << x;
}

}  // namespace
