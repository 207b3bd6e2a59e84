// JPEG codec: outside-made files against reference decodes and against
// libjpeg-turbo's own decode, parameters and markers, writer options read
// back by an independent decoder, error conversion at the library edge,
// lossless transforms and IPTC replacement.
#include "imaging/io/jpegfilt.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "imaging/core/iemetadata.h"
#include "imaging/core/ieview.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/iebyteorder.h"
#include "pictures.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

struct TJpegRead {
  TIEBitmap bitmap;
  TIOParamsVals params{nullptr};
  TProgressFixture fixture;

  void Read(const std::vector<uint8_t>& bytes, bool preview = false) {
    TMemoryStream stream;
    Fill(stream, bytes);
    bitmap.Location = ieMemory;
    ReadJPegStream(&stream, &bitmap, params, fixture.progress, preview);
  }
};

std::vector<uint8_t> WriteJpeg(TIEBitmap& bitmap, TIOParamsVals& params) {
  TMemoryStream stream;
  TProgressFixture fixture;
  WriteJPegStream(&stream, &bitmap, params, fixture.progress);
  EXPECT_FALSE(fixture.aborting);
  return Contents(stream);
}

// libjpeg-turbo's own decode (accurate DCT, smooth upsampling), scaled by
// 1/denominator, as RGBA.
TRgbaPicture LibraryDecode(const std::vector<uint8_t>& jpeg, int denominator = 1) {
  tjhandle handle = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &width, &height, &subsampling, &colorspace);
  TRgbaPicture picture;
  picture.width = (width + denominator - 1) / denominator;
  picture.height = (height + denominator - 1) / denominator;
  picture.rgba.resize(static_cast<size_t>(picture.width) * picture.height * 4);
  if (tjDecompress2(handle, jpeg.data(), jpeg.size(), picture.rgba.data(), picture.width, 0,
                    picture.height, TJPF_RGBA, 0) != 0)
    throw std::runtime_error(tjGetErrorStr2(handle));
  tjDestroy(handle);
  return picture;
}

// Marker codes of the header segments, in file order.
std::vector<uint8_t> SegmentCodes(const std::vector<uint8_t>& jpeg) {
  std::vector<uint8_t> codes;
  for (size_t p = 2; p + 4 <= jpeg.size() && jpeg[p] == 0xFF && jpeg[p + 1] != 0xDA;) {
    codes.push_back(jpeg[p + 1]);
    p += 2 + IEGetBE16(&jpeg[p + 2]);
  }
  return codes;
}

// Removes the first segment with that code.
void RemoveSegment(std::vector<uint8_t>& jpeg, uint8_t code) {
  for (size_t p = 2; p + 4 <= jpeg.size() && jpeg[p] == 0xFF;) {
    const size_t length = 2 + IEGetBE16(&jpeg[p + 2]);
    if (jpeg[p + 1] == code) {
      jpeg.erase(jpeg.begin() + p, jpeg.begin() + p + length);
      return;
    }
    p += length;
  }
}

std::vector<uint8_t> MarkerTypes(TIOParamsVals& params) {
  std::vector<uint8_t> types;
  for (int i = 0; i < params.JPEG_MarkerList->GetCount(); ++i)
    types.push_back(params.JPEG_MarkerList->GetMarkerType(i));
  return types;
}

