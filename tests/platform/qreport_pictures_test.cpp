// Pictures of a card batch: what every card repeats is kept once, shadows
// and ramps drawn pixel by pixel become shared tiles that never leak into
// the next card, JPEG photos stay in their bytes and go into the PDF as
// those bytes, and two-colour pictures stay exact.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QProcess>
#include <cstdlib>
#include <set>

#include "dbtest_support.h"
#include "pdftest_support.h"
#include "platform/dbtables.h"
#include "platform/gdi.h"
#include "platform/jpegframe.h"
#include "platform/qreport.h"
#include "platform/qreportctrls.h"
#include "support/testenv.h"

namespace {

constexpr int kInch = 96;

std::string Jpeg(const QImage& image, bool progressive = false) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "JPG");
  writer.setProgressiveScanWrite(progressive);
  writer.write(image);
  return bytes.toStdString();
}

QImage Solid(int w, int h, QRgb colour, QImage::Format format = QImage::Format_RGB32) {
  QImage image(w, h, format);
  image.fill(colour);
  return image;
}

std::string Output(const QString& program, const QStringList& arguments) {
  QProcess run;
  run.start(program, arguments);
  run.waitForFinished(30000);
  return run.readAllStandardOutput().toStdString();
}

// Draws what a card's picture controls draw: a picture through DrawDib
// (every card the same), a grey ramp pixel by pixel (a shadow: thousands of
// runs, as its blue wavers from row to row) on odd records only, and, when
// set, a JPEG photo of the record.
class CardPrintable : public TQRPrintable {
 public:
  TBitmap picture;
  TDataSet* data = nullptr;
  std::vector<std::string> photos;  // by record, cycling
  bool outline = false;             // a black frame 3 pixels wide around the picture
  void Print(double OfsX, double OfsY) override {
    TQRPrinter* p = ParentReport->QRPrinter;
    const int x = p->XPos(OfsX + Size().Left), y = p->YPos(OfsY + Size().Top);
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = picture.GetWidth();
    header.biHeight = -picture.GetHeight();
    header.biPlanes = 1;
    header.biBitCount = 24;
    HDRAWDIB dd = DrawDibOpen();
    DrawDibDraw(dd, p->Canvas->GetHandle(), x, y, 200, 100, &header, picture.ScanLine(0), 0, 0,
                picture.GetWidth(), picture.GetHeight(), 0);
    DrawDibClose(dd);
    const int record = ParentReport->DetailNumber();
    if (record % 2 == 1)
      for (int row = 0; row < 300; ++row)
        for (int col = 0; col < 12; ++col)
          p->Canvas->SetPixel(x + 210 + col, y + row, RGB(col * 20, col * 20, col * 20 + row % 3));
    if (outline) {
      p->Canvas->Pen->Color = clBlack;
      p->Canvas->Pen->Width = 3;
      p->Canvas->MoveTo(x, y);
      p->Canvas->LineTo(x + 199, y);
      p->Canvas->LineTo(x + 199, y + 99);
      p->Canvas->LineTo(x, y + 99);
      p->Canvas->LineTo(x, y);
    }
    if (!photos.empty()) p->AddJpeg({x, y + 320, x + 120, y + 480}, photos[size_t(record - 1) % photos.size()]);
  }
};

class ReportPictures : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ScreenPixelsPerInch(), kInch);
    setenv("CW_PRINTER_PDF", dir.file("printer.pdf").c_str(), 1);
    report.DataSet = &table;
    auto* detail = new TQRBand;
    detail->SetParent(&report);
    detail->SetHeight(kInch);
    card = new CardPrintable;
    card->SetParent(detail);
    card->SetBounds(kInch, 0, kInch, kInch);
    card->picture.SetSize(20, 10);
    card->picture.GetCanvas()->Brush->Color = clBlue;
    card->picture.GetCanvas()->FillRect({0, 0, 20, 10});
    auto* name = new TQRDBText;
    name->SetParent(detail);
    name->SetBounds(0, 0, 90, 16);
    name->DataSet = &table;
    name->DataField = "AAAA";
  }
  void TearDown() override { unsetenv("CW_PRINTER_PDF"); }

  void FillTable(int count) {
    table.Close();
    TDbfTable::Create(dir.file("data.DBF"), dbfLevel4, dbtest::CardColumns(60));
    table.SetDatabaseName(dir.path().string());
    table.SetTableName("data.DBF");
    table.Open();
    for (int i = 1; i <= count; ++i) {
      table.Append();
      table.FieldByName("AAAA")->SetAsString("name" + std::to_string(i));
      table.Post();
    }
  }

  // Where card `record` (1-based) of page 1 lies: one a band, 10 mm margins.
  QPoint CardCorner(int record) const {
    const int x = TQRPrinter::RecordDpi * (10 + 25.4) / 25.4, y = TQRPrinter::RecordDpi * 10 / 25.4;
    return {x, y + (record - 1) * TQRPrinter::RecordDpi};
  }

  cwtest::TempDir dir;
  TTable table;
  TQuickRep report;
  CardPrintable* card;
};

