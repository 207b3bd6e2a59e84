// The scanner window through real clicks, keys and drags, over the scanner
// library's test backend (solid white pictures of 80 x 100 mm), storing
// into a card-holder table made by the test and read back from its bytes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QTest>

#include "batchwindow.h"
#include "imaging/io/pixio.h"
#include "imaging/io/twainparams.h"
#include "picturefiles.h"
#include "platform/qt_input.h"
#include "records/uscanner.h"
#include "records/utextdata.h"
#include "support/sanetestenv.h"

namespace {

using namespace picturefiles;

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

void Click(TControl* control) {
  WindowClick(control, {control->GetWidth() / 2, control->GetHeight() / 2});
  Settle();
}

// Replaces an edit's text by typing.
void Type(TEdit* edit, const std::string& text) {
  QWidget* w = edit->Widget();
  QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(w, Qt::Key_Delete);
  QTest::keyClicks(w, QString::fromStdString(text));
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

// Drags inside the frame from one of its points by (dx, dy): the move
// that sets the cursor, the press, the move, the release.
void DragFrame(TShape* frame, TPoint from, int dx, int dy) {
  SendMouse(frame, QEvent::MouseMove, from, Qt::NoButton);
  SendMouse(frame, QEvent::MouseButtonPress, from, Qt::LeftButton);
  SendMouse(frame, QEvent::MouseMove, {from.x + dx, from.y + dy}, Qt::LeftButton);
  SendMouse(frame, QEvent::MouseButtonRelease, {from.x + dx, from.y + dy}, Qt::NoButton);
  Settle();
}

TRect Bounds(TControl* c) { return Rect(c->GetLeft(), c->GetTop(), c->GetLeft() + c->GetWidth(), c->GetTop() + c->GetHeight()); }

class ScannerWindow : public cardtest::BatchWindowTest {
 protected:
  explicit ScannerWindow(const std::string& settings = "") : scanners_(settings) {}

  void SetUp() override {
    BatchWindowTest::SetUp();
    FormTextData = MakeForm<TFormTextData>(Application);
    program_.Keep(FormTextData);
    FormScanner = MakeForm<TFormScanner>(Application);
    program_.Keep(FormScanner);
    window_ = FormScanner;
    folder_ = MakeTable(program_.DataFolder() / "cards", {"甲", "乙", "丙"});
    UseFolder(folder_);
    form_->Table1->First();
    window_->Show();  // becoming active lists the scanners
    Settle();
  }

  void Scan(int dpi, int type) {
    Type(window_->Edit1, std::to_string(dpi));
    Type(window_->Edit2, std::to_string(dpi));
    Choose(window_->ComboBox2, type);
    Click(window_->Button1);
  }

  cwtest::TestScanners scanners_;
  TFormScanner* window_ = nullptr;
  std::string folder_;
};

class FailingScannerWindow : public ScannerWindow {
 protected:
  FailingScannerWindow() : ScannerWindow("read-status-code \"SANE_STATUS_IO_ERROR\"\n") {}
};

}  // namespace

TEST_F(ScannerWindow, ListsTheScannersOnceAndShowsTheirParameters) {
  window_->Hide();  // shown and active a second time
  window_->Show();
  Settle();
  TStrings* names = window_->ComboBox1->GetItems();
  ASSERT_EQ(names->Count(), 2);
  EXPECT_EQ(names->Get(0), "frontend-tester (test:0)");
  EXPECT_EQ(window_->ComboBox1->GetItemIndex(), 0);
  EXPECT_EQ(window_->Edit1->GetText(), "50");
  EXPECT_EQ(window_->Edit2->GetText(), "50");
  TStrings* types = window_->ComboBox2->GetItems();
  ASSERT_EQ(types->Count(), 3);
  EXPECT_EQ(types->Get(0), "Black&White");
  EXPECT_EQ(types->Get(1), "GrayScale");
  EXPECT_EQ(types->Get(2), "RGB");
  EXPECT_EQ(window_->ComboBox2->GetItemIndex(), 1);
  EXPECT_EQ(ScannerPixelTypeName(5), "5");

  // Negotiating sends the choice and shows what the scanner took.
  Type(window_->Edit1, "75");
  Type(window_->Edit2, "75");
  Choose(window_->ComboBox2, 2);
  Click(window_->Button2);
  EXPECT_EQ(window_->Edit1->GetText(), "75");
  EXPECT_EQ(window_->ComboBox2->GetItemIndex(), 2);
  EXPECT_EQ(window_->PixIO1->TWainParams->GetPixelType().CurrentValue, 2);
}

// A scanner that reports no pixel types: nothing is chosen, and applying
// the parameters leaves the pixel type alone.
TEST_F(ScannerWindow, NoPixelTypesLeaveThePixelTypeAlone) {
  TIEIntegerList& types = window_->PixIO1->TWainParams->GetPixelType();
  types.Clear();
  types.CurrentValue = 7;
  window_->ComboBox2->GetItems()->Clear();
  Click(window_->Button1);
  EXPECT_EQ(window_->ComboBox2->GetItemIndex(), -1);
  EXPECT_EQ(types.CurrentValue, 7);
  EXPECT_EQ(types.Changes, 0);
}

// Every pixel type at two resolutions gives a picture of the page's size;
// the last one is cropped and stored as a BMP picture in the field chosen.
TEST_F(ScannerWindow, ScansCropsAndStoresIntoTheRecord) {
  for (int dpi : {20, 40}) {
    for (int type : {0, 1, 2}) {
      SCOPED_TRACE(testing::Message() << dpi << " dpi, type " << type);
      Scan(dpi, type);
      TBitmap* picture = window_->Image1->GetPicture()->GetBitmap();
      EXPECT_NEAR(picture->GetWidth(), 80 / 25.4 * dpi, 1.0);
      EXPECT_NEAR(picture->GetHeight(), 100 / 25.4 * dpi, 1.0);
      EXPECT_EQ(window_->PixIO1->IOParams->DPIX, dpi);
      EXPECT_EQ(window_->PixIO1->TWainParams->GetPixelType().CurrentValue, type);
    }
  }
  // Crop and store as picture two.
  const TRect frame = Bounds(window_->Image2);
  Click(window_->Button6);
  EXPECT_EQ(window_->Image3->GetPicture()->GetBitmap()->GetWidth(), frame.Width());
  EXPECT_EQ(window_->Image3->GetPicture()->GetBitmap()->GetPixelFormat(), pf24bit);
  program_.dialogs.Answer(IDNO);
  Click(window_->Button3);
  ASSERT_EQ(program_.dialogs.Records.size(), 1u);
  EXPECT_EQ(program_.dialogs.Records[0].Caption, "选取图片字段");
  form_->Table1->Post();
  std::vector<StoredRecord> stored = ReadStored(folder_);
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_TRUE(stored[0].pic.empty());
  ASSERT_EQ(stored[0].background.substr(0, 2), "BM");
  QImage image = Decode(stored[0].background);
  EXPECT_EQ(image.width(), frame.Width());
  EXPECT_EQ(image.height(), frame.Height());
  EXPECT_TRUE(Near(image.pixelColor(image.width() / 2, image.height() / 2), QColor(255, 255, 255)));
}

TEST_F(ScannerWindow, StoresNothingWithoutACrop) {
  Click(window_->Button3);  // nothing scanned
  Scan(20, 2);
  Click(window_->Button3);  // scanned, not cropped
  EXPECT_EQ(program_.Messages(), (std::vector<std::string>{"没有可存入的图片", "没有可存入的图片"}));
  for (const StoredRecord& r : ReadStored(folder_)) EXPECT_TRUE(r.pic.empty() && r.background.empty());
}

TEST_F(FailingScannerWindow, StoresNothingAfterAFailedScan) {
  Scan(20, 2);
  EXPECT_EQ(window_->Image1->GetPicture()->GetBitmap()->GetWidth(), 0);
  Click(window_->Button6);
  Click(window_->Button3);
  EXPECT_EQ(program_.Messages(), (std::vector<std::string>{"没有可存入的图片"}));
  for (const StoredRecord& r : ReadStored(folder_)) EXPECT_TRUE(r.pic.empty() && r.background.empty());
}

// The frame follows its edges and corners, keeps its smallest size and
// stays on the picture.
TEST_F(ScannerWindow, CropFrameFollowsTheDragAndStaysOnThePicture) {
  Scan(40, 2);
  TBitmap* picture = window_->Image1->GetPicture()->GetBitmap();
  const int pw = picture->GetWidth(), ph = picture->GetHeight();  // 125 x 157
  TShape* frame = window_->Image2;
  const TRect start = Bounds(frame);  // 126 x 110 at first, clipped to the picture
  ASSERT_EQ(start.Right, pw);

  // Lower right corner: only width and height change.
  DragFrame(frame, {frame->GetWidth() - 2, frame->GetHeight() - 2}, -20, -10);
  EXPECT_EQ(frame->GetLeft(), start.Left);
  EXPECT_EQ(frame->GetTop(), start.Top);
  EXPECT_EQ(frame->GetWidth(), start.Width() - 20);
  EXPECT_EQ(frame->GetHeight(), start.Height() - 10);
  EXPECT_EQ(window_->Image4->GetWidth(), frame->GetWidth());

  // Moved far right and down: it stops at the picture's edges.
  DragFrame(frame, {frame->GetWidth() / 2, frame->GetHeight() / 2}, 900, 900);
  EXPECT_EQ(frame->GetLeft() + frame->GetWidth(), pw);
  EXPECT_EQ(frame->GetTop() + frame->GetHeight(), ph);
  EXPECT_EQ(frame->GetWidth(), start.Width() - 20);

  // The top edge dragged far out stops at the picture's top; the bottom
  // edge stays.
  DragFrame(frame, {frame->GetWidth() / 2, 1}, 0, -900);
  EXPECT_EQ(frame->GetTop(), 0);
  EXPECT_EQ(frame->GetHeight(), ph);

  // Left edge: the right edge stays; far past it the frame keeps its
  // smallest width.
  const int left = frame->GetLeft();
  DragFrame(frame, {1, frame->GetHeight() / 2}, 10, 0);
  EXPECT_EQ(frame->GetLeft(), left + 10);
  EXPECT_EQ(frame->GetLeft() + frame->GetWidth(), pw);
  DragFrame(frame, {1, frame->GetHeight() / 2}, 500, 0);
  EXPECT_EQ(frame->GetWidth(), TFormScanner::kMinFrame);
  EXPECT_EQ(frame->GetLeft() + frame->GetWidth(), pw);

  // The crop copies what lies under the frame.
  Click(window_->Button6);
  EXPECT_EQ(window_->Image3->GetPicture()->GetBitmap()->GetWidth(), TFormScanner::kMinFrame);
  EXPECT_EQ(window_->Image3->GetPicture()->GetBitmap()->GetHeight(), ph);
}

TEST_F(ScannerWindow, StepsThroughTheRecords) {
  Click(window_->Button4);  // 向前 on the first record
  EXPECT_EQ(form_->Table1->GetRecNo(), 1);
  EXPECT_FALSE(window_->Button4->GetEnabled());
  Click(window_->Button5);
  Click(window_->Button5);
  EXPECT_EQ(form_->Table1->GetRecNo(), 3);
  EXPECT_FALSE(window_->Button5->GetEnabled());
  EXPECT_TRUE(window_->Button4->GetEnabled());
  EXPECT_EQ(window_->AAAA->GetText(), "丙");
}