// A grey picture of flat 8 x 8 blocks: coefficient transforms move such
// blocks without any rounding, so decodes compare exactly.
void BlockPicture(TIEBitmap& bitmap, int width, int height) {
  PaintBitmap(bitmap, width, height, [](int x, int y) {
    const uint8_t v = static_cast<uint8_t>(((x / 8) * 40 + (y / 8) * 90) % 256);
    return CreateRGB(v, v, v);
  });
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Reading

namespace {

struct TJpegCase {
  const char* file;
  TIOJPEGColorspace space;
  int samples;
  bool progressive;
  int tolerance;  // against the reference decode
};

class JpegCorpus : public ::testing::TestWithParam<TJpegCase> {};

}  // namespace

TEST_P(JpegCorpus, DecodesLikeTheReferenceAndTheLibrary) {
  const TJpegCase c = GetParam();
  const std::vector<uint8_t> bytes = ReadBytes(PicturePath(c.file));
  TJpegRead r;
  r.Read(bytes);
  ASSERT_FALSE(r.fixture.aborting);
  EXPECT_EQ(int{r.params.JPEG_Colorspace}, int{c.space});
  EXPECT_EQ(r.params.SamplesPerPixel, c.samples);
  EXPECT_EQ(r.params.BitsPerSample, 8);
  EXPECT_EQ(r.params.JPEG_Progressive, c.progressive);
  EXPECT_EQ(r.params.JPEG_ScaleDenominator, 1);
  EXPECT_EQ(r.bitmap.PixelFormat, ie24RGB);
  const TRgbaPicture ours = ToRgba(r.bitmap);
  EXPECT_LE(MaxChannelDifference(ours, LoadReference(c.file)), c.tolerance);
  if (c.samples != 4) {  // CMYK pixels are converted by this reader, not the library
    EXPECT_EQ(MaxChannelDifference(ours, LibraryDecode(bytes)), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, JpegCorpus,
    ::testing::Values(TJpegCase{"jpg-baseline-420-97x61.jpg", ioJPEG_YCbCr, 3, false, 0},
                      TJpegCase{"jpg-baseline-422-97x61.jpg", ioJPEG_YCbCr, 3, false, 0},
                      TJpegCase{"jpg-baseline-444-97x61.jpg", ioJPEG_YCbCr, 3, false, 0},
                      TJpegCase{"jpg-progressive-97x61.jpg", ioJPEG_YCbCr, 3, true, 0},
                      TJpegCase{"jpg-grey-97x61.jpg", ioJPEG_GRAYLEV, 1, false, 0},
                      TJpegCase{"jpg-exif-97x61.jpg", ioJPEG_YCbCr, 3, false, 0},
                      TJpegCase{"jpg-comment-97x61.jpg", ioJPEG_YCbCr, 3, false, 0},
                      // Stored as YCCK (Adobe transform 2), decoded through CMYK.
                      TJpegCase{"jpg-cmyk-97x61.jpg", ioJPEG_YCbCrK, 4, false, 1}),
    [](const auto& info) { return CaseName(info.param.file); });

TEST(JpegRead, ScaledDecodesMatchTheLibrary) {
  const std::vector<uint8_t> bytes = ReadBytes(PicturePath("jpg-baseline-420-97x61.jpg"));
  const std::pair<TIOJPEGScale, int> scales[] = {
      {ioJPEG_HALF, 2}, {ioJPEG_QUARTER, 4}, {ioJPEG_EIGHTH, 8}};
  for (const auto& [scale, denominator] : scales) {
    TJpegRead r;
    r.params.JPEG_Scale = scale;
    r.Read(bytes);
    EXPECT_EQ(r.params.JPEG_ScaleDenominator, denominator);
    EXPECT_EQ(r.params.JPEG_OriginalWidth, 97);
    EXPECT_EQ(r.params.Width, (97 + denominator - 1) / denominator);
    EXPECT_EQ(MaxChannelDifference(ToRgba(r.bitmap), LibraryDecode(bytes, denominator)), 0)
        << denominator;
  }
}

TEST(JpegRead, AutomaticScaleFromTheWantedSize) {
  // A 4000 x 3000 picture, read for its parameters only.
  std::vector<uint8_t> grey(4000 * 3000, 128);
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  ASSERT_EQ(tjCompress2(handle, grey.data(), 4000, 0, 3000, TJPF_GRAY, &jpeg, &size, TJSAMP_GRAY,
                        50, 0), 0);
  const std::vector<uint8_t> bytes(jpeg, jpeg + size);
  tjFree(jpeg);
  tjDestroy(handle);

  struct TCase { int wantW, wantH, denominator, width, height; };
  for (const TCase& c : {TCase{500, 375, 8, 500, 375}, TCase{600, 400, 4, 1000, 750},
                         TCase{5000, 5000, 1, 4000, 3000}, TCase{0, 300, 1, 4000, 3000}}) {
    TJpegRead r;
    r.params.JPEG_Scale = ioJPEG_AUTOCALC;
    r.params.Width = c.wantW;
    r.params.Height = c.wantH;
    r.Read(bytes, true);
    EXPECT_EQ(r.params.JPEG_ScaleDenominator, c.denominator) << c.wantW;
    EXPECT_EQ(r.params.Width, c.width) << c.wantW;
    EXPECT_EQ(r.params.Height, c.height) << c.wantW;
    EXPECT_EQ(r.params.JPEG_OriginalWidth, 4000);
    EXPECT_EQ(r.bitmap.Width, 0);  // preview leaves the bitmap alone
  }
}

TEST(JpegRead, StartWithinTheFirstHundredBytes) {
  const std::vector<uint8_t> jpeg = ReadBytes(PicturePath("jpg-grey-97x61.jpg"));
  for (const int junk : {0, 99, 100}) {
    std::vector<uint8_t> bytes(static_cast<size_t>(junk), 0x11);
    bytes.insert(bytes.end(), jpeg.begin(), jpeg.end());
    TMemoryStream stream;
    Fill(stream, bytes);
    EXPECT_EQ(JpegTryStream(&stream), junk < 100 ? junk : -1);
    EXPECT_EQ(stream.GetPosition(), 0);
    TJpegRead r;
    r.Read(bytes);
    EXPECT_EQ(r.fixture.aborting, junk >= 100) << junk;
  }
}

TEST(JpegRead, ResolutionFromTheDensity) {
  gSystemDPIX = gSystemDPIY = 96;
  std::vector<uint8_t> bytes = ReadBytes(PicturePath("jpg-grey-97x61.jpg"));
  ASSERT_EQ(std::memcmp(&bytes[6], "JFIF", 5), 0);
  struct TCase { uint8_t unit; uint16_t x, y; int dpiX, dpiY; };
  for (const TCase& c : {TCase{2, 118, 118, 299, 299}, TCase{1, 300, 150, 300, 150},
                         TCase{0, 1, 1, 1, 1}}) {
    bytes[13] = c.unit;
    IEPutBE16(&bytes[14], c.x);
    IEPutBE16(&bytes[16], c.y);
    TJpegRead r;
    r.Read(bytes, true);
    EXPECT_EQ(r.params.DPIX, c.dpiX);
    EXPECT_EQ(r.params.DPIY, c.dpiY);
  }
  gSystemDPIX = gSystemDPIY = 0;
}

TEST(JpegRead, MarkerListDropsOnlyALeadingApp0) {
  // A written file starts with the JFIF APP0; a second APP0 and a comment follow.
  TIEBitmap picture;
  BlockPicture(picture, 16, 16);
  TIOParamsVals params(nullptr);
  params.JPEG_MarkerList->AddMarker(0xE0, "JFXX\0", 5);
  params.JPEG_MarkerList->AddMarker(0xFE, "note", 4);
  std::vector<uint8_t> bytes = WriteJpeg(picture, params);
  TJpegRead r;
  r.Read(bytes);
  EXPECT_EQ(MarkerTypes(r.params), (std::vector<uint8_t>{0xE0, 0xFE}));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(r.params.JPEG_MarkerList->GetMarkerData(1)), 4),
            "note");

  // A file whose first marker is APP1 keeps every APP0.
  std::vector<uint8_t> app1First = bytes;
  const std::vector<uint8_t> app1 = {0xFF, 0xE1, 0x00, 0x06, 'E', 'x', 'i', 'f'};
  app1First.insert(app1First.begin() + 2, app1.begin(), app1.end());
  TJpegRead all;
  all.Read(app1First);
  EXPECT_EQ(MarkerTypes(all.params), (std::vector<uint8_t>{0xE1, 0xE0, 0xE0, 0xFE}));
}

TEST(JpegRead, DamagedDataSetsTheAbortFlagOnly) {
  for (const char* file : {"jpg-bad-truncated-header.jpg", "jpg-bad-precision.jpg",
                           "jpg-bad-huffman-table.jpg"}) {
    TJpegRead r;
    EXPECT_NO_THROW(r.Read(ReadBytes(PicturePath(file)))) << file;
    EXPECT_TRUE(r.fixture.aborting) << file;
  }
  // A header claiming 60000 x 60000 pixels with a few hundred bytes of data.
  std::vector<uint8_t> huge = ReadBytes(PicturePath("jpg-grey-97x61.jpg"));
  for (size_t p = 2; p + 9 < huge.size(); ++p) {
    if (huge[p] == 0xFF && huge[p + 1] == 0xC0) {
      IEPutBE16(&huge[p + 5], 60000);
      IEPutBE16(&huge[p + 7], 60000);
      break;
    }
  }
  TJpegRead r;
  r.Read(huge);
  EXPECT_TRUE(r.fixture.aborting);
  EXPECT_EQ(r.bitmap.Width, 0);

  // Nothing after the start marker, and no picture at all.
  TJpegRead empty;
  empty.Read({0xFF, 0xD8, 0xFF});
  EXPECT_TRUE(empty.fixture.aborting);
}

TEST(JpegRead, TruncatedDataCompletesWithWarnings) {
  std::vector<uint8_t> bytes = ReadBytes(PicturePath("jpg-baseline-444-97x61.jpg"));
  bytes.resize(bytes.size() * 2 / 3);
  TJpegRead r;
  r.Read(bytes);
  EXPECT_FALSE(r.fixture.aborting);
  EXPECT_EQ(r.bitmap.Height, 61);
  EXPECT_GT(r.params.JPEG_WarningCount, 0);
  EXPECT_NE(r.params.JPEG_WarningCode, 0);
}

TEST(JpegRead, ProgressAndAbort) {
  TJpegRead r;
  int calls = 0;
  r.fixture.progress.OnProgress = [&](TObject*, int) {
    if (++calls == 5) r.fixture.aborting = true;
  };
  r.Read(ReadBytes(PicturePath("jpg-baseline-420-97x61.jpg")));
  EXPECT_EQ(calls, 5);
  EXPECT_TRUE(r.fixture.aborting);
  EXPECT_EQ(r.params.JPEG_MarkerList->GetCount(), 0);  // the JFIF APP0 is the only marker
}

namespace {

// A stream that fails on every read or write, as a broken device would.
class TBrokenStream : public TMemoryStream {
 public:
  int64_t Read(void*, int64_t) override { throw EReadError("device gone"); }
  int64_t Write(const void*, int64_t) override { throw EWriteError("device gone"); }
};

}  // namespace

TEST(JpegRead, StreamErrorsBecomeTheAbortFlag) {
  // JpegTryStream needs bytes: give it some, then break the stream.
  class TBreaksAfterProbe : public TMemoryStream {
   public:
    int64_t Read(void* buffer, int64_t count) override {
      if (++reads > 1) throw EReadError("device gone");
      return TMemoryStream::Read(buffer, count);
    }
    int reads = 0;
  } stream;
  const std::vector<uint8_t> bytes = ReadBytes(PicturePath("jpg-grey-97x61.jpg"));
  stream.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  TIEBitmap bitmap;
  TIOParamsVals params(nullptr);
  TProgressFixture fixture;
  EXPECT_NO_THROW(ReadJPegStream(&stream, &bitmap, params, fixture.progress, false));
  EXPECT_TRUE(fixture.aborting);
}

// ---------------------------------------------------------------------------------------------
// Writing

TEST(JpegWrite, ColourSpacesReadBackAlikeHereAndOutside) {
  TIEBitmap picture;
  PaintBitmap(picture, 40, 24, [](int x, int y) {
    return CreateRGB(static_cast<uint8_t>(x * 6), static_cast<uint8_t>(y * 10), 90);
  });
  struct TCase { TIOJPEGColorspace space; int samples; int tolerance; };
  const TCase cases[] = {{ioJPEG_YCbCr, 3, 12}, {ioJPEG_RGB, 3, 12}, {ioJPEG_GRAYLEV, 1, 255}};
  TempDir dir;
  std::vector<std::string> files;
  std::vector<TRgbaPicture> ours;
  for (const TCase& c : cases) {
    TIOParamsVals params(nullptr);
    params.JPEG_Colorspace = c.space;
    params.JPEG_Quality = 95;
    const std::vector<uint8_t> bytes = WriteJpeg(picture, params);
    TJpegRead r;
    r.Read(bytes);
    ASSERT_FALSE(r.fixture.aborting);
    EXPECT_EQ(r.params.JPEG_Colorspace, c.space);
    EXPECT_EQ(r.params.SamplesPerPixel, c.samples);
    EXPECT_LE(MaxChannelDifference(ToRgba(r.bitmap), ToRgba(picture)), c.tolerance);
    ours.push_back(ToRgba(r.bitmap));
    TMemoryStream file;
    Fill(file, bytes);
    files.push_back(dir.file("out" + std::to_string(files.size()) + ".jpg"));
    file.SaveToFile(files.back());
  }
  // The independent decoder gives the same pixels as ours.
  const std::vector<TRgbaPicture> outside = DecodeIndependently(files);
  for (size_t i = 0; i < files.size(); ++i) EXPECT_LE(MaxChannelDifference(outside[i], ours[i]), 1);
}

// Parameters that last read a grey file still say grey; a colour picture
// saved with them keeps its colours unless grey was chosen on purpose.
TEST(JpegWrite, GreyLeftByAReadKeepsColourPicturesInColour) {
  TIEBitmap colour, grey;
  PaintBitmap(colour, 40, 24, [](int x, int y) {
    return CreateRGB(static_cast<uint8_t>(x * 6), static_cast<uint8_t>(y * 10), 90);
  });
  PaintBitmap(grey, 40, 24, [](int x, int) {
    const auto level = static_cast<uint8_t>(x * 6);
    return CreateRGB(level, level, level);
  });
  struct TCase {
    const char* readFirst;  // nullptr: fresh parameters
    std::optional<TIOJPEGColorspace> chosen;
    TIEBitmap* picture;
    TIOJPEGColorspace written;
  };
  const TCase cases[] = {
      {"jpg-grey-97x61.jpg", std::nullopt, &colour, ioJPEG_YCbCr},
      {"jpg-grey-97x61.jpg", std::nullopt, &grey, ioJPEG_GRAYLEV},
      {"jpg-grey-97x61.jpg", ioJPEG_RGB, &colour, ioJPEG_RGB},
      {"jpg-baseline-444-97x61.jpg", ioJPEG_GRAYLEV, &colour, ioJPEG_GRAYLEV},
      {nullptr, ioJPEG_GRAYLEV, &colour, ioJPEG_GRAYLEV},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.readFirst ? c.readFirst : "fresh") + " -> " +
                 std::to_string(c.written));
    TJpegRead first;
    if (c.readFirst) first.Read(ReadBytes(PicturePath(c.readFirst)));
    TIOParamsVals& params = first.params;
    if (c.chosen) params.JPEG_Colorspace = *c.chosen;
    params.JPEG_Quality = 95;
    const TIOJPEGColorspace before = params.JPEG_Colorspace;
    const std::vector<uint8_t> bytes = WriteJpeg(*c.picture, params);
    EXPECT_EQ(params.JPEG_Colorspace, before);  // the parameters are left as they were
    TJpegRead back;
    back.Read(bytes);
    ASSERT_FALSE(back.fixture.aborting);
    EXPECT_EQ(back.params.JPEG_Colorspace, c.written);
    EXPECT_EQ(back.params.SamplesPerPixel, c.written == ioJPEG_GRAYLEV ? 1 : 3);
    if (c.written != ioJPEG_GRAYLEV || c.picture == &grey)  // the pixels survive
      EXPECT_LE(MaxChannelDifference(ToRgba(back.bitmap), ToRgba(*c.picture)), 12);
  }
}

