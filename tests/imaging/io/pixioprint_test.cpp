// Printing one picture: the layout in inches on a canvas, the gamma, the
// pixel formats that print, the page preview, the refusals that keep a
// resolution or page of 0 from dividing, and the picture's place on a
// printed PDF page for every size mode and position.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/ieview.h"
#include "imaging/io/pixio.h"
#include "platform/graphics.h"
#include "platform/pdftest_support.h"
#include "platform/printers.h"
#include "support/testenv.h"

namespace {

// A picture of one colour.
void Solid(TPixIO& io, int w, int h, TRGB colour, int dpi) {
  io.IEBitmap->Allocate(w, h, ie24RGB);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) io.IEBitmap->SetPixels_ie24RGB(x, y, colour);
  io.IOParams->DPIX = io.IOParams->DPIY = dpi;
}

// A white 24-bit canvas.
void WhitePage(TBitmap& page, int w, int h) {
  page.SetPixelFormat(pf24bit);
  page.SetSize(w, h);
  page.GetCanvas()->Brush->Color = clWhite;
  page.GetCanvas()->FillRect(Rect(0, 0, w, h));
}

// The box of pixels that are not white, (0,0,0,0) when there is none.
TRect InkBox(TBitmap& page) {
  TRect box{page.GetWidth(), page.GetHeight(), 0, 0};
  for (int y = 0; y < page.GetHeight(); ++y)
    for (int x = 0; x < page.GetWidth(); ++x)
      if (page.GetCanvas()->GetPixel(x, y) != clWhite) {
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
      }
  return box.Right == 0 ? TRect{0, 0, 0, 0} : box;
}

constexpr TRGB kDark{40, 40, 40};

TEST(PrintLayout, PlacesThePictureByItsSizeModeAndPosition) {
  // 800 x 600 at 100 DPI on a page of 8.5 x 11 inches with 1-inch margins,
  // drawn at 20 dots per inch: the area between the margins is 6.5 x 9.
  TPixIO io(nullptr);
  Solid(io, 800, 600, kDark, 100);
  const struct {
    TIESize size;
    TIEHorizontalPos h;
    TIEVerticalPos v;
    TRect box;  // in 20-dpi pixels
  } cases[] = {
      // Its own 8 x 6 inches, centred: X = 1 - 0.75 = 0.25 inch.
      {iesNORMAL, iehpCENTER, ievpTOP, {5, 20, 165, 140}},
      {iesNORMAL, iehpLEFT, ievpBOTTOM, {20, 80, 180, 200}},
      {iesNORMAL, iehpRIGHT, ievpCENTER, {-10, 50, 150, 170}},
      // Fit: the width limits, 6.5 x 4.875 inches.
      {iesFITTOPAGE, iehpLEFT, ievpTOP, {20, 20, 150, 117}},
      {iesFITTOPAGE, iehpCENTER, ievpCENTER, {20, 61, 150, 158}},
      {iesFITTOPAGE, iehpRIGHT, ievpBOTTOM, {20, 102, 150, 199}},
      {iesFITTOPAGESTRETCH, iehpCENTER, ievpCENTER, {20, 20, 150, 200}},
      {iesSPECIFIEDSIZE, iehpRIGHT, ievpTOP, {90, 20, 150, 100}},
      {iesSPECIFIEDSIZE, iehpLEFT, ievpBOTTOM, {20, 120, 80, 200}},
  };
  for (const auto& c : cases) {
    TBitmap page;
    WhitePage(page, 170, 220);
    ASSERT_TRUE(io.PrintImageEx(page.GetCanvas(), 20, 20, 8.5, 11, 1, 1, 1, 1, c.v, c.h, c.size, 3, 4, 1));
    // What falls outside the page is cut off.
    const TRect want{std::max(0, c.box.Left), c.box.Top, std::min(170, c.box.Right), c.box.Bottom};
    const TRect got = InkBox(page);
    EXPECT_EQ(got.Left, want.Left) << c.size << " " << c.h << " " << c.v;
    EXPECT_EQ(got.Top, want.Top) << c.size << " " << c.h << " " << c.v;
    EXPECT_NEAR(got.Right, want.Right, 1) << c.size << " " << c.h << " " << c.v;
    EXPECT_NEAR(got.Bottom, want.Bottom, 1) << c.size << " " << c.h << " " << c.v;
  }
}

