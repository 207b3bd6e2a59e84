// The layout picture's files, clipboard, printing and text box through
// the menu "底图", the drawing panel and real presses on the picture: a
// new or opened picture replaces the old one only once it exists, saves
// write the unscaled source by their type or refuse the type, Copy and
// Cut wait for a range, and the text box's text is drawn into the picture.
#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "designer/layoutdraw.h"
#include "platform/clipbrd.h"
#include "platform/gdi.h"
#include "platform/pdftest_support.h"
#include "platform/sysutils.h"

using cardtest::LayoutEditor;

namespace {

class LayoutFiles : public LayoutEditor {
 protected:
  // Pixels per millimetre of the screen, as the size dialog reckons them.
  static int PixelsPerMm() {
    HDC screen = GetDC(nullptr);
    const int p = std::max(1, GetDeviceCaps(screen, HORZRES) / std::max(1, GetDeviceCaps(screen, HORZSIZE)));
    ReleaseDC(nullptr, screen);
    return p;
  }
  // A picture file: left half red, right half blue.
  std::string WriteHalves(const std::string& name, int w, int h) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(w, h);
    b.GetCanvas()->Brush->Color = clRed;
    b.GetCanvas()->FillRect(Rect(0, 0, w / 2, h));
    b.GetCanvas()->Brush->Color = clBlue;
    b.GetCanvas()->FillRect(Rect(w / 2, 0, w, h));
    const std::string path = program.Data(name);
    b.SaveToFile(path);
    return path;
  }
  static void WriteText(const std::string& path, const char* text) { std::ofstream(path) << text; }
  void AnswerFile(const std::string& path) {
    program.dialogs.AnswerDialog([path](TCommonDialog* dialog) {
      if (path.empty()) return false;
      static_cast<TOpenDialog*>(dialog)->FileName = path;
      return true;
    });
  }
  // A black square drawn with the rectangle tool.
  void DrawSquare() {
    Click(f->RectangleButton);
    Drag({{10, 10}, {30, 30}});
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const TDialogRecord& r : program.dialogs.Records)
      if (r.Kind == TDialogRecord::Message) texts.push_back(r.Text);
    return texts;
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const TDialogRecord& r : program.dialogs.Records)
      if (r.Kind == TDialogRecord::Message) captions.push_back(r.Caption);
    return captions;
  }
};

