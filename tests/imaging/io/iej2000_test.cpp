// JPEG 2000: corpus pictures against their reference decodes, our own
// files read back by an independent decoder, the parameters, the option
// text and damaged input.
#include "imaging/io/iej2000.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/core/iememorymapped.h"
#include "imaging/core/ieview.h"
#include "imaging/io/ieformats.h"
#include "imaging/io/iej2000stream.h"
#include "imaging/io/pixio.h"
#include "pictures.h"
#include "support/testenv.h"

namespace {

using namespace cwtest;

struct CorpusCase {
  const char* file;
  int tolerance;  // lossy files decode with other wavelet arithmetic
  int bitsPerSample;
  int samplesPerPixel;
};

TEST(J2KRead, CorpusPicturesMatchTheirReferences) {
  const CorpusCase cases[] = {
      {"jp2-rgb-lossless-97x61.jp2", 0, 8, 3},     {"jp2-grey-lossless-33x21.jp2", 0, 8, 1},
      {"j2k-rgb-lossless-rlcp-97x61.j2k", 0, 8, 3}, {"j2k-grey-lossy-97x61.j2k", 2, 8, 1},
      {"jp2-rgb-lossy-97x61.jp2", 2, 8, 3},         {"jp2-rgb-3layers-lrcp-33x21.jp2", 0, 8, 3},
  };
  for (const CorpusCase& c : cases) {
    SCOPED_TRACE(c.file);
    TFileStream file(PicturePath(c.file), fmOpenRead);
    TIEBitmap bitmap;
    TIOParamsVals params(nullptr);
    TProgressFixture fixture;
    J2KReadStream(&file, &bitmap, params, fixture.progress, false);
    ASSERT_FALSE(fixture.aborting);
    EXPECT_EQ(params.BitsPerSample, c.bitsPerSample);
    EXPECT_EQ(params.SamplesPerPixel, c.samplesPerPixel);
    EXPECT_EQ(params.DPIX, gSystemDPIX);
    const TRgbaPicture reference = LoadReference(c.file);
    ASSERT_EQ(bitmap.Width, reference.width);
    ASSERT_EQ(bitmap.Height, reference.height);
    EXPECT_LE(MaxChannelDifference(ToRgba(bitmap), reference), c.tolerance);
  }
}

TEST(J2KRead, RecognisesBothSyntaxesByTheirFirstBytesOnly) {
  for (const char* name : {"jp2-rgb-lossless-97x61.jp2", "j2k-rgb-lossless-rlcp-97x61.j2k"}) {
    TFileStream file(PicturePath(name), fmOpenRead);
    file.SetPosition(0);
    const bool jp2 = std::string(name).ends_with(".jp2");
    EXPECT_EQ(J2KTryStreamJP2(&file), jp2) << name;
    EXPECT_EQ(J2KTryStreamJ2K(&file), !jp2) << name;
    EXPECT_EQ(file.GetPosition(), 0);
    TPixIO io(nullptr);
    io.LoadFromStream(&file);
    EXPECT_FALSE(io.Aborting) << name;
    EXPECT_EQ(io.IOParams->FileType, jp2 ? ieftJP2 : ieftJ2K) << name;
  }
}

TEST(J2KRead, DamagedOrForeignDataAbortsAndLeavesTheBitmap) {
  const std::vector<uint8_t> foreign = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0};
  std::vector<std::vector<uint8_t>> inputs = {foreign, ReadBytes(PicturePath("j2k-bad-truncated-header.j2k")),
                                              ReadBytes(PicturePath("jp2-bad-box-length.jp2")),
                                              ReadBytes(PicturePath("j2k-bad-huge-size.j2k")),
                                              // 33,000 tiles announced by 578 bytes
                                              ReadBytes(PicturePath("j2k-bad-many-tiles.j2k"))};
  // A good code stream cut in the middle of its data.
  std::vector<uint8_t> cut = ReadBytes(PicturePath("j2k-rgb-lossless-rlcp-97x61.j2k"));
  cut.resize(cut.size() / 2);
  inputs.push_back(cut);
  for (size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(i);
    TMemoryStream stream;
    Fill(stream, inputs[i]);
    TIEBitmap bitmap;
    bitmap.Location = ieMemory;
    bitmap.Allocate(5, 4, ie24RGB);
    bitmap.SetPixels_ie24RGB(2, 2, TRGB{1, 2, 3});
    TIOParamsVals params(nullptr);
    TProgressFixture fixture;
    J2KReadStream(&stream, &bitmap, params, fixture.progress, false);
    EXPECT_TRUE(fixture.aborting);
    EXPECT_EQ(bitmap.Width, 5);
    EXPECT_EQ(bitmap.GetPixels_ie24RGB(2, 2), (TRGB{1, 2, 3}));
  }
}

