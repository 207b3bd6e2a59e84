// TIFF reader: corpus files from other tools against their reference
// decodes, damaged files, and hand-made pages for the rules of tags,
// photometric kinds, tiles, orientation, masks and the tag interface.
#include "imaging/io/tiffilt.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <stdexcept>

#include "imaging/core/iemask.h"
#include "imaging/core/ieview.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/ietiftags.h"
#include "imaging/io/tifccitt.h"
#include "imaging/io/tiflzw.h"
#include "pictures.h"
#include "tifmaker.h"

using namespace cwtest;

namespace {

struct TRead {
  TIEBitmap bitmap;
  TIOParamsVals params{nullptr};
  TProgressFixture fixture;
  TIEMask* mask = nullptr;
  int32_t pages = 0;
  ~TRead() { delete mask; }
};

void ReadTiff(const Bytes& bytes, TRead& r, int32_t index = 0, bool preview = false,
              bool noMask = false) {
  TMemoryStream stream;
  Fill(stream, bytes);
  r.bitmap.Location = ieMemory;
  r.params.TIFF_ImageIndex = index;
  r.params.TIFF_LZWDecompress = TIFFLZWDecompress;
  TIFFReadStream(&r.bitmap, &stream, r.pages, &r.params, r.fixture.progress, preview, r.mask, true,
                 noMask);
}

// 16-bit references as their 16-bit samples, red, green, blue.
std::vector<uint16_t> LoadPng16(const std::string& path, int& width, int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) throw std::runtime_error(path);
  image.format = PNG_FORMAT_LINEAR_RGB;
  std::vector<uint16_t> samples(PNG_IMAGE_SIZE(image) / 2);
  if (!png_image_finish_read(&image, nullptr, samples.data(), 0, nullptr)) throw std::runtime_error(path);
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  return samples;
}

// A page of one 8-bit grey strip of the given rows.
TTifMaker GreyPage(int width, const std::vector<Bytes>& rows) {
  Bytes strip;
  for (const Bytes& row : rows) strip.insert(strip.end(), row.begin(), row.end());
  TTifMaker m;
  m.Page()
      .Long(256, {static_cast<uint32_t>(width)})
      .Long(257, {static_cast<uint32_t>(rows.size())})
      .Short(258, {8})
      .Short(262, {1})
      .Strip(strip);
  return m;
}

