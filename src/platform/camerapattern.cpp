// The generated test pattern camera and the choice between it and the
// system's devices.
#include <QImage>
#include <cstdlib>
#include <cstring>

#include "platform/camera.h"
#include "platform/graphics.h"

namespace {

bool gChosen = false;
TCameraSource gSource = camSystem;

constexpr unsigned kBars[8] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0x0000FF, 0x000000};
constexpr int kSquare = 16;

class TPatternCamera : public TCameraDevice {
 public:
  bool Grab(TBitmap* into) override {
    QImage image(kCameraPatternWidth, kCameraPatternHeight, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
      uchar* row = image.scanLine(y);
      for (int x = 0; x < image.width(); ++x) {
        const unsigned c = CameraPatternBarColour(x);
        row[3 * x] = uchar(c >> 16);
        row[3 * x + 1] = uchar(c >> 8);
        row[3 * x + 2] = uchar(c);
      }
    }
    // The moving square tells one frame from the next.
    const int left = (frame_ * 8) % (kCameraPatternWidth - kSquare);
    for (int y = kCameraPatternSquareTop; y < kCameraPatternSquareTop + kSquare; ++y)
      std::memset(image.scanLine(y) + 3 * left, 0x80, 3 * kSquare);
    ++frame_;
    into->SetImage(image);
    return true;
  }
  std::string Name() const override { return "Test pattern"; }

 private:
  int frame_ = 0;
};

}  // namespace

unsigned CameraPatternBarColour(int x) {
  if (x < 0 || x >= kCameraPatternWidth) return 0;
  return kBars[x * 8 / kCameraPatternWidth];
}

void CameraSetSource(TCameraSource source) {
  gSource = source;
  gChosen = true;
}

TCameraSource CameraGetSource() {
  if (!gChosen) {
    const char* env = std::getenv("CW_CAMERA");
    if (env && std::strcmp(env, "pattern") == 0) gSource = camPattern;
    if (env && std::strcmp(env, "none") == 0) gSource = camNone;
    gChosen = true;
  }
  return gSource;
}

std::unique_ptr<TCameraDevice> CameraOpenPattern(int index) {
  if (index != 0) return nullptr;
  return std::make_unique<TPatternCamera>();
}

std::unique_ptr<TCameraDevice> CameraOpen(int index) {
  if (index < 0) return nullptr;
  switch (CameraGetSource()) {
    case camPattern: return CameraOpenPattern(index);
    case camNone: return nullptr;
    default: return CameraOpenV4L2(index);
  }
}
