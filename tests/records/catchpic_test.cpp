// The camera window through real clicks and drags, over the camera layer's
// test pattern (eight colour bars of 320 x 240), storing into a
// card-holder table made by the test and read back from its bytes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <filesystem>

#include "batchwindow.h"
#include "picturefiles.h"
#include "platform/camera.h"
#include "platform/camerawindow.h"
#include "platform/qt_input.h"
#include "platform/timers.h"
#include "records/cardpictures.h"
#include "records/catchpic.h"
#include "records/upicprint.h"
#include "records/utextdata.h"

namespace {

using namespace picturefiles;

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

void Click(TControl* control) {
  WindowClick(control, {control->GetWidth() / 2, control->GetHeight() / 2});
  Settle();
}

// The close box: a close event to the window's widget.
void CloseWindow(TForm* form) {
  QCloseEvent event;
  QApplication::sendEvent(form->Widget(), &event);
  Settle();
}

void DragFrame(TShape* frame, TPoint from, int dx, int dy) {
  SendMouse(frame, QEvent::MouseMove, from, Qt::NoButton);
  SendMouse(frame, QEvent::MouseButtonPress, from, Qt::LeftButton);
  SendMouse(frame, QEvent::MouseMove, {from.x + dx, from.y + dy}, Qt::LeftButton);
  SendMouse(frame, QEvent::MouseButtonRelease, {from.x + dx, from.y + dy}, Qt::NoButton);
  Settle();
}

QColor Bar(int x) {
  const unsigned c = CameraPatternBarColour(x);
  return QColor(int(c >> 16), int((c >> 8) & 0xFF), int(c & 0xFF));
}

class CameraWindow : public cardtest::BatchWindowTest {
 protected:
  explicit CameraWindow(TCameraSource source = camPattern) : oldSource_(CameraGetSource()) {
    CameraSetSource(source);
  }
  ~CameraWindow() override { CameraSetSource(oldSource_); }

  void SetUp() override {
    BatchWindowTest::SetUp();
    FormTextData = MakeForm<TFormTextData>(Application);
    program_.Keep(FormTextData);
    FormPrintPic = MakeForm<TFormPrintPic>(Application);
    program_.Keep(FormPrintPic);
    FormCatchPic = MakeForm<TFormCatchPic>(Application);
    program_.Keep(FormCatchPic);
    window_ = FormCatchPic;
    folder_ = MakeTable(program_.DataFolder() / "cards", {"甲", "乙", "丙"});
    UseFolder(folder_);
    form_->Table1->First();
    window_->Show();  // connects the camera
    Settle();
  }

  TBitmap* Still() { return window_->Image1->GetPicture()->GetBitmap(); }

  TCameraSource oldSource_;
  TManualClock clock_;
  TFormCatchPic* window_ = nullptr;
  std::string folder_;
};

class CameraWindowWithoutDevice : public CameraWindow {
 protected:
  CameraWindowWithoutDevice() : CameraWindow(camNone) {}
};

bool NothingStored(const std::string& folder) {
  for (const StoredRecord& r : ReadStored(folder))
    if (!r.pic.empty() || !r.background.empty()) return false;
  return true;
}

}  // namespace

// Showing connects driver 0 and previews; closing disconnects; showing
// again reconnects the same capture window, never a second one.
TEST_F(CameraWindow, ShowConnectsAndPreviewsThroughOneCaptureWindow) {
  TCaptureWindow* capture = window_->CaptureWindow();
  ASSERT_NE(capture, nullptr);
  EXPECT_EQ(capture->GetParent(), window_->Panel1);
  EXPECT_EQ(capture->GetWidth(), 300);
  EXPECT_EQ(capture->GetHeight(), 240);
  EXPECT_TRUE(capture->Connected());
  EXPECT_FALSE(window_->Button1->GetEnabled());
  const int frames = capture->FramesShown();
  clock_.Advance(66 * 3);
  EXPECT_EQ(capture->FramesShown(), frames + 3);
  EXPECT_TRUE(program_.dialogs.Records.empty());

  CloseWindow(window_);
  EXPECT_FALSE(window_->GetVisible());
  EXPECT_FALSE(capture->Connected());
  EXPECT_TRUE(window_->Button1->GetEnabled());
  clock_.Advance(66 * 3);
  EXPECT_EQ(capture->FramesShown(), frames + 3);

  window_->Show();
  Settle();
  EXPECT_EQ(window_->CaptureWindow(), capture);
  EXPECT_EQ(window_->Panel1->ControlCount(), 1);
  EXPECT_TRUE(capture->Connected());
  // 连接摄像头 once more: still the one capture window.
  window_->Button1->SetEnabled(true);
  Click(window_->Button1);
  EXPECT_EQ(window_->Panel1->ControlCount(), 1);
  EXPECT_TRUE(capture->Connected());
  EXPECT_FALSE(window_->Button1->GetEnabled());
}

