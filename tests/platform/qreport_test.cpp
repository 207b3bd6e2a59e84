#include "platform/qreport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "dbtest_support.h"
#include "pdftest_support.h"
#include "platform/dbtables.h"
#include "platform/forms.h"
#include "platform/gdi.h"
#include "platform/qreportctrls.h"
#include "platform/qrpreview.h"
#include "support/testenv.h"

namespace {

// 96 screen pixels are 25.4 mm (the screen is 96 dpi headless).
constexpr int kInch = 96;

// A band placed on the report, freed with it.
TQRBand* NewBand(TQuickRep* report, TQRBandType type) {
  auto* band = new TQRBand;
  band->BandType = type;
  band->SetParent(report);
  return band;
}

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ScreenPixelsPerInch(), kInch);
    setenv("CW_PRINTER_PDF", dir.file("printer.pdf").c_str(), 1);
    report.DataSet = &table;
    detail = NewBand(&report, rbDetail);
    detail->SetHeight(kInch);
  }
  void TearDown() override { unsetenv("CW_PRINTER_PDF"); }

  // A card-holder table of `count` records; AAAA holds "name <n>".
  void FillTable(int count, const std::string& longText = "") {
    table.Close();
    TDbfTable::Create(dir.file("data.DBF"), dbfLevel4, dbtest::CardColumns(60));
    table.SetDatabaseName(dir.path().string());
    table.SetTableName("data.DBF");
    table.Open();
    for (int i = 1; i <= count; ++i) {
      table.Append();
      table.FieldByName("AAAA")->SetAsString("name " + std::to_string(i));
      if (!longText.empty()) table.FieldByName("BBBB")->SetAsString(longText);
      table.Post();
    }
  }

  // A black box on the band at (left, top), w x h screen pixels.
  TQRLabel* BlackBox(TQRBand* band, int left, int top, int w, int h) {
    auto* box = new TQRLabel;
    box->SetParent(band);
    box->SetBounds(left, top, w, h);
    box->SetColor(clBlack);
    return box;
  }

  std::vector<std::string> TextsOf(int page) {
    std::vector<std::string> texts;
    for (const TQRDrawing& d : report.QRPrinter->GetPage(page)->Drawings())
      if (d.Kind == TQRDrawing::dkText) texts.push_back(d.Text);
    return texts;
  }

  cwtest::TempDir dir;
  TTable table;
  TQuickRep report;
  TQRBand* detail;
};

TEST_F(ReportTest, PageCountFollowsColumnsMarginsAndFooter) {
  struct Case {
    int records, columns;
    double top, columnSpace;
    int footerHeight;
    TPrinterOrientation orientation;
    int pages;
  } cases[] = {
      // 277 mm of column hold 10 bands of 25.4 mm.
      {45, 1, 10, 0, 0, poPortrait, 5},
      {45, 2, 10, 0, 0, poPortrait, 3},
      {40, 2, 10, 0, 0, poPortrait, 2},  // a full last page makes no empty one
      {0, 2, 10, 0, 0, poPortrait, 1},   // an empty table still gives a page
      // Top 30 and a 10 mm footer leave 246.9 mm: 9 bands; 3 columns.
      {45, 3, 30, 5, 38, poPortrait, 2},
      // Landscape: 190 mm hold 7 bands.
      {45, 1, 10, 0, 0, poLandscape, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.records << " records, " << c.columns << " columns");
    FillTable(c.records);
    report.Page.Columns = c.columns;
    report.Page.TopMargin = c.top;
    report.Page.ColumnSpace = c.columnSpace;
    report.Page.Orientation = c.orientation;
    std::unique_ptr<TQRBand> footer(NewBand(&report, rbPageFooter));
    footer->SetHeight(c.footerHeight);
    footer->SetEnabled(c.footerHeight > 0);
    report.Prepare();
    EXPECT_EQ(report.PageCount(), c.pages);
    EXPECT_EQ(report.QRPrinter->PageCount(), c.pages);
    EXPECT_EQ(report.DetailNumber(), c.records);
  }
}

