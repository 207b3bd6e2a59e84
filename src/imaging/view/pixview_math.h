// Rounding of the view's layout arithmetic: Round is to the nearest with
// halves to even, Trunc toward zero; both saturate at the 32-bit range so
// that a huge zoom cannot wrap a coordinate.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

inline int32_t SaturateI(double v) {
  if (std::isnan(v)) return 0;
  if (v >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  if (v <= double(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  return int32_t(v);
}

inline int32_t RoundI(double v) { return SaturateI(std::nearbyint(v)); }
inline int32_t TruncI(double v) { return SaturateI(std::trunc(v)); }
