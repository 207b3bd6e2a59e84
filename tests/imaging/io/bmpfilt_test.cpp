// BMP reader and writer: corpus files from independent tools against
// their reference decodes, the writer's header and row forms, read-back
// by an independent decoder, damaged headers and aborted writes.
#include "imaging/io/bmpfilt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "imaging/core/ieview.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/iebyteorder.h"
#include "pictures.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

struct TReadResult {
  TIEBitmap bitmap;
  TIOParamsVals params{nullptr};
  TProgressFixture fixture;
};

void ReadBmpBytes(const std::vector<uint8_t>& bytes, TReadResult& r, bool preview = false) {
  TMemoryStream stream;
  Fill(stream, bytes);
  r.bitmap.Location = ieMemory;
  BMPReadStream(&stream, &r.bitmap, 0, r.params, r.fixture.progress, preview);
}

std::vector<uint8_t> WriteBmp(TIEBitmap& bitmap, TIOParamsVals& params, bool* aborted = nullptr) {
  TMemoryStream stream;
  TProgressFixture fixture;
  BMPWriteStream(&stream, &bitmap, params, fixture.progress);
  if (aborted) *aborted = fixture.aborting;
  return Contents(stream);
}

// A picture of `colours` distinct colours in stripes, with an odd width
// so that rows carry padding.
void StripedPicture(TIEBitmap& bitmap, int width, int height, int colours) {
  PaintBitmap(bitmap, width, height, [&](int x, int y) {
    const int k = (x / 3 + y) % colours;
    return CreateRGB(static_cast<uint8_t>(k * 15), static_cast<uint8_t>(255 - k * 15),
                     static_cast<uint8_t>((k * 97) & 0xFF));
  });
}