TEST_F(ReportTest, BandsFillColumnsDownThenAcross) {
  FillTable(25);
  report.Page.Columns = 2;
  report.Page.ColumnSpace = 5;
  auto* text = new TQRDBText;
  text->SetParent(detail);
  text->DataSet = &table;
  text->DataField = "AAAA";
  text->SetWidth(200);
  report.Prepare();
  ASSERT_EQ(report.PageCount(), 2);
  // Column width (210 - 20 - 5) / 2 = 92.5 mm; bands 25.4 mm apart.
  std::map<std::string, std::pair<double, double>> at;
  for (int page = 1; page <= 2; ++page)
    for (const TQRDrawing& d : report.QRPrinter->GetPage(page)->Drawings())
      if (d.Kind == TQRDrawing::dkText) at[std::to_string(page) + d.Text] = {TQRPrinter::ToMm(d.X), TQRPrinter::ToMm(d.Y)};
  struct Expect {
    std::string key;
    double x, y;
  } expects[] = {{"1name 1", 10, 10}, {"1name 10", 10, 10 + 9 * 25.4}, {"1name 11", 107.5, 10},
                 {"1name 20", 107.5, 10 + 9 * 25.4}, {"2name 21", 10, 10}, {"2name 25", 10, 10 + 4 * 25.4}};
  for (const Expect& e : expects) {
    ASSERT_TRUE(at.count(e.key)) << e.key;
    EXPECT_NEAR(at[e.key].first, e.x, 0.05) << e.key;
    EXPECT_NEAR(at[e.key].second, e.y, 0.05) << e.key;
  }
  // The cursor is back on the record it was on.
  EXPECT_EQ(table.GetRecNo(), 25);
}

TEST_F(ReportTest, PrintsAPageRangeIntoAPdfAtTheRightPlace) {
  FillTable(45);
  report.Page.Columns = 2;
  report.Page.ColumnSpace = 5;
  // 12.7 mm in and 6.35 mm down on the band, 25.4 x 12.7 mm.
  BlackBox(detail, 48, 24, 96, 48);
  report.PrinterSettings.FirstPage = 2;
  report.PrinterSettings.LastPage = 3;
  EXPECT_EQ(report.Print(), 2);
  EXPECT_EQ(report.PageCount(), 3);

  constexpr int dpi = 100;
  auto pages = pdftest::RenderPdf(dir.file("printer.pdf"), dpi);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_NEAR(pdftest::PixelsToMm(pages[0].width(), dpi), 210, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(pages[0].height(), dpi), 297, 0.5);
  QRect first = pdftest::FirstDarkRect(pages[0]);
  EXPECT_NEAR(pdftest::PixelsToMm(first.left(), dpi), 22.7, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(first.top(), dpi), 16.35, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(first.width(), dpi), 25.4, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(first.height(), dpi), 12.7, 0.5);
  // The second column starts 92.5 + 5 mm further right.
  QRect second = pdftest::FirstDarkRect(pages[0], QRect(first.right() + 5, 0, 600, 300));
  EXPECT_NEAR(pdftest::PixelsToMm(second.left(), dpi), 22.7 + 97.5, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(second.top(), dpi), 16.35, 0.5);
  // Report page 2 holds 20 cards, page 3 the last 5 in the first column.
  int column0 = first.center().x(), column1 = second.center().x();
  EXPECT_EQ(pdftest::DarkRunsDown(pages[0], column0), 10);
  EXPECT_EQ(pdftest::DarkRunsDown(pages[0], column1), 10);
  EXPECT_EQ(pdftest::DarkRunsDown(pages[1], column0), 5);
  EXPECT_EQ(pdftest::DarkRunsDown(pages[1], column1), 0);
}

TEST_F(ReportTest, EmptyOrReversedRangePrintsNothing) {
  FillTable(5);
  for (auto [first, last] : {std::pair{3, 2}, std::pair{2, 9}}) {
    report.PrinterSettings.FirstPage = first;
    report.PrinterSettings.LastPage = last;
    EXPECT_EQ(report.Print(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("printer.pdf")));
  }
}

