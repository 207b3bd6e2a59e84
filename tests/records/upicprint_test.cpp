// The single card picture window under real input: the card picture shown
// on every show, the menus dropped from the menu bar, the colour and
// effect dialogs, undo, cut and copy of a dragged selection, files opened
// and saved through the dialog service, the printer setup and the exit.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QImage>
#include <QMenu>

#include <filesystem>
#include <string>
#include <vector>

#include "designer/cardprogram.h"
#include "imaging/io/pixio.h"
#include "imaging/proc/pixproc.h"
#include "imaging/view/opendlg.h"
#include "imaging/view/pixview.h"
#include "imaging/view/previews.h"
#include "imaging/view/printdlg.h"
#include "imaging/io/imscanselect.h"
#include "imaging/io/twainparams.h"
#include "platform/commdlg.h"
#include "platform/menus.h"
#include "platform/comctrls.h"
#include "platform/pdftest_support.h"
#include "platform/qt_input.h"
#include "platform/stdctrls.h"
#include "platform/toolbars.h"
#include "records/cardpictures.h"
#include "records/upicprint.h"
#include "support/sanetestenv.h"

using cardtest::CardProgram;
namespace fs = std::filesystem;

namespace {

constexpr int kW = 80, kH = 50;

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

// The card picture: red on the left half, blue on the right.
void WriteCard() {
  TBitmap card;
  card.SetSize(kW, kH);
  card.GetCanvas()->Brush->Color = clRed;
  card.GetCanvas()->FillRect(Rect(0, 0, kW / 2, kH));
  card.GetCanvas()->Brush->Color = clBlue;
  card.GetCanvas()->FillRect(Rect(kW / 2, 0, kW, kH));
  card.SaveToFile(SingleCardPicturePath());
}

class PrintPicWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteCard();
    form_ = FormPrintPic = MakeForm<TFormPrintPic>(Application);
    program_.Keep(form_);
    form_->Show();
    Settle();
    program_.dialogs.Records.clear();
  }
  void TearDown() override { fs::remove(SingleCardPicturePath()); }

  TBitmap* Picture() { return form_->PixView1->GetFBitmap(); }
  TColor At(int x, int y) { return Picture()->GetCanvas()->GetPixel(x, y); }
  // What the screen shows of the view, at a client point.
  QColor Shown(int x, int y) {
    Settle();
    return form_->PixView1->Widget()->grab().toImage().pixelColor(x, y);
  }
  // Where picture point (x, y) lies in the view, at zoom 100.
  TPoint OnScreen(int x, int y) { return {form_->PixView1->XBmp2Scr(x), form_->PixView1->YBmp2Scr(y)}; }

  QMenu* Drop(TToolButton* button) {
    WindowClick(button, {button->GetWidth() / 2, button->GetHeight() / 2});
    return OpenMenu();
  }
  // Chooses an entry of a menu of the bar with the mouse.
  void Choose(TToolButton* button, const std::string& entry) {
    QMenu* menu = Drop(button);
    ASSERT_NE(menu, nullptr) << button->GetCaption();
    for (QAction* action : menu->actions())
      if (action->text().toStdString() == entry) {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        Settle();
        return;
      }
    CloseTrackedMenu();
    FAIL() << "no entry " << entry;
  }

  // The next processing dialog: the user types 100 into the green of the
  // RGB page and presses OK; `pages` gets the pages it offered.
  void RaiseGreenOnOk(TPreviewEffects* pages) {
    program_.dialogs.AnswerModal(mrOk, [pages](TCustomForm* form) {
      Settle();
      auto* d = static_cast<TfPreviews*>(form);
      if (pages) *pages = d->PreviewEffects;
      const TRect r = d->PageControl1->TabRect(d->TabSheets[size_t(ppgRGB)]->GetTabIndex());
      WidgetClick(d->PageControl1, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
      QWidget* w = d->Edit6->Widget();
      QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
      QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(w, "100");
      Settle();
      WindowClick(d->Button1, {d->Button1->GetWidth() / 2, d->Button1->GetHeight() / 2});
      Settle();
    });
  }

  CardProgram program_;
  TFormPrintPic* form_ = nullptr;
};

TEST_F(PrintPicWindow, IsTheDesignedWindowWithItsMenus) {
  EXPECT_EQ(form_->GetCaption(), "打印");
  EXPECT_EQ(form_->GetWidth(), 544);
  EXPECT_EQ(form_->GetHeight(), 375);
  const struct {
    TToolButton* button;
    std::vector<std::string> entries;
  } menus[] = {
      {form_->TBFile,
       {"打开&Open...", "保存&Save...", "打印机设置&Print Setup", "打印P&rint", "选择TWain源&Select TWain source...",
        "捕获&Acquire...", "退出&Exit"}},
      {form_->TBEdit, {"撤消&Undo", "剪切&Cut", "复制&Copy", "粘贴&Paste"}},
      {form_->TBDialogs, {"色彩调节&Color adjust...", "特效&Effects..."}},
  };
  for (const auto& m : menus) {
    QMenu* menu = Drop(m.button);
    ASSERT_NE(menu, nullptr) << m.button->GetCaption();
    std::vector<std::string> texts;
    for (QAction* action : menu->actions()) texts.push_back(action->text().toStdString());
    EXPECT_EQ(texts, m.entries);
    CloseTrackedMenu();
    Settle();
  }
}

