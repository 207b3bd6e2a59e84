#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <tuple>
#include <memory>
#include <span>
#include <vector>

#include "iebitmap_fixture.h"
#include "imaging/core/iebitmap.h"
#include "imaging/core/iebits.h"
#include "imaging/core/iedibbitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/core/neurquant.h"
#include "imaging/proc/iecolordepth.h"
#include "platform/graphics.h"

namespace {

TRGB Rgb(uint8_t r, uint8_t g, uint8_t b) { return TRGB{b, g, r}; }

// A one-row picture of the given format holding the given pixels; an ie8p
// picture gets palette entry i = (i, 255 - i, 7).
std::unique_ptr<TIEBitmap> RowPicture(TIEPixelFormat format, const std::vector<int>& values,
                                      TIELocation location = ieMemory) {
  auto bmp = std::make_unique<TIEBitmap>();
  if (location == ieFile) bmp->FileThreshold = 0;  // even tiny pictures go to a file
  bmp->SetLocation(location);
  bmp->Allocate(static_cast<int>(values.size()), 1, format);
  for (int x = 0; x < static_cast<int>(values.size()); ++x) {
    const int v = values[x];
    switch (format) {
      case ie1g: bmp->SetPixels_ie1g(x, 0, v != 0); break;
      case ie8p:
      case ie8g: bmp->SetPixels_ie8(x, 0, static_cast<uint8_t>(v)); break;
      case ie16g: bmp->SetPixels_ie16g(x, 0, static_cast<uint16_t>(v)); break;
      case ie24RGB: bmp->SetPixels_ie24RGB(x, 0, Rgb(v >> 16, (v >> 8) & 255, v & 255)); break;
      default: break;
    }
  }
  if (format == ie8p)
    for (int i = 0; i < 256; ++i) bmp->SetPalette(i, Rgb(i, 255 - i, 7));
  return bmp;
}

// Pixel x of row 0 in the picture's own terms: the bit, the byte, the word
// or the colour as 0xRRGGBB.
int Value(TIEBitmap& bmp, int x, int y = 0) {
  switch (bmp.PixelFormat) {
    case ie1g: return bmp.GetPixels_ie1g(x, y) ? 1 : 0;
    case ie8p:
    case ie8g: return bmp.GetPixels_ie8(x, y);
    case ie16g: return bmp.GetPixels_ie16g(x, y);
    case ie24RGB: {
      const TRGB c = bmp.GetPixels_ie24RGB(x, y);
      return (c.r << 16) | (c.g << 8) | c.b;
    }
    default: return -1;
  }
}

TEST(ConvertToPixelFormatTest, ConvertsEveryPairByTheTables) {
  struct Case {
    TIEPixelFormat from, to;
    std::vector<int> in, out;
  };
  const int red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
  // Palette entry i of the ie8p sources is (i, 255 - i, 7).
  const std::vector<Case> cases{
      {ie24RGB, ie8g, {red, green, blue, white, 0}, {53, 181, 20, 255, 0}},
      {ie24RGB, ie16g, {red, green, blue, white, 0}, {13839, 46544, 4896, 65280, 0}},
      {ie1g, ie8g, {0, 1}, {0, 255}},
      {ie1g, ie16g, {0, 1}, {0, 65535}},
      {ie1g, ie24RGB, {0, 1}, {0, white}},
      {ie8p, ie24RGB, {0, 100}, {0x00FF07, 0x649B07}},
      {ie8p, ie8g, {0, 100}, {181, (21 * 100 + 71 * 155 + 8 * 7) / 100}},
      {ie8p, ie16g, {0, 100}, {(713 * 255 + 75 * 7) * 256 / 1000, (212 * 100 + 713 * 155 + 75 * 7) * 256 / 1000}},
      {ie8g, ie16g, {0, 1, 200, 255}, {0, 256, 51200, 65280}},
      {ie8g, ie24RGB, {0, 200}, {0, 0xC8C8C8}},
      {ie16g, ie8g, {255, 256, 65535}, {0, 1, 255}},
      {ie16g, ie24RGB, {0x12FF, 0xAB00}, {0x121212, 0xABABAB}},
  };
  for (const Case& c : cases) {
    for (TIELocation location : {ieMemory, ieFile}) {
      SCOPED_TRACE(testing::Message() << int(c.from) << " -> " << int(c.to) << " at " << int(location));
      auto bmp = RowPicture(c.from, c.in, location);
      ASSERT_EQ(bmp->Location, location);
      bmp->ConvertToPixelFormat(c.to);
      ASSERT_EQ(bmp->PixelFormat, c.to);
      EXPECT_EQ(bmp->Location, location);
      ASSERT_EQ(bmp->Width, static_cast<int>(c.in.size()));
      for (size_t x = 0; x < c.out.size(); ++x) EXPECT_EQ(Value(*bmp, int(x)), c.out[x]) << x;
    }
  }
}

TEST(ConvertToPixelFormatTest, PaletteTargets) {
  // 1 bit: indices 0 and 1, black and white entries, the rest black.
  auto bw = RowPicture(ie1g, {1, 0, 1});
  bw->ConvertToPixelFormat(ie8p);
  EXPECT_EQ(Value(*bw, 0), 1);
  EXPECT_EQ(Value(*bw, 1), 0);
  EXPECT_EQ(bw->GetPalette(0), Rgb(0, 0, 0));
  EXPECT_EQ(bw->GetPalette(1), Rgb(255, 255, 255));

  // Gray sources index a gray ramp.
  for (auto [format, in, index] : {std::tuple{ie8g, 77, 77}, {ie16g, 0x4DFF, 0x4D}}) {
    auto gray = RowPicture(format, {in});
    gray->ConvertToPixelFormat(ie8p);
    EXPECT_EQ(Value(*gray, 0), index);
    for (int i : {0, 77, 255}) EXPECT_EQ(gray->GetPalette(i), Rgb(i, i, i));
  }

  // True colour: the quantiser's 256-colour palette and its indices.
  std::vector<int> colours;
  for (int i = 0; i < 300; ++i) colours.push_back((i * 2654435761u) & 0xFFFFFF);
  auto rgb = RowPicture(ie24RGB, colours);
  std::vector<TRGB> expected(256);
  TIEQuantizer quantizer(rgb.get(), std::span<TRGB>(expected), 256, -1);
  std::vector<int> indices;
  for (int x = 0; x < 300; ++x) indices.push_back(quantizer.GetRGBIndex(rgb->GetPixels_ie24RGB(x, 0)));
  rgb->ConvertToPixelFormat(ie8p);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(rgb->GetPalette(i), expected[i]) << i;
  for (int x = 0; x < 300; ++x) EXPECT_EQ(Value(*rgb, x), indices[x]) << x;
}

TEST(ConvertToPixelFormatTest, OrderedDitheringToOneBit) {
  struct Case {
    const char* name;
    TIEPixelFormat from;
    int value;
    int level;  // 0..63
  };
  for (const Case& c : {Case{"black", ie8g, 0, 0}, Case{"mid gray", ie8g, 128, 32},
                        Case{"white", ie8g, 255, 63}, Case{"16-bit", ie16g, 0x8000, 32},
                        Case{"colour", ie24RGB, 0x4080C0, (21 * 0x40 + 71 * 0x80 + 8 * 0xC0) / 400},
                        Case{"palette", ie8p, 100, ((21 * 100 + 71 * 155 + 8 * 7) / 100) >> 2}}) {
    SCOPED_TRACE(c.name);
    auto bmp = std::make_unique<TIEBitmap>();
    bmp->Allocate(16, 16, c.from);
    auto row = RowPicture(c.from, std::vector<int>(16, c.value));
    for (int y = 0; y < 16; ++y) std::memcpy(bmp->GetScanLine(y), row->GetScanLine(0), row->RowLen);
    if (c.from == ie8p)
      for (int i = 0; i < 256; ++i) bmp->SetPalette(i, row->GetPalette(i));
    bmp->ConvertToPixelFormat(ie1g);
    int white = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const bool expect = c.level > BWORDERPATTERN[(x % 8) * 8 + (y % 8)];
        EXPECT_EQ(Value(*bmp, x, y), expect ? 1 : 0) << x << "," << y;
        white += Value(*bmp, x, y);
      }
    if (c.level == 0) EXPECT_EQ(white, 0);
    if (c.level == 32) EXPECT_EQ(white, 128);  // half of every 8 x 8 tile
    if (c.level == 63) {
      EXPECT_EQ(white, 256 - 4);
      EXPECT_EQ(Value(*bmp, 7, 0), 0);
      EXPECT_EQ(Value(*bmp, 15, 8), 0);
    }
  }
}

