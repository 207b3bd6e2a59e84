#include "imaging/view/qrdbpix.h"

#include <gtest/gtest.h>

#include "picfield_fixture.h"
#include "platform/qreportpage.h"

namespace {

using picfield::BoundsOf;
using picfield::IsRed;

// The printable is one inch square, one inch from the left margin, on a
// detail band one inch high; the page has 10 mm margins. At 600 printer
// pixels per inch its box inside the one-pixel inset is x 837..1435 and
// y 237..835 (599 x 599).
constexpr int kX0 = 837, kY0 = 237, kBox = 599;

class QRDBPixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ScreenPixelsPerInch(), 96);
    report.DataSet = &cards.table;
    auto* detail = new TQRBand;
    detail->SetParent(&report);
    detail->SetHeight(96);
    pix = new TQRDBPix;
    pix->SetParent(detail);
    pix->SetBounds(96, 0, 96, 96);
    pix->StreamHeaders = false;
    pix->SetDataSource(&cards.source);
    pix->SetDataField("PIC");
  }

  // Prepares the report and renders its first page at printer resolution.
  QImage FirstPage() {
    report.Prepare();
    return report.QRPrinter->GetPage(1)->ToImage(TQRPrinter::RecordDpi);
  }
  int PictureDrawings() {
    int count = 0;
    for (const TQRDrawing& d : report.QRPrinter->GetPage(1)->Drawings()) count += d.Kind == TQRDrawing::dkPicture;
    return count;
  }

  picfield::CardTable cards;
  TQuickRep report;
  TQRDBPix* pix = nullptr;
};

