#include "platform/printers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "pdftest_support.h"
#include "platform/gdi.h"
#include "support/testenv.h"

namespace {

class PrinterTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("CW_PRINTER_PDF", dir.file("hook.pdf").c_str(), 1); }
  void TearDown() override { unsetenv("CW_PRINTER_PDF"); }
  cwtest::TempDir dir;
};

TEST_F(PrinterTest, ExistsAndPrintsIntoTheHookFile) {
  TPrinter* printer = Printer();
  ASSERT_NE(printer, nullptr);
  EXPECT_TRUE(printer->PrintsToFile());
  ASSERT_GE(printer->Printers()->Count(), 1);
  EXPECT_EQ(printer->Printers()->Get(printer->Printers()->Count() - 1), "PDF");

  printer->SetPaperSize(210, 297);
  printer->BeginDoc();
  EXPECT_TRUE(printer->Printing());
  EXPECT_EQ(printer->PageNumber(), 1);
  printer->Canvas()->Brush->Color = clBlack;
  printer->Canvas()->FillRect({300, 600, 600, 900});
  printer->NewPage();
  printer->EndDoc();
  EXPECT_FALSE(printer->Printing());

  auto pages = pdftest::RenderPdf(dir.file("hook.pdf"), 100);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_NEAR(pdftest::PixelsToMm(pages[0].width(), 100), 210, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(pages[0].height(), 100), 297, 0.5);
  // 300 pixels at 300 dpi: one inch from the left, two from the top.
  QRect r = pdftest::FirstDarkRect(pages[0]);
  EXPECT_NEAR(pdftest::PixelsToMm(r.left(), 100), 25.4, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(r.top(), 100), 50.8, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(r.width(), 100), 25.4, 0.5);
  EXPECT_TRUE(pdftest::FirstDarkRect(pages[1]).isEmpty());
}

TEST_F(PrinterTest, DeviceCapsDescribeThePage) {
  TPrinter printer;
  printer.FileName = dir.file("caps.pdf");
  printer.Orientation = poLandscape;
  printer.SetPaperSize(210, 297);
  printer.BeginDoc();
  HDC dc = printer.Handle();
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), printer.Resolution());
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), printer.PageWidth());
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), printer.PageHeight());
  EXPECT_GT(printer.PageWidth(), printer.PageHeight());
  EXPECT_NEAR(GetDeviceCaps(dc, HORZSIZE), 297, 1);
  printer.EndDoc();
  EXPECT_TRUE(std::filesystem::exists(dir.file("caps.pdf")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("hook.pdf")));
}

TEST_F(PrinterTest, MisuseAndUnwritableOutputRaise) {
  TPrinter printer;
  EXPECT_THROW(printer.NewPage(), EPrinter);
  EXPECT_THROW(printer.EndDoc(), EPrinter);
  EXPECT_THROW(printer.SetPaperSize(0, 297), EPrinter);

  printer.FileName = dir.file("no/such/folder/out.pdf");
  EXPECT_THROW(printer.BeginDoc(), EPrinter);
  EXPECT_FALSE(printer.Printing());

  printer.FileName = dir.file("twice.pdf");
  printer.BeginDoc();
  EXPECT_THROW(printer.BeginDoc(), EPrinter);
  EXPECT_THROW(printer.SetPrinterIndex(0), EPrinter);
  printer.Abort();
  EXPECT_TRUE(printer.Aborted());
  EXPECT_FALSE(printer.Printing());
}

}  // namespace
