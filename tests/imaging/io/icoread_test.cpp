// Icon and cursor readers and content tests: outside-made files against
// their reference decodes (colour and transparency), the deliberate
// limits of the readers, and damaged directories.
#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <memory>

#include "imaging/core/iemask.h"
#include "imaging/io/bmpfilt.h"
#include "imaging/io/iebyteorder.h"
#include "pictures.h"
#include "pngtestutil.h"

using namespace cwtest;

namespace {

struct TIconRead {
  TIEBitmap bitmap;
  TIOParamsVals params{nullptr};
  TProgressFixture fixture;
  TIEMask* mask = nullptr;
  ~TIconRead() { delete mask; }

  void Read(const std::vector<uint8_t>& bytes, bool cursor, bool preview = false,
            bool noMask = false) {
    TMemoryStream stream;
    Fill(stream, bytes);
    bitmap.Location = ieMemory;
    if (cursor)
      CURReadStream(&stream, &bitmap, params, preview, fixture.progress, mask, noMask);
    else
      ICOReadStream(&stream, &bitmap, params, preview, fixture.progress, mask, noMask);
  }
};

bool IsCursor(const std::string& name) { return name.rfind(".cur") == name.size() - 4; }

// A one-entry icon (type 1) or cursor (type 2) directory followed by the
// entry's data.
Bytes OneEntryFile(uint16_t type, int width, int height, const Bytes& data) {
  Bytes file(22 + data.size());
  std::copy(data.begin(), data.end(), file.begin() + 22);
  IEPutLE16(&file[2], type);
  IEPutLE16(&file[4], 1);
  file[6] = static_cast<uint8_t>(width);
  file[7] = static_cast<uint8_t>(height);
  IEPutLE16(&file[10], type == 1 ? 1 : 3);   // planes, or the hot spot's x
  IEPutLE16(&file[12], type == 1 ? 32 : 4);  // bit count, or the hot spot's y
  IEPutLE32(&file[14], static_cast<uint32_t>(data.size()));
  IEPutLE32(&file[18], 22);
  return file;
}

// Colours of the opaque pixels and the mask against an RGBA picture.
void ExpectPicture(TIconRead& r, const TRgbaPicture& want) {
  ASSERT_FALSE(r.fixture.aborting);
  ASSERT_EQ(r.bitmap.Width, want.width);
  ASSERT_EQ(r.bitmap.Height, want.height);
  ASSERT_NE(r.mask, nullptr);
  for (int y = 0; y < want.height; ++y)
    for (int x = 0; x < want.width; ++x) {
      const uint8_t* p = want.At(x, y);
      EXPECT_EQ(r.mask->GetPixel(x, y), p[3]) << x << "," << y;
      if (p[3] == 255) {
        EXPECT_EQ(r.bitmap.GetPixels(x, y), (TRGB{p[2], p[1], p[0]})) << x << "," << y;
      }
    }
}

class IconCorpus : public ::testing::TestWithParam<const char*> {};

}  // namespace