TEST_F(PrintPicWindow, ShowsTheCardAndEveryShowDropsTheEdits) {
  ASSERT_EQ(Picture()->GetWidth(), kW);
  const TPoint red = OnScreen(kW / 4, kH / 2), blue = OnScreen(3 * kW / 4, kH / 2);
  EXPECT_EQ(Shown(red.x, red.y), QColor(255, 0, 0));
  EXPECT_EQ(Shown(blue.x, blue.y), QColor(0, 0, 255));

  // The colour dialog with its own pages: green raised by 100.
  TPreviewEffects pages = 0;
  RaiseGreenOnOk(&pages);
  Choose(form_->TBDialogs, "色彩调节&Color adjust...");
  EXPECT_EQ(pages, peContrast | peHSV | peHSL | peRGB | peUserFilt | peEqualize | peFFT);
  EXPECT_EQ(Shown(red.x, red.y), QColor(255, 100, 0));

  // Effects offer their own pages; cancelling changes nothing.
  program_.dialogs.AnswerModal(mrCancel, [&](TCustomForm* form) { pages = static_cast<TfPreviews*>(form)->PreviewEffects; });
  Choose(form_->TBDialogs, "特效&Effects...");
  EXPECT_EQ(pages, peBumpMap | peLens | peWave | peMorph | peRotate);
  EXPECT_EQ(Shown(red.x, red.y), QColor(255, 100, 0));

  // Undo takes the adjustment back; a second adjustment is dropped by the
  // next show, which reloads the card.
  Choose(form_->TBEdit, "撤消&Undo");
  EXPECT_EQ(Shown(red.x, red.y), QColor(255, 0, 0));
  RaiseGreenOnOk(nullptr);
  Choose(form_->TBDialogs, "色彩调节&Color adjust...");
  EXPECT_EQ(At(kW / 4, kH / 2), TColor(0x0064FF));
  Choose(form_->TBFile, "退出&Exit");
  EXPECT_FALSE(form_->GetVisible());
  form_->Show();
  EXPECT_EQ(Shown(red.x, red.y), QColor(255, 0, 0));
}

TEST_F(PrintPicWindow, CutAndCopyTakeTheDraggedSelection) {
  // A drag from (5, 5) to (25, 15) of the picture selects both end
  // points: 21 x 11 pixels.
  const TPoint from = OnScreen(5, 5), to = OnScreen(25, 15);
  SendMouse(form_->PixView1, QEvent::MouseButtonPress, from, Qt::LeftButton);
  SendMouse(form_->PixView1, QEvent::MouseMove, to, Qt::LeftButton);
  SendMouse(form_->PixView1, QEvent::MouseButtonRelease, to, Qt::NoButton);
  Settle();
  ASSERT_TRUE(form_->PixView1->HasSelection);

  Choose(form_->TBEdit, "复制&Copy");
  QImage copied = QApplication::clipboard()->image();
  EXPECT_EQ(copied.size(), QSize(21, 11));
  EXPECT_EQ(copied.pixelColor(3, 3), QColor(255, 0, 0));
  EXPECT_EQ(At(10, 10), clRed);

  Choose(form_->TBEdit, "剪切&Cut");
  EXPECT_NE(At(10, 10), clRed);
  EXPECT_EQ(At(30, 10), clRed);  // outside the selection
  Choose(form_->TBEdit, "撤消&Undo");
  EXPECT_EQ(At(10, 10), clRed);

  // Paste: the picture becomes the copied part.
  Choose(form_->TBEdit, "粘贴&Paste");
  ASSERT_EQ(Picture()->GetWidth(), 21);
  EXPECT_EQ(Picture()->GetHeight(), 11);
  EXPECT_EQ(At(3, 3), clRed);
}

