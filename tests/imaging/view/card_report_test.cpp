// The card report end to end: a table of 1,000 card holders with thirteen
// texts and three pictures each, laid out two cards across, shown in the
// preview, printed as a page range into a PDF and saved as page pictures,
// with the pictures found where the layout puts them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "imaging/view/qrdbpix.h"
#include "picfield_fixture.h"
#include "platform/pdftest_support.h"
#include "platform/qreport.h"
#include "platform/qreportctrls.h"
#include "platform/qreportpage.h"
#include "platform/qrpreview.h"

namespace {

using picfield::IsBlue;
using picfield::IsGreen;
using picfield::IsRed;

constexpr int kRecords = 1000;
constexpr int kInch = 96;  // screen pixels per inch, headless

class CardReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ScreenPixelsPerInch(), kInch);
    setenv("CW_PRINTER_PDF", cards.dir.file("cards.pdf").c_str(), 1);
    const std::string photo = picfield::SolidPicture(40, 50, clRed, ieftJPEG);
    const std::string background = picfield::SolidPicture(30, 20, clBlue, ieftBMP);
    const std::string barcode = picfield::SolidPicture(60, 10, clLime, ieftBMP);
    cards.table.DisableControls();
    for (int i = 1; i <= kRecords; ++i) {
      cards.table.Append();
      for (char c = 'A'; c <= 'M'; ++c)
        cards.table.FieldByName(std::string(4, c))->SetAsString(std::string(1, c) + std::to_string(i));
      cards.table.FieldByName("PIC")->SetAsString(photo);
      cards.table.FieldByName("BACKGROUND")->SetAsString(background);
      cards.table.FieldByName("BARCODE")->SetAsString(barcode);
      cards.table.Post();
    }
    cards.table.EnableControls();
    cards.table.First();

    // Card of 3 x 1.5 inches: texts down the left, the three pictures right.
    report.DataSet = &cards.table;
    report.Page.Columns = 2;
    report.Page.ColumnSpace = 5;
    auto* detail = new TQRBand;
    detail->BandType = rbDetail;
    detail->SetParent(&report);
    detail->SetHeight(kInch * 3 / 2);
    for (int i = 0; i < 13; ++i) {
      auto* text = new TQRDBText;
      text->SetParent(detail);
      text->SetBounds(2, 2 + i * 10, 90, 10);
      text->DataSet = &cards.table;
      text->DataField = std::string(4, char('A' + i));
    }
    AddPicture(detail, "PIC", 120, 8, 48, 60);          // 1.25 in right, 1/12 in down
    AddPicture(detail, "BACKGROUND", 200, 8, 48, 32);
    AddPicture(detail, "BARCODE", 120, 100, 96, 16);
  }
  void TearDown() override { unsetenv("CW_PRINTER_PDF"); }

  void AddPicture(TQRBand* band, const char* field, int left, int top, int w, int h) {
    auto* pix = new TQRDBPix;
    pix->SetParent(band);
    pix->SetBounds(left, top, w, h);
    pix->StreamHeaders = false;
    pix->SetDataSource(&cards.source);
    pix->SetDataField(field);
  }

  picfield::CardTable cards;
  TQuickRep report;
};

TEST_F(CardReportTest, ThousandCardsPreviewPrintARangeAndSavePages) {
  report.Prepare();
  // 10 mm margins leave 277 mm of height: seven 38.1 mm cards a column,
  // fourteen a page.
  const int perPage = 14;
  ASSERT_EQ(report.PageCount(), (kRecords + perPage - 1) / perPage);
  ASSERT_EQ(cards.table.RecordCount(), kRecords);

  // The preview shows page 1 with the first card's photo.
  TQRPreview preview(nullptr);
  preview.SetBounds(0, 0, 400, 500);
  preview.SetQRPrinter(report.QRPrinter);
  preview.SetPageNumber(1);
  preview.ZoomToFit();
  TBitmap shown;
  ASSERT_TRUE(preview.PageBitmap(&shown));
  EXPECT_FALSE(picfield::BoundsOf(shown.Image(), IsRed).isEmpty());

  // Pages 2 and 3 into the PDF; the photo of the page's first card lies
  // 10 + 120/96 inch from the left and 10 + 8/96 inch from the top.
  report.PrinterSettings.FirstPage = 2;
  report.PrinterSettings.LastPage = 3;
  EXPECT_EQ(report.Print(), 2);
  constexpr int dpi = 100;
  auto pages = pdftest::RenderPdf(cards.dir.file("cards.pdf"), dpi);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_NEAR(pdftest::PixelsToMm(pages[0].width(), dpi), 210, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(pages[0].height(), dpi), 297, 0.5);
  const QRect firstHalf(0, 0, pages[0].width() / 2, int(dpi * 1.5));
  QRect photo = picfield::BoundsOf(pages[0].copy(firstHalf), IsRed);
  ASSERT_FALSE(photo.isEmpty());
  EXPECT_NEAR(pdftest::PixelsToMm(photo.left(), dpi), 10 + 120 * 25.4 / kInch, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(photo.top(), dpi), 10 + 8 * 25.4 / kInch, 0.5);
  QRect background = picfield::BoundsOf(pages[0].copy(firstHalf), IsBlue);
  ASSERT_FALSE(background.isEmpty());
  EXPECT_NEAR(pdftest::PixelsToMm(background.left(), dpi), 10 + 200 * 25.4 / kInch, 0.5);
  QRect barcode = picfield::BoundsOf(pages[0].copy(firstHalf), IsGreen);
  ASSERT_FALSE(barcode.isEmpty());
  EXPECT_NEAR(pdftest::PixelsToMm(barcode.top(), dpi), 10 + 100 * 25.4 / kInch, 0.5);

  // A page saved as a picture has the same placement.
  TQRPagePicture* page = report.QRPrinter->GetPage(2);
  ASSERT_NE(page, nullptr);
  TBitmap bitmap;
  bitmap.SetSize(page->GetWidth(), page->GetHeight());
  page->Draw(bitmap.GetCanvas(), 0, 0);
  const std::string file = cards.dir.file("page2.bmp");
  bitmap.SaveToFile(file);
  TBitmap saved;
  saved.LoadFromFile(file);
  const QImage image = saved.Image();
  QRect savedPhoto = picfield::BoundsOf(image.copy(0, 0, image.width() / 2, kInch * 3 / 2), IsRed);
  ASSERT_FALSE(savedPhoto.isEmpty());
  EXPECT_NEAR(pdftest::PixelsToMm(savedPhoto.left(), kInch), 10 + 120 * 25.4 / kInch, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(savedPhoto.top(), kInch), 10 + 8 * 25.4 / kInch, 0.5);
}

}  // namespace
