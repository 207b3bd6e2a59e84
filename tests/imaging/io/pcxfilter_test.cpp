// PCX reader and writer: corpus files against their reference decodes,
// run-length lines, damaged headers, the writer's forms read back by this
// reader and by an independent one, and the I/O component's stream header.
#include "imaging/io/pcxfilter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "imaging/core/ieview.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/pixio.h"
#include "pictures.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

struct TPcxRead {
  TIEBitmap bitmap;
  TIOParamsVals params{nullptr};
  TProgressFixture fixture;
};

void ReadPcxBytes(const std::vector<uint8_t>& bytes, TPcxRead& r, bool preview = false,
                  int64_t size = -1) {
  TMemoryStream stream;
  Fill(stream, bytes);
  r.bitmap.Location = ieMemory;
  ReadPcxStream(&stream, &r.bitmap, r.params, size < 0 ? stream.GetSize() : size, r.fixture.progress,
                preview);
}

std::vector<uint8_t> WritePcxBytes(TIEBitmap& bitmap, TIOParamsVals& params, bool* aborted = nullptr) {
  TMemoryStream stream;
  TProgressFixture fixture;
  WritePcxStream(&stream, &bitmap, params, fixture.progress);
  if (aborted) *aborted = fixture.aborting;
  return Contents(stream);
}

// A 128-byte header; the data follows.
std::vector<uint8_t> PcxHeader(int width, int height, int bits, int planes, int bytesPerLine,
                               bool rle) {
  std::vector<uint8_t> h(128, 0);
  h[0] = 10;
  h[1] = 5;
  h[2] = rle ? 1 : 0;
  h[3] = static_cast<uint8_t>(bits);
  IEPutLE16(&h[8], static_cast<uint16_t>(width - 1));
  IEPutLE16(&h[10], static_cast<uint16_t>(height - 1));
  IEPutLE16(&h[12], 72);
  IEPutLE16(&h[14], 72);
  h[65] = static_cast<uint8_t>(planes);
  IEPutLE16(&h[66], static_cast<uint16_t>(bytesPerLine));
  return h;
}

std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void Picture(TIEBitmap& bitmap, int width, int height, int colours) {
  PaintBitmap(bitmap, width, height, [&](int x, int y) {
    const int k = (x / 4 + y / 3) % colours;
    return CreateRGB(static_cast<uint8_t>(k * 37), static_cast<uint8_t>(255 - k * 20),
                     static_cast<uint8_t>((k * 91) & 0xFF));
  });
}

struct TPcxCorpusCase {
  const char* file;
  int bitsPerSample;
  int samplesPerPixel;
};

class PcxCorpus : public ::testing::TestWithParam<TPcxCorpusCase> {};

}  // namespace

