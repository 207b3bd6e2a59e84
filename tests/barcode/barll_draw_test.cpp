// Drawing the modules: pixel widths by resolution, bar heights, rotations,
// the readable text's place, Postnet and FIM geometry, read off pictures.
#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <string>

#include "barcode/barll.h"
#include "platform/canvas.h"

namespace {

// A white picture with its own resolution and a canvas on it.
struct Sheet {
  Sheet(int width, int height, int dpi) : image(width, height, QImage::Format_RGB32) {
    image.fill(Qt::white);
    canvas = std::make_unique<TCanvas>(new TImageTarget(&image, dpi, dpi));
  }
  bool Dark(int x, int y) const { return image.valid(x, y) && qGray(image.pixel(x, y)) < 128; }
  // Whether any pixel of the rectangle [l, r) x [t, b) is dark.
  bool Ink(int l, int t, int r, int b) const {
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x)
        if (Dark(x, y)) return true;
    return false;
  }
  QImage image;
  std::unique_ptr<TCanvas> canvas;
};

TPoint Draw(TLLBarcode& b, Sheet& sheet, int x = 0, int y = 0) {
  TPoint size;
  b.ToCanvas(sheet.canvas.get(), x, y, size);
  return size;
}

// First bar module at or after `from` (from 0).
int FirstBar(const TLLBarcode& b, int from) {
  while (from < b.ModuleCount && b.Modules[from] == 0) ++from;
  return from;
}

TEST(BarcodeDrawingTest, ModuleWidthInPixelsFollowsTheResolution) {
  struct Case {
    int dpi;
    lbtCodeSizes size;
    bool highDensity;
    int moduleWidth;
  } cases[] = {
      {96, SC2, false, 1},   // 0.33 mm x 3.78 = 1.25
      {300, SC2, false, 4},  // 3.90
      {600, SC2, false, 8},  // 7.80
      {300, SC9, false, 8},  // 0.66 mm: 7.80
      {300, SC9, true, 4},   // halved: 3.90
      {72, SC0, true, 1},    // 0.135 mm x 2.83 = 0.38 rounds to 0: drawn 1 wide
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dpi);
    TLLBarcode b;
    b.Params->CodeType = EAN_13;
    b.Params->InputCode = "590123412345";
    b.Params->SCSize = c.size;
    b.Params->HDCode = c.highDensity;
    b.Params->HReadable = false;
    Sheet sheet(1200, 1000, c.dpi);
    const int x0 = 3, y0 = 2;
    TPoint size = Draw(b, sheet, x0, y0);
    const int mw = c.moduleWidth, quiet = 10 * mw;
    EXPECT_EQ(size.x, 94 * mw + 2 * quiet + mw + 1);
    for (int i = 0; i < b.ModuleCount; ++i)
      for (int p = 0; p < mw; ++p)
        ASSERT_EQ(sheet.Dark(x0 + quiet + i * mw + p, y0 + 1), b.Modules[i] != 0) << "module " << i;
    EXPECT_FALSE(sheet.Ink(0, 0, x0 + quiet, size.y));  // quiet zone
  }
}

TEST(BarcodeDrawingTest, ExactMillimetrePlacementWithZoomSize) {
  TLLBarcode b;
  b.Params->CodeType = CODE39;
  b.Params->InputCode = "CW";
  b.Params->ZoomSize = true;
  b.Params->HReadable = false;
  Sheet sheet(1000, 400, 300);
  TPoint size = Draw(b, sheet);
  const double a = 0.33 * 300 / 25.4;  // 3.898 pixels a module, not rounded
  EXPECT_EQ(size.x, int(Round((b.ModuleCount - 1) * a)) + 4 + 1);
  // Height factor 56.24 module widths, unrounded: 56.24 x 0.33 mm at 300 dpi.
  EXPECT_EQ(size.y, int(Round(56.24 * 0.33 * 300 / 25.4)) + 1);
  for (int i = 0; i < b.ModuleCount; ++i)
    EXPECT_EQ(sheet.Dark(int(Round((i + 0.5) * a)), 5), b.Modules[i] != 0) << "module " << i;
}

TEST(BarcodeDrawingTest, BarHeightsByHeightPercentAndDigitBars) {
  struct Case {
    int percent;
    int guardBottom;  // rows [0, bottom) are dark
    int digitBottom;
  } cases[] = {
      {100, 74, 68},  // 74.24 modules of 1 pixel; digit bars end at 0.917 of it
      {50, 37, 31},   // cut = 37
      {200, 148, 142},  // cut = -74
      {20, 15, 9},    // cut = 59
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.percent);
    TLLBarcode b;
    b.Params->CodeType = EAN_13;
    b.Params->InputCode = "590123412345";
    b.Params->HeightPercent = c.percent;
    b.Params->HReadable = false;
    Sheet sheet(200, 300, 96);
    TPoint size = Draw(b, sheet);
    EXPECT_EQ(size.y, c.guardBottom + 1);
    const int guard = 10, digit = 10 + FirstBar(b, 3);
    EXPECT_TRUE(sheet.Dark(guard, c.guardBottom - 1));
    EXPECT_FALSE(sheet.Dark(guard, c.guardBottom));
    EXPECT_TRUE(sheet.Dark(digit, c.digitBottom - 1));
    EXPECT_FALSE(sheet.Dark(digit, c.digitBottom));
  }
}

