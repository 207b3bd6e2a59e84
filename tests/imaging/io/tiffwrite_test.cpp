// TIFF writer: pages read back by our reader and by an independent one for
// each compression, the depth and photometric choices, the entries
// written, adding pages to a chain, and failures.
#include <gtest/gtest.h>

#include <memory>

#include "imaging/io/iewritedepth.h"
#include "imaging/io/tiffilt.h"
#include "imaging/io/tiflzw.h"
#include "imaging/io/tiffwriterows.h"
#include "pictures.h"
#include "tifmaker.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

TRGB Gradient(int x, int y) {
  return TRGB{static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 11), static_cast<uint8_t>(x * y)};
}

// Black text-like strokes on white: runs of every length for the fax coders.
TRGB Strokes(int x, int y) {
  const bool black = (x * x + y * 3) % 17 < 5 || x == y;
  return black ? TRGB{0, 0, 0} : TRGB{255, 255, 255};
}

class TiffWrite : public ::testing::Test {
 protected:
  TTiffLzwHooks hooks;

  static int32_t Write(TStream& stream, TIEBitmap& bitmap, TIOParamsVals& params, bool append = false) {
    TProgressFixture fixture;
    const int32_t pages = TIFFWriteStream(&stream, append, &bitmap, params, fixture.progress);
    EXPECT_FALSE(fixture.aborting);
    return pages;
  }

  // Page index of the TIFF in the stream, read by our reader.
  static std::unique_ptr<TIEBitmap> ReadBack(TMemoryStream& stream, int32_t index = 0,
                                             int32_t* pages = nullptr) {
    auto bitmap = std::make_unique<TIEBitmap>();
    TIOParamsVals params(nullptr);
    params.TIFF_ImageIndex = index;
    TProgressFixture fixture;
    TIEMask* mask = nullptr;
    int32_t count = 0;
    stream.SetPosition(0);
    TIFFReadStream(bitmap.get(), &stream, count, &params, fixture.progress, false, mask, false, true);
    EXPECT_FALSE(fixture.aborting);
    if (pages) *pages = count;
    return bitmap;
  }

  static TTIFFEnv Tags(TMemoryStream& stream, int32_t index = 0) {
    TTIFFEnv env;
    int32_t pages = 0;
    stream.SetPosition(0);
    EXPECT_TRUE(TIFFLoadTags(&stream, pages, index, env));
    return env;
  }

  static void SaveFile(TMemoryStream& stream, const std::string& path) {
    TFileStream(path, fmCreate).WriteBuffer(stream.Memory(), stream.GetSize());
  }
};

struct TCompressionCase {
  TIOTIFFCompression compression;
  int code;
};

TEST_F(TiffWrite, RgbPagesReadBackUnchangedHereAndOutside) {
  TempDir dir;
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 37, 23, Gradient);
  const TCompressionCase cases[] = {{ioTIFF_UNCOMPRESSED, 1}, {ioTIFF_PACKBITS, 32773}, {ioTIFF_LZW, 5}};
  std::vector<std::string> paths;
  for (const auto& c : cases) {
    TMemoryStream stream;
    TIOParamsVals params(nullptr);
    params.TIFF_Compression = c.compression;
    EXPECT_EQ(Write(stream, bitmap, params), 1);
    TTIFFEnv env = Tags(stream);
    EXPECT_EQ(TIFFReadSingleValDef(env, 259, 0), c.code);
    EXPECT_EQ(TIFFReadSingleValDef(env, 262, 0), 2);
    std::vector<int32_t> bits;
    EXPECT_EQ(TIFFReadArrayIntegers(env, bits, 258), 3);
    EXPECT_EQ(bits, (std::vector<int32_t>{8, 8, 8}));
    EXPECT_EQ(TIFFGetDataLength(env, 273), 1);
    EXPECT_EQ(TIFFFindTAG(317, env) >= 0, c.code == 5) << "predictor only with LZW";
    EXPECT_EQ(TIFFFindTAG(297, env), -1) << "no page number when both are 0";
    auto back = ReadBack(stream);
    EXPECT_EQ(MaxChannelDifference(ToRgba(*back), ToRgba(bitmap)), 0) << c.code;
    paths.push_back(dir.file("rgb" + std::to_string(c.code) + ".tif"));
    SaveFile(stream, paths.back());
  }
  for (const TRgbaPicture& outside : DecodeIndependently(paths))
    EXPECT_EQ(MaxChannelDifference(outside, ToRgba(bitmap)), 0);
}