// A still, the frame dragged over the fourth bar, the crop and the store
// as picture one: the record holds a BMP of the frame's size in the bar's
// colour.
TEST_F(CameraWindow, TakesAStillCropsItAndStoresTheCrop) {
  Click(window_->Button5);  // 拍照
  ASSERT_EQ(Still()->GetWidth(), kCameraPatternWidth);
  ASSERT_EQ(Still()->GetHeight(), kCameraPatternHeight);
  EXPECT_TRUE(std::filesystem::exists(TFormCatchPic::StillFramePath()));
  TShape* frame = window_->Image2;
  EXPECT_EQ(frame->GetLeft(), 80);
  EXPECT_EQ(frame->GetTop(), 16);

  // Narrow the frame from its right edge to 20 pixels, then move it onto
  // the fourth bar (green, columns 120..159).
  DragFrame(frame, {frame->GetWidth() - 2, frame->GetHeight() / 2}, 20 - frame->GetWidth(), 0);
  ASSERT_EQ(frame->GetWidth(), 20);
  DragFrame(frame, {10, 50}, 130 - frame->GetLeft(), 0);
  ASSERT_EQ(frame->GetLeft(), 130);
  EXPECT_EQ(window_->Image4->GetWidth(), 20);

  // A second still replaces the first and leaves the frame where it is.
  Click(window_->Button5);
  EXPECT_EQ(frame->GetLeft(), 130);
  Click(window_->Button2);  // 截图
  TBitmap* crop = window_->Image3->GetPicture()->GetBitmap();
  EXPECT_EQ(crop->GetWidth(), 20);
  EXPECT_EQ(crop->GetHeight(), frame->GetHeight());
  EXPECT_EQ(crop->GetPixelFormat(), pf24bit);

  program_.dialogs.Answer(IDYES);
  Click(window_->BitBtn1);  // 入库
  ASSERT_EQ(program_.dialogs.Records.size(), 1u);
  EXPECT_EQ(program_.dialogs.Records[0].Caption, "选取图片字段");
  Click(window_->BitBtn2);  // 向后 posts the record
  std::vector<StoredRecord> stored = ReadStored(folder_);
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_TRUE(stored[0].background.empty());
  EXPECT_TRUE(stored[1].pic.empty());
  ASSERT_EQ(stored[0].pic.substr(0, 2), "BM");
  QImage image = Decode(stored[0].pic);
  EXPECT_EQ(image.width(), 20);
  EXPECT_EQ(image.height(), frame->GetHeight());
  EXPECT_TRUE(Near(image.pixelColor(10, 10), Bar(140)));
  EXPECT_TRUE(Near(image.pixelColor(0, 10), Bar(130)));
}