TEST_F(PrintPicWindow, FilesAndPrinterGoThroughTheDialogs) {
  const std::string gif = program_.Data("card.gif");
  // Cancelled dialogs leave picture and files alone.
  program_.dialogs.AnswerDialog([](TCommonDialog*) { return false; });
  Choose(form_->TBFile, "保存&Save...");
  program_.dialogs.AnswerDialog([](TCommonDialog*) { return false; });
  Choose(form_->TBFile, "打开&Open...");
  ASSERT_EQ(program_.dialogs.Records.size(), 2u);
  EXPECT_EQ(program_.dialogs.Records[0].Dialog, form_->SavePixDialog1);
  EXPECT_EQ(program_.dialogs.Records[1].Dialog, form_->OpenPixDialog1);
  EXPECT_EQ(ParseFileFilter(form_->SavePixDialog1->Filter).size(), 7u);
  EXPECT_EQ(ParseFileFilter(form_->OpenPixDialog1->Filter).size(), 13u);
  EXPECT_EQ(Picture()->GetWidth(), kW);

  // A GIF saved and opened again: the coders are the window's own.
  program_.dialogs.AnswerDialog([&](TCommonDialog* d) { return static_cast<TSavePixDialog*>(d)->ChooseFiles({gif}); });
  Choose(form_->TBFile, "保存&Save...");
  ASSERT_TRUE(fs::is_regular_file(gif));
  TBitmap other;
  other.SetSize(30, 20);
  other.GetCanvas()->Brush->Color = clLime;
  other.GetCanvas()->FillRect(Rect(0, 0, 30, 20));
  form_->PixView1->Assign(&other);
  program_.dialogs.AnswerDialog([&](TCommonDialog* d) { return static_cast<TOpenPixDialog*>(d)->ChooseFiles({gif}); });
  Choose(form_->TBFile, "打开&Open...");
  ASSERT_EQ(Picture()->GetWidth(), kW);
  EXPECT_EQ(At(5, 5), clRed);
  EXPECT_EQ(At(kW - 5, 5), clBlue);

  program_.dialogs.Records.clear();
  program_.dialogs.AnswerDialog([](TCommonDialog*) { return false; });
  Choose(form_->TBFile, "打印机设置&Print Setup");
  ASSERT_EQ(program_.dialogs.Records.size(), 1u);
  EXPECT_EQ(program_.dialogs.Records[0].Dialog, form_->PrinterSetupDialog1);
}

TEST_F(PrintPicWindow, PrintShowsThePrintDialogAndPrintsTheAdjustedCard) {
  RaiseGreenOnOk(nullptr);
  Choose(form_->TBDialogs, "色彩调节&Color adjust...");
  // The print dialog: fitted and centred; OK prints.
  bool shown = false;
  program_.dialogs.AnswerModal(mrOk, [&](TCustomForm* form) {
    auto* dialog = dynamic_cast<Tfieprnform2*>(form);
    ASSERT_NE(dialog, nullptr);
    shown = true;
    Settle();
    WindowClick(dialog->Button1, {10, 10});
    Settle();
  });
  Choose(form_->TBFile, "打印P&rint");
  ASSERT_TRUE(shown);
  const auto pages = pdftest::RenderPdf(getenv("CW_PRINTER_PDF"), 50);
  ASSERT_EQ(pages.size(), 1u);
  // The adjusted left half: red raised by green, as wide as A4 between
  // its 1-inch margins allows for half the card.
  const QRect orange = pdftest::FirstRectWhere(pages[0], [](const QImage& im, int x, int y) {
    const QColor c = im.pixelColor(x, y);
    return c.red() > 200 && std::abs(c.green() - 100) < 30 && c.blue() < 60;
  });
  ASSERT_FALSE(orange.isEmpty());
  EXPECT_NEAR(pdftest::PixelsToMm(orange.left(), 50), 25.4, 1);
  EXPECT_NEAR(pdftest::PixelsToMm(orange.width(), 50), (210 - 2 * 25.4) / 2, 1);
}

// The scanner entries reach the scanners of the test backend.
class PrintPicScanning : public PrintPicWindow {
 protected:
  cwtest::TestScanners scanners_;
};

TEST_F(PrintPicScanning, SourceChoiceAndAcquireReplaceThePicture) {
  TPixIO* io = form_->PixView1->GetPixIO();
  ASSERT_EQ(io->TWainParams->GetSourceCount(), 2);
  program_.dialogs.AnswerModal(mrOk, [](TCustomForm* form) {
    auto* dialog = dynamic_cast<TIETWSelectSourceDialog*>(form);
    ASSERT_NE(dialog, nullptr);
    TListBox* list = dialog->SourceList;
    QTest::mouseClick(list->Widget(), Qt::LeftButton, {}, QPoint(20, list->ItemHeight + list->ItemHeight / 2));
    QTest::mouseClick(dialog->OkButton->Widget(), Qt::LeftButton);
  });
  Choose(form_->TBFile, "选择TWain源&Select TWain source...");
  EXPECT_EQ(io->TWainParams->SelectedSource, 1);

  Choose(form_->TBFile, "捕获&Acquire...");
  // The test scanner's white page replaces the card.
  EXPECT_NE(Picture()->GetWidth(), kW);
  EXPECT_EQ(At(Picture()->GetWidth() / 2, Picture()->GetHeight() / 2), clWhite);
}

}  // namespace
