// For targets whose reader takes a file name: the input written to a file
// of this process's own, named by the target and an extension.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

inline std::string FuzzFileName(const std::string& target, const std::string& extension) {
  return "/tmp/fuzz_" + target + "_" + std::to_string(getpid()) + extension;
}

inline void WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size) {
  std::ofstream(name, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}
