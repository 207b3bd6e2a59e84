// The timer table: TTimer components and window timers, each due at a
// tick count, fired from the message loop.
#include "platform/timers.h"

#include <map>

#include "platform/kernel.h"

namespace {

struct TEntry {
  TTimer* timer = nullptr;  // a component, or
  HWND window = nullptr;    // a window timer with its id
  uintptr_t id = 0;
  uint32_t interval = 0;
  uint32_t due = 0;
  bool firing = false;
};

std::map<int, TEntry>& Entries() {
  static std::map<int, TEntry> entries;
  return entries;
}

int gNextEntry = 1;

int AddEntry(TEntry entry) {
  entry.due = GetTickCount() + entry.interval;
  int key = gNextEntry++;
  Entries()[key] = entry;
  return key;
}

// Reached or passed, across the tick count's wrap.
bool IsDue(uint32_t due, uint32_t now) { return int32_t(now - due) >= 0; }

}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) { Reschedule(); }

TTimer::~TTimer() { Entries().erase(entry_); }

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Reschedule();
}

void TTimer::SetInterval(uint32_t milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  Reschedule();
}

void TTimer::Reschedule() {
  Entries().erase(entry_);
  entry_ = 0;
  if (enabled_ && interval_ > 0) entry_ = AddEntry({this, nullptr, 0, interval_});
}

void TTimer::Timer() {
  if (OnTimer) OnTimer(this);
}

uintptr_t SetTimer(HWND window, uintptr_t id, uint32_t elapse) {
  if (!window || id == 0) return 0;
  KillTimer(window, id);
  AddEntry({nullptr, window, id, std::max<uint32_t>(elapse, 1)});
  return id;
}

bool KillTimer(HWND window, uintptr_t id) {
  auto& entries = Entries();
  for (auto it = entries.begin(); it != entries.end(); ++it)
    if (it->second.window == window && it->second.id == id) {
      entries.erase(it);
      return true;
    }
  return false;
}

void KillTimersOf(HWND window) {
  auto& entries = Entries();
  for (auto it = entries.begin(); it != entries.end();)
    it = it->second.window == window ? entries.erase(it) : std::next(it);
}

bool ProcessTimers() {
  uint32_t now = GetTickCount();
  std::vector<int> due;
  for (auto& [key, e] : Entries())
    if (!e.firing && IsDue(e.due, now)) due.push_back(key);
  for (int key : due) {
    auto it = Entries().find(key);
    if (it == Entries().end()) continue;  // an earlier handler removed it
    TEntry& e = it->second;
    e.due = now + e.interval;
    e.firing = true;
    struct Done {
      int key;
      ~Done() {
        auto it = Entries().find(key);
        if (it != Entries().end()) it->second.firing = false;
      }
    } done{key};
    if (e.timer)
      e.timer->Timer();
    else
      e.window->Perform(WM_TIMER, e.id, 0);
  }
  return !due.empty();
}

int64_t MillisecondsToNextTimer() {
  uint32_t now = GetTickCount();
  int64_t best = -1;
  for (auto& [key, e] : Entries()) {
    int64_t left = IsDue(e.due, now) ? 0 : int64_t(uint32_t(e.due - now));
    if (best < 0 || left < best) best = left;
  }
  return best;
}

TManualClock::TManualClock(uint32_t start) : now_(start) {
  SetTickCountSource([this] { return now_; });
}

TManualClock::~TManualClock() { SetTickCountSource({}); }

void TManualClock::Advance(uint32_t milliseconds, uint32_t step) {
  step = std::max<uint32_t>(step, 1);
  while (milliseconds > 0) {
    uint32_t move = std::min(step, milliseconds);
    now_ += move;
    milliseconds -= move;
    ProcessTimers();
  }
}
