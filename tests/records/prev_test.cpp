// The print preview window through its buttons: paging, zooming, page
// setup, page-range printing into a PDF and pages saved as pictures.
#include "records/prev.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>

#include <filesystem>
#include <fstream>
#include <memory>

#include "designer/cardprogram.h"
#include "platform/dbtables.h"
#include "platform/dbtest_support.h"
#include "platform/fonts.h"
#include "platform/pdftest_support.h"
#include "platform/kernel.h"
#include "platform/qreportctrls.h"
#include "platform/qt_input.h"
#include "records/dbpicsu.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"

using cardtest::CardProgram;
namespace fs = std::filesystem;

namespace {

// A report of `records` cards, ten to an A4 page: each card a band of one
// inch, holding a black box 12.7 mm right of and 6.35 mm below the band's
// corner, 25.4 x 12.7 mm, and its record number as text.
class PreviewWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ScreenPixelsPerInch(), 96);
    TDbfTable::Create(program.Data("cards.DBF"), dbfLevel4, dbtest::CardColumns());
    table.SetDatabaseName(program.DataFolder().string());
    table.SetTableName("cards.DBF");
    table.Open();
    AddRecords(25);
    report = new TQuickRep(&holder);
    report->SetParent(&holder);
    report->DataSet = &table;
    auto* band = new TQRBand(&holder);
    band->SetParent(report);
    band->SetHeight(96);
    auto* box = new TQRLabel(&holder);
    box->SetParent(band);
    box->SetBounds(48, 24, 96, 48);
    box->SetColor(clBlack);
    auto* number = new TQRSysData(&holder);
    number->SetParent(band);
    number->SetBounds(200, 24, 100, 20);
    number->Data = qrsDetailNo;
    form = MakeForm<TPrevForm>(Application);
    program.Keep(form);
    form->OpenReport(report);
    program.dialogs.Records.clear();
  }

  void AddRecords(int count) {
    for (int i = 0; i < count; ++i) {
      table.Append();
      table.Post();
    }
  }

  static void Press(TToolButton* button) { WindowClick(button, {button->GetWidth() / 2, button->GetHeight() / 2}); }
  std::string Status() const { return form->StatusBar1->GetSimpleText(); }
  std::string PdfFile() const { return program.Home().File("print.pdf"); }

  // A page setup answer: `user` changes the dialog as the user would.
  void AnswerPageSetup(std::function<void(TPageSetupDialog*)> user, bool ok = true) {
    program.dialogs.AnswerDialog([user, ok](TCommonDialog* dialog) {
      user(static_cast<TPageSetupDialog*>(dialog));
      return ok;
    });
  }
  void AnswerSaveAs(const std::string& name, int filterIndex) {
    program.dialogs.AnswerDialog([name, filterIndex](TCommonDialog* dialog) {
      return static_cast<TSaveDialog*>(dialog)->ChooseFiles({name}, filterIndex);
    });
  }

  CardProgram program;
  TTable table;
  TForm holder{nullptr};
  TQuickRep* report = nullptr;
  TPrevForm* form = nullptr;
};

TEST_F(PreviewWindow, PagesThroughTheReportWithItsButtons) {
  EXPECT_EQ(form->GetCaption(), "预览");
  EXPECT_TRUE(form->GetVisible());
  EXPECT_EQ(form->QRPreview1->GetQRPrinter(), report->QRPrinter);
  EXPECT_EQ(Status(), "第1页共3页");
  struct Step {
    TToolButton* TPrevForm::*button;
    int page;
  } steps[] = {{&TPrevForm::ToolButton5, 2}, {&TPrevForm::ToolButton5, 3}, {&TPrevForm::ToolButton5, 3},
               {&TPrevForm::ToolButton4, 2}, {&TPrevForm::ToolButton3, 1}, {&TPrevForm::ToolButton4, 1},
               {&TPrevForm::ToolButton6, 3}, {&TPrevForm::ToolButton3, 1}};
  for (const Step& step : steps) {
    TToolButton* button = form->*step.button;
    SCOPED_TRACE(button->GetCaption());
    button->SetEnabled(true);  // a disabled button takes no click: press it anyway
    Press(button);
    EXPECT_EQ(form->QRPreview1->GetPageNumber(), step.page);
    EXPECT_EQ(Status(), "第" + std::to_string(step.page) + "页共3页");
    EXPECT_EQ(form->ToolButton3->GetEnabled(), step.page > 1);
    EXPECT_EQ(form->ToolButton4->GetEnabled(), step.page > 1);
    EXPECT_EQ(form->ToolButton5->GetEnabled(), step.page < 3);
    EXPECT_EQ(form->ToolButton6->GetEnabled(), step.page < 3);
  }
}