TEST(JpegWrite, OptionsReachTheFile) {
  gSystemDPIX = 120;
  gSystemDPIY = 130;
  TIEBitmap picture;
  BlockPicture(picture, 32, 32);
  TIOParamsVals params(nullptr);
  params.DPIX = 0;
  params.DPIY = 0;
  params.JPEG_Progressive = true;
  std::vector<uint8_t> bytes = WriteJpeg(picture, params);
  TJpegRead r;
  r.Read(bytes);
  EXPECT_EQ(r.params.DPIX, 120);
  EXPECT_EQ(r.params.DPIY, 130);
  EXPECT_TRUE(r.params.JPEG_Progressive);
  gSystemDPIX = gSystemDPIY = 0;

  // A higher quality gives a larger file.
  params.JPEG_Progressive = false;
  params.JPEG_Quality = 10;
  const size_t small = WriteJpeg(picture, params).size();
  params.JPEG_Quality = 100;
  EXPECT_GT(WriteJpeg(picture, params).size(), small);
}

TEST(JpegWrite, CmykBlackRoundTrip) {
  TIEBitmap black;
  PaintBitmap(black, 8, 8, [](int, int) { return CreateRGB(0, 0, 0); });
  TIOParamsVals params(nullptr);
  params.JPEG_Colorspace = ioJPEG_CMYK;
  params.JPEG_Quality = 100;
  const std::vector<uint8_t> bytes = WriteJpeg(black, params);
  // The stored samples are 0, 0, 0, 1.
  tjhandle handle = tjInitDecompress();
  std::vector<uint8_t> cmyk(8 * 8 * 4);
  ASSERT_EQ(tjDecompress2(handle, bytes.data(), bytes.size(), cmyk.data(), 8, 0, 8, TJPF_CMYK, 0), 0);
  tjDestroy(handle);
  for (size_t i = 0; i < cmyk.size(); i += 4)
    ASSERT_EQ((std::vector<int>{cmyk[i], cmyk[i + 1], cmyk[i + 2], cmyk[i + 3]}),
              (std::vector<int>{0, 0, 0, 1}));
  TJpegRead r;
  r.Read(bytes);
  EXPECT_EQ(r.params.JPEG_Colorspace, ioJPEG_CMYK);
  EXPECT_EQ(r.bitmap.GetPixels(3, 3), (TRGB{0, 0, 0}));
}