TEST_P(PcxCorpus, ReadsToTheReferencePixels) {
  const TPcxCorpusCase c = GetParam();
  TPcxRead r;
  ReadPcxBytes(ReadBytes(PicturePath(c.file)), r);
  ASSERT_FALSE(r.fixture.aborting);
  const TRgbaPicture ref = LoadReference(c.file);
  ASSERT_EQ(r.bitmap.Width, ref.width);
  ASSERT_EQ(r.bitmap.Height, ref.height);
  EXPECT_EQ(r.params.BitsPerSample, c.bitsPerSample);
  EXPECT_EQ(r.params.SamplesPerPixel, c.samplesPerPixel);
  const bool oneBit = c.bitsPerSample == 1;
  EXPECT_EQ(r.bitmap.PixelFormat, oneBit ? ie1g : ie24RGB);
  for (int y = 0; y < ref.height; ++y) {
    for (int x = 0; x < ref.width; ++x) {
      const TRGB got = oneBit ? r.params.ColorMap[r.bitmap.GetPixels_ie1g(x, y) ? 1 : 0]
                              : r.bitmap.GetPixels(x, y);
      const uint8_t* want = ref.At(x, y);
      ASSERT_EQ(got, (TRGB{want[2], want[1], want[0]})) << c.file << " at " << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, PcxCorpus,
                         ::testing::Values(TPcxCorpusCase{"pcx-1bit-bw-97x61.pcx", 1, 1},
                                           TPcxCorpusCase{"pcx-2planes-4colour-33x21.pcx", 2, 1},
                                           TPcxCorpusCase{"pcx-4planes-16colour-97x61.pcx", 4, 1},
                                           TPcxCorpusCase{"pcx-8bit-palette-97x61.pcx", 8, 1},
                                           TPcxCorpusCase{"pcx-24bit-97x61.pcx", 8, 3}),
                         [](const auto& info) { return CaseName(info.param.file); });

TEST(PcxRead, DamagedFilesAbortAndLeaveTheParameters) {
  const std::vector<uint8_t> row(64, 0);
  std::vector<uint8_t> badEncoding = Join(PcxHeader(4, 4, 8, 1, 4, true), row);
  badEncoding[2] = 2;
  std::vector<uint8_t> upsideDown = Join(PcxHeader(4, 4, 8, 1, 4, false), row);
  IEPutLE16(&upsideDown[4], 10);  // xmin beyond xmax
  const std::vector<std::vector<uint8_t>> files = {
      ReadBytes(PicturePath("pcx-bad-manufacturer.pcx")),
      ReadBytes(PicturePath("pcx-bad-huge-window.pcx")),
      ReadBytes(PicturePath("pcx-bad-truncated-header.pcx")),
      Join(PcxHeader(4, 4, 16, 1, 8, false), row),  // more than 8 bits
      badEncoding,
      upsideDown,
      Join(PcxHeader(40, 4, 8, 1, 20, false), std::vector<uint8_t>(2000)),  // lines too short
      Join(PcxHeader(4, 4, 8, 2, 4, false), row),                           // two 8-bit planes
      Join(PcxHeader(4, 4, 8, 1, 4, false), std::vector<uint8_t>(100)),     // no room for a palette
  };
  for (size_t i = 0; i < files.size(); ++i) {
    TPcxRead r;
    r.params.Width = 123;
    ReadPcxBytes(files[i], r);
    EXPECT_TRUE(r.fixture.aborting) << "case " << i;
    EXPECT_EQ(r.params.Width, 123) << "case " << i;
    EXPECT_EQ(r.bitmap.Width, 0) << "case " << i;
  }
}

TEST(PcxRead, DataThatEndsEarlyAbortsWithTheRestBlack) {
  // Two rows of a 24-bit picture announced as four.
  std::vector<uint8_t> bytes = PcxHeader(2, 4, 8, 3, 2, false);
  for (int i = 0; i < 12; ++i) bytes.push_back(0x80);
  TPcxRead r;
  ReadPcxBytes(bytes, r);
  EXPECT_TRUE(r.fixture.aborting);
  ASSERT_EQ(r.bitmap.Height, 4);
  EXPECT_EQ(r.bitmap.GetPixels(1, 1), (TRGB{0x80, 0x80, 0x80}));
  EXPECT_EQ(r.bitmap.GetPixels(1, 3), (TRGB{0, 0, 0}));
}

TEST(PcxRead, RunsCrossLinesAndPlanes) {
  // 24-bit, 3 x 2 pixels, 4 bytes per plane line: the first run of 20
  // covers both lines' red, green and blue planes and 4 bytes more.
  std::vector<uint8_t> bytes = PcxHeader(3, 2, 8, 3, 4, true);
  for (uint8_t b : {0xD4, 0x11, 0xC4, 0x22}) bytes.push_back(b);
  TPcxRead r;
  ReadPcxBytes(bytes, r);
  ASSERT_FALSE(r.fixture.aborting);
  EXPECT_EQ(r.bitmap.GetPixels(2, 0), (TRGB{0x11, 0x11, 0x11}));
  EXPECT_EQ(r.bitmap.GetPixels(2, 1), (TRGB{0x22, 0x11, 0x11}));  // blue plane from the second run
}

TEST(PcxRead, ResolutionPaletteAndPreview) {
  gSystemDPIX = 72;
  gSystemDPIY = 73;
  std::vector<uint8_t> bytes = PcxHeader(2, 1, 8, 1, 2, false);
  IEPutLE16(&bytes[12], 300);
  IEPutLE16(&bytes[14], 0);
  bytes.push_back(0);
  bytes.push_back(5);
  std::vector<uint8_t> palette(769, 0);
  palette[0] = 0x0C;
  palette[1 + 5 * 3] = 200;  // entry 5: red 200
  bytes = Join(bytes, palette);
  const size_t size = bytes.size();
  // Bytes past the given size are not the palette.
  bytes.insert(bytes.end(), 800, 0x77);

  TPcxRead preview;
  ReadPcxBytes(bytes, preview, true, static_cast<int64_t>(size));
  EXPECT_FALSE(preview.fixture.aborting);
  EXPECT_EQ(preview.bitmap.Width, 0);
  EXPECT_EQ(preview.params.DPIX, 72);  // a zero on one axis gives the system's on both
  EXPECT_EQ(preview.params.DPIY, 73);
  EXPECT_EQ(preview.params.ColorMapCount, 256);

  TPcxRead r;
  ReadPcxBytes(bytes, r, false, static_cast<int64_t>(size));
  EXPECT_EQ(r.bitmap.GetPixels(1, 0), (TRGB{0, 0, 200}));
  gSystemDPIX = gSystemDPIY = 0;
}

TEST(PcxWrite, RunLengthLinesAndPadding) {
  TIOParamsVals params(nullptr);
  params.BitsPerSample = 1;
  params.SamplesPerPixel = 1;
  // 1-bit rows of 800 white pixels: 100 bytes of FF in runs of 63 and 37.
  TIEBitmap white;
  white.Location = ieMemory;
  white.Allocate(800, 1, ie1g);
  white.Fill(255);
  std::vector<uint8_t> bytes = WritePcxBytes(white, params);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 128, bytes.end()),
            (std::vector<uint8_t>{0xFF, 0xFF, 0xE5, 0xFF}));
  EXPECT_EQ(IEGetLE16(&bytes[66]), 100);

  // A single byte of C5 is a run of one; 9 pixels need 2 bytes, even already.
  TIEBitmap bits;
  bits.Location = ieMemory;
  bits.Allocate(9, 1, ie1g);
  bits.Fill(0);
  bits.GetScanLine(0)[0] = 0xC5;
  bytes = WritePcxBytes(bits, params);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 128, bytes.end()), (std::vector<uint8_t>{0xC1, 0xC5, 0x00}));

  // 5 pixels at 4 bits: 3 bytes rounded to 4, the coded line ends with a literal 0.
  TIEBitmap five;
  Picture(five, 5, 1, 2);
  params.BitsPerSample = 4;
  bytes = WritePcxBytes(five, params);
  EXPECT_EQ(bytes[3], 4);
  EXPECT_EQ(bytes[65], 1);
  EXPECT_EQ(IEGetLE16(&bytes[66]), 4);
  EXPECT_EQ(bytes.back(), 0);
  TPcxRead back;
  ReadPcxBytes(bytes, back);
  ASSERT_FALSE(back.fixture.aborting);
  EXPECT_LE(MaxChannelDifference(ToRgba(back.bitmap), ToRgba(five)), 12);  // the quantiser's palette

  // Plain lines hold bytes-per-line bytes.
  params.PCX_Compression = ioPCX_UNCOMPRESSED;
  bytes = WritePcxBytes(five, params);
  EXPECT_EQ(bytes[2], 0);
  EXPECT_EQ(bytes.size(), 128u + 4);
}

