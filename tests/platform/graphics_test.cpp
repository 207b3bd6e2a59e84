#include "platform/graphics.h"

#include <gtest/gtest.h>

#include <QColor>

#include "support/testenv.h"

namespace {

QColor PixelAt(const TBitmap& b, int x, int y) { return b.Image().pixelColor(x, y); }

// Black in any format (index 0 of the fresh 1-bit and 8-bit tables is black).
void SetBlack(TBitmap& b, int x, int y) {
  if (b.Image().depth() <= 8) {
    b.Image().setPixel(x, y, 0);
  } else {
    b.Image().setPixelColor(x, y, QColor(0, 0, 0));
  }
}

TEST(Colors, SystemColoursResolveFromTheClassicScheme) {
  struct Case {
    TColor color;
    int32_t rgb;
  } cases[] = {
      {clBtnFace, 0xC0C0C0}, {clBtnShadow, 0x808080}, {clWindow, 0xFFFFFF}, {clWindowText, 0},
      {clHighlight, 0x800000}, {clInfoBk, 0xE1FFFF},  {clRed, 0x0000FF},     {clTeal, 0x808000},
  };
  for (const Case& c : cases) EXPECT_EQ(ColorToRGB(c.color), c.rgb) << std::hex << c.color;
  EXPECT_EQ(GetSysColor(99), 0);
  EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(clBtnFace), QColor(192, 192, 192));
}

TEST(Bitmap, StartsEmptyAs24Bit) {
  TBitmap b;
  EXPECT_EQ(b.GetWidth(), 0);
  EXPECT_EQ(b.GetHeight(), 0);
  EXPECT_TRUE(b.GetEmpty());
  EXPECT_EQ(b.GetPixelFormat(), pf24bit);
  EXPECT_EQ(b.ScanLine(0), nullptr);
}

const TPixelFormat kFormats[] = {pf1bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfDevice};

TEST(Bitmap, GrowingKeepsTheTopLeftAndAddsWhiteInEveryFormat) {
  for (TPixelFormat f : kFormats) {
    TBitmap b;
    b.SetPixelFormat(f);
    b.SetSize(3, 2);
    EXPECT_EQ(PixelAt(b, 2, 1), QColor(255, 255, 255)) << f;
    SetBlack(b, 1, 1);
    b.SetSize(13, 5);
    EXPECT_EQ(b.GetPixelFormat(), f);
    EXPECT_EQ(PixelAt(b, 1, 1), QColor(0, 0, 0)) << f;
    EXPECT_EQ(PixelAt(b, 0, 0), QColor(255, 255, 255)) << f;
    EXPECT_EQ(PixelAt(b, 12, 4), QColor(255, 255, 255)) << f;
    EXPECT_EQ(PixelAt(b, 9, 1), QColor(255, 255, 255)) << f;
    b.SetWidth(2);
    EXPECT_EQ(PixelAt(b, 1, 1), QColor(0, 0, 0)) << f;
  }
}

TEST(Bitmap, FormatChangesKeepThePicture) {
  TBitmap b;
  b.SetSize(9, 3);
  b.Image().setPixelColor(8, 2, QColor(0, 0, 0));
  b.Image().setPixelColor(0, 0, QColor(255, 0, 0));
  for (TPixelFormat f : {pf32bit, pf8bit, pf16bit, pf24bit}) {
    b.SetPixelFormat(f);
    EXPECT_EQ(b.GetPixelFormat(), f);
    EXPECT_EQ(PixelAt(b, 8, 2), QColor(0, 0, 0)) << f;
    EXPECT_EQ(PixelAt(b, 0, 0).red(), 255) << f;
    EXPECT_EQ(PixelAt(b, 1, 0), QColor(255, 255, 255)) << f;
  }
  b.SetMonochrome(true);
  EXPECT_EQ(b.GetPixelFormat(), pf1bit);
  EXPECT_EQ(b.Image().format(), QImage::Format_Mono);
  // Set bits are white; red is nearer to black.
  EXPECT_EQ(b.ScanLine(2)[1] & 0x80, 0);
  EXPECT_EQ(b.ScanLine(0)[0] & 0x80, 0);
  EXPECT_EQ(b.ScanLine(0)[0] & 0x40, 0x40);
}

