// The imaging library's one process-wide lock. The thumbnail view and its
// loader threads hold it around their request queue, loader list and image
// table; nothing else in the library takes a lock.
#pragma once

#include "platform/kernel.h"

extern TCriticalSection gThreadCS;
