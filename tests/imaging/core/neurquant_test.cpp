#include "imaging/core/neurquant.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "imaging/core/iememorymapped.h"
#include "platform/graphics.h"
#include "rgbpicture.h"
#include "support/testenv.h"

namespace {

int Distance(const TRGB& a, const TRGB& b) {
  return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

// A picture of smoothly varied colour.
TestRGBPicture Varied(int width, int height) {
  TestRGBPicture picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.Set(x, y, Rgb(x * 255 / width, y * 255 / height, (x + y) * 127 / (width + height)));
  return picture;
}

TEST(NeuQuant, SampleFactorFollowsPictureSizeOrQuality) {
  const struct {
    int64_t pixels;
    int quality;
    int factor;
  } cases[] = {
      {1999, -1, 1},      {2000, -1, 2},      {640 * 480, -1, 29}, {315077, -1, 30},
      {100000000, -1, 30}, {5000, 100, 1},     {5000, 0, 30},       {5000, 50, 15},
      {5000, 150, 1},     {5000, -20, 30},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IENeuQuantSampleFactor(c.pixels, c.quality), c.factor)
        << c.pixels << " pixels, quality " << c.quality;
}

TEST(NeuQuant, SampleStepAvoidsDivisorsOfTheByteCount) {
  const struct {
    int64_t bytes;
    int step;
  } cases[] = {{300, 499}, {499 * 3, 491}, {499 * 491, 487}, {499LL * 491 * 487, 503}};
  for (const auto& c : cases) EXPECT_EQ(IENeuQuantSampleStep(c.bytes), c.step) << c.bytes;
}

// With nothing to learn from the palette is the start ramp.
TEST(NeuQuant, EmptyPictureGivesTheGreyRamp) {
  for (int ncol : {128, 256}) {
    TestRGBPicture picture(0, 0);
    std::vector<TRGB> map(256, Rgb(1, 2, 3));
    TIEQuantizer q(&picture, map, ncol);
    EXPECT_EQ(q.GetMethod(), ieqNeuQuant);
    const int scale = 256 / ncol;
    for (int i = 0; i < 256; ++i) {
      const int v = i * scale;
      EXPECT_EQ(map[i], i < ncol ? Rgb(v, v, v) : Rgb(1, 2, 3)) << "entry " << i;
    }
    EXPECT_EQ(q.GetRGBIndex(Rgb(100, 100, 100)), 100 / scale);
  }
}

// The sample position wraps inside the picture however small it is.
TEST(NeuQuant, SmallPicturesAreReadOnlyInside) {
  const struct {
    int width, height;
  } sizes[] = {{1, 1}, {7, 3}, {10, 10}, {22, 22}, {499, 1}, {1, 499}, {30, 50}};
  for (const auto& s : sizes) {
    SCOPED_TRACE(testing::Message() << s.width << "x" << s.height);
    TestRGBPicture picture = Varied(s.width, s.height);
    std::vector<TRGB> map(256);
    TIEQuantizer q(&picture, map, 256);
    EXPECT_EQ(picture.OutOfRangeRows, 0);
  }
}

// The index search finds a palette entry of least distance for any colour.
TEST(NeuQuant, SearchFindsTheNearestEntry) {
  TestRGBPicture picture = Varied(120, 90);
  std::vector<TRGB> map(256);
  TIEQuantizer q(&picture, map, 256);
  for (int r = 0; r < 256; r += 17)
    for (int g = 0; g < 256; g += 15)
      for (int b = 0; b < 256; b += 51) {
        const TRGB c = Rgb(r, g, b);
        const int index = q.GetRGBIndex(c);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, 256);
        int nearest = 1000;
        for (const TRGB& entry : map) nearest = std::min(nearest, Distance(entry, c));
        ASSERT_EQ(Distance(map[index], c), nearest) << r << "," << g << "," << b;
      }
}

// The network learns the few colours of a picture closely.
TEST(NeuQuant, LearnsTheColoursOfThePicture) {
  const TRGB colours[] = {Rgb(200, 30, 30), Rgb(20, 180, 40), Rgb(10, 20, 220),
                          Rgb(240, 240, 100)};
  TestRGBPicture picture(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) picture.Set(x, y, colours[(y / 32) * 2 + x / 32]);
  std::vector<TRGB> map(128);
  TIEQuantizer q(&picture, map, 128);
  for (const TRGB& c : colours) EXPECT_LE(Distance(map[q.GetRGBIndex(c)], c), 6);
}

std::unique_ptr<TBitmap> Bitmap24(int width, int height, TRGB fill) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<TRGB*>(bitmap->ScanLine(y));
    for (int x = 0; x < width; ++x) row[x] = fill;
  }
  return bitmap;
}