TEST_F(TiffWrite, BilevelPagesReadBackUnchangedForEveryCoding) {
  TempDir dir;
  TIEBitmap colour;
  PaintBitmap(colour, 61, 19, Strokes);
  const TCompressionCase cases[] = {{ioTIFF_UNCOMPRESSED, 1}, {ioTIFF_PACKBITS, 32773}, {ioTIFF_LZW, 5},
                                    {ioTIFF_CCITT1D, 2},      {ioTIFF_G3FAX1D, 3},      {ioTIFF_G3FAX2D, 3},
                                    {ioTIFF_G4FAX, 4}};
  std::vector<std::string> paths;
  for (const auto& c : cases) {
    TMemoryStream stream;
    TIOParamsVals params(nullptr);
    params.BitsPerSample = 1;
    params.SamplesPerPixel = 1;
    params.TIFF_Compression = c.compression;
    EXPECT_EQ(Write(stream, colour, params), 1);
    EXPECT_EQ(colour.PixelFormat, ie24RGB) << "the caller's picture stays";
    TTIFFEnv env = Tags(stream);
    const bool ccitt = c.code >= 2 && c.code <= 4;
    EXPECT_EQ(TIFFReadSingleValDef(env, 259, 0), c.code);
    EXPECT_EQ(TIFFReadSingleValDef(env, 262, -1), ccitt ? 0 : 1);
    EXPECT_EQ(TIFFReadSingleValDef(env, 258, 0), 1);
    EXPECT_EQ(TIFFReadSingleValDef(env, 277, 0), 1);
    if (c.code == 3) EXPECT_EQ(TIFFReadSingleValDef(env, 292, -1), c.compression == ioTIFF_G3FAX2D ? 1 : 0);
    auto back = ReadBack(stream);
    EXPECT_EQ(back->PixelFormat, ie1g);
    EXPECT_EQ(MaxChannelDifference(ToRgba(*back), ToRgba(colour)), 0) << int(c.compression);
    paths.push_back(dir.file("bw" + std::to_string(int(c.compression)) + ".tif"));
    SaveFile(stream, paths.back());
  }
  for (const TRgbaPicture& outside : DecodeIndependently(paths))
    EXPECT_EQ(MaxChannelDifference(outside, ToRgba(colour)), 0);
}

TEST_F(TiffWrite, PalettePagesTakeNoFaxCoding) {
  TIEBitmap bitmap;
  const TRGB colours[4] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {40, 40, 40}};
  PaintBitmap(bitmap, 20, 10, [&](int x, int y) { return colours[(x / 5 + y) % 4]; });
  TMemoryStream stream;
  TIOParamsVals params(nullptr);
  params.BitsPerSample = 4;
  params.SamplesPerPixel = 1;
  params.TIFF_Compression = ioTIFF_G4FAX;
  Write(stream, bitmap, params);
  EXPECT_EQ(params.TIFF_Compression, ioTIFF_UNCOMPRESSED);
  EXPECT_EQ(params.TIFF_PhotometInterpret, ioTIFF_RGBPALETTE);
  TTIFFEnv env = Tags(stream);
  EXPECT_EQ(TIFFReadSingleValDef(env, 259, 0), 1);
  EXPECT_EQ(TIFFReadSingleValDef(env, 262, 0), 3);
  EXPECT_EQ(TIFFReadSingleValDef(env, 258, 0), 4);
  EXPECT_EQ(TIFFGetDataLength(env, 320), 3 * 16);
  // The quantiser learns its colours, so they come back close, not exact.
  auto back = ReadBack(stream);
  EXPECT_LE(MaxChannelDifference(ToRgba(*back), ToRgba(bitmap)), 8);
}

