// The print forms opened through TPixIO::DoPrintPreviewDialog, answered
// through the dialog service and driven by real Qt input: the preview
// following the position buttons, typed margins and the up-down arrows,
// the units, the size mode, the printer setup, and printing to a PDF.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <cstdlib>
#include <functional>
#include <string>

#include "imaging/io/pixio.h"
#include "imaging/view/pixview.h"
#include "imaging/view/printdlg.h"
#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "platform/commdlg.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/menus.h"
#include "platform/pdftest_support.h"
#include "platform/printers.h"
#include "platform/qt_input.h"
#include "platform/stdctrls.h"
#include "platform/toolbars.h"
#include "support/testenv.h"

namespace {

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

void Click(TControl* c, TPoint at) {
  WindowClick(c, at);
  Settle();
}
void Click(TControl* c) { Click(c, {c->GetWidth() / 2, c->GetHeight() / 2}); }

// Replaces an edit's text by typing.
void Type(TEdit* edit, const char* text) {
  QWidget* w = edit->Widget();
  QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(w, Qt::Key_Delete);
  QTest::keyClicks(w, QString::fromUtf8(text));
  Settle();
}

// Chooses a drop-down entry with the keyboard.
void Choose(TComboBox* box, int index) {
  QWidget* w = box->Widget();
  QApplication::setActiveWindow(w->window());
  w->setFocus(Qt::TabFocusReason);
  Settle();
  for (int i = 0; i < box->GetItems()->Count(); ++i) QTest::keyClick(w, Qt::Key_Up);
  for (int i = 0; i < index; ++i) QTest::keyClick(w, Qt::Key_Down);
  Settle();
}

// The up (true) or down arrow of an edit's up-down.
void Step(TUpDown* arrows, bool up) { Click(arrows, {arrows->GetWidth() / 2, up ? 3 : arrows->GetHeight() - 3}); }

// The box of the picture's red pixels in the preview page.
TRect RedBox(TBitmap* b) {
  TRect box{b->GetWidth(), b->GetHeight(), 0, 0};
  for (int y = 0; y < b->GetHeight(); ++y) {
    const auto* row = reinterpret_cast<const TRGB*>(b->ScanLine(y));
    for (int x = 0; x < b->GetWidth(); ++x)
      if (row[x].r > 200 && row[x].g < 60 && row[x].b < 60) {
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
      }
  }
  return box;
}

class PrintDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("CW_PRINTER_PDF", dir.file("print.pdf").c_str(), 1);
    Printer()->SetPaperSize(210, 297);
    Printer()->Orientation = poPortrait;
    parent = new TWinControl(nullptr);
    parent->SetBounds(0, 0, 300, 300);
    view = new TPixView(parent);
    view->SetParent(parent);
    view->SetBounds(0, 0, 200, 200);
    // A red picture of 300 x 200 at 100 dots per inch.
    TBitmap* b = view->GetFBitmap();
    b->SetPixelFormat(pf24bit);
    b->SetSize(300, 200);
    b->GetCanvas()->Brush->Color = clRed;
    b->GetCanvas()->FillRect(Rect(0, 0, 300, 200));
    view->SetDPI(100, 100);
    view->Update();
    io = view->GetPixIO();
  }
  void TearDown() override {
    parent->Free();
    unsetenv("CW_PRINTER_PDF");
  }

  // Runs the dialog form; `user` acts on it, then the run ends with
  // `result`.
  bool RunDialog(TModalResult result, const std::function<void(Tfieprnform2*)>& user) {
    dialogs.AnswerModal(result, [&](TCustomForm* form) {
      Settle();
      user(static_cast<Tfieprnform2*>(form));
    });
    return io->DoPrintPreviewDialog(iedtDialog);
  }
  bool RunMaxi(TModalResult result, const std::function<void(tfieprnform1*)>& user) {
    dialogs.AnswerModal(result, [&](TCustomForm* form) {
      Settle();
      user(static_cast<tfieprnform1*>(form));
    });
    return io->DoPrintPreviewDialog(iedtMaxi);
  }

  cwtest::TempDir dir;
  TScriptedDialogs dialogs;
  TWinControl* parent = nullptr;
  TPixView* view = nullptr;
  TPixIO* io = nullptr;
};

