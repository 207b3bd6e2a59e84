// The filter file over arbitrary bytes: a kernel is read whole or not at
// all.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

#include "imaging/proc/iefilterfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string name = "/tmp/fuzz_filterfile_" + std::to_string(getpid()) + ".flt";
  std::ofstream(name, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), long(size));
  TGraphFilter before{};
  std::memset(&before, 0x5A, sizeof before);
  TGraphFilter filter = before;
  bool raised = false;
  try {
    LoadFilterFromFile(name, filter);
  } catch (const EReadError&) {
    raised = true;
  }
  const bool changed = std::memcmp(&filter, &before, sizeof before) != 0;
  const bool whole = size >= 43 && data[0] == 1 && data[1] == 3 && data[2] == 3;
  if (raised && changed) std::abort();
  if (changed && !whole) std::abort();
  if (whole && std::memcmp(&filter, data + 3, 40) != 0) std::abort();
  return 0;
}
