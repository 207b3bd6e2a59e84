// Portable bitmap, greymap and pixmap reader and writer: corpus files
// against their reference decodes, plain and raw forms, comments, damaged
// headers, the writer's forms read back here and by an independent reader.
#include "imaging/io/pxmfilt.h"

#include <gtest/gtest.h>

#include <png.h>

#include <cmath>
#include <fstream>

#include "imaging/core/ieview.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/pixio.h"
#include "pictures.h"
#include "support/testenv.h"

using namespace cwtest;
using namespace std::string_literals;

namespace {

struct TPxmRead {
  TIEBitmap bitmap;
  TIOParamsVals params{nullptr};
  TProgressFixture fixture;
};

std::vector<uint8_t> Text(const std::string& s) { return {s.begin(), s.end()}; }

void ReadPxmBytes(const std::vector<uint8_t>& bytes, TPxmRead& r, bool preview = false) {
  TMemoryStream stream;
  Fill(stream, bytes);
  r.bitmap.Location = ieMemory;
  PXMReadStream(&stream, &r.bitmap, r.params, r.fixture.progress, preview);
}

std::vector<uint8_t> WritePxmBytes(TIEBitmap& bitmap, TIOParamsVals& params, bool* aborted = nullptr) {
  TMemoryStream stream;
  TProgressFixture fixture;
  PXMWriteStream(&stream, &bitmap, params, fixture.progress);
  if (aborted) *aborted = fixture.aborting;
  return Contents(stream);
}

bool Try(const std::string& text) {
  TMemoryStream stream;
  Fill(stream, Text(text));
  stream.SetPosition(0);
  const bool result = TryPXM(&stream);
  EXPECT_EQ(stream.GetPosition(), 0);
  return result;
}

struct TPxmCorpusCase {
  const char* file;
  int bitsPerSample;
  int samplesPerPixel;
  int tolerance;  // maxvals that do not divide 255 and 16-bit samples
};

class PxmCorpus : public ::testing::TestWithParam<TPxmCorpusCase> {};

}  // namespace

TEST_P(PxmCorpus, ReadsToTheReferencePixels) {
  const TPxmCorpusCase c = GetParam();
  TPxmRead r;
  ReadPxmBytes(ReadBytes(PicturePath(c.file)), r);
  ASSERT_FALSE(r.fixture.aborting);
  TRgbaPicture ref = LoadReference(c.file);
  ASSERT_EQ(r.bitmap.Width, ref.width);
  ASSERT_EQ(r.bitmap.Height, ref.height);
  EXPECT_EQ(r.params.BitsPerSample, c.bitsPerSample);
  EXPECT_EQ(r.params.SamplesPerPixel, c.samplesPerPixel);
  EXPECT_EQ(r.bitmap.PixelFormat, c.bitsPerSample == 1 ? ie1g : ie24RGB);
  EXPECT_LE(MaxChannelDifference(ToRgba(r.bitmap), ref), c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Files, PxmCorpus,
                         ::testing::Values(TPxmCorpusCase{"pbm-plain-31x17.pbm", 1, 1, 0},
                                           TPxmCorpusCase{"pbm-raw-97x61.pbm", 1, 1, 0},
                                           TPxmCorpusCase{"pgm-plain-31x17.pgm", 8, 1, 0},
                                           TPxmCorpusCase{"pgm-raw-97x61.pgm", 8, 1, 0},
                                           TPxmCorpusCase{"pgm-raw-maxval15-33x21.pgm", 8, 1, 0},
                                           TPxmCorpusCase{"ppm-plain-31x17.ppm", 8, 3, 0},
                                           TPxmCorpusCase{"ppm-plain-maxval85-7x5.ppm", 8, 3, 0},
                                           TPxmCorpusCase{"ppm-raw-97x61.ppm", 8, 3, 0},
                                           TPxmCorpusCase{"ppm-raw-1x1.ppm", 8, 3, 0}),
                         [](const auto& info) { return CaseName(info.param.file); });

TEST(PxmRead, SixteenBitSamplesAreScaledToEightBits) {
  TPxmRead r;
  ReadPxmBytes(ReadBytes(PicturePath("ppm-raw-16bit-33x21.ppm")), r);
  ASSERT_FALSE(r.fixture.aborting);
  // The reference holds 16-bit samples; read them as they are stored.
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, PicturePath("refs/ppm-raw-16bit-33x21.png").c_str()));
  image.format = PNG_FORMAT_LINEAR_RGB;
  std::vector<uint16_t> samples(PNG_IMAGE_SIZE(image) / 2);
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, samples.data(), 0, nullptr));
  ASSERT_EQ(r.bitmap.Width, static_cast<int>(image.width));
  for (int y = 0; y < r.bitmap.Height; ++y) {
    for (int x = 0; x < r.bitmap.Width; ++x) {
      const TRGB got = r.bitmap.GetPixels(x, y);
      const uint16_t* want = &samples[(static_cast<size_t>(y) * image.width + x) * 3];
      const uint8_t channels[3] = {got.r, got.g, got.b};
      for (int c = 0; c < 3; ++c)
        ASSERT_NEAR(channels[c], std::lround(want[c] * 255.0 / 65535), 1) << x << "," << y;
    }
  }
}