TEST_F(ReportTest, SavesPagePicturesWithTheSamePlacement) {
  FillTable(3);
  BlackBox(detail, 48, 24, 96, 48);
  report.Prepare();
  TQRPagePicture* page = report.QRPrinter->GetPage(1);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(report.QRPrinter->GetPage(2), nullptr);
  EXPECT_NEAR(page->GetWidth(), 210 * kInch / 25.4, 1);
  EXPECT_NEAR(page->GetHeight(), 297 * kInch / 25.4, 1);

  TBitmap bitmap;
  bitmap.SetSize(page->GetWidth(), page->GetHeight());
  page->Draw(bitmap.GetCanvas(), 0, 0);
  std::string file = dir.file("page1.bmp");
  bitmap.SaveToFile(file);
  TBitmap saved;
  saved.LoadFromFile(file);
  QImage image = saved.Image();
  QRect r = pdftest::FirstDarkRect(image);
  EXPECT_NEAR(pdftest::PixelsToMm(r.left(), kInch), 22.7, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(r.top(), kInch), 16.35, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(r.width(), kInch), 25.4, 0.5);
  EXPECT_EQ(pdftest::DarkRunsDown(image, r.center().x()), 3);
}

TEST_F(ReportTest, TextWrapsAndStretchesItsBand) {
  const std::string words = "alpha beta gamma delta epsilon zeta eta theta iota kappa";
  const std::string chinese = "张三李四王五赵六孙七周八吴九郑十";
  struct Case {
    std::string text;
    bool wordWrap, autoStretch;
    bool manyLines, bandGrows;
  } cases[] = {
      {words, true, true, true, true},
      {chinese, true, true, true, true},
      {words, true, false, false, false},  // cut at the box
      {words, false, true, false, false},  // one line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + (c.wordWrap ? " wrap" : "") + (c.autoStretch ? " stretch" : ""));
    FillTable(10, c.text);
    auto text = std::make_unique<TQRDBText>();
    text->SetParent(detail);
    text->DataSet = &table;
    text->DataField = "BBBB";
    text->SetWidth(60);
    text->SetHeight(20);
    text->GetFont()->Height = -16;
    text->WordWrap = c.wordWrap;
    text->AutoStretch = c.autoStretch;
    text->Transparent = true;
    detail->SetHeight(24);
    report.Prepare();

    std::vector<std::string> lines = TextsOf(1);
    std::string joined;
    for (const std::string& l : lines) joined += l;
    // A 20-pixel box shows the start of two lines at most.
    int perRecord = int(lines.size()) / 10;
    EXPECT_EQ(perRecord > 2, c.manyLines) << lines.size();
    if (c.manyLines) {
      std::string compact = c.text;
      std::erase(compact, ' ');
      std::erase(joined, ' ');
      EXPECT_NE(joined.find(compact), std::string::npos);
    }
    table.First();
    EXPECT_EQ(detail->NeededHeight() > ScreenPixelsToMm(detail->GetHeight()), c.bandGrows);
  }
}

TEST_F(ReportTest, EnabledDecidesWhatPrints) {
  FillTable(1);
  struct Case {
    bool enabled, visible, bandEnabled;
    bool printed;
  } cases[] = {
      {true, true, true, true}, {true, false, true, true}, {false, true, true, false}, {true, true, false, false}};
  for (const Case& c : cases) {
    auto label = std::make_unique<TQRLabel>();
    label->SetParent(detail);
    label->SetCaption("seen");
    label->SetEnabled(c.enabled);
    label->SetVisible(c.visible);
    detail->SetEnabled(c.bandEnabled);
    report.Prepare();
    EXPECT_EQ(TextsOf(1).size(), c.printed ? 1u : 0u) << c.enabled << c.visible << c.bandEnabled;
  }
}

