// The screen's logical pixels per inch, the resolution that file readers
// give pictures that carry none. Both are 0 until the image view's start-up
// reads them from the screen.
#pragma once

#include <cstdint>

extern int32_t gSystemDPIX;
extern int32_t gSystemDPIY;