// The frame keeps its smallest size and stays on the still.
TEST_F(CameraWindow, CropFrameKeepsItsSmallestSizeAndStaysOnTheStill) {
  Click(window_->Button5);
  TShape* frame = window_->Image2;
  DragFrame(frame, {frame->GetWidth() - 2, frame->GetHeight() - 2}, -900, -900);
  EXPECT_EQ(frame->GetLeft(), 80);
  EXPECT_EQ(frame->GetWidth(), TCropFrame::kMinFrame);
  EXPECT_EQ(frame->GetHeight(), TCropFrame::kMinFrame);
  DragFrame(frame, {frame->GetWidth() / 2, frame->GetHeight() / 2}, 900, 900);
  EXPECT_EQ(frame->GetLeft() - window_->Image1->GetLeft() + frame->GetWidth(), kCameraPatternWidth);
  EXPECT_EQ(frame->GetTop() - window_->Image1->GetTop() + frame->GetHeight(), kCameraPatternHeight);
  // Scrolled to it, the crop takes what lies under it: the black bar.
  window_->ScrollBox2->ScrollInView(frame);
  Settle();
  ASSERT_GT(window_->ScrollBox2->GetHorzPosition(), 0);
  Click(window_->Button2);
  EXPECT_EQ(window_->Image3->GetPicture()->GetBitmap()->GetCanvas()->GetPixel(8, 8), clBlack);
  DragFrame(frame, {frame->GetWidth() / 2, frame->GetHeight() / 2}, -900, -900);
  EXPECT_EQ(frame->GetLeft(), window_->Image1->GetLeft());
  EXPECT_EQ(frame->GetTop(), window_->Image1->GetTop());
  window_->ScrollBox2->ScrollInView(frame);
  Settle();
  // Its lower right corner dragged far out stops at the still's corner.
  DragFrame(frame, {frame->GetWidth() - 2, frame->GetHeight() - 2}, 900, 900);
  EXPECT_EQ(frame->GetWidth(), kCameraPatternWidth);
  EXPECT_EQ(frame->GetHeight(), kCameraPatternHeight);
}

TEST_F(CameraWindow, StoresNothingWithoutACropOrAfterAFailedPhoto) {
  Click(window_->BitBtn1);  // nothing taken
  Click(window_->Button5);
  Click(window_->BitBtn1);  // taken, not cropped
  Click(window_->Button2);
  // The camera goes away: the next photo fails and takes the crop with it.
  CloseWindow(window_);
  window_->Show();
  Settle();
  CameraSetSource(camNone);
  window_->CaptureWindow()->DriverDisconnect();
  Click(window_->Button5);
  Click(window_->Button2);
  Click(window_->BitBtn1);
  EXPECT_EQ(program_.Messages(), (std::vector<std::string>{"没有可存入的图片", "没有可存入的图片",
                                                           "视频设备未连接，无法拍照", "没有可存入的图片"}));
  EXPECT_TRUE(window_->Button1->GetEnabled());
  EXPECT_TRUE(NothingStored(folder_));
}

TEST_F(CameraWindowWithoutDevice, SaysSoOnShowAndOnPhoto) {
  EXPECT_EQ(program_.Messages(), (std::vector<std::string>{"视频设备连接失败"}));
  EXPECT_TRUE(window_->Button1->GetEnabled());
  ASSERT_NE(window_->CaptureWindow(), nullptr);
  EXPECT_FALSE(window_->CaptureWindow()->Connected());
  Click(window_->Button1);  // 连接摄像头: another try, another message
  Click(window_->Button5);  // 拍照
  Click(window_->Button2);
  Click(window_->BitBtn1);
  EXPECT_EQ(program_.Messages(), (std::vector<std::string>{"视频设备连接失败", "视频设备连接失败",
                                                           "视频设备未连接，无法拍照", "没有可存入的图片"}));
  EXPECT_EQ(Still()->GetWidth(), 0);
  EXPECT_EQ(window_->Panel1->ControlCount(), 1);
  EXPECT_TRUE(NothingStored(folder_));
}

TEST_F(CameraWindow, StepsThroughTheRecordsPrintsAndOpensTheTable) {
  Click(window_->Button3);  // 向前 on the first record
  EXPECT_EQ(form_->Table1->GetRecNo(), 1);
  EXPECT_FALSE(window_->Button3->GetEnabled());
  Click(window_->BitBtn2);
  Click(window_->BitBtn2);
  EXPECT_EQ(form_->Table1->GetRecNo(), 3);
  EXPECT_FALSE(window_->BitBtn2->GetEnabled());
  EXPECT_TRUE(window_->Button3->GetEnabled());
  EXPECT_EQ(window_->AAAA->GetText(), "丙");

  std::filesystem::remove(SingleCardPicturePath());
  Click(window_->Button4);  // 打印
  EXPECT_TRUE(std::filesystem::exists(SingleCardPicturePath()));
  EXPECT_TRUE(FormPrintPic->GetVisible());
  EXPECT_FALSE(form_->GetVisible());
  Click(window_->Button6);  // 查看数据库
  EXPECT_TRUE(FormTextData->GetVisible());
}