TEST_F(ReportTest, FooterPrintsThePageNumberAtThePageBottom) {
  FillTable(25);
  auto* footer = NewBand(&report, rbPageFooter);
  footer->SetHeight(38);
  auto* number = new TQRSysData;
  number->SetParent(footer);
  number->Text = "第";
  report.Prepare();
  ASSERT_EQ(report.PageCount(), 3);
  for (int page = 1; page <= 3; ++page) {
    bool found = false;
    for (const TQRDrawing& d : report.QRPrinter->GetPage(page)->Drawings())
      if (d.Kind == TQRDrawing::dkText && d.Text == "第" + std::to_string(page)) {
        found = true;
        EXPECT_NEAR(TQRPrinter::ToMm(d.Y), 297 - 10 - ScreenPixelsToMm(38), 0.05);
      }
    EXPECT_TRUE(found) << page;
  }
}

// A printable that draws on the report printer's canvas as the picture
// controls do: a picture through DrawDib and a line with the pen.
class CanvasPrintable : public TQRPrintable {
 public:
  TBitmap picture;
  void Print(double OfsX, double OfsY) override {
    TQRPrinter* p = ParentReport->QRPrinter;
    int x = p->XPos(OfsX + Size().Left), y = p->YPos(OfsY + Size().Top);
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = picture.GetWidth();
    header.biHeight = -picture.GetHeight();
    header.biPlanes = 1;
    header.biBitCount = 24;
    HDRAWDIB dd = DrawDibOpen();
    DrawDibDraw(dd, p->Canvas->GetHandle(), x, y, 600, 300, &header, picture.ScanLine(0), 0, 0,
                picture.GetWidth(), picture.GetHeight(), 0);
    DrawDibClose(dd);
    p->Canvas->Pen->Color = clRed;
    p->Canvas->Pen->Width = 4;
    p->Canvas->MoveTo(x, y + 400);
    p->Canvas->LineTo(x + 600, y + 400);
    TQRPrintable::Print(OfsX, OfsY);
  }
};

TEST_F(ReportTest, CanvasDrawingsAreKeptOnThePage) {
  FillTable(1);
  auto* printable = new CanvasPrintable;
  printable->SetParent(detail);
  printable->SetBounds(96, 0, 96, 96);
  printable->Frame.DrawTop = true;
  printable->picture.SetSize(8, 4);
  printable->picture.GetCanvas()->Brush->Color = clBlue;
  printable->picture.GetCanvas()->FillRect({0, 0, 8, 4});
  report.Prepare();

  // 10 mm + 25.4 mm from the paper's corner, at 600 dpi.
  const int x = TQRPrinter::RecordDpi * (10 + 25.4) / 25.4, y = TQRPrinter::RecordDpi * 10 / 25.4;
  const auto& drawings = report.QRPrinter->GetPage(1)->Drawings();
  ASSERT_GE(drawings.size(), 3u);
  // The picture keeps its own 8 x 4 pixels, placed where it was drawn.
  EXPECT_EQ(drawings[0].Kind, TQRDrawing::dkPicture);
  EXPECT_EQ(drawings[0].Picture->size(), QSize(8, 4));
  EXPECT_NEAR(drawings[0].Box.Left, x, 1);
  EXPECT_NEAR(drawings[0].Box.Top, y, 1);
  EXPECT_EQ(drawings[0].Box.Width(), 600);
  // The pen's line, then the frame, in the order drawn.
  EXPECT_EQ(drawings[1].Kind, TQRDrawing::dkFill);
  EXPECT_EQ(drawings[1].Color, clRed);
  EXPECT_EQ(drawings.back().Kind, TQRDrawing::dkLine);

  QImage image = report.QRPrinter->GetPage(1)->ToImage(TQRPrinter::RecordDpi);
  EXPECT_EQ(image.pixel(x + 300, y + 150), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(x + 300, y + 400), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(x + 300, y + 420), qRgb(255, 255, 255));
}