// Opaque pixels carry the reference colour, clear ones are transparent in
// the mask and show the background (white by default).
TEST_P(IconCorpus, ReadsColoursAndTransparency) {
  const std::string name = GetParam();
  TIconRead r;
  r.Read(ReadBytes(PicturePath(name)), IsCursor(name));
  ASSERT_FALSE(r.fixture.aborting);
  ASSERT_NE(r.mask, nullptr);
  const TRgbaPicture ref = LoadReference(name);
  ASSERT_EQ(r.bitmap.Width, ref.width);
  ASSERT_EQ(r.bitmap.Height, ref.height);
  int clear = 0;
  for (int y = 0; y < ref.height; ++y) {
    for (int x = 0; x < ref.width; ++x) {
      const uint8_t* want = ref.At(x, y);
      ASSERT_EQ(r.mask->GetPixel(x, y), want[3] == 0 ? 0 : 255) << name << " " << x << "," << y;
      const TRGB got = r.bitmap.GetPixels(x, y);
      if (want[3] == 0) {
        ++clear;
        EXPECT_EQ(got, (TRGB{255, 255, 255}));
      } else {
        ASSERT_EQ(got, (TRGB{want[2], want[1], want[0]})) << name << " " << x << "," << y;
      }
    }
  }
  EXPECT_GT(clear, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, IconCorpus,
                         ::testing::Values("ico-1bit-31x17.ico", "ico-4bit-32x32.ico",
                                           "ico-8bit-48x48.ico", "cur-1bit-32x32.cur"),
                         [](const auto& info) { return CaseName(info.param); });

TEST(IconRead, ParametersOfEachDepth) {
  struct TCase {
    const char* file;
    int bitsPerSample, samplesPerPixel, colorMapCount;
    TIEPixelFormat format;
  };
  for (const TCase& c : {TCase{"ico-1bit-31x17.ico", 1, 1, 2, ie1g},
                         TCase{"ico-4bit-32x32.ico", 4, 1, 16, ie24RGB},
                         TCase{"ico-8bit-48x48.ico", 8, 1, 256, ie24RGB},
                         TCase{"ico-24bit-32x32.ico", 8, 3, 0, ie24RGB},
                         TCase{"cur-1bit-32x32.cur", 1, 1, 2, ie1g}}) {
    TIconRead r;
    r.Read(ReadBytes(PicturePath(c.file)), IsCursor(c.file));
    EXPECT_EQ(r.params.BitsPerSample, c.bitsPerSample) << c.file;
    EXPECT_EQ(r.params.SamplesPerPixel, c.samplesPerPixel) << c.file;
    EXPECT_EQ(r.params.ColorMapCount, c.colorMapCount) << c.file;
    EXPECT_EQ(r.bitmap.PixelFormat, c.format) << c.file;
  }
  TIconRead cursor;
  cursor.Read(ReadBytes(PicturePath("cur-1bit-32x32.cur")), true, true);
  EXPECT_EQ(cursor.params.CUR_HotSpotX, 5);
  EXPECT_EQ(cursor.params.CUR_HotSpotY, 7);
  EXPECT_EQ(cursor.bitmap.Width, 0);  // preview: parameters only
}

TEST(IconRead, TwentyFourBitsKeepTheXorPixelsAndAnOpaqueMask) {
  TIconRead r;
  r.Read(ReadBytes(PicturePath("ico-24bit-32x32.ico")), false);
  const TRgbaPicture ref = LoadReference("ico-24bit-32x32.ico");
  for (int y = 0; y < ref.height; ++y) {
    for (int x = 0; x < ref.width; ++x) {
      ASSERT_EQ(r.mask->GetPixel(x, y), 255);
      const uint8_t* want = ref.At(x, y);
      if (want[3] != 0) {
        ASSERT_EQ(r.bitmap.GetPixels(x, y), (TRGB{want[2], want[1], want[0]}));
      }
    }
  }
}

// 32-bit icons and cursors carry their transparency in the fourth byte:
// the colours come through as stored and the mask is that alpha.
TEST(IconRead, ThirtyTwoBitPicturesKeepColourAndAlpha) {
  for (const char* file : {"ico-32bit-32x32.ico", "cur-32bit-31x17.cur"}) {
    TIconRead r;
    r.Read(ReadBytes(PicturePath(file)), IsCursor(file));
    EXPECT_FALSE(r.fixture.aborting) << file;
    ASSERT_EQ(r.bitmap.PixelFormat, ie24RGB) << file;
    ASSERT_NE(r.mask, nullptr);
    const TRgbaPicture ref = LoadReference(file);
    ASSERT_EQ(r.bitmap.Width, ref.width) << file;
    ASSERT_EQ(r.bitmap.Height, ref.height) << file;
    bool partial = false;
    for (int y = 0; y < ref.height; ++y) {
      for (int x = 0; x < ref.width; ++x) {
        const uint8_t* want = ref.At(x, y);
        ASSERT_EQ(r.mask->GetPixel(x, y), want[3]) << file << " " << x << "," << y;
        partial = partial || (want[3] != 0 && want[3] != 255);
        if (want[3] != 0) {
          ASSERT_EQ(r.bitmap.GetPixels(x, y), (TRGB{want[2], want[1], want[0]})) << file << " " << x << "," << y;
        }
      }
    }
    if (!IsCursor(file)) EXPECT_TRUE(partial) << "the icon's alpha ramp";
  }
}

// A 24-bit cursor is the 24-bit icon with a hot spot: the same colours.
TEST(IconRead, TwentyFourBitCursorsLoadTheirColoursLikeIcons) {
  const Bytes icon = ReadBytes(PicturePath("ico-24bit-32x32.ico"));
  Bytes cursor = icon;
  IEPutLE16(&cursor[2], 2);
  TIconRead fromIcon, fromCursor;
  fromIcon.Read(icon, false);
  fromCursor.Read(cursor, true);
  ASSERT_FALSE(fromCursor.fixture.aborting);
  ASSERT_EQ(fromCursor.bitmap.Width, 32);
  const TRgbaPicture ref = LoadReference("ico-24bit-32x32.ico");
  int coloured = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      ASSERT_EQ(fromCursor.bitmap.GetPixels(x, y), fromIcon.bitmap.GetPixels(x, y)) << x << "," << y;
      const TRGB p = fromCursor.bitmap.GetPixels(x, y);
      coloured += p.r != p.g || p.g != p.b;
    }
  EXPECT_GT(coloured, 0);
}