// Every byte of the bitmap; a read into a bitmap of the same size reuses its
// memory, so a picture filled beforehand shows what a read leaves untouched.
Bytes AllBytes(TIEBitmap& bitmap) {
  Bytes bytes;
  for (int y = 0; y < bitmap.Height; ++y)
    bytes.insert(bytes.end(), bitmap.GetScanLine(y), bitmap.GetScanLine(y) + bitmap.RowLen);
  return bytes;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Pictures written by other tools

namespace {

enum class Compare { Exact, Bilevel, Sixteen, OffByOne };

struct TCorpusCase {
  const char* file;
  int page;
  const char* reference;
  TIOTIFFCompression compression;
  TIOTIFFPhotometInterpret photometric;
  int bits;
  int samples;
  Compare compare;
};

class TiffCorpus : public ::testing::TestWithParam<TCorpusCase> {};

}  // namespace

TEST_P(TiffCorpus, ReadsToTheReferencePixels) {
  const TCorpusCase c = GetParam();
  TRead r;
  ReadTiff(ReadBytes(PicturePath(c.file)), r, c.page);
  ASSERT_FALSE(r.fixture.aborting);
  EXPECT_EQ(r.params.TIFF_Compression, c.compression);
  EXPECT_EQ(r.params.TIFF_PhotometInterpret, c.photometric);
  EXPECT_EQ(r.params.BitsPerSample, c.bits);
  EXPECT_EQ(r.params.SamplesPerPixel, c.samples);
  EXPECT_EQ(r.bitmap.PixelFormat, c.compare == Compare::Bilevel ? ie1g : ie24RGB);
  const std::string refPath = PicturePath(std::string("refs/") + c.reference);

  if (c.compare == Compare::Sixteen) {
    int w = 0;
    int h = 0;
    const std::vector<uint16_t> ref = LoadPng16(refPath, w, h);
    ASSERT_EQ(r.bitmap.Width, w);
    ASSERT_EQ(r.bitmap.Height, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const TRGB got = r.bitmap.GetPixels(x, y);
        const uint16_t* want = &ref[(static_cast<size_t>(y) * w + x) * 3];
        const int got3[3] = {got.r, got.g, got.b};
        for (int k = 0; k < 3; ++k)
          ASSERT_NEAR(got3[k], std::lround(want[k] * 255.0 / 65535), 1) << x << "," << y;
      }
    return;
  }
  const TRgbaPicture ref = LoadPng(refPath);
  const TRgbaPicture got = ToRgba(r.bitmap);
  ASSERT_EQ(got.width, ref.width);
  ASSERT_EQ(got.height, ref.height);
  EXPECT_EQ(r.params.Width, ref.width);
  EXPECT_EQ(r.params.TIFF_ImageCount, std::string(c.file) == "tif-multipage-3.tif" ? 3 : 1);
  EXPECT_LE(MaxChannelDifference(got, ref), c.compare == Compare::OffByOne ? 1 : 0) << c.file;
}

INSTANTIATE_TEST_SUITE_P(
    Files, TiffCorpus,
    ::testing::Values(
        TCorpusCase{"tif-rgb8-none-97x61.tif", 0, "tif-rgb8-none-97x61.png", ioTIFF_UNCOMPRESSED, ioTIFF_RGB, 8, 3, Compare::Exact},
        TCorpusCase{"tif-rgb8-packbits-97x61.tif", 0, "tif-rgb8-packbits-97x61.png", ioTIFF_PACKBITS, ioTIFF_RGB, 8, 3, Compare::Exact},
        TCorpusCase{"tif-rgb8-lzw-97x61.tif", 0, "tif-rgb8-lzw-97x61.png", ioTIFF_LZW, ioTIFF_RGB, 8, 3, Compare::Exact},
        TCorpusCase{"tif-rgb8-lzw-pred2-97x61.tif", 0, "tif-rgb8-lzw-pred2-97x61.png", ioTIFF_LZW, ioTIFF_RGB, 8, 3, Compare::Exact},
        TCorpusCase{"tif-rgb8-tiled-97x61.tif", 0, "tif-rgb8-tiled-97x61.png", ioTIFF_LZW, ioTIFF_RGB, 8, 3, Compare::Exact},
        TCorpusCase{"tif-rgb8-planar-33x21.tif", 0, "tif-rgb8-planar-33x21.png", ioTIFF_UNCOMPRESSED, ioTIFF_RGB, 8, 3, Compare::Exact},
        TCorpusCase{"tif-rgb8-bigendian-lzw-33x21.tif", 0, "tif-rgb8-bigendian-lzw-33x21.png", ioTIFF_LZW, ioTIFF_RGB, 8, 3, Compare::Exact},
        TCorpusCase{"tif-bw-none-97x61.tif", 0, "tif-bw-none-97x61.png", ioTIFF_UNCOMPRESSED, ioTIFF_BLACKISZERO, 1, 1, Compare::Bilevel},
        TCorpusCase{"tif-bw-g3-1d-97x61.tif", 0, "tif-bw-g3-1d-97x61.png", ioTIFF_G3FAX1D, ioTIFF_BLACKISZERO, 1, 1, Compare::Bilevel},
        TCorpusCase{"tif-bw-g3-2d-97x61.tif", 0, "tif-bw-g3-2d-97x61.png", ioTIFF_G3FAX2D, ioTIFF_BLACKISZERO, 1, 1, Compare::Bilevel},
        TCorpusCase{"tif-bw-g4-97x61.tif", 0, "tif-bw-g4-97x61.png", ioTIFF_G4FAX, ioTIFF_BLACKISZERO, 1, 1, Compare::Bilevel},
        TCorpusCase{"tif-fax-g3-1d-fillorder2-1728x306.tif", 0, "tif-fax-g3-1d-fillorder2-1728x306.png", ioTIFF_G3FAX1D, ioTIFF_WHITEISZERO, 1, 1, Compare::Bilevel},
        TCorpusCase{"tif-pal1-31x17.tif", 0, "tif-pal1-31x17.png", ioTIFF_UNCOMPRESSED, ioTIFF_RGBPALETTE, 1, 1, Compare::Exact},
        TCorpusCase{"tif-pal4-97x61.tif", 0, "tif-pal4-97x61.png", ioTIFF_LZW, ioTIFF_RGBPALETTE, 4, 1, Compare::Exact},
        TCorpusCase{"tif-pal8-97x61.tif", 0, "tif-pal8-97x61.png", ioTIFF_UNCOMPRESSED, ioTIFF_RGBPALETTE, 8, 1, Compare::Exact},
        TCorpusCase{"tif-grey8-97x61.tif", 0, "tif-grey8-97x61.png", ioTIFF_PACKBITS, ioTIFF_BLACKISZERO, 8, 1, Compare::Exact},
        TCorpusCase{"tif-grey16-33x21.tif", 0, "tif-grey16-33x21.png", ioTIFF_UNCOMPRESSED, ioTIFF_BLACKISZERO, 16, 1, Compare::Sixteen},
        TCorpusCase{"tif-rgb16-33x21.tif", 0, "tif-rgb16-33x21.png", ioTIFF_UNCOMPRESSED, ioTIFF_RGB, 16, 3, Compare::Sixteen},
        TCorpusCase{"tif-cmyk8-33x21.tif", 0, "tif-cmyk8-33x21.png", ioTIFF_UNCOMPRESSED, ioTIFF_CMYK, 8, 4, Compare::OffByOne},
        TCorpusCase{"tif-multipage-3.tif", 0, "tif-multipage-3.png", ioTIFF_LZW, ioTIFF_RGB, 8, 3, Compare::Exact},
        TCorpusCase{"tif-multipage-3.tif", 1, "tif-multipage-3.1.png", ioTIFF_UNCOMPRESSED, ioTIFF_RGBPALETTE, 4, 1, Compare::Exact},
        TCorpusCase{"tif-multipage-3.tif", 2, "tif-multipage-3.2.png", ioTIFF_G4FAX, ioTIFF_BLACKISZERO, 1, 1, Compare::Bilevel}),
    [](const auto& info) { return CaseName(info.param.file) + "_" + std::to_string(info.param.page); });

TEST(TiffRead, DamagedFilesAbortWithoutReadingOutsideTheStream) {
  for (const char* file : {"tif-bad-ifd-offset.tif", "tif-bad-strip-offsets.tif", "tif-bad-huge-dimensions.tif"}) {
    TRead r;
    ReadTiff(ReadBytes(PicturePath(file)), r);
    EXPECT_TRUE(r.fixture.aborting) << file;
    EXPECT_LE(static_cast<int64_t>(r.bitmap.Width) * r.bitmap.Height, 4 << 20) << file;
  }
  // Every cut of a good file fails or reads quietly, never beyond the data.
  const Bytes good = ReadBytes(PicturePath("tif-multipage-3.tif"));
  for (size_t n = 0; n < good.size(); n += 97) {
    for (int page = 0; page < 3; ++page) {
      TRead r;
      ReadTiff(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)), r, page);
    }
  }
}