TRGB Scene(int x, int y) { return TRGB{uint8_t(x * 9), uint8_t(y * 13 + x), uint8_t(255 - x * 4)}; }

TEST(J2KWrite, LosslessFilesOfBothFormatsReadBackHereAndOutside) {
  TempDir dir;
  TPixIO io(nullptr);
  PaintBitmap(*io.IEBitmap, 29, 17, Scene);
  const TRgbaPicture original = ToRgba(*io.IEBitmap);
  const std::vector<std::string> names = {dir.file("a.jp2"), dir.file("a.j2k")};
  for (const std::string& name : names) {
    io.SaveToFile(name);
    ASSERT_FALSE(io.Aborting) << name;
    TPixIO back(nullptr);
    back.LoadFromFile(name);
    ASSERT_FALSE(back.Aborting) << name;
    EXPECT_EQ(MaxChannelDifference(ToRgba(*back.IEBitmap), original), 0) << name;
  }
  for (const TRgbaPicture& outside : DecodeIndependently(names))
    EXPECT_EQ(MaxChannelDifference(outside, original), 0);
}

TEST(J2KWrite, GreyBilevelAndLossyOutput) {
  TPixIO io(nullptr);
  PaintBitmap(*io.IEBitmap, 40, 24, Scene);

  // Grey: (21 red + 71 green + 8 blue) div 100 in one component.
  io.IOParams->J2000_ColorSpace = ioJ2000_GRAYLEV;
  TMemoryStream grey;
  io.SaveToStream(&grey, ieftJ2K);
  TPixIO back(nullptr);
  grey.SetPosition(0);
  back.LoadFromStream(&grey);
  EXPECT_EQ(back.IOParams->SamplesPerPixel, 1);
  const TRGB c = Scene(7, 5);
  const uint8_t expected = uint8_t((21 * c.r + 71 * c.g + 8 * c.b) / 100);
  EXPECT_EQ(back.IEBitmap->GetPixels_ie24RGB(7, 5), (TRGB{expected, expected, expected}));

  // A 1-bit picture changes the caller's parameters and reads back as 1 bit.
  io.IOParams->J2000_ColorSpace = ioJ2000_RGB;
  io.IEBitmap->Allocate(19, 9, ie1g);
  io.IEBitmap->Fill(0);
  io.IEBitmap->SetPixels_ie1g(3, 4, true);
  TMemoryStream bilevel;
  io.SaveToStream(&bilevel, ieftJP2);
  EXPECT_EQ(io.IOParams->BitsPerSample, 1);
  EXPECT_EQ(io.IOParams->J2000_ColorSpace, ioJ2000_GRAYLEV);
  bilevel.SetPosition(0);
  back.LoadFromStream(&bilevel);
  ASSERT_EQ(back.IEBitmap->PixelFormat, ie1g);
  EXPECT_TRUE(back.IEBitmap->GetPixels_ie1g(3, 4));
  EXPECT_FALSE(back.IEBitmap->GetPixels_ie1g(4, 4));

  // A rate below 1 gives a smaller, lossy file; RGB and YCbCr write the same.
  PaintBitmap(*io.IEBitmap, 64, 64, [](int x, int y) { return TRGB{uint8_t(x * y), uint8_t(x * 3), uint8_t(y * 5)}; });
  io.IOParams->BitsPerSample = 8;
  std::vector<std::vector<uint8_t>> outputs;
  for (auto [space, rate] : {std::pair{ioJ2000_RGB, 1.0}, std::pair{ioJ2000_RGB, 0.1},
                             std::pair{ioJ2000_YCbCr, 0.1}}) {
    io.IOParams->J2000_ColorSpace = space;
    io.IOParams->J2000_Rate = rate;
    TMemoryStream out;
    io.SaveToStream(&out, ieftJ2K);
    outputs.push_back(Contents(out));
  }
  EXPECT_LT(outputs[1].size(), outputs[0].size());
  EXPECT_EQ(outputs[1], outputs[2]);
}

TEST(J2KWrite, ADepthLeftByTheLastReadDoesNotReduceTheNextPicture) {
  TPixIO io(nullptr);
  io.LoadFromFile(PicturePath("bmp-1bit-bw-97x61.bmp"));
  ASSERT_EQ(io.IOParams->BitsPerSample, 1);
  PaintBitmap(*io.IEBitmap, 12, 8, Scene);
  TMemoryStream out;
  io.SaveToStream(&out, ieftJ2K);
  out.SetPosition(0);
  TPixIO back(nullptr);
  back.LoadFromStream(&out);
  EXPECT_EQ(back.IOParams->BitsPerSample, 8);
  EXPECT_EQ(back.IEBitmap->GetPixels_ie24RGB(5, 3), Scene(5, 3));
}