TEST(ConvertToPixelFormatTest, BlackAndWhiteRoundTripLosesOnlyTheTopMatrixCell) {
  auto bmp = std::make_unique<TIEBitmap>();
  bmp->Allocate(16, 9, ie1g);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 16; ++x) bmp->SetPixels_ie1g(x, y, (x * 7 + y * 3) % 5 != 0);
  bmp->ConvertToPixelFormat(ie24RGB);
  bmp->ConvertToPixelFormat(ie1g);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool was = (x * 7 + y * 3) % 5 != 0;
      EXPECT_EQ(bmp->GetPixels_ie1g(x, y), was && !(x % 8 == 7 && y % 8 == 0)) << x << "," << y;
    }
}

TEST(ConvertToPixelFormatTest, DropsTheAlphaChannelAndHandlesEmptyPictures) {
  auto bmp = RowPicture(ie24RGB, {1, 2, 3});
  bmp->GetAlphaChannel()->Fill(255);
  bmp->ConvertToPixelFormat(ie8g);
  EXPECT_FALSE(bmp->GetHasAlphaChannel());
  EXPECT_EQ(bmp->Width, 3);

  TIEBitmap empty;
  empty.ConvertToPixelFormat(ie24RGB);
  EXPECT_EQ(empty.Width, 0);
  EXPECT_EQ(empty.PixelFormat, ie24RGB);

  bmp->ConvertToPixelFormat(ienull);
  EXPECT_EQ(bmp->Width, 0);
  EXPECT_EQ(bmp->PixelFormat, ienull);
}