TEST(TiffRead, PagesThatCannotBeDecodedFailAndShowNoOldMemory) {
  const Bytes rgb8(4 * 2 * 3, 0x77), rgb16(4 * 2 * 6, 0x77);
  struct TCase {
    const char* name;
    TTifMaker maker;
  };
  std::vector<TCase> cases;
  cases.push_back({"deflate", {}});
  cases.back().maker.Page().Long(256, {4}).Long(257, {2}).Short(258, {8, 8, 8}).Short(277, {3}).Short(259, {8}).Strip(rgb8);
  cases.push_back({"no strip offsets", {}});
  cases.back().maker.Page().Long(256, {4}).Long(257, {2}).Short(258, {8, 8, 8}).Short(277, {3});
  cases.push_back({"ycbcr", {}});
  cases.back().maker.Page().Long(256, {4}).Long(257, {2}).Short(258, {8, 8, 8}).Short(277, {3}).Short(262, {6}).Strip(rgb8);
  cases.push_back({"16-bit planes", {}});
  cases.back().maker.Page().Long(256, {4}).Long(257, {2}).Short(258, {16, 16, 16}).Short(277, {3}).Short(284, {2}).Strip(rgb16);
  for (TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TRead r;
    r.bitmap.Location = ieMemory;
    r.bitmap.Allocate(4, 2, ie24RGB);
    r.bitmap.Fill(0xABCDEF);
    ReadTiff(c.maker.Build(), r);
    EXPECT_TRUE(r.fixture.aborting);
    EXPECT_EQ(AllBytes(r.bitmap), Bytes(static_cast<size_t>(r.bitmap.RowLen) * r.bitmap.Height, 0));
  }
}