TEST_F(TiffWrite, CmykPagesReadBackClose) {
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 16, 8, Gradient);
  for (const auto photometric : {ioTIFF_CMYK}) {
    TMemoryStream stream;
    TIOParamsVals params(nullptr);
    params.TIFF_PhotometInterpret = photometric;
    Write(stream, bitmap, params);
    TTIFFEnv env = Tags(stream);
    EXPECT_EQ(TIFFReadSingleValDef(env, 262, 0), photometric == ioTIFF_CMYK ? 5 : 8);
    EXPECT_EQ(TIFFReadSingleValDef(env, 277, 0), photometric == ioTIFF_CMYK ? 4 : 3);
    auto back = ReadBack(stream);
    EXPECT_LE(MaxChannelDifference(ToRgba(*back), ToRgba(bitmap)), 6) << int(photometric);
  }
}

TEST_F(TiffWrite, DescriptionsPositionsAndPageNumbersAreStored) {
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 4, 4, Gradient);
  TMemoryStream stream;
  TIOParamsVals params(nullptr);
  params.TIFF_DocumentName = "doc";
  params.TIFF_ImageDescription = "a card";
  params.TIFF_PageName = "p";
  params.TIFF_PageNumber = 2;
  params.TIFF_PageCount = 7;
  params.TIFF_XPosition = 3;
  params.DPIX = 300;
  params.DPIY = 150;
  Write(stream, bitmap, params);
  TTIFFEnv env = Tags(stream);
  EXPECT_EQ(TIFFReadString(env, 269), "doc");
  EXPECT_EQ(TIFFReadString(env, 270), "a card");
  EXPECT_EQ(TIFFReadString(env, 285), "p");
  EXPECT_EQ(TIFFReadIndexValN(env, 297, 0), 2);
  EXPECT_EQ(TIFFReadIndexValN(env, 297, 1), 7);
  EXPECT_DOUBLE_EQ(TIFFReadSingleRational(env, 286), 3.0);
  EXPECT_DOUBLE_EQ(TIFFReadSingleRational(env, 282), 300.0);
  EXPECT_DOUBLE_EQ(TIFFReadSingleRational(env, 283), 150.0);
  EXPECT_EQ(TIFFReadSingleValDef(env, 296, 0), 2);
}

TEST_F(TiffWrite, AppendedPagesGoWhereTheIndexSays) {
  TIEBitmap red, green, blue;
  PaintBitmap(red, 5, 3, [](int, int) { return TRGB{0, 0, 255}; });
  PaintBitmap(green, 6, 4, [](int, int) { return TRGB{0, 255, 0}; });
  PaintBitmap(blue, 7, 5, [](int, int) { return TRGB{255, 0, 0}; });
  TMemoryStream stream;
  TIOParamsVals params(nullptr);
  Write(stream, green, params);
  params.TIFF_ImageIndex = 0;
  stream.SetPosition(0);
  EXPECT_EQ(Write(stream, red, params, true), 2);
  params.TIFF_ImageIndex = 99;
  stream.SetPosition(0);
  EXPECT_EQ(Write(stream, blue, params, true), 3);
  int32_t pages = 0;
  const int widths[3] = {5, 6, 7};
  for (int i = 0; i < 3; ++i) {
    auto page = ReadBack(stream, i, &pages);
    EXPECT_EQ(page->Width, widths[i]) << i;
  }
  EXPECT_EQ(pages, 3);
  // In the middle: before page 1.
  params.TIFF_ImageIndex = 1;
  stream.SetPosition(0);
  EXPECT_EQ(Write(stream, blue, params, true), 4);
  EXPECT_EQ(ReadBack(stream, 1)->Width, 7);
  EXPECT_EQ(ReadBack(stream, 2)->Width, 6);
}

