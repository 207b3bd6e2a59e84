#include "imaging/core/iedibbitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

TEST(DibBitmap, EmptyUntilAllocatedWithAPreparedHeader) {
  TIEDibbitmap dib;
  EXPECT_EQ(dib.GetWidth(), 0);
  EXPECT_EQ(dib.GetPixelFormat(), ienull);
  EXPECT_EQ(dib.GetScanLine(0), nullptr);
  EXPECT_EQ(sizeof(dib.BitmapInfo), 48u);
  EXPECT_EQ(dib.BitmapInfo.bmiHeader.biSize, 40u);
  EXPECT_EQ(dib.BitmapInfo.bmiHeader.biPlanes, 1);
  EXPECT_EQ(dib.BitmapInfo.bmiHeader.biCompression, BI_RGB);
  EXPECT_EQ(dib.BitmapInfo.bmiColors[0].rgbRed, 0);
  EXPECT_EQ(dib.BitmapInfo.bmiColors[1].rgbRed, 255);
  EXPECT_EQ(dib.BitmapInfo.bmiColors[1].rgbGreen, 255);
  EXPECT_EQ(dib.BitmapInfo.bmiColors[1].rgbBlue, 255);

  // Zero sizes and other depths are ignored.
  for (auto [w, h, bits] : {std::tuple{0, 5, 24}, std::tuple{5, 0, 1}, std::tuple{5, 5, 8},
                            std::tuple{-3, 5, 24}}) {
    dib.AllocateBits(w, h, bits);
    EXPECT_EQ(dib.Bits, nullptr);
  }
  dib.Allocate(5, 5, ie8g);
  EXPECT_EQ(dib.Bits, nullptr);
}

TEST(DibBitmap, RowsLieBottomUpInAZeroedBlock) {
  struct Case {
    TIEPixelFormat format;
    int bits, rowLen;
  };
  for (const Case& c : {Case{ie24RGB, 24, 32}, Case{ie1g, 1, 4}}) {
    TIEDibbitmap dib;
    dib.Allocate(10, 5, c.format);
    ASSERT_NE(dib.Bits, nullptr);
    EXPECT_EQ(dib.GetPixelFormat(), c.format);
    EXPECT_EQ(dib.GetBitCount(), c.bits);
    EXPECT_EQ(dib.GetRowLen(), c.rowLen);
    EXPECT_EQ(dib.BitmapInfo.bmiHeader.biWidth, 10);
    EXPECT_EQ(dib.BitmapInfo.bmiHeader.biHeight, 5);
    EXPECT_EQ(dib.BitmapInfo.bmiHeader.biBitCount, c.bits);
    EXPECT_EQ(dib.BitmapInfo.bmiHeader.biSizeImage, uint32_t(c.rowLen * 5));
    EXPECT_EQ(dib.GetScanLine(4), dib.Bits);
    EXPECT_EQ(dib.GetScanLine(0), dib.Bits + 4 * c.rowLen);
    for (int i = 0; i < c.rowLen * 5; ++i) ASSERT_EQ(dib.Bits[i], 0);
  }
}

TEST(DibBitmap, AssignCopiesOnlyAnotherDib) {
  TIEDibbitmap source;
  source.AllocateBits(3, 2, 24);
  for (int i = 0; i < source.RowLen * 2; ++i) source.Bits[i] = static_cast<uint8_t>(i + 1);

  TIEDibbitmap copy;
  copy.AllocateBits(50, 50, 1);
  copy.Assign(&source);
  ASSERT_EQ(copy.GetWidth(), 3);
  EXPECT_EQ(copy.GetHeight(), 2);
  EXPECT_EQ(copy.GetBitCount(), 24);
  EXPECT_EQ(std::memcmp(copy.Bits, source.Bits, 24), 0);

  TObject other;
  copy.Assign(&other);
  EXPECT_EQ(copy.GetWidth(), 3);

  copy.FreeBits();
  EXPECT_EQ(copy.Bits, nullptr);
  EXPECT_EQ(copy.GetWidth(), 0);
  EXPECT_EQ(copy.GetRowLen(), 0);
}

