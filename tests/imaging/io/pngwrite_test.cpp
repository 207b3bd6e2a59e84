// PNG writer: what each depth choice puts in the file, transparency from
// the mask, the chunks made of the parameters, row filters and failures;
// files are read back by an independent decoder.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "imaging/core/iemask.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/pngfilt.h"
#include "pictures.h"
#include "pngtestutil.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

TRGB Gradient(int x, int y) {
  return TRGB{static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 11), static_cast<uint8_t>(x * y)};
}

Bytes WritePng(TIEBitmap& bitmap, TIOParamsVals& params, TIEMask* mask = nullptr) {
  TMemoryStream stream;
  TProgressFixture fixture;
  WritePNGStream(&stream, &bitmap, params, fixture.progress, mask);
  EXPECT_FALSE(fixture.aborting);
  return Contents(stream);
}

struct TIhdr {
  int depth;
  int colorType;
  int interlace;
};

TIhdr HeaderOf(const Bytes& png) {
  const Bytes ihdr = ChunkData(png, "IHDR");
  return {ihdr.at(8), ihdr.at(9), ihdr.at(12)};
}

// A mask with a clear block in the top-left corner and a ramp in row 5.
void MakeMask(TIEMask& mask, int width, int height) {
  mask.AllocateBits(width, height, 8);
  mask.Fill(255);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) mask.SetPixel(x, y, 0);
  for (int x = 0; x < width; ++x) mask.SetPixel(x, 5, x * 255 / (width - 1));
}

TEST(PngWrite, RgbRoundTripsThroughAnIndependentDecoder) {
  TempDir dir;
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 37, 23, Gradient);
  for (const bool interlaced : {false, true}) {
    TIOParamsVals params(nullptr);
    params.PNG_Interlaced = interlaced;
    const Bytes png = WritePng(bitmap, params);
    EXPECT_EQ(HeaderOf(png).colorType, 2);
    EXPECT_EQ(HeaderOf(png).interlace, interlaced ? 1 : 0);
    EXPECT_TRUE(HasChunk(png, "IEND"));
    const std::string path = dir.file(interlaced ? "i.png" : "p.png");
    TFileStream(path, fmCreate).WriteBuffer(png.data(), static_cast<int64_t>(png.size()));
    const TRgbaPicture outside = DecodeIndependently({path}).at(0);
    EXPECT_EQ(MaxChannelDifference(outside, ToRgba(bitmap)), 0);
    TPngRead back;
    back.Read(png);
    EXPECT_EQ(MaxChannelDifference(ToRgba(back.bitmap), ToRgba(bitmap)), 0);
  }
}

// Which kind of file the depth parameters give.
struct TDepthCase {
  int bitsPerSample;
  int samplesPerPixel;
  int depth;
  int colorType;
  int paletteEntries;  // 0: no palette
};

class PngWriteDepth : public ::testing::TestWithParam<TDepthCase> {};

TEST_P(PngWriteDepth, GivesTheFileKind) {
  const TDepthCase c = GetParam();
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 40, 30, Gradient);
  TIOParamsVals params(nullptr);
  params.BitsPerSample = c.bitsPerSample;
  params.SamplesPerPixel = c.samplesPerPixel;
  params.PNG_Background = TRGB{1, 2, 3};
  const Bytes png = WritePng(bitmap, params);
  EXPECT_EQ(HeaderOf(png).depth, c.depth);
  EXPECT_EQ(HeaderOf(png).colorType, c.colorType);
  const Bytes plte = ChunkData(png, "PLTE");
  EXPECT_EQ(static_cast<int>(plte.size()), c.paletteEntries * 3);
  if (c.paletteEntries > 0) EXPECT_EQ(Bytes(plte.begin(), plte.begin() + 3), (Bytes{3, 2, 1}));
  TPngRead back;
  back.Read(png);
  EXPECT_FALSE(back.fixture.aborting);
  EXPECT_EQ(back.bitmap.Width, 40);
}