TEST(ConvertToPixelFormatTest, PlatformStorageKeepsTheCallersBitmap) {
  TBitmap platform;
  platform.SetPixelFormat(pf1bit);
  platform.SetSize(10, 2);
  std::fill_n(platform.ScanLine(0), platform.BytesPerLine(), 0);
  std::fill_n(platform.ScanLine(1), platform.BytesPerLine(), 0);
  platform.ScanLine(0)[0] = 0x81;  // pixels 0 and 7 white
  platform.ScanLine(1)[1] = 0x40;  // pixel 9 white
  {
    TIEBitmap bmp;
    bmp.EncapsulateTBitmap(&platform);
    bmp.ConvertToPixelFormat(ie24RGB);
    EXPECT_EQ(bmp.PixelFormat, ie24RGB);
    EXPECT_EQ(bmp.GetTBitmap(), &platform);
    ASSERT_EQ(platform.GetPixelFormat(), pf24bit);
    EXPECT_EQ(Value(bmp, 0), 0xFFFFFF);
    EXPECT_EQ(Value(bmp, 1), 0);
    EXPECT_EQ(Value(bmp, 9, 1), 0xFFFFFF);
    EXPECT_EQ(platform.ScanLine(0)[7 * 3], 255);

    bmp.ConvertToPixelFormat(ie1g);
    ASSERT_EQ(platform.GetPixelFormat(), pf1bit);
    EXPECT_EQ(platform.ScanLine(0)[0], 0x80);  // white at (7, 0) meets the matrix's 63
    EXPECT_EQ(platform.ScanLine(1)[1] & 0xC0, 0x40);
  }
  EXPECT_EQ(platform.GetWidth(), 10);  // still alive and the caller's

  TIEBitmap owned;
  owned.SetLocation(ieTBitmap);
  owned.Allocate(3, 1, ie8g);
  owned.SetPixels_ie8(1, 0, 99);
  owned.ConvertToPixelFormat(ie24RGB);
  EXPECT_EQ(owned.Location, ieTBitmap);
  EXPECT_EQ(owned.GetTBitmap()->GetPixelFormat(), pf24bit);
  EXPECT_EQ(Value(owned, 1), 0x636363);
}

TEST(CopyToTBitmapTest, EachFormatGetsItsPlatformFormatPaletteAndRows) {
  struct Case {
    TIEPixelFormat format;
    std::vector<int> values;
    TPixelFormat platformFormat;
    std::vector<uint8_t> firstBytes;
  };
  for (const Case& c : {Case{ie1g, {1, 0, 1}, pf1bit, {0xA0}},
                        Case{ie8p, {5, 250}, pf8bit, {5, 250}},
                        Case{ie8g, {5, 250}, pf8bit, {5, 250}},
                        Case{ie16g, {0x12FF, 0xAB01}, pf8bit, {0x12, 0xAB}},
                        Case{ie24RGB, {0x102030}, pf24bit, {0x30, 0x20, 0x10}}}) {
    SCOPED_TRACE(int(c.format));
    auto bmp = RowPicture(c.format, c.values);
    TBitmap platform;
    platform.SetSize(50, 40);
    bmp->CopyToTBitmap(&platform);
    EXPECT_EQ(platform.GetPixelFormat(), c.platformFormat);
    EXPECT_EQ(platform.GetWidth(), bmp->Width);
    EXPECT_EQ(platform.GetHeight(), 1);
    for (size_t i = 0; i < c.firstBytes.size(); ++i)
      EXPECT_EQ(platform.ScanLine(0)[i] & (c.format == ie1g ? 0xE0 : 0xFF), c.firstBytes[i]) << i;
    TPaletteEntry pal[256]{};
    if (c.platformFormat == pf1bit) {
      ASSERT_EQ(platform.GetPaletteEntries(0, 2, pal), 2);
      EXPECT_EQ(pal[0].peRed + pal[0].peGreen + pal[0].peBlue, 0);
      EXPECT_EQ(pal[1].peRed + pal[1].peGreen + pal[1].peBlue, 765);
      EXPECT_TRUE(platform.GetMonochrome());
    } else if (c.platformFormat == pf8bit) {
      ASSERT_EQ(platform.GetPaletteEntries(0, 256, pal), 256);
      const TRGB want = c.format == ie8p ? bmp->GetPalette(250) : Rgb(250, 250, 250);
      EXPECT_EQ(pal[250].peRed, want.r);
      EXPECT_EQ(pal[250].peGreen, want.g);
      EXPECT_EQ(pal[250].peBlue, want.b);
    }
  }
}