TEST_F(PrintDialogs, DialogFormShowsItsSettingsInTheCallersLanguage) {
  TForm* seen = nullptr;
  io->OnIOPreview = [&](TObject*, TForm* form) { seen = form; };
  io->MsgLanguage = msEnglish;
  bool checked = false;
  EXPECT_FALSE(RunDialog(mrCancel, [&](Tfieprnform2* f) {
    checked = true;
    EXPECT_EQ(seen, f);
    EXPECT_EQ(f->GetCaption(), "Print");
    EXPECT_EQ(f->GetClientWidth(), 664);
    EXPECT_EQ(f->GetClientHeight(), 356);
    EXPECT_EQ(f->GroupBox1->GetCaption(), " Margins (inches) ");
    EXPECT_EQ(f->GroupBox2->GetCaption(), " Position ");
    EXPECT_EQ(f->GroupBox6->GetCaption(), " Preview ");
    EXPECT_EQ(f->Button4->GetCaption(), "Print Setup...");
    EXPECT_EQ(f->Label8->GetCaption(), "inches");
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(f->Edits[size_t(i)]->GetText(), i == 5 ? "6" : i == 6 ? "4" : "1") << i;
    EXPECT_EQ(f->ComboBox1->GetItemIndex(), 1);
    EXPECT_EQ(f->ComboBox1->GetItems()->Get(3), "Specified size");
    EXPECT_TRUE(f->Positions[5]->GetDown());
    // Width and height wait for "Specified size"; the units are fixed.
    EXPECT_FALSE(f->Edits[5]->GetEnabled());
    EXPECT_FALSE(f->GroupBox5->GetVisible());
    Choose(f->ComboBox1, 3);
    EXPECT_TRUE(f->Edits[5]->GetEnabled());
    EXPECT_TRUE(f->Label6->GetEnabled());
  }));
  EXPECT_TRUE(checked);
  // A type outside the two shows nothing.
  dialogs.Records.clear();
  EXPECT_FALSE(io->DoPrintPreviewDialog(TIEDialogType(7)));
  EXPECT_TRUE(dialogs.Records.empty());
}

TEST_F(PrintDialogs, PreviewFollowsButtonsTypedMarginsAndArrows) {
  RunDialog(mrCancel, [&](Tfieprnform2* f) {
    TBitmap* page = f->PixView1->GetFBitmap();
    ASSERT_GT(page->GetWidth(), 100);
    // The A4 page at the preview's scale: dots per inch of the preview.
    const TIEPrintPage a4 = IEPrinterPage(Printer());
    const double zoom = std::min((f->PixView1->GetClientWidth() - 5) / (a4.Width / 100.0),
                                 (f->PixView1->GetClientHeight() - 5) / (a4.Height / 100.0));
    const int dpi = int(a4.DpiX * zoom / 100);
    // Centred and fitted between 1-inch margins.
    TRect r = RedBox(page);
    EXPECT_NEAR(r.Left, dpi, 1);
    EXPECT_NEAR(page->GetWidth() - r.Right, dpi, 2);
    EXPECT_NEAR(r.Top - dpi, page->GetHeight() - dpi - r.Bottom, 2);

    // Top left.
    Click(f->Positions[1]);
    EXPECT_TRUE(f->Positions[1]->GetDown());
    EXPECT_FALSE(f->Positions[5]->GetDown());
    r = RedBox(page);
    EXPECT_NEAR(r.Top, dpi, 1);
    // Bottom right, normal size: 3 x 2 inches against the right and bottom
    // margins.
    Click(f->Positions[9]);
    Choose(f->ComboBox1, 0);
    r = RedBox(page);
    EXPECT_NEAR(r.Width(), 3 * dpi, 1);
    EXPECT_NEAR(page->GetWidth() - r.Right, dpi, 2);
    EXPECT_NEAR(page->GetHeight() - r.Bottom, dpi, 2);

    // A typed right margin of 2 inches moves it left by one inch.
    const int right = r.Right;
    Type(f->RightEdit, "2");
    EXPECT_NEAR(RedBox(page).Right, right - dpi, 1);
    // The arrows step by 0.01 and never below 0; text that is no number
    // counts as 0.
    Step(f->UpDowns[3], true);
    EXPECT_EQ(f->RightEdit->GetText(), "2.01");
    Type(f->TopEdit, "0");
    Step(f->UpDowns[1], false);
    EXPECT_EQ(f->TopEdit->GetText(), "0");
    Type(f->BottomEdit, "abc");
    Step(f->UpDowns[4], true);
    EXPECT_EQ(f->BottomEdit->GetText(), "0.01");
    // The gamma steps by 0.1.
    Step(f->UpDowns[7], true);
    EXPECT_EQ(f->Edits[7]->GetText(), "1.1");
  });
}