TEST_F(PreviewWindow, OnePageLeavesEveryPageButtonDisabled) {
  table.First();
  while (table.RecordCount() > 3) table.Delete();
  form->OpenReport(report);
  for (TToolButton* button : {form->ToolButton5, form->ToolButton6}) {
    button->SetEnabled(true);
    Press(button);
    EXPECT_EQ(Status(), "第1页共1页");
    for (TToolButton* any : {form->ToolButton3, form->ToolButton4, form->ToolButton5, form->ToolButton6})
      EXPECT_FALSE(any->GetEnabled()) << any->GetCaption();
  }
}

TEST_F(PreviewWindow, NewPagesShowAtFullSizeAndCloseDropsThem) {
  form->QRPreview1->SetZoom(40);
  form->ProgressBar1->SetPosition(0);
  report->Prepare();
  EXPECT_EQ(form->QRPreview1->GetZoom(), 100);
  EXPECT_EQ(form->ProgressBar1->GetPosition(), 100);
  Press(form->TBClose);
  EXPECT_FALSE(form->GetVisible());
  EXPECT_EQ(report->QRPrinter->PageCount(), 0);
}

TEST_F(PreviewWindow, ZoomsInFivesBetweenFiveAndTwoHundred) {
  TQRPreview* preview = form->QRPreview1;
  ASSERT_EQ(preview->GetZoom(), 100);
  for (int i = 0; i < 20; ++i) Press(form->ToolButton12);
  EXPECT_EQ(preview->GetZoom(), 200);
  Press(form->ToolButton12);
  EXPECT_EQ(preview->GetZoom(), 200);
  Press(form->ToolButton7);
  EXPECT_EQ(preview->GetZoom(), 100);
  for (int i = 0; i < 19; ++i) Press(form->ToolButton13);
  EXPECT_EQ(preview->GetZoom(), 5);
  Press(form->ToolButton13);
  EXPECT_EQ(preview->GetZoom(), 5);

  // The fitting zooms are the preview control's.
  Press(form->ToolButton8);
  const int fit = preview->GetZoom();
  preview->ZoomToFit();
  EXPECT_EQ(preview->GetZoom(), fit);
  Press(form->ToolButton9);
  const int width = preview->GetZoom();
  preview->ZoomToWidth();
  EXPECT_EQ(preview->GetZoom(), width);
  EXPECT_GT(width, fit);
}

TEST_F(PreviewWindow, PrintsAPageRangeIntoThePdfAtItsPlace) {
  program.dialogs.AnswerInput("2");
  program.dialogs.AnswerInput(" 3 ");
  Press(form->BPrint);
  ASSERT_EQ(program.dialogs.Records.size(), 2u);
  EXPECT_EQ(program.dialogs.Records[0].Caption, "打印范围设置    ");
  EXPECT_EQ(program.dialogs.Records[0].Text, "请输入起始页码           ");
  EXPECT_EQ(program.dialogs.Records[1].Text, "请输入结束页码           ");
  const int dpi = 150;
  std::vector<QImage> pages = pdftest::RenderPdf(PdfFile(), dpi);
  ASSERT_EQ(pages.size(), 2u);
  // Page 2 starts with card 11 at the top margin: its box at 10 + 12.7 mm
  // across and 10 + 6.35 mm down.
  const QRect box = pdftest::FirstDarkRect(pages[0]);
  EXPECT_NEAR(pdftest::PixelsToMm(box.left(), dpi), 22.7, 0.3);
  EXPECT_NEAR(pdftest::PixelsToMm(box.top(), dpi), 16.35, 0.3);
  EXPECT_NEAR(pdftest::PixelsToMm(box.width(), dpi), 25.4, 0.3);
  EXPECT_NEAR(pdftest::PixelsToMm(box.height(), dpi), 12.7, 0.3);
  // Five cards on the last page (21..25), ten on page 2.
  EXPECT_EQ(pdftest::DarkRunsDown(pages[0], box.center().x()), 10);
  EXPECT_EQ(pdftest::DarkRunsDown(pages[1], box.center().x()), 5);
  // The record numbers stay text.
  QProcess text;
  text.start("pdftotext", {QString::fromStdString(PdfFile()), "-"});
  ASSERT_TRUE(text.waitForFinished(10000));
  const QString words = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_TRUE(words.contains("11")) << words.toStdString();
  EXPECT_TRUE(words.contains("25"));
  EXPECT_FALSE(words.contains("\n10\n"));
}