TEST(JpegWrite, OneBitPicturesGoThroughATemporaryCopy) {
  TIEBitmap bw;
  bw.Location = ieMemory;
  bw.Allocate(16, 8, ie1g);
  bw.Fill(0);
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 8; ++y) bw.SetPixels_ie1g(x, y, true);
  TIOParamsVals params(nullptr);
  params.JPEG_Quality = 100;
  TJpegRead r;
  r.Read(WriteJpeg(bw, params));
  EXPECT_EQ(bw.PixelFormat, ie1g);
  EXPECT_GT(r.bitmap.GetPixels(2, 2).g, 240);
  EXPECT_LT(r.bitmap.GetPixels(12, 2).g, 15);
}

TEST(JpegWrite, LibraryErrorsAndStreamErrorsReachTheCaller) {
  TIEBitmap picture;
  BlockPicture(picture, 16, 16);
  // A marker longer than a segment can hold.
  TIOParamsVals params(nullptr);
  std::vector<uint8_t> big(65535, 1);
  params.JPEG_MarkerList->AddMarker(0xE5, big.data(), 65535);
  TMemoryStream out;
  TProgressFixture fixture;
  try {
    WriteJPegStream(&out, &picture, params, fixture.progress);
    FAIL() << "no exception";
  } catch (const EIEJpegException& e) {
    EXPECT_EQ(e.Message, "Jpeg corrupted file");
  }
  EXPECT_TRUE(fixture.aborting);

  // A failing stream raises its own error; a short one sets the flag.
  TIOParamsVals plain(nullptr);
  TBrokenStream broken;
  TProgressFixture brokenFixture;
  EXPECT_THROW(WriteJPegStream(&broken, &picture, plain, brokenFixture.progress), EWriteError);
  TShortStream shortStream(100);
  TProgressFixture shortFixture;
  EXPECT_NO_THROW(WriteJPegStream(&shortStream, &picture, plain, shortFixture.progress));
  EXPECT_TRUE(shortFixture.aborting);
}

