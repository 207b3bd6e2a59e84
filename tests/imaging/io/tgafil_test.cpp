// TGA reader and writer: corpus files against their reference decodes
// (alpha included), the extension area and footer, colour maps, damaged
// headers, the writer's forms read back here and by an independent reader,
// and the alpha channel through the I/O component.
#include "imaging/io/ietgafil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>

#include "imaging/core/iemask.h"
#include "imaging/core/ieview.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/pixio.h"
#include "pictures.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

struct TTgaRead {
  ~TTgaRead() { delete mask; }
  TIEBitmap bitmap;
  TIOParamsVals params{nullptr};
  TProgressFixture fixture;
  TIEMask* mask = nullptr;
};

void ReadTgaBytes(const std::vector<uint8_t>& bytes, TTgaRead& r, bool preview = false,
                  bool noMask = false) {
  TMemoryStream stream;
  Fill(stream, bytes);
  r.bitmap.Location = ieMemory;
  ReadTGAStream(&stream, &r.bitmap, r.params, r.fixture.progress, preview, r.mask, noMask);
}

std::vector<uint8_t> WriteTgaBytes(TIEBitmap& bitmap, TIOParamsVals& params, TIEMask* mask = nullptr,
                                   bool* aborted = nullptr) {
  TMemoryStream stream;
  TProgressFixture fixture;
  WriteTGAStream(&stream, &bitmap, params, fixture.progress, mask);
  if (aborted) *aborted = fixture.aborting;
  return Contents(stream);
}

// An 18-byte header followed by the given bytes.
std::vector<uint8_t> Tga(int imageType, int depth, int width, int height, uint8_t descriptor,
                         const std::vector<uint8_t>& rest, int mapType = 0, int mapFirst = 0,
                         int mapLength = 0, int mapEntry = 0) {
  std::vector<uint8_t> b(18, 0);
  b[1] = static_cast<uint8_t>(mapType);
  b[2] = static_cast<uint8_t>(imageType);
  IEPutLE16(&b[3], static_cast<uint16_t>(mapFirst));
  IEPutLE16(&b[5], static_cast<uint16_t>(mapLength));
  b[7] = static_cast<uint8_t>(mapEntry);
  IEPutLE16(&b[12], static_cast<uint16_t>(width));
  IEPutLE16(&b[14], static_cast<uint16_t>(height));
  b[16] = static_cast<uint8_t>(depth);
  b[17] = descriptor;
  b.insert(b.end(), rest.begin(), rest.end());
  return b;
}

// Appends an extension area and a footer to a file.
void AddExtension(std::vector<uint8_t>& file, const std::vector<uint16_t>& stamp, uint16_t gammaNum,
                  uint16_t gammaDen) {
  const size_t at = file.size();
  std::vector<uint8_t> area(495, 0);
  IEPutLE16(&area[0], 495);
  const std::string author = "Someone";
  std::copy(author.begin(), author.end(), area.begin() + 2);
  for (size_t i = 0; i < stamp.size(); ++i) IEPutLE16(&area[367 + 2 * i], stamp[i]);
  area[471] = 10;
  area[472] = 20;
  area[473] = 30;
  IEPutLE16(&area[478], gammaNum);
  IEPutLE16(&area[480], gammaDen);
  file.insert(file.end(), area.begin(), area.end());
  std::vector<uint8_t> footer(26, 0);
  IEPutLE32(&footer[0], static_cast<uint32_t>(at));
  const std::string signature = "TRUEVISION-XFILE.";
  std::copy(signature.begin(), signature.end(), footer.begin() + 8);
  file.insert(file.end(), footer.begin(), footer.end());
}

void Picture(TIEBitmap& bitmap, int width, int height) {
  PaintBitmap(bitmap, width, height, [](int x, int y) {
    // Runs of equal pixels and single ones, so both packet kinds occur.
    const int k = x < 9 ? 0 : (x * 7 + y * 3);
    return CreateRGB(static_cast<uint8_t>(k), static_cast<uint8_t>(255 - k), static_cast<uint8_t>(y * 9));
  });
}

double Today() { return Date(); }

struct TTgaCorpusCase {
  const char* file;
  int bitsPerSample;
  int samplesPerPixel;
  bool compressed;
  int tolerance;
};