// A minimal uncompressed BMP: 40-byte header, optional palette.
std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, int bits, uint32_t colorsUsed,
                             const std::vector<uint8_t>& palette, const std::vector<uint8_t>& pixels,
                             uint32_t compression = 0, int32_t ppm = 0) {
  std::vector<uint8_t> b(54);
  b[0] = 'B';
  b[1] = 'M';
  IEPutLE32(&b[10], static_cast<uint32_t>(54 + palette.size()));
  IEPutLE32(&b[14], 40);
  IEPutLE32(&b[18], static_cast<uint32_t>(width));
  IEPutLE32(&b[22], static_cast<uint32_t>(height));
  IEPutLE16(&b[26], 1);
  IEPutLE16(&b[28], static_cast<uint16_t>(bits));
  IEPutLE32(&b[30], compression);
  IEPutLE32(&b[38], static_cast<uint32_t>(ppm));
  IEPutLE32(&b[42], static_cast<uint32_t>(ppm));
  IEPutLE32(&b[46], colorsUsed);
  b.insert(b.end(), palette.begin(), palette.end());
  b.insert(b.end(), pixels.begin(), pixels.end());
  IEPutLE32(&b[2], static_cast<uint32_t>(b.size()));
  return b;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Reading pictures written by other tools

namespace {

enum class Compare { Exact, OneBit, HighBits555, HighBits565 };

struct TCorpusCase {
  const char* file;
  TIOBMPVersion version;
  TIOBMPCompression compression;
  int bitsPerSample;
  int samplesPerPixel;
  Compare compare;
};

class BmpCorpus : public ::testing::TestWithParam<TCorpusCase> {};

// A channel of n bits as this reader places it: at the top of the byte.
int HighBits(int reference, int n) {
  const int v = static_cast<int>(std::lround(reference * ((1 << n) - 1) / 255.0));
  return v << (8 - n);
}

}  // namespace

TEST_P(BmpCorpus, ReadsToTheReferencePixels) {
  const TCorpusCase c = GetParam();
  TReadResult r;
  ReadBmpBytes(ReadBytes(PicturePath(c.file)), r);
  ASSERT_FALSE(r.fixture.aborting);
  const TRgbaPicture ref = LoadReference(c.file);
  ASSERT_EQ(r.bitmap.Width, ref.width);
  ASSERT_EQ(r.bitmap.Height, ref.height);
  EXPECT_EQ(r.params.Width, ref.width);
  EXPECT_EQ(r.params.Height, ref.height);
  EXPECT_EQ(r.params.BMP_Version, c.version);
  EXPECT_EQ(r.params.BMP_Compression, c.compression);
  EXPECT_EQ(r.params.BitsPerSample, c.bitsPerSample);
  EXPECT_EQ(r.params.SamplesPerPixel, c.samplesPerPixel);
  EXPECT_EQ(r.bitmap.PixelFormat, c.compare == Compare::OneBit ? ie1g : ie24RGB);

  for (int y = 0; y < ref.height; ++y) {
    for (int x = 0; x < ref.width; ++x) {
      const uint8_t* want = ref.At(x, y);
      if (want[3] == 0) continue;
      TRGB got = r.bitmap.GetPixels(x, y);
      if (c.compare == Compare::OneBit) {
        // 1-bit pictures stay two-level; the colours are in the palette.
        ASSERT_EQ(r.params.ColorMapCount, 2);
        got = r.params.ColorMap[r.bitmap.GetPixels_ie1g(x, y) ? 1 : 0];
      }
      TRGB expected{want[2], want[1], want[0]};
      if (c.compare == Compare::HighBits555 || c.compare == Compare::HighBits565) {
        expected = TRGB{static_cast<uint8_t>(HighBits(want[2], 5)),
                        static_cast<uint8_t>(HighBits(want[1], c.compare == Compare::HighBits565 ? 6 : 5)),
                        static_cast<uint8_t>(HighBits(want[0], 5))};
      }
      ASSERT_EQ(got, expected) << c.file << " at " << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, BmpCorpus,
    ::testing::Values(
        TCorpusCase{"bmp-1bit-bw-97x61.bmp", ioBMP_BM3, ioBMP_UNCOMPRESSED, 1, 1, Compare::OneBit},
        TCorpusCase{"bmp-1bit-2colour-31x17.bmp", ioBMP_BM3, ioBMP_UNCOMPRESSED, 1, 1, Compare::OneBit},
        TCorpusCase{"bmp-4bit-97x61.bmp", ioBMP_BM3, ioBMP_UNCOMPRESSED, 4, 1, Compare::Exact},
        TCorpusCase{"bmp-8bit-97x61.bmp", ioBMP_BM3, ioBMP_UNCOMPRESSED, 8, 1, Compare::Exact},
        TCorpusCase{"bmp-rle4-97x61.bmp", ioBMP_BM3, ioBMP_RLE, 4, 1, Compare::Exact},
        // The tool chose 24 uncompressed bits for this many colours.
        TCorpusCase{"bmp-rle8-97x61.bmp", ioBMP_BM3, ioBMP_UNCOMPRESSED, 8, 3, Compare::Exact},
        TCorpusCase{"bmp-16bit-555-33x21.bmp", ioBMP_BM3, ioBMP_UNCOMPRESSED, 5, 3, Compare::HighBits555},
        TCorpusCase{"bmp-16bit-565-bitfields-33x21.bmp", ioBMP_BM3, ioBMP_UNCOMPRESSED, 5, 3,
                    Compare::HighBits565},
        TCorpusCase{"bmp-24bit-97x61.bmp", ioBMP_BM3, ioBMP_UNCOMPRESSED, 8, 3, Compare::Exact},
        TCorpusCase{"bmp-32bit-33x21.bmp", ioBMP_BM3, ioBMP_UNCOMPRESSED, 8, 3, Compare::Exact},
        // The fourth byte is dropped; colours are compared where the picture is not clear.
        TCorpusCase{"bmp-32bit-alpha-v5-31x17.bmp", ioBMP_BM, ioBMP_UNCOMPRESSED, 8, 3, Compare::Exact},
        TCorpusCase{"bmp-os2-8bit-33x21.bmp", ioBMP_BMOS2V1, ioBMP_UNCOMPRESSED, 8, 1, Compare::Exact},
        TCorpusCase{"bmp-v4-24bit-31x17.bmp", ioBMP_BM, ioBMP_UNCOMPRESSED, 8, 3, Compare::Exact},
        TCorpusCase{"bmp-topdown-24bit-31x17.bmp", ioBMP_BM3, ioBMP_UNCOMPRESSED, 8, 3, Compare::Exact}),
    [](const auto& info) { return CaseName(info.param.file); });

TEST(BmpRead, DamagedFilesAbortWithoutPicture) {
  const std::vector<std::vector<uint8_t>> crafted = {
      // width x bits overflows 32 bits
      MakeBmp(0x7FFFFFFF, 2, 32, 0, {}, std::vector<uint8_t>(64)),
      MakeBmp(-5, 2, 24, 0, {}, std::vector<uint8_t>(64)),
      MakeBmp(5, 0, 24, 0, {}, std::vector<uint8_t>(64)),
      // RLE8 claiming a huge picture for a few bytes of data
      MakeBmp(40000, 40000, 8, 0, std::vector<uint8_t>(1024), {0, 1}, 1),
      // a palette that runs past the end
      MakeBmp(4, 4, 8, 0, std::vector<uint8_t>(20), {}),
      // top-down run-length data does not exist
      MakeBmp(4, -4, 8, 0, std::vector<uint8_t>(1024), {0, 1}, 1),
      // 4-bit pixels with the 8-bit run-length code
      MakeBmp(4, 4, 4, 0, std::vector<uint8_t>(64), {0, 1}, 1),
      {'B', 'M', 0, 0},
      {'X', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0}};
  std::vector<std::vector<uint8_t>> files = crafted;
  for (const char* name : {"bmp-bad-truncated-header.bmp", "bmp-bad-bitcount-7.bmp",
                           "bmp-bad-huge-dimensions.bmp"})
    files.push_back(ReadBytes(PicturePath(name)));
  // A huge info header size must not drive a seek or read either.
  std::vector<uint8_t> hugeHeader = MakeBmp(4, 4, 24, 0, {}, std::vector<uint8_t>(48));
  IEPutLE32(&hugeHeader[14], 0x474E5089);
  files.push_back(hugeHeader);

  for (size_t i = 0; i < files.size(); ++i) {
    TReadResult r;
    ReadBmpBytes(files[i], r);
    EXPECT_TRUE(r.fixture.aborting) << "case " << i;
    EXPECT_LE(int64_t{r.bitmap.Width} * r.bitmap.Height, 4 * 1024 * 1024) << "case " << i;
  }
}

// Uncompressed pixel data may lack part of its last row, never more than
// the file holds: a long row with no data behind it is refused before any
// memory is taken, while a big picture short of its last row still reads.
TEST(BmpRead, MissingDataIsBoundedByTheBytesPresent) {
  const int rowBytes = 3 * 1000;  // 1000 pixels at 24 bits need no padding
  const std::vector<uint8_t> rows(size_t(rowBytes) * 1499, 0x40);
  struct TCase {
    const char* name;
    std::vector<uint8_t> file;
    bool aborts;
  } const cases[] = {
      {"one 16-bit row of 335 million pixels, no data", MakeBmp(335544320, 1, 16, 0, {}, {0, 0, 0, 0}), true},
      {"one 16-bit row of 715 million pixels, no data", MakeBmp(715827882, 1, 16, 0, {}, {0, 0, 0, 0}), true},
      {"one 24-bit row of 2 million pixels, 100 bytes", MakeBmp(2000000, 1, 24, 0, {}, std::vector<uint8_t>(100)), true},
      {"two rows, less than one present", MakeBmp(1000000, 2, 24, 0, {}, std::vector<uint8_t>(1000)), true},
      {"1500 rows, the last one missing", MakeBmp(1000, 1500, 24, 0, {}, rows), false},
      {"1500 rows, half the last one missing",
       MakeBmp(1000, 1500, 24, 0, {}, [&] {
         std::vector<uint8_t> more = rows;
         more.resize(more.size() + rowBytes / 2, 0x40);
         return more;
       }()),
       false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TReadResult r;
    ReadBmpBytes(c.file, r);
    EXPECT_EQ(r.fixture.aborting, c.aborts);
    if (c.aborts) {
      EXPECT_EQ(r.bitmap.Width * int64_t{r.bitmap.Height}, 0);
      continue;
    }
    ASSERT_EQ(r.bitmap.Width, 1000);
    ASSERT_EQ(r.bitmap.Height, 1500);
    EXPECT_EQ(r.bitmap.GetPixels(0, 1499).r, 0x40);  // the bottom row, from the file
    EXPECT_EQ(r.bitmap.GetPixels(999, 0).r, 0);      // the top row, which the file lacks
  }
}

TEST(BmpRead, PixelsTheFileDoesNotGiveAreNeverOldMemory) {
  // 2 x 2 at 24 bits: rows of 8 bytes, bottom row first.
  const std::vector<uint8_t> pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  std::vector<uint8_t> pastTheEnd = MakeBmp(2, 2, 24, 0, {}, pixels);
  IEPutLE32(&pastTheEnd[10], static_cast<uint32_t>(pastTheEnd.size() + 100));
  std::vector<uint8_t> atTheEnd = MakeBmp(2, 2, 24, 0, {}, {});
  std::vector<uint8_t> oneRow = MakeBmp(2, 2, 24, 0, {}, std::vector<uint8_t>(pixels.begin(), pixels.begin() + 8));
  struct TCase {
    const char* name;
    std::vector<uint8_t> file;
    bool aborts;
  } const cases[] = {{"offset past the end", pastTheEnd, true},
                     {"offset at the end", atTheEnd, true},
                     {"one row of two", oneRow, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TReadResult r;
    r.bitmap.Location = ieMemory;
    r.bitmap.Allocate(2, 2, ie24RGB);  // same size: the read reuses this memory
    r.bitmap.Fill(0xABCDEF);
    ReadBmpBytes(c.file, r);
    EXPECT_EQ(r.fixture.aborting, c.aborts);
    if (c.aborts) continue;
    EXPECT_EQ(r.bitmap.GetPixels(1, 1).b, 4);  // the bottom row, from the file
    for (int x : {0, 1}) {
      const TRGB p = r.bitmap.GetPixels(x, 0);
      EXPECT_EQ(p.r + p.g + p.b, 0) << x;
    }
  }
}

TEST(BmpRead, PaletteAndResolutionRules) {
  gSystemDPIX = 72;
  gSystemDPIY = 73;
  const std::vector<uint8_t> whiteBlack = {255, 255, 255, 0, 0, 0, 0, 0};
  const std::vector<uint8_t> blackWhite = {0, 0, 0, 0, 255, 255, 255, 0};
  const std::vector<uint8_t> row = {0xA0, 0, 0, 0};  // pixels 0 and 2 have index 1

  // A white, black palette is turned around so that a set bit stays white.
  TReadResult inverted;
  ReadBmpBytes(MakeBmp(3, 1, 1, 2, whiteBlack, row, 0, 3780), inverted);
  EXPECT_FALSE(inverted.bitmap.GetPixels_ie1g(0, 0));
  EXPECT_TRUE(inverted.bitmap.GetPixels_ie1g(1, 0));
  EXPECT_EQ(inverted.params.DPIX, 96);
  TReadResult plain;
  ReadBmpBytes(MakeBmp(3, 1, 1, 2, blackWhite, row), plain);
  EXPECT_TRUE(plain.bitmap.GetPixels_ie1g(0, 0));
  EXPECT_FALSE(plain.bitmap.GetPixels_ie1g(1, 0));
  EXPECT_EQ(plain.params.DPIX, 72);  // no resolution: the system's
  EXPECT_EQ(plain.params.DPIY, 73);

  // More than 256 colours used: no palette for 24 bits, 2^bits for 8 bits.
  TReadResult rgb;
  ReadBmpBytes(MakeBmp(1, 1, 24, 300, {}, {1, 2, 3, 0}), rgb);
  EXPECT_EQ(rgb.params.ColorMapCount, 0);
  EXPECT_EQ(rgb.bitmap.GetPixels(0, 0), (TRGB{1, 2, 3}));
  std::vector<uint8_t> palette(1024);
  palette[4 * 7 + 2] = 200;  // entry 7 is red 200
  TReadResult indexed;
  ReadBmpBytes(MakeBmp(1, 1, 8, 300, palette, {7, 0, 0, 0}), indexed);
  EXPECT_EQ(indexed.params.ColorMapCount, 256);
  EXPECT_EQ(indexed.bitmap.GetPixels(0, 0), (TRGB{0, 0, 200}));

  // A palette shorter than the indices used: the missing entries are black.
  TReadResult shortPalette;
  ReadBmpBytes(MakeBmp(2, 1, 8, 1, {9, 9, 9, 0}, {0, 200, 0, 0}), shortPalette);
  EXPECT_EQ(shortPalette.bitmap.GetPixels(0, 0), (TRGB{9, 9, 9}));
  EXPECT_EQ(shortPalette.bitmap.GetPixels(1, 0), (TRGB{0, 0, 0}));
  gSystemDPIX = gSystemDPIY = 0;
}

TEST(BmpRead, PreviewFillsOnlyTheParameters) {
  TReadResult r;
  ReadBmpBytes(ReadBytes(PicturePath("bmp-8bit-97x61.bmp")), r, true);
  EXPECT_FALSE(r.fixture.aborting);
  EXPECT_EQ(r.params.Width, 97);
  EXPECT_EQ(r.params.Height, 61);
  EXPECT_EQ(r.params.ColorMapCount, 256);
  EXPECT_EQ(r.bitmap.Width, 0);
}

TEST(BmpRead, ProgressPerRowAndAbortStopsReading) {
  TReadResult r;
  std::vector<int> reports;
  r.fixture.progress.OnProgress = [&](TObject*, int per) {
    reports.push_back(per);
    if (reports.size() == 10) r.fixture.aborting = true;
  };
  ReadBmpBytes(ReadBytes(PicturePath("bmp-24bit-97x61.bmp")), r);
  ASSERT_EQ(reports.size(), 10u);
  EXPECT_EQ(reports[0], 1);  // trunc(1 x 100 / 61)
  EXPECT_EQ(reports[9], 16);
}

// ---------------------------------------------------------------------------------------------
// Writing

namespace {

struct TWriteCase {
  const char* name;
  int bitsPerSample;
  int samplesPerPixel;
  TIOBMPVersion version;
  TIOBMPCompression compression;
  int fileBits;
  uint32_t fileCompression;
  uint32_t headerSize;
  int tolerance;  // the quantiser may move palette colours a little
};

class BmpWrite : public ::testing::TestWithParam<TWriteCase> {};

}  // namespace

TEST_P(BmpWrite, HeaderRowsAndReadBack) {
  const TWriteCase c = GetParam();
  TIEBitmap picture;
  StripedPicture(picture, 37, 11, c.fileBits == 1 ? 2 : 12);
  TIOParamsVals params(nullptr);
  params.BitsPerSample = c.bitsPerSample;
  params.SamplesPerPixel = c.samplesPerPixel;
  params.BMP_Version = c.version;
  params.BMP_Compression = c.compression;
  params.DPIX = 96;
  params.DPIY = 300;
  bool aborted = true;
  const std::vector<uint8_t> bytes = WriteBmp(picture, params, &aborted);
  ASSERT_FALSE(aborted);

  EXPECT_EQ(IEGetLE32(&bytes[2]), bytes.size());
  EXPECT_EQ(IEGetLE32(&bytes[14]), c.headerSize);
  const bool core = c.headerSize == 12;
  EXPECT_EQ(IEGetLE16(&bytes[14 + (core ? 10 : 14)]), c.fileBits);
  if (!core) {
    EXPECT_EQ(IEGetLE32(&bytes[30]), c.fileCompression);
    EXPECT_EQ(IEGetLE32(&bytes[34]), bytes.size() - IEGetLE32(&bytes[10]));
    EXPECT_EQ(IEGetLE32(&bytes[38]), 3780u);
    EXPECT_EQ(IEGetLE32(&bytes[42]), 11811u);
  }
  if (c.compression == ioBMP_RLE && c.fileBits <= 8) {
    EXPECT_EQ(bytes[bytes.size() - 2], 0);  // end of bitmap
    EXPECT_EQ(bytes[bytes.size() - 1], 1);
  }
  if (c.fileBits <= 8) {
    EXPECT_EQ(params.ColorMapCount, 1 << c.fileBits);
  }

  TReadResult back;
  ReadBmpBytes(bytes, back);
  ASSERT_FALSE(back.fixture.aborting);
  // 1-bit pictures read back two-level, their colours in the palette.
  if (back.bitmap.PixelFormat == ie1g) back.bitmap.ConvertToPixelFormat(ie24RGB);
  if (c.fileBits == 1) {
    for (int y = 0; y < back.bitmap.Height; ++y)
      for (int x = 0; x < back.bitmap.Width; ++x)
        back.bitmap.SetPixels_ie24RGB(
            x, y, back.params.ColorMap[back.bitmap.GetPixels_ie24RGB(x, y).r ? 1 : 0]);
  }
  EXPECT_LE(MaxChannelDifference(ToRgba(back.bitmap), ToRgba(picture)), c.tolerance);

  // The bytes we write are a BMP that an independent decoder reads alike.
  TempDir dir;
  TMemoryStream file;
  Fill(file, bytes);
  file.SaveToFile(dir.file("out.bmp"));
  const std::vector<TRgbaPicture> outside = DecodeIndependently({dir.file("out.bmp")});
  EXPECT_EQ(MaxChannelDifference(outside[0], ToRgba(back.bitmap)), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, BmpWrite,
    ::testing::Values(
        TWriteCase{"Default24", 8, 3, ioBMP_BM3, ioBMP_UNCOMPRESSED, 24, 0, 40, 0},
        TWriteCase{"Palette8", 8, 1, ioBMP_BM3, ioBMP_UNCOMPRESSED, 8, 0, 40, 4},
        TWriteCase{"Palette4", 4, 1, ioBMP_BM3, ioBMP_UNCOMPRESSED, 4, 0, 40, 8},
        TWriteCase{"Rle8", 8, 1, ioBMP_BM3, ioBMP_RLE, 8, 1, 40, 4},
        TWriteCase{"Rle4", 4, 1, ioBMP_BM, ioBMP_RLE, 4, 2, 40, 8},
        TWriteCase{"TwoColours1Bit", 1, 1, ioBMP_BM3, ioBMP_UNCOMPRESSED, 1, 0, 40, 0},
        TWriteCase{"CoreHeader8", 8, 1, ioBMP_BMOS2V1, ioBMP_UNCOMPRESSED, 8, 0, 12, 4},
        TWriteCase{"Os2v2Header24", 8, 3, ioBMP_BMOS2V2, ioBMP_UNCOMPRESSED, 24, 0, 64, 0}),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

// Runs of the RLE coder, read from the first row written (the last row).
std::vector<uint8_t> FirstRleRow(int bits, const std::vector<int>& indices) {
  // Grey levels far apart stay distinct palette entries.
  TIEBitmap picture;
  PaintBitmap(picture, static_cast<int>(indices.size()), 1, [&](int x, int) {
    const uint8_t v = static_cast<uint8_t>(indices[x] * 60);
    return CreateRGB(v, v, v);
  });
  TIOParamsVals params(nullptr);
  params.BitsPerSample = bits;
  params.SamplesPerPixel = 1;
  params.BMP_Compression = ioBMP_RLE;
  const std::vector<uint8_t> bytes = WriteBmp(picture, params);
  const size_t data = IEGetLE32(&bytes[10]);
  return {bytes.begin() + static_cast<std::ptrdiff_t>(data), bytes.end()};
}

}  // namespace

TEST(BmpWriteRle, RunsLiteralsAndPadding) {
  // 300 equal pixels: runs of 255 and 45.
  std::vector<uint8_t> row = FirstRleRow(8, std::vector<int>(300, 2));
  ASSERT_GE(row.size(), 8u);
  EXPECT_EQ(row[0], 255);
  EXPECT_EQ(row[2], 45);
  EXPECT_EQ(row[1], row[3]);
  EXPECT_EQ(std::vector<uint8_t>(row.begin() + 4, row.end()), (std::vector<uint8_t>{0, 0, 0, 1}));

  // An odd literal stretch in RLE4: the last pixel in the high nibble, then a pad byte.
  row = FirstRleRow(4, {0, 1, 2, 3, 4});
  ASSERT_GE(row.size(), 5u);
  EXPECT_EQ(row[0], 0);
  EXPECT_EQ(row[1], 5);
  EXPECT_EQ(row[4] & 0x0F, 0);
  EXPECT_EQ(row[5], 0);  // three data bytes are padded to four
  EXPECT_EQ(std::vector<uint8_t>(row.begin() + 6, row.end()), (std::vector<uint8_t>{0, 0, 0, 1}));

  // Two pixels: RLE8 writes two runs of one, RLE4 one run of two.
  row = FirstRleRow(8, {0, 1});
  EXPECT_EQ(row[0], 1);
  EXPECT_EQ(row[2], 1);
  row = FirstRleRow(4, {0, 1});
  EXPECT_EQ(row[0], 2);
  EXPECT_NE(row[1] >> 4, row[1] & 0x0F);
}

TEST(BmpWriteDepth, ADepthLeftByAReadDoesNotLoseTheNextPicture) {
  // After reading a 1-bit file the parameters say one bit per pixel.
  TReadResult r;
  ReadBmpBytes(ReadBytes(PicturePath("bmp-1bit-bw-97x61.bmp")), r);
  ASSERT_EQ(r.params.BitsPerSample, 1);
  TIEBitmap colour;
  StripedPicture(colour, 9, 5, 12);
  std::vector<uint8_t> bytes = WriteBmp(colour, r.params);
  EXPECT_EQ(IEGetLE16(&bytes[28]), 24);
  // The two-level picture itself still goes out with one bit.
  bytes = WriteBmp(r.bitmap, r.params);
  EXPECT_EQ(IEGetLE16(&bytes[28]), 1);

  // A depth set on purpose holds: a colour picture made 1-bit, and a
  // 4-bit choice after a 24-bit read.
  TIOParamsVals onPurpose(nullptr);
  onPurpose.BitsPerSample = 1;
  onPurpose.SamplesPerPixel = 1;
  bytes = WriteBmp(colour, onPurpose);
  EXPECT_EQ(IEGetLE16(&bytes[28]), 1);
  TReadResult rgb;
  ReadBmpBytes(ReadBytes(PicturePath("bmp-24bit-97x61.bmp")), rgb);
  rgb.params.BitsPerSample = 4;
  rgb.params.SamplesPerPixel = 1;
  bytes = WriteBmp(colour, rgb.params);
  EXPECT_EQ(IEGetLE16(&bytes[28]), 4);
}

TEST(BmpWriteFailure, ShortWriteAbortsAndLeavesHeadersUnpatched) {
  TIEBitmap picture;
  StripedPicture(picture, 50, 40, 12);
  TIOParamsVals params(nullptr);
  TShortStream stream(1000);
  TProgressFixture fixture;
  int rows = 0;
  fixture.progress.OnProgress = [&](TObject*, int) { ++rows; };
  BMPWriteStream(&stream, &picture, params, fixture.progress);
  EXPECT_TRUE(fixture.aborting);
  EXPECT_LT(rows, 40);
  const std::vector<uint8_t> bytes = Contents(stream);
  ASSERT_GE(bytes.size(), 30u);
  EXPECT_EQ(IEGetLE32(&bytes[2]), 0u);   // no file size
  EXPECT_EQ(IEGetLE16(&bytes[28]), 0u);  // no bit count
}