INSTANTIATE_TEST_SUITE_P(Kinds, PngWriteDepth,
                         ::testing::Values(TDepthCase{8, 3, 8, 2, 0},     // RGB
                                           TDepthCase{1, 1, 1, 0, 0},     // 1-bit grey
                                           TDepthCase{1, 3, 1, 0, 0},     // 1 bit whatever the samples
                                           TDepthCase{8, 1, 8, 3, 256},   // background + 255 colours
                                           TDepthCase{4, 1, 8, 3, 17},    // background + 16 colours
                                           TDepthCase{16, 1, 8, 3, 256}));

TEST(PngWrite, PalettePixelsMapToTheirColours) {
  TIEBitmap bitmap;
  const TRGB colours[4] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {200, 200, 200}};
  PaintBitmap(bitmap, 20, 12, [&](int x, int y) { return colours[(x / 5 + y) % 4]; });
  TIOParamsVals params(nullptr);
  params.BitsPerSample = 2;
  params.SamplesPerPixel = 1;
  TPngRead back;
  back.Read(WritePng(bitmap, params));
  // The quantiser works on 5 bits a channel.
  EXPECT_LE(MaxChannelDifference(ToRgba(back.bitmap), ToRgba(bitmap)), 8);
  EXPECT_EQ(back.params.ColorMapCount, 5);
}

TEST(PngWrite, ATwoColourPictureAtOneBitIsDarkOnLight) {
  TIEBitmap bitmap;
  const TRGB dark{10, 0, 80}, light{200, 220, 250};
  PaintBitmap(bitmap, 19, 7, [&](int x, int y) { return (x + y) % 3 ? light : dark; });
  TIOParamsVals params(nullptr);
  params.BitsPerSample = 1;
  params.SamplesPerPixel = 1;
  TPngRead back;
  back.Read(WritePng(bitmap, params));
  ASSERT_EQ(back.bitmap.PixelFormat, ie1g);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 19; ++x) ASSERT_EQ(back.bitmap.GetPixels_ie1g(x, y), (x + y) % 3 != 0);
}

TEST(PngWrite, AMaskWithClearPixelsGivesAlphaAFullOneDoesNot) {
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 30, 9, Gradient);
  TIOParamsVals params(nullptr);
  TIEMask full;
  full.AllocateBits(30, 9, 8);
  full.Fill(255);
  full.Full = false;  // the values decide, not the flag
  EXPECT_EQ(HeaderOf(WritePng(bitmap, params, &full)).colorType, 2);

  TIEMask mask;
  MakeMask(mask, 30, 9);
  const Bytes png = WritePng(bitmap, params, &mask);
  EXPECT_EQ(HeaderOf(png).colorType, 6);
  TPngRead back;
  back.Read(png);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_EQ(back.mask->GetPixel(x, y), mask.GetPixel(x, y));
  EXPECT_EQ(MaxChannelDifference(ToRgba(back.bitmap), ToRgba(bitmap)), 0);
}

TEST(PngWrite, AMaskOfAnotherSizeCountsAsOpaqueOutsideIt) {
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 30, 9, Gradient);
  TIOParamsVals params(nullptr);
  TIEMask small;
  MakeMask(small, 8, 4);
  TPngRead back;
  back.Read(WritePng(bitmap, params, &small));
  EXPECT_EQ(back.mask->GetPixel(0, 0), 0);
  EXPECT_EQ(back.mask->GetPixel(20, 8), 255);
}

TEST(PngWrite, PaletteWithClearPixelsUsesEntryZeroAndTrns) {
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 30, 9, Gradient);
  TIOParamsVals params(nullptr);
  params.BitsPerSample = 8;
  params.SamplesPerPixel = 1;
  TIEMask mask;
  MakeMask(mask, 30, 9);
  const Bytes png = WritePng(bitmap, params, &mask);
  EXPECT_EQ(ChunkData(png, "tRNS"), Bytes{0});
  const Bytes rows = InflatedImageData(png);  // filter byte + 30 indices per row
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 30; ++x) {
      const uint8_t index = rows[static_cast<size_t>(y) * 31 + 1 + x];
      if (mask.GetPixel(x, y) != 255) ASSERT_EQ(index, 0) << x << "," << y;
      else ASSERT_NE(index, 0) << x << "," << y;
    }
}