TEST(PxmRead, PlainFormsCommentsAndScaling) {
  // Comment between magic and size; digits 0 1 / 1 0 (0 is white).
  TPxmRead bits;
  ReadPxmBytes(Text("P1\n#  a comment  \n2 2\n0 1\n1 0\n"), bits);
  ASSERT_FALSE(bits.fixture.aborting);
  EXPECT_TRUE(bits.bitmap.GetPixels_ie1g(0, 0));
  EXPECT_FALSE(bits.bitmap.GetPixels_ie1g(1, 0));
  EXPECT_FALSE(bits.bitmap.GetPixels_ie1g(0, 1));
  EXPECT_TRUE(bits.bitmap.GetPixels_ie1g(1, 1));
  ASSERT_EQ(bits.params.PXM_Comments->Count(), 1);
  EXPECT_EQ(bits.params.PXM_Comments->Get(0), "a comment");

  // Bilevel digits run together are one pixel each; in a greymap a run of
  // digits is one value.
  TPxmRead packed;
  ReadPxmBytes(Text("P1 3 1 101"), packed);
  EXPECT_FALSE(packed.bitmap.GetPixels_ie1g(0, 0));
  EXPECT_TRUE(packed.bitmap.GetPixels_ie1g(1, 0));
  EXPECT_FALSE(packed.bitmap.GetPixels_ie1g(2, 0));
  TPxmRead grey;
  ReadPxmBytes(Text("P2 2 1 15 15 7"), grey);
  EXPECT_EQ(grey.bitmap.GetPixels(0, 0), (TRGB{255, 255, 255}));
  EXPECT_EQ(grey.bitmap.GetPixels(1, 0), (TRGB{119, 119, 119}));  // trunc(7 / 15 x 255)

  // Raw greymap with maxval 15: 15 reads as 255, 0 as 0; maxval 255 unchanged.
  TPxmRead raw15;
  ReadPxmBytes(Text("P5 2 1 15\n\x0f\x00"), raw15);
  EXPECT_EQ(raw15.bitmap.GetPixels(0, 0), (TRGB{255, 255, 255}));
  EXPECT_EQ(raw15.bitmap.GetPixels(1, 0), (TRGB{0, 0, 0}));
  TPxmRead raw255;
  std::vector<uint8_t> bytes = Text("P5 1 1 255\n");
  bytes.push_back(77);
  ReadPxmBytes(bytes, raw255);
  EXPECT_EQ(raw255.bitmap.GetPixels(0, 0), (TRGB{77, 77, 77}));

  // The raw pixmap: red, green, blue in the file.
  TPxmRead rgb;
  ReadPxmBytes(Text("P6 1 1 255\n\x01\x02\x03"), rgb);
  EXPECT_EQ(rgb.bitmap.GetPixels(0, 0), (TRGB{3, 2, 1}));
  EXPECT_EQ(rgb.params.ColorMapCount, 0);
}

TEST(PxmRead, DamagedHeadersAbortAndMissingDataReadsAsZero) {
  const std::vector<std::vector<uint8_t>> bad = {
      ReadBytes(PicturePath("pgm-bad-maxval-0.pgm")),
      ReadBytes(PicturePath("ppm-bad-huge-dimensions.ppm")),
      Text("P7 2 2 255\n"), Text("P5 0 2 255\n"), Text("P5 2 x 255\n"), Text("# only a comment\n"),
      Text(""), Text("P6 2 2 70000\n")};
  for (size_t i = 0; i < bad.size(); ++i) {
    TPxmRead r;
    ReadPxmBytes(bad[i], r);
    EXPECT_TRUE(r.fixture.aborting) << "case " << i;
    EXPECT_EQ(r.bitmap.Width, 0) << "case " << i;
  }
  // A raster cut short still reads; the missing part is black.
  TPxmRead cut;
  ReadPxmBytes(ReadBytes(PicturePath("ppm-bad-truncated-raster.ppm")), cut);
  EXPECT_FALSE(cut.fixture.aborting);
  EXPECT_EQ(cut.bitmap.GetPixels(cut.bitmap.Width - 1, cut.bitmap.Height - 1), (TRGB{0, 0, 0}));
}