TEST_F(QRDBPixTest, PrintsTheFieldPictureInTheBoxOfItsFitAndCentreSettings) {
  struct Case {
    const char* name;
    TIEFileType type;
    int w, h;
    bool fit, center;
    QRect expected;  // where the red picture lands on the page
  };
  // 50 x 100 fitted: zoom 599, drawn 300 (299.5 rounds to even) x 599;
  // centred, (599 - 300) div 2 = 149 to the right. Unfitted: 50 x 100 at
  // one picture pixel per printer pixel, centred at (274, 249).
  const Case cases[] = {
      {"bmp fit centre", ieftBMP, 50, 100, true, true, QRect(kX0 + 149, kY0, 300, 599)},
      {"jpeg fit centre", ieftJPEG, 50, 100, true, true, QRect(kX0 + 149, kY0, 300, 599)},
      {"bmp fit corner", ieftBMP, 50, 100, true, false, QRect(kX0, kY0, 300, 599)},
      {"bmp unfitted centre", ieftBMP, 50, 100, false, true, QRect(kX0 + 274, kY0 + 249, 50, 100)},
      {"jpeg unfitted corner", ieftJPEG, 48, 96, false, false, QRect(kX0, kY0, 48, 96)},
      // A small picture is enlarged too: 10 x 10 at zoom 5990 fills the box.
      {"bmp enlarged", ieftBMP, 10, 10, true, true, QRect(kX0, kY0, 599, 599)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cards.OnlyPicture(picfield::SolidPicture(c.w, c.h, clRed, c.type));
    pix->Fit = c.fit;
    pix->Center = c.center;
    QImage page = FirstPage();
    QRect found = BoundsOf(page.copy(kX0 - 50, kY0 - 50, kBox + 100, kBox + 100), IsRed)
                      .translated(kX0 - 50, kY0 - 50);
    // JPEG edges may blur by a pixel.
    const int slack = c.type == ieftJPEG ? 1 : 0;
    EXPECT_NEAR(found.left(), c.expected.left(), slack);
    EXPECT_NEAR(found.top(), c.expected.top(), slack);
    EXPECT_NEAR(found.right(), c.expected.right(), slack);
    EXPECT_NEAR(found.bottom(), c.expected.bottom(), slack);
    EXPECT_EQ(pix->GetDataFieldImageFormat(), c.type == ieftBMP ? ifBitmap : ifJpeg);
  }
}

TEST_F(QRDBPixTest, APictureLargerThanTheUnfittedBoxIsCutFromItsTopLeftCorner) {
  // 1000 x 800: red left of x = 500, blue right of it, a green top band.
  TBitmap bitmap;
  picfield::Paint24(bitmap, 1000, 800, [](int x, int y) { return y < 20 ? clLime : x < 500 ? clRed : clBlue; });
  cards.Add(picfield::Encode(bitmap, ieftBMP));
  pix->Fit = false;
  QImage page = FirstPage();
  EXPECT_EQ(pix->LastPlacement().SrcWidth, kBox);
  EXPECT_EQ(pix->LastPlacement().SrcHeight, kBox);
  EXPECT_TRUE(picfield::IsGreen(page.pixel(kX0 + 10, kY0 + 5)));
  EXPECT_TRUE(IsRed(page.pixel(kX0 + 499, kY0 + 300)));
  EXPECT_TRUE(picfield::IsBlue(page.pixel(kX0 + 500, kY0 + 300)));
  EXPECT_TRUE(picfield::IsBlue(page.pixel(kX0 + kBox - 1, kY0 + kBox - 1)));
  // Nothing spills past the box.
  EXPECT_EQ(page.pixel(kX0 + kBox, kY0 + 300), qRgb(255, 255, 255));
  EXPECT_EQ(page.pixel(kX0 + 300, kY0 + kBox), qRgb(255, 255, 255));
}

TEST_F(QRDBPixTest, EmptyForeignAndDamagedFieldsPrintNothing) {
  const std::string bmp = picfield::SolidPicture(40, 30, clRed, ieftBMP);
  const std::string jpeg = picfield::SolidPicture(40, 30, clRed, ieftJPEG);
  struct Case {
    const char* name;
    std::string bytes;
    TDataFieldImageFormat sniffed;
  };
  const Case cases[] = {
      {"empty", "", ifBitmap},  // nothing to sniff: the default stays
      {"text", "no picture at all, just words", ifUnknown},
      {"graphic field header before a BMP", picfield::GraphicFieldHeader() + bmp, ifUnknown},
      {"BMP cut inside its header", bmp.substr(0, 30), ifBitmap},
      {"BMP with a huge size", bmp.substr(0, 18) + std::string("\xff\xff\xff\x7f\xff\xff\xff\x7f", 8) +
                                   bmp.substr(26),
       ifBitmap},
      {"truncated JPEG", jpeg.substr(0, jpeg.size() / 3), ifJpeg},
      {"GIF without a reader", "GIF89a" + std::string(40, '\0'), ifGif},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cards.OnlyPicture(c.bytes);
    report.Prepare();
    EXPECT_EQ(PictureDrawings(), 0);
    EXPECT_EQ(pix->GetDataFieldImageFormat(), c.sniffed);
  }
}

TEST_F(QRDBPixTest, StreamHeadersDecideOnlyHowPcxAndTiffAreReadNotJpeg) {
  for (bool fieldHeader : {false, true})
    for (bool readHeaders : {false, true}) {
      SCOPED_TRACE(testing::Message() << "field header " << fieldHeader << ", read " << readHeaders);
      cards.OnlyPicture(picfield::SolidPicture(40, 40, clRed, ieftJPEG, fieldHeader));
      pix->StreamHeaders = readHeaders;
      FirstPage();
      EXPECT_EQ(PictureDrawings(), 1);
      EXPECT_EQ(pix->GetDataFieldImageFormat(), ifJpeg);
    }
}

TEST_F(QRDBPixTest, FollowsTheRecordsAndPrintsEachOnesPicture) {
  cards.Add(picfield::SolidPicture(20, 20, clRed, ieftBMP));
  cards.Add("");
  cards.Add(picfield::SolidPicture(20, 20, clBlue, ieftJPEG));
  report.Page.TopMargin = 0;
  report.Prepare();
  EXPECT_EQ(PictureDrawings(), 2);
  QImage page = report.QRPrinter->GetPage(1)->ToImage(TQRPrinter::RecordDpi);
  // One band (600 pixels) per record, downwards.
  const int x = kX0 + 300, y = 300;
  EXPECT_TRUE(IsRed(page.pixel(x, y)));
  EXPECT_EQ(page.pixel(x, y + 600), qRgb(255, 255, 255));
  EXPECT_TRUE(picfield::IsBlue(page.pixel(x, y + 1200)));

  // The sniffed format follows the current record, unless AutoDisplay is off.
  cards.table.First();
  EXPECT_EQ(pix->GetDataFieldImageFormat(), ifBitmap);
  cards.table.Last();
  EXPECT_EQ(pix->GetDataFieldImageFormat(), ifJpeg);
  pix->SetAutoDisplay(false);
  cards.table.First();
  EXPECT_EQ(pix->GetDataFieldImageFormat(), ifJpeg);
  pix->SetAutoDisplay(true);
  EXPECT_EQ(pix->GetDataFieldImageFormat(), ifBitmap);
  // Off, nothing prints.
  pix->SetAutoDisplay(false);
  report.Prepare();
  EXPECT_EQ(PictureDrawings(), 0);
}

TEST_F(QRDBPixTest, TheFrameIsDrawnOnlyWithBorderAndShadowBothOff) {
  pix->Frame.DrawLeft = pix->Frame.DrawTop = pix->Frame.DrawRight = pix->Frame.DrawBottom = true;
  auto lines = [&] {
    int count = 0;
    for (const TQRDrawing& d : report.QRPrinter->GetPage(1)->Drawings()) count += d.Kind == TQRDrawing::dkLine;
    return count;
  };
  cards.Add(picfield::SolidPicture(20, 20, clRed, ieftBMP));
  for (bool closed : {false, true}) {
    // Without a data source the band still prints, with no picture.
    if (closed) pix->SetDataSource(nullptr);
    for (auto [border, shadow, frameLines] : {std::tuple{true, true, 0}, {true, false, 0}, {false, true, 0},
                                             {false, false, 4}}) {
      SCOPED_TRACE(testing::Message() << "closed " << closed << " border " << border << " shadow " << shadow);
      pix->ImageBorder = border;
      pix->ImageShadow = shadow;
      report.Prepare();
      EXPECT_EQ(lines(), frameLines);
      EXPECT_EQ(PictureDrawings(), closed ? 0 : 1);
    }
  }
}

TEST_F(QRDBPixTest, FrameLinesNarrowTheBox) {
  pix->Frame.DrawLeft = pix->Frame.DrawTop = true;
  pix->Frame.Width = 10;
  cards.Add(picfield::SolidPicture(599, 599, clRed, ieftBMP));
  pix->Fit = false;
  pix->Center = false;
  FirstPage();
  const TQRPicturePlacement& r = pix->LastPlacement();
  EXPECT_EQ(r.Xi, kX0 + 10);
  EXPECT_EQ(r.Yi, kY0 + 10);
  EXPECT_EQ(r.L, kBox - 10);
  EXPECT_EQ(r.SrcWidth, kBox - 10);
}

// A JPEG photo printed whole and unchanged stays in its bytes (never
// decoded while preparing, put into a PDF as itself); anything that changes
// or cuts it is printed from the decoded picture, as before.
TEST_F(QRDBPixTest, AWholeUnchangedJpegIsKeptInItsOwnBytes) {
  const std::string plain = picfield::SolidPicture(50, 100, clRed, ieftJPEG);
  const std::string headed = picfield::SolidPicture(50, 100, clRed, ieftJPEG, true);
  ASSERT_NE(headed, plain);
  struct Case {
    const char* name;
    std::string field;
    double gamma;
    bool fit, objects;
    bool keptAsJpeg;
  } cases[] = {
      {"fitted", plain, 1.0, true, false, true},
      {"behind the stream header", headed, 1.0, true, false, true},
      {"unfitted, smaller than the box", plain, 1.0, false, false, true},
      {"gamma changes it", plain, 0.8, true, false, false},
      {"with vector objects", headed, 1.0, true, true, false},
      {"damaged", plain.substr(0, plain.size() / 3), 1.0, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cards.OnlyPicture(c.field);
    pix->GammaCorrection = c.gamma;
    pix->Fit = c.fit;
    pix->PrintObjects = c.objects;
    const QImage page = FirstPage();
    const TQRDrawing* picture = nullptr;
    for (const TQRDrawing& d : report.QRPrinter->GetPage(1)->Drawings())
      if (d.Kind == TQRDrawing::dkPicture) picture = &d;
    if (c.name == std::string("damaged")) {
      EXPECT_EQ(picture, nullptr);  // the decoder gives up: nothing printed
      continue;
    }
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Picture->IsJpeg(), c.keptAsJpeg);
    // The JPEG file itself, less any stream header.
    if (c.keptAsJpeg) EXPECT_TRUE(picture->Picture->Jpeg() == plain);
    // Placed as the decoded picture would be.
    const QRect expected = c.fit ? QRect(kX0 + 149, kY0, 300, 599) : QRect(kX0 + 274, kY0 + 249, 50, 100);
    EXPECT_EQ(QRect(picture->Box.Left, picture->Box.Top, picture->Box.Width(), picture->Box.Height()), expected);
    EXPECT_TRUE(IsRed(page.pixel(expected.center())));
  }
}

}  // namespace
