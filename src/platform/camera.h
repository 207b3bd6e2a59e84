// Video capture devices behind one small interface: the system's capture
// devices (V4L2, platform/v4l2camera.cpp) or a generated test pattern
// (platform/camerapattern.cpp) that tests and machines without a camera
// use. Nothing here knows about windows; platform/camerawindow.h shows
// the frames.
#pragma once

#include <memory>
#include <string>

class TBitmap;

class TCameraDevice {
 public:
  virtual ~TCameraDevice() = default;
  // The newest frame, 24 bits a pixel, into `into`; false (leaving `into`
  // alone) when none arrived in time.
  virtual bool Grab(TBitmap* into) = 0;
  virtual std::string Name() const = 0;
};

// Where the capture drivers come from: the system's devices, the test
// pattern alone (driver 0) or nothing at all. The environment variable
// CW_CAMERA ("pattern" or "none") chooses at the first use; the setter
// overrides it.
enum TCameraSource { camSystem, camPattern, camNone };
void CameraSetSource(TCameraSource source);
TCameraSource CameraGetSource();

// Opens capture driver `index` of the current source: for the system the
// index-th capture device (0 = the first /dev/video node that captures
// video). Null when there is none or it refuses.
std::unique_ptr<TCameraDevice> CameraOpen(int index);

// The two kinds of device; CameraOpen picks one.
std::unique_ptr<TCameraDevice> CameraOpenV4L2(int index);
std::unique_ptr<TCameraDevice> CameraOpenPattern(int index);

// The test pattern's size and the colour of the bar at column x (eight
// bars of equal width, left to right: white, yellow, cyan, green, magenta,
// red, blue, black), as 0xRRGGBB. A grey square of 16 x 16 pixels moves
// along the bottom rows from frame to frame.
constexpr int kCameraPatternWidth = 320;
constexpr int kCameraPatternHeight = 240;
constexpr int kCameraPatternSquareTop = kCameraPatternHeight - 20;
unsigned CameraPatternBarColour(int x);