TEST(PrintLayout, GammaAndPixelFormats) {
  // A gamma of 2 maps 64 to 128 (255 x (64/255)^0.5 = 127.75); 1, 0 and
  // below change nothing.
  for (auto [gamma, want] : {std::pair{2.0, 128}, {1.0, 64}, {0.0, 64}, {-3.0, 64}}) {
    TPixIO io(nullptr);
    Solid(io, 4, 4, TRGB{64, 64, 64}, 100);
    TBitmap page;
    WhitePage(page, 8, 8);
    ASSERT_TRUE(io.PrintImagePosEx(page.GetCanvas(), 1, 1, 2, 2, 4, 4, gamma));
    EXPECT_EQ(page.GetCanvas()->GetPixel(3, 3), TColor(want | want << 8 | want << 16)) << gamma;
  }
  // 1-bit pictures print; 8-bit grey ones leave the area empty.
  TPixIO bits(nullptr);
  bits.IEBitmap->Allocate(4, 4, ie1g);
  bits.IEBitmap->Fill(0);
  TBitmap page;
  WhitePage(page, 8, 8);
  EXPECT_TRUE(bits.PrintImagePosEx(page.GetCanvas(), 1, 1, 2, 2, 4, 4, 1));
  EXPECT_EQ(page.GetCanvas()->GetPixel(3, 3), clBlack);
  TPixIO grey(nullptr);
  grey.IEBitmap->Allocate(4, 4, ie8g);
  grey.IEBitmap->Fill(0);
  WhitePage(page, 8, 8);
  EXPECT_FALSE(grey.PrintImagePosEx(page.GetCanvas(), 1, 1, 2, 2, 4, 4, 1));
  EXPECT_EQ(InkBox(page), (TRect{0, 0, 0, 0}));
}

TEST(PrintLayout, RefusesWhatWouldDivideByZero) {
  TPixIO io(nullptr);
  Solid(io, 200, 200, kDark, 0);
  TBitmap page;
  WhitePage(page, 50, 50);
  TCanvas* c = page.GetCanvas();
  // A device resolution of 0 (the picture's own 0 takes the screen's).
  EXPECT_FALSE(io.PrintImageEx(c, 0, 10, 5, 5, 0, 0, 0, 0, ievpTOP, iehpLEFT, iesFITTOPAGE, 1, 1, 1));
  EXPECT_FALSE(io.PrintImageEx(c, 10, 0, 5, 5, 0, 0, 0, 0, ievpTOP, iehpLEFT, iesNORMAL, 1, 1, 1));
  EXPECT_FALSE(io.PrintImagePosEx(c, 0, 0, 0, 0, 1, 1, 1));
  EXPECT_EQ(InkBox(page), (TRect{0, 0, 0, 0}));
  // A picture of no pixels.
  TPixIO empty(nullptr);
  EXPECT_FALSE(empty.PrintImageEx(c, 10, 10, 5, 5, 0, 0, 0, 0, ievpTOP, iehpLEFT, iesFITTOPAGE, 1, 1, 1));
  // A picture without a resolution prints at the screen's.
  EXPECT_TRUE(io.PrintImageEx(c, 10, 10, 5, 5, 0, 0, 0, 0, ievpTOP, iehpLEFT, iesNORMAL, 1, 1, 1));
  EXPECT_EQ(InkBox(page).Right, int(std::trunc(10 * 200.0 / (gSystemDPIX > 0 ? gSystemDPIX : 96))));
}