TEST(TiffRead, RowsNoStripGivesAreZero) {
  // Four rows of two per strip, but only the first strip is in the file.
  TTifMaker m;
  m.Page().Long(256, {2}).Long(257, {4}).Short(258, {8}).Short(262, {1}).Long(278, {2}).Strip(Bytes{10, 20, 30, 40});
  TRead r;
  r.bitmap.Location = ieMemory;
  r.bitmap.Allocate(2, 4, ie24RGB);
  r.bitmap.Fill(0xABCDEF);
  ReadTiff(m.Build(), r);
  EXPECT_FALSE(r.fixture.aborting);
  EXPECT_EQ(r.bitmap.GetPixels(1, 1).r, 40);
  for (int y : {2, 3})
    for (int x : {0, 1}) {
      const TRGB p = r.bitmap.GetPixels(x, y);
      EXPECT_EQ(p.r + p.g + p.b, 0) << x << "," << y;
    }
}

// ---------------------------------------------------------------------------------------------
// Tags and their rules

TEST(TiffTags, BitsPerSampleMustAgreeForEverySample) {
  for (const auto& [bits, aborts] : std::vector<std::pair<std::vector<uint32_t>, bool>>{
           {{8, 8, 8}, false}, {{8, 8, 16}, true}}) {
    TTifMaker m;
    m.Page().Long(256, {2}).Long(257, {1}).Short(258, bits).Short(277, {3}).Strip(Bytes(6, 9));
    TRead r;
    ReadTiff(m.Build(), r);
    EXPECT_EQ(r.fixture.aborting, aborts);
    if (!aborts) EXPECT_EQ(r.params.BitsPerSample, 8);
  }
}

TEST(TiffTags, ResolutionPositionAndTexts) {
  TTifMaker m = GreyPage(1, {{0}});
  m.Rational(282, 118, 1).Rational(283, 0, 1).Short(296, {3}).Rational(286, 1, 2)
      .Ascii(269, "doc").Ascii(270, "what").Ascii(285, "page").Short(297, {2, 5}).Short(274, {1});
  TRead r;
  ReadTiff(m.Build(), r);
  EXPECT_EQ(r.params.DPIX, 299);  // trunc(118 x 2.54)
  EXPECT_EQ(r.params.DPIY, gSystemDPIY);
  EXPECT_EQ(r.params.TIFF_XPosition, 1);  // trunc(0.5 x 2.54)
  EXPECT_EQ(r.params.TIFF_DocumentName, "doc");
  EXPECT_EQ(r.params.TIFF_ImageDescription, "what");
  EXPECT_EQ(r.params.TIFF_PageName, "page");
  EXPECT_EQ(r.params.TIFF_PageNumber, 2);
  EXPECT_EQ(r.params.TIFF_PageCount, 5);
}

TEST(TiffTags, ChainsAreCountedOnceAndEnumerated) {
  TTifMaker three;
  for (int i = 0; i < 3; ++i) three.Page().Long(256, {1}).Long(257, {1}).Short(258, {8}).Short(262, {1}).Strip({1});
  Bytes bytes = three.Build();
  TMemoryStream stream;
  Fill(stream, bytes);
  EXPECT_EQ(EnumTIFFImStream(&stream), 3);

  // The last directory points back at itself.
  TTIFFEnv env;
  int32_t pages = 0;
  stream.SetPosition(0);
  ASSERT_TRUE(TIFFLoadTags(&stream, pages, 2, env));
  // Patch the third directory's next offset to its own position.
  uint32_t at = IEGetLE32(&bytes[4]);
  for (int i = 0; i < 2; ++i) at = IEGetLE32(&bytes[at + 2 + 12 * IEGetLE16(&bytes[at])]);
  IEPutLE32(&bytes[at + 2 + 12 * IEGetLE16(&bytes[at])], at);
  TRead r;
  ReadTiff(bytes, r, 1);
  EXPECT_FALSE(r.fixture.aborting);
  EXPECT_EQ(r.pages, 3);
  EXPECT_EQ(r.params.TIFF_ImageCount, 3);
  // A page beyond the chain reads nothing and is no error.
  TRead beyond;
  ReadTiff(bytes, beyond, 5);
  EXPECT_FALSE(beyond.fixture.aborting);
  EXPECT_EQ(beyond.pages, 3);
  EXPECT_EQ(beyond.bitmap.Width, 0);
}

