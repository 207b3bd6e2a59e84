#include <gtest/gtest.h>

#include <iterator>

#include "iebitmap_fixture.h"
#include "imaging/core/iebitmap.h"

TEST(IEBitmapConversions, ColourToGrayAndBackInEveryStorage) {
  struct Case {
    TRGB colour;
    uint8_t gray;
  } cases[] = {
      {{0, 0, 255}, 53}, {{0, 255, 0}, 181}, {{255, 0, 0}, 20}, {{255, 255, 255}, 255}, {{0, 0, 0}, 0},
  };
  const int n = static_cast<int>(std::size(cases));
  for (TIELocation location : {ieMemory, ieFile, ieTBitmap}) {
    auto bitmap = MakeBitmap(location, n, 2, ie24RGB);
    for (int x = 0; x < n; ++x) {
      bitmap->SetPixels_ie24RGB(x, 0, cases[x].colour);
      bitmap->SetPixels_ie24RGB(x, 1, cases[x].colour);
    }
    bitmap->GetAlphaChannel();
    bitmap->SetPixelFormat(ie8g);
    ASSERT_EQ(bitmap->PixelFormat, ie8g) << location;
    EXPECT_EQ(bitmap->Width, n);
    EXPECT_EQ(bitmap->Location, location);
    EXPECT_FALSE(bitmap->GetHasAlphaChannel());
    for (int x = 0; x < n; ++x) EXPECT_EQ(bitmap->GetPixels_ie8(x, 1), cases[x].gray) << location << " " << x;

    bitmap->SetPixelFormat(ie24RGB);
    ASSERT_EQ(bitmap->PixelFormat, ie24RGB);
    for (int x = 0; x < n; ++x) {
      const uint8_t g = cases[x].gray;
      EXPECT_EQ(bitmap->GetPixels_ie24RGB(x, 0), (TRGB{g, g, g})) << location << " " << x;
    }
  }
}

TEST(IEBitmapConversions, BlackAndWhiteToColour) {
  for (TIELocation location : {ieMemory, ieFile, ieTBitmap}) {
    auto bitmap = MakeBitmap(location, 10, 3, ie1g);
    bitmap->Fill(0);
    bitmap->SetPixels_ie1g(9, 2, true);
    bitmap->SetPixels_ie1g(0, 0, true);
    bitmap->ConvertToPixelFormat(ie24RGB);
    ASSERT_EQ(bitmap->PixelFormat, ie24RGB);
    EXPECT_EQ(bitmap->GetPixels_ie24RGB(9, 2), (TRGB{255, 255, 255})) << location;
    EXPECT_EQ(bitmap->GetPixels_ie24RGB(0, 0), (TRGB{255, 255, 255})) << location;
    EXPECT_EQ(bitmap->GetPixels_ie24RGB(8, 2), (TRGB{0, 0, 0})) << location;
  }
}

TEST(IEBitmapConversions, WrappedBitmapIsConvertedInPlace) {
  TBitmap caller;
  ShapePlatformBitmap(caller, pf24bit, 4, 2);
  TIEBitmap bitmap;
  bitmap.EncapsulateTBitmap(&caller);
  bitmap.SetPixels_ie24RGB(3, 1, {0, 255, 0});
  bitmap.SetPixelFormat(ie8g);
  EXPECT_TRUE(bitmap.Encapsulated);
  EXPECT_EQ(bitmap.GetTBitmap(), &caller);
  EXPECT_EQ(caller.GetPixelFormat(), pf8bit);
  EXPECT_EQ(caller.ScanLine(1)[3], 181);
}

TEST(IEBitmapConversions, PairsNotHandledHereLeaveThePictureAlone) {
  auto bitmap = MakeBitmap(ieMemory, 3, 3, ie24RGB);
  bitmap->Fill(clRed);
  bitmap->SetPixelFormat(ie16g);
  EXPECT_EQ(bitmap->PixelFormat, ie24RGB);
  EXPECT_EQ(bitmap->GetPixels_ie24RGB(2, 2), (TRGB{0, 0, 255}));
  bitmap->ConvertToPixelFormat(ie24RGB);
  EXPECT_EQ(bitmap->GetPixels_ie24RGB(2, 2), (TRGB{0, 0, 255}));
}

TEST(IEBitmapConversions, PlatformBitmapRoundTrip) {
  struct Case {
    TIEPixelFormat format;
    TPixelFormat platform;
  } cases[] = {{ie1g, pf1bit}, {ie8p, pf8bit}, {ie24RGB, pf24bit}};
  for (const Case& c : cases) {
    for (TIELocation location : {ieMemory, ieFile}) {
      auto bitmap = MakeBitmap(location, 13, 4, c.format);
      for (int y = 0; y < 4; ++y) {
        uint8_t* row = bitmap->GetScanLine(y);
        for (int i = 0; i < bitmap->RowLen; ++i) row[i] = static_cast<uint8_t>(y * 40 + i);
      }
      if (c.format == ie8p) bitmap->SetPalette(3, {1, 2, 3});
      TBitmap platform;
      bitmap->CopyToTBitmap(&platform);
      ASSERT_EQ(platform.GetPixelFormat(), c.platform);
      ASSERT_EQ(platform.GetWidth(), 13);
      ASSERT_EQ(platform.GetHeight(), 4);

      TIEBitmap back;
      back.Location = location;
      back.FileThreshold = 0;
      back.Full = true;
      back.CopyFromTBitmap(&platform);
      ASSERT_EQ(back.PixelFormat, c.format);
      EXPECT_FALSE(back.Full);
      for (int y = 0; y < 4; ++y) {
        const uint8_t* row = back.GetScanLine(y);
        for (int i = 0; i < back.RowLen; ++i) ASSERT_EQ(row[i], static_cast<uint8_t>(y * 40 + i)) << c.format;
      }
      if (c.format == ie8p) {
        EXPECT_EQ(back.GetPalette(3), (TRGB{1, 2, 3}));
      }
    }
  }
}

TEST(IEBitmapConversions, GrayPicturesGoOutWithAGrayRamp) {
  auto gray16 = MakeBitmap(ieMemory, 3, 1, ie16g);
  gray16->SetPixels_ie16g(0, 0, 0xAB12);
  gray16->SetPixels_ie16g(2, 0, 0x0102);
  auto gray8 = MakeBitmap(ieFile, 3, 1, ie8g);
  gray8->Fill(0x80);
  for (TIEBitmap* bitmap : {gray16.get(), gray8.get()}) {
    TBitmap platform;
    bitmap->CopyToTBitmap(&platform);
    ASSERT_EQ(platform.GetPixelFormat(), pf8bit);
    TPaletteEntry ramp[256];
    ASSERT_EQ(platform.GetPaletteEntries(0, 256, ramp), 256);
    EXPECT_EQ(ramp[77].peRed, 77);
    EXPECT_EQ(ramp[77].peBlue, 77);
    if (bitmap == gray16.get()) {
      EXPECT_EQ(platform.ScanLine(0)[0], 0xAB);  // the high byte
      EXPECT_EQ(platform.ScanLine(0)[2], 0x01);
    } else {
      EXPECT_EQ(platform.ScanLine(0)[1], 0x80);
    }
  }
}