TEST_F(ReportTest, ImagesPrintStretchedOrAtScreenSize) {
  FillTable(1);
  auto* image = new TQRImage;
  image->SetParent(detail);
  image->SetBounds(0, 0, 96, 48);
  image->Picture->SetSize(24, 24);
  image->Picture->GetCanvas()->Brush->Color = clBlack;
  image->Picture->GetCanvas()->FillRect({0, 0, 24, 24});
  for (bool stretch : {false, true}) {
    image->Stretch = stretch;
    report.Prepare();
    const TQRDrawing& d = report.QRPrinter->GetPage(1)->Drawings().at(0);
    ASSERT_EQ(d.Kind, TQRDrawing::dkPicture);
    // 24 screen pixels are a quarter inch; stretched, the box's 1 x 0.5 inch.
    EXPECT_NEAR(TQRPrinter::ToMm(d.Box.Width()), stretch ? 25.4 : 6.35, 0.05);
    EXPECT_NEAR(TQRPrinter::ToMm(d.Box.Height()), stretch ? 12.7 : 6.35, 0.05);
  }
}

TEST(ReportPageTest, PaperCodesMarginsAndValues) {
  struct Case {
    int code;
    TQRPaperSize stored;
    double width, length;
  } cases[] = {{9, TQRPaperSize::A4, 210, 297},     {1, TQRPaperSize::Letter, 215.9, 279.4},
               {8, TQRPaperSize::A3, 297, 420},     {11, TQRPaperSize::A5, 148, 210},
               {0, TQRPaperSize::Default, 210, 297}, {28, TQRPaperSize::Default, 210, 297},
               {-1, TQRPaperSize::Default, 210, 297}};
  for (const Case& c : cases) {
    TQRPage page;
    page.SetPaperSize(c.code);
    EXPECT_EQ(page.GetPaperSize(), c.stored) << c.code;
    EXPECT_DOUBLE_EQ(page.Width, c.width) << c.code;
    EXPECT_DOUBLE_EQ(page.Length, c.length) << c.code;
  }
  TQRPage page;
  page.Width = 100, page.Length = 50;
  page.SetPaperSize(TQRPaperSize::Custom);
  EXPECT_DOUBLE_EQ(page.Width, 100);
  for (int i = 0; i < 7; ++i) page.SetValue(i, 100 + i);
  EXPECT_DOUBLE_EQ(page.BottomMargin, 100);
  EXPECT_DOUBLE_EQ(page.Length, 101);
  EXPECT_DOUBLE_EQ(page.TopMargin, 102);
  EXPECT_DOUBLE_EQ(page.Width, 103);
  EXPECT_DOUBLE_EQ(page.LeftMargin, 104);
  EXPECT_DOUBLE_EQ(page.RightMargin, 105);
  EXPECT_DOUBLE_EQ(page.ColumnSpace, 106);
  EXPECT_DOUBLE_EQ(page.GetValue(7), 0);
}