// Entries stored as PNG pictures (every 256 x 256 icon written today) are
// read by the PNG reader, in icons and cursors alike.
TEST(IconRead, PngEntriesAreDecodedWithTheirTransparency) {
  TRgbaPicture picture;
  picture.width = 3;
  picture.height = 2;
  picture.rgba = {255, 0, 0, 255,  0, 255, 0, 255,  0, 0, 255, 255,
                  9, 9, 9, 0,      200, 100, 50, 128, 255, 255, 255, 255};
  const Bytes png = EncodeWithLibpng(picture, false);
  for (uint16_t type : {uint16_t{1}, uint16_t{2}}) {
    SCOPED_TRACE(type);
    TIconRead r;
    r.Read(OneEntryFile(type, 3, 2, png), type == 2);
    ExpectPicture(r, picture);
    if (type == 2) {
      EXPECT_EQ(r.params.CUR_HotSpotX, 3);
      EXPECT_EQ(r.params.CUR_HotSpotY, 4);
    }
  }
  // Without a mask the clear pixels show the background.
  TIconRead noMask;
  noMask.params.ICO_Background = TRGB{30, 20, 10};
  noMask.Read(OneEntryFile(1, 3, 2, png), false, false, true);
  EXPECT_EQ(noMask.mask, nullptr);
  EXPECT_EQ(noMask.bitmap.GetPixels(0, 1), (TRGB{30, 20, 10}));
  EXPECT_EQ(noMask.bitmap.GetPixels(2, 1), (TRGB{255, 255, 255}));
  // A cut PNG fails.
  TIconRead cut;
  cut.Read(OneEntryFile(1, 3, 2, Bytes(png.begin(), png.begin() + 40)), false);
  EXPECT_TRUE(cut.fixture.aborting);

  // A 64 x 64 icon written by another tool, against libpng's decode of its entry.
  const Bytes file = ReadBytes(PicturePath("ico-png-64x64.ico"));
  const Bytes entry(file.begin() + IEGetLE32(&file[18]), file.end());
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, entry.data(), entry.size()));
  image.format = PNG_FORMAT_RGBA;
  TRgbaPicture reference;
  reference.width = static_cast<int>(image.width);
  reference.height = static_cast<int>(image.height);
  reference.rgba.resize(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, reference.rgba.data(), 0, nullptr));
  TIconRead big;
  big.Read(file, false);
  ExpectPicture(big, reference);
}

TEST(IconRead, BackgroundAndMaskOptions) {
  // A black background turns the clear pixels of a 1-bit icon black; with
  // the no-mask flag the mask is neither made nor touched.
  TIconRead r;
  r.params.ICO_Background = TRGB{0, 0, 0};
  r.Read(ReadBytes(PicturePath("ico-1bit-31x17.ico")), false, false, true);
  EXPECT_EQ(r.mask, nullptr);
  const TRgbaPicture ref = LoadReference("ico-1bit-31x17.ico");
  for (int y = 0; y < ref.height; ++y)
    for (int x = 0; x < ref.width; ++x)
      if (ref.At(x, y)[3] == 0) {
        ASSERT_EQ(r.bitmap.GetPixels(x, y), (TRGB{0, 0, 0}));
      }

  TIconRead coloured;
  coloured.params.ICO_Background = TRGB{10, 20, 30};
  coloured.mask = new TIEMask();
  TIEMask* given = coloured.mask;
  coloured.Read(ReadBytes(PicturePath("ico-8bit-48x48.ico")), false);
  EXPECT_EQ(coloured.mask, given);  // the caller's mask is filled, not replaced
  int clear = 0;
  for (int y = 0; y < coloured.bitmap.Height; ++y) {
    for (int x = 0; x < coloured.bitmap.Width; ++x) {
      if (coloured.mask->GetPixel(x, y) == 0) {
        ++clear;
        ASSERT_EQ(coloured.bitmap.GetPixels(x, y), (TRGB{10, 20, 30}));
      }
    }
  }
  EXPECT_GT(clear, 0);
}

