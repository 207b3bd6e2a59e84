#include "imaging/proc/iedibdecode.h"

#include <gtest/gtest.h>

#include "bitmaps.h"
#include "dibbytes.h"
#include "imaging/proc/ievideoframes.h"

namespace {

// Decodes from a pointer of exactly the DIB's length into a TIEBitmap in
// memory.
struct Decoded {
  explicit Decoded(const Bytes& dib, const void* bits = nullptr, uint64_t bitsSize = 0) {
    picture.SetLocation(ieMemory);
    result = _CopyDIB2BitmapEx(uintptr_t(dib.data()), &picture, bits, true, dib.size(), bitsSize);
  }
  TRGB At(int x, int y) { return picture.GetPixels_ie24RGB(x, y); }
  TIEBitmap picture;
  int result = 0;
};

uint32_t Key(const TRGB& c) { return TRGB2Key(c); }

TEST(CopyDIB2Bitmap, MonochromeBitsAreCopiedAsTheyAreWhateverTheTable) {
  // Width 10: two bytes a row padded to 4; table white then black.
  const Bytes rows = {0xC0, 0x40, 0, 0,   // bottom row
                      0x81, 0x80, 0, 0};  // top row
  Decoded d(Dib(10, 2, 1, BI_RGB, 0, Table({{255, 255, 255}, {0, 0, 0}}), rows));
  ASSERT_EQ(d.result, 1);
  EXPECT_EQ(d.picture.PixelFormat, ie1g);
  EXPECT_EQ(d.picture.GetScanLine(0)[0], 0x81);
  EXPECT_EQ(d.picture.GetScanLine(0)[1], 0x80);
  EXPECT_TRUE(d.picture.GetPixels_ie1g(0, 1));  // bit 1 still reads white
  EXPECT_FALSE(d.picture.GetPixels_ie1g(2, 1));
  EXPECT_TRUE(d.picture.GetPixels_ie1g(9, 1));
}

TEST(CopyDIB2Bitmap, PaletteDepthsLookEveryPixelUp) {
  // 4 bits, width 5: two pixels from each of the first two bytes and the
  // high nibble of the third.
  const Bytes table4 = Table({{0, 0, 0}, {10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {1, 2, 3}});
  Decoded four(Dib(5, 1, 4, BI_RGB, 5, table4, {0x12, 0x34, 0x4F, 0}));
  ASSERT_EQ(four.result, 4);
  const uint32_t want4[5] = {0x0A141E, 0x28323C, 0x46505A, 0x010203, 0x010203};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(Key(four.At(x, 0)), want4[x]) << x;

  // 8 bits with two colours used: an index beyond them reads black rather
  // than whatever follows the table.
  Decoded eight(Dib(3, 1, 8, BI_RGB, 2, Table({{255, 0, 0}, {0, 0, 255}}), {1, 0, 200, 0}));
  ASSERT_EQ(eight.result, 8);
  EXPECT_EQ(eight.picture.PixelFormat, ie24RGB);
  EXPECT_EQ(Key(eight.At(0, 0)), 0x0000FFu);
  EXPECT_EQ(Key(eight.At(1, 0)), 0xFF0000u);
  EXPECT_EQ(Key(eight.At(2, 0)), 0x000000u);
}

TEST(CopyDIB2Bitmap, SixteenAndThirtyTwoBitPixels) {
  const struct {
    const char* name;
    Bytes dib;
    uint32_t want;
  } cases[] = {
      {"555", Dib(1, 1, 16, BI_RGB, 0, {}, {0xFF, 0x7F, 0, 0}), 0xF8F8F8},
      {"565 fields", Dib(1, 1, 16, BI_BITFIELDS, 0, Words32({0xF800, 0x07E0, 0x001F}), {0xFF, 0xFF, 0, 0}),
       0xF8FCF8},
      {"565 red", Dib(1, 1, 16, BI_BITFIELDS, 0, Words32({0xF800, 0x07E0, 0x001F}), {0x00, 0xF8, 0, 0}),
       0xF80000},
      {"32 plain", Dib(1, 1, 32, BI_RGB, 0, {}, {0x11, 0x22, 0x33, 0x44}), 0x332211},
      // The masks are skipped, not applied.
      {"32 fields", Dib(1, 1, 32, BI_BITFIELDS, 0, Words32({0xFF, 0xFF00, 0xFF0000}), {0x11, 0x22, 0x33, 0x44}),
       0x332211},
  };
  for (const auto& c : cases) {
    Decoded d(c.dib);
    EXPECT_NE(d.result, 0) << c.name;
    EXPECT_EQ(Key(d.At(0, 0)), c.want) << c.name;
  }
}

TEST(CopyDIB2Bitmap, RowsAreBottomUpUnlessTheHeightIsNegative) {
  const Bytes rows = {1, 2, 3, 0, 4, 5, 6, 0};  // width 1: 3 bytes padded to 4
  Decoded up(Dib(1, 2, 24, BI_RGB, 0, {}, rows));
  EXPECT_EQ(Key(up.At(0, 1)), 0x030201u);
  EXPECT_EQ(Key(up.At(0, 0)), 0x060504u);
  Decoded down(Dib(1, -2, 24, BI_RGB, 0, {}, rows));
  ASSERT_EQ(down.result, 24);
  EXPECT_EQ(down.picture.Height, 2);
  EXPECT_EQ(Key(down.At(0, 0)), 0x030201u);
}

TEST(CopyDIB2Bitmap, MalformedBlocksLeaveTheTargetAndGiveZero) {
  const Bytes good = Dib(2, 2, 24, BI_RGB, 0, {}, Bytes(16, 7));
  Bytes shortRows = good;
  shortRows.resize(good.size() - 1);
  Bytes bigTable = Dib(2, 2, 8, BI_RGB, 0xFFFFFFFF, {}, Bytes(8, 0));
  Bytes noMasks = Dib(1, 1, 16, BI_BITFIELDS, 0, {}, {});
  Bytes wide = Dib(0x7FFFFFFF, 1, 24, BI_RGB, 0, {}, Bytes(16, 0));
  const struct {
    const char* name;
    Bytes dib;
  } cases[] = {
      {"header cut", Bytes(good.begin(), good.begin() + 39)},
      {"width 0", Dib(0, 2, 24, BI_RGB, 0, {}, Bytes(16, 0))},
      {"width negative", Dib(-3, 2, 24, BI_RGB, 0, {}, Bytes(16, 0))},
      {"height 0", Dib(2, 0, 24, BI_RGB, 0, {}, Bytes(16, 0))},
      {"height minimum", Dib(2, INT32_MIN, 24, BI_RGB, 0, {}, Bytes(16, 0))},
      {"rows cut", shortRows},
      {"table beyond block", bigTable},
      {"masks beyond block", noMasks},
      {"huge width", wide},
      {"RLE of gigapixels", Dib(100000, 100000, 8, BI_RLE8, 0, Table({{0, 0, 0}}), Bytes(64, 0))},
      {"frame cut", Dib(4, 4, 16, IEFourCC('Y', 'U', 'Y', '2'), 0, {}, Bytes(31, 0))},
  };
  for (const auto& c : cases) {
    TIEBitmap picture;
    picture.SetLocation(ieMemory);
    picture.Allocate(3, 3, ie8g);
    EXPECT_EQ(_CopyDIB2BitmapEx(uintptr_t(c.dib.data()), &picture, nullptr, true, c.dib.size(), 0), 0) << c.name;
    EXPECT_EQ(picture.Width, 3) << c.name;
    EXPECT_EQ(picture.PixelFormat, ie8g) << c.name;
  }
  // A separate pixel block is held to its own length.
  TIEBitmap picture;
  const Bytes header = Dib(2, 2, 24, BI_RGB, 0, {}, {});
  const Bytes bits(16, 0);
  EXPECT_EQ(_CopyDIB2BitmapEx(uintptr_t(header.data()), &picture, bits.data(), true, header.size(), 15), 0);
  EXPECT_EQ(_CopyDIB2BitmapEx(uintptr_t(header.data()), &picture, bits.data(), true, header.size(), 16), 24);
}

TEST(CopyDIB2Bitmap, LayoutsNotDecodedStillGiveTheSizeAndBitCount) {
  Decoded rle(Dib(4, 2, 8, BI_RLE8, 0, Table({{0, 0, 0}}), Bytes(16, 0)));
  EXPECT_EQ(rle.result, 8);
  EXPECT_EQ(rle.picture.Width, 4);
  EXPECT_EQ(rle.picture.Height, 2);
  Decoded odd(Dib(2, 2, 7, BI_RGB, 0, {}, Bytes(16, 0)));
  EXPECT_EQ(odd.result, 7);
  EXPECT_EQ(odd.picture.Width, 2);
}

TEST(CopyDIB2Bitmap, GlobalHandlesAndPlatformBitmaps) {
  const Bytes table = Table({{0, 0, 0}, {255, 255, 255}});
  HGLOBAL block = GlobalBlock(Dib(3, 1, 1, BI_RGB, 2, table, {0xA0, 0, 0, 0}));
  TBitmap bitmap;
  EXPECT_EQ(_CopyDIB2Bitmap(block, &bitmap, nullptr, false, 0, 0), 1);
  EXPECT_EQ(bitmap.GetPixelFormat(), pf1bit);
  EXPECT_EQ(bitmap.GetWidth(), 3);
  EXPECT_TRUE(Bit(&bitmap, 0, 0));
  EXPECT_FALSE(Bit(&bitmap, 1, 0));
  EXPECT_TRUE(Bit(&bitmap, 2, 0));
  // The handle may be locked again: the decoder unlocked it.
  EXPECT_NE(GlobalLock(block), nullptr);
  GlobalUnlock(block);
  GlobalFree(block);

  // A block the handle does not hold whole is refused.
  HGLOBAL cut = GlobalBlock(Bytes(20, 0));
  EXPECT_EQ(_CopyDIB2Bitmap(cut, &bitmap, nullptr, false, 0, 0), 0);
  EXPECT_EQ(bitmap.GetWidth(), 3);
  GlobalFree(cut);
}

TEST(YUV2RGB, BlackWhiteAndClamping) {
  const struct {
    int y, u, v;
    uint32_t want;
  } cases[] = {{16, 128, 128, 0x000000}, {235, 128, 128, 0xFFFFFF}, {255, 128, 128, 0xFFFFFF},
               {0, 128, 128, 0x000000},  {81, 90, 240, 0xFE0000}};
  for (const auto& c : cases) {
    TRGB rgb;
    YUV2RGB(c.y, c.u, c.v, rgb);
    EXPECT_EQ(Key(rgb), c.want) << c.y << " " << c.u << " " << c.v;
  }
}

// Decodes a frame DIB of the FourCC with the bytes after the header.
Decoded Frame(uint32_t fourcc, int width, int height, const Bytes& data) {
  return Decoded(Dib(width, height, 16, fourcc, 0, {}, data));
}

uint8_t Luma(Decoded& d, int x, int y) { return d.At(x, y).g; }

TEST(VideoFrames, PackedLayoutsPlaceLumaAndChroma) {
  // Grey chroma (128) keeps r = g = b = 1.164 (Y - 16).
  const struct {
    const char* name;
    uint32_t fourcc;
    int width;
    Bytes data;
    std::vector<int> luma;
  } cases[] = {
      {"YUY2", IEFourCC('Y', 'U', 'Y', '2'), 2, {16, 128, 235, 128}, {0, 255}},
      {"UYVY", IEFourCC('U', 'Y', 'V', 'Y'), 2, {128, 235, 128, 16}, {255, 0}},
      {"YVYU", IEFourCC('Y', 'V', 'Y', 'U'), 2, {235, 128, 16, 128}, {255, 0}},
      {"Y211", IEFourCC('Y', '2', '1', '1'), 4, {235, 128, 16, 128}, {255, 255, 0, 0}},
      {"IYU1", IEFourCC('I', 'Y', 'U', '1'), 4, {128, 16, 235, 128, 235, 16}, {0, 255, 255, 0}},
      {"IYU2", IEFourCC('I', 'Y', 'U', '2'), 3, {128, 16, 128, 128, 235, 128, 128, 16, 128}, {0, 255, 0}},
      {"Y41P",
       IEFourCC('Y', '4', '1', 'P'),
       8,
       {128, 16, 128, 235, 128, 16, 128, 235, 235, 235, 16, 16},
       {0, 255, 0, 255, 255, 255, 0, 0}},
  };
  for (const auto& c : cases) {
    // Y41P counts a positive height as bottom-up.
    Decoded d = Frame(c.fourcc, c.width, c.fourcc == IEFourCC('Y', '4', '1', 'P') ? -1 : 1, c.data);
    ASSERT_NE(d.result, 0) << c.name;
    for (int x = 0; x < c.width; ++x) EXPECT_EQ(Luma(d, x, 0), c.luma[x]) << c.name << " " << x;
  }
}

TEST(VideoFrames, IYU2RowsFollowEachOtherAndTopDownFollowsTheHeight) {
  // Width 3, two rows: row k starts at byte 9k.
  Bytes data(18, 128);
  for (int i = 0; i < 3; ++i) data[1 + 3 * i] = 16, data[10 + 3 * i] = 235;
  Decoded topDown = Frame(IEFourCC('I', 'Y', 'U', '2'), 3, 2, data);
  for (int x = 0; x < 3; ++x) {
    EXPECT_EQ(Luma(topDown, x, 0), 0);
    EXPECT_EQ(Luma(topDown, x, 1), 255);
  }
  Decoded bottomUp = Frame(IEFourCC('I', 'Y', 'U', '2'), 3, -2, data);
  EXPECT_EQ(Luma(bottomUp, 0, 0), 255);
}

TEST(VideoFrames, PlanarLayoutsShareChromaAndToleratesOddSizes) {
  // I420 2 x 2: Y plane, U, V; V = 240 turns red up.
  Decoded i420 = Frame(IEFourCC('I', '4', '2', '0'), 2, 2, {81, 81, 81, 81, 90, 240});
  EXPECT_EQ(Key(i420.At(1, 1)), 0xFE0000u);
  // YV12 has V first.
  Decoded yv12 = Frame(IEFourCC('Y', 'V', '1', '2'), 2, 2, {81, 81, 81, 81, 240, 90});
  EXPECT_EQ(Key(yv12.At(0, 0)), 0xFE0000u);
  // Odd sizes read no further than the frame: 3 x 3 has one chroma sample.
  Decoded odd = Frame(IEFourCC('I', '4', '2', '0'), 3, 3, Bytes{81, 81, 81, 81, 81, 81, 81, 81, 81, 90, 240});
  ASSERT_NE(odd.result, 0);
  EXPECT_EQ(Key(odd.At(2, 2)), 0xFE0000u);
  // A frame too small for chroma is grey.
  Decoded tiny = Frame(IEFourCC('Y', 'V', 'U', '9'), 3, 1, {235, 235, 235});
  EXPECT_EQ(Key(tiny.At(2, 0)), 0xFFFFFFu);
  // Odd packed widths: the last pixel of a YUY2 row of 3.
  Decoded packed = Frame(IEFourCC('Y', 'U', 'Y', '2'), 3, 1, {16, 128, 16, 128, 235, 128});
  EXPECT_EQ(Luma(packed, 2, 0), 255);
}

TEST(VideoFrames, CLJRWidensItsFields) {
  // Y fields all 31, chroma fields 32 (neutral): full white.
  const uint32_t word = (31u << 12) | (31u << 17) | (31u << 22) | (31u << 27) | (32u << 6) | 32u;
  Decoded d = Frame(IEFourCC('C', 'L', 'J', 'R'), 4, 1, Words32({word}));
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Luma(d, x, 0), 255);
}

TEST(IECopyDIB2Bitmap2, DrawsPaletteAndBitFieldDibs) {
  TBitmap bitmap;
  const Bytes eight = Dib(2, 1, 8, BI_RGB, 2, Table({{255, 0, 0}, {0, 255, 0}}), {1, 0, 0, 0});
  EXPECT_EQ(_IECopyDIB2Bitmap2(uintptr_t(eight.data()), &bitmap, nullptr, true, eight.size(), 0), 8);
  EXPECT_EQ(bitmap.GetPixelFormat(), pf24bit);
  EXPECT_EQ(Key(Pixel24(&bitmap, 0, 0)), 0x00FF00u);
  EXPECT_EQ(Key(Pixel24(&bitmap, 1, 0)), 0xFF0000u);

  // 16-bit fields: the pixels follow the masks.
  const Bytes fields = Dib(1, 1, 16, BI_BITFIELDS, 0, Words32({0xF800, 0x07E0, 0x001F}), {0x00, 0xF8, 0, 0});
  EXPECT_EQ(_IECopyDIB2Bitmap2(uintptr_t(fields.data()), &bitmap, nullptr, true, fields.size(), 0), 16);
  EXPECT_GE(Pixel24(&bitmap, 0, 0).r, 0xF0);
  EXPECT_EQ(Pixel24(&bitmap, 0, 0).g, 0);

  TIEDibbitmap dib;
  const Bytes mono = Dib(9, 1, 1, BI_RGB, 0, Table({{0, 0, 0}, {255, 255, 255}}), {0x80, 0x80, 0, 0});
  EXPECT_EQ(_IECopyDIB2Bitmap2Ex(uintptr_t(mono.data()), &dib, nullptr, true, mono.size(), 0), 1);
  EXPECT_EQ(dib.BitCount, 1);
  EXPECT_EQ(dib.GetScanLine(0)[0], 0x80);
  EXPECT_EQ(dib.GetScanLine(0)[1] & 0x80, 0x80);

  // A cut block or an RLE DIB draws nothing.
  bitmap.SetSize(5, 5);
  Bytes cut = eight;
  cut.resize(cut.size() - 1);
  EXPECT_EQ(_IECopyDIB2Bitmap2(uintptr_t(cut.data()), &bitmap, nullptr, true, cut.size(), 0), 8);
  const Bytes rle = Dib(2, 1, 8, BI_RLE8, 0, Table({{0, 0, 0}}), {0, 0, 0, 0});
  EXPECT_EQ(_IECopyDIB2Bitmap2(uintptr_t(rle.data()), &bitmap, nullptr, true, rle.size(), 0), 8);
  EXPECT_EQ(bitmap.GetWidth(), 5);
}

}  // namespace
