// Conversion between 24-bit pixels and the library's CIELAB record.
#pragma once

#include "imaging/core/iedefs.h"

TIELAB IERGB2CIELAB(const TRGB& rgb);
TRGB IECIELAB2RGB(const TIELAB& lab);