TEST(BarcodeDrawingTest, ReduceWidthTakesOnePixelOffEachBar) {
  TLLBarcode b;
  b.Params->CodeType = EAN_8;
  b.Params->ReduceWidth = true;
  b.Params->HReadable = false;
  Sheet sheet(400, 300, 300);
  Draw(b, sheet);
  // The first guard bar: one module of 4 pixels drawn 3 wide.
  EXPECT_TRUE(sheet.Dark(0, 5));
  EXPECT_TRUE(sheet.Dark(2, 5));
  EXPECT_FALSE(sheet.Dark(3, 5));
  // A module of 1 pixel stays 1 pixel.
  b.Params->CodeType = EAN_8;
  Sheet screen(200, 100, 96);
  Draw(b, screen);
  EXPECT_TRUE(screen.Dark(0, 5));
}

TEST(BarcodeDrawingTest, RotationsTurnTheSymbolInsideItsBox) {
  auto render = [](lbtCodeRotate rotate, TPoint& size) {
    TLLBarcode b;
    b.Params->CodeType = CODE39;
    b.Params->InputCode = "AB";
    b.Params->HReadable = false;
    b.Params->Rotate = rotate;
    auto sheet = std::make_unique<Sheet>(200, 200, 96);
    size = Draw(b, *sheet, 5, 7);
    return sheet;
  };
  TPoint flat;
  auto upright = render(rotate_000, flat);
  const int W = flat.x, H = flat.y;
  for (lbtCodeRotate rotate : {rotate_090, rotate_180, rotate_270}) {
    SCOPED_TRACE(int(rotate));
    TPoint size;
    auto turned = render(rotate, size);
    const bool quarter = rotate != rotate_180;
    EXPECT_EQ(size.x, quarter ? H : W);
    EXPECT_EQ(size.y, quarter ? W : H);
    for (int v = 0; v < H; ++v)
      for (int u = 0; u < W; ++u) {
        // (u, v) goes to (v, W - u) at 90 degrees, (W - u, H - v) at 180,
        // (H - v, u) at 270, counted in pixel cells.
        int x = rotate == rotate_090 ? v : rotate == rotate_180 ? W - 1 - u : H - 1 - v;
        int y = rotate == rotate_090 ? W - 1 - u : rotate == rotate_180 ? H - 1 - v : u;
        ASSERT_EQ(turned->Dark(5 + x, 7 + y), upright->Dark(5 + u, 7 + v)) << u << "," << v;
      }
  }
}

TEST(BarcodeDrawingTest, ReadableTextSitsUnderTheDigitBarsAndTurnsWithThem) {
  TLLBarcode b;
  b.Params->CodeType = EAN_13;
  b.Params->InputCode = "590123412345";
  Sheet sheet(200, 200, 96);
  TPoint size = Draw(b, sheet);
  const int textTop = 68;  // digit bars end here
  EXPECT_GT(size.y, 74);
  // The first digit in the left quiet zone, the two halves under theirs.
  EXPECT_TRUE(sheet.Ink(0, textTop, 10, size.y));
  EXPECT_TRUE(sheet.Ink(14, textTop, 55, size.y));
  EXPECT_TRUE(sheet.Ink(61, textTop, 102, size.y));
  EXPECT_FALSE(sheet.Ink(size.x, 0, 200, 200));
  EXPECT_FALSE(sheet.Ink(0, size.y, 200, 200));

  // A quarter turn puts the text band to the right of the bars.
  b.Params->Rotate = rotate_090;
  Sheet turned(200, 200, 96);
  TPoint turnedSize = Draw(b, turned);
  EXPECT_EQ(turnedSize.x, size.y);
  // The text reads upwards: the first digit is at the bottom end.
  EXPECT_TRUE(turned.Ink(textTop, turnedSize.y - 10, turnedSize.x, turnedSize.y));
  EXPECT_FALSE(turned.Ink(0, turnedSize.y - 10, 10, turnedSize.y));  // quiet zone
  EXPECT_FALSE(turned.Ink(turnedSize.x, 0, 200, 200));
  EXPECT_FALSE(turned.Ink(0, turnedSize.y, 200, 200));
}

TEST(BarcodeDrawingTest, AddOnDigitsSitAboveLoweredAddOnBars) {
  TLLBarcode b;
  b.Params->CodeType = EAN_13;
  b.Params->InputCode = "590123412345";
  b.Params->AddonCode = "12";
  Sheet sheet(300, 200, 96);
  TPoint size = Draw(b, sheet);
  EXPECT_EQ(size.x, 124 + 20 + 1 + 1);
  const int addonBar = 10 + 104;  // add-on start 1011
  int firstDark = 0;
  while (!sheet.Dark(addonBar, firstDark)) ++firstDark;
  EXPECT_GT(firstDark, 5);  // text height + 1 module
  EXPECT_TRUE(sheet.Ink(110, 0, 140, firstDark));  // the digits, centred at module 115
  EXPECT_TRUE(sheet.Dark(10, 0));                  // the main symbol starts at the top
}

