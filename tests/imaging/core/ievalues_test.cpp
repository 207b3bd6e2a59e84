#include "imaging/core/ievalues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Colours, GrayAndColourPacking) {
  EXPECT_EQ(_RGBToGray(CreateRGB(255, 255, 255)), 255);
  EXPECT_EQ(_RGBToGray(CreateRGB(255, 0, 0)), 53);
  EXPECT_EQ(_RGBToGray(CreateRGB(0, 255, 0)), 181);
  EXPECT_EQ(_RGBToGray(CreateRGB(0, 0, 255)), 20);

  const TRGB rgb = CreateRGB(0x12, 0x34, 0x56);
  EXPECT_EQ(rgb.r, 0x12);
  EXPECT_EQ(rgb.g, 0x34);
  EXPECT_EQ(rgb.b, 0x56);
  EXPECT_EQ(TRGB2TColor(rgb), 0x563412);
  EXPECT_EQ(RGB2TColor(0x12, 0x34, 0x56), 0x563412);
  EXPECT_TRUE(EqualRGB(TColor2TRGB(0x563412), rgb));
  EXPECT_FALSE(EqualRGB(rgb, CreateRGB(0x12, 0x34, 0x57)));
}

TEST(Colours, SystemColoursAreResolved) {
  EXPECT_TRUE(EqualRGB(TColor2TRGB(clBtnFace), TColor2TRGB(ColorToRGB(clBtnFace))));
  EXPECT_EQ(TRGB2TColor(TColor2TRGB(clWindow)), ColorToRGB(clWindow));
}

TEST(Limits, ClampsAndOrders) {
  struct Case {
    int value, low, high, expected;
  };
  for (const Case& c : {Case{5, 0, 3, 3}, Case{-1, 0, 3, 0}, Case{2, 0, 3, 2}, Case{0, 0, 3, 0},
                        Case{3, 0, 3, 3}})
    EXPECT_EQ(ilimit(c.value, c.low, c.high), c.expected) << c.value;
  EXPECT_EQ(blimit(300), 255);
  EXPECT_EQ(blimit(-7), 0);
  EXPECT_EQ(blimit(128), 128);

  EXPECT_EQ(imin(-3, 2), -3);
  EXPECT_EQ(imax(-3, 2), 2);
  EXPECT_EQ(dmin(1.5, -2.5), -2.5);
  EXPECT_EQ(dmax(1.5, -2.5), 1.5);
  // On a tie the first argument is returned (visible with signed zeros).
  EXPECT_TRUE(std::signbit(dmin(-0.0, 0.0)));
  EXPECT_TRUE(std::signbit(dmax(-0.0, 0.0)));

  int x1 = 5, y1 = 1, x2 = 2, y2 = 9;
  OrdCor(x1, y1, x2, y2);
  EXPECT_EQ(x1, 2);
  EXPECT_EQ(y1, 1);
  EXPECT_EQ(x2, 5);
  EXPECT_EQ(y2, 9);

  int a = 1, b = 2;
  iswap(a, b);
  uint32_t da = 0xFFFFFFFF, db = 7;
  dwswap(da, db);
  uint8_t ba = 1, bb = 200;
  bswap(ba, bb);
  EXPECT_EQ(a * 10 + b, 21);
  EXPECT_EQ(da, 7u);
  EXPECT_EQ(db, 0xFFFFFFFFu);
  EXPECT_EQ(ba, 200);
  EXPECT_EQ(bb, 1);
}

TEST(Angles, QuadrantsAndLogarithm) {
  const double pi = std::acos(-1.0);
  EXPECT_NEAR(ArcTan2(1, -1), 3 * pi / 4, 1e-12);
  EXPECT_NEAR(ArcTan2(-1, -1), -3 * pi / 4, 1e-12);
  EXPECT_NEAR(ArcSin(1), pi / 2, 1e-12);
  EXPECT_NEAR(ArcSin(-0.5), -pi / 6, 1e-12);
  EXPECT_NEAR(ArcCos(-1), pi, 1e-12);
  EXPECT_NEAR(ArcCos(0.5), pi / 3, 1e-12);
  EXPECT_NEAR(Tan(pi / 4), 1, 1e-12);
  EXPECT_NEAR(Log10(1000), 3, 1e-12);
}

TEST(Numbers, PowerTable) {
  struct Case {
    double base, exponent, expected;
  };
  for (const Case& c : {Case{2, 10, 1024}, Case{2, -1, 0.5}, Case{0, 3, 0}, Case{0, 0, 1},
                        Case{4, 0.5, 2}, Case{-2, 3, -8}, Case{-3, 2, 9}, Case{10, -3, 0.001},
                        Case{1, 2147483647, 1}, Case{-1, 2147483647, -1}})
    EXPECT_NEAR(IEPower(c.base, c.exponent), c.expected, 1e-12) << c.base << "^" << c.exponent;
}

