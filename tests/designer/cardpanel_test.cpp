// The card panel: the layout picture refitted from its unscaled source on
// every resize, the smallest panel, the user's drawing kept only when the
// user says so, the print twin, and the items clamped into the new panel.
#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <functional>
#include <QWidget>
#include <fstream>

#include "cardprogram.h"
#include "designer/cardpanel.h"
#include "imaging/view/pix.h"
#include "imaging/view/qrpix.h"
#include "imaging/view/rulerbox.h"
#include "platform/forms.h"
#include "records/dbpicsu.h"

using cardtest::CardProgram;

const std::string kKeepDrawingText =
    "版面图片上画的内容会因改变卡片大小而丢失。要把画好的版面图片作为新的原图保留吗？";

namespace {

TEST(FitLayoutPicture, ShapeOfTheAreaChoosesTheFullSide) {
  struct Case {
    int dw, dh, sw, sh;
    TLayoutFit want;
  } cases[] = {
      {300, 100, 100, 200, {125, 0, 50, 100}},   // landscape area, portrait picture: bands left and right
      {100, 300, 200, 100, {0, 125, 100, 50}},   // portrait area, landscape picture: bands above and below
      {300, 100, 800, 100, {-250, 0, 800, 100}}, // picture wider than the area: cropped on both sides
      {100, 100, 100, 300, {0, -100, 100, 300}}, // square area takes the width: a tall picture is cropped
      {327, 213, 337, 223, {3, 0, 321, 213}},    // trunc(213 * 337 / 223) = 321
  };
  for (const Case& c : cases) {
    const TLayoutFit got = FitLayoutPicture(c.dw, c.dh, c.sw, c.sh);
    EXPECT_EQ(got.Left, c.want.Left) << c.dw << "x" << c.dh << " " << c.sw << "x" << c.sh;
    EXPECT_EQ(got.Top, c.want.Top) << c.dw << "x" << c.dh << " " << c.sw << "x" << c.sh;
    EXPECT_EQ(got.Width, c.want.Width) << c.dw << "x" << c.dh << " " << c.sw << "x" << c.sh;
    EXPECT_EQ(got.Height, c.want.Height) << c.dw << "x" << c.dh << " " << c.sw << "x" << c.sh;
  }
}

TEST(FitLayoutPicture, EmptyAreaOrPictureGivesAnEmptyPlace) {
  const int sizes[][4] = {{0, 100, 10, 10}, {100, 0, 10, 10}, {-5, 100, 10, 10},
                          {100, 100, 0, 10}, {100, 100, 10, 0}, {0, 0, 0, 0}};
  for (const auto& s : sizes) {
    const TLayoutFit got = FitLayoutPicture(s[0], s[1], s[2], s[3]);
    EXPECT_EQ(got.Width, 0);
    EXPECT_EQ(got.Height, 0);
  }
}

class CardPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    f = program.MakeMainForm();
    f->Show();
    SetSource(100, 200);
    asked = program.Messages().size();
  }

  // A plain red unscaled picture of w x h.
  void SetSource(int w, int h) {
    TBitmap source;
    source.SetPixelFormat(pf24bit);
    source.SetSize(w, h);
    source.GetCanvas()->Brush->Color = clRed;
    source.GetCanvas()->FillRect(TRect{0, 0, w, h});
    f->ImageTemp->GetPicture()->Assign(&source);
  }
  // Sizes the card panel as the size loop and the template reader do; its
  // window follows.
  void ResizePanel(int w, int h) {
    f->Panel2->SetBounds(f->Panel2->GetLeft(), f->Panel2->GetTop(), w, h);
    ASSERT_EQ(f->Panel2->Widget()->width(), std::max(w, kCardPanelMinWidth));
  }
  // True when the shown layout picture is white at (x, y).
  bool WhiteAt(int x, int y) {
    TBitmap shown;
    shown.Assign(f->Drawor->GetPicture()->GetGraphic());
    shown.SetPixelFormat(pf24bit);
    const uint8_t* p = shown.ScanLine(y) + x * 3;
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
  }
  void DrawBlackBox(int l, int t, int r, int b) {
    TCanvas* canvas = f->Drawor->GetCanvas();
    canvas->Brush->Color = clBlack;
    canvas->FillRect(TRect{l, t, r, b});
  }

  // Questions the panel asked since the window was shown.
  size_t Asked() const { return program.Messages().size() - asked; }

  CardProgram program;
  TMainForm* f = nullptr;
  size_t asked = 0;
};