TEST(BarcodeDrawingTest, PostnetAndFimGeometry) {
  TLLBarcode b;
  b.Params->CodeType = Postnet;
  b.Params->InputCode = "12345";
  b.Params->HReadable = false;
  Sheet sheet(300, 100, 96);
  TPoint size = Draw(b, sheet);
  // 22 bars an inch: 4.36 pixels; bars 2 wide, 12 (full) or 5 (half) high.
  const double pitch = 96 / 22.0;
  EXPECT_EQ(size.x, int(Round(31 * pitch)) + 2 + 1);
  EXPECT_EQ(size.y, 12 + 1);
  for (int k = 0; k < b.ModuleCount; ++k) {
    const int x = int(Round(k * pitch));
    const int top = b.Modules[k] ? 0 : 7;
    EXPECT_TRUE(sheet.Dark(x + 1, top)) << k;
    EXPECT_FALSE(sheet.Dark(x + 1, top - 1)) << k;
    EXPECT_TRUE(sheet.Dark(x + 1, 11)) << k;
    EXPECT_FALSE(sheet.Dark(x + 2, 11)) << k;
  }
  b.Params->HReadable = true;
  Sheet withText(300, 200, 96);
  TPoint textSize = Draw(b, withText);
  EXPECT_GT(textSize.y, 13);
  EXPECT_TRUE(withText.Ink(0, 13, textSize.x, textSize.y));

  b.Params->CodeType = Postnet_FIM;
  b.Params->InputCode = "a";
  b.Params->HReadable = false;
  Sheet fim(300, 100, 96);
  size = Draw(b, fim);
  EXPECT_EQ(size.x, 48 + 3 + 1);
  EXPECT_EQ(size.y, 61);
  const std::string marks = "110010011";
  for (int k = 0; k < 9; ++k) EXPECT_EQ(fim.Dark(6 * k + 1, 59), marks[size_t(k)] == '1') << k;
}

TEST(BarcodeDrawingTest, TheCallersCanvasStateComesBack) {
  TLLBarcode b;
  Sheet sheet(200, 200, 96);
  TCanvas* c = sheet.canvas.get();
  c->Brush->Color = clRed;
  c->Brush->Style = bsClear;
  c->TextAlign = TA_RIGHT;
  c->BkMode = OPAQUE;
  c->Font->Orientation = 450;
  TPoint size = Draw(b, sheet);
  EXPECT_TRUE(sheet.Dark(0, 2));  // bars drawn although the caller's brush was clear
  EXPECT_EQ(c->Brush->Color, clRed);
  EXPECT_EQ(c->Brush->Style, bsClear);
  EXPECT_EQ(c->TextAlign, TA_RIGHT);
  EXPECT_EQ(c->BkMode, OPAQUE);
  EXPECT_EQ(c->Font->Orientation, 450);
  EXPECT_GT(size.y, 0);
}

TEST(BarcodeDrawingTest, ParcelPostTextIsGroupedWithPoints) {
  TLLBarcode b;
  struct Case {
    int digits;
    const char* text;
    const char* grouped;
  } cases[] = {
      {7, "12345678901236", "12345.678.901.23   6"},
      {7, "123456789016", "12.34567   8901   6"},
      {4, "123456789016", "12.34   5678901   6"},
      {3, "123456789016", "12.34   5678901   6"},  // clamped to 4
      {7, "1236", "1236"},
  };
  for (const Case& c : cases) {
    b.Params->FrachtpostKundenNummerStellen = c.digits;
    std::string text = c.text;
    b.AddFrachtpostPunkte(text);
    EXPECT_EQ(text, c.grouped);
  }
}

TEST(BarcodeDrawingTest, ModuleWidthTableAndUnknownTypes) {
  TLLBarcode b;
  const double widths[] = {0.27, 0.297, 0.33, 0.363, 0.396, 0.445, 0.495, 0.544, 0.61, 0.66};
  for (int i = 0; i < 10; ++i) {
    b.Params->SCSize = lbtCodeSizes(i);
    EXPECT_DOUBLE_EQ(b.getSize(), widths[i]);
  }
  b.Params->SCSize = lbtCodeSizes(12);
  EXPECT_DOUBLE_EQ(b.getSize(), 0.33);
  b.Params->HDCode = true;
  EXPECT_DOUBLE_EQ(b.getSize(), 0.165);

  b.Params->CodeType = lbtCodeTypes(20);
  Sheet sheet(10, 10, 96);
  EXPECT_THROW(Draw(b, sheet), EOverflow);
  EXPECT_FALSE(sheet.Ink(0, 0, 10, 10));
}

}  // namespace