TEST(Numbers, FloorTowardMinusInfinity) {
  struct Case {
    double x;
    int64_t expected;
  };
  for (const Case& c : {Case{-1.5, -2}, Case{2, 2}, Case{2.9, 2}, Case{-2, -2}, Case{-0.1, -1},
                        Case{1e15 + 0.5, 1000000000000000}})
    EXPECT_EQ(IEFloor(c.x), c.expected) << c.x;
  EXPECT_THROW(IEFloor(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
  EXPECT_THROW(IEFloor(1e30), EInvalidOp);
}

TEST(Numbers, SixtyFourBitHalves) {
  uint32_t low = 0, high = 0;
  EXPECT_FALSE(IEAdd64(0xFFFFFFFF, 0, 1, 0, low, high));
  EXPECT_EQ(low, 0u);
  EXPECT_EQ(high, 1u);
  EXPECT_TRUE(IEAdd64(0xFFFFFFFF, 0xFFFFFFFF, 2, 0, low, high));
  EXPECT_EQ(low, 1u);
  EXPECT_EQ(high, 0u);

  EXPECT_TRUE(IEGreater64(0, 2, 0xFFFFFFFF, 1));
  EXPECT_FALSE(IEGreater64(5, 1, 5, 1));
  EXPECT_TRUE(IEGreater64(6, 1, 5, 1));

  IEMul64(0xFFFFFFFF, 0xFFFFFFFF, low, high);
  EXPECT_EQ(low, 1u);
  EXPECT_EQ(high, 0xFFFFFFFEu);
}

TEST(Numbers, StrToFloatDefTriesBothSeparators) {
  ASSERT_EQ(DecimalSeparator(), '.');
  EXPECT_DOUBLE_EQ(IEStrToFloatDef("1,5", 0), 1.5);
  EXPECT_DOUBLE_EQ(IEStrToFloatDef("2.25", 0), 2.25);
  EXPECT_DOUBLE_EQ(IEStrToFloatDef("-3", 0), -3);
  EXPECT_DOUBLE_EQ(IEStrToFloatDef("abc", 7), 7);
  EXPECT_DOUBLE_EQ(IEStrToFloatDef("", 7), 7);
  // Only the first comma changes, so a thousands-grouped text is no number.
  EXPECT_DOUBLE_EQ(IEStrToFloatDef("1,000,5", 7), 7);
}

TEST(BitsAndRows, RowLengthsAndBitCounts) {
  struct RowCase {
    int64_t width;
    int bits;
    int64_t expected;
  };
  for (const RowCase& c : {RowCase{1, 1, 4}, RowCase{3, 24, 12}, RowCase{10, 24, 32},
                           RowCase{32, 1, 4}, RowCase{33, 1, 8}, RowCase{0, 24, 0},
                           // Past 32 bits: width x bits would wrap in 32-bit arithmetic.
                           RowCase{200000000, 24, 600000000}, RowCase{1000000000, 64, 8000000000}})
    EXPECT_EQ(_BitmapRowLen(c.width, c.bits), c.expected) << c.width << "x" << c.bits;
  EXPECT_EQ(_PixelFormat2RowLen(10, pf24bit), 32);
  EXPECT_EQ(_PixelFormat2RowLen(10, pf1bit), 4);

  struct MaskCase {
    uint32_t mask;
    int expected;
  };
  for (const MaskCase& c : {MaskCase{0x07E0, 6}, MaskCase{0xFFFFFFFF, 32}, MaskCase{0, 0},
                            MaskCase{0x80000000, 1}, MaskCase{0x001F, 5}, MaskCase{0x0F0F, 4}})
    EXPECT_EQ(_GetBitCount(c.mask), c.expected) << std::hex << c.mask;

  struct ColoursCase {
    uint32_t n;
    int expected;
  };
  for (const ColoursCase& c : {ColoursCase{1, 0}, ColoursCase{2, 1}, ColoursCase{3, 2},
                               ColoursCase{5, 3}, ColoursCase{16, 4}, ColoursCase{256, 8},
                               ColoursCase{257, 9}, ColoursCase{0, -1}})
    EXPECT_EQ(_NColToBitsPixel(c.n), c.expected) << c.n;

  EXPECT_EQ(_GetNumCol(8, 1), 256u);
  EXPECT_EQ(_GetNumCol(8, 3), 16777216u);
  EXPECT_EQ(_GetNumCol(8, 4), 0u);
  EXPECT_EQ(_GetNumCol(1, 1), 2u);
}

TEST(BitsAndRows, PixelFormatsBothWays) {
  struct Case {
    TPixelFormat format;
    int bits;
  };
  for (const Case& c : {Case{pf1bit, 1}, Case{pf4bit, 4}, Case{pf8bit, 8}, Case{pf15bit, 15},
                        Case{pf16bit, 16}, Case{pf24bit, 24}, Case{pf32bit, 32}}) {
    EXPECT_EQ(_Pixelformat2BitCount(c.format), c.bits);
    EXPECT_EQ(_Bitcount2Pixelformat(c.bits), c.format);
  }
  EXPECT_EQ(_Pixelformat2BitCount(pfDevice), 0);
  EXPECT_EQ(_Pixelformat2BitCount(pfCustom), 0);
  EXPECT_EQ(_Bitcount2Pixelformat(2), pfCustom);
  EXPECT_EQ(_Bitcount2Pixelformat(0), pfCustom);
}

TEST(BitsAndRows, ReversalsAndSwaps) {
  uint8_t b = 0x01;
  ReverseBitsB(b);
  EXPECT_EQ(b, 0x80);
  b = 0xB4;  // 1011 0100
  ReverseBitsB(b);
  EXPECT_EQ(b, 0x2D);  // 0010 1101

  uint32_t v = 0x00000001;
  ReverseBits(v);
  EXPECT_EQ(v, 0x80000000u);
  v = 0x12345678;
  ReverseBits(v);
  EXPECT_EQ(v, 0x1E6A2C48u);

  EXPECT_EQ(IESwapWord(0x1234), 0x3412);
  EXPECT_EQ(IESwapDWord(0x12345678), 0x78563412u);
}
