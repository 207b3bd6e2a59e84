// The barcode control: checked properties, painting and sizing on a form,
// and the outputs (mapping modes, printer, files, clipboard, rectangles).
#include "barcode/barcode.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/clipbrd.h"
#include "platform/forms.h"
#include "platform/pdftest_support.h"
#include "platform/printers.h"
#include "support/testenv.h"

#include "overflow_message.h"

namespace {

bool Dark(TBitmap& b, int x, int y) {
  return x >= 0 && y >= 0 && x < b.GetWidth() && y < b.GetHeight() && qGray(b.Image().pixel(x, y)) < 128;
}

// The size the barcode draws at on a 96-dpi bitmap.
TPoint DrawnSize(TBarcode& barcode) {
  TBitmap scratch;
  TPoint size;
  barcode.InternalPrint(scratch.GetCanvas(), 0, 0, &size);
  return size;
}

TEST(BarcodeControlTest, RefusedValuesRaiseAndKeepTheOldValue) {
  TBarcode bc(nullptr);
  EXPECT_EQ(bc.GetBar_ModuleWidth(), SC2);
  EXPECT_EQ(bc.GetBar_Caption(), "4711");
  EXPECT_EQ(bc.GetWidth(), 69);
  EXPECT_EQ(bc.GetHeight(), 66);
  EXPECT_TRUE(bc.GetAutoSize());
  struct Case {
    std::function<void()> set;
    const char* message;
    std::function<bool()> unchanged;
  } cases[] = {
      {[&] { bc.SetBar_ModuleWidth(btCodeSizes(10)); }, "Bar_SC_Size must be in the range 0..9!",
       [&] { return bc.GetBar_ModuleWidth() == SC2; }},
      {[&] { bc.SetBar_Ratio(btCodeRatio(2)); }, "Bar_Ratio must be in the range 0..1 (Ratio_3 or Ratio_2)!",
       [&] { return bc.GetBar_Ratio() == Ratio_3; }},
      {[&] { bc.SetBar_Rotation(btCodeRotate(4)); }, "Bar_Rotate must be in the range rotate_000..rotate_270!",
       [&] { return bc.GetBar_Rotation() == rotate_000; }},
      {[&] { bc.SetBar_Fontscaling(19); }, "Bar_Fontscaling must be in the range 20..200!",
       [&] { return bc.GetBar_Fontscaling() == 100; }},
      {[&] { bc.SetBar_Fontscaling(201); }, "Bar_Fontscaling must be in the range 20..200!",
       [&] { return bc.GetBar_Fontscaling() == 100; }},
      {[&] { bc.SetBar_HeightPercent(19); }, "Bar_HeightPercent must be in the range 20..200!",
       [&] { return bc.GetBar_HeightPercent() == 100; }},
      {[&] { bc.SetBar_HeightPercent(201); }, "Bar_HeightPercent must be in the range 20..200!",
       [&] { return bc.GetBar_HeightPercent() == 100; }},
      {[&] { bc.SetBar_Caption(std::string(51, '1')); }, "String exceeds maximum length",
       [&] { return bc.GetBar_Caption() == "4711"; }},
      // GBK counts two bytes a Chinese character: 26 of them are 52.
      {[&] { bc.SetBar_Caption("张三张三张三张三张三张三张三张三张三张三张三张三张三"); }, "String exceeds maximum length",
       [&] { return bc.GetBar_Caption() == "4711"; }},
      {[&] { bc.SetCode_Version("v9"); }, "Setting the BARVERSION property is not allowed.",
       [&] { return bc.GetCode_Version() == "v3.22"; }},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OverflowMessage(c.set), c.message);
    EXPECT_TRUE(c.unchanged()) << c.message;
  }
  bc.SetBar_Caption(std::string(50, '1'));
  bc.SetBar_Caption("张三");
  EXPECT_EQ(bc.GetBar_Caption(), "张三");
  bc.SetBar_Fontscaling(20);
  bc.SetBar_HeightPercent(200);
  bc.SetBar_ModuleWidth(SC9);
  bc.ComponentState |= csLoading;
  bc.SetCode_Version("v9");  // read from a form resource: ignored
  EXPECT_EQ(bc.GetCode_Version(), "v3.22");
}