TEST_F(ReportPictures, WhatEveryCardRepeatsIsKeptOnceAndInkNeverLeaksIntoTheNextCard) {
  size_t pictures[2];
  for (int run = 0; run < 2; ++run) {
    FillTable(run == 0 ? 8 : 40);
    report.Prepare();
    pictures[run] = report.QRPrinter->Pictures().Count();
  }
  // Forty cards keep no more pictures than eight: the DrawDib picture and
  // the ramp's tiles are each kept once.
  EXPECT_EQ(pictures[0], pictures[1]);
  EXPECT_LE(pictures[1], 8u);

  // The same picture object on every card, and the ramp as pictures, not
  // thousands of runs.
  std::set<const TQRPicture*> used;
  size_t fills = 0;
  for (int page = 1; page <= report.PageCount(); ++page)
    for (const TQRDrawing& d : report.QRPrinter->GetPage(page)->Drawings()) {
      if (d.Picture) used.insert(d.Picture.get());
      fills += d.Kind == TQRDrawing::dkFill;
    }
  EXPECT_EQ(used.size(), pictures[1]);
  EXPECT_LT(fills, 100u);

  // Drawn back: the blue picture on every card, the ramp's greys on odd
  // cards only, white where an even card has no ramp.
  const QImage page = report.QRPrinter->GetPage(1)->ToImage(TQRPrinter::RecordDpi);
  for (int record = 1; record <= 4; ++record) {
    SCOPED_TRACE(record);
    const QPoint c = CardCorner(record);
    EXPECT_EQ(page.pixel(c + QPoint(100, 50)), qRgb(0, 0, 255));
    for (int col : {0, 5, 11}) {
      const int grey = record % 2 == 1 ? col * 20 : 255;
      EXPECT_EQ(page.pixel(c + QPoint(210 + col, 150)), qRgb(grey, grey, grey)) << col;
    }
    EXPECT_EQ(page.pixel(c + QPoint(222, 150)), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(c + QPoint(215, 300)), qRgb(255, 255, 255));
  }
}

// A frame drawn line by line beside a shadow drawn pixel by pixel: both
// are ink of one print, and every line of the frame shows, on cards with
// the shadow and without.
TEST_F(ReportPictures, FrameLinesBesideAShadowAllShow) {
  card->outline = true;
  FillTable(2);
  report.Prepare();
  const QImage page = report.QRPrinter->GetPage(1)->ToImage(TQRPrinter::RecordDpi);
  for (int record = 1; record <= 2; ++record) {
    SCOPED_TRACE(record);
    const QPoint c = CardCorner(record);
    const struct {
      const char* line;
      QPoint at;
    } lines[] = {{"top", {100, 0}}, {"left", {0, 50}}, {"right", {199, 50}}, {"bottom", {100, 99}}};
    for (const auto& l : lines) EXPECT_EQ(page.pixel(c + l.at), qRgb(0, 0, 0)) << l.line;
    // The ramp keeps its greys beside the frame.
    if (record == 1) EXPECT_EQ(page.pixel(c + QPoint(215, 150)), qRgb(100, 100, 100));
  }
  // A line of the frame is a box or a few (where lines meet), not a run on
  // every one of the hundred rows it crosses.
  size_t fills = 0;
  for (const TQRDrawing& d : report.QRPrinter->GetPage(1)->Drawings()) fills += d.Kind == TQRDrawing::dkFill;
  EXPECT_LE(fills, 2u * 12);
}