TEST(ReportComponentsTest, ReportBandsAndPrintablesLiveOnAForm) {
  // As the card program's main window holds them: the hidden report with
  // its band, and printables made at run time with the window as owner.
  TForm form(nullptr);
  auto* report = new TQuickRep(&form);
  report->Name = "QuickRep1";
  report->SetParent(&form);
  report->Hide();
  auto* band = new TQRBand(&form);
  band->Name = "DetailBand1";
  band->SetParent(report);
  band->SetHeight(96);
  auto* back = new TQRLabel(&form);
  auto* front = new TQRLabel(&form);
  for (TQRLabel* label : {back, front}) {
    label->SetParent(band);
    label->SetBounds(10, 10, 60, 20);
    label->SetCaption(label == back ? "back" : "front");
  }
  EXPECT_EQ(form.FindComponent("DetailBand1"), band);
  EXPECT_EQ(back->ParentReport, report);
  EXPECT_EQ(report->BandCount(), 1);
  EXPECT_EQ(report->Bands(0), band);

  // A hidden report prints all the same, back to front in z order.
  auto order = [&] {
    report->Prepare();
    std::vector<std::string> texts;
    for (const TQRDrawing& d : report->QRPrinter->GetPage(1)->Drawings())
      if (d.Kind == TQRDrawing::dkText) texts.push_back(d.Text);
    return texts;
  };
  EXPECT_EQ(order(), (std::vector<std::string>{"back", "front"}));
  back->BringToFront();
  EXPECT_EQ(order(), (std::vector<std::string>{"front", "back"}));

  // The report of a printable follows its band.
  TQuickRep other(nullptr);
  band->SetParent(&other);
  EXPECT_EQ(front->ParentReport, &other);
  EXPECT_EQ(report->BandCount(), 0);
  band->SetParent(report);
  EXPECT_EQ(front->ParentReport, report);
  front->SetParent(nullptr);
  EXPECT_EQ(front->ParentReport, nullptr);
  front->SetParent(band);

  // Freeing a printable takes it off its band and its owner; freeing the
  // report frees what is on it, and the window forgets them.
  int owned = form.ComponentCount();
  back->Free();
  EXPECT_EQ(band->ControlCount(), 1);
  EXPECT_EQ(form.ComponentCount(), owned - 1);
  report->Free();
  EXPECT_EQ(form.FindComponent("QuickRep1"), nullptr);
  EXPECT_EQ(form.FindComponent("DetailBand1"), nullptr);
  EXPECT_EQ(form.ComponentCount(), owned - 4);
}

TEST(ReportPageTest, PageSetupValuesBothWays) {
  // To the page setup: paper code, orientation + 1, margins in hundredths.
  TQRPage page;
  page.SetPaperSize(TQRPaperSize::A3);
  page.Orientation = poLandscape;
  page.LeftMargin = 12.7, page.RightMargin = 0.29, page.TopMargin = 10, page.BottomMargin = 7.555;
  TQRPageSetup setup = PageSetupOfPage(page);
  EXPECT_EQ(setup.PaperSize, 8);
  EXPECT_EQ(setup.Orientation, 2);
  EXPECT_EQ(setup.MarginLeft, 1270);
  EXPECT_EQ(setup.MarginRight, 29);
  EXPECT_EQ(setup.MarginTop, 1000);
  EXPECT_EQ(setup.MarginBottom, 755);

  EXPECT_EQ(setup.PaperWidth, 29700);
  EXPECT_EQ(setup.PaperLength, 42000);
  // The report's own codes for "the default" and "its own size" are not the
  // system's: A4 and a paper of its own size with that size.
  page.SetPaperSize(TQRPaperSize::Default);
  EXPECT_EQ(PageSetupOfPage(page).PaperSize, 9);
  page.SetPaperSize(TQRPaperSize::Custom);
  page.Width = 86.5, page.Length = 54.25;
  setup = PageSetupOfPage(page);
  EXPECT_EQ(setup.PaperSize, kPageSetupOwnSize);
  EXPECT_EQ(setup.PaperWidth, 8650);
  EXPECT_EQ(setup.PaperLength, 5425);

  // Back from it: every paper code comes back at its own size, margins to
  // the hundredth.
  struct Case {
    int paper, width, length, orientation, margin;
    TQRPaperSize stored;
    double widthMm, lengthMm;
    TPrinterOrientation lies;
    double marginMm;
  } cases[] = {
      {9, 21000, 29700, 1, 1000, TQRPaperSize::A4, 210, 297, poPortrait, 10},
      {1, 21590, 27940, 2, 1270, TQRPaperSize::Letter, 215.9, 279.4, poLandscape, 12.7},
      {11, 14800, 21000, 1, 99, TQRPaperSize::A5, 148, 210, poPortrait, 0.99},
      {26, 86360, 111760, 1, 1000, TQRPaperSize::ESheet, 863.6, 1117.6, poPortrait, 10},
      // Codes the report has no paper for keep the paper's size.
      {27, 11000, 22000, 1, 2599, TQRPaperSize::Custom, 110, 220, poPortrait, 25.99},  // DL envelope
      {28, 16200, 22900, 2, 1000, TQRPaperSize::Custom, 162, 229, poLandscape, 10},
      {70, 10500, 14800, 1, 500, TQRPaperSize::Custom, 105, 148, poPortrait, 5},  // A6
      {kPageSetupOwnSize, 8560, 5398, 1, 0, TQRPaperSize::Custom, 85.6, 53.98, poPortrait, 0},
      // Without a size: A4; a negative margin is none.
      {kPageSetupOwnSize, 0, 0, 0, -500, TQRPaperSize::A4, 210, 297, poPortrait, 0},
      {0, 0, 0, 3, 1000, TQRPaperSize::A4, 210, 297, poPortrait, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "paper " << c.paper << ", margins " << c.margin);
    TQRPage target;
    target.SetPaperSize(TQRPaperSize::Custom);
    target.Width = 50;
    TQRPageSetup result{c.paper, c.width, c.length, c.orientation, c.margin, c.margin, c.margin, c.margin};
    ApplyPageSetup(target, result);
    EXPECT_EQ(target.GetPaperSize(), c.stored);
    EXPECT_DOUBLE_EQ(target.Width, c.widthMm);
    EXPECT_DOUBLE_EQ(target.Length, c.lengthMm);
    EXPECT_EQ(target.Orientation, c.lies);
    for (int index : {TQRPage::pvLeftMargin, TQRPage::pvRightMargin, TQRPage::pvTopMargin, TQRPage::pvBottomMargin})
      EXPECT_DOUBLE_EQ(target.GetValue(index), c.marginMm) << index;
  }
}

