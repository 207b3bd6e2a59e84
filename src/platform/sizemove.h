// The window manager's size and move loop (WM_SYSCOMMAND with SC_SIZE or
// SC_MOVE), shared by forms and child controls, and the device mouse input
// it follows. Private to the platform layer.
#pragma once

#include "platform/controls.h"

// While a size or move loop runs, device mouse input is the loop's own:
// true when the loop took the message (nothing else may see it).
bool SizeMoveTakesMouse(TWinControl* window, uint32_t msg, WPARAM keys, TPoint client);

// Marks the dispatch of one device mouse message. A loop started inside it
// (a press handler sending the size command) follows the mouse messages
// that come next; a loop started elsewhere reads the input device.
class TDeviceMouseScope {
 public:
  TDeviceMouseScope(TWinControl* window, WPARAM keys, TPoint client);
  ~TDeviceMouseScope();
  TDeviceMouseScope(const TDeviceMouseScope&) = delete;
  TDeviceMouseScope& operator=(const TDeviceMouseScope&) = delete;
};
