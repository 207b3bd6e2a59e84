// Text as it reaches pixels and paper: antialiased glyphs that keep every
// stroke, exact pixels where raster operations need them, measurements that
// hold the ink, and printed text that stays text.
#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <cstdlib>
#include <set>

#include "dbtest_support.h"
#include "pdftest_support.h"
#include "platform/canvas.h"
#include "platform/dbtables.h"
#include "platform/printers.h"
#include "platform/qreport.h"
#include "platform/qreportctrls.h"
#include "support/testenv.h"

namespace {

std::unique_ptr<TBitmap> WhiteBitmap(int w, int h, TPixelFormat format = pf24bit) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(format);
  b->SetSize(w, h);
  b->GetCanvas()->Brush->Color = clWhite;
  b->GetCanvas()->FillRect({0, 0, w, h});
  return b;
}

int Grey(TBitmap& b, int x, int y) {
  TColor c = b.GetCanvas()->GetPixel(x, y);
  return ((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF)) / 3;
}

// Separate dark runs down column x (a stroke is dark where it is at least
// about half covered).
int DarkRuns(TBitmap& b, int x) {
  int runs = 0;
  bool in = false;
  for (int y = 0; y < b.GetHeight(); ++y) {
    bool dark = Grey(b, x, y) < 140;
    if (dark && !in) ++runs;
    in = dark;
  }
  return runs;
}

std::set<TColor> Colours(TBitmap& b) {
  std::set<TColor> seen;
  for (int y = 0; y < b.GetHeight(); ++y)
    for (int x = 0; x < b.GetWidth(); ++x) seen.insert(b.GetCanvas()->GetPixel(x, y));
  return seen;
}

TEST(Text, ChineseStrokesSurviveAndEdgesAreAntialiased) {
  // 三 and 王 have three horizontal strokes; drawn without antialiasing at
  // small sizes a thin one vanished and they read as 二 and 丄.
  for (const char* face : {"宋体", "新宋体", "黑体", "微软雅黑", "楷体_GB2312", "仿宋"})
    for (int height : {-12, -16, -24})
      for (const char* glyph : {"三", "王"}) {
        SCOPED_TRACE(testing::Message() << face << " " << height << " " << glyph);
        auto b = WhiteBitmap(40, 40);
        TCanvas* c = b->GetCanvas();
        c->Font->Name = face;
        c->Font->Height = height;
        c->Font->Color = clBlack;
        c->BkMode = TRANSPARENT;
        c->TextOut(4, 4, glyph);
        int most = 0, grey = 0;
        for (int x = 0; x < b->GetWidth(); ++x) most = std::max(most, DarkRuns(*b, x));
        for (int y = 0; y < b->GetHeight(); ++y)
          for (int x = 0; x < b->GetWidth(); ++x) grey += Grey(*b, x, y) > 0 && Grey(*b, x, y) < 255;
        EXPECT_EQ(most, 3);
        EXPECT_GT(grey, 4);
      }
}

// The ink of `text` cropped to its bounding box, as grey levels.
QImage InkOf(const char* face, const char* text) {
  auto b = WhiteBitmap(120, 40);
  b->GetCanvas()->Font->Name = face;
  b->GetCanvas()->Font->Height = -16;
  b->GetCanvas()->TextOut(4, 4, text);
  QImage grey = b->Image().convertToFormat(QImage::Format_Grayscale8);
  QRect box;
  for (int y = 0; y < grey.height(); ++y)
    for (int x = 0; x < grey.width(); ++x)
      if (grey.constScanLine(y)[x] < 255) box |= QRect(x, y, 1, 1);
  return grey.copy(box);
}

TEST(Text, ChineseInLatinFacesTakesTheMatchingChineseFace) {
  EXPECT_EQ(InkOf("Arial", "王三丰"), InkOf("黑体", "王三丰"));
  EXPECT_EQ(InkOf("MS Sans Serif", "王三丰"), InkOf("黑体", "王三丰"));
  EXPECT_EQ(InkOf("Times New Roman", "王三丰"), InkOf("宋体", "王三丰"));
  EXPECT_NE(InkOf("Times New Roman", "王三丰"), InkOf("黑体", "王三丰"));
}

