#include "imaging/core/iesystemdpi.h"

int32_t gSystemDPIX = 0;
int32_t gSystemDPIY = 0;