TEST(J2KOptions, RateAndProgressionText) {
  TIOParamsVals params(nullptr);
  params.J2000_Rate = 0.5;
  params.J2000_ScalableBy = ioJ2000_Resolution;
  EXPECT_EQ(J2KEncoderOptions(params), "rate=0.5 prg=rlcp");
  params.J2000_Rate = 1;
  params.J2000_ScalableBy = ioJ2000_Rate;
  EXPECT_EQ(J2KEncoderOptions(params), "rate=1 prg=lrcp");
}

TEST(J2KYCbCr, TablesFollowTheSinglePrecisionFactors) {
  const TIEJ2KYCbCrTables& t = J2KYCbCrTables();
  EXPECT_EQ(t.CrR[128], 0);
  EXPECT_EQ(t.CrR[255], 178);   // round(1.402 x 127)
  EXPECT_EQ(t.CbB[0], -227);    // round(1.772 x -128)
  EXPECT_EQ(t.CrG[255], -91);   // -round(0.71414 x 127)
  EXPECT_EQ(t.CbG[0], 44);      // -round(0.34414 x -128)
}

TEST(J2KTempStream, LivesInTheTemporaryFolderAndIsDeletedWhenFreed) {
  TempDir dir;
  const std::string saved = DefTEMPPATH;
  DefTEMPPATH = dir.file("sub");
  std::string name;
  {
    TIETmpStream stream;
    name = stream.FileName();
    EXPECT_EQ(std::filesystem::path(name).parent_path(), std::filesystem::path(DefTEMPPATH));
    EXPECT_TRUE(std::filesystem::path(name).filename().string().starts_with("pix"));
    EXPECT_EQ(stream.Write("abc", 3), 3);
    EXPECT_TRUE(std::filesystem::exists(name));
  }
  EXPECT_FALSE(std::filesystem::exists(name));
  DefTEMPPATH = saved;
}

}  // namespace

namespace {

// A code stream whose second and third components are subsampled by 2
// horizontally, made with the encoder directly.
std::vector<uint8_t> SubsampledCodeStream(int width, int height, OPJ_COLOR_SPACE space) {
  opj_image_cmptparm_t parts[3] = {};
  for (int c = 0; c < 3; ++c) {
    parts[c].dx = c == 0 ? 1 : 2;
    parts[c].dy = 1;
    parts[c].w = uint32_t(c == 0 ? width : (width + 1) / 2);
    parts[c].h = uint32_t(height);
    parts[c].prec = 8;
  }
  opj_image_t* image = opj_image_create(3, parts, space);
  image->x1 = uint32_t(width);
  image->y1 = uint32_t(height);
  for (int c = 0; c < 3; ++c)
    for (uint32_t i = 0; i < parts[c].w * parts[c].h; ++i)
      image->comps[c].data[i] = c == 0 ? 100 : int32_t(i % parts[c].w) * 40 + c;
  opj_cparameters_t parameters;
  opj_set_default_encoder_parameters(&parameters);
  parameters.numresolution = 2;
  parameters.tcp_numlayers = 1;
  parameters.tcp_rates[0] = 0;
  parameters.cp_disto_alloc = 1;
  opj_codec_t* codec = opj_create_compress(OPJ_CODEC_J2K);
  TMemoryStream out;
  TIEOpjStream stream = IEOpenOpjStream(&out, false);
  const bool done = opj_setup_encoder(codec, &parameters, image) && opj_start_compress(codec, image, stream.get()) &&
                    opj_encode(codec, stream.get()) && opj_end_compress(codec, stream.get());
  stream.reset();
  opj_destroy_codec(codec);
  opj_image_destroy(image);
  return done ? cwtest::Contents(out) : std::vector<uint8_t>{};
}

TEST(J2KRead, SubsampledComponentsCoverTwoPixelsPerSample) {
  const std::vector<uint8_t> bytes = SubsampledCodeStream(8, 4, OPJ_CLRSPC_SRGB);
  ASSERT_FALSE(bytes.empty());
  TMemoryStream in;
  cwtest::Fill(in, bytes);
  TIEBitmap bitmap;
  TIOParamsVals params(nullptr);
  cwtest::TProgressFixture fixture;
  J2KReadStream(&in, &bitmap, params, fixture.progress, false);
  ASSERT_FALSE(fixture.aborting);
  for (int x = 0; x < 8; ++x) {
    const TRGB px = bitmap.GetPixels_ie24RGB(x, 2);
    EXPECT_EQ(px.r, 100);
    EXPECT_EQ(px.g, (x / 2) * 40 + 1) << x;
    EXPECT_EQ(px.b, (x / 2) * 40 + 2) << x;
  }
}

}  // namespace