TEST(PrintPreview, ScalesThePageIntoTheMaximum) {
  TPixIO io(nullptr);
  Solid(io, 100, 50, kDark, 100);
  TBitmap preview;
  // A page of 4000 x 5000 pixels into at most 405 x 505: zoom 10 percent.
  ASSERT_TRUE(io.PreviewPrintImage(&preview, 405, 505, TIEPrintPage{4000, 5000, 400, 400}, 1, 1, 1, 1, ievpTOP,
                                   iehpLEFT, iesNORMAL, 0, 0, 1));
  EXPECT_EQ(preview.GetWidth(), 400);
  EXPECT_EQ(preview.GetHeight(), 500);
  // At 40 dots per inch the picture is 1 x 0.5 inch from (1, 1) inch.
  TCanvas* c = preview.GetCanvas();
  EXPECT_EQ(c->GetPixel(60, 50), TColor(0x282828));
  EXPECT_EQ(c->GetPixel(200, 300), clWhite);
  // The margin frame is dashed and inverts the white page under it, at
  // 40 pixels from each edge (the right edge's line is the last column
  // inside the rectangle).
  for (int x : {40, 359}) {
    int inverted = 0;
    for (int y = 100; y < 400; ++y) inverted += c->GetPixel(x, y) == clBlack;
    EXPECT_GT(inverted, 50) << x;
    EXPECT_LT(inverted, 250) << x;
    EXPECT_EQ(c->GetPixel(x == 40 ? 41 : 358, 250), clWhite);
  }
}

TEST(PrintPreview, NoPrinterOrAnEmptyPageTakesTheVirtualPage) {
  TPixIO io(nullptr);
  Solid(io, 100, 50, kDark, 100);
  const TIEPrintPage a4 = IEVirtualPrintPage();
  EXPECT_GT(a4.Width, 0);
  EXPECT_GT(a4.DpiX, 0);
  auto previewSize = [&](const TIEPrintPage& page) {
    TBitmap preview;
    EXPECT_TRUE(io.PreviewPrintImage(&preview, 200, 300, page, 1, 1, 1, 1, ievpCENTER, iehpCENTER, iesFITTOPAGE, 0,
                                     0, 1));
    return std::pair{preview.GetWidth(), preview.GetHeight()};
  };
  const auto virtualSize = previewSize(a4);
  for (const TIEPrintPage& page : {TIEPrintPage{0, 3000, 300, 300}, TIEPrintPage{2000, 0, 300, 300},
                                   TIEPrintPage{2000, 3000, 0, 300}, TIEPrintPage{2000, 3000, 300, -1}})
    EXPECT_EQ(previewSize(page), virtualSize);
  TBitmap preview;
  ASSERT_TRUE(io.PreviewPrintImage(&preview, 200, 300, static_cast<TPrinter*>(nullptr), 1, 1, 1, 1, ievpCENTER,
                                   iehpCENTER, iesFITTOPAGE, 0, 0, 1));
  EXPECT_EQ((std::pair{preview.GetWidth(), preview.GetHeight()}), virtualSize);

  // A maximum of 5 pixels or less is refused and leaves the bitmap alone.
  for (auto [w, h] : {std::pair{5, 300}, {200, 5}, {0, 0}, {-10, 40}}) {
    TBitmap kept;
    kept.SetSize(7, 9);
    EXPECT_FALSE(io.PreviewPrintImage(&kept, w, h, a4, 1, 1, 1, 1, ievpCENTER, iehpCENTER, iesFITTOPAGE, 0, 0, 1));
    EXPECT_FALSE(io.PreviewPrintImage(&kept, w, h, static_cast<TPrinter*>(nullptr), 1, 1, 1, 1, ievpCENTER,
                                      iehpCENTER, iesFITTOPAGE, 0, 0, 1));
    EXPECT_EQ(kept.GetWidth(), 7);
    EXPECT_EQ(kept.GetHeight(), 9);
  }
  // A tiny preview of a big page keeps at least one dot per inch.
  TBitmap tiny;
  EXPECT_TRUE(io.PreviewPrintImage(&tiny, 6, 6, TIEPrintPage{20000, 20000, 300, 300}, 1, 1, 1, 1, ievpCENTER,
                                   iehpCENTER, iesFITTOPAGE, 0, 0, 1));
  EXPECT_EQ(tiny.GetWidth(), 1);
}