TEST(TiffTags, TagInterfaceInBothByteOrders) {
  for (bool big : {false, true}) {
    TTifMaker m(big);
    m.Page().Short(297, {3, 9}).Short(320, {1, 2, 3}).Long(273, {77}).Long(279, {5, 6})
        .Rational(282, 3, 0).Ascii(305, "abc").Undefined(36864, {'0', '2', '3', '0'});
    const Bytes bytes = m.Build();
    TMemoryStream stream;
    Fill(stream, bytes);
    TIETifTagsReader tags(&stream, 0);
    EXPECT_TRUE(tags.TagExists(297));
    EXPECT_FALSE(tags.TagExists(256));
    EXPECT_EQ(tags.TagLength(320), 3);
    EXPECT_EQ(tags.GetInteger(297), 3) << big;
    EXPECT_EQ(tags.GetIntegerIndexed(297, 1), 9) << big;
    EXPECT_EQ(tags.GetIntegerIndexed(320, 2), 3);
    EXPECT_EQ(tags.GetIntegerIndexed(273, 0), 77);
    EXPECT_EQ(tags.GetIntegerIndexed(279, 1), 6);
    EXPECT_EQ(tags.GetIntegerIndexed(279, 2), 0);
    std::vector<int32_t> values;
    EXPECT_EQ(tags.GetIntegerArray(320, values), 3);
    EXPECT_EQ(values, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(tags.GetRational(282), 3.0);  // denominator 0 taken as 1
    EXPECT_EQ(tags.GetRationalIndexed(282, 1), 0.0);
    EXPECT_EQ(tags.GetString(305), "abc");
    EXPECT_EQ(tags.GetMiniString(36864), "0230");
    EXPECT_EQ(tags.GetRawData(305), (Bytes{'a', 'b', 'c', 0}));
  }
}

// ---------------------------------------------------------------------------------------------
// Pixels

TEST(TiffPixels, BilevelPagesKeepWhiteAsSetBits) {
  // One row of 8 pixels: black, white, white, ... as the file stores it.
  struct TCase {
    int photometric;  // -1: tag missing
    int compression;
    uint8_t stored;
    uint8_t expected;
  } cases[] = {
      {0, 1, 0x80, 0x7F},   // WhiteIsZero uncompressed: inverted
      {1, 1, 0x7F, 0x7F},   // BlackIsZero uncompressed: copied
      {-1, 1, 0x80, 0x7F},  // no photometric: WhiteIsZero
  };
  for (const TCase& c : cases) {
    TTifMaker m;
    m.Page().Long(256, {8}).Long(257, {1}).Short(259, {static_cast<uint32_t>(c.compression)}).Strip({c.stored});
    if (c.photometric >= 0) m.Short(262, {static_cast<uint32_t>(c.photometric)});
    TRead r;
    ReadTiff(m.Build(), r);
    ASSERT_EQ(r.bitmap.PixelFormat, ie1g);
    EXPECT_EQ(r.bitmap.GetScanLine(0)[0], c.expected) << c.photometric;
  }
  // A G4 page without photometric: WhiteIsZero, white pixels are set bits.
  const uint8_t black[1] = {0x81};  // encoder rows: set bit = black
  TMemoryStream g4;
  bool abort = false;
  uint8_t last = 0;
  int32_t count = 0;
  std::vector<uint8_t> ref;
  CCITTHuffmanPutLineG4(black, 8, &g4, last, count, ref, abort);
  CCITTHuffmanPutLineG4(nullptr, 0, &g4, last, count, ref, abort);
  TTifMaker m;
  m.Page().Long(256, {8}).Long(257, {1}).Short(259, {4}).Strip(Contents(g4));
  TRead r;
  ReadTiff(m.Build(), r);
  EXPECT_EQ(r.params.TIFF_PhotometInterpret, ioTIFF_WHITEISZERO);
  EXPECT_EQ(r.bitmap.GetScanLine(0)[0], 0x7E);
}

TEST(TiffPixels, SixteenBitGreyFromTheTwelveBitProgram) {
  for (const auto& [software, expected] :
       std::vector<std::pair<std::string, uint8_t>>{{"Look@Molli v1.1 beta", 0xAB}, {"other", 0x0A}}) {
    TTifMaker m;
    m.Page().Long(256, {1}).Long(257, {1}).Short(258, {16}).Short(262, {1}).Ascii(305, software)
        .Strip({0xBC, 0x0A});  // 0x0ABC, little-endian
    TRead r;
    ReadTiff(m.Build(), r);
    EXPECT_EQ(r.bitmap.GetPixels(0, 0).r, expected) << software;
  }
}

TEST(TiffPixels, ExtraSamplesFillTheMaskUnlessToldNot) {
  struct TCase {
    uint32_t photometric;
    uint32_t samples;
    Bytes pixel;
    TRGB colour;
    int alpha;
  } cases[] = {
      {2, 4, {10, 20, 30, 40}, TRGB{30, 20, 10}, 40},  // RGBA
      {3, 2, {1, 77}, TRGB{0, 0, 0xFF}, 77},           // palette index 1 and alpha
  };
  for (const TCase& c : cases) {
    for (bool noMask : {false, true}) {
      TTifMaker m;
      m.Page().Long(256, {1}).Long(257, {1}).Short(258, std::vector<uint32_t>(c.samples, 8))
          .Short(277, {c.samples}).Short(262, {c.photometric}).Short(338, {2}).Strip(c.pixel);
      if (c.photometric == 3) {
        std::vector<uint32_t> map(768, 0);
        map[1] = 0xFF00;  // red of entry 1
        m.Short(320, map);
      }
      TRead r;
      ReadTiff(m.Build(), r, 0, false, noMask);
      EXPECT_EQ(r.bitmap.GetPixels(0, 0), c.colour);
      if (noMask) {
        EXPECT_EQ(r.mask, nullptr);
      } else {
        ASSERT_NE(r.mask, nullptr);
        EXPECT_EQ(r.mask->GetPixel(0, 0), c.alpha);
        EXPECT_FALSE(r.mask->Full);
      }
    }
  }
}

TEST(TiffPixels, TilesCoverThePictureAndAreCutAtItsEdges) {
  // 100 x 100 grey in 64 x 64 tiles: four tiles, each filled with its number.
  TTifMaker m;
  m.Page().Long(256, {100}).Long(257, {100}).Short(258, {8}).Short(262, {1}).Long(322, {64}).Long(323, {64});
  for (uint8_t t = 0; t < 4; ++t) m.Tile(Bytes(64 * 64, static_cast<uint8_t>(50 * (t + 1))));
  TRead r;
  ReadTiff(m.Build(), r);
  ASSERT_FALSE(r.fixture.aborting);
  ASSERT_EQ(r.bitmap.Width, 100);
  ASSERT_EQ(r.bitmap.Height, 100);
  EXPECT_EQ(r.bitmap.GetPixels(0, 0).g, 50);
  EXPECT_EQ(r.bitmap.GetPixels(99, 0).g, 100);
  EXPECT_EQ(r.bitmap.GetPixels(0, 99).g, 150);
  EXPECT_EQ(r.bitmap.GetPixels(99, 99).g, 200);
  // Separate planes cannot be tiled.
  m.Short(284, {2});
  TRead planar;
  ReadTiff(m.Build(), planar);
  EXPECT_TRUE(planar.fixture.aborting);
}

TEST(TiffPixels, OrientationTurnsThePicture) {
  // A 3 x 2 picture with distinct greys; where stored pixel (x, y) ends up.
  struct TCase {
    int orientation;
    int width;
    int x0, y0;  // position of the stored pixel (0, 0)
    int x1, y1;  // position of the stored pixel (2, 0)
  } cases[] = {
      {1, 3, 0, 0, 2, 0}, {2, 3, 2, 0, 0, 0}, {3, 3, 2, 1, 0, 1}, {4, 3, 0, 1, 2, 1},
      {5, 2, 0, 0, 0, 2}, {6, 2, 1, 0, 1, 2}, {7, 2, 1, 2, 1, 0}, {8, 2, 0, 2, 0, 0},
  };
  for (const TCase& c : cases) {
    TTifMaker m = GreyPage(3, {{10, 20, 30}, {40, 50, 60}});
    m.Short(274, {static_cast<uint32_t>(c.orientation)});
    TRead r;
    ReadTiff(m.Build(), r);
    ASSERT_EQ(r.bitmap.Width, c.width) << c.orientation;
    EXPECT_EQ(r.params.TIFF_Orientation, c.orientation);
    EXPECT_EQ(r.bitmap.GetPixels(c.x0, c.y0).g, 10) << c.orientation;
    EXPECT_EQ(r.bitmap.GetPixels(c.x1, c.y1).g, 30) << c.orientation;
  }
  // Not applied when the parameters say so.
  TTifMaker m = GreyPage(3, {{10, 20, 30}, {40, 50, 60}});
  m.Short(274, {6});
  TRead r;
  r.params.TIFF_ApplyOrientation = false;
  TMemoryStream stream;
  Fill(stream, m.Build());
  TIFFReadStream(&r.bitmap, &stream, r.pages, &r.params, r.fixture.progress, false, r.mask, true, false);
  EXPECT_EQ(r.bitmap.Width, 3);
}

TEST(TiffPixels, OldStyleJpegPagesReadTheirInterchangeStream) {
  const Bytes jpeg = ReadBytes(PicturePath("jpg-baseline-444-97x61.jpg"));
  // The interchange tags point at the strip, right after the header.
  TTifMaker withTags;
  withTags.Page().Short(259, {6}).Long(513, {8}).Long(514, {static_cast<uint32_t>(jpeg.size())}).Strip(jpeg);
  TRead r;
  ReadTiff(withTags.Build(), r);
  ASSERT_FALSE(r.fixture.aborting);
  EXPECT_EQ(r.params.TIFF_Compression, ioTIFF_OLDJPEG);
  EXPECT_EQ(r.bitmap.Width, 97);
  EXPECT_EQ(r.bitmap.Height, 61);
}

// ---------------------------------------------------------------------------------------------
// The read as a whole

TEST(TiffReadStream, LzwWithoutCoderFailsEvenForParameters) {
  const Bytes bytes = ReadBytes(PicturePath("tif-rgb8-lzw-97x61.tif"));
  for (bool preview : {false, true}) {
    TRead r;
    TMemoryStream stream;
    Fill(stream, bytes);
    r.params.TIFF_LZWDecompress = nullptr;
    TIFFReadStream(&r.bitmap, &stream, r.pages, &r.params, r.fixture.progress, preview, r.mask, true, false);
    EXPECT_TRUE(r.fixture.aborting) << preview;
  }
  // The global hook serves parameters made before it was set.
  TRead r;
  TMemoryStream stream;
  Fill(stream, bytes);
  r.params.TIFF_LZWDecompress = nullptr;
  DefTIFF_LZWDECOMPFUNC = TIFFLZWDecompress;
  TIFFReadStream(&r.bitmap, &stream, r.pages, &r.params, r.fixture.progress, false, r.mask, true, false);
  DefTIFF_LZWDECOMPFUNC = nullptr;
  EXPECT_FALSE(r.fixture.aborting);
  EXPECT_EQ(r.bitmap.Width, 97);
}

TEST(TiffReadStream, PreviewBaseAndProgress) {
  const Bytes bytes = ReadBytes(PicturePath("tif-rgb8-none-97x61.tif"));
  TRead preview;
  ReadTiff(bytes, preview, 0, true);
  EXPECT_EQ(preview.params.Width, 97);
  EXPECT_EQ(preview.bitmap.Width, 0);

  // A TIFF behind other bytes: offsets count from where it begins.
  Bytes behind(5, 0xAA);
  behind.insert(behind.end(), bytes.begin(), bytes.end());
  TRead r;
  TMemoryStream stream;
  Fill(stream, behind);
  stream.SetPosition(5);
  std::vector<int> reported;
  r.fixture.progress.OnProgress = [&](TObject*, int percent) {
    reported.push_back(percent);
    if (reported.size() == 30) r.fixture.aborting = true;
  };
  TIFFReadStream(&r.bitmap, &stream, r.pages, &r.params, r.fixture.progress, false, r.mask, true, false);
  EXPECT_EQ(reported.size(), 30u);  // stopped after the row that asked
  EXPECT_EQ(reported[0], 1);        // trunc(1 x 100 / 61)
  const TRgbaPicture ref = LoadReference("tif-rgb8-none-97x61.tif");
  const TRGB first = r.bitmap.GetPixels(5, 5);
  EXPECT_EQ(first, (TRGB{ref.At(5, 5)[2], ref.At(5, 5)[1], ref.At(5, 5)[0]}));

  // Not a TIFF at all.
  TRead bad;
  ReadTiff(Bytes{'X', 'X', 42, 0, 8, 0, 0, 0}, bad);
  EXPECT_TRUE(bad.fixture.aborting);
}
