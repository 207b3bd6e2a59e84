#include "platform/graphics.h"

#include <gtest/gtest.h>

#include <QColor>

#include <vector>

#include "platform/canvas.h"
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

// A 1-bit BMP whose colour table lists white first: the rows must come back
// as stored, with the palette as stored, so that raw-row readers agree with
// the colours. Also an 8-bit BMP written top-down (negative height).
TEST(Bitmap, PalettedBmpRowsLoadAsStored) {
  auto le16 = [](std::vector<uint8_t>& v, uint32_t x) { v.push_back(x & 0xFF); v.push_back((x >> 8) & 0xFF); };
  auto le32 = [&](std::vector<uint8_t>& v, uint32_t x) { le16(v, x & 0xFFFF); le16(v, x >> 16); };
  auto makeBmp = [&](int bits, int32_t height, const std::vector<uint32_t>& palette,
                     const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> v;
    const uint32_t offBits = 14 + 40 + uint32_t(palette.size()) * 4;
    le16(v, 0x4D42); le32(v, offBits + uint32_t(rows.size())); le32(v, 0); le32(v, offBits);
    le32(v, 40); le32(v, 3); le32(v, uint32_t(height)); le16(v, 1); le16(v, uint16_t(bits));
    le32(v, 0); le32(v, uint32_t(rows.size())); le32(v, 0); le32(v, 0);
    le32(v, uint32_t(palette.size())); le32(v, 0);
    for (uint32_t c : palette) le32(v, c);
    v.insert(v.end(), rows.begin(), rows.end());
    return v;
  };
  auto load = [](const std::vector<uint8_t>& bytes, TBitmap& bitmap) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    stream.SetPosition(0);
    bitmap.LoadFromStream(&stream);
  };

  // White first; bottom row stored first: bottom row 0b101, top row 0b010.
  TBitmap mono;
  load(makeBmp(1, 2, {0x00FFFFFF, 0x00000000}, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}), mono);
  ASSERT_EQ(mono.GetPixelFormat(), pf1bit);
  EXPECT_EQ(mono.ScanLine(0)[0] & 0xE0, 0x40);
  EXPECT_EQ(mono.ScanLine(1)[0] & 0xE0, 0xA0);
  TPaletteEntry entries[2];
  ASSERT_EQ(mono.GetPaletteEntries(0, 2, entries), 2);
  EXPECT_EQ(entries[0].peRed, 255);
  EXPECT_EQ(entries[1].peRed, 0);
  EXPECT_EQ(mono.GetCanvas()->GetPixel(1, 0), clBlack);  // bit set = entry 1 = black
  EXPECT_EQ(mono.GetCanvas()->GetPixel(0, 0), clWhite);

  // 8-bit, top-down: first stored row is the top row.
  TBitmap indexed;
  load(makeBmp(8, -2, {0x000000FF, 0x0000FF00, 0x00FF0000}, {2, 1, 0, 0, 0, 1, 2, 0}), indexed);
  ASSERT_EQ(indexed.GetPixelFormat(), pf8bit);
  EXPECT_EQ(indexed.ScanLine(0)[0], 2);
  EXPECT_EQ(indexed.ScanLine(1)[2], 2);

  // A colour table that runs past the data is refused.
  TBitmap cut;
  std::vector<uint8_t> bad = makeBmp(8, 1, {0, 0, 0}, {0, 0, 0, 0});
  bad[14 + 32] = 200;  // 200 colours claimed
  bad.resize(bad.size());
  EXPECT_THROW(load(bad, cut), EInvalidGraphic);
}
