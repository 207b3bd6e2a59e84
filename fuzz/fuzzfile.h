// For targets whose reader takes a file name: the input written to a file
// of this process's own, named by the target and an extension, and removed
// again when the run is over.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

class TFuzzFile {
 public:
  TFuzzFile(const std::string& target, const std::string& extension)
      : name_("/tmp/fuzz_" + target + "_" + std::to_string(getpid()) + extension) {
    std::remove(name_.c_str());
  }
  ~TFuzzFile() { std::remove(name_.c_str()); }
  TFuzzFile(const TFuzzFile&) = delete;
  TFuzzFile& operator=(const TFuzzFile&) = delete;

  const std::string& Name() const { return name_; }
  void Write(const uint8_t* data, size_t size) const {
    std::ofstream(name_, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }

 private:
  std::string name_;
};