// ---------------------------------------------------------------------------------------------
// Lossless transforms

namespace {

std::vector<uint8_t> Transform(const std::vector<uint8_t>& jpeg, TIEJpegTransform transform,
                               bool* aborted, bool grey = false,
                               TIEJpegCopyMarkers markers = jcCopyAll, TRect cut = {}) {
  TMemoryStream in, out;
  Fill(in, jpeg);
  TProgressFixture fixture;
  IEJpegLosslessTransform(&in, &out, fixture.progress, transform, grey, markers, cut);
  *aborted = fixture.aborting;
  return Contents(out);
}

}  // namespace

TEST(JpegTransform, EachTransformMovesThePixels) {
  TIEBitmap picture;
  BlockPicture(picture, 48, 32);
  TIOParamsVals params(nullptr);
  params.JPEG_Colorspace = ioJPEG_GRAYLEV;
  params.JPEG_Quality = 100;
  const std::vector<uint8_t> source = WriteJpeg(picture, params);
  TJpegRead original;
  original.Read(source);
  const int w = 48, h = 32;

  struct TCase {
    TIEJpegTransform transform;
    bool swaps;
    std::function<std::pair<int, int>(int, int)> from;  // source pixel of result pixel x, y
  };
  const TCase cases[] = {
      {jtNone, false, [](int x, int y) { return std::pair{x, y}; }},
      {jtHorizFlip, false, [&](int x, int y) { return std::pair{w - 1 - x, y}; }},
      {jtVertFlip, false, [&](int x, int y) { return std::pair{x, h - 1 - y}; }},
      {jtTranspose, true, [](int x, int y) { return std::pair{y, x}; }},
      {jtTransverse, true, [&](int x, int y) { return std::pair{w - 1 - y, h - 1 - x}; }},
      // Clockwise quarter turn: the bottom-left corner comes to the top left.
      {jtRotate90, true, [&](int x, int y) { return std::pair{y, h - 1 - x}; }},
      {jtRotate180, false, [&](int x, int y) { return std::pair{w - 1 - x, h - 1 - y}; }},
      {jtRotate270, true, [&](int x, int y) { return std::pair{w - 1 - y, x}; }},
  };
  for (const TCase& c : cases) {
    bool aborted = true;
    TJpegRead r;
    r.Read(Transform(source, c.transform, &aborted));
    ASSERT_FALSE(aborted) << c.transform;
    ASSERT_EQ(r.bitmap.Width, c.swaps ? h : w) << c.transform;
    ASSERT_EQ(r.bitmap.Height, c.swaps ? w : h) << c.transform;
    for (int y = 0; y < r.bitmap.Height; ++y) {
      for (int x = 0; x < r.bitmap.Width; ++x) {
        const auto [sx, sy] = c.from(x, y);
        ASSERT_EQ(r.bitmap.GetPixels(x, y), original.bitmap.GetPixels(sx, sy))
            << "transform " << c.transform << " at " << x << "," << y;
      }
    }
  }
}

