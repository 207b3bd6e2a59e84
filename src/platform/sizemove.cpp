// The modal size and move loop of WM_SYSCOMMAND: the control follows the
// pointer until the left button comes up; every step sets its bounds, so
// WM_SIZE and OnResize run as it changes.
#include "platform/sizemove.h"

#include <algorithm>

#include "platform/forms.h"
#include "platform/input.h"

namespace {

// The pointer as the device mouse messages report it, in screen
// coordinates of the control model.
struct TPointerState {
  TPoint Pos;
  bool Down = false;
};

TPointerState gMessagePointer;
int gDeviceMouseDepth = 0;
bool gLoopRunning = false;

TPointerState StateOf(TWinControl* window, uint32_t msg, WPARAM keys, TPoint client) {
  return {window->ClientToScreen(client), (keys & MK_LBUTTON) != 0 && msg != WM_LBUTTONUP};
}

// The bounds that the command gives `start` for a pointer moved by dx, dy.
// Sizing never turns the control inside out.
TRect TrackedBounds(WPARAM command, const TRect& start, int dx, int dy) {
  TRect b = start;
  if ((command & 0xFFF0) == SC_MOVE) {
    OffsetRect(b, dx, dy);
    return b;
  }
  const int edge = int(command & 0xF);
  if (edge == 1 || edge == 4 || edge == 7) b.Left = std::min(b.Left + dx, b.Right);
  if (edge == 2 || edge == 5 || edge == 8) b.Right = std::max(b.Right + dx, b.Left);
  if (edge == 3 || edge == 4 || edge == 5) b.Top = std::min(b.Top + dy, b.Bottom);
  if (edge == 6 || edge == 7 || edge == 8) b.Bottom = std::max(b.Bottom + dy, b.Top);
  return b;
}

}  // namespace

bool SizeMoveTakesMouse(TWinControl* window, uint32_t msg, WPARAM keys, TPoint client) {
  if (!gLoopRunning) return false;
  gMessagePointer = StateOf(window, msg, keys, client);
  return true;
}

TDeviceMouseScope::TDeviceMouseScope(TWinControl* window, WPARAM keys, TPoint client) {
  ++gDeviceMouseDepth;
  gMessagePointer = StateOf(window, 0, keys, client);
}

TDeviceMouseScope::~TDeviceMouseScope() { --gDeviceMouseDepth; }

void TWinControl::SizeMoveLoop(WPARAM command) {
  const WPARAM kind = command & 0xFFF0;
  if (kind != SC_SIZE && kind != SC_MOVE) return;
  TInputDevice& device = Input();
  // Sent from a press handler, the loop follows the messages of the drag;
  // a device that knows the button is down can also end it (a release that
  // reached another window, a dialog that took the mouse meanwhile).
  const bool byMessages = gDeviceMouseDepth > 0;
  const bool deviceKnows = device.IsDown(VK_LBUTTON);
  if (byMessages ? !gMessagePointer.Down : !deviceKnows) return;
  auto held = [&] {
    const bool down = byMessages ? gMessagePointer.Down : true;
    return deviceKnows ? down && device.IsDown(VK_LBUTTON) : down;
  };
  auto pointer = [&] { return byMessages ? gMessagePointer.Pos : device.CursorPos(); };

  const TPoint start = pointer();
  const TRect startBounds = GetBoundsRect();
  struct Running {
    Running() { gLoopRunning = true; }
    ~Running() { gLoopRunning = false; }
  } running;
  for (;;) {
    const bool down = held();
    const TPoint p = pointer();
    const TRect b = TrackedBounds(command, startBounds, p.x - start.x, p.y - start.y);
    if (!(b == GetBoundsRect())) SetBoundsRect(b);
    if (!down) break;
    // Waiting for the next message; a polled device is read again at once.
    if (Application && byMessages)
      Application->HandleMessage();
    else if (Application)
      Application->ProcessMessages();
  }
}