TEST_F(TiffWrite, AppendingRefusesWhatItCannotExtend) {
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 3, 3, Gradient);
  TIOParamsVals params(nullptr);
  // Big-endian, not a TIFF, and a chain that loops back on itself.
  Bytes looping = {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0, 8, 0, 0, 0};
  for (const Bytes& bytes : {Bytes{'M', 'M', 0, 42, 0, 0, 0, 8}, Bytes{'B', 'M', 0, 0}, looping}) {
    TMemoryStream stream;
    Fill(stream, bytes);
    TProgressFixture fixture;
    EXPECT_EQ(TIFFWriteStream(&stream, true, &bitmap, params, fixture.progress), 0);
    EXPECT_TRUE(fixture.aborting);
    EXPECT_EQ(Contents(stream), bytes) << "nothing written";
  }
}

TEST_F(TiffWrite, AShortWriteAbortsAndLeavesTheHeaderEmpty) {
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 30, 30, Gradient);
  TShortStream stream(500);
  TIOParamsVals params(nullptr);
  TProgressFixture fixture;
  EXPECT_EQ(TIFFWriteStream(&stream, false, &bitmap, params, fixture.progress), 0);
  EXPECT_TRUE(fixture.aborting);
  EXPECT_EQ(Contents(stream)[0], 0) << "the placeholder header stays";
}

TEST_F(TiffWrite, WithoutLzwCoderThePageIsUncompressed) {
  DefTIFF_LZWCOMPFUNC = nullptr;
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 9, 9, Gradient);
  TMemoryStream stream;
  TIOParamsVals params(nullptr);
  params.TIFF_Compression = ioTIFF_LZW;
  Write(stream, bitmap, params);
  TTIFFEnv env = Tags(stream);
  EXPECT_EQ(TIFFReadSingleValDef(env, 259, 0), 1);
  EXPECT_EQ(TIFFFindTAG(317, env), -1);
}

TEST_F(TiffWrite, TheDepthOfTheLastReadIsNotInherited) {
  TIEBitmap bw;
  PaintBitmap(bw, 16, 4, Strokes);
  TMemoryStream bilevel;
  TIOParamsVals params(nullptr);
  params.BitsPerSample = 1;
  params.SamplesPerPixel = 1;
  Write(bilevel, bw, params);
  // Reading the 1-bit page leaves 1 x 1 in the parameters; a colour
  // picture saved next keeps its colours.
  TIEMask* mask = nullptr;
  int32_t pages = 0;
  TProgressFixture fixture;
  TIEBitmap read;
  bilevel.SetPosition(0);
  TIFFReadStream(&read, &bilevel, pages, &params, fixture.progress, false, mask, false, true);
  ASSERT_EQ(params.BitsPerSample, 1);
  TIEBitmap colour;
  PaintBitmap(colour, 8, 8, Gradient);
  TMemoryStream out;
  Write(out, colour, params);
  EXPECT_EQ(MaxChannelDifference(ToRgba(*ReadBack(out)), ToRgba(colour)), 0);
}

TEST(TiffPackBits, RowsCodeAsRunsAndLiterals) {
  struct TCase {
    Bytes row;
    Bytes coded;
  };
  Bytes longLiteral(130);
  for (int i = 0; i < 130; ++i) longLiteral[i] = static_cast<uint8_t>(i);
  Bytes longLiteralCoded = {127};
  longLiteralCoded.insert(longLiteralCoded.end(), longLiteral.begin(), longLiteral.begin() + 128);
  longLiteralCoded.insert(longLiteralCoded.end(), {1, 128, 129});
  const TCase cases[] = {
      {{1, 2, 3}, {2, 1, 2, 3}},
      {{7, 7, 7, 7}, {0xFD, 7}},
      {{1, 7, 7, 7, 7, 2}, {0, 1, 0xFD, 7, 0, 2}},
      {{5, 5, 5, 9}, {3, 5, 5, 5, 9}},  // runs under 4 stay literal
      {Bytes(130, 4), {0x81, 4, 1, 4, 4}},
      {longLiteral, longLiteralCoded},
      {{}, {}},
  };
  for (const auto& c : cases) {
    Bytes out;
    TIFFPackBitsRow(c.row.data(), static_cast<int64_t>(c.row.size()), out);
    EXPECT_EQ(out, c.coded) << c.row.size();
  }
}

}  // namespace