TEST(JpegTransform, CutKeepsTheRectangleFromTheBlockBoundary) {
  TIEBitmap picture;
  BlockPicture(picture, 48, 32);
  TIOParamsVals params(nullptr);
  params.JPEG_Colorspace = ioJPEG_GRAYLEV;
  const std::vector<uint8_t> source = WriteJpeg(picture, params);
  TJpegRead original;
  original.Read(source);
  bool aborted = true;
  TJpegRead r;
  r.Read(Transform(source, jtCut, &aborted, false, jcCopyAll, TRect{11, 9, 30, 20}));
  ASSERT_FALSE(aborted);
  EXPECT_EQ(r.bitmap.Width, 30 - 8 + 1);
  EXPECT_EQ(r.bitmap.Height, 20 - 8 + 1);
  for (int y = 0; y < r.bitmap.Height; ++y)
    for (int x = 0; x < r.bitmap.Width; ++x)
      ASSERT_EQ(r.bitmap.GetPixels(x, y), original.bitmap.GetPixels(x + 8, y + 8));

  // A rectangle outside the picture is a failure.
  Transform(source, jtCut, &aborted, false, jcCopyAll, TRect{100, 100, 120, 120});
  EXPECT_TRUE(aborted);
}

TEST(JpegTransform, GreyAndMarkerCopying) {
  TIEBitmap picture;
  BlockPicture(picture, 32, 16);
  TIOParamsVals params(nullptr);
  params.JPEG_MarkerList->AddMarker(0xE1, "Exif\0\0", 6);
  params.JPEG_MarkerList->AddMarker(0xFE, "kept", 4);
  const std::vector<uint8_t> source = WriteJpeg(picture, params);

  struct TCase { TIEJpegCopyMarkers copy; bool app1, comment; };
  for (const TCase& c : {TCase{jcCopyNone, false, false}, TCase{jcCopyComments, false, true},
                         TCase{jcCopyAll, true, true}}) {
    bool aborted = true;
    const std::vector<uint8_t> out = Transform(source, jtRotate180, &aborted, true, c.copy);
    ASSERT_FALSE(aborted);
    const std::vector<uint8_t> codes = SegmentCodes(out);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0xE1), c.app1 ? 1 : 0) << c.copy;
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0xFE), c.comment ? 1 : 0) << c.copy;
    TJpegRead r;
    r.Read(out);
    EXPECT_FALSE(r.fixture.aborting);
    EXPECT_EQ(r.params.JPEG_Colorspace, ioJPEG_GRAYLEV);  // forced grey
  }

  bool aborted = false;
  Transform({1, 2, 3, 4, 5}, jtRotate90, &aborted);
  EXPECT_TRUE(aborted);
}