TEST(Text, IndexedSurfacesAndRasterOperationsKeepExactPixels) {
  // Text on one-bit and palette pictures stays in the two colours drawn.
  for (TPixelFormat format : {pf1bit, pf8bit}) {
    auto b = WhiteBitmap(60, 30, format);
    b->GetCanvas()->Font->Name = "宋体";
    b->GetCanvas()->Font->Height = -16;
    b->GetCanvas()->TextOut(2, 2, "王三");
    EXPECT_EQ(Colours(*b), (std::set<TColor>{clBlack, clWhite})) << format;
  }
  // XOR lines and frames over a picture are exact and undo themselves.
  auto b = WhiteBitmap(60, 30);
  TCanvas* c = b->GetCanvas();
  c->Pen->Mode = pmXor;
  c->Pen->Color = clWhite;
  c->Brush->Style = bsClear;
  auto draw = [&] {
    c->Rectangle(5, 5, 50, 25);
    c->MoveTo(0, 0);
    c->LineTo(59, 29);
    c->DrawFocusRect({10, 10, 40, 20});
  };
  draw();
  EXPECT_EQ(Colours(*b), (std::set<TColor>{clBlack, clWhite}));
  draw();
  EXPECT_EQ(Colours(*b), (std::set<TColor>{clWhite}));
}

TEST(Text, ChineseFacesHaveTheirEmSquareAsCell) {
  // As the system's own Chinese faces: a -16 font's text is 16 pixels
  // high, so it fits the boxes forms and templates were laid out with.
  for (const char* face : {"宋体", "黑体", "楷体_GB2312"})
    for (int height : {-12, -16, -24, 20}) {
      SCOPED_TRACE(testing::Message() << face << " " << height);
      auto b = WhiteBitmap(100, 60);
      TCanvas* c = b->GetCanvas();
      c->Font->Name = face;
      c->Font->Height = height;
      EXPECT_EQ(c->TextHeight("国王"), std::abs(height));
      c->TextOut(5, 10, "国王");
      for (int x = 0; x < 100; ++x) {
        EXPECT_EQ(Grey(*b, x, 9), 255) << x;
        EXPECT_EQ(Grey(*b, x, 10 + std::abs(height)), 255) << x;
      }
    }
}

TEST(Text, MeasuredExtentHoldsTheInk) {
  struct Case {
    const char* face;
    int height;
    const char* text;
    int mapMode;
  } cases[] = {{"宋体", -12, "姓名 Name 单位", MM_TEXT}, {"黑体", -20, "王三丰", MM_TEXT},
               {"楷体_GB2312", 24, "证卡设计", MM_TEXT}, {"Arial", -16, "Wide text", MM_TEXT},
               {"宋体", -8, "双倍比例", MM_ANISOTROPIC}};
  for (const Case& t : cases) {
    SCOPED_TRACE(t.face);
    auto b = WhiteBitmap(400, 120);
    TCanvas* c = b->GetCanvas();
    c->MapMode = t.mapMode;
    c->WindowExt = {1, 1};
    c->ViewportExt = {2, 2};  // device pixels twice the logical ones when anisotropic
    int scale = t.mapMode == MM_TEXT ? 1 : 2;
    c->Font->Name = t.face;
    c->Font->Height = t.height;
    c->BkMode = TRANSPARENT;
    TSize size = c->TextExtent(t.text);
    EXPECT_EQ(c->TextHeight(t.text), size.cy);
    EXPECT_EQ(c->TextWidth(t.text), size.cx);
    c->TextOut(5, 5, t.text);
    c->MapMode = MM_TEXT;  // pixels are read back in device units
    int left = 400, right = -1, top = 120, bottom = -1;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 400; ++x)
        if (Grey(*b, x, y) < 255) {
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
        }
    ASSERT_GE(right, 0);
    int x0 = 5 * scale, y0 = 5 * scale;
    EXPECT_GE(left, x0 - 1);
    EXPECT_LE(right, x0 + size.cx * scale);
    EXPECT_GE(right, x0 + size.cx * scale - 4 * scale);
    // A faint edge of a tall Latin letter may touch the row above.
    EXPECT_GE(top, y0 - 1);
    EXPECT_LE(bottom, y0 + size.cy * scale);
  }
}

// The text pdftotext finds in a PDF file.
QString PdfText(const std::string& pdf) {
  QProcess extract;
  extract.start("pdftotext", {"-enc", "UTF-8", QString::fromStdString(pdf), "-"});
  extract.waitForFinished(30000);
  return QString::fromUtf8(extract.readAllStandardOutput());
}