TEST(DibBitmap, CopyToTBitmapKeepsRowsAndDepth) {
  TIEDibbitmap dib;
  dib.AllocateBits(3, 2, 24);
  TRGB* top = reinterpret_cast<TRGB*>(dib.GetScanLine(0));
  TRGB* bottom = reinterpret_cast<TRGB*>(dib.GetScanLine(1));
  top[0] = {1, 2, 3};
  bottom[2] = {7, 8, 9};
  TBitmap bitmap;
  dib.CopyToTBitmap(&bitmap);
  ASSERT_EQ(bitmap.GetWidth(), 3);
  ASSERT_EQ(bitmap.GetHeight(), 2);
  EXPECT_EQ(bitmap.GetPixelFormat(), pf24bit);
  EXPECT_EQ(reinterpret_cast<TRGB*>(bitmap.ScanLine(0))[0], (TRGB{1, 2, 3}));
  EXPECT_EQ(reinterpret_cast<TRGB*>(bitmap.ScanLine(1))[2], (TRGB{7, 8, 9}));

  TIEDibbitmap mono;
  mono.AllocateBits(9, 1, 1);
  mono.GetScanLine(0)[0] = 0x81;
  mono.GetScanLine(0)[1] = 0x80;
  mono.CopyToTBitmap(&bitmap);
  EXPECT_EQ(bitmap.GetPixelFormat(), pf1bit);
  EXPECT_EQ(bitmap.GetWidth(), 9);
  EXPECT_EQ(bitmap.ScanLine(0)[0], 0x81);
  EXPECT_EQ(bitmap.ScanLine(0)[1] & 0x80, 0x80);
}

TEST(WorkBitmap, RowsAndTypedAddresses) {
  TIEWorkBitmap work(10, 4, 8);
  EXPECT_EQ(work.RowLen, 12);
  ASSERT_NE(work.Bits, nullptr);
  EXPECT_EQ(work.GetPByte(0, 0), work.Bits + 3 * 12);
  EXPECT_EQ(work.GetPByte(3, 5), work.Bits + 5);

  struct Case {
    int bits, rowLen, step;
  };
  for (const Case& c : {Case{24, 32, 3}, Case{32, 40, 4}, Case{64, 80, 8}, Case{1, 4, 0}}) {
    TIEWorkBitmap w(10, 2, c.bits);
    EXPECT_EQ(w.RowLen, c.rowLen) << c.bits;
    EXPECT_EQ(w.GetScanline(1), w.Bits) << c.bits;
    uint8_t* top = w.GetScanline(0);
    if (c.bits == 24) {
      EXPECT_EQ(reinterpret_cast<uint8_t*>(w.GetPRGB(0, 2)), top + 6);
    } else if (c.bits == 32) {
      EXPECT_EQ(reinterpret_cast<uint8_t*>(w.GetPSingle(0, 2)), top + 8);
      EXPECT_EQ(reinterpret_cast<uint8_t*>(w.GetPInteger(0, 3)), top + 12);
    } else if (c.bits == 64) {
      EXPECT_EQ(reinterpret_cast<uint8_t*>(w.GetPDouble(0, 2)), top + 16);
    }
  }

  TIEWorkBitmap bits(16, 1, 1);
  bits.Bits[0] = 0x00;
  bits.Bits[1] = 0xFF;
  bits.SetBit(0, 0, true);
  bits.SetBit(0, 9, false);
  EXPECT_EQ(bits.Bits[0], 0x80);
  EXPECT_EQ(bits.Bits[1], 0xBF);
}

TEST(WorkBitmap, ReusedWithoutClearingWhenNothingChanges) {
  TIEWorkBitmap work(0, 4, 8);
  EXPECT_EQ(work.Bits, nullptr);
  EXPECT_EQ(work.Width, 0);

  work.AllocateBits(4, 4, 8);
  uint8_t* block = work.Bits;
  block[0] = 42;
  work.AllocateBits(4, 4, 8);
  EXPECT_EQ(work.Bits, block);
  EXPECT_EQ(work.Bits[0], 42);

  work.AllocateBits(4, 4, 24);
  EXPECT_EQ(work.BitCount, 24);
  EXPECT_EQ(work.RowLen, 12);
  work.FreeBits();
  EXPECT_EQ(work.Bits, nullptr);
  EXPECT_EQ(work.Width + work.Height + work.BitCount + work.RowLen, 0);
}

TEST(WorkBitmap, OversizedBuffersRaiseOutOfMemory) {
  // A row longer than 32 bits can count.
  EXPECT_THROW(TIEWorkBitmap(INT_MAX, 1, 64), EOutOfMemory);
#if !defined(__SANITIZE_ADDRESS__)
  // Rows that fit, but a block no machine has (1.5 * 2^50 bytes).
  EXPECT_THROW(TIEWorkBitmap(1 << 20, 1 << 30, 12), EOutOfMemory);
#endif
  TIEWorkBitmap work(2, 2, 8);
  EXPECT_THROW(work.AllocateBits(INT_MAX, 2, 64), EOutOfMemory);
  EXPECT_EQ(work.Bits, nullptr);
  EXPECT_EQ(work.Width, 0);
}