namespace {

struct TPcxWriteCase {
  int bitsPerSample;
  int samplesPerPixel;
  TIOPCXCompression compression;
  int fileBits;
  int filePlanes;
};

class PcxWrite : public ::testing::TestWithParam<TPcxWriteCase> {};

}  // namespace

TEST_P(PcxWrite, HeaderAndReadBackHereAndOutside) {
  const TPcxWriteCase c = GetParam();
  TIEBitmap picture;
  Picture(picture, 37, 11, c.fileBits == 1 ? 2 : 12);
  TIOParamsVals params(nullptr);
  params.BitsPerSample = c.bitsPerSample;
  params.SamplesPerPixel = c.samplesPerPixel;
  params.PCX_Compression = c.compression;
  params.DPIX = 150;
  params.DPIY = 300;
  bool aborted = true;
  const std::vector<uint8_t> bytes = WritePcxBytes(picture, params, &aborted);
  ASSERT_FALSE(aborted);
  EXPECT_EQ(bytes[0], 10);
  EXPECT_EQ(bytes[2], c.compression == ioPCX_RLE ? 1 : 0);
  EXPECT_EQ(bytes[3], c.fileBits);
  EXPECT_EQ(bytes[65], c.filePlanes);
  EXPECT_EQ(IEGetLE16(&bytes[8]), 36);
  EXPECT_EQ(IEGetLE16(&bytes[10]), 10);
  EXPECT_EQ(IEGetLE16(&bytes[12]), 150);
  EXPECT_EQ(IEGetLE16(&bytes[66]) % 2, 0);
  EXPECT_EQ(IEGetLE16(&bytes[68]), c.filePlanes == 3 ? 0 : 1);
  if (c.fileBits == 8 && c.filePlanes == 1) EXPECT_EQ(bytes[bytes.size() - 769], 0x0C);

  TPcxRead back;
  ReadPcxBytes(bytes, back);
  ASSERT_FALSE(back.fixture.aborting);
  EXPECT_EQ(back.params.DPIY, 300);
  // Palettes come from the quantiser, which may move colours a little.
  const int tolerance = c.fileBits == 4 || (c.fileBits == 8 && c.filePlanes == 1) ? 12 : 0;
  const TRgbaPicture want = ToRgba(picture);
  const TRgbaPicture got = back.bitmap.PixelFormat == ie1g ? [&] {
    TRgbaPicture p = ToRgba(back.bitmap);
    for (size_t i = 0; i < p.rgba.size(); i += 4) {
      const TRGB& c2 = back.params.ColorMap[p.rgba[i] ? 1 : 0];
      p.rgba[i] = c2.r;
      p.rgba[i + 1] = c2.g;
      p.rgba[i + 2] = c2.b;
    }
    return p;
  }() : ToRgba(back.bitmap);
  EXPECT_LE(MaxChannelDifference(got, want), tolerance);

  // The outside reader knows no 4-bit plane and no plain lines.
  if (c.fileBits == 4 || c.compression == ioPCX_UNCOMPRESSED) return;
  TempDir dir;
  const std::string path = dir.file("out.pcx");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  const TRgbaPicture outside = DecodeIndependently({path})[0];
  if (c.fileBits == 1) {
    EXPECT_EQ(MaxChannelDifference(outside, ToRgba(back.bitmap)), 0);  // the outside reader shows bits
  } else {
    EXPECT_EQ(MaxChannelDifference(outside, got), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, PcxWrite,
                         ::testing::Values(TPcxWriteCase{1, 1, ioPCX_RLE, 1, 1},
                                           TPcxWriteCase{1, 1, ioPCX_UNCOMPRESSED, 1, 1},
                                           TPcxWriteCase{4, 1, ioPCX_RLE, 4, 1},
                                           TPcxWriteCase{8, 1, ioPCX_RLE, 8, 1},
                                           TPcxWriteCase{8, 1, ioPCX_UNCOMPRESSED, 8, 1},
                                           TPcxWriteCase{8, 3, ioPCX_RLE, 8, 3},
                                           TPcxWriteCase{8, 3, ioPCX_UNCOMPRESSED, 8, 3}));

TEST(PcxWrite, UnwritableDepthsAndShortWritesAbort) {
  TIEBitmap picture;
  Picture(picture, 20, 8, 12);
  TIOParamsVals params(nullptr);
  params.BitsPerSample = 8;
  params.SamplesPerPixel = 4;  // 32 bits has no form here
  bool aborted = false;
  EXPECT_TRUE(WritePcxBytes(picture, params, &aborted).empty());
  EXPECT_TRUE(aborted);

  // A short write stops the rows and the palette.
  params.SamplesPerPixel = 1;
  cwtest::TShortStream shortStream(300);
  TProgressFixture fixture;
  WritePcxStream(&shortStream, &picture, params, fixture.progress);
  EXPECT_TRUE(fixture.aborting);
  EXPECT_EQ(shortStream.GetSize(), 300);
}

TEST(PcxPixIO, FilesStreamsAndStreamHeaders) {
  TempDir dir;
  TPixIO writer(nullptr);
  Picture(*writer.IEBitmap, 30, 9, 12);
  writer.SaveToFile(dir.file("a.PCX"));
  ASSERT_FALSE(writer.Aborting);
  TPixIO byName(nullptr);
  byName.LoadFromFile(dir.file("a.PCX"));
  ASSERT_FALSE(byName.Aborting);
  EXPECT_EQ(byName.IOParams->FileType, ieftPCX);
  EXPECT_EQ(MaxChannelDifference(ToRgba(*byName.IEBitmap), ToRgba(*writer.IEBitmap)), 0);

  // Two pictures one after the other, each behind its "PCX2" header.
  TMemoryStream stream;
  writer.StreamHeaders = true;
  writer.SaveToStreamPCX(&stream);
  const int64_t first = stream.GetSize();
  Picture(*writer.IEBitmap, 7, 5, 3);
  writer.SaveToStream(&stream, ieftPCX);
  const std::vector<uint8_t> bytes = Contents(stream);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "PCX2");
  EXPECT_EQ(IEGetLE32(&bytes[8]), first - 12);
  TPixIO reader(nullptr);
  reader.StreamHeaders = true;
  stream.SetPosition(0);
  reader.LoadFromStream(&stream);  // found by content
  EXPECT_FALSE(reader.Aborting);
  EXPECT_EQ(reader.IEBitmap->Width, 30);
  reader.LoadFromStreamPCX(&stream);
  EXPECT_FALSE(reader.Aborting);
  EXPECT_EQ(reader.IEBitmap->Width, 7);
  EXPECT_EQ(stream.GetPosition(), stream.GetSize());

  // The older header "PCX" and a NUL, the data running to the end.
  TMemoryStream old;
  Fill(old, Join({'P', 'C', 'X', 0}, std::vector<uint8_t>(bytes.begin() + 12, bytes.begin() + first)));
  reader.LoadFromStreamPCX(&old);
  EXPECT_FALSE(reader.Aborting);
  EXPECT_EQ(reader.IEBitmap->Width, 30);

  // Without a header where one is expected nothing is read.
  TMemoryStream bare;
  Fill(bare, std::vector<uint8_t>(bytes.begin() + 12, bytes.begin() + first));
  int finished = 0;
  reader.OnFinishWork = [&](TObject*) { ++finished; };
  reader.LoadFromStreamPCX(&bare);
  EXPECT_TRUE(reader.Aborting);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(reader.IEBitmap->Width, 30);

  // A write that fails leaves the header zero.
  cwtest::TShortStream shortStream(200);
  writer.SaveToStreamPCX(&shortStream);
  EXPECT_TRUE(writer.Aborting);
  shortStream.SetPosition(0);
  uint8_t head[4] = {1, 1, 1, 1};
  shortStream.Read(head, 4);
  EXPECT_EQ(head[0], 0);

  // Parameters only.
  TPixIO params(nullptr);
  params.ParamsFromFile(dir.file("a.PCX"));
  EXPECT_EQ(params.IOParams->FileType, ieftPCX);
  EXPECT_EQ(params.IOParams->Width, 30);
  EXPECT_EQ(params.IEBitmap->Width, 0);
}