TEST_F(CardPanel, ResizeRefitsTheLayoutPictureInsideTheBand) {
  f->FontBox->SetText("黑体");
  const TFont before = *f->DBTexts[0]->GetFont();
  ResizePanel(410, 210);
  EXPECT_EQ(f->FontBox->GetText(), "宋体") << "the drawing settings start over";
  EXPECT_EQ(f->DBTexts[0]->GetFont()->Name, before.Name) << "no text takes the face";
  EXPECT_EQ(f->Drawor->GetLeft(), 5);
  EXPECT_EQ(f->Drawor->GetTop(), 5);
  EXPECT_EQ(f->Drawor->GetWidth(), 400);
  EXPECT_EQ(f->Drawor->GetHeight(), 200);
  EXPECT_EQ(f->Drawor->GetPicture()->GetWidth(), 400);
  EXPECT_EQ(f->Drawor->GetPicture()->GetHeight(), 200);
  // The portrait picture fills the height, centred: 100 wide at x = 150.
  EXPECT_TRUE(WhiteAt(20, 100));
  EXPECT_FALSE(WhiteAt(200, 100));
  EXPECT_TRUE(WhiteAt(380, 100));
  // The print twin takes the same place and a copy of the picture.
  EXPECT_EQ(f->QRDrawor->GetLeft(), 5);
  EXPECT_EQ(f->QRDrawor->GetWidth(), 400);
  EXPECT_EQ(f->QRDrawor->GetAttachedBitmap(), LayoutPrintBitmap);
  EXPECT_EQ(LayoutPrintBitmap->GetWidth(), 400);
  EXPECT_EQ(LayoutPrintBitmap->GetHeight(), 200);
  EXPECT_EQ(f->Pix1->GetFBitmap()->GetWidth(), 400) << "the copy goes through the converter";
  TBitmap printed;
  printed.Assign(LayoutPrintBitmap);
  printed.SetPixelFormat(pf24bit);
  EXPECT_EQ(printed.ScanLine(100)[200 * 3 + 2], 255) << "red in the middle, as shown";
  EXPECT_EQ(printed.ScanLine(100)[200 * 3], 0);
  EXPECT_EQ(printed.ScanLine(100)[20 * 3], 255) << "white band";

  // Back to a portrait panel: refitted from the unscaled source, not from
  // the shown picture with its bands.
  SetSource(200, 100);
  ResizePanel(110, 310);
  EXPECT_TRUE(WhiteAt(50, 10));
  EXPECT_FALSE(WhiteAt(50, 150));
  EXPECT_TRUE(WhiteAt(50, 290));
  EXPECT_EQ(Asked(), 0u);
}

TEST_F(CardPanel, ZeroSizesAndAnEmptyPictureNeverFail) {
  ResizePanel(0, 0);
  EXPECT_EQ(f->Panel2->GetWidth(), kCardPanelMinWidth);
  EXPECT_EQ(f->Panel2->GetHeight(), kCardPanelMinHeight);
  EXPECT_EQ(f->Drawor->GetWidth(), kCardPanelMinWidth - 10);
  EXPECT_EQ(f->Drawor->GetHeight(), kCardPanelMinHeight - 10);

  f->ImageTemp->GetPicture()->SetGraphic(nullptr);
  ResizePanel(300, 200);
  EXPECT_EQ(f->Drawor->GetPicture()->GetWidth(), 290);
  EXPECT_TRUE(WhiteAt(145, 95));
  EXPECT_EQ(Asked(), 0u);
}

TEST_F(CardPanel, DrawingIsKeptOnlyWhenTheUserSaysSo) {
  ResizePanel(410, 210);
  // Drawn over the white band on the left.
  DrawBlackBox(10, 10, 60, 190);
  program.dialogs.Answer(IDYES);
  ResizePanel(410, 210 + 1);
  ASSERT_EQ(Asked(), 1u);
  EXPECT_FALSE(WhiteAt(30, 100)) << "the drawing became the new source";

  DrawBlackBox(350, 10, 390, 190);
  program.dialogs.Answer(IDNO);
  ResizePanel(410, 210);
  EXPECT_EQ(Asked(), 2u);
  EXPECT_TRUE(WhiteAt(370, 100)) << "refitted from the source without the drawing";

  // Nothing drawn since the last refit: no question.
  ResizePanel(420, 220);
  EXPECT_EQ(Asked(), 2u);
}