TEST_F(PrintDialogs, TypedMarginsAndSizesAreClampedToThePage) {
  RunDialog(mrCancel, [&](Tfieprnform2* f) {
    const TIEPrintPage a4 = IEPrinterPage(Printer());
    const double pageW = double(a4.Width) / a4.DpiX, pageH = double(a4.Height) / a4.DpiY;
    Choose(f->ComboBox1, 3);
    Type(f->LeftEdit, "100");
    Type(f->RightEdit, "-4");
    Type(f->TopEdit, "1e300");
    Type(f->Edits[5], "999");
    Type(f->Edits[6], "-2");
    const TIEPrintSettings s = f->Settings();
    EXPECT_DOUBLE_EQ(s.Left, pageW);
    EXPECT_DOUBLE_EQ(s.Right, 0);
    EXPECT_DOUBLE_EQ(s.Top, pageH);
    EXPECT_DOUBLE_EQ(s.Bottom, 0);
    EXPECT_DOUBLE_EQ(s.Width, pageW);
    EXPECT_DOUBLE_EQ(s.Height, 0);
    // The preview still draws a page, with nothing placed on it.
    EXPECT_EQ(RedBox(f->PixView1->GetFBitmap()).Right, 0);
  });
  const struct {
    TIEPrintSettings in, out;
  } cases[] = {
      // Two margins wider than the page together: the second gives way.
      {{6, 1, 4, 1}, {6, 1, 2, 1}},
      {{-1, 12, 1, 5}, {0, 11, 1, 0}},
      {{1, 1, 1, 1, ievpTOP, iehpLEFT, iesSPECIFIEDSIZE, 9, 12}, {1, 1, 1, 1, ievpTOP, iehpLEFT, iesSPECIFIEDSIZE, 8, 11}},
  };
  for (const auto& c : cases) {
    const TIEPrintSettings got = IEClampToPage(c.in, 8, 11);
    EXPECT_EQ(got.Left, c.out.Left);
    EXPECT_EQ(got.Right, c.out.Right);
    EXPECT_EQ(got.Top, c.out.Top);
    EXPECT_EQ(got.Bottom, c.out.Bottom);
    EXPECT_EQ(got.Width, c.out.Width);
    EXPECT_EQ(got.Height, c.out.Height);
  }
}

TEST_F(PrintDialogs, SelectableUnitsConvertTheEdits) {
  io->DialogsMeasureUnit = ieduSelectableDefCm;
  io->MsgLanguage = msEnglish;
  RunDialog(mrCancel, [&](Tfieprnform2* f) {
    EXPECT_TRUE(f->GroupBox5->GetVisible());
    EXPECT_EQ(f->ComboBox2->GetItemIndex(), 1);
    EXPECT_EQ(f->GroupBox1->GetCaption(), " Margins (Cm) ");
    EXPECT_EQ(f->Label7->GetCaption(), "Cm");
    // 1 cm margins.
    EXPECT_NEAR(f->Settings().Left, 1 / 2.54, 1e-12);
    Choose(f->ComboBox2, 0);
    EXPECT_EQ(f->TopEdit->GetText(), "0.393700787401575");
    EXPECT_EQ(f->Edits[5]->GetText(), "2.36220472440945");
    EXPECT_EQ(f->Edits[7]->GetText(), "1");  // the gamma stays
    EXPECT_EQ(f->GroupBox1->GetCaption(), " Margins (inches) ");
    EXPECT_EQ(f->Label7->GetCaption(), "inches");
    // The entry in force changes nothing; back to centimetres multiplies.
    Choose(f->ComboBox2, 0);
    EXPECT_EQ(f->TopEdit->GetText(), "0.393700787401575");
    Choose(f->ComboBox2, 1);
    EXPECT_EQ(f->TopEdit->GetText(), "1");
  });
}

