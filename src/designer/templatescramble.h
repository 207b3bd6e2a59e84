// The scrambling that keeps card templates outside the stock folder from
// being read as plain text: every 4096-byte block of the file is run
// through a 16-bit state that starts at 0 and is fed with the scrambled
// bytes, so one routine undoes the other for any content.
#pragma once

#include <cstddef>
#include <string>

inline constexpr size_t kTemplateBlockSize = 4096;

// Transform count bytes in place; the state starts at 0 on every call.
void ScrambleBuffer(unsigned char* buffer, size_t count);
void UnscrambleBuffer(unsigned char* buffer, size_t count);

// The whole file's bytes, block by block; the length never changes.
std::string ScrambleTemplateBytes(std::string bytes);
std::string UnscrambleTemplateBytes(std::string bytes);
