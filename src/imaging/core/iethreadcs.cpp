#include "imaging/core/iethreadcs.h"

TCriticalSection gThreadCS;