TEST_F(PrintDialogs, PrinterSetupThenOkPrintsTheLaidOutPicture) {
  EXPECT_TRUE(RunDialog(mrOk, [&](Tfieprnform2* f) {
    dialogs.AnswerDialog([](TCommonDialog*) { return false; });
    Click(f->Button4);
    ASSERT_FALSE(dialogs.Records.empty());
    EXPECT_EQ(dialogs.Records.back().Dialog, f->PrinterSetupDialog1);
    // The size mode survives the setup dialog; the top-right corner.
    Choose(f->ComboBox1, 0);
    Click(f->Positions[3]);
    Click(f->Button1);
    EXPECT_EQ(f->ModalResult, mrOk);
  }));
  const auto pages = pdftest::RenderPdf(dir.file("print.pdf"), 100);
  ASSERT_EQ(pages.size(), 1u);
  // 3 x 2 inches against the 1-inch top and right margins of A4.
  const QRect r = pdftest::FirstRectWhere(pages[0], [](const QImage& im, int x, int y) {
    const QColor c = im.pixelColor(x, y);
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
  });
  ASSERT_FALSE(r.isEmpty());
  EXPECT_NEAR(pdftest::PixelsToMm(r.left(), 100), 210 - 25.4 - 3 * 25.4, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(r.top(), 100), 25.4, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(r.width(), 100), 3 * 25.4, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(r.height(), 100), 2 * 25.4, 0.5);
}

TEST_F(PrintDialogs, MaximisedFormPrintsWithoutClosingAndClosesWithOk) {
  io->MsgLanguage = msEnglish;
  EXPECT_TRUE(RunMaxi(mrOk, [&](tfieprnform1* f) {
    EXPECT_EQ(f->GetCaption(), "Print");
    EXPECT_EQ(f->LeftEdit, f->Edits[1]);
    EXPECT_EQ(f->Edits[1]->Hint, "Left Margin");
    EXPECT_EQ(f->Edits[2]->Hint, "Top Margin");
    EXPECT_EQ(f->Positions[9]->Hint, "Bottom Right");
    EXPECT_EQ(f->ComboBox1->Hint, "Location/size");
    EXPECT_EQ(f->Close1->GetCaption(), "Close");
    EXPECT_EQ(f->PrintSetup1->GetCaption(), "Print Setup...");
    TBitmap* page = f->PixView1->GetFBitmap();
    // The edit hinted "Left Margin" moves the picture horizontally.
    Click(f->Positions[4]);
    const int left = RedBox(page).Left;
    Type(f->Edits[1], "3");
    EXPECT_GT(RedBox(page).Left, left);
    // Below 100 pixels the window keeps its last preview.
    const TRect before = RedBox(page);
    f->SetBounds(0, 0, 90, 400);
    Settle();
    Type(f->Edits[1], "1");
    EXPECT_EQ(RedBox(page).Left, before.Left);
    f->SetBounds(0, 0, 800, 600);
    Settle();
    EXPECT_LT(RedBox(page).Left, before.Left);
    // Print leaves the window open; Close ends it with OK.
    Click(f->SpeedButton11);
    EXPECT_TRUE(f->GetVisible());
    Click(f->SpeedButton12);
    EXPECT_EQ(f->ModalResult, mrOk);
  }));
  const auto pages = pdftest::RenderPdf(dir.file("print.pdf"), 50);
  EXPECT_EQ(pages.size(), 1u);
}

}  // namespace