TEST(Text, PrinterCanvasTextStaysTextAboveEarlierInk) {
  cwtest::TempDir dir;
  TPrinter printer;
  printer.SetPrinterIndex(printer.Printers()->Count() - 1);
  printer.FileName = dir.file("canvas.pdf");
  printer.BeginDoc();
  ASSERT_EQ(printer.Resolution(), 300);
  TCanvas* c = printer.Canvas();
  // A grey box, then black text over its left part, in printer pixels.
  c->Brush->Color = clSilver;
  c->FillRect({300, 300, 900, 450});
  c->Font->Name = "宋体";
  c->Font->Height = -100;
  c->BkMode = TRANSPARENT;
  c->TextOut(300, 320, "证卡设计");
  printer.EndDoc();

  QString text = PdfText(dir.file("canvas.pdf"));
  EXPECT_TRUE(text.contains(QStringLiteral("证卡设计"))) << text.toStdString();
  auto pages = pdftest::RenderPdf(dir.file("canvas.pdf"), 100);
  ASSERT_EQ(pages.size(), 1u);
  // At 100 dpi the box is (100, 100)-(300, 150); the text's ink shows in it.
  QRect ink = pdftest::FirstDarkRect(pages[0]);
  EXPECT_TRUE(QRect(100, 100, 200, 50).contains(ink)) << ink.x() << "," << ink.y();
}

// Draws its text with the report canvas: level, and turned a quarter.
class CanvasTextPrintable : public TQRPrintable {
 public:
  void Print(double OfsX, double OfsY) override {
    TQRPrinter* p = ParentReport->QRPrinter;
    int x = p->XPos(OfsX + Size().Left), y = p->YPos(OfsY + Size().Top);
    TCanvas* c = p->Canvas;
    c->Font->Name = "黑体";
    c->Font->Height = -100;
    c->BkMode = TRANSPARENT;
    c->TextOut(x, y, "证卡");
    c->Font->Orientation = 900;
    c->TextOut(x + 400, y + 300, "竖排");
    c->Font->Orientation = 0;
    TQRPrintable::Print(OfsX, OfsY);
  }
};

TEST(Text, PrintedChineseStaysTextInThePdf) {
  cwtest::TempDir dir;
  std::string pdf = dir.file("cards.pdf");
  TDbfTable::Create(dir.file("data.DBF"), dbfLevel4, dbtest::CardColumns());
  TTable table;
  table.SetDatabaseName(dir.path().string());
  table.SetTableName("data.DBF");
  table.Open();
  table.Append();
  table.FieldByName("AAAA")->SetAsString("王三丰");
  table.Post();

  TQuickRep report;
  report.DataSet = &table;
  auto* band = new TQRBand;
  band->BandType = rbDetail;
  band->SetParent(&report);
  band->SetHeight(96);
  auto* title = new TQRLabel;
  title->SetParent(band);
  title->SetBounds(10, 10, 200, 30);
  title->SetCaption("姓名");
  title->GetFont()->Name = "黑体";
  auto* name = new TQRDBText;
  name->SetParent(band);
  name->SetBounds(10, 50, 200, 30);
  name->DataSet = &table;
  name->DataField = "AAAA";
  name->GetFont()->Name = "宋体";
  name->GetFont()->Height = -20;
  auto* drawn = new CanvasTextPrintable;
  drawn->SetParent(band);
  drawn->SetBounds(250, 10, 100, 60);
  report.Prepare();
  std::vector<std::string> texts;
  for (const TQRDrawing& d : report.QRPrinter->GetPage(1)->Drawings())
    if (d.Kind == TQRDrawing::dkText) texts.push_back(d.Text);
  // Turned canvas text is kept as ink.
  EXPECT_EQ(texts, (std::vector<std::string>{"姓名", "王三丰", "证卡"}));
  ASSERT_EQ(report.QRPrinter->ExportToPdf(pdf, 1, 1), 1);

  QString text = PdfText(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("姓名"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("王三丰"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("证卡"))) << text.toStdString();

  // The preview's page picture of the same text is antialiased.
  QImage page = report.QRPrinter->GetPage(1)->ToImage(96);
  int grey = 0;
  for (int y = 0; y < std::min(page.height(), 200); ++y)
    for (int x = 0; x < std::min(page.width(), 300); ++x) grey += qGray(page.pixel(x, y)) % 255 != 0;
  EXPECT_GT(grey, 10);
}

}  // namespace
