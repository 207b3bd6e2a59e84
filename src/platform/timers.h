// Timers. Every timer runs on the tick count of kernel.h (GetTickCount),
// so a test that replaces the tick source (see TManualClock) decides when
// timers come due; due timers fire from the message loop
// (TApplication::ProcessMessages, HandleMessage, Run and modal loops).
#pragma once

#include <cstdint>
#include <functional>

#include "platform/controls.h"

// A component that calls OnTimer every Interval milliseconds while
// Enabled. Changing Enabled or Interval starts the count again.
class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool GetEnabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  uint32_t GetInterval() const { return interval_; }
  void SetInterval(uint32_t milliseconds);
  TNotifyEvent OnTimer;

 protected:
  friend bool ProcessTimers();
  virtual void Timer();

 private:
  void Reschedule();
  bool enabled_ = true;
  uint32_t interval_ = 1000;
  int entry_ = 0;
};

// Window timers: WM_TIMER with the id in WParam is sent to the control
// every `elapse` milliseconds. SetTimer replaces a timer of the same id and
// returns the id (0 for a null window or id).
uintptr_t SetTimer(HWND window, uintptr_t id, uint32_t elapse);
bool KillTimer(HWND window, uintptr_t id);
// Removes every window timer of a control (done when it is destroyed).
void KillTimersOf(HWND window);

// Fires each timer that has come due once; true when any fired.
bool ProcessTimers();
// Milliseconds until the next timer comes due; -1 when none runs.
int64_t MillisecondsToNextTimer();

// A tick source that moves only when told to; installs itself for its
// lifetime.
class TManualClock {
 public:
  explicit TManualClock(uint32_t start = 1000);
  ~TManualClock();
  TManualClock(const TManualClock&) = delete;
  TManualClock& operator=(const TManualClock&) = delete;
  uint32_t Now() const { return now_; }
  void Set(uint32_t now) { now_ = now; }
  // Moves the clock on and fires the timers that came due, one step of
  // `step` milliseconds at a time, as a running message loop would.
  void Advance(uint32_t milliseconds, uint32_t step = 1);

 private:
  uint32_t now_;
};