// A progressive file of 97 x 61 pixels (2 KB) whose header announces more
// than its data could fill: the transform refuses it before the library
// allocates and works by the header (left to itself, it refuses such a
// file only after seconds of work and up to a gigabyte).
TEST(JpegTransform, AHeaderTheDataCannotFillIsRefusedBeforeTheLibrary) {
  const std::vector<uint8_t> source = ReadBytes(PicturePath("jpg-progressive-97x61.jpg"));
  size_t sof = 0;
  for (size_t p = 2; p + 9 < source.size() && !sof; ++p)
    if (source[p] == 0xFF && source[p + 1] == 0xC2) sof = p;
  ASSERT_NE(sof, 0u);
  for (auto [width, height] : {std::pair{2048, 2048}, std::pair{65381, 7878}}) {
    std::vector<uint8_t> huge = source;
    IEPutBE16(&huge[sof + 5], static_cast<uint16_t>(height));
    IEPutBE16(&huge[sof + 7], static_cast<uint16_t>(width));
    for (TIEJpegTransform transform : {jtNone, jtRotate90, jtHorizFlip, jtCut}) {
      SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
      const auto start = std::chrono::steady_clock::now();
      bool aborted = false;
      const std::vector<uint8_t> out =
          Transform(huge, transform, &aborted, false, jcCopyAll, TRect{0, 0, 15, 15});
      EXPECT_TRUE(aborted) << transform;
      EXPECT_TRUE(out.empty()) << transform;
      EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500)) << transform;
    }
    TJpegRead r;
    r.Read(huge);
    EXPECT_TRUE(r.fixture.aborting);
    EXPECT_EQ(r.bitmap.Width, 0);
  }
}