TEST(ReportPageTest, MarginsThatLeaveNoRoomRaise) {
  TQuickRep report;
  NewBand(&report, rbDetail);
  for (auto set : std::vector<std::function<void(TQRPage&)>>{
           [](TQRPage& p) { p.LeftMargin = p.RightMargin = 105; },
           [](TQRPage& p) { p.TopMargin = 290; },
           [](TQRPage& p) { p.Columns = 3, p.ColumnSpace = 100; }}) {
    TQRPage saved = report.Page;
    set(report.Page);
    EXPECT_THROW(report.Prepare(), EQRError);
    report.Page = saved;
  }
  // A band taller than the page prints one to a page and ends.
  TQRBand* detail = report.Bands(0);
  detail->SetHeight(2000);
  report.Prepare();
  EXPECT_EQ(report.PageCount(), 1);
}

TEST_F(ReportTest, PreviewPagesZoomsAndHearsProgress) {
  FillTable(45);
  TQRPreview preview;
  std::vector<int> progress, available;
  preview.OnProgressUpdate = [&](TObject*, int p) { progress.push_back(p); };
  preview.OnPageAvailable = [&](TObject*, int page) { available.push_back(page); };
  preview.SetQRPrinter(report.QRPrinter);
  bool previewed = false;
  report.OnPreview = [&](TObject*) { previewed = true; };
  report.Preview();
  EXPECT_TRUE(previewed);
  EXPECT_EQ(available, (std::vector<int>{1, 2, 3, 4, 5}));
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), 100);

  preview.SetPageNumber(9);
  EXPECT_EQ(preview.GetPageNumber(), 5);
  preview.SetPageNumber(0);
  EXPECT_EQ(preview.GetPageNumber(), 1);
  TBitmap shown;
  ASSERT_TRUE(preview.PageBitmap(&shown));
  EXPECT_NEAR(shown.GetWidth(), 794, 1);
  preview.SetZoom(50);
  ASSERT_TRUE(preview.PageBitmap(&shown));
  EXPECT_NEAR(shown.GetWidth(), 397, 1);
  preview.SetBounds(0, 0, 397, 600);
  preview.ZoomToWidth();
  EXPECT_EQ(preview.GetZoom(), 50);
  preview.SetBounds(0, 0, 794, 550);
  preview.ZoomToFit();
  EXPECT_EQ(preview.GetZoom(), 49);
  report.QRPrinter->Cleanup();
  EXPECT_FALSE(preview.PageBitmap(&shown));
}

}  // namespace
