// The capture window: a child control that connects to a capture driver,
// shows its live preview at a set rate and saves the current frame as a
// BMP file. Without a connected device it says so in its client area.
#pragma once

#include <memory>
#include <string>

#include "platform/camera.h"
#include "platform/controls.h"
#include "platform/graphics.h"

class TTimer;

class TCaptureWindow : public TCustomControl {
 public:
  explicit TCaptureWindow(TComponent* owner);
  ~TCaptureWindow() override;

  // Connects capture driver `index` (a connected one is let go first);
  // false when it has no device or the device refuses.
  bool DriverConnect(int index);
  void DriverDisconnect();
  bool Connected() const { return device_ != nullptr; }
  // The preview's frame interval in milliseconds, and the preview itself.
  void SetPreviewRate(unsigned milliseconds);
  void SetPreview(bool on);
  bool GetPreview() const { return preview_; }
  // Grabs a frame and writes it as a BMP file; false, writing nothing,
  // without a device or a frame.
  bool SaveDIB(const std::string& fileName);

  // The frame shown now and the number of preview frames shown so far.
  const TBitmap* Frame() const { return &frame_; }
  int FramesShown() const { return framesShown_; }

  // What the client area says without a device.
  static constexpr const char* kNoDevice = "没有视频设备";

 protected:
  void Paint() override;

 private:
  void PreviewFrame();

  std::unique_ptr<TCameraDevice> device_;
  TTimer* timer_;
  TBitmap frame_;
  bool preview_ = false;
  int framesShown_ = 0;
};
