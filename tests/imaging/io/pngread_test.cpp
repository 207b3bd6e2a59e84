// PNG reader: outside-made files against their reference decodes, the
// parameters, transparency into the mask or composited over a background,
// interlaced pictures, damaged files and failing streams.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstring>
#include <stdexcept>

#include "imaging/core/iemask.h"
#include "imaging/core/ieview.h"
#include "imaging/io/pngfilt.h"
#include "pictures.h"
#include "pngtestutil.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

// ---------------------------------------------------------------------------------------
// Outside-made files

struct TCorpusCase {
  const char* file;
  int bitsPerSample;
  int samplesPerPixel;
  bool alpha;       // the mask gets values below 255
  bool interlaced;
};

class PngCorpus : public ::testing::TestWithParam<TCorpusCase> {};

TEST_P(PngCorpus, ReadsToTheReferencePixelsAndAlpha) {
  const TCorpusCase c = GetParam();
  TPngRead r;
  r.Read(ReadBytes(PicturePath(c.file)));
  ASSERT_FALSE(r.fixture.aborting);
  const TRgbaPicture ref = LoadReference8(c.file);
  ASSERT_EQ(r.bitmap.Width, ref.width);
  ASSERT_EQ(r.bitmap.Height, ref.height);
  EXPECT_EQ(r.params.Width, ref.width);
  EXPECT_EQ(r.params.Height, ref.height);
  EXPECT_EQ(r.params.BitsPerSample, c.bitsPerSample);
  EXPECT_EQ(r.params.SamplesPerPixel, c.samplesPerPixel);
  EXPECT_EQ(r.params.PNG_Interlaced, c.interlaced);
  const bool oneBit = c.bitsPerSample == 1;
  EXPECT_EQ(r.bitmap.PixelFormat, oneBit ? ie1g : ie24RGB);
  ASSERT_NE(r.mask, nullptr);
  EXPECT_EQ(r.mask->Full, !c.alpha);

  for (int y = 0; y < ref.height; ++y) {
    for (int x = 0; x < ref.width; ++x) {
      const uint8_t* want = ref.At(x, y);
      // 1-bit pictures keep no transparency.
      if (!oneBit) ASSERT_EQ(r.mask->GetPixel(x, y), want[3]) << c.file << " alpha at " << x << "," << y;
      if (want[3] == 0) continue;
      TRGB got = r.bitmap.GetPixels(x, y);
      if (oneBit && r.params.ColorMapCount > 0) got = r.params.ColorMap[r.bitmap.GetPixels_ie1g(x, y) ? 1 : 0];
      ASSERT_EQ(got, (TRGB{want[2], want[1], want[0]})) << c.file << " at " << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, PngCorpus,
    ::testing::Values(TCorpusCase{"png-suite-basn0g02.png", 2, 1, false, false},
                      TCorpusCase{"png-suite-basn3p01.png", 1, 1, false, false},
                      TCorpusCase{"png-suite-basn4a16.png", 16, 2, true, false},
                      TCorpusCase{"png-suite-basn6a16.png", 16, 4, true, false},
                      TCorpusCase{"png-suite-ftbbn3p08.png", 8, 1, true, false},
                      TCorpusCase{"png-pal1-97x61.png", 1, 1, false, false},
                      TCorpusCase{"png-pal2-33x21.png", 2, 1, false, false},
                      TCorpusCase{"png-pal4-97x61.png", 4, 1, false, false},
                      TCorpusCase{"png-pal8-trns-97x61.png", 8, 1, true, false},
                      TCorpusCase{"png-grey-alpha-33x21.png", 8, 2, true, false},
                      TCorpusCase{"png-rgba8-97x61.png", 8, 4, true, false},
                      TCorpusCase{"png-rgb16-33x21.png", 16, 3, false, false},
                      TCorpusCase{"png-interlaced-97x61.png", 8, 3, false, true},
                      TCorpusCase{"png-rgb-trns-31x17.png", 8, 3, true, false},
                      TCorpusCase{"png-bkgd-phys-31x17.png", 8, 4, true, false}),
    [](const auto& info) { return CaseName(info.param.file); });

TEST(PngRead, ResolutionComesFromPhysOrTheSystem) {
  TPngRead withPhys;
  withPhys.Read(ReadBytes(PicturePath("png-bkgd-phys-31x17.png")));
  EXPECT_EQ(withPhys.params.DPIX, 300);  // 11811 per metre
  EXPECT_EQ(withPhys.params.DPIY, 300);
  TPngRead without;
  without.Read(ReadBytes(PicturePath("png-pal4-97x61.png")));
  EXPECT_EQ(without.params.DPIX, gSystemDPIX);
  EXPECT_EQ(without.params.DPIY, gSystemDPIY);
}

TEST(PngRead, PaletteFilesGiveTheirPaletteOthersNone) {
  TPngRead pal;
  pal.params.SetColorMap(nullptr, 0);
  pal.Read(ReadBytes(PicturePath("png-pal1-97x61.png")));
  ASSERT_EQ(pal.params.ColorMapCount, 2);
  TPngRead rgb;
  const TRGB stale[1] = {{1, 2, 3}};
  rgb.params.SetColorMap(stale, 1);
  rgb.Read(ReadBytes(PicturePath("png-rgba8-97x61.png")));
  EXPECT_EQ(rgb.params.ColorMapCount, 0);
}

TEST(PngRead, PreviewFillsOnlyTheParameters) {
  TPngRead r;
  r.Read(ReadBytes(PicturePath("png-rgba8-97x61.png")), /*preview=*/true);
  EXPECT_FALSE(r.fixture.aborting);
  EXPECT_EQ(r.params.Width, 97);
  EXPECT_EQ(r.params.Height, 61);
  EXPECT_EQ(r.bitmap.Width, 0);
  EXPECT_EQ(r.mask, nullptr);
}

// ---------------------------------------------------------------------------------------
// Transparency composited away

// libpng's composition at gamma 1.0.
uint8_t Over(uint8_t c, uint8_t a, uint8_t bg) {
  const unsigned t = c * a + bg * (255u - a) + 128u;
  return static_cast<uint8_t>((t + (t >> 8)) >> 8);
}

void ExpectComposited(TPngRead& r, const TRgbaPicture& ref, TRGB bg) {
  for (int y = 0; y < ref.height; ++y)
    for (int x = 0; x < ref.width; ++x) {
      const uint8_t* p = ref.At(x, y);
      const TRGB want{Over(p[2], p[3], bg.b), Over(p[1], p[3], bg.g), Over(p[0], p[3], bg.r)};
      ASSERT_EQ(r.bitmap.GetPixels(x, y), want) << x << "," << y;
    }
}

TEST(PngRead, IgnoreAlphaCompositesOverTheFilesBackground) {
  TPngRead r;
  r.params.PNG_Background = TRGB{0, 255, 0};
  r.Read(ReadBytes(PicturePath("png-bkgd-phys-31x17.png")), false, /*ignoreAlpha=*/true);
  ASSERT_FALSE(r.fixture.aborting);
  EXPECT_EQ(r.mask, nullptr);
  const TRGB blue{255, 0, 0};
  EXPECT_EQ(r.params.PNG_Background, blue);  // from bKGD (0, 0, 255)
  ExpectComposited(r, LoadReference8("png-bkgd-phys-31x17.png"), blue);
}

TEST(PngRead, IgnoreAlphaWithoutBkgdCompositesOverPngBackground) {
  const TRGB green{0, 200, 0};
  for (const char* file : {"png-rgba8-97x61.png", "png-pal8-trns-97x61.png"}) {
    SCOPED_TRACE(file);
    TPngRead r;
    r.params.PNG_Background = green;
    r.Read(ReadBytes(PicturePath(file)), false, true);
    ASSERT_FALSE(r.fixture.aborting);
    EXPECT_EQ(r.params.PNG_Background, green);
    ExpectComposited(r, LoadReference8(file), green);
  }
}

// ---------------------------------------------------------------------------------------
// Interlaced pictures with alpha: every pass lands in place

TEST(PngRead, InterlacedAlphaCombinesThePasses) {
  const TRgbaPicture ref = LoadReference8("png-rgba8-97x61.png");
  const Bytes interlaced = EncodeWithLibpng(ref, /*interlaced=*/true);
  TPngRead masked;
  masked.Read(interlaced);
  ASSERT_FALSE(masked.fixture.aborting);
  EXPECT_TRUE(masked.params.PNG_Interlaced);
  for (int y = 0; y < ref.height; ++y)
    for (int x = 0; x < ref.width; ++x) {
      const uint8_t* p = ref.At(x, y);
      ASSERT_EQ(masked.mask->GetPixel(x, y), p[3]);
      ASSERT_EQ(masked.bitmap.GetPixels(x, y), (TRGB{p[2], p[1], p[0]})) << x << "," << y;
    }
  TPngRead composited;
  const TRGB bg{10, 20, 30};
  composited.params.PNG_Background = bg;
  composited.Read(interlaced, false, true);
  ExpectComposited(composited, ref, bg);
}

// ---------------------------------------------------------------------------------------
// Damage and failing streams

TEST(PngRead, DamagedFilesSetTheAbortFlagQuietly) {
  for (const char* file : {"png-bad-ihdr-crc.png", "png-bad-huge-ihdr.png", "png-bad-truncated.png"}) {
    SCOPED_TRACE(file);
    TPngRead r;
    EXPECT_NO_THROW(r.Read(ReadBytes(PicturePath(file))));
    EXPECT_TRUE(r.fixture.aborting);
  }
  // Not a PNG at all, and nothing at all.
  for (const Bytes& bytes : {Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0}, Bytes{}}) {
    TPngRead r;
    r.Read(bytes);
    EXPECT_TRUE(r.fixture.aborting);
    EXPECT_EQ(r.bitmap.Width, 0);
  }
}

TEST(PngRead, ATruncatedFileKeepsTheRowsDecodedAndBlanksTheRest) {
  const TRgbaPicture ref = LoadReference8("png-rgba8-97x61.png");
  Bytes png = EncodeWithLibpng(ref, false, /*level=*/0);
  png.resize(png.size() / 2);
  TPngRead r;
  r.Read(png);
  ASSERT_TRUE(r.fixture.aborting);
  ASSERT_EQ(r.bitmap.Height, 61);
  const uint8_t* top = ref.At(5, 0);
  EXPECT_EQ(r.bitmap.GetPixels(5, 0), (TRGB{top[2], top[1], top[0]}));
  EXPECT_EQ(r.bitmap.GetPixels(5, 60), (TRGB{0, 0, 0}));
}

TEST(PngRead, AHeaderAnnouncingMoreThanTheDataCouldHoldAllocatesNothing) {
  // 60000 x 60000 RGB in a few hundred bytes.
  Bytes png = EncodeWithLibpng(LoadReference8("png-pal4-97x61.png"), false);
  PatchIhdrSize(png, 60000, 60000);
  TPngRead r;
  r.Read(png);
  EXPECT_TRUE(r.fixture.aborting);
  EXPECT_EQ(r.bitmap.Width, 0);
}

// Raises after a byte budget.
class TThrowingStream : public TMemoryStream {
 public:
  explicit TThrowingStream(int64_t budget) : budget_(budget) {}
  int64_t Read(void* buffer, int64_t count) override {
    if (GetPosition() + count > budget_) throw EReadError("Stream read error");
    return TMemoryStream::Read(buffer, count);
  }

 private:
  int64_t budget_;
};

TEST(PngRead, StreamErrorsPassThroughLibpng) {
  const Bytes png = ReadBytes(PicturePath("png-rgba8-97x61.png"));
  TThrowingStream stream(static_cast<int64_t>(png.size()) / 2);
  Fill(stream, png);
  TIEBitmap bitmap;
  TIOParamsVals params(nullptr);
  TProgressFixture fixture;
  TIEMask* mask = nullptr;
  EXPECT_THROW(ReadPNGStream(&stream, &bitmap, params, fixture.progress, false, mask, false), EReadError);
  delete mask;
}

TEST(PngRead, TheStreamIsLeftAfterThePicture) {
  const Bytes first = ReadBytes(PicturePath("png-pal4-97x61.png"));
  const Bytes second = ReadBytes(PicturePath("png-rgba8-97x61.png"));
  Bytes both = first;
  both.insert(both.end(), second.begin(), second.end());
  TMemoryStream stream;
  Fill(stream, both);
  TIOParamsVals params(nullptr);
  TProgressFixture fixture;
  TIEMask* mask = nullptr;
  TIEBitmap a, b;
  ReadPNGStream(&stream, &a, params, fixture.progress, false, mask, false);
  EXPECT_EQ(stream.GetPosition(), static_cast<int64_t>(first.size()));
  ReadPNGStream(&stream, &b, params, fixture.progress, false, mask, false);
  EXPECT_FALSE(fixture.aborting);
  EXPECT_EQ(b.Width, 97);
  EXPECT_FALSE(mask->Full);
  delete mask;
}

TEST(PngRead, ProgressRunsToTheEndAndStopsWhenAsked) {
  const Bytes interlaced = EncodeWithLibpng(LoadReference8("png-rgba8-97x61.png"), true);
  TPngRead r;
  int last = -1;
  int calls = 0;
  r.fixture.progress.OnProgress = [&](TObject*, int percent) {
    last = percent;
    ++calls;
  };
  r.Read(interlaced);
  EXPECT_EQ(calls, 61 * 7);  // every row of every pass
  EXPECT_EQ(last, 100);

  TPngRead stopped;
  stopped.fixture.progress.OnProgress = [&](TObject*, int) { stopped.fixture.aborting = true; };
  stopped.Read(interlaced);
  EXPECT_EQ(stopped.fixture.progress.Counter, 1);
}

TEST(PngRead, IsPNGStreamKeepsThePosition) {
  TMemoryStream stream;
  Bytes bytes{0, 0};
  const Bytes png = ReadBytes(PicturePath("png-pal4-97x61.png"));
  bytes.insert(bytes.end(), png.begin(), png.end());
  Fill(stream, bytes);
  stream.SetPosition(2);
  EXPECT_TRUE(IsPNGStream(&stream));
  EXPECT_EQ(stream.GetPosition(), 2);
  stream.SetPosition(0);
  EXPECT_FALSE(IsPNGStream(&stream));
  Fill(stream, Bytes(png.begin(), png.begin() + 7));  // one byte short
  EXPECT_FALSE(IsPNGStream(&stream));
  EXPECT_EQ(stream.GetPosition(), 0);
}

}  // namespace
