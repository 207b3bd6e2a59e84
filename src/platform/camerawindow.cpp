#include "platform/camerawindow.h"

#include "platform/canvas.h"
#include "platform/timers.h"

TCaptureWindow::TCaptureWindow(TComponent* owner) : TCustomControl(owner), timer_(new TTimer(this)) {
  timer_->SetEnabled(false);
  timer_->SetInterval(66);
  timer_->OnTimer = [this](TObject*) { PreviewFrame(); };
  SetColor(clBlack);
}

TCaptureWindow::~TCaptureWindow() { DriverDisconnect(); }

bool TCaptureWindow::DriverConnect(int index) {
  DriverDisconnect();
  device_ = CameraOpen(index);
  Invalidate();
  return device_ != nullptr;
}

void TCaptureWindow::DriverDisconnect() {
  timer_->SetEnabled(false);
  preview_ = false;
  device_.reset();
  Invalidate();
}

void TCaptureWindow::SetPreviewRate(unsigned milliseconds) { timer_->SetInterval(milliseconds ? milliseconds : 1); }

void TCaptureWindow::SetPreview(bool on) {
  preview_ = on && device_;
  timer_->SetEnabled(preview_);
  if (preview_) PreviewFrame();
}

bool TCaptureWindow::SaveDIB(const std::string& fileName) {
  if (!device_) return false;
  TBitmap still;
  if (!device_->Grab(&still)) return false;
  still.SetPixelFormat(pf24bit);
  still.SaveToFile(fileName);
  return true;
}

void TCaptureWindow::PreviewFrame() {
  if (!device_ || !device_->Grab(&frame_)) return;
  ++framesShown_;
  Invalidate();
}

void TCaptureWindow::Paint() {
  TCanvas* c = GetCanvas();
  const TRect r = GetClientRect();
  c->Brush->Color = clBlack;
  c->Brush->Style = bsSolid;
  c->FillRect(r);
  if (device_ && !frame_.GetEmpty()) {
    c->Draw(0, 0, &frame_);
    return;
  }
  if (device_) return;
  c->Font->Assign(GetFont());
  c->Font->Color = clWhite;
  c->Brush->Style = bsClear;
  const std::string text = kNoDevice;
  c->TextOut((r.Width() - c->TextWidth(text)) / 2, (r.Height() - c->TextHeight(text)) / 2, text);
}