// ---------------------------------------------------------------------------------------------
// IPTC replacement

TEST(JpegIptc, NewSegmentPlacementAndFailures) {
  TIEIPTCInfoList list;
  list.AddStringItem(2, 5, "new name");
  auto inject = [&](const std::vector<uint8_t>& jpeg, std::vector<uint8_t>& out) {
    TMemoryStream in, result;
    Fill(in, jpeg);
    const bool ok = IEJpegInjectIPTC(&in, &result, &list);
    out = Contents(result);
    return ok;
  };
  // APP0 then APP13: the new APP13 follows APP0 and the old one is gone.
  const std::vector<uint8_t> withIptc = ReadBytes(PicturePath("jpg-iptc-97x61.jpg"));
  std::vector<uint8_t> out;
  ASSERT_TRUE(inject(withIptc, out));
  std::vector<uint8_t> codes = SegmentCodes(out);
  ASSERT_GE(codes.size(), 2u);
  EXPECT_EQ(codes[0], 0xE0);
  EXPECT_EQ(codes[1], 0xED);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), 0xED), 1);
  TJpegRead r;
  r.Read(out);
  EXPECT_FALSE(r.fixture.aborting);
  const int app13 = r.params.JPEG_MarkerList->IndexOf(0xED);
  ASSERT_GE(app13, 0);
  TIEIPTCInfoList back;
  back.LoadFromStandardBuffer(r.params.JPEG_MarkerList->GetMarkerData(app13),
                              r.params.JPEG_MarkerList->GetMarkerLength(app13));
  EXPECT_EQ(back.GetStrings(back.IndexOf(2, 5)), "new name");

  // Only APP1: the segment goes before it.
  std::vector<uint8_t> exifOnly = ReadBytes(PicturePath("jpg-exif-97x61.jpg"));
  RemoveSegment(exifOnly, 0xE0);
  ASSERT_TRUE(inject(exifOnly, out));
  codes = SegmentCodes(out);
  EXPECT_EQ(codes[0], 0xED);
  EXPECT_EQ(codes[1], 0xE1);

  // Fill bytes between segments stop the copy; so does no place for it.
  std::vector<uint8_t> fill = ReadBytes(PicturePath("jpg-grey-97x61.jpg"));
  fill.insert(fill.begin() + 2, {0xFF, 0xFF});
  EXPECT_FALSE(inject(fill, out));
  std::vector<uint8_t> bare = ReadBytes(PicturePath("jpg-grey-97x61.jpg"));
  RemoveSegment(bare, 0xE0);
  EXPECT_FALSE(inject(bare, out));
}
