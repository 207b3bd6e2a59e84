// Alpha blending of one byte, shared by the mask copy and the renderer.
#pragma once

#include <cstdint>

// d moved toward s by a / 256 of the distance, rounded down:
// d + floor((s - d) x a / 256), kept in 8 bits.
inline uint8_t IEBlendByte(uint8_t d, uint8_t s, int a) {
  return static_cast<uint8_t>(d + (((s - d) * (a << 10)) >> 18));
}