TEST(IconRead, SizesIndexAndBitmapStart) {
  // An entry of width 0 takes the header's width and half its height.
  std::vector<uint8_t> icon = ReadBytes(PicturePath("ico-4bit-32x32.ico"));
  icon[6] = 0;
  icon[7] = 0;
  TIconRead zero;
  zero.Read(icon, false);
  EXPECT_EQ(zero.params.Width, 32);
  EXPECT_EQ(zero.params.Height, 32);

  // An index past the directory reads nothing and is no failure.
  TIconRead outside;
  outside.params.ICO_ImageIndex = 1;
  outside.Read(ReadBytes(PicturePath("ico-4bit-32x32.ico")), false);
  EXPECT_FALSE(outside.fixture.aborting);
  EXPECT_EQ(outside.bitmap.Width, 0);

  // A later entry of a multi-entry file.
  std::vector<uint8_t> two = ReadBytes(PicturePath("ico-4bit-32x32.ico"));
  // Second directory entry: the same image again, after a copy of the first entry.
  std::vector<uint8_t> entry(two.begin() + 6, two.begin() + 22);
  entry[0] = entry[1] = 32;
  two.insert(two.begin() + 22, entry.begin(), entry.end());
  IEPutLE16(&two[4], 2);
  IEPutLE32(&two[6 + 12], IEGetLE32(&two[6 + 12]) + 16);
  IEPutLE32(&two[22 + 12], IEGetLE32(&two[22 + 12]) + 16);
  TIconRead second;
  second.params.ICO_ImageIndex = 1;
  second.Read(two, false);
  EXPECT_FALSE(second.fixture.aborting);
  EXPECT_EQ(second.bitmap.Width, 32);

  // An icon stream that starts with "BM" is read as a bitmap.
  TIconRead bitmap;
  bitmap.Read(ReadBytes(PicturePath("bmp-24bit-97x61.bmp")), false);
  EXPECT_FALSE(bitmap.fixture.aborting);
  EXPECT_EQ(bitmap.bitmap.Width, 97);
  EXPECT_EQ(bitmap.mask, nullptr);
}

TEST(IconRead, DamagedOrUnreadableEntriesAbortCleanly) {
  for (const char* file : {"ico-bad-truncated-directory.ico", "ico-bad-image-offset.ico",
                           "ico-bad-huge-bitmap.ico"}) {
    TIconRead r;
    r.Read(ReadBytes(PicturePath(file)), false);
    EXPECT_TRUE(r.fixture.aborting) << file;
    EXPECT_EQ(r.bitmap.Width, 0) << file;
  }
  // No bit count anywhere and no colour count.
  std::vector<uint8_t> icon = ReadBytes(PicturePath("ico-4bit-32x32.ico"));
  icon[6 + 2] = 0;                                 // colour count
  IEPutLE16(&icon[6 + 6], 0);                      // entry bit count
  IEPutLE16(&icon[IEGetLE32(&icon[18]) + 14], 0);  // header bit count
  TIconRead r;
  r.Read(icon, false);
  EXPECT_TRUE(r.fixture.aborting);
}

TEST(IconTry, RecognisesIconsAndCursorsAndRestoresThePosition) {
  struct TCase {
    std::vector<uint8_t> bytes;
    bool icon, cursor;
  };
  std::vector<uint8_t> badReserved = ReadBytes(PicturePath("ico-4bit-32x32.ico"));
  badReserved[6 + 3] = 1;
  std::vector<uint8_t> earlyOffset = ReadBytes(PicturePath("ico-4bit-32x32.ico"));
  IEPutLE32(&earlyOffset[6 + 12], 10);
  const TCase cases[] = {
      {ReadBytes(PicturePath("ico-8bit-48x48.ico")), true, false},
      {ReadBytes(PicturePath("cur-1bit-32x32.cur")), false, true},
      {ReadBytes(PicturePath("bmp-24bit-97x61.bmp")), false, false},
      {ReadBytes(PicturePath("ico-bad-truncated-directory.ico")), false, false},
      {badReserved, false, false},
      {earlyOffset, false, false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    TMemoryStream stream;
    Fill(stream, cases[i].bytes);
    stream.SetPosition(0);
    EXPECT_EQ(ICOTryStream(&stream), cases[i].icon) << i;
    EXPECT_EQ(stream.GetPosition(), 0) << i;
    EXPECT_EQ(CURTryStream(&stream), cases[i].cursor) << i;
    EXPECT_EQ(stream.GetPosition(), 0) << i;
  }
}