TEST_F(PreviewWindow, PrintingChecksTheRangeAgainstTheTableAsItIsNow) {
  // Ten more cards since the preview was opened: a fourth page.
  AddRecords(10);
  program.dialogs.AnswerInput("4");
  program.dialogs.AnswerInput("4");
  Press(form->BPrint);
  EXPECT_TRUE(program.Messages().size() == 2u) << program.Messages().back();
  ASSERT_EQ(pdftest::RenderPdf(PdfFile(), 30).size(), 1u);
  EXPECT_EQ(Status(), "第1页共4页");

  struct Case {
    const char *first, *last;
  } refused[] = {{"0", "2"}, {"1", "5"}, {"5", "5"}, {"2", "-1"}, {"3", "2"}};
  for (const Case& c : refused) {
    SCOPED_TRACE(testing::Message() << c.first << ".." << c.last);
    fs::remove(PdfFile());
    program.dialogs.Records.clear();
    program.dialogs.AnswerInput(c.first);
    program.dialogs.AnswerInput(c.last);
    Press(form->BPrint);
    EXPECT_EQ(program.Messages().back(), "页码超出范围！");
    EXPECT_FALSE(fs::exists(PdfFile()));
  }

  // Cancelling either box prints nothing; a word that is no number is
  // reported by the application.
  program.dialogs.Records.clear();
  program.dialogs.AnswerInput("", false);
  Press(form->BPrint);
  program.dialogs.AnswerInput("1");
  program.dialogs.AnswerInput("", false);
  Press(form->BPrint);
  program.dialogs.AnswerInput("一");
  program.dialogs.AnswerInput("2");
  Press(form->BPrint);
  EXPECT_FALSE(fs::exists(PdfFile()));
  ASSERT_EQ(program.dialogs.Records.size(), 6u);
  EXPECT_EQ(program.dialogs.Records.back().Kind, TDialogRecord::Message);
  EXPECT_NE(program.dialogs.Records.back().Text.find("一"), std::string::npos);
}

