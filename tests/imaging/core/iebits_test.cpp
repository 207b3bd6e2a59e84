#include "imaging/core/iebits.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// Reference: one bit at a time, bits past the source length read as 0.
void CopyBitsSlowly(std::vector<uint8_t>& dst, const std::vector<uint8_t>& src, int dstBit,
                    int srcBit, int count, int srcLength) {
  for (int i = 0; i < count; ++i) {
    const int s = srcBit + i;
    const bool set = s / 8 < srcLength && (src[s / 8] & (0x80 >> (s % 8)));
    _SetPixelbw(dst.data(), dstBit + i, set);
  }
}

}  // namespace

TEST(CopyBits, MergesWithNeighbouringBits) {
  struct Case {
    uint8_t dst0, dst1;
    uint8_t expected0, expected1;
  };
  const uint8_t src[2] = {0x02, 0x80};  // bits 6, 7, 8 = 1, 0, 1
  for (const Case& c : {Case{0x00, 0x00, 0x01, 0x40}, Case{0xFF, 0xFF, 0xFF, 0x7F}}) {
    uint8_t dst[2] = {c.dst0, c.dst1};
    _CopyBits(dst, src, 7, 6, 3, 2);
    EXPECT_EQ(dst[0], c.expected0);
    EXPECT_EQ(dst[1], c.expected1);
  }
}

TEST(CopyBits, AgreesWithBitByBitCopyAtEveryAlignment) {
  std::mt19937 random(7);
  std::vector<uint8_t> src(12);
  for (auto& b : src) b = static_cast<uint8_t>(random());
  for (int srcBit = 0; srcBit < 16; ++srcBit)
    for (int dstBit = 0; dstBit < 16; ++dstBit)
      for (int count : {1, 7, 8, 9, 24, 40, 70}) {
        std::vector<uint8_t> fast(14), slow(14);
        for (size_t i = 0; i < fast.size(); ++i) fast[i] = slow[i] = static_cast<uint8_t>(random());
        _CopyBits(fast.data(), src.data(), dstBit, srcBit, count, 12);
        CopyBitsSlowly(slow, src, dstBit, srcBit, count, 12);
        ASSERT_EQ(fast, slow) << "src " << srcBit << " dst " << dstBit << " count " << count;
      }
}

TEST(CopyBits, ReadsNoFurtherThanTheSourceLength) {
  // The source lies at the very end of its vector so that a read past its
  // length shows up under the address sanitizer; the missing bits read as 0.
  for (int srcBit : {0, 3}) {
    std::vector<uint8_t> src = {0xFF, 0xFF};
    std::vector<uint8_t> dst(4, 0xAA), expected(4, 0xAA);
    _CopyBits(dst.data(), src.data(), 0, srcBit, 32, 2);
    CopyBitsSlowly(expected, src, 0, srcBit, 32, 2);
    EXPECT_EQ(dst, expected) << srcBit;
  }
}

TEST(CopyBits, NothingForEmptyOrNegativeRuns) {
  const uint8_t src[1] = {0xFF};
  uint8_t dst[1] = {0x00};
  _CopyBits(dst, src, 0, 0, 0, 1);
  _CopyBits(dst, src, 0, 0, -5, 1);
  _CopyBits(dst, src, -1, 0, 4, 1);
  EXPECT_EQ(dst[0], 0x00);
}

TEST(PixelBw, GetAndSetMostSignificantFirst) {
  uint8_t row[2] = {0, 0};
  _SetPixelbw(row, 0, 1);
  _SetPixelbw(row, 9, 5);
  EXPECT_EQ(row[0], 0x80);
  EXPECT_EQ(row[1], 0x40);
  EXPECT_EQ(_GetPixelbw(row, 0), 128);
  EXPECT_EQ(_GetPixelbw(row, 9), 64);
  EXPECT_EQ(_GetPixelbw(row, 1), 0);
  _SetPixelbw(row, 0, 0);
  EXPECT_EQ(row[0], 0x00);
  EXPECT_EQ(row[1], 0x40);
}

TEST(RGB2BGR, SwapsOnlyCountPixels) {
  TRGB pixels[3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  _RGB2BGR(pixels, 2);
  EXPECT_EQ(pixels[0], (TRGB{3, 2, 1}));
  EXPECT_EQ(pixels[1], (TRGB{6, 5, 4}));
  EXPECT_EQ(pixels[2], (TRGB{7, 8, 9}));
}
