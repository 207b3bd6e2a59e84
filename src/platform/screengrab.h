// Reading the screen: the whole (virtual) screen, the application's active
// window with its frame, or that window's client area. Only our own
// windows count as the active one: the window system's foreground window
// of another program is not reached.
#pragma once

#include "platform/wintypes.h"

class TBitmap;

enum TScreenArea { saScreen, saActiveWindow, saActiveWindowClient };

// Grabs the area into `into` (24 bits a pixel); `mouse` receives the
// pointer's position relative to the area's top left corner. False,
// leaving `into` alone, when there is no active window or nothing could
// be read. Runs on the GUI thread only.
bool GrabScreenArea(TScreenArea area, TBitmap* into, TPoint* mouse);

// Draws the standard arrow pointer (white, outlined in black) with its tip
// at `at`; parts outside the bitmap are left out.
void DrawArrowPointer(TBitmap* into, TPoint at);