TEST(BarcodeControlTest, AddOnKeepsTwoOrFiveDigits) {
  TBarcode bc(nullptr);
  const std::pair<const char*, const char*> cases[] = {
      {"1-2-3", "12"}, {"1", ""}, {"123456", "12345"}, {"12345", "12345"}, {"a1b2c3d4", "12"}, {"", ""}};
  for (const auto& [in, kept] : cases) {
    bc.SetBar_CodeAddon(in);
    EXPECT_EQ(bc.GetBar_CodeAddon(), kept) << in;
  }
}

class BarcodeOnFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBounds(0, 0, 400, 300);
    form.SetColor(clWhite);
  }
  TForm form{nullptr};
};

TEST_F(BarcodeOnFormTest, PaintSizesTheControlAndEveryChangeRepaints) {
  auto* bc = new TBarcode(&form);
  bc->SetParent(&form);
  bc->SetBounds(10, 14, 69, 66);
  form.Repaint();
  TPoint size = DrawnSize(*bc);
  EXPECT_EQ(bc->GetWidth(), size.x);
  EXPECT_EQ(bc->GetHeight(), size.y);
  EXPECT_EQ(size.x, 66 + 1 + 1);  // EAN-8 of 67 one-pixel modules
  // A setter repaints at once, so the new size can be read right after it.
  bc->SetBar_CodeType(CODE128_C);
  bc->SetBar_Caption("1234567890");
  EXPECT_EQ(bc->GetWidth(), DrawnSize(*bc).x);
  EXPECT_EQ(bc->GetWidth(), 8 * 11 + 2 + 1);  // 8 symbols and the final bar, one pixel each

  bc->SetAutoSize(false);
  bc->SetBounds(10, 14, 30, 20);
  bc->SetBar_Caption("12");
  EXPECT_EQ(bc->GetWidth(), 30);

  // Codabar upper-cases the caption when it draws.
  bc->SetBar_CodeType(Codabar);
  bc->SetBar_Caption("a1b");
  EXPECT_EQ(bc->GetBar_Caption(), "A1B");

  // Encoding failures come out of the setter's repaint.
  bc->SetBar_CodeType(CODE128_B);
  EXPECT_EQ(OverflowMessage([&] { bc->SetBar_Caption("a\tb"); }), "BarcoLL: Code128 error");
  bc->SetParent(nullptr);
}

TEST_F(BarcodeOnFormTest, TheBaseControlAlwaysSizesItself) {
  auto* bc = new TCustomBarcode(&form);
  bc->SetParent(&form);
  bc->SetBar_HumanReadable(false);
  form.Repaint();
  EXPECT_EQ(bc->GetWidth(), 68);
  EXPECT_EQ(bc->GetHeight(), 56 + 1);  // 56.24 modules high
  EXPECT_LT(qGray(form.ClientImage().pixel(0, 5)), 128);
  bc->SetParent(nullptr);
}

// A white picture of its own resolution with a canvas on it.
struct Sheet {
  Sheet(int w, int h, int dpi) : image(w, h, QImage::Format_RGB32) {
    image.fill(Qt::white);
    canvas = std::make_unique<TCanvas>(new TImageTarget(&image, dpi, dpi));
  }
  QRect FirstDark() const { return pdftest::FirstDarkRect(image); }
  QImage image;
  std::unique_ptr<TCanvas> canvas;
};

TEST(BarcodePrintTest, MappingModesPlaceTheBarcodeInMillimetres) {
  TBarcode bc(nullptr);
  bc.SetBar_HumanReadable(false);
  struct Case {
    int mode;
    int x, y;
    int scale;  // logical units a pixel at 254 dpi
  } cases[] = {{MM_TEXT, 100, 200, 1}, {MM_LOMETRIC, 100, -200, 1}, {MM_HIMETRIC, 1000, -2000, 10}};
  TPoint pixels = DrawnSize(bc);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Sheet sheet(600, 600, 254);  // a pixel is 0.1 mm
    sheet.canvas->MapMode = c.mode;
    TPoint size;
    bc.Print(sheet.canvas.get(), c.x, c.y, &size);
    EXPECT_EQ(sheet.canvas->MapMode, c.mode);
    // 10 mm right, 20 mm down; the first guard bar is 0.33 mm = 3 pixels.
    EXPECT_EQ(sheet.FirstDark(), QRect(100, 200, 3, int(Round(56.24 * 3)) + 0));
    EXPECT_EQ(size.x, (66 * 3 + 3 + 1) * c.scale);
    EXPECT_GT(size.y, 0);
  }
  EXPECT_EQ(pixels.x, 68);
  Sheet sheet(100, 100, 254);
  sheet.canvas->MapMode = MM_TWIPS;
  EXPECT_EQ(OverflowMessage([&] { bc.Print(sheet.canvas.get(), 0, 0, nullptr); }),
            "Barcode: Wrong mapmode in \"LoMetricPrint\"");
  EXPECT_EQ(sheet.canvas->MapMode, MM_TWIPS);
  EXPECT_TRUE(sheet.FirstDark().isEmpty());
}