TEST_F(PreviewWindow, PageSetupOpensOnTheReportsPageAndKeepsHundredths) {
  report->Page.LeftMargin = 12.7;
  form->OpenReport(report);
  EXPECT_EQ(form->SetupMarginLeft, 1270);
  form->ToolButton5->Click();
  AnswerPageSetup([](TPageSetupDialog* d) {
    // Opened with the report's paper, orientation and margins.
    EXPECT_EQ(d->PaperSize, DMPAPER_A4);
    EXPECT_EQ(d->Orientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(d->MarginLeft, 1270);
    EXPECT_EQ(d->MarginTop, 1000);
    d->SetPaper(DMPAPER_A5);
    d->Orientation = DMORIENT_LANDSCAPE;
    d->MarginLeft = 1555;
    d->MarginTop = 805;
    d->MarginRight = 1270;
    d->MarginBottom = 0;
  });
  Press(form->BSetPaper);
  EXPECT_EQ(program.dialogs.Pending(), 0u);
  EXPECT_EQ(report->Page.GetPaperSize(), TQRPaperSize::A5);
  EXPECT_EQ(report->Page.Orientation, poLandscape);
  EXPECT_DOUBLE_EQ(report->Page.LeftMargin, 15.55);
  EXPECT_DOUBLE_EQ(report->Page.TopMargin, 8.05);
  EXPECT_DOUBLE_EQ(report->Page.RightMargin, 12.7);
  EXPECT_DOUBLE_EQ(report->Page.BottomMargin, 0);
  EXPECT_EQ(form->SetupPaperSize, DMPAPER_A5);
  EXPECT_EQ(form->SetupOrientation, 2);
  EXPECT_EQ(form->SetupMarginLeft, 1555);
  EXPECT_EQ(form->SetupMarginTop, 805);
  // Prepared again on the new paper, shown from page 1: an A5 page lying
  // down holds fewer cards.
  EXPECT_EQ(form->QRPreview1->GetPageNumber(), 1);
  EXPECT_NEAR(report->QRPrinter->PaperWidthMm(), 210, 0.01);
  EXPECT_GT(report->PageCount(), 3);
  EXPECT_EQ(Status(), "第1页共" + std::to_string(report->PageCount()) + "页");

  // A paper of its own size keeps that size, and opens again with it.
  AnswerPageSetup([](TPageSetupDialog* d) {
    EXPECT_EQ(d->PaperSize, DMPAPER_A5);
    EXPECT_EQ(d->MarginLeft, 1555);
    d->PaperSize = DMPAPER_USER;
    d->PaperWidth = 10000;
    d->PaperLength = 15000;
    d->Orientation = DMORIENT_PORTRAIT;
  });
  Press(form->BSetPaper);
  EXPECT_EQ(report->Page.GetPaperSize(), TQRPaperSize::Custom);
  EXPECT_DOUBLE_EQ(report->Page.Width, 100);
  EXPECT_DOUBLE_EQ(report->Page.Length, 150);
  EXPECT_EQ(form->SetupPaperSize, kPageSetupOwnSize);
  // ... and prints on it.
  program.dialogs.AnswerInput("1");
  program.dialogs.AnswerInput("1");
  Press(form->BPrint);
  const std::vector<QImage> printed = pdftest::RenderPdf(PdfFile(), 72);
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_NEAR(pdftest::PixelsToMm(printed[0].width(), 72), 100, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(printed[0].height(), 72), 150, 0.5);
  AnswerPageSetup(
      [](TPageSetupDialog* d) {
        EXPECT_EQ(d->PaperSize, DMPAPER_USER);
        EXPECT_EQ(d->PaperWidth, 10000);
        EXPECT_EQ(d->PaperLength, 15000);
        d->SetPaper(DMPAPER_A3);
      },
      false);

  // Cancelled: nothing changes, the pages are prepared all the same.
  AddRecords(30);
  Press(form->BSetPaper);
  EXPECT_EQ(report->Page.GetPaperSize(), TQRPaperSize::Custom);
  EXPECT_EQ(form->SetupPaperSize, kPageSetupOwnSize);
  EXPECT_EQ(Status(), "第1页共" + std::to_string(report->PageCount()) + "页");
  EXPECT_GT(report->QRPrinter->PageCount(), 10);
}

// The page pictures of the report, each read back.
class PagePictures : public PreviewWindow {
 protected:
  // Answers the two questions, then the rest in order.
  void AnswerQuestions(bool mirror, bool all) {
    program.dialogs.Answer(mirror ? IDYES : IDNO);
    program.dialogs.Answer(all ? IDYES : IDNO);
  }
  std::string Folder() const { return program.Home().File("pictures") + "/"; }
  void SetUp() override {
    PreviewWindow::SetUp();
    fs::create_directories(Folder());
  }
};

TEST_F(PagePictures, AllPagesGoIntoAFolderNamedAsTheChosenFile) {
  struct Case {
    std::string chosen;
    int filter;
    std::string folder, extension;
  } cases[] = {
      {"cards.jpg", 1, "cards", ".jpg"},
      {"sixlet", 4, "sixlet", ".PNG"},  // no extension: the whole name
      {"page.set.bmp", 3, "page.set", ".bmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    AnswerQuestions(false, true);
    AnswerSaveAs(Folder() + c.chosen, c.filter);
    Press(form->BSaveAsPic);
    EXPECT_EQ(program.dialogs.Pending(), 0u);
    for (int page = 1; page <= 3; ++page) {
      const std::string name = Folder() + c.folder + "/第" + std::to_string(page) + "页" + c.extension;
      QImage picture(QString::fromStdString(name));
      ASSERT_FALSE(picture.isNull()) << name;
      // A4 at screen resolution.
      EXPECT_NEAR(picture.width(), 794, 1);
      EXPECT_NEAR(picture.height(), 1123, 1);
    }
    EXPECT_FALSE(fs::exists(Folder() + c.folder + "/第4页" + c.extension));
  }
  EXPECT_EQ(program.dialogs.Records[0].Text, "保存为背面镜像图吗？");
  EXPECT_EQ(program.dialogs.Records[0].Caption, "任君选择");
  EXPECT_EQ(program.dialogs.Records[1].Text, "所有页都保存为图吗？否则将只让您保存特定的页。 ");
}

TEST_F(PagePictures, OnePageTakesOneExtensionAndMirrorsOnRequest) {
  struct Case {
    bool mirror;
    std::string typed, saved;
    int filter;
  } cases[] = {
      {false, "plain.bmp", "plain.bmp", 3},
      {true, "mirror", "mirror.bmp", 3},
      {false, "photo.jpeg", "photo.jpeg", 2},
      {false, "photo.jpg", "photo.jpg", 1},
      {false, "odd.jpg", "odd.jpg.bmp", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    AnswerQuestions(c.mirror, false);
    program.dialogs.AnswerInput(" 2 ");
    AnswerSaveAs(Folder() + c.typed, c.filter);
    Press(form->BSaveAsPic);
    EXPECT_TRUE(fs::exists(Folder() + c.saved));
  }
  EXPECT_EQ(program.dialogs.Records[2].Caption, "页码");
  EXPECT_EQ(program.dialogs.Records[2].Text, "您要保存第几页？                  ");
  EXPECT_EQ(fs::directory_iterator(Folder()) == fs::directory_iterator(), false);
  EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 5);

  // The mirror is the page flipped left to right, pixel for pixel.
  QImage plain(QString::fromStdString(Folder() + "plain.bmp"));
  QImage mirrored(QString::fromStdString(Folder() + "mirror.bmp"));
  ASSERT_FALSE(plain.isNull());
  ASSERT_EQ(plain.size(), mirrored.size());
  EXPECT_EQ(plain.convertToFormat(QImage::Format_RGB32).mirrored(true, false),
            mirrored.convertToFormat(QImage::Format_RGB32));
  // Page 2's first card sits at 22.7 mm from the left, on the right when
  // mirrored.
  const QRect box = pdftest::FirstDarkRect(plain);
  EXPECT_NEAR(pdftest::PixelsToMm(box.left(), 96), 22.7, 0.4);
  EXPECT_NEAR(pdftest::PixelsToMm(box.top(), 96), 16.35, 0.4);
}

TEST_F(PagePictures, AWrongPageSavesNothing) {
  struct Case {
    std::string answer, message;
    bool asksFile;
  } cases[] = {
      {"四", "你的输入有误，这不是有效的数字，应该输入阿拉伯数字！", false},
      {"4", "您所选的页码超出范围！", true},
      {"0", "您所选的页码超出范围！", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    program.dialogs.Records.clear();
    AnswerQuestions(false, false);
    program.dialogs.AnswerInput(c.answer);
    if (c.asksFile) AnswerSaveAs(Folder() + "wrong.jpg", 1);
    Press(form->BSaveAsPic);
    EXPECT_EQ(program.dialogs.Pending(), 0u);
    EXPECT_EQ(program.Messages().back(), c.message);
  }
  // A cancelled save dialog or page box ends the command quietly.
  AnswerQuestions(false, true);
  Press(form->BSaveAsPic);
  AnswerQuestions(false, false);
  program.dialogs.AnswerInput("", false);
  Press(form->BSaveAsPic);
  EXPECT_EQ(program.dialogs.Pending(), 0u);
  EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 0);
}

TEST(PagePictureNames, FolderBesideTheChosenFileAndOneExtension) {
  struct Case {
    std::string chosen;
    int page;
    std::string extension, expected;
  } cases[] = {
      {"/p/abcde.jpg", 1, ".jpg", "/p/abcde/第1页.jpg"},
      {"/p/abcdef", 12, ".PNG", "/p/abcdef/第12页.PNG"},
      {"/p/q.r/s.tiff", 3, ".TIFF", "/p/q.r/s/第3页.TIFF"},
      {"/p/.jpg", 2, ".jpg", "/p/.jpg/第2页.jpg"},
  };
  for (const Case& c : cases) EXPECT_EQ(PagePictureName(c.chosen, c.page, c.extension), c.expected) << c.chosen;
  const char* extensions[] = {".jpg", ".jpg", ".bmp", ".PNG", ".Gif", ".TIFF", ".PCX", ".TGA", ".PXM"};
  for (int filter = 1; filter <= 9; ++filter) EXPECT_EQ(PagePictureExtension(filter), extensions[filter - 1]);
  EXPECT_TRUE(HasPagePictureExtension("a.JPEG", 1));
  EXPECT_TRUE(HasPagePictureExtension("a.tif", 6));
  EXPECT_FALSE(HasPagePictureExtension("a.jpg", 4));
  EXPECT_FALSE(HasPagePictureExtension("jpg", 1));
}

TEST(PreviewOfTheCard, ShowingTheWindowAttachesTheCardReportAndPlacesTheTwins) {
  CardProgram program;
  TMainForm* main = program.MakeMainForm();
  FormPicEdit = MakeForm<TFormPicEdit>(Application);
  program.Keep(FormPicEdit);
  PrevForm = MakeForm<TPrevForm>(Application);
  program.Keep(PrevForm);
  main->PicOne->SetBounds(31, 32, 33, 34);
  main->PicOne->SetVisible(true);
  main->BarcodeSet->SetBounds(41, 42, 43, 44);
  main->BarcodeSet->SetVisible(false);
  main->SignPic->SetBounds(5, 6, 7, 8);
  main->QuickRep1->Page.LeftMargin = 7.25;
  // As the designer's preview command does it: show, then prepare.
  PrevForm->Show();
  main->QuickRep1->Prepare();
  EXPECT_EQ(PrevForm->QRPreview1->GetQRPrinter(), main->QuickRep1->QRPrinter);
  EXPECT_EQ(PrevForm->SetupMarginLeft, 725);
  const int pages = main->QuickRep1->PageCount();
  ASSERT_GE(pages, 1);
  EXPECT_EQ(PrevForm->StatusBar1->GetSimpleText(), "第1页共" + std::to_string(pages) + "页");
  EXPECT_EQ(PrevForm->ProgressBar1->GetPosition(), 100);
  EXPECT_EQ(main->QRDBPicOne->GetBoundsRect(), Bounds(31, 32, 33, 34));
  EXPECT_TRUE(main->QRDBPicOne->GetEnabled());
  EXPECT_EQ(main->QRDBBarCode->GetBoundsRect(), Bounds(41, 42, 43, 44));
  EXPECT_FALSE(main->QRDBBarCode->GetEnabled());
  EXPECT_EQ(main->QRSignPic->GetBoundsRect(), Bounds(5, 6, 7, 8));
}

TEST(PreviewStart, LeavesOtherProgramsTemporaryFilesAlone) {
  CardProgram program;
  const fs::path temp = GetTempPath();
  const fs::path files[] = {temp / "qrp0001.tmp", temp / "ima0002.tmp", temp / "QRPdone"};
  for (const fs::path& file : files) std::ofstream(file) << "x";
  auto* form = MakeForm<TPrevForm>(Application);
  program.Keep(form);
  for (const fs::path& file : files) {
    EXPECT_TRUE(fs::exists(file)) << file;
    fs::remove(file);
  }
}

}  // namespace
