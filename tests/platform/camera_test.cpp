// The camera layer: frames as devices deliver them (YUYV, Motion JPEG),
// the test pattern device, the choice of source and the capture window's
// preview, still file and "no device" face.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/camera.h"
#include "platform/camerawindow.h"
#include "platform/canvas.h"
#include "platform/forms.h"
#include "platform/graphics.h"
#include "platform/timers.h"
#include "platform/v4l2frames.h"
#include "support/testenv.h"

namespace {

// Chooses the camera source for one test and restores the run's choice.
class CameraSource {
 public:
  explicit CameraSource(TCameraSource source) : old_(CameraGetSource()) { CameraSetSource(source); }
  ~CameraSource() { CameraSetSource(old_); }

 private:
  TCameraSource old_;
};

unsigned Rgb(const TBitmap& b, int x, int y) {
  const QRgb c = b.Image().pixel(x, y);
  return (unsigned(qRed(c)) << 16) | (unsigned(qGreen(c)) << 8) | unsigned(qBlue(c));
}

bool Near(unsigned a, unsigned b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

TEST(CameraFrames, YuyvBecomesRgbAndBadSizesAreRefused) {
  // Two pixels a group: Y0 U Y1 V.
  struct Case {
    uint8_t y, u, v;
    unsigned rgb;
  } cases[] = {
      {235, 128, 128, 0xFFFFFF}, {16, 128, 128, 0x000000}, {126, 128, 128, 0x808080},
      {81, 90, 240, 0xFF0000},   {145, 54, 34, 0x00FF00},  {41, 240, 110, 0x0000FF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.y) << "," << int(c.u) << "," << int(c.v));
    // A 3 x 2 frame (odd width: the last group is half used) with 4 bytes
    // of padding after each row.
    std::vector<uint8_t> bytes;
    for (int row = 0; row < 2; ++row) {
      for (int group = 0; group < 2; ++group) bytes.insert(bytes.end(), {c.y, c.u, c.y, c.v});
      bytes.insert(bytes.end(), {0, 0, 0, 0});
    }
    TBitmap b;
    ASSERT_TRUE(CameraYuyvToBitmap(bytes.data(), bytes.size(), 3, 2, 12, &b));
    ASSERT_EQ(b.GetWidth(), 3);
    ASSERT_EQ(b.GetHeight(), 2);
    EXPECT_EQ(b.GetPixelFormat(), pf24bit);
    for (int x = 0; x < 3; ++x) EXPECT_TRUE(Near(Rgb(b, x, 1), c.rgb, 2)) << std::hex << Rgb(b, x, 1);
  }

  // Frames that do not fit their bytes leave the bitmap alone.
  std::vector<uint8_t> bytes(64, 128);
  struct Bad {
    const char* what;
    size_t size;
    int width, height, bytesPerLine;
  } bad[] = {
      {"rows shorter than the width needs", 64, 4, 2, 6},
      {"fewer bytes than the rows", 15, 4, 2, 8},
      {"no width", 64, 0, 2, 8},
      {"negative height", 64, 4, -1, 8},
      {"a huge size", 64, 100000, 100000, 200000},
  };
  for (const Bad& c : bad) {
    SCOPED_TRACE(c.what);
    TBitmap b;
    b.SetSize(5, 5);
    EXPECT_FALSE(CameraYuyvToBitmap(bytes.data(), c.size, c.width, c.height, c.bytesPerLine, &b));
    EXPECT_EQ(b.GetWidth(), 5);
  }
}

std::string Jpeg(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPG", 95);
  return bytes.toStdString();
}

// Drops every Huffman table segment, as many cameras send their frames.
std::string WithoutHuffmanTables(const std::string& jpeg) {
  std::string out = jpeg.substr(0, 2);
  size_t at = 2;
  while (at + 4 <= jpeg.size() && uint8_t(jpeg[at]) == 0xFF) {
    const uint8_t marker = uint8_t(jpeg[at + 1]);
    const size_t length = (size_t(uint8_t(jpeg[at + 2])) << 8) | uint8_t(jpeg[at + 3]);
    if (marker == 0xDA) break;  // the scan and everything after it
    if (marker != 0xC4) out += jpeg.substr(at, 2 + length);
    at += 2 + length;
  }
  return out + jpeg.substr(at);
}

TEST(CameraFrames, MotionJpegDecodesWithOrWithoutItsHuffmanTables) {
  QImage image(64, 48, QImage::Format_RGB888);
  image.fill(QColor(200, 40, 40));
  const std::string full = Jpeg(image);
  const std::string bare = WithoutHuffmanTables(full);
  ASSERT_LT(bare.size(), full.size());
  for (const std::string& bytes : {full, bare}) {
    TBitmap b;
    ASSERT_TRUE(CameraMjpegToBitmap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &b));
    EXPECT_EQ(b.GetWidth(), 64);
    EXPECT_EQ(b.GetHeight(), 48);
    EXPECT_TRUE(Near(Rgb(b, 30, 20), 0xC82828, 6)) << std::hex << Rgb(b, 30, 20);
  }
  // Not a JPEG, or cut short: refused, the bitmap kept.
  for (const std::string& bytes : {std::string("not a picture"), full.substr(0, 3), std::string()}) {
    TBitmap b;
    b.SetSize(5, 5);
    EXPECT_FALSE(CameraMjpegToBitmap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &b));
    EXPECT_EQ(b.GetWidth(), 5);
  }
}