TEST(PngWrite, ResolutionAndBackgroundChunks) {
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 4, 4, Gradient);
  TIOParamsVals params(nullptr);
  params.DPIX = 96;
  params.DPIY = 72;
  params.PNG_Background = TRGB{30, 20, 10};
  const Bytes png = WritePng(bitmap, params);
  // 3780 and 2835 pixels per metre, unit metre.
  EXPECT_EQ(ChunkData(png, "pHYs"), (Bytes{0, 0, 0x0E, 0xC4, 0, 0, 0x0B, 0x13, 1}));
  // Samples in the file's 8 bits: red 10, green 20, blue 30.
  EXPECT_EQ(ChunkData(png, "bKGD"), (Bytes{0, 10, 0, 20, 0, 30}));
  TPngRead back;
  back.Read(png);
  EXPECT_EQ(back.params.DPIX, 96);
  EXPECT_EQ(back.params.DPIY, 72);
}

TEST(PngWrite, RowFilterAndCompressionLevelFollowTheParameters) {
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 64, 16, Gradient);
  const std::pair<TIOPNGFilter, uint8_t> filters[] = {
      {ioPNG_FILTER_NONE, 0}, {ioPNG_FILTER_SUB, 1}, {ioPNG_FILTER_PAETH, 4}};
  for (const auto& [filter, code] : filters) {
    TIOParamsVals params(nullptr);
    params.PNG_Filter = filter;
    const Bytes rows = InflatedImageData(WritePng(bitmap, params));
    for (int y = 0; y < 16; ++y) ASSERT_EQ(rows[static_cast<size_t>(y) * (64 * 3 + 1)], code);
  }
  // Flat blocks: deflate shrinks them a lot, when it is asked to.
  PaintBitmap(bitmap, 256, 64, [](int x, int y) { return TRGB{static_cast<uint8_t>(x / 32 * 30), static_cast<uint8_t>(y / 16 * 60), 0}; });
  TIOParamsVals stored(nullptr), packed(nullptr);
  stored.PNG_Compression = 0;
  packed.PNG_Compression = 9;
  EXPECT_GT(WritePng(bitmap, stored).size(), 10 * WritePng(bitmap, packed).size());
  TIOParamsVals wild(nullptr);
  wild.PNG_Compression = 42;  // beyond zlib's levels: the strongest
  EXPECT_EQ(WritePng(bitmap, wild).size(), WritePng(bitmap, packed).size());
}

TEST(PngWrite, ADepthLeftByTheLastReadDoesNotMakeAPalette) {
  TPngRead read;
  read.Read(ReadBytes(PicturePath("png-pal4-97x61.png")));
  ASSERT_TRUE(IEDepthInheritedFromRead(read.params));
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 40, 30, Gradient);  // more colours than the file had
  EXPECT_EQ(HeaderOf(WritePng(bitmap, read.params)).colorType, 2);
}

TEST(PngWrite, AShortWriteAbortsWithoutTheEnd) {
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 64, 64, Gradient);
  TIOParamsVals params(nullptr);
  params.PNG_Compression = 0;
  TShortStream stream(2000);
  TProgressFixture fixture;
  EXPECT_NO_THROW(WritePNGStream(&stream, &bitmap, params, fixture.progress, nullptr));
  EXPECT_TRUE(fixture.aborting);
  EXPECT_FALSE(HasChunk(Contents(stream), "IEND"));
}

// Raises on every write.
class TFailingStream : public TMemoryStream {
 public:
  int64_t Write(const void*, int64_t) override { throw EWriteError("Stream write error"); }
};

TEST(PngWrite, FailuresRaise) {
  TIOParamsVals params(nullptr);
  TProgressFixture fixture;
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 8, 8, Gradient);
  TFailingStream failing;
  EXPECT_THROW(WritePNGStream(&failing, &bitmap, params, fixture.progress, nullptr), EWriteError);
  // No picture: libpng refuses the header.
  TIEBitmap empty;
  TMemoryStream stream;
  try {
    WritePNGStream(&stream, &empty, params, fixture.progress, nullptr);
    FAIL() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message, "Error on creating PNG");
  }
}

}  // namespace
