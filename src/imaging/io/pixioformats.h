// Names for the alpha flag of TPixIO::TLoadKind in the per-format wrapper
// files.
#pragma once

#include "imaging/io/pixio.h"

inline constexpr bool kIELoadAlpha = true;
inline constexpr bool kIELoadNoAlpha = false;