// New asks to save a drawn picture, then for the size in millimetres; the
// blank picture replaces the old one only after the size was confirmed.
TEST_F(LayoutFiles, NewPictureOfAChosenSize) {
  const int p = PixelsPerMm();
  DrawSquare();
  program.dialogs.Answer(IDCANCEL);
  Layout("新建");
  EXPECT_EQ(program.dialogs.Records.at(0).Text, "保存Untitle.JPG吗？");
  EXPECT_EQ(program.dialogs.Records.at(0).Caption, "保存");
  EXPECT_EQ(Pixel(10, 20), clBlack);

  // A cancelled size dialog keeps the drawn picture.
  program.dialogs.Answer(IDNO);
  program.dialogs.AnswerModal(mrCancel);
  Layout("新建");
  EXPECT_EQ(Pixel(10, 20), clBlack);
  EXPECT_EQ(newimageform->WidthJustfy->GetPosition(), f->Drawor->GetWidth() / p);
  EXPECT_EQ(newimageform->HeighJustfy->GetPosition(), f->Drawor->GetHeight() / p);

  struct Case {
    const char *width, *height;
    int widthMm, heightMm;
  } cases[] = {{"85", "54", 85, 54}, {"99999", "7", 8000 / p, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    program.dialogs.Answer(IDNO);
    program.dialogs.AnswerModal(mrOk, [&c](TCustomForm*) {
      for (auto [edit, text] : {std::pair{newimageform->ImageWidth, c.width}, {newimageform->ImageHeight, c.height}}) {
        WidgetClick(edit, {5, 5});
        QTest::keyClick(edit->Widget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit->Widget(), text);
      }
    });
    DrawSquare();
    Layout("新建");
    ASSERT_EQ(Picture()->GetWidth(), c.widthMm * p);
    EXPECT_EQ(Picture()->GetHeight(), c.heightMm * p);
    EXPECT_EQ(f->Panel2->GetWidth(), c.widthMm * p + 10);
    EXPECT_EQ(f->Panel2->GetHeight(), c.heightMm * p + 10);
    EXPECT_EQ(Pixel(10, 20), clWhite);
    EXPECT_EQ(f->BGFileName, "Mode\\Untitle.JPG");
    EXPECT_EQ(f->GetCaption(), "CardwrightV3.8----Mode\\Untitle.JPG");
  }
}

// Open keeps the picture when the dialog is cancelled or the file cannot
// be read; a picture that loads becomes the unscaled source and is fitted.
TEST_F(LayoutFiles, OpenReplacesThePictureOnlyWhenItLoads) {
  DrawSquare();
  program.dialogs.Answer(IDNO);
  AnswerFile("");
  Layout("打开");
  EXPECT_EQ(Pixel(10, 20), clBlack);

  const std::string broken = program.Data("broken.jpg");
  WriteText(broken, "no picture");
  program.dialogs.Answer(IDNO);
  AnswerFile(broken);
  Layout("打开");
  EXPECT_EQ(Messages().back(), "无法装入图像文件");
  EXPECT_EQ(Pixel(10, 20), clBlack);

  const std::string halves = WriteHalves("halves.bmp", 400, 300);
  program.dialogs.Answer(IDNO);
  AnswerFile(halves);
  Click(f->BChangeBG);
  EXPECT_EQ(f->ImageTemp->GetPicture()->GetWidth(), 400);
  EXPECT_EQ(f->BGFileName, halves);
  EXPECT_EQ(f->GetCaption(), "CardwrightV3.8----halves.bmp");
  EXPECT_EQ(Picture()->GetWidth(), f->Drawor->GetWidth());
  EXPECT_FALSE(f->LayoutDrawnOn());
}

// Saving: types other than bitmaps and JPEG are refused with the wrong-type
// box and nothing is written; a saved bitmap is the unscaled source with
// the drawing carried over; Save under the untitled name asks for a name.
TEST_F(LayoutFiles, SaveWritesTheUnscaledSourceByType) {
  const std::string halves = WriteHalves("halves.bmp", 400, 300), before = f->TemplateBGPath;
  AnswerFile(halves);
  Layout("打开");
  // A black square on the shown copy, on the red half.
  Click(f->RectangleButton);
  AnswerColour(clBlack);
  Click(f->BrushColor);
  const int w = f->Drawor->GetWidth(), h = f->Drawor->GetHeight();
  Drag({{w / 8, h / 3}, {w / 4, h / 2}});
  ASSERT_TRUE(f->LayoutDrawnOn());

  for (const char* name : {"x.ico", "x.wmf", "x.emf", "x.gif"}) {
    SCOPED_TRACE(name);
    program.dialogs.Records.clear();
    AnswerFile(program.Data(name));
    Layout("另存为");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"无法保存该文件", "保存底图出错！"}));
    EXPECT_EQ(Captions().at(0), "错误的文件类型");
    EXPECT_FALSE(FileExists(program.Data(name)));
    // The template goes on naming the picture it has.
    EXPECT_EQ(f->TemplateBGPath, before);
    EXPECT_EQ(f->BGFileName, halves);
  }

  const std::string out = program.Data("out.bmp");
  AnswerFile(out);
  Layout("另存为");
  TBitmap saved;
  saved.LoadFromFile(out);
  ASSERT_EQ(saved.GetWidth(), 400);
  ASSERT_EQ(saved.GetHeight(), 300);
  TCanvas* s = saved.GetCanvas();
  EXPECT_EQ(s->GetPixel(70, 125), clBlack);  // the square, at the source's scale
  EXPECT_EQ(s->GetPixel(10, 10), clRed);
  EXPECT_EQ(s->GetPixel(390, 290), clBlue);
  EXPECT_EQ(f->TemplateBGPath, out);
  EXPECT_FALSE(f->LayoutDrawnOn());

  // Under its own name Save writes at once; the untitled name asks.
  program.dialogs.Records.clear();
  Layout("保存");
  EXPECT_TRUE(program.dialogs.Records.empty());
  f->BGFileName = "Mode\\Untitle.JPG";
  AnswerFile("");
  Layout("保存");
  ASSERT_EQ(program.dialogs.Records.size(), 1u);
  EXPECT_EQ(program.dialogs.Records[0].Dialog, f->SaveDialog1);
}

