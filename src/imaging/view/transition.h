// Transition effects: the animated change from one displayed picture to
// the next inside a view. The view paints its display before the change
// into the source shot and after it into the target shot; a timer then
// composes, for Duration milliseconds, a frame of the two at a progress
// step from 0 to 1024 (taken from the clock, so a slow machine shows fewer
// frames) and copies it onto the view, whose own painting is locked
// meanwhile. Everything runs on the GUI thread.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "imaging/core/iedefs.h"
#include "platform/graphics.h"

class TIEView;
class TTimer;

enum TIETransitionType : uint8_t {
  iettNone,
  iettCrossDissolve,
  iettFadeOut,
  iettFadeIn,
  iettFadeOutIn,
  iettLeftRight1,
  iettLeftRight2,
  iettRightLeft1,
  iettRightLeft2,
  iettUpDown1,
  iettUpDown2,
  iettDownUp1,
  iettDownUp2,
  iettFromUpLeft,
  iettFromUpRight,
  iettFromBottomLeft,
  iettFromBottomRight,
  iettMoveLeftRight1,
  iettMoveLeftRight2,
  iettMoveRightLeft1,
  iettMoveRightLeft2,
  iettMoveUpDown1,
  iettMoveUpDown2,
  iettMoveDownUp1,
  iettMoveDownUp2,
  iettRandomPoints,
  iettRandomBoxes,
  iettCenter1,
  iettCenter2,
  iettCenterZoom1,
  iettCenterZoom2
};
constexpr int kIETransitionCount = iettCenterZoom2 + 1;

class TIETransitionEffects {
 public:
  explicit TIETransitionEffects(TIEView* view);
  ~TIETransitionEffects();
  TIETransitionEffects(const TIETransitionEffects&) = delete;
  TIETransitionEffects& operator=(const TIETransitionEffects&) = delete;

  // Stops, then sizes the frame and both shots.
  void SetSizes(int width, int height);
  // Starts the transition: nothing for iettNone; a size below 2 in both
  // directions does not start; a Duration of 0 or less goes straight to
  // the end. Run while running restarts at step 0 with the shots as they
  // are, keeping the view's paint lock at one level.
  void Run(bool repaintAtEnd);
  // Ends it: the timer stops, the shots shrink to 1 x 1, the paint lock is
  // given back and, when asked, the view repaints.
  void Stop();
  // One tick: the frame at the present step onto the view.
  void TimerEvent(TObject* Sender);
  // Composes the frame of `type` at `step` (0 to 1024) from the shots;
  // what the tick does before it copies the frame.
  void DrawStep(TIETransitionType type, int step);

  TBitmap* SourceShot() { return &source_; }
  TBitmap* TargetShot() { return &target_; }
  TBitmap* Frame() { return &frame_; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  bool Running() const { return running_; }
  int GetStep() const { return step_; }
  TTimer* Timer() const { return timer_; }

  TIETransitionType Transition = iettNone;
  int32_t Duration = 1000;

 private:
  void TakeRows();
  TRGB* Src(int y) { return reinterpret_cast<TRGB*>(sourceRows_[size_t(y)]); }
  TRGB* Tgt(int y) { return reinterpret_cast<TRGB*>(targetRows_[size_t(y)]); }
  TRGB* Frm(int y) { return reinterpret_cast<TRGB*>(frameRows_[size_t(y)]); }
  // Copies a rectangle of a shot into the frame at the same place,
  // clipped to the picture.
  void CopyRect(TBitmap* shot, int x, int y, int w, int h);
  // Draws a whole shot into the frame at (x, y), clipped.
  void DrawShot(TBitmap* shot, int x, int y);
  // Stretches a whole shot into the rectangle of the frame, clipped.
  void StretchShot(TBitmap* shot, int x, int y, int w, int h);
  void RedLine(int x1, int y1, int x2, int y2);
  void Blend(int step, bool fadeOut, bool fadeIn);
  void MoveRows(int step, TIETransitionType type);
  void MoveColumns(int step, TIETransitionType type);
  void RandomPoints(int step);
  void RandomBoxes(int step);

  TBitmap source_, target_, frame_;
  std::vector<uint8_t*> sourceRows_, targetRows_, frameRows_;
  int width_ = 1, height_ = 1;
  bool running_ = false;
  TIEView* view_;
  TTimer* timer_;
  int step_ = 0;
  int64_t drawn_ = 0;
  uint32_t startTick_ = 0;
  bool repaintAtEnd_ = false;
  // Never seeded: the same run of transitions draws the same points.
  std::minstd_rand random_;
};
