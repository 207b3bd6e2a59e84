// Transition effects: the run, the clock-driven step and the view's paint
// lock. The drawing of the frames is in transition_draw.cpp.
#include "imaging/view/transition.h"

#include <algorithm>
#include <cmath>

#include "imaging/core/ieview.h"
#include "platform/kernel.h"
#include "platform/timers.h"

namespace {

void Shape(TBitmap& b, int w, int h) {
  b.SetPixelFormat(pf24bit);
  b.SetSize(w, h);
}

}  // namespace

TIETransitionEffects::TIETransitionEffects(TIEView* view) : view_(view) {
  Shape(source_, 1, 1);
  Shape(target_, 1, 1);
  Shape(frame_, 1, 1);
  timer_ = new TTimer(view);
  timer_->SetEnabled(false);
  timer_->SetInterval(1);
  timer_->OnTimer = [this](TObject* s) { TimerEvent(s); };
}

TIETransitionEffects::~TIETransitionEffects() { delete timer_; }

void TIETransitionEffects::SetSizes(int width, int height) {
  Stop();
  width_ = std::max(1, width);
  height_ = std::max(1, height);
  Shape(frame_, width_, height_);
  Shape(source_, width_, height_);
  Shape(target_, width_, height_);
}

void TIETransitionEffects::TakeRows() {
  // The views fill the shots themselves: a shot of another size or depth
  // is brought to the frame's so that no row is read past its end.
  for (TBitmap* b : {&source_, &target_, &frame_})
    if (b->GetWidth() != width_ || b->GetHeight() != height_ || b->GetPixelFormat() != pf24bit)
      Shape(*b, width_, height_);
  sourceRows_.resize(size_t(height_));
  targetRows_.resize(size_t(height_));
  frameRows_.resize(size_t(height_));
  for (int y = 0; y < height_; ++y) {
    sourceRows_[size_t(y)] = source_.ScanLine(y);
    targetRows_[size_t(y)] = target_.ScanLine(y);
    frameRows_[size_t(y)] = frame_.ScanLine(y);
  }
}

void TIETransitionEffects::Run(bool repaintAtEnd) {
  if (Transition == iettNone) return;
  // The lock of the running transition is given back before the new one
  // takes its own.
  if (running_) view_->NPUnLockPaint();
  repaintAtEnd_ = repaintAtEnd;
  running_ = true;
  step_ = 0;
  drawn_ = 0;
  if (width_ < 2 && height_ < 2) {
    running_ = false;
    return;
  }
  view_->LockPaint();
  if (Duration <= 0) {
    // No time to animate in: straight to the end.
    Stop();
    return;
  }
  startTick_ = GetTickCount();
  timer_->SetEnabled(true);
}

void TIETransitionEffects::Stop() {
  if (!running_ || Transition == iettNone) return;
  timer_->SetEnabled(false);
  running_ = false;
  Shape(frame_, 1, 1);
  Shape(source_, 1, 1);
  Shape(target_, 1, 1);
  sourceRows_.clear();
  targetRows_.clear();
  frameRows_.clear();
  view_->NPUnLockPaint();
  if (repaintAtEnd_) view_->Update();
}

void TIETransitionEffects::TimerEvent(TObject*) {
  if (!running_) return;
  DrawStep(Transition, step_);
  view_->GetCanvas()->Draw(0, 0, &frame_);
  const uint32_t elapsed = GetTickCount() - startTick_;
  if (int64_t(elapsed) >= Duration) Stop();
  // Taken from the clock, so a late tick never passes the end.
  step_ = int(std::min<int64_t>(1024, int64_t(std::trunc(double(elapsed) / Duration * 1024))));
}