TEST_F(ReportPictures, JpegPhotosGoIntoThePdfAsTheirOwnBytesOncePerPhoto) {
  // Two photos for six cards; a two-colour picture (a barcode) on each.
  const std::string red = Jpeg(Solid(30, 40, qRgb(220, 0, 0)));
  const std::string green = Jpeg(Solid(60, 80, qRgb(0, 200, 0)));
  card->photos = {red, green};
  card->picture.SetSize(20, 10);
  for (int x = 0; x < 20; ++x)
    for (int y = 0; y < 10; ++y) card->picture.GetCanvas()->SetPixel(x, y, x % 3 == 0 ? clBlack : clWhite);
  FillTable(6);
  report.Prepare();

  // Kept in their bytes, decoded when shown.
  const QImage shown = report.QRPrinter->GetPage(1)->ToImage(TQRPrinter::RecordDpi);
  EXPECT_GT(qRed(shown.pixel(CardCorner(1) + QPoint(60, 400))), 180);
  EXPECT_GT(qGreen(shown.pixel(CardCorner(2) + QPoint(60, 400))), 160);

  const std::string pdf = dir.file("cards.pdf");
  ASSERT_EQ(report.QRPrinter->ExportToPdf(pdf, 1, report.PageCount()), report.PageCount());
  // pdfimages -list: page num type width height color comp bpc enc ...
  std::map<std::string, std::set<std::string>> encodings;  // "w x h" -> encodings
  std::set<std::string> jpegObjects;
  const std::string list = Output("pdfimages", {"-list", QString::fromStdString(pdf)});
  for (const QString& line : QString::fromStdString(list).split('\n').mid(2)) {
    const QStringList f = line.simplified().split(' ');
    if (f.size() < 11) continue;
    encodings[(f[3] + "x" + f[4]).toStdString()].insert((f[8] + "/" + f[7]).toStdString());
    if (f[8] == "jpeg") jpegObjects.insert(f[10].toStdString());
  }
  EXPECT_EQ(encodings["30x40"], std::set<std::string>{"jpeg/8"});
  EXPECT_EQ(encodings["60x80"], std::set<std::string>{"jpeg/8"});
  // The barcode: one bit a pixel, losslessly.
  EXPECT_EQ(encodings["20x10"], std::set<std::string>{"image/1"});
  // The shadow's tiles (transparent parts) exactly too: the only JPEGs are
  // the two photos, one object each.
  EXPECT_EQ(encodings["12x128"], std::set<std::string>{"image/8"});
  EXPECT_EQ(jpegObjects.size(), 2u);

  // The embedded JPEG streams are the photos' bytes.
  const QString prefix = QString::fromStdString(dir.file("photo"));
  Output("pdfimages", {"-j", QString::fromStdString(pdf), prefix});
  std::set<std::string> embedded;
  for (const QFileInfo& f : QDir(QString::fromStdString(dir.path().string())).entryInfoList({"photo-*.jpg"})) {
    QFile file(f.filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    embedded.insert(file.readAll().toStdString());
  }
  EXPECT_TRUE(embedded == (std::set<std::string>{red, green})) << embedded.size() << " JPEG streams";

  // Placed where drawn, and every name stays text.
  const auto pages = pdftest::RenderPdf(pdf, 100);
  ASSERT_FALSE(pages.empty());
  const QPoint photo = (CardCorner(1) + QPoint(60, 400)) / 6;
  EXPECT_GT(qRed(pages[0].pixel(photo)), 180);
  EXPECT_LT(qGreen(pages[0].pixel(photo)), 60);
  const std::string text = Output("pdftotext", {QString::fromStdString(pdf), "-"});
  for (int i = 1; i <= 6; ++i) EXPECT_NE(text.find("name" + std::to_string(i)), std::string::npos) << i;
}

TEST(JpegFrame, ReadsWholeJpegFilesAndRefusesTheRest) {
  const std::string rgb = Jpeg(Solid(31, 17, qRgb(10, 200, 30)));
  const std::string grey = Jpeg(Solid(8, 9, 0, QImage::Format_Grayscale8));
  const std::string progressive = Jpeg(Solid(40, 20, qRgb(1, 2, 3)), true);
  std::string huge = rgb;
  // The frame's height and width (after FF C0, length, precision) set to
  // 65535: far more than the bytes can fill.
  const size_t sof = huge.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  huge.replace(sof + 5, 4, "\xFF\xFF\xFF\xFF");
  std::string longSegment = rgb;
  longSegment[5] = '\x7F';  // the first segment's length runs past the end
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  Solid(4, 4, 0).save(&buffer, "PNG");
  struct Case {
    const char* name;
    std::string bytes;
    bool ok;
    TJpegFrame frame;
  } cases[] = {
      {"colour", rgb, true, {31, 17, 3}},
      {"grey", grey, true, {8, 9, 1}},
      {"progressive", progressive, true, {40, 20, 3}},
      {"zero padding after the end", rgb + std::string(3, '\0'), true, {31, 17, 3}},
      {"cut short", rgb.substr(0, rgb.size() - 40), false, {}},
      {"no end marker", rgb.substr(0, rgb.size() - 2), false, {}},
      {"size beyond the data", huge, false, {}},
      {"segment past the end", longSegment, false, {}},
      {"a PNG", png.toStdString(), false, {}},
      {"empty", "", false, {}},
      {"start marker only", "\xFF\xD8\xFF\xD9", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TJpegFrame frame{-1, -1, -1};
    ASSERT_EQ(ReadJpegFrame(c.bytes, frame), c.ok);
    if (!c.ok) {
      EXPECT_EQ(frame.Width, -1);  // untouched
      continue;
    }
    EXPECT_EQ(frame.Width, c.frame.Width);
    EXPECT_EQ(frame.Height, c.frame.Height);
    EXPECT_EQ(frame.Components, c.frame.Components);
  }
}

}  // namespace