// Saving the template saves a drawn-on layout picture first, under its
// own name and without a question; an unchanged picture is not rewritten.
TEST_F(LayoutFiles, SavingTheTemplateSavesADrawnOnPictureFirst) {
  const std::string halves = WriteHalves("halves.bmp", 400, 300), out = program.Data("out.bmp");
  AnswerFile(halves);
  Layout("打开");
  AnswerFile(out);
  Layout("另存为");
  ASSERT_EQ(f->TemplateBGPath, out);
  Click(f->RectangleButton);
  AnswerColour(clBlack);
  Click(f->BrushColor);
  const int w = f->Drawor->GetWidth(), h = f->Drawor->GetHeight();
  Drag({{w * 5 / 8, h / 3}, {w * 3 / 4, h / 2}});  // on the blue half
  ASSERT_TRUE(f->LayoutDrawnOn());

  f->TemplatePath = program.Data("mine.pmt");
  f->NSave->SetEnabled(true);
  program.dialogs.Records.clear();
  QTest::keyClick(f->Widget(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(program.dialogs.Records.empty());
  EXPECT_TRUE(FileExists(f->TemplatePath));
  TBitmap saved;
  saved.LoadFromFile(out);
  EXPECT_EQ(saved.GetCanvas()->GetPixel(275, 125), clBlack);
  EXPECT_EQ(saved.GetCanvas()->GetPixel(390, 290), clBlue);
  EXPECT_FALSE(f->LayoutDrawnOn());

  const auto stamp = std::filesystem::last_write_time(out) - std::chrono::hours(1);
  std::filesystem::last_write_time(out, stamp);
  QTest::keyClick(f->Widget(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(std::filesystem::last_write_time(out), stamp);
}

// The picture prints at its size on the screen, whatever the printer's
// resolution.
TEST_F(LayoutFiles, PrintsAtTheScreenSize) {
  TCanvas* c = Picture()->GetCanvas();
  c->Brush->Color = clBlack;
  c->FillRect(Rect(0, 0, 96, 48));
  Layout("打印");
  auto pages = pdftest::RenderPdf(program.Home().File("print.pdf"), 100);
  ASSERT_EQ(pages.size(), 1u);
  const QRect dark = pdftest::FirstDarkRect(pages[0]);
  const double dpi = ScreenPixelsPerInch();
  EXPECT_NEAR(pdftest::PixelsToMm(dark.width(), 100), 96 / dpi * 25.4, 0.6);
  EXPECT_NEAR(pdftest::PixelsToMm(dark.height(), 100), 48 / dpi * 25.4, 0.6);
}

// Copy and Cut wait for a range; Cut leaves the clipboard holding the
// range's old pixels and paints the range white; Paste lands at the
// range's top-left, before any range at the corner; Clear whitens all.
TEST_F(LayoutFiles, ClipboardOverTheRange) {
  Clipboard()->SetAsText("kept");
  Layout("复制");
  Layout("剪切");
  EXPECT_EQ(Clipboard()->GetAsText(), "kept");
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));

  TCanvas* c = Picture()->GetCanvas();
  c->Brush->Color = clRed;
  c->FillRect(Rect(50, 50, 60, 60));
  Click(f->PicRangButton);
  Drag({{45, 45}, {65, 65}});
  Layout("剪切");
  EXPECT_FALSE(f->RangeShown);
  EXPECT_EQ(CountNonWhite(Rect(0, 0, 200, 200)), 0);
  TBitmap held;
  held.Assign(Clipboard());
  ASSERT_EQ(held.GetWidth(), 20);
  EXPECT_EQ(held.GetCanvas()->GetPixel(10, 10), clRed);
  EXPECT_EQ(held.GetCanvas()->GetPixel(0, 0), clWhite);

  Layout("粘贴");
  EXPECT_EQ(Pixel(50, 50), clRed);
  EXPECT_EQ(Pixel(45, 45), clWhite);
  Layout("清空");
  EXPECT_EQ(CountNonWhite(Rect(0, 0, 200, 200)), 0);

  // Range copied, then pasted elsewhere by a new range.
  c->Brush->Color = clRed;
  c->FillRect(Rect(50, 50, 60, 60));
  Drag({{50, 50}, {60, 60}});
  Layout("复制");
  Drag({{100, 20}, {100, 20}});
  Layout("粘贴");
  EXPECT_EQ(Pixel(105, 25), clRed);
  EXPECT_EQ(Pixel(50, 50), clRed);
}

// Before any range Paste puts the clipboard's picture at the corner.
TEST_F(LayoutFiles, PasteBeforeAnyRangeGoesToTheCorner) {
  TBitmap green;
  green.SetSize(8, 8);
  green.GetCanvas()->Brush->Color = clLime;
  green.GetCanvas()->FillRect(Rect(0, 0, 8, 8));
  Clipboard()->Assign(&green);
  Layout("粘贴");
  EXPECT_EQ(Pixel(0, 0), clLime);
  EXPECT_EQ(Pixel(7, 7), clLime);
  EXPECT_EQ(Pixel(8, 8), clWhite);
}

// The text tool: a click opens the box there in the pen colour on the
// fill colour, the next click draws the typed text into the picture as
// text (no box background, no halo) where the box's position, read as
// picture coordinates, puts it.
TEST_F(LayoutFiles, TextToolDrawsTheTypedText) {
  AnswerColour(clRed);
  Click(f->PenColor);
  AnswerColour(clYellow);
  Click(f->BrushColor);
  Click(f->TextButton);
  EXPECT_TRUE(f->ToolBar2->GetVisible() && f->FontBox->GetEnabled() && f->TBEdit->GetVisible());
  // With the text tool the width box sets the text's size.
  WidgetClick(f->PenWidth, {5, 5});
  QTest::keyClick(f->PenWidth->Widget(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(f->PenWidth->Widget(), "18");
  ClickAt(40, 30);
  ASSERT_TRUE(f->Edit->GetVisible());
  EXPECT_EQ(TPoint(f->Edit->GetLeft(), f->Edit->GetTop()), TPoint(40, 30));
  EXPECT_TRUE(f->Edit->Focused());
  QTest::keyClicks(f->Edit->Widget(), "HI");
  EXPECT_EQ(f->Edit->GetColor(), clYellow);
  EXPECT_EQ(f->Edit->GetFont()->Color, clRed);
  EXPECT_EQ(f->Edit->GetFont()->GetSize(), 18);
  EXPECT_EQ(CountNonWhite(Rect(0, 0, 300, 200)), 0);

  ClickAt(250, 150);
  EXPECT_FALSE(f->Edit->GetVisible());
  EXPECT_EQ(f->Edit->GetText(), "");
  EXPECT_TRUE(f->TextPending);
  const TRect box = Rect(39, 30, 39 + f->Edit->GetWidth(), 30 + f->Edit->GetHeight());
  int red = 0, partial = 0, outside = 0, yellow = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) {
      const TColor p = Pixel(x, y);
      if (p == clWhite) continue;
      yellow += p == clYellow;
      outside += !(x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom);
      red += p == clRed;
      // Smoothed edges: red over white, with no blue in between.
      partial += p != clRed && GetRValue(p) == 255 && GetGValue(p) == GetBValue(p);
    }
  EXPECT_GT(red, 10);
  EXPECT_GT(partial, 0);
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(yellow, 0);

  // Another tool hides the text tool bar.
  Click(f->LineButton);
  EXPECT_FALSE(f->ToolBar2->GetVisible() || f->FontBox->GetEnabled() || f->TBEdit->GetVisible());
}

// The text tool bar's style toggles stay down while on and style the box's
// selection; its alignments set the line's.
TEST_F(LayoutFiles, TextToolBarStylesTheSelection) {
  Click(f->TextButton);
  ClickAt(40, 30);
  QTest::keyClicks(f->Edit->Widget(), "AB");
  f->Edit->SelectAll();
  Click(f->SBBold);
  Click(f->SBUnderline);
  EXPECT_TRUE(f->SBBold->GetDown() && f->SBUnderline->GetDown() && !f->SBItalic->GetDown());
  EXPECT_EQ(f->Edit->FormatAt(1).Style, TFontStyles(fsBold | fsUnderline));
  Click(f->SBBold);
  EXPECT_FALSE(f->SBBold->GetDown());
  EXPECT_EQ(f->Edit->FormatAt(0).Style, TFontStyles(fsUnderline));
  Click(f->SBAlignR);
  EXPECT_EQ(f->Edit->AlignmentOfLine(0), taRightJustify);
  AnswerColour(clGreen);
  Click(f->SBTColor);
  EXPECT_EQ(f->Edit->FormatAt(0).Color, clGreen);
}

// The logo command loads a picture into the logo item and its print copy;
// a file that cannot be read is reported and changes nothing.
TEST_F(LayoutFiles, LogoPictureChanges) {
  const std::string before = f->LogoPath;
  const std::string broken = program.Data("broken.bmp");
  WriteText(broken, "BM no picture");
  AnswerFile(broken);
  Click(f->BChangeAB);
  EXPECT_EQ(Messages().back(), "无法装入图像文件");
  EXPECT_EQ(f->LogoPath, before);

  AnswerFile(WriteHalves("logo.bmp", 30, 20));
  Choose("设置(&O)", "更换标志图(&ABG)");
  EXPECT_EQ(f->LogoPath, program.Data("logo.bmp"));
  EXPECT_EQ(f->SignPic->GetPicture()->GetWidth(), 30);
  EXPECT_EQ(f->SignPic->GetWidth(), 30);
  EXPECT_EQ(f->SignPic->GetHeight(), 20);
  EXPECT_EQ(LogoPrintBitmap->GetWidth(), 30);
}

}  // namespace

namespace {

// A press on the text box's edge handle sizes the box from that edge as
// the pointer moves (the moves and the release come while the window
// manager's size loop runs); a press inside it edits text and sizes nothing.
TEST_F(LayoutFiles, TextBoxSizesFromItsEdgeHandles) {
  Click(f->TextButton);
  ClickAt(40, 30);
  ASSERT_TRUE(f->Edit->GetVisible());
  QWidget* w = f->Edit->Widget();
  struct Case {
    TPoint at, by;
    TRect want;
  };
  const TRect home = f->Edit->GetBoundsRect();
  const int W = home.Width(), H = home.Height();
  const Case cases[] = {
      {{3, H / 2}, {-10, 0}, Rect(home.Left - 10, home.Top, home.Right, home.Bottom)},       // left edge
      {{W - 3, H - 3}, {12, 8}, Rect(home.Left, home.Top, home.Right + 12, home.Bottom + 8)},  // bottom-right
      {{W / 2, H / 2}, {12, 8}, home},                                                       // inside: text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.at.x << "," << c.at.y);
    f->Edit->SetBoundsRect(home);
    const QPoint start = w->mapToGlobal(QPoint(c.at.x, c.at.y)), end = start + QPoint(c.by.x, c.by.y);
    QTimer::singleShot(0, w, [w, start, end] {
      QTest::mouseMove(w, w->mapFromGlobal((start + end) / 2));
      QTest::mouseMove(w, w->mapFromGlobal(end));
      QTest::mouseRelease(w, Qt::LeftButton, {}, w->mapFromGlobal(end));
    });
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(c.at.x, c.at.y));
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(f->Edit->GetBoundsRect(), c.want);
    EXPECT_EQ(Screen->GetCursor(), crDefault);
  }
}

}  // namespace

namespace {

// The layout, logo and seal pictures are written as bitmaps or JPEG
// pictures by their names' extensions (in any letter case); the other
// types are refused with the wrong-type box and nothing is written.
TEST_F(LayoutFiles, PicturesAreSavedByTheirExtension) {
  TBitmap logo;
  logo.SetSize(30, 20);
  logo.GetCanvas()->Brush->Color = clRed;
  logo.GetCanvas()->FillRect(Rect(0, 0, 30, 20));
  f->SignPic->GetPicture()->Assign(&logo);
  f->ImageZhang->GetPicture()->Assign(&logo);
  using Save = bool (TMainForm::*)(const std::string&);
  struct Case {
    Save save;
    const char* name;
    bool written;
    int width;
  } cases[] = {
      {&TMainForm::SaveLogoPicture, "logo.BMP", true, 30},  {&TMainForm::SaveLogoPicture, "logo.jpeg", true, 30},
      {&TMainForm::SaveLogoPicture, "logo.ico", false, 0},  {&TMainForm::SaveSealPicture, "seal.jpg", true, 30},
      {&TMainForm::SaveSealPicture, "seal.emf", false, 0},  {&TMainForm::SaveLayoutPicture, "base.JPG", true, f->Drawor->GetWidth()},
      {&TMainForm::SaveLayoutPicture, "base.wmf", false, 0}, {&TMainForm::SaveLayoutPicture, "base.png", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    program.dialogs.Records.clear();
    const std::string path = program.Data(c.name);
    EXPECT_EQ((f->*c.save)(path), c.written);
    EXPECT_EQ(FileExists(path), c.written);
    EXPECT_EQ(Captions(), c.written ? std::vector<std::string>{} : std::vector<std::string>{"错误的文件类型"});
    if (!c.written) continue;
    TPicture read;
    read.LoadFromFile(path);
    EXPECT_EQ(read.GetWidth(), c.width);
  }
}

}  // namespace

namespace {

// The text box's pop-up menu and the text tool bar's clipboard buttons
// edit the box's text.
TEST_F(LayoutFiles, TextBoxPopUpAndClipboardButtons) {
  Click(f->TextButton);
  ClickAt(40, 30);
  QTest::keyClicks(f->Edit->Widget(), "AB");
  WindowClick(f->Edit, {5, 5}, Qt::RightButton);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  QAction* selectAll = nullptr;
  for (QAction* action : menu->actions())
    if (action->text().toStdString() == "全选") selectAll = action;
  ASSERT_NE(selectAll, nullptr);
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(selectAll).center());
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(f->Edit->GetSelLength(), 2);
  Click(f->TBCut);
  EXPECT_EQ(f->Edit->GetText(), "");
  EXPECT_EQ(Clipboard()->GetAsText(), "AB");
  Click(f->TBPaste);
  Click(f->TBPaste);
  EXPECT_EQ(f->Edit->GetText(), "ABAB");
}

}  // namespace