TEST(PxmRead, ContentTest) {
  EXPECT_TRUE(Try("P1 # c\n2 2"));
  EXPECT_TRUE(Try("P4\n2 2\n"));
  EXPECT_TRUE(Try("P6 2 2 255"));
  EXPECT_FALSE(Try("P6 2 2"));  // the token after the height is missing
  EXPECT_FALSE(Try("P7 2 2 255"));
  EXPECT_FALSE(Try("P5 0 2 255"));
  EXPECT_FALSE(Try("BM 2 2 255"));
}

TEST(PxmWrite, FormsHeadersAndReadBack) {
  TIEBitmap picture;
  PaintBitmap(picture, 13, 5, [](int x, int y) {
    return CreateRGB(static_cast<uint8_t>(x * 19), static_cast<uint8_t>(y * 50), static_cast<uint8_t>(x * y));
  });
  TIOParamsVals params(nullptr);
  // Default parameters: 8 bits, 3 samples.
  std::vector<uint8_t> bytes = WritePxmBytes(picture, params);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 14), "P6 13 5 255\n\0\0"s.substr(0, 14));
  TPxmRead back;
  ReadPxmBytes(bytes, back);
  EXPECT_EQ(MaxChannelDifference(ToRgba(back.bitmap), ToRgba(picture)), 0);

  // Comments each on their own "# " line between the magic and the size.
  params.PXM_Comments->Add("first");
  params.PXM_Comments->Add("second");
  params.BitsPerSample = 8;
  params.SamplesPerPixel = 1;
  bytes = WritePxmBytes(picture, params);
  const std::string header = "P5 \n# first\n\n# second\n13 5 255\n";
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + header.size()), header);
  EXPECT_EQ(bytes.size(), header.size() + 13 * 5);
  EXPECT_EQ(bytes[header.size() + 3], _RGBToGray(picture.GetPixels(3, 0)));
  ReadPxmBytes(bytes, back);
  EXPECT_EQ(back.params.PXM_Comments->Count(), 2);

  // 1 bit: the file's 1 is black.
  params.PXM_Comments->Clear();
  params.BitsPerSample = 1;
  TIEBitmap bits;
  bits.Location = ieMemory;
  bits.Allocate(10, 2, ie1g);
  bits.Fill(0);
  bits.SetPixels_ie1g(0, 0, true);
  bytes = WritePxmBytes(bits, params);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 9), "P4 10 2\n\xFF"s.substr(0, 8) + "\x7F");
  ReadPxmBytes(bytes, back);
  EXPECT_TRUE(back.bitmap.GetPixels_ie1g(0, 0));
  EXPECT_FALSE(back.bitmap.GetPixels_ie1g(1, 0));

  // The raw forms read back by an independent reader.
  TempDir dir;
  std::vector<std::string> paths;
  for (int bitsPerSample : {1, 8}) {
    for (int samples : {1, 3}) {
      if (bitsPerSample == 1 && samples == 3) continue;
      params.BitsPerSample = bitsPerSample;
      params.SamplesPerPixel = samples;
      bytes = WritePxmBytes(picture, params);
      paths.push_back(dir.file("out" + std::to_string(paths.size()) + ".pnm"));
      std::ofstream(paths.back(), std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
  }
  const std::vector<TRgbaPicture> outside = DecodeIndependently(paths);
  for (size_t i = 0; i < paths.size(); ++i) {
    TPxmRead ours;
    ReadPxmBytes(ReadBytes(paths[i]), ours);
    EXPECT_EQ(MaxChannelDifference(outside[i], ToRgba(ours.bitmap)), 0) << paths[i];
  }
}

TEST(PxmPixIO, FilesAndStreams) {
  TempDir dir;
  TPixIO writer(nullptr);
  PaintBitmap(*writer.IEBitmap, 9, 4, [](int x, int y) { return CreateRGB(x * 20, y * 60, 7); });
  for (const char* name : {"a.ppm", "a.PXM"}) {
    writer.SaveToFile(dir.file(name));
    ASSERT_FALSE(writer.Aborting);
    TPixIO reader(nullptr);
    reader.LoadFromFile(dir.file(name));
    ASSERT_FALSE(reader.Aborting);
    EXPECT_EQ(reader.IOParams->FileType, ieftPXM);
    EXPECT_EQ(MaxChannelDifference(ToRgba(*reader.IEBitmap), ToRgba(*writer.IEBitmap)), 0);
  }
  TMemoryStream stream;
  writer.SaveToStream(&stream, ieftPXM);
  stream.SetPosition(0);
  TPixIO reader(nullptr);
  reader.LoadFromStream(&stream);  // found by content
  ASSERT_FALSE(reader.Aborting);
  EXPECT_EQ(reader.IOParams->FileType, ieftPXM);
  EXPECT_EQ(reader.IEBitmap->Width, 9);
  reader.ParamsFromFile(dir.file("a.ppm"));
  EXPECT_EQ(reader.IOParams->FileType, ieftPXM);
  EXPECT_EQ(reader.IOParams->Height, 4);
}