TEST_F(CardPanel, UnreadableLayoutFileIsReportedAndChangesNothing) {
  const std::string bad = program.Data("broken.bmp");
  std::ofstream(bad, std::ios::binary) << "BM not a picture";
  EXPECT_FALSE(f->LoadLayoutPicture(bad));
  ASSERT_EQ(Asked(), 1u);
  EXPECT_EQ(program.dialogs.Records.back().Text, "无法装入图像文件");
  EXPECT_EQ(program.dialogs.Records.back().Caption, "装入错误");
  EXPECT_EQ(f->ImageTemp->GetPicture()->GetWidth(), 100);
  EXPECT_EQ(f->ImageTemp->GetPicture()->GetHeight(), 200);
}

TEST_F(CardPanel, ItemsAreClampedIntoTheSmallerPanel) {
  f->SignPic->Show();
  f->SignPic->SetBounds(300, 180, 40, 40);
  ResizePanel(200, 150);
  EXPECT_LE(f->SignPic->GetLeft() + f->SignPic->GetWidth(), 200);
  EXPECT_LE(f->SignPic->GetTop() + f->SignPic->GetHeight(), 150);
}

TEST_F(CardPanel, ReleaseOnThePanelRefreshesThePrintTwin) {
  ResizePanel(410, 210);
  DrawBlackBox(10, 10, 60, 190);
  // The twin still holds the picture before the drawing.
  TBitmap before;
  before.Assign(LayoutPrintBitmap);
  before.SetPixelFormat(pf24bit);
  EXPECT_EQ(before.ScanLine(100)[30 * 3], 255);
  // A right click on the panel's band, through the panel's window: the
  // press starts no loop without the left button, the release reaches the
  // panel.
  QTest::mouseClick(f->Panel2->Widget(), Qt::RightButton, Qt::NoModifier, QPoint(2, 100));
  EXPECT_EQ(f->Panel2->GetBoundsRect(), Rect(24, 26, 24 + 410, 26 + 210));
  TBitmap after;
  after.Assign(LayoutPrintBitmap);
  after.SetPixelFormat(pf24bit);
  EXPECT_EQ(after.ScanLine(100)[30 * 3], 0);
}

// A click on a ruler asks for its dots per unit and its label spacing
// through two input boxes; each answer applies as it comes.
TEST_F(CardPanel, RulerClickAsksForItsScale) {
  const std::string caption = "标尺设置    ";
  const std::string spacing = "请输入间隔数           ", units = "请输入单位数           ";
  struct Answer {
    const char* value;  // nullptr: cancelled
  };
  struct Case {
    bool vertical;
    std::vector<Answer> answers;
    double dpu, labels;
    std::vector<std::string> prompts;
    bool error;
  } cases[] = {
      {false, {{"5"}, {"20"}}, 5, 20, {spacing, spacing}, false},
      {true, {{"4"}, {nullptr}}, 4, 10, {units, spacing}, false},   // a cancelled box gives its default
      {false, {{nullptr}, {nullptr}}, 3, 10, {spacing, spacing}, false},
      {true, {{"0"}, {"-5"}}, 0, -5, {units, spacing}, false},       // passed on unchecked
      {false, {{"x"}}, 7, 12, {spacing}, true},                      // no number: nothing applies
      {true, {{"6"}, {"y"}}, 6, 12, {units, spacing}, true},         // the first answer stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.vertical << " " << (c.answers[0].value ? c.answers[0].value : "-"));
    TRulerBox* ruler = c.vertical ? f->RulerBox2 : f->RulerBox1;
    ruler->SetDPU(7);
    ruler->SetLabelFreq(12);
    for (const Answer& a : c.answers) program.dialogs.AnswerInput(a.value ? a.value : "", a.value != nullptr);
    program.dialogs.Records.clear();
    QTest::mouseClick(ruler->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(c.vertical ? 10 : 100, c.vertical ? 100 : 10));
    EXPECT_EQ(program.dialogs.Pending(), 0u);
    EXPECT_EQ(ruler->GetDotPerUnit(), c.dpu);
    EXPECT_EQ(ruler->GetLabelFreq(), c.labels);
    std::vector<std::string> prompts;
    bool error = false;
    for (const TDialogRecord& record : program.dialogs.Records) {
      if (record.Kind == TDialogRecord::Input) {
        EXPECT_EQ(record.Caption, caption);
        prompts.push_back(record.Text);
      } else {
        error = true;
      }
    }
    EXPECT_EQ(prompts, c.prompts);
    EXPECT_EQ(error, c.error);
    UpdatePendingWindows();  // the ruler paints whatever it was given
  }
}

