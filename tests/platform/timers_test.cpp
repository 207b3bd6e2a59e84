#include <gtest/gtest.h>

#include "control_log.h"
#include "platform/forms.h"
#include "platform/timers.h"

namespace {

TEST(TimerTest, FiresEveryIntervalOnTheClockAndRestartsOnChanges) {
  TManualClock clock;
  TTimer timer(nullptr);
  timer.SetInterval(210);
  std::vector<uint32_t> ticks;
  timer.OnTimer = [&](TObject* sender) {
    EXPECT_EQ(sender, &timer);
    ticks.push_back(clock.Now() - 1000);
  };
  clock.Advance(500);
  EXPECT_EQ(ticks, (std::vector<uint32_t>{210, 420}));
  timer.SetEnabled(false);
  clock.Advance(500);
  EXPECT_EQ(ticks.size(), 2u);
  timer.SetEnabled(true);  // counts from now (1000 + 1000)
  clock.Advance(100);
  timer.SetInterval(50);  // counts again from 1100
  clock.Advance(120);
  EXPECT_EQ(ticks, (std::vector<uint32_t>{210, 420, 1150, 1200}));
}

TEST(TimerTest, HandlersMayStopTheirTimerOrFreeAnotherAndTheClockMayWrap) {
  TManualClock clock(0xFFFFFF00u);
  auto* other = new TTimer(nullptr);
  other->SetInterval(100);
  int otherTicks = 0;
  other->OnTimer = [&](TObject*) { ++otherTicks; };
  TTimer first(nullptr);
  first.SetInterval(100);
  int firstTicks = 0;
  first.OnTimer = [&](TObject*) {
    ++firstTicks;
    first.SetEnabled(false);
    if (other) {
      delete other;
      other = nullptr;
    }
  };
  clock.Advance(1000, 100);  // both come due in the same step, across the wrap
  EXPECT_EQ(firstTicks, 1);
  EXPECT_LE(otherTicks, 1);
  delete other;
}

TEST(TimerTest, WindowTimersSendWmTimerWithTheirId) {
  TManualClock clock;
  struct TTimed : TWinControl {
    using TWinControl::TWinControl;
    std::vector<uintptr_t> ids;
    void Dispatch(TMessage& m) override {
      if (m.Msg == WM_TIMER) ids.push_back(m.WParam);
      TWinControl::Dispatch(m);
    }
  };
  auto* w = new TTimed(nullptr);
  EXPECT_EQ(SetTimer(w, 1, 10), 1u);
  EXPECT_EQ(SetTimer(w, 7, 25), 7u);
  EXPECT_EQ(MillisecondsToNextTimer(), 10);
  clock.Advance(30);
  EXPECT_EQ(w->ids, (std::vector<uintptr_t>{1, 1, 7, 1}));
  EXPECT_TRUE(KillTimer(w, 1));
  EXPECT_FALSE(KillTimer(w, 1));
  clock.Advance(20);
  EXPECT_EQ(w->ids.size(), 5u);
  delete w;  // its timers go with it
  clock.Advance(100);
  EXPECT_EQ(MillisecondsToNextTimer(), -1);
}

TEST(TimerTest, TheMessageLoopFiresDueTimersAndShowsWhatTheyThrow) {
  TManualClock clock;
  TTimer timer(nullptr);
  timer.SetInterval(5);
  std::vector<std::string> shown;
  Application->OnException = [&](TObject*, const Exception& e) { shown.push_back(e.Message); };
  timer.OnTimer = [&](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
  clock.Set(clock.Now() + 5);
  Application->ProcessMessages();
  Application->OnException = nullptr;
  EXPECT_EQ(shown, (std::vector<std::string>{"'x' is not a valid integer value"}));
}

}  // namespace
