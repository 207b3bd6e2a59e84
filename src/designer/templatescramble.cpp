#include "designer/templatescramble.h"

#include <algorithm>
#include <cstdint>

namespace {

uint16_t NextState(uint16_t k, unsigned char scrambled) {
  return static_cast<uint16_t>((scrambled + k) * 0xB500u + 0xC900u);
}

using BlockRoutine = void (*)(unsigned char*, size_t);

std::string TransformBlocks(std::string bytes, BlockRoutine routine) {
  auto* data = reinterpret_cast<unsigned char*>(bytes.data());
  for (size_t at = 0; at < bytes.size(); at += kTemplateBlockSize)
    routine(data + at, std::min(kTemplateBlockSize, bytes.size() - at));
  return bytes;
}

}  // namespace

void ScrambleBuffer(unsigned char* buffer, size_t count) {
  uint16_t k = 0;
  for (size_t i = 0; i < count; ++i) {
    buffer[i] = static_cast<unsigned char>(buffer[i] ^ (k >> 8));
    k = NextState(k, buffer[i]);
  }
}

void UnscrambleBuffer(unsigned char* buffer, size_t count) {
  uint16_t k = 0;
  for (size_t i = 0; i < count; ++i) {
    const unsigned char scrambled = buffer[i];
    buffer[i] = static_cast<unsigned char>(scrambled ^ (k >> 8));
    k = NextState(k, scrambled);
  }
}

std::string ScrambleTemplateBytes(std::string bytes) { return TransformBlocks(std::move(bytes), ScrambleBuffer); }

std::string UnscrambleTemplateBytes(std::string bytes) {
  return TransformBlocks(std::move(bytes), UnscrambleBuffer);
}