TEST(CardPanelCommand, ZonesPickTheWindowManagersCommand) {
  // A 337 x 223 panel: middles at x 168 and y 111.
  struct Case {
    int x, y;
    TCursor cursor;
    WPARAM command;
  } cases[] = {
      {0, 0, crSizeNWSE, 0xF004},     {9, 9, crSizeNWSE, 0xF004},     {336, 222, crSizeNWSE, 0xF008},
      {328, 214, crSizeNWSE, 0xF008}, {336, 0, crSizeNESW, 0xF005},   {0, 222, crSizeNESW, 0xF007},
      {168, 2, crSizeNS, 0xF003},     {164, 4, crSizeNS, 0xF003},     {172, 0, crSizeNS, 0xF003},
      {163, 2, crSizeAll, 0xF011},    {173, 2, crSizeAll, 0xF011},    {168, 5, crSizeAll, 0xF011},
      {168, 220, crSizeNS, 0xF006},   {2, 111, crSizeWE, 0xF001},     {334, 107, crSizeWE, 0xF002},
      {2, 91, crSizeAll, 0xF011},     {334, 116, crSizeAll, 0xF011},  {100, 100, crSizeAll, 0xF011},
      {10, 9, crSizeAll, 0xF011},     {9, 10, crSizeAll, 0xF011},     {327, 213, crSizeAll, 0xF011},
  };
  for (const Case& c : cases) {
    const TPanelCommand got = CardPanelCommand(c.x, c.y, 337, 223);
    EXPECT_EQ(got.Cursor, c.cursor) << c.x << "," << c.y;
    EXPECT_EQ(got.Command, c.command) << c.x << "," << c.y;
  }
}

// Presses on the card panel's band, moves the pointer by `by` in two steps
// and releases it: the moves and the release come while the press's size
// or move loop runs, as a user's do. `pressed` runs in the loop before the
// first step, `halfway` after it.
void DragBand(TMainForm* f, TPoint at, TPoint by, const std::function<void()>& pressed,
              const std::function<void()>& halfway) {
  QWidget* w = f->Panel2->Widget();
  const QPoint start = w->mapToGlobal(QPoint(at.x, at.y));
  const QPoint middle = start + QPoint(by.x / 2, by.y / 2), end = start + QPoint(by.x, by.y);
  QTimer::singleShot(0, w, [w, middle, pressed] {
    pressed();
    QTest::mouseMove(w, w->mapFromGlobal(middle));
  });
  QTimer::singleShot(20, w, [w, end, halfway] {
    halfway();
    QTest::mouseMove(w, w->mapFromGlobal(end));
    QTest::mouseRelease(w, Qt::LeftButton, {}, w->mapFromGlobal(end));
  });
  QTest::mousePress(w, Qt::LeftButton, {}, QPoint(at.x, at.y));
}