// Only a grey 24-bit platform bitmap asked for 256 colours gets the
// identity palette; GetRGBIndex then answers the red byte.
TEST(TIEQuantizer, ChoosesItsMethod) {
  const struct {
    const char* name;
    bool platform;
    TRGB fill;
    int ncol;
    bool grey;
    int method;
  } cases[] = {
      {"grey bitmap, 256", true, Rgb(77, 77, 77), 256, true, ieqNeuQuant},
      {"grey bitmap, 255", true, Rgb(77, 77, 77), 255, false, ieqNeuQuant},
      {"colour bitmap, 256", true, Rgb(77, 78, 77), 256, false, ieqNeuQuant},
      {"grey buffer, 256", false, Rgb(77, 77, 77), 256, false, ieqNeuQuant},
      {"128 colours", false, Rgb(9, 99, 199), 128, false, ieqNeuQuant},
      {"127 colours", false, Rgb(9, 99, 199), 127, false, ieqMedianCut},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<TRGB> map(256);
    TestRGBPicture buffer(16, 16, c.fill);
    auto bitmap = Bitmap24(16, 16, c.fill);
    std::unique_ptr<TIEQuantizer> q =
        c.platform ? std::make_unique<TIEQuantizer>(bitmap.get(), map, c.ncol)
                   : std::make_unique<TIEQuantizer>(&buffer, map, c.ncol);
    EXPECT_EQ(q->GetGrayScale(), c.grey);
    EXPECT_EQ(q->GetMethod(), c.method);
    if (c.grey) {
      for (int i = 0; i < 256; ++i) ASSERT_EQ(map[i], Rgb(i, i, i));
      EXPECT_EQ(q->GetRGBIndex(Rgb(200, 0, 0)), 200);
    }
  }
}

// NCol is cut to the colour map, which is never written past its end.
TEST(TIEQuantizer, StaysInsideTheColourMap) {
  TestRGBPicture picture = Varied(40, 40);
  std::vector<TRGB> storage(300, Rgb(1, 2, 3));
  for (size_t length : {size_t(4), size_t(200)}) {
    SCOPED_TRACE(length);
    TIEQuantizer q(&picture, std::span<TRGB>(storage.data(), length), 256);
    EXPECT_EQ(q.GetMethod(), length < 128 ? ieqMedianCut : ieqNeuQuant);
    for (size_t i = length; i < storage.size(); ++i) ASSERT_EQ(storage[i], Rgb(1, 2, 3));
    for (int r = 0; r < 256; r += 5) {
      const int index = q.GetRGBIndex(Rgb(r, 255 - r, r / 2));
      ASSERT_GE(index, 0);
      ASSERT_LT(size_t(index), length);
    }
  }
}

// A pixel buffer in a temporary file keeps one row mapped at a time; the
// quantisers must build the same palettes from it as from memory.
TEST(TIEQuantizer, ReadsFileStorageLikeMemory) {
  cwtest::TempDir dir;
  const std::string saved = DefTEMPPATH;
  DefTEMPPATH = dir.path().string();
  TestRGBPicture source = Varied(70, 50);
  TIEBitmap inMemory, inFile;
  inFile.FileThreshold = 0;
  inFile.Location = ieFile;
  for (TIEBitmap* b : {&inMemory, &inFile}) {
    b->Allocate(70, 50, ie24RGB);
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 70; ++x)
        b->SetPixels_ie24RGB(x, y, reinterpret_cast<const TRGB*>(source.GetScanLine(y))[x]);
  }
  ASSERT_EQ(inFile.GetLocation(), ieFile);
  for (int ncol : {256, 40}) {
    SCOPED_TRACE(ncol);
    std::vector<TRGB> fromMemory(256), fromFile(256);
    TIEQuantizer a(&inMemory, fromMemory, ncol), b(&inFile, fromFile, ncol);
    EXPECT_EQ(fromMemory, fromFile);
    for (int r = 0; r < 256; r += 9)
      ASSERT_EQ(a.GetRGBIndex(Rgb(r, 255 - r, 80)), b.GetRGBIndex(Rgb(r, 255 - r, 80)));
  }
  DefTEMPPATH = saved;
}

}  // namespace