TEST(CopyFromTBitmapTest, ReadsEveryPlatformFormat) {
  struct Case {
    TPixelFormat platformFormat;
    std::vector<uint8_t> row;
    TIEPixelFormat format;
    std::vector<int> values;
  };
  for (const Case& c : {Case{pf1bit, {0xA0}, ie1g, {1, 0, 1}},
                        Case{pf8bit, {7, 200}, ie8p, {7, 200}},
                        Case{pf15bit, {0xFF, 0x7F, 0x1F, 0x00}, ie24RGB, {0xF8F8F8, 0x0000F8}},
                        Case{pf16bit, {0xFF, 0xFF, 0x00, 0xF8}, ie24RGB, {0xF8FCF8, 0xF80000}},
                        Case{pf24bit, {1, 2, 3}, ie24RGB, {0x030201}},
                        Case{pf32bit, {1, 2, 3, 9, 4, 5, 6, 9}, ie24RGB, {0x030201, 0x060504}}}) {
    SCOPED_TRACE(int(c.platformFormat));
    TBitmap platform;
    platform.SetPixelFormat(c.platformFormat);
    platform.SetSize(static_cast<int>(c.values.size()), 1);
    std::copy(c.row.begin(), c.row.end(), platform.ScanLine(0));
    for (TIELocation location : {ieMemory, ieTBitmap}) {
      TIEBitmap bmp;
      bmp.SetLocation(location);
      bmp.Full = true;
      bmp.CopyFromTBitmap(&platform);
      ASSERT_EQ(bmp.PixelFormat, c.format);
      EXPECT_FALSE(bmp.Full);
      for (size_t x = 0; x < c.values.size(); ++x) EXPECT_EQ(Value(bmp, int(x)), c.values[x]) << x;
      if (c.format == ie8p) {
        TPaletteEntry pal[256]{};
        platform.GetPaletteEntries(0, 256, pal);
        EXPECT_EQ(bmp.GetPalette(200), Rgb(pal[200].peRed, pal[200].peGreen, pal[200].peBlue));
      }
    }
  }
  // A device-dependent bitmap leaves the picture as it was.
  TBitmap device;
  device.SetPixelFormat(pfDevice);
  device.SetSize(4, 4);
  auto bmp = RowPicture(ie8g, {1, 2});
  bmp->CopyFromTBitmap(&device);
  EXPECT_EQ(bmp->PixelFormat, ie8g);
  EXPECT_EQ(bmp->Width, 2);
}