class PrintToPdf : public ::testing::Test {
 protected:
  void SetUp() override { setenv("CW_PRINTER_PDF", dir.file("picture.pdf").c_str(), 1); }
  void TearDown() override { unsetenv("CW_PRINTER_PDF"); }
  cwtest::TempDir dir;
};

TEST_F(PrintToPdf, EverySizeModeAndPositionLandsWithinHalfAMillimetre) {
  // 100 x 50 pixels at 100 DPI on 60 x 90 mm paper, margins 0.3, 0.35,
  // 0.4 and 0.45 inch (left, top, right, bottom); specified size 0.8 x 1.2.
  TPixIO io(nullptr);
  Solid(io, 100, 50, TRGB{0, 0, 0}, 100);
  const double pageW = 60 / 25.4, pageH = 90 / 25.4;
  const double ml = 0.3, mt = 0.35, mr = 0.4, mb = 0.45;
  const double areaW = pageW - ml - mr, areaH = pageH - mt - mb;
  struct Case {
    TIESize size;
    TIEHorizontalPos h;
    TIEVerticalPos v;
  };
  std::vector<Case> cases;
  for (TIESize size : {iesNORMAL, iesFITTOPAGE, iesFITTOPAGESTRETCH, iesSPECIFIEDSIZE})
    for (TIEVerticalPos v : {ievpTOP, ievpCENTER, ievpBOTTOM})
      for (TIEHorizontalPos h : {iehpLEFT, iehpCENTER, iehpRIGHT}) cases.push_back({size, h, v});

  TPrinter* printer = Printer();
  printer->SetPaperSize(60, 90);
  printer->BeginDoc();
  for (size_t i = 0; i < cases.size(); ++i) {
    if (i) printer->NewPage();
    const Case& c = cases[i];
    ASSERT_TRUE(io.PrintImage(printer->Canvas(), ml, mt, mr, mb, c.v, c.h, c.size, 0.8, 1.2, 1));
  }
  printer->EndDoc();
  printer->SetPaperSize(210, 297);

  constexpr int kDpi = 100;
  const auto pages = pdftest::RenderPdf(dir.file("picture.pdf"), kDpi);
  ASSERT_EQ(pages.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    // The expected box in inches, from the page's own description.
    double w = 0, h = 0;
    switch (c.size) {
      case iesNORMAL: w = 1, h = 0.5; break;
      case iesFITTOPAGE: w = areaW, h = areaW / 2; break;
      case iesFITTOPAGESTRETCH: w = areaW, h = areaH; break;
      case iesSPECIFIEDSIZE: w = 0.8, h = 1.2; break;
    }
    const double x = c.h == iehpLEFT ? ml : c.h == iehpCENTER ? ml + (areaW - w) / 2 : ml + areaW - w;
    const double y = c.v == ievpTOP ? mt : c.v == ievpCENTER ? mt + (areaH - h) / 2 : mt + areaH - h;
    const QRect r = pdftest::FirstDarkRect(pages[i]);
    ASSERT_FALSE(r.isEmpty()) << i;
    const std::string what = "case " + std::to_string(i);
    EXPECT_NEAR(pdftest::PixelsToMm(r.left(), kDpi), x * 25.4, 0.5) << what;
    EXPECT_NEAR(pdftest::PixelsToMm(r.top(), kDpi), y * 25.4, 0.5) << what;
    EXPECT_NEAR(pdftest::PixelsToMm(r.width(), kDpi), w * 25.4, 0.5) << what;
    EXPECT_NEAR(pdftest::PixelsToMm(r.height(), kDpi), h * 25.4, 0.5) << what;
  }
}

}  // namespace