TEST(BarcodePrintTest, PrintsOnThePrinterAtItsResolution) {
  cwtest::TempDir dir;
  setenv("CW_PRINTER_PDF", dir.file("barcode.pdf").c_str(), 1);
  {
    TBarcode bc(nullptr);
    bc.SetBar_HumanReadable(false);
    TPrinter printer;
    printer.SetPaperSize(210, 297);
    printer.BeginDoc();
    printer.Canvas()->MapMode = MM_LOMETRIC;
    bc.Print(printer.Canvas(), 200, -300, nullptr);
    printer.EndDoc();
  }
  unsetenv("CW_PRINTER_PDF");
  auto pages = pdftest::RenderPdf(dir.file("barcode.pdf"), 300);
  ASSERT_EQ(pages.size(), 1u);
  QRect guard = pdftest::FirstDarkRect(pages[0]);
  EXPECT_NEAR(pdftest::PixelsToMm(guard.left(), 300), 20, 0.2);
  EXPECT_NEAR(pdftest::PixelsToMm(guard.top(), 300), 30, 0.2);
  // One module of 0.33 mm, rounded to whole printer pixels.
  EXPECT_NEAR(pdftest::PixelsToMm(guard.width(), 300), 0.33, 0.1);
  // 56.24 module widths high, scaled like the rounded module: 224.96 pixels.
  EXPECT_NEAR(guard.height(), 225, 2);
}

TEST(BarcodeOutputTest, SavedFilesHaveTheirBorderAndMagnification) {
  cwtest::TempDir dir;
  TBarcode bc(nullptr);
  TPoint size = DrawnSize(bc);
  bc.SaveToFile(5, dir.file("plain.bmp"));
  TBitmap plain;
  plain.LoadFromFile(dir.file("plain.bmp"));
  ASSERT_EQ(plain.GetWidth(), size.x + 10);
  ASSERT_EQ(plain.GetHeight(), size.y + 10);
  EXPECT_FALSE(Dark(plain, 4, 6));
  EXPECT_TRUE(Dark(plain, 5, 6));
  EXPECT_FALSE(Dark(plain, 6, 6));

  bc.SaveToFileEx(2, dir.file("big.bmp"), true, 3);
  TBitmap big;
  big.LoadFromFile(dir.file("big.bmp"));
  EXPECT_EQ(big.GetPixelFormat(), pf1bit);
  EXPECT_EQ(big.GetWidth(), (size.x + 4) * 3);
  EXPECT_EQ(big.GetHeight(), (size.y + 4) * 3);
  EXPECT_FALSE(Dark(big, 5, 10));
  EXPECT_TRUE(Dark(big, 6, 10));
  EXPECT_TRUE(Dark(big, 8, 10));
  EXPECT_FALSE(Dark(big, 9, 10));

  EXPECT_EQ(OverflowMessage([&] { bc.SaveToFileEx(2, dir.file("none.bmp"), false, 0); }),
            "Barcode: Factor for \"MagnifyBy\" must be >=1");
  EXPECT_FALSE(std::filesystem::exists(dir.file("none.bmp")));
}

TEST(BarcodeOutputTest, ClipboardAndRectangleCopies) {
  TBarcode bc(nullptr);
  TPoint size = DrawnSize(bc);
  bc.CopyToClipboard(4);
  TBitmap pasted;
  pasted.Assign(Clipboard());
  EXPECT_EQ(pasted.GetWidth(), size.x + 8);
  EXPECT_EQ(pasted.GetHeight(), size.y + 8);
  EXPECT_TRUE(Dark(pasted, 4, 5));

  TBitmap target;
  target.SetSize(300, 300);
  bc.CopyToRect(target.GetCanvas(), Bounds(10, 10, 2 * size.x, 2 * size.y));
  // Twice the size: the first guard module is 2 pixels wide.
  EXPECT_FALSE(Dark(target, 9, 12));
  EXPECT_TRUE(Dark(target, 10, 12));
  EXPECT_TRUE(Dark(target, 11, 12));
  EXPECT_FALSE(Dark(target, 12, 12));
  EXPECT_FALSE(Dark(target, 10 + 2 * size.x, 12));
}

}  // namespace
