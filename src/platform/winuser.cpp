// The window manager's calls over the control model: scroll bars, capture,
// focus, invalidation and the sizes of the platform's parts.
#include "platform/controls.h"
#include "platform/fonts.h"

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return ScreenWidth();
    case SM_CYSCREEN: return ScreenHeight();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    default: return 0;
  }
}

namespace {

bool IsWindowBar(int bar) { return bar == SB_HORZ || bar == SB_VERT; }

// Highest position the thumb reaches: the page's last unit rests on Max.
int MaxPos(const TScrollBarState& s) {
  int page = s.Page > 0 ? int(s.Page) - 1 : 0;
  return std::max(s.Min, s.Max - page);
}

// A bar that can scroll shows itself; one that cannot hides, or stays
// disabled when asked to.
void ShowIfScrollable(HWND window, int bar, bool disableNoScroll) {
  TScrollBarState& s = window->ScrollBar(bar);
  bool scrollable = s.Max > s.Min && (s.Page == 0 || int64_t(s.Page) <= int64_t(s.Max) - s.Min);
  if (scrollable) {
    window->ShowScrollBarNow(bar, true);
  } else if (disableNoScroll) {
    s.Disabled = ESB_DISABLE_BOTH;
    window->ShowScrollBarNow(bar, true);
  } else {
    window->ShowScrollBarNow(bar, false);
  }
}

}  // namespace

int SetScrollInfo(HWND window, int bar, const SCROLLINFO& info, bool redraw) {
  if (!IsWindow(window) || !IsWindowBar(bar)) return 0;
  TScrollBarState& s = window->ScrollBar(bar);
  if (info.fMask & SIF_RANGE) {
    s.Min = info.nMin;
    s.Max = std::max(info.nMin, info.nMax);
  }
  if (info.fMask & SIF_PAGE) {
    int64_t span = int64_t(s.Max) - s.Min + 1;
    s.Page = unsigned(std::min<int64_t>(info.nPage, span));
  }
  if (info.fMask & SIF_POS) s.Pos = info.nPos;
  s.Pos = std::clamp(s.Pos, s.Min, MaxPos(s));
  if (info.fMask & (SIF_RANGE | SIF_PAGE)) ShowIfScrollable(window, bar, info.fMask & SIF_DISABLENOSCROLL);
  window->ScrollBarChanged(bar);
  return s.Pos;
}

bool GetScrollInfo(HWND window, int bar, SCROLLINFO& info) {
  if (!IsWindow(window) || !IsWindowBar(bar)) return false;
  const TScrollBarState& s = window->ScrollBar(bar);
  if (info.fMask & SIF_RANGE) {
    info.nMin = s.Min;
    info.nMax = s.Max;
  }
  if (info.fMask & SIF_PAGE) info.nPage = s.Page;
  if (info.fMask & SIF_POS) info.nPos = s.Pos;
  if (info.fMask & SIF_TRACKPOS) info.nTrackPos = s.TrackPos;
  return true;
}

bool ShowScrollBar(HWND window, int bar, bool show) {
  if (!IsWindow(window) || !(IsWindowBar(bar) || bar == SB_BOTH)) return false;
  window->ShowScrollBarNow(bar, show);
  return true;
}

bool EnableScrollBar(HWND window, int bar, unsigned arrows) {
  if (!IsWindow(window)) return false;
  for (int b : {SB_HORZ, SB_VERT}) {
    if (bar != b && bar != SB_BOTH) continue;
    window->ScrollBar(b).Disabled = arrows & ESB_DISABLE_BOTH;
    window->ScrollBarChanged(b);
  }
  return true;
}

bool SetScrollRange(HWND window, int bar, int minPos, int maxPos, bool redraw) {
  SCROLLINFO info;
  info.fMask = SIF_RANGE;
  info.nMin = minPos;
  info.nMax = maxPos;
  if (!IsWindow(window) || !IsWindowBar(bar)) return false;
  SetScrollInfo(window, bar, info, redraw);
  return true;
}

int SetScrollPos(HWND window, int bar, int pos, bool redraw) {
  if (!IsWindow(window) || !IsWindowBar(bar)) return 0;
  int old = window->ScrollBar(bar).Pos;
  SCROLLINFO info;
  info.fMask = SIF_POS;
  info.nPos = pos;
  SetScrollInfo(window, bar, info, redraw);
  return old;
}

int GetScrollPos(HWND window, int bar) {
  if (!IsWindow(window) || !IsWindowBar(bar)) return 0;
  return window->ScrollBar(bar).Pos;
}

bool InvalidateRect(HWND window, const TRect* rect, bool erase) {
  if (!IsWindow(window)) return false;
  window->InvalidateRect(rect, erase);
  return true;
}

bool UpdateWindow(HWND window) {
  if (!IsWindow(window)) return false;
  window->TWinControl::Update();
  return true;
}

HWND SetCapture(HWND window) {
  HWND old = GetCapture();
  SetCaptureControl(window);
  return old;
}

bool ReleaseCapture() {
  SetCaptureControl(nullptr);
  return true;
}

HWND GetCapture() {
  TControl* c = GetCaptureControl();
  if (!c) return nullptr;
  if (auto* w = dynamic_cast<TWinControl*>(c)) return w;
  return c->GetParent();
}

HWND GetFocus() { return GetFocusedControl(); }

HWND SetFocus(HWND window) {
  HWND old = GetFocusedControl();
  if (!window || IsWindow(window)) SetFocusedControl(window);
  return old;
}

LRESULT SendMessage(HWND window, uint32_t msg, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(window)) return 0;
  return window->Perform(msg, wParam, lParam);
}

bool IsWindowVisible(HWND window) { return IsWindow(window) && window->Showing(); }