class TgaCorpus : public ::testing::TestWithParam<TTgaCorpusCase> {};

}  // namespace

TEST_P(TgaCorpus, ReadsToTheReferencePixelsAndAlpha) {
  const TTgaCorpusCase c = GetParam();
  TTgaRead r;
  ReadTgaBytes(ReadBytes(PicturePath(c.file)), r);
  ASSERT_FALSE(r.fixture.aborting);
  const TRgbaPicture ref = LoadReference(c.file);
  ASSERT_EQ(r.bitmap.Width, ref.width);
  ASSERT_EQ(r.bitmap.Height, ref.height);
  EXPECT_EQ(r.params.BitsPerSample, c.bitsPerSample);
  EXPECT_EQ(r.params.SamplesPerPixel, c.samplesPerPixel);
  EXPECT_EQ(r.params.TGA_Compressed, c.compressed);
  TRgbaPicture got = ToRgba(r.bitmap);
  const bool alpha = c.samplesPerPixel == 4;
  ASSERT_EQ(r.mask != nullptr, alpha);
  for (int y = 0; alpha && y < ref.height; ++y)
    for (int x = 0; x < ref.width; ++x) {
      ASSERT_EQ(r.mask->GetPixel(x, y), ref.At(x, y)[3]) << x << "," << y;
      got.rgba[(static_cast<size_t>(y) * ref.width + x) * 4 + 3] = ref.At(x, y)[3];
    }
  EXPECT_LE(MaxChannelDifference(got, ref), c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TgaCorpus,
    ::testing::Values(TTgaCorpusCase{"tga-cmap8-raw-bl-97x61.tga", 8, 1, false, 0},
                      TTgaCorpusCase{"tga-cmap8-rle-bl-97x61.tga", 8, 1, true, 0},
                      TTgaCorpusCase{"tga-grey8-raw-bl-33x21.tga", 8, 1, false, 0},
                      // 5-bit channels sit at the top of the byte.
                      TTgaCorpusCase{"tga-rgb16-rle-tl-33x21.tga", 5, 3, true, 7},
                      TTgaCorpusCase{"tga-rgb24-raw-bl-97x61.tga", 8, 3, false, 0},
                      TTgaCorpusCase{"tga-rgb24-rle-tl-id-31x17.tga", 8, 3, true, 0},
                      TTgaCorpusCase{"tga-rgba32-raw-bl-33x21.tga", 8, 4, false, 0},
                      TTgaCorpusCase{"tga-rgba32-rle-tl-31x17.tga", 8, 4, true, 0}),
    [](const auto& info) { return CaseName(info.param.file); });

TEST(TgaRead, ImageIdGreyFlagAndColourMapStart) {
  TTgaRead id;
  ReadTgaBytes(ReadBytes(PicturePath("tga-rgb24-rle-tl-id-31x17.tga")), id);
  EXPECT_EQ(id.params.TGA_ImageID, "corpus");
  EXPECT_FALSE(id.params.TGA_GrayLevel);
  TTgaRead grey;
  ReadTgaBytes(ReadBytes(PicturePath("tga-grey8-raw-bl-33x21.tga")), grey);
  EXPECT_TRUE(grey.params.TGA_GrayLevel);

  // A map from entry 16 on keeps the default colours below it; entries
  // past 255 are skipped without reading outside the palette.
  std::vector<uint8_t> map;
  for (int i = 0; i < 250; ++i) map.insert(map.end(), {1, 2, 3});
  map.insert(map.end(), {3, 16, 250});  // pixels: index 3, 16 and 250
  TTgaRead mapped;
  ReadTgaBytes(Tga(1, 8, 3, 1, 0x20, map, 1, 16, 250, 24), mapped);
  ASSERT_FALSE(mapped.fixture.aborting);
  EXPECT_EQ(mapped.bitmap.GetPixels(0, 0), (TRGB{3 * 64 + 60, 0 * 32 + 28, 0 * 32 + 28}));
  EXPECT_EQ(mapped.bitmap.GetPixels(1, 0), (TRGB{1, 2, 3}));
  EXPECT_EQ(mapped.params.ColorMapCount, 250);
  EXPECT_FALSE(mapped.params.TGA_GrayLevel);
}

TEST(TgaRead, ExtensionAreaAndItsDefaults) {
  const std::vector<uint8_t> pixel = {9, 8, 7};
  const double today = Today();
  // No footer: today's date and the default ratios.
  TTgaRead plain;
  plain.params.TGA_Gamma = 5;
  ReadTgaBytes(Tga(2, 24, 1, 1, 0, pixel), plain);
  ASSERT_FALSE(plain.fixture.aborting);
  EXPECT_EQ(plain.params.TGA_DateTime, today);
  EXPECT_EQ(plain.params.TGA_Gamma, 2.2);
  EXPECT_EQ(plain.params.TGA_AuthorName, "");

  std::vector<uint8_t> file = Tga(2, 24, 1, 1, 0, pixel);
  AddExtension(file, {2, 29, 2024, 13, 45, 30}, 18, 10);
  TTgaRead full;
  ReadTgaBytes(file, full);
  EXPECT_EQ(full.params.TGA_AuthorName, "Someone");
  EXPECT_DOUBLE_EQ(full.params.TGA_DateTime, 45351 + (13 * 3600 + 45 * 60 + 30) / 86400.0);
  EXPECT_EQ(full.params.TGA_Background, (TRGB{30, 20, 10}));
  EXPECT_DOUBLE_EQ(full.params.TGA_Gamma, 1.8);
  EXPECT_EQ(full.params.TGA_AspectRatio, 1.0);  // 0 / 0 keeps the default

  for (const std::vector<uint16_t>& stamp :
       std::vector<std::vector<uint16_t>>{{13, 1, 2024, 0, 0, 0}, {2, 30, 2024, 0, 0, 0}, {1, 1, 2024, 24, 0, 0}}) {
    std::vector<uint8_t> bad = Tga(2, 24, 1, 1, 0, pixel);
    AddExtension(bad, stamp, 0, 0);
    TTgaRead r;
    ReadTgaBytes(bad, r);
    EXPECT_EQ(r.params.TGA_DateTime, today) << stamp[0] << "/" << stamp[1];
  }
  // An extension offset that points outside the file is ignored.
  std::vector<uint8_t> wrong = file;
  IEPutLE32(&wrong[wrong.size() - 26], 0x7FFFFFF0);
  TTgaRead r;
  ReadTgaBytes(wrong, r);
  EXPECT_FALSE(r.fixture.aborting);
  EXPECT_EQ(r.params.TGA_AuthorName, "");
}

TEST(TgaRead, AlphaRowOrderMirroringAndDamagedFiles) {
  // 32 bits with 8 alpha bits, 2 x 2, bottom row first, right to left.
  const std::vector<uint8_t> px = {1, 1, 1, 10, 2, 2, 2, 20, 3, 3, 3, 30, 4, 4, 4, 40};
  TTgaRead r;
  ReadTgaBytes(Tga(2, 32, 2, 2, 0x18, px), r);
  ASSERT_NE(r.mask, nullptr);
  EXPECT_EQ(r.bitmap.GetPixels(1, 1), (TRGB{1, 1, 1}));
  EXPECT_EQ(r.bitmap.GetPixels(0, 0), (TRGB{4, 4, 4}));
  EXPECT_EQ(r.mask->GetPixel(1, 1), 10);
  EXPECT_EQ(r.mask->GetPixel(0, 0), 40);
  EXPECT_FALSE(r.mask->Full);
  TTgaRead noMask;
  ReadTgaBytes(Tga(2, 32, 2, 2, 0x18, px), noMask, false, true);
  EXPECT_EQ(noMask.mask, nullptr);
  EXPECT_EQ(noMask.bitmap.GetPixels(0, 0), (TRGB{4, 4, 4}));

  // A run packet that reaches into the next row continues there.
  TTgaRead runs;
  ReadTgaBytes(Tga(11, 8, 2, 2, 0x20, {0x83, 77}), runs);
  EXPECT_EQ(runs.bitmap.GetPixels(1, 1), (TRGB{77, 77, 77}));

  std::vector<std::vector<uint8_t>> bad = {ReadBytes(PicturePath("tga-bad-image-type.tga")),
                                           ReadBytes(PicturePath("tga-bad-truncated.tga")),
                                           ReadBytes(PicturePath("tga-bad-huge-dimensions.tga")),
                                           Tga(2, 15, 2, 2, 0, px), Tga(2, 24, 0, 2, 0, px)};
  for (size_t i = 0; i < bad.size(); ++i) {
    TTgaRead b;
    b.params.Width = 321;
    ReadTgaBytes(bad[i], b);
    EXPECT_TRUE(b.fixture.aborting) << "case " << i;
    EXPECT_EQ(b.bitmap.Width, 0) << "case " << i;
    if (i != 2) EXPECT_EQ(b.params.Width, 321) << "case " << i;
  }
}

TEST(TgaRead, ContentTest) {
  const auto test = [](std::vector<uint8_t> bytes) {
    TMemoryStream stream;
    Fill(stream, bytes);
    stream.SetPosition(0);
    const bool result = TryTGA(&stream);
    EXPECT_EQ(stream.GetPosition(), 0);
    return result;
  };
  EXPECT_TRUE(test(Tga(10, 24, 1, 1, 0, {})));
  EXPECT_FALSE(test(Tga(12, 24, 1, 1, 0, {})));
  EXPECT_FALSE(test(Tga(2, 15, 1, 1, 0, {})));
  EXPECT_FALSE(test({2, 0, 2}));
  // A portable pixmap whose bytes happen to pass is left to its own test.
  std::vector<uint8_t> pnm = {'P', '6', '\n', '2', ' ', '2', ' ', '2', '5', '5', '\n'};
  pnm.resize(18, 0);
  pnm[2] = '\n';
  pnm[16] = 24;
  EXPECT_FALSE(test(pnm));
}

TEST(TgaWrite, DefaultPictureIsRunLengthTopLeftAndReadsBack) {
  TIEBitmap picture;
  Picture(picture, 300, 7);  // rows longer than one packet
  TIOParamsVals params(nullptr);
  params.TGA_AspectRatio = 1.5;
  params.TGA_AuthorName = std::string(60, 'a');
  params.TGA_DateTime = 45351 + 0.5;
  const std::vector<uint8_t> bytes = WriteTgaBytes(picture, params);
  ASSERT_GT(bytes.size(), 18u + 1 + 495 + 26);
  EXPECT_EQ(bytes[0], 1);  // the image ID is its terminating zero alone
  EXPECT_EQ(bytes[2], 10);
  EXPECT_EQ(bytes[16], 24);
  EXPECT_EQ(bytes[17], 0x20);
  const size_t footer = bytes.size() - 26;
  EXPECT_EQ(std::string(bytes.begin() + footer + 8, bytes.begin() + footer + 25), "TRUEVISION-XFILE.");
  const size_t area = IEGetLE32(&bytes[footer]);
  EXPECT_EQ(area, footer - 495);
  EXPECT_EQ(IEGetLE16(&bytes[area + 474]), 15000);
  EXPECT_EQ(IEGetLE16(&bytes[area + 476]), 10000);
  EXPECT_EQ(bytes[area + 2 + 40], 0);  // names are cut to 40 characters
  EXPECT_EQ(IEGetLE16(&bytes[area + 367]), 2);     // month
  EXPECT_EQ(IEGetLE16(&bytes[area + 371]), 2024);  // year
  EXPECT_EQ(IEGetLE16(&bytes[area + 373]), 12);    // hour

  TTgaRead back;
  ReadTgaBytes(bytes, back);
  ASSERT_FALSE(back.fixture.aborting);
  EXPECT_TRUE(back.params.TGA_Compressed);
  EXPECT_EQ(back.params.TGA_ImageID, std::string(1, '\0'));
  EXPECT_EQ(back.params.TGA_AuthorName, std::string(40, 'a'));
  EXPECT_DOUBLE_EQ(back.params.TGA_AspectRatio, 1.5);
  EXPECT_DOUBLE_EQ(back.params.TGA_Gamma, 2.2);
  EXPECT_DOUBLE_EQ(back.params.TGA_DateTime, 45351.5);
  EXPECT_EQ(MaxChannelDifference(ToRgba(back.bitmap), ToRgba(picture)), 0);
}

TEST(TgaWrite, RatiosBeyondSixteenBitsKeepFewerDecimals) {
  TIEBitmap picture;
  Picture(picture, 2, 2);
  TIOParamsVals params(nullptr);
  params.TGA_Gamma = 7.25;
  params.TGA_AspectRatio = 0;
  const std::vector<uint8_t> bytes = WriteTgaBytes(picture, params);
  TTgaRead back;
  ReadTgaBytes(bytes, back);
  EXPECT_DOUBLE_EQ(back.params.TGA_Gamma, 7.25);
  EXPECT_DOUBLE_EQ(back.params.TGA_AspectRatio, 1.0);  // not positive: none stored
}

namespace {

struct TTgaWriteCase {
  const char* name;
  int bitsPerSample;
  int samplesPerPixel;
  bool compressed;
  bool grey;
  bool withMask;
  int imageType;
  int depth;
  int tolerance;  // palettes come from the quantiser; one bit keeps two levels
};

class TgaWrite : public ::testing::TestWithParam<TTgaWriteCase> {};

}  // namespace

TEST_P(TgaWrite, FormsReadBackHereAndOutside) {
  const TTgaWriteCase c = GetParam();
  TIEBitmap picture;
  PaintBitmap(picture, 21, 6, [&](int x, int y) {
    const int k = (x / 3 + y) % 5;
    const uint8_t v = static_cast<uint8_t>(k * 50);
    return c.grey ? CreateRGB(v, v, v) : CreateRGB(v, static_cast<uint8_t>(255 - v), static_cast<uint8_t>(k * 13));
  });
  TIOParamsVals params(nullptr);
  params.BitsPerSample = c.bitsPerSample;
  params.SamplesPerPixel = c.samplesPerPixel;
  params.TGA_Compressed = c.compressed;
  params.TGA_GrayLevel = c.grey;
  params.TGA_ImageID = "card";
  TIEMask mask;
  if (c.withMask) {
    mask.AllocateBits(21, 6, 8);
    mask.Fill(255);
    for (int x = 0; x < 21; ++x) mask.SetPixel(x, 2, x * 12);
  }
  bool aborted = true;
  const std::vector<uint8_t> bytes = WriteTgaBytes(picture, params, c.withMask ? &mask : nullptr, &aborted);
  ASSERT_FALSE(aborted);
  EXPECT_EQ(bytes[0], 5);
  EXPECT_EQ(bytes[2], c.imageType);
  EXPECT_EQ(bytes[16], c.depth);

  TTgaRead back;
  ReadTgaBytes(bytes, back);
  ASSERT_FALSE(back.fixture.aborting);
  EXPECT_EQ(back.params.TGA_ImageID, std::string("card") + '\0');
  EXPECT_LE(MaxChannelDifference(ToRgba(back.bitmap), ToRgba(picture)), c.tolerance);
  if (c.withMask) {
    ASSERT_NE(back.mask, nullptr);
    EXPECT_EQ(back.mask->GetPixel(20, 2), 240);
    EXPECT_EQ(back.mask->GetPixel(20, 3), 255);
  }
  if (c.depth == 4) return;  // the outside reader knows no 4-bit pictures
  TempDir dir;
  const std::string path = dir.file("out.tga");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  EXPECT_EQ(MaxChannelDifference(DecodeIndependently({path})[0], ToRgba(back.bitmap)), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, TgaWrite,
    ::testing::Values(TTgaWriteCase{"rgb", 8, 3, false, false, false, 2, 24, 0},
                      TTgaWriteCase{"rgbRle", 8, 3, true, false, false, 10, 24, 0},
                      TTgaWriteCase{"alpha", 8, 3, true, false, true, 2, 32, 0},
                      TTgaWriteCase{"mapped8", 8, 1, false, false, false, 1, 8, 8},
                      TTgaWriteCase{"mapped8Rle", 8, 1, true, false, false, 9, 8, 8},
                      TTgaWriteCase{"grey8Rle", 8, 1, true, true, false, 11, 8, 0},
                      TTgaWriteCase{"mapped4", 4, 1, true, false, false, 1, 4, 8},
                      TTgaWriteCase{"bits", 1, 1, true, false, false, 3, 1, 255}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TgaWrite, OneBitPicturesAndWritesThatFail) {
  TIEBitmap bits;
  bits.Location = ieMemory;
  bits.Allocate(10, 3, ie1g);
  bits.Fill(0);
  bits.SetPixels_ie1g(9, 2, true);
  TIOParamsVals params(nullptr);
  params.BitsPerSample = 1;
  params.SamplesPerPixel = 1;
  TTgaRead back;
  ReadTgaBytes(WriteTgaBytes(bits, params), back);
  ASSERT_EQ(back.bitmap.PixelFormat, ie1g);
  EXPECT_TRUE(back.bitmap.GetPixels_ie1g(9, 2));
  EXPECT_FALSE(back.bitmap.GetPixels_ie1g(8, 2));
  EXPECT_FALSE(params.TGA_Compressed);

  // 8 bits from a 1-bit picture go through a palette of its colours.
  params.BitsPerSample = 8;
  params.TGA_GrayLevel = false;
  TTgaRead mapped;
  ReadTgaBytes(WriteTgaBytes(bits, params), mapped);
  EXPECT_EQ(mapped.bitmap.GetPixels(9, 2), (TRGB{255, 255, 255}));
  EXPECT_EQ(mapped.bitmap.GetPixels(0, 0), (TRGB{0, 0, 0}));

  TIEBitmap grey;
  grey.Location = ieMemory;
  grey.Allocate(4, 4, ie8g);
  bool aborted = false;
  EXPECT_TRUE(WriteTgaBytes(grey, params, nullptr, &aborted).empty());
  EXPECT_TRUE(aborted);

  TIEBitmap picture;
  Picture(picture, 40, 10);
  cwtest::TShortStream shortStream(100);
  TProgressFixture fixture;
  WriteTGAStream(&shortStream, &picture, params, fixture.progress, nullptr);
  EXPECT_TRUE(fixture.aborting);
  EXPECT_EQ(shortStream.GetSize(), 100);
}

TEST(TgaPixIO, AlphaGoesWhereThePictureKeepsItAndIsSaved) {
  TempDir dir;
  const std::string file = dir.file("a.tga");
  std::filesystem::copy_file(PicturePath("tga-rgba32-rle-tl-31x17.tga"), file);

  // Own bitmap: the alpha has nowhere to go.
  TPixIO own(nullptr);
  own.LoadFromFile(file);
  ASSERT_FALSE(own.Aborting);
  EXPECT_EQ(own.IOParams->FileType, ieftTGA);
  EXPECT_EQ(own.GetAlphaChannel(), nullptr);

  // A caller's bitmap keeps it, and saving writes it back as 32 bits.
  TIEBitmap mine;
  TPixIO io(nullptr);
  io.SetAttachedIEBitmap(&mine);
  io.LoadFromFile(file);
  ASSERT_TRUE(mine.GetHasAlphaChannel());
  const uint8_t clear = mine.GetAlpha(0, 0);
  io.SaveToFile(dir.file("b.TARGA"));
  ASSERT_FALSE(io.Aborting);
  TIEBitmap again;
  TPixIO reader(nullptr);
  reader.SetAttachedIEBitmap(&again);
  reader.LoadFromFile(dir.file("b.TARGA"));
  ASSERT_TRUE(again.GetHasAlphaChannel());
  EXPECT_EQ(reader.IOParams->BitsPerSample * reader.IOParams->SamplesPerPixel, 32);
  EXPECT_EQ(again.GetAlpha(0, 0), clear);
  EXPECT_EQ(MaxChannelDifference(ToRgba(again), ToRgba(mine)), 0);

  // A name registered for the format only (PIX) reads through its codec,
  // and streams are found by content.
  std::filesystem::copy_file(dir.file("b.TARGA"), dir.file("c.pix"));
  TPixIO pix(nullptr);
  pix.LoadFromFile(dir.file("c.pix"));
  EXPECT_FALSE(pix.Aborting);
  EXPECT_EQ(pix.IEBitmap->Width, 31);
  TMemoryStream stream;
  pix.SaveToStream(&stream, ieftTGA);
  stream.SetPosition(0);
  TPixIO byContent(nullptr);
  byContent.LoadFromStream(&stream);
  EXPECT_FALSE(byContent.Aborting);
  EXPECT_EQ(byContent.IOParams->FileType, ieftTGA);
  EXPECT_EQ(byContent.IEBitmap->Height, 17);
  byContent.ParamsFromFile(file);
  EXPECT_EQ(byContent.IOParams->FileType, ieftTGA);
  EXPECT_EQ(byContent.IOParams->SamplesPerPixel, 4);
}