TEST(Bitmap, RowsStayPutWhenTheBitmapIsCopied) {
  TBitmap a, b;
  a.SetSize(4, 4);
  uint8_t* row = a.ScanLine(2);
  b.Assign(&a);
  EXPECT_EQ(a.ScanLine(2), row);
  row[0] = 7;
  EXPECT_NE(b.ScanLine(2)[0], 7);
  EXPECT_EQ(b.GetWidth(), 4);
  b.Assign(nullptr);
  EXPECT_TRUE(b.GetEmpty());
  EXPECT_EQ(a.ScanLine(-1), nullptr);
  EXPECT_EQ(a.ScanLine(4), nullptr);
}

TEST(Bitmap, PaletteEntries) {
  TBitmap b;
  b.SetPixelFormat(pf1bit);
  TPaletteEntry e[256] = {};
  ASSERT_EQ(b.GetPaletteEntries(0, 256, e), 2);
  EXPECT_EQ(e[0].peRed, 0);
  EXPECT_EQ(e[1].peGreen, 255);

  b.SetPixelFormat(pf8bit);
  b.SetSize(2, 2);
  EXPECT_EQ(b.PaletteSize(), 256);
  TPaletteEntry red{255, 0, 0, 0};
  b.SetPaletteEntries(200, 1, &red);
  ASSERT_EQ(b.GetPaletteEntries(199, 100, e), 57);
  EXPECT_EQ(e[1].peRed, 255);
  EXPECT_EQ(b.Image().colorCount(), 256);
  b.ScanLine(0)[0] = 200;
  EXPECT_EQ(PixelAt(b, 0, 0), QColor(255, 0, 0));

  TBitmap rgb;
  EXPECT_EQ(rgb.GetPaletteEntries(0, 1, e), 0);
}

TEST(Bitmap, BmpStreamRoundTripKeepsFormatAndPixels) {
  for (TPixelFormat f : kFormats) {
    TBitmap b;
    b.SetPixelFormat(f);
    b.SetSize(11, 3);
    SetBlack(b, 10, 2);
    SetBlack(b, 3, 0);
    TMemoryStream s;
    b.SaveToStream(&s);
    const char trailer[] = "tail";
    s.WriteBuffer(trailer, 4);
    s.SetPosition(0);
    TBitmap c;
    c.LoadFromStream(&s);
    EXPECT_EQ(s.GetPosition(), s.GetSize() - 4) << f;
    TPixelFormat expected = f == pfDevice ? pf32bit : f;
    EXPECT_EQ(c.GetPixelFormat(), expected);
    ASSERT_EQ(c.GetWidth(), 11);
    ASSERT_EQ(c.GetHeight(), 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 11; ++x) EXPECT_EQ(PixelAt(c, x, y), PixelAt(b, x, y)) << f << " " << x << "," << y;
  }
}

TEST(Bitmap, BadStreamsRaiseAndLeaveThePicture) {
  TBitmap good;
  good.SetSize(5, 5);
  TMemoryStream whole;
  good.SaveToStream(&whole);

  struct Case {
    const char* what;
    int64_t keep;
    int corruptAt;
  } cases[] = {{"empty", 0, -1}, {"header only", 14, -1}, {"bad magic", -1, 0}, {"cut pixels", 80, -1}};
  for (const Case& c : cases) {
    TMemoryStream s;
    s.WriteBuffer(whole.Memory(), c.keep < 0 ? whole.GetSize() : c.keep);
    if (c.corruptAt >= 0) static_cast<uint8_t*>(s.Memory())[c.corruptAt] = 'X';
    s.SetPosition(0);
    TBitmap b;
    b.SetSize(2, 2);
    EXPECT_THROW(b.LoadFromStream(&s), EInvalidGraphic) << c.what;
    EXPECT_EQ(b.GetWidth(), 2) << c.what;
  }
}

TEST(Bitmap, SavesAndLoadsFiles) {
  cwtest::TempDir dir;
  TBitmap b;
  b.SetSize(4, 2);
  b.Image().setPixelColor(1, 1, QColor(10, 20, 30));
  b.SaveToFile(dir.file("pic.bmp"));
  TBitmap c;
  c.LoadFromFile(dir.file("pic.bmp"));
  EXPECT_EQ(PixelAt(c, 1, 1), QColor(10, 20, 30));
}

}  // namespace