TEST_F(CardPanel, BandPressRunsTheSizeOrMoveLoopWithItsCursor) {
  struct Case {
    TPoint at, by;
    TRect want;  // the panel's bounds after the release
    TCursor cursor;
  } cases[] = {
      {{333, 219}, {20, 10}, Rect(24, 26, 24 + 357, 26 + 233), crSizeNWSE},  // bottom-right corner
      {{3, 3}, {6, 4}, Rect(30, 30, 24 + 337, 26 + 223), crSizeNWSE},        // top-left corner
      {{168, 2}, {8, -6}, Rect(24, 20, 24 + 337, 26 + 223), crSizeNS},       // top edge: only the height
      {{2, 111}, {-10, 4}, Rect(14, 26, 24 + 337, 26 + 223), crSizeWE},      // left edge: only the width
      {{2, 91}, {16, 6}, Rect(40, 32, 40 + 337, 32 + 223), crSizeAll},       // left edge away from its handle
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.at.x << "," << c.at.y);
    f->Panel2->SetBounds(24, 26, 337, 223);
    Screen->SetCursor(crDefault);
    TRect halfwayBounds;
    TCursor cursorInLoop = crDefault;
    QRgb handle = 0;
    DragBand(
        f, c.at, c.by,
        [&] {
          cursorInLoop = Screen->GetCursor();
          handle = f->Panel2->ClientImage().pixel(1, 1);
        },
        [&] { halfwayBounds = f->Panel2->GetBoundsRect(); });
    EXPECT_EQ(f->Panel2->GetBoundsRect(), c.want);
    EXPECT_NE(halfwayBounds, Rect(24, 26, 24 + 337, 26 + 223)) << "the panel follows the pointer";
    EXPECT_EQ(cursorInLoop, c.cursor);
    EXPECT_EQ(Screen->GetCursor(), crDefault) << "the screen cursor comes back";
    EXPECT_EQ(qRed(handle), 255) << "the handles are drawn in red";
    EXPECT_EQ(qGreen(handle), 0);
    // The resize handler ran: the layout picture and its twin fill the band.
    EXPECT_EQ(f->Drawor->GetBoundsRect(), Rect(5, 5, c.want.Width() - 5, c.want.Height() - 5));
    EXPECT_EQ(f->QRDrawor->GetBoundsRect(), f->Drawor->GetBoundsRect());
    EXPECT_EQ(LayoutPrintBitmap->GetWidth(), c.want.Width() - 10);
  }
  EXPECT_EQ(Asked(), 0u);
}

// The start-up template, a template opened through the open command and a
// resize of the undrawn panel ask nothing; one drawn pixel makes the next
// resize ask through the dialog service.
TEST(CardPanelStart, OnlyADrawingMakesTheResizeAsk) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();
  FormPicEdit = MakeForm<TFormPicEdit>(Application);
  program.Keep(FormPicEdit);
  f->OnActivate = nullptr;
  f->Show();
  // The stock template chosen in the open command's dialog.
  auto openStock = [&] {
    const std::string file = program.Data("Mode/未命名.pmt");
    program.dialogs.AnswerDialog([file](TCommonDialog* dialog) {
      static_cast<TOpenDialog*>(dialog)->FileName = file;
      return true;
    });
    QTest::keyClick(f->Widget(), Qt::Key_O, Qt::ControlModifier);
  };
  auto neverAsked = [&] {
    for (const std::string& message : program.Messages()) EXPECT_EQ(message.find(kKeepDrawingText), std::string::npos);
  };
  openStock();
  EXPECT_EQ(program.dialogs.Pending(), 0u);
  f->Panel2->SetBounds(f->Panel2->GetLeft(), f->Panel2->GetTop(), 400, 260);
  neverAsked();

  // A drawing replaced by the next template's own picture is not asked about.
  f->Drawor->GetCanvas()->SetPixel(20, 20, clBlack);
  openStock();
  f->Panel2->SetBounds(f->Panel2->GetLeft(), f->Panel2->GetTop(), 400, 260);
  neverAsked();

  f->Drawor->GetCanvas()->SetPixel(20, 20, clBlack);
  program.dialogs.Answer(IDNO);
  f->Panel2->SetBounds(f->Panel2->GetLeft(), f->Panel2->GetTop(), 380, 260);
  ASSERT_FALSE(program.Messages().empty());
  EXPECT_EQ(program.Messages().back(), kKeepDrawingText);
  EXPECT_EQ(program.dialogs.Pending(), 0u);
}

TEST(CardPanelStart, TheStockLayoutPictureIsShownAndPrinted) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();
  EXPECT_EQ(f->ImageTemp->GetPicture()->GetWidth(), 337);
  EXPECT_EQ(f->ImageTemp->GetPicture()->GetHeight(), 223);
  EXPECT_EQ(f->Drawor->GetPicture()->GetWidth(), f->Panel2->GetWidth() - 10);
  EXPECT_EQ(f->Drawor->GetPicture()->GetHeight(), f->Panel2->GetHeight() - 10);
  EXPECT_EQ(f->QRDrawor->GetAttachedBitmap(), LayoutPrintBitmap);
  EXPECT_EQ(LayoutPrintBitmap->GetWidth(), f->Drawor->GetWidth());
  for (const std::string& message : program.Messages()) EXPECT_EQ(message.find("找不到"), std::string::npos) << message;
}

}  // namespace