TEST(MaskTransferTest, MasksAndPicturesExchangeRowsAndFull) {
  for (int depth : {1, 8}) {
    SCOPED_TRACE(depth);
    TIEMask mask;
    mask.AllocateBits(13, 3, depth);
    mask.SetPixel(0, 0, 1);
    mask.SetPixel(12, 2, 200);
    mask.Full = true;
    TIEBitmap bmp;
    bmp.CopyFromTIEMask(&mask);
    ASSERT_EQ(bmp.PixelFormat, depth == 1 ? ie1g : ie8g);
    EXPECT_EQ(bmp.Width, 13);
    EXPECT_TRUE(bmp.Full);
    EXPECT_EQ(Value(bmp, 0, 0), 1);
    EXPECT_EQ(Value(bmp, 12, 2), depth == 1 ? 1 : 200);
    EXPECT_EQ(Value(bmp, 11, 2), 0);

    bmp.Full = false;
    if (depth == 1) bmp.SetPixels_ie1g(0, 0, false);
    else bmp.SetPixels_ie8(0, 0, 0);
    TIEMask back;
    bmp.CopyToTIEMask(&back);
    EXPECT_EQ(back.BitCount, depth);
    EXPECT_EQ(back.RowLen, depth == 1 ? 4 : 13);
    EXPECT_EQ(back.GetPixel(0, 0), 0);
    EXPECT_NE(back.GetPixel(12, 2), 0);
    EXPECT_FALSE(back.Full);
    EXPECT_TRUE(back.IsEmpty());  // the box is the caller's to compute
  }
  // No mask: an opaque alpha channel of the present size.
  auto alpha = RowPicture(ie8g, {0, 9, 0});
  alpha->CopyFromTIEMask(nullptr);
  EXPECT_TRUE(alpha->Full);
  EXPECT_EQ(Value(*alpha, 1), 255);
  // Other depths change nothing.
  TIEMask odd;
  odd.AllocateBits(4, 4, 4);
  alpha->CopyFromTIEMask(&odd);
  EXPECT_EQ(alpha->Width, 3);
  auto rgb = RowPicture(ie24RGB, {1});
  TIEMask untouched;
  rgb->CopyToTIEMask(&untouched);
  EXPECT_EQ(untouched.Bits, nullptr);
}

TEST(DibTransferTest, CopyMergeAndExtractRectangles) {
  // 1 bit: a 12 x 3 DIB with a diagonal, merged at an unaligned column.
  TIEDibbitmap dib1;
  dib1.AllocateBits(12, 3, 1);
  for (int y = 0; y < 3; ++y) _SetPixelbw(dib1.GetScanLine(y), y * 5, 1);
  TIEBitmap whole;
  whole.CopyFromTDibBitmap(&dib1);
  ASSERT_EQ(whole.PixelFormat, ie1g);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(Value(whole, x, y), x == y * 5 ? 1 : 0);

  TIEBitmap target;
  target.Allocate(20, 4, ie1g);
  target.Fill(1);
  target.MergeFromTDibBitmap(&dib1, 3, 2);  // only 2 of the 3 rows fit
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool inside = y >= 2 && x >= 3 && x < 15;
      const bool want = inside ? (x - 3 == (y - 2) * 5) : true;
      EXPECT_EQ(Value(target, x, y), want ? 1 : 0) << x << "," << y;
    }

  // Extract from bit 5: the DIB receives min(DIB, asked) columns.
  TIEDibbitmap out1;
  out1.AllocateBits(8, 2, 1);
  whole.CopyToTDibBitmap(&out1, 5, 1, 20, 20);
  EXPECT_EQ(out1.GetScanLine(0)[0], 0x80);  // pixel (5, 1)
  EXPECT_EQ(out1.GetScanLine(1)[0], 0x04);  // pixel (10, 2)

  // 24 bits, with a rectangle that reaches past the picture on every side.
  auto rgb = std::make_unique<TIEBitmap>();
  rgb->Allocate(4, 3, ie24RGB);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) rgb->SetPixels_ie24RGB(x, y, Rgb(x, y, 9));
  TIEDibbitmap out24;
  out24.AllocateBits(6, 6, 24);
  rgb->CopyToTDibBitmap(&out24, -1, -2, 6, 6);
  auto dibPixel = [&](int x, int y) { return reinterpret_cast<TRGB*>(out24.GetScanLine(y))[x]; };
  EXPECT_EQ(dibPixel(1, 2), Rgb(0, 0, 9));
  EXPECT_EQ(dibPixel(4, 4), Rgb(3, 2, 9));
  EXPECT_EQ(dibPixel(0, 0), Rgb(0, 0, 0));
  EXPECT_EQ(dibPixel(5, 4), Rgb(0, 0, 0));

  TIEBitmap canvas24;
  canvas24.Allocate(3, 3, ie24RGB);
  canvas24.Fill(clWhite);
  TIEDibbitmap patch;
  patch.AllocateBits(2, 2, 24);
  canvas24.MergeFromTDibBitmap(&patch, -1, 2);
  EXPECT_EQ(canvas24.GetPixels_ie24RGB(0, 2), Rgb(0, 0, 0));
  EXPECT_EQ(canvas24.GetPixels_ie24RGB(1, 2), Rgb(255, 255, 255));
  EXPECT_EQ(canvas24.GetPixels_ie24RGB(0, 1), Rgb(255, 255, 255));

  // Different depths leave the picture alone.
  canvas24.MergeFromTDibBitmap(&dib1, 0, 0);
  EXPECT_EQ(canvas24.GetPixels_ie24RGB(0, 0), Rgb(255, 255, 255));
}

}  // namespace

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