TEST(CameraDevices, ThePatternIsDriverZeroAndMovesFromFrameToFrame) {
  CameraSource source(camPattern);
  EXPECT_EQ(CameraOpen(1), nullptr);
  EXPECT_EQ(CameraOpen(-1), nullptr);
  std::unique_ptr<TCameraDevice> camera = CameraOpen(0);
  ASSERT_NE(camera, nullptr);
  TBitmap first, second;
  ASSERT_TRUE(camera->Grab(&first));
  ASSERT_TRUE(camera->Grab(&second));
  ASSERT_EQ(first.GetWidth(), kCameraPatternWidth);
  ASSERT_EQ(first.GetHeight(), kCameraPatternHeight);
  for (int bar = 0; bar < 8; ++bar) {
    const int x = bar * kCameraPatternWidth / 8 + 5;
    EXPECT_EQ(Rgb(first, x, 10), CameraPatternBarColour(x)) << bar;
  }
  EXPECT_EQ(CameraPatternBarColour(0), 0xFFFFFFu);
  EXPECT_EQ(CameraPatternBarColour(kCameraPatternWidth - 1), 0x000000u);
  // Above the moving square both frames agree; along it they differ.
  EXPECT_EQ(first.Image().copy(0, 0, kCameraPatternWidth, kCameraPatternSquareTop),
            second.Image().copy(0, 0, kCameraPatternWidth, kCameraPatternSquareTop));
  EXPECT_NE(first.Image(), second.Image());

  CameraSetSource(camNone);
  EXPECT_EQ(CameraOpen(0), nullptr);
}

class CaptureWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.SetBounds(0, 0, 400, 300);
    window_ = new TCaptureWindow(&form_);
    window_->SetParent(&form_);
    window_->SetBounds(0, 0, 300, 240);
  }
  TColor PaintedAt(int x, int y) {
    TBitmap target;
    target.SetSize(300, 240);
    window_->PaintTo(target.GetCanvas(), 0, 0);
    return target.GetCanvas()->GetPixel(x, y);
  }

  TForm form_{nullptr};
  TCaptureWindow* window_ = nullptr;
};

TEST_F(CaptureWindowTest, PreviewsAtItsRateAndSavesTheCurrentFrame) {
  CameraSource source(camPattern);
  TManualClock clock;
  ASSERT_TRUE(window_->DriverConnect(0));
  window_->SetPreviewRate(66);
  window_->SetPreview(true);
  EXPECT_EQ(window_->FramesShown(), 1);  // the first frame at once
  clock.Advance(66 * 3);
  EXPECT_EQ(window_->FramesShown(), 4);
  // The frame is drawn 1:1 from the top left corner: the first bar is white.
  EXPECT_EQ(PaintedAt(10, 10), clWhite);
  EXPECT_EQ(PaintedAt(kCameraPatternWidth / 8 + 5, 10), clYellow);

  cwtest::TempDir folder;
  const std::string still = folder.file("still.bmp");
  ASSERT_TRUE(window_->SaveDIB(still));
  TBitmap saved;
  saved.LoadFromFile(still);
  EXPECT_EQ(saved.GetWidth(), kCameraPatternWidth);
  EXPECT_EQ(saved.GetHeight(), kCameraPatternHeight);
  EXPECT_EQ(saved.GetPixelFormat(), pf24bit);
  EXPECT_EQ(Rgb(saved, 2 * kCameraPatternWidth / 8 + 5, 10), 0x00FFFFu);

  window_->SetPreview(false);
  clock.Advance(66 * 3);
  EXPECT_EQ(window_->FramesShown(), 4);
  window_->DriverDisconnect();
  EXPECT_FALSE(window_->Connected());
  clock.Advance(66 * 3);
  EXPECT_EQ(window_->FramesShown(), 4);
}

TEST_F(CaptureWindowTest, WithoutADeviceItSaysSoAndWritesNothing) {
  CameraSource source(camNone);
  TManualClock clock;
  EXPECT_FALSE(window_->DriverConnect(0));
  window_->SetPreview(true);
  EXPECT_FALSE(window_->GetPreview());
  clock.Advance(500);
  EXPECT_EQ(window_->FramesShown(), 0);
  cwtest::TempDir folder;
  const std::string still = folder.file("none.bmp");
  EXPECT_FALSE(window_->SaveDIB(still));
  EXPECT_FALSE(std::filesystem::exists(still));
  // Black, with the white text in the middle.
  EXPECT_EQ(PaintedAt(3, 3), clBlack);
  TBitmap target;
  target.SetSize(300, 240);
  window_->PaintTo(target.GetCanvas(), 0, 0);
  int light = 0;
  for (int y = 100; y < 140; ++y)
    for (int x = 80; x < 220; ++x) light += (target.GetCanvas()->GetPixel(x, y) & 0xFF) > 128;
  EXPECT_GT(light, 20);
}

}  // namespace
